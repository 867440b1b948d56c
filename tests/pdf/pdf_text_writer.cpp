//===- pdf_text_writer.cpp - Writes one line of text in a given face ===//
//
// Usage: pdf_text_writer FILE FACE TEXT. Runs as a process of its own so that a test can hand it
// fonts through the font configuration of its environment.
//
#include "tests/pdf/PdfTestSupport.h"

#include "pdf/TPDFDocument.h"
#include "pdf/TPDFPage.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: pdf_text_writer FILE FACE TEXT\n");
        return 2;
    }
    pdftest::WritePdf(argv[1], {}, [&](TPDFDocument& Doc) {
        TPDFPage& P = *Doc.CurrentPage;
        P.SetFont(argv[2], 0, 48);
        P.TextOut(72, 72, 0, argv[3]);
    });
    return 0;
}
