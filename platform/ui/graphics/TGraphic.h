//===- TGraphic.h - Pictures that a canvas can draw, and the picture holder of images -*- C++ -*-===//
#pragma once

#include "platform/ui/components/Events.h"
#include "platform/ui/components/TComponent.h"
#include "platform/ui/controls/UiTypes.h"

#include <memory>

class TBitmap;
class TCanvas;

/// A picture of some kind (a bitmap, a metafile) that draws itself into a rectangle of a canvas.
class TGraphic : public TPersistent {
public:
    TGraphic() = default;
    TGraphic(const TGraphic&) = delete;
    TGraphic& operator=(const TGraphic&) = delete;
    ~TGraphic() override;

    virtual bool Empty() const = 0;
    virtual int GetWidth() const = 0;
    virtual void SetWidth(int Value) = 0;
    virtual int GetHeight() const = 0;
    virtual void SetHeight(int Value) = 0;
    /// Transparent pictures leave the target unchanged where they hold their transparent colour.
    bool GetTransparent() const { return FTransparent; }
    virtual void SetTransparent(bool Value);

    /// Raised after every change of the picture.
    TNotifyEvent OnChange;

protected:
    friend class TCanvas;
    /// Draws the picture stretched into Rect of the canvas.
    virtual void Draw(TCanvas& ACanvas, const TRect& Rect) const = 0;
    virtual void Changed();

private:
    bool FTransparent = false;
};

/// The picture of an image control: holds one graphic, made a bitmap on demand.
class TPicture : public TPersistent {
public:
    TPicture();
    ~TPicture() override;
    TPicture(const TPicture&) = delete;
    TPicture& operator=(const TPicture&) = delete;

    TGraphic* GetGraphic() const { return FGraphic.get(); }
    /// Takes a copy of Value (a bitmap; another kind raises EConvertError); nullptr empties the picture.
    void SetGraphic(const TGraphic* Value);
    /// The picture as a bitmap; an empty picture or one of another kind becomes an empty bitmap.
    TBitmap* GetBitmap();
    void SetBitmap(const TBitmap& Value);
    int GetWidth() const;
    int GetHeight() const;

    void Assign(const TPersistent& Source) override;

    TNotifyEvent OnChange;

private:
    void changed(TObject* Sender);
    void adopt(std::unique_ptr<TGraphic> Graphic);

    std::unique_ptr<TGraphic> FGraphic;
};
