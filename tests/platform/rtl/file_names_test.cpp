//===- file_names_test.cpp - Parts of file names --------------------------===//
#include "platform/rtl/FileNames.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

TEST(FileNames, PathNameAndExtension)
{
    EXPECT_EQ(ExtractFilePath("/opt/varnex/Heliant"), "/opt/varnex/");
    EXPECT_EQ(ExtractFilePath("Heliant"), "");
    EXPECT_EQ(ExtractFileName("/opt/varnex/Heliant"), "Heliant");
    EXPECT_EQ(ExtractFileExt("/opt/varnex/report.pdf"), ".pdf");
    EXPECT_EQ(ExtractFileExt("/opt/var.nex/Heliant"), "") << "a dot in a folder is no extension";
    EXPECT_EQ(ChangeFileExt("/opt/varnex/Heliant", ".INI"), "/opt/varnex/Heliant.INI");
    EXPECT_EQ(ChangeFileExt("/opt/var.nex/Tessaly.exe", ".INI"), "/opt/var.nex/Tessaly.INI");
    EXPECT_EQ(ChangeFileExt("a.tar.gz", ""), "a.tar");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/data"), "/data/");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/data/"), "/data/");
}

TEST(FileNames, FileExistsForFilesOnly)
{
    testsupport::TempDir Dir;
    std::ofstream(Dir.file("M\xC3\xBCller.txt")) << "x";
    EXPECT_TRUE(FileExists(Dir.file("M\xFCller.txt"))) << "the name is ANSI";
    EXPECT_FALSE(FileExists(Dir.file("missing.txt")));
    EXPECT_FALSE(FileExists(Dir.path()));
}

} // namespace
