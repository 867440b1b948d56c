//===- TJPEGImage.h - JPEG pictures: loaded, saved, drawn and copied to and from bitmaps -*- C++ -*-===//
//
// The picture is kept twice: as pixels (a 24-bit bitmap, drawn and copied from) and as the
// compressed bytes. Bytes that were loaded are saved again unchanged; a picture that was
// assigned, or whose quality, grey or progressive setting changed, is compressed anew on saving.
//
#pragma once

#include "platform/ui/graphics/TBitmap.h"
#include "platform/ui/graphics/TGraphic.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TStream;

class TJPEGImage : public TGraphic {
public:
    TJPEGImage();
    ~TJPEGImage() override;

    bool Empty() const override;
    int GetWidth() const override;
    int GetHeight() const override;
    /// A JPEG picture keeps its size: these change nothing.
    void SetWidth(int) override {}
    void SetHeight(int) override {}

    // --- Compression settings
    /// 1 (smallest) .. 100 (best); values outside are taken as the nearest end. 90 at first.
    int GetCompressionQuality() const { return FQuality; }
    void SetCompressionQuality(int Value);
    /// True for a grey picture: one loaded from a grey file, or one made grey by setting it
    /// (which turns the pixels grey); saved with one component.
    bool GetGrayscale() const { return FGrayscale; }
    void SetGrayscale(bool Value);
    bool GetProgressiveEncoding() const { return FProgressive; }
    void SetProgressiveEncoding(bool Value);

    // --- Files and streams
    /// Reads a JPEG file from the stream's position to its end. Raises EInvalidGraphic naming
    /// the fault for data that is not a whole, sound JPEG picture, keeping the old picture.
    void LoadFromStream(TStream& Stream);
    /// Writes the JPEG file at the stream's position; an empty picture raises EInvalidGraphic.
    void SaveToStream(TStream& Stream) const;
    void LoadFromFile(const std::string& FileName);
    void SaveToFile(const std::string& FileName) const;

    /// From another JPEG picture, or any graphic a bitmap takes (drawn into 24-bit pixels).
    void Assign(const TPersistent& Source) override;

protected:
    void Draw(TCanvas& ACanvas, const TRect& Rect) const override;

private:
    void settingChanged();
    const std::vector<uint8_t>& compressed() const;

    std::unique_ptr<TBitmap> FBitmap;   // the pixels; empty while the picture is
    mutable std::vector<uint8_t> FData; // the file's bytes; empty until loaded or saved
    int FQuality = 90;
    bool FGrayscale = false;
    bool FProgressive = false;
};
