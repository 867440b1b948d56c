//===- CodePages.cpp - Converting between code pages and UTF-16 ------------===//
#include "platform/kernel/CodePages.h"

#include <array>
#include <bit>
#include <bitset>
#include <cerrno>
#include <climits>
#include <cstring>
#include <iconv.h>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

namespace {

static_assert(std::endian::native == std::endian::little, "UTF-16LE is taken as the native char16_t");

struct CodePageInfo {
    uint32_t Number;
    const char* IconvName;
    bool DoubleByte;
};

constexpr CodePageInfo KnownPages[] = {
    { 874, "CP874", false },   { 932, "CP932", true },    { 936, "CP936", true },    { 949, "CP949", true },
    { 950, "CP950", true },    { 1250, "CP1250", false }, { 1251, "CP1251", false }, { 1252, "CP1252", false },
    { 1253, "CP1253", false }, { 1254, "CP1254", false }, { 1255, "CP1255", false }, { 1256, "CP1256", false },
    { 1257, "CP1257", false }, { 1258, "CP1258", false }, { 1361, "JOHAB", true },   { 10000, "MACINTOSH", false },
};

constexpr char16_t DoubleByteDefault = 0x30FB; // KATAKANA MIDDLE DOT, present in every East Asian set
constexpr char16_t SingleByteDefault = u'?';

const CodePageInfo* findPage(uint32_t CodePage)
{
    if (CodePage == CP_ACP)
        CodePage = 1252;
    for (const CodePageInfo& page : KnownPages)
        if (page.Number == CodePage)
            return &page;
    return nullptr;
}

/// One iconv conversion; closes itself.
class Conversion {
public:
    Conversion(const char* To, const char* From) : cd_(::iconv_open(To, From)) {}
    ~Conversion()
    {
        if (ok())
            ::iconv_close(cd_);
    }
    Conversion(const Conversion&) = delete;
    Conversion& operator=(const Conversion&) = delete;

    bool ok() const { return cd_ != iconv_t(-1); }
    /// iconv's answer; errno tells why it stopped.
    size_t convert(const char*& In, size_t& InLeft, char*& Out, size_t& OutLeft)
    {
        return ::iconv(cd_, const_cast<char**>(&In), &InLeft, &Out, &OutLeft);
    }
    /// Writes what a stateful code page still holds back (CP1258 waits for a combining mark).
    void flush(char*& Out, size_t& OutLeft) { ::iconv(cd_, nullptr, nullptr, &Out, &OutLeft); }
    void reset() { ::iconv(cd_, nullptr, nullptr, nullptr, nullptr); }

private:
    iconv_t cd_;
};

bool inRange(uint8_t B, uint8_t Low, uint8_t High) { return B >= Low && B <= High; }

bool isLeadByte(uint32_t Page, uint8_t B)
{
    switch (Page) {
    case 932: return inRange(B, 0x81, 0x9F) || inRange(B, 0xE0, 0xFC);
    case 1361: return inRange(B, 0x84, 0xD3) || inRange(B, 0xD8, 0xDE) || inRange(B, 0xE0, 0xF9);
    default: return inRange(B, 0x81, 0xFE);
    }
}

bool isTrailByte(uint32_t Page, uint8_t B)
{
    switch (Page) {
    case 932: return inRange(B, 0x40, 0x7E) || inRange(B, 0x80, 0xFC);
    case 949: return inRange(B, 0x41, 0x5A) || inRange(B, 0x61, 0x7A) || inRange(B, 0x81, 0xFE);
    case 950: return inRange(B, 0x40, 0x7E) || inRange(B, 0xA1, 0xFE);
    case 1361: return inRange(B, 0x31, 0x7E) || inRange(B, 0x81, 0xFE);
    default: return inRange(B, 0x40, 0x7E) || inRange(B, 0x80, 0xFE);
    }
}

/// A single-byte page as two tables, read once from iconv one byte at a time (so that CP1258
/// composes nothing, as the original does not).
struct SingleBytePage {
    std::array<char16_t, 256> Unicode {};
    std::bitset<256> Defined;
    std::unordered_map<char16_t, uint8_t> Bytes;
};

std::unique_ptr<SingleBytePage> readSingleBytePage(const CodePageInfo& Page)
{
    Conversion conversion("UTF-16LE", Page.IconvName);
    if (!conversion.ok())
        return nullptr;
    auto table = std::make_unique<SingleBytePage>();
    for (int b = 0; b < 256; ++b) {
        conversion.reset();
        char byte = char(b);
        char16_t units[4];
        const char* in = &byte;
        size_t inLeft = 1, outLeft = sizeof units;
        char* out = reinterpret_cast<char*>(units);
        if (conversion.convert(in, inLeft, out, outLeft) != size_t(-1))
            conversion.flush(out, outLeft);
        if (sizeof units - outLeft == sizeof(char16_t)) {
            table->Unicode[b] = units[0];
            table->Defined[b] = true;
        } else if (inRange(uint8_t(b), 0x80, 0x9F)) {
            // The original's tables give the unused C1 bytes their own code points.
            table->Unicode[b] = char16_t(b);
            table->Defined[b] = true;
        }
    }
    for (int b = 0; b < 256; ++b)
        if (table->Defined[b])
            table->Bytes.emplace(table->Unicode[b], uint8_t(b)); // the first byte wins
    return table;
}

const SingleBytePage* singleBytePage(const CodePageInfo& Page)
{
    static std::mutex lock;
    static std::map<uint32_t, std::unique_ptr<SingleBytePage>> pages;
    std::lock_guard<std::mutex> guard(lock);
    auto found = pages.find(Page.Number);
    if (found == pages.end())
        found = pages.emplace(Page.Number, readSingleBytePage(Page)).first;
    return found->second.get();
}

bool decodeSingleByte(const CodePageInfo& Page, std::string_view Bytes, bool Strict, std::u16string& Result)
{
    const SingleBytePage* table = singleBytePage(Page);
    if (!table)
        return false;
    for (char c : Bytes) {
        uint8_t b = uint8_t(c);
        if (!table->Defined[b] && Strict)
            return false;
        Result.push_back(table->Defined[b] ? table->Unicode[b] : SingleByteDefault);
    }
    return true;
}

bool decodeDoubleByte(const CodePageInfo& Page, std::string_view Bytes, bool Strict, std::u16string& Result)
{
    Conversion conversion("UTF-16LE", Page.IconvName);
    if (!conversion.ok())
        return false;
    const char* in = Bytes.data();
    size_t inLeft = Bytes.size();
    char16_t units[256];
    for (;;) {
        char* out = reinterpret_cast<char*>(units);
        size_t outLeft = sizeof units;
        size_t done = inLeft ? conversion.convert(in, inLeft, out, outLeft) : 0;
        int error = errno;
        if (!inLeft)
            conversion.flush(out, outLeft);
        Result.append(units, (sizeof units - outLeft) / sizeof(char16_t));
        if (!inLeft)
            return true;
        if (done != size_t(-1) || error == E2BIG)
            continue;
        if ((error != EILSEQ && error != EINVAL) || Strict)
            return false;
        // A lead byte with a trail byte stands for one (unknown) character; anything else is
        // one byte on its own.
        size_t skip =
            inLeft >= 2 && isLeadByte(Page.Number, uint8_t(in[0])) && isTrailByte(Page.Number, uint8_t(in[1])) ? 2 : 1;
        Result.push_back(DoubleByteDefault);
        in += skip;
        inLeft -= skip;
        conversion.reset();
    }
}

bool isHighSurrogate(char16_t U) { return U >= 0xD800 && U <= 0xDBFF; }
bool isLowSurrogate(char16_t U) { return U >= 0xDC00 && U <= 0xDFFF; }

/// Code units of the character at the front: 2 for a surrogate pair, else 1.
size_t characterUnits(std::u16string_view Text)
{
    return Text.size() >= 2 && isHighSurrogate(Text[0]) && isLowSurrogate(Text[1]) ? 2 : 1;
}

void encodeSingleByte(const SingleBytePage& Table, std::u16string_view Text, std::string_view Default,
                      bool& UsedDefault, std::string& Result)
{
    while (!Text.empty()) {
        size_t units = characterUnits(Text);
        auto found = units == 1 ? Table.Bytes.find(Text[0]) : Table.Bytes.end();
        if (found != Table.Bytes.end()) {
            Result.push_back(char(found->second));
        } else {
            Result.append(Default);
            UsedDefault = true;
        }
        Text.remove_prefix(units);
    }
}

bool encodeDoubleByte(const CodePageInfo& Page, std::u16string_view Text, std::string_view Default, bool& UsedDefault,
                      std::string& Result)
{
    Conversion conversion(Page.IconvName, "UTF-16LE");
    if (!conversion.ok())
        return false;
    const char* in = reinterpret_cast<const char*>(Text.data());
    size_t inLeft = Text.size() * sizeof(char16_t);
    char bytes[512];
    for (;;) {
        char* out = bytes;
        size_t outLeft = sizeof bytes;
        size_t done = inLeft ? conversion.convert(in, inLeft, out, outLeft) : 0;
        int error = errno;
        if (!inLeft)
            conversion.flush(out, outLeft);
        Result.append(bytes, sizeof bytes - outLeft);
        if (!inLeft)
            return true;
        if (done != size_t(-1) || error == E2BIG)
            continue;
        if (error != EILSEQ && error != EINVAL)
            return false;
        // iconv stops at a whole unit: a character the page lacks, or a lone surrogate.
        std::u16string_view rest(reinterpret_cast<const char16_t*>(in), inLeft / sizeof(char16_t));
        size_t skip = rest.empty() ? inLeft : characterUnits(rest) * sizeof(char16_t);
        Result.append(Default);
        UsedDefault = true;
        in += skip;
        inLeft -= skip;
        conversion.reset();
    }
}

/// The default character's bytes: one, or two where it is a double-byte character.
std::string_view defaultBytes(const CodePageInfo& Page, const char* DefaultChar)
{
    if (!DefaultChar || !DefaultChar[0])
        return "?";
    bool pair = Page.DoubleByte && DefaultChar[1] && isLeadByte(Page.Number, uint8_t(DefaultChar[0]));
    return std::string_view(DefaultChar, pair ? 2 : 1);
}

/// The answer both conversions give once the text is converted: the size alone, or the text
/// copied into a buffer that holds all of it, or 0.
template <typename Unit>
int deliver(const std::basic_string<Unit>& Converted, Unit* Buffer, int BufferSize)
{
    if (Converted.empty() || Converted.size() > size_t(INT_MAX))
        return 0;
    if (BufferSize == 0)
        return int(Converted.size());
    if (Converted.size() > size_t(BufferSize))
        return 0;
    std::memcpy(Buffer, Converted.data(), Converted.size() * sizeof(Unit));
    return int(Converted.size());
}

/// Count units of Text, with -1 meaning up to and including the terminator; -1 when refused.
template <typename Unit>
long long sourceLength(const Unit* Text, int Count)
{
    if (!Text || Count == 0 || Count < -1)
        return -1;
    if (Count > 0)
        return Count;
    return std::char_traits<Unit>::length(Text) + 1;
}

} // namespace

int MultiByteToWideChar(uint32_t CodePage, uint32_t Flags, const char* MultiByteStr, int Count, WCHAR* WideCharStr,
                        int BufferSize)
{
    const CodePageInfo* page = findPage(CodePage);
    long long length = sourceLength(MultiByteStr, Count);
    if (!page || (Flags & ~(MB_PRECOMPOSED | MB_ERR_INVALID_CHARS)) || length < 0 || BufferSize < 0
        || (BufferSize > 0 && !WideCharStr))
        return 0;
    std::string_view bytes(MultiByteStr, size_t(length));
    bool strict = Flags & MB_ERR_INVALID_CHARS;
    std::u16string converted;
    bool ok = page->DoubleByte ? decodeDoubleByte(*page, bytes, strict, converted)
                               : decodeSingleByte(*page, bytes, strict, converted);
    return ok ? deliver(converted, WideCharStr, BufferSize) : 0;
}

int WideCharToMultiByte(uint32_t CodePage, uint32_t Flags, const WCHAR* WideCharStr, int Count, char* MultiByteStr,
                        int BufferSize, const char* DefaultChar, bool* UsedDefaultChar)
{
    const CodePageInfo* page = findPage(CodePage);
    long long length = sourceLength(WideCharStr, Count);
    if (!page || (Flags & ~WC_NO_BEST_FIT_CHARS) || length < 0 || BufferSize < 0 || (BufferSize > 0 && !MultiByteStr))
        return 0;
    std::u16string_view text(WideCharStr, size_t(length));
    std::string_view fallback = defaultBytes(*page, DefaultChar);
    bool usedDefault = false;
    std::string converted;
    bool ok = true;
    if (page->DoubleByte) {
        ok = encodeDoubleByte(*page, text, fallback, usedDefault, converted);
    } else if (const SingleBytePage* table = singleBytePage(*page)) {
        encodeSingleByte(*table, text, fallback, usedDefault, converted);
    } else {
        ok = false;
    }
    if (!ok)
        return 0;
    if (UsedDefaultChar)
        *UsedDefaultChar = usedDefault;
    return deliver(converted, MultiByteStr, BufferSize);
}
