//===- PdfSecurity.h - The standard security handler: permissions, O, U, keys and RC4 -*- C++ -*-===//
//
// Revision 2 (40-bit key) and revision 3 (128-bit key) of the PDF format's standard handler.
// Every string and stream is encrypted with a key derived from the document key and its own
// object number; every encryption starts a fresh RC4 keystream.
//
#pragma once

#include "platform/ui/components/TypeInfo.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class TMemoryStream;

enum class TPDFKeyLength { kl40, kl128 };
using enum TPDFKeyLength;

enum class TPDFCriptoOption {
    coPrint,
    coModifyStructure,
    coCopyInformation,
    coModifyAnnotation,
    coPrintHi,
    coFillAnnotation,
    coExtractInfo,
    coAssemble
};
using enum TPDFCriptoOption;
using TPDFCtiptoOptions = TSet<TPDFCriptoOption>;

using TPDFEntry32 = std::array<uint8_t, 32>;
/// The document key: 5 bytes for kl40, 16 for kl128.
using TPDFKey = std::vector<uint8_t>;

/// The signed permission value written as "/P".
int32_t CalcPermissions(TPDFCtiptoOptions Options, TPDFKeyLength KeyLength);
/// The password's first 32 bytes followed by as much of the standard padding as fills 32.
TPDFEntry32 PreparePassword(std::string_view Password);
/// The owner entry O. An empty owner password stands for the user password, as the standard
/// handler does: otherwise a file with only a user password would open for anyone with owner
/// rights, and hand out the user password with them.
TPDFEntry32 CalcOwnerKey(std::string_view OwnerPassword, std::string_view UserPassword, TPDFKeyLength KeyLength);
/// The 16 ID bytes read from the 32 hex digits of FileID.
std::array<uint8_t, 16> FileIDBytes(std::string_view FileID);
TPDFKey CalcKey(std::string_view UserPassword, const TPDFEntry32& O, int32_t Permissions, std::string_view FileID,
                TPDFKeyLength KeyLength);
/// The user entry U; for kl128 its last 16 bytes come from RandomByte (each 32..231).
TPDFEntry32 CalcUserKey(const TPDFKey& Key, std::string_view FileID, TPDFKeyLength KeyLength,
                        const std::function<uint32_t()>& RandomNumber);

/// The RC4 key of object Number (generation 0).
TPDFKey ObjectKey(const TPDFKey& Key, int32_t Number);
/// Text unchanged when protection is off or the text is empty; else its RC4 output.
std::string CryptString(bool Protection, const TPDFKey& Key, std::string_view Text, int32_t Number);
/// Hex text decrypted to bytes, encrypted, and answered as upper-case hex.
std::string CryptHexString(bool Protection, const TPDFKey& Key, std::string_view HexText, int32_t Number);
/// Encrypts the whole stream in place.
void CryptStream(bool Protection, const TPDFKey& Key, TMemoryStream& Stream, int32_t Number);
