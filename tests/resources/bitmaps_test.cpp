//===- bitmaps_test.cpp - The lamp and digit bitmap strips: files, geometry, colours, glyphs -===//
#include "resources/generator/ResourceBitmaps.h"

#include "tests/support/ChildProcess.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr COLORREF red = 0x0000FF, olive = 0x008080, black = 0, white = 0xFFFFFF, silver = 0xC0C0C0, grey = 0x808080;

std::vector<uint8_t> readFile(const std::string& Path)
{
    std::ifstream in(Path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const resourcebitmaps::Strip* findStrip(std::string_view Name)
{
    for (const auto& s : resourcebitmaps::Strips())
        if (s.FileName == Name)
            return &s;
    return nullptr;
}

/// Where the bitmap lies under resources/ (and under the generator's output folder).
std::string placeOf(std::string_view Name)
{
    const auto* strip = findStrip(Name);
    return strip ? std::string(strip->Folder) + "/" + std::string(Name) : std::string(Name);
}

std::string committedPath(std::string_view Name) { return std::string(RESOURCE_DIR) + "/" + placeOf(Name); }

/// The committed strip, loaded as the controls will load it.
std::unique_ptr<Dib> loadCommitted(std::string_view Name)
{
    const auto bytes = readFile(committedPath(Name));
    std::string error;
    auto dib = Dib::LoadBmp(bytes, &error);
    EXPECT_TRUE(dib) << Name << ": " << error;
    return dib;
}

struct StripRow {
    const char* name;
    int width, height;
    std::set<COLORREF> colours;
};
const StripRow stripRows[] = {
    { "ALLED.bmp", 120, 15, { red, olive, black, white, silver, grey } },
    { "LCDDIGITS.bmp", 234, 23, { black, red, white } },
    { "LCDPDIGITS.bmp", 385, 23, { black, red, white } },
};

// Seven segments ------------------------------------------------------------------------------

const char* const segNames = "abcdefg";

/// The middle pixel of each segment in a 13 x 23 digit glyph, and whether the segment runs
/// across (horizontal) or down.
struct SegPoint {
    int x, y;
    bool horizontal;
};
constexpr SegPoint segPoints[7] = {
    { 6, 2, true },   { 10, 6, false }, { 10, 16, false }, { 6, 20, true },
    { 2, 16, false }, { 2, 6, false },  { 6, 11, true },
};

/// What each glyph must light, as a reader of the display expects it.
struct GlyphRow {
    const char* label;
    const char* lit;
};
const GlyphRow digitGlyphs[resourcebitmaps::DigitGlyphs] = {
    { "0", "abcdef" }, { "1", "bc" },    { "2", "abdeg" },   { "3", "abcdg" },  { "4", "bcfg" },   { "5", "acdfg" },
    { "6", "acdefg" }, { "7", "abc" },   { "8", "abcdefg" }, { "9", "abcdfg" }, { "A", "abcefg" }, { "b", "cdefg" },
    { "C", "adef" },   { "d", "bcdeg" }, { "E", "adefg" },   { "F", "aefg" },   { "blank", "" },   { "minus", "g" },
};

/// Glyph g of the point strip shows this glyph of the digit strip.
int digitGlyphOfPointGlyph(int G)
{
    const int plain = G % 12;
    return plain < 10 ? plain : plain == 10 ? 16 : 17;
}

void expectSegments(const Dib& Strip, int Left, const GlyphRow& Row, const std::string& Where)
{
    const std::string lit = Row.lit;
    for (int s = 0; s < 7; ++s) {
        const bool on = lit.find(segNames[s]) != std::string::npos;
        EXPECT_EQ(Strip.GetPixel(Left + segPoints[s].x, segPoints[s].y), on ? red : white)
            << Where << " glyph " << Row.label << " segment " << segNames[s];
    }
}

/// Length of the run of non-background pixels through (X, Y) in one direction.
int runThrough(const Dib& D, int Left, int X, int Y, bool Horizontal)
{
    const auto set = [&](int x, int y) {
        return x >= 0 && x < 13 && y >= 0 && y < 23 && D.GetPixel(Left + x, y) != black;
    };
    if (!set(X, Y))
        return 0;
    int n = 1;
    for (int k = 1; Horizontal ? set(X - k, Y) : set(X, Y - k); ++k)
        ++n;
    for (int k = 1; Horizontal ? set(X + k, Y) : set(X, Y + k); ++k)
        ++n;
    return n;
}

/// Counts groups of non-background pixels in a 13 x 23 glyph, touching corners counting as joined.
int countGroups(const Dib& D, int Left)
{
    std::vector<int> seen(13 * 23, 0);
    int groups = 0;
    for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 13; ++x) {
            if (seen[y * 13 + x] || D.GetPixel(Left + x, y) == black)
                continue;
            ++groups;
            std::vector<std::pair<int, int>> todo { { x, y } };
            seen[y * 13 + x] = 1;
            while (!todo.empty()) {
                auto [px, py] = todo.back();
                todo.pop_back();
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int nx = px + dx, ny = py + dy;
                        if (nx < 0 || nx >= 13 || ny < 0 || ny >= 23 || seen[ny * 13 + nx])
                            continue;
                        if (D.GetPixel(Left + nx, ny) == black)
                            continue;
                        seen[ny * 13 + nx] = 1;
                        todo.push_back({ nx, ny });
                    }
            }
        }
    return groups;
}

// Lamps ---------------------------------------------------------------------------------------

std::set<COLORREF> coloursOfShape(const Dib& Strip, int Shape)
{
    std::set<COLORREF> found;
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 15; ++x)
            found.insert(Strip.GetPixel(Shape * 15 + x, y));
    return found;
}

} // namespace

// Files and geometry ------------------------------------------------------------------------------

TEST(BitmapStripFiles, CommittedFilesAreWhatTheGeneratorDraws)
{
    for (const auto& row : stripRows) {
        const auto* strip = findStrip(row.name);
        ASSERT_TRUE(strip) << row.name;
        const auto committed = readFile(committedPath(row.name));
        ASSERT_FALSE(committed.empty()) << row.name << " is missing";
        EXPECT_TRUE(committed == strip->Draw().SaveBmp())
            << row.name << " differs from the drawing: run make_bitmaps on resources";
    }
}

TEST(BitmapStripFiles, TheLogoIsCommittedAsDrawnIn380By90)
{
    EXPECT_TRUE(readFile(committedPath("ORVANELOGO.bmp")) == resourcebitmaps::DrawOrvaneLogo().SaveBmp())
        << "run make_bitmaps on resources";
    auto logo = loadCommitted("ORVANELOGO.bmp");
    ASSERT_TRUE(logo);
    EXPECT_EQ(logo->Width(), 380);
    EXPECT_EQ(logo->Height(), 90);
}

TEST(BitmapStripFiles, StripsHaveTheirSizesAndAre24Bit)
{
    for (const auto& row : stripRows) {
        auto dib = loadCommitted(row.name);
        ASSERT_TRUE(dib);
        EXPECT_EQ(dib->Width(), row.width) << row.name;
        EXPECT_EQ(dib->Height(), row.height) << row.name;
        EXPECT_EQ(dib->Bits(), 24) << row.name;
    }
}

TEST(BitmapStripFiles, OnlyTheColourKeysAndShadingOccur)
{
    for (const auto& row : stripRows) {
        auto dib = loadCommitted(row.name);
        ASSERT_TRUE(dib);
        std::set<COLORREF> stray;
        for (int y = 0; y < dib->Height(); ++y)
            for (int x = 0; x < dib->Width(); ++x)
                if (!row.colours.count(dib->GetPixel(x, y)))
                    stray.insert(dib->GetPixel(x, y));
        EXPECT_TRUE(stray.empty()) << row.name << " has " << stray.size() << " stray colours, first 0x" << std::hex
                                   << (stray.empty() ? 0 : *stray.begin());
    }
}

TEST(BitmapStripFiles, GeneratorWritesTheSameFilesAndRefusesAMissingFolder)
{
    testsupport::TempDir dir;
    const std::string program = testsupport::BinDir() + "/make_bitmaps";
    {
        testsupport::ChildProcess run({ program, dir.path() });
        EXPECT_EQ(run.wait(), 0);
    }
    for (const auto& row : stripRows)
        EXPECT_TRUE(readFile(dir.file(placeOf(row.name))) == readFile(committedPath(row.name))) << row.name;
    EXPECT_TRUE(readFile(dir.file(placeOf("ORVANELOGO.bmp"))) == readFile(committedPath("ORVANELOGO.bmp")));

    testsupport::ChildProcess missing({ program, dir.file("no/such/folder") });
    EXPECT_NE(missing.wait(), 0);
    testsupport::ChildProcess noArgument({ program });
    EXPECT_NE(noArgument.wait(), 0);
}

// Digit strips ----------------------------------------------------------------------------------

TEST(DigitStrip, EachGlyphLightsItsSegments)
{
    auto strip = loadCommitted("LCDDIGITS.bmp");
    ASSERT_TRUE(strip);
    for (int glyph = 0; glyph < 18; ++glyph)
        expectSegments(*strip, glyph * 13, digitGlyphs[glyph], "LCDDIGITS");
}

TEST(DigitStrip, EveryGlyphShowsAllSevenSegmentsInOnePlaceInsideABorder)
{
    // Unlit segments stay visible in the off colour, so every glyph covers the same pixels; and
    // cells are drawn side by side, so a lit edge would join the neighbour's segments.
    auto strip = loadCommitted("LCDDIGITS.bmp");
    ASSERT_TRUE(strip);
    for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 13; ++x)
            if (x == 0 || x == 12 || y == 0 || y == 22) {
                EXPECT_EQ(strip->GetPixel(x, y), black) << x << "," << y;
            }
    for (int glyph = 1; glyph < 18; ++glyph)
        for (int y = 0; y < 23; ++y)
            for (int x = 0; x < 13; ++x)
                ASSERT_EQ(strip->GetPixel(glyph * 13 + x, y) == black, strip->GetPixel(x, y) == black)
                    << "glyph " << digitGlyphs[glyph].label << " at " << x << "," << y;
}

TEST(DigitStrip, SegmentsAreSeparateBevelledBars)
{
    auto strip = loadCommitted("LCDDIGITS.bmp");
    ASSERT_TRUE(strip);
    // A gap around every segment, even at the corners where two of them meet.
    EXPECT_EQ(countGroups(*strip, 8 * 13), 7);
    for (int s = 0; s < 7; ++s) {
        const SegPoint p = segPoints[s];
        const int thickness = runThrough(*strip, 8 * 13, p.x, p.y, !p.horizontal);
        EXPECT_GE(thickness, 2) << segNames[s];
        EXPECT_LE(thickness, 3) << segNames[s];
        // Pointed ends: the edges of a bar are shorter than its middle line.
        const int middle = runThrough(*strip, 8 * 13, p.x, p.y, p.horizontal);
        const int ox = p.horizontal ? 0 : 1, oy = p.horizontal ? 1 : 0;
        EXPECT_GT(middle, runThrough(*strip, 8 * 13, p.x - ox, p.y - oy, p.horizontal)) << segNames[s];
        EXPECT_GT(middle, runThrough(*strip, 8 * 13, p.x + ox, p.y + oy, p.horizontal)) << segNames[s];
        EXPECT_GT(middle, thickness + 1) << segNames[s] << " is hardly longer than it is thick";
    }
}

TEST(PointDigitStrip, GlyphsRepeatTheDigitsRightOfAThreeColumnMargin)
{
    auto points = loadCommitted("LCDPDIGITS.bmp");
    auto digits = loadCommitted("LCDDIGITS.bmp");
    ASSERT_TRUE(points && digits);
    for (int glyph = 0; glyph < 24; ++glyph) {
        const int left = glyph * 16;
        const GlyphRow& row = digitGlyphs[digitGlyphOfPointGlyph(glyph)];
        expectSegments(*points, left + 3, row, "LCDPDIGITS " + std::to_string(glyph));
        const int source = digitGlyphOfPointGlyph(glyph) * 13;
        for (int y = 0; y < 23; ++y)
            for (int x = 0; x < 13; ++x)
                ASSERT_EQ(points->GetPixel(left + 3 + x, y), digits->GetPixel(source + x, y))
                    << "glyph " << glyph << " at " << x << "," << y;
    }
    for (int y = 0; y < 23; ++y)
        EXPECT_EQ(points->GetPixel(384, y), black) << "spare column, row " << y;
}

TEST(PointDigitStrip, OnlyTheSecondTwelveCarryALitPointLowInTheMargin)
{
    auto points = loadCommitted("LCDPDIGITS.bmp");
    ASSERT_TRUE(points);
    for (int glyph = 0; glyph < 24; ++glyph) {
        int lowRed = 0, other = 0;
        for (int y = 0; y < 23; ++y)
            for (int x = 0; x < 3; ++x) {
                const COLORREF c = points->GetPixel(glyph * 16 + x, y);
                if (c == red && y >= 17)
                    ++lowRed;
                else if (c != black)
                    ++other;
            }
        EXPECT_EQ(other, 0) << "glyph " << glyph << ": the margin holds only the point";
        if (glyph < 12) {
            EXPECT_EQ(lowRed, 0) << "glyph " << glyph << " has a point";
        } else {
            EXPECT_GE(lowRed, 2) << "glyph " << glyph << " lacks its point";
            EXPECT_LE(lowRed, 6) << "glyph " << glyph << ": the point is a dot, not a bar";
        }
    }
}

// Lamp strip ------------------------------------------------------------------------------------

TEST(LampStrip, EveryShapeHasARedBodyInOliveSurroundings)
{
    auto strip = loadCommitted("ALLED.bmp");
    ASSERT_TRUE(strip);
    for (int shape = 0; shape < 8; ++shape) {
        const int left = shape * 15;
        EXPECT_EQ(strip->GetPixel(left + 7, 7), red) << "shape " << shape << " centre";
        for (auto [x, y] : { std::pair { 0, 0 }, { 14, 0 }, { 0, 14 }, { 14, 14 } })
            EXPECT_EQ(strip->GetPixel(left + x, y), olive) << "shape " << shape << " corner " << x << "," << y;
        int body = 0;
        for (int y = 0; y < 15; ++y)
            for (int x = 0; x < 15; ++x)
                body += strip->GetPixel(left + x, y) == red;
        EXPECT_GE(body, 20) << "shape " << shape << " is too small to read as a lamp";
    }
}

TEST(LampStrip, BevelledShapesCarryShadingThePlainOnesDoNot)
{
    auto strip = loadCommitted("ALLED.bmp");
    ASSERT_TRUE(strip);
    for (int shape = 0; shape < 2; ++shape) {
        const auto found = coloursOfShape(*strip, shape);
        for (COLORREF shade : { black, white, silver, grey })
            EXPECT_TRUE(found.count(shade)) << "shape " << shape << " lacks shade 0x" << std::hex << shade;
        // Sunk into the panel and lit from the upper left: dark rim above, light rim below.
        const COLORREF top = strip->GetPixel(shape * 15 + 7, 1), bottom = strip->GetPixel(shape * 15 + 7, 13);
        EXPECT_TRUE(top == grey || top == black) << "shape " << shape << std::hex << " top 0x" << top;
        EXPECT_TRUE(bottom == white || bottom == silver) << "shape " << shape << std::hex << " bottom 0x" << bottom;
    }
    for (int shape = 2; shape < 8; ++shape)
        EXPECT_EQ(coloursOfShape(*strip, shape), (std::set<COLORREF> { red, olive })) << "shape " << shape;
}

TEST(LampStrip, PlainShapesAreSymmetric)
{
    // Shading aside, a lamp looks the same mirrored; a lopsided body shows at any size.
    auto strip = loadCommitted("ALLED.bmp");
    ASSERT_TRUE(strip);
    for (int shape = 2; shape < 8; ++shape)
        for (int y = 0; y < 15; ++y)
            for (int x = 0; x < 15; ++x) {
                const COLORREF c = strip->GetPixel(shape * 15 + x, y);
                ASSERT_EQ(c, strip->GetPixel(shape * 15 + 14 - x, y)) << "shape " << shape << " at " << x << "," << y;
                ASSERT_EQ(c, strip->GetPixel(shape * 15 + x, 14 - y)) << "shape " << shape << " at " << x << "," << y;
            }
}
