//===- tagged_stream_test.cpp - Writing and reading the tagged value stream ===//
#include "plot/PlotConsts.h"
#include "plot/TPlotReader.h"
#include "plot/TPlotWriter.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/TStream.h"
#include "platform/ui/graphics/GraphicsObjects.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Contents(TMemoryStream& S) { return Bytes(S.Memory(), S.Memory() + S.GetSize()); }

void Load(TMemoryStream& S, const Bytes& B)
{
    S.Clear();
    S.WriteBuffer(B.data(), static_cast<int32_t>(B.size()));
    S.SetPosition(0);
}

Bytes Cat(std::initializer_list<Bytes> Parts)
{
    Bytes All;
    for (const Bytes& P : Parts)
        All.insert(All.end(), P.begin(), P.end());
    return All;
}

Bytes Str(const std::string& S)
{
    Bytes B { 0x06, static_cast<uint8_t>(S.size()) };
    B.insert(B.end(), S.begin(), S.end());
    return B;
}

std::string MessageOf(const std::function<void()>& F)
{
    try {
        F();
    } catch (const Exception& E) {
        return E.Message();
    }
    return "(nothing raised)";
}

// A red limit mark as the energy statistics program stores it.
const Bytes RedMarkSection = Cat({
    Str("99S"), Str("Mark"),
    Str(" 1I"), { 0x02, 0x02 },
    Str(" 2D"), { 0x05, 0, 0, 0, 0, 0, 0, 0, 0xAA, 0x05, 0x40 },
    Str(" 3D"), { 0x05, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 },
    Str(" 4D"), { 0x05, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 },
    Str(" 5D"), { 0x05, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 },
    Str(" 6I"), { 0x03, 0xFF, 0x00 },
    Str(" 7S"), Str(""),
    Str(" 8I"), { 0x02, 0x00 },
    Str("10I"), { 0x02, 0x03 },
    Str("11I"), { 0x02, 0x03 },
    Str(" 0B"), { 0x08 },
});

TEST(TaggedStream, RedLimitMarkSectionHasItsStoredBytesAndReadsBack)
{
    TMemoryStream S;
    {
        TPlotWriter W(S, 200);
        W.WriteSectionHeader("Mark");
        W.WriteTaggedInteger(1, "ID", 2);
        W.WriteTaggedReal(2, "X1", 85.0);
        W.WriteTaggedReal(3, "Y1", 0);
        W.WriteTaggedReal(4, "X2", 0);
        W.WriteTaggedReal(5, "Y2", 0);
        W.WriteTaggedInteger(6, "Color", 255);
        W.WriteTaggedString(7, "Caption", "");
        W.WriteTaggedInteger(8, "MarkType", 0);
        W.WriteTaggedInteger(10, "MarkPosition", 3);
        W.WriteTaggedInteger(11, "DrawTime", 3);
        W.WriteSectionEnd();
    }
    ASSERT_EQ(S.GetSize(), 124);
    EXPECT_EQ(Contents(S), RedMarkSection);

    S.SetPosition(0);
    TPlotReader R(S, 200);
    ASSERT_EQ(R.ReadTag(), 99);
    EXPECT_EQ(R.ReadAsString(), "Mark");
    std::vector<std::string> Seen;
    for (int Index = R.ReadTag(); Index != 0; Index = R.ReadTag())
        Seen.push_back(std::to_string(Index) + R.GetKind() + "=" + R.ReadAsString());
    EXPECT_EQ(Seen, (std::vector<std::string> { "1I=2", "2D=85", "3D=0", "4D=0", "5D=0", "6I=255", "7S=", "8I=0",
                                                "10I=3", "11I=3" }));
}

TEST(TaggedStream, IntegersAndStringsTakeTheirSmallestForm)
{
    struct Row {
        int32_t Value;
        Bytes Expected;
    } Rows[] = {
        { 127, { 0x02, 0x7F } },
        { -128, { 0x02, 0x80 } },
        { 128, { 0x03, 0x80, 0x00 } },
        { -32768, { 0x03, 0x00, 0x80 } },
        { 32768, { 0x04, 0x00, 0x80, 0x00, 0x00 } },
        { -2147483647 - 1, { 0x04, 0x00, 0x00, 0x00, 0x80 } },
    };
    for (const Row& R : Rows) {
        TMemoryStream S;
        {
            TPlotWriter W(S, 16);
            W.WriteInteger(R.Value);
        }
        EXPECT_EQ(Contents(S), R.Expected) << R.Value;
        S.SetPosition(0);
        TPlotReader Back(S, 16);
        EXPECT_EQ(Back.ReadInteger(), R.Value);
    }

    const std::string Long(300, 'x');
    TMemoryStream S;
    {
        TPlotWriter W(S, 64);
        W.WriteString(std::string(255, 'y'));
        W.WriteString(Long);
    }
    EXPECT_EQ(S.GetSize(), 2 + 255 + 5 + 300);
    EXPECT_EQ(S.Memory()[257], 0x0C);
    S.SetPosition(0);
    TPlotReader R(S, 64);
    EXPECT_EQ(R.ReadString(), std::string(255, 'y'));
    EXPECT_EQ(R.ReadString(), Long);
}

TEST(TaggedStream, TagsAreTheIndexRightAlignedToTwoCharacters)
{
    TMemoryStream S;
    {
        TPlotWriter W(S, 64);
        W.WriteTaggedInteger(5, "Five", 1);
        W.WriteTaggedInteger(12, "Twelve", 1);
    }
    EXPECT_EQ(Contents(S), Cat({ Str(" 5I"), { 0x02, 0x01 }, Str("12I"), { 0x02, 0x01 } }));

    TPlotWriter W(S, 64);
    EXPECT_EQ(MessageOf([&] { W.WriteTaggedInteger(100, "Hundred", 1); }), SIllegalSaveCall);
}

TEST(TaggedStream, WritersAndReadersTakeTurnsOnOneStream)
{
    // Each freed writer has handed over its bytes; each freed reader leaves the stream just
    // after what it used, although it read ahead into its buffer.
    TMemoryStream S;
    {
        TPlotWriter W(S, 4096);
        W.WriteString("plgr03.20");
    }
    {
        TPlotWriter W(S, 200);
        W.WriteTaggedString(1, "A", std::string(450, 'a'));
    }
    const int64_t Between = S.GetPosition();
    {
        TPlotWriter W(S, 4096);
        W.WriteSectionEnd();
    }
    S.SetPosition(0);
    {
        TPlotReader R(S, 4096);
        EXPECT_EQ(R.ReadString(), "plgr03.20");
    }
    EXPECT_EQ(S.GetPosition(), 11);
    {
        TPlotReader R(S, 200);
        ASSERT_EQ(R.ReadTag(), 1);
        EXPECT_EQ(R.ReadAsString().size(), 450u);
    }
    EXPECT_EQ(S.GetPosition(), Between);
    TPlotReader R(S, 4096);
    EXPECT_EQ(R.ReadTag(), 0);
}

TEST(TaggedStream, ValuesConvertBetweenKinds)
{
    struct Row {
        const char* Case;
        Bytes Entry; // tag and value
        std::function<std::string(TPlotReader&)> Ask;
        std::string Expected;
    };
    const auto AsString = [](TPlotReader& R) { return R.ReadAsString(); };
    const auto AsInteger = [](TPlotReader& R) { return std::to_string(R.ReadAsInteger()); };
    const auto AsReal = [](TPlotReader& R) { return FloatToStr(R.ReadAsReal()); };
    const auto AsBoolean = [](TPlotReader& R) { return std::string(R.ReadAsBoolean() ? "T" : "F"); };
    const Bytes Real29 = { 0x05, 0x00, 0x98, 0x99, 0x99, 0x99, 0x99, 0x99, 0xB9, 0x00, 0x40 };  //  2.9
    const Bytes RealM29 = { 0x05, 0x00, 0x98, 0x99, 0x99, 0x99, 0x99, 0x99, 0xB9, 0x00, 0xC0 }; // -2.9
    const Row Rows[] = {
        { "boolean as string", Cat({ Str(" 1B"), { 0x09 } }), AsString, "true" },
        { "real as string", Cat({ Str(" 1D"), Real29 }), AsString, "2.9" },
        { "integer as string", Cat({ Str(" 1I"), { 0x03, 0x00, 0x01 } }), AsString, "256" },
        { "unknown kind as string passes its value over", Cat({ Str(" 1X"), Str("abc") }), AsString, "" },
        { "boolean as integer", Cat({ Str(" 1B"), { 0x09 } }), AsInteger, "1" },
        { "2.9 as integer", Cat({ Str(" 1D"), Real29 }), AsInteger, "2" },
        { "-2.9 as integer", Cat({ Str(" 1D"), RealM29 }), AsInteger, "-2" },
        { "string as integer", Cat({ Str(" 1S"), Str("-42") }), AsInteger, "-42" },
        { "boolean as real", Cat({ Str(" 1B"), { 0x08 } }), AsReal, "0" },
        { "integer as real", Cat({ Str(" 1I"), { 0x02, 0xFE } }), AsReal, "-2" },
        { "string as real", Cat({ Str(" 1S"), Str("1.25") }), AsReal, "1.25" },
        { "real as boolean is false", Cat({ Str(" 1D"), Real29 }), AsBoolean, "F" },
        { "integer 1 as boolean", Cat({ Str(" 1I"), { 0x02, 0x01 } }), AsBoolean, "T" },
        { "integer 2 as boolean", Cat({ Str(" 1I"), { 0x02, 0x02 } }), AsBoolean, "F" },
        { "\"true\" as boolean", Cat({ Str(" 1S"), Str("true") }), AsBoolean, "T" },
        { "\"True\" as boolean", Cat({ Str(" 1S"), Str("True") }), AsBoolean, "F" },
    };
    for (const Row& R : Rows) {
        TMemoryStream S;
        // The section end behind each entry proves the value was taken whole.
        Load(S, Cat({ R.Entry, Str(" 0B"), { 0x08 } }));
        TPlotReader Reader(S, 8);
        ASSERT_EQ(Reader.ReadTag(), 1) << R.Case;
        EXPECT_EQ(R.Ask(Reader), R.Expected) << R.Case;
        EXPECT_EQ(Reader.ReadTag(), 0) << R.Case;
    }
}

TEST(TaggedStream, UnknownIndexesAreSkippedWithTheirValuesFontsIncluded)
{
    TFont Font;
    Font.SetName("Arial");
    Font.SetSize(12);
    Font.SetColor(0x123456);
    Font.SetStyle({ fsBold, fsStrikeOut });
    TMemoryStream S;
    {
        TPlotWriter W(S, 32);
        W.WriteTaggedFont(40, "Unknown", Font);
        W.WriteTaggedReal(41, "Unknown", 1.5);
        W.WriteTaggedFont(3, "Font", Font);
        W.WriteSectionEnd();
    }
    S.SetPosition(0);
    TPlotReader R(S, 32);
    EXPECT_EQ(R.ReadTag(), 40);
    R.Skip();
    EXPECT_EQ(R.ReadTag(), 41);
    R.Skip();
    ASSERT_EQ(R.ReadTag(), 3);
    TFont Back;
    R.ReadFont(Back);
    EXPECT_TRUE(Back.SameAs(Font));
    EXPECT_EQ(R.ReadTag(), 0);
}

TEST(TaggedStream, MisuseAndDamagedBytesRaiseClearErrors)
{
    struct Row {
        const char* Case;
        Bytes In;
        std::function<void(TPlotReader&)> Do;
        std::string Expected;
    };
    const std::string ReadError = "Stream read error";
    const Row Rows[] = {
        { "tag while a value is pending", Cat({ Str(" 1I"), { 0x02, 0x01 } }),
          [](TPlotReader& R) {
              R.ReadTag();
              R.ReadTag();
          },
          SReadingError1 },
        { "value without a tag", { 0x02, 0x01 }, [](TPlotReader& R) { R.ReadAsInteger(); }, SReadingError2 },
        { "font asked as integer", Cat({ Str(" 1F"), Str("Arial") }),
          [](TPlotReader& R) {
              R.ReadTag();
              R.ReadAsInteger();
          },
          SConversionError },
        { "font read from an integer entry", Cat({ Str(" 1I"), { 0x02, 0x01 } }),
          [](TPlotReader& R) {
              TFont F;
              R.ReadTag();
              R.ReadFont(F);
          },
          SConversionError },
        { "font size beyond any font", Cat({ Str(" 1F"), Str("A"), { 0x04, 0, 0, 0, 0x40 }, { 2, 0 }, { 8, 8, 8, 8 } }),
          [](TPlotReader& R) {
              TFont F;
              R.ReadTag();
              R.ReadFont(F);
          },
          SConversionError },
        { "NaN as integer", Cat({ Str(" 1D"), { 0x05, 0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x7F } }),
          [](TPlotReader& R) {
              R.ReadTag();
              R.ReadAsInteger();
          },
          SConversionError },
        { "real beyond 32 bits as integer", Cat({ Str(" 1D"), { 0x05, 0, 0, 0, 0, 0, 0, 0, 0x80, 0x1F, 0x40 } }),
          [](TPlotReader& R) {
              R.ReadTag();
              R.ReadAsInteger();
          },
          SConversionError },
        { "real beyond doubles", Cat({ Str(" 1D"), { 0x05, 0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x7F - 1 } }),
          [](TPlotReader& R) {
              R.ReadTag();
              R.ReadAsReal();
          },
          SConversionError },
        { "text that is no number", Cat({ Str(" 1S"), Str("1x") }),
          [](TPlotReader& R) {
              R.ReadTag();
              R.ReadAsReal();
          },
          "'1x' is not a valid floating point value" },
        { "tag of two characters", Str("1I"), [](TPlotReader& R) { R.ReadTag(); }, ReadError },
        { "tag index that is no number", Str("x1I"), [](TPlotReader& R) { R.ReadTag(); }, ReadError },
        { "tag that is no string", { 0x02, 0x01 }, [](TPlotReader& R) { R.ReadTag(); }, ReadError },
        { "value of the wrong type", Cat({ Str(" 1I"), { 0x09 } }),
          [](TPlotReader& R) {
              R.ReadTag();
              R.ReadAsInteger();
          },
          ReadError },
        { "negative long string length",
          { 0x0C, 0xFF, 0xFF, 0xFF, 0xFF, 'a' },
          [](TPlotReader& R) { R.ReadString(); },
          ReadError },
        { "long string length beyond the stream",
          { 0x0C, 0x00, 0x00, 0x00, 0x7F, 'a' },
          [](TPlotReader& R) { R.ReadString(); },
          ReadError },
        { "short string cut off", { 0x06, 0x05, 'a', 'b' }, [](TPlotReader& R) { R.ReadString(); }, ReadError },
        { "real cut off", { 0x05, 0, 0, 0 }, [](TPlotReader& R) { R.ReadFloat(); }, ReadError },
        { "point block without the count", Cat({ Str(" 2I"), { 2, 1 } }),
          [](TPlotReader& R) { R.ReadPointBlockHeader(); }, SPointCountError },
        { "point block without entries per point", Cat({ Str(" 1I"), { 2, 1 }, Str(" 3I"), { 2, 2 } }),
          [](TPlotReader& R) { R.ReadPointBlockHeader(); }, SEntriesPerPointError },
        { "point count beyond the bytes left",
          Cat({ Str(" 1I"), { 4, 0, 0, 0, 0x10 }, Str(" 2I"), { 2, 2 }, Str("D") }),
          [](TPlotReader& R) { R.ReadPointBlockHeader(); }, ReadError },
        { "negative point count", Cat({ Str(" 1I"), { 2, 0xFF }, Str(" 2I"), { 2, 2 }, Str("D") }),
          [](TPlotReader& R) { R.ReadPointBlockHeader(); }, ReadError },
    };
    for (const Row& R : Rows) {
        TMemoryStream S;
        Load(S, R.In);
        TPlotReader Reader(S, 4);
        EXPECT_EQ(MessageOf([&] { R.Do(Reader); }), R.Expected) << R.Case;
    }
}

TEST(TaggedStream, PointsReadFromBinaryAndTextBlocks)
{
    TMemoryStream S;
    {
        TPlotWriter W(S, 16);
        W.WritePointBlockHeader(2);
        W.WritePoint(1.5, -2);
        W.WritePoint(3, 4.25);
        // The text form, with a third entry per point that readers drop.
        W.WriteString("NumberOfPoints 1S");
        W.WriteString("1");
        W.WriteString("EntriesPerPoint 2S");
        W.WriteString("3");
        W.WriteString("S");
        W.WriteString("5,5");
        W.WriteString("-6");
        W.WriteString("ignored");
        W.WriteString("end");
    }
    S.SetPosition(0);
    const char Saved = DecimalSeparator;
    DecimalSeparator = ',';
    TPlotReader R(S, 16);
    double X, Y;
    ASSERT_EQ(R.ReadPointBlockHeader(), 2);
    R.ReadPoint(X, Y);
    EXPECT_EQ(std::make_pair(X, Y), std::make_pair(1.5, -2.0));
    R.ReadPoint(X, Y);
    EXPECT_EQ(std::make_pair(X, Y), std::make_pair(3.0, 4.25));
    ASSERT_EQ(R.ReadPointBlockHeader(), 1);
    R.ReadPoint(X, Y);
    DecimalSeparator = Saved;
    EXPECT_EQ(std::make_pair(X, Y), std::make_pair(5.5, -6.0));
    EXPECT_EQ(R.ReadString(), "end");
}

} // namespace
