//===- string_list_test.cpp - TStringList ---------------------------------===//
#include "platform/rtl/Exception.h"

#include "tests/support/TestSupport.h"

#include "platform/rtl/TStream.h"
#include "platform/rtl/TStringList.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> items(const TStringList& L) { return std::vector<std::string>(L.begin(), L.end()); }

TEST(StringList, AddInsertDelete)
{
    TStringList L;
    EXPECT_EQ(L.Add("b"), 0);
    EXPECT_EQ(L.Add("d"), 1);
    L.Insert(0, "a");
    L.Insert(2, "c");
    L.Insert(4, "e"); // at Count: appends
    EXPECT_EQ(items(L), (std::vector<std::string> { "a", "b", "c", "d", "e" }));
    L.Delete(1);
    L.Put(0, "A");
    EXPECT_EQ(L.Count(), 4);
    EXPECT_EQ(L[0], "A");
    EXPECT_EQ(L.Get(3), "e");
    L.Clear();
    EXPECT_EQ(L.Count(), 0);
}

TEST(StringList, IndexErrorsNameTheIndex)
{
    TStringList L;
    L.Add("only");
    const auto ExpectIndexError = [](auto Action, const char* Message) {
        try {
            Action();
            ADD_FAILURE() << "no exception for " << Message;
        } catch (const EListError& E) {
            EXPECT_EQ(E.Message(), Message);
        }
    };
    ExpectIndexError([&] { (void)L[1]; }, "List index out of bounds (1)");
    ExpectIndexError([&] { L.Get(-1); }, "List index out of bounds (-1)");
    ExpectIndexError([&] { L.Put(5, "x"); }, "List index out of bounds (5)");
    ExpectIndexError([&] { L.Delete(1); }, "List index out of bounds (1)");
    ExpectIndexError([&] { L.Insert(2, "x"); }, "List index out of bounds (2)");
    ExpectIndexError([&] { L.Names(3); }, "List index out of bounds (3)");
    EXPECT_EQ(L.Count(), 1) << "nothing changed";
}

TEST(StringList, IndexOfIgnoresTheCaseOfEveryLetter)
{
    TStringList L;
    L.Add("Alpha");
    L.Add("\xC4rger"); // A with diaeresis
    L.Add("alpha");
    EXPECT_EQ(L.IndexOf("ALPHA"), 0);
    EXPECT_EQ(L.IndexOf("\xE4RGER"), 1);
    EXPECT_EQ(L.IndexOf("beta"), -1);
}

TEST(StringList, SortedListsKeepOrderAndHandleDuplicates)
{
    TStringList L;
    L.Add("b");
    L.Add("C");
    L.Add("a");
    L.SetSorted(true);
    EXPECT_EQ(items(L), (std::vector<std::string> { "a", "b", "C" }));
    EXPECT_EQ(L.Add("B"), 1) << "dupIgnore answers the index of the one already there";
    EXPECT_EQ(L.Count(), 3);
    EXPECT_EQ(L.Add("bb"), 2);
    EXPECT_EQ(L.IndexOf("BB"), 2);
    L.Duplicates = dupAccept;
    L.Add("A");
    EXPECT_EQ(L.Count(), 5);
    EXPECT_EQ(L.IndexOf("a"), 0);
    L.Duplicates = dupError;
    EXPECT_THROW(L.Add("c"), EListError);
    try {
        L.Insert(0, "z");
        FAIL() << "no exception";
    } catch (const EListError& E) {
        EXPECT_EQ(E.Message(), "Operation not allowed on sorted list");
    }
    EXPECT_THROW(L.Put(0, "z"), EListError);
    int Index = -1;
    EXPECT_FALSE(L.Find("ba", Index));
    EXPECT_EQ(Index, 3) << "where it would go";
}

TEST(StringList, TextSplitsAtEveryKindOfLineEnd)
{
    const std::pair<const char*, std::vector<std::string>> Rows[] = {
        { "a\r\nb\nc\rd", { "a", "b", "c", "d" } },
        { "a\n\nb", { "a", "", "b" } },
        { "a\r\n", { "a" } },
        { "", {} },
        { "\r\n", { "" } },
        { "a\n\rb", { "a", "", "b" } }, // LF then CR are two line ends
        { "a\r\r\nb", { "a", "", "b" } },
        { "x=\xB5J", { "x=\xB5J" } },
    };
    for (const auto& [Text, Expected] : Rows) {
        TStringList L;
        L.SetText(Text);
        EXPECT_EQ(items(L), Expected) << '"' << Text << '"';
    }
    TStringList L;
    L.SetText("one\ntwo");
    EXPECT_EQ(L.GetText(), "one\r\ntwo\r\n");
}

TEST(StringList, FilesKeepBytesAndReadEveryLineEnd)
{
    testsupport::TempDir Dir;
    testsupport::WriteFile(Dir.file("mixed.txt"), "first\r\nM\xFCller\nthird\rlast");
    TStringList L;
    L.LoadFromFile(Dir.file("mixed.txt"));
    EXPECT_EQ(items(L), (std::vector<std::string> { "first", "M\xFCller", "third", "last" }));

    L.SaveToFile(Dir.file("out.txt"));
    EXPECT_EQ(testsupport::ReadFile(Dir.file("out.txt")), "first\r\nM\xFCller\r\nthird\r\nlast\r\n");
    EXPECT_THROW(L.LoadFromFile(Dir.file("missing.txt")), EFOpenError);
    EXPECT_EQ(L.Count(), 4) << "a failed load keeps the list";
}

TEST(StringList, LoadFromStreamReadsFromThePosition)
{
    TMemoryStream S;
    S.WriteBuffer("skip\nkeep\nthis", 14);
    S.SetPosition(5);
    TStringList L;
    L.LoadFromStream(S);
    EXPECT_EQ(items(L), (std::vector<std::string> { "keep", "this" }));
    TMemoryStream Out;
    L.SaveToStream(Out);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(Out.Memory()), static_cast<size_t>(Out.GetSize())),
              "keep\r\nthis\r\n");
}

TEST(StringList, NameValueLines)
{
    TStringList L;
    L.SetText("Freq=50\nplain line\nPath=a=b\nCount=");
    EXPECT_EQ(L.GetValue("freq"), "50");
    EXPECT_EQ(L.GetValue("PATH"), "a=b");
    EXPECT_EQ(L.GetValue("missing"), "");
    EXPECT_EQ(L.Names(0), "Freq");
    EXPECT_EQ(L.Names(1), "");
    EXPECT_EQ(L.ValueFromIndex(2), "a=b");
    EXPECT_EQ(L.IndexOfName("count"), 3);

    L.SetValue("FREQ", "60");
    EXPECT_EQ(L[0], "FREQ=60");
    L.SetValue("hv", "50");
    EXPECT_EQ(L[4], "hv=50");
    L.SetValue("path", "");
    EXPECT_EQ(L.IndexOfName("path"), -1);
    EXPECT_EQ(L.Count(), 4);
}

TEST(StringList, CopiesAreIndependent)
{
    TStringList A;
    A.Add("x");
    TStringList B = A;
    B.Add("y");
    EXPECT_EQ(A.Count(), 1);
    TStringList Sorted;
    Sorted.SetSorted(true);
    Sorted.Assign(B);
    Sorted.AddStrings(Sorted);
    EXPECT_EQ(items(Sorted), (std::vector<std::string> { "x", "y" })) << "duplicates ignored in a sorted list";
    B.AddStrings(B);
    EXPECT_EQ(items(B), (std::vector<std::string> { "x", "y", "x", "y" }));
}

} // namespace
