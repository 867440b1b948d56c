//===- TBitmap.h - Bitmaps with a canvas, loaded from resources -*- C++ -*-===//
//
// A bitmap holds a device-independent picture (platform/gdi's Dib) behind a bitmap object and,
// once its Canvas is used, a memory device context with that object selected, so canvas calls,
// blits and pixel access all reach the same pixels.
//
#pragma once

#include "platform/gdi/GdiTypes.h"
#include "platform/rtl/Exception.h"
#include "platform/ui/components/Colors.h"
#include "platform/ui/graphics/TGraphic.h"
#include "platform/ui/components/TypeInfo.h"

#include <memory>
#include <string>
#include <string_view>

class Dib;
class TCanvas;

enum class TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
using enum TPixelFormat;

enum class TTransparentMode { tmAuto, tmFixed };
using enum TTransparentMode;

class TBitmap : public TGraphic {
public:
    TBitmap();
    ~TBitmap() override;

    // --- Size and depth
    bool Empty() const override;
    int GetWidth() const override { return FWidth; }
    /// Keeps the picture's top-left part; new area is filled with the canvas brush colour.
    void SetWidth(int Value) override;
    int GetHeight() const override { return FHeight; }
    void SetHeight(int Value) override;
    void SetSize(int AWidth, int AHeight);
    /// pfDevice (a new bitmap) draws like pf32bit. 15- and 16-bit and custom formats are refused
    /// with EInvalidGraphic.
    TPixelFormat GetPixelFormat() const { return FPixelFormat; }
    void SetPixelFormat(TPixelFormat Value);
    /// Setting true turns the picture into one bit per pixel: pixels that are white (the
    /// conversion's background colour) become 1, all others 0, as a colour-to-monochrome blit does.
    bool GetMonochrome() const;
    void SetMonochrome(bool Value);

    // --- Transparency
    /// tmAuto: the colour of the bottom-left pixel; tmFixed: the colour set.
    TColor GetTransparentColor() const;
    void SetTransparentColor(TColor Value);
    TTransparentMode GetTransparentMode() const { return FTransparentMode; }
    void SetTransparentMode(TTransparentMode Value);

    // --- Drawing on it
    TCanvas* GetCanvas();
    /// The bitmap object (null while empty). Drawing through it is seen by the canvas and back.
    HBITMAP GetHandle() const { return FBitmap; }

    // --- Loading and copying
    /// Reads the BMP resource of that name (case does not matter). Raises EResNotFound
    /// "Resource X not found" or EInvalidGraphic "Bitmap image is not valid", keeping the old picture.
    void LoadFromResourceName(std::string_view ResName);
    /// Copies a bitmap; the copy has its own pixels. Another graphic (a metafile, a JPEG
    /// picture) is drawn into 24-bit pixels of its size, on white; anything else raises
    /// EConvertError.
    void Assign(const TPersistent& Source) override;
    /// Turns the picture into its mask for TransparentColor: one bit per pixel, white where
    /// the picture had that colour, black elsewhere.
    void Mask(TColor TransparentColor);

    /// The pixels, for code that reads or writes many at once; null while empty.
    Dib* GetDib() const;

    // --- Picture files
    /// Writes the picture as a PNG file, or as a BMP file for a name ending in ".bmp". The file
    /// appears whole or not at all (a reader polling for it never sees half); false when the
    /// bitmap is empty or the file cannot be written.
    bool SavePictureFile(const std::string& FileName) const;

protected:
    void Draw(TCanvas& ACanvas, const TRect& Rect) const override;

private:
    friend class TJPEGImage;
    void replacePicture(std::unique_ptr<Dib> Picture, TPixelFormat Format);
    void drawFrom(const TGraphic& Graphic);
    void resize(int AWidth, int AHeight);
    void canvasChanged(TObject* Sender);
    void drawTransparent(HDC Dest, const TRect& Rect) const;
    HDC memoryDc() const;

    int FWidth = 0, FHeight = 0;
    TPixelFormat FPixelFormat = pfDevice;
    HBITMAP FBitmap = nullptr;
    mutable HDC FDc = nullptr;
    mutable HGDIOBJ FStockBitmap = nullptr;
    std::unique_ptr<TCanvas> FCanvas;
    TColor FTransparentColor = clDefault;
    TTransparentMode FTransparentMode = tmAuto;
};

/// A picture that cannot be read or a format that bitmaps do not take.
class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
};
