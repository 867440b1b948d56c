//===- nested_clip_test.cpp - Clips of a metafile drawn into another recording -===//
#include "EmfTestSupport.h"

#include <gtest/gtest.h>

using emftest::record;
using emftest::records;
using emftest::startsWith;
using gditest::Canvas;

namespace {

constexpr COLORREF black = 0, blue = 0xFF0000;

/// The clip records of a dump, without their size.
std::vector<std::string> clipRecords(const EnhMetaFile& Metafile)
{
    std::vector<std::string> out;
    for (const std::string& line : records(Metafile))
        if (startsWith(line, "EXTSELECTCLIPRGN"))
            out.push_back(line.substr(line.find(' ', 17) + 1));
    return out;
}

TEST(EmfNesting, EachInnerClipChangeIsOneCopyOfItsIntersectionWithTheOuterClip)
{
    // The inner picture clips to (10,10)-(40,40), narrows that to (20,0)-(50,30) with RGN_AND,
    // fills everything black, then drops its clip and fills a blue band at the bottom.
    RECT innerFrame = emftest::frameOfPixels(60, 60);
    HENHMETAFILE inner = record(
        [](HDC D) {
            HRGN first = CreateRectRgn(10, 10, 40, 40), second = CreateRectRgn(20, 0, 50, 30);
            SelectClipRgn(D, first);
            ExtSelectClipRgn(D, second, RGN_AND);
            SelectObject(D, GetStockObject(BLACK_BRUSH));
            SelectObject(D, GetStockObject(NULL_PEN));
            Rectangle(D, 0, 0, 61, 61);
            SelectClipRgn(D, nullptr);
            HBRUSH band = CreateSolidBrush(blue);
            RECT bottom { 0, 50, 60, 60 };
            FillRect(D, bottom, band);
            DeleteObject(band);
            DeleteObject(first);
            DeleteObject(second);
        },
        &innerFrame);
    ASSERT_TRUE(inner);

    // Drawn 1:1 at the origin of an outer picture whose own clip is (0,0)-(35,55).
    RECT outerFrame = emftest::frameOfPixels(60, 60);
    HENHMETAFILE outer = record(
        [&](HDC D) {
            HRGN clip = CreateRectRgn(0, 0, 35, 55);
            SelectClipRgn(D, clip);
            DeleteObject(clip);
            PlayEnhMetaFile(D, *inner, RECT { 0, 0, 60, 60 });
        },
        &outerFrame);
    ASSERT_TRUE(outer);

    // The outer clip, then one RGN_COPY per inner change, each already cut by the outer clip.
    EXPECT_EQ(clipRecords(*outer), (std::vector<std::string> {
                                       "mode=5 rects=1 (0,0)-(35,55)",
                                       "mode=5 rects=1 (10,10)-(35,40)",
                                       "mode=5 rects=1 (20,10)-(35,30)",
                                       "mode=5 rects=1 (0,0)-(35,55)",
                                   }))
        << DumpEnhMetaFile(outer->Bytes());

    Canvas c(60, 60);
    PlayEnhMetaFile(c.dc(), *outer, RECT { 0, 0, 60, 60 });
    RECT ink = c.inkBounds();
    EXPECT_EQ(c.count(black), 15 * 20) << "the inner clip holds\n" << c.picture(black);
    EXPECT_EQ(c.count(blue), 35 * 5) << "the outer clip holds after the inner one is dropped\n" << c.picture(blue);
    EXPECT_EQ(ink.left, 0);
    EXPECT_EQ(ink.right, 35);
}

} // namespace
