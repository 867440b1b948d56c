//===- page_rendering_test.cpp - Shapes drawn in device units land where a reader paints them ===//
#include "tests/pdf/PdfTestSupport.h"

#include "tests/support/TestSupport.h"

#include "pdf/TPDFDocument.h"
#include "pdf/TPDFPage.h"
#include "pdf/TPDFPages.h"

#include <gtest/gtest.h>

using namespace pdftest;

namespace {

TEST(PageRendering, ShapesInDeviceUnitsArePaintedWhereTheyWereDrawn)
{
    testsupport::TempDir Dir;
    const std::string File = Dir.file("shapes.pdf");
    WritePdf(
        File, [](TPDFDocument& Doc) { Doc.Resolution = 144; },
        [](TPDFDocument& Doc) {
            TPDFPage& P = *Doc.CurrentPage;
            P.Rectangle(200, 200, 400, 300); // 100..200 x 100..150 in 72-dpi pixels
            P.Fill();
            P.Circle(800, 1200, 100); // centre 400, 600, radius 50
            P.Fill();
            // Counter-clockwise on the device from the right radial to the top one: the upper
            // right quarter of the box 300..400 x 100..200.
            P.Pie(600, 200, 802, 402, 802, 301, 701, 200);
            P.Fill();
            P.SetLineWidth(4);
            P.MoveTo(200, 1400);
            P.LineTo(1000, 1400); // a 2-point line at y = 700
            P.Stroke();
        });
    ASSERT_EQ(RunTool({ "qpdf", "--check", File }).Status, 0);
    ASSERT_EQ(RunTool({ "pdftoppm", "-gray", "-r", "72", "-singlefile", File, Dir.file("shapes") }).Status, 0);
    const Grey G = ReadPgm(testsupport::ReadFile(Dir.file("shapes.pgm")));
    ASSERT_EQ(G.Width, 595);
    struct Probe {
        const char* What;
        int X, Y;
        bool Dark;
    };
    const Probe Probes[] = {
        { "rectangle", 150, 125, true },          { "left of rectangle", 95, 125, false },
        { "below rectangle", 150, 155, false },   { "circle centre", 400, 600, true },
        { "circle rim inside", 446, 600, true },  { "outside circle", 400, 654, false },
        { "pie's quarter", 375, 125, true },      { "pie's opposite quarter", 325, 175, false },
        { "pie's lower right", 375, 175, false }, { "line", 300, 700, true },
        { "beside line", 300, 705, false },
    };
    for (const Probe& P : Probes)
        EXPECT_EQ(G.at(P.X, P.Y) < 128, P.Dark) << P.What << " (" << P.X << ", " << P.Y << ") = " << G.at(P.X, P.Y);
}

TEST(PageRendering, AnInnerFormIsDrawnThroughItsMatrix)
{
    testsupport::TempDir Dir;
    const std::string File = Dir.file("form.pdf");
    const std::string Pdf = WritePdf(File, nullptr, [](TPDFDocument& Doc) {
        TPDFPage& P = *Doc.CurrentPage;
        TPDFPage& Form = *P.InnerForms->Add();
        Form.Rectangle(0, 0, 50, 50); // the form's top-left 50 x 50 points
        Form.Fill();
        // Half size, moved 100 points right and 200 up.
        Form.FormMatrix = TPDFMatrix { 0.5, 0, 0, 0.5, 100, 200 };
        P.AppendLine("q /IF0 Do Q");
    });
    ASSERT_EQ(RunTool({ "qpdf", "--check", File }).Status, 0);
    EXPECT_NE(Pdf.find("/Matrix [0.5 0 0 0.5 100 200 ]\r\n/BBox [0 0 595 842]\r\n"), std::string::npos);
    EXPECT_NE(Pdf.find(" /XObject <<\r\n/IF0 3 0 R\r\n>>"), std::string::npos);
    ASSERT_EQ(RunTool({ "pdftoppm", "-gray", "-r", "72", "-singlefile", File, Dir.file("form") }).Status, 0);
    const Grey G = ReadPgm(testsupport::ReadFile(Dir.file("form.pgm")));
    // The square spans x 100..125 and, from the top, y 842 - 200 - 421 = 221 .. 246.
    EXPECT_LT(G.at(112, 233), 128);
    EXPECT_GT(G.at(130, 233), 128);
    EXPECT_GT(G.at(112, 215), 128);
}

} // namespace
