//===- text_output_test.cpp - Text draws where it measures, DrawText's layout -===//
#include "DcTestSupport.h"

#include "platform/gdi/fonts/FontEngine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <set>
#include <vector>

using gditest::Canvas;
using gditest::Selected;

namespace {

constexpr COLORREF Black = 0, White = 0xFFFFFF;

class Text : public ::testing::Test {
protected:
    // Arial of 16 pixels on a transparent background unless a test says otherwise.
    void SetUp() override { useFont(gditest::logFont("Arial", -16)); }
    void useFont(const LOGFONTA& F)
    {
        HFONT font = CreateFontIndirect(F);
        DeleteObject(SelectObject(canvas.dc(), font));
        SetBkMode(canvas.dc(), TRANSPARENT);
    }
    TEXTMETRICA metrics()
    {
        TEXTMETRICA tm;
        GetTextMetrics(canvas.dc(), &tm);
        return tm;
    }
    SIZE extent(std::string_view S)
    {
        SIZE size {};
        GetTextExtentPoint32(canvas.dc(), S, &size);
        return size;
    }

    Canvas canvas { 300, 200 };
};

} // namespace

TEST_F(Text, ExtentIsTheSumOfTheFontEnginesAdvances)
{
    auto font = RealizedFont::Realize(gditest::logFont("Arial", -16));
    for (std::string_view s : { "W", "Hamburg", "Energy 123.45 mJ", "\xB5s", "" }) {
        int sum = 0;
        for (int a : font->Advances(s))
            sum += a;
        SIZE size = extent(s);
        EXPECT_EQ(size.cx, sum) << s;
        EXPECT_EQ(size.cy, font->TextMetrics().tmHeight) << s;
    }
    int widths[3];
    ASSERT_TRUE(GetCharWidth32(canvas.dc(), 'A', 'C', widths));
    EXPECT_EQ(widths[1], font->Advance('B'));
    ABC abc[1];
    ASSERT_TRUE(GetCharABCWidths(canvas.dc(), 'H', 'H', abc));
    EXPECT_EQ(abc[0].abcA + int(abc[0].abcB) + abc[0].abcC, font->Advance('H'));
}

TEST_F(Text, DrawnInkLiesWithinTheMeasuredCell)
{
    for (int height : { -11, -13, -16, -24 }) {
        Canvas c(300, 60);
        HFONT font = CreateFontIndirect(gditest::logFont("Arial", height));
        SelectObject(c.dc(), font);
        SetBkMode(c.dc(), TRANSPARENT);
        const std::string_view s = "Energy 123.45 mJ";
        SIZE size;
        GetTextExtentPoint32(c.dc(), s, &size);
        ASSERT_TRUE(TextOut(c.dc(), 20, 10, s));
        RECT ink = c.inkBounds();
        EXPECT_GE(ink.left, 20) << height;
        EXPECT_LE(ink.right, 20 + size.cx) << height;
        EXPECT_GT(ink.right, 20 + size.cx - 3) << height << ": the last glyph ends near the extent";
        EXPECT_GE(ink.top, 10) << height;
        EXPECT_LE(ink.bottom, 10 + size.cy) << height;
        SelectObject(c.dc(), GetStockObject(SYSTEM_FONT));
        DeleteObject(font);
    }
}

TEST_F(Text, AlignmentPlacesTheReferencePoint)
{
    const std::string_view s = "HHHH";
    const SIZE size = extent(s);
    const TEXTMETRICA tm = metrics();

    SetTextAlign(canvas.dc(), TA_RIGHT | TA_BASELINE);
    TextOut(canvas.dc(), 200, 100, s);
    RECT ink = canvas.inkBounds();
    EXPECT_LE(ink.right, 200);
    EXPECT_GE(ink.left, 200 - size.cx);
    EXPECT_EQ(ink.bottom, 100) << "capitals sit on the baseline, the row above y";
    EXPECT_GE(ink.top, 100 - tm.tmAscent);

    Canvas centred(300, 200);
    SelectObject(centred.dc(), GetCurrentObject(canvas.dc(), OBJ_FONT));
    SetBkMode(centred.dc(), TRANSPARENT);
    SetTextAlign(centred.dc(), TA_CENTER | TA_BOTTOM);
    TextOut(centred.dc(), 150, 100, s);
    ink = centred.inkBounds();
    EXPECT_LE(std::abs((ink.left + ink.right) / 2 - 150), 2);
    EXPECT_EQ(ink.bottom, 100 - tm.tmDescent);
    SelectObject(centred.dc(), GetStockObject(SYSTEM_FONT));
}

TEST_F(Text, OpaqueBackgroundFillsExactlyTheTextCell)
{
    SetBkMode(canvas.dc(), OPAQUE);
    SetBkColor(canvas.dc(), RGB(0, 255, 0));
    TextOut(canvas.dc(), 10, 20, "Wg");
    SIZE size = extent("Wg");
    RECT all = canvas.inkBounds();
    EXPECT_EQ(all.left, 10);
    EXPECT_EQ(all.top, 20);
    EXPECT_EQ(all.right, 10 + size.cx);
    EXPECT_EQ(all.bottom, 20 + size.cy);
    EXPECT_EQ(canvas.count(White), 300 * 200 - size.cx * size.cy);
    EXPECT_GT(canvas.count(Black), 20);
}

TEST_F(Text, ExtTextOutFillsAndClipsToItsRectangle)
{
    SetBkColor(canvas.dc(), RGB(0, 0, 255));
    RECT r { 10, 10, 40, 30 };
    ASSERT_TRUE(ExtTextOut(canvas.dc(), 10, 10, ETO_OPAQUE | ETO_CLIPPED, &r, "Wide text that overflows", nullptr));
    RECT ink = canvas.inkBounds();
    EXPECT_EQ(ink.left, 10);
    EXPECT_EQ(ink.top, 10);
    EXPECT_EQ(ink.right, 40);
    EXPECT_EQ(ink.bottom, 30);
    EXPECT_GT(canvas.count(Black), 10);
    EXPECT_FALSE(ExtTextOut(canvas.dc(), 0, 0, ETO_OPAQUE, nullptr, "x", nullptr));
}

TEST_F(Text, GivenAdvancesPlaceEachCharacter)
{
    const int dx[3] = { 40, 40, 40 };
    ExtTextOut(canvas.dc(), 10, 10, 0, nullptr, "III", dx);
    int runs = 0;
    for (int x = 0; x < 300; ++x) {
        bool ink = false;
        for (int y = 0; y < 40; ++y)
            ink |= canvas.at(x, y) == Black;
        if (ink && (x == 0 || [&] {
                for (int y = 0; y < 40; ++y)
                    if (canvas.at(x - 1, y) == Black)
                        return false;
                return true;
            }())) {
            EXPECT_LT(std::abs(x - (10 + 40 * runs) - 1), 3) << "stroke " << runs << " starts at " << x;
            ++runs;
        }
    }
    EXPECT_EQ(runs, 3);
}

TEST_F(Text, UpdateCpDrawsAtAndMovesTheCurrentPosition)
{
    SetTextAlign(canvas.dc(), TA_UPDATECP);
    MoveToEx(canvas.dc(), 30, 40, nullptr);
    TextOut(canvas.dc(), 0, 0, "Hi");
    TextOut(canvas.dc(), 0, 0, "Ho");
    POINT p;
    GetCurrentPositionEx(canvas.dc(), &p);
    EXPECT_EQ(p.x, 30 + extent("Hi").cx + extent("Ho").cx);
    EXPECT_EQ(p.y, 40);
    EXPECT_GE(canvas.inkBounds().left, 30);
}

TEST_F(Text, EscapementOf900DrawsUpwards)
{
    useFont(gditest::logFont("Arial", -16, FW_NORMAL, 900));
    const std::string_view s = "Pulse energy";
    TextOut(canvas.dc(), 100, 180, s);
    RECT ink = canvas.inkBounds();
    int width = ink.right - ink.left, height = ink.bottom - ink.top;
    EXPECT_GT(height, 3 * width);
    EXPECT_LE(ink.bottom, 181) << "the text starts at the reference point and rises";
    EXPECT_GE(ink.top, 180 - extent(s).cx - 1);
    EXPECT_LT(ink.top, 180 - extent(s).cx + 5);
    EXPECT_GE(ink.left, 100) << "with top alignment the glyphs hang to the right of the rising baseline";
}

// Small turned text once lost its thin letters ("Deviation" drew as "Dev ation"). Each pixel
// of a turned run is taken back into the run's own frame (u along the baseline, v down from it,
// from the reference point): quarter turns must give exactly the upright ink, other angles at
// least 60 % of each letter's upright ink within the letter's advance (a pixel chain turned by
// 45 degrees keeps 71 % of its pixels).
TEST_F(Text, TurnedSmallTextKeepsEveryLetter)
{
    const std::string_view s = "Deviation lil";
    constexpr int ref = 100;
    auto inkInFrame = [&](int Escapement) {
        Canvas c(200, 200);
        HFONT font = CreateFontIndirect(gditest::logFont("Arial", -9, FW_NORMAL, Escapement));
        SelectObject(c.dc(), font);
        SetBkMode(c.dc(), TRANSPARENT);
        SetTextAlign(c.dc(), TA_BASELINE);
        TextOut(c.dc(), ref, ref, s);
        SelectObject(c.dc(), GetStockObject(SYSTEM_FONT));
        DeleteObject(font);
        const double a = Escapement * std::numbers::pi / 1800, along[2] = { std::cos(a), -std::sin(a) },
                     down[2] = { std::sin(a), std::cos(a) };
        std::set<std::pair<int, int>> cells;
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 200; ++x)
                if (c.at(x, y) == Black) {
                    const double dx = x + 0.5 - ref, dy = y + 0.5 - ref;
                    cells.emplace(int(std::floor(dx * along[0] + dy * along[1])),
                                  int(std::floor(dx * down[0] + dy * down[1])));
                }
        return std::pair(cells, c.picture(Black));
    };
    const auto upright = inkInFrame(0).first;
    const auto advances = RealizedFont::Realize(gditest::logFont("Arial", -9))->Advances(s);
    for (int escapement : { 900, 1800, 2700, 300, 450, 3150 }) {
        const auto [turned, picture] = inkInFrame(escapement);
        if (escapement % 900 == 0) {
            EXPECT_EQ(turned, upright) << escapement << "\n" << picture;
            continue;
        }
        int from = 0;
        for (size_t i = 0; i < s.size(); from += advances[i++]) {
            auto inLetter = [&](const std::pair<int, int>& Cell) {
                return Cell.first >= from && Cell.first < from + advances[i];
            };
            const auto want = std::count_if(upright.begin(), upright.end(), inLetter);
            EXPECT_GE(10 * std::count_if(turned.begin(), turned.end(), inLetter), 6 * want)
                << "'" << s[i] << "' at " << escapement << "\n"
                << picture;
        }
    }
}

TEST_F(Text, UnderlineAndStrikeOutDrawLinesAcrossTheText)
{
    LOGFONTA f = gditest::logFont("Arial", -16);
    f.lfUnderline = 1;
    useFont(f);
    TextOut(canvas.dc(), 10, 10, "ab");
    const TEXTMETRICA tm = metrics();
    SIZE size = extent("ab");
    int fullRows = 0;
    for (int y = 10 + tm.tmAscent; y < 10 + tm.tmHeight; ++y) {
        int n = 0;
        for (int x = 10; x < 10 + size.cx; ++x)
            n += canvas.at(x, y) == Black;
        fullRows += n == size.cx;
    }
    EXPECT_GE(fullRows, 1) << "an underline below the baseline spans the run";

    Canvas struck(100, 40);
    LOGFONTA s = gditest::logFont("Arial", -16);
    s.lfStrikeOut = 1;
    HFONT font = CreateFontIndirect(s);
    SelectObject(struck.dc(), font);
    TextOut(struck.dc(), 10, 10, "..");
    SIZE dots;
    GetTextExtentPoint32(struck.dc(), "..", &dots);
    bool line = false;
    for (int y = 10; y < 10 + tm.tmAscent - 2; ++y) {
        int n = 0;
        for (int x = 10; x < 10 + dots.cx; ++x)
            n += struck.at(x, y) == Black;
        line |= n == dots.cx;
    }
    EXPECT_TRUE(line) << "a strike-out line above the dots";
    SelectObject(struck.dc(), GetStockObject(SYSTEM_FONT));
    DeleteObject(font);
}

TEST_F(Text, MetricsAndFontDataComeFromTheSelectedFont)
{
    auto font = RealizedFont::Realize(gditest::logFont("Arial", -16));
    TEXTMETRICA tm = metrics();
    EXPECT_EQ(tm.tmHeight, font->TextMetrics().tmHeight);
    EXPECT_EQ(tm.tmAscent, font->TextMetrics().tmAscent);
    EXPECT_EQ(tm.tmDescent, font->TextMetrics().tmDescent);

    const uint32_t head = 0x64616568; // 'head' as the original's tags read
    uint32_t size = GetFontData(canvas.dc(), head, 0, nullptr, 0);
    ASSERT_NE(size, GDI_ERROR);
    std::vector<uint8_t> mine(size), engine(size);
    EXPECT_EQ(GetFontData(canvas.dc(), head, 0, mine.data(), size), size);
    font->GetFontData(head, 0, engine.data(), size);
    EXPECT_EQ(mine, engine);
    EXPECT_EQ(GetFontData(canvas.dc(), 0x786F6F6E, 0, nullptr, 0), GDI_ERROR) << "no such table";

    OUTLINETEXTMETRICA otm;
    EXPECT_EQ(GetOutlineTextMetrics(canvas.dc(), 0, nullptr), 212u);
    EXPECT_EQ(GetOutlineTextMetrics(canvas.dc(), sizeof otm, &otm), 212u);
    EXPECT_EQ(otm.otmTextMetrics.tmHeight, tm.tmHeight);
    char face[LF_FACESIZE];
    GetTextFace(canvas.dc(), sizeof face, face);
    EXPECT_STREQ(face, "Arial");
}

TEST_F(Text, ScaledMappingMeasuresInLogicalUnits)
{
    const SIZE plain = extent("Hamburg");
    SetMapMode(canvas.dc(), MM_ANISOTROPIC);
    SetWindowExtEx(canvas.dc(), 1, 1, nullptr);
    SetViewportExtEx(canvas.dc(), 2, 2, nullptr);
    useFont(gditest::logFont("Arial", -16));
    SIZE scaled = extent("Hamburg");
    // The font grows with the mapping, the units with it: each advance is the 32-pixel font's,
    // hinted at that size, in logical units.
    auto big = RealizedFont::Realize(gditest::logFont("Arial", -32));
    int expected = 0;
    for (int a : big->Advances("Hamburg"))
        expected += int(std::lround(a / 2.0));
    EXPECT_EQ(scaled.cx, expected);
    EXPECT_NEAR(scaled.cx, plain.cx, 7) << "hinting moves each letter by a pixel at most";
    TextOut(canvas.dc(), 5, 5, "Hamburg");
    RECT ink = canvas.inkBounds();
    EXPECT_GE(ink.left, 10);
    EXPECT_GT(ink.right - ink.left, plain.cx + plain.cx / 2);
    EXPECT_LE(ink.right, 10 + 2 * scaled.cx);
}

TEST_F(Text, DrawTextCalcRectMeasuresWithoutDrawing)
{
    const TEXTMETRICA tm = metrics();
    RECT r { 10, 10, 300, 10 };
    EXPECT_EQ(DrawText(canvas.dc(), "Laser ready", &r, DT_CALCRECT | DT_SINGLELINE), tm.tmHeight);
    EXPECT_EQ(r.right, 10 + extent("Laser ready").cx);
    EXPECT_EQ(r.bottom, 10 + tm.tmHeight);
    EXPECT_EQ(canvas.count(White), 300 * 200);

    RECT two { 0, 0, 300, 0 };
    EXPECT_EQ(DrawText(canvas.dc(), "first\r\nsecond line", &two, DT_CALCRECT), 2 * tm.tmHeight);
    EXPECT_EQ(two.right, extent("second line").cx);
}

TEST_F(Text, WordBreakWrapsAtBlanksWithinTheWidth)
{
    const TEXTMETRICA tm = metrics();
    const int width = extent("pressure too").cx + 2;
    RECT r { 0, 0, width, 0 };
    int height = DrawText(canvas.dc(), "pressure too low in the laser tube", &r, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_GE(height, 3 * tm.tmHeight);
    EXPECT_EQ(height % tm.tmHeight, 0);
    EXPECT_LE(r.right, width);
    RECT draw { 0, 0, width, 200 };
    DrawText(canvas.dc(), "pressure too low in the laser tube", &draw, DT_WORDBREAK);
    RECT ink = canvas.inkBounds();
    EXPECT_LE(ink.right, width);
    EXPECT_GT(ink.bottom, 2 * tm.tmHeight);

    RECT narrow { 0, 0, 5, 0 };
    DrawText(canvas.dc(), "unbreakable", &narrow, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_EQ(narrow.right, extent("unbreakable").cx) << "a word wider than the box keeps its line";
}

TEST_F(Text, DrawTextAlignsLinesInTheRectangleAndClipsToIt)
{
    const TEXTMETRICA tm = metrics();
    const SIZE size = extent("OK");
    RECT r { 100, 50, 200, 100 };
    int left = 100 + (100 - size.cx) / 2, top = 50 + (50 - tm.tmHeight) / 2;
    EXPECT_EQ(DrawText(canvas.dc(), "OK", &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE), top - 50 + tm.tmHeight)
        << "centred, the answer reaches from the rectangle's top to the text's bottom";
    RECT ink = canvas.inkBounds();
    EXPECT_GE(ink.left, left);
    EXPECT_LE(ink.right, left + size.cx);
    EXPECT_GE(ink.top, top);
    EXPECT_LE(ink.bottom, top + tm.tmHeight);

    Canvas right(300, 200);
    SelectObject(right.dc(), GetCurrentObject(canvas.dc(), OBJ_FONT));
    SetBkMode(right.dc(), TRANSPARENT);
    RECT box { 0, 0, 120, 40 };
    DrawText(right.dc(), "OK", &box, DT_RIGHT | DT_BOTTOM | DT_SINGLELINE);
    ink = right.inkBounds();
    EXPECT_LE(ink.right, 120);
    EXPECT_GE(ink.left, 120 - size.cx);
    EXPECT_GE(ink.top, 40 - tm.tmHeight);

    Canvas clipped(300, 200);
    SelectObject(clipped.dc(), GetCurrentObject(canvas.dc(), OBJ_FONT));
    SetBkMode(clipped.dc(), TRANSPARENT);
    RECT small { 0, 0, 20, 8 };
    DrawText(clipped.dc(), "Clipped", &small, DT_LEFT);
    ink = clipped.inkBounds();
    EXPECT_LE(ink.right, 20);
    EXPECT_LE(ink.bottom, 8);
    SelectObject(right.dc(), GetStockObject(SYSTEM_FONT));
    SelectObject(clipped.dc(), GetStockObject(SYSTEM_FONT));
}

TEST_F(Text, EndEllipsisShortensTheLineToFitWithThreeDots)
{
    const int width = extent("replacing").cx;
    RECT r { 0, 0, width, 0 };
    DrawText(canvas.dc(), "replacing nitrogen", &r, DT_CALCRECT | DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_LE(r.right, width);
    EXPECT_GT(r.right, width - extent("W...").cx);
    RECT fits { 0, 0, 300, 0 };
    DrawText(canvas.dc(), "short", &fits, DT_CALCRECT | DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_EQ(fits.right, extent("short").cx);
}

TEST_F(Text, PrefixAmpersandUnderlinesTheNextCharacter)
{
    const TEXTMETRICA tm = metrics();
    RECT r { 0, 0, 200, 0 };
    DrawText(canvas.dc(), "&Start", &r, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(r.right, extent("Start").cx);
    RECT doubled { 0, 0, 200, 0 };
    DrawText(canvas.dc(), "A&&B", &doubled, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(doubled.right, extent("A&B").cx);
    RECT literal { 0, 0, 200, 0 };
    DrawText(canvas.dc(), "A&B", &literal, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(literal.right, extent("A&B").cx);

    RECT box { 10, 10, 200, 60 };
    DrawText(canvas.dc(), "&Start", &box, DT_SINGLELINE);
    const int sWidth = extent("S").cx;
    int underlined = 0;
    for (int x = 10; x < 10 + sWidth; ++x)
        underlined += canvas.at(x, 10 + tm.tmAscent + 1) == Black;
    EXPECT_EQ(underlined, sWidth);
    int under = 0;
    for (int x = 10 + sWidth; x < 10 + extent("Start").cx; ++x)
        under += canvas.at(x, 10 + tm.tmAscent + 1) == Black;
    EXPECT_LT(under, 3) << "only the marked character is underlined";
}
