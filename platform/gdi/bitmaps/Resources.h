//===- Resources.h - Files embedded in the executables, found by name -*- C++ -*-===//
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

/// The bytes of the resource named Name (matched without regard to case: "AlLED" finds
/// "ALLED"), or an empty span. Resources are the files that the build embeds into the executable
/// (CMake: varnex_embed_resources(target NAME file ...)); a resource's name is its file name
/// without the extension, unless given.
std::span<const uint8_t> FindResource(std::string_view Name);

/// Adds a resource at start-up; the embedding code calls it, tests may too. The bytes are
/// copied; registering a name again replaces it for later lookups, and spans already handed
/// out stay valid to the end of the program.
void RegisterResource(std::string_view Name, std::span<const uint8_t> Bytes);
