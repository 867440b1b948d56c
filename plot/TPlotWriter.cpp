//===- TPlotWriter.cpp - Writes the tagged value stream of stored graphs --===//
#include "plot/TPlotWriter.h"

#include "plot/ExtendedReal.h"
#include "plot/PlotConsts.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/TStream.h"
#include "platform/ui/graphics/GraphicsObjects.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <exception>

TPlotWriter::TPlotWriter(TStream& Stream, int BufSize)
    : FStream(Stream), FBuffer(static_cast<size_t>(std::max(BufSize, 1)))
{
}

TPlotWriter::~TPlotWriter() noexcept(false)
{
    if (std::uncaught_exceptions() == 0) {
        FlushBuffer();
        return;
    }
    try {
        FlushBuffer();
    } catch (...) {
        // The exception already on its way is the one the caller hears of.
    }
}

void TPlotWriter::FlushBuffer()
{
    const size_t Count = FBufPos;
    FBufPos = 0;
    if (Count > 0)
        FStream.WriteBuffer(FBuffer.data(), static_cast<int32_t>(Count));
}

int64_t TPlotWriter::Position() const { return FStream.GetPosition() + static_cast<int64_t>(FBufPos); }

void TPlotWriter::WriteBytes(const void* Data, size_t Count)
{
    const auto* Bytes = static_cast<const uint8_t*>(Data);
    while (Count > 0) {
        if (FBufPos == FBuffer.size())
            FlushBuffer();
        const size_t Part = std::min(Count, FBuffer.size() - FBufPos);
        std::memcpy(FBuffer.data() + FBufPos, Bytes, Part);
        FBufPos += Part;
        Bytes += Part;
        Count -= Part;
    }
}

// --- Single values

void TPlotWriter::WriteInteger(int32_t Value)
{
    if (Value >= -128 && Value <= 127) {
        const uint8_t Bytes[2] = { 0x02, static_cast<uint8_t>(Value) };
        WriteBytes(Bytes, 2);
    } else if (Value >= -32768 && Value <= 32767) {
        const auto U = static_cast<uint16_t>(Value);
        const uint8_t Bytes[3] = { 0x03, static_cast<uint8_t>(U), static_cast<uint8_t>(U >> 8) };
        WriteBytes(Bytes, 3);
    } else {
        const auto U = static_cast<uint32_t>(Value);
        const uint8_t Bytes[5] = { 0x04, static_cast<uint8_t>(U), static_cast<uint8_t>(U >> 8),
                                   static_cast<uint8_t>(U >> 16), static_cast<uint8_t>(U >> 24) };
        WriteBytes(Bytes, 5);
    }
}

void TPlotWriter::WriteFloat(double Value)
{
    WriteByte(0x05);
    const TExtendedBytes Bytes = DoubleToExtended(Value);
    WriteBytes(Bytes.data(), Bytes.size());
}

void TPlotWriter::WriteString(std::string_view Value)
{
    if (Value.size() <= 255) {
        const uint8_t Head[2] = { 0x06, static_cast<uint8_t>(Value.size()) };
        WriteBytes(Head, 2);
    } else {
        assert(Value.size() <= 0x7FFFFFFF && "a long string's length is a signed 32-bit value");
        const auto N = static_cast<uint32_t>(Value.size());
        const uint8_t Head[5] = { 0x0C, static_cast<uint8_t>(N), static_cast<uint8_t>(N >> 8),
                                  static_cast<uint8_t>(N >> 16), static_cast<uint8_t>(N >> 24) };
        WriteBytes(Head, 5);
    }
    WriteBytes(Value.data(), Value.size());
}

void TPlotWriter::WriteBoolean(bool Value) { WriteByte(Value ? 0x09 : 0x08); }

// --- Tagged entries

void TPlotWriter::WriteTag(int Index, char Kind)
{
    std::string Tag = std::to_string(Index);
    if (Tag.size() > 2)
        throw Exception(SIllegalSaveCall);
    if (Tag.size() < 2)
        Tag.insert(Tag.begin(), ' ');
    Tag += Kind;
    WriteString(Tag);
}

void TPlotWriter::WriteTaggedString(int Index, std::string_view, std::string_view Value)
{
    WriteTag(Index, tkString);
    WriteString(Value);
}

void TPlotWriter::WriteTaggedInteger(int Index, std::string_view, int32_t Value)
{
    WriteTag(Index, tkInteger);
    WriteInteger(Value);
}

void TPlotWriter::WriteTaggedReal(int Index, std::string_view, double Value)
{
    WriteTag(Index, tkReal);
    WriteFloat(Value);
}

void TPlotWriter::WriteTaggedBoolean(int Index, std::string_view, bool Value)
{
    WriteTag(Index, tkBoolean);
    WriteBoolean(Value);
}

void TPlotWriter::WriteTaggedFont(int Index, std::string_view, const TFont& Font)
{
    WriteTag(Index, tkFont);
    WriteString(Font.GetName());
    WriteInteger(Font.GetSize());
    WriteInteger(Font.GetColor());
    const TFontStyles Style = Font.GetStyle();
    WriteBoolean(Style.Contains(fsBold));
    WriteBoolean(Style.Contains(fsItalic));
    WriteBoolean(Style.Contains(fsUnderline));
    WriteBoolean(Style.Contains(fsStrikeOut));
}

// --- Sections and the point block

void TPlotWriter::WriteSectionHeader(std::string_view Name) { WriteTaggedString(SectionHeaderIndex, "Section:", Name); }

void TPlotWriter::WriteSectionEnd() { WriteTaggedBoolean(SectionEndIndex, "EndOfSection", false); }

void TPlotWriter::WritePointBlockHeader(int32_t Count)
{
    WriteTaggedInteger(PointCountIndex, "NumberOfPoints", Count);
    WriteTaggedInteger(EntriesPerPointIndex, "EntriesPerPoint", 2);
    WriteString("D");
}

void TPlotWriter::WritePoint(double X, double Y)
{
    WriteFloat(X);
    WriteFloat(Y);
}
