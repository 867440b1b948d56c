//===- PdfEmfRecord.cpp - Bounds-checked little-endian record fields ------===//
#include "pdf/PdfEmfRecord.h"

#include <cstring>

bool TEmfRecord::fits(uint64_t Offset, uint64_t Length) const
{
    if (Offset <= FBytes.size() && Length <= FBytes.size() - Offset)
        return true;
    FOk = false;
    return false;
}

uint8_t TEmfRecord::U8(size_t Offset) const { return fits(Offset, 1) ? FBytes[Offset] : 0; }

uint16_t TEmfRecord::U16(size_t Offset) const
{
    if (!fits(Offset, 2))
        return 0;
    return static_cast<uint16_t>(FBytes[Offset] | (FBytes[Offset + 1] << 8));
}

int16_t TEmfRecord::I16(size_t Offset) const { return static_cast<int16_t>(U16(Offset)); }

uint32_t TEmfRecord::U32(size_t Offset) const
{
    if (!fits(Offset, 4))
        return 0;
    return uint32_t(FBytes[Offset]) | (uint32_t(FBytes[Offset + 1]) << 8) | (uint32_t(FBytes[Offset + 2]) << 16)
           | (uint32_t(FBytes[Offset + 3]) << 24);
}

float TEmfRecord::F32(size_t Offset) const
{
    const uint32_t Bits = U32(Offset);
    float Value;
    std::memcpy(&Value, &Bits, sizeof Value);
    return Value;
}

XFORM TEmfRecord::Xform(size_t Offset) const
{
    return XFORM {
        F32(Offset), F32(Offset + 4), F32(Offset + 8), F32(Offset + 12), F32(Offset + 16), F32(Offset + 20)
    };
}

std::span<const uint8_t> TEmfRecord::Bytes(uint64_t Offset, uint64_t Count, uint64_t UnitSize) const
{
    if (UnitSize != 0 && Count > FBytes.size() / UnitSize)
        return FOk = false, std::span<const uint8_t>();
    if (!fits(Offset, Count * UnitSize))
        return {};
    return FBytes.subspan(static_cast<size_t>(Offset), static_cast<size_t>(Count * UnitSize));
}
