//===- PdfCCITT.h - The fax coder of black-and-white images (Group 3 and Group 4) -*- C++ -*-===//
#pragma once

#include <cstdint>
#include <vector>

class Dib;
class TBitmap;
class TMemoryStream;

/// Codes 1-bit pictures for the CCITTFaxDecode filter: one-dimensional Group 3 (mode 0),
/// two-dimensional Group 3 with an end-of-line code and tag bit before every row (mode 1), and
/// Group 4 (mode 2). A 1 bit of the picture is coded white: a reader told BlackIs1 false gives
/// the stored bits back.
class TCCITTCompression {
public:
    TCCITTCompression(TMemoryStream* Output, int Mode);

    /// Raises "Not set output stream." without a stream and "Not b/w image." for a picture that
    /// is not 1 bit deep.
    void Compress(const Dib& Picture);

private:
    void codeRow1D(const std::vector<uint8_t>& Row);
    void codeRow2D(const std::vector<uint8_t>& Row);
    void putRun(int Run, bool Black);
    void putBits(uint32_t Code, int Length);
    void flushBits();

    TMemoryStream* FOutput;
    int FMode;
    int FWidth = 0, FRowBytes = 0;
    std::vector<uint8_t> FReference;
    uint8_t FBitBuffer = 0;
    int FFreeBits = 8;
};

/// Codes the bitmap into Stream with the mode (0, 1 or 2). Raises "Not b/w image." for a bitmap
/// that is not 1 bit per pixel; an empty bitmap writes nothing.
void EncodeCCITT(const TBitmap& Bitmap, TMemoryStream& Stream, int Mode);
