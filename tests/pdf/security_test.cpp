//===- security_test.cpp - MD5, RC4, permissions and encrypted files opened by real readers ===//
#include "tests/pdf/PdfTestSupport.h"

#include "tests/support/TestSupport.h"

#include "pdf/PdfMD5.h"
#include "pdf/PdfRC4.h"
#include "pdf/PdfSecurity.h"
#include "pdf/TPDFDocInfo.h"
#include "pdf/TPDFDocument.h"
#include "pdf/TPDFJSFList.h"
#include "pdf/TPDFPage.h"

#include "platform/rtl/Exception.h"

#include <gtest/gtest.h>

#include <regex>

using namespace pdftest;

namespace {

TEST(Security, MD5GivesTheReferenceDigestsInOneCallAndInPieces)
{
    struct Row {
        std::string Text;
        const char* Digest;
    };
    const Row Rows[] = {
        { "", "d41d8cd98f00b204e9800998ecf8427e" },
        { "abc", "900150983cd24fb0d6963f7d28e17f72" },
        { "message digest", "f96b697d7cb7938d525a2f31aaf161d0" },
        { "12345678901234567890123456789012345678901234567890123456789012345678901234567890",
          "57edf4a22be3c955ac49da2e2107b67a" },
    };
    for (const Row& R : Rows) {
        EXPECT_EQ(MD5String(R.Text), R.Digest) << R.Text;
        // Pieces that straddle the 64-byte blocks.
        TMD5Context C;
        MD5Init(C);
        for (size_t I = 0; I < R.Text.size(); I += 7)
            MD5Update(C, std::string_view(R.Text).substr(I, 7));
        EXPECT_EQ(MD5DigestToStr(MD5Final(C)), R.Digest) << R.Text;
    }
}

TEST(Security, RC4GivesTheReferenceKeystreamAndRefusesBadKeys)
{
    std::string Text = "Plaintext";
    TRC4Context C;
    RC4Init(C, std::span(reinterpret_cast<const uint8_t*>("Key"), 3));
    RC4Crypt(C, std::span(reinterpret_cast<uint8_t*>(Text.data()), Text.size()));
    EXPECT_EQ(Text, "\xBB\xF3\x16\xE8\xD9\x40\xAF\x0A\xD3");
    EXPECT_THROW(RC4Init(C, std::span<const uint8_t>()), Exception);
    std::vector<uint8_t> Long(257, 1);
    EXPECT_THROW(RC4Init(C, Long), Exception);
}

TEST(Security, PermissionsByKeyLength)
{
    struct Row {
        TPDFCtiptoOptions Options;
        TPDFKeyLength KeyLength;
        int32_t P;
    };
    const TPDFCtiptoOptions All { coPrint,   coModifyStructure, coCopyInformation, coModifyAnnotation,
                                  coPrintHi, coFillAnnotation,  coExtractInfo,     coAssemble };
    const Row Rows[] = {
        { { coPrint }, kl40, -60 },
        { {}, kl128, -3904 },
        { All, kl128, -4 },
        { All, kl40, -4 },
        { { coPrintHi, coAssemble }, kl40, -64 },
    };
    for (const Row& R : Rows)
        EXPECT_EQ(CalcPermissions(R.Options, R.KeyLength), R.P) << R.P;
}

TEST(Security, TheOwnerEntryDependsOnlyOnPasswordsAndKeyLength)
{
    EXPECT_EQ(CalcOwnerKey("owner", "user", kl128), CalcOwnerKey("owner", "user", kl128));
    EXPECT_NE(CalcOwnerKey("owner", "user", kl128), CalcOwnerKey("owner", "user", kl40));
    // No owner password: the user password stands in for it.
    EXPECT_EQ(CalcOwnerKey("", "user", kl40), CalcOwnerKey("user", "user", kl40));
    EXPECT_EQ(CryptString(true, TPDFKey(5, 1), "", 3), "");
}

class EncryptedFile : public ::testing::Test {
protected:
    std::string write(TPDFKeyLength KeyLength, const std::string& Owner, const std::string& User,
                      TPDFCtiptoOptions Options = { coPrint })
    {
        return WritePdf(
            File,
            [&](TPDFDocument& Doc) {
                Doc.SetProtectionEnabled(true);
                Doc.SetProtectionKeyLength(KeyLength);
                Doc.SetOwnerPassword(Owner);
                Doc.SetUserPassword(User);
                Doc.SetProtectionOptions(Options);
                Doc.DocumentInfo().Title = "Energy (secret)";
            },
            [](TPDFDocument& Doc) {
                Doc.CurrentPage->Rectangle(0, 0, 72, 72);
                Doc.CurrentPage->Stroke();
                Doc.JSFunctions().Add("Check", "a", "return a;");
            });
    }
    testsupport::TempDir Dir;
    std::string File = Dir.file("secret.pdf");
};

TEST_F(EncryptedFile, RevisionPermissionsAndPasswordsAsReadersSeeThem)
{
    struct Row {
        TPDFKeyLength KeyLength;
        const char* Owner;
        const char* User;
        const char* Revision;
        const char* P;
    };
    const Row Rows[] = {
        { kl40, "boss", "staff", "R = 2", "P = -60" },
        { kl128, "boss", "staff", "R = 3", "P = -3900" },
        { kl40, "", "staff", "R = 2", "P = -60" },
        { kl128, "", "staff", "R = 3", "P = -3900" },
    };
    for (const Row& R : Rows) {
        write(R.KeyLength, R.Owner, R.User);
        const std::string What = std::string(R.Revision) + " owner '" + R.Owner + "'";
        const ToolResult Show = RunTool({ "qpdf", "--show-encryption", std::string("--password=") + R.User, File });
        EXPECT_NE(Show.Output.find(R.Revision), std::string::npos) << What << Show.Output;
        EXPECT_NE(Show.Output.find(R.P), std::string::npos) << What;
        EXPECT_NE(Show.Output.find("print low resolution: allowed"), std::string::npos) << What;
        EXPECT_NE(Show.Output.find("modify anything: not allowed"), std::string::npos) << What;
        EXPECT_EQ(RunTool({ "qpdf", "--check", std::string("--password=") + R.User, File }).Status, 0) << What;
        const ToolResult Info = RunTool({ "pdfinfo", "-upw", R.User, File });
        EXPECT_NE(Info.Output.find("Energy (secret)"), std::string::npos) << What << Info.Output;
        // Without a password nothing opens, whether or not an owner password was given.
        EXPECT_NE(RunTool({ "qpdf", "--check", File }).Status, 0) << What;
        EXPECT_NE(RunTool({ "pdfinfo", File }).Status, 0) << What;
        if (*R.Owner) {
            const ToolResult Owner =
                RunTool({ "qpdf", "--show-encryption", std::string("--password=") + R.Owner, File });
            EXPECT_NE(Owner.Output.find("Supplied password is owner password"), std::string::npos)
                << What << Owner.Output;
        }
    }
}

TEST_F(EncryptedFile, EmptyPasswordsOpenAndDecryptToThePlainStreams)
{
    for (TPDFKeyLength K : { kl40, kl128 }) {
        const std::string Pdf = write(K, "", "");
        EXPECT_EQ(Pdf.find("Energy"), std::string::npos);
        EXPECT_EQ(Pdf.find(" re\r\n"), std::string::npos);
        const std::string Plain = Dir.file("plain.pdf");
        ASSERT_EQ(RunTool({ "qpdf", "--decrypt", "--compress-streams=n", File, Plain }).Status, 0);
        const std::string P = testsupport::ReadFile(Plain);
        EXPECT_NE(P.find("0 842 72 -72 re"), std::string::npos);
        EXPECT_NE(P.find("(Energy \\(secret\\))"), std::string::npos);
        EXPECT_NE(P.find("(function Check\\(a\\){return a;})"), std::string::npos);
        EXPECT_EQ(RunTool({ "mutool", "info", File }).Status, 0);
    }
}

TEST_F(EncryptedFile, FixedClockAndRandomGiveTheSameBytesButTheFileIDChangesTheKeys)
{
    const std::string A = write(kl128, "boss", "staff");
    const std::string B = write(kl128, "boss", "staff");
    EXPECT_EQ(A, B);
    std::string C;
    {
        TPDFDocument Doc(nullptr);
        FixClockAndRandom(Doc);
        SetNowOverride(EncodeDate(2026, 3, 14) + EncodeTime(15, 9, 27, 0));
        Doc.SetFileName(File);
        Doc.SetProtectionEnabled(true);
        Doc.SetProtectionKeyLength(kl128);
        Doc.SetOwnerPassword("boss");
        Doc.SetUserPassword("staff");
        Doc.BeginDoc();
        Doc.EndDoc();
        SetNowOverride(std::nullopt);
        C = testsupport::ReadFile(File);
    }
    auto entry = [](const std::string& Pdf, const char* Key) {
        const size_t At = Pdf.find(Key);
        return Pdf.substr(At, Pdf.find("\r\n", At) - At);
    };
    EXPECT_EQ(entry(A, "/O ("), entry(C, "/O ("));
    EXPECT_NE(entry(A, "/U ("), entry(C, "/U ("));
    EXPECT_NE(entry(A, "/Producer ("), entry(C, "/Producer ("));
}

} // namespace
