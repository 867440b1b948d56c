//===- EmfPlayer.cpp - Enhanced metafile records played onto a device context -===//
//
// Playback goes through the public drawing calls only, so a recording context as the target
// records the picture again, with its objects at indexes of its own. The picture's own mapping
// (map mode, window, viewport, world transform) is kept in a shadow context and handed to the
// target as one world transform: the picture's mapping, then the placement of its frame onto
// the destination rectangle, then the target's own world transform. The target's window and
// viewport stay as they were, so the destination rectangle means what the caller meant.
//
#include "platform/gdi/metafile/EnhMetaFile.h"

#include "platform/gdi/dc/DcBackend_p.h"
#include "platform/gdi/dc/DeviceContext_p.h"
#include "platform/gdi/bitmaps/Dib.h"
#include "platform/gdi/metafile/EmfRecords_p.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/AnsiString.h"

#include <algorithm>
#include <cmath>
#include <cstring>

using namespace gdi_private;

namespace {

bool finite(const XFORM& X)
{
    return std::isfinite(X.eM11) && std::isfinite(X.eM12) && std::isfinite(X.eM21) && std::isfinite(X.eM22)
           && std::isfinite(X.eDx) && std::isfinite(X.eDy);
}

// The drawing calls take a position and an extent and add them; a record whose sums leave the
// 32-bit range describes nothing drawable.
bool addable(int32_t A, int32_t B) { return int64_t(A) + B >= INT32_MIN && int64_t(A) + B <= INT32_MAX; }

bool sameXform(const XFORM& A, const XFORM& B) { return std::memcmp(&A, &B, sizeof A) == 0; }

std::string ansiText(std::span<const uint8_t> Units, bool Wide)
{
    std::string text;
    if (!Wide)
        return std::string(Units.begin(), Units.end());
    text.reserve(Units.size() / 2);
    for (size_t i = 0; i + 1 < Units.size(); i += 2) {
        char16_t unit = char16_t(Units[i] | (Units[i + 1] << 8));
        auto ansi = UnicodeToAnsiChar(unit);
        text.push_back(ansi ? char(*ansi) : '?');
    }
    return text;
}

std::vector<POINT> pointsOf(std::span<const uint8_t> Data, bool Short)
{
    std::vector<POINT> points(Data.size() / (Short ? 4 : 8));
    for (size_t i = 0; i < points.size(); ++i) {
        if (Short) {
            int16_t xy[2];
            std::memcpy(xy, Data.data() + 4 * i, 4);
            points[i] = POINT { xy[0], xy[1] };
        } else {
            std::memcpy(&points[i], Data.data() + 8 * i, 8);
        }
    }
    return points;
}

/// The device values of the picture's reference, for the shadow context's metric modes.
DeviceCaps referenceCaps(const Header& H, bool HasMicrometers)
{
    DeviceCaps caps;
    if (H.szlDevice.cx <= 0 || H.szlDevice.cy <= 0)
        return caps;
    double mmX = HasMicrometers && H.szlMicrometers.cx > 0 ? H.szlMicrometers.cx / 1000.0 : H.szlMillimeters.cx;
    double mmY = HasMicrometers && H.szlMicrometers.cy > 0 ? H.szlMicrometers.cy / 1000.0 : H.szlMillimeters.cy;
    if (mmX <= 0 || mmY <= 0)
        return caps;
    caps.horzRes = H.szlDevice.cx, caps.vertRes = H.szlDevice.cy;
    caps.logPixelsX = std::clamp(int(std::lround(H.szlDevice.cx * 25.4 / mmX)), 1, 100000);
    caps.logPixelsY = std::clamp(int(std::lround(H.szlDevice.cy * 25.4 / mmY)), 1, 100000);
    return caps;
}

class Player {
public:
    Player(HDC Target, const EnhMetaFile& Metafile) : target_(Target), bytes_(Metafile.Bytes())
    {
        std::memcpy(&header_, bytes_.data(), std::min(bytes_.size(), sizeof header_));
        hasMicrometers_ = header_.nSize >= sizeof(Header);
    }
    ~Player();
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    bool begin(const RECT& Dest);
    void playAll();

private:
    // Setup
    XFORM placement(const RECT& Dest) const;
    void resetToDefaults();

    // One record
    void play(const RecordView& R);
    void poly(const RecordView& R, bool Short, bool Closed);
    void polyPoly(const RecordView& R, bool Short, bool Closed);
    void shape(const RecordView& R);
    void mapping(const RecordView& R);
    void worldTransform(const RecordView& R);
    void saveOrRestore(const RecordView& R);
    void createObject(const RecordView& R);
    void patternBrush(const RecordView& R);
    void selectObject(const RecordView& R);
    void deleteObject(const RecordView& R);
    void clipRegion(const RecordView& R);
    void text(const RecordView& R);
    void bitBlt(const RecordView& R);
    void stretchDibits(const RecordView& R);
    void setDibitsToDevice(const RecordView& R);

    /// The picture's mapping followed by the placement, as the target's world transform.
    void applyMapping(const XFORM* LeftMultiplied);
    HGDIOBJ* slot(uint32_t Index);
    std::unique_ptr<Dib> picture(const RecordView& R, size_t OffBmi, size_t OffBits, UINT Usage) const;
    /// The source rectangle's top row counted from the top of the picture.
    static int topRow(const Dib& Picture, int YSource, int Height);

    HDC target_;
    std::span<const uint8_t> bytes_;
    Header header_ {};
    bool hasMicrometers_ = false;
    int baseLevel_ = 0;
    HDC shadow_ = nullptr;
    QTransform base_;       // picture device pixels to the target's logical units, then its world
    QTransform baseDevice_; // picture device pixels to target device pixels
    HRGN initialClip_ = nullptr;
    std::vector<HGDIOBJ> objects_;
    int depth_ = 0; // the picture's saves still open
    bool finished_ = false;
};

Player::~Player()
{
    if (baseLevel_)
        RestoreDC(target_, baseLevel_);
    for (HGDIOBJ object : objects_)
        if (object)
            DeleteObject(object);
    if (initialClip_)
        DeleteObject(initialClip_);
    if (shadow_)
        DeleteDC(shadow_);
}

// Frame (0.01 mm, left/top edge to right/bottom edge) in the reference's pixels, mapped onto Dest.
XFORM Player::placement(const RECT& Dest) const
{
    const RECT frame { header_.rclFrame[0], header_.rclFrame[1], header_.rclFrame[2], header_.rclFrame[3] };
    const RECT bounds { header_.rclBounds[0], header_.rclBounds[1], header_.rclBounds[2], header_.rclBounds[3] };
    auto perUnit = [&](int32_t Device, int32_t Micrometers, int32_t Millimeters) {
        if (Device > 0 && hasMicrometers_ && Micrometers > 0)
            return Device * 10.0 / Micrometers;
        if (Device > 0 && Millimeters > 0)
            return Device / (Millimeters * 100.0);
        return 96 / 2540.0;
    };
    const double kx = perUnit(header_.szlDevice.cx, header_.szlMicrometers.cx, header_.szlMillimeters.cx);
    const double ky = perUnit(header_.szlDevice.cy, header_.szlMicrometers.cy, header_.szlMillimeters.cy);
    auto axis = [](double From, double To, double Edge0, double Edge1, float& Scale, float& Offset) {
        const double source = To - From, dest = Edge1 - Edge0;
        double s = source > 0 ? dest / source : 1.0;
        // 0.01 mm cannot hold every pixel extent exactly: a frame whose pixel extent rounds to
        // the destination's is a 1:1 placement.
        if (source > 0 && std::lround(source) == std::lround(std::abs(dest))) {
            s = dest < 0 ? -1.0 : 1.0;
            From = std::round(From);
        }
        Scale = float(s);
        Offset = float(Edge0 - From * s);
    };
    XFORM x;
    if (frame.right > frame.left && frame.bottom > frame.top) {
        axis(frame.left * kx, frame.right * kx, Dest.left, Dest.right, x.eM11, x.eDx);
        axis(frame.top * ky, frame.bottom * ky, Dest.top, Dest.bottom, x.eM22, x.eDy);
    } else {
        axis(bounds.left, bounds.right + 1.0, Dest.left, Dest.right, x.eM11, x.eDx);
        axis(bounds.top, bounds.bottom + 1.0, Dest.top, Dest.bottom, x.eM22, x.eDy);
    }
    return x;
}

// A picture starts from a fresh context's state, whatever the target holds.
void Player::resetToDefaults()
{
    auto stock = [&](int Index, UINT Type) {
        HGDIOBJ object = GetStockObject(Index);
        if (GetCurrentObject(target_, Type) != object)
            SelectObject(target_, object);
    };
    stock(BLACK_PEN, OBJ_PEN);
    stock(WHITE_BRUSH, OBJ_BRUSH);
    stock(SYSTEM_FONT, OBJ_FONT);
    if (GetBkMode(target_) != OPAQUE)
        SetBkMode(target_, OPAQUE);
    if (GetBkColor(target_) != 0xFFFFFF)
        SetBkColor(target_, 0xFFFFFF);
    if (GetTextColor(target_) != 0)
        SetTextColor(target_, 0);
    if (GetTextAlign(target_) != 0)
        SetTextAlign(target_, 0);
    if (GetROP2(target_) != R2_COPYPEN)
        SetROP2(target_, R2_COPYPEN);
    if (GetPolyFillMode(target_) != ALTERNATE)
        SetPolyFillMode(target_, ALTERNATE);
    if (GetStretchBltMode(target_) != BLACKONWHITE)
        SetStretchBltMode(target_, BLACKONWHITE);
    if (GetArcDirection(target_) != AD_COUNTERCLOCKWISE)
        SetArcDirection(target_, AD_COUNTERCLOCKWISE);
    POINT position;
    if (GetCurrentPositionEx(target_, &position) && (position.x || position.y))
        MoveToEx(target_, 0, 0, nullptr);
}

bool Player::begin(const RECT& Dest)
{
    baseLevel_ = SaveDC(target_);
    if (!baseLevel_)
        return false;
    if (GetGraphicsMode(target_) != GM_ADVANCED)
        SetGraphicsMode(target_, GM_ADVANCED);
    resetToDefaults();
    const XFORM place = placement(Dest);
    if (!ModifyWorldTransform(target_, &place, MWT_LEFTMULTIPLY))
        return false; // an empty destination
    XFORM world;
    GetWorldTransform(target_, &world);
    base_ = qTransform(world);
    if (DeviceContext* dc = FindDeviceContext(target_))
        baseDevice_ = dc->state().toDevice();

    initialClip_ = CreateRectRgn(0, 0, 0, 0);
    if (GetClipRgn(target_, initialClip_) != 1) {
        DeleteObject(initialClip_);
        initialClip_ = nullptr;
    }
    shadow_ = CreateDeviceContext(DeviceContext::Kind::Image, std::make_unique<NullBackend>(),
                                  referenceCaps(header_, hasMicrometers_));
    SetGraphicsMode(shadow_, GM_ADVANCED);
    objects_.assign(std::max<size_t>(header_.nHandles, 1), nullptr);
    return true;
}

void Player::playAll()
{
    RecordWalker walker(bytes_);
    walker.next(); // the header
    for (auto record = walker.next(); !record.empty() && !finished_; record = walker.next())
        play(RecordView(record));
}

void Player::play(const RecordView& R)
{
    HDC t = target_;
    switch (R.type()) {
    case EMR_EOF: finished_ = true; return;
    case EMR_POLYGON: return poly(R, false, true);
    case EMR_POLYLINE: return poly(R, false, false);
    case EMR_POLYGON16: return poly(R, true, true);
    case EMR_POLYLINE16: return poly(R, true, false);
    case EMR_POLYPOLYGON: return polyPoly(R, false, true);
    case EMR_POLYPOLYLINE: return polyPoly(R, false, false);
    case EMR_POLYPOLYGON16: return polyPoly(R, true, true);
    case EMR_POLYPOLYLINE16: return polyPoly(R, true, false);
    case EMR_RECTANGLE:
    case EMR_ELLIPSE:
    case EMR_ROUNDRECT:
    case EMR_ARC:
    case EMR_CHORD:
    case EMR_PIE: return shape(R);
    case EMR_MOVETOEX:
    case EMR_LINETO: {
        POINT p = R.point(8);
        if (!R.ok())
            return;
        if (R.type() == EMR_LINETO)
            LineTo(t, p.x, p.y);
        else
            MoveToEx(t, p.x, p.y, nullptr);
        return;
    }
    case EMR_SETPIXELV: {
        POINT p = R.point(8);
        COLORREF c = R.u32(16);
        if (R.ok())
            SetPixel(t, p.x, p.y, c);
        return;
    }
    case EMR_SETTEXTCOLOR:
    case EMR_SETBKCOLOR:
    case EMR_SETBKMODE:
    case EMR_SETTEXTALIGN:
    case EMR_SETROP2:
    case EMR_SETPOLYFILLMODE:
    case EMR_SETSTRETCHBLTMODE:
    case EMR_SETARCDIRECTION: {
        const uint32_t v = R.u32(8);
        if (!R.ok())
            return;
        switch (R.type()) {
        case EMR_SETTEXTCOLOR: SetTextColor(t, v); break;
        case EMR_SETBKCOLOR: SetBkColor(t, v); break;
        case EMR_SETBKMODE: SetBkMode(t, int(v)); break;
        case EMR_SETTEXTALIGN: SetTextAlign(t, v); break;
        case EMR_SETROP2: SetROP2(t, int(v)); break;
        case EMR_SETPOLYFILLMODE: SetPolyFillMode(t, int(v)); break;
        case EMR_SETSTRETCHBLTMODE: SetStretchBltMode(t, int(v)); break;
        default: SetArcDirection(t, int(v)); break;
        }
        return;
    }
    case EMR_SETMAPMODE:
    case EMR_SETWINDOWORGEX:
    case EMR_SETWINDOWEXTEX:
    case EMR_SETVIEWPORTORGEX:
    case EMR_SETVIEWPORTEXTEX: return mapping(R);
    case EMR_SETWORLDTRANSFORM:
    case EMR_MODIFYWORLDTRANSFORM: return worldTransform(R);
    case EMR_SAVEDC:
    case EMR_RESTOREDC: return saveOrRestore(R);
    case EMR_CREATEPEN:
    case EMR_EXTCREATEPEN:
    case EMR_CREATEBRUSHINDIRECT:
    case EMR_EXTCREATEFONTINDIRECTW: return createObject(R);
    case EMR_CREATEMONOBRUSH:
    case EMR_CREATEDIBPATTERNBRUSHPT: return patternBrush(R);
    case EMR_SELECTOBJECT: return selectObject(R);
    case EMR_DELETEOBJECT: return deleteObject(R);
    case EMR_INTERSECTCLIPRECT:
    case EMR_EXCLUDECLIPRECT: {
        RECT r = R.rect(8);
        if (!R.ok())
            return;
        if (R.type() == EMR_INTERSECTCLIPRECT)
            IntersectClipRect(t, r.left, r.top, r.right, r.bottom);
        else
            ExcludeClipRect(t, r.left, r.top, r.right, r.bottom);
        return;
    }
    case EMR_EXTSELECTCLIPRGN: return clipRegion(R);
    case EMR_EXTTEXTOUTA:
    case EMR_EXTTEXTOUTW: return text(R);
    case EMR_BITBLT:
    case EMR_STRETCHBLT: return bitBlt(R);
    case EMR_STRETCHDIBITS: return stretchDibits(R);
    case EMR_SETDIBITSTODEVICE: return setDibitsToDevice(R);
    default: return; // records we do not draw are skipped by their size
    }
}

// ---- Lines and shapes

void Player::poly(const RecordView& R, bool Short, bool Closed)
{
    const uint32_t count = R.u32(24);
    auto data = R.bytes(EmfLayout::PolyPoints, count, Short ? 4 : 8);
    if (!R.ok())
        return;
    std::vector<POINT> points = pointsOf(data, Short);
    if (Closed)
        Polygon(target_, points.data(), int(points.size()));
    else
        Polyline(target_, points.data(), int(points.size()));
}

void Player::polyPoly(const RecordView& R, bool Short, bool Closed)
{
    const uint32_t polygons = R.u32(24), total = R.u32(28);
    auto countData = R.bytes(EmfLayout::PolyPolyCounts, polygons, 4);
    auto pointData = R.bytes(EmfLayout::PolyPolyCounts + uint64_t(polygons) * 4, total, Short ? 4 : 8);
    if (!R.ok())
        return;
    std::vector<int> counts(polygons);
    uint64_t sum = 0;
    for (uint32_t i = 0; i < polygons; ++i) {
        uint32_t c;
        std::memcpy(&c, countData.data() + 4 * i, 4);
        counts[i] = int(std::min<uint32_t>(c, INT32_MAX));
        sum += c;
    }
    if (!R.require(sum == total) || polygons == 0)
        return;
    std::vector<POINT> points = pointsOf(pointData, Short);
    if (Closed) {
        PolyPolygon(target_, points.data(), counts.data(), int(polygons));
        return;
    }
    size_t at = 0;
    for (int c : counts) {
        Polyline(target_, points.data() + at, c);
        at += size_t(c);
    }
}

void Player::shape(const RecordView& R)
{
    const RECT b = R.rect(8);
    const POINT a = R.type() >= EMR_ROUNDRECT ? R.point(24) : POINT {};
    const POINT e = R.type() >= EMR_ARC ? R.point(32) : POINT {};
    if (!R.ok())
        return;
    switch (R.type()) {
    case EMR_RECTANGLE: Rectangle(target_, b.left, b.top, b.right, b.bottom); break;
    case EMR_ELLIPSE: Ellipse(target_, b.left, b.top, b.right, b.bottom); break;
    case EMR_ROUNDRECT: RoundRect(target_, b.left, b.top, b.right, b.bottom, a.x, a.y); break;
    case EMR_ARC: Arc(target_, b.left, b.top, b.right, b.bottom, a.x, a.y, e.x, e.y); break;
    case EMR_CHORD: Chord(target_, b.left, b.top, b.right, b.bottom, a.x, a.y, e.x, e.y); break;
    default: Pie(target_, b.left, b.top, b.right, b.bottom, a.x, a.y, e.x, e.y); break;
    }
}

// ---- Mapping and state

void Player::applyMapping(const XFORM* LeftMultiplied)
{
    DeviceContext* shadow = FindDeviceContext(shadow_);
    if (!shadow)
        return;
    const DcState& s = shadow->state();
    const bool plainPage = s.mapMode == MM_TEXT && s.windowOrg.x == 0 && s.windowOrg.y == 0 && s.viewportOrg.x == 0
                           && s.viewportOrg.y == 0;
    // The record itself when it means the same on the target: re-recorded pictures keep it.
    if (LeftMultiplied && plainPage) {
        ModifyWorldTransform(target_, LeftMultiplied, MWT_LEFTMULTIPLY);
        return;
    }
    const XFORM wanted = xform(s.toDevice() * base_);
    XFORM current;
    GetWorldTransform(target_, &current);
    if (finite(wanted) && !sameXform(wanted, current))
        SetWorldTransform(target_, wanted);
}

void Player::mapping(const RecordView& R)
{
    const int32_t x = R.i32(8), y = R.type() == EMR_SETMAPMODE ? 0 : R.i32(12);
    if (!R.ok())
        return;
    switch (R.type()) {
    case EMR_SETMAPMODE: SetMapMode(shadow_, x); break;
    case EMR_SETWINDOWORGEX: SetWindowOrgEx(shadow_, x, y, nullptr); break;
    case EMR_SETWINDOWEXTEX: SetWindowExtEx(shadow_, x, y, nullptr); break;
    case EMR_SETVIEWPORTORGEX: SetViewportOrgEx(shadow_, x, y, nullptr); break;
    default: SetViewportExtEx(shadow_, x, y, nullptr); break;
    }
    applyMapping(nullptr);
}

void Player::worldTransform(const RecordView& R)
{
    const XFORM x = R.xform(8);
    const uint32_t mode = R.type() == EMR_MODIFYWORLDTRANSFORM ? R.u32(32) : 0;
    if (!R.ok() || !R.require(finite(x)))
        return;
    if (R.type() == EMR_SETWORLDTRANSFORM) {
        if (SetWorldTransform(shadow_, x))
            applyMapping(nullptr);
        return;
    }
    if (ModifyWorldTransform(shadow_, &x, int(mode)))
        applyMapping(mode == MWT_LEFTMULTIPLY ? &x : nullptr);
}

void Player::saveOrRestore(const RecordView& R)
{
    if (R.type() == EMR_SAVEDC) {
        if (SaveDC(target_) && SaveDC(shadow_))
            ++depth_;
        return;
    }
    const int32_t relative = R.i32(8);
    if (!R.ok())
        return;
    // The picture may only return to states it saved itself, never past the playback's own.
    if (relative < 0 && -int64_t(relative) <= depth_) {
        RestoreDC(target_, relative);
        RestoreDC(shadow_, relative);
        depth_ += relative;
    } else if (relative > 0 && relative <= depth_) {
        RestoreDC(target_, baseLevel_ + relative);
        RestoreDC(shadow_, relative);
        depth_ = relative - 1;
    }
}

// ---- Objects

HGDIOBJ* Player::slot(uint32_t Index)
{
    if (Index == 0 || Index >= objects_.size())
        return nullptr;
    return &objects_[Index];
}

void Player::createObject(const RecordView& R)
{
    HGDIOBJ* at = slot(R.u32(8));
    if (!at)
        return;
    HGDIOBJ made = nullptr;
    switch (R.type()) {
    case EMR_CREATEPEN: {
        const uint32_t style = R.u32(12);
        const int32_t width = R.i32(16);
        const COLORREF colour = R.u32(24);
        if (R.ok())
            made = CreatePen(int(style), width, colour);
        break;
    }
    case EMR_EXTCREATEPEN: {
        const uint32_t style = R.u32(28);
        const uint32_t width = R.u32(32);
        const LOGBRUSH brush { R.u32(36), R.u32(40), R.u32(44) };
        if (!R.ok())
            break;
        made = ExtCreatePen(style, width, brush, 0, nullptr);
        // What this platform does not keep (user styles, pattern brushes) becomes the plain pen
        // of the style, width and colour.
        const uint32_t plain = style & PS_STYLE_MASK;
        if (!made)
            made = CreatePen(plain == PS_ALTERNATE    ? PS_DOT
                             : plain > PS_INSIDEFRAME ? PS_SOLID
                                                      : int(plain),
                             int(std::min<uint32_t>(width, INT32_MAX)), brush.lbColor);
        break;
    }
    case EMR_CREATEBRUSHINDIRECT: {
        const LOGBRUSH b { R.u32(12), R.u32(16), R.u32(20) };
        // A pattern brush names a bitmap handle of the writer's process: nothing of ours.
        if (R.ok() && b.lbStyle != BS_PATTERN)
            made = CreateBrushIndirect(b);
        break;
    }
    default: { // EMR_EXTCREATEFONTINDIRECTW
        LOGFONTA f;
        f.lfHeight = R.i32(12), f.lfWidth = R.i32(16), f.lfEscapement = R.i32(20), f.lfOrientation = R.i32(24);
        f.lfWeight = R.i32(28);
        f.lfItalic = R.u8(32), f.lfUnderline = R.u8(33), f.lfStrikeOut = R.u8(34), f.lfCharSet = R.u8(35);
        f.lfOutPrecision = R.u8(36), f.lfClipPrecision = R.u8(37), f.lfQuality = R.u8(38);
        f.lfPitchAndFamily = R.u8(39);
        std::string face = ansiText(R.bytes(40, LF_FACESIZE, 2), true);
        if (!R.ok())
            return;
        face = face.substr(0, face.find('\0'));
        std::memcpy(f.lfFaceName, face.data(), std::min(face.size(), size_t(LF_FACESIZE - 1)));
        made = CreateFontIndirect(f);
        break;
    }
    }
    if (!made)
        return;
    if (*at)
        DeleteObject(*at);
    *at = made;
}

void Player::patternBrush(const RecordView& R)
{
    HGDIOBJ* at = slot(R.u32(8));
    if (!at)
        return;
    // Monochrome brushes name their table DIB_PAL_MONO (2) in other writers' files: colours.
    const UINT usage = R.u32(12) == DIB_PAL_COLORS ? DIB_PAL_COLORS : DIB_RGB_COLORS;
    std::unique_ptr<Dib> tile = picture(R, 16, 24, usage);
    if (!tile)
        return;
    HBITMAP bitmap = CreateBitmapFromDib(std::move(tile));
    HBRUSH brush = CreatePatternBrush(bitmap);
    DeleteObject(bitmap);
    if (!brush)
        return;
    if (*at)
        DeleteObject(*at);
    *at = brush;
}

void Player::selectObject(const RecordView& R)
{
    const uint32_t index = R.u32(8);
    if (!R.ok())
        return;
    if (index & ENHMETA_STOCK_OBJECT) {
        if (HGDIOBJ stock = GetStockObject(int(index & ~ENHMETA_STOCK_OBJECT)))
            SelectObject(target_, stock);
        return;
    }
    if (HGDIOBJ* at = slot(index); at && *at)
        SelectObject(target_, *at);
}

void Player::deleteObject(const RecordView& R)
{
    HGDIOBJ* at = slot(R.u32(8));
    if (!at || !*at)
        return;
    DeleteObject(*at); // a selected object lives on until it is no longer selected
    *at = nullptr;
}

// ---- Clipping

// Regions are in the picture's device pixels: they go through the placement onto the target's
// pixels, and never beyond the clip the target had when playback began. The combined clip is
// selected whole, so that a recording target writes one RGN_COPY that a reader ignoring the
// mode still clips by.
void Player::clipRegion(const RecordView& R)
{
    const uint32_t size = R.u32(8), mode = R.u32(12);
    if (!R.ok())
        return;
    if (size == 0) {
        if (mode == RGN_COPY)
            SelectClipRgn(target_, initialClip_);
        return;
    }
    auto data = R.bytes(16, size);
    const uint32_t count = R.u32(16 + 8);
    auto rects = R.bytes(16 + EmfLayout::RgnDataHeaderSize, count, 16);
    if (!R.ok() || !R.require(EmfLayout::RgnDataHeaderSize + uint64_t(count) * 16 <= data.size()))
        return;
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    for (uint32_t i = 0; i < count; ++i) {
        int32_t r[4];
        std::memcpy(r, rects.data() + 16 * i, 16);
        QRectF mapped = baseDevice_.mapRect(QRectF(QPointF(r[0], r[1]), QPointF(r[2], r[3])));
        constexpr double limit = double(1 << 26);
        auto edge = [&](double V) { return int(std::lround(std::clamp(V, -limit, limit))); };
        HRGN piece =
            CreateRectRgn(edge(mapped.left()), edge(mapped.top()), edge(mapped.right()), edge(mapped.bottom()));
        CombineRgn(region, region, piece, RGN_OR);
        DeleteObject(piece);
    }
    if (mode < RGN_AND || mode > RGN_COPY) {
        DeleteObject(region);
        return;
    }
    if (mode != RGN_COPY) {
        HRGN current = CreateRectRgn(0, 0, 0, 0);
        const int hasClip = GetClipRgn(target_, current);
        // Without a clip there is no outer clip either: the target combines with its surface.
        if (hasClip == 1)
            CombineRgn(region, current, region, int(mode));
        else if (hasClip == 0)
            ExtSelectClipRgn(target_, region, int(mode));
        DeleteObject(current);
        if (hasClip != 1) {
            DeleteObject(region);
            return;
        }
    }
    if (initialClip_)
        CombineRgn(region, region, initialClip_, RGN_AND);
    SelectClipRgn(target_, region);
    DeleteObject(region);
}

// ---- Text

void Player::text(const RecordView& R)
{
    const bool wide = R.type() == EMR_EXTTEXTOUTW;
    const POINT reference = R.point(EmfLayout::TextReference);
    const uint32_t count = R.u32(EmfLayout::TextChars), offString = R.u32(EmfLayout::TextOffString);
    const uint32_t options = R.u32(EmfLayout::TextOptions) & (ETO_OPAQUE | ETO_CLIPPED);
    const RECT rect = R.rect(EmfLayout::TextRect);
    const uint32_t offDx = R.u32(EmfLayout::TextOffDx);
    auto units = R.bytes(offString, count, wide ? 2 : 1);
    auto advances = offDx ? R.bytes(offDx, count, 4) : std::span<const uint8_t>();
    if (!R.ok())
        return;
    const std::string text = ansiText(units, wide);
    std::vector<int> dx(offDx ? count : 0);
    if (!dx.empty())
        std::memcpy(dx.data(), advances.data(), advances.size());
    ExtTextOut(target_, reference.x, reference.y, options, options ? &rect : nullptr, text,
               dx.empty() ? nullptr : dx.data());
}

// ---- Bitmaps

std::unique_ptr<Dib> Player::picture(const RecordView& R, size_t OffBmi, size_t OffBits, UINT Usage) const
{
    const uint32_t offBmi = R.u32(OffBmi), cbBmi = R.u32(OffBmi + 4);
    const uint32_t offBits = R.u32(OffBits), cbBits = R.u32(OffBits + 4);
    auto info = R.bytes(offBmi, cbBmi);
    auto bits = R.bytes(offBits, cbBits);
    if (!R.ok() || cbBmi == 0)
        return nullptr;
    return Dib::FromPackedScans(info, bits, Usage, 0, UINT32_MAX);
}

int Player::topRow(const Dib& Picture, int YSource, int Height)
{
    // The rows of a bottom-up picture are counted from its bottom.
    if (Picture.TopDown())
        return YSource;
    return int(std::clamp<int64_t>(int64_t(Picture.Height()) - YSource - Height, INT32_MIN, INT32_MAX));
}

void Player::bitBlt(const RecordView& R)
{
    const int32_t x = R.i32(24), y = R.i32(28), cx = R.i32(32), cy = R.i32(36);
    const uint32_t rop = R.u32(40);
    const int32_t xSrc = R.i32(44), ySrc = R.i32(48);
    const uint32_t cbBmi = R.u32(88);
    const bool stretch = R.type() == EMR_STRETCHBLT;
    const int32_t cxSrc = stretch ? R.i32(100) : cx, cySrc = stretch ? R.i32(104) : cy;
    if (!R.ok() || !R.require(addable(x, cx) && addable(y, cy) && addable(xSrc, cxSrc) && addable(ySrc, cySrc)))
        return;
    if (cbBmi == 0) {
        PatBlt(target_, x, y, cx, cy, rop);
        return;
    }
    if (auto dib = picture(R, 84, 92, R.u32(80)))
        StretchDIBits(target_, x, y, cx, cy, xSrc, topRow(*dib, ySrc, cySrc), cxSrc, cySrc, *dib, rop);
}

void Player::stretchDibits(const RecordView& R)
{
    const int32_t x = R.i32(24), y = R.i32(28), xSrc = R.i32(32), ySrc = R.i32(36);
    const int32_t cxSrc = R.i32(40), cySrc = R.i32(44);
    const uint32_t rop = R.u32(68);
    const int32_t cx = R.i32(72), cy = R.i32(76);
    if (!R.ok() || !R.require(addable(x, cx) && addable(y, cy) && addable(xSrc, cxSrc) && addable(ySrc, cySrc)))
        return;
    if (auto dib = picture(R, 48, 56, R.u32(64)))
        StretchDIBits(target_, x, y, cx, cy, xSrc, topRow(*dib, ySrc, cySrc), cxSrc, cySrc, *dib, rop);
}

void Player::setDibitsToDevice(const RecordView& R)
{
    const int32_t x = R.i32(24), y = R.i32(28), xSrc = R.i32(32), ySrc = R.i32(36);
    const int32_t cx = R.i32(40), cy = R.i32(44);
    const uint32_t usage = R.u32(64), startScan = R.u32(68), scans = R.u32(72);
    auto info = R.bytes(R.u32(48), R.u32(52));
    auto bits = R.bytes(R.u32(56), R.u32(60));
    if (!R.ok()
        || !R.require(cx >= 0 && cy >= 0 && addable(x, cx) && addable(y, cy) && addable(xSrc, cx) && addable(ySrc, cy)))
        return;
    SetDIBitsToDevice(target_, x, y, UINT(cx), UINT(cy), xSrc, ySrc, startScan, scans, bits, info, usage);
}

} // namespace

bool PlayEnhMetaFile(HDC Dc, const EnhMetaFile& Metafile, const RECT& Dest)
{
    if (!FindDeviceContext(Dc))
        return false;
    Player player(Dc, Metafile);
    if (player.begin(Dest))
        player.playAll();
    return true;
}
