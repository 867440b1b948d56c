//===- marks_test.cpp - Marks: their list in the graph, drawing, setters and section ===//
#include "tests/plot/PlotFixture.h"

#include "plot/TAxis.h"
#include "plot/TAppearance.h"
#include "plot/TGenericAnnotation.h"
#include "plot/TPlotWriter.h"
#include "platform/rtl/TStream.h"
#include "platform/rtl/Exception.h"
#include "platform/ui/graphics/TCanvas.h"

using namespace plottest;

namespace {

class MarkTest : public PlotTest {
protected:
    void SetUp() override
    {
        PlotTest::SetUp();
        Range(*Graph->GetXAxis(), 0, 10);
        Range(*Graph->GetYAxis(), 0, 10);
    }
    TMark* Add(int32_t ID, uint8_t Type, double X1, double Y1, double X2 = 0, double Y2 = 0)
    {
        auto* M = new TMark(ID, "Limit", 3);
        M->SetMarkType(Type);
        M->SetX1(X1);
        M->SetY1(Y1);
        M->SetX2(X2);
        M->SetY2(Y2);
        Graph->AddAnnotation(M);
        return M;
    }
    std::string Drawn(TMark* M)
    {
        return Recording(*Graph, [M] { M->Draw(); });
    }
};

// The escapement of the font made for the caption, or -1.
int Escapement(const std::string& Dump)
{
    for (const std::string& Font : Records(Dump, "EXTCREATEFONTINDIRECTW")) {
        const size_t At = Font.find("escapement=");
        if (Font.find("escapement=0 ") == std::string::npos)
            return std::stoi(Font.substr(At + 11));
    }
    return -1;
}

} // namespace

TEST_F(MarkTest, EachTypeDrawsItsPrimitives)
{
    struct Row {
        uint8_t Type;
        double X1, Y1, X2, Y2;
        const char* Record; // the figure's record
        const char* Figure;
        int Escapement;
    } Rows[] = {
        { 0, 5, 0, 0, 0, "LINETO", "to=(112,30)", 900 },
        { 1, 0, 5, 0, 0, "LINETO", "to=(185,95)", -1 },
        { 2, 5, 5, 4, 0, "RECTANGLE", "box=(108,91)-(116,99)", -1 },
        // Two points at the same pixel x: the caption runs upwards.
        { 3, 5, 1, 5, 9, "LINETO", "to=(112,43)", 900 },
        // Rising from left to right: 41.9 degrees.
        { 3, 10, 10, 0, 0, "LINETO", "to=(185,30)", 418 },
        { 4, 5, 5, 6, 6, "LINETO", nullptr, -1 },
    };
    for (const Row& R : Rows) {
        TMark* M = Add(R.Type * 10 + int(R.X1), R.Type, R.X1, R.Y1, R.X2, R.Y2);
        const std::string Dump = Drawn(M);
        const auto Figures = Records(Dump, R.Record);
        if (!R.Figure) {
            EXPECT_EQ(Dump.find("TEXTOUT"), std::string::npos) << Dump;
            EXPECT_TRUE(Figures.empty()) << Dump;
            continue;
        }
        ASSERT_EQ(Figures.size(), 1u) << "type " << int(R.Type) << "\n" << Dump;
        EXPECT_NE(Figures[0].find(R.Figure), std::string::npos) << Figures[0];
        EXPECT_EQ(Records(Dump, "EXTTEXTOUTW").size(), 1u) << Dump;
        EXPECT_EQ(Escapement(Dump), R.Escapement) << "type " << int(R.Type);
    }
}

TEST_F(MarkTest, TheRotatedFontIsMadeForTheCaptionAndDeletedAfterIt)
{
    const std::string Dump = Drawn(Add(1, 0, 5, 0));
    const size_t Made = Dump.find("escapement=900");
    const size_t Text = Dump.find("EXTTEXTOUTW");
    const size_t Line = Dump.find(" LINETO ");
    ASSERT_NE(Made, std::string::npos);
    const std::string Index = Dump.substr(Dump.rfind("index=", Made), 7);
    const size_t Deleted = Dump.find("DELETEOBJECT 12 " + Index, Text);
    EXPECT_LT(Made, Text);
    EXPECT_LT(Deleted, Line) << "the previous font is back before the line\n" << Dump;
    // Left of the line by the font size (7 points) + 5, upwards from 3 pixels above Min.
    EXPECT_NE(Records(Dump, "EXTTEXTOUTW")[0].find("ref=(100,157)"), std::string::npos) << Dump;
}

TEST_F(MarkTest, HorizontalCaptionsSitByTheirPosition)
{
    TCanvas& Measure = *Graph->GetMeasuringCanvas();
    Measure.SetFont(*Graph->GetAppearance()->GetCaptionFont());
    const SIZE Text = Measure.TextExtent("Limit");
    struct Row {
        uint8_t Position;
        int X, Y;
    } Rows[] = {
        { 0, 50, 95 - 2 - Text.cy },
        { 1, 50, 97 },
        { 2, 200 - 15 - Text.cx - 10, 93 - Text.cy },
        { 3, 200 - 15 - Text.cx - 10, 97 },
    };
    for (const Row& R : Rows) {
        TMark* M = Add(R.Position + 1, 1, 0, 5);
        M->SetMarkPosition(R.Position);
        const auto Texts = Records(Drawn(M), "EXTTEXTOUTW");
        ASSERT_EQ(Texts.size(), 1u);
        const std::string Ref = "ref=(" + std::to_string(R.X) + "," + std::to_string(R.Y) + ")";
        EXPECT_NE(Texts[0].find(Ref), std::string::npos) << Texts[0] << " wants " << Ref;
    }
}

TEST_F(MarkTest, AnnotationsKeepAscendingIDsAndRefuseDuplicates)
{
    for (int32_t ID : { 3, 1, 2 })
        Add(ID, 0, 1, 1);
    auto* Duplicate = new TMark(2, "", 3);
    try {
        Graph->AddAnnotation(Duplicate);
        FAIL();
    } catch (const Exception& E) {
        EXPECT_EQ(E.Message(), "Attempt to create a duplicate Annotation ID");
    }
    delete Duplicate;
    std::vector<int32_t> IDs;
    for (TGenericAnnotation* A = Graph->GetFirstAnnotation(); A; A = A->next)
        IDs.push_back(A->ID);
    EXPECT_EQ(IDs, (std::vector<int32_t> { 1, 2, 3 }));
    delete Graph->FindAnnotation(2);
    EXPECT_EQ(Graph->FindAnnotation(2), nullptr);
    EXPECT_EQ(Graph->GetFirstAnnotation()->next->ID, 3);
    Graph->ClearAnnotations();
    EXPECT_EQ(Graph->GetFirstAnnotation(), nullptr);
}

TEST_F(MarkTest, SettersRepaintOnlyOnAChange)
{
    TMark* M = Add(1, 0, 5, 0);
    Graph->Paints = 0;
    M->SetX1(5);
    EXPECT_EQ(Graph->Paints, 0);
    M->SetX1(6);
    M->SetVisible(false);
    EXPECT_EQ(Graph->Paints, 2);
    TMemoryStream Stream;
    TPlotWriter Writer(Stream, 64);
    try {
        M->WriteOwnData(Writer);
        FAIL();
    } catch (const Exception& E) {
        EXPECT_EQ(E.Message(), "not coded yet");
    }
}
