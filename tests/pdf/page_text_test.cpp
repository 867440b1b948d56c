//===- page_text_test.cpp - Page text: operator lines, runs, widths, decorations and links ===//
#include "tests/pdf/PdfTestSupport.h"

#include "tests/support/TestSupport.h"

#include "pdf/TPDFAnnotations.h"
#include "pdf/TPDFDocument.h"
#include "pdf/TPDFPage.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace pdftest;

namespace {

class PageTextTest : public ::testing::Test {
protected:
    testsupport::TempDir Dir;
    std::string File = Dir.file("text.pdf");

    /// The page's content lines after Draw, and the written file.
    std::vector<std::string> lines(const std::function<void(TPDFPage&)>& Draw, std::string* Pdf = nullptr)
    {
        std::vector<std::string> Lines;
        const std::string Written = WritePdf(File, {}, [&](TPDFDocument& Doc) {
            Draw(*Doc.CurrentPage);
            Lines = Doc.CurrentPage->Content;
        });
        if (Pdf)
            *Pdf = Written;
        return Lines;
    }
};

TEST_F(PageTextTest, ATextOnANewPageOpensATextObjectPlacesItAndSelectsItsFont)
{
    const auto L = lines([](TPDFPage& P) { P.TextOut(0, 0, 0, "Hi (1)"); });
    ASSERT_GE(L.size(), 5u);
    EXPECT_EQ(L[1], "BT");
    EXPECT_EQ(L[2], "1 0 0 1 0 834.72 Tm"); // the top of the text at the page's top: 842 - 7.28
    EXPECT_EQ(L[3], "/F0 10 Tf");
    EXPECT_EQ(L[4], "(Hi \\(1\\)) Tj");
}

TEST_F(PageTextTest, MixedTextAlternatesSingleByteAndGlyphRuns)
{
    const std::u16string W = u"ab\u0416\u0436c";
    const auto L = lines([&](TPDFPage& P) {
        P.SetFont("Arial", 0, 10);
        P.ShowUnicodeTextAtPt(W.data(), int(W.size()), 10, 10, 0);
    });
    std::vector<std::string> Tail(L.end() - 6, L.end());
    EXPECT_EQ(Tail[0], "/TT1 10 Tf");
    EXPECT_EQ(Tail[1], "(ab) Tj");
    EXPECT_EQ(Tail[2], "/TT2 10 Tf");
    EXPECT_TRUE(Tail[3].size() == 13 && Tail[3].front() == '<' && Tail[3].ends_with("> Tj")) << Tail[3];
    EXPECT_EQ(Tail[4], "/TT1 10 Tf");
    EXPECT_EQ(Tail[5], "(c) Tj");
    // 8-bit text in a Cyrillic character set is read through its code page: the same glyph run.
    const auto Cyrillic = lines([&](TPDFPage& P) {
        P.SetFont("Arial", 0, 10, 204);
        P.ShowTextAtPt("\xC6\xE6", 10, 10, 0);
    });
    EXPECT_EQ(Cyrillic.back(), Tail[3]);
}

TEST_F(PageTextTest, AUnicodeRequestWithoutATrueTypeFaceWritesWinAnsiAndKeepsEveryMove)
{
    const std::u16string W = u"a\u0001\u0416";
    const float Dx[] = { 10, 20, 30 };
    const auto L = lines([&](TPDFPage& P) {
        P.SetFont("No Such Face", 0, 10);
        P.ExtTextOutW(0, 0, 0, W.data(), int(W.size()), Dx);
    });
    std::vector<std::string> Shown;
    std::copy_if(L.begin(), L.end(), std::back_inserter(Shown), [](const std::string& S) { return S.ends_with("Td"); });
    EXPECT_EQ(Shown, (std::vector<std::string> { "(a) Tj 10 0 Td", "20 0 Td", "(?) Tj 30 0 Td" }));
    EXPECT_EQ(std::count(L.begin(), L.end(), "/F0 10 Tf"), 2); // both kinds fell back to Helvetica
}

TEST_F(PageTextTest, WidthsCountSpacingsButNotATrailingBlank)
{
    struct Row {
        double CharSpacing, WordSpacing, Scaling, Width;
    };
    // "a b ": 556 + 278 + 556 + 278 thousandths at 10 points.
    const Row Rows[] = {
        { 0, 0, 100, 16.68 }, { 0, 2, 100, 18.68 }, { 1, 0, 100, 20.68 }, { 0, 0, 50, 8.34 }, { 0, 0, 0, 0 },
    };
    WritePdf(File, {}, [&](TPDFDocument& Doc) {
        for (const Row& R : Rows) {
            TPDFPage& P = *Doc.CurrentPage;
            P.SetCharSpacing(R.CharSpacing);
            P.SetWordSpacing(R.WordSpacing);
            P.SetHorizontalScaling(R.Scaling);
            EXPECT_NEAR(P.TextWidthPt("a b "), R.Width, 1e-9)
                << R.CharSpacing << " " << R.WordSpacing << " " << R.Scaling;
        }
    });
}

TEST_F(PageTextTest, SpacingAndScalingAreWrittenOnlyWhenTheyChange)
{
    const auto L = lines([](TPDFPage& P) {
        P.SetCharSpacing(2);
        P.SetCharSpacing(2);
        P.SetWordSpacing(0);
        P.SetHorizontalScaling(80);
        P.SetHorizontalScaling(80);
    });
    EXPECT_EQ(L, (std::vector<std::string> { "q", "BT", "2 Tc", "80 Tz" }));
}

TEST_F(PageTextTest, UnderlineAndStrikeOutAreFilledRectanglesBesideTheBaseline)
{
    const auto L = lines([](TPDFPage& P) {
        P.SetFont("Helvetica", 12, 10);
        P.ShowTextAtPt("ab", 100, 700, 0);
    });
    const std::vector<std::string> Tail(L.end() - 4, L.end());
    EXPECT_EQ(Tail, (std::vector<std::string> { "ET", "100 699.5 11.12 -0.5 re", "100 702.5 11.12 0.5 re", "f" }));
}

TEST_F(PageTextTest, RotatedTextKeepsItsAngleFromOneTextToTheNext)
{
    const auto L = lines([](TPDFPage& P) {
        P.SetTextAtBaseline(true);
        P.TextOut(0, 0, 90, "a");
        P.TextOut(10, 0, 90, "b");
    });
    std::vector<std::string> Matrices;
    std::copy_if(L.begin(), L.end(), std::back_inserter(Matrices),
                 [](const std::string& S) { return S.ends_with("Tm"); });
    // The second text at the same angle only moves the origin.
    ASSERT_EQ(Matrices.size(), 3u);
    EXPECT_EQ(Matrices[2], "0 1 -1 0 10 842 Tm");
}

TEST_F(PageTextTest, AddressesInUnrotatedTextBecomeLinks)
{
    struct Row {
        const char* Text;
        double Angle;
        std::vector<std::string> URLs;
    };
    const Row Rows[] = {
        { "see HTTP://a.b/c and mailto:x@y.z", 0, { "/URI (HTTP://a.b/c)", "/URI (mailto:x@y.z)" } },
        { "ftp://f.g", 0, { "/URI (ftp://f.g)" } },
        { "xhttp://a.b", 0, {} }, // an address after a letter is none
        { "xhttp://a.b http://c.d", 0, { "/URI (http://c.d)" } },
        { "see http://a.b/c", 30, {} },
    };
    for (const Row& R : Rows) {
        std::string Pdf;
        lines([&](TPDFPage& P) { P.TextOut(100, 100, R.Angle, R.Text); }, &Pdf);
        EXPECT_EQ(RunTool({ "qpdf", "--check", File }).Status, 0) << R.Text;
        std::vector<std::string> Found;
        for (size_t At = Pdf.find("/URI ("); At != std::string::npos; At = Pdf.find("/URI (", At + 1))
            Found.push_back(Pdf.substr(At, Pdf.find(')', At) + 1 - At));
        EXPECT_EQ(Found, R.URLs) << R.Text;
    }
    // The link covers the address from the top of the text to its baseline: after "see "
    // (18.9 points) and as wide as the address.
    WritePdf(File, {}, [](TPDFDocument& Doc) {
        TPDFPage& P = *Doc.CurrentPage;
        P.TextOut(100, 100, 0, "see http://a.b");
        ASSERT_EQ(P.Annotations.size(), 1u);
        const TPDFCustomAnnotation& A = *P.Annotations[0];
        EXPECT_EQ(A.Left, 118);
        EXPECT_EQ(A.Right, int(100 + 18.9 + P.TextWidth("http://a.b")));
        EXPECT_EQ(A.Top, 842 - 100);
        EXPECT_EQ(A.Bottom, 842 - 107);
    });
}

TEST_F(PageTextTest, TextRectCentresEvenInTheWidestRectangle)
{
    const auto L = lines([](TPDFPage& P) {
        // "ab" is 11.12 points wide; the centre of the widest rectangle lies half a unit left of 0.
        P.TextRect(TRect { INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN }, "ab", 1, 1);
    });
    ASSERT_GE(L.size(), 3u);
    EXPECT_EQ(L[2], "1 0 0 1 -6.06 840.22 Tm");
}

} // namespace
