//===- jpeg_image_test.cpp - JPEG pictures, bitmap masks and bitmaps copied from other pictures ===//
#include "platform/gdi/bitmaps/Dib.h"
#include "platform/rtl/TStream.h"
#include "platform/ui/graphics/TBitmap.h"
#include "platform/ui/graphics/TCanvas.h"
#include "platform/ui/graphics/TJPEGImage.h"
#include "platform/ui/graphics/TMetafile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

/// A picture with smooth gradients and a sharp block, which JPEG keeps only approximately.
void paintTestPicture(TBitmap& Bitmap, int W, int H)
{
    Bitmap.SetPixelFormat(pf24bit);
    Bitmap.SetSize(W, H);
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X)
            Bitmap.GetCanvas()->SetPixels(X, Y,
                                          static_cast<TColor>(RGB(uint8_t(X * 255 / W), uint8_t(Y * 255 / H), 128)));
    Bitmap.GetCanvas()->GetBrush()->SetColor(clBlue);
    Bitmap.GetCanvas()->FillRect(Rect(W / 4, H / 4, W / 2, H / 2));
}

std::vector<uint8_t> bytesOf(const TJPEGImage& Image)
{
    TMemoryStream Stream;
    Image.SaveToStream(Stream);
    return std::vector<uint8_t>(Stream.Memory(), Stream.Memory() + Stream.GetSize());
}

void loadBytes(TJPEGImage& Image, const std::vector<uint8_t>& Bytes)
{
    TMemoryStream Stream;
    Stream.WriteBuffer(Bytes.data(), static_cast<int32_t>(Bytes.size()));
    Stream.SetPosition(0);
    Image.LoadFromStream(Stream);
}

/// The mean difference of the colour channels between the two pictures, and the largest one
/// away from the block's edges (where halved colour resolution blurs the sharp edge).
std::pair<double, int> difference(TBitmap& A, TBitmap& B)
{
    const int W = A.GetWidth(), H = A.GetHeight();
    const auto nearEdge = [&](int X, int Y) {
        const auto near = [](int V, int Edge) { return std::abs(V - Edge) <= 2; };
        return near(X, W / 4) || near(X, W / 2) || near(Y, H / 4) || near(Y, H / 2);
    };
    int Max = 0;
    long Sum = 0;
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X) {
            const COLORREF P = A.GetDib()->GetPixel(X, Y), Q = B.GetDib()->GetPixel(X, Y);
            for (int Shift : { 0, 8, 16 }) {
                const int D = std::abs(int((P >> Shift) & 0xFF) - int((Q >> Shift) & 0xFF));
                if (!nearEdge(X, Y))
                    Max = std::max(Max, D);
                Sum += D;
            }
        }
    return { double(Sum) / (3.0 * W * H), Max };
}

TEST(JpegImageTest, ABitmapComesBackCloseAndTheQualityDecidesTheSize)
{
    TBitmap Original;
    paintTestPicture(Original, 64, 48);
    std::vector<size_t> Sizes;
    for (int Quality : { 95, 20 }) {
        TJPEGImage Image;
        Image.Assign(Original);
        Image.SetCompressionQuality(Quality);
        const std::vector<uint8_t> Bytes = bytesOf(Image);
        Sizes.push_back(Bytes.size());

        TJPEGImage Loaded;
        loadBytes(Loaded, Bytes);
        EXPECT_EQ(Loaded.GetWidth(), 64);
        EXPECT_EQ(Loaded.GetHeight(), 48);
        EXPECT_FALSE(Loaded.GetGrayscale());
        TBitmap Back;
        Back.Assign(Loaded);
        EXPECT_EQ(Back.GetPixelFormat(), pf24bit);
        if (Quality == 95) {
            const auto [Mean, Max] = difference(Original, Back);
            EXPECT_LE(Mean, 3.0);
            EXPECT_LE(Max, 16);
        }
        // Unchanged, the loaded bytes are saved as they came.
        EXPECT_EQ(bytesOf(Loaded), Bytes);
    }
    EXPECT_LT(Sizes[1], Sizes[0]);
}

TEST(JpegImageTest, DamagedDataIsRefusedAndThePictureKept)
{
    TBitmap Original;
    paintTestPicture(Original, 32, 32);
    TJPEGImage Source;
    Source.Assign(Original);
    const std::vector<uint8_t> Whole = bytesOf(Source);

    std::vector<uint8_t> Flipped = Whole;
    Flipped[2] ^= 0xFF; // the first marker after SOI
    const std::vector<std::vector<uint8_t>> Damaged = {
        std::vector<uint8_t>(Whole.begin(), Whole.begin() + Whole.size() / 2), // cut short
        std::vector<uint8_t>(Whole.begin(), Whole.begin() + 2),                // only SOI
        {},                                                                    // nothing
        { 'B', 'M', 0, 0 },                                                    // not a JPEG
        Flipped,
    };
    TJPEGImage Image;
    loadBytes(Image, Whole);
    for (size_t I = 0; I < Damaged.size(); ++I) {
        EXPECT_THROW(loadBytes(Image, Damaged[I]), EInvalidGraphic) << "case " << I;
        EXPECT_EQ(Image.GetWidth(), 32) << "case " << I;
        EXPECT_EQ(bytesOf(Image), Whole) << "case " << I;
    }
    TJPEGImage Empty;
    EXPECT_THROW(bytesOf(Empty), EInvalidGraphic);
}

TEST(JpegImageTest, AGreyPictureStaysGrey)
{
    TBitmap Original;
    paintTestPicture(Original, 24, 16);
    TJPEGImage Grey;
    Grey.SetGrayscale(true);
    Grey.Assign(Original);
    const std::vector<uint8_t> Bytes = bytesOf(Grey);

    TJPEGImage Loaded;
    loadBytes(Loaded, Bytes);
    EXPECT_TRUE(Loaded.GetGrayscale());
    TBitmap Back;
    Back.Assign(Loaded);
    for (int Y = 0; Y < 16; ++Y)
        for (int X = 0; X < 24; ++X) {
            const COLORREF C = Back.GetDib()->GetPixel(X, Y);
            ASSERT_TRUE(GetRValue(C) == GetGValue(C) && GetGValue(C) == GetBValue(C)) << X << "," << Y;
        }
    // Saved again after a change of quality, it is still written with one component.
    Loaded.SetCompressionQuality(50);
    TJPEGImage Again;
    loadBytes(Again, bytesOf(Loaded));
    EXPECT_TRUE(Again.GetGrayscale());
    // And a colour picture made grey turns grey.
    TJPEGImage Colour;
    Colour.Assign(Original);
    Colour.SetGrayscale(true);
    TBitmap Turned;
    Turned.Assign(Colour);
    const COLORREF C = Turned.GetDib()->GetPixel(20, 2);
    EXPECT_TRUE(GetRValue(C) == GetGValue(C) && GetGValue(C) == GetBValue(C));
}

TEST(BitmapMaskTest, PixelsOfTheColourTurnWhiteAndAllOthersBlack)
{
    for (TPixelFormat Format : { pf24bit, pf8bit }) {
        TBitmap Bitmap;
        Bitmap.SetPixelFormat(Format);
        Bitmap.SetSize(3, 2);
        const TColor Colours[2][3] = { { clRed, clWhite, clBlack }, { clLime, clRed, clRed } };
        for (int Y = 0; Y < 2; ++Y)
            for (int X = 0; X < 3; ++X)
                Bitmap.GetCanvas()->SetPixels(X, Y, Colours[Y][X]);
        Bitmap.Mask(clRed);
        EXPECT_TRUE(Bitmap.GetMonochrome());
        for (int Y = 0; Y < 2; ++Y)
            for (int X = 0; X < 3; ++X)
                EXPECT_EQ(Bitmap.GetCanvas()->GetPixels(X, Y), Colours[Y][X] == clRed ? clWhite : clBlack)
                    << "format " << int(Format) << " at " << X << "," << Y;
    }
}

TEST(BitmapAssignTest, AMetafileIsDrawnIntoPixelsOfItsSizeOnWhite)
{
    TMetafile Picture;
    Picture.SetWidth(20);
    Picture.SetHeight(10);
    {
        TMetafileCanvas Canvas(Picture, nullptr);
        Canvas.GetBrush()->SetColor(clRed);
        Canvas.GetPen()->SetStyle(psClear);
        Canvas.Rectangle(0, 0, 11, 11);
    }
    TBitmap Bitmap;
    Bitmap.Assign(Picture);
    EXPECT_EQ(Bitmap.GetWidth(), 20);
    EXPECT_EQ(Bitmap.GetHeight(), 10);
    EXPECT_EQ(Bitmap.GetCanvas()->GetPixels(2, 2), clRed);
    EXPECT_EQ(Bitmap.GetCanvas()->GetPixels(15, 5), clWhite);
}

} // namespace
