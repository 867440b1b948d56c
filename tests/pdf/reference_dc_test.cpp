//===- reference_dc_test.cpp - The reference device context: screen, first printer, fallback ===//
#include "pdf/TPDFDocument.h"
#include "pdf/TPDFPage.h"

#include "tests/support/TestSupport.h"

#include "platform/gdi/Gdi.h"
#include "platform/ui/printing/Printers.h"

#include <gtest/gtest.h>

namespace {

class ReferenceDCTest : public ::testing::Test {
protected:
    void SetUp() override { TPrinter::SetSystemPrinters(false); }
    void TearDown() override
    {
        TPrinter::SetPrintToFile("");
        TPrinter::SetSystemPrinters(true);
    }
    testsupport::TempDir Dir;
};

TEST_F(ReferenceDCTest, WithoutPrintersTheScreenIsUsed)
{
    TPDFDocument Doc(nullptr);
    ASSERT_TRUE(Doc.GetUseScreenDC());
    Doc.SetUseScreenDC(false);
    EXPECT_TRUE(Doc.GetUseScreenDC());
    EXPECT_EQ(GetDeviceCaps(Doc.ReferenceDC(), LOGPIXELSY), 96);
}

TEST_F(ReferenceDCTest, TheFirstPrinterGivesItsResolutionToThePageCanvas)
{
    TPrinter::SetPrintToFile(Dir.file("printed.pdf"), 300);
    TPDFDocument Doc(nullptr);
    Doc.SetUseScreenDC(false);
    ASSERT_FALSE(Doc.GetUseScreenDC());
    EXPECT_EQ(GetDeviceCaps(Doc.ReferenceDC(), LOGPIXELSX), 300);
    Doc.OutputStream = nullptr;
    Doc.SetFileName(Dir.file("doc.pdf"));
    Doc.BeginDoc();
    EXPECT_NE(Doc.CurrentPage->GetCanvas(), nullptr);
    Doc.Abort();
    Doc.SetUseScreenDC(true);
    EXPECT_EQ(GetDeviceCaps(Doc.ReferenceDC(), LOGPIXELSX), 96);
}

} // namespace
