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
    TextRecord T;
    // Text inside a path would be glyph outlines, which the page cannot draw there.
    if (!readText(R, T) || InPath)
        return;
    Page.SetTextAtBaseline(false);
    const bool Clipped = (T.Options & ETO_CLIPPED) != 0 && T.Count > 0;
    const bool ClipWasActive = ClipActive;
    if (Clipped)
        openTextClip(T);
    const bool Boxed = fillTextBox(T);
    if (T.Count > 0)
        showText(T, BkOpaque && !Boxed);
    if (Clipped)
        closeTextClip(ClipWasActive);
}

bool TMetafilePlayer::readText(const TEmfRecord& R, TextRecord& T) const
{
    T.Wide = R.Type() == EMR_EXTTEXTOUTW;
    T.Reference = R.Point(EmfLayout::TextReference);
    T.Count = R.U32(EmfLayout::TextChars);
    T.Options = R.U32(EmfLayout::TextOptions);
    T.Box = R.Rect(EmfLayout::TextRect);
    T.Text = R.Bytes(R.U32(EmfLayout::TextOffString), T.Count, T.Wide ? 2 : 1);
    T.Advances = R.Bytes(R.U32(EmfLayout::TextOffDx), T.Count, 4);
    return R.Ok();
}

void TMetafilePlayer::openTextClip(const TextRecord& T)
{
    if (ClipActive)
        clipRestore();
    clipSave();
    Page.Rectangle(pointX(T.Box.left), pointY(T.Box.top), pointX(T.Box.right), pointY(T.Box.bottom));
    Page.Clip();
    Page.NewPath();
}

void TMetafilePlayer::closeTextClip(bool ClipWasActive)
{
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

bool TMetafilePlayer::fillTextBox(const TextRecord& T)
{
    // The box of an empty rectangle covers nothing.
    const RECT& B = T.Box;
    if (((T.Options & ETO_OPAQUE) == 0 && !BkOpaque) || B.right <= B.left || B.bottom <= B.top)
        return false;
    backgroundFillColor();
    Page.Rectangle(pointX(B.left), pointY(B.top), pointX(B.right), pointY(B.bottom));
    Page.Fill();
    return true;
}

void TMetafilePlayer::fillTextCell(TExtPoint Start, double Length)
{
    TEXTMETRICA Metrics;
    if (!GetTextMetrics(ShadowDC, &Metrics) || Metrics.tmHeight <= 0 || Length == 0)
        return;
    // The cell runs along the escapement from the aligned start, from the top of the text to
    // the bottom of its descent, as the device fills it.
    const double E = LogFont.lfEscapement * std::numbers::pi / 1800;
    const double AlongX = std::cos(E), AlongY = -std::sin(E), DownX = std::sin(E), DownY = std::cos(E);
    const double U0 = HorzAlign == 1 ? -Length / 2 : HorzAlign == 2 ? -Length : 0;
    const double V0 = VertAlign == 1 ? -Metrics.tmAscent : VertAlign == 2 ? -Metrics.tmHeight : 0;
    auto corner = [&](double U, double V) {
        return TExtPoint { pointX(Start.X + U * AlongX + V * DownX), pointY(Start.Y + U * AlongY + V * DownY) };
    };
    const TExtPoint Corners[4] = { corner(U0, V0), corner(U0 + Length, V0), corner(U0 + Length, V0 + Metrics.tmHeight),
                                   corner(U0, V0 + Metrics.tmHeight) };
    backgroundFillColor();
    Page.MoveTo(Corners[0].X, Corners[0].Y);
    for (int I = 1; I < 4; ++I)
        Page.LineTo(Corners[I].X, Corners[I].Y);
    Page.ClosePath();
    Page.Fill();
}

void TMetafilePlayer::showText(const TextRecord& T, bool FillCell)
{
    std::vector<float> Widths(T.Count);
    const double L = textAdvances(T, Widths);
    const TExtPoint Start = textReference(T, L);
    if (FillCell)
        fillTextCell(Start, L);
    textFillColor();
    selectTextFont();
    writeText(T, placeText(Start, L), Widths);
}

double TMetafilePlayer::textAdvances(const TextRecord& T, std::vector<float>& Widths) const
{
    const TEmfRecord Dx(T.Advances);
    double L = 0;
    for (uint32_t I = 0; I < T.Count; ++I) {
        const double D = Dx.I32(size_t(I) * 4);
        Widths[I] = static_cast<float>(std::abs(XFactor) * ratioX() * D * ScaleX);
        L += D;
    }
    return L * ratioX();
}

TExtPoint TMetafilePlayer::textReference(const TextRecord& T, double Length)
{
    if (!UpdateCP)
        return TExtPoint { double(T.Reference.x), double(T.Reference.y) };
    const TExtPoint From { double(CurrentPos.x), double(CurrentPos.y) };
    const double E = LogFont.lfEscapement * std::numbers::pi / 1800;
    CurrentPos = LogFont.lfEscapement == 0 ? POINT { roundToInt(From.X + Length), CurrentPos.y }
                                           : POINT { roundToInt(From.X + std::round(Length * std::cos(E))),
                                                     roundToInt(From.Y - std::round(Length * std::sin(E))) };
    return From;
}

TExtPoint TMetafilePlayer::placeText(TExtPoint P, double Length)
{
    const double Shift = HorzAlign == 1 ? Length / 2 : HorzAlign == 2 ? Length : 0;
    if (LogFont.lfEscapement == 0) {
        if (VertAlign == 1)
            Page.SetTextAtBaseline(true);
        else if (VertAlign == 2)
            P.Y -= textHeight("Wg");
        P.X -= Shift;
        return P;
    }
    if (VertAlign == 0 && HorzAlign == 0)
        return P;
    const double E = LogFont.lfEscapement * std::numbers::pi / 1800;
    const double V = VertAlign == 1 ? textHeight("W") : VertAlign == 2 ? textHeight("Wg") : 0;
    if (V != 0) {
        const double D = std::sqrt(V * V + Shift * Shift), Beta = std::asin(V / D);
        P.X -= D * std::cos(E - Beta);
        P.Y += D * std::sin(E - Beta);
    } else {
        P.X -= Shift * std::cos(E);
        P.Y += Shift * std::sin(E);
    }
    return P;
}

void TMetafilePlayer::writeText(const TextRecord& T, TExtPoint At, const std::vector<float>& Widths)
{
    const double Angle = LogFont.lfEscapement / 10.0;
    try {
        if (T.Wide) {
            std::vector<WCHAR> Units(T.Count);
            const TEmfRecord Chars(T.Text);
            for (uint32_t I = 0; I < T.Count; ++I)
                Units[I] = Chars.U16(size_t(I) * 2);
            Page.ExtTextOutW(pointX(At.X), pointY(At.Y), Angle, Units.data(), int(T.Count), Widths.data());
        } else {
            Page.ExtTextOut(pointX(At.X), pointY(At.Y), Angle, std::string(T.Text.begin(), T.Text.end()),
                            Widths.data());
        }
    } catch (const TPDFException&) {
        // Text the font's code page cannot convert is left out; the page wrote nothing of it.
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
