//===- PdfEmfRecord.h - One metafile record read little-endian, never past its end -*- C++ -*-===//
//
// The metafile player reads the published record layout itself. A record comes from outside, so
// every field is read through here: a read that does not fit inside the record answers 0 and
// clears Ok(), and a handler that finds Ok() false after its reads skips the record.
//
#pragma once

#include "platform/gdi/GdiTypes.h"

#include <cstddef>
#include <cstdint>
#include <span>

class TEmfRecord {
public:
    explicit TEmfRecord(std::span<const uint8_t> Bytes) : FBytes(Bytes) {}

    uint32_t Type() const { return U32(0); }
    size_t Size() const { return FBytes.size(); }
    /// False once any read ran past the record (or a Require failed).
    bool Ok() const { return FOk; }
    /// Clears Ok() when Condition is false; answers Ok().
    bool Require(bool Condition) const
    {
        if (!Condition)
            FOk = false;
        return FOk;
    }

    uint8_t U8(size_t Offset) const;
    int16_t I16(size_t Offset) const;
    uint16_t U16(size_t Offset) const;
    uint32_t U32(size_t Offset) const;
    int32_t I32(size_t Offset) const { return static_cast<int32_t>(U32(Offset)); }
    float F32(size_t Offset) const;
    POINT Point(size_t Offset) const { return POINT { I32(Offset), I32(Offset + 4) }; }
    POINT Point16(size_t Offset) const { return POINT { I16(Offset), I16(Offset + 2) }; }
    RECT Rect(size_t Offset) const { return RECT { I32(Offset), I32(Offset + 4), I32(Offset + 8), I32(Offset + 12) }; }
    XFORM Xform(size_t Offset) const;
    /// Count units of UnitSize bytes from Offset; empty (and Ok() false) when they do not fit.
    std::span<const uint8_t> Bytes(uint64_t Offset, uint64_t Count, uint64_t UnitSize = 1) const;

private:
    bool fits(uint64_t Offset, uint64_t Length) const;

    std::span<const uint8_t> FBytes;
    mutable bool FOk = true;
};
