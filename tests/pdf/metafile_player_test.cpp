//===- metafile_player_test.cpp - Hand-built metafile records and the page lines they give ===//
#include "tests/pdf/PdfTestSupport.h"

#include "tests/support/TestSupport.h"

#include "pdf/TMetafilePlayer.h"
#include "pdf/TPDFDocument.h"
#include "pdf/TPDFException.h"
#include "pdf/TPDFImages.h"
#include "pdf/TPDFPage.h"
#include "pdf/TPDFPages.h"

#include "platform/rtl/TStream.h"
#include "platform/ui/graphics/GraphicsObjects.h"
#include "platform/ui/graphics/TBitmap.h"
#include "platform/ui/graphics/TCanvas.h"
#include "platform/ui/graphics/TMetafile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

using namespace pdftest;

namespace {

using Lines = std::vector<std::string>;

/// Records as the published layout has them: type, size, then 32-bit fields.
class EmfBuilder {
public:
    EmfBuilder& record(uint32_t Type, std::initializer_list<uint32_t> Fields)
    {
        put(Type);
        put(uint32_t(8 + 4 * Fields.size()));
        for (uint32_t F : Fields)
            put(F);
        ++Count;
        return *this;
    }
    /// A record of 16-bit points: bounds, count, points.
    EmfBuilder& points16(uint32_t Type, std::initializer_list<int16_t> XY)
    {
        const uint32_t N = uint32_t(XY.size() / 2);
        put(Type);
        put(28 + 4 * N);
        for (int I = 0; I < 4; ++I)
            put(0);
        put(N);
        for (int16_t V : XY)
            Bytes.push_back(uint8_t(V)), Bytes.push_back(uint8_t(uint16_t(V) >> 8));
        ++Count;
        return *this;
    }
    /// EXTCREATEFONTINDIRECTW of a font of that face, height and weight in slot Index.
    EmfBuilder& font(uint32_t Index, const char* Face, int32_t Height, int32_t Weight = 400, uint8_t Charset = 0,
                     int32_t Escapement = 0)
    {
        put(82);
        put(104);
        put(Index);
        put(uint32_t(Height));
        for (uint32_t V : { 0u, uint32_t(Escapement), 0u, uint32_t(Weight), uint32_t(Charset) << 24, 0u })
            put(V);
        for (int I = 0; I < 32; ++I)
            Bytes.push_back(uint8_t(I < int(std::strlen(Face)) ? Face[I] : 0)), Bytes.push_back(0);
        ++Count;
        return *this;
    }
    /// EXTTEXTOUTW of Text at (X, Y) with options, clip/opaque box and one advance of 7 per
    /// character.
    EmfBuilder& text(int32_t X, int32_t Y, const char* Text, uint32_t Options = 0, RECT Box = {})
    {
        const uint32_t N = uint32_t(std::strlen(Text)), Chars = (N * 2 + 3) / 4 * 4;
        put(84);
        put(76 + Chars + 4 * N);
        for (int I = 0; I < 5; ++I)
            put(0);
        put(0), put(0);
        put(uint32_t(X)), put(uint32_t(Y)), put(N), put(76), put(Options);
        put(uint32_t(Box.left)), put(uint32_t(Box.top)), put(uint32_t(Box.right)), put(uint32_t(Box.bottom));
        put(76 + Chars);
        for (uint32_t I = 0; I < Chars / 2; ++I)
            Bytes.push_back(uint8_t(I < N ? Text[I] : 0)), Bytes.push_back(0);
        for (uint32_t I = 0; I < N; ++I)
            put(7);
        ++Count;
        return *this;
    }
    EmfBuilder& raw(const std::vector<uint8_t>& Record)
    {
        Bytes.insert(Bytes.end(), Record.begin(), Record.end());
        ++Count;
        return *this;
    }
    /// Header (bounds 0, 0, 99, 99) and EOF around the records, loaded into a metafile.
    std::unique_ptr<TMetafile> metafile(uint16_t Handles = 4) const
    {
        std::vector<uint8_t> All(108, 0);
        auto at = [&](size_t Offset, uint32_t V) { std::memcpy(&All[Offset], &V, 4); };
        at(0, 1), at(4, 108), at(16, 99), at(20, 99), at(32, 2619), at(36, 2619), at(40, 0x464D4520);
        at(44, 0x10000), at(52, Count + 2), at(56, Handles), at(72, 1920), at(76, 1080), at(80, 508), at(84, 286);
        All.insert(All.end(), Bytes.begin(), Bytes.end());
        for (uint32_t V : { 14u, 20u, 0u, 16u, 20u })
            All.insert(All.end(), { uint8_t(V), uint8_t(V >> 8), uint8_t(V >> 16), uint8_t(V >> 24) });
        at(48, uint32_t(All.size()));
        TMemoryStream Stream;
        Stream.WriteBuffer(All.data(), int32_t(All.size()));
        Stream.SetPosition(0);
        auto M = std::make_unique<TMetafile>();
        M->LoadFromStream(Stream);
        return M;
    }

private:
    void put(uint32_t V)
    {
        for (int I = 0; I < 4; ++I)
            Bytes.push_back(uint8_t(V >> (8 * I)));
    }
    std::vector<uint8_t> Bytes;
    uint32_t Count = 0;
};

constexpr uint32_t Stock = 0x80000000u;
// Record types used below.
enum : uint32_t {
    POLYGON16 = 86,
    POLYLINE16 = 87,
    SETPOLYFILLMODE = 19,
    SETTEXTCOLOR = 24,
    SETROP2 = 20,
    SELECTOBJECT = 37,
    CREATEPEN = 38,
    CREATEBRUSH = 39,
    DELETEOBJECT = 40,
    RECTANGLE = 43,
    LINETO = 54,
    MOVETOEX = 27,
    INTERSECTCLIPRECT = 30,
    SETWINDOWEXTEX = 9,
    SETMAPMODE = 17,
    SMALLTEXTOUT = 108,
    SETBKMODE = 18,
    SETTEXTALIGN = 22,
    BEGINPATH = 59,
    ENDPATH = 60,
    FILLPATH = 62,
    STROKEANDFILLPATH = 63,
    SELECTCLIPPATH = 67,
    EXTSELECTCLIPRGN = 75,
    SETWORLDTRANSFORM = 35,
    SAVEDC = 33,
    RESTOREDC = 34,
    SETVIEWPORTEXTEX = 11,
    STRETCHDIBITS = 81,
};

class PlayerTest : public ::testing::Test {
protected:
    /// The lines the records add to a page at 72 units per inch (0.75 of a 96-dpi unit).
    Lines play(const EmfBuilder& Records, uint16_t Handles = 4)
    {
        TPDFPage Page(Doc);
        const auto M = Records.metafile(Handles);
        TMetafilePlayer Player(Page);
        Player.LoadMetafile(*M);
        Player.ExecuteMetafile();
        return Lines(Page.Content.begin() + 1, Page.Content.end());
    }

    TPDFDocument Doc { nullptr };
};

TEST_F(PlayerTest, RecordsGiveTheDocumentedOperatorLines)
{
    const EmfBuilder Pen = EmfBuilder().record(CREATEPEN, { 1, 0, 0, 0, 0 }).record(SELECTOBJECT, { 1 });
    const EmfBuilder RedBrush = EmfBuilder().record(CREATEBRUSH, { 2, 0, 0xFF, 0 }).record(SELECTOBJECT, { 2 });
    struct Case {
        const char* What;
        EmfBuilder Records;
        Lines Expected;
    };
    const Case Cases[] = {
        { "2-point polyline, 0-width pen",
          EmfBuilder(Pen).points16(POLYLINE16, { 0, 0, 40, 0 }),
          { "0.75 w", "n", "0 842 m", "30 842 l", "S" } },
        { "polyline before any pen",
          EmfBuilder().points16(POLYLINE16, { 0, 0, 40, 0 }),
          { "n", "0 842 m", "30 842 l", "n" } },
        { "rectangle (10, 10, 20, 20) under the null brush",
          EmfBuilder(Pen).record(SELECTOBJECT, { Stock + 5 }).record(RECTANGLE, { 10, 10, 20, 20 }),
          { "0.75 w", "1 1 1 rg", "7.5 834.5 6.75 -6.75 re", "S" } },
        { "rectangle with left = right", EmfBuilder(Pen).record(RECTANGLE, { 10, 10, 10, 20 }), { "0.75 w", "n" } },
        { "null pen, solid brush: a box fills",
          EmfBuilder(RedBrush).record(SELECTOBJECT, { Stock + 8 }).record(RECTANGLE, { 0, 0, 4, 4 }),
          { "1 0 0 rg", "0 842 2.25 -2.25 re", "f" } },
        { "polygon under ALTERNATE",
          EmfBuilder(RedBrush).points16(POLYGON16, { 0, 0, 4, 0, 0, 4 }),
          { "1 0 0 rg", "n", "0 842 m", "3 842 l", "0 839 l", "h", "f*" } },
        { "polygon under WINDING",
          EmfBuilder(RedBrush).record(SETPOLYFILLMODE, { 2 }).points16(POLYGON16, { 0, 0, 4, 0, 0, 4 }),
          { "1 0 0 rg", "n", "0 842 m", "3 842 l", "0 839 l", "h", "f" } },
        { "polygon under the null brush is closed and stroked",
          EmfBuilder(Pen).record(SELECTOBJECT, { Stock + 5 }).points16(POLYGON16, { 0, 0, 4, 0, 0, 4 }),
          { "0.75 w", "1 1 1 rg", "n", "0 842 m", "3 842 l", "0 839 l", "h", "S" } },
        { "the same pen twice sends nothing more; another colour only RG",
          EmfBuilder(Pen)
              .record(SELECTOBJECT, { 1 })
              .record(CREATEPEN, { 3, 0, 0, 0, 0xFF })
              .record(SELECTOBJECT, { 3 }),
          { "0.75 w", "1 0 0 RG" } },
        { "a clip replaced after a pen change: the restore is followed by the pen",
          EmfBuilder()
              .record(INTERSECTCLIPRECT, { 0, 0, 8, 8 })
              .record(CREATEPEN, { 1, 0, 2, 0, 0xFF })
              .record(SELECTOBJECT, { 1 })
              .record(INTERSECTCLIPRECT, { 0, 0, 4, 4 }),
          { "q", "n", "0 842 6 -6 re", "W", "n", "1 0 0 RG", "1.5 w", "Q", "1 0 0 RG", "1.5 w", "q", "n",
            "0 842 3 -3 re", "W", "n", "Q" } },
        { "a brush chosen inside a clip fills after the clip is replaced",
          EmfBuilder(RedBrush)
              .record(INTERSECTCLIPRECT, { 0, 0, 8, 8 })
              .record(CREATEBRUSH, { 3, 0, 0xFF0000, 0 })
              .record(SELECTOBJECT, { 3 })
              .record(INTERSECTCLIPRECT, { 0, 0, 4, 4 })
              .record(RECTANGLE, { 0, 0, 4, 4 }),
          { "1 0 0 rg", "q", "n", "0 842 6 -6 re", "W", "n", "0 0 1 rg", "Q", "0 0 1 rg", "q", "n", "0 842 3 -3 re",
            "W", "n", "0 842 2.25 -2.25 re", "f", "Q" } },
        { "a clip path: its lines come after the q, never inside a path",
          EmfBuilder()
              .record(BEGINPATH, {})
              .record(RECTANGLE, { 0, 0, 8, 8 })
              .record(ENDPATH, {})
              .record(SELECTCLIPPATH, { 5 }),
          { "0 842 m", "n", "q", "0 842 m", "0 842 5.25 -5.25 re", "W", "n", "Q" } },
        { "a brush chosen between ENDPATH and FILLPATH: its colour comes before the path",
          EmfBuilder()
              .record(BEGINPATH, {})
              .record(RECTANGLE, { 0, 0, 8, 8 })
              .record(ENDPATH, {})
              .record(CREATEBRUSH, { 2, 0, 0xFF, 0 })
              .record(SELECTOBJECT, { 2 })
              .record(FILLPATH, { 0, 0, 8, 8 }),
          { "0 842 m", "n", "1 0 0 rg", "0 842 m", "0 842 5.25 -5.25 re", "f", "n" } },
        { "a pen chosen inside the bracket and a clip on the way: the path stays whole",
          EmfBuilder(RedBrush)
              .record(BEGINPATH, {})
              .points16(POLYGON16, { 0, 0, 4, 0, 0, 4 })
              .record(CREATEPEN, { 1, 0, 2, 0, 0xFF0000 })
              .record(SELECTOBJECT, { 1 })
              .record(INTERSECTCLIPRECT, { 0, 0, 8, 8 })
              .record(STROKEANDFILLPATH, { 0, 0, 8, 8 }),
          { "1 0 0 rg", "0 842 m", "n", "0 0 1 RG", "1.5 w", "q", "n", "0 842 6 -6 re", "W", "n", "0 842 m", "0 842 m",
            "3 842 l", "0 839 l", "h", "B*", "n", "Q" } },
        { "a path never painted, and painting without a path, draw nothing",
          EmfBuilder()
              .record(FILLPATH, { 0, 0, 8, 8 })
              .record(BEGINPATH, {})
              .record(RECTANGLE, { 0, 0, 8, 8 })
              .record(ENDPATH, {}),
          { "0 842 m", "n" } },
        { "a region clip: device rectangles, one unit in at the left and top",
          EmfBuilder().record(EXTSELECTCLIPRGN, { 48, 5, 32, 1, 1, 16, 0, 0, 8, 8, 0, 0, 8, 8 }),
          { "q", "n", "1 841 5 -5 re", "W", "n", "Q" } },
        { "a region whose count runs past its data is skipped",
          EmfBuilder().record(EXTSELECTCLIPRGN, { 48, 5, 32, 1, 2, 16, 0, 0, 8, 8, 0, 0, 8, 8 }),
          {} },
        { "world transform: scale 2, moved 10 right; pens widen with it",
          EmfBuilder()
              .record(SETWORLDTRANSFORM, { 0x40000000, 0, 0, 0x40000000, 0x41200000, 0 })
              .record(CREATEPEN, { 1, 0, 1, 0, 0 })
              .record(SELECTOBJECT, { 1 })
              .points16(POLYLINE16, { 0, 0, 4, 0 }),
          { "1.5 w", "n", "7.5 842 m", "13.5 842 l", "S" } },
        { "RESTOREDC reads the saved pen (and the context's white brush) back",
          EmfBuilder(Pen)
              .record(SAVEDC, {})
              .record(CREATEPEN, { 2, 0, 0, 0, 0xFF })
              .record(SELECTOBJECT, { 2 })
              .record(RESTOREDC, { 0xFFFFFFFF }),
          { "0.75 w", "1 0 0 RG", "0 0 0 RG", "1 1 1 rg" } },
        { "zero window extent ignored, object index past the handles ignored",
          EmfBuilder()
              .record(SETMAPMODE, { 8 })
              .record(SETWINDOWEXTEX, { 0, 0 })
              .record(CREATEPEN, { 9, 0, 0, 0, 0 })
              .record(SELECTOBJECT, { 9 })
              .points16(POLYLINE16, { 4, 4, 8, 4 }),
          { "n", "3 839 m", "6 839 l", "n" } },
        { "a polyline whose count runs past its record is skipped",
          EmfBuilder(Pen).raw({ 87, 0, 0, 0, 36, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                0,  0, 0, 0, 0,  0, 9, 0, 0, 0, 1, 0, 1, 0, 2, 0, 2, 0 }),
          { "0.75 w" } },
    };
    for (const Case& C : Cases)
        EXPECT_EQ(play(C.Records), C.Expected) << C.What;
}

std::string Joined(const Lines& L)
{
    std::string Text;
    for (const std::string& Line : L)
        Text += (Text.empty() ? "" : "; ") + Line;
    return Text;
}

TEST_F(PlayerTest, APathBracketCutByClipsKeepsItsLinesInTheirOrder)
{
    // Lines recorded before the bracket's lines were held off the page between clips: the page
    // must read the same, whatever the records between the path's parts send.
    const EmfBuilder Bracket =
        EmfBuilder()
            .record(CREATEBRUSH, { 2, 0, 0xFF, 0 })
            .record(SELECTOBJECT, { 2 })
            .record(BEGINPATH, {})
            .points16(POLYGON16, { 0, 0, 4, 0, 0, 4 })
            .record(INTERSECTCLIPRECT, { 0, 0, 80, 80 })
            .record(CREATEPEN, { 1, 0, 2, 0, 0xFF0000 })
            .record(SELECTOBJECT, { 1 })
            .points16(POLYLINE16, { 10, 10, 20, 10, 20, 20 })
            .record(INTERSECTCLIPRECT, { 0, 0, 60, 60 })
            .record(EXTSELECTCLIPRGN, { 48, 5, 32, 1, 1, 16, 0, 0, 8, 8, 0, 0, 8, 8 })
            .record(CREATEBRUSH, { 3, 0, 0xFF00, 0 })
            .record(SELECTOBJECT, { 3 })
            .record(RECTANGLE, { 30, 30, 40, 40 })
            .record(INTERSECTCLIPRECT, { 0, 0, 50, 50 })
            .record(STRETCHDIBITS, { 0,  0,   10, 10, 20,         20, 0,   0,  1, 1, 80,
                                     40, 120, 4,  0,  0x00CC0020, 10, 10,  40, 1, 1, (24 << 16) | 1,
                                     0,  4,   0,  0,  0,          0,  0xFF })
            .record(LINETO, { 5, 50 });
    // The page's lines from the bracket's start on, joined by "; ".
    struct Case {
        const char* What;
        EmfBuilder Records;
        const char* Expected;
    };
    const Case Cases[] = {
        { "painted by STROKEANDFILLPATH", EmfBuilder(Bracket).record(STROKEANDFILLPATH, { 0, 0, 80, 80 }),
          "1 0 0 rg; 0 842 m; n; q; n; 0 842 60 -60 re; W; n; 0 0 1 RG; 1.5 w; Q; 0 0 1 RG; 1.5 w; q; "
          "n; 0 842 45 -45 re; W; n; Q; q; n; 1 841 5 -5 re; W; n; 0 1 0 rg; Q; 0 1 0 rg; q; n; "
          "0 842 37.5 -37.5 re; W; n; q; 1 0 0 1 0 834.5 cm; 7.5 0 0 7.5 0 0 cm; /Im0 Do; Q; 0 842 m; "
          "0 842 m; 3 842 l; 0 839 l; h; 7.5 834.5 m; 15 834.5 l; 15 827 l; 22.5 819.5 6.75 -6.75 re; "
          "3.75 804.5 l; B*; n; Q" },
        { "closed by ENDPATH, a clip, then FILLPATH",
          EmfBuilder(Bracket)
              .record(ENDPATH, {})
              .record(INTERSECTCLIPRECT, { 0, 0, 40, 40 })
              .record(FILLPATH, { 0, 0, 80, 80 }),
          "1 0 0 rg; 0 842 m; n; q; n; 0 842 60 -60 re; W; n; 0 0 1 RG; 1.5 w; Q; 0 0 1 RG; 1.5 w; q; "
          "n; 0 842 45 -45 re; W; n; Q; q; n; 1 841 5 -5 re; W; n; 0 1 0 rg; Q; 0 1 0 rg; q; n; "
          "0 842 37.5 -37.5 re; W; n; q; 1 0 0 1 0 834.5 cm; 7.5 0 0 7.5 0 0 cm; /Im0 Do; Q; Q; q; n; "
          "0 842 30 -30 re; W; n; 0 842 m; 0 842 m; 3 842 l; 0 839 l; h; 7.5 834.5 m; 15 834.5 l; "
          "15 827 l; 22.5 819.5 6.75 -6.75 re; 3.75 804.5 l; f; n; Q" },
        { "dropped by a second BEGINPATH, whose path becomes the clip",
          EmfBuilder(Bracket)
              .record(BEGINPATH, {})
              .record(INTERSECTCLIPRECT, { 0, 0, 30, 30 })
              .record(RECTANGLE, { 1, 1, 9, 9 })
              .record(SELECTCLIPPATH, { 5 }),
          "1 0 0 rg; 0 842 m; n; q; n; 0 842 60 -60 re; W; n; 0 0 1 RG; 1.5 w; Q; 0 0 1 RG; 1.5 w; q; "
          "n; 0 842 45 -45 re; W; n; Q; q; n; 1 841 5 -5 re; W; n; 0 1 0 rg; Q; 0 1 0 rg; q; n; "
          "0 842 37.5 -37.5 re; W; n; q; 1 0 0 1 0 834.5 cm; 7.5 0 0 7.5 0 0 cm; /Im0 Do; Q; "
          "3.75 804.5 m; n; Q; q; n; 0 842 22.5 -22.5 re; W; n; Q; q; 3.75 804.5 m; "
          "0.75 841.25 5.25 -5.25 re; W; n; Q" },
        { "never closed", EmfBuilder(Bracket),
          "1 0 0 rg; 0 842 m; n; q; n; 0 842 60 -60 re; W; n; 0 0 1 RG; 1.5 w; Q; 0 0 1 RG; 1.5 w; q; "
          "n; 0 842 45 -45 re; W; n; Q; q; n; 1 841 5 -5 re; W; n; 0 1 0 rg; Q; 0 1 0 rg; q; n; "
          "0 842 37.5 -37.5 re; W; n; q; 1 0 0 1 0 834.5 cm; 7.5 0 0 7.5 0 0 cm; /Im0 Do; Q; Q" },
    };
    for (const Case& C : Cases) {
        // The bitmap needs a document being written.
        TPDFDocument Written(nullptr);
        TMemoryStream Out;
        Written.OutputStream = &Out;
        Written.BeginDoc();
        TPDFPage& Page = *Written.CurrentPage;
        const size_t Start = Page.Content.size();
        const auto M = C.Records.metafile();
        TMetafilePlayer Player(Page);
        Player.LoadMetafile(*M);
        Player.ExecuteMetafile();
        EXPECT_EQ(Joined(Lines(Page.Content.begin() + std::ptrdiff_t(Start), Page.Content.end())), C.Expected)
            << C.What;
        Written.EndDoc();
    }

    // Without a document the bitmap is refused and the playback ends there, with what was drawn
    // before it and the bracket's path unpainted.
    TPDFPage Page(Doc);
    const auto M = EmfBuilder(Bracket).metafile();
    TMetafilePlayer Player(Page);
    Player.LoadMetafile(*M);
    EXPECT_THROW(Player.ExecuteMetafile(), TPDFException);
    EXPECT_EQ(Joined(Lines(Page.Content.begin() + 1, Page.Content.end())),
              "1 0 0 rg; 0 842 m; n; q; n; 0 842 60 -60 re; W; n; 0 0 1 RG; 1.5 w; Q; 0 0 1 RG; 1.5 w; q; "
              "n; 0 842 45 -45 re; W; n; Q; q; n; 1 841 5 -5 re; W; n; 0 1 0 rg; Q; 0 1 0 rg; q; n; "
              "0 842 37.5 -37.5 re; W; n");
}

TEST_F(PlayerTest, TextRecordsGiveTheDocumentedOperatorLines)
{
    const EmfBuilder Arial13 = EmfBuilder().record(SETBKMODE, { 1 }).font(1, "Arial", -13).record(SELECTOBJECT, { 1 });
    struct Case {
        const char* What;
        EmfBuilder Records;
        Lines Expected;
    };
    const Case Cases[] = {
        { "height -13 at 96 dpi is 10 points; TA_BASELINE places the baseline",
          EmfBuilder(Arial13).record(SETTEXTALIGN, { 24 }).text(10, 20, "Hi"),
          { "0 0 0 rg", "BT", "1 0 0 1 7.5 827 Tm", "/TT1 10 Tf", "(H) Tj 5.25 0 Td", "(i) Tj 5.25 0 Td" } },
        { "TA_CENTER moves the text left by half its advances",
          EmfBuilder(Arial13).record(SETTEXTALIGN, { 6 }).text(10, 20, "Hi"),
          { "0 0 0 rg", "BT", "1 0 0 1 2.25 817.95 Tm", "/TT1 10 Tf", "(H) Tj 5.25 0 Td", "(i) Tj 5.25 0 Td" } },
        { "a text after the world transform grew is shown at the grown size",
          EmfBuilder(Arial13)
              .text(0, 0, "a")
              .record(SETWORLDTRANSFORM, { 0x40000000, 0, 0, 0x40000000, 0, 0 })
              .text(0, 0, "b"),
          { "0 0 0 rg", "BT", "1 0 0 1 0 832.95 Tm", "/TT1 10 Tf", "(a) Tj 5.25 0 Td", "0 0 0 rg", "1 0 0 1 0 823.9 Tm",
            "/TT1 20 Tf", "(b) Tj 10.5 0 Td" } },
        { "and after the viewport grew",
          EmfBuilder(Arial13)
              .record(SETMAPMODE, { 8 })
              .text(0, 0, "a")
              .record(SETVIEWPORTEXTEX, { 2, 2 })
              .text(0, 0, "b"),
          { "0 0 0 rg", "BT", "1 0 0 1 0 832.95 Tm", "/TT1 10 Tf", "(a) Tj 5.25 0 Td", "0 0 0 rg", "1 0 0 1 0 823.9 Tm",
            "/TT1 20 Tf", "(b) Tj 10.5 0 Td" } },
        // The advances scale with x, as the run length that places the text does: a right-aligned
        // text ends at its reference point (40 x 2 x 0.75 = 60) however y is scaled.
        { "TA_RIGHT under a world transform that doubles x only",
          EmfBuilder(Arial13)
              .record(SETWORLDTRANSFORM, { 0x40000000, 0, 0, 0x3F800000, 0, 0 })
              .record(SETTEXTALIGN, { 2 })
              .text(40, 20, "Hi"),
          { "0 0 0 rg", "BT", "1 0 0 1 39 817.95 Tm", "/TT1 10 Tf", "(H) Tj 10.5 0 Td", "(i) Tj 10.5 0 Td" } },
        { "TA_UPDATECP: each text starts where the one before ended",
          EmfBuilder(Arial13).record(SETTEXTALIGN, { 1 }).text(50, 50, "Hi").text(50, 50, "a"),
          { "0 0 0 rg", "BT", "1 0 0 1 0 832.95 Tm", "/TT1 10 Tf", "(H) Tj 5.25 0 Td", "(i) Tj 5.25 0 Td",
            "1 0 0 1 10.5 832.95 Tm", "(a) Tj 5.25 0 Td" } },
        { "turned 90 degrees and centred: moved down the page by half its advances",
          EmfBuilder()
              .record(SETBKMODE, { 1 })
              .font(1, "Arial", -13, 400, 0, 900)
              .record(SELECTOBJECT, { 1 })
              .record(SETTEXTALIGN, { 6 })
              .text(20, 20, "Hi"),
          // 842 - 0.75 * (20 + 7); the page steps from the top of the turned text to its baseline
          // along x.
          { "0 0 0 rg", "BT", "1 0 0 1 24.05 821.75 Tm", "0 1 -1 0 24.05 821.75 Tm", "/TT1 10 Tf", "(H) Tj 5.25 0 Td",
            "(i) Tj 5.25 0 Td" } },
        { "a clipped text inside a rectangle clip: the clip comes back after it",
          EmfBuilder(Arial13).record(INTERSECTCLIPRECT, { 0, 0, 40, 40 }).text(0, 0, "a", 4, { 0, 0, 8, 8 }),
          { "q",
            "n",
            "0 842 30 -30 re",
            "W",
            "n",
            "Q",
            "q",
            "0 842 6 -6 re",
            "W",
            "n",
            "0 0 0 rg",
            "BT",
            "1 0 0 1 0 832.95 Tm",
            "/TT1 10 Tf",
            "(a) Tj 5.25 0 Td",
            "ET",
            "Q",
            "q",
            "0 842 30 -30 re",
            "W",
            "n",
            "Q" } },
        { "an opaque text without a box fills its cell, white before a background colour is set",
          EmfBuilder().font(1, "Arial", -13).record(SELECTOBJECT, { 1 }).text(10, 20, "Hi"),
          // The cell: from (10, 20) along the advances 14 right, and the font's height 15 down.
          { "1 1 1 rg", "7.5 827 m", "18 827 l", "18 815.75 l", "7.5 815.75 l", "h", "f", "0 0 0 rg", "BT",
            "1 0 0 1 7.5 817.95 Tm", "/TT1 10 Tf", "(H) Tj 5.25 0 Td", "(i) Tj 5.25 0 Td" } },
        { "ETO_CLIPPED without characters and an opaque box without area send nothing",
          EmfBuilder(Arial13).text(10, 20, "", 4, { 0, 0, 50, 50 }).text(10, 20, "", 2, { 5, 5, 5, 50 }),
          {} },
        // Our recorder deletes the selected pen before a new one takes its slot, writes SETROP2
        // after each selection and MOVETOEX after each text. SETROP2 is no record of the text
        // colour bracket: it ends it and sends the (white) brush colour; the second text sends
        // its colour again.
        { "recorder's pen sequence between two texts",
          EmfBuilder(Arial13)
              .record(CREATEBRUSH, { 3, 0, 0xFFFFFF, 0 })
              .record(SELECTOBJECT, { 3 })
              .record(CREATEPEN, { 2, 0, 0, 0, 0xFF })
              .record(SELECTOBJECT, { 2 })
              .text(0, 0, "a")
              .record(MOVETOEX, { 7, 0 })
              .record(DELETEOBJECT, { 2 })
              .record(CREATEPEN, { 2, 0, 0, 0, 0xFF00 })
              .record(SELECTOBJECT, { 2 })
              .record(SETROP2, { 13 })
              .text(0, 20, "b"),
          { "1 1 1 rg", "1 0 0 RG", "0.75 w", "0 0 0 rg", "BT", "1 0 0 1 0 832.95 Tm", "/TT1 10 Tf", "(a) Tj 5.25 0 Td",
            "0 1 0 RG", "1 1 1 rg", "0 0 0 rg", "1 0 0 1 0 817.95 Tm", "(b) Tj 5.25 0 Td", "1 1 1 rg" } },
    };
    for (const Case& C : Cases)
        EXPECT_EQ(play(C.Records), C.Expected) << C.What;
}

TEST_F(PlayerTest, FacesThatAreNotTrueTypeAreReplaced)
{
    struct Case {
        const char* Face;
        int32_t Weight;
        uint8_t Charset;
        std::string Name;
        uint8_t Style, PageCharset;
    };
    const Case Cases[] = {
        { "MS Sans Serif", 400, 0, "Arial", 0, 0 },   { "Courier", 600, 238, "Courier New", 1, 238 },
        { "Times", 599, 0, "Times New Roman", 0, 0 }, { "Arial", 700, 238, "Arial", 1, 0 },
        { "Helvetica", 400, 0, "Helvetica", 0, 0 },   { "Symbol", 400, 2, "Symbol", 0, 0 },
    };
    for (const Case& C : Cases) {
        EmfBuilder Records;
        Records.font(1, C.Face, -13, C.Weight, C.Charset).record(SELECTOBJECT, { 1 }).text(0, 0, "x");
        TPDFPage Page(Doc);
        const auto Played = Records.metafile();
        TMetafilePlayer Player(Page);
        Player.LoadMetafile(*Played);
        Player.ExecuteMetafile();
        EXPECT_EQ(Page.FontName, C.Name) << C.Face;
        EXPECT_EQ(Page.FontStyle, C.Style) << C.Face;
        EXPECT_EQ(Page.FontCharset, C.PageCharset) << C.Face;
        EXPECT_EQ(Page.FontSize, 10) << C.Face;
    }
}

TEST_F(PlayerTest, AMetafileNotLoadedIsRefused)
{
    TPDFPage Page(Doc);
    TMetafilePlayer Player(Page);
    int32_t W = 0, H = 0;
    EXPECT_THROW(Player.GetMetafileSize(W, H), TPDFException);
    EXPECT_THROW(Player.ExecuteMetafile(), TPDFException);
}

TEST_F(PlayerTest, AOneBitBitmapBecomesAFaxImageWhateverTheJpegSetting)
{
    testsupport::TempDir Dir;
    Doc.SetFileName(Dir.file("bits.pdf"));
    Doc.EMFImageAsJpeg = true;
    Doc.BeginDoc();
    TBitmap Bits;
    Bits.SetPixelFormat(pf1bit);
    Bits.SetSize(9, 5);
    Bits.GetCanvas()->GetBrush()->SetColor(clBlack);
    Bits.GetCanvas()->FillRect(Rect(0, 0, 4, 5));
    TMetafile M;
    M.SetWidth(20);
    M.SetHeight(20);
    {
        TMetafileCanvas C(M, nullptr);
        C.Draw(2, 3, Bits);
    }
    TPDFPage& Page = *Doc.CurrentPage;
    TMetafilePlayer Player(Page);
    Player.LoadMetafile(M);
    Player.ExecuteMetafile();
    ASSERT_EQ(Doc.Images().Count(), 1);
    EXPECT_EQ(Doc.Images().Items(0)->Compression, 4);
    EXPECT_EQ(Doc.Images().Items(0)->Width, 9);
    EXPECT_EQ(Page.Content.back(), "Q");
    EXPECT_EQ(Page.Content[Page.Content.size() - 2], "/Im0 Do");
    Doc.Abort();
}

/// The first line inside a path object (from its first "m" or "re" to its painting operator)
/// that does not build the path, or "" when every path object is whole. Readers other than
/// poppler and qpdf refuse colours, widths and the like there.
std::string FirstIntruderInPath(const Lines& Content)
{
    auto op = [](const std::string& L) { return L.substr(L.rfind(' ') + 1); };
    const std::set<std::string> Builds { "m", "l", "c", "v", "y", "h", "re" };
    const std::set<std::string> Paints { "S", "s", "f", "F", "f*", "B", "B*", "b", "b*", "n", "W", "W*" };
    bool InPath = false;
    for (const std::string& L : Content) {
        const std::string Op = op(L);
        if (InPath && Paints.count(Op))
            InPath = Op == "W" || Op == "W*";
        else if (InPath && !Builds.count(Op))
            return L;
        else if (Op == "m" || Op == "re")
            InPath = true;
    }
    return "";
}

TEST(PlayMetaFile, PathsChangedBeforeTheirPaintingStayWholeAndKeepTheirColour)
{
    testsupport::TempDir Dir;
    const std::string File = Dir.file("paths.pdf");
    // A red fill chosen after the bracket closed; a blue brush and a wide green pen chosen
    // inside the next one.
    const auto M = EmfBuilder()
                       .record(BEGINPATH, {})
                       .record(RECTANGLE, { 10, 10, 40, 40 })
                       .record(ENDPATH, {})
                       .record(CREATEBRUSH, { 1, 0, 0xFF, 0 })
                       .record(SELECTOBJECT, { 1 })
                       .record(FILLPATH, { 10, 10, 40, 40 })
                       .record(BEGINPATH, {})
                       .points16(POLYGON16, { 50, 10, 90, 10, 90, 40, 50, 40 })
                       .record(CREATEBRUSH, { 2, 0, 0xFF0000, 0 })
                       .record(SELECTOBJECT, { 2 })
                       .record(CREATEPEN, { 3, 0, 4, 0, 0xFF00 })
                       .record(SELECTOBJECT, { 3 })
                       .record(ENDPATH, {})
                       .record(STROKEANDFILLPATH, { 50, 10, 90, 40 })
                       .metafile();
    // Played straight onto the page: a metafile canvas would re-record the paths as plain
    // drawing.
    const std::string Pdf = WritePdf(
        File, [](TPDFDocument& Doc) { Doc.Resolution = 96; },
        [&](TPDFDocument& Doc) {
            TMetafilePlayer Player(*Doc.CurrentPage);
            Player.LoadMetafile(*M);
            Player.ExecuteMetafile();
        });
    EXPECT_EQ(FirstIntruderInPath(CrLfLines(Pdf)), "");
    ASSERT_EQ(RunTool({ "qpdf", "--check", File }).Status, 0);
    ASSERT_EQ(RunTool({ "pdftoppm", "-r", "96", "-aa", "no", "-aaVector", "no", "-singlefile", "-x", "0", "-y", "0",
                        "-W", "100", "-H", "50", File, Dir.file("paths") })
                  .Status,
              0);
    const std::string Ppm = testsupport::ReadFile(Dir.file("paths.ppm"));
    // The pixels follow a "P6 100 50 255" header.
    auto rgb = [&](int X, int Y) {
        const size_t At = Ppm.size() - size_t(100 * 50 * 3) + size_t(Y * 100 + X) * 3;
        return RGB(uint8_t(Ppm[At]), uint8_t(Ppm[At + 1]), uint8_t(Ppm[At + 2]));
    };
    EXPECT_EQ(rgb(25, 25), RGB(255, 0, 0)) << "inside the filled rectangle";
    EXPECT_EQ(rgb(70, 25), RGB(0, 0, 255)) << "inside the stroked and filled polygon";
    EXPECT_EQ(rgb(50, 25), RGB(0, 255, 0)) << "on the polygon's wide edge";
    EXPECT_EQ(rgb(45, 25), RGB(255, 255, 255)) << "between the two";
}

/// Lines, filled shapes, text and a bitmap, as a report page draws them.
void drawReport(TMetafile& M)
{
    M.SetWidth(200);
    M.SetHeight(150);
    TBitmap Logo;
    Logo.SetPixelFormat(pf24bit);
    Logo.SetSize(40, 30);
    Logo.GetCanvas()->GetBrush()->SetColor(clWhite);
    Logo.GetCanvas()->FillRect(Rect(0, 0, 40, 30));
    Logo.GetCanvas()->GetBrush()->SetColor(clNavy);
    Logo.GetCanvas()->FillRect(Rect(0, 0, 20, 30));
    TMetafileCanvas C(M, nullptr);
    C.GetPen()->SetWidth(3);
    C.GetPen()->SetColor(clBlack);
    C.MoveTo(10, 10);
    C.LineTo(190, 10);
    C.GetBrush()->SetColor(clRed);
    C.Rectangle(10, 20, 80, 60);
    C.GetBrush()->SetStyle(bsClear);
    C.Ellipse(100, 20, 180, 70);
    C.GetFont()->SetName("Arial");
    C.GetFont()->SetHeight(-16);
    C.TextOut(12, 80, "Energy report");
    C.Draw(140, 100, Logo);
}

TEST(PlayMetaFile, APlayedDrawingLooksLikeTheMetafileOnABitmap)
{
    testsupport::TempDir Dir;
    const std::string File = Dir.file("report.pdf");
    TMetafile M;
    drawReport(M);
    const std::string Pdf = WritePdf(
        File, [](TPDFDocument& Doc) { Doc.Resolution = 96; },
        [&](TPDFDocument& Doc) { Doc.CurrentPage->PlayMetaFile(M, 0, 0, 1, 1); });
    ASSERT_EQ(RunTool({ "qpdf", "--check", File }).Status, 0);
    ASSERT_EQ(RunTool({ "pdftoppm", "-gray", "-r", "96", "-aa", "no", "-aaVector", "no", "-singlefile", File,
                        Dir.file("report") })
                  .Status,
              0);
    const Grey G = ReadPgm(testsupport::ReadFile(Dir.file("report.pgm")));
    TBitmap Expected;
    Expected.SetPixelFormat(pf24bit);
    Expected.SetSize(200, 150);
    Expected.GetCanvas()->GetBrush()->SetColor(clWhite);
    Expected.GetCanvas()->FillRect(Rect(0, 0, 200, 150));
    Expected.GetCanvas()->Draw(0, 0, M);
    std::vector<int> Want(200 * 150);
    for (int Y = 0; Y < 150; ++Y)
        for (int X = 0; X < 200; ++X) {
            const TColor C = Expected.GetCanvas()->GetPixels(X, Y);
            Want[Y * 200 + X] = (GetRValue(C) * 30 + GetGValue(C) * 59 + GetBValue(C) * 11) / 100;
        }
    // A pixel differs when no pixel next to it in the other picture is close: edges of the two
    // rasterisers may fall one pixel apart.
    auto near = [](auto&& Other, int X, int Y, int V) {
        for (int Dy = -1; Dy <= 1; ++Dy)
            for (int Dx = -1; Dx <= 1; ++Dx)
                if (X + Dx >= 0 && X + Dx < 200 && Y + Dy >= 0 && Y + Dy < 150
                    && std::abs(Other(X + Dx, Y + Dy) - V) <= 60)
                    return true;
        return false;
    };
    auto want = [&](int X, int Y) { return Want[Y * 200 + X]; };
    auto got = [&](int X, int Y) { return G.at(X, Y); };
    // The text band (rows 78..99) is judged apart: two engines rasterise the glyphs.
    int Differ = 0, TextDiffer = 0, TextInk = 0;
    for (int Y = 0; Y < 150; ++Y)
        for (int X = 0; X < 200; ++X) {
            const bool InText = Y >= 78 && Y < 100;
            if (InText && want(X, Y) < 128)
                ++TextInk;
            if (!near(got, X, Y, want(X, Y)) || !near(want, X, Y, got(X, Y)))
                ++(InText ? TextDiffer : Differ);
        }
    EXPECT_LT(Differ, 200 * 150 / 200) << "pixels differing outside the text";
    EXPECT_GT(TextInk, 100);
    EXPECT_LT(TextDiffer, TextInk / 4) << "pixels differing in the text band";
    const ToolResult Text = RunTool({ "pdftotext", File, "-" });
    EXPECT_NE(Text.Output.find("Energy report"), std::string::npos) << Text.Output;
}

TEST(PlayMetaFile, AnOpaqueTextShowsItsBackgroundCell)
{
    testsupport::TempDir Dir;
    const std::string File = Dir.file("cell.pdf");
    TMetafile M;
    M.SetWidth(120);
    M.SetHeight(40);
    SIZE Cell;
    {
        TMetafileCanvas C(M, nullptr);
        // A solid brush makes TextOut paint its cells in the brush colour.
        C.GetBrush()->SetColor(clBlack);
        C.GetFont()->SetName("Arial");
        C.GetFont()->SetHeight(-16);
        C.GetFont()->SetColor(clWhite);
        C.TextOut(10, 10, "Energy");
        Cell = C.TextExtent("Energy");
    }
    WritePdf(
        File, [](TPDFDocument& Doc) { Doc.Resolution = 96; },
        [&](TPDFDocument& Doc) { Doc.CurrentPage->PlayMetaFile(M, 0, 0, 1, 1); });
    ASSERT_EQ(RunTool({ "qpdf", "--check", File }).Status, 0);
    ASSERT_EQ(RunTool({ "pdftoppm", "-gray", "-r", "96", "-aa", "no", "-aaVector", "no", "-singlefile", "-x", "0", "-y",
                        "0", "-W", "120", "-H", "40", File, Dir.file("cell") })
                  .Status,
              0);
    const Grey G = ReadPgm(testsupport::ReadFile(Dir.file("cell.pgm")));
    ASSERT_GT(Cell.cx, 20);
    ASSERT_GT(Cell.cy, 10);
    // White glyphs on the black cell: most of the cell stays black, and nothing outside it is.
    int Black = 0, Inside = 0, BlackOutside = 0;
    for (int Y = 0; Y < 40; ++Y)
        for (int X = 0; X < 120; ++X) {
            const bool In = X > 10 && X < 9 + Cell.cx && Y > 10 && Y < 9 + Cell.cy;
            const bool Out = X < 9 || X > 11 + Cell.cx || Y < 9 || Y > 11 + Cell.cy;
            Inside += In;
            Black += In && G.at(X, Y) < 64;
            BlackOutside += Out && G.at(X, Y) < 64;
        }
    EXPECT_GT(Black, Inside / 2) << "black pixels in the text cell";
    EXPECT_EQ(BlackOutside, 0);
    const ToolResult Text = RunTool({ "pdftotext", File, "-" });
    EXPECT_NE(Text.Output.find("Energy"), std::string::npos) << Text.Output;
}

TEST(PlayMetaFile, EachPlayIsOneInnerFormAndAnEmptyDrawingAddsNothing)
{
    testsupport::TempDir Dir;
    const std::string File = Dir.file("forms.pdf");
    TMetafile Drawn, Empty;
    drawReport(Drawn);
    Empty.SetWidth(50);
    Empty.SetHeight(50);
    {
        TMetafileCanvas C(Empty, nullptr);
    }
    TMetafile ZeroWidth;
    ZeroWidth.Assign(Drawn);
    ZeroWidth.SetWidth(0);
    const std::string Pdf = WritePdf(File, nullptr, [&](TPDFDocument& Doc) {
        TPDFPage& P = *Doc.CurrentPage;
        P.PlayMetaFile(Empty, 0, 0, 1, 1);
        P.PlayMetaFile(ZeroWidth, 0, 0, 1, 1);
        EXPECT_EQ(P.InnerForms->Count(), 0);
        P.PlayMetaFile(Drawn, 0, 0, 1, 1);
        P.PlayMetaFile(Drawn, 100, 200, 0.5, 0.5);
        EXPECT_EQ(P.Content, Lines({ "q", "q /IF0 Do Q", "q /IF1 Do Q" }));
        // Resolution 72 on a 96-dpi reference: the drawing is 0.75 of its pixels, placed by
        // its top-left corner.
        EXPECT_EQ(P.InnerForms->Items(0)->FormMatrix,
                  (TPDFMatrix { 1, 0, 0, 1, 0, 842.0 - P.InnerForms->Items(0)->GetHeight() }));
        EXPECT_EQ(P.InnerForms->Items(1)->FormMatrix,
                  (TPDFMatrix { 0.5, 0, 0, 0.5, 100, 842 - 0.5 * P.InnerForms->Items(1)->GetHeight() - 200 }));
    });
    EXPECT_EQ(RunTool({ "qpdf", "--check", File }).Status, 0);
    EXPECT_NE(Pdf.find(" /XObject <<\r\n/IF0 "), std::string::npos);
    EXPECT_NE(Pdf.find("\r\n/IF1 "), std::string::npos);
}

TEST(PageCanvas, ACanvasDrawingLiesUnderTheDirectDrawingInItsOwnSaveLevel)
{
    testsupport::TempDir Dir;
    const std::string File = Dir.file("canvas.pdf");
    const std::string Pdf = WritePdf(File, nullptr, [](TPDFDocument& Doc) {
        TPDFPage& P = *Doc.CurrentPage;
        P.SetDash("[3 3] 0");
        P.Rectangle(0, 0, 10, 10);
        P.Stroke();
        P.SetFont("Arial", 0, 10);
        P.TextOut(100, 100, 0, "over");
        TCanvas& C = *P.GetCanvas();
        C.GetPen()->SetStyle(psSolid);
        C.GetBrush()->SetColor(clRed);
        C.Rectangle(20, 20, 60, 60);
        C.GetBrush()->SetStyle(bsClear);
        C.GetFont()->SetName("Arial");
        C.GetFont()->SetHeight(-13);
        C.TextOut(20, 80, "under");
    });
    EXPECT_EQ(RunTool({ "qpdf", "--check", File }).Status, 0);
    const size_t Canvas = Pdf.find("stream\r\nq\r\n");
    const size_t Direct = Pdf.find("[3 3] 0 d");
    ASSERT_NE(Canvas, std::string::npos);
    ASSERT_NE(Direct, std::string::npos);
    // The canvas's text selects its own font, although the direct text already chose the same
    // one: it is shown before the direct text's "Tf".
    const size_t Under = Pdf.find("(u) Tj", Canvas);
    ASSERT_LT(Under, Direct);
    EXPECT_NE(Pdf.substr(Canvas, Under - Canvas).find(" 10 Tf"), std::string::npos) << Pdf;
    EXPECT_LT(Pdf.find("Q\r\nq\r\n", Under), Direct) << Pdf;
    const ToolResult Text = RunTool({ "pdftotext", File, "-" });
    EXPECT_NE(Text.Output.find("under"), std::string::npos) << Text.Output;
    EXPECT_NE(Text.Output.find("over"), std::string::npos) << Text.Output;
}

} // namespace
