//===- TMetafilePlayer.cpp - Loading, the record loop, coordinates, colours and finishes -===//
#include "pdf/TMetafilePlayer.h"

#include "pdf/PdfEmfRecord.h"
#include "pdf/TPDFDocument.h"
#include "pdf/TPDFException.h"
#include "pdf/TPDFPage.h"

#include "platform/gdi/bitmaps/Dib.h"
#include "platform/gdi/metafile/EmfRecordTypes.h"
#include "platform/gdi/metafile/EnhMetaFile.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/graphics/TMetafile.h"

#include <algorithm>
#include <cmath>

namespace {

/// Records during which the page's fill colour may keep holding the text colour.
bool keepsTextColour(uint32_t Type)
{
    switch (Type) {
    case EMR_SETBKMODE:
    case EMR_SETTEXTALIGN:
    case EMR_SETTEXTCOLOR:
    case EMR_SETBKCOLOR:
    case EMR_MOVETOEX:
    case EMR_SAVEDC:
    case EMR_RESTOREDC:
    case EMR_SELECTOBJECT:
    case EMR_CREATEPEN:
    case EMR_CREATEBRUSHINDIRECT:
    case EMR_DELETEOBJECT:
    case EMR_BITBLT:
    case EMR_EXTCREATEFONTINDIRECTW:
    case EMR_EXTTEXTOUTA:
    case EMR_EXTTEXTOUTW:
    case EMR_SMALLTEXTOUT: return true;
    default: return false;
    }
}

/// Records that paint or clip at once inside a path bracket too: their operators may not stand
/// inside the open path.
bool actsOutsidePath(uint32_t Type)
{
    switch (Type) {
    case EMR_INTERSECTCLIPRECT:
    case EMR_EXTSELECTCLIPRGN:
    case EMR_BITBLT:
    case EMR_STRETCHBLT:
    case EMR_SETDIBITSTODEVICE:
    case EMR_STRETCHDIBITS: return true;
    default: return false;
    }
}

/// A palette-index colour (0x01000000 + 0..19) as the RGB of that stock palette entry.
COLORREF resolvePalette(COLORREF Colour)
{
    if (Colour >= 0x01000000 && Colour <= 0x01000013) {
        const RGBQUAD& E = Dib::StockPalette()[Colour - 0x01000000];
        return RGB(E.rgbRed, E.rgbGreen, E.rgbBlue);
    }
    return Colour;
}

} // namespace

TMetafilePlayer::TMetafilePlayer(TPDFPage& APage) : Page(APage), Metafile(std::make_unique<TMetafile>())
{
    HDC Reference = Page.Document.ReferenceDC();
    MetafileCanvas = std::make_unique<TMetafileCanvas>(*Metafile, Reference);
    const int32_t Resolution = Page.Document.Resolution < 1 ? 72 : Page.Document.Resolution;
    const int Dpix = GetDeviceCaps(Reference, LOGPIXELSX), Dpiy = GetDeviceCaps(Reference, LOGPIXELSY);
    ScaleX = Dpix > 0 ? double(Resolution) / Dpix : 1;
    ScaleY = Dpiy > 0 ? double(Resolution) / Dpiy : 1;
}

TMetafilePlayer::~TMetafilePlayer()
{
    MetafileCanvas.reset();
    Metafile.reset();
}

void TMetafilePlayer::LoadMetafile(const TMetafile& AMetafile)
{
    Data.clear();
    if (const EnhMetaFile* Image = AMetafile.GetHandle())
        Data = GetEnhMetaFileBits(*Image);
}

void TMetafilePlayer::GetMetafileSize(int32_t& Width, int32_t& Height) const
{
    if (Data.empty())
        throw TPDFException(SMetafileNotLoaded);
    const RECT Bounds = TEmfRecord(Data).Rect(EmfLayout::HeaderBounds);
    // Held inside the 32-bit range: a resolution above the reference's could scale past it.
    auto size = [](double V) {
        return static_cast<int32_t>(std::clamp(std::nearbyint(V), -2147483647.0, 2147483646.0)) + 1;
    };
    Width = size(Bounds.right * ScaleX);
    Height = size(Bounds.bottom * ScaleY);
}

void TMetafilePlayer::ExecuteMetafile()
{
    if (Data.empty())
        throw TPDFException(SMetafileNotLoaded);
    const std::span<const uint8_t> All(Data);
    const TEmfRecord Header(All);
    size_t RecordSize = Header.U32(4);
    HeaderBounds = Header.Rect(EmfLayout::HeaderBounds);
    HandleCount = Header.U16(EmfLayout::HeaderHandles);
    HandleTable.assign(HandleCount, nullptr);

    ShadowDC = MetafileCanvas->GetHandle();
    SetGraphicsMode(ShadowDC, GM_ADVANCED);
    OwnXForm = XFORM {};
    WorldTransformOK = SetWorldTransform(ShadowDC, OwnXForm);
    XOffset = YOffset = 0;
    XFactor = YFactor = 1;
    XFormStack.clear();
    startState();

    // The data ended without an EOF record, or a record's size is broken: the playback ends
    // there with what was drawn so far.
    size_t Offset = 0;
    try {
        while (!Finished) {
            if (RecordSize < 8 || RecordSize > All.size() - Offset)
                break;
            Offset += RecordSize;
            if (All.size() - Offset < 8)
                break;
            RecordSize = TEmfRecord(All.subspan(Offset, 8)).U32(4);
            if (RecordSize < 8 || RecordSize % 4 != 0 || RecordSize > All.size() - Offset)
                break;
            dispatch(TEmfRecord(All.subspan(Offset, RecordSize)));
        }
    } catch (...) {
        // The page keeps what was drawn, the open bracket's lines where they stand.
        restoreHeldPath();
        throw;
    }
    endPlayback();
}

void TMetafilePlayer::startState()
{
    MapMode = MM_TEXT;
    CurrentPos = POINT {};
    PolyFillAlternate = true;
    BkOpaque = true;
    TextColor = 0;
    // A device context's background starts white; a metafile need not set it before an opaque
    // text.
    BkColor = 0xFFFFFF;
    VertAlign = HorzAlign = 0;
    UpdateCP = false;
    ClipActive = false;
    ArcCounterClockwise = true;
    PenStyle = 0;
    PenWidth = 0;
    PenColor = BrushColor = 0;
    LogFont = LOGFONTA {};
    LastFillColor = 0;
    ClipRectSaved = false;
    TextColorMode = false;
    InPath = false;
    PathStart = SIZE_MAX;
    HeldPath.clear();
    PathLines.clear();
    BrushNull = false;
    FontPending = true;
    Finished = false;
    WindowOrg = ViewportOrg = POINT {};
    WindowExt = ViewportExt = SIZE { 1, 1 };
}

void TMetafilePlayer::endPlayback()
{
    // A path never painted draws nothing.
    finishedPath();
    // A clip still open would otherwise reach over whatever the page draws after the drawing.
    if (ClipActive) {
        clipRestore();
        ClipActive = false;
    }
    for (size_t I = 1; I < HandleTable.size(); ++I)
        if (HandleTable[I])
            DeleteObject(HandleTable[I]);
    HandleTable.clear();
    XFormStack.clear();
    Page.SetTextAtBaseline(false);
}

void TMetafilePlayer::dispatch(const TEmfRecord& R)
{
    const uint32_t Type = R.Type();
    if (TextColorMode && !keepsTextColour(Type)) {
        TextColorMode = false;
        brushFillColor();
    }
    if ((Type == EMR_EXTTEXTOUTA || Type == EMR_EXTTEXTOUTW || Type == EMR_SMALLTEXTOUT) && !TextColorMode)
        TextColorMode = true;

    if (InPath && actsOutsidePath(Type)) {
        std::vector<std::string> Path = takeOpenPath();
        handle(R);
        resumePath(std::move(Path));
        return;
    }
    handle(R);
}

void TMetafilePlayer::handle(const TEmfRecord& R)
{
    const uint32_t Type = R.Type();
    switch (Type) {
    case EMR_POLYBEZIER: return polyBezier(R, false);
    case EMR_POLYGON: return polygon(R, false);
    case EMR_POLYLINE: return polyline(R, false);
    case EMR_POLYBEZIERTO: return polyBezierTo(R, false);
    case EMR_POLYLINETO: return polylineTo(R, false);
    case EMR_POLYPOLYLINE: return polyPolyline(R, false, false);
    case EMR_POLYPOLYGON: return polyPolyline(R, false, true);
    case EMR_POLYBEZIER16: return polyBezier(R, true);
    case EMR_POLYGON16: return polygon(R, true);
    case EMR_POLYLINE16: return polyline(R, true);
    case EMR_POLYBEZIERTO16: return polyBezierTo(R, true);
    case EMR_POLYLINETO16: return polylineTo(R, true);
    case EMR_POLYPOLYLINE16: return polyPolyline(R, true, false);
    case EMR_POLYPOLYGON16: return polyPolyline(R, true, true);
    case EMR_POLYDRAW: return polyDraw(R, false);
    case EMR_POLYDRAW16: return polyDraw(R, true);
    case EMR_EOF: Finished = true; return;
    case EMR_SETPIXELV: return setPixel(R);
    case EMR_SETWINDOWEXTEX:
    case EMR_SETWINDOWORGEX:
    case EMR_SETVIEWPORTEXTEX:
    case EMR_SETVIEWPORTORGEX:
    case EMR_SETMAPMODE:
    case EMR_SETBKMODE:
    case EMR_SETPOLYFILLMODE:
    case EMR_SETSTRETCHBLTMODE:
    case EMR_SETTEXTALIGN:
    case EMR_SETTEXTCOLOR:
    case EMR_SETBKCOLOR:
    case EMR_SETARCDIRECTION: return setState(R);
    case EMR_MOVETOEX: return moveToEx(R);
    case EMR_INTERSECTCLIPRECT: return intersectClipRect(R);
    case EMR_SAVEDC: return saveDC();
    case EMR_RESTOREDC: return restoreDC(R);
    case EMR_SETWORLDTRANSFORM:
        if (const XFORM X = R.Xform(8); R.Ok())
            setWorldTransform(X);
        return;
    case EMR_MODIFYWORLDTRANSFORM: return modifyWorldTransform(R);
    case EMR_SELECTOBJECT: return selectObject(R);
    case EMR_CREATEPEN: return createPen(R, false);
    case EMR_EXTCREATEPEN: return createPen(R, true);
    case EMR_CREATEBRUSHINDIRECT: return createBrush(R);
    case EMR_EXTCREATEFONTINDIRECTW: return createFont(R);
    case EMR_DELETEOBJECT: return deleteObject(R);
    case EMR_ANGLEARC: return angleArc(R);
    case EMR_ELLIPSE: return ellipse(R);
    case EMR_RECTANGLE: return rectangle(R);
    case EMR_ROUNDRECT: return roundRect(R);
    case EMR_ARC:
    case EMR_CHORD:
    case EMR_PIE: return arc(R, int(Type));
    case EMR_LINETO: return lineToRecord(R);
    case EMR_ARCTO: return arcTo(R);
    case EMR_BEGINPATH: return beginPath();
    case EMR_ENDPATH: return endPath();
    case EMR_CLOSEFIGURE: Page.ClosePath(); return;
    case EMR_FILLPATH:
    case EMR_STROKEANDFILLPATH:
    case EMR_STROKEPATH:
    case EMR_ABORTPATH: return endPathWith(Type);
    case EMR_SELECTCLIPPATH: return selectClipPath();
    case EMR_EXTSELECTCLIPRGN: return extSelectClipRgn(R);
    case EMR_BITBLT: return bitBlt(R, false);
    case EMR_STRETCHBLT: return bitBlt(R, true);
    case EMR_SETDIBITSTODEVICE: return setDIBitsToDevice(R);
    case EMR_STRETCHDIBITS: return stretchDIBits(R);
    case EMR_EXTTEXTOUTA:
    case EMR_EXTTEXTOUTW: return extTextOut(R);
    default: return;
    }
}

// --- Coordinates

double TMetafilePlayer::pointX(double X) const
{
    double U = X;
    if (MapMode == MM_ISOTROPIC || MapMode == MM_ANISOTROPIC)
        U = (X - WindowOrg.x) * ViewportExt.cx / WindowExt.cx;
    return (U + ViewportOrg.x) * XFactor * ScaleX + XOffset;
}

double TMetafilePlayer::pointY(double Y) const
{
    double U = Y;
    if (MapMode == MM_ISOTROPIC || MapMode == MM_ANISOTROPIC)
        U = (Y - WindowOrg.y) * ViewportExt.cy / WindowExt.cy;
    return (U + ViewportOrg.y) * YFactor * ScaleY + YOffset;
}

double TMetafilePlayer::ratioX() const
{
    return MapMode == MM_TEXT ? 1 : std::abs(double(ViewportExt.cx) / WindowExt.cx);
}

double TMetafilePlayer::ratioY() const
{
    return MapMode == MM_TEXT ? 1 : std::abs(double(ViewportExt.cy) / WindowExt.cy);
}

void TMetafilePlayer::moveTo(POINT P) { Page.MoveTo(pointX(P.x), pointY(P.y)); }

void TMetafilePlayer::lineTo(POINT P) { Page.LineTo(pointX(P.x), pointY(P.y)); }

// --- Colours and painting

void TMetafilePlayer::sendFillColor(COLORREF Colour)
{
    Page.SetRGBFillColor(GetRValue(Colour) / 255.0, GetGValue(Colour) / 255.0, GetBValue(Colour) / 255.0);
    LastFillColor = Colour;
}

void TMetafilePlayer::brushFillColor()
{
    BrushColor = resolvePalette(BrushColor);
    if (BrushColor != LastFillColor)
        sendFillColor(BrushColor);
}

void TMetafilePlayer::penStrokeColor()
{
    PenColor = resolvePalette(PenColor);
    Page.SetRGBStrokeColor(GetRValue(PenColor) / 255.0, GetGValue(PenColor) / 255.0, GetBValue(PenColor) / 255.0);
}

void TMetafilePlayer::textFillColor()
{
    const COLORREF Colour = resolvePalette(TextColor);
    if (Colour != LastFillColor || FontPending)
        sendFillColor(Colour);
}

void TMetafilePlayer::backgroundFillColor()
{
    const COLORREF Colour = resolvePalette(BkColor);
    if (Colour != LastFillColor)
        sendFillColor(Colour);
}

void TMetafilePlayer::penDash()
{
    switch (PenStyle) {
    case PS_NULL: return;
    case PS_DASH: return Page.SetDash("[8 8] 0");
    case PS_DOT: return Page.SetDash("[2 2] 0");
    case PS_DASHDOT: return Page.SetDash("[8 2 2 2] 0");
    case PS_DASHDOTDOT: return Page.SetDash("[8 2 2 2 2 2] 0");
    default: return Page.NoDash();
    }
}

bool TMetafilePlayer::penStrokes() const { return PenWidth != 0 && PenStyle != PS_NULL; }

void TMetafilePlayer::strokeFinish()
{
    if (InPath)
        return;
    if (penStrokes())
        Page.Stroke();
    else
        Page.NewPath();
}

void TMetafilePlayer::fillFinish()
{
    if (InPath)
        return;
    if (BrushNull)
        strokeFinish();
    else if (penStrokes())
        PolyFillAlternate ? Page.EoFillAndStroke() : Page.FillAndStroke();
    else
        PolyFillAlternate ? Page.EoFill() : Page.Fill();
}

void TMetafilePlayer::boxFinish()
{
    if (InPath)
        return;
    if (penStrokes())
        BrushNull ? Page.Stroke() : Page.FillAndStroke();
    else
        BrushNull ? Page.NewPath() : Page.Fill();
}

void TMetafilePlayer::clipSave()
{
    Page.GSave();
    AtClipSave = SentState { PenColor, PenStyle, PenWidth, LastFillColor };
}

void TMetafilePlayer::clipRestore()
{
    Page.GRestore();
    FontPending = true;
    // The restore brought back the colours and width of the save; what changed since is sent
    // again, or the drawing after the clip would use the old ones.
    LastFillColor = AtClipSave.LastFillColor;
    if (!TextColorMode)
        brushFillColor();
    if (PenColor != AtClipSave.PenColor)
        penStrokeColor();
    if (PenStyle != AtClipSave.PenStyle)
        penDash();
    if (PenWidth != AtClipSave.PenWidth)
        Page.SetLineWidth(ScaleX * PenWidth);
}
