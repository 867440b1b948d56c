//===- metafile_player.cpp - Fuzzes the PDF writer's metafile player on whole metafiles ===//
//
// The input is a metafile. It is played straight into a page of a document built in memory,
// as the page's own canvas and PlayMetaFile do after the platform accepted it, and the document
// is written, so that the images and fonts the records made are coded too. The player must not
// crash, leak or hang on any record, and must leave the page's save depth as it found it; a
// metafile the platform refuses is fine.
//
#include "pdf/TMetafilePlayer.h"
#include "pdf/TPDFDocument.h"
#include "pdf/TPDFPage.h"

#include "platform/rtl/Exception.h"
#include "platform/rtl/TStream.h"
#include "platform/ui/graphics/TMetafile.h"

#include <cstddef>
#include <cstdlib>
#include <cstdint>

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
    }
    return 0;
}
