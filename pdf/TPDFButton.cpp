//===- TPDFButton.cpp - The push button widget -===//
#include "pdf/TPDFButton.h"

#include "pdf/PdfPrimitives.h"
#include "pdf/TPDFDocument.h"
#include "pdf/TPDFFonts.h"
#include "pdf/TPDFPage.h"

#include "platform/rtl/SysUtils.h"
#include "platform/ui/controls/UiTypes.h"

#include <algorithm>

namespace {

void fillColor(TPDFPage& Page, TColor Color, double Factor = 1)
{
    const TPDFRGB C = ScaledColor(Color, Factor);
    Page.SetRGBFillColor(C.R, C.G, C.B);
}

void strokeColor(TPDFPage& Page, TColor Color, double Factor = 1)
{
    const TPDFRGB C = ScaledColor(Color, Factor);
    Page.SetRGBStrokeColor(C.R, C.G, C.B);
}

/// A polyline through three points, stroked.
void edge(TPDFPage& Page, double X1, double Y1, double X2, double Y2, double X3, double Y3)
{
    Page.MoveToPt(X1, Y1);
    Page.LineToPt(X2, Y2);
    Page.LineToPt(X3, Y3);
    Page.Stroke();
}

} // namespace

TPDFButton::TPDFButton(TPDFPage* Page, const std::string& AName) : TPDFControl(Page, AName)
{
    BackgroundColor = 0xC0C0C0;
}

TPDFButton::~TPDFButton() = default;

void TPDFButton::paintCaption(TPDFPage& Page, int TopInset)
{
    Page.SetFont(Font->Name, Font->Style, Font->Size);
    // Selected even for an empty caption: "/DA" names the font either way.
    Page.SelectFont(false);
    FontResourceName = Page.CurrentFont->FontName;
    fillColor(Page, Font->Color);
    const int W = static_cast<int>(Round(Page.PageWidth * Page.ScaleFactor));
    const int H = static_cast<int>(Round(Page.PageHeight * Page.ScaleFactor));
    Page.TextRect(TRect { 0, static_cast<int>(Round(TopInset * Page.ScaleFactor)), W, H }, Caption, 1, 1);
}

void TPDFButton::paintNormal(TPDFPage& Page)
{
    const double W = Page.PageWidth, H = Page.PageHeight;
    Page.SetLineWidth(Page.ScaleFactor);
    // The bands run from 0.5 to 1.5 inside the edges: highlight left and top, shadow bottom and right.
    strokeColor(Page, BackgroundColor, 1.4);
    edge(Page, 1, 1, 1, H - 1, W - 1, H - 1);
    strokeColor(Page, BackgroundColor, 0.6);
    edge(Page, 1, 1, W - 1, 1, W - 1, H - 1);
    fillColor(Page, BackgroundColor);
    Page.RectanglePt(1.5, 1.5, W - 3, H - 3);
    Page.Fill();
    strokeColor(Page, Color);
    Page.RectanglePt(0.5, 0.5, W - 1, H - 1);
    Page.Stroke();
    paintCaption(Page, 0);
}

void TPDFButton::paintDown(TPDFPage& Page)
{
    const double W = Page.PageWidth, H = Page.PageHeight;
    Page.SetLineWidth(Page.ScaleFactor);
    fillColor(Page, BackgroundColor);
    Page.RectanglePt(0, 0, W, H);
    Page.Fill();
    // Pressed: the shadow now on the left and top, the highlight on the bottom and right.
    strokeColor(Page, BackgroundColor, 1.4);
    edge(Page, 0.5, 0.5, W - 0.5, 0.5, W - 0.5, H - 0.5);
    strokeColor(Page, BackgroundColor, 0.6);
    edge(Page, 0.5, 0.5, 0.5, H - 0.5, W - 0.5, H - 0.5);
    strokeColor(Page, Color);
    Page.RectanglePt(0.5, 0.5, W - 1, H - 1);
    Page.Stroke();
    paintCaption(Page, 2);
}

void TPDFButton::Paint()
{
    FNormal = newAppearance();
    FDown = newAppearance();
    paintNormal(*FNormal);
    paintDown(*FDown);
    addFontsToForm(*FNormal);
}

void TPDFButton::Save()
{
    TPDFDocument& Doc = document();
    Paint();
    FNormal->WritePage();
    FDown->WritePage();
    Doc.StartObject(ObjectNumber);
    Doc.WriteText("/Type /Annot");
    Doc.WriteText("/Subtype /Widget");
    Doc.WriteText(rectEntry());
    Doc.WriteText("/P " + ObjectRef(OwnerPage().PageNumber));
    Doc.WriteText("/MK <</CA " + stringEntry(Caption) + " /BC [" + PDFColorComponents(Color) + " ]/BG ["
                  + PDFColorComponents(BackgroundColor) + " ]>>");
    Doc.WriteText("/DA "
                  + stringEntry("/" + FontResourceName + " " + IntToStr(Font->Size) + " Tf "
                                + PDFColorComponents(Font->Color) + " rg"));
    Doc.WriteText("/BS <</W 1 /S /B>>");
    Doc.WriteText("/T " + stringEntry(Name));
    Doc.WriteText("/FT /Btn");
    writeHint();
    Doc.WriteText("/F " + IntToStr(static_cast<int64_t>(Flags.Bits() & 0x7F)));
    Doc.WriteText("/Ff " + IntToStr((ReadOnly ? 1 : 0) + (Required ? 2 : 0) + 65536));
    Doc.WriteText("/H /P");
    Doc.WriteText("/AP <</N " + ObjectRef(FNormal->PageNumber) + " /D " + ObjectRef(FDown->PageNumber) + ">>");
    writeActions();
    Doc.WriteText(">>");
    Doc.CloseDictionary();
    Doc.CloseObject();
    FNormal.reset();
    FDown.reset();
}
