//===- pdf_sample_writer.cpp - Writes one fixed document under the locale of its environment ===//
//
// Usage: pdf_sample_writer FILE. The program takes its locale from the environment and sets the
// runtime's decimal separator from it, as a program following the user's settings does, then
// writes a document with the clock and the random source fixed.
//
#include "tests/pdf/PdfTestSupport.h"

#include "pdf/TPDFDocument.h"
#include "pdf/TPDFOutlines.h"
#include "pdf/TPDFPage.h"

#include "platform/rtl/SysUtils.h"

#include <clocale>
#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: pdf_sample_writer FILE\n");
        return 2;
    }
    std::setlocale(LC_ALL, "");
    DecimalSeparator = *std::localeconv()->decimal_point;
    pdftest::WritePdf(
        argv[1],
        [](TPDFDocument& Doc) {
            Doc.Resolution = 96;
            Doc.SetProtectionEnabled(true);
            Doc.SetProtectionKeyLength(kl128);
            Doc.SetUserPassword("u");
        },
        [](TPDFDocument& Doc) {
            TPDFPage& P = *Doc.CurrentPage;
            P.SetLineWidth(1.5);
            P.SetRGBStrokeColor(0.25, 0.5, 1.0 / 3);
            P.Ellipse(10.5, 20.25, 300.75, 200.125);
            P.Stroke();
            P.ArcByAngles(100, 100, 400, 333, 12.5, 250.75);
            P.Stroke();
            Doc.Outlines().Add(nullptr, "Sample")->Color = 0x336699;
        });
    std::printf("%c\n", DecimalSeparator);
    return 0;
}
