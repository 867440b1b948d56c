//===- TPDFPage.h - A page (or form XObject): units, size, state and drawing operators -*- C++ -*-===//
//
// Callers draw in device units (Resolution per inch, origin top left, y down); every call becomes
// one line of content-stream operators in points (origin bottom left, y up), kept in Content
// until the page is written. Numbers go through FloatToPDFStr.
//
#pragma once

#include "pdf/PdfPrimitives.h"

#include "platform/kernel/CodePages.h"
#include "platform/ui/controls/UiTypes.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TMetafile;
class TMetafileCanvas;
class TPDFActionAnnotation;
class TPDFCustomAnnotation;
class TMetafilePlayer;
class TPDFDocument;
class TPDFFont;
class TPDFImage;
class TPDFPages;

class TPDFPage {
public:
    /// Reserves the page's object number; A4 portrait; the content starts with the page's own
    /// outermost "q".
    explicit TPDFPage(TPDFDocument& Document);
    virtual ~TPDFPage();
    TPDFPage(const TPDFPage&) = delete;
    TPDFPage& operator=(const TPDFPage&) = delete;

    /// Every operation writes its lines through here.
    void AppendLine(std::string S) { Content.push_back(std::move(S)); }

    // --- Units (each conversion fixes the page size: PageInProgress)
    double ToPtX(double X);
    double ToPtY(double Y);
    double FromPtX(double X);
    double FromPtY(double Y);

    // --- Page geometry
    /// One of the size codes 1..19 (2 is A4); other codes store the code and keep the size.
    /// Raises "Page in progress" once anything was converted.
    void SetSize(uint8_t Code);
    /// 0 portrait, 1 landscape; raises "Page in progress" like SetSize.
    void SetOrientation(uint8_t Value);
    /// Device units, rounded half to even.
    int GetHeight() const;
    int GetWidth() const;
    void SetHeight(int Value);
    void SetWidth(int Value);
    void SetPageRotation(uint8_t Value) { PageRotation = Value; }
    void SetTextAtBaseline(bool Value) { TextAtBaseline = Value; }

    // --- Operators without operands (each closes an open text object)
    void Clip();
    void ClosePath();
    void EoFill();
    void EoFillAndStroke();
    void Fill();
    void FillAndStroke();
    void NewPath();
    void Stroke();

    // --- Text object brackets and graphics state
    void BeginText();
    void EndText();
    /// "q", keeping the remembered dash, spacings and scaling for the matching GRestore.
    void GSave();
    /// "Q" and the remembered state of the matching GSave; nothing at the page's own level.
    void GRestore();
    void Concat(double A, double B, double C, double D, double E, double F);
    void Translate(double X, double Y) { Concat(1, 0, 0, 1, X, Y); }
    void RotateCoordinates(double Angle);
    void SetRGBFillColor(double R, double G, double B);
    void SetRGBStrokeColor(double R, double G, double B);
    /// W in device units; always written.
    void SetLineWidth(double W);
    /// Written only when Pattern differs from the current one.
    void SetDash(const std::string& Pattern);
    void NoDash() { SetDash("[] 0"); }

    // --- Paths in points
    void MoveToPt(double X, double Y);
    void LineToPt(double X, double Y);
    void CurveToPt(double X1, double Y1, double X2, double Y2, double X3, double Y3);
    void RectanglePt(double X, double Y, double W, double H);

    // --- Shapes in points (path lines only; the caller paints)
    void CirclePt(double X, double Y, double R);
    void EllipsePt(double X1, double Y1, double X2, double Y2);
    /// Answers the arc's start point.
    TExtPoint ArcPt(double X1, double Y1, double X2, double Y2, double BegAngle, double EndAngle);
    TExtPoint ArcByPointsPt(double X1, double Y1, double X2, double Y2, double X3, double Y3, double X4, double Y4);
    void PiePt(double X1, double Y1, double X2, double Y2, double X3, double Y3, double X4, double Y4);
    void RotatedRectanglePt(double X, double Y, double W, double H, double Angle);

    // --- Device units
    void MoveTo(double X, double Y) { MoveToPt(ToPtX(X), ToPtY(Y)); }
    void LineTo(double X, double Y) { LineToPt(ToPtX(X), ToPtY(Y)); }
    void CurveTo(double X1, double Y1, double X2, double Y2, double X3, double Y3);
    void Rectangle(double X1, double Y1, double X2, double Y2);
    void Circle(double X, double Y, double R);
    void Ellipse(double X1, double Y1, double X2, double Y2);
    /// Answers the start point in device units.
    TExtPoint ArcByAngles(double X1, double Y1, double X2, double Y2, double BegAngle, double EndAngle);
    TExtPoint Arc(double X1, double Y1, double X2, double Y2, double X3, double Y3, double X4, double Y4);
    void Pie(double X1, double Y1, double X2, double Y2, double X3, double Y3, double X4, double Y4);
    void RoundRect(int X1, int Y1, int X2, int Y2, int CornerWidth, int CornerHeight);

    // --- Text state (nothing is written until text is shown)
    /// Records font, style (1 bold, 2 italic, 4 underline, 8 strike-out), size in points and
    /// character set (DEFAULT_CHARSET stands for the system's default font's set; any set but 0
    /// sends 8-bit text through the code page's conversion to UTF-16).
    void SetFont(const std::string& Name, uint8_t Style, double Size, uint8_t Charset = 0);
    /// Writes "Tf" when the font changed or the kind (single-byte or glyph-index) differs.
    void SelectFont(bool Unicode);
    /// Device units; written only on a change.
    void SetCharSpacing(double V);
    void SetWordSpacing(double V);
    /// Percent; written only on a change.
    void SetHorizontalScaling(double V);
    void SetTextMatrix(double A, double B, double C, double D, double E, double F);
    /// Points.
    void SetTextOrigin(double X, double Y);
    /// TextMatrix := (A..F) x TextMatrix.
    void ConcatTextMatrix(double A, double B, double C, double D, double E, double F);
    /// Turns the text about its origin to Angle degrees.
    void SetTextAngle(double Angle);

    // --- Text in points at the current text origin
    void ShowText(const std::string& S);
    void ShowUnicodeText(const WCHAR* W, int Count);
    /// One "Tj" per character, each followed by a move of Dx[i] points.
    void ShowTextSpaced(const std::string& S, const float* Dx);
    void ShowUnicodeTextSpaced(const WCHAR* W, int Count, const float* Dx);
    void ShowTextAtPt(const std::string& S, double X, double Y, double Angle);
    void ShowUnicodeTextAtPt(const WCHAR* W, int Count, double X, double Y, double Angle);
    void ShowTextSpacedAtPt(const std::string& S, const float* Dx, double X, double Y, double Angle);
    void ShowUnicodeTextSpacedAtPt(const WCHAR* W, int Count, const float* Dx, double X, double Y, double Angle);

    // --- Text in device units ((X, Y) the top-left corner unless TextAtBaseline; Angle in
    // degrees counter-clockwise; Dx one advance per character, or null). Unrotated text on a
    // page (not a form) gets a link over each web or mail address.
    void TextOut(double X, double Y, double Angle, const std::string& S);
    void TextOutW(double X, double Y, double Angle, const WCHAR* W, int Count);
    void ExtTextOut(double X, double Y, double Angle, const std::string& S, const float* Dx);
    void ExtTextOutW(double X, double Y, double Angle, const WCHAR* W, int Count, const float* Dx);
    /// HAlign 0 left, 1 centre, 2 right; VAlign 0 top, 1 centre, 2 bottom.
    void TextRect(TRect Rect, const std::string& S, int HAlign, int VAlign);

    // --- Measurement with the current text state
    double TextWidthPt(const std::string& S);
    double UnicodeTextWidthPt(const WCHAR* W, int Count);
    double TextWidth(const std::string& S) { return TextWidthPt(S) * ScaleFactor; }
    double UnicodeTextWidth(const WCHAR* W, int Count) { return UnicodeTextWidthPt(W, Count) * ScaleFactor; }
    /// The font's ascent at the current size; 0 with TextAtBaseline.
    double BaselineOffsetPt();

    // --- Links
    /// A borderless link annotation to URL over Rect (device units), owned by the page. Raises
    /// "Cannot create URL to watermark" on an inner form.
    TPDFActionAnnotation* CreateURLLink(TRect Rect, const std::string& URL);

    // --- Canvas (a metafile recorded on the document's reference context)
    /// Raises "Canvas for this page already created" when the page has one.
    void CreateCanvas();
    /// Null while the page has no canvas.
    TMetafileCanvas* GetCanvas() const { return FCanvas.get(); }
    /// Drops canvas and metafile without playing them.
    void FreeCanvas();
    /// Plays what was drawn on the canvas into Content, then drops both.
    void CloseCanvas();
    /// Plays the metafile into a new inner form drawn with one "Do" line, its top-left corner at
    /// (X, Y) device units and XScale, YScale times its natural size; an empty drawing adds
    /// nothing.
    void PlayMetaFile(const TMetafile& Metafile, double X, double Y, double XScale, double YScale);

    // --- Images of the document's list
    /// Lower-left corner and size in points, Angle in degrees about that corner; an index
    /// outside the list raises "Out of range".
    void ShowImagePt(int32_t Index, double X, double Y, double Width, double Height, double Angle = 0);
    /// The same in device units, (X, Y) being the top-left corner.
    void ShowImage(int32_t Index, double X, double Y, double Width, double Height, double Angle = 0);

    // --- Writing
    /// Object numbers for what the page refers to; its images (and thumbnail) are written now.
    void AssignObjectNumbers();
    /// Writes the resources, the content stream and the page object (or the form XObject) and
    /// clears Content.
    void WritePage();
    /// Frees every annotation of the page.
    void ClearAnnotations();

    // --- State
    std::vector<std::string> Content;
    TPDFDocument& Document;
    TPDFMatrix FormMatrix;
    std::unique_ptr<TPDFPages> InnerForms;
    /// Owning; an annotation joins it when constructed on this page and is written with it.
    std::vector<std::unique_ptr<TPDFCustomAnnotation>> Annotations;
    std::vector<TPDFImage*> UsedImages;
    std::vector<TPDFFont*> UsedFonts;
    bool IsForm = false;
    int32_t Resolution = 72;
    double ScaleFactor = 1;
    int32_t PageHeight = 0, PageWidth = 0;
    uint8_t SizeCode = 0;
    bool UsesText = false, UsesImageB = false, UsesImageC = false;
    double CurrentX = 0, CurrentY = 0;
    uint8_t PageRotation = 0;
    int32_t ResourcesNumber = 0, PageNumber = 0, ContentsNumber = 0;
    TPDFMatrix TextMatrix;

    // Text state (kept here; text output reads and writes it)
    double FontSize = 10;
    TPDFFont* CurrentFont = nullptr;
    std::string DashPattern = "[] 0";
    double HorizontalScaling = 100;
    double CharSpacing = 0, WordSpacing = 0;
    int32_t TextRenderMode = 0;
    bool InText = false;
    int32_t GSaveDepth = 0;
    double TextAngle = 0, RequestedTextAngle = 0;
    std::string FontName = "Helvetica";
    uint8_t FontStyle = 0;
    uint8_t FontCharset = 0;
    bool FontChanged = true;
    bool FontIsUnicode = false;
    int32_t FontDepth = 0;

    uint8_t Orientation = 0;
    bool PageInProgress = false;
    int32_t WatermarkIndex = -1, ThumbnailIndex = -1;
    bool JoinContentLines = false, CanvasFirst = true, TextAtBaseline = false;

private:
    /// What "q" saves and "Q" brings back of the remembered state.
    struct SavedState {
        std::string DashPattern;
        double CharSpacing, WordSpacing, HorizontalScaling;
    };

    void resetTextMatrix();
    void operatorLine(const char* Op);
    void arcSegmentPt(bool First, double Sweep, double Start, double Cx, double Cy, double Rx, double Ry);
    TExtPoint arcSpanPt(double Start, double Span, double Cx, double Cy, double Rx, double Ry);
    void remakeCanvas();
    void playCanvas(TMetafilePlayer& Player);
    TPDFImage* thumbnail() const;
    std::string contentText() const;
    // Text output
    std::vector<WCHAR> toUnicode(const std::string& S) const;
    double widthPt(double Sum, int Characters, int Blanks) const;
    void writeUnicodeRun(std::string& Run);
    void decorations(double Width);
    /// Moves the text origin to X, Y (points) and turns the text to Angle.
    void placeText(double X, double Y, double Angle);
    void linkSearch(double X, double Y, const std::string& Text, const std::function<double(int)>& WidthBefore,
                    const std::function<double(const std::string&, int)>& WidthOf);
    void writeResources();
    void writeStreamPart(int32_t Number);

    std::vector<SavedState> FSaved;
    std::unique_ptr<TMetafile> FCanvasMetafile;
    std::unique_ptr<TMetafileCanvas> FCanvas;
};
