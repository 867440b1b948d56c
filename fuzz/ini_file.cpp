//===- ini_file.cpp - Fuzzes reading and rewriting INI files --------------===//
//
// Every call of TIniFile reads its file afresh, so each input is written to a file of the
// process's own and read from there. A write must then be read back, and an erased section
// must be gone, whatever else the file holds.
//
#include "platform/kernel/TIniFile.h"
#include "platform/rtl/TStringList.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

std::string fileName;

void check(bool Holds)
{
    if (!Holds)
        std::abort();
}

void writeInput(const uint8_t* Data, size_t Size)
{
    FILE* File = std::fopen(fileName.c_str(), "wb");
    check(File != nullptr);
    check(std::fwrite(Data, 1, Size, File) == Size);
    std::fclose(File);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Memory-backed when the machine has it: every write syncs the file to its disk.
    const char* Tmp = std::getenv("TMPDIR");
    const std::string Folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : Tmp && *Tmp ? Tmp : "/tmp";
    fileName = Folder + "/varnex-ini-fuzz-" + std::to_string(getpid()) + ".INI";
    std::atexit([] { std::remove(fileName.c_str()); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    writeInput(Data, Size);
    TIniFile Ini(fileName);

    TStringList Sections, Keys;
    Ini.ReadSections(Sections);
    for (int S = 0; S < std::min(Sections.Count(), 8); ++S) {
        Ini.ReadSection(Sections[S], Keys);
        check(Ini.SectionExists(Sections[S]) == (Keys.Count() > 0));
        for (int K = 0; K < std::min(Keys.Count(), 8); ++K) {
            check(Ini.ValueExists(Sections[S], Keys[K]));
            Ini.ReadString(Sections[S], Keys[K], "");
            Ini.ReadInteger(Sections[S], Keys[K], 0);
            Ini.ReadBool(Sections[S], Keys[K], false);
        }
    }

    const std::string Section = Sections.Count() > 0 ? Sections[0] : "Laser";
    Ini.ReadSection(Section, Keys);
    const std::string Key = Keys.Count() > 0 ? Keys[0] : "Port";
    try {
        Ini.WriteString(Section, Key, "written " + std::to_string(Size));
        check(Ini.ReadString(Section, Key, "") == "written " + std::to_string(Size));
        Ini.WriteInteger(Section, "Count", int32_t(Size));
        check(Ini.ReadInteger(Section, "Count", -1) == int32_t(Size));
        Ini.EraseSection(Section);
        check(!Ini.SectionExists(Section));
    } catch (const EIniFileException&) {
        // Names the format cannot hold are refused; the file keeps what it had.
    }
    return 0;
}
