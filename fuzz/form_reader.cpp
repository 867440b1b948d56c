//===- form_reader.cpp - Fuzzes reading a form resource into the tests' published classes ===//
//
// The seeds name TTestForm and its components, so that mutations reach the property setters,
// sub-objects, events and component references of every kind the reader handles.
//
#include "platform/ui/components/FormReader.h"

#include "tests/platform/ui/TestClasses.h"

#include "platform/ui/components/FormResource.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    const std::string_view Text(reinterpret_cast<const char*>(Data), Size);
    try {
        const TFormObject Root = ParseFormResource("FUZZ", Text);
        TTestForm Form(nullptr);
        ReadComponent(Root, "FUZZ", Form);
    } catch (const Exception&) {
        // Refusals are the reader's answer to bad input; only crashes and leaks are findings.
    }
    return 0;
}
