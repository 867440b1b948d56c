//===- FontTestSupport.h - LOGFONT builders and an independent FreeType view for font tests -*- C++ -*-===//
//
// The tests check the engine against the font files as FreeType reads them, not against
// numbers copied from the engine, so a wrong table offset or scaling rule cannot agree with
// itself.
//
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_TRUETYPE_TABLES_H

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

#include "platform/gdi/fonts/FontEngine.h"

namespace fonttest {

inline LOGFONTA Font(const char* Face, int32_t Height, int32_t Weight = FW_NORMAL, bool Italic = false)
{
    LOGFONTA F;
    F.lfHeight = Height;
    F.lfWeight = Weight;
    F.lfItalic = Italic ? 1 : 0;
    std::strncpy(F.lfFaceName, Face, LF_FACESIZE - 1);
    return F;
}

inline std::string BaseName(const std::string& Path) { return Path.substr(Path.find_last_of('/') + 1); }

inline std::vector<uint8_t> ReadFile(const std::string& Path)
{
    std::ifstream In(Path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(In), {});
}

inline void WriteFile(const std::string& Path, const std::vector<uint8_t>& Bytes)
{
    std::ofstream Out(Path, std::ios::binary);
    Out.write(reinterpret_cast<const char*>(Bytes.data()), std::streamsize(Bytes.size()));
}

/// The tag as GetFontData takes it: the four letters in reversed byte order.
constexpr uint32_t GdiTag(std::string_view T)
{
    return uint32_t(uint8_t(T[0])) | uint32_t(uint8_t(T[1])) << 8 | uint32_t(uint8_t(T[2])) << 16
           | uint32_t(uint8_t(T[3])) << 24;
}
/// The tag as the file's table directory holds it (big-endian).
constexpr uint32_t FileTag(std::string_view T)
{
    return uint32_t(uint8_t(T[0])) << 24 | uint32_t(uint8_t(T[1])) << 16 | uint32_t(uint8_t(T[2])) << 8 | uint8_t(T[3]);
}

/// A face opened by FreeType on its own, from the file the engine chose.
class FtView {
public:
    explicit FtView(const std::string& Path, int Index = 0)
    {
        FT_Init_FreeType(&library_);
        if (FT_New_Face(library_, Path.c_str(), Index, &face_) != 0)
            face_ = nullptr;
    }
    ~FtView()
    {
        if (face_)
            FT_Done_Face(face_);
        FT_Done_FreeType(library_);
    }
    FtView(const FtView&) = delete;
    FtView& operator=(const FtView&) = delete;

    FT_Face face() const { return face_; }
    unsigned unitsPerEm() const { return face_->units_per_EM; }
    const TT_OS2& os2() const { return *static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face_, FT_SFNT_OS2)); }
    const TT_Header& head() const { return *static_cast<TT_Header*>(FT_Get_Sfnt_Table(face_, FT_SFNT_HEAD)); }
    const TT_Postscript& post() const { return *static_cast<TT_Postscript*>(FT_Get_Sfnt_Table(face_, FT_SFNT_POST)); }
    const TT_HoriHeader& hhea() const { return *static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(face_, FT_SFNT_HHEA)); }

    /// The advance of the glyph of a code point in font units, as hmtx holds it.
    long advanceUnits(FT_ULong CodePoint) const
    {
        FT_Fixed Advance = 0;
        FT_Get_Advance(face_, FT_Get_Char_Index(face_, CodePoint), FT_LOAD_NO_SCALE, &Advance);
        return long(Advance);
    }
    /// The advance in whole pixels of the glyph hinted for a bi-level target at an em of Em pixels.
    long hintedAdvance(FT_ULong CodePoint, int Em) const
    {
        if (FT_Set_Char_Size(face_, 0, FT_F26Dot6(Em) * 64, 72, 72) != 0
            || FT_Load_Glyph(face_, FT_Get_Char_Index(face_, CodePoint), FT_LOAD_TARGET_MONO | FT_LOAD_NO_BITMAP) != 0)
            return -1;
        return long((face_->glyph->advance.x + 32) >> 6);
    }
    std::vector<uint8_t> table(uint32_t FileTag) const
    {
        FT_ULong Length = 0;
        if (FT_Load_Sfnt_Table(face_, FileTag, 0, nullptr, &Length) != 0)
            return {};
        std::vector<uint8_t> Bytes(Length);
        FT_Load_Sfnt_Table(face_, FileTag, 0, Bytes.data(), &Length);
        return Bytes;
    }

private:
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
};

/// Runs Body with standard error sent to a file and answers what was written there.
template <typename F>
std::string CaptureStderr(F&& Body)
{
    std::fflush(stderr);
    char Name[] = "/tmp/fonttest-stderr-XXXXXX";
    int Fd = mkstemp(Name);
    int Saved = dup(2);
    dup2(Fd, 2);
    Body();
    std::fflush(stderr);
    dup2(Saved, 2);
    close(Saved);
    close(Fd);
    auto Bytes = ReadFile(Name);
    unlink(Name);
    return std::string(Bytes.begin(), Bytes.end());
}

} // namespace fonttest
