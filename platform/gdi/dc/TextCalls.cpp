//===- TextCalls.cpp - Text output, DrawText and text measurement ----------===//
#include "platform/gdi/Gdi.h"

#include "platform/gdi/dc/DcBackend_p.h"
#include "platform/gdi/dc/DeviceContext_p.h"
#include "platform/gdi/fonts/FontEngine.h"
#include "platform/gdi/raster/RasterBackend_p.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <string>
#include <vector>

namespace {

// Text is measured with the font at its device size and reported in logical units, so that
// measuring and drawing agree in every mapping; in MM_TEXT both are the font engine's pixels.
// A metafile is no device of its own: it is played onto paper, into PDF pages and back onto
// screens at other sizes, where the reference screen's hinted whole pixels would spread and
// squeeze letters. Its text is measured and recorded with the face's own advances.
struct Measure {
    std::shared_ptr<const RealizedFont> font;
    double toLogicalX = 1, toLogicalY = 1;
    bool design = false;

    explicit Measure(const DeviceContext& Dc) : design(Dc.kind() == DeviceContext::Kind::Metafile)
    {
        const DcState& S = Dc.state();
        double sx = gdi_private::scaleX(S), sy = gdi_private::scaleY(S);
        bool plain = std::abs(sx - 1) < 1e-9 && std::abs(sy - 1) < 1e-9;
        font = S.font->realize(plain ? 1.0 : sy);
        if (!plain)
            toLogicalX = 1 / sx, toLogicalY = 1 / sy;
    }
    int x(double Device) const { return int(std::lround(Device * toLogicalX)); }
    int y(double Device) const { return int(std::lround(Device * toLogicalY)); }
    std::vector<int> advances(std::string_view Text) const
    {
        if (design)
            return font->DesignAdvances(Text, toLogicalX);
        std::vector<int> dx = font->Advances(Text);
        if (toLogicalX != 1)
            for (int& d : dx)
                d = x(d);
        return dx;
    }
    int width(std::string_view Text) const
    {
        int sum = 0;
        for (int d : advances(Text))
            sum += d;
        return sum;
    }
    TEXTMETRICA metrics() const
    {
        TEXTMETRICA tm = font->TextMetrics();
        if (toLogicalY != 1) {
            tm.tmHeight = y(tm.tmHeight), tm.tmAscent = y(tm.tmAscent), tm.tmDescent = y(tm.tmDescent);
            tm.tmInternalLeading = y(tm.tmInternalLeading), tm.tmExternalLeading = y(tm.tmExternalLeading);
            tm.tmAveCharWidth = x(tm.tmAveCharWidth), tm.tmMaxCharWidth = x(tm.tmMaxCharWidth);
            tm.tmOverhang = x(tm.tmOverhang);
        }
        return tm;
    }
};

// ---- DrawText layout

struct Line {
    std::string text;           // as shown: prefixes resolved, tabs turned into blanks
    std::vector<int> dx;        // logical advances
    std::vector<size_t> marked; // characters underlined by a '&' prefix
    int width() const
    {
        int sum = 0;
        for (int d : dx)
            sum += d;
        return sum;
    }
};

Line shownLine(const Measure& M, std::string_view Raw, UINT Format, int TabWidth)
{
    Line line;
    const bool prefixes = !(Format & DT_NOPREFIX);
    for (size_t i = 0; i < Raw.size(); ++i) {
        char c = Raw[i];
        if (prefixes && c == '&' && i + 1 < Raw.size()) {
            c = Raw[++i];
            if (c != '&')
                line.marked.push_back(line.text.size());
        }
        line.text.push_back(c == '\t' ? ' ' : c);
    }
    line.dx = M.advances(line.text);
    if (Format & DT_EXPANDTABS) {
        // Tab stops every eight average character widths, counted from the line's start.
        int x = 0;
        size_t shown = 0;
        for (size_t i = 0; i < Raw.size() && shown < line.text.size(); ++i) {
            if (prefixes && Raw[i] == '&' && i + 1 < Raw.size())
                ++i;
            if (Raw[i] == '\t' && TabWidth > 0)
                line.dx[shown] = (x / TabWidth + 1) * TabWidth - x;
            x += line.dx[shown++];
        }
    }
    return line;
}

// Breaks at blanks so that each line fits the width; a word wider than the width keeps a line
// of its own rather than being cut.
std::vector<std::string> wrapped(const Measure& M, const std::string& Paragraph, UINT Format, int TabWidth, int Width)
{
    std::vector<std::string> lines;
    std::string current;
    size_t i = 0;
    while (i < Paragraph.size()) {
        size_t start = i;
        while (i < Paragraph.size() && Paragraph[i] == ' ')
            ++i;
        size_t wordEnd = i;
        while (wordEnd < Paragraph.size() && Paragraph[wordEnd] != ' ')
            ++wordEnd;
        std::string candidate = current + Paragraph.substr(start, wordEnd - start);
        if (!current.empty() && shownLine(M, candidate, Format, TabWidth).width() > Width) {
            lines.push_back(current);
            current = Paragraph.substr(i, wordEnd - i);
        } else {
            current = candidate;
        }
        i = wordEnd;
    }
    if (!current.empty() || lines.empty())
        lines.push_back(current);
    for (std::string& l : lines)
        while (!l.empty() && l.back() == ' ')
            l.pop_back();
    return lines;
}

std::vector<std::string> paragraphs(std::string_view Text, bool SingleLine)
{
    std::vector<std::string> out;
    if (SingleLine) {
        out.emplace_back(Text);
        return out;
    }
    std::string current;
    for (size_t i = 0; i < Text.size(); ++i) {
        if (Text[i] == '\r' || Text[i] == '\n') {
            if (Text[i] == '\r' && i + 1 < Text.size() && Text[i + 1] == '\n')
                ++i;
            out.push_back(current);
            current.clear();
        } else {
            current.push_back(Text[i]);
        }
    }
    out.push_back(current);
    return out;
}

// Cuts the line so that it and "..." fit the width.
void endEllipsis(const Measure& M, Line& L, int Width)
{
    if (L.width() <= Width)
        return;
    const std::vector<int> dots = M.advances("...");
    const int dotsWidth = dots[0] + dots[1] + dots[2];
    while (!L.text.empty() && L.width() + dotsWidth > Width) {
        L.text.pop_back();
        L.dx.pop_back();
    }
    std::erase_if(L.marked, [&](size_t At) { return At >= L.text.size(); });
    L.text += "...";
    L.dx.insert(L.dx.end(), dots.begin(), dots.end());
}

} // namespace

// ---- Output

bool ExtTextOut(HDC Dc, int X, int Y, UINT Options, const RECT* Rect, std::string_view Text, const int* Dx)
{
    DeviceContext* dc = FindDeviceContext(Dc);
    if (!dc || ((Options & (ETO_OPAQUE | ETO_CLIPPED)) && !Rect))
        return false;
    DcState& s = dc->state();
    std::vector<int> advances = Dx ? std::vector<int>(Dx, Dx + Text.size()) : Measure(*dc).advances(Text);
    TextRun run;
    run.reference = (s.textAlign & TA_UPDATECP) ? s.position : POINT { X, Y };
    run.options = Options & (ETO_OPAQUE | ETO_CLIPPED);
    if (Rect)
        run.rect = *Rect;
    run.text = Text;
    run.dx = advances;
    dc->backend().textOut(s, run);
    if (s.textAlign & TA_UPDATECP) {
        // The position moves to the far end of the run along the escapement.
        long long length = 0;
        for (int d : advances)
            length += d;
        UINT horizontal = s.textAlign & TA_CENTER;
        if (horizontal != TA_CENTER) {
            double e = s.font->logFont.lfEscapement * std::numbers::pi / 1800;
            double sign = horizontal == TA_RIGHT ? -1 : 1;
            s.position.x += int(std::lround(sign * length * std::cos(e)));
            s.position.y -= int(std::lround(sign * length * std::sin(e)));
        }
    }
    return true;
}

bool TextOut(HDC Dc, int X, int Y, std::string_view Text) { return ExtTextOut(Dc, X, Y, 0, nullptr, Text, nullptr); }

namespace {

// The lines DrawText shows: split at line breaks (unless DT_SINGLELINE), wrapped at blanks
// with DT_WORDBREAK, shortened with DT_END_ELLIPSIS.
std::vector<Line> layOutLines(const Measure& M, std::string_view Text, UINT Format, int Width, int TabWidth)
{
    std::vector<Line> lines;
    if (Text.empty())
        return lines;
    const bool single = Format & DT_SINGLELINE;
    for (const std::string& paragraph : paragraphs(Text, single)) {
        if ((Format & DT_WORDBREAK) && !single) {
            for (const std::string& piece : wrapped(M, paragraph, Format, TabWidth, Width))
                lines.push_back(shownLine(M, piece, Format, TabWidth));
        } else {
            lines.push_back(shownLine(M, paragraph, Format, TabWidth));
        }
    }
    if (Format & DT_END_ELLIPSIS)
        for (Line& l : lines)
            endEllipsis(M, l, Width);
    return lines;
}

// The prefix underline: one line in the text colour under each marked character, inside the
// rectangle unless DT_NOCLIP.
void underlineMarked(HDC Dc, const Line& L, int X, int Y, int Ascent, const RECT& Rect, bool Clip, HBRUSH& Brush)
{
    for (size_t at : L.marked) {
        if (!Brush)
            Brush = CreateSolidBrush(GetTextColor(Dc));
        int left = X;
        for (size_t k = 0; k < at; ++k)
            left += L.dx[k];
        RECT bar { left, Y + Ascent + 1, left + L.dx[at], Y + Ascent + 2 };
        if (Clip) {
            bar.left = std::max(bar.left, Rect.left), bar.right = std::min(bar.right, Rect.right);
            bar.top = std::max(bar.top, Rect.top), bar.bottom = std::min(bar.bottom, Rect.bottom);
        }
        if (bar.left < bar.right && bar.top < bar.bottom)
            FillRect(Dc, bar, Brush);
    }
}

} // namespace

int DrawText(HDC Dc, std::string_view Text, RECT* Rect, UINT Format)
{
    DeviceContext* dc = FindDeviceContext(Dc);
    if (!dc || !Rect)
        return 0;
    const Measure m(*dc);
    const TEXTMETRICA tm = m.metrics();
    const int lineHeight = tm.tmHeight + ((Format & DT_EXTERNALLEADING) ? tm.tmExternalLeading : 0);
    const int width = Rect->right - Rect->left;
    const std::vector<Line> lines = layOutLines(m, Text, Format, width, 8 * tm.tmAveCharWidth);
    const int textHeight = int(lines.size()) * lineHeight;

    if (Format & DT_CALCRECT) {
        int widest = 0;
        for (const Line& l : lines)
            widest = std::max(widest, l.width());
        Rect->right = Rect->left + widest;
        Rect->bottom = Rect->top + textHeight;
        return textHeight;
    }

    int top = Rect->top;
    if (Format & DT_SINGLELINE) {
        if (Format & DT_VCENTER)
            top = Rect->top + (Rect->bottom - Rect->top - textHeight) / 2;
        else if (Format & DT_BOTTOM)
            top = Rect->bottom - textHeight;
    }
    // DrawText places by its own rules: left-top alignment, no current position.
    const UINT align = dc->state().textAlign;
    if (align != (TA_LEFT | TA_TOP))
        SetTextAlign(Dc, TA_LEFT | TA_TOP);
    const bool clip = !(Format & DT_NOCLIP);
    HBRUSH underline = nullptr;
    for (size_t i = 0; i < lines.size(); ++i) {
        const Line& l = lines[i];
        int x = Rect->left;
        if (Format & DT_CENTER)
            x = Rect->left + (width - l.width()) / 2;
        else if (Format & DT_RIGHT)
            x = Rect->right - l.width();
        const int y = top + int(i) * lineHeight;
        ExtTextOut(Dc, x, y, clip ? ETO_CLIPPED : 0, Rect, l.text, l.dx.data());
        underlineMarked(Dc, l, x, y, tm.tmAscent, *Rect, clip, underline);
    }
    if (underline)
        DeleteObject(underline);
    if (align != (TA_LEFT | TA_TOP))
        SetTextAlign(Dc, align);
    // Placed lower down, the answer is the distance from the top to the text's bottom.
    return top - Rect->top + textHeight;
}

// ---- Measurement

bool GetTextExtentPoint32(HDC Dc, std::string_view Text, SIZE* Size)
{
    DeviceContext* dc = FindDeviceContext(Dc);
    if (!dc || !Size)
        return false;
    Measure m(*dc);
    *Size = SIZE { m.width(Text), m.metrics().tmHeight };
    return true;
}

bool GetTextMetrics(HDC Dc, TEXTMETRICA* Metrics)
{
    DeviceContext* dc = FindDeviceContext(Dc);
    if (!dc || !Metrics)
        return false;
    *Metrics = Measure(*dc).metrics();
    return true;
}

bool GetCharABCWidths(HDC Dc, UINT First, UINT Last, ABC* Widths)
{
    DeviceContext* dc = FindDeviceContext(Dc);
    if (!dc || !Widths || First > Last || Last > 255)
        return false;
    Measure m(*dc);
    for (UINT c = First; c <= Last; ++c) {
        ABC abc = m.font->CharABC(uint8_t(c));
        if (m.toLogicalX != 1)
            abc = ABC { m.x(abc.abcA), uint32_t(m.x(abc.abcB)), m.x(abc.abcC) };
        Widths[c - First] = abc;
    }
    return true;
}

bool GetCharWidth32(HDC Dc, UINT First, UINT Last, int* Widths)
{
    DeviceContext* dc = FindDeviceContext(Dc);
    if (!dc || !Widths || First > Last || Last > 255)
        return false;
    Measure m(*dc);
    for (UINT c = First; c <= Last; ++c)
        Widths[c - First] = m.advances(std::string(1, char(c))).front();
    return true;
}

UINT GetOutlineTextMetrics(HDC Dc, UINT Size, OUTLINETEXTMETRICA* Metrics)
{
    DeviceContext* dc = FindDeviceContext(Dc);
    if (!dc)
        return 0;
    OUTLINETEXTMETRICA otm;
    if (!dc->state().font->realize()->OutlineTextMetrics(otm))
        return 0;
    if (!Metrics)
        return sizeof otm;
    if (Size < sizeof otm)
        return 0;
    *Metrics = otm;
    return sizeof otm;
}

uint32_t GetFontData(HDC Dc, uint32_t Table, uint32_t Offset, void* Buffer, uint32_t Size)
{
    DeviceContext* dc = FindDeviceContext(Dc);
    if (!dc)
        return GDI_ERROR;
    return dc->state().font->realize()->GetFontData(Table, Offset, Buffer, Size);
}

int GetTextFace(HDC Dc, int Size, char* Name)
{
    DeviceContext* dc = FindDeviceContext(Dc);
    if (!dc)
        return 0;
    const char* face = dc->state().font->logFont.lfFaceName;
    int length = int(strnlen(face, LF_FACESIZE));
    if (!Name)
        return length + 1;
    if (Size <= 0)
        return 0;
    int n = std::min(length, Size - 1);
    std::memcpy(Name, face, size_t(n));
    Name[n] = 0;
    return n;
}
