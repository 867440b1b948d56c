//===- clipboard_test.cpp - The clipboard object: metafiles, registered formats, sessions ===//
#include "tests/platform/ui/MetafileTestSupport.h"
#include "tests/platform/ui/UiFixture.h"

#include "platform/ui/printing/Clipbrd.h"
#include "platform/ui/graphics/TBitmap.h"
#include "platform/ui/graphics/TMetafile.h"
#include "platform/user/Messages.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <gtest/gtest.h>

using namespace metatest;

namespace {

class ClipboardTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        Clipboard()->Clear();
    }

    static std::vector<uint8_t> bytesOf(const TMetafile& M)
    {
        const auto B = M.GetHandle()->Bytes();
        return std::vector<uint8_t>(B.begin(), B.end());
    }
    /// What another reader of the clipboard sees in a MIME type.
    static QByteArray seenByOthers(const char* MimeType)
    {
        const QMimeData* Data = QGuiApplication::clipboard()->mimeData();
        return Data ? Data->data(QString::fromLatin1(MimeType)) : QByteArray();
    }
};

std::unique_ptr<TMetafile> smallPicture()
{
    return recordMetafile(80, 40, [](TCanvas& C) {
        C.GetBrush()->SetColor(clRed);
        C.Rectangle(5, 5, 60, 30);
        C.TextOut(8, 8, "copy");
    });
}

} // namespace

// --- Metafiles

TEST_F(ClipboardTest, AMetafileGoesOnAsItsEmfBytes)
{
    auto M = smallPicture();
    Clipboard()->Assign(*M);
    EXPECT_TRUE(Clipboard()->HasFormat(CF_ENHMETAFILE));
    EXPECT_FALSE(Clipboard()->HasFormat(CF_TEXT));
    EXPECT_EQ(Clipboard()->GetAsHandle(CF_ENHMETAFILE), bytesOf(*M));
    // Other programs find it under the MIME type they know.
    const QByteArray Seen = seenByOthers("image/x-emf");
    EXPECT_EQ(std::vector<uint8_t>(Seen.begin(), Seen.end()), bytesOf(*M));
}

TEST_F(ClipboardTest, AMetafileReadBackFromTheClipboardDrawsTheSame)
{
    auto M = smallPicture();
    Clipboard()->Assign(*M);
    TMetafile Back;
    Back.Assign(*Clipboard());
    EXPECT_EQ(Back.GetWidth(), 80);
    EXPECT_EQ(Back.GetHeight(), 40);
    auto A = whiteBitmap(80, 40), B = whiteBitmap(80, 40);
    A->GetCanvas()->Draw(0, 0, *M);
    B->GetCanvas()->Draw(0, 0, Back);
    EXPECT_EQ(differingPixels(*A, *B), 0);
    EXPECT_EQ(B->GetCanvas()->GetPixels(40, 25), clRed);
}

TEST_F(ClipboardTest, AClipboardWithoutAMetafileCannotBeAssignedToOne)
{
    Clipboard()->SetAsText("just text");
    auto M = smallPicture();
    try {
        M->Assign(*Clipboard());
        ADD_FAILURE() << "a metafile was made of text";
    } catch (const EConvertError& E) {
        EXPECT_EQ(E.Message(), "Cannot assign a TClipboard to a TMetafile");
    }
    EXPECT_FALSE(M->Empty());
    TBitmap Bitmap;
    EXPECT_THROW(Clipboard()->Assign(Bitmap), EConvertError);
}

TEST_F(ClipboardTest, AnEmptyMetafileLeavesNoMetafileThere)
{
    Clipboard()->Assign(*smallPicture());
    TMetafile Empty;
    Clipboard()->Assign(Empty);
    EXPECT_FALSE(Clipboard()->HasFormat(CF_ENHMETAFILE));
}

TEST_F(ClipboardTest, DamagedMetafileBytesAreRefusedAndChangeNothing)
{
    Clipboard()->SetAsText("kept");
    const std::vector<uint8_t> Damaged(200, 0x41);
    try {
        Clipboard()->SetAsHandle(CF_ENHMETAFILE, Damaged);
        ADD_FAILURE() << "damaged bytes were taken";
    } catch (const EInvalidGraphic& E) {
        EXPECT_EQ(E.Message(), "Metafile is not valid");
    }
    EXPECT_FALSE(Clipboard()->HasFormat(CF_ENHMETAFILE));
    EXPECT_EQ(Clipboard()->GetAsText(), "kept");
}

// --- Registered formats

TEST_F(ClipboardTest, RegisteringANameTwiceGivesTheSameNumber)
{
    const UINT Graph = RegisterClipboardFormat("Internal PlotGraph Format");
    EXPECT_GE(Graph, 0xC000u);
    EXPECT_LE(Graph, 0xFFFFu);
    EXPECT_EQ(RegisterClipboardFormat("Internal PlotGraph Format"), Graph);
    EXPECT_EQ(RegisterClipboardFormat("INTERNAL PLOTGRAPH FORMAT"), Graph);
    EXPECT_NE(RegisterClipboardFormat("Another Format"), Graph);
    // One table with registered messages, as on the original.
    EXPECT_EQ(RegisterWindowMessage("Internal PlotGraph Format"), Graph);
    EXPECT_EQ(RegisterClipboardFormat(""), 0u);

    char Name[64];
    EXPECT_EQ(GetClipboardFormatName(Graph, Name, sizeof Name), 25);
    EXPECT_STREQ(Name, "Internal PlotGraph Format");
    char Short[9];
    EXPECT_EQ(GetClipboardFormatName(Graph, Short, sizeof Short), 8);
    EXPECT_STREQ(Short, "Internal");
    EXPECT_EQ(GetClipboardFormatName(CF_TEXT, Name, sizeof Name), 0);
}

TEST_F(ClipboardTest, RegisteredFormatsCarryTheirBytesUnchanged)
{
    const UINT Format = RegisterClipboardFormat("Internal PlotGraph Format");
    const std::vector<uint8_t> Bytes = { 'p', 'l', 'g', 'r', 0, 0xFF, 0x80, 13, 10, 0 };
    Clipboard()->SetAsHandle(Format, Bytes);
    EXPECT_TRUE(Clipboard()->HasFormat(Format));
    EXPECT_EQ(Clipboard()->GetAsHandle(Format), Bytes);
    EXPECT_FALSE(Clipboard()->HasFormat(RegisterClipboardFormat("Another Format")));
}

TEST_F(ClipboardTest, FormatsTheClipboardDoesNotCarryAreRefused)
{
    for (UINT Format : { CF_BITMAP, CF_PALETTE, UINT(0xFFF0) }) {
        try {
            Clipboard()->SetAsHandle(Format, std::vector<uint8_t> { 1, 2, 3 });
            ADD_FAILURE() << "format " << Format << " was taken";
        } catch (const Exception& E) {
            EXPECT_EQ(E.Message(), "Unsupported clipboard format");
        }
        EXPECT_FALSE(Clipboard()->HasFormat(Format));
        EXPECT_TRUE(Clipboard()->GetAsHandle(Format).empty());
    }
}

// --- Sessions

TEST_F(ClipboardTest, PutsInOneSessionAddFormatsAndPutsOutsideReplaceThem)
{
    const UINT Format = RegisterClipboardFormat("Internal PlotGraph Format");
    auto M = smallPicture();
    Clipboard()->Open();
    Clipboard()->Assign(*M);
    Clipboard()->SetAsHandle(Format, std::vector<uint8_t> { 7 });
    Clipboard()->Close();
    EXPECT_TRUE(Clipboard()->HasFormat(CF_ENHMETAFILE));
    EXPECT_TRUE(Clipboard()->HasFormat(Format));

    Clipboard()->SetAsText("alone");
    EXPECT_FALSE(Clipboard()->HasFormat(CF_ENHMETAFILE));
    EXPECT_FALSE(Clipboard()->HasFormat(Format));
    EXPECT_EQ(Clipboard()->GetAsText(), "alone");
}

TEST_F(ClipboardTest, OthersSeeASessionsDataAtItsLastClose)
{
    Clipboard()->SetAsText("before");
    Clipboard()->Open();
    Clipboard()->Open();
    Clipboard()->SetAsText("during");
    // The session itself reads what it put; others still see the old data.
    EXPECT_EQ(Clipboard()->GetAsText(), "during");
    EXPECT_EQ(seenByOthers("text/plain"), QByteArray("before"));
    Clipboard()->Close();
    EXPECT_EQ(seenByOthers("text/plain"), QByteArray("before"));
    Clipboard()->Close();
    EXPECT_EQ(seenByOthers("text/plain"), QByteArray("during"));
    // A Close too many changes nothing.
    Clipboard()->Close();
    EXPECT_EQ(Clipboard()->GetAsText(), "during");
}

TEST_F(ClipboardTest, ClearEmptiesEveryFormat)
{
    Clipboard()->Open();
    Clipboard()->Assign(*smallPicture());
    Clipboard()->SetAsText("text");
    Clipboard()->Close();
    Clipboard()->Clear();
    EXPECT_FALSE(Clipboard()->HasFormat(CF_ENHMETAFILE));
    EXPECT_FALSE(Clipboard()->HasFormat(CF_TEXT));
    EXPECT_TRUE(Clipboard()->GetAsText().empty());
}

TEST_F(ClipboardTest, TextTravelsAsUnicode)
{
    Clipboard()->SetAsText("84.37 \xB5J");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("84.37 \xC2\xB5J"));
    QGuiApplication::clipboard()->setText(QString::fromUtf8("5 \xE2\x82\xAC")); // the euro sign
    EXPECT_EQ(Clipboard()->GetAsText(), "5 \x80");
}
