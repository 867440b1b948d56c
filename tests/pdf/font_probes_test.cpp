//===- font_probes_test.cpp - Which faces the system has as TrueType, and in which styles ===//
#include "pdf/PdfFontProbes.h"

#include <gtest/gtest.h>

namespace {

TEST(FontProbes, IsTrueTypeFontFollowsTheLastFaceReported)
{
    struct Row {
        const char* Name;
        bool TrueType;
    };
    const Row Rows[] = {
        { "Arial", true },
        { "times new roman", true },
        { "MS Sans Serif", false },
        { "", false },
        { "No Such Face Anywhere", false },
        // Cut to 31 characters, so the tail does not matter.
        { "Arial Arial Arial Arial Arial A and more", false },
    };
    for (const Row& R : Rows)
        EXPECT_EQ(IsTrueTypeFont(R.Name), R.TrueType) << R.Name;
}

TEST(FontProbes, FindTrueTypeFaceAnswersTheSystemsNameAndTheStyleFound)
{
    std::string Name = "arial";
    uint8_t Style = 3;
    ASSERT_TRUE(FindTrueTypeFace(Name, Style));
    EXPECT_EQ(Name, "Arial");
    EXPECT_EQ(Style, 3);

    Name = "Courier New";
    Style = 1;
    ASSERT_TRUE(FindTrueTypeFace(Name, Style));
    EXPECT_EQ(Style, 1);

    // A raster face is no TrueType face: the probe fails and changes nothing.
    for (const char* Missing : { "MS Sans Serif", "No Such Face Anywhere" }) {
        Name = Missing;
        Style = 2;
        EXPECT_FALSE(FindTrueTypeFace(Name, Style)) << Missing;
        EXPECT_EQ(Name, Missing);
        EXPECT_EQ(Style, 2);
    }
}

} // namespace
