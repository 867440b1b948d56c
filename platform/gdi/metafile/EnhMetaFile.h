//===- EnhMetaFile.h - Enhanced metafiles: recording, bytes, playback -*- C++ -*-===//
//
// A metafile records what is drawn on its device context as the records of the published
// Enhanced Metafile format, so that other programs read it and it plays back onto any device
// context: a bitmap, the screen, a printer page, or another metafile's context, which records
// the picture again.
//
// Decisions that readers of our files see:
//  - the reference device is the screen at 96 dpi unless another context is given: szlDevice
//    1920 x 1080, szlMillimeters 508 x 286, szlMicrometers 508000 x 285750; the header is the
//    108-byte form without a description;
//  - rclBounds is the inclusive device box of everything drawn (0, 0, -1, -1 when nothing was);
//  - without a frame, rclFrame is the bounds' pixels in 0.01 mm, from the left/top edge of the
//    first pixel to the right/bottom edge of the last, so that a picture plays back 1:1 into a
//    rectangle of its own pixel size;
//  - a drawing object is created in the metafile when it is first selected, at the lowest free
//    index from 1, and deleted there when it is deleted or when the recording ends.
//
#pragma once

#include "platform/gdi/GdiTypes.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

/// The bytes of a complete, structurally valid metafile and its header values.
class EnhMetaFile {
public:
    /// Checks the header (type, signature, sizes) and that the records tile the data up to an
    /// EOF record; null with Error set otherwise. Broken records inside are left to playback,
    /// which skips them.
    static std::unique_ptr<EnhMetaFile> FromBytes(std::span<const uint8_t> Bytes, std::string* Error = nullptr);

    std::span<const uint8_t> Bytes() const { return bytes_; }
    /// rclBounds: inclusive device pixels; (0, 0, -1, -1) for an empty picture.
    RECT Bounds() const;
    /// rclFrame: 0.01 mm.
    RECT Frame() const;
    /// szlDevice (pixels) and szlMillimeters of the reference device.
    SIZE Device() const;
    SIZE Millimeters() const;
    uint32_t RecordCount() const;
    /// Highest object index + 1 (index 0 is never used).
    uint16_t Handles() const;

private:
    explicit EnhMetaFile(std::vector<uint8_t> Bytes) : bytes_(std::move(Bytes)) {}
    std::vector<uint8_t> bytes_;
};

using HENHMETAFILE = std::unique_ptr<EnhMetaFile>;

// --- Recording
/// A device context that records; Reference (null: the screen) gives its device values.
/// FrameIn01mm, when given, becomes rclFrame; otherwise the frame follows the bounds.
HDC CreateEnhMetaFile(HDC Reference, const RECT* FrameIn01mm);
/// Ends the recording and deletes the context; null when Dc is no recording context.
HENHMETAFILE CloseEnhMetaFile(HDC Dc);

// --- Bytes
/// Copies up to Size bytes to Buffer; a null Buffer asks the size. Answers the bytes copied.
UINT GetEnhMetaFileBits(const EnhMetaFile& Metafile, UINT Size, uint8_t* Buffer);
std::vector<uint8_t> GetEnhMetaFileBits(const EnhMetaFile& Metafile);
/// A metafile from its bytes; null (with Error set) for anything malformed.
HENHMETAFILE SetEnhMetaFileBits(std::span<const uint8_t> Data, std::string* Error = nullptr);
inline HENHMETAFILE SetEnhMetaFileBits(UINT Size, const uint8_t* Data)
{
    return Data ? SetEnhMetaFileBits(std::span<const uint8_t>(Data, Size)) : nullptr;
}
/// Frees the metafile; false for null.
bool DeleteEnhMetaFile(HENHMETAFILE Metafile);
HENHMETAFILE CopyEnhMetaFile(const EnhMetaFile& Metafile);

// --- Playback
/// Plays the records onto Dc with the frame stretched onto Dest (logical units of Dc; right
/// and bottom excluded). The context's state is saved first and restored afterwards; the
/// picture starts from the default state (black pen, white brush, system font, opaque white
/// background, black text) and never paints outside the clip Dc had. Records that are
/// malformed are skipped; a record whose size is broken ends the playback. False when Dc is
/// not a device context.
bool PlayEnhMetaFile(HDC Dc, const EnhMetaFile& Metafile, const RECT& Dest);

// --- Reading records
/// One line per record: index, name, size and the decoded fields, e.g.
/// "3 RECTANGLE 24 box=(10,10)-(50,40)"; a malformed record shows "malformed", and a broken
/// size ends the listing with a line saying where. For tests and for people.
std::string DumpEnhMetaFile(std::span<const uint8_t> Bytes);
