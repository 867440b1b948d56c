//===- EnhMetaFile.cpp - Metafile bytes, their checks, recording contexts --===//
#include "platform/gdi/metafile/EnhMetaFile.h"

#include "platform/gdi/dc/DeviceContext_p.h"
#include "platform/gdi/metafile/EmfRecorder_p.h"
#include "platform/gdi/metafile/EmfRecords_p.h"
#include "platform/gdi/Gdi.h"

#include <algorithm>
#include <cassert>
#include <cstring>

using namespace gdi_private;

namespace {

Header headerOf(std::span<const uint8_t> Bytes)
{
    Header h {};
    std::memcpy(&h, Bytes.data(), std::min(Bytes.size(), sizeof h));
    return h;
}

bool refuse(std::string* Error, const std::string& Why)
{
    if (Error)
        *Error = "SetEnhMetaFileBits: " + Why;
    return false;
}

// The header and the chain of records up to EOF; what the records say is playback's business.
bool checkStructure(std::span<const uint8_t> Bytes, std::string* Error)
{
    if (Bytes.size() < MIN_HEADER_SIZE)
        return refuse(Error,
                      "the data is too short for a metafile header (" + std::to_string(Bytes.size()) + " bytes)");
    const Header h = headerOf(Bytes);
    if (h.iType != EMR_HEADER)
        return refuse(Error, "the first record is no header (type " + std::to_string(h.iType) + ")");
    if (h.dSignature != ENHMETA_SIGNATURE)
        return refuse(Error, "the header has no \" EMF\" signature");
    if (h.nSize < MIN_HEADER_SIZE || h.nSize % 4 != 0 || h.nSize > Bytes.size())
        return refuse(Error, "the header size " + std::to_string(h.nSize) + " is impossible");
    if (h.nBytes < h.nSize || h.nBytes > Bytes.size() || h.nBytes % 4 != 0)
        return refuse(Error, "the header says " + std::to_string(h.nBytes) + " bytes, the data has "
                                 + std::to_string(Bytes.size()));
    RecordWalker walker(Bytes.first(h.nBytes));
    for (auto record = walker.next(); !record.empty(); record = walker.next()) {
        if (RecordView(record).type() == EMR_EOF)
            return true;
    }
    if (walker.broken())
        return refuse(Error, "the record at offset " + std::to_string(walker.offset()) + " has an impossible size");
    return refuse(Error, "the records end without an EOF record");
}

} // namespace

// ---- EnhMetaFile

std::unique_ptr<EnhMetaFile> EnhMetaFile::FromBytes(std::span<const uint8_t> Bytes, std::string* Error)
{
    if (!checkStructure(Bytes, Error))
        return nullptr;
    const Header h = headerOf(Bytes);
    return std::unique_ptr<EnhMetaFile>(new EnhMetaFile(std::vector<uint8_t>(Bytes.begin(), Bytes.begin() + h.nBytes)));
}

RECT EnhMetaFile::Bounds() const
{
    const Header h = headerOf(bytes_);
    return RECT { h.rclBounds[0], h.rclBounds[1], h.rclBounds[2], h.rclBounds[3] };
}

RECT EnhMetaFile::Frame() const
{
    const Header h = headerOf(bytes_);
    return RECT { h.rclFrame[0], h.rclFrame[1], h.rclFrame[2], h.rclFrame[3] };
}

SIZE EnhMetaFile::Device() const
{
    const Header h = headerOf(bytes_);
    return SIZE { h.szlDevice.cx, h.szlDevice.cy };
}

SIZE EnhMetaFile::Millimeters() const
{
    const Header h = headerOf(bytes_);
    return SIZE { h.szlMillimeters.cx, h.szlMillimeters.cy };
}

uint32_t EnhMetaFile::RecordCount() const { return headerOf(bytes_).nRecords; }

uint16_t EnhMetaFile::Handles() const { return headerOf(bytes_).nHandles; }

// ---- Recording

HDC CreateEnhMetaFile(HDC Reference, const RECT* FrameIn01mm)
{
    DeviceCaps caps; // the screen's
    if (DeviceContext* reference = FindDeviceContext(Reference))
        caps = reference->caps();
    std::optional<RECT> frame;
    if (FrameIn01mm)
        frame = *FrameIn01mm;
    return CreateDeviceContext(DeviceContext::Kind::Metafile, std::make_unique<EmfRecorder>(caps, frame), caps);
}

HENHMETAFILE CloseEnhMetaFile(HDC Dc)
{
    DeviceContext* dc = FindDeviceContext(Dc);
    if (!dc || dc->kind() != DeviceContext::Kind::Metafile)
        return nullptr;
    auto* recorder = dynamic_cast<EmfRecorder*>(&dc->backend());
    if (!recorder)
        return nullptr;
    std::vector<uint8_t> bytes = recorder->finish();
    DeleteDC(Dc);
    std::string error;
    auto metafile = EnhMetaFile::FromBytes(bytes, &error);
    // Our own recording always passes the reader's checks; failing them is a bug here.
    assert(metafile && "the recorder wrote a metafile its own reader refuses");
    return metafile;
}

// ---- Bytes

UINT GetEnhMetaFileBits(const EnhMetaFile& Metafile, UINT Size, uint8_t* Buffer)
{
    const auto bytes = Metafile.Bytes();
    if (!Buffer)
        return UINT(bytes.size());
    const size_t n = std::min(size_t(Size), bytes.size());
    std::memcpy(Buffer, bytes.data(), n);
    return UINT(n);
}

std::vector<uint8_t> GetEnhMetaFileBits(const EnhMetaFile& Metafile)
{
    return std::vector<uint8_t>(Metafile.Bytes().begin(), Metafile.Bytes().end());
}

HENHMETAFILE SetEnhMetaFileBits(std::span<const uint8_t> Data, std::string* Error)
{
    return EnhMetaFile::FromBytes(Data, Error);
}

bool DeleteEnhMetaFile(HENHMETAFILE Metafile) { return Metafile != nullptr; }

HENHMETAFILE CopyEnhMetaFile(const EnhMetaFile& Metafile) { return EnhMetaFile::FromBytes(Metafile.Bytes()); }
