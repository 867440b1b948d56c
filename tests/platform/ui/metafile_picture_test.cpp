//===- metafile_picture_test.cpp - Metafiles as pictures: recording, size, files, drawing ===//
#include "tests/platform/ui/MetafileTestSupport.h"

#include "tests/support/TestSupport.h"

#include "platform/gdi/Gdi.h"
#include "platform/rtl/TStream.h"
#include "platform/ui/graphics/TBitmap.h"
#include "platform/ui/graphics/TCanvas.h"
#include "platform/ui/graphics/TMetafile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

using namespace metatest;

namespace {

std::vector<uint8_t> bytesOf(const TMetafile& M)
{
    const auto B = M.GetHandle()->Bytes();
    return std::vector<uint8_t>(B.begin(), B.end());
}

/// Draws M at (X, Y) on a white bitmap of the size given.
std::unique_ptr<TBitmap> played(const TMetafile& M, int Width, int Height, int X = 0, int Y = 0)
{
    auto B = whiteBitmap(Width, Height);
    B->GetCanvas()->Draw(X, Y, M);
    return B;
}

std::unique_ptr<TMetafile> sceneMetafile(bool WithText)
{
    return recordMetafile(160, 100, [&](TCanvas& C) { drawScene(C, WithText); });
}

} // namespace

// --- Size

TEST(MetafileSize, SizeSetBeforeRecordingIsKept)
{
    // The report composes graphs of 600 x 420 whose drawing need not reach every edge.
    auto M = recordMetafile(600, 420, [](TCanvas& C) { C.Rectangle(10, 10, 50, 40); });
    EXPECT_FALSE(M->Empty());
    EXPECT_EQ(M->GetWidth(), 600);
    EXPECT_EQ(M->GetHeight(), 420);
    const RECT Bounds = M->GetHandle()->Bounds();
    EXPECT_EQ(Bounds.left, 10);
    EXPECT_EQ(Bounds.top, 10);
    EXPECT_EQ(Bounds.right, 49); // inclusive: the rectangle leaves out its right and bottom edges
    EXPECT_EQ(Bounds.bottom, 39);
}

TEST(MetafileSize, WithoutASizeThePictureIsTheSizeOfItsDrawing)
{
    auto M = std::make_unique<TMetafile>();
    {
        TMetafileCanvas C(*M, nullptr);
        C.Rectangle(10, 10, 50, 40);
    }
    EXPECT_EQ(M->GetWidth(), 40);
    EXPECT_EQ(M->GetHeight(), 30);
}

TEST(MetafileSize, SizesRoundTripForEveryPixelCount)
{
    // 0.01 mm cannot hold every pixel count exactly at 96 dpi; the size must still come back.
    for (int W : { 1, 7, 419, 420, 421, 599, 600, 1000, 4097 }) {
        auto M = recordMetafile(W, W + 3, [](TCanvas& C) {
            C.MoveTo(0, 0);
            C.LineTo(1, 1);
        });
        EXPECT_EQ(M->GetWidth(), W);
        EXPECT_EQ(M->GetHeight(), W + 3);
    }
}

TEST(MetafileSize, AnEmptyRecordingHasEmptyBoundsAndItsSize)
{
    auto M = recordMetafile(30, 20, [](TCanvas&) {});
    ASSERT_FALSE(M->Empty());
    const RECT Bounds = M->GetHandle()->Bounds();
    EXPECT_EQ(Bounds.left, 0);
    EXPECT_EQ(Bounds.top, 0);
    EXPECT_EQ(Bounds.right, -1);
    EXPECT_EQ(Bounds.bottom, -1);
    EXPECT_EQ(M->GetWidth(), 30);
}

TEST(MetafileSize, ANewMetafileIsEmptyAndClearEmptiesIt)
{
    TMetafile M;
    EXPECT_TRUE(M.Empty());
    EXPECT_EQ(M.GetWidth(), 0);
    EXPECT_TRUE(M.GetEnhanced());
    M.SetEnhanced(false);
    EXPECT_TRUE(M.GetEnhanced());

    auto R = sceneMetafile(false);
    R->Clear();
    EXPECT_TRUE(R->Empty());
    EXPECT_EQ(R->GetWidth(), 0);
    EXPECT_EQ(R->GetHeight(), 0);
    // Drawing an empty metafile draws nothing.
    auto B = played(*R, 20, 20);
    auto White = whiteBitmap(20, 20);
    EXPECT_EQ(differingPixels(*B, *White), 0);
}

TEST(MetafileSize, ANewCanvasReplacesThePicture)
{
    auto M = recordMetafile(50, 50, [](TCanvas& C) {
        C.GetBrush()->SetColor(clRed);
        C.FillRect(Rect(0, 0, 50, 50));
    });
    {
        TMetafileCanvas C(*M, nullptr);
        C.GetBrush()->SetColor(clBlue);
        C.FillRect(Rect(0, 0, 10, 10));
    }
    // Still 50 x 50: the size set before the second canvas was the first picture's.
    EXPECT_EQ(M->GetWidth(), 50);
    auto B = played(*M, 50, 50);
    EXPECT_EQ(B->GetCanvas()->GetPixels(5, 5), clBlue);
    EXPECT_EQ(B->GetCanvas()->GetPixels(30, 30), clWhite);
}

TEST(MetafileSize, ChangingTheSizeStretchesTheDrawing)
{
    auto M = recordMetafile(20, 10, [](TCanvas& C) {
        C.GetBrush()->SetColor(clRed);
        C.FillRect(Rect(0, 0, 20, 10));
    });
    int Changes = 0;
    M->OnChange = [&](TObject*) { ++Changes; };
    M->SetWidth(40);
    M->SetHeight(20);
    EXPECT_EQ(Changes, 2);
    auto B = played(*M, 60, 30);
    EXPECT_EQ(B->GetCanvas()->GetPixels(39, 19), clRed);
    EXPECT_EQ(B->GetCanvas()->GetPixels(40, 5), clWhite);
    EXPECT_EQ(B->GetCanvas()->GetPixels(5, 20), clWhite);
}

// A damaged header may claim any frame; the size is clamped to an int, and drawing a picture that
// reaches past the int range at its place stays within it.
TEST(MetafileSize, FramesBeyondTheIntRangeClampTheSizeAndStillDraw)
{
    struct Row {
        int32_t Left, Right;
        int Width;
    };
    const Row Rows[] = {
        { 0, 2147483646, 2147483646 },
        { -2147483647, 2147483647, 2147483647 },
    };
    for (const Row& R : Rows) {
        auto Recorded = recordMetafile(20, 10, [](TCanvas& C) { C.Rectangle(0, 0, 20, 10); });
        std::vector<uint8_t> Bytes = bytesOf(*Recorded);
        // A reference device of 1920 pixels on 19.2 mm: one pixel per 0.01 mm of frame.
        const int32_t Fields[][2] = { { 24, R.Left }, { 32, R.Right }, { 72, 1920 }, { 100, 19200 } };
        for (const auto& F : Fields)
            std::memcpy(Bytes.data() + F[0], &F[1], 4);
        TMetafile M;
        M.SetHandle(SetEnhMetaFileBits(Bytes));
        ASSERT_FALSE(M.Empty());
        EXPECT_EQ(M.GetWidth(), R.Width) << R.Right;
        auto B = played(M, 20, 10, 3, 5);
        EXPECT_EQ(B->GetCanvas()->GetPixels(0, 0), clWhite) << "nothing is drawn left of the picture";
    }
}

// --- The recording context

TEST(MetafileCanvas, HandleKeepsStateThatCanBeSavedRestoredAndReadBack)
{
    TMetafile M;
    {
        TMetafileCanvas C(M, nullptr);
        HDC Dc = C.GetHandle();
        EXPECT_EQ(GetObjectType(Dc), UINT(OBJ_ENHMETADC));
        EXPECT_EQ(GetDeviceCaps(Dc, LOGPIXELSX), 96);
        SetTextColor(Dc, RGB(1, 2, 3));
        const int Level = SaveDC(Dc);
        EXPECT_EQ(Level, 1);
        SetTextColor(Dc, RGB(9, 9, 9));
        SetWindowOrgEx(Dc, 5, 6, nullptr);
        EXPECT_EQ(GetTextColor(Dc), RGB(9, 9, 9));
        EXPECT_TRUE(RestoreDC(Dc, -1));
        EXPECT_EQ(GetTextColor(Dc), RGB(1, 2, 3));
        POINT Origin;
        GetWindowOrgEx(Dc, &Origin);
        EXPECT_EQ(Origin.x, 0);
        EXPECT_EQ(Origin.y, 0);
    }
    const std::vector<std::string> Lines = dumpLines(M);
    const auto Has = [&](const std::string& Prefix) {
        return std::any_of(Lines.begin(), Lines.end(),
                           [&](const std::string& L) { return L.find(Prefix) != std::string::npos; });
    };
    EXPECT_TRUE(Has(" SAVEDC 8"));
    EXPECT_TRUE(Has(" RESTOREDC 12 relative=-1"));
    EXPECT_TRUE(Lines.back().find(" EOF ") != std::string::npos) << Lines.back();
}

TEST(MetafileCanvas, RecordsWhatTheCanvasDraws)
{
    auto M = recordMetafile(100, 50, [](TCanvas& C) {
        C.GetPen()->SetColor(clRed);
        C.MoveTo(1, 2);
        C.LineTo(30, 2);
        C.TextOut(5, 10, "Hi");
    });
    std::string Types;
    for (const std::string& L : dumpLines(*M))
        Types += L.substr(L.find(' ') + 1, L.find(' ', L.find(' ') + 1) - L.find(' ') - 1) + " ";
    // The pen is created and selected before the line that needs it; the move comes first.
    const size_t Move = Types.find("MOVETOEX"), Pen = Types.find("CREATEPEN SELECTOBJECT"), Line = Types.find("LINETO"),
                 Text = Types.find("EXTTEXTOUTW");
    ASSERT_NE(Line, std::string::npos) << Types;
    EXPECT_LT(Move, Line) << Types;
    EXPECT_LT(Pen, Line) << Types;
    EXPECT_LT(Line, Text) << Types;
    EXPECT_NE(Text, std::string::npos) << Types;
    EXPECT_EQ(Types.rfind("EOF "), Types.size() - 4) << Types;
}

// --- Playback

TEST(MetafilePlayback, DrawingTheLoadedFileMatchesDrawingDirectly)
{
    testsupport::TempDir Dir;
    auto Recorded = sceneMetafile(false);
    Recorded->SaveToFile(Dir.file("scene.emf"));
    TMetafile Loaded;
    Loaded.LoadFromFile(Dir.file("scene.emf"));
    EXPECT_EQ(bytesOf(Loaded), bytesOf(*Recorded));
    EXPECT_EQ(Loaded.GetWidth(), 160);
    EXPECT_EQ(Loaded.GetHeight(), 100);

    auto Direct = whiteBitmap(160, 100);
    drawScene(*Direct->GetCanvas(), false);
    auto Replayed = played(Loaded, 160, 100);
    int X = -1, Y = -1;
    EXPECT_EQ(differingPixels(*Replayed, *Direct, &X, &Y), 0) << "first at " << X << "," << Y;
    // The scene is really there (not two blank pictures agreeing).
    EXPECT_EQ(Replayed->GetCanvas()->GetPixels(30, 50), clBlue);
    EXPECT_EQ(Replayed->GetCanvas()->GetPixels(100, 75), clMaroon);
    EXPECT_EQ(Replayed->GetCanvas()->GetPixels(101, 75), clLime);
}

TEST(MetafilePlayback, TextPlaysBackCloseToDirectDrawing)
{
    auto Recorded = sceneMetafile(true);
    auto Direct = whiteBitmap(160, 100);
    drawScene(*Direct->GetCanvas(), true);
    auto Replayed = played(*Recorded, 160, 100);
    // Glyph edges may fall differently, and the metafile places glyphs at the face's own
    // advances, up to a pixel from the screen's hinted ones; the text's ink must still be
    // there in the same place.
    const int Differing = differingPixels(*Replayed, *Direct);
    EXPECT_GE(Differing, 0);
    EXPECT_LE(Differing, 120);
    int Ink = 0;
    for (int Y = 4; Y < 20; ++Y)
        for (int X = 8; X < 100; ++X)
            Ink += Replayed->GetCanvas()->GetPixels(X, Y) == clBlack;
    EXPECT_GT(Ink, 50);
}

TEST(MetafilePlayback, StretchDrawScalesTheFrameOntoTheRectangle)
{
    auto M = recordMetafile(20, 10, [](TCanvas& C) {
        C.GetBrush()->SetColor(clGreen);
        C.FillRect(Rect(0, 0, 10, 10)); // the left half
    });
    auto B = whiteBitmap(100, 60);
    B->GetCanvas()->StretchDraw(Rect(10, 10, 90, 50), *M);
    EXPECT_EQ(B->GetCanvas()->GetPixels(10, 10), clGreen);
    EXPECT_EQ(B->GetCanvas()->GetPixels(49, 49), clGreen);
    EXPECT_EQ(B->GetCanvas()->GetPixels(50, 30), clWhite);
    EXPECT_EQ(B->GetCanvas()->GetPixels(9, 30), clWhite);
    EXPECT_EQ(B->GetCanvas()->GetPixels(30, 50), clWhite);
}

TEST(MetafilePlayback, AMetafileDrawnAt580IntoAnotherPlaysBackShifted)
{
    // The report page draws its second graph at (0, 580) of a 600 x 1000 page.
    auto Graph = recordMetafile(600, 420, [](TCanvas& C) {
        C.GetPen()->SetColor(clRed);
        C.GetBrush()->SetColor(clAqua);
        C.Rectangle(10, 20, 300, 200);
        C.MoveTo(0, 419);
        C.LineTo(599, 0);
        C.GetPen()->SetColor(clNavy);
        C.GetBrush()->SetColor(clYellow);
        C.Ellipse(350, 100, 550, 400);
    });
    auto Page = recordMetafile(600, 1000, [&](TCanvas& C) {
        C.GetPen()->SetColor(clWhite);
        C.Rectangle(0, 0, 600, 1000);
        C.Draw(0, 580, *Graph);
    });
    EXPECT_EQ(Page->GetWidth(), 600);
    EXPECT_EQ(Page->GetHeight(), 1000);
    // The graph's records are inside the page, placed by a world transform, not copied as pixels.
    const std::vector<std::string> Lines = dumpLines(*Page);
    const auto Placement = std::find_if(Lines.begin(), Lines.end(), [](const std::string& L) {
        return L.find("MODIFYWORLDTRANSFORM") != std::string::npos && L.find("580]") != std::string::npos;
    });
    ASSERT_NE(Placement, Lines.end());
    const auto Saved = std::find_if(Lines.begin(), Placement,
                                    [](const std::string& L) { return L.find(" SAVEDC ") != std::string::npos; });
    const auto Restored = std::find_if(Placement, Lines.end(),
                                       [](const std::string& L) { return L.find(" RESTOREDC ") != std::string::npos; });
    EXPECT_NE(Saved, Placement);
    EXPECT_NE(Restored, Lines.end());
    EXPECT_NE(std::find_if(Placement, Restored,
                           [](const std::string& L) { return L.find(" ELLIPSE ") != std::string::npos; }),
              Restored);

    auto Alone = played(*Graph, 600, 420);
    auto Whole = played(*Page, 600, 1000);
    int Differing = 0, Marked = 0;
    for (int Y = 0; Y < 420; ++Y)
        for (int X = 0; X < 600; ++X) {
            const TColor Expected = Alone->GetCanvas()->GetPixels(X, Y);
            Differing += Whole->GetCanvas()->GetPixels(X, Y + 580) != Expected;
            Marked += Expected != clWhite;
        }
    EXPECT_EQ(Differing, 0);
    EXPECT_GT(Marked, 10000);
    // Above the graph the page stays white but for its own frame.
    EXPECT_EQ(Whole->GetCanvas()->GetPixels(100, 100), clWhite);
    EXPECT_EQ(Whole->GetCanvas()->GetPixels(20, 580 + 100), clAqua);
    EXPECT_EQ(Whole->GetCanvas()->GetPixels(20, 100), clWhite);
}

// --- Files, streams, copies

TEST(MetafileFiles, StreamLoadReadsExactlyTheMetafileAtThePosition)
{
    auto M = sceneMetafile(true);
    TMemoryStream S;
    const char Before[] = "head";
    const char After[] = "tail";
    S.WriteBuffer(Before, 4);
    M->SaveToStream(S);
    S.WriteBuffer(After, 4);
    S.SetPosition(4);
    TMetafile Loaded;
    Loaded.LoadFromStream(S);
    EXPECT_EQ(S.GetPosition(), int64_t(4 + bytesOf(*M).size()));
    EXPECT_EQ(bytesOf(Loaded), bytesOf(*M));
    EXPECT_EQ(Loaded.GetWidth(), 160);
}

TEST(MetafileFiles, AnEmptyMetafileSavesNothing)
{
    TMetafile M;
    TMemoryStream S;
    M.SaveToStream(S);
    EXPECT_EQ(S.GetSize(), 0);
}

TEST(MetafileFiles, MalformedDataIsRefusedAndThePictureKept)
{
    const std::vector<uint8_t> Good = bytesOf(*sceneMetafile(false));
    auto Patched = [&](size_t At, uint32_t Value) {
        std::vector<uint8_t> B = Good;
        std::memcpy(B.data() + At, &Value, 4);
        return B;
    };
    struct Case {
        const char* Name;
        std::vector<uint8_t> Bytes;
    };
    const std::vector<Case> Cases = {
        { "nothing", {} },
        { "a few bytes", { 1, 0, 0, 0, 8, 0 } },
        { "half a header", std::vector<uint8_t>(Good.begin(), Good.begin() + 60) },
        { "cut short", std::vector<uint8_t>(Good.begin(), Good.end() - 20) },
        { "no EOF", Patched(Good.size() - 20, 76) },
        { "not a header", Patched(0, 2) },
        { "no signature", Patched(40, 0x20202020) },
        { "more bytes claimed than held", Patched(48, uint32_t(Good.size() + 400)) },
        { "an impossible record size", Patched(108 + 4, 3) },
        { "a bitmap file", { 'B', 'M', 0x36, 0, 0, 0, 0, 0, 0, 0, 0x36, 0, 0, 0 } },
        { "text", std::vector<uint8_t>(100, 'x') },
    };
    auto M = sceneMetafile(true);
    const std::vector<uint8_t> Kept = bytesOf(*M);
    for (const Case& C : Cases) {
        TMemoryStream S;
        if (!C.Bytes.empty())
            S.WriteBuffer(C.Bytes.data(), int32_t(C.Bytes.size()));
        S.SetPosition(0);
        try {
            M->LoadFromStream(S);
            ADD_FAILURE() << C.Name << ": accepted";
        } catch (const EInvalidGraphic& E) {
            EXPECT_EQ(E.Message(), "Metafile is not valid") << C.Name;
        }
        EXPECT_EQ(S.GetPosition(), 0) << C.Name;
        ASSERT_FALSE(M->Empty()) << C.Name;
        EXPECT_EQ(bytesOf(*M), Kept) << C.Name;
        EXPECT_EQ(M->GetWidth(), 160) << C.Name;
    }
}

TEST(MetafileFiles, MissingOrUnwritableFilesRaiseStreamErrors)
{
    testsupport::TempDir Dir;
    TMetafile M;
    EXPECT_THROW(M.LoadFromFile(Dir.file("missing.emf")), EFOpenError);
    EXPECT_TRUE(M.Empty());
    auto Scene = sceneMetafile(false);
    EXPECT_THROW(Scene->SaveToFile(Dir.file("no/such/folder.emf")), EFCreateError);
}

TEST(MetafileFiles, AssignCopiesPictureAndSizeAndRefusesOtherKinds)
{
    auto M = sceneMetafile(false);
    M->SetWidth(320);
    TMetafile Copy;
    Copy.Assign(*M);
    EXPECT_EQ(Copy.GetWidth(), 320);
    EXPECT_EQ(Copy.GetHeight(), 100);
    EXPECT_EQ(bytesOf(Copy), bytesOf(*M));
    M->Clear();
    EXPECT_FALSE(Copy.Empty()); // the copy has its own picture

    TMetafile Empty;
    Copy.Assign(Empty);
    EXPECT_TRUE(Copy.Empty());

    TBitmap Bitmap;
    try {
        Copy.Assign(Bitmap);
        ADD_FAILURE() << "a bitmap was taken";
    } catch (const EConvertError& E) {
        EXPECT_EQ(E.Message(), "Cannot assign a TBitmap to a TMetafile");
    }
}

TEST(MetafileFiles, ReleaseHandleHandsThePictureOver)
{
    auto M = sceneMetafile(false);
    const std::vector<uint8_t> Bytes = bytesOf(*M);
    HENHMETAFILE Image = M->ReleaseHandle();
    ASSERT_TRUE(Image);
    EXPECT_TRUE(M->Empty());
    TMetafile Other;
    Other.SetHandle(std::move(Image));
    EXPECT_EQ(bytesOf(Other), Bytes);
    EXPECT_EQ(Other.GetWidth(), 160);
}
