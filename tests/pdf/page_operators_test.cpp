//===- page_operators_test.cpp - Page units, size, graphics state and the operator lines ===//
#include "pdf/TPDFDocument.h"
#include "pdf/TPDFException.h"
#include "pdf/TPDFPage.h"

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

class PageTest : public ::testing::Test {
protected:
    /// A page at Resolution device units per inch.
    std::unique_ptr<TPDFPage> page(int Resolution = 72)
    {
        Doc.Resolution = Resolution;
        return std::make_unique<TPDFPage>(Doc);
    }
    /// The lines written after the page's own "q".
    static Lines drawn(const TPDFPage& P) { return Lines(P.Content.begin() + 1, P.Content.end()); }

    TPDFDocument Doc { nullptr };
};

TEST_F(PageTest, ANewPageIsA4PortraitWithItsOwnSaveLevel)
{
    auto P = page();
    EXPECT_EQ(P->Content, Lines { "q" });
    EXPECT_EQ(P->PageWidth, 595);
    EXPECT_EQ(P->PageHeight, 842);
    EXPECT_EQ(P->GSaveDepth, 1);
    P->GRestore(); // the page's own level stays open
    EXPECT_EQ(P->Content, Lines { "q" });
}

TEST_F(PageTest, AResolutionBelowOneCountsAs72)
{
    auto P = page(0);
    P->LineTo(72, 72);
    EXPECT_EQ(P->Content.back(), "72 770 l");
}

TEST_F(PageTest, SizeCodesOrientationAndTheirOrder)
{
    struct Row {
        uint8_t Orientation, Code;
        int32_t Height, Width;
    };
    const Row Rows[] = {
        { 0, 1, 792, 612 }, { 0, 3, 1190, 842 }, { 0, 8, 1031, 728 }, { 0, 12, 1031, 728 }, { 0, 19, 747, 324 },
        { 0, 0, 842, 595 }, { 0, 20, 842, 595 }, { 1, 2, 595, 842 },  { 1, 14, 323, 459 },
    };
    for (const Row& R : Rows) {
        auto P = page();
        P->SetOrientation(R.Orientation);
        P->SetSize(R.Code);
        EXPECT_EQ(P->PageHeight, R.Height) << "code " << int(R.Code);
        EXPECT_EQ(P->PageWidth, R.Width) << "code " << int(R.Code);
        EXPECT_EQ(P->SizeCode, R.Code);
    }
}

TEST_F(PageTest, AnyConversionFixesThePageSize)
{
    auto P = page(96);
    EXPECT_EQ(P->GetHeight(), 1123); // 842 * 96 / 72 = 1122.67
    P->SetWidth(96 * 4);
    EXPECT_EQ(P->PageWidth, 288);
    EXPECT_EQ(P->SizeCode, 0);
    P->LineTo(96, 0);
    EXPECT_EQ(P->Content.back(), "72 842 l");
    for (auto Change : { +[](TPDFPage& Q) { Q.SetSize(2); }, +[](TPDFPage& Q) { Q.SetOrientation(1); },
                         +[](TPDFPage& Q) { Q.SetHeight(10); }, +[](TPDFPage& Q) { Q.SetWidth(10); } }) {
        EXPECT_THROW(Change(*P), TPDFException);
    }
    EXPECT_EQ(P->PageWidth, 288);
}

TEST_F(PageTest, OperatorLinesOfTheDocumentedCases)
{
    struct Row {
        const char* Name;
        int Resolution;
        void (*Draw)(TPDFPage&);
        Lines Expected;
    };
    const Row Rows[] = {
        { "line width at 96 dpi", 96, [](TPDFPage& P) { P.SetLineWidth(1); }, { "0.75 w" } },
        { "default dash", 72, [](TPDFPage& P) { P.NoDash(); }, {} },
        { "dash twice",
          72,
          [](TPDFPage& P) {
              P.SetDash("[2 2] 0");
              P.SetDash("[2 2] 0");
          },
          { "[2 2] 0 d" } },
        { "rectangle reordered", 72, [](TPDFPage& P) { P.Rectangle(10, 20, 0, 0); }, { "0 842 10 -20 re" } },
        { "arc of equal angles",
          72,
          [](TPDFPage& P) { P.ArcPt(0, 0, 21, 11, 30, 30); },
          { "19.1603 3 m", "19.1603 3 l" } },
        { "circle",
          72,
          [](TPDFPage& P) { P.CirclePt(100, 100, 10); },
          { "110 100 m", "110 105.5228 105.5228 110 100 110 c", "94.4772 110 90 105.5228 90 100 c",
            "90 94.4772 94.4772 90 100 90 c", "105.5228 90 110 94.4772 110 100 c" } },
        { "painting closes text",
          72,
          [](TPDFPage& P) {
              P.BeginText();
              P.Fill();
              P.EoFillAndStroke();
          },
          { "BT", "ET", "f", "B*" } },
        { "colours stay in text",
          72,
          [](TPDFPage& P) {
              P.BeginText();
              P.SetRGBFillColor(1, 0.5, 0);
              P.SetRGBStrokeColor(0, 0, 1);
          },
          { "BT", "1 0.5 0 rg", "0 0 1 RG" } },
        { "rotation", 72, [](TPDFPage& P) { P.RotateCoordinates(90); }, { "0 1 -1 0 0 0 cm" } },
        { "rotated rectangle",
          72,
          [](TPDFPage& P) { P.RotatedRectanglePt(10, 10, 20, -2, 90); },
          { "10 10 m", "10 30 l", "12 30 l", "12 10 l" } },
        { "round rectangle",
          72,
          [](TPDFPage& P) { P.RoundRect(0, 0, 20, 10, 4, 4); },
          { "2 842 m", "18 842 l", "19.1046 842 20 841.1046 20 840 c", "20 834 l", "20 832.8954 19.1046 832 18 832 c",
            "2 832 l", "0.8954 832 0 832.8954 0 834 c", "0 840 l", "0 841.1046 0.8954 842 2 842 c", "h" } },
    };
    for (const Row& R : Rows) {
        auto P = page(R.Resolution);
        R.Draw(*P);
        EXPECT_EQ(drawn(*P), R.Expected) << R.Name;
    }
}

TEST_F(PageTest, ArcsAreQuarterBezierChains)
{
    auto P = page();
    // Equal radial directions: the whole ellipse, four segments after one "m".
    P->ArcByPointsPt(0, 0, 101, 101, 100.5, 50.5, 100.5, 50.5);
    Lines L = drawn(*P);
    ASSERT_EQ(L.size(), 5u);
    // Every point is lowered by 0.0001 in both coordinates.
    EXPECT_EQ(L[0], "100.4999 50.4999 m");
    EXPECT_TRUE(L[4].ends_with(" 100.4999 50.4999 c")) << L[4];
    // A half circle by angles: two segments, and the start point is answered.
    auto Q = page();
    const TExtPoint Start = Q->ArcPt(0, 0, 101, 101, 0, 180);
    EXPECT_NEAR(Start.X, 100.5, 1e-9);
    EXPECT_NEAR(Start.Y, 50.5, 1e-9);
    EXPECT_EQ(drawn(*Q).size(), 3u);
    // Growing angles run through the bottom of the box, so that the flip of ArcByAngles turns them
    // counter-clockwise on the page.
    EXPECT_EQ(drawn(*Q).back(), "22.8857 0.4999 0.4999 22.8857 0.4999 50.4999 c");
}

TEST_F(PageTest, PieDrawsTheArcAndBothRadii)
{
    auto P = page();
    P->PiePt(0, 0, 101, 101, 50.5, 100, 100, 50.5);
    const Lines L = drawn(*P);
    ASSERT_EQ(L.size(), 5u);
    EXPECT_EQ(L[2], "50.5 50.5 l");
    EXPECT_EQ(L[3], "50.5 100.5 m");
    EXPECT_EQ(L[4], "50.5 50.5 l");
}

TEST_F(PageTest, RestoreBringsBackTheStateTheReaderRestores)
{
    auto P = page();
    P->GSave();
    P->SetDash("[3 1] 0");
    P->GRestore();
    // The reader is back at the solid line, so the pattern must be written again.
    P->SetDash("[3 1] 0");
    EXPECT_EQ(drawn(*P), (Lines { "q", "[3 1] 0 d", "Q", "[3 1] 0 d" }));
    EXPECT_EQ(P->DashPattern, "[3 1] 0");
}

TEST_F(PageTest, RestoreBelowTheFontLevelAsksForTheFontAgain)
{
    auto P = page();
    P->GSave();
    P->FontChanged = false;
    P->FontDepth = 2;
    P->BeginText();
    P->GRestore();
    EXPECT_TRUE(P->FontChanged);
    EXPECT_EQ(drawn(*P), (Lines { "q", "BT", "ET", "Q" }));
}

} // namespace
