//===- TMetafilePlayer.h - Enhanced metafile records turned into page operators -*- C++ -*-===//
//
// The player walks a metafile's records and keeps a playback state that mirrors a device
// context's graphics state; drawing records become operators on its page in device units.
// State-changing records are replayed onto a shadow device context too (a metafile canvas on the
// document's reference context), so that a restored state can be read back from it.
//
// The bytes come from outside: every record is checked (size, counts, offsets, strings, advance
// arrays, regions, bitmaps); a malformed record is skipped, and a broken record size ends the
// playback.
//
#pragma once

#include "platform/gdi/GdiTypes.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

class TEmfRecord;
struct TExtPoint;
class TMetafile;
class TMetafileCanvas;
class TPDFPage;

class TMetafilePlayer {
public:
    explicit TMetafilePlayer(TPDFPage& APage);
    ~TMetafilePlayer();
    TMetafilePlayer(const TMetafilePlayer&) = delete;
    TMetafilePlayer& operator=(const TMetafilePlayer&) = delete;

    /// Keeps the metafile's bytes (nothing when it is empty).
    void LoadMetafile(const TMetafile& AMetafile);
    /// The drawing's size in the page's device units; raises "Metafile not loaded".
    void GetMetafileSize(int32_t& Width, int32_t& Height) const;
    /// Appends the drawing's operator lines to the page; raises "Metafile not loaded".
    void ExecuteMetafile();

private:
    /// What the page's graphics state held when the player's own "q" was written.
    struct SentState {
        COLORREF PenColor = 0;
        int32_t PenStyle = 0;
        double PenWidth = 0;
        COLORREF LastFillColor = 0;
    };

    // Playback (TMetafilePlayer.cpp)
    void startState();
    void dispatch(const TEmfRecord& R);
    void handle(const TEmfRecord& R);
    void endPlayback();

    // Coordinates
    double pointX(double X) const;
    double pointY(double Y) const;
    double plainX(double X) const { return X * ScaleX; }
    double plainY(double Y) const { return Y * ScaleY; }
    double ratioX() const;
    double ratioY() const;
    void moveTo(POINT P);
    void lineTo(POINT P);

    // Colours and painting
    void sendFillColor(COLORREF Colour);
    void brushFillColor();
    void penStrokeColor();
    /// The dash of PenStyle (nothing for PS_NULL).
    void penDash();
    void textFillColor();
    void backgroundFillColor();
    bool penStrokes() const;
    void strokeFinish();
    void fillFinish();
    void boxFinish();
    /// "q" for a clip, remembering what the matching "Q" brings back.
    void clipSave();
    /// "Q": the font must be selected again, and colours and width the restore changed are sent.
    void clipRestore();

    // Lines, shapes, paths and clipping (TMetafilePlayerShapes.cpp)
    std::vector<POINT> points(const TEmfRecord& R, size_t CountOffset, bool Small) const;
    void moveToEx(const TEmfRecord& R);
    void lineToRecord(const TEmfRecord& R);
    /// "n" (outside a path bracket), "m" to First and "l" to each of Rest.
    void figure(POINT First, std::span<const POINT> Rest);
    void polyline(const TEmfRecord& R, bool Small);
    void polylineTo(const TEmfRecord& R, bool Small);
    void polyPolyline(const TEmfRecord& R, bool Small, bool Closed);
    void polygon(const TEmfRecord& R, bool Small);
    void polyBezier(const TEmfRecord& R, bool Small);
    void polyBezierTo(const TEmfRecord& R, bool Small);
    void polyDraw(const TEmfRecord& R, bool Small);
    void setPixel(const TEmfRecord& R);
    void rectangle(const TEmfRecord& R);
    void ellipse(const TEmfRecord& R);
    void roundRect(const TEmfRecord& R);
    void arc(const TEmfRecord& R, int Kind);
    void arcTo(const TEmfRecord& R);
    void angleArc(const TEmfRecord& R);
    /// Takes the open bracket's construction lines off the page; the state lines written among
    /// them (colours, widths, dashes, restores) stay, in order, so that they come first.
    std::vector<std::string> takeOpenPath();
    /// Holds an open bracket's lines as standing at the end of the page, after what a clip or
    /// bitmap record wrote: they stay off the page until the bracket ends, so that each such
    /// record moves only the lines written since the last one.
    void resumePath(std::vector<std::string> Path);
    /// Puts held lines back where they stand, for a playback that ends by an exception.
    void restoreHeldPath();
    /// The path that a painting or clipping record ends (empty when there is none); the bracket
    /// is closed.
    std::vector<std::string> finishedPath();
    void beginPath();
    void endPath();
    void endPathWith(uint32_t Type);
    void selectClipPath();
    void intersectClipRect(const TEmfRecord& R);
    void extSelectClipRgn(const TEmfRecord& R);

    // Objects, device-context state and transforms (TMetafilePlayerObjects.cpp)
    /// The slot of an object index, or -1 when the index is at or above HandleCount.
    int64_t slot(uint32_t Index) const;
    void createPen(const TEmfRecord& R, bool Extended);
    void createBrush(const TEmfRecord& R);
    void createFont(const TEmfRecord& R);
    void deleteObject(const TEmfRecord& R);
    void selectObject(const TEmfRecord& R);
    void selectStock(uint32_t Number);
    void selectPen(const LOGPEN& Pen);
    void selectBrush(const LOGBRUSH& Brush);
    void selectFont(const LOGFONTA& Font, bool KeepAngles);
    void setState(const TEmfRecord& R);
    void setTextAlign(uint32_t Align);
    void setWorldTransform(const XFORM& X);
    void modifyWorldTransform(const TEmfRecord& R);
    void takeWorldTransform(const XFORM& X);
    void saveDC();
    void restoreDC(const TEmfRecord& R);

    // Bitmaps (TMetafilePlayerBitmaps.cpp)
    /// Codes the part (XSrc, YSrc, Width, Height) of the record's bitmap as an image of the
    /// document; -1 when the bitmap or the part is malformed or cannot be coded.
    int32_t addBitmap(const TEmfRecord& R, size_t BmiOffset, size_t BitsOffset, uint32_t Usage, int32_t XSrc,
                      int32_t YSrc, int32_t Width, int32_t Height, uint32_t Rop);
    void showAtBounds(int32_t Image, const TEmfRecord& R);
    void fillDestination(int32_t X, int32_t Y, int32_t Width, int32_t Height);
    void stretchDIBits(const TEmfRecord& R);
    void setDIBitsToDevice(const TEmfRecord& R);
    void bitBlt(const TEmfRecord& R, bool Stretch);

    // Text (TMetafilePlayerText.cpp)
    /// The fields of an EXTTEXTOUTA or EXTTEXTOUTW record.
    struct TextRecord {
        bool Wide = false;
        POINT Reference;
        uint32_t Count = 0, Options = 0;
        RECT Box;
        std::span<const uint8_t> Text, Advances;
    };
    void extTextOut(const TEmfRecord& R);
    /// False when a field, the string or the advances lie outside the record.
    bool readText(const TEmfRecord& R, TextRecord& T) const;
    void openTextClip(const TextRecord& T);
    /// Ends the text's clip and brings back a rectangle clip that was active before it.
    void closeTextClip(bool ClipWasActive);
    /// The opaque box: answers whether there was one to fill.
    bool fillTextBox(const TextRecord& T);
    /// The background of the run's character cells, which an opaque background mode paints
    /// when the record has no box of its own.
    void fillTextCell(TExtPoint Start, double Length);
    void showText(const TextRecord& T, bool FillCell);
    /// Each character's advance in device units into Widths; answers the run's length in
    /// logical units.
    double textAdvances(const TextRecord& T, std::vector<float>& Widths) const;
    /// Where the run starts in logical units; with TA_UPDATECP the current position moves on.
    TExtPoint textReference(const TextRecord& T, double Length);
    /// The start moved by the alignment (or the baseline switch turned on).
    TExtPoint placeText(TExtPoint P, double Length);
    void writeText(const TextRecord& T, TExtPoint At, const std::vector<float>& Widths);
    void selectTextFont();
    double textHeight(const char* Sample) const;

    // --- State
    int32_t MapMode = MM_TEXT;
    TPDFPage& Page;
    double ScaleX = 1, ScaleY = 1;
    std::unique_ptr<TMetafile> Metafile;
    std::unique_ptr<TMetafileCanvas> MetafileCanvas;
    HDC ShadowDC = nullptr;
    std::vector<uint8_t> Data;
    POINT CurrentPos;
    bool PolyFillAlternate = true;
    bool BkOpaque = true;
    COLORREF TextColor = 0, BkColor = 0;
    uint8_t VertAlign = 0, HorzAlign = 0;
    bool UpdateCP = false;
    bool ClipActive = false;
    bool ArcCounterClockwise = true;
    int32_t PenStyle = 0;
    double PenWidth = 0;
    COLORREF PenColor = 0, BrushColor = 0;
    LOGFONTA LogFont;
    COLORREF LastFillColor = 0;
    double SavedClipRect[4] = {};
    bool ClipRectSaved = false;
    bool TextColorMode = false;
    bool InPath = false;
    bool BrushNull = false;
    RECT HeaderBounds;
    bool FontPending = true;
    bool Finished = false;
    bool WorldTransformOK = false;
    XFORM OwnXForm;
    std::vector<XFORM> XFormStack;
    double XOffset = 0, YOffset = 0, XFactor = 1, YFactor = 1;
    POINT WindowOrg, ViewportOrg;
    SIZE WindowExt { 1, 1 }, ViewportExt { 1, 1 };
    uint32_t HandleCount = 0;
    std::vector<HGDIOBJ> HandleTable;
    SentState AtClipSave;
    /// Where the open path bracket's lines begin in the page's content (SIZE_MAX: none).
    size_t PathStart = SIZE_MAX;
    /// The open bracket's construction lines that stand, in order, at PathStart before the
    /// page's lines from there on.
    std::vector<std::string> HeldPath;
    /// The construction lines of a path whose bracket was closed, until it is painted.
    std::vector<std::string> PathLines;
};
