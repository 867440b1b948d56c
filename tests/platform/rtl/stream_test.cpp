//===- stream_test.cpp - Memory and file streams --------------------------===//
#include "platform/rtl/Exception.h"

#include "tests/support/TestSupport.h"

#include "platform/rtl/TStream.h"

#include <gtest/gtest.h>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace {

std::string allBytes()
{
    std::string Bytes(256, '\0');
    for (int I = 0; I < 256; ++I)
        Bytes[I] = static_cast<char>(I);
    return Bytes;
}

/// The descriptors of this process that refer to Path.
std::vector<int> descriptorsOf(const std::string& Path)
{
    std::vector<int> Fds;
    const auto Target = std::filesystem::canonical(Path);
    for (const auto& Entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code Ec;
        const auto Link = std::filesystem::read_symlink(Entry.path(), Ec);
        if (!Ec && Link == Target)
            Fds.push_back(std::stoi(Entry.path().filename().string()));
    }
    return Fds;
}

TEST(MemoryStream, WritesReadsAndSeeks)
{
    TMemoryStream S;
    S.WriteBuffer("abcdef", 6);
    EXPECT_EQ(S.GetSize(), 6);
    EXPECT_EQ(S.GetPosition(), 6);
    EXPECT_EQ(S.Seek(2, soFromBeginning), 2);
    char Buf[8] = {};
    S.ReadBuffer(Buf, 2);
    EXPECT_EQ(std::string(Buf, 2), "cd");
    EXPECT_EQ(S.Seek(-1, soFromCurrent), 3);
    EXPECT_EQ(S.Seek(-2, soFromEnd), 4);
    EXPECT_EQ(S.Read(Buf, 8), 2) << "a read near the end answers what is there";
    EXPECT_EQ(std::string(Buf, 2), "ef");
    EXPECT_EQ(S.Read(Buf, 8), 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(S.Memory()), 6), "abcdef");
}

TEST(MemoryStream, ReadBufferPastTheEndRaises)
{
    TMemoryStream S;
    S.WriteBuffer("abc", 3);
    S.SetPosition(1);
    char Buf[4];
    try {
        S.ReadBuffer(Buf, 3);
        FAIL() << "no exception";
    } catch (const EReadError& E) {
        EXPECT_EQ(E.Message(), "Stream read error");
    }
    EXPECT_NO_THROW(S.ReadBuffer(Buf, 0)) << "reading nothing never fails";
}

TEST(MemoryStream, WritingBeyondTheEndFillsTheGapWithZeros)
{
    TMemoryStream S;
    S.WriteBuffer("ab", 2);
    S.Seek(5, soFromBeginning);
    EXPECT_EQ(S.GetSize(), 2) << "seeking alone does not grow the stream";
    S.WriteBuffer("z", 1);
    ASSERT_EQ(S.GetSize(), 6);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(S.Memory()), 6), std::string("ab\0\0\0z", 6));
}

TEST(MemoryStream, SizeChangesAndBadSeeks)
{
    TMemoryStream S;
    S.WriteBuffer("abcdef", 6);
    S.SetSize(3);
    EXPECT_EQ(S.GetPosition(), 3) << "a position beyond the new end moves to it";
    S.SetSize(10);
    EXPECT_EQ(S.GetSize(), 10);
    EXPECT_EQ(S.Memory()[9], 0);
    EXPECT_EQ(S.Seek(-1, soFromBeginning), -1);
    EXPECT_EQ(S.Seek(0, 7), -1) << "unknown origin";
    EXPECT_EQ(S.GetPosition(), 3) << "a refused seek leaves the position";
    S.Clear();
    EXPECT_EQ(S.GetSize(), 0);
    EXPECT_EQ(S.GetPosition(), 0);
}

TEST(Stream, CopyFromCopiesAllOrPart)
{
    TMemoryStream Source;
    Source.WriteBuffer("0123456789", 10);
    Source.SetPosition(7);

    TMemoryStream All;
    EXPECT_EQ(All.CopyFrom(Source, 0), 10) << "count 0 copies everything from the start";
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(All.Memory()), 10), "0123456789");

    Source.SetPosition(2);
    TMemoryStream Part;
    EXPECT_EQ(Part.CopyFrom(Source, 3), 3);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(Part.Memory()), 3), "234");
    EXPECT_THROW(Part.CopyFrom(Source, 100), EReadError);
}

TEST(Stream, CopyFromCrossesItsChunkSize)
{
    std::string Big(200000, '\0');
    for (size_t I = 0; I < Big.size(); ++I)
        Big[I] = static_cast<char>(I * 7);
    TMemoryStream Source;
    Source.WriteBuffer(Big.data(), static_cast<int32_t>(Big.size()));
    TMemoryStream Copy;
    Copy.CopyFrom(Source, 0);
    ASSERT_EQ(Copy.GetSize(), static_cast<int64_t>(Big.size()));
    EXPECT_EQ(std::memcmp(Copy.Memory(), Big.data(), Big.size()), 0);
}

TEST(MemoryStream, FileRoundTripKeepsEveryByte)
{
    testsupport::TempDir Dir;
    TMemoryStream Out;
    const std::string Bytes = allBytes();
    Out.WriteBuffer(Bytes.data(), 256);
    Out.SetPosition(100);
    Out.SaveToFile(Dir.file("bytes.bin"));
    EXPECT_EQ(testsupport::ReadFile(Dir.file("bytes.bin")), Bytes) << "the whole stream, whatever the position";

    TMemoryStream In;
    In.WriteBuffer("old", 3);
    In.LoadFromFile(Dir.file("bytes.bin"));
    EXPECT_EQ(In.GetPosition(), 0);
    ASSERT_EQ(In.GetSize(), 256);
    EXPECT_EQ(std::memcmp(In.Memory(), Bytes.data(), 256), 0);
    EXPECT_THROW(In.LoadFromFile(Dir.file("missing.bin")), EFOpenError);
}

TEST(FileStream, CreateTruncatesAndOpenReadsBack)
{
    testsupport::TempDir Dir;
    const std::string Path = Dir.file("data.bin");
    testsupport::WriteFile(Path, "previous contents");
    {
        TFileStream F(Path, fmCreate);
        EXPECT_EQ(F.GetSize(), 0) << "fmCreate empties an existing file";
        F.WriteBuffer("hello", 5);
        EXPECT_EQ(F.FileName(), Path);
    }
    TFileStream R(Path, fmOpenRead | fmShareDenyWrite);
    EXPECT_EQ(R.GetSize(), 5);
    char Buf[8];
    EXPECT_EQ(R.Seek(-3, soFromEnd), 2);
    R.ReadBuffer(Buf, 3);
    EXPECT_EQ(std::string(Buf, 3), "llo");
    try {
        R.ReadBuffer(Buf, 1);
        FAIL() << "no exception";
    } catch (const EReadError& E) {
        EXPECT_EQ(E.Message(), "Stream read error");
    }
}

TEST(FileStream, CreateWithShareFlagsStillCreates)
{
    testsupport::TempDir Dir;
    const std::string Fresh = Dir.file("fresh.bin");
    {
        TFileStream F(Fresh, fmCreate | fmShareExclusive);
        F.WriteBuffer("new", 3);
    }
    EXPECT_EQ(testsupport::ReadFile(Fresh), "new");

    const std::string Old = Dir.file("old.bin");
    testsupport::WriteFile(Old, "previous contents");
    {
        TFileStream F(Old, fmCreate | fmShareDenyWrite);
        EXPECT_EQ(F.GetSize(), 0) << "still empties an existing file";
    }
    EXPECT_EQ(testsupport::ReadFile(Old), "");
}

TEST(FileStream, ReadWriteChangesInPlace)
{
    testsupport::TempDir Dir;
    const std::string Path = Dir.file("data.bin");
    testsupport::WriteFile(Path, "abcdef");
    {
        TFileStream F(Path, fmOpenReadWrite);
        F.Seek(2, soFromBeginning);
        F.WriteBuffer("XY", 2);
        F.SetSize(5);
        EXPECT_EQ(F.GetPosition(), 4);
    }
    EXPECT_EQ(testsupport::ReadFile(Path), "abXYe");
}

TEST(FileStream, WritingAStreamOpenedForReadingRaises)
{
    testsupport::TempDir Dir;
    const std::string Path = Dir.file("data.bin");
    testsupport::WriteFile(Path, "abc");
    TFileStream R(Path, fmOpenRead);
    try {
        R.WriteBuffer("x", 1);
        FAIL() << "no exception";
    } catch (const EWriteError& E) {
        EXPECT_EQ(E.Message(), "Stream write error");
    }
    EXPECT_EQ(testsupport::ReadFile(Path), "abc");
}

TEST(FileStream, OpenFailuresNameTheFile)
{
    testsupport::TempDir Dir;
    const std::string Missing = Dir.file("missing.dat");
    try {
        TFileStream F(Missing, fmOpenRead);
        FAIL() << "no exception";
    } catch (const EFOpenError& E) {
        EXPECT_EQ(E.Message().rfind("Cannot open file \"" + Missing + "\". ", 0), 0u) << E.Message();
        EXPECT_GT(E.Message().size(), Missing.size() + 22) << "the reason follows";
    }
    EXPECT_THROW(TFileStream(Dir.path(), fmOpenRead), EFOpenError) << "a folder is no file";
    try {
        TFileStream F(Dir.file("no/such/folder.dat"), fmCreate);
        FAIL() << "no exception";
    } catch (const EFCreateError& E) {
        EXPECT_NE(E.Message().find("Cannot create file \"" + Dir.file("no/such/folder.dat") + "\""), std::string::npos);
    }
    EXPECT_THROW(TFileStream(Dir.file("x"), 3), EFOpenError) << "no such access mode";
}

TEST(FileStream, AnsiFileNamesBecomeUtf8OnDisk)
{
    testsupport::TempDir Dir;
    const std::string AnsiName = Dir.file("M\xFCller.txt"); // u with diaeresis in Windows-1252
    {
        TFileStream F(AnsiName, fmCreate);
        F.WriteBuffer("x", 1);
    }
    EXPECT_TRUE(std::filesystem::exists(Dir.file("M\xC3\xBCller.txt")));
    TFileStream R(AnsiName, fmOpenRead);
    EXPECT_EQ(R.GetSize(), 1);
}

TEST(FileStream, TheDescriptorIsPrivateAndClosedWithTheStream)
{
    testsupport::TempDir Dir;
    const std::string Path = Dir.file("data.bin");
    testsupport::WriteFile(Path, "abc");
    {
        TFileStream F(Path, fmOpenRead);
        const std::vector<int> Open = descriptorsOf(Path);
        ASSERT_EQ(Open.size(), 1u);
        EXPECT_NE(fcntl(Open[0], F_GETFD) & FD_CLOEXEC, 0) << "started programs must not inherit it";
    }
    EXPECT_TRUE(descriptorsOf(Path).empty());
    EXPECT_THROW(TFileStream(Dir.file("missing"), fmOpenRead), EFOpenError);
}

} // namespace
