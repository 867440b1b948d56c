//===- TFlatButton.cpp - The flat push button of the button bar ---===//
#include "energystats/TFlatButton.h"

#include "platform/gdi/Gdi.h"
#include "platform/ui/controls/Menus.h"
#include "platform/ui/controls/Mouse.h"
#include "platform/ui/components/Published.h"
#include "platform/ui/controls/StdCtrls.h"
#include "platform/ui/graphics/TBitmap.h"
#include "platform/ui/graphics/TCanvas.h"
#include "platform/ui/forms/TForm.h"
#include "platform/ui/controls/TWinControl.h"

#include <algorithm>

namespace {

const PublishedClass& FlatButtonClass =
    PublishClass<TFlatButton, TGraphicControl>("TFlatButton", [](Published<TFlatButton>& P) {
        P.Enum("Alignment", TAlignmentType, &TFlatButton::GetAlignment, &TFlatButton::SetAlignment);
        P.Bool("AllowAllUp", &TFlatButton::GetAllowAllUp, &TFlatButton::SetAllowAllUp);
        P.Enum("BevelStyle", TBevelStyleType, &TFlatButton::GetBevelStyle, &TFlatButton::SetBevelStyle);
        P.Bool("Down", &TFlatButton::GetDown, &TFlatButton::SetDown);
        P.Component("DropDownMenu", &TFlatButton::GetDropDownMenu, &TFlatButton::SetDropDownMenu);
        P.Bool("Enabled", &TFlatButton::GetEnabled, &TFlatButton::SetEnabled);
        P.Int("GroupIndex", &TFlatButton::GetGroupIndex, &TFlatButton::SetGroupIndex);
        P.Enum("Layout", TFlatButtonLayoutType, &TFlatButton::GetLayout, &TFlatButton::SetLayout);
        P.Set("Options", TFlatButtonOptionType, &TFlatButton::GetOptions, &TFlatButton::SetOptions);
        P.Enum("ShadingType", TFlatButtonShadingTypeType, &TFlatButton::GetShadingType, &TFlatButton::SetShadingType);
        P.Bool("ShowDownPattern", &TFlatButton::GetShowDownPattern, &TFlatButton::SetShowDownPattern);
        P.Color("UnselectedFontColor", &TFlatButton::GetUnselectedFontColor, &TFlatButton::SetUnselectedFontColor);
        P.Bool("WordWrap", &TFlatButton::GetWordWrap, &TFlatButton::SetWordWrap);
    });

struct Thresholds {
    int T1, T2, T3;
};

constexpr Thresholds ShadingThresholds[] = { { 205, 127, 68 }, { 553, 231, 57 }, { 335, 274, 175 } };

TColor rgb(TColor Color) { return TColor(ColorToRGB(uint32_t(Color))); }

/// The check pattern shared by every button: made on first need, dropped with any button.
std::unique_ptr<TBitmap> Pattern;

TBitmap& checkPattern()
{
    if (!Pattern) {
        Pattern = std::make_unique<TBitmap>();
        Pattern->SetSize(8, 8);
        TCanvas& c = *Pattern->GetCanvas();
        c.GetBrush()->SetColor(clBtnFace);
        c.FillRect(Rect(0, 0, 8, 8));
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                if ((x % 2) == (y % 2))
                    c.SetPixels(x, y, rgb(clBtnHighlight));
    }
    return *Pattern;
}

} // namespace

struct TFlatButton::Placement {
    int tx = 0, ty = 0, gx = 0, gy = 0, d = 0, th = 0, gh = 0;
};

std::string StripAccelerators(const std::string& Caption)
{
    std::string out;
    size_t i = 0;
    for (; i + 1 < Caption.size(); ++i) {
        if (Caption[i] != '&') {
            out += Caption[i];
        } else if (Caption[i + 1] == '&') {
            out += '&';
            ++i;
        }
    }
    if (i < Caption.size())
        out += Caption[i];
    return out;
}

std::unique_ptr<TBitmap> MonoGlyph(TBitmap& Glyph, TFlatButtonShadingType Shading)
{
    auto mono = std::make_unique<TBitmap>();
    mono->Assign(Glyph);
    if (mono->Empty())
        return mono;
    const Thresholds t = ShadingThresholds[int(Shading)];
    TCanvas& c = *mono->GetCanvas();
    const TColor transparent = c.GetPixels(0, 0);
    for (int y = 0; y < mono->GetHeight(); ++y)
        for (int x = 0; x < mono->GetWidth(); ++x) {
            const TColor p = c.GetPixels(x, y);
            if (p == transparent)
                continue;
            const int s = (p & 0xFF) + ((p >> 8) & 0xFF) + ((p >> 16) & 0xFF);
            const TColor to = s > t.T1   ? clWhite
                              : s > t.T2 ? rgb(clBtnHighlight)
                              : s > t.T3 ? rgb(clBtnShadow)
                                         : clBlack;
            c.SetPixels(x, y, to);
        }
    return mono;
}

// --- Construction

TFlatButton::TFlatButton(TComponent* AOwner)
    : TGraphicControl(AOwner), FBitmap(std::make_unique<TBitmap>()), FNoFocusBitmap(std::make_unique<TBitmap>()),
      FDisabledBitmap(std::make_unique<TBitmap>()), FMonoBitmap(std::make_unique<TBitmap>())
{
    FBitmap->OnChange = [this](TObject* S) { bitmapChanged(S); };
    FNoFocusBitmap->OnChange = [this](TObject* S) { bitmapChanged(S); };
    FDisabledBitmap->OnChange = [this](TObject* S) { disabledBitmapChanged(S); };
    // The button clicks itself on the release, after its group and menu rules.
    ControlStyle = TControlStyle { csCaptureMouse };
    SetBounds(GetLeft(), GetTop(), 50, 40);
}

TFlatButton::~TFlatButton()
{
    Pattern.reset();
    if (FDropDownMenu)
        FDropDownMenu->RemoveFreeNotification(this);
}

// --- Properties

void TFlatButton::SetAlignment(TAlignment Value)
{
    FAlignment = Value;
    Repaint();
}

template <class F>
void TFlatButton::forEachGroupMember(F Action)
{
    TWinControl* parent = GetParent();
    if (!parent || FGroupIndex == 0)
        return;
    for (int i = 0; i < parent->ControlCount(); ++i)
        if (auto* other = dynamic_cast<TFlatButton*>(parent->Controls(i));
            other && other != this && other->FGroupIndex == FGroupIndex)
            Action(*other);
}

void TFlatButton::SetAllowAllUp(bool Value)
{
    FAllowAllUp = Value;
    forEachGroupMember([Value](TFlatButton& B) { B.FAllowAllUp = Value; });
}

void TFlatButton::SetBevelStyle(TBevelStyle Value)
{
    FBevelStyle = Value;
    Repaint();
}

void TFlatButton::SetBitmap(const TBitmap& Value) { FBitmap->Assign(Value); }
void TFlatButton::SetNoFocusBitmap(const TBitmap& Value) { FNoFocusBitmap->Assign(Value); }
void TFlatButton::SetDisabledBitmap(const TBitmap& Value) { FDisabledBitmap->Assign(Value); }

void TFlatButton::SetText(const std::string& Value)
{
    TGraphicControl::SetText(Value);
    if (FOptions.Contains(boIconOnly))
        SetHint(StripAccelerators(Value));
    else
        Repaint();
}

void TFlatButton::SetDown(bool Value)
{
    if (Value == FDown || FGroupIndex == 0)
        return;
    FDown = Value;
    Repaint();
    if (Value)
        forEachGroupMember([](TFlatButton& B) {
            if (B.FDown) {
                B.FDown = false;
                B.Repaint();
            }
        });
}

void TFlatButton::SetDropDownMenu(TPopupMenu* Value)
{
    if (FDropDownMenu)
        FDropDownMenu->RemoveFreeNotification(this);
    FDropDownMenu = Value;
    if (Value)
        Value->FreeNotification(this);
    if (FOptions.Contains(boPopupMark))
        Repaint();
}

void TFlatButton::SetEnabled(bool Value)
{
    if (Value == GetEnabled())
        return;
    TGraphicControl::SetEnabled(Value);
    if (FGroupIndex == 0)
        FDown = false;
    FPressed = FHot = false;
    Repaint();
}

void TFlatButton::SetGroupIndex(int Value)
{
    if (Value == FGroupIndex)
        return;
    FGroupIndex = Value;
    if (Value == 0 && FDown) {
        FDown = false;
        Repaint();
    }
}

void TFlatButton::SetLayout(TFlatButtonLayout Value)
{
    if (Value != FLayout) {
        FLayout = Value;
        Repaint();
    }
}

void TFlatButton::SetOptions(TFlatButtonOptions Value)
{
    FOptions = Value;
    const std::string plain = StripAccelerators(GetCaption());
    if (Value.Contains(boIconOnly) && GetHint().empty()) {
        SetHint(plain);
        SetShowHint(true);
    } else if (GetHint() == plain) {
        SetHint("");
        SetShowHint(false);
    }
    Repaint();
}

void TFlatButton::SetShadingType(TFlatButtonShadingType Value)
{
    if (Value == FShadingType)
        return;
    FShadingType = Value;
    if (!FBitmap->Empty() && FNoFocusBitmap->Empty()) {
        makeMono();
        Repaint();
    }
}

void TFlatButton::SetShowDownPattern(bool Value)
{
    if (Value != FShowDownPattern) {
        FShowDownPattern = Value;
        Repaint();
    }
}

void TFlatButton::SetUnselectedFontColor(TColor Value)
{
    if (Value != FUnselectedFontColor) {
        FUnselectedFontColor = Value;
        Repaint();
    }
}

void TFlatButton::SetWordWrap(bool Value)
{
    if (Value != FWordWrap) {
        FWordWrap = Value;
        Repaint();
    }
}

void TFlatButton::bitmapChanged(TObject*)
{
    if (!FBitmap->Empty() && FNoFocusBitmap->Empty())
        makeMono();
    Repaint();
}

void TFlatButton::disabledBitmapChanged(TObject*)
{
    if (!GetEnabled())
        Repaint();
}

void TFlatButton::makeMono() { FMonoBitmap = MonoGlyph(*FBitmap, FShadingType); }

void TFlatButton::Loaded()
{
    TGraphicControl::Loaded();
    if (!FBitmap->Empty() && FNoFocusBitmap->Empty())
        makeMono();
}

void TFlatButton::Notification(TComponent* AComponent, TOperation Operation)
{
    // A menu that goes is forgotten, the drop-down one and the right-click one alike.
    if (Operation == opRemove && AComponent == FDropDownMenu)
        FDropDownMenu = nullptr;
    if (Operation == opRemove && AComponent == GetPopupMenu())
        SetPopupMenu(nullptr);
}

// --- Painting

UINT TFlatButton::textFormat() const
{
    UINT format = FAlignment == taCenter ? DT_CENTER : FAlignment == taRightJustify ? DT_RIGHT : DT_LEFT;
    if (FWordWrap)
        format |= DT_WORDBREAK;
    // The stand-in platform takes the extended text call everywhere, the end ellipsis with it.
    return format | DT_END_ELLIPSIS;
}

TFlatButton::Placement TFlatButton::place(TCanvas& Canvas)
{
    const int width = GetWidth(), height = GetHeight();
    const bool popupMark = FDropDownMenu && FOptions.Contains(boPopupMark);
    const std::string caption = GetCaption().substr(0, FlatButtonCaptionLimit);
    int g = 0, tw = 0, th = 0;
    if (!FOptions.Contains(boIconOnly) && !caption.empty()) {
        g = 2;
        RECT r { 0, 0, std::max(width - 6, 0), 0 };
        DrawText(Canvas.GetHandle(), FWordWrap ? caption + " " : caption, &r,
                 (textFormat() & ~DT_END_ELLIPSIS) | DT_CALCRECT);
        tw = r.right - r.left;
        th = r.bottom - r.top;
    }
    tw = std::min(tw, width - 4);
    const int gw = FBitmap->GetWidth() + (popupMark ? 10 : 0), gh = FBitmap->GetHeight();
    Placement p;
    p.th = th;
    p.gh = gh;
    auto horizontal = [&](int& GX, int& TX) {
        if (FAlignment == taLeftJustify) {
            GX = 3;
            TX = 3;
        } else if (FAlignment == taRightJustify) {
            GX = width - gw - 3;
            TX = width - tw - 3;
        } else {
            GX = (width - gw) / 2;
            TX = (width - tw) / 2;
        }
    };
    if (FBitmap->Empty()) {
        p.d = tw;
        if (popupMark) {
            p.d = std::min(width - 14, tw);
            tw += 10;
        }
        p.ty = (height - th) / 2;
        p.tx = FAlignment == taLeftJustify ? 3 : FAlignment == taRightJustify ? width - tw - 3 : (width - tw) / 2;
    } else if (FLayout == blBitmapTop || FLayout == blBitmapBottom) {
        if (FLayout == blBitmapTop) {
            p.gy = (height - th - gh - g) / 2;
            p.ty = p.gy + gh + g;
        } else {
            p.ty = (height - th - gh - g) / 2;
            p.gy = p.ty + th + g;
        }
        horizontal(p.gx, p.tx);
        p.d = tw;
    } else {
        if (tw + gw + g > width - 4)
            tw = width - g - gw - 4;
        p.gy = (height - gh) / 2;
        p.ty = (height - th) / 2;
        p.d = tw;
        const bool left = FLayout == blBitmapLeft;
        if (FAlignment == taLeftJustify) {
            if (left) {
                p.gx = 3;
                p.tx = gw + g + 3;
            } else {
                p.tx = 3;
                p.gx = tw + 3 + g;
            }
        } else if (FAlignment == taRightJustify) {
            if (left) {
                p.tx = width - tw - 3;
                p.gx = p.tx - gw - g;
            } else {
                p.gx = width - gw - 3;
                p.tx = p.gx - tw - g;
            }
        } else if (left) {
            p.gx = (width - tw - gw - g) / 2;
            p.tx = p.gx + gw + g;
        } else {
            p.tx = (width - tw - gw - g) / 2;
            p.gx = p.tx + tw + g;
        }
    }
    if (FWordWrap && p.tx + p.d > width - 5)
        p.d = width - p.tx - 5;
    return p;
}

void TFlatButton::drawBevel(TCanvas& Canvas, bool Pressed)
{
    TColor first = FBevelStyle == bsRaised ? clBtnHighlight : clBtnShadow;
    TColor second = FBevelStyle == bsRaised ? clBtnShadow : clBtnHighlight;
    if (Pressed)
        std::swap(first, second);
    const int w = GetWidth(), h = GetHeight();
    Canvas.GetPen()->SetColor(first);
    Canvas.MoveTo(0, h);
    Canvas.LineTo(0, 0);
    Canvas.LineTo(w - 1, 0);
    Canvas.GetPen()->SetColor(second);
    Canvas.LineTo(w - 1, h - 1);
    Canvas.LineTo(0, h - 1);
}

void TFlatButton::drawCaption(TCanvas& Canvas, TRect R, TColor Color)
{
    Canvas.GetFont()->SetColor(Color);
    RECT r { R.Left, R.Top, R.Right, R.Bottom };
    DrawText(Canvas.GetHandle(), GetCaption().substr(0, FlatButtonCaptionLimit), &r, textFormat());
}

void TFlatButton::drawGlyph(TCanvas& Canvas, TBitmap& Glyph, int X, int Y)
{
    if (Glyph.Empty())
        return;
    TCanvas& source = *Glyph.GetCanvas();
    const TColor transparent = source.GetPixels(0, 0);
    for (int y = 0; y < Glyph.GetHeight(); ++y)
        for (int x = 0; x < Glyph.GetWidth(); ++x)
            if (const TColor p = source.GetPixels(x, y); p != transparent)
                Canvas.SetPixels(X + x, Y + y, p);
}

void TFlatButton::drawEmbossed(TCanvas& Canvas, int X, int Y)
{
    if (FBitmap->Empty())
        return;
    // The monochrome copy keeps white as white and turns every other colour black; the raster
    // operation then paints the brush where the copy is black and leaves the rest.
    TCanvas& source = *FBitmap->GetCanvas();
    const TColor highlight = rgb(clBtnHighlight), shadow = rgb(clBtnShadow);
    for (int pass = 0; pass < 2; ++pass)
        for (int y = 0; y < FBitmap->GetHeight(); ++y)
            for (int x = 0; x < FBitmap->GetWidth(); ++x)
                if (source.GetPixels(x, y) != clWhite)
                    Canvas.SetPixels(X + x + (pass == 0), Y + y + (pass == 0), pass == 0 ? highlight : shadow);
}

void TFlatButton::drawArrow(TCanvas& Canvas, int X, int Y)
{
    const TColor color = rgb(Canvas.GetFont()->GetColor());
    for (int row = 0; row < 4; ++row)
        for (int i = 0; i < 7 - 2 * row; ++i)
            Canvas.SetPixels(X + row + i, Y - 1 + row, color);
}

void TFlatButton::fillDownPattern(TCanvas& Canvas)
{
    TBitmap& pattern = checkPattern();
    for (int y = 0; y < GetHeight(); y += 8)
        for (int x = 0; x < GetWidth(); x += 8)
            Canvas.Draw(x, y, pattern);
}

void TFlatButton::Paint()
{
    if (!GetVisible())
        return;
    TCanvas& canvas = *GetCanvas();
    if (FDown && FShowDownPattern)
        fillDownPattern(canvas);
    canvas.GetBrush()->SetStyle(bsClear);
    canvas.SetFont(*GetFont());
    const Placement p = place(canvas);
    const TRect text = Rect(p.tx, p.ty, p.tx + p.d, p.ty + p.th);
    const bool showCaption = !FOptions.Contains(boIconOnly) && !GetCaption().empty();
    const bool popupMark = FDropDownMenu && FOptions.Contains(boPopupMark);

    if (!GetEnabled()) {
        if (FDown)
            drawBevel(canvas, true);
        if (!FDisabledBitmap->Empty())
            drawGlyph(canvas, *FDisabledBitmap, p.gx, p.gy);
        else
            drawEmbossed(canvas, p.gx, p.gy);
        if (showCaption) {
            drawCaption(canvas, Rect(text.Left + 1, text.Top + 1, text.Right + 1, text.Bottom + 1), clBtnHighlight);
            drawCaption(canvas, text, clBtnShadow);
        }
        return;
    }

    int ax = 0, ay = 0;
    if ((FPressed && FHot) || FDown) {
        drawBevel(canvas, true);
        if (showCaption) {
            const int shift = FBevelStyle == bsRaised ? 1 : 0;
            drawCaption(canvas, Rect(text.Left + shift, text.Top + shift, text.Right + shift, text.Bottom + shift),
                        GetFont()->GetColor());
        }
        if (FBitmap->Empty()) {
            ax = p.tx + p.d + 4;
            ay = p.ty + p.th / 2 + 1;
        } else {
            drawGlyph(canvas, *FBitmap, p.gx + 1, p.gy + 1);
            ax = p.gx + FBitmap->GetWidth() + 4;
            ay = p.gy + p.gh / 2 + 1;
        }
    } else {
        if (FHot)
            drawBevel(canvas, false);
        const TColor color = FHot ? GetFont()->GetColor() : FUnselectedFontColor;
        canvas.GetFont()->SetColor(color);
        if (showCaption) {
            const int shift = FBevelStyle == bsLowered ? 1 : 0;
            drawCaption(canvas, Rect(text.Left + shift, text.Top + shift, text.Right + shift, text.Bottom + shift),
                        color);
        }
        if (FBitmap->Empty()) {
            ax = p.tx + p.d + 3;
            ay = p.ty + p.th / 2;
        } else {
            TBitmap& glyph = !FHot && FOptions.Contains(boMonoDisplay)
                                 ? (FNoFocusBitmap->Empty() ? *FMonoBitmap : *FNoFocusBitmap)
                                 : *FBitmap;
            drawGlyph(canvas, glyph, p.gx, p.gy);
            ax = p.gx + FBitmap->GetWidth() + 3;
            ay = p.gy + p.gh / 2;
        }
    }
    if (popupMark)
        drawArrow(canvas, ax, ay);
}

// --- Mouse and keys

bool TFlatButton::formActive() const
{
    const TForm* form = GetParentForm(this);
    return !form || form->GetActive();
}

bool TFlatButton::cursorInside() const
{
    // Where the cursor is now: after a menu or an accelerator it need not be where the button
    // last saw the mouse.
    POINT screen {};
    if (!GetCursorPos(&screen))
        return false;
    const TPoint p = ScreenToClient(Point(screen.x, screen.y));
    return p.X > 0 && p.X < GetWidth() && p.Y > 0 && p.Y < GetHeight();
}

void TFlatButton::MouseMove(TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseMove(Shift, X, Y);
    const bool inside = X >= 0 && X <= GetWidth() && Y >= 0 && Y <= GetHeight();
    if (inside && !FHot && GetEnabled() && GetVisible() && formActive()) {
        FHot = true;
        if (!FDown)
            Repaint();
    } else if (!inside && FHot) {
        FHot = false;
        if (!FDown && GetEnabled())
            Repaint();
    }
}

void TFlatButton::MouseLeave()
{
    // The stand-in tells of the mouse leaving instead of handing the button the capture.
    TGraphicControl::MouseLeave();
    if (FHot && !FPressed) {
        FHot = false;
        if (!FDown && GetEnabled())
            Repaint();
    }
}

void TFlatButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button == TMouseButton::mbLeft)
        leftDown();
}

void TFlatButton::leftDown()
{
    if (TForm* form = GetParentForm(this); form && !form->GetActive())
        form->BringToFront();
    if (!GetEnabled() || !GetVisible())
        return;
    FPressed = true;
    FHot = true;
    Repaint();
    if (FDropDownMenu) {
        const TPoint at = ClientToScreen(Point(0, GetHeight()));
        FDropDownMenu->PopupComponent = this;
        FDropDownMenu->Popup(at.X, at.Y);
        afterMenu();
    }
}

void TFlatButton::afterMenu()
{
    SetMouseCapture(false);
    if (!cursorInside())
        FHot = false;
    FPressed = false;
    Repaint();
}

void TFlatButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    FHot = FPressed && X >= 0 && X <= GetWidth() && Y >= 0 && Y <= GetHeight();
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (Button == TMouseButton::mbLeft)
        leftUp();
    else if (Button == TMouseButton::mbRight && GetPopupMenu())
        // The platform shows the right-click menu as soon as this returns; the button lets go
        // of the mouse first, as it does after its own menu.
        afterMenu();
}

void TFlatButton::leftUp()
{
    if (!GetEnabled() || !GetVisible() || !FPressed)
        return;
    FPressed = false;
    if (FHot && FGroupIndex != 0) {
        if (!FDown) {
            forEachGroupMember([](TFlatButton& B) {
                if (B.FDown)
                    B.SetDown(false);
            });
            SetDown(true);
        } else if (FAllowAllUp) {
            // SetDown refuses nothing here: the group rule allows all up.
            FDown = false;
            Repaint();
        }
    }
    SetMouseCapture(false);
    if (FHot) {
        FHot = false;
        Invalidate();
        if (!FDropDownMenu)
            Click();
    }
}

bool TFlatButton::DialogChar(char Key)
{
    if (!IsAccel(Key, GetCaption()) || !GetEnabled() || !GetVisible())
        return false;
    FHot = true;
    FPressed = false;
    Repaint();
    leftDown();
    leftUp();
    if (!cursorInside()) {
        FHot = false;
        Repaint();
    }
    return true;
}
