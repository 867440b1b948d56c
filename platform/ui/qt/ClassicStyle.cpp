//===- ClassicStyle.cpp - The classic look of the Qt widgets behind the controls ===//
#include "platform/ui/qt/ClassicStyle_p.h"

#include "platform/ui/qt/QtConvert_p.h"

#include "platform/gdi/bitmaps/Dib.h"
#include "platform/gdi/fonts/FontEngine.h"
#include "platform/gdi/Gdi.h"

#include <QApplication>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleFactory>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

namespace ui_private {

namespace {

QColor sysColour(int Index)
{
    const COLORREF C = GetSysColor(Index);
    return QColor(GetRValue(C), GetGValue(C), GetBValue(C));
}

UINT drawTextFormat(int Flags)
{
    UINT Format = DT_EXPANDTABS;
    if (Flags & Qt::AlignHCenter)
        Format |= DT_CENTER;
    else if (Flags & Qt::AlignRight)
        Format |= DT_RIGHT;
    if (Flags & Qt::TextWordWrap)
        Format |= DT_WORDBREAK;
    if (!(Flags & Qt::TextShowMnemonic))
        Format |= DT_NOPREFIX;
    return Format;
}

/// Text drawn by the font engine into a picture of its own, handed to Qt as a mask of one
/// colour. The picture has one spare pixel right and below for the etched copy.
class EngineText {
public:
    EngineText(const QFont& Font, const QRect& Rect, int Flags, const QString& Text)
        : rect_(Rect), format_(drawTextFormat(Flags)), text_(fromQString(Text))
    {
        dc_ = CreateCompatibleDC(nullptr);
        auto Picture = std::make_unique<Dib>(std::max(1, Rect.width() + 1), std::max(1, Rect.height() + 1), 32, true);
        picture_ = Picture.get();
        bitmap_ = CreateBitmapFromDib(std::move(Picture));
        oldBitmap_ = SelectObject(dc_, bitmap_);
        font_ = CreateFontIndirect(logFontOf(Font));
        oldFont_ = SelectObject(dc_, font_);
        SetBkMode(dc_, TRANSPARENT);
        SetTextColor(dc_, RGB(255, 255, 255));
        // Single lines are placed by DrawText; several lines are measured first and placed
        // here, as DrawText centres only single lines.
        if (!Text.contains(QLatin1Char('\n')) && !(Flags & Qt::TextWordWrap))
            format_ |= DT_SINGLELINE | verticalFormat(Flags);
        else
            top_ = stackTop(Flags);
    }
    ~EngineText()
    {
        SelectObject(dc_, oldFont_);
        DeleteObject(font_);
        SelectObject(dc_, oldBitmap_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    EngineText(const EngineText&) = delete;
    EngineText& operator=(const EngineText&) = delete;

    /// Draws the text in Colour, Offset pixels down and right.
    void draw(QPainter& Painter, const QColor& Colour, int Offset)
    {
        std::memset(picture_->Bytes().data(), 0, picture_->Bytes().size());
        RECT R { Offset, top_ + Offset, rect_.width() + Offset, rect_.height() + Offset };
        DrawText(dc_, text_, &R, format_);
        QImage Mask(picture_->Width(), picture_->Height(), QImage::Format_ARGB32);
        const QRgb Ink = Colour.rgb();
        for (int Y = 0; Y < picture_->Height(); ++Y) {
            const auto* Row =
                reinterpret_cast<const uint32_t*>(picture_->Bytes().data() + size_t(Y) * picture_->Stride());
            auto* Out = reinterpret_cast<QRgb*>(Mask.scanLine(Y));
            for (int X = 0; X < picture_->Width(); ++X)
                Out[X] = (Row[X] & 0xFFFFFF) ? Ink : 0;
        }
        Painter.drawImage(rect_.topLeft(), Mask);
    }

private:
    static UINT verticalFormat(int Flags)
    {
        if (Flags & Qt::AlignBottom)
            return DT_BOTTOM;
        if (Flags & Qt::AlignTop)
            return DT_TOP;
        return DT_VCENTER;
    }
    int stackTop(int Flags)
    {
        RECT Bounds { 0, 0, rect_.width(), 0 };
        DrawText(dc_, text_, &Bounds, format_ | DT_CALCRECT);
        const int Spare = rect_.height() - (Bounds.bottom - Bounds.top);
        if (Flags & Qt::AlignBottom)
            return Spare;
        if (Flags & Qt::AlignVCenter)
            return Spare / 2;
        return 0;
    }

    QRect rect_;
    UINT format_;
    std::string text_;
    int top_ = 0;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr;
    HFONT font_ = nullptr;
    HGDIOBJ oldFont_ = nullptr;
    Dib* picture_ = nullptr;
};

class ClassicStyle : public QProxyStyle {
public:
    ClassicStyle() : QProxyStyle(baseStyle()) {}

    void drawItemText(QPainter* Painter, const QRect& Rect, int Flags, const QPalette& Palette, bool Enabled,
                      const QString& Text, QPalette::ColorRole TextRole) const override
    {
        if (Text.isEmpty())
            return;
        const QColor Colour = TextRole == QPalette::NoRole ? Painter->pen().color() : Palette.color(TextRole);
        EngineText Caption(Painter->font(), Rect, Flags, Text);
        if (!Enabled)
            Caption.draw(*Painter, sysColour(COLOR_BTNHIGHLIGHT), 1);
        Caption.draw(*Painter, Enabled ? Colour : sysColour(COLOR_GRAYTEXT), 0);
    }

    QPalette standardPalette() const override { return classicPalette(); }

private:
    // Qt's classic style where it is built in; otherwise whatever the platform offers.
    static QStyle* baseStyle() { return QStyleFactory::create(QStringLiteral("Windows")); }
};

} // namespace

QPalette classicPalette()
{
    QPalette P;
    for (QPalette::ColorGroup Group : { QPalette::Active, QPalette::Inactive, QPalette::Disabled }) {
        const bool Disabled = Group == QPalette::Disabled;
        P.setColor(Group, QPalette::Window, sysColour(COLOR_BTNFACE));
        P.setColor(Group, QPalette::Button, sysColour(COLOR_BTNFACE));
        P.setColor(Group, QPalette::Base, sysColour(Disabled ? COLOR_BTNFACE : COLOR_WINDOW));
        P.setColor(Group, QPalette::AlternateBase, sysColour(COLOR_BTNFACE));
        P.setColor(Group, QPalette::Light, sysColour(COLOR_BTNHIGHLIGHT));
        P.setColor(Group, QPalette::Midlight, sysColour(COLOR_3DLIGHT));
        P.setColor(Group, QPalette::Mid, sysColour(COLOR_BTNSHADOW));
        P.setColor(Group, QPalette::Dark, sysColour(COLOR_BTNSHADOW));
        P.setColor(Group, QPalette::Shadow, sysColour(COLOR_3DDKSHADOW));
        P.setColor(Group, QPalette::Highlight, sysColour(COLOR_HIGHLIGHT));
        P.setColor(Group, QPalette::HighlightedText, sysColour(COLOR_HIGHLIGHTTEXT));
        P.setColor(Group, QPalette::ToolTipBase, sysColour(COLOR_INFOBK));
        P.setColor(Group, QPalette::ToolTipText, sysColour(COLOR_INFOTEXT));
        const QColor Text = sysColour(Disabled ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT);
        P.setColor(Group, QPalette::WindowText, Text);
        P.setColor(Group, QPalette::Text, Text);
        P.setColor(Group, QPalette::ButtonText, sysColour(Disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    }
    return P;
}

LOGFONTA logFontOf(const QFont& Font)
{
    LOGFONTA L {};
    const double Pixels = Font.pixelSize() > 0 ? Font.pixelSize() : Font.pointSizeF() * 96 / 72;
    L.lfHeight = -std::max(1, static_cast<int>(std::lround(Pixels)));
    L.lfWeight = Font.bold() ? FW_BOLD : FW_NORMAL;
    L.lfItalic = Font.italic();
    L.lfUnderline = Font.underline();
    L.lfStrikeOut = Font.strikeOut();
    const std::string Family = Font.family().toStdString();
    std::strncpy(L.lfFaceName, Family.c_str(), LF_FACESIZE - 1);
    return L;
}

QSize engineTextSize(const QFont& Font, const QString& Text, int MaxWidth)
{
    HDC Dc = CreateCompatibleDC(nullptr);
    HFONT Handle = CreateFontIndirect(logFontOf(Font));
    HGDIOBJ Old = SelectObject(Dc, Handle);
    const std::string Ansi = fromQString(Text);
    RECT R { 0, 0, 0, 0 };
    DrawText(Dc, Ansi, &R, DT_EXPANDTABS | DT_NOPREFIX | DT_CALCRECT);
    if (R.right > MaxWidth) {
        R = RECT { 0, 0, MaxWidth, 0 };
        DrawText(Dc, Ansi, &R, DT_EXPANDTABS | DT_NOPREFIX | DT_WORDBREAK | DT_CALCRECT);
    }
    SelectObject(Dc, Old);
    DeleteObject(Handle);
    DeleteDC(Dc);
    return QSize(R.right - R.left, R.bottom - R.top);
}

void installClassicStyle()
{
    QApplication::setStyle(new ClassicStyle);
    QApplication::setPalette(classicPalette());
    // The original's dialog font: message boxes and anything without a font of its own.
    LOGFONTA Dialog {};
    Dialog.lfHeight = -11;
    Dialog.lfWeight = FW_NORMAL;
    std::strncpy(Dialog.lfFaceName, "MS Sans Serif", LF_FACESIZE - 1);
    QFont Font(QString::fromStdString(RealizedFont::Realize(Dialog)->FamilyName()));
    Font.setPixelSize(11);
    Font.setStyleStrategy(QFont::NoAntialias);
    QApplication::setFont(Font);
}

} // namespace ui_private
