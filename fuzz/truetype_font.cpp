//===- truetype_font.cpp - Fuzzes the TrueType readers of the PDF writer on whole font files ===//
//
// Fonts are files from outside. The input is a font file; its tables go through the Unicode
// font data (character map, metrics), a few characters are used, and the glyph subset, the
// ToUnicode map and the width array are written; then the renumbered WinAnsi subset is built. Refusals with the writer's exception are fine.
//
#include "pdf/TAnsiFontSubset.h"
#include "pdf/TPDFException.h"
#include "pdf/TTTFData.h"
#include "pdf/TrueTypeTables.h"

#include "platform/rtl/TStream.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    try {
        TTTFData Font(SfntFileTables(TTFBytes(Data, Data + Size)), Size % 2 == 1);
        for (const uint16_t Code : { 0x20, 0x41, 0xE9, 0x20AC, 0xFFFF })
            Font.TTFGetCharWidth(Code), Font.TTFUseChar(Code);
        TMemoryStream Out;
        Font.WriteToUnicodeCMap("F1", Out);
        Font.GetWidthArray();
        Font.WriteFontSubset(Out);
    } catch (const Exception&) {
    }
    try {
        AnsiFontSubset(SfntFileTables(TTFBytes(Data, Data + Size)), Size % 2 == 1,
                       { 0x20, 0x41, 0x42, 0xC1, 0xE9, 0x20AC, 0xF041 });
    } catch (const Exception&) {
    }
    return 0;
}
