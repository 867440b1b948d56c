//===- make_bitmaps.cpp - Writes the programs' bitmaps as BMP files -===//
//
// Usage: make_bitmaps <folder>
// Writes controls/ALLED.bmp, controls/LCDDIGITS.bmp, controls/LCDPDIGITS.bmp and
// energystats/ORVANELOGO.bmp under the folder, making the two subfolders when missing
// (resources/ in the source tree holds the committed copies). The output depends on nothing but this program, so a
// test can insist that the committed files equal what it draws.
#include "resources/generator/ResourceBitmaps.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace {

bool writeFile(const std::filesystem::path& Path, const std::vector<uint8_t>& Bytes)
{
    std::ofstream out(Path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(Bytes.data()), std::streamsize(Bytes.size()));
    out.close(); // a full disk shows up only when the buffer is flushed
    return bool(out);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_bitmaps <folder>\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) {
        std::fprintf(stderr, "make_bitmaps: %s is not a folder\n", argv[1]);
        return 1;
    }
    for (const auto& strip : resourcebitmaps::Strips()) {
        const auto path = folder / strip.Folder / strip.FileName;
        std::filesystem::create_directories(path.parent_path(), error);
        if (error || !writeFile(path, strip.Draw().SaveBmp())) {
            std::fprintf(stderr, "make_bitmaps: cannot write %s\n", path.c_str());
            return 1;
        }
        std::printf("%s\n", path.c_str());
    }
    return 0;
}
