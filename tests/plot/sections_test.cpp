//===- sections_test.cpp - The axis, settings, series and mark sections of the graph stream ===//
#include "tests/plot/PlotFixture.h"

#include "plot/TAppearance.h"
#include "plot/TAxis.h"
#include "plot/TDimensions.h"
#include "plot/TGenericAnnotation.h"
#include "plot/TLegend.h"
#include "plot/TPlotReader.h"
#include "plot/TPlotWriter.h"
#include "plot/TSeries.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/TStream.h"

#include <functional>
#include <memory>

using namespace plottest;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Written(const std::function<void(TPlotWriter&)>& Write)
{
    TMemoryStream S;
    {
        TPlotWriter W(S, 64);
        Write(W);
    }
    return Bytes(S.Memory(), S.Memory() + S.GetSize());
}

// Reads the section header as the graph stream does, then hands the reader on.
void ReadBack(const Bytes& B, const std::function<void(TPlotReader&)>& Read)
{
    TMemoryStream S;
    S.WriteBuffer(B.data(), static_cast<int32_t>(B.size()));
    S.SetPosition(0);
    TPlotReader R(S, 64);
    EXPECT_EQ(R.ReadTag(), 99);
    R.ReadAsString();
    Read(R);
}

Bytes Str(const std::string& S)
{
    Bytes B { 0x06, static_cast<uint8_t>(S.size()) };
    B.insert(B.end(), S.begin(), S.end());
    return B;
}

Bytes Int(const std::string& Tag, uint8_t V)
{
    Bytes B = Str(Tag);
    B.insert(B.end(), { 0x02, V });
    return B;
}

class SectionTest : public PlotTest {
protected:
    void SetUp() override
    {
        PlotTest::SetUp();
        Other = std::make_unique<CountingGraph>(nullptr);
    }
    void TearDown() override
    {
        Other.reset();
        PlotTest::TearDown();
    }
    std::unique_ptr<CountingGraph> Other;
};

} // namespace

TEST_F(SectionTest, TheDefaultDimensionsSectionIsTheseBytes)
{
    Bytes Want = Str("99S");
    const Bytes Name = Str("Dimensions");
    Want.insert(Want.end(), Name.begin(), Name.end());
    const std::pair<const char*, uint8_t> Entries[] = {
        { " 1I", 40 }, { " 2I", 40 }, { " 3I", 15 }, { " 4I", 30 }, { " 5I", 4 },  { " 6I", 4 },  { " 7I", 2 },
        { " 8I", 4 },  { " 9I", 2 },  { "10I", 7 },  { "11I", 5 },  { "12I", 20 }, { "13I", 90 },
    };
    for (const auto& [Tag, V] : Entries) {
        const Bytes E = Int(Tag, V);
        Want.insert(Want.end(), E.begin(), E.end());
    }
    const Bytes End = Str(" 0B");
    Want.insert(Want.end(), End.begin(), End.end());
    Want.push_back(0x08);
    EXPECT_EQ(Written([&](TPlotWriter& W) { Graph->GetDimensions()->WriteSection(W); }), Want);
}

TEST_F(SectionTest, SettingsSectionsRoundTrip)
{
    TAxis& X = *Graph->GetXAxis();
    X.SetTitle("Time");
    X.SetLogCycleDivisions(5);
    X.SetMin(-2);
    X.SetMax(8);
    X.SetStepSize(2);
    X.SetDateTickType(dt_weekly);
    X.SetOffsetType(ao_percentage);
    // Max, Min and StepSize switched these off; the section's last entries bring them back.
    X.SetAutoSizing(true);
    X.SetAutoStepping(true);
    TAppearance& A = *Graph->GetAppearance();
    A.SetMaxSteps(60);
    A.SetMinSteps(20);
    A.SetGridStyle(psDashDot);
    A.GetCaptionFont()->SetSize(14);
    A.PreventFlicker = true;
    Graph->GetDimensions()->SetPrintScalePct(50);
    TLegend& L = *Graph->GetLegend();
    L.Setvisible(true);
    L.SetLayout(lsDown);
    L.Getfont()->SetName("Courier New");

    struct Row {
        const char* Name;
        std::function<void(TPlotGraph&, TPlotWriter&)> Write;
        std::function<void(TPlotGraph&, TPlotReader&)> Read;
    } Rows[] = {
        { "Axis", [](TPlotGraph& G, TPlotWriter& W) { G.GetXAxis()->WriteSection(W); },
          [](TPlotGraph& G, TPlotReader& R) { G.GetXAxis()->ReadSection(R); } },
        { "Appearance", [](TPlotGraph& G, TPlotWriter& W) { G.GetAppearance()->WriteSection(W); },
          [](TPlotGraph& G, TPlotReader& R) { G.GetAppearance()->ReadSection(R); } },
        { "Dimensions", [](TPlotGraph& G, TPlotWriter& W) { G.GetDimensions()->WriteSection(W); },
          [](TPlotGraph& G, TPlotReader& R) { G.GetDimensions()->ReadSection(R); } },
        { "Legend", [](TPlotGraph& G, TPlotWriter& W) { G.GetLegend()->WriteSection(W); },
          [](TPlotGraph& G, TPlotReader& R) { G.GetLegend()->ReadSection(R); } },
    };
    for (const Row& R : Rows) {
        const Bytes Stored = Written([&](TPlotWriter& W) { R.Write(*Graph, W); });
        ReadBack(Stored, [&](TPlotReader& Reader) { R.Read(*Other, Reader); });
        EXPECT_EQ(Written([&](TPlotWriter& W) { R.Write(*Other, W); }), Stored) << R.Name;
    }
    EXPECT_EQ(Other->GetAppearance()->GetMinSteps(), 20);
    EXPECT_TRUE(Other->GetXAxis()->GetAutoSizing());
}

TEST_F(SectionTest, AnAxisSectionWithARangeButNoSizingFlagLeavesSizingOff)
{
    Other->GetYAxis()->SetAutoSizing(true);
    const Bytes Stored = Written([](TPlotWriter& W) {
        W.WriteSectionHeader("Axis");
        W.WriteTaggedReal(6, "Max", 5);
        W.WriteTaggedFont(40, "Unknown", TFont());
        W.WriteSectionEnd();
    });
    ReadBack(Stored, [&](TPlotReader& R) { Other->GetYAxis()->ReadSection(R); });
    EXPECT_FALSE(Other->GetYAxis()->GetAutoSizing());
    EXPECT_EQ(Other->GetYAxis()->GetMax(), 5);
}

TEST_F(SectionTest, ASeriesSectionRoundTripsWithItsPointsAndAxis)
{
    TSeries& S = *Graph->GetSeries(3);
    S.SetAxis(Graph->GetYAxis_Second());
    S.SetPointShape(4);
    S.SetPointSize(5);
    S.SetBoundsMode(1);
    S.SetUpperBound(2.5);
    S.SetShowInLegend(4);
    S.SetBarWidth(0.25);
    // ZeroValue, stored behind AutoZero, must not switch it off.
    S.SetAutoZero(true);
    S.AddPoint(1, 2);
    S.AddPoint(3, 4);
    const auto Write = [](TSeries& Series) { return Written([&](TPlotWriter& W) { Series.WriteSection(W, true); }); };
    const Bytes Stored = Write(S);
    TSeries& Copy = *Other->GetSeries(3);
    ReadBack(Stored, [&](TPlotReader& R) { Copy.ReadFromStream(R); });
    EXPECT_EQ(Copy.GetAxis(), Other->GetYAxis_Second());
    EXPECT_EQ(Copy.GetCount(), 2);
    EXPECT_TRUE(Copy.GetAutoZero());
    EXPECT_EQ(Write(Copy), Stored);
}

TEST_F(SectionTest, MarkSectionsChooseTheirDrawTime)
{
    struct Row {
        const char* Name;
        std::function<void(TPlotWriter&)> Entries;
        uint8_t DrawTime;
    } Rows[] = {
        { "neither 9 nor 11", [](TPlotWriter&) {}, 3 },
        { "9 true", [](TPlotWriter& W) { W.WriteTaggedBoolean(9, "", true); }, 1 },
        { "9 false", [](TPlotWriter& W) { W.WriteTaggedBoolean(9, "", false); }, 3 },
        { "11 over 9", [](TPlotWriter& W) { W.WriteTaggedBoolean(9, "", true), W.WriteTaggedInteger(11, "", 2); }, 2 },
    };
    int ID = 0;
    for (const Row& R : Rows) {
        const Bytes Stored = Written([&](TPlotWriter& W) {
            W.WriteSectionHeader("Mark");
            W.WriteTaggedInteger(1, "ID ", ++ID);
            R.Entries(W);
            W.WriteSectionEnd();
        });
        TMark* M = nullptr;
        ReadBack(Stored, [&](TPlotReader& Reader) { M = TMark::ReadSection(Reader, *Other); });
        ASSERT_NE(M, nullptr);
        EXPECT_EQ(M->DrawTime, R.DrawTime) << R.Name;
        EXPECT_EQ(M->Caption, "uninitialised") << R.Name;
        EXPECT_EQ(Other->FindAnnotation(ID), M);
    }
}

TEST_F(SectionTest, AMarkSectionRoundTripsAndADuplicateIsRefused)
{
    auto* M = new TMark(7, "Red", 0);
    M->SetColor(clRed);
    M->SetX1(1.5);
    M->SetY2(-3);
    M->SetMarkType(3);
    M->SetMarkPosition(2);
    Graph->AddAnnotation(M);
    const Bytes Stored = Written([&](TPlotWriter& W) { M->WriteSection(W); });
    TMark* Copy = nullptr;
    ReadBack(Stored, [&](TPlotReader& R) { Copy = TMark::ReadSection(R, *Other); });
    EXPECT_EQ(Written([&](TPlotWriter& W) { Copy->WriteSection(W); }), Stored);
    try {
        ReadBack(Stored, [&](TPlotReader& R) { TMark::ReadSection(R, *Other); });
        FAIL();
    } catch (const Exception& E) {
        EXPECT_EQ(E.Message(), "Attempt to create a duplicate Annotation ID");
    }
}

namespace {

// An annotation kind of a program's own, with one integer of own data.
class TNote : public TGenericAnnotation {
public:
    using TGenericAnnotation::TGenericAnnotation;
    std::string TypeName() const override { return "Note"; }
    void Draw() override {}
    void WriteOwnData(TPlotWriter& Writer) override { Writer.WriteInteger(4711); }
    void ReadOwnData(TPlotReader& Reader) override { Reader.ReadInteger(); }
};

} // namespace

TEST_F(SectionTest, OtherAnnotationKindsWriteTheirOwnDataBehindTheirSection)
{
    TNote Note(8, "Remark", 2);
    Note.SetVisible(false);
    const Bytes Stored = Written([&](TPlotWriter& W) { Note.WriteAnnotationSection(W); });
    ReadBack(Stored, [](TPlotReader& R) {
        EXPECT_EQ(R.ReadTag(), 1);
        EXPECT_EQ(R.ReadAsString(), "Note");
        EXPECT_EQ(R.ReadTag(), 2);
        EXPECT_EQ(R.ReadAsInteger(), 8);
        EXPECT_EQ(R.ReadTag(), 3);
        EXPECT_EQ(R.ReadAsString(), "Remark");
        EXPECT_EQ(R.ReadTag(), 4);
        EXPECT_EQ(R.ReadAsInteger(), 2);
        EXPECT_EQ(R.ReadTag(), 5);
        EXPECT_FALSE(R.ReadAsBoolean());
        EXPECT_EQ(R.ReadTag(), 0);
        EXPECT_EQ(R.ReadInteger(), 4711);
    });
}
