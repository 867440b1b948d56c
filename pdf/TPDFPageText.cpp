//===- TPDFPageText.cpp - Page text: state, fonts, runs, measurement, decorations and links -===//
#include "pdf/TPDFPage.h"

#include "pdf/PdfCodePages.h"
#include "pdf/TPDFActions.h"
#include "pdf/TPDFAnnotations.h"
#include "pdf/TPDFDocument.h"
#include "pdf/TPDFException.h"
#include "pdf/TPDFFonts.h"

#include "platform/gdi/GdiTypes.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

double radians(double Degrees) { return Degrees * std::numbers::pi / 180; }

bool isWinAnsi(WCHAR W) { return IsWinAnsiChar(uint16_t(W)); }

/// The byte a single-byte font writes for a code unit; '?' for one WinAnsi lacks, which a
/// Unicode request that fell back to a standard font meets.
uint8_t winAnsiByte(WCHAR W) { return isWinAnsi(W) ? UnicodeToWinAnsi(uint16_t(W)) : uint8_t('?'); }

std::string dxMove(double Dx) { return FloatToPDFStr(Dx) + " 0 Td"; }

/// Device-unit moves in points.
std::vector<float> pointsOf(const float* Dx, size_t Count, double ScaleFactor)
{
    std::vector<float> Pt;
    if (Dx)
        for (size_t I = 0; I < Count; ++I)
            Pt.push_back(float(Dx[I] / ScaleFactor));
    return Pt;
}

double dxSum(const float* Dx, int From, int Length)
{
    double Sum = 0;
    for (int I = From; I < From + Length; ++I)
        Sum += Dx[I];
    return Sum;
}

std::string lowerAscii(std::string S)
{
    for (char& C : S)
        if (C >= 'A' && C <= 'Z')
            C = char(C - 'A' + 'a');
    return S;
}

} // namespace

// --- Text state

void TPDFPage::SetFont(const std::string& Name, uint8_t Style, double Size, uint8_t Charset)
{
    if (Charset == DEFAULT_CHARSET)
        Charset = SystemDefaultCharset();
    if (Name != FontName || Style != FontStyle || Size != FontSize) {
        FontName = Name;
        FontStyle = Style;
        FontSize = Size;
        FontChanged = true;
        FontIsUnicode = false;
    }
    FontCharset = Charset;
}

void TPDFPage::SelectFont(bool Unicode)
{
    if (!FontChanged && FontIsUnicode == Unicode)
        return;
    BeginText();
    UsesText = true;
    CurrentFont = Document.Fonts().GetFont(FontName, FontStyle, Unicode);
    if (std::find(UsedFonts.begin(), UsedFonts.end(), CurrentFont) == UsedFonts.end())
        UsedFonts.push_back(CurrentFont);
    AppendLine("/" + CurrentFont->FontName + " " + FloatToPDFStr(FontSize) + " Tf");
    CurrentFont->Used = true;
    FontChanged = false;
    FontIsUnicode = Unicode;
    FontDepth = GSaveDepth;
}

void TPDFPage::SetCharSpacing(double V)
{
    const double Pt = V / ScaleFactor;
    if (Pt == CharSpacing)
        return;
    BeginText();
    AppendLine(FloatToPDFStr(Pt) + " Tc");
    CharSpacing = Pt;
}

void TPDFPage::SetWordSpacing(double V)
{
    const double Pt = V / ScaleFactor;
    if (Pt == WordSpacing)
        return;
    BeginText();
    AppendLine(FloatToPDFStr(Pt) + " Tw");
    WordSpacing = Pt;
}

void TPDFPage::SetHorizontalScaling(double V)
{
    if (V == HorizontalScaling)
        return;
    BeginText();
    AppendLine(FloatToPDFStr(V) + " Tz");
    HorizontalScaling = V;
}

void TPDFPage::SetTextMatrix(double A, double B, double C, double D, double E, double F)
{
    BeginText();
    AppendLine(FloatToPDFStr(A) + " " + FloatToPDFStr(B) + " " + FloatToPDFStr(C) + " " + FloatToPDFStr(D) + " "
               + FloatToPDFStr(E) + " " + FloatToPDFStr(F) + " Tm");
    TextMatrix = TPDFMatrix { A, B, C, D, E, F };
}

void TPDFPage::SetTextOrigin(double X, double Y)
{
    BeginText();
    const TPDFMatrix& M = TextMatrix;
    SetTextMatrix(M.a, M.b, M.c, M.d, X, Y);
}

void TPDFPage::ConcatTextMatrix(double A, double B, double C, double D, double E, double F)
{
    TPDFMatrix M = TextMatrix;
    MultiplyMatrix(M, TPDFMatrix { A, B, C, D, E, F });
    SetTextMatrix(M.a, M.b, M.c, M.d, M.e, M.f);
}

void TPDFPage::SetTextAngle(double Angle)
{
    BeginText();
    RequestedTextAngle = Angle;
    const double R = radians(Angle - TextAngle);
    ConcatTextMatrix(std::cos(R), std::sin(R), -std::sin(R), std::cos(R), 0, 0);
    // The matrix now stands at Angle: a second text at the same angle must not turn it again.
    TextAngle = Angle;
}

// --- Measurement

std::vector<WCHAR> TPDFPage::toUnicode(const std::string& S) const
{
    const uint32_t CodePage = CharSetToCodePage(FontCharset);
    const int Length = MultiByteToWideChar(CodePage, 0, S.data(), int(S.size()), nullptr, 0);
    if (Length == 0)
        throw TPDFException(SCannotConvertText);
    std::vector<WCHAR> W(size_t(Length), 0);
    if (MultiByteToWideChar(CodePage, 0, S.data(), int(S.size()), W.data(), Length) == 0)
        throw TPDFException(SCannotConvertText);
    return W;
}

double TPDFPage::widthPt(double Sum, int Characters, int Blanks) const
{
    double Width = Sum * FontSize / 1000;
    if (HorizontalScaling != 100)
        Width = Width * HorizontalScaling / 100;
    if (WordSpacing > 0)
        Width += Blanks * WordSpacing;
    if (CharSpacing > 0)
        Width += Characters * CharSpacing;
    return Width;
}

double TPDFPage::TextWidthPt(const std::string& S)
{
    if (HorizontalScaling <= 0 || S.empty())
        return 0;
    if (FontCharset != 0) {
        const std::vector<WCHAR> W = toUnicode(S);
        return UnicodeTextWidthPt(W.data(), int(W.size()));
    }
    TPDFFont* Font = FontChanged || FontIsUnicode || !CurrentFont ? Document.Fonts().GetFont(FontName, FontStyle, false)
                                                                  : CurrentFont;
    double Sum = 0;
    int Blanks = 0;
    for (size_t I = 0; I < S.size(); ++I) {
        Sum += Font->CharWidth(uint8_t(S[I]));
        if (S[I] == ' ' && I + 1 < S.size())
            ++Blanks;
    }
    const int Characters = int(S.size()) - (Font->CharWidth(uint8_t(S.back())) == 0 ? 1 : 0);
    return widthPt(Sum, Characters, Blanks);
}

double TPDFPage::UnicodeTextWidthPt(const WCHAR* W, int Count)
{
    if (HorizontalScaling <= 0 || Count <= 0)
        return 0;
    TPDFFont* SingleByte = nullptr;
    TPDFFont* Glyphs = nullptr;
    auto widthOf = [&](WCHAR C) -> int32_t {
        if (isWinAnsi(C)) {
            if (!SingleByte)
                SingleByte = FontChanged || FontIsUnicode || !CurrentFont
                                 ? Document.Fonts().GetFont(FontName, FontStyle, false)
                                 : CurrentFont;
            return SingleByte->CharWidth(winAnsiByte(C));
        }
        if (!Glyphs)
            Glyphs = FontChanged || !FontIsUnicode || !CurrentFont ? Document.Fonts().GetFont(FontName, FontStyle, true)
                                                                   : CurrentFont;
        return Glyphs->HasGlyphs() ? Glyphs->TTFData->TTFGetCharWidth(uint16_t(C)) : Glyphs->CharWidth(winAnsiByte(C));
    };
    double Sum = 0;
    int Blanks = 0;
    int32_t Last = 0;
    for (int I = 0; I < Count; ++I) {
        Last = widthOf(W[I]);
        Sum += Last;
        if (W[I] == u' ' && I + 1 < Count)
            ++Blanks;
    }
    return widthPt(Sum, Count - (Last == 0 ? 1 : 0), Blanks);
}

double TPDFPage::BaselineOffsetPt()
{
    if (TextAtBaseline)
        return 0;
    TPDFFont* Font = FontChanged || !CurrentFont ? Document.Fonts().GetFont(FontName, FontStyle, false) : CurrentFont;
    return Font->Ascent() * FontSize / 1000;
}

// --- Showing text in points

void TPDFPage::decorations(double Width)
{
    const double T = FontSize, E = TextMatrix.e, F = TextMatrix.f, A = RequestedTextAngle;
    const double Sin = std::sin(radians(A)), Cos = std::cos(radians(A));
    bool Drawn = false;
    if (FontStyle & 4) {
        if (A == 0)
            RectanglePt(E, F - 0.05 * T, Width, -0.05 * T);
        else
            RotatedRectanglePt(E + 3 * Sin, F - 3 * Cos, Width, -0.05 * T, A);
        Drawn = true;
    }
    if (FontStyle & 8) {
        if (A == 0)
            RectanglePt(E, F + T / 4, Width, 0.05 * T);
        else
            RotatedRectanglePt(E - (T / 4) * Sin, F + (T / 4) * Cos, Width, 0.05 * T, A);
        Drawn = true;
    }
    if (!Drawn)
        return;
    if (TextRenderMode == 1)
        Stroke();
    else if (TextRenderMode == 2)
        FillAndStroke();
    else
        Fill();
}

void TPDFPage::ShowText(const std::string& S)
{
    if (S.empty())
        return;
    if (FontCharset != 0) {
        const std::vector<WCHAR> W = toUnicode(S);
        ShowUnicodeText(W.data(), int(W.size()));
        return;
    }
    UsesText = true;
    SelectFont(false);
    BeginText();
    CurrentFont->MarkUsedText(S);
    AppendLine("(" + EscapeSpecialChar(S) + ") Tj");
    if (FontStyle & 12)
        decorations(TextWidthPt(S));
}

void TPDFPage::writeUnicodeRun(std::string& Run)
{
    if (Run.empty())
        return;
    if (CurrentFont->HasGlyphs()) {
        AppendLine("<" + Run + "> Tj");
    } else {
        CurrentFont->MarkUsedText(Run);
        AppendLine("(" + EscapeSpecialChar(Run) + ") Tj");
    }
    Run.clear();
}

void TPDFPage::ShowUnicodeText(const WCHAR* W, int Count)
{
    if (Count <= 0)
        return;
    UsesText = true;
    SelectFont(!isWinAnsi(W[0]));
    BeginText();
    std::string Run;
    double Sum = 0;
    int Blanks = 0;
    int32_t Last = 0;
    for (int I = 0; I < Count; ++I) {
        const bool Unicode = !isWinAnsi(W[I]);
        if (Unicode != FontIsUnicode) {
            writeUnicodeRun(Run);
            SelectFont(Unicode);
        }
        if (CurrentFont->HasGlyphs()) {
            Run += WordToHex(CurrentFont->TTFData->TTFUseChar(uint16_t(W[I])));
            Last = CurrentFont->TTFData->TTFGetCharWidth(uint16_t(W[I]));
        } else {
            Run += char(winAnsiByte(W[I]));
            Last = CurrentFont->CharWidth(winAnsiByte(W[I]));
        }
        Sum += Last;
        if (W[I] == u' ' && I + 1 < Count)
            ++Blanks;
    }
    writeUnicodeRun(Run);
    if (FontStyle & 12)
        decorations(widthPt(Sum, Count - (Last == 0 ? 1 : 0), Blanks));
}

void TPDFPage::ShowTextSpaced(const std::string& S, const float* Dx)
{
    if (S.empty())
        return;
    UsesText = true;
    SetHorizontalScaling(100);
    SetWordSpacing(0);
    SetCharSpacing(0);
    if (FontCharset != 0) {
        const std::vector<WCHAR> W = toUnicode(S);
        ShowUnicodeTextSpaced(W.data(), int(W.size()), Dx);
        return;
    }
    SelectFont(false);
    BeginText();
    CurrentFont->MarkUsedText(S);
    double Width = 0;
    for (size_t I = 0; I < S.size(); ++I) {
        AppendLine("(" + EscapeSpecialChar(S.substr(I, 1)) + ") Tj " + dxMove(Dx[I]));
        Width += Dx[I];
    }
    if (FontStyle & 12)
        decorations(Width);
}

void TPDFPage::ShowUnicodeTextSpaced(const WCHAR* W, int Count, const float* Dx)
{
    if (Count <= 0)
        return;
    SetHorizontalScaling(100);
    SetWordSpacing(0);
    SetCharSpacing(0);
    UsesText = true;
    SelectFont(!isWinAnsi(W[0]));
    BeginText();
    double Width = 0;
    for (int I = 0; I < Count; ++I) {
        const bool Unicode = !isWinAnsi(W[I]);
        if (Unicode != FontIsUnicode)
            SelectFont(Unicode);
        std::string Shown;
        if (CurrentFont->HasGlyphs()) {
            const uint16_t Glyph = CurrentFont->TTFData->TTFUseChar(uint16_t(W[I]));
            if (Glyph != 0)
                Shown = "<" + WordToHex(Glyph) + ">";
        } else {
            const uint8_t Byte = winAnsiByte(W[I]);
            CurrentFont->MarkUsedChar(Byte);
            if (Byte >= 32)
                Shown = "(" + EscapeSpecialChar(std::string(1, char(Byte))) + ")";
        }
        // A unit that shows nothing still moves, or the rest of the text would slide left.
        AppendLine(Shown.empty() ? dxMove(Dx[I]) : Shown + " Tj " + dxMove(Dx[I]));
        Width += Dx[I];
    }
    if (FontStyle & 12)
        decorations(Width);
}

void TPDFPage::placeText(double X, double Y, double Angle)
{
    SetTextOrigin(X, Y);
    if (Angle != TextAngle)
        SetTextAngle(Angle);
}

void TPDFPage::ShowTextAtPt(const std::string& S, double X, double Y, double Angle)
{
    placeText(X, Y, Angle);
    ShowText(S);
}

void TPDFPage::ShowUnicodeTextAtPt(const WCHAR* W, int Count, double X, double Y, double Angle)
{
    placeText(X, Y, Angle);
    ShowUnicodeText(W, Count);
}

void TPDFPage::ShowTextSpacedAtPt(const std::string& S, const float* Dx, double X, double Y, double Angle)
{
    placeText(X, Y, Angle);
    ShowTextSpaced(S, Dx);
}

void TPDFPage::ShowUnicodeTextSpacedAtPt(const WCHAR* W, int Count, const float* Dx, double X, double Y, double Angle)
{
    placeText(X, Y, Angle);
    ShowUnicodeTextSpaced(W, Count, Dx);
}

// --- Device units

void TPDFPage::TextOut(double X, double Y, double Angle, const std::string& S) { ExtTextOut(X, Y, Angle, S, nullptr); }

void TPDFPage::TextOutW(double X, double Y, double Angle, const WCHAR* W, int Count)
{
    ExtTextOutW(X, Y, Angle, W, Count, nullptr);
}

void TPDFPage::ExtTextOut(double X, double Y, double Angle, const std::string& S, const float* Dx)
{
    if (S.empty())
        return;
    const double A = BaselineOffsetPt();
    const std::vector<float> DxPt = pointsOf(Dx, S.size(), ScaleFactor);
    auto show = [&](double PtX, double PtY) {
        if (Dx)
            ShowTextSpacedAtPt(S, DxPt.data(), PtX, PtY, Angle);
        else
            ShowTextAtPt(S, PtX, PtY, Angle);
    };
    if (Angle != 0) {
        show(ToPtX(X) + A * std::sin(radians(Angle)), ToPtY(Y) - A * std::cos(radians(Angle)));
    } else {
        show(ToPtX(X), ToPtY(Y) - A);
        if (Document.AutoCreateURL && !IsForm) {
            linkSearch(
                X, Y, S, [&](int Before) { return Dx ? dxSum(Dx, 0, Before) : TextWidth(S.substr(0, size_t(Before))); },
                [&](const std::string& U, int At) { return Dx ? dxSum(Dx, At, int(U.size())) : TextWidth(U); });
        }
    }
    TextAngle = Angle;
}

void TPDFPage::ExtTextOutW(double X, double Y, double Angle, const WCHAR* W, int Count, const float* Dx)
{
    if (Count <= 0)
        return;
    const double A = BaselineOffsetPt();
    const std::vector<float> DxPt = pointsOf(Dx, size_t(Count), ScaleFactor);
    auto show = [&](double PtX, double PtY) {
        if (Dx)
            ShowUnicodeTextSpacedAtPt(W, Count, DxPt.data(), PtX, PtY, Angle);
        else
            ShowUnicodeTextAtPt(W, Count, PtX, PtY, Angle);
    };
    if (Angle != 0) {
        show(ToPtX(X) + A * std::sin(radians(Angle)), ToPtY(Y) - A * std::cos(radians(Angle)));
    } else {
        show(ToPtX(X), ToPtY(Y) - A);
        if (Document.AutoCreateURL && !IsForm) {
            // The addresses are searched in the low bytes of the code units.
            std::string Low(size_t(Count), ' ');
            for (int I = 0; I < Count; ++I)
                Low[size_t(I)] = char(W[I] & 0xFF);
            linkSearch(
                X, Y, Low, [&](int Before) { return Dx ? dxSum(Dx, 0, Before) : UnicodeTextWidth(W, Before); },
                [&](const std::string& U, int At) { return Dx ? dxSum(Dx, At, int(U.size())) : TextWidth(U); });
        }
    }
    TextAngle = Angle;
}

void TPDFPage::linkSearch(double X, double Y, const std::string& Text, const std::function<double(int)>& WidthBefore,
                          const std::function<double(const std::string&, int)>& WidthOf)
{
    const std::string L = lowerAscii(Text);
    static constexpr const char* Prefixes[] = { "http://", "ftp://", "mailto" };
    if (std::none_of(std::begin(Prefixes), std::end(Prefixes), [&](const char* P) { return PosFrom(P, L, 1) > 0; }))
        return;
    const double A = BaselineOffsetPt();
    for (const char* Prefix : Prefixes) {
        int At = PosFrom(Prefix, L, 1);
        while (At > 0) {
            if (At != 1 && L[size_t(At) - 2] != ' ') {
                const int Blank = PosFrom(" ", L, At);
                if (Blank == 0)
                    break;
                At = PosFrom(Prefix, L, Blank + 1);
                continue;
            }
            const int Blank = PosFrom(" ", L, At);
            const int Length = (Blank == 0 ? int(L.size()) + 1 : Blank) - At;
            const std::string U = Text.substr(size_t(At) - 1, size_t(Length));
            const double W1 = WidthBefore(At - 1), W2 = WidthOf(U, At - 1);
            TRect R;
            R.Left = int(Trunc(X + W1));
            R.Top = int(Trunc(Y));
            R.Right = int(Trunc(X + W1 + W2));
            R.Bottom = int(TextAtBaseline ? Trunc(Y - FontSize * ScaleFactor) : Trunc(Y + A * ScaleFactor));
            CreateURLLink(R, U);
            At = PosFrom(Prefix, L, At + Length);
        }
    }
}

void TPDFPage::TextRect(TRect Rect, const std::string& S, int HAlign, int VAlign)
{
    NormalizeRect(Rect);
    // In reals: the width of a rectangle of 32-bit edges need not fit in 32 bits.
    const double Left = Rect.Left, Top = Rect.Top, Right = Rect.Right, Bottom = Rect.Bottom;
    double X = Left;
    if (HAlign == 1)
        X = Left + (Right - Left - TextWidth(S)) / 2;
    else if (HAlign == 2)
        X = Right - TextWidth(S);
    const double H = FontSize * ScaleFactor;
    double Y = Top;
    if (VAlign == 1)
        Y = Top + (Bottom - Top - H) / 2;
    else if (VAlign == 2)
        Y = Bottom - H;
    TextOut(X, Y, 0, S);
}

// --- Links

TPDFActionAnnotation* TPDFPage::CreateURLLink(TRect Rect, const std::string& URL)
{
    if (IsForm)
        throw TPDFException(SCannotCreateURL);
    auto* Link = new TPDFActionAnnotation(this);
    Link->SetRect(Rect);
    auto Action = std::make_unique<TPDFURLAction>();
    Action->SetURL(URL);
    Link->SetAction(Action.get());
    Action.release(); // the document's action list holds it now
    Link->Border = "[]";
    return Link;
}
