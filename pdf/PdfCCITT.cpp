//===- PdfCCITT.cpp - The fax coder of black-and-white images -------------===//
#include "pdf/PdfCCITT.h"

#include "platform/gdi/bitmaps/Dib.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/TStream.h"
#include "platform/ui/graphics/TBitmap.h"

#include <array>

namespace {

struct Code {
    uint8_t Length;
    uint8_t Value;
};

// Terminating codes of runs 0 to 63.
constexpr std::array<Code, 64> WhiteTerminating { {
    { 8, 0x35 }, { 6, 0x07 }, { 4, 0x07 }, { 4, 0x08 }, { 4, 0x0B }, { 4, 0x0C }, { 4, 0x0E }, { 4, 0x0F },
    { 5, 0x13 }, { 5, 0x14 }, { 5, 0x07 }, { 5, 0x08 }, { 6, 0x08 }, { 6, 0x03 }, { 6, 0x34 }, { 6, 0x35 },
    { 6, 0x2A }, { 6, 0x2B }, { 7, 0x27 }, { 7, 0x0C }, { 7, 0x08 }, { 7, 0x17 }, { 7, 0x03 }, { 7, 0x04 },
    { 7, 0x28 }, { 7, 0x2B }, { 7, 0x13 }, { 7, 0x24 }, { 7, 0x18 }, { 8, 0x02 }, { 8, 0x03 }, { 8, 0x1A },
    { 8, 0x1B }, { 8, 0x12 }, { 8, 0x13 }, { 8, 0x14 }, { 8, 0x15 }, { 8, 0x16 }, { 8, 0x17 }, { 8, 0x28 },
    { 8, 0x29 }, { 8, 0x2A }, { 8, 0x2B }, { 8, 0x2C }, { 8, 0x2D }, { 8, 0x04 }, { 8, 0x05 }, { 8, 0x0A },
    { 8, 0x0B }, { 8, 0x52 }, { 8, 0x53 }, { 8, 0x54 }, { 8, 0x55 }, { 8, 0x24 }, { 8, 0x25 }, { 8, 0x58 },
    { 8, 0x59 }, { 8, 0x5A }, { 8, 0x5B }, { 8, 0x4A }, { 8, 0x4B }, { 8, 0x32 }, { 8, 0x33 }, { 8, 0x34 },
} };
constexpr std::array<Code, 64> BlackTerminating { {
    { 10, 0x37 }, { 3, 0x02 },  { 2, 0x03 },  { 2, 0x02 },  { 3, 0x03 },  { 4, 0x03 },  { 4, 0x02 },  { 5, 0x03 },
    { 6, 0x05 },  { 6, 0x04 },  { 7, 0x04 },  { 7, 0x05 },  { 7, 0x07 },  { 8, 0x04 },  { 8, 0x07 },  { 9, 0x18 },
    { 10, 0x17 }, { 10, 0x18 }, { 10, 0x08 }, { 11, 0x67 }, { 11, 0x68 }, { 11, 0x6C }, { 11, 0x37 }, { 11, 0x28 },
    { 11, 0x17 }, { 11, 0x18 }, { 12, 0xCA }, { 12, 0xCB }, { 12, 0xCC }, { 12, 0xCD }, { 12, 0x68 }, { 12, 0x69 },
    { 12, 0x6A }, { 12, 0x6B }, { 12, 0xD2 }, { 12, 0xD3 }, { 12, 0xD4 }, { 12, 0xD5 }, { 12, 0xD6 }, { 12, 0xD7 },
    { 12, 0x6C }, { 12, 0x6D }, { 12, 0xDA }, { 12, 0xDB }, { 12, 0x54 }, { 12, 0x55 }, { 12, 0x56 }, { 12, 0x57 },
    { 12, 0x64 }, { 12, 0x65 }, { 12, 0x52 }, { 12, 0x53 }, { 12, 0x24 }, { 12, 0x37 }, { 12, 0x38 }, { 12, 0x27 },
    { 12, 0x28 }, { 12, 0x58 }, { 12, 0x59 }, { 12, 0x2B }, { 12, 0x2C }, { 12, 0x5A }, { 12, 0x66 }, { 12, 0x67 },
} };
// Make-up codes of 64 to 1728, entry n for (n + 1) x 64.
constexpr std::array<Code, 27> WhiteMakeUp { {
    { 5, 0x1B }, { 5, 0x12 }, { 6, 0x17 }, { 7, 0x37 }, { 8, 0x36 }, { 8, 0x37 }, { 8, 0x64 }, { 8, 0x65 }, { 8, 0x68 },
    { 8, 0x67 }, { 9, 0xCC }, { 9, 0xCD }, { 9, 0xD2 }, { 9, 0xD3 }, { 9, 0xD4 }, { 9, 0xD5 }, { 9, 0xD6 }, { 9, 0xD7 },
    { 9, 0xD8 }, { 9, 0xD9 }, { 9, 0xDA }, { 9, 0xDB }, { 9, 0x98 }, { 9, 0x99 }, { 9, 0x9A }, { 6, 0x18 }, { 9, 0x9B },
} };
constexpr std::array<Code, 27> BlackMakeUp { {
    { 10, 0x0F }, { 12, 0xC8 }, { 12, 0xC9 }, { 12, 0x5B }, { 12, 0x33 }, { 12, 0x34 }, { 12, 0x35 },
    { 13, 0x6C }, { 13, 0x6D }, { 13, 0x4A }, { 13, 0x4B }, { 13, 0x4C }, { 13, 0x4D }, { 13, 0x72 },
    { 13, 0x73 }, { 13, 0x74 }, { 13, 0x75 }, { 13, 0x76 }, { 13, 0x77 }, { 13, 0x52 }, { 13, 0x53 },
    { 13, 0x54 }, { 13, 0x55 }, { 13, 0x5A }, { 13, 0x5B }, { 13, 0x64 }, { 13, 0x65 },
} };
// Make-up codes of 1792 to 2560, shared by both colours.
constexpr std::array<Code, 13> ExtendedMakeUp { {
    { 11, 0x08 },
    { 11, 0x0C },
    { 11, 0x0D },
    { 12, 0x12 },
    { 12, 0x13 },
    { 12, 0x14 },
    { 12, 0x15 },
    { 12, 0x16 },
    { 12, 0x17 },
    { 12, 0x1C },
    { 12, 0x1D },
    { 12, 0x1E },
    { 12, 0x1F },
} };
// Vertical mode codes, entry a1 - b1 + 3.
constexpr std::array<Code, 7> VerticalCodes { {
    { 7, 0x02 },
    { 6, 0x02 },
    { 3, 0x02 },
    { 1, 0x01 },
    { 3, 0x03 },
    { 6, 0x03 },
    { 7, 0x03 },
} };
constexpr Code PassCode { 4, 0x01 };
constexpr Code HorizontalCode { 3, 0x01 };
constexpr Code EndOfLine { 12, 0x01 };

bool pixel(const std::vector<uint8_t>& Row, int X) { return (Row[X >> 3] >> (7 - (X & 7))) & 1; }

/// The first position at or after Start whose colour is not Black (Width when none); whole
/// bytes of that colour are stepped over eight pixels at a time.
int findChange(const std::vector<uint8_t>& Row, int Start, int Width, bool Black)
{
    const uint8_t Same = Black ? 0xFF : 0x00;
    int X = Start;
    while (X < Width) {
        if ((X & 7) == 0 && X + 8 <= Width && Row[X >> 3] == Same) {
            X += 8;
            continue;
        }
        if (pixel(Row, X) != Black)
            return X;
        ++X;
    }
    return Width;
}

/// The next change after position X (Width when X is already at the end).
int nextChange(const std::vector<uint8_t>& Row, int X, int Width)
{
    return X < Width ? findChange(Row, X, Width, pixel(Row, X)) : Width;
}

} // namespace

TCCITTCompression::TCCITTCompression(TMemoryStream* Output, int Mode) : FOutput(Output), FMode(Mode) {}

void TCCITTCompression::Compress(const Dib& Picture)
{
    if (!FOutput)
        throw Exception("Not set output stream.");
    if (Picture.Bits() != 1)
        throw Exception("Not b/w image.");
    FWidth = Picture.Width();
    FRowBytes = (FWidth + 7) / 8;
    if (FWidth <= 0 || Picture.Height() <= 0)
        return;
    if (FMode != 0)
        FReference.assign(static_cast<size_t>(FRowBytes), 0);
    std::vector<uint8_t> Row(static_cast<size_t>(FRowBytes));
    for (int Y = 0; Y < Picture.Height(); ++Y) {
        const uint8_t* Line = Picture.ScanLine(Y);
        for (int I = 0; I < FRowBytes; ++I)
            Row[I] = static_cast<uint8_t>(~Line[I]);
        if (FMode == 0) {
            codeRow1D(Row);
            continue;
        }
        if (FMode == 1) {
            putBits(EndOfLine.Value, EndOfLine.Length);
            putBits(0, 1);
        }
        codeRow2D(Row);
        FReference = Row;
    }
    if (FMode == 2) {
        putBits(EndOfLine.Value, EndOfLine.Length);
        putBits(EndOfLine.Value, EndOfLine.Length);
    }
    flushBits();
}

void TCCITTCompression::codeRow1D(const std::vector<uint8_t>& Row)
{
    bool Black = false;
    for (int X = 0; X < FWidth;) {
        const int End = findChange(Row, X, FWidth, Black);
        putRun(End - X, Black);
        X = End;
        Black = !Black;
    }
}

void TCCITTCompression::codeRow2D(const std::vector<uint8_t>& Row)
{
    int A0 = 0;
    int A1 = pixel(Row, 0) ? 0 : findChange(Row, 0, FWidth, false);
    int B1 = pixel(FReference, 0) ? 0 : findChange(FReference, 0, FWidth, false);
    for (;;) {
        const int B2 = nextChange(FReference, B1, FWidth);
        if (B2 < A1) {
            putBits(PassCode.Value, PassCode.Length);
            A0 = B2;
        } else if (A1 - B1 >= -3 && A1 - B1 <= 3) {
            const Code& V = VerticalCodes[static_cast<size_t>(A1 - B1 + 3)];
            putBits(V.Value, V.Length);
            A0 = A1;
        } else {
            const int A2 = nextChange(Row, A1, FWidth);
            const bool FirstBlack = !(A0 + A1 == 0 || !pixel(Row, A0));
            putBits(HorizontalCode.Value, HorizontalCode.Length);
            putRun(A1 - A0, FirstBlack);
            putRun(A2 - A1, !FirstBlack);
            A0 = A2;
        }
        if (A0 >= FWidth)
            return;
        const bool Colour = pixel(Row, A0);
        A1 = findChange(Row, A0, FWidth, Colour);
        B1 = findChange(FReference, A0, FWidth, !Colour);
        B1 = findChange(FReference, B1, FWidth, Colour);
    }
}

void TCCITTCompression::putRun(int Run, bool Black)
{
    while (Run > 2623) {
        putBits(ExtendedMakeUp.back().Value, ExtendedMakeUp.back().Length);
        Run -= 2560;
    }
    if (Run > 63) {
        const int MakeUp = Run / 64; // 1 to 40
        const Code& C = MakeUp <= 27 ? (Black ? BlackMakeUp : WhiteMakeUp)[static_cast<size_t>(MakeUp - 1)]
                                     : ExtendedMakeUp[static_cast<size_t>(MakeUp - 28)];
        putBits(C.Value, C.Length);
        Run -= MakeUp * 64;
    }
    const Code& T = (Black ? BlackTerminating : WhiteTerminating)[static_cast<size_t>(Run)];
    putBits(T.Value, T.Length);
}

void TCCITTCompression::putBits(uint32_t Code, int Length)
{
    for (int Bit = Length - 1; Bit >= 0; --Bit) {
        FBitBuffer = static_cast<uint8_t>((FBitBuffer << 1) | ((Code >> Bit) & 1));
        if (--FFreeBits == 0) {
            FOutput->WriteBuffer(&FBitBuffer, 1);
            FBitBuffer = 0;
            FFreeBits = 8;
        }
    }
}

void TCCITTCompression::flushBits()
{
    if (FFreeBits == 8)
        return;
    FBitBuffer = static_cast<uint8_t>(FBitBuffer << FFreeBits);
    FOutput->WriteBuffer(&FBitBuffer, 1);
    FBitBuffer = 0;
    FFreeBits = 8;
}

void EncodeCCITT(const TBitmap& Bitmap, TMemoryStream& Stream, int Mode)
{
    if (Bitmap.GetPixelFormat() != pf1bit)
        throw Exception("Not b/w image.");
    const Dib* Picture = Bitmap.GetDib();
    if (!Picture)
        return;
    TCCITTCompression Coder(&Stream, Mode);
    Coder.Compress(*Picture);
}
