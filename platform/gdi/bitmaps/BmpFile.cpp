//===- BmpFile.cpp - Dib to and from BMP files and packed DIB memory -------===//
//
// Everything read here comes from files or metafile records that may be damaged, so every
// size is checked in 64 bits against the bytes actually present before anything is allocated
// or copied.
//
#include "platform/gdi/bitmaps/Dib.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

constexpr size_t fileHeaderSize = 14;
constexpr size_t infoHeaderSize = 40;
constexpr size_t coreHeaderSize = 12;
constexpr uint32_t BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3, BI_JPEG = 4, BI_PNG = 5;

uint16_t get16(std::span<const uint8_t> D, size_t At) { return uint16_t(D[At] | (D[At + 1] << 8)); }
uint32_t get32(std::span<const uint8_t> D, size_t At)
{
    return uint32_t(D[At]) | (uint32_t(D[At + 1]) << 8) | (uint32_t(D[At + 2]) << 16) | (uint32_t(D[At + 3]) << 24);
}
void put16(std::vector<uint8_t>& Out, uint16_t V)
{
    Out.push_back(uint8_t(V));
    Out.push_back(uint8_t(V >> 8));
}
void put32(std::vector<uint8_t>& Out, uint32_t V)
{
    for (int i = 0; i < 4; ++i)
        Out.push_back(uint8_t(V >> (8 * i)));
}

/// What an info header (and its colour table) says, checked for sense but not yet against the
/// pixel data. Offsets count from the first byte of the info header.
struct Layout {
    int width = 0, height = 0, bits = 0;
    bool topDown = false;
    bool core = false;        // OS/2 12-byte header: 3-byte table entries, no clrUsed
    uint64_t tableOffset = 0; // after the header and, for 40-byte BI_BITFIELDS, the masks
    uint64_t tableEntries = 0;
    uint64_t entrySize = 4;
    bool paletteIndexes = false; // DIB_PAL_COLORS: 16-bit indexes into the stock palette
    int64_t imageSize = 0;       // padded rows x height

    uint64_t tableEnd() const { return tableOffset + tableEntries * entrySize; }
};

bool fail(std::string& Why, std::string Text)
{
    Why = std::move(Text);
    return false;
}

bool knownInfoSize(uint32_t Size)
{
    // 40: BITMAPINFOHEADER; 52/56: with RGB(A) masks; 64: OS/2 2.x; 108: V4; 124: V5.
    return Size == 40 || Size == 52 || Size == 56 || Size == 64 || Size == 108 || Size == 124;
}

bool checkCompression(std::span<const uint8_t> Info, uint32_t HeaderSize, uint32_t Compression, int Bits, Layout& L,
                      std::string& Why)
{
    switch (Compression) {
    case BI_RGB: return true;
    case BI_RLE8:
    case BI_RLE4: return fail(Why, "RLE-compressed bitmaps are not supported");
    case BI_JPEG:
    case BI_PNG: return fail(Why, "bitmaps holding JPEG or PNG data are not supported");
    case BI_BITFIELDS: break;
    default: return fail(Why, "unknown compression " + std::to_string(Compression));
    }
    if (Bits != 32)
        return fail(Why, "BI_BITFIELDS is supported only at 32 bits per pixel");
    // A 40-byte header keeps its three masks right behind it; the larger headers hold them.
    if (HeaderSize == infoHeaderSize)
        L.tableOffset += 12;
    if (Info.size() < infoHeaderSize + 12)
        return fail(Why, "the colour masks run past the end of the data");
    if (get32(Info, 40) != 0xFF0000 || get32(Info, 44) != 0xFF00 || get32(Info, 48) != 0xFF)
        return fail(Why, "BI_BITFIELDS masks other than 8-8-8 red-green-blue are not supported");
    return true;
}

bool checkDepth(int Bits, std::string& Why)
{
    if (Bits == 1 || Bits == 4 || Bits == 8 || Bits == 24 || Bits == 32)
        return true;
    return fail(Why, std::to_string(Bits) + " bits per pixel are not supported");
}

/// Reads the info header at the start of Info (the colour table is only located, not read).
bool parseInfo(std::span<const uint8_t> Info, Layout& L, std::string& Why)
{
    if (Info.size() < 4)
        return fail(Why, "the info header is truncated");
    uint32_t headerSize = get32(Info, 0);
    if (headerSize != coreHeaderSize && !knownInfoSize(headerSize))
        return fail(Why, "unknown info header size " + std::to_string(headerSize));
    if (Info.size() < headerSize)
        return fail(Why, "the info header is truncated");
    L.tableOffset = headerSize;

    int64_t width, height;
    uint32_t planes, compression = BI_RGB, clrUsed = 0;
    if (headerSize == coreHeaderSize) {
        L.core = true;
        L.entrySize = 3;
        width = get16(Info, 4), height = get16(Info, 6), planes = get16(Info, 8), L.bits = get16(Info, 10);
    } else {
        width = int32_t(get32(Info, 4)), height = int32_t(get32(Info, 8)), planes = get16(Info, 12);
        L.bits = get16(Info, 14), compression = get32(Info, 16), clrUsed = get32(Info, 32);
    }
    if (width <= 0)
        return fail(Why, "the width must be positive, not " + std::to_string(width));
    if (height == 0)
        return fail(Why, "the height is zero");
    L.topDown = height < 0;
    height = height < 0 ? -height : height;
    if (planes != 1)
        return fail(Why, "the plane count must be 1, not " + std::to_string(planes));
    if (!checkDepth(L.bits, Why))
        return false;
    if (width * height > Dib::MaxPixels)
        return fail(Why, "the picture is too large: " + std::to_string(width) + " x " + std::to_string(height));
    if (!checkCompression(Info, headerSize, compression, L.bits, L, Why))
        return false;
    L.width = int(width), L.height = int(height);
    L.imageSize = (width * L.bits + 31) / 32 * 4 * height;

    uint64_t fullTable = L.bits <= 8 ? uint64_t(1) << L.bits : 0;
    if (L.core) {
        L.tableEntries = fullTable;
    } else if (L.bits <= 8) {
        if (clrUsed > fullTable)
            return fail(Why, "a colour table of " + std::to_string(clrUsed) + " entries is too large for "
                                 + std::to_string(L.bits) + " bits per pixel");
        L.tableEntries = clrUsed == 0 ? fullTable : clrUsed;
    } else {
        L.tableEntries = clrUsed; // an optional table for palette devices, skipped
    }
    return true;
}

/// The bitmap described by L (or its first RowCount stored rows), its table read from Info and
/// its rows from Rows.
std::unique_ptr<Dib> build(const Layout& L, std::span<const uint8_t> Info, std::span<const uint8_t> Rows,
                           uint64_t RowCount = UINT64_MAX)
{
    auto dib = std::make_unique<Dib>(L.width, int(std::min<uint64_t>(RowCount, uint64_t(L.height))), L.bits, L.topDown);
    dib->Palette().clear();
    if (L.bits <= 8) {
        for (uint64_t i = 0; i < L.tableEntries; ++i) {
            size_t at = size_t(L.tableOffset + i * L.entrySize);
            if (L.paletteIndexes) {
                uint16_t index = get16(Info, at);
                dib->Palette().push_back(index < Dib::StockPalette().size() ? Dib::StockPalette()[index] : RGBQUAD {});
                continue;
            }
            RGBQUAD q { Info[at], Info[at + 1], Info[at + 2], L.core ? uint8_t(0) : Info[at + 3] };
            dib->Palette().push_back(q);
        }
    }
    std::memcpy(dib->Bytes().data(), Rows.data(), dib->Bytes().size());
    return dib;
}

std::unique_ptr<Dib> refuse(std::string* Error, const char* Who, const std::string& Why)
{
    if (Error)
        *Error = std::string(Who) + ": " + Why;
    return nullptr;
}

/// The colour table as written: at most 2^Bits entries; an indexed bitmap whose table was
/// emptied gets a full black one, since a zero count would tell a reader to expect 2^Bits.
std::vector<RGBQUAD> tableToWrite(const Dib& D)
{
    if (D.Bits() > 8)
        return {};
    size_t full = size_t(1) << D.Bits();
    if (D.Palette().empty())
        return std::vector<RGBQUAD>(full);
    return { D.Palette().begin(), D.Palette().begin() + std::min(full, D.Palette().size()) };
}

void appendInfo(const Dib& D, const std::vector<RGBQUAD>& Table, std::vector<uint8_t>& Out)
{
    put32(Out, uint32_t(infoHeaderSize));
    put32(Out, uint32_t(D.Width()));
    put32(Out, uint32_t(D.TopDown() ? -D.Height() : D.Height()));
    put16(Out, 1); // planes
    put16(Out, uint16_t(D.Bits()));
    put32(Out, BI_RGB);
    put32(Out, uint32_t(D.Bytes().size()));
    put32(Out, 0), put32(Out, 0); // no resolution: the screen and reference contexts say 96 dpi
    put32(Out, uint32_t(Table.size()));
    put32(Out, 0); // every colour important
    for (const RGBQUAD& q : Table)
        Out.insert(Out.end(), { q.rgbBlue, q.rgbGreen, q.rgbRed, q.rgbReserved });
}

} // namespace

std::vector<uint8_t> Dib::SaveBmp() const
{
    std::vector<RGBQUAD> table = tableToWrite(*this);
    uint32_t offBits = uint32_t(fileHeaderSize + infoHeaderSize + 4 * table.size());
    std::vector<uint8_t> out;
    out.reserve(offBits + bytes_.size());
    out.push_back('B'), out.push_back('M');
    put32(out, uint32_t(offBits + bytes_.size()));
    put32(out, 0); // two reserved words
    put32(out, offBits);
    appendInfo(*this, table, out);
    out.insert(out.end(), bytes_.begin(), bytes_.end());
    return out;
}

std::unique_ptr<Dib> Dib::LoadBmp(std::span<const uint8_t> File, std::string* Error)
{
    const char* who = "LoadBmp";
    if (File.size() < fileHeaderSize)
        return refuse(Error, who, "the file is too short for a BMP file header");
    if (File[0] != 'B' || File[1] != 'M')
        return refuse(Error, who, "not a BMP file (no BM signature)");
    uint64_t offBits = get32(File, 10);
    std::span<const uint8_t> info = File.subspan(fileHeaderSize);
    Layout l;
    std::string why;
    if (!parseInfo(info, l, why))
        return refuse(Error, who, why);

    // An OS/2 file may carry a shorter table than its depth allows; the pixel offset tells.
    if (l.core && offBits >= fileHeaderSize + l.tableOffset && l.tableEnd() > offBits - fileHeaderSize)
        l.tableEntries = (offBits - fileHeaderSize - l.tableOffset) / l.entrySize;
    if (l.tableEnd() > info.size())
        return refuse(Error, who, "the colour table runs past the end of the file");
    if (offBits < fileHeaderSize + l.tableEnd())
        return refuse(Error, who, "the pixel data offset " + std::to_string(offBits) + " overlaps the headers");
    if (offBits > File.size())
        return refuse(Error, who, "the pixel data offset " + std::to_string(offBits) + " is past the end of the file");
    if (uint64_t(l.imageSize) > File.size() - offBits)
        return refuse(Error, who,
                      "the pixel data is truncated: " + std::to_string(File.size() - offBits) + " of "
                          + std::to_string(l.imageSize) + " bytes");
    return build(l, info, File.subspan(size_t(offBits)));
}

std::vector<uint8_t> Dib::PackedInfo() const
{
    std::vector<RGBQUAD> table = tableToWrite(*this);
    std::vector<uint8_t> out;
    out.reserve(infoHeaderSize + 4 * table.size());
    appendInfo(*this, table, out);
    return out;
}

std::unique_ptr<Dib> Dib::FromPacked(std::span<const uint8_t> Info, std::span<const uint8_t> Bits, std::string* Error)
{
    const char* who = "FromPacked";
    Layout l;
    std::string why;
    if (!parseInfo(Info, l, why))
        return refuse(Error, who, why);
    if (l.tableEnd() > Info.size())
        return refuse(Error, who, "the colour table runs past the end of the info");
    if (uint64_t(l.imageSize) > Bits.size())
        return refuse(Error, who,
                      "the pixel data is truncated: " + std::to_string(Bits.size()) + " of "
                          + std::to_string(l.imageSize) + " bytes");
    return build(l, Info, Bits);
}

std::unique_ptr<Dib> Dib::FromPackedScans(std::span<const uint8_t> Info, std::span<const uint8_t> Bits, UINT Usage,
                                          uint32_t StartScan, uint32_t ScanCount, std::string* Error,
                                          int* PictureHeight)
{
    const char* who = "FromPackedScans";
    if (Usage != DIB_RGB_COLORS && Usage != DIB_PAL_COLORS)
        return refuse(Error, who, "unknown colour usage " + std::to_string(Usage));
    Layout l;
    std::string why;
    if (!parseInfo(Info, l, why))
        return refuse(Error, who, why);
    if (Usage == DIB_PAL_COLORS && l.bits <= 8)
        l.paletteIndexes = true, l.entrySize = 2;
    if (l.tableEnd() > Info.size())
        return refuse(Error, who, "the colour table runs past the end of the info");
    const uint64_t stride = uint64_t(l.imageSize) / uint64_t(l.height);
    const uint64_t first = std::min<uint64_t>(StartScan, uint64_t(l.height));
    const uint64_t count = std::min<uint64_t>(ScanCount, uint64_t(l.height) - first);
    if (count == 0)
        return refuse(Error, who, "no scan lines of the picture are given");
    if (count * stride > Bits.size())
        return refuse(Error, who,
                      "the pixel data is truncated: " + std::to_string(Bits.size()) + " of "
                          + std::to_string(count * stride) + " bytes");
    if (PictureHeight)
        *PictureHeight = l.height;
    return build(l, Info, Bits, count);
}
