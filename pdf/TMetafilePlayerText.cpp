//===- TMetafilePlayerText.cpp - Text records: clip and background boxes, placement, fonts -===//
#include "pdf/TMetafilePlayer.h"

#include "pdf/PdfEmfRecord.h"
#include "pdf/PdfFontProbes.h"
#include "pdf/TPDFDocument.h"
#include "pdf/TPDFException.h"
#include "pdf/TPDFPage.h"

#include "platform/gdi/Gdi.h"
#include "platform/gdi/metafile/EmfRecordTypes.h"
#include "platform/kernel/MulDiv.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <numbers>

namespace {

int32_t roundToInt(double V)
{
    if (!std::isfinite(V))
        return 0;
    return static_cast<int32_t>(std::clamp(std::nearbyint(V), -2147483648.0, 2147483647.0));
}

std::string upper(const char* Text)
{
    std::string S(Text);
    for (char& C : S)
        C = static_cast<char>(std::toupper(static_cast<unsigned char>(C)));
    return S;
}

} // namespace

double TMetafilePlayer::textHeight(const char* Sample) const
{
    SIZE Size;
    return GetTextExtentPoint32(ShadowDC, Sample, &Size) ? Size.cy : 0;
}

void TMetafilePlayer::extTextOut(const TEmfRecord& R)
{
    const bool Wide = R.Type() == EMR_EXTTEXTOUTW;
    const POINT Point = R.Point(EmfLayout::TextReference);
    const uint32_t Count = R.U32(EmfLayout::TextChars);
    const uint32_t Flags = R.U32(EmfLayout::TextOptions);
    const RECT Rect = R.Rect(EmfLayout::TextRect);
    const std::span<const uint8_t> Text = R.Bytes(R.U32(EmfLayout::TextOffString), Count, Wide ? 2 : 1);
    const std::span<const uint8_t> Advances = R.Bytes(R.U32(EmfLayout::TextOffDx), Count, 4);
    // Text inside a path would be glyph outlines, which the page cannot draw there.
    if (!R.Ok() || InPath)
        return;
    Page.SetTextAtBaseline(false);

    const bool Clipped = (Flags & ETO_CLIPPED) != 0 && Count > 0;
    const bool ClipWasActive = ClipActive;
    if (Clipped) {
        if (ClipActive)
            clipRestore();
        clipSave();
        Page.Rectangle(pointX(Rect.left), pointY(Rect.top), pointX(Rect.right), pointY(Rect.bottom));
        Page.Clip();
        Page.NewPath();
    }
    // The box of an empty rectangle covers nothing.
    if (((Flags & ETO_OPAQUE) != 0 || BkOpaque) && Rect.right > Rect.left && Rect.bottom > Rect.top) {
        backgroundFillColor();
        Page.Rectangle(pointX(Rect.left), pointY(Rect.top), pointX(Rect.right), pointY(Rect.bottom));
        Page.Fill();
    }

    if (Count > 0) {
        textFillColor();
        selectTextFont();
        const TEmfRecord Dx(Advances);
        std::vector<float> W(Count);
        double L = 0;
        for (uint32_t I = 0; I < Count; ++I) {
            const double D = Dx.I32(size_t(I) * 4);
            W[I] = static_cast<float>(std::abs(XFactor) * ratioX() * D * ScaleX);
            L += D;
        }
        L *= ratioX();

        double X = Point.x, Y = Point.y;
        const double E = LogFont.lfEscapement * std::numbers::pi / 1800;
        if (UpdateCP) {
            X = CurrentPos.x;
            Y = CurrentPos.y;
            CurrentPos = LogFont.lfEscapement == 0 ? POINT { roundToInt(X + L), CurrentPos.y }
                                                   : POINT { roundToInt(X + std::round(L * std::cos(E))),
                                                             roundToInt(Y - std::round(L * std::sin(E))) };
        }
        const double Shift = HorzAlign == 1 ? L / 2 : HorzAlign == 2 ? L : 0;
        if (LogFont.lfEscapement == 0) {
            if (VertAlign == 1)
                Page.SetTextAtBaseline(true);
            else if (VertAlign == 2)
                Y -= textHeight("Wg");
            X -= Shift;
        } else if (VertAlign != 0 || HorzAlign != 0) {
            const double V = VertAlign == 1 ? textHeight("W") : VertAlign == 2 ? textHeight("Wg") : 0;
            if (V != 0) {
                const double D = std::sqrt(V * V + Shift * Shift), Beta = std::asin(V / D);
                X -= D * std::cos(E - Beta);
                Y += D * std::sin(E - Beta);
            } else {
                X -= Shift * std::cos(E);
                Y += Shift * std::sin(E);
            }
        }
        const double Angle = LogFont.lfEscapement / 10.0;
        try {
            if (Wide) {
                std::vector<WCHAR> Units(Count);
                const TEmfRecord Chars(Text);
                for (uint32_t I = 0; I < Count; ++I)
                    Units[I] = Chars.U16(size_t(I) * 2);
                Page.ExtTextOutW(pointX(X), pointY(Y), Angle, Units.data(), int(Count), W.data());
            } else {
                Page.ExtTextOut(pointX(X), pointY(Y), Angle, std::string(Text.begin(), Text.end()), W.data());
            }
        } catch (const TPDFException&) {
            // Text the font's code page cannot convert is left out; the page wrote nothing of it.
        }
    }

    if (Clipped) {
        clipRestore();
        if (ClipWasActive && ClipRectSaved) {
            clipSave();
            Page.Rectangle(SavedClipRect[0], SavedClipRect[1], SavedClipRect[2], SavedClipRect[3]);
            Page.Clip();
            Page.NewPath();
        } else {
            ClipActive = false;
        }
    }
}

void TMetafilePlayer::selectTextFont()
{
    if (!FontPending)
        return;
    FontPending = false;
    uint8_t Style = 0;
    if (LogFont.lfWeight >= 600)
        Style |= 1;
    if (LogFont.lfItalic)
        Style |= 2;
    if (LogFont.lfUnderline)
        Style |= 4;
    if (LogFont.lfStrikeOut)
        Style |= 8;
    const std::string Face(LogFont.lfFaceName, strnlen(LogFont.lfFaceName, LF_FACESIZE));
    const std::string Upper = upper(Face.c_str());
    bool Substitute = !IsTrueTypeFont(Face);
    if (Upper == "ZAPFDINGBATS" || Upper == "SYMBOL")
        Substitute = false;
    else if (Upper == "HELVETICA")
        Substitute = LogFont.lfCharSet != 0;
    const int64_t Height = std::min<int64_t>(std::abs(int64_t(LogFont.lfHeight)), INT32_MAX);
    const int Dpi = GetDeviceCaps(Page.Document.ReferenceDC(), LOGPIXELSX);
    const double Size = MulDiv(int32_t(Height), 72, Dpi > 0 ? Dpi : 96) * std::abs(YFactor) * ratioY();
    if (!Substitute)
        Page.SetFont(Face, Style, Size, 0);
    else if (Upper == "COURIER")
        Page.SetFont("Courier New", Style, Size, LogFont.lfCharSet);
    else if (Upper == "TIMES")
        Page.SetFont("Times New Roman", Style, Size, LogFont.lfCharSet);
    else
        Page.SetFont("Arial", Style, Size, 0);
}
