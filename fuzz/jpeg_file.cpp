//===- jpeg_file.cpp - Fuzzes reading JPEG files ---------------------------===//
//
// A file that loads is saved unchanged, and once compressed anew it must load again to a picture
// of the same size and the same grey setting. Only small pictures are compressed anew, so that a
// unit's cost is the reader's.
//
#include "platform/rtl/TStream.h"
#include "platform/ui/graphics/TBitmap.h"
#include "platform/ui/graphics/TJPEGImage.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    TMemoryStream Stream;
    Stream.Write(Data, int32_t(Size));
    Stream.SetPosition(0);
    TJPEGImage Image;
    try {
        Image.LoadFromStream(Stream);
    } catch (const EInvalidGraphic&) {
        return 0;
    }
    TMemoryStream Saved;
    Image.SaveToStream(Saved);
    if (Saved.GetSize() != int64_t(Size) || std::memcmp(Saved.Memory(), Data, Size) != 0)
        std::abort();
    if (int64_t(Image.GetWidth()) * Image.GetHeight() > (1 << 18))
        return 0;

    Image.SetCompressionQuality(Image.GetCompressionQuality() == 50 ? 60 : 50);
    TMemoryStream Again;
    Image.SaveToStream(Again);
    Again.SetPosition(0);
    TJPEGImage Back;
    Back.LoadFromStream(Again);
    if (Back.GetWidth() != Image.GetWidth() || Back.GetHeight() != Image.GetHeight()
        || Back.GetGrayscale() != Image.GetGrayscale())
        std::abort();
    return 0;
}
