//===- hinted_text_test.cpp - Small text stands where the face's own hinting puts it -===//
//
// The reference is FreeType's own layout of the same file: each glyph hinted for a bi-level
// target, its bitmap at the pen, the pen moved by the hinted advance. Letters drawn through a
// device context must stand within one pixel of it, so shapes and advances cannot drift apart.
//
#include "DcTestSupport.h"
#include "FontTestSupport.h"

#include <algorithm>
#include <memory>

namespace {

struct PlacedGlyph {
    int Left = 0, Top = 0, Width = 0, Rows = 0; // Top: rows above the baseline
    std::vector<uint8_t> Ink;                   // one byte per pixel
};

/// FreeType's hinted layout of Text with the file and size the engine realized for Font.
std::vector<PlacedGlyph> freeTypeLayout(const RealizedFont& Font, std::string_view Text)
{
    FT_Library Library = nullptr;
    FT_Face Face = nullptr;
    std::vector<PlacedGlyph> Glyphs;
    if (FT_Init_FreeType(&Library) != 0)
        return Glyphs;
    if (FT_New_Face(Library, Font.FilePath().c_str(), Font.FaceIndex(), &Face) == 0
        && FT_Set_Char_Size(Face, 0, FT_F26Dot6(std::lround(Font.PixelSize() * 64)), 72, 72) == 0) {
        long Pen = 0;
        for (char C : Text) {
            PlacedGlyph G;
            if (FT_Load_Char(Face, uint8_t(C), FT_LOAD_TARGET_MONO | FT_LOAD_RENDER | FT_LOAD_NO_BITMAP) != 0)
                break;
            const FT_Bitmap& B = Face->glyph->bitmap;
            G.Left = int(Pen) + Face->glyph->bitmap_left;
            G.Top = Face->glyph->bitmap_top;
            G.Width = int(B.width);
            G.Rows = int(B.rows);
            for (unsigned Y = 0; Y < B.rows; ++Y)
                for (unsigned X = 0; X < B.width; ++X)
                    G.Ink.push_back((B.buffer[Y * B.pitch + X / 8] >> (7 - X % 8)) & 1);
            Glyphs.push_back(std::move(G));
            Pen += (Face->glyph->advance.x + 32) >> 6;
        }
    }
    FT_Done_Face(Face);
    FT_Done_FreeType(Library);
    return Glyphs;
}

/// The glyph's ink pixels that the canvas shows black when the glyph is moved by Shift.
int matched(const gditest::Canvas& Canvas, const PlacedGlyph& G, int OriginX, int Baseline, int Shift)
{
    int Count = 0;
    for (int Y = 0; Y < G.Rows; ++Y)
        for (int X = 0; X < G.Width; ++X)
            if (G.Ink[size_t(Y) * G.Width + X])
                Count += Canvas.at(OriginX + G.Left + X + Shift, Baseline - G.Top + Y) == 0;
    return Count;
}

TEST(HintedText, LettersStandWithinAPixelOfFreeTypesHintedLayout)
{
    struct Row {
        const char* Text;
        int Height;
        int Weight;
    };
    const Row Rows[] = {
        { "EXIT", -9, FW_NORMAL },           { "EXIT", -11, FW_BOLD },
        { "REPETITION ON", -9, FW_NORMAL },  { "REPETITION ON", -11, FW_BOLD },
        { "REPETITION ON", -11, FW_NORMAL }, { "EXIT", -9, FW_BOLD },
    };
    for (const Row& R : Rows) {
        const LOGFONTA Logical = fonttest::Font("Arial", R.Height, R.Weight);
        auto Font = RealizedFont::Realize(Logical);
        const auto Reference = freeTypeLayout(*Font, R.Text);
        ASSERT_EQ(Reference.size(), std::string_view(R.Text).size()) << Font->FilePath();

        gditest::Canvas Canvas(200, 30);
        gditest::Selected Selected(Canvas.dc(), CreateFontIndirect(Logical));
        SetBkMode(Canvas.dc(), TRANSPARENT);
        SetTextAlign(Canvas.dc(), TA_BASELINE);
        constexpr int OriginX = 5, Baseline = 20;
        ASSERT_TRUE(TextOut(Canvas.dc(), OriginX, Baseline, R.Text));

        for (size_t I = 0; I < Reference.size(); ++I) {
            const PlacedGlyph& G = Reference[I];
            const int Ink = int(std::count(G.Ink.begin(), G.Ink.end(), 1));
            if (Ink == 0)
                continue;
            int Best = 0;
            for (int Shift = -1; Shift <= 1; ++Shift)
                Best = std::max(Best, matched(Canvas, G, OriginX, Baseline, Shift));
            EXPECT_EQ(Best, Ink) << "'" << R.Text[I] << "' of \"" << R.Text << "\" at " << -R.Height << " px, weight "
                                 << R.Weight << "\n"
                                 << Canvas.picture(0);
        }
    }
}

} // namespace
