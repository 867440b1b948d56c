//===- FreeType_p.h - Owning wrappers for FreeType library and face handles -*- C++ -*-===//
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <memory>
#include <span>
#include <string>

namespace gdi_private {

/// The FreeType library instance. Faces hold a shared reference, so a face kept alive by a
/// static cache still finds its library during exit.
class FtLibrary {
public:
    /// Null when FreeType cannot start (out of memory); the engine then has no faces at all.
    static std::shared_ptr<FtLibrary> create();
    ~FtLibrary() { FT_Done_FreeType(library_); }
    FtLibrary(const FtLibrary&) = delete;
    FtLibrary& operator=(const FtLibrary&) = delete;

    FT_Library get() const { return library_; }

private:
    explicit FtLibrary(FT_Library Library) : library_(Library) {}
    FT_Library library_;
};

/// A face opened on bytes that the caller keeps alive for the face's whole life
/// (FT_New_Memory_Face reads them lazily).
class FtFace {
public:
    /// Null with a reason in Error when FreeType refuses the bytes.
    static std::unique_ptr<FtFace> open(std::shared_ptr<FtLibrary> Library, std::span<const uint8_t> Bytes,
                                        int FaceIndex, std::string& Error);
    ~FtFace() { FT_Done_Face(face_); }
    FtFace(const FtFace&) = delete;
    FtFace& operator=(const FtFace&) = delete;

    FT_Face get() const { return face_; }

private:
    FtFace(std::shared_ptr<FtLibrary> Library, FT_Face Face) : library_(std::move(Library)), face_(Face) {}
    std::shared_ptr<FtLibrary> library_; // declared first: released after the face
    FT_Face face_;
};

inline std::shared_ptr<FtLibrary> FtLibrary::create()
{
    FT_Library Library = nullptr;
    if (FT_Init_FreeType(&Library) != 0)
        return nullptr;
    return std::shared_ptr<FtLibrary>(new FtLibrary(Library));
}

inline std::unique_ptr<FtFace> FtFace::open(std::shared_ptr<FtLibrary> Library, std::span<const uint8_t> Bytes,
                                            int FaceIndex, std::string& Error)
{
    FT_Face Face = nullptr;
    FT_Error Code = FT_New_Memory_Face(Library->get(), Bytes.data(), FT_Long(Bytes.size()), FaceIndex, &Face);
    if (Code != 0) {
        Error = "FreeType cannot open the face (error " + std::to_string(Code) + ")";
        return nullptr;
    }
    return std::unique_ptr<FtFace>(new FtFace(std::move(Library), Face));
}

} // namespace gdi_private
