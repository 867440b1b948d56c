//===- PaintBuffer.cpp - The picture behind a painted control ---------------===//
#include "platform/ui/qt/PaintBuffer_p.h"

#include "platform/ui/qt/Access_p.h"
#include "platform/ui/qt/PaintedView_p.h"
#include "platform/ui/controls/TCustomControl.h"
#include "platform/ui/controls/TGraphicControl.h"
#include "platform/ui/controls/TWinControl.h"

#include "platform/gdi/bitmaps/Dib.h"
#include "platform/gdi/Gdi.h"

#include <QPainter>

#include <algorithm>

namespace ui_private {

namespace {

// A paint that keeps changing the control's size is given this many tries to settle.
constexpr int MaxPaintPasses = 3;

/// The canvas of a picture: drawing outside Paint shows at the widget's next paint.
class BufferCanvas : public TCanvas {
public:
    explicit BufferCanvas(PaintBuffer& Buffer, TControl& Control) : buffer_(Buffer), control_(Control) {}

protected:
    void Changed() override
    {
        TCanvas::Changed();
        if (!buffer_.painting())
            Access::showPicture(control_);
    }

private:
    PaintBuffer& buffer_;
    TControl& control_;
};

void fillRect(HDC Dc, int Width, int Height, TColor Color)
{
    HBRUSH Brush = CreateSolidBrush(ColorToRGB(static_cast<uint32_t>(Color)));
    FillRect(Dc, RECT { 0, 0, Width, Height }, Brush);
    DeleteObject(Brush);
}

} // namespace

PaintBuffer::PaintBuffer(TControl& Control) : control_(Control)
{
    dc_ = CreateCompatibleDC(nullptr);
    canvas_ = std::make_unique<BufferCanvas>(*this, Control);
    canvas_->SetHandle(dc_);
    makePicture(0, 0);
}

PaintBuffer::~PaintBuffer()
{
    canvas_->SetHandle(nullptr);
    if (stockBitmap_)
        SelectObject(dc_, stockBitmap_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
}

QImage PaintBuffer::image() const
{
    return QImage(picture_->Bytes().data(), picture_->Width(), picture_->Height(), picture_->Stride(),
                  QImage::Format_RGB32);
}

void PaintBuffer::makePicture(int Width, int Height)
{
    // A picture never has zero pixels; a control of size 0 keeps one that nothing shows.
    auto Picture = std::make_unique<Dib>(std::max(1, Width), std::max(1, Height), 32, true);
    Dib* Raw = Picture.get();
    HBITMAP Bitmap = CreateBitmapFromDib(std::move(Picture));
    HGDIOBJ Old = SelectObject(dc_, Bitmap);
    if (!stockBitmap_)
        stockBitmap_ = Old;
    else
        DeleteObject(Old);
    bitmap_ = Bitmap;
    picture_ = Raw;
    width_ = Width;
    height_ = Height;
    dirty_ = true;
}

void PaintBuffer::resize(int Width, int Height)
{
    if (painting_) {
        // The context must keep its picture while Paint draws on it.
        pendingWidth_ = Width;
        pendingHeight_ = Height;
        return;
    }
    if (Width != width_ || Height != height_)
        makePicture(Width, Height);
}

void PaintBuffer::render()
{
    if (painting_)
        return;
    for (int Pass = 0; dirty_ && Pass < MaxPaintPasses; ++Pass) {
        dirty_ = false;
        paintOnce();
        if (pendingWidth_ >= 0) {
            const int W = std::exchange(pendingWidth_, -1), H = std::exchange(pendingHeight_, -1);
            if (W != width_ || H != height_)
                makePicture(W, H);
        }
    }
    dirty_ = false;
}

void PaintBuffer::paintOnce()
{
    painting_ = true;
    try {
        prefill();
        Access::paint(control_);
    } catch (...) {
        painting_ = false;
        throw;
    }
    painting_ = false;
}

void PaintBuffer::prefill()
{
    // Windowed controls start from their colour; graphic controls from what their parent shows
    // beneath them, as they draw on the parent's surface on the original platform.
    if (dynamic_cast<TWinControl*>(&control_) || control_.ControlStyle.Contains(csOpaque)) {
        fillRect(dc_, picture_->Width(), picture_->Height(), control_.GetColor());
        return;
    }
    TWinControl* Parent = control_.GetParent();
    if (!Parent) {
        fillRect(dc_, picture_->Width(), picture_->Height(), control_.GetColor());
        return;
    }
    PaintBuffer* Under = Access::buffer(*Parent);
    if (!Under) {
        fillRect(dc_, picture_->Width(), picture_->Height(), Parent->GetColor());
        return;
    }
    if (Under->dirty_ && !Under->painting_)
        Under->render();
    BitBlt(dc_, 0, 0, picture_->Width(), picture_->Height(), Under->dc_, control_.GetLeft(), control_.GetTop(),
           SRCCOPY);
}

// --- The widget

PaintedWidget::PaintedWidget(TControl* Control, QWidget* Parent) : Bridge<QWidget>(Control, Parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PaintedWidget::paintEvent(QPaintEvent*)
{
    if (control)
        Access::paintWidget(control, *this);
}

void PaintedWidget::showEvent(QShowEvent* Event)
{
    // Shown again: the control paints afresh, as after an exposure.
    if (control)
        if (PaintBuffer* Buffer = Access::buffer(*control))
            Buffer->invalidate();
    Bridge<QWidget>::showEvent(Event);
}

PaintedView::PaintedView(TControl& Control, QWidget* Parent) : View(Control, new PaintedWidget(&Control, Parent)) {}

} // namespace ui_private
