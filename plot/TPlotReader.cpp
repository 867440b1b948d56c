//===- TPlotReader.cpp - Reads the tagged value stream of stored graphs ---===//
#include "plot/TPlotReader.h"

#include "plot/ExtendedReal.h"
#include "plot/PlotConsts.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/RtlConsts.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/TStream.h"
#include "platform/ui/graphics/GraphicsObjects.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

[[noreturn]] void ReadError() { throw EReadError(SReadError); }
[[noreturn]] void ConversionError() { throw Exception(SConversionError); }

// The two characters before the kind letter: a digit, or a blank and a digit.
int TagIndex(const std::string& Tag)
{
    if (Tag.size() < 3)
        ReadError();
    const char High = Tag[Tag.size() - 3];
    const char Low = Tag[Tag.size() - 2];
    const auto IsDigit = [](char C) { return C >= '0' && C <= '9'; };
    if (!IsDigit(Low) || !(High == ' ' || IsDigit(High)))
        ReadError();
    return (High == ' ' ? 0 : (High - '0') * 10) + (Low - '0');
}

// A font size beyond this has no font, and the size's pixel height would overflow.
constexpr int32_t MaxFontSize = 32767;

} // namespace

TPlotReader::TPlotReader(TStream& Stream, int BufSize)
    : FStream(Stream), FBuffer(static_cast<size_t>(std::max(BufSize, 1)))
{
}

TPlotReader::~TPlotReader()
{
    if (FBufEnd > FBufPos)
        FStream.Seek(-static_cast<int64_t>(FBufEnd - FBufPos), soFromCurrent);
}

// --- Bytes

void TPlotReader::Fill()
{
    const int32_t Got = FStream.Read(FBuffer.data(), static_cast<int32_t>(FBuffer.size()));
    if (Got <= 0)
        ReadError();
    FBufPos = 0;
    FBufEnd = static_cast<size_t>(Got);
}

void TPlotReader::ReadBytes(void* Data, size_t Count)
{
    auto* Bytes = static_cast<uint8_t*>(Data);
    while (Count > 0) {
        if (FBufPos == FBufEnd)
            Fill();
        const size_t Part = std::min(Count, FBufEnd - FBufPos);
        std::memcpy(Bytes, FBuffer.data() + FBufPos, Part);
        FBufPos += Part;
        Bytes += Part;
        Count -= Part;
    }
}

uint8_t TPlotReader::ReadByte()
{
    if (FBufPos == FBufEnd)
        Fill();
    return FBuffer[FBufPos++];
}

int64_t TPlotReader::BytesLeft()
{
    const int64_t InStream = FStream.GetSize() - FStream.GetPosition();
    return static_cast<int64_t>(FBufEnd - FBufPos) + std::max<int64_t>(InStream, 0);
}

// --- Single values

TValueType TPlotReader::NextValue()
{
    if (FBufPos == FBufEnd)
        Fill();
    return static_cast<TValueType>(FBuffer[FBufPos]);
}

TValueType TPlotReader::ReadValueType() { return static_cast<TValueType>(ReadByte()); }

namespace {

int32_t LittleEndian(const uint8_t* Bytes, int Count)
{
    uint32_t U = 0;
    for (int I = Count - 1; I >= 0; --I)
        U = (U << 8) | Bytes[I];
    if (Count == 1)
        return static_cast<int8_t>(U);
    if (Count == 2)
        return static_cast<int16_t>(U);
    return static_cast<int32_t>(U);
}

int IntegerWidth(TValueType Type)
{
    switch (Type) {
    case vaInt8: return 1;
    case vaInt16: return 2;
    case vaInt32: return 4;
    default: return 0;
    }
}

} // namespace

int32_t TPlotReader::ReadInteger()
{
    const int Width = IntegerWidth(ReadValueType());
    if (Width == 0)
        ReadError();
    uint8_t Bytes[4];
    ReadBytes(Bytes, Width);
    return LittleEndian(Bytes, Width);
}

double TPlotReader::ReadFloat()
{
    const TValueType Type = NextValue();
    if (IntegerWidth(Type) != 0)
        return ReadInteger();
    if (ReadValueType() != vaExtended)
        ReadError();
    TExtendedBytes Bytes;
    ReadBytes(Bytes.data(), Bytes.size());
    const std::optional<double> Value = ExtendedToDouble(Bytes);
    if (!Value)
        ConversionError();
    return *Value;
}

std::string TPlotReader::ReadString()
{
    int64_t Length;
    switch (ReadValueType()) {
    case vaString: Length = ReadByte(); break;
    case vaLString: {
        uint8_t Bytes[4];
        ReadBytes(Bytes, 4);
        Length = LittleEndian(Bytes, 4);
        break;
    }
    default: ReadError();
    }
    // A length from a damaged file must not decide how much memory is taken.
    if (Length < 0 || Length > BytesLeft())
        ReadError();
    std::string S(static_cast<size_t>(Length), '\0');
    ReadBytes(S.data(), S.size());
    return S;
}

bool TPlotReader::ReadBoolean()
{
    switch (ReadValueType()) {
    case vaFalse: return false;
    case vaTrue: return true;
    default: ReadError();
    }
}

void TPlotReader::SkipValue()
{
    const TValueType Type = NextValue();
    if (IntegerWidth(Type) != 0)
        ReadInteger();
    else if (Type == vaExtended)
        ReadFloat();
    else if (Type == vaString || Type == vaLString)
        ReadString();
    else
        ReadBoolean();
}

// --- Tagged entries

int TPlotReader::ReadTag()
{
    if (!FTagExpected)
        throw Exception(SReadingError1);
    const std::string Tag = ReadString();
    const int Index = TagIndex(Tag);
    FKind = Tag.back();
    FTagExpected = false;
    if (Index == SectionEndIndex)
        Skip();
    return Index;
}

void TPlotReader::RequirePending()
{
    if (FTagExpected)
        throw Exception(SReadingError2);
}

std::string TPlotReader::ReadAsString()
{
    RequirePending();
    std::string Result;
    switch (FKind) {
    case tkBoolean: Result = ReadBoolean() ? "true" : "false"; break;
    case tkReal: Result = FloatToStr(ReadFloat()); break;
    case tkInteger: Result = IntToStr(ReadInteger()); break;
    case tkString: Result = ReadString(); break;
    case tkFont: ConversionError();
    default:
        // An unknown kind gives no text; its value is passed over so that the next tag is read
        // from the right byte.
        SkipValue();
        break;
    }
    ValueTaken();
    return Result;
}

int32_t TPlotReader::ReadAsInteger()
{
    RequirePending();
    int32_t Result;
    switch (FKind) {
    case tkBoolean: Result = ReadBoolean() ? 1 : 0; break;
    case tkReal: {
        const double Value = std::trunc(ReadFloat());
        // Truncation of NaN, infinities or values beyond 32 bits has no integer to give.
        if (!(Value >= -2147483648.0 && Value <= 2147483647.0))
            ConversionError();
        Result = static_cast<int32_t>(Value);
        break;
    }
    case tkInteger: Result = ReadInteger(); break;
    case tkString: Result = StrToInt(ReadString()); break;
    default: ConversionError();
    }
    ValueTaken();
    return Result;
}

double TPlotReader::ReadAsReal()
{
    RequirePending();
    double Result;
    switch (FKind) {
    case tkBoolean: Result = ReadBoolean() ? 1.0 : 0.0; break;
    case tkReal: Result = ReadFloat(); break;
    case tkInteger: Result = ReadInteger(); break;
    case tkString: Result = StrToFloat(ReadString()); break;
    default: ConversionError();
    }
    ValueTaken();
    return Result;
}

bool TPlotReader::ReadAsBoolean()
{
    RequirePending();
    bool Result;
    switch (FKind) {
    case tkBoolean: Result = ReadBoolean(); break;
    case tkReal:
        ReadFloat();
        Result = false;
        break;
    case tkInteger: Result = ReadInteger() == 1; break;
    case tkString: Result = ReadString() == "true"; break;
    default: ConversionError();
    }
    ValueTaken();
    return Result;
}

void TPlotReader::ReadFont(TFont& Font)
{
    RequirePending();
    if (FKind != tkFont)
        ConversionError();
    const std::string Name = ReadString();
    const int32_t Size = ReadInteger();
    const int32_t Color = ReadInteger();
    if (Size < -MaxFontSize || Size > MaxFontSize)
        ConversionError();
    TFontStyles Style;
    for (TFontStyle Item : { fsBold, fsItalic, fsUnderline, fsStrikeOut })
        if (ReadBoolean())
            Style.Include(Item);
    Font.SetName(Name);
    Font.SetSize(Size);
    Font.SetColor(Color);
    Font.SetStyle(Style);
    ValueTaken();
}

void TPlotReader::Skip()
{
    RequirePending();
    const int Parts = FKind == tkFont ? 7 : 1;
    for (int I = 0; I < Parts; ++I)
        SkipValue();
    ValueTaken();
}

// --- The point block

int32_t TPlotReader::ReadPointBlockHeader()
{
    if (ReadTag() != PointCountIndex)
        throw Exception(SPointCountError);
    const int32_t Count = ReadAsInteger();
    if (ReadTag() != EntriesPerPointIndex)
        throw Exception(SEntriesPerPointError);
    FEntriesPerPoint = ReadAsInteger();
    FBinaryPoints = ReadString() == "D";
    // Every entry of a point takes at least two bytes; a count that the rest of the stream
    // cannot hold comes from a damaged file.
    const int64_t MinBytes = int64_t(Count) * std::max<int64_t>(FEntriesPerPoint, 2) * 2;
    if (Count < 0 || MinBytes > BytesLeft())
        ReadError();
    return Count;
}

void TPlotReader::ReadPoint(double& X, double& Y)
{
    if (FBinaryPoints) {
        X = ReadFloat();
        Y = ReadFloat();
    } else {
        X = StrToFloat(ReadString());
        Y = StrToFloat(ReadString());
    }
    for (int32_t I = 2; I < FEntriesPerPoint; ++I)
        ReadString();
}
