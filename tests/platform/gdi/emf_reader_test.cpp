//===- emf_reader_test.cpp - Another program reads our metafiles ----------===//
//
// The clipboard and saved files hand our metafiles to programs we did not write. Debian's
// emf2svg converter is such a reader: what it makes of our file must show the texts and shapes.
//
#include "EmfTestSupport.h"

#include "tests/support/TestSupport.h"

#include "platform/gdi/bitmaps/Dib.h"

#include <gtest/gtest.h>

#include <unistd.h>

using namespace emftest;
using gditest::logFont;

namespace {

const char* const converter = "/usr/bin/emf2svg-conv";

/// The SVG that emf2svg makes of a metafile, or "" when it fails.
std::string svgOf(const EnhMetaFile& Metafile, const testsupport::TempDir& Dir, const std::string& Name)
{
    const std::string in = Dir.file(Name + ".emf"), out = Dir.file(Name + ".svg");
    writeFile(in, Metafile.Bytes());
    const std::string command = std::string(converter) + " -i " + in + " -o " + out + " 2>/dev/null";
    if (std::system(command.c_str()) != 0)
        return "";
    std::vector<uint8_t> svg = readFile(out);
    return std::string(svg.begin(), svg.end());
}

void graph(HDC D)
{
    HPEN red = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    HFONT arial = CreateFontIndirect(logFont("Arial", -13));
    SelectObject(D, red);
    SelectObject(D, blue);
    SelectObject(D, arial);
    MoveToEx(D, 10, 10, nullptr);
    LineTo(D, 100, 10);
    Rectangle(D, 10, 20, 60, 50);
    Ellipse(D, 100, 20, 140, 60);
    SetTextColor(D, RGB(0, 128, 0));
    TextOut(D, 10, 60, "Energy 5.2 mJ \xB5");
    Dib logo(8, 8, 24);
    StretchDIBits(D, 70, 20, 16, 16, 0, 0, 8, 8, logo, SRCCOPY);
    SelectObject(D, GetStockObject(BLACK_PEN));
    SelectObject(D, GetStockObject(WHITE_BRUSH));
    SelectObject(D, GetStockObject(SYSTEM_FONT));
    for (HGDIOBJ o : { red, blue, arial })
        DeleteObject(o);
}

} // namespace

TEST(EmfReader, Emf2svgShowsOurTextsAndShapes)
{
    if (access(converter, X_OK) != 0)
        GTEST_SKIP() << "emf2svg is not installed (scripts/install-deps installs it)";
    HENHMETAFILE mf = record(graph);
    ASSERT_TRUE(mf);
    testsupport::TempDir dir;
    const std::string svg = svgOf(*mf, dir, "graph");
    ASSERT_FALSE(svg.empty()) << "emf2svg refused the metafile";
    EXPECT_NE(svg.find("M 10.0000,10.0000 L 100.0000,10.0000"), std::string::npos) << svg;
    EXPECT_NE(svg.find("stroke=\"#FF0000\""), std::string::npos) << svg;
    EXPECT_NE(svg.find("<rect x=\"10.0000\" y=\"20.0000\" width=\"50.0000\" height=\"30.0000\"  fill=\"#0000FF\""),
              std::string::npos)
        << svg;
    EXPECT_NE(svg.find("<ellipse cx=\"120.0000\" cy=\"40.0000\" rx=\"20.0000\" ry=\"20.0000\""), std::string::npos)
        << svg;
    EXPECT_NE(svg.find("font-family=\"Arial\" fill=\"#008000\""), std::string::npos) << svg;
    EXPECT_NE(svg.find("Energy 5.2 mJ \xC2\xB5"), std::string::npos) << svg; // UTF-8 in the SVG
    EXPECT_NE(svg.find("<image width=\"16.0000\" height=\"16.0000\" x=\"70.0000\" y=\"20.0000\""), std::string::npos)
        << svg;
}

TEST(EmfReader, Emf2svgReadsAPictureWithANestedOne)
{
    if (access(converter, X_OK) != 0)
        GTEST_SKIP() << "emf2svg is not installed (scripts/install-deps installs it)";
    const RECT graphFrame = frameOfPixels(150, 80);
    HENHMETAFILE inner = record(graph, &graphFrame);
    ASSERT_TRUE(inner);
    HENHMETAFILE page = record([&](HDC D) {
        TextOut(D, 5, 5, "Report");
        PlayEnhMetaFile(D, *inner, RECT { 0, 580, 150, 660 });
    });
    ASSERT_TRUE(page);
    testsupport::TempDir dir;
    const std::string svg = svgOf(*page, dir, "page");
    ASSERT_FALSE(svg.empty()) << "emf2svg refused the metafile";
    EXPECT_NE(svg.find("Report"), std::string::npos) << svg;
    EXPECT_NE(svg.find("Energy 5.2 mJ"), std::string::npos) << svg;
    EXPECT_NE(svg.find("<ellipse"), std::string::npos) << svg;
}
