//===- TPlotWriter.h - Writes the tagged value stream of stored graphs -*- C++ -*-===//
//
// Values go out in the class library's component-stream value format (a type byte, then the
// value); a tagged entry is a tag string (the index right-aligned to two characters and a kind
// letter) followed by its value. The writer collects bytes in a buffer of its own size and hands
// them to the stream when the buffer is full, on FlushBuffer and when it is freed, so several
// writers may be opened one after another on one stream.
//
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TFont;
class TStream;

/// Kind letters of the tags.
inline constexpr char tkBoolean = 'B';
inline constexpr char tkReal = 'D';
inline constexpr char tkFont = 'F';
inline constexpr char tkInteger = 'I';
inline constexpr char tkString = 'S';

/// Indexes of the section header and end, and of the point block's two entries.
inline constexpr int SectionHeaderIndex = 99;
inline constexpr int SectionEndIndex = 0;
inline constexpr int PointCountIndex = 1;
inline constexpr int EntriesPerPointIndex = 2;

class TPlotWriter {
public:
    /// BufSize > 0 bytes are collected before they go to Stream.
    TPlotWriter(TStream& Stream, int BufSize);
    /// Hands the rest of the buffer to the stream. A stream that refuses raises EWriteError from
    /// here unless another exception is already on its way (call FlushBuffer to see it then).
    ~TPlotWriter() noexcept(false);
    TPlotWriter(const TPlotWriter&) = delete;
    TPlotWriter& operator=(const TPlotWriter&) = delete;

    // --- Single values (the type byte picks the smallest integer form, strings over 255 bytes
    //     take the long form)
    void WriteInteger(int32_t Value);
    /// As a 10-byte extended real.
    void WriteFloat(double Value);
    void WriteString(std::string_view Value);
    void WriteBoolean(bool Value);

    // --- Tagged entries. Key is the entry's name in the text form; the binary form written here
    //     leaves it out. An index of more than two characters raises "illegal call in savetofile".
    void WriteTaggedString(int Index, std::string_view Key, std::string_view Value);
    void WriteTaggedInteger(int Index, std::string_view Key, int32_t Value);
    void WriteTaggedReal(int Index, std::string_view Key, double Value);
    void WriteTaggedBoolean(int Index, std::string_view Key, bool Value);
    /// Name, size, colour, then bold, italic, underline and strike-out.
    void WriteTaggedFont(int Index, std::string_view Key, const TFont& Font);

    // --- Sections and the point block
    /// Tag 99 "S", then Name ("Series", "Axis", "Mark" ...).
    void WriteSectionHeader(std::string_view Name);
    /// Tag 0 "B", then false.
    void WriteSectionEnd();
    /// The count and 2 entries per point, then the marker "D": the points follow as reals.
    void WritePointBlockHeader(int32_t Count);
    void WritePoint(double X, double Y);

    // --- Buffer
    void FlushBuffer();
    /// The stream position that the next value will have.
    int64_t Position() const;

private:
    void WriteTag(int Index, char Kind);
    void WriteBytes(const void* Data, size_t Count);
    void WriteByte(uint8_t Value) { WriteBytes(&Value, 1); }

    TStream& FStream;
    std::vector<uint8_t> FBuffer;
    size_t FBufPos = 0;
};
