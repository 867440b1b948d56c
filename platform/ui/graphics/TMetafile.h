//===- TMetafile.h - Enhanced metafiles as pictures, and the canvas that records them -*- C++ -*-===//
//
// A TMetafile holds one enhanced metafile (platform/gdi's EnhMetaFile) and its size in pixels.
// It is drawn like any other picture: TCanvas::Draw and StretchDraw play its records into the
// target rectangle, so onto a bitmap it paints pixels and onto another metafile canvas it is
// recorded again inside the outer picture.
//
// Width and Height are pixels of the reference device the picture was recorded for (the screen,
// 96 dpi, unless a canvas was given another one). They come from the header's frame, which a
// TMetafileCanvas sets from the Width and Height the metafile had when the canvas was made, so a
// picture of 600 x 420 set beforehand stays 600 x 420 whatever its drawing covers.
//
#pragma once

#include "platform/gdi/metafile/EnhMetaFile.h"
#include "platform/ui/graphics/TCanvas.h"
#include "platform/ui/graphics/TGraphic.h"

#include <memory>
#include <optional>
#include <string>

class TStream;

inline constexpr const char* SInvalidMetafile = "Metafile is not valid";

class TMetafile : public TGraphic {
public:
    TMetafile();
    ~TMetafile() override;

    // --- Size
    /// True while the metafile holds no picture.
    bool Empty() const override;
    int GetWidth() const override { return FWidth; }
    /// Changes the size the picture is drawn at by Draw, and the frame of the next canvas made on
    /// it; the records stay as they are.
    void SetWidth(int Value) override;
    int GetHeight() const override { return FHeight; }
    void SetHeight(int Value) override;
    /// Always true: this platform writes and reads enhanced metafiles only; setting false is
    /// ignored.
    bool GetEnhanced() const { return true; }
    void SetEnhanced(bool) {}

    // --- The picture
    /// The metafile, null while empty. It stays the TMetafile's.
    const EnhMetaFile* GetHandle() const { return FImage.get(); }
    /// Takes Value (null empties the metafile); Width and Height follow its frame.
    void SetHandle(HENHMETAFILE Value);
    /// Hands the metafile to the caller and leaves this one empty.
    HENHMETAFILE ReleaseHandle();
    /// No picture, size 0 x 0.
    void Clear();

    // --- Copying, files and streams (the published EMF form, byte for byte)
    /// Copies another metafile's picture and size; other sources ask Source (the clipboard
    /// gives its metafile this way), else EConvertError.
    void Assign(const TPersistent& Source) override;
    /// Reads from the stream's position to its end. Anything that is no complete enhanced
    /// metafile raises EInvalidGraphic "Metafile is not valid" and keeps the old picture.
    void LoadFromStream(TStream& Stream);
    /// Writes the metafile's bytes at the stream's position; an empty metafile writes nothing.
    void SaveToStream(TStream& Stream) const;
    /// As the stream forms; a file that cannot be opened or created raises EFOpenError or
    /// EFCreateError.
    void LoadFromFile(const std::string& FileName);
    void SaveToFile(const std::string& FileName) const;

protected:
    void Draw(TCanvas& ACanvas, const TRect& Rect) const override;

private:
    friend class TMetafileCanvas;
    /// The frame a new recording gets: the size in 0.01 mm at the reference's resolution, or
    /// none when no size was set (the recording then sizes itself to what it draws).
    std::optional<RECT> frameFor(HDC Reference) const;
    void adopt(HENHMETAFILE Image);

    std::unique_ptr<EnhMetaFile> FImage;
    int FWidth = 0, FHeight = 0;
};

/// A canvas whose device context records into a metafile. Freeing the canvas completes the
/// recording and hands it to the metafile, replacing the picture that the metafile held; the
/// metafile must outlive the canvas. The Handle is the recording context: its state can be
/// saved, restored and read back like any other context's.
class TMetafileCanvas : public TCanvas {
public:
    /// ReferenceDevice gives the resolution and device size the recording is made for; null
    /// means the screen (96 dpi).
    TMetafileCanvas(TMetafile& AMetafile, HDC ReferenceDevice);
    ~TMetafileCanvas() override;

private:
    TMetafile& FMetafile;
    HDC FRecording;
};
