//===- Clipbrd.h - The clipboard object and registered clipboard formats -*- C++ -*-===//
//
// TClipboard keeps the class library's rules over Qt's clipboard: between Open and the matching
// Close the first thing put on the clipboard empties it and later ones add formats, which other
// readers see at the last Close; a put outside Open is a session of its own and so replaces
// what the clipboard held. Each format travels as one MIME type:
//
//   CF_TEXT          text/plain (Windows-1252 text as Unicode)
//   CF_ENHMETAFILE   image/x-emf (the metafile's EMF bytes, as other programs read them)
//   registered       application/x-varnex.<name> (the bytes as given)
//
#pragma once

#include "platform/gdi/GdiTypes.h"
#include "platform/ui/components/TComponent.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

inline constexpr UINT CF_TEXT = 1, CF_BITMAP = 2, CF_METAFILEPICT = 3, CF_PALETTE = 9, CF_ENHMETAFILE = 14;

inline constexpr const char* SUnknownClipboardFormat = "Unsupported clipboard format";
/// The MIME type of enhanced metafiles on the clipboard.
inline constexpr const char* SEmfMimeType = "image/x-emf";

/// The same name (ignoring case) gives the same number in 0xC000..0xFFFF; the numbers are shared
/// with registered window messages, as on the original, so they hold across the session's
/// processes. 0 for an empty name or when the table is full.
UINT RegisterClipboardFormat(std::string_view Name);
/// The name of a format registered by this process, copied into Buffer (cut to Size - 1
/// characters and ended with a NUL); answers its length, 0 for any other format.
int GetClipboardFormatName(UINT Format, char* Buffer, int Size);

class TClipboard : public TPersistent {
public:
    TClipboard();
    ~TClipboard() override;
    TClipboard(const TClipboard&) = delete;
    TClipboard& operator=(const TClipboard&) = delete;

    // --- Sessions (they nest; the last Close publishes what was put)
    void Open();
    void Close();
    /// Empties the clipboard.
    void Clear();

    // --- Reading
    bool HasFormat(UINT Format) const;
    /// The bytes held in Format (CF_ENHMETAFILE: a whole EMF file; CF_TEXT: the text without a
    /// terminating NUL); empty when the clipboard holds nothing in it.
    std::vector<uint8_t> GetAsHandle(UINT Format) const;
    std::string GetAsText() const;

    // --- Writing
    /// CF_ENHMETAFILE takes only a complete metafile (else EInvalidGraphic "Metafile is not
    /// valid"); CF_TEXT takes text; registered formats take any bytes. Other formats raise
    /// Exception "Unsupported clipboard format". Nothing changes when it raises.
    void SetAsHandle(UINT Format, std::span<const uint8_t> Data);
    void SetAsText(std::string_view Text);
    /// A TMetafile goes on as CF_ENHMETAFILE (an empty one leaves no metafile there); other
    /// sources raise EConvertError.
    void Assign(const TPersistent& Source) override;

protected:
    /// Gives a TMetafile the clipboard's metafile; EConvertError when it holds none.
    void AssignTo(TPersistent& Dest) const override;

private:
    struct Impl;
    void put(UINT Format, std::vector<uint8_t> Bytes);

    std::unique_ptr<Impl> FImpl;
};

/// The program's clipboard object, made on first use.
TClipboard* Clipboard();
