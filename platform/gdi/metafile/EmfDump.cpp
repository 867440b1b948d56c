//===- EmfDump.cpp - Enhanced metafile records as text, one line each ------===//
#include "platform/gdi/metafile/EnhMetaFile.h"

#include "platform/gdi/bitmaps/Dib.h"
#include "platform/gdi/metafile/EmfRecords_p.h"

#include <array>
#include <cstdio>
#include <cstring>

using namespace gdi_private;

namespace {

constexpr std::array<std::string_view, 123> names = {
    "",
    "HEADER",
    "POLYBEZIER",
    "POLYGON",
    "POLYLINE",
    "POLYBEZIERTO",
    "POLYLINETO",
    "POLYPOLYLINE",
    "POLYPOLYGON",
    "SETWINDOWEXTEX",
    "SETWINDOWORGEX",
    "SETVIEWPORTEXTEX",
    "SETVIEWPORTORGEX",
    "SETBRUSHORGEX",
    "EOF",
    "SETPIXELV",
    "SETMAPPERFLAGS",
    "SETMAPMODE",
    "SETBKMODE",
    "SETPOLYFILLMODE",
    "SETROP2",
    "SETSTRETCHBLTMODE",
    "SETTEXTALIGN",
    "SETCOLORADJUSTMENT",
    "SETTEXTCOLOR",
    "SETBKCOLOR",
    "OFFSETCLIPRGN",
    "MOVETOEX",
    "SETMETARGN",
    "EXCLUDECLIPRECT",
    "INTERSECTCLIPRECT",
    "SCALEVIEWPORTEXTEX",
    "SCALEWINDOWEXTEX",
    "SAVEDC",
    "RESTOREDC",
    "SETWORLDTRANSFORM",
    "MODIFYWORLDTRANSFORM",
    "SELECTOBJECT",
    "CREATEPEN",
    "CREATEBRUSHINDIRECT",
    "DELETEOBJECT",
    "ANGLEARC",
    "ELLIPSE",
    "RECTANGLE",
    "ROUNDRECT",
    "ARC",
    "CHORD",
    "PIE",
    "SELECTPALETTE",
    "CREATEPALETTE",
    "SETPALETTEENTRIES",
    "RESIZEPALETTE",
    "REALIZEPALETTE",
    "EXTFLOODFILL",
    "LINETO",
    "ARCTO",
    "POLYDRAW",
    "SETARCDIRECTION",
    "SETMITERLIMIT",
    "BEGINPATH",
    "ENDPATH",
    "CLOSEFIGURE",
    "FILLPATH",
    "STROKEANDFILLPATH",
    "STROKEPATH",
    "FLATTENPATH",
    "WIDENPATH",
    "SELECTCLIPPATH",
    "ABORTPATH",
    "",
    "GDICOMMENT",
    "FILLRGN",
    "FRAMERGN",
    "INVERTRGN",
    "PAINTRGN",
    "EXTSELECTCLIPRGN",
    "BITBLT",
    "STRETCHBLT",
    "MASKBLT",
    "PLGBLT",
    "SETDIBITSTODEVICE",
    "STRETCHDIBITS",
    "EXTCREATEFONTINDIRECTW",
    "EXTTEXTOUTA",
    "EXTTEXTOUTW",
    "POLYBEZIER16",
    "POLYGON16",
    "POLYLINE16",
    "POLYBEZIERTO16",
    "POLYLINETO16",
    "POLYPOLYLINE16",
    "POLYPOLYGON16",
    "POLYDRAW16",
    "CREATEMONOBRUSH",
    "CREATEDIBPATTERNBRUSHPT",
    "EXTCREATEPEN",
    "POLYTEXTOUTA",
    "POLYTEXTOUTW",
    "SETICMMODE",
    "CREATECOLORSPACE",
    "SETCOLORSPACE",
    "DELETECOLORSPACE",
    "GLSRECORD",
    "GLSBOUNDEDRECORD",
    "PIXELFORMAT",
    "DRAWESCAPE",
    "EXTESCAPE",
    "",
    "SMALLTEXTOUT",
    "FORCEUFIMAPPING",
    "NAMEDESCAPE",
    "COLORCORRECTPALETTE",
    "SETICMPROFILEA",
    "SETICMPROFILEW",
    "ALPHABLEND",
    "SETLAYOUT",
    "TRANSPARENTBLT",
    "",
    "GRADIENTFILL",
    "SETLINKEDUFIS",
    "SETTEXTJUSTIFICATION",
    "COLORMATCHTOTARGETW",
    "CREATECOLORSPACEW",
};

std::string num(int64_t V) { return std::to_string(V); }

std::string hex(uint32_t V)
{
    char b[16];
    std::snprintf(b, sizeof b, "0x%08X", V);
    return b;
}

std::string flt(float V)
{
    char b[32];
    std::snprintf(b, sizeof b, "%g", double(V));
    return b;
}

std::string pt(POINT P) { return "(" + num(P.x) + "," + num(P.y) + ")"; }
std::string rc(const RECT& R) { return pt(POINT { R.left, R.top }) + "-" + pt(POINT { R.right, R.bottom }); }

// Text as UTF-8 in quotes; quotes, backslashes and control characters escaped.
std::string quoted(std::span<const uint8_t> Units, bool Wide)
{
    std::string out = "\"";
    const size_t step = Wide ? 2 : 1;
    for (size_t i = 0; i + step <= Units.size(); i += step) {
        uint32_t c = Wide ? uint32_t(Units[i] | (Units[i + 1] << 8)) : Units[i];
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20 || c == 0x7F || (!Wide && c >= 0x80) || (c >= 0xD800 && c < 0xE000)) {
            char b[12];
            std::snprintf(b, sizeof b, "\\x%02X", c);
            if (c > 0xFF)
                std::snprintf(b, sizeof b, "\\u%04X", c);
            out += b;
        } else if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | (c >> 6)), out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xE0 | (c >> 12)), out += char(0x80 | ((c >> 6) & 0x3F)), out += char(0x80 | (c & 0x3F));
        }
    }
    return out + "\"";
}

std::string points(const RecordView& R, uint64_t Offset, uint32_t Count, bool Short)
{
    auto data = R.bytes(Offset, Count, Short ? 4 : 8);
    std::string out;
    for (uint32_t i = 0; i < Count && R.ok(); ++i) {
        POINT p;
        if (Short) {
            int16_t xy[2];
            std::memcpy(xy, data.data() + 4 * i, 4);
            p = POINT { xy[0], xy[1] };
        } else {
            std::memcpy(&p, data.data() + 8 * i, 8);
        }
        out += " " + pt(p);
    }
    return out;
}

// A short fingerprint of pixel bytes (FNV-1a), so that dumps tell pictures apart.
uint32_t fingerprint(std::span<const uint8_t> Bytes)
{
    uint32_t h = 2166136261u;
    for (uint8_t b : Bytes)
        h = (h ^ b) * 16777619u;
    return h;
}

std::string bitmap(const RecordView& R, size_t OffBmi, size_t OffBits)
{
    const uint32_t offBmi = R.u32(OffBmi), cbBmi = R.u32(OffBmi + 4), offBits = R.u32(OffBits),
                   cbBits = R.u32(OffBits + 4);
    if (cbBmi == 0)
        return " no-bitmap";
    auto info = R.bytes(offBmi, cbBmi);
    auto bits = R.bytes(offBits, cbBits);
    if (!R.ok())
        return "";
    std::string error;
    auto dib = Dib::FromPacked(info, bits, &error);
    if (!dib)
        return " dib=invalid";
    std::string out = " dib=" + num(dib->Width()) + "x" + num(dib->Height()) + "x" + num(dib->Bits());
    out += dib->TopDown() ? " top-down" : "";
    if (!dib->Palette().empty() && dib->Palette().size() <= 16) {
        out += " colours=";
        for (size_t i = 0; i < dib->Palette().size(); ++i) {
            const RGBQUAD& q = dib->Palette()[i];
            out += (i ? "," : "") + hex(RGB(q.rgbRed, q.rgbGreen, q.rgbBlue));
        }
    }
    return out + " pixels=" + hex(fingerprint(dib->Bytes()));
}

std::string header(const RecordView& R)
{
    std::string s = "bounds=" + rc(R.rect(8)) + " frame=" + rc(R.rect(24)) + " signature=" + hex(R.u32(40));
    s += " version=" + hex(R.u32(44)) + " bytes=" + num(R.u32(48)) + " records=" + num(R.u32(52));
    s += " handles=" + num(R.u16(56)) + " description=" + num(R.u32(60)) + " palette=" + num(R.u32(68));
    s += " device=" + num(R.i32(72)) + "x" + num(R.i32(76)) + " mm=" + num(R.i32(80)) + "x" + num(R.i32(84));
    if (R.size() >= sizeof(Header))
        s += " um=" + num(R.i32(100)) + "x" + num(R.i32(104));
    return s;
}

std::string text(const RecordView& R, bool Wide)
{
    const size_t e = EmfLayout::TextEmrText;
    const uint32_t count = R.u32(e + 8), offString = R.u32(e + 12), offDx = R.u32(e + 36);
    std::string s = "bounds=" + rc(R.rect(8)) + " mode=" + num(R.u32(24)) + " scale=" + flt(R.f32(28)) + ","
                    + flt(R.f32(32)) + " ref=" + pt(R.point(e)) + " options=" + num(R.u32(e + 16))
                    + " rect=" + rc(R.rect(e + 20)) + " text=" + quoted(R.bytes(offString, count, Wide ? 2 : 1), Wide);
    if (offDx) {
        auto dx = R.bytes(offDx, count, 4);
        s += " dx=";
        for (uint32_t i = 0; i < count && R.ok(); ++i) {
            int32_t d;
            std::memcpy(&d, dx.data() + 4 * i, 4);
            s += (i ? "," : "") + num(d);
        }
    }
    return s;
}

std::string region(const RecordView& R)
{
    const uint32_t size = R.u32(8);
    std::string s = "mode=" + num(R.u32(12));
    if (size == 0)
        return s + " none";
    R.bytes(16, size);
    const uint32_t count = R.u32(24);
    s += " rects=" + num(count);
    auto rects = R.bytes(16 + EmfLayout::RgnDataHeaderSize, count, 16);
    R.require(EmfLayout::RgnDataHeaderSize + uint64_t(count) * 16 <= size);
    for (uint32_t i = 0; i < count && R.ok(); ++i) {
        RECT r;
        std::memcpy(&r, rects.data() + 16 * i, 16);
        s += " " + rc(r);
    }
    return s;
}

std::string objectIndex(uint32_t Index)
{
    return Index & ENHMETA_STOCK_OBJECT ? "stock=" + num(Index & ~ENHMETA_STOCK_OBJECT) : "index=" + num(Index);
}

std::string fields(const RecordView& R)
{
    switch (R.type()) {
    case EMR_HEADER: return header(R);
    case EMR_POLYBEZIER:
    case EMR_POLYGON:
    case EMR_POLYLINE:
    case EMR_POLYBEZIERTO:
    case EMR_POLYLINETO:
    case EMR_POLYBEZIER16:
    case EMR_POLYGON16:
    case EMR_POLYLINE16:
    case EMR_POLYBEZIERTO16:
    case EMR_POLYLINETO16: {
        const uint32_t n = R.u32(24);
        return "bounds=" + rc(R.rect(8)) + " points=" + num(n)
               + points(R, EmfLayout::PolyPoints, n, R.type() >= EMR_POLYBEZIER16);
    }
    case EMR_POLYPOLYLINE:
    case EMR_POLYPOLYGON:
    case EMR_POLYPOLYLINE16:
    case EMR_POLYPOLYGON16: {
        const uint32_t polys = R.u32(24), total = R.u32(28);
        auto counts = R.bytes(EmfLayout::PolyPolyCounts, polys, 4);
        std::string s = "bounds=" + rc(R.rect(8)) + " polys=" + num(polys) + " points=" + num(total) + " counts=";
        for (uint32_t i = 0; i < polys && R.ok(); ++i) {
            uint32_t c;
            std::memcpy(&c, counts.data() + 4 * i, 4);
            s += (i ? "," : "") + num(c);
        }
        return s + points(R, EmfLayout::PolyPolyCounts + 4 * uint64_t(polys), total, R.type() >= EMR_POLYPOLYLINE16);
    }
    case EMR_SETWINDOWEXTEX:
    case EMR_SETVIEWPORTEXTEX: return "ext=" + pt(R.point(8));
    case EMR_SETWINDOWORGEX:
    case EMR_SETVIEWPORTORGEX:
    case EMR_SETBRUSHORGEX: return "org=" + pt(R.point(8));
    case EMR_EOF: return "palette=" + num(R.u32(8)) + " offset=" + num(R.u32(12)) + " last=" + num(R.u32(16));
    case EMR_SETPIXELV: return "at=" + pt(R.point(8)) + " colour=" + hex(R.u32(16));
    case EMR_SETMAPMODE:
    case EMR_SETBKMODE:
    case EMR_SETPOLYFILLMODE:
    case EMR_SETROP2:
    case EMR_SETSTRETCHBLTMODE:
    case EMR_SETTEXTALIGN:
    case EMR_SETARCDIRECTION: return "mode=" + num(R.u32(8));
    case EMR_SETTEXTCOLOR:
    case EMR_SETBKCOLOR: return "colour=" + hex(R.u32(8));
    case EMR_MOVETOEX:
    case EMR_LINETO: return "to=" + pt(R.point(8));
    case EMR_EXCLUDECLIPRECT:
    case EMR_INTERSECTCLIPRECT: return "rect=" + rc(R.rect(8));
    case EMR_SAVEDC: return "";
    case EMR_RESTOREDC: return "relative=" + num(R.i32(8));
    case EMR_SETWORLDTRANSFORM:
    case EMR_MODIFYWORLDTRANSFORM: {
        std::string s = "xform=[";
        for (int i = 0; i < 6; ++i)
            s += (i ? " " : "") + flt(R.f32(8 + 4 * size_t(i)));
        s += "]";
        if (R.type() == EMR_MODIFYWORLDTRANSFORM)
            s += " mode=" + num(R.u32(32));
        return s;
    }
    case EMR_SELECTOBJECT:
    case EMR_DELETEOBJECT: return objectIndex(R.u32(8));
    case EMR_CREATEPEN:
        return "index=" + num(R.u32(8)) + " style=" + num(R.u32(12)) + " width=" + num(R.i32(16))
               + " colour=" + hex(R.u32(24));
    case EMR_EXTCREATEPEN:
        return "index=" + num(R.u32(8)) + " style=" + hex(R.u32(28)) + " width=" + num(R.u32(32))
               + " brush=" + num(R.u32(36)) + " colour=" + hex(R.u32(40));
    case EMR_CREATEBRUSHINDIRECT:
        return "index=" + num(R.u32(8)) + " style=" + num(R.u32(12)) + " colour=" + hex(R.u32(16))
               + " hatch=" + num(R.u32(20));
    case EMR_CREATEMONOBRUSH:
    case EMR_CREATEDIBPATTERNBRUSHPT: return "index=" + num(R.u32(8)) + " usage=" + num(R.u32(12)) + bitmap(R, 16, 24);
    case EMR_EXTCREATEFONTINDIRECTW: {
        std::string face = quoted(R.bytes(40, LF_FACESIZE, 2), true);
        // The face name ends at its first zero.
        size_t end = face.find("\\x00");
        if (end != std::string::npos)
            face = face.substr(0, end) + "\"";
        return "index=" + num(R.u32(8)) + " height=" + num(R.i32(12)) + " width=" + num(R.i32(16))
               + " escapement=" + num(R.i32(20)) + " orientation=" + num(R.i32(24)) + " weight=" + num(R.i32(28))
               + " italic=" + num(R.u8(32)) + " underline=" + num(R.u8(33)) + " strikeout=" + num(R.u8(34))
               + " charset=" + num(R.u8(35)) + " face=" + face;
    }
    case EMR_ELLIPSE:
    case EMR_RECTANGLE: return "box=" + rc(R.rect(8));
    case EMR_ROUNDRECT: return "box=" + rc(R.rect(8)) + " corner=" + pt(R.point(24));
    case EMR_ARC:
    case EMR_CHORD:
    case EMR_PIE:
    case EMR_ARCTO: return "box=" + rc(R.rect(8)) + " start=" + pt(R.point(24)) + " end=" + pt(R.point(32));
    case EMR_EXTSELECTCLIPRGN: return region(R);
    case EMR_EXTTEXTOUTA: return text(R, false);
    case EMR_EXTTEXTOUTW: return text(R, true);
    case EMR_BITBLT:
    case EMR_STRETCHBLT: {
        std::string s = "bounds=" + rc(R.rect(8)) + " dest=" + pt(R.point(24)) + " size=" + num(R.i32(32)) + "x"
                        + num(R.i32(36)) + " rop=" + hex(R.u32(40)) + " src=" + pt(R.point(44));
        if (R.type() == EMR_STRETCHBLT)
            s += " srcsize=" + num(R.i32(100)) + "x" + num(R.i32(104));
        return s + bitmap(R, 84, 92);
    }
    case EMR_STRETCHDIBITS:
        return "bounds=" + rc(R.rect(8)) + " dest=" + pt(R.point(24)) + " size=" + num(R.i32(72)) + "x" + num(R.i32(76))
               + " src=" + pt(R.point(32)) + " srcsize=" + num(R.i32(40)) + "x" + num(R.i32(44))
               + " rop=" + hex(R.u32(68)) + " usage=" + num(R.u32(64)) + bitmap(R, 48, 56);
    case EMR_SETDIBITSTODEVICE:
        return "bounds=" + rc(R.rect(8)) + " dest=" + pt(R.point(24)) + " src=" + pt(R.point(32))
               + " size=" + num(R.i32(40)) + "x" + num(R.i32(44)) + " scans=" + num(R.u32(68)) + "+" + num(R.u32(72))
               + bitmap(R, 48, 56);
    default: return "";
    }
}

} // namespace

std::string_view gdi_private::recordName(uint32_t Type)
{
    return Type < names.size() ? names[Type] : std::string_view();
}

std::string DumpEnhMetaFile(std::span<const uint8_t> Bytes)
{
    std::string out;
    RecordWalker walker(Bytes);
    size_t index = 0;
    for (auto record = walker.next(); !record.empty(); record = walker.next(), ++index) {
        RecordView view(record);
        std::string_view name = recordName(view.type());
        std::string line = num(int64_t(index)) + " " + (name.empty() ? "TYPE" + num(view.type()) : std::string(name))
                           + " " + num(view.size());
        std::string decoded = fields(view);
        if (!view.ok())
            decoded = "malformed";
        if (!decoded.empty())
            line += " " + decoded;
        out += line + "\n";
    }
    if (walker.broken())
        out += "broken record size at offset " + num(int64_t(walker.offset())) + "\n";
    return out;
}
