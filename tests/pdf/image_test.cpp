//===- image_test.cpp - Images written into documents, read back by real readers ===//
#include "tests/pdf/PdfTestSupport.h"

#include "tests/support/TestSupport.h"

#include "pdf/TPDFDocument.h"
#include "pdf/TPDFException.h"
#include "pdf/TPDFImages.h"
#include "pdf/TPDFOutlines.h"
#include "pdf/TPDFPage.h"

#include "platform/gdi/bitmaps/Dib.h"
#include "platform/ui/graphics/TBitmap.h"
#include "platform/ui/graphics/TJPEGImage.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sstream>

using namespace pdftest;

namespace {

using Pattern = std::function<bool(int X, int Y)>;

/// A 1-bit bitmap, black where the pattern says; Reversed makes index 1 the black entry.
std::unique_ptr<TBitmap> blackAndWhite(int W, int H, const Pattern& Black, bool Reversed = false)
{
    auto B = std::make_unique<TBitmap>();
    B->SetSize(W, H);
    B->SetPixelFormat(pf1bit);
    Dib& D = *B->GetDib();
    if (Reversed)
        std::swap(D.Palette()[0], D.Palette()[1]);
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X)
            D.SetIndex(X, Y, Black(X, Y) == Reversed ? 1 : 0);
    return B;
}

std::unique_ptr<TBitmap> colourful(int W, int H)
{
    auto B = std::make_unique<TBitmap>();
    B->SetSize(W, H);
    B->SetPixelFormat(pf24bit);
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X)
            B->GetDib()->SetPixel(X, Y, RGB(X * 7 % 256, Y * 40 % 256, (X * Y) % 256));
    return B;
}

/// A binary PBM (P4, 1 is black) or PPM (P6) file that pdfimages wrote.
struct Pnm {
    std::string Magic;
    int Width = 0, Height = 0;
    std::string Data;
    bool black(int X, int Y) const
    {
        const size_t Row = static_cast<size_t>((Width + 7) / 8);
        return (static_cast<uint8_t>(Data[Row * Y + X / 8]) >> (7 - X % 8)) & 1;
    }
    COLORREF rgb(int X, int Y) const
    {
        const auto* P = reinterpret_cast<const uint8_t*>(Data.data()) + (static_cast<size_t>(Y) * Width + X) * 3;
        return RGB(P[0], P[1], P[2]);
    }
};

Pnm readPnm(const std::string& Bytes)
{
    std::istringstream In(Bytes);
    Pnm P;
    In >> P.Magic >> P.Width >> P.Height;
    if (P.Magic == "P6") {
        int Max = 0;
        In >> Max;
    }
    In.get();
    P.Data = Bytes.substr(static_cast<size_t>(In.tellg()));
    return P;
}

// Odd width, runs of every length up to a row, an all-black row and an all-white row.
const Pattern Mixed = [](int X, int Y) { return Y == 3 || (Y != 4 && (X * X + Y * 5) % (Y + 3) < 2); };
// Runs past the longest make-up code, both colours, and an all-black row.
const Pattern LongRuns = [](int X, int Y) { return Y == 1 || (Y % 2 == 0 ? X >= 5 && X < 2900 : X > 2623); };

} // namespace

TEST(PdfImages, EveryCodingRoundTripsThroughAReader)
{
    struct Picture {
        const char* What;
        int Kind, Width, Height;
        Pattern Black;
        bool Reversed;
    };
    const Picture Pictures[] = {
        { "1-D, mixed", 2, 37, 23, Mixed, false },      { "1-D, long runs", 2, 3001, 6, LongRuns, false },
        { "2-D, mixed", 3, 37, 23, Mixed, false },      { "2-D, long runs", 3, 3001, 6, LongRuns, false },
        { "G4, mixed", 4, 37, 23, Mixed, false },       { "G4, long runs", 4, 3001, 6, LongRuns, false },
        { "G4, black is one", 4, 37, 23, Mixed, true }, { "1-D, black is one", 2, 37, 23, Mixed, true },
    };
    testsupport::TempDir Dir;
    const std::string File = Dir.file("images.pdf");
    const std::unique_ptr<TBitmap> Colour = colourful(29, 11);
    const std::string Pdf = WritePdf(File, nullptr, [&](TPDFDocument& Doc) {
        for (const Picture& P : Pictures) {
            const auto B = blackAndWhite(P.Width, P.Height, P.Black, P.Reversed);
            Doc.CurrentPage->ShowImage(Doc.AddImage(*B, P.Kind), 10, 10, 100, 50);
        }
        Doc.CurrentPage->ShowImage(Doc.AddImage(*Colour, 0), 10, 100, 100, 50);
        Doc.CurrentPage->ShowImage(Doc.AddImage(*Colour, 1), 10, 200, 100, 50);
    });
    EXPECT_EQ(RunTool({ "qpdf", "--check", File }).Status, 0);
    const ToolResult List = RunTool({ "pdfimages", "-list", File });
    ASSERT_EQ(List.Status, 0) << List.Output;
    EXPECT_EQ(std::count(List.Output.begin(), List.Output.end(), '\n'), 2 + 10) << List.Output;
    EXPECT_NE(List.Output.find("image      37    23  gray    1   1  ccitt"), std::string::npos) << List.Output;
    EXPECT_NE(List.Output.find("image      29    11  rgb     3   8  image"), std::string::npos) << List.Output;
    EXPECT_NE(List.Output.find("image      29    11  rgb     3   8  jpeg"), std::string::npos) << List.Output;
    EXPECT_NE(Pdf.find("/Rows 23/BlackIs1 true>>]"), std::string::npos);

    ASSERT_EQ(RunTool({ "pdfimages", File, Dir.file("im") }).Status, 0);
    int Index = 0;
    for (const Picture& P : Pictures) {
        const Pnm Got = readPnm(testsupport::ReadFile(Dir.file("im-00" + std::to_string(Index++) + ".pbm")));
        ASSERT_EQ(Got.Magic, "P4") << P.What;
        ASSERT_EQ(Got.Width, P.Width) << P.What;
        ASSERT_EQ(Got.Height, P.Height) << P.What;
        int Wrong = 0;
        for (int Y = 0; Y < P.Height; ++Y)
            for (int X = 0; X < P.Width; ++X)
                Wrong += Got.black(X, Y) != P.Black(X, Y);
        EXPECT_EQ(Wrong, 0) << P.What;
    }
    const Pnm Rgb = readPnm(testsupport::ReadFile(Dir.file("im-008.ppm")));
    ASSERT_EQ(Rgb.Magic, "P6");
    int Wrong = 0;
    for (int Y = 0; Y < 11; ++Y)
        for (int X = 0; X < 29; ++X)
            Wrong += Rgb.rgb(X, Y) != Colour->GetDib()->GetPixel(X, Y);
    EXPECT_EQ(Wrong, 0);
}

TEST(PdfImages, AMaskIsAStencilWithoutColourSpaceAndEachImageIsWrittenOnce)
{
    testsupport::TempDir Dir;
    const std::string File = Dir.file("mask.pdf");
    const std::unique_ptr<TBitmap> Picture = colourful(16, 8);
    // White marks the transparent part, whatever the bitmap's own transparent colour.
    for (int X = 0; X < 8; ++X)
        for (int Y = 0; Y < 8; ++Y)
            Picture->GetDib()->SetPixel(X, Y, RGB(255, 255, 255));
    const std::string Pdf = WritePdf(File, nullptr, [&](TPDFDocument& Doc) {
        const int Mask = Doc.AddImage(*Picture, 0, RGB(255, 255, 255), true);
        const int Image = Doc.AddImage(*Picture, 0, -1, false, Mask);
        Doc.CurrentPage->ShowImage(Image, 0, 0, 160, 80);
        Doc.CurrentPage->ShowImage(Image, 200, 0, 160, 80);
    });
    EXPECT_EQ(RunTool({ "qpdf", "--check", File }).Status, 0);
    size_t Images = 0;
    for (size_t At = 0; (At = Pdf.find("/Subtype /Image", At)) != std::string::npos; ++At)
        ++Images;
    EXPECT_EQ(Images, 2u);
    const size_t Stencil = Pdf.find("/ImageMask true");
    ASSERT_NE(Stencil, std::string::npos);
    const size_t Start = Pdf.rfind(" obj", Stencil);
    EXPECT_EQ(Pdf.substr(Start, Stencil - Start).find("/ColorSpace"), std::string::npos);
    EXPECT_EQ(Pdf.find("/BlackIs1"), std::string::npos);
    const ToolResult List = RunTool({ "pdfimages", "-list", File });
    EXPECT_NE(List.Output.find("mask       16     8  -       1   1  ccitt"), std::string::npos) << List.Output;

    // The masked half shows the white page, the other half the picture's dark pixels.
    ASSERT_EQ(RunTool({ "pdftoppm", "-r", "72", "-singlefile", File, Dir.file("page") }).Status, 0);
    const Pnm Page = readPnm(testsupport::ReadFile(Dir.file("page.ppm")));
    EXPECT_EQ(Page.rgb(20, 20), RGB(255, 255, 255));
    EXPECT_NE(Page.rgb(140, 70), RGB(255, 255, 255));
}

TEST(PdfImages, AnImageNoPageShowsFollowsTheOutlinesAndTheFonts)
{
    // Images a page shows are written with it; the others come at the end, after the fonts.
    testsupport::TempDir Dir;
    const std::string File = Dir.file("order.pdf");
    const std::unique_ptr<TBitmap> Colour = colourful(8, 8);
    const std::string Pdf = WritePdf(File, nullptr, [&](TPDFDocument& Doc) {
        Doc.AddImage(*Colour, 0);
        Doc.CurrentPage->TextOut(100, 200, 0, "Report");
        Doc.Outlines().Add(nullptr, "Report");
    });
    EXPECT_EQ(RunTool({ "qpdf", "--check", File }).Status, 0);
    const size_t Image = Pdf.find("/Subtype /Image");
    ASSERT_NE(Image, std::string::npos);
    EXPECT_LT(Pdf.find("/Type /Outlines"), Image);
    EXPECT_LT(Pdf.find("/Type /Font"), Image);
}

TEST(PdfImages, RefusedImagesAreNotAdded)
{
    struct Case {
        const char* What;
        int Kind;
        bool IsMask;
        int Graphic; // 0 black and white, 1 colour, 2 JPEG
        int MaskIndex;
        const char* Message;
    };
    const Case Cases[] = {
        { "mask with a mask", 4, true, 0, 0, SMaskCannotHaveMask },
        { "mask index past the list", 0, false, 0, 5, SUnknownMaskImage },
        { "mask index of a plain image", 0, false, 0, 0, SMaskNotMarked },
        { "kind 5", 5, false, 0, -1, SNotValidImage },
        { "fax coding of a colour bitmap", 4, false, 1, -1, "Not b/w image." },
        { "fax coding of a JPEG picture", 2, false, 2, -1, SCCITTOnlyForBitmap },
        { "mask of a JPEG picture", 4, true, 2, -1, SMaskOnlyForBitmap },
    };
    testsupport::TempDir Dir;
    WritePdf(Dir.file("refused.pdf"), nullptr, [&](TPDFDocument& Doc) {
        const auto Bw = blackAndWhite(9, 9, Mixed);
        const auto Colour = colourful(9, 9);
        TJPEGImage Jpeg;
        Jpeg.Assign(*Colour);
        const TGraphic* Graphics[] = { Bw.get(), Colour.get(), &Jpeg };
        Doc.AddImage(*Bw, 4);
        for (const Case& C : Cases) {
            try {
                Doc.AddImage(*Graphics[C.Graphic], C.Kind, -1, C.IsMask, C.MaskIndex);
                ADD_FAILURE() << C.What << " was accepted";
            } catch (const Exception& E) {
                EXPECT_STREQ(E.what(), C.Message) << C.What;
            }
            EXPECT_EQ(Doc.Images().Count(), 1) << C.What;
        }
        EXPECT_THROW(Doc.CurrentPage->ShowImage(1, 0, 0, 10, 10), TPDFException);
    });
}

TEST(PdfImages, ShowImagePlacesByTopLeftCornerAndRotatesOnlyForARealAngle)
{
    testsupport::TempDir Dir;
    const std::string Pdf = WritePdf(
        Dir.file("placed.pdf"), [](TPDFDocument& Doc) { Doc.Resolution = 144; },
        [](TPDFDocument& Doc) {
            const auto B = blackAndWhite(8, 8, Mixed);
            const int Index = Doc.AddImage(*B, 4);
            TPDFPage& P = *Doc.CurrentPage;
            const size_t Before = P.Content.size();
            P.ShowImage(Index, 20, 40, 200, 100, 0.0005);
            EXPECT_EQ(std::vector<std::string>(P.Content.begin() + Before, P.Content.end()),
                      (std::vector<std::string> { "q", "1 0 0 1 10 772 cm", "100 0 0 50 0 0 cm", "/Im0 Do", "Q" }));
            const size_t Middle = P.Content.size();
            P.ShowImage(Index, 20, 40, 200, 100, 90);
            EXPECT_EQ(P.Content.size() - Middle, 6u);
            EXPECT_EQ(P.Content[Middle + 2], "0 1 -1 0 0 0 cm");
            P.ThumbnailIndex = Index;
        });
    EXPECT_NE(Pdf.find("/Thumb 4 0 R"), std::string::npos);
    EXPECT_NE(ObjectText(Pdf, 4).find("/Subtype /Image"), std::string::npos);
}
