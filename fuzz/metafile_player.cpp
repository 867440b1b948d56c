//===- metafile_player.cpp - Fuzzes the PDF writer's metafile player on whole metafiles ===//
//
// The input is a metafile. It is played straight into a page of a document built in memory,
// as the page's own canvas and PlayMetaFile do after the platform accepted it, and the document
// is written, so that the images and fonts the records made are coded too. The player must not
// crash, leak or hang on any record, and must leave the page's save depth as it found it; a
// metafile the platform refuses is fine. The written document's cross-reference table must name
// every object where it stands, and one document in 64 (chosen by the input's bytes) goes to
// qpdf --check.
//
#include "pdf/TMetafilePlayer.h"
#include "pdf/TPDFDocument.h"
#include "pdf/TPDFPage.h"

#include "platform/rtl/Exception.h"
#include "platform/rtl/TStream.h"
#include "platform/ui/graphics/TMetafile.h"

#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

void check(bool Holds)
{
    if (!Holds)
        std::abort();
}

// Reads the unsigned number at At, skipping white space before it.
bool ReadNumber(std::string_view Pdf, size_t& At, uint64_t& Value)
{
    while (At < Pdf.size() && std::strchr(" \r\n", Pdf[At]))
        ++At;
    const size_t Start = At;
    Value = 0;
    while (At < Pdf.size() && Pdf[At] >= '0' && Pdf[At] <= '9' && At - Start < 12)
        Value = Value * 10 + uint64_t(Pdf[At++] - '0');
    return At > Start;
}

// Every in-use entry of the cross-reference table points at "<number> <generation> obj".
void CheckCrossReferences(std::string_view Pdf)
{
    const size_t Start = Pdf.rfind("startxref");
    check(Start != std::string_view::npos);
    size_t At = Start + 9;
    uint64_t Table = 0;
    check(ReadNumber(Pdf, At, Table) && Table < Pdf.size() && Pdf.substr(Table, 4) == "xref");
    At = Table + 4;
    uint64_t First = 0, Count = 0;
    while (ReadNumber(Pdf, At, First) && ReadNumber(Pdf, At, Count)) {
        while (At < Pdf.size() && std::strchr(" \r\n", Pdf[At]))
            ++At;
        for (uint64_t I = 0; I < Count; ++I, At += 20) {
            check(At + 20 <= Pdf.size());
            const std::string_view Entry = Pdf.substr(At, 20);
            if (Entry[17] != 'n')
                continue;
            size_t P = 0;
            uint64_t Offset = 0, Generation = 0;
            check(ReadNumber(Entry, P, Offset) && ReadNumber(Entry, P, Generation));
            const std::string Object = std::to_string(First + I) + " " + std::to_string(Generation) + " obj";
            check(Offset < Pdf.size() && Pdf.substr(Offset, Object.size()) == Object);
        }
    }
    check(Pdf.substr(At, 7) == "trailer");
}

uint32_t Fnv(const uint8_t* Data, size_t Size)
{
    uint32_t H = 2166136261u;
    for (size_t I = 0; I < Size; ++I)
        H = (H ^ Data[I]) * 16777619u;
    return H;
}

// qpdf --check on the document, from a file of our own that is removed again.
void CheckWithQpdf(std::string_view Pdf)
{
    char Name[] = "/tmp/fuzz-metafile-player-XXXXXX";
    const int Fd = mkstemp(Name);
    check(Fd >= 0);
    check(write(Fd, Pdf.data(), Pdf.size()) == ssize_t(Pdf.size()));
    close(Fd);
    std::string Output;
    FILE* Qpdf = popen((std::string("qpdf --check ") + Name + " 2>&1").c_str(), "r");
    check(Qpdf != nullptr);
    // libFuzzer's timer interrupts the reads; stopping there would close the pipe on qpdf.
    char Buffer[4096];
    for (;;) {
        const ssize_t N = read(fileno(Qpdf), Buffer, sizeof Buffer);
        if (N > 0)
            Output.append(Buffer, size_t(N));
        else if (!(N < 0 && errno == EINTR))
            break;
    }
    const int Status = pclose(Qpdf);
    unlink(Name);
    if (Status != 0) {
        std::fprintf(stderr, "qpdf --check (status %d):\n%s\n", Status, Output.c_str());
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    TMemoryStream In;
    In.Write(Data, int32_t(Size));
    In.SetPosition(0);
    TMetafile Picture;
    try {
        Picture.LoadFromStream(In);
    } catch (const Exception&) {
        return 0;
    }
    TPDFDocument Doc(nullptr);
    TMemoryStream Out;
    Doc.OutputStream = &Out;
    Doc.Resolution = Size % 2 ? 96 : 72;
    Doc.EMFImageAsJpeg = Size % 3 == 0;
    try {
        Doc.BeginDoc();
        TMetafilePlayer Player(*Doc.CurrentPage);
        Player.LoadMetafile(Picture);
        int32_t Width = 0, Height = 0;
        Player.GetMetafileSize(Width, Height);
        const int32_t Depth = Doc.CurrentPage->GSaveDepth;
        Player.ExecuteMetafile();
        // Every "q" the records opened is closed again: a page drawn on after the metafile
        // would otherwise stay inside its clip.
        if (Doc.CurrentPage->GSaveDepth != Depth)
            std::abort();
        Doc.EndDoc();
    } catch (const Exception&) {
        return 0;
    }
    const std::string_view Pdf(reinterpret_cast<const char*>(Out.Memory()), size_t(Out.GetSize()));
    CheckCrossReferences(Pdf);
    if (Fnv(Data, Size) % 64 == 0)
        CheckWithQpdf(Pdf);
    return 0;
}
