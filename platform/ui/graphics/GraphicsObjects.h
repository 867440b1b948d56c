//===- GraphicsObjects.h - Fonts, pens and brushes of canvases and controls -*- C++ -*-===//
//
// Each object keeps its properties and makes the device context's object (HFONT, HPEN, HBRUSH)
// on first need; a change of a property drops that object and raises OnChange, which is how a
// canvas knows to select the new one and a control knows to repaint.
//
#pragma once

#include "platform/gdi/GdiTypes.h"
#include "platform/ui/components/Colors.h"
#include "platform/ui/components/Events.h"
#include "platform/ui/components/TComponent.h"
#include "platform/ui/components/TypeInfo.h"

#include <cstdint>
#include <string>

class TBitmap;

enum class TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using enum TFontStyle;
using TFontStyles = TSet<TFontStyle>;
inline constexpr EnumIdent TFontStyleIdents[] = {
    { "fsBold", fsBold },
    { "fsItalic", fsItalic },
    { "fsUnderline", fsUnderline },
    { "fsStrikeOut", fsStrikeOut },
};
inline constexpr TEnumType<TFontStyle> TFontStyleType { "TFontStyle", TFontStyleIdents };
using TFontCharset = uint8_t;

enum class TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
using enum TPenStyle;
inline constexpr EnumIdent TPenStyleIdents[] = {
    { "psSolid", psSolid },
    { "psDash", psDash },
    { "psDot", psDot },
    { "psDashDot", psDashDot },
    { "psDashDotDot", psDashDotDot },
    { "psClear", psClear },
    { "psInsideFrame", psInsideFrame },
};
inline constexpr TEnumType<TPenStyle> TPenStyleType { "TPenStyle", TPenStyleIdents };

/// How the pen mixes with the picture (the ROP2 modes, in the class library's order).
enum class TPenMode {
    pmBlack,
    pmWhite,
    pmNop,
    pmNot,
    pmCopy,
    pmNotCopy,
    pmMergePenNot,
    pmMaskPenNot,
    pmMergeNotPen,
    pmMaskNotPen,
    pmMerge,
    pmNotMerge,
    pmMask,
    pmNotMask,
    pmXor,
    pmNotXor,
};
using enum TPenMode;

enum class TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };
using enum TBrushStyle;
inline constexpr EnumIdent TBrushStyleIdents[] = {
    { "bsSolid", bsSolid },       { "bsClear", bsClear },         { "bsHorizontal", bsHorizontal },
    { "bsVertical", bsVertical }, { "bsFDiagonal", bsFDiagonal }, { "bsBDiagonal", bsBDiagonal },
    { "bsCross", bsCross },       { "bsDiagCross", bsDiagCross },
};
inline constexpr TEnumType<TBrushStyle> TBrushStyleType { "TBrushStyle", TBrushStyleIdents };

/// The common part: the drawing object made on demand, and the change notification.
class TGraphicsObject : public TPersistent {
public:
    TGraphicsObject() = default;
    TGraphicsObject(const TGraphicsObject&) = delete;
    TGraphicsObject& operator=(const TGraphicsObject&) = delete;
    ~TGraphicsObject() override;

    /// Raised after every change of a property.
    TNotifyEvent OnChange;

protected:
    /// Drops the drawing object and raises OnChange.
    void Changed();
    /// The drawing object, made by MakeHandle when there is none.
    HGDIOBJ GetObjectHandle() const;
    virtual HGDIOBJ MakeHandle() const = 0;

private:
    mutable HGDIOBJ FHandle = nullptr;
};

/// Text font. Size is in points and Height in pixels at 96 dots per inch, negative for the
/// character height (Size 8 is Height -11); setting one sets the other.
class TFont : public TGraphicsObject {
public:
    TFont() = default;

    // --- Properties
    const std::string& GetName() const { return FName; }
    void SetName(const std::string& Value);
    int GetSize() const;
    void SetSize(int Value);
    int GetHeight() const { return FHeight; }
    void SetHeight(int Value);
    TFontStyles GetStyle() const { return FStyle; }
    void SetStyle(TFontStyles Value);
    TColor GetColor() const { return FColor; }
    void SetColor(TColor Value);
    TFontCharset GetCharset() const { return FCharset; }
    void SetCharset(TFontCharset Value);

    /// The same font as LOGFONT fields (face, height, weight, italic ...).
    LOGFONTA LogFont() const;
    /// The drawing object; valid until the next change or the font's end.
    HFONT GetHandle() const { return GetObjectHandle(); }

    void Assign(const TPersistent& Source) override;
    /// True when every property is equal (the colour included).
    bool SameAs(const TFont& Other) const;

protected:
    HGDIOBJ MakeHandle() const override;

private:
    std::string FName = "MS Sans Serif";
    int FHeight = -11;
    TFontStyles FStyle;
    TColor FColor = clWindowText;
    TFontCharset FCharset = DEFAULT_CHARSET;
};

class TPen : public TGraphicsObject {
public:
    TPen() = default;

    TColor GetColor() const { return FColor; }
    void SetColor(TColor Value);
    int GetWidth() const { return FWidth; }
    void SetWidth(int Value);
    TPenStyle GetStyle() const { return FStyle; }
    void SetStyle(TPenStyle Value);
    /// Kept apart from the drawing object: a canvas applies it with SetROP2.
    TPenMode GetMode() const { return FMode; }
    void SetMode(TPenMode Value);

    HPEN GetHandle() const { return GetObjectHandle(); }
    void Assign(const TPersistent& Source) override;

protected:
    HGDIOBJ MakeHandle() const override;

private:
    TColor FColor = clBlack;
    int FWidth = 1;
    TPenStyle FStyle = psSolid;
    TPenMode FMode = pmCopy;
};

class TBrush : public TGraphicsObject {
public:
    TBrush() = default;

    TColor GetColor() const { return FColor; }
    /// Setting a colour on a clear brush makes it solid again, as the class library does.
    void SetColor(TColor Value);
    TBrushStyle GetStyle() const { return FStyle; }
    void SetStyle(TBrushStyle Value);
    /// A bitmap that is not empty makes the brush paint with it as a tile, whatever the style.
    /// The brush takes a copy of the picture when drawing next asks for it; the bitmap stays the
    /// caller's and must outlive its use here (or be unset).
    TBitmap* GetBitmap() const { return FBitmap; }
    void SetBitmap(TBitmap* Value);

    HBRUSH GetHandle() const { return GetObjectHandle(); }
    void Assign(const TPersistent& Source) override;

protected:
    HGDIOBJ MakeHandle() const override;

private:
    TColor FColor = clWhite;
    TBrushStyle FStyle = bsSolid;
    TBitmap* FBitmap = nullptr;
};

/// A ROP2 mode for a pen mode (pmCopy is R2_COPYPEN).
int PenModeToRop2(TPenMode Mode);
