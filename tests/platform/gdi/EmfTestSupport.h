//===- EmfTestSupport.h - Recording drawings into metafiles, golden files -*- C++ -*-===//
#pragma once

#include "DcTestSupport.h"

#include "platform/gdi/metafile/EnhMetaFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace emftest {

/// What Draw draws on a fresh recording context (screen reference), closed into a metafile.
inline HENHMETAFILE record(const std::function<void(HDC)>& Draw, const RECT* Frame = nullptr)
{
    HDC dc = CreateEnhMetaFile(nullptr, Frame);
    Draw(dc);
    return CloseEnhMetaFile(dc);
}

/// The frame of a picture of Width x Height pixels at 96 dpi, in 0.01 mm.
inline RECT frameOfPixels(int Width, int Height)
{
    auto mm100 = [](int Pixels) { return int32_t((Pixels * 2540 + 48) / 96); };
    return RECT { 0, 0, mm100(Width), mm100(Height) };
}

inline std::vector<uint8_t> readFile(const std::string& Path)
{
    std::ifstream in(Path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline void writeFile(const std::string& Path, const std::string& Text)
{
    std::ofstream out(Path, std::ios::binary);
    out << Text;
}

inline void writeFile(const std::string& Path, std::span<const uint8_t> Bytes)
{
    std::ofstream out(Path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(Bytes.data()), std::streamsize(Bytes.size()));
}

/// Compares a dump with data/<Name>. EMF_UPDATE_GOLDEN=1 rewrites the file instead, for a
/// deliberate change of the format that a reviewer then reads line by line.
inline void expectGolden(const std::string& Name, const std::string& Dump)
{
    const std::string path = std::string(GDI_TEST_DATA) + "/" + Name;
    if (const char* update = std::getenv("EMF_UPDATE_GOLDEN"); update && std::string(update) == "1") {
        writeFile(path, Dump);
        return;
    }
    std::vector<uint8_t> golden = readFile(path);
    ASSERT_FALSE(golden.empty()) << "missing golden file " << path;
    EXPECT_EQ(std::string(golden.begin(), golden.end()), Dump) << "golden file " << path;
}

/// Lines of a dump, for picking out records.
inline std::vector<std::string> lines(const std::string& Dump)
{
    std::vector<std::string> out;
    size_t at = 0;
    while (at < Dump.size()) {
        size_t end = Dump.find('\n', at);
        if (end == std::string::npos)
            end = Dump.size();
        out.push_back(Dump.substr(at, end - at));
        at = end + 1;
    }
    return out;
}

/// The record lines without their index ("RECTANGLE 24 box=(10,10)-(50,40)").
inline std::vector<std::string> records(const EnhMetaFile& Metafile)
{
    std::vector<std::string> out;
    for (const std::string& line : lines(DumpEnhMetaFile(Metafile.Bytes())))
        out.push_back(line.substr(line.find(' ') + 1));
    return out;
}

inline bool startsWith(const std::string& S, const std::string& Prefix) { return S.rfind(Prefix, 0) == 0; }

} // namespace emftest
