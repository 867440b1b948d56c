//===- TPDFPage.cpp - Page units, size, graphics state and path operators -===//
#include "pdf/TPDFPage.h"

#include "pdf/TPDFAnnotations.h"
#include "pdf/TPDFDocument.h"
#include "pdf/TPDFException.h"
#include "pdf/TPDFPages.h"

#include "platform/rtl/SysUtils.h"
#include "platform/ui/graphics/TMetafile.h"

#include <cmath>
#include <numbers>

namespace {

struct PageSize {
    int32_t Height, Width;
};
constexpr PageSize PageSizes[20] = {
    { 0, 0 },     { 792, 612 },  { 842, 595 }, { 1190, 842 }, { 1008, 612 }, { 728, 516 },  { 649, 459 },
    { 792, 595 }, { 1031, 728 }, { 595, 419 }, { 936, 612 },  { 756, 522 },  { 1031, 728 }, { 708, 499 },
    { 459, 323 }, { 623, 312 },  { 540, 279 }, { 639, 279 },  { 684, 297 },  { 747, 324 },
};

std::string operands(std::initializer_list<double> Values)
{
    std::string S;
    for (double V : Values) {
        if (!S.empty())
            S += ' ';
        S += FloatToPDFStr(V);
    }
    return S;
}

} // namespace

TPDFPage::TPDFPage(TPDFDocument& ADocument)
    : Document(ADocument), InnerForms(std::make_unique<TPDFPages>(ADocument, true))
{
    PageNumber = Document.NewObjectNumber();
    // A resolution of 0 would divide every coordinate by zero.
    Resolution = Document.Resolution < 1 ? 72 : Document.Resolution;
    ScaleFactor = Resolution / 72.0;
    SetSize(2);
    GSave();
    resetTextMatrix();
}

TPDFPage::~TPDFPage()
{
    EndText();
    FreeCanvas();
    ClearAnnotations();
}

void TPDFPage::ClearAnnotations()
{
    // Taken out of the list first: an annotation leaves a list that still holds it.
    auto Old = std::move(Annotations);
    Annotations.clear();
}

// --- Units

double TPDFPage::ToPtX(double X)
{
    PageInProgress = true;
    return X / ScaleFactor;
}

double TPDFPage::ToPtY(double Y)
{
    PageInProgress = true;
    return PageHeight - Y / ScaleFactor;
}

double TPDFPage::FromPtX(double X)
{
    PageInProgress = true;
    return X * ScaleFactor;
}

double TPDFPage::FromPtY(double Y)
{
    PageInProgress = true;
    return (PageHeight - Y) * ScaleFactor;
}

// --- Page geometry

void TPDFPage::SetSize(uint8_t Code)
{
    if (PageInProgress)
        throw TPDFException(SPageInProgress);
    SizeCode = Code;
    if (Code >= 1 && Code <= 19) {
        PageHeight = PageSizes[Code].Height;
        PageWidth = PageSizes[Code].Width;
    }
    SetOrientation(Orientation);
    if (FCanvas)
        remakeCanvas();
}

void TPDFPage::SetOrientation(uint8_t Value)
{
    if (PageInProgress)
        throw TPDFException(SPageInProgress);
    Orientation = Value;
    if ((Value == 0 && PageHeight < PageWidth) || (Value == 1 && PageWidth < PageHeight))
        std::swap(PageHeight, PageWidth);
}

int TPDFPage::GetHeight() const { return static_cast<int>(Round(PageHeight * ScaleFactor)); }

int TPDFPage::GetWidth() const { return static_cast<int>(Round(PageWidth * ScaleFactor)); }

void TPDFPage::SetHeight(int Value)
{
    if (PageInProgress)
        throw TPDFException(SPageInProgress);
    const auto H = static_cast<int32_t>(Round(Value / ScaleFactor));
    if (H == PageHeight)
        return;
    PageHeight = H;
    SizeCode = 0;
    if (FCanvas)
        remakeCanvas();
}

void TPDFPage::SetWidth(int Value)
{
    if (PageInProgress)
        throw TPDFException(SPageInProgress);
    const auto W = static_cast<int32_t>(Round(Value / ScaleFactor));
    if (W == PageWidth)
        return;
    PageWidth = W;
    SizeCode = 0;
    if (FCanvas)
        remakeCanvas();
}

// --- Operators without operands

void TPDFPage::operatorLine(const char* Op)
{
    EndText();
    AppendLine(Op);
}

void TPDFPage::Clip() { operatorLine("W"); }
void TPDFPage::ClosePath() { operatorLine("h"); }
void TPDFPage::EoFill() { operatorLine("f*"); }
void TPDFPage::EoFillAndStroke() { operatorLine("B*"); }
void TPDFPage::Fill() { operatorLine("f"); }
void TPDFPage::FillAndStroke() { operatorLine("B"); }
void TPDFPage::NewPath() { operatorLine("n"); }
void TPDFPage::Stroke() { operatorLine("S"); }

// --- Text object brackets and graphics state

void TPDFPage::resetTextMatrix()
{
    TextMatrix = TPDFMatrix {};
    TextAngle = 0;
    RequestedTextAngle = 0;
}

void TPDFPage::BeginText()
{
    if (InText)
        return;
    AppendLine("BT");
    InText = true;
    resetTextMatrix();
}

void TPDFPage::EndText()
{
    if (!InText)
        return;
    AppendLine("ET");
    InText = false;
}

void TPDFPage::GSave()
{
    EndText();
    ++GSaveDepth;
    FSaved.push_back(SavedState { DashPattern, CharSpacing, WordSpacing, HorizontalScaling });
    AppendLine("q");
}

void TPDFPage::GRestore()
{
    if (GSaveDepth == 1)
        return;
    EndText();
    AppendLine("Q");
    --GSaveDepth;
    // A reader's "Q" brings these back too; without this a later SetDash of the restored
    // pattern would be taken for no change and the pattern drawn would stay the inner one.
    if (!FSaved.empty()) {
        const SavedState& S = FSaved.back();
        DashPattern = S.DashPattern;
        CharSpacing = S.CharSpacing;
        WordSpacing = S.WordSpacing;
        HorizontalScaling = S.HorizontalScaling;
        FSaved.pop_back();
    }
    if (GSaveDepth < FontDepth)
        FontChanged = true;
}

void TPDFPage::Concat(double A, double B, double C, double D, double E, double F)
{
    EndText();
    AppendLine(operands({ A, B, C, D, E, F }) + " cm");
}

void TPDFPage::RotateCoordinates(double Angle)
{
    const double R = Angle * std::numbers::pi / 180;
    Concat(std::cos(R), std::sin(R), -std::sin(R), std::cos(R), 0, 0);
}

void TPDFPage::SetRGBFillColor(double R, double G, double B) { AppendLine(operands({ R, G, B }) + " rg"); }

void TPDFPage::SetRGBStrokeColor(double R, double G, double B) { AppendLine(operands({ R, G, B }) + " RG"); }

void TPDFPage::SetLineWidth(double W)
{
    EndText();
    AppendLine(FloatToPDFStr(W / ScaleFactor) + " w");
}

void TPDFPage::SetDash(const std::string& Pattern)
{
    EndText();
    if (Pattern == DashPattern)
        return;
    AppendLine(Pattern + " d");
    DashPattern = Pattern;
}

// --- Paths in points

void TPDFPage::MoveToPt(double X, double Y)
{
    EndText();
    AppendLine(operands({ X, Y }) + " m");
    CurrentX = X;
    CurrentY = Y;
}

void TPDFPage::LineToPt(double X, double Y)
{
    EndText();
    AppendLine(operands({ X, Y }) + " l");
    CurrentX = X;
    CurrentY = Y;
}

void TPDFPage::CurveToPt(double X1, double Y1, double X2, double Y2, double X3, double Y3)
{
    EndText();
    AppendLine(operands({ X1, Y1, X2, Y2, X3, Y3 }) + " c");
    CurrentX = X3;
    CurrentY = Y3;
}

void TPDFPage::RectanglePt(double X, double Y, double W, double H)
{
    EndText();
    AppendLine(operands({ X, Y, W, H }) + " re");
    CurrentX = X;
    CurrentY = Y;
}
