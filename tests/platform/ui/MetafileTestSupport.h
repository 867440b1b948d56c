//===- MetafileTestSupport.h - Scenes drawn on canvases, and comparing pictures -*- C++ -*-===//
#pragma once

#include "platform/gdi/bitmaps/Dib.h"
#include "platform/gdi/metafile/EnhMetaFile.h"
#include "platform/ui/graphics/TBitmap.h"
#include "platform/ui/graphics/TCanvas.h"
#include "platform/ui/graphics/TMetafile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sys/wait.h>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace metatest {

/// A small picture with two colours, for the bitmap part of scenes.
inline std::unique_ptr<TBitmap> checkerBitmap()
{
    auto B = std::make_unique<TBitmap>();
    B->SetSize(8, 6);
    for (int Y = 0; Y < 6; ++Y)
        for (int X = 0; X < 8; ++X)
            B->GetCanvas()->SetPixels(X, Y, (X + Y) % 2 ? clLime : clMaroon);
    return B;
}

/// A graph-like scene: a frame, lines, a filled rectangle, an ellipse, a bitmap drawn 1:1 and
/// stretched, and (when asked) text.
inline void drawScene(TCanvas& C, bool WithText)
{
    const auto Picture = checkerBitmap();
    C.GetPen()->SetColor(clBlack);
    C.GetBrush()->SetColor(clWhite);
    C.Rectangle(0, 0, 160, 100);
    C.GetPen()->SetColor(clRed);
    C.MoveTo(5, 90);
    C.LineTo(60, 20);
    C.LineTo(150, 70);
    C.GetBrush()->SetColor(clBlue);
    C.Rectangle(20, 30, 50, 80);
    C.GetBrush()->SetColor(clYellow);
    C.Ellipse(90, 10, 130, 40);
    C.Draw(100, 75, *Picture);
    C.StretchDraw(Rect(120, 50, 152, 74), *Picture);
    if (WithText) {
        C.GetFont()->SetName("Arial");
        C.GetFont()->SetHeight(-13);
        C.GetBrush()->SetColor(clWhite);
        C.TextOut(8, 4, "Energy 5.2 mJ");
    }
}

/// A white bitmap of the size given.
inline std::unique_ptr<TBitmap> whiteBitmap(int Width, int Height)
{
    auto B = std::make_unique<TBitmap>();
    B->SetSize(Width, Height);
    B->GetCanvas()->GetBrush()->SetColor(clWhite);
    B->GetCanvas()->FillRect(Rect(0, 0, Width, Height));
    return B;
}

/// The number of pixels in which two bitmaps of equal size differ; -1 when their sizes differ.
inline int differingPixels(const TBitmap& A, const TBitmap& B, int* FirstX = nullptr, int* FirstY = nullptr)
{
    const Dib* Pa = A.GetDib();
    const Dib* Pb = B.GetDib();
    if (!Pa || !Pb || Pa->Width() != Pb->Width() || Pa->Height() != Pb->Height())
        return -1;
    int Count = 0;
    for (int Y = 0; Y < Pa->Height(); ++Y)
        for (int X = 0; X < Pa->Width(); ++X)
            if (Pa->GetPixel(X, Y) != Pb->GetPixel(X, Y)) {
                if (Count++ == 0 && FirstX && FirstY) {
                    *FirstX = X;
                    *FirstY = Y;
                }
            }
    return Count;
}

/// A metafile of Width x Height recorded by Draw on a canvas made with the screen as reference.
inline std::unique_ptr<TMetafile> recordMetafile(int Width, int Height, const std::function<void(TCanvas&)>& Draw)
{
    auto M = std::make_unique<TMetafile>();
    M->SetWidth(Width);
    M->SetHeight(Height);
    {
        TMetafileCanvas Canvas(*M, nullptr);
        Draw(Canvas);
    }
    return M;
}

/// The lines of the metafile's record listing.
inline std::vector<std::string> dumpLines(const TMetafile& M)
{
    std::vector<std::string> Lines;
    if (!M.GetHandle())
        return Lines;
    const std::string Dump = DumpEnhMetaFile(M.GetHandle()->Bytes());
    size_t Start = 0;
    while (Start < Dump.size()) {
        size_t End = Dump.find('\n', Start);
        if (End == std::string::npos)
            End = Dump.size();
        Lines.push_back(Dump.substr(Start, End - Start));
        Start = End + 1;
    }
    return Lines;
}

/// The output of a shell command, and its exit status.
inline std::string commandOutput(const std::string& Command, int* Status = nullptr)
{
    std::string Output;
    FILE* Pipe = popen(Command.c_str(), "r");
    if (!Pipe) {
        if (Status)
            *Status = -1;
        return Output;
    }
    char Buffer[4096];
    size_t Got;
    while ((Got = fread(Buffer, 1, sizeof Buffer, Pipe)) > 0)
        Output.append(Buffer, Got);
    const int Result = pclose(Pipe);
    if (Status)
        *Status = WIFEXITED(Result) ? WEXITSTATUS(Result) : -1;
    return Output;
}

} // namespace metatest
