//===- form_resource.cpp - Fuzzes the parser of the text form format -----===//
#include "platform/ui/components/FormResource.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    const std::string_view Text(reinterpret_cast<const char*>(Data), Size);
    try {
        ParseFormResource("FUZZ", Text);
    } catch (const EParserError&) {
    }
    return 0;
}
