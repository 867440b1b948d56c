//===- PaintBuffer_p.h - The picture behind a painted control -*- C++ -*-===//
//
// A painted control draws into its own 32-bit picture through a memory device context that
// lives as long as the control; a change of size selects a new picture into the same context,
// so the canvas's handle never changes. The widget only shows the picture. Paint runs when the
// picture is out of date (invalidated, resized, shown again) and something wants to see it.
//
#pragma once

#include "platform/gdi/GdiTypes.h"
#include "platform/ui/graphics/TCanvas.h"

#include <QImage>
#include <memory>

class Dib;
class TControl;

namespace ui_private {

class PaintBuffer {
public:
    explicit PaintBuffer(TControl& Control);
    ~PaintBuffer();
    PaintBuffer(const PaintBuffer&) = delete;
    PaintBuffer& operator=(const PaintBuffer&) = delete;

    TCanvas* canvas() const { return canvas_.get(); }
    /// The picture as Qt sees it (the same memory; valid until the next resize).
    QImage image() const;
    Dib& picture() const { return *picture_; }

    /// Follows the control's size; while Paint runs the new size waits until it has returned.
    void resize(int Width, int Height);
    void invalidate() { dirty_ = true; }
    bool dirty() const { return dirty_; }
    bool painting() const { return painting_; }
    /// Runs Paint when the picture is out of date. A Paint that changes the control's size
    /// is run once more at the new size; the last size wins.
    void render();

private:
    void paintOnce();
    void prefill();
    void makePicture(int Width, int Height);
    void canvasChanged();

    TControl& control_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ stockBitmap_ = nullptr;
    Dib* picture_ = nullptr; // owned by bitmap_
    std::unique_ptr<TCanvas> canvas_;
    int width_ = 0, height_ = 0;
    int pendingWidth_ = -1, pendingHeight_ = -1;
    bool dirty_ = true;
    bool painting_ = false;
};

} // namespace ui_private
