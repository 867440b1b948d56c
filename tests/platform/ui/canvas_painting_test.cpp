//===- canvas_painting_test.cpp - Painting controls, drawing on canvases and bitmaps ===//
#include "tests/platform/ui/UiFixture.h"
#include "tests/platform/ui/support/UiTestSupport.h"

#include "platform/gdi/bitmaps/Dib.h"
#include "platform/ui/components/FormReader.h"
#include "platform/ui/controls/ExtCtrls.h"
#include "platform/ui/controls/StdCtrls.h"
#include "platform/ui/graphics/TBitmap.h"
#include "platform/ui/graphics/TCanvas.h"
#include "platform/ui/controls/TCustomPanel.h"
#include "platform/ui/forms/TForm.h"

#include <algorithm>
#include <cstdlib>
#include <functional>

namespace {

constexpr COLORREF White = 0xFFFFFF, Red = 0x0000FF, Silver = 0xC0C0C0, Grey = 0x808080;

/// Paints itself white and counts its paints; optionally keeps itself square inside Paint.
class TCountingControl : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    int Paints = 0;
    bool SquareInPaint = false;

protected:
    void Paint() override
    {
        ++Paints;
        GetCanvas()->GetBrush()->SetColor(clWhite);
        GetCanvas()->FillRect(GetClientRect());
        if (SquareInPaint && GetWidth() != GetHeight())
            SetBounds(GetLeft(), GetTop(), GetHeight(), GetHeight());
    }
};

/// Keeps itself square when sized, as the lamp does; or, misbehaving, never agrees with itself.
class TSquareControl : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    int Resizes = 0;
    bool Quarrel = false;

protected:
    void Resize() override
    {
        ++Resizes;
        TCustomControl::Resize();
        if (Quarrel)
            SetBounds(GetLeft(), GetTop(), GetWidth() + 1, GetHeight());
        else
            SetBounds(GetLeft(), GetTop(), GetHeight(), GetHeight());
    }
};

class PaintingTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        Form = new TForm(Application);
        Form->SetBorderStyle(bsNone);
        Form->SetClientWidth(100);
        Form->SetClientHeight(80);
    }
    void TearDown() override
    {
        delete Form;
        UiTest::TearDown();
    }

    template <class T>
    T* place(int Left, int Top, int Width, int Height, TWinControl* Parent = nullptr)
    {
        T* Control = new T(Form);
        Control->SetParent(Parent ? Parent : Form);
        Control->SetBounds(Left, Top, Width, Height);
        return Control;
    }

    TForm* Form = nullptr;
};

TEST_F(PaintingTest, DrawingOnTheCanvasOutsidePaintShowsInAGrabOfTheForm)
{
    auto* Control = place<TCountingControl>(10, 10, 40, 30);
    EXPECT_EQ(uitest::Grab(*Form)->GetPixel(12, 12), White);
    EXPECT_EQ(Control->Paints, 1);

    Control->GetCanvas()->GetBrush()->SetColor(clRed);
    Control->GetCanvas()->FillRect(Rect(0, 0, 10, 10));
    const auto Drawn = uitest::Grab(*Form);
    EXPECT_EQ(Drawn->GetPixel(12, 12), Red) << "drawn outside Paint, shown without it";
    EXPECT_EQ(Drawn->GetPixel(25, 25), White);
    EXPECT_EQ(Control->Paints, 1);

    Control->Invalidate();
    EXPECT_EQ(uitest::Grab(*Form)->GetPixel(12, 12), White) << "the next paint renders the control afresh";
    EXPECT_EQ(Control->Paints, 2);
}

TEST_F(PaintingTest, RepaintPaintsAtOnceOnAFormAndNotBeforeTheControlIsOnOne)
{
    TCountingControl Loose(nullptr);
    Loose.SetBounds(0, 0, 10, 10);
    Loose.Repaint();
    EXPECT_EQ(Loose.Paints, 0) << "a control on no form has nothing to paint on";

    auto* Control = place<TCountingControl>(0, 0, 10, 10);
    const int Before = Control->Paints;
    Control->Repaint();
    EXPECT_EQ(Control->Paints, Before + 1);
    EXPECT_EQ(Control->GetCanvas()->GetPixels(5, 5), clWhite);
    Control->Update();
    EXPECT_EQ(Control->Paints, Before + 1) << "nothing was invalidated since";
}

TEST_F(PaintingTest, APaintThatChangesTheSizeIsRunOnceMoreAtTheNewSize)
{
    auto* Control = place<TCountingControl>(0, 0, 40, 25);
    Control->SquareInPaint = true;
    Control->Paints = 0;
    Control->Repaint();
    EXPECT_EQ(Control->GetWidth(), 25);
    EXPECT_EQ(Control->Paints, 2);
    EXPECT_EQ(Control->GetCanvas()->GetClipRect(), Rect(0, 0, 25, 25)) << "the picture follows the size";
}

TEST_F(PaintingTest, AResizeThatSetsTheSizeAgainSettles)
{
    auto* Control = place<TSquareControl>(0, 0, 15, 15);
    Control->Resizes = 0;
    Control->SetBounds(0, 0, 40, 25);
    EXPECT_EQ(Control->GetWidth(), 25);
    EXPECT_EQ(Control->GetHeight(), 25);
    EXPECT_EQ(Control->Resizes, 2) << "the second resize finds the size square";
}

TEST_F(PaintingTest, ResizeHandlersThatNeverAgreeAreCutShort)
{
    auto* Control = place<TSquareControl>(0, 0, 15, 15);
    Control->Quarrel = true;
    Control->Resizes = 0;
    Control->SetBounds(0, 0, 30, 15);
    EXPECT_EQ(Control->Resizes, 8);
    EXPECT_EQ(Control->GetWidth(), 38);
}

TEST_F(PaintingTest, APanelPaintsItsFaceAndBevels)
{
    auto* Panel = place<TPanel>(0, 0, 20, 12);
    Panel->SetCaption("");
    auto G = uitest::Grab(*Form);
    EXPECT_EQ(G->GetPixel(0, 0), White) << "raised: highlight at the top left";
    EXPECT_EQ(G->GetPixel(5, 0), White);
    EXPECT_EQ(G->GetPixel(19, 11), Grey) << "shadow at the bottom right";
    EXPECT_EQ(G->GetPixel(19, 0), Grey);
    EXPECT_EQ(G->GetPixel(0, 11), Grey);
    EXPECT_EQ(G->GetPixel(10, 6), Silver) << "the face in clBtnFace";

    Panel->SetBevelInner(bvLowered);
    Panel->SetBorderWidth(1);
    G = uitest::Grab(*Form);
    EXPECT_EQ(G->GetPixel(1, 1), Silver) << "the border in the panel's colour";
    EXPECT_EQ(G->GetPixel(2, 2), Grey) << "the inner lowered bevel: shadow at the top left";
    EXPECT_EQ(G->GetPixel(17, 9), White);
}

TEST_F(PaintingTest, APanelCaptionIsCentred)
{
    auto* Panel = place<TPanel>(0, 0, 60, 20);
    Panel->SetBevelOuter(bvNone);
    Panel->SetColor(clWhite);
    Panel->SetCaption("II");
    const auto G = uitest::Grab(*Form);
    int Left = 60, Right = -1;
    for (int Y = 0; Y < 20; ++Y)
        for (int X = 0; X < 60; ++X)
            if (G->GetPixel(X, Y) != White) {
                Left = std::min(Left, X);
                Right = std::max(Right, X);
            }
    ASSERT_LE(Left, Right) << "the caption was drawn";
    EXPECT_LE(std::abs((Left + Right) - 59), 3) << "ink from " << Left << " to " << Right;
}

TEST_F(PaintingTest, ATransparentLabelShowsWhatItsParentPaintedBeneathIt)
{
    auto* Panel = place<TPanel>(0, 0, 80, 40);
    Panel->SetBevelOuter(bvNone);
    Panel->SetColor(clRed);
    auto* Label = place<TLabel>(10, 10, 30, 15, Panel);
    Label->SetAutoSize(false);
    Label->SetCaption("");
    Label->SetTransparent(true);
    EXPECT_EQ(uitest::Grab(*Form)->GetPixel(15, 15), Red);

    Label->SetTransparent(false);
    Label->SetColor(clWhite);
    EXPECT_EQ(uitest::Grab(*Form)->GetPixel(15, 15), White);
}

TEST_F(PaintingTest, ALabelTakesTheSizeOfItsText)
{
    auto* Label = place<TLabel>(50, 10, 10, 10);
    Label->SetCaption("Heliant");
    TBitmap Probe;
    Probe.SetSize(1, 1);
    Probe.GetCanvas()->SetFont(*Label->GetFont());
    EXPECT_EQ(Label->GetWidth(), Probe.GetCanvas()->TextWidth("Heliant"));
    EXPECT_EQ(Label->GetHeight(), Probe.GetCanvas()->TextHeight("Heliant"));

    Label->SetAlignment(taRightJustify);
    const int Right = Label->GetLeft() + Label->GetWidth();
    Label->SetCaption("He");
    EXPECT_EQ(Label->GetLeft() + Label->GetWidth(), Right) << "a right-aligned label keeps its right edge";
}

TEST_F(PaintingTest, AnAmpersandUnderlinesTheNextCharacterInsteadOfShowing)
{
    auto* Plain = place<TLabel>(0, 0, 10, 10);
    Plain->SetCaption("Start");
    auto* Marked = place<TLabel>(0, 30, 10, 10);
    Marked->SetCaption("&Start");
    EXPECT_EQ(Marked->GetWidth(), Plain->GetWidth()) << "the '&' takes no room";
    Marked->SetShowAccelChar(false);
    EXPECT_GT(Marked->GetWidth(), Plain->GetWidth());
}

TEST_F(PaintingTest, ABevelDrawsItsBoxInShadowAndHighlight)
{
    auto* Bevel = place<TBevel>(0, 0, 10, 8);
    auto G = uitest::Grab(*Form);
    EXPECT_EQ(G->GetPixel(0, 0), Grey) << "lowered: shadow at the top left";
    EXPECT_EQ(G->GetPixel(9, 7), White);
    EXPECT_EQ(G->GetPixel(5, 4), Silver) << "the inside shows the form";
    Bevel->SetShape(bsTopLine);
    Bevel->SetStyle(bsRaised);
    G = uitest::Grab(*Form);
    EXPECT_EQ(G->GetPixel(5, 0), White);
    EXPECT_EQ(G->GetPixel(5, 1), Grey);
    EXPECT_EQ(G->GetPixel(9, 7), Silver);
}

TEST_F(PaintingTest, AnImageShowsItsPictureAtTheTopLeftOrStretched)
{
    auto* Image = place<TImage>(0, 0, 40, 20);
    TBitmap Strip;
    Strip.LoadFromResourceName("UiTinyStrip");
    Image->GetPicture()->SetBitmap(Strip);
    auto G = uitest::Grab(*Form);
    EXPECT_EQ(G->GetPixel(0, 0), Red);
    EXPECT_EQ(G->GetPixel(3, 0), White);
    EXPECT_EQ(G->GetPixel(10, 10), Silver) << "beside the picture the form shows";
    Image->SetStretch(true);
    G = uitest::Grab(*Form);
    EXPECT_EQ(G->GetPixel(9, 9), Red);
    EXPECT_EQ(G->GetPixel(39, 19), Red);
    EXPECT_EQ(G->GetPixel(35, 5), White);
}

// --- Canvases on bitmaps

class BitmapTest : public UiTest {};

TEST_F(BitmapTest, ANewBitmapIsWhiteAndTakesFillsLinesAndText)
{
    TBitmap B;
    B.SetSize(20, 20);
    TCanvas& C = *B.GetCanvas();
    EXPECT_EQ(C.GetPixels(5, 5), clWhite);
    C.GetBrush()->SetColor(clRed);
    C.FillRect(Rect(0, 0, 5, 5));
    EXPECT_EQ(C.GetPixels(4, 4), clRed);
    EXPECT_EQ(C.GetPixels(5, 5), clWhite) << "the right and bottom edges are left out";
    C.GetPen()->SetColor(clBlue);
    C.MoveTo(0, 19);
    C.LineTo(20, 19);
    EXPECT_EQ(C.GetPixels(10, 19), clBlue);
    EXPECT_EQ(C.GetPenPos(), Point(20, 19));

    C.GetBrush()->SetStyle(bsClear);
    C.GetFont()->SetColor(clBlack);
    C.TextOut(8, 6, "W");
    bool Ink = false;
    for (int Y = 6; Y < 19; ++Y)
        for (int X = 8; X < 20; ++X)
            Ink = Ink || C.GetPixels(X, Y) == clBlack;
    EXPECT_TRUE(Ink);
    EXPECT_EQ(C.GetPenPos(), Point(8 + C.TextWidth("W"), 6)) << "the pen moves to the end of the text";
    EXPECT_EQ(C.GetPixels(20, 0), -1) << "outside the picture";
    EXPECT_EQ(C.GetClipRect(), Rect(0, 0, 20, 20));
}

TEST_F(BitmapTest, ResizingKeepsThePictureAtTheTopLeft)
{
    TBitmap B;
    B.SetSize(2, 2);
    B.GetCanvas()->SetPixels(1, 1, clRed);
    B.SetWidth(4);
    EXPECT_EQ(B.GetCanvas()->GetPixels(1, 1), clRed);
    EXPECT_EQ(B.GetCanvas()->GetPixels(3, 1), clWhite);
    B.SetHeight(0);
    EXPECT_TRUE(B.Empty());
}

TEST_F(BitmapTest, LoadFromResourceNameFindsTheResourceWhateverItsCase)
{
    TBitmap B;
    B.LoadFromResourceName("uitinystrip");
    ASSERT_EQ(B.GetWidth(), 4);
    ASSERT_EQ(B.GetHeight(), 2);
    EXPECT_EQ(B.GetPixelFormat(), pf24bit);
    TCanvas& C = *B.GetCanvas();
    EXPECT_EQ(C.GetPixels(0, 0), clRed);
    EXPECT_EQ(C.GetPixels(1, 0), clLime);
    EXPECT_EQ(C.GetPixels(2, 0), clBlue);
    EXPECT_EQ(C.GetPixels(1, 1), clOlive);
}

TEST_F(BitmapTest, AMissingResourceIsAClearErrorAndTheOldPictureStays)
{
    TBitmap B;
    B.LoadFromResourceName("UiTinyStrip");
    try {
        B.LoadFromResourceName("NOPE");
        FAIL() << "no error";
    } catch (const EResNotFound& E) {
        EXPECT_EQ(E.Message(), "Resource NOPE not found");
    }
    EXPECT_EQ(B.GetWidth(), 4);
}

TEST_F(BitmapTest, AssignCopiesThePixelsAndMonochromeKeepsOnlyWhite)
{
    TBitmap Strip;
    Strip.LoadFromResourceName("UiTinyStrip");
    TBitmap Mono;
    Mono.Assign(Strip);
    Mono.GetCanvas()->GetBrush()->SetColor(clBlack);
    Mono.SetMonochrome(true);
    EXPECT_TRUE(Mono.GetMonochrome());
    EXPECT_EQ(Mono.GetPixelFormat(), pf1bit);
    EXPECT_EQ(Mono.GetCanvas()->GetPixels(3, 0), clWhite);
    EXPECT_EQ(Mono.GetCanvas()->GetPixels(0, 0), clBlack) << "red";
    EXPECT_EQ(Mono.GetCanvas()->GetPixels(2, 1), clBlack) << "silver";
    EXPECT_EQ(Strip.GetCanvas()->GetPixels(0, 0), clRed) << "the copy has pixels of its own";
}

TEST_F(BitmapTest, TheTransparentColourIsTheBottomLeftPixelUnlessSet)
{
    TBitmap Strip;
    Strip.LoadFromResourceName("UiTinyStrip");
    EXPECT_EQ(Strip.GetTransparentColor(), clBlack);
    Strip.SetTransparentColor(clRed);
    EXPECT_EQ(Strip.GetTransparentMode(), tmFixed);
    EXPECT_EQ(Strip.GetTransparentColor(), clRed);
}

TEST_F(BitmapTest, ATransparentBitmapLeavesTheTargetWhereItHasItsTransparentColour)
{
    TBitmap Strip;
    Strip.LoadFromResourceName("UiTinyStrip");
    Strip.SetTransparentColor(clRed);
    Strip.SetTransparent(true);
    TBitmap Target;
    Target.SetSize(4, 2);
    Target.GetCanvas()->GetBrush()->SetColor(clYellow);
    Target.GetCanvas()->FillRect(Rect(0, 0, 4, 2));
    Target.GetCanvas()->Draw(0, 0, Strip);
    TCanvas& C = *Target.GetCanvas();
    EXPECT_EQ(C.GetPixels(0, 0), clYellow);
    EXPECT_EQ(C.GetPixels(3, 1), clYellow);
    EXPECT_EQ(C.GetPixels(1, 0), clLime);
    EXPECT_EQ(C.GetPixels(0, 1), clBlack);
}

TEST_F(BitmapTest, CopyRectUsesTheCopyModeAndStretchDrawStretches)
{
    TBitmap Strip;
    Strip.LoadFromResourceName("UiTinyStrip");
    TBitmap Target;
    Target.SetSize(8, 4);
    TCanvas& C = *Target.GetCanvas();
    C.SetCopyMode(cmNotSrcCopy);
    C.CopyRect(Rect(0, 0, 4, 2), *Strip.GetCanvas(), Rect(0, 0, 4, 2));
    EXPECT_EQ(C.GetPixels(3, 0), clBlack) << "white inverted";
    EXPECT_EQ(C.GetPixels(0, 1), clWhite) << "black inverted";

    C.SetCopyMode(cmSrcCopy);
    C.StretchDraw(Rect(0, 0, 8, 4), Strip);
    EXPECT_EQ(C.GetPixels(1, 1), clRed);
    EXPECT_EQ(C.GetPixels(7, 3), clRed);
    EXPECT_EQ(C.GetPixels(2, 0), clLime);
}

} // namespace
