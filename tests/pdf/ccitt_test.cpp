//===- ccitt_test.cpp - The fax coder's exact bits for the cases a reader would not notice ===//
#include "pdf/PdfCCITT.h"

#include "platform/gdi/bitmaps/Dib.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/TStream.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

/// One row of Width pixels, black where Black says; the colour table is black then white.
Dib row(int Width, const std::function<bool(int)>& Black)
{
    Dib D(Width, 1, 1, true);
    for (int X = 0; X < Width; ++X)
        D.SetIndex(X, 0, Black(X) ? 0 : 1);
    return D;
}

std::string hexOf(const TMemoryStream& S)
{
    static const char* Digits = "0123456789ABCDEF";
    std::string Hex;
    for (int64_t I = 0; I < const_cast<TMemoryStream&>(S).GetSize(); ++I) {
        const uint8_t B = S.Memory()[I];
        Hex += Digits[B >> 4];
        Hex += Digits[B & 15];
    }
    return Hex;
}

} // namespace

TEST(CCITTCoder, CodesTheDocumentedRunSplitsAndEndings)
{
    struct Case {
        const char* What;
        int Mode, Width;
        std::function<bool(int)> Black;
        const char* Hex;
    };
    const auto White = [](int) { return false; };
    const Case Cases[] = {
        // white 8: 10011, padded with zero bits
        { "white row, one run only", 0, 8, White, "98" },
        // white 0 (00110101), black 8 (000101), padding
        { "black row starts with a white run of 0", 0, 8, [](int) { return true; }, "3514" },
        // make-up 2560 (000000011111), make-up 64 (11011), terminating 0 (00110101)
        { "2624 splits as 2560, 64 and 0", 0, 2624, White, "01FD9A80" },
        // make-up 2560, terminating 63 (00110100)
        { "2623 splits as 2560 and 63", 0, 2623, White, "01F340" },
        // vertical 0 (1), then two end-of-line codes, padded
        { "group 4 ends with two end-of-line codes", 2, 8, White, "80080080" },
        // end-of-line and tag bit 0 before the row, vertical 0, no end-of-line after
        { "2-D group 3 leads each row with end-of-line and tag", 1, 8, White, "0014" },
        // horizontal (001), white 2 (0111), black 3 (10), then vertical 0 for the end
        { "horizontal mode away from the reference", 2, 8, [](int X) { return X >= 2 && X < 5; }, "2F40040040" },
    };
    for (const Case& C : Cases) {
        TMemoryStream Out;
        TCCITTCompression(&Out, C.Mode).Compress(row(C.Width, C.Black));
        EXPECT_EQ(hexOf(Out), C.Hex) << C.What;
    }
}

TEST(CCITTCoder, RefusesWithoutStreamOrForColourPictures)
{
    TMemoryStream Out;
    const Dib Colour(4, 4, 24);
    EXPECT_THROW(
        {
            try {
                TCCITTCompression(&Out, 2).Compress(Colour);
            } catch (const Exception& E) {
                EXPECT_STREQ(E.what(), "Not b/w image.");
                throw;
            }
        },
        Exception);
    EXPECT_THROW(
        {
            try {
                TCCITTCompression(nullptr, 2).Compress(Dib(4, 4, 1));
            } catch (const Exception& E) {
                EXPECT_STREQ(E.what(), "Not set output stream.");
                throw;
            }
        },
        Exception);
    EXPECT_EQ(Out.GetSize(), 0);
}
