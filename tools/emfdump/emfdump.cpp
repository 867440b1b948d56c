//===- emfdump.cpp - Prints the records of enhanced metafiles, one per line ===//
//
// Usage: emfdump FILE...   One line per record: index, name, size and the decoded fields.
// With several files each listing starts with "== FILE". Exit status 1 when a file cannot be
// read, 2 when one is no valid metafile (its records are listed as far as they go).
//
#include "platform/gdi/metafile/EnhMetaFile.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: emfdump FILE...\n");
        return 1;
    }
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "emfdump: cannot read %s\n", argv[i]);
            status = 1;
            continue;
        }
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (argc > 2)
            std::printf("== %s\n", argv[i]);
        std::string error;
        if (!SetEnhMetaFileBits(bytes, &error)) {
            std::fprintf(stderr, "emfdump: %s: %s\n", argv[i], error.c_str());
            if (status == 0)
                status = 2;
        }
        std::fputs(DumpEnhMetaFile(bytes).c_str(), stdout);
    }
    return status;
}
