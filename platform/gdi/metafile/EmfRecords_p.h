//===- EmfRecords_p.h - Enhanced metafile record types, the header, a writer and a reader -*- C++ -*-===//
//
// Records are little-endian: iType (u32) at 0, nSize (u32, a multiple of 4, at least 8) at 4,
// then the fields at their published offsets. The recorder builds each record with
// RecordWriter; the player and the dump tool read fields through RecordView, which never reads
// outside the record and remembers when a read would have.
//
#pragma once

#include "platform/gdi/GdiTypes.h"
#include "platform/gdi/metafile/EmfRecordTypes.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>
#include <vector>

namespace gdi_private {

/// The record's name without "EMR_" ("RECTANGLE"), or "" for a type without one.
std::string_view recordName(uint32_t Type);

constexpr uint32_t VERSION = 0x10000;

// ---- The header (type 1), with the fields a 96-dpi reference writes
#pragma pack(push, 1)
struct SizeL {
    int32_t cx, cy;
};
struct Header {
    uint32_t iType, nSize;
    int32_t rclBounds[4];
    int32_t rclFrame[4];
    uint32_t dSignature, nVersion, nBytes, nRecords;
    uint16_t nHandles, sReserved;
    uint32_t nDescription, offDescription, nPalEntries;
    SizeL szlDevice, szlMillimeters;
    uint32_t cbPixelFormat, offPixelFormat, bOpenGL;
    SizeL szlMicrometers;
};
#pragma pack(pop)
static_assert(sizeof(Header) == 108);
static_assert(offsetof(Header, rclBounds) == EmfLayout::HeaderBounds && offsetof(Header, rclFrame) == 24);
static_assert(offsetof(Header, dSignature) == EmfLayout::HeaderSignature && offsetof(Header, nBytes) == 48);
static_assert(offsetof(Header, nRecords) == 52 && offsetof(Header, nHandles) == EmfLayout::HeaderHandles);
static_assert(offsetof(Header, nDescription) == 60 && offsetof(Header, nPalEntries) == 68);
static_assert(offsetof(Header, szlDevice) == 72 && offsetof(Header, szlMillimeters) == 80);
static_assert(offsetof(Header, szlMicrometers) == 100);
/// The oldest header form ends after szlMillimeters; readers accept any size from there.
constexpr size_t MIN_HEADER_SIZE = 88;

// ---- Fixed layouts of the records with arrays or embedded data
constexpr size_t EXTTEXTOUT_STRING = 76; // where our records put the string
constexpr size_t BITBLT_SIZE = 100;      // BITBLT without a bitmap
constexpr size_t STRETCHBLT_SIZE = 108;
constexpr size_t STRETCHDIBITS_SIZE = 80; // STRETCHDIBITS before its bitmap
constexpr size_t LOGFONTW_SIZE = 92;
constexpr size_t BITMAPINFOHEADER_SIZE = 40;

/// Builds one record: the type and a size placeholder first, fields appended in order, the
/// size filled in by bytes().
class RecordWriter {
public:
    explicit RecordWriter(uint32_t Type) { u32(Type), u32(0); }

    RecordWriter& u32(uint32_t V) { return raw(&V, 4); }
    RecordWriter& i32(int32_t V) { return raw(&V, 4); }
    RecordWriter& u16(uint16_t V) { return raw(&V, 2); }
    RecordWriter& i16(int16_t V) { return raw(&V, 2); }
    RecordWriter& u8(uint8_t V) { return raw(&V, 1); }
    RecordWriter& f32(float V) { return raw(&V, 4); }
    RecordWriter& point(POINT P) { return i32(P.x).i32(P.y); }
    RecordWriter& rect(const RECT& R) { return i32(R.left).i32(R.top).i32(R.right).i32(R.bottom); }
    RecordWriter& xform(const XFORM& X)
    {
        return f32(X.eM11).f32(X.eM12).f32(X.eM21).f32(X.eM22).f32(X.eDx).f32(X.eDy);
    }
    RecordWriter& bytes(std::span<const uint8_t> B) { return raw(B.data(), B.size()); }
    /// Zero bytes up to the next multiple of four.
    RecordWriter& pad4()
    {
        while (data_.size() % 4)
            data_.push_back(0);
        return *this;
    }
    size_t size() const { return data_.size(); }
    void patchU32(size_t Offset, uint32_t V) { std::memcpy(data_.data() + Offset, &V, 4); }
    /// The finished record, padded to four bytes.
    std::vector<uint8_t>& bytes()
    {
        pad4();
        patchU32(4, uint32_t(data_.size()));
        return data_;
    }

private:
    RecordWriter& raw(const void* P, size_t N)
    {
        if (N == 0)
            return *this;
        const size_t at = data_.size();
        data_.resize(at + N);
        std::memcpy(data_.data() + at, P, N);
        return *this;
    }
    std::vector<uint8_t> data_;
};

/// Reads fields of one record by offset. A read outside the record answers zero (an empty span)
/// and marks the view bad, so a handler reads all it needs and then checks ok() once.
class RecordView {
public:
    explicit RecordView(std::span<const uint8_t> Record) : data_(Record) {}

    uint32_t type() const { return u32(0); }
    uint32_t size() const { return uint32_t(data_.size()); }
    bool ok() const { return !bad_; }
    /// Marks the view bad when Condition fails (a count or a value outside what the record allows).
    bool require(bool Condition) const
    {
        if (!Condition)
            bad_ = true;
        return Condition;
    }

    uint32_t u32(size_t Offset) const { return get<uint32_t>(Offset); }
    int32_t i32(size_t Offset) const { return get<int32_t>(Offset); }
    uint16_t u16(size_t Offset) const { return get<uint16_t>(Offset); }
    int16_t i16(size_t Offset) const { return get<int16_t>(Offset); }
    uint8_t u8(size_t Offset) const { return get<uint8_t>(Offset); }
    float f32(size_t Offset) const { return get<float>(Offset); }
    POINT point(size_t Offset) const { return POINT { i32(Offset), i32(Offset + 4) }; }
    SIZE sizeAt(size_t Offset) const { return SIZE { i32(Offset), i32(Offset + 4) }; }
    RECT rect(size_t Offset) const { return RECT { i32(Offset), i32(Offset + 4), i32(Offset + 8), i32(Offset + 12) }; }
    XFORM xform(size_t Offset) const
    {
        return XFORM { f32(Offset),      f32(Offset + 4),  f32(Offset + 8),
                       f32(Offset + 12), f32(Offset + 16), f32(Offset + 20) };
    }
    /// Count elements of Width bytes from Offset; empty (and bad) when they do not fit.
    std::span<const uint8_t> bytes(uint64_t Offset, uint64_t Count, uint64_t Width = 1) const
    {
        const uint64_t n = Count * Width;
        if (Width != 0 && Count > data_.size() / Width)
            return fail();
        if (Offset > data_.size() || n > data_.size() - Offset)
            return fail();
        return data_.subspan(size_t(Offset), size_t(n));
    }

private:
    template <class T>
    T get(size_t Offset) const
    {
        T v {};
        if (Offset > data_.size() || sizeof(T) > data_.size() - Offset) {
            bad_ = true;
            return v;
        }
        std::memcpy(&v, data_.data() + Offset, sizeof(T));
        return v;
    }
    std::span<const uint8_t> fail() const
    {
        bad_ = true;
        return {};
    }
    std::span<const uint8_t> data_;
    mutable bool bad_ = false;
};

/// Walks the records of a metafile whose header has been checked. Stops at the end of the
/// data or at a record whose size is not a multiple of 4, below 8 or past the end.
class RecordWalker {
public:
    explicit RecordWalker(std::span<const uint8_t> Data) : data_(Data) {}
    /// The next record, or an empty span at the end (broken() tells why it ended).
    std::span<const uint8_t> next()
    {
        if (broken_ || at_ >= data_.size())
            return {};
        if (data_.size() - at_ < 8)
            return stop();
        uint32_t size;
        std::memcpy(&size, data_.data() + at_ + 4, 4);
        if (size < 8 || size % 4 != 0 || size > data_.size() - at_)
            return stop();
        auto record = data_.subspan(at_, size);
        at_ += size;
        return record;
    }
    bool broken() const { return broken_; }
    /// Where the next record starts, or the broken one.
    size_t offset() const { return at_; }

private:
    std::span<const uint8_t> stop()
    {
        broken_ = true;
        return {};
    }
    std::span<const uint8_t> data_;
    size_t at_ = 0;
    bool broken_ = false;
};

} // namespace gdi_private
