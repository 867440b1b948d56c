//===- emf_to_bitmap.cpp - Fuzzes metafile playback onto bitmaps ----------===//
//
// Three readers of a metafile's bytes: the record listing, playback onto a memory context's
// bitmap, and the picture class drawn at the size its header gives onto a bitmap's canvas.
// The bitmaps are small so that a unit's cost is the reader's, not the pixels'.
//
#include "platform/gdi/bitmaps/Dib.h"
#include "platform/gdi/metafile/EnhMetaFile.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/TStream.h"
#include "platform/ui/graphics/TBitmap.h"
#include "platform/ui/graphics/TCanvas.h"
#include "platform/ui/graphics/TMetafile.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    const std::span<const uint8_t> Bytes(Data, Size);
    DumpEnhMetaFile(Bytes);

    if (HENHMETAFILE Image = SetEnhMetaFileBits(Bytes)) {
        Dib Target(48, 32, 32);
        HDC Dc = CreateDibDC(Target);
        PlayEnhMetaFile(Dc, *Image, RECT { -4, -2, 44, 30 });
        DeleteDC(Dc);
    }

    TMemoryStream Stream;
    Stream.Write(Data, int32_t(Size));
    Stream.SetPosition(0);
    try {
        TMetafile Picture;
        Picture.LoadFromStream(Stream);
        TBitmap Bitmap;
        Bitmap.SetSize(40, 24);
        Bitmap.GetCanvas()->Draw(3, 5, Picture);
    } catch (const Exception&) {
    }
    return 0;
}
