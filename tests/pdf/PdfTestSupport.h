//===- PdfTestSupport.h - Writing documents and asking real PDF readers about them -*- C++ -*-===//
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TPDFDocument;

namespace pdftest {

/// What a reader printed (standard output and error together) and how it ended.
struct ToolResult {
    int Status = -1;
    std::string Output;
};
/// Runs a program with its arguments, without a shell.
ToolResult RunTool(const std::vector<std::string>& Argv);

/// Fixes the clock and the random source, so that a document's bytes repeat.
void FixClockAndRandom(TPDFDocument& Doc);

/// Writes FileName through a document set up by Setup (before BeginDoc) and drawn by Draw
/// (between BeginDoc and EndDoc); answers the file's bytes.
std::string WritePdf(const std::string& FileName, const std::function<void(TPDFDocument&)>& Setup,
                     const std::function<void(TPDFDocument&)>& Draw = {});

/// The lines of the text, split at CR LF.
std::vector<std::string> CrLfLines(const std::string& Text);
/// The body of object Number ("n 0 obj" up to "endobj"); empty when absent.
std::string ObjectText(const std::string& Pdf, int Number);

/// A grey picture read from a binary PGM file (as pdftoppm -gray writes it).
struct Grey {
    int Width = 0, Height = 0;
    std::string Pixels;
    int at(int X, int Y) const { return static_cast<uint8_t>(Pixels[static_cast<size_t>(Y) * Width + X]); }
};
Grey ReadPgm(const std::string& Bytes);

} // namespace pdftest
