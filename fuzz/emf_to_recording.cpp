//===- emf_to_recording.cpp - Fuzzes playing a metafile into another recording ===//
//
// A picture played into a recording context is recorded again, record by record. Whatever the
// input holds, the new recording must be a metafile that our own reader takes.
//
#include "platform/gdi/metafile/EnhMetaFile.h"
#include "platform/gdi/Gdi.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    HENHMETAFILE Image = SetEnhMetaFileBits(std::span<const uint8_t>(Data, Size));
    if (!Image)
        return 0;
    HDC Dc = CreateEnhMetaFile(nullptr, nullptr);
    PlayEnhMetaFile(Dc, *Image, RECT { 10, 20, 210, 170 });
    HENHMETAFILE Recorded = CloseEnhMetaFile(Dc);
    if (!Recorded || !SetEnhMetaFileBits(Recorded->Bytes()))
        std::abort();
    return 0;
}
