//===- font_lookup_test.cpp - Face names of the original resolve to installed files -===//
#include "FontTestSupport.h"

#include <thread>

using fonttest::BaseName;
using fonttest::Font;

namespace {

struct LookupRow {
    const char* Face;
    int32_t Weight;
    bool Italic;
    const char* Family;
    const char* File;
};

TEST(FontLookup, OriginalFaceNamesResolveThroughTheAliasTable)
{
    const LookupRow Rows[] = {
        { "Arial", FW_NORMAL, false, "Liberation Sans", "LiberationSans-Regular.ttf" },
        { "ARIAL", FW_NORMAL, false, "Liberation Sans", "LiberationSans-Regular.ttf" },
        { " arial ", FW_NORMAL, false, "Liberation Sans", "LiberationSans-Regular.ttf" },
        { "Helvetica", FW_NORMAL, false, "Liberation Sans", "LiberationSans-Regular.ttf" },
        { "MS Sans Serif", FW_NORMAL, false, "Liberation Sans", "LiberationSans-Regular.ttf" },
        { "Microsoft Sans Serif", FW_NORMAL, false, "Liberation Sans", "LiberationSans-Regular.ttf" },
        { "Tahoma", FW_NORMAL, false, "Liberation Sans", "LiberationSans-Regular.ttf" },
        { "Verdana", FW_NORMAL, false, "Liberation Sans", "LiberationSans-Regular.ttf" },
        { "System", FW_NORMAL, false, "Liberation Sans", "LiberationSans-Regular.ttf" },
        { "MS Shell Dlg", FW_NORMAL, false, "Liberation Sans", "LiberationSans-Regular.ttf" },
        { "Times New Roman", FW_NORMAL, false, "Liberation Serif", "LiberationSerif-Regular.ttf" },
        { "Times", FW_NORMAL, false, "Liberation Serif", "LiberationSerif-Regular.ttf" },
        { "Courier New", FW_NORMAL, false, "Liberation Mono", "LiberationMono-Regular.ttf" },
        { "Courier", FW_NORMAL, false, "Liberation Mono", "LiberationMono-Regular.ttf" },
        { "Fixedsys", FW_NORMAL, false, "Liberation Mono", "LiberationMono-Regular.ttf" },
    };
    for (const LookupRow& R : Rows) {
        auto F = RealizedFont::Realize(Font(R.Face, -12, R.Weight, R.Italic));
        EXPECT_EQ(F->FamilyName(), R.Family) << R.Face;
        EXPECT_EQ(BaseName(F->FilePath()), R.File) << R.Face;
    }
}

TEST(FontLookup, BoldFromWeight600AndItalicPickTheStyleFiles)
{
    const LookupRow Rows[] = {
        { "Arial", 599, false, "Liberation Sans", "LiberationSans-Regular.ttf" },
        { "Arial", 600, false, "Liberation Sans", "LiberationSans-Bold.ttf" },
        { "Arial", FW_BOLD, true, "Liberation Sans", "LiberationSans-BoldItalic.ttf" },
        { "Arial", FW_NORMAL, true, "Liberation Sans", "LiberationSans-Italic.ttf" },
        { "Times New Roman", FW_BOLD, false, "Liberation Serif", "LiberationSerif-Bold.ttf" },
        { "Times New Roman", FW_NORMAL, true, "Liberation Serif", "LiberationSerif-Italic.ttf" },
        { "Courier New", 900, false, "Liberation Mono", "LiberationMono-Bold.ttf" },
        { "Courier New", FW_BOLD, true, "Liberation Mono", "LiberationMono-BoldItalic.ttf" },
    };
    for (const LookupRow& R : Rows) {
        auto F = RealizedFont::Realize(Font(R.Face, -12, R.Weight, R.Italic));
        EXPECT_EQ(F->FamilyName(), R.Family) << R.Face << " weight " << R.Weight;
        EXPECT_EQ(BaseName(F->FilePath()), R.File) << R.Face << " weight " << R.Weight << " italic " << R.Italic;
    }
}

TEST(FontLookup, InstalledFamilyOutsideTheTableIsUsedByItsOwnName)
{
    auto F = RealizedFont::Realize(Font("DejaVu Serif", -12));
    EXPECT_EQ(F->FamilyName(), "DejaVu Serif");
    EXPECT_EQ(BaseName(F->FilePath()), "DejaVuSerif.ttf");
}

TEST(FontLookup, UnknownAndEmptyNamesFallBackToTheSansFace)
{
    for (const char* Face : { "No Such Face Anywhere", "", "Wingdings 9" }) {
        auto F = RealizedFont::Realize(Font(Face, -12));
        ASSERT_NE(F, nullptr);
        EXPECT_EQ(F->FamilyName(), "Liberation Sans") << '"' << Face << '"';
    }
}

TEST(FontLookup, FaceNameFillingTheWholeFieldIsReadWithinIt)
{
    LOGFONTA F = Font("", -12);
    std::memset(F.lfFaceName, 'A', LF_FACESIZE); // no terminator at all
    auto R = RealizedFont::Realize(F);
    EXPECT_EQ(R->FamilyName(), "Liberation Sans");
    EXPECT_EQ(R->LogFont().lfFaceName[LF_FACESIZE - 1], '\0');
}

TEST(FontLookup, EqualRequestsShareOneRealizedFontAndFilesAreReadOnce)
{
    LOGFONTA A = Font("Arial", -13);
    LOGFONTA B = A;
    B.lfFaceName[10] = 'x'; // after the terminator: not part of the name
    auto First = RealizedFont::Realize(A);
    EXPECT_EQ(First, RealizedFont::Realize(B));

    auto Other = RealizedFont::Realize(Font("Helvetica", -40));
    EXPECT_NE(First, Other);
    EXPECT_EQ(First->FileBytes().data(), Other->FileBytes().data()) << "one copy of the file's bytes";
}

TEST(FontLookup, RealizingFromSeveralThreadsGivesTheSameFonts)
{
    std::vector<std::shared_ptr<const RealizedFont>> Results[4];
    std::vector<std::thread> Threads;
    for (auto& R : Results)
        Threads.emplace_back([&R] {
            for (int H = 5; H < 45; ++H)
                R.push_back(RealizedFont::Realize(Font(H % 2 ? "Courier New" : "Times New Roman", -H)));
        });
    for (auto& T : Threads)
        T.join();
    for (size_t I = 0; I < Results[0].size(); ++I)
        for (int T = 1; T < 4; ++T) {
            EXPECT_EQ(Results[T][I]->FilePath(), Results[0][I]->FilePath());
            EXPECT_EQ(Results[T][I]->TextMetrics().tmHeight, Results[0][I]->TextMetrics().tmHeight);
        }
}

// --- Enumeration of TrueType faces

TEST(FontEnumeration, TrueTypeAliasListsItsFourStylesUnderTheOriginalName)
{
    auto Faces = RealizedFont::EnumTrueTypeFaces("arial");
    ASSERT_EQ(Faces.size(), 4u);
    for (const FontFaceStyle& F : Faces)
        EXPECT_EQ(F.FaceName, "Arial");
    EXPECT_EQ(Faces[0].Weight, 400);
    EXPECT_FALSE(Faces[0].Italic);
    EXPECT_EQ(Faces[1].Weight, 400);
    EXPECT_TRUE(Faces[1].Italic);
    EXPECT_EQ(Faces[2].Weight, 700);
    EXPECT_FALSE(Faces[2].Italic);
    EXPECT_EQ(Faces[3].Weight, 700);
    EXPECT_TRUE(Faces[3].Italic);
}

TEST(FontEnumeration, BitmapAndPrinterFacesAreNoTrueTypeFaces)
{
    for (const char* Face :
         { "MS Sans Serif", "System", "Courier", "Times", "Helvetica", "Fixedsys", "", "No Such Face" })
        EXPECT_TRUE(RealizedFont::EnumTrueTypeFaces(Face).empty()) << '"' << Face << '"';
    EXPECT_FALSE(RealizedFont::EnumTrueTypeFaces("Courier New").empty());
    EXPECT_FALSE(RealizedFont::EnumTrueTypeFaces("Times New Roman").empty());
}

TEST(FontEnumeration, InstalledFamilyIsListedInItsOwnSpelling)
{
    auto Faces = RealizedFont::EnumTrueTypeFaces("dejavu sans mono");
    ASSERT_FALSE(Faces.empty());
    EXPECT_EQ(Faces[0].FaceName, "DejaVu Sans Mono");
    EXPECT_EQ(Faces[0].Weight, 400);
    EXPECT_FALSE(Faces[0].Italic);
}

} // namespace
