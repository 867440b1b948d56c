//===- picture_file_test.cpp - Bitmaps saved as PNG and BMP picture files ---===//
#include "platform/gdi/bitmaps/Dib.h"

#include "tests/support/TestSupport.h"

#include "platform/ui/graphics/TBitmap.h"

#include <QImage>
#include <gtest/gtest.h>
#include <filesystem>
#include <span>

namespace {

/// Every channel varies on its own, so a swapped or shifted channel shows.
void paintChannels(Dib& Picture)
{
    for (int Y = 0; Y < Picture.Height(); ++Y)
        for (int X = 0; X < Picture.Width(); ++X)
            Picture.SetPixel(X, Y, RGB(uint8_t(X * 7), uint8_t(Y * 3), uint8_t(X ^ Y)));
}

TEST(PictureFile, PngAndBmpFilesHoldThePixelsAndNoPartFileStays)
{
    testsupport::TempDir dir;
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf24bit);
    bitmap.SetSize(300, 250);
    paintChannels(*bitmap.GetDib());

    const std::string png = dir.file("picture.png"), bmp = dir.file("picture.BMP");
    ASSERT_TRUE(bitmap.SavePictureFile(png));
    ASSERT_TRUE(bitmap.SavePictureFile(bmp));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2) << "only the two files";

    const QImage read(QString::fromStdString(png), "PNG");
    ASSERT_EQ(read.width(), 300);
    ASSERT_EQ(read.height(), 250);
    const std::string bytes = testsupport::ReadFile(bmp);
    const std::unique_ptr<Dib> loaded =
        Dib::LoadBmp(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
    ASSERT_NE(loaded, nullptr) << "the name's case does not matter: a BMP file";
    for (int y : { 0, 1, 137, 249 })
        for (int x : { 0, 5, 299 }) {
            const COLORREF want = bitmap.GetDib()->GetPixel(x, y);
            const QRgb got = read.pixel(x, y);
            EXPECT_EQ(RGB(qRed(got), qGreen(got), qBlue(got)), want) << "PNG " << x << "," << y;
            EXPECT_EQ(loaded->GetPixel(x, y), want) << "BMP " << x << "," << y;
        }
}

TEST(PictureFile, AnEmptyBitmapOrAFolderThatIsNotThereWritesNothing)
{
    testsupport::TempDir dir;
    TBitmap empty;
    EXPECT_FALSE(empty.SavePictureFile(dir.file("empty.png")));
    TBitmap bitmap;
    bitmap.SetSize(4, 4);
    EXPECT_FALSE(bitmap.SavePictureFile(dir.file("missing/picture.png")));
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

} // namespace
