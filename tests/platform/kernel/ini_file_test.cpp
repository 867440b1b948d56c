//===- ini_file_test.cpp - INI profile files ------------------------------===//
#include "platform/kernel/TIniFile.h"

#include "tests/support/TestSupport.h"

#include "platform/rtl/TStringList.h"

#include <gtest/gtest.h>
#include <csignal>
#include <filesystem>
#include <limits>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::vector<std::string> items(const TStringList& L) { return std::vector<std::string>(L.begin(), L.end()); }

std::vector<std::string> folderEntries(const std::string& Folder)
{
    std::vector<std::string> Names;
    for (const auto& Entry : std::filesystem::directory_iterator(Folder))
        Names.push_back(Entry.path().filename().string());
    std::sort(Names.begin(), Names.end());
    return Names;
}

class IniFile : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    std::string path = dir.file("Heliant.INI");
};

TEST_F(IniFile, MissingFileGivesTheDefaultsAndStaysMissing)
{
    TIniFile Ini(path);
    EXPECT_EQ(Ini.ReadString("Main", "DataPath", "/data/"), "/data/");
    EXPECT_EQ(Ini.ReadInteger("Main", "Freq", 50), 50);
    EXPECT_TRUE(Ini.ReadBool("Main", "ShowHint", true));
    EXPECT_FALSE(Ini.ReadBool("Main", "ShowHint", false));
    EXPECT_FALSE(Ini.SectionExists("Main"));
    EXPECT_FALSE(Ini.ValueExists("Main", "Freq"));
    TStringList Keys;
    Keys.Add("stale");
    Ini.ReadSection("Main", Keys);
    EXPECT_EQ(Keys.Count(), 0);
    EXPECT_FALSE(std::filesystem::exists(path)) << "reading never creates the file";
}

TEST_F(IniFile, EveryKindOfValueRoundTrips)
{
    {
        TIniFile Ini(path);
        Ini.WriteInteger("WND", "Xpos", 10);
        Ini.WriteInteger("WND", "Ypos", -20);
        Ini.WriteInteger("WND", "Min", std::numeric_limits<int32_t>::min());
        Ini.WriteBool("Main", "ShowHint", true);
        Ini.WriteBool("Main", "Other", false);
        Ini.WriteString("Main", "DataPath", "/home/op/data/");
        Ini.WriteString("Main", "Empty", "");
    }
    EXPECT_EQ(testsupport::ReadFile(path), "[WND]\r\nXpos=10\r\nYpos=-20\r\nMin=-2147483648\r\n"
                                           "[Main]\r\nShowHint=1\r\nOther=0\r\nDataPath=/home/op/data/\r\nEmpty=\r\n");
    TIniFile Again(path);
    EXPECT_EQ(Again.ReadInteger("WND", "Xpos", 0), 10);
    EXPECT_EQ(Again.ReadInteger("WND", "Ypos", 0), -20);
    EXPECT_EQ(Again.ReadInteger("WND", "Min", 0), std::numeric_limits<int32_t>::min());
    EXPECT_TRUE(Again.ReadBool("Main", "ShowHint", false));
    EXPECT_FALSE(Again.ReadBool("Main", "Other", true));
    EXPECT_EQ(Again.ReadString("Main", "DataPath", ""), "/home/op/data/");
    EXPECT_EQ(Again.ReadString("Main", "Empty", "default"), "") << "an empty value is a value";
    EXPECT_TRUE(Again.ValueExists("Main", "Empty"));
}

TEST_F(IniFile, SectionsAndKeysIgnoreCase)
{
    TIniFile Ini(path);
    Ini.WriteInteger("WND", "Xpos", 1);
    EXPECT_EQ(Ini.ReadInteger("wnd", "XPOS", 0), 1);
    Ini.WriteInteger("Wnd", "XPos", 2);
    EXPECT_EQ(testsupport::ReadFile(path), "[WND]\r\nXpos=2\r\n") << "one key, spelled as the file had it";
    EXPECT_TRUE(Ini.SectionExists("wNd"));
    EXPECT_TRUE(Ini.ValueExists("WND", "xpos"));
    testsupport::WriteFile(path, "[\xC4nderung]\r\n\xDC"
                                 "ber=1\r\n");
    EXPECT_EQ(Ini.ReadInteger("\xE4NDERUNG",
                              "\xFC"
                              "BER",
                              0),
              1)
        << "Windows-1252 letters too";
}

TEST_F(IniFile, WritingKeepsEveryOtherLineInPlace)
{
    const std::string Before = "; settings of the laser console\n"
                               "orphan=before any section\n"
                               "[WND]\n"
                               "  Xpos = 10  \n"
                               "Ypos=20\n"
                               "\n"
                               "; position of the energy window\n"
                               "[Main]\n"
                               "ShowHint=0\n"
                               "a line without equals\n";
    testsupport::WriteFile(path, Before);
    TIniFile Ini(path);
    EXPECT_EQ(Ini.ReadInteger("WND", "Xpos", 0), 10) << "blanks around names and values are not part of them";
    Ini.WriteInteger("WND", "Ypos", 25);
    Ini.WriteInteger("WND", "Width", 640);
    Ini.WriteBool("Main", "ShowHint", true);
    Ini.WriteString("New", "Key", "v");
    EXPECT_EQ(testsupport::ReadFile(path), "; settings of the laser console\n"
                                           "orphan=before any section\n"
                                           "[WND]\n"
                                           "  Xpos = 10  \n"
                                           "Ypos=25\n"
                                           "Width=640\n"
                                           "\n"
                                           "; position of the energy window\n"
                                           "[Main]\n"
                                           "ShowHint=1\n"
                                           "a line without equals\n"
                                           "[New]\n"
                                           "Key=v\n")
        << "LF files stay LF; only the written lines change";
    EXPECT_EQ(Ini.ReadString("Main", "orphan", "none"), "none") << "a key before any section belongs to none";
}

TEST_F(IniFile, IntegersAcceptHexadecimalAndFallBackOnRubbish)
{
    testsupport::WriteFile(path, "[Main]\r\nA=$1F\r\nB=0x10\r\nC= 42 \r\nD=abc\r\nE=\r\nF=12abc\r\nG=99999999999\r\n");
    TIniFile Ini(path);
    EXPECT_EQ(Ini.ReadInteger("Main", "A", 0), 31);
    EXPECT_EQ(Ini.ReadInteger("Main", "B", 0), 16);
    EXPECT_EQ(Ini.ReadInteger("Main", "C", 0), 42);
    for (const char* Key : { "D", "E", "F", "G" })
        EXPECT_EQ(Ini.ReadInteger("Main", Key, 6000), 6000) << Key;
}

TEST_F(IniFile, BooleansAreIntegers)
{
    testsupport::WriteFile(path, "[Main]\nOne=1\nZero=0\nTwo=2\nMinus=-1\nWord=yes\nTrue=true\nEmpty=\n");
    TIniFile Ini(path);
    EXPECT_TRUE(Ini.ReadBool("Main", "One", false));
    EXPECT_FALSE(Ini.ReadBool("Main", "Zero", true));
    EXPECT_TRUE(Ini.ReadBool("Main", "Two", false));
    EXPECT_TRUE(Ini.ReadBool("Main", "Minus", false));
    for (const char* Key : { "Word", "True", "Empty", "Missing" }) {
        EXPECT_TRUE(Ini.ReadBool("Main", Key, true)) << Key;
        EXPECT_FALSE(Ini.ReadBool("Main", Key, false)) << Key;
    }
}

TEST_F(IniFile, EightBitBytesArePreserved)
{
    TIniFile Ini(path);
    const std::string Value = "C:\\Daten\\M\xFCller \xB5J \x80";
    Ini.WriteString("Main", "DataPath", Value);
    EXPECT_EQ(testsupport::ReadFile(path), "[Main]\r\nDataPath=" + Value + "\r\n");
    EXPECT_EQ(Ini.ReadString("Main", "DataPath", ""), Value);
}

TEST_F(IniFile, ReadsCrLfAndLfFiles)
{
    for (const char* Text :
         { "[Main]\r\nFreq=50\r\nCount=6000\r\n", "[Main]\nFreq=50\nCount=6000", "[Main]\rFreq=50\rCount=6000\r" }) {
        testsupport::WriteFile(path, Text);
        TIniFile Ini(path);
        EXPECT_EQ(Ini.ReadInteger("Main", "Freq", 0), 50);
        EXPECT_EQ(Ini.ReadInteger("Main", "Count", 0), 6000);
    }
}

TEST_F(IniFile, SectionListsAndErasing)
{
    testsupport::WriteFile(
        path, "[WND]\r\nXpos=1\r\nYpos=2\r\n[Empty]\r\n; only a comment\r\n[Main]\r\nFreq=50\r\n[wnd]\r\nLate=3\r\n");
    TIniFile Ini(path);
    TStringList Names;
    Ini.ReadSection("wnd", Names);
    EXPECT_EQ(items(Names), (std::vector<std::string> { "Xpos", "Ypos" })) << "the first section of a name counts";
    Ini.ReadSections(Names);
    EXPECT_EQ(items(Names), (std::vector<std::string> { "WND", "Empty", "Main" }));
    EXPECT_FALSE(Ini.SectionExists("Empty")) << "a section without keys counts as missing";
    EXPECT_FALSE(Ini.SectionExists("Nowhere"));

    Ini.DeleteKey("WND", "Xpos");
    EXPECT_EQ(testsupport::ReadFile(path),
              "[WND]\r\nYpos=2\r\n[Empty]\r\n; only a comment\r\n[Main]\r\nFreq=50\r\n[wnd]\r\nLate=3\r\n");
    Ini.EraseSection("WND");
    EXPECT_EQ(testsupport::ReadFile(path), "[Empty]\r\n; only a comment\r\n[Main]\r\nFreq=50\r\n");
    EXPECT_EQ(Ini.ReadInteger("Main", "Freq", 0), 50);
}

TEST_F(IniFile, RemovingWhatIsNotThereWritesNothing)
{
    const std::string Before = "[Main]\nFreq=50";
    testsupport::WriteFile(path, Before);
    const auto Stamp = std::filesystem::last_write_time(path);
    TIniFile Ini(path);
    Ini.DeleteKey("Main", "Missing");
    Ini.DeleteKey("Missing", "Freq");
    Ini.EraseSection("Missing");
    EXPECT_EQ(testsupport::ReadFile(path), Before) << "not even the missing line end is added";
    EXPECT_EQ(std::filesystem::last_write_time(path), Stamp);
    TIniFile Absent(dir.file("absent.INI"));
    Absent.EraseSection("Main");
    EXPECT_FALSE(std::filesystem::exists(dir.file("absent.INI")));
}

TEST_F(IniFile, EveryInstanceSeesTheOthersWrites)
{
    TIniFile Writer(path), Reader(path);
    EXPECT_EQ(Reader.ReadInteger("Main", "hv", 50), 50);
    Writer.WriteInteger("Main", "hv", 75);
    EXPECT_EQ(Reader.ReadInteger("Main", "hv", 50), 75);
}

TEST_F(IniFile, NamesTheFormatCannotHoldAreRefused)
{
    testsupport::WriteFile(path, "[Main]\r\nFreq=50\r\n");
    TIniFile Ini(path);
    EXPECT_THROW(Ini.WriteString("Main", "a=b", "1"), EIniFileException);
    EXPECT_THROW(Ini.WriteString("Main", "", "1"), EIniFileException);
    EXPECT_THROW(Ini.WriteString("Main", "[x", "1"), EIniFileException);
    EXPECT_THROW(Ini.WriteString("Ma]in", "Key", "1"), EIniFileException);
    EXPECT_THROW(Ini.WriteString("", "Key", "1"), EIniFileException);
    EXPECT_THROW(Ini.WriteString("Main", "Key", "two\r\nlines"), EIniFileException);
    EXPECT_EQ(testsupport::ReadFile(path), "[Main]\r\nFreq=50\r\n");
}

TEST_F(IniFile, AFolderWhereTheFileShouldBeGivesAClearError)
{
    std::filesystem::create_directory(path);
    TIniFile Ini(path);
    EXPECT_EQ(Ini.ReadInteger("WND", "Xpos", 7), 7) << "a folder reads as a missing file";
    try {
        Ini.WriteInteger("WND", "Xpos", 1);
        FAIL() << "no exception";
    } catch (const Exception& E) {
        EXPECT_NE(dynamic_cast<const EIniFileException*>(&E), nullptr);
        EXPECT_EQ(E.Message().rfind("Unable to write to " + path + ". ", 0), 0u) << E.Message();
    }
    EXPECT_TRUE(std::filesystem::is_directory(path));
    EXPECT_EQ(folderEntries(dir.path()), std::vector<std::string> { "Heliant.INI" }) << "no temporary file is left";
}

TEST_F(IniFile, AMissingFolderGivesAClearError)
{
    TIniFile Ini(dir.file("gone/Heliant.INI"));
    EXPECT_THROW(Ini.WriteBool("Main", "ShowHint", true), EIniFileException);
    EXPECT_FALSE(std::filesystem::exists(dir.file("gone")));
}

TEST_F(IniFile, AnUnwritableLocationGivesAClearError)
{
    // As root, permissions do not stop a write; /proc refuses new files to everyone.
    TIniFile Ini("/proc/self/varnex-settings.INI");
    EXPECT_THROW(Ini.WriteInteger("WND", "Xpos", 1), EIniFileException);
}

TEST_F(IniFile, AWriteThatFailsHalfwayLeavesTheOldFileWhole)
{
    // The new contents need more room than the process may write: the write stops midway
    // with EFBIG. The old file must come through untouched, and no temporary file may stay.
    const std::string Before = "[Main]\r\nFreq=50\r\nCount=6000\r\n";
    testsupport::WriteFile(path, Before);
    const pid_t Child = fork();
    ASSERT_GE(Child, 0);
    if (Child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit Limit { 64, 64 };
        setrlimit(RLIMIT_FSIZE, &Limit);
        TIniFile Ini(path);
        try {
            Ini.WriteString("Main", "DataPath", std::string(200, 'x'));
        } catch (const EIniFileException& E) {
            _exit(E.Message().rfind("Unable to write to " + path, 0) == 0 ? 0 : 2);
        } catch (...) {
            _exit(3);
        }
        _exit(1); // the write went through
    }
    int Status = 0;
    ASSERT_EQ(waitpid(Child, &Status, 0), Child);
    ASSERT_TRUE(WIFEXITED(Status));
    EXPECT_EQ(WEXITSTATUS(Status), 0) << "1: no error raised, 2: unclear message, 3: another exception";
    EXPECT_EQ(testsupport::ReadFile(path), Before);
    EXPECT_EQ(folderEntries(dir.path()), std::vector<std::string> { "Heliant.INI" });
}

TEST_F(IniFile, WritingKeepsTheFilesPermissionsAndLinks)
{
    testsupport::WriteFile(path, "[Main]\r\nFreq=50\r\n");
    std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write
                                           | std::filesystem::perms::group_read);
    const std::string Link = dir.file("link.INI");
    std::filesystem::create_symlink(path, Link);
    TIniFile Ini(Link);
    Ini.WriteInteger("Main", "Freq", 60);
    EXPECT_TRUE(std::filesystem::is_symlink(Link));
    EXPECT_EQ(testsupport::ReadFile(path), "[Main]\r\nFreq=60\r\n");
    EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write
                  | std::filesystem::perms::group_read);
}

TEST(IniFileBesideExecutable, NamedLikeTheProgramWithIni)
{
    EXPECT_EQ(IniFileBesideExecutable(), testsupport::BinDir() + "/ini_file_tests.INI");
}

} // namespace
