//===- TFlatButton.h - The flat push button of the button bar -*- C++ -*-===//
//
// A graphic control: caption and optional glyph, a bevel only while the mouse is over it, sunk
// while pressed, down as a member of a group, a drop-down menu, a grey glyph while the mouse is
// elsewhere and an embossed glyph and caption while disabled.
//
#pragma once

#include "platform/ui/controls/ExtCtrls.h"
#include "platform/ui/controls/TGraphicControl.h"

#include <memory>
#include <string>

class TBitmap;
class TPopupMenu;

enum class TFlatButtonLayout { blBitmapTop, blBitmapBottom, blBitmapLeft, blBitmapRight };
using enum TFlatButtonLayout;
inline constexpr EnumIdent TFlatButtonLayoutIdents[] = { { "blBitmapTop", blBitmapTop },
                                                         { "blBitmapBottom", blBitmapBottom },
                                                         { "blBitmapLeft", blBitmapLeft },
                                                         { "blBitmapRight", blBitmapRight } };
inline constexpr TEnumType<TFlatButtonLayout> TFlatButtonLayoutType { "TFlatButtonLayout", TFlatButtonLayoutIdents };

enum class TFlatButtonOption { boMonoDisplay, boIconOnly, boPopupMark };
using enum TFlatButtonOption;
inline constexpr EnumIdent TFlatButtonOptionIdents[] = { { "boMonoDisplay", boMonoDisplay },
                                                         { "boIconOnly", boIconOnly },
                                                         { "boPopupMark", boPopupMark } };
inline constexpr TEnumType<TFlatButtonOption> TFlatButtonOptionType { "TFlatButtonOption", TFlatButtonOptionIdents };
using TFlatButtonOptions = TSet<TFlatButtonOption>;

enum class TFlatButtonShadingType { stLight, stMedium, stDark };
using enum TFlatButtonShadingType;
inline constexpr EnumIdent TFlatButtonShadingTypeIdents[] = { { "stLight", stLight },
                                                              { "stMedium", stMedium },
                                                              { "stDark", stDark } };
inline constexpr TEnumType<TFlatButtonShadingType> TFlatButtonShadingTypeType { "TFlatButtonShadingType",
                                                                                TFlatButtonShadingTypeIdents };

/// The caption without accelerator marks: "&&" is one '&', any other '&' goes; the last
/// character is never looked at, so a trailing '&' stays.
std::string StripAccelerators(const std::string& Caption);

/// The mono version of a glyph for a shading type: pixels of the transparent colour (that of
/// pixel (0, 0)) stay, the others become white, highlight, shadow or black by their sum of red,
/// green and blue.
std::unique_ptr<TBitmap> MonoGlyph(TBitmap& Glyph, TFlatButtonShadingType Shading);

/// Captions longer than this are cut for measuring and drawing.
constexpr size_t FlatButtonCaptionLimit = 255;

class TFlatButton : public TGraphicControl {
public:
    explicit TFlatButton(TComponent* AOwner);
    ~TFlatButton() override;

    // --- Properties
    TAlignment GetAlignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    bool GetAllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool Value);
    TBevelStyle GetBevelStyle() const { return FBevelStyle; }
    void SetBevelStyle(TBevelStyle Value);
    TBitmap* GetBitmap() const { return FBitmap.get(); }
    void SetBitmap(const TBitmap& Value);
    TBitmap* GetNoFocusBitmap() const { return FNoFocusBitmap.get(); }
    void SetNoFocusBitmap(const TBitmap& Value);
    TBitmap* GetDisabledBitmap() const { return FDisabledBitmap.get(); }
    void SetDisabledBitmap(const TBitmap& Value);
    /// With boIconOnly the hint follows the caption; otherwise the button repaints.
    void SetText(const std::string& Value) override;
    bool GetDown() const { return FDown; }
    /// Only for group members; going down releases the other down member of the group.
    void SetDown(bool Value);
    TPopupMenu* GetDropDownMenu() const { return FDropDownMenu; }
    void SetDropDownMenu(TPopupMenu* Value);
    void SetEnabled(bool Value) override;
    int GetGroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    TFlatButtonLayout GetLayout() const { return FLayout; }
    void SetLayout(TFlatButtonLayout Value);
    TFlatButtonOptions GetOptions() const { return FOptions; }
    void SetOptions(TFlatButtonOptions Value);
    TFlatButtonShadingType GetShadingType() const { return FShadingType; }
    void SetShadingType(TFlatButtonShadingType Value);
    bool GetShowDownPattern() const { return FShowDownPattern; }
    void SetShowDownPattern(bool Value);
    TColor GetUnselectedFontColor() const { return FUnselectedFontColor; }
    void SetUnselectedFontColor(TColor Value);
    bool GetWordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);

    // --- State the mouse leaves
    bool GetHot() const { return FHot; }
    bool GetPressed() const { return FPressed; }
    /// The generated grey glyph (empty unless Bitmap is set and NoFocusBitmap is not).
    TBitmap* GetMonoBitmap() const { return FMonoBitmap.get(); }

protected:
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseLeave() override;
    bool DialogChar(char Key) override;

private:
    struct Placement;
    Placement place(TCanvas& Canvas);
    void drawBevel(TCanvas& Canvas, bool Pressed);
    void drawCaption(TCanvas& Canvas, TRect R, TColor Color);
    void drawGlyph(TCanvas& Canvas, TBitmap& Glyph, int X, int Y);
    void drawEmbossed(TCanvas& Canvas, int X, int Y);
    void drawArrow(TCanvas& Canvas, int X, int Y);
    void fillDownPattern(TCanvas& Canvas);
    UINT textFormat() const;
    void bitmapChanged(TObject* Sender);
    void disabledBitmapChanged(TObject* Sender);
    void makeMono();
    template <class F>
    void forEachGroupMember(F Action);
    void leftDown();
    void leftUp();
    /// After a menu closed: the stand-in has no mouse messages queued to purge; the capture goes,
    /// and hot follows the last point the mouse was seen at.
    void afterMenu();
    bool cursorInside() const;
    bool formActive() const;

    TAlignment FAlignment = taCenter;
    bool FAllowAllUp = false;
    TBevelStyle FBevelStyle = bsRaised;
    std::unique_ptr<TBitmap> FBitmap, FNoFocusBitmap, FDisabledBitmap, FMonoBitmap;
    bool FDown = false;
    TPopupMenu* FDropDownMenu = nullptr;
    int FGroupIndex = 0;
    TFlatButtonLayout FLayout = blBitmapTop;
    TFlatButtonOptions FOptions { boMonoDisplay, boPopupMark };
    TFlatButtonShadingType FShadingType = stMedium;
    bool FShowDownPattern = true;
    TColor FUnselectedFontColor = clWindowText;
    bool FWordWrap = false;
    bool FPressed = false;
    bool FHot = false;
};
