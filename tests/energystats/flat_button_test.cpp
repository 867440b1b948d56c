//===- flat_button_test.cpp - The flat push button: groups, menus, accelerators, looks ---===//
#include "energystats/TFlatButton.h"

#include "tests/platform/ui/support/UiTestSupport.h"
#include "tests/support/TestSupport.h"

#include "platform/gdi/bitmaps/Dib.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/controls/Menus.h"
#include "platform/ui/forms/TApplication.h"
#include "platform/ui/graphics/TBitmap.h"
#include "platform/ui/graphics/TCanvas.h"
#include "platform/ui/forms/TForm.h"

#include <gtest/gtest.h>

namespace {

TColor rgb(TColor C) { return TColor(ColorToRGB(uint32_t(C))); }

class FlatButtonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Application->Initialize();
        Host = new TForm(Application);
        Host->SetClientWidth(300);
        Host->SetClientHeight(100);
        Host->Show();
    }
    void TearDown() override { delete Host; }

    TFlatButton& make(int Left, const std::string& Caption)
    {
        auto* b = new TFlatButton(Host);
        b->SetParent(Host);
        b->SetBounds(Left, 8, 50, 18);
        b->SetCaption(Caption);
        b->OnClick = [this, b](TObject*) { clicks.push_back(b); };
        return *b;
    }

    int countColor(const Dib& Picture, TColor Color)
    {
        int n = 0;
        for (int y = 0; y < Picture.Height(); ++y)
            for (int x = 0; x < Picture.Width(); ++x)
                n += TColor(Picture.GetPixel(x, y)) == Color;
        return n;
    }

    TForm* Host = nullptr;
    std::vector<TFlatButton*> clicks;
};

} // namespace

TEST_F(FlatButtonTest, AGroupClickReleasesTheOtherMemberAndClicksOnce)
{
    TFlatButton& a = make(8, "A");
    TFlatButton& b = make(70, "B");
    TFlatButton& loner = make(140, "C");
    a.SetGroupIndex(1);
    b.SetGroupIndex(1);
    a.SetDown(true);
    loner.SetDown(true);
    EXPECT_FALSE(loner.GetDown());

    uitest::Click(b, 10, 5);
    EXPECT_TRUE(b.GetDown());
    EXPECT_FALSE(a.GetDown());
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0], &b);

    // Down again without AllowAllUp: it stays down.
    uitest::Click(b, 10, 5);
    EXPECT_TRUE(b.GetDown());
    a.SetAllowAllUp(true);
    EXPECT_TRUE(b.GetAllowAllUp());
    uitest::Click(b, 10, 5);
    EXPECT_FALSE(b.GetDown());
}

TEST_F(FlatButtonTest, ADropDownMenuPopsOnThePressWithoutAClick)
{
    TFlatButton& b = make(8, "Menu");
    uitest::PopupAnswerer popups;
    auto* menu = new TPopupMenu(Host);
    menu->SetName("menu1");
    b.SetDropDownMenu(menu);
    uitest::MousePress(b, TMouseButton::mbLeft, 10, 5);
    ASSERT_EQ(popups.Shown().size(), 1u);
    const TPoint corner = b.ClientToScreen(Point(0, b.GetHeight()));
    EXPECT_EQ(popups.Shown()[0].X, corner.X);
    EXPECT_EQ(popups.Shown()[0].Y, corner.Y);
    EXPECT_FALSE(b.GetPressed());
    // The cursor is not on the button (a synthetic press does not move it): it is no longer hot.
    EXPECT_FALSE(b.GetHot());
    uitest::MouseRelease(b, TMouseButton::mbLeft, 10, 5);
    EXPECT_TRUE(clicks.empty());

    // A menu that goes is forgotten: the next press shows nothing and clicks.
    delete menu;
    EXPECT_EQ(b.GetDropDownMenu(), nullptr);
    uitest::Click(b, 10, 5);
    EXPECT_EQ(popups.Shown().size(), 1u);
    EXPECT_EQ(clicks.size(), 1u);
}

TEST_F(FlatButtonTest, ADisabledButtonEmbossesItsCaptionAndIgnoresClicks)
{
    TFlatButton& b = make(8, "Save");
    b.SetUnselectedFontColor(clBlack);
    const auto enabled = uitest::Grab(b);
    EXPECT_GT(countColor(*enabled, clBlack), 0);
    EXPECT_EQ(countColor(*enabled, rgb(clBtnShadow)), 0);

    b.SetEnabled(false);
    const auto disabled = uitest::Grab(b);
    EXPECT_EQ(countColor(*disabled, clBlack), 0);
    EXPECT_GT(countColor(*disabled, rgb(clBtnShadow)), 0);
    EXPECT_GT(countColor(*disabled, rgb(clBtnHighlight)), 0);
    uitest::Click(b, 10, 5);
    EXPECT_TRUE(clicks.empty());
}

TEST_F(FlatButtonTest, TheAcceleratorPressesTheButton)
{
    TFlatButton& b = make(8, "&Start");
    uitest::PressKey(*Host, 'S', { ssAlt });
    EXPECT_EQ(clicks.size(), 1u);
    EXPECT_FALSE(b.GetHot());
}

TEST_F(FlatButtonTest, IconOnlyTurnsTheCaptionIntoTheHint)
{
    const std::pair<const char*, const char*> rows[] = {
        { "&Save", "Save" }, { "Salt && Pepper", "Salt & Pepper" }, { "Tail&", "Tail&" }, { "", "" }
    };
    for (auto [caption, plain] : rows)
        EXPECT_EQ(StripAccelerators(caption), plain) << caption;
    TFlatButton& b = make(8, "Salt && &Pepper");
    b.SetOptions({ boIconOnly });
    EXPECT_EQ(b.GetHint(), "Salt & Pepper");
    EXPECT_TRUE(b.GetShowHint());
}

TEST_F(FlatButtonTest, TheMonoGlyphFollowsTheShadingThresholds)
{
    TBitmap glyph;
    glyph.SetPixelFormat(pf24bit);
    glyph.SetSize(3, 1);
    glyph.GetCanvas()->SetPixels(0, 0, 0x00FF00); // the transparent colour
    glyph.GetCanvas()->SetPixels(1, 0, clWhite);
    glyph.GetCanvas()->SetPixels(2, 0, 0x505050); // sum 240
    const struct {
        TFlatButtonShadingType shading;
        TColor sum240;
    } rows[] = { { stLight, rgb(clBtnHighlight) }, { stMedium, rgb(clBtnHighlight) }, { stDark, rgb(clBtnShadow) } };
    for (auto r : rows) {
        auto mono = MonoGlyph(glyph, r.shading);
        EXPECT_EQ(mono->GetCanvas()->GetPixels(0, 0), 0x00FF00) << int(r.shading);
        EXPECT_EQ(mono->GetCanvas()->GetPixels(1, 0), clWhite) << int(r.shading);
        EXPECT_EQ(mono->GetCanvas()->GetPixels(2, 0), r.sum240) << int(r.shading);
    }
    TFlatButton& b = make(8, "");
    b.SetBitmap(glyph);
    EXPECT_FALSE(b.GetMonoBitmap()->Empty());
    // An empty glyph and a long caption paint without harm.
    b.SetBitmap(TBitmap());
    b.SetCaption(std::string(600, 'W'));
    b.SetWordWrap(true);
    EXPECT_NE(uitest::Grab(b), nullptr);
}

TEST_F(FlatButtonTest, ARightClickShowsThePopupMenuOnceAndLeavesTheButtonUnpressed)
{
    TFlatButton& b = make(8, "Right");
    uitest::PopupAnswerer popups;
    auto* menu = new TPopupMenu(Host);
    b.SetPopupMenu(menu);
    uitest::MousePress(b, TMouseButton::mbRight, 10, 5);
    uitest::MouseRelease(b, TMouseButton::mbRight, 10, 5);
    EXPECT_EQ(popups.Shown().size(), 1u);
    EXPECT_FALSE(b.GetPressed());
    EXPECT_TRUE(clicks.empty());
}

TEST_F(FlatButtonTest, TheMouseOverRaisesTheBevelAndAReleaseOutsideDoesNotClick)
{
    TFlatButton& b = make(8, "Hover");
    const int highlightBefore = countColor(*uitest::Grab(b), rgb(clBtnHighlight));
    uitest::MouseMove(b, 10, 5);
    EXPECT_TRUE(b.GetHot());
    EXPECT_GT(countColor(*uitest::Grab(b), rgb(clBtnHighlight)), highlightBefore);
    uitest::MouseMove(b, 80, 5);
    EXPECT_FALSE(b.GetHot());
    EXPECT_EQ(countColor(*uitest::Grab(b), rgb(clBtnHighlight)), highlightBefore);

    // Pressed inside, let go outside: the press is taken back.
    uitest::MousePress(b, TMouseButton::mbLeft, 10, 5);
    EXPECT_TRUE(b.GetPressed());
    uitest::MouseRelease(b, TMouseButton::mbLeft, 80, 5);
    EXPECT_FALSE(b.GetPressed());
    EXPECT_FALSE(b.GetHot());
    EXPECT_TRUE(clicks.empty());
}
