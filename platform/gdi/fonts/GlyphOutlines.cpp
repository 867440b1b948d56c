//===- GlyphOutlines.cpp - Glyph outlines and bitmaps read with FreeType ----===//
#include "platform/gdi/fonts/GlyphOutlines_p.h"

#include "platform/gdi/fonts/FontEngine.h"
#include "platform/gdi/fonts/FreeType_p.h"

#include FT_OUTLINE_H

#include <cmath>
#include <map>
#include <mutex>
#include <string>
#include <tuple>
#include <unordered_map>

namespace {

// One face at one size, with the outlines drawn so far.
struct SizedFace {
    std::shared_ptr<const RealizedFont> font; // keeps the file's bytes for the face
    std::unique_ptr<gdi_private::FtFace> face;
    std::unordered_map<uint32_t, QPainterPath> outlines;
    std::unordered_map<uint32_t, std::shared_ptr<const GlyphBitmap>> bitmaps;
};

QPointF point(const FT_Vector* V) { return QPointF(V->x / 64.0, -V->y / 64.0); }

int moveTo(const FT_Vector* To, void* Path)
{
    auto* path = static_cast<QPainterPath*>(Path);
    path->closeSubpath();
    path->moveTo(point(To));
    return 0;
}
int lineTo(const FT_Vector* To, void* Path)
{
    static_cast<QPainterPath*>(Path)->lineTo(point(To));
    return 0;
}
int conicTo(const FT_Vector* Control, const FT_Vector* To, void* Path)
{
    static_cast<QPainterPath*>(Path)->quadTo(point(Control), point(To));
    return 0;
}
int cubicTo(const FT_Vector* Control1, const FT_Vector* Control2, const FT_Vector* To, void* Path)
{
    static_cast<QPainterPath*>(Path)->cubicTo(point(Control1), point(Control2), point(To));
    return 0;
}

QPainterPath readOutline(FT_Face Face, uint32_t Glyph)
{
    QPainterPath path;
    if (FT_Load_Glyph(Face, Glyph, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0)
        return path;
    if (Face->glyph->format != FT_GLYPH_FORMAT_OUTLINE)
        return path;
    const FT_Outline_Funcs funcs = { moveTo, lineTo, conicTo, cubicTo, 0, 0 };
    FT_Outline_Decompose(&Face->glyph->outline, &funcs, &path);
    path.closeSubpath();
    // TrueType contours wind by the non-zero rule; overlapping contours must not cancel.
    path.setFillRule(Qt::WindingFill);
    return path;
}

// The glyph as loaded into the face's slot, hinted for a bi-level target and scan-converted
// there with the face's own dropout control.
GlyphBitmap renderMono(FT_Face Face, uint32_t Glyph)
{
    GlyphBitmap bitmap;
    if (FT_Load_Glyph(Face, Glyph, FT_LOAD_TARGET_MONO | FT_LOAD_NO_BITMAP) != 0)
        return bitmap;
    if (Face->glyph->format != FT_GLYPH_FORMAT_OUTLINE || Face->glyph->outline.n_points == 0)
        return bitmap;
    if (FT_Render_Glyph(Face->glyph, FT_RENDER_MODE_MONO) != 0)
        return bitmap;
    const FT_Bitmap& b = Face->glyph->bitmap;
    if (b.pixel_mode != FT_PIXEL_MODE_MONO || b.width == 0 || b.rows == 0)
        return bitmap;
    bitmap.Left = Face->glyph->bitmap_left;
    bitmap.Top = Face->glyph->bitmap_top;
    bitmap.Width = int(b.width);
    bitmap.Height = int(b.rows);
    bitmap.Ink.resize(size_t(b.width) * b.rows);
    for (unsigned y = 0; y < b.rows; ++y) {
        const unsigned char* row = b.buffer + std::ptrdiff_t(y) * b.pitch;
        for (unsigned x = 0; x < b.width; ++x)
            bitmap.Ink[size_t(y) * b.width + x] = (row[x >> 3] >> (7 - (x & 7))) & 1;
    }
    return bitmap;
}

class OutlineCache {
public:
    std::shared_ptr<const GlyphBitmap> bitmap(const std::shared_ptr<const RealizedFont>& Font, uint32_t Glyph)
    {
        std::lock_guard lock(mutex_);
        SizedFace* sized = faceFor(Font);
        if (!sized)
            return std::make_shared<GlyphBitmap>();
        auto found = sized->bitmaps.find(Glyph);
        if (found != sized->bitmaps.end())
            return found->second;
        auto bitmap = std::make_shared<const GlyphBitmap>(renderMono(sized->face->get(), Glyph));
        return sized->bitmaps.emplace(Glyph, std::move(bitmap)).first->second;
    }

    GlyphBitmap turnedBitmap(const std::shared_ptr<const RealizedFont>& Font, uint32_t Glyph, double Angle,
                             QPointF Offset)
    {
        std::lock_guard lock(mutex_);
        SizedFace* sized = faceFor(Font);
        if (!sized)
            return GlyphBitmap();
        // FreeType turns the hinted outline before scan-converting it; its y axis points up.
        const FT_Fixed c = FT_Fixed(std::lround(std::cos(Angle) * 65536)),
                       s = FT_Fixed(std::lround(std::sin(Angle) * 65536));
        FT_Matrix matrix { c, -s, s, c };
        FT_Vector delta { FT_Pos(std::lround(Offset.x() * 64)), FT_Pos(std::lround(-Offset.y() * 64)) };
        FT_Face face = sized->face->get();
        FT_Set_Transform(face, &matrix, &delta);
        // The face is shared: the turn must not outlive this glyph, not even when rendering throws.
        struct Untransform {
            FT_Face face;
            ~Untransform() { FT_Set_Transform(face, nullptr, nullptr); }
        } untransform { face };
        return renderMono(face, Glyph);
    }

    QPainterPath outline(const std::shared_ptr<const RealizedFont>& Font, uint32_t Glyph)
    {
        std::lock_guard lock(mutex_);
        SizedFace* sized = faceFor(Font);
        if (!sized)
            return QPainterPath();
        auto found = sized->outlines.find(Glyph);
        if (found != sized->outlines.end())
            return found->second;
        return sized->outlines.emplace(Glyph, readOutline(sized->face->get(), Glyph)).first->second;
    }

private:
    SizedFace* faceFor(const std::shared_ptr<const RealizedFont>& Font)
    {
        auto key = std::make_tuple(Font->FilePath(), Font->FaceIndex(), Font->PixelSize());
        auto found = faces_.find(key);
        if (found != faces_.end())
            return found->second.get();
        if (!library_)
            library_ = gdi_private::FtLibrary::create();
        if (!library_)
            return nullptr;
        std::string error;
        auto face = gdi_private::FtFace::open(library_, Font->FileBytes(), Font->FaceIndex(), error);
        if (!face || FT_Set_Char_Size(face->get(), 0, FT_F26Dot6(std::lround(Font->PixelSize() * 64)), 72, 72) != 0)
            return nullptr;
        auto sized = std::make_unique<SizedFace>();
        sized->font = Font;
        sized->face = std::move(face);
        return faces_.emplace(key, std::move(sized)).first->second.get();
    }

    std::mutex mutex_;
    std::shared_ptr<gdi_private::FtLibrary> library_;
    std::map<std::tuple<std::string, int, double>, std::unique_ptr<SizedFace>> faces_;
};

OutlineCache& cache()
{
    static OutlineCache Cache;
    return Cache;
}

} // namespace

QPainterPath glyphOutline(const std::shared_ptr<const RealizedFont>& Font, uint32_t Glyph)
{
    return Font ? cache().outline(Font, Glyph) : QPainterPath();
}

std::shared_ptr<const GlyphBitmap> glyphBitmap(const std::shared_ptr<const RealizedFont>& Font, uint32_t Glyph)
{
    return Font ? cache().bitmap(Font, Glyph) : std::make_shared<GlyphBitmap>();
}

GlyphBitmap turnedGlyphBitmap(const std::shared_ptr<const RealizedFont>& Font, uint32_t Glyph, double Angle,
                              QPointF Offset)
{
    return Font ? cache().turnedBitmap(Font, Glyph, Angle, Offset) : GlyphBitmap();
}
