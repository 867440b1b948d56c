//===- TPDFFonts.cpp - The document's font resources: standard fonts and TrueType faces -===//
#include "pdf/TPDFFonts.h"

#include "pdf/PdfFontProbes.h"
#include "pdf/PdfPrimitives.h"
#include "pdf/PdfSecurity.h"
#include "pdf/PdfSelectedFont.h"
#include "pdf/PdfStandardWidths.h"
#include "pdf/TAnsiFontSubset.h"
#include "pdf/TPDFDocument.h"
#include "pdf/TPDFException.h"

#include "platform/gdi/Gdi.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/TStream.h"
#include "platform/rtl/ZLib.h"

#include <algorithm>
#include <cstring>

namespace {

struct StandardFace {
    const char* BaseFont;
    int32_t Ascent;
};
constexpr StandardFace StandardFaces[14] = {
    { "Helvetica", 728 },   { "Helvetica-Bold", 728 }, { "Helvetica-Oblique", 728 }, { "Helvetica-BoldOblique", 728 },
    { "Times-Roman", 613 }, { "Times-Bold", 633 },     { "Times-Italic", 613 },      { "Times-BoldItalic", 633 },
    { "Courier", 693 },     { "Courier-Bold", 677 },   { "Courier-Oblique", 694 },   { "Courier-BoldOblique", 677 },
    { "Symbol", 1000 },     { "ZapfDingbats", 1000 },
};

std::string upper(std::string_view S)
{
    std::string U(S);
    for (char& C : U)
        if (C >= 'a' && C <= 'z')
            C = char(C - 'a' + 'A');
    return U;
}

/// The standard index of a face name, -1 for none.
int standardIndex(const std::string& UpperName, uint8_t Style)
{
    if (UpperName == "HELVETICA")
        return Style;
    if (UpperName == "TIMES")
        return 4 + Style;
    if (UpperName == "COURIER")
        return 8 + Style;
    if (UpperName == "SYMBOL")
        return 12;
    if (UpperName == "ZAPFDINGBATS")
        return 13;
    return -1;
}

/// The face at height -1000, as it is measured.
LOGFONTA measuringFont(const std::string& FaceName, uint8_t Style)
{
    LOGFONTA Font {};
    Font.lfHeight = -1000;
    Font.lfWeight = (Style & 1) ? FW_BOLD : FW_NORMAL;
    Font.lfItalic = (Style & 2) ? 1 : 0;
    Font.lfCharSet = ANSI_CHARSET;
    std::strncpy(Font.lfFaceName, FaceName.c_str(), LF_FACESIZE - 1);
    return Font;
}

/// Writes a deflated stream object: its dictionary lines, the data encrypted with the object's
/// key and a line end before "endstream".
void writeStreamObject(TPDFDocument& Document, int32_t& Number, const std::string& DictionaryLine,
                       std::span<const uint8_t> Packed)
{
    Document.StartObject(Number);
    Document.WriteText(DictionaryLine);
    Document.CloseDictionary();
    Document.StartStream();
    TMemoryStream Data;
    if (!Packed.empty())
        Data.WriteBuffer(Packed.data(), int32_t(Packed.size()));
    CryptStream(Document.GetProtectionEnabled(), Document.Key(), Data, Number);
    Document.WriteBytes(Data.Memory(), size_t(Data.GetSize()));
    Document.WriteText("");
    Document.CloseStream();
    Document.CloseObject();
}

std::span<const uint8_t> bytesOf(TMemoryStream& Stream)
{
    return { static_cast<const uint8_t*>(Stream.Memory()), size_t(Stream.GetSize()) };
}

} // namespace

// --- Names and widths text

std::string EscapeName(std::string_view Name)
{
    std::string Out;
    for (const char C : Name) {
        const auto B = uint8_t(C);
        if (B < 0x21 || B > 0x7E || std::strchr("#()<>[]{}/%", C))
            Out += "#" + ByteToHex(B);
        else
            Out += C;
    }
    return Out;
}

std::string FontWidthsText(const std::array<bool, 256>& UsedChars, const std::vector<int32_t>& Widths, int First,
                           int Last)
{
    std::string Text;
    for (int Code = First; Code <= Last; ++Code) {
        Text += UsedChars[size_t(Code)] && size_t(Code) < Widths.size() ? IntToStr(Widths[size_t(Code)]) + " " : "0 ";
        if (Code % 16 == 0)
            Text += "\r\n";
    }
    return Text;
}

// --- Creation

std::unique_ptr<TPDFFont> TPDFFont::Standard(int Index)
{
    std::unique_ptr<TPDFFont> Font(new TPDFFont);
    Font->IsStandard = true;
    Font->StandardIndex = Index;
    Font->FaceName = StandardFaces[Index].BaseFont;
    Font->FontName = "F" + IntToStr(Index);
    return Font;
}

std::unique_ptr<TPDFFont> TPDFFont::TrueType(const std::string& FaceName, uint8_t Style, bool Unicode, bool Embed,
                                             bool Symbolic)
{
    std::unique_ptr<TPDFFont> Font(new TPDFFont);
    Font->FaceName = FaceName;
    Font->Style = Style;
    Font->Unicode = Unicode;
    Font->Embed = Embed;
    Font->Symbolic = Symbolic;
    Font->loadMetrics();
    return Font;
}

void TPDFFont::loadMetrics()
{
    if (Unicode)
        TTFData = std::make_unique<TTTFData>(FaceName, Embed, Style);
    const PdfSelectedFont Font(measuringFont(FaceName, Style));
    if (!Font.Dc())
        throw TPDFException(SCannotReceiveFontData);
    if (!Unicode) {
        ABC Abc[256] {};
        GetCharABCWidthsA(Font.Dc(), 0, 255, Abc);
        Widths.resize(256);
        for (size_t I = 0; I < 256; ++I)
            Widths[I] = Abc[I].abcA + int32_t(Abc[I].abcB) + Abc[I].abcC;
    }
    TEXTMETRICA Metrics {};
    GetTextMetricsA(Font.Dc(), &Metrics);
    FontAscent = Metrics.tmAscent;
    FontDescent = Metrics.tmDescent;
    FixedPitch = (Metrics.tmPitchAndFamily & TMPF_FIXED_PITCH) == 0;
    // Without outline metrics the face is no TrueType face the engine can read: its descriptor
    // would be written from nothing.
    if (GetOutlineTextMetricsA(Font.Dc(), sizeof OutlineMetrics, &OutlineMetrics) == 0)
        throw TPDFException(SCannotReceiveFontData);
}

// --- Used codes

void TPDFFont::MarkUsedChar(uint8_t Code)
{
    if (IsStandard || Unicode)
        return;
    UsedChars[Code] = true;
    FirstUsed = std::min(FirstUsed, Code);
    LastUsed = std::max(LastUsed, Code);
}

void TPDFFont::MarkUsedText(std::string_view Text)
{
    for (const char C : Text)
        MarkUsedChar(uint8_t(C));
}

void TPDFFont::MarkAllUsed()
{
    if (IsStandard || Unicode)
        return;
    for (size_t Code = 32; Code < 256; ++Code)
        UsedChars[Code] = true;
    FirstUsed = 32;
    LastUsed = 255;
}

int32_t TPDFFont::Ascent() const { return IsStandard ? StandardFaces[StandardIndex].Ascent : FontAscent; }

int32_t TPDFFont::CharWidth(uint8_t Code) const
{
    if (IsStandard)
        return StandardFontWidth(StandardIndex, Code);
    return Code < Widths.size() ? Widths[Code] : 0;
}

// --- Writing

std::string TPDFFont::baseFontName() const
{
    return EscapeName(FaceName + ((Style & 1) ? " Bold" : "") + ((Style & 2) ? " Italic" : ""));
}

void TPDFFont::Save(TPDFDocument& Document)
{
    if (!Used)
        return;
    if (IsStandard) {
        saveStandard(Document);
        return;
    }
    const int32_t FileNumber = saveFontFile(Document);
    if (HasGlyphs())
        saveUnicode(Document, FileNumber);
    else
        saveSimple(Document, FileNumber);
}

void TPDFFont::saveStandard(TPDFDocument& Document)
{
    Document.StartObject(ObjectNumber);
    Document.WriteText("/Type /Font");
    Document.WriteText("/Subtype /Type1");
    Document.WriteText(std::string("/BaseFont /") + StandardFaces[StandardIndex].BaseFont);
    if (StandardIndex < 12)
        Document.WriteText("/Encoding /WinAnsiEncoding");
    Document.WriteText("/FirstChar 32");
    Document.WriteText("/LastChar 255");
    Document.CloseDictionary();
    Document.CloseObject();
}

/// The embedded program; answers its object number, 0 when none was written.
int32_t TPDFFont::saveFontFile(TPDFDocument& Document)
{
    TMemoryStream Program;
    if (HasGlyphs()) {
        TTFData->WriteFontSubset(Program);
    } else if (Embed) {
        std::vector<uint16_t> CodePoints;
        for (int Code = FirstUsed; Code <= LastUsed; ++Code)
            if (UsedChars[size_t(Code)])
                // A symbol font maps its byte codes from U+F000 on; through WinAnsi's code points
                // its subset would keep no glyph and its text would draw nothing.
                CodePoints.push_back(Symbolic ? uint16_t(0xF000 | Code) : WinAnsiToUnicode(uint8_t(Code)));
        if (!CodePoints.empty()) {
            SortWordArray(CodePoints, int(CodePoints.size()) - 1);
            MakeAnsiFontSubset(FaceName, Style, Program, int(CodePoints.size()), CodePoints.data());
        }
    }
    if (Program.GetSize() == 0)
        return 0;
    const std::vector<uint8_t> Packed = ZCompress(bytesOf(Program), TCompressionLevel::clMax);
    int32_t Number = 0;
    writeStreamObject(Document, Number,
                      "/Filter /FlateDecode /Length " + IntToStr(int64_t(Packed.size())) + " /Length1 "
                          + IntToStr(Program.GetSize()),
                      Packed);
    return Number;
}

int32_t TPDFFont::saveDescriptor(TPDFDocument& Document, int32_t FileNumber)
{
    const OUTLINETEXTMETRICA& M = OutlineMetrics;
    int32_t Number = 0;
    Document.StartObject(Number);
    Document.WriteText("/Type /FontDescriptor");
    Document.WriteText("/Ascent " + IntToStr(M.otmAscent));
    Document.WriteText("/CapHeight 666");
    Document.WriteText("/Descent " + IntToStr(M.otmDescent));
    // A symbol font's codes are its own: declared non-symbolic, readers look its glyphs up by
    // Latin character names and draw nothing.
    Document.WriteText(Symbolic ? "/Flags 4" : "/Flags 32");
    Document.WriteText("/FontBBox [" + IntToStr(M.otmrcFontBox.left) + " " + IntToStr(M.otmrcFontBox.bottom) + " "
                       + IntToStr(M.otmrcFontBox.right) + " " + IntToStr(M.otmrcFontBox.top) + "]");
    Document.WriteText("/FontName /" + baseFontName());
    // The font engine gives tenths of a degree; the descriptor takes degrees.
    Document.WriteText("/ItalicAngle " + FloatToPDFStr(M.otmItalicAngle / 10.0));
    Document.WriteText("/StemV 87");
    if (FileNumber > 0)
        Document.WriteText("/FontFile2 " + ObjectRef(FileNumber));
    Document.CloseDictionary();
    Document.CloseObject();
    return Number;
}

void TPDFFont::saveUnicode(TPDFDocument& Document, int32_t FileNumber)
{
    const int32_t DescriptorNumber = saveDescriptor(Document, FileNumber);
    const std::string Name = baseFontName();

    int32_t DescendantNumber = 0;
    Document.StartObject(DescendantNumber);
    // The dictionary's strings are encrypted like every other string of a protected file.
    auto string = [&](const char* Text) {
        return "("
               + EscapeSpecialChar(CryptString(Document.GetProtectionEnabled(), Document.Key(), Text, DescendantNumber))
               + ")";
    };
    Document.WriteText("/Type /Font");
    Document.WriteText("/BaseFont /" + Name);
    Document.WriteText("/Subtype /CIDFontType2");
    Document.WriteText("/CIDSystemInfo <</Ordering" + string("Identity") + "/Registry" + string("Adobe")
                       + "/Supplement 0>>");
    Document.WriteText("/DW 1000");
    Document.WriteText("/W" + TTFData->GetWidthArray());
    Document.WriteText("/FontDescriptor " + ObjectRef(DescriptorNumber));
    Document.CloseDictionary();
    Document.CloseObject();

    TMemoryStream Map;
    TTFData->WriteToUnicodeCMap(FontName, Map);
    const std::vector<uint8_t> Packed = ZCompress(bytesOf(Map));
    int32_t MapNumber = 0;
    writeStreamObject(Document, MapNumber, "/Filter /FlateDecode /Length " + IntToStr(int64_t(Packed.size())), Packed);

    Document.StartObject(ObjectNumber);
    Document.WriteText("/Type /Font");
    Document.WriteText("/Subtype /Type0");
    Document.WriteText("/BaseFont /" + Name);
    Document.WriteText("/Encoding /Identity-H");
    Document.WriteText("/DescendantFonts [" + ObjectRef(DescendantNumber) + "]");
    Document.WriteText("/ToUnicode " + ObjectRef(MapNumber));
    Document.CloseDictionary();
    Document.CloseObject();
}

void TPDFFont::saveSimple(TPDFDocument& Document, int32_t FileNumber)
{
    // A font selected but given no code still needs a range that runs upwards.
    int First = FirstUsed, Last = LastUsed;
    if (First > Last)
        First = Last = 32;
    const std::string WidthsText = FontWidthsText(UsedChars, Widths, First, Last);
    const int32_t DescriptorNumber = saveDescriptor(Document, FileNumber);
    Document.StartObject(ObjectNumber);
    Document.WriteText("/Type /Font");
    Document.WriteText("/Subtype /TrueType");
    Document.WriteText("/BaseFont /" + baseFontName());
    Document.WriteText("/FirstChar " + IntToStr(First));
    Document.WriteText("/LastChar " + IntToStr(Last));
    // A symbol font is read through its own byte codes: any encoding named here would send
    // readers to Latin character names that it does not have.
    if (!Symbolic)
        Document.WriteText("/Encoding /WinAnsiEncoding");
    Document.WriteText("/FontDescriptor " + ObjectRef(DescriptorNumber));
    Document.WriteText("/Widths [" + WidthsText + "]");
    Document.CloseDictionary();
    Document.CloseObject();
}

// --- The list

TPDFFont* TPDFFonts::findTrueType(const std::string& UpperName, uint8_t Style, bool Unicode) const
{
    for (const auto& Font : FFonts)
        if (!Font->IsStandard && upper(Font->FaceName) == UpperName && Font->Style == Style && Font->Unicode == Unicode)
            return Font.get();
    return nullptr;
}

TPDFFont* TPDFFonts::GetFont(const std::string& Name, uint8_t Style, bool Unicode)
{
    const std::string UpperName = upper(Name);
    Style &= 3;
    if (!Unicode) {
        const int Index = standardIndex(UpperName, Style);
        if (Index >= 0) {
            for (const auto& Font : FFonts)
                if (Font->IsStandard && Font->StandardIndex == Index)
                    return Font.get();
            FFonts.push_back(TPDFFont::Standard(Index));
            return FFonts.back().get();
        }
        if (FDocument.GetEmulateStandardFont()) {
            if (UpperName == "ARIAL")
                return GetFont("Helvetica", Style, false);
            if (UpperName == "TIMES NEW ROMAN")
                return GetFont("Times", Style, false);
            if (UpperName == "COURIER NEW")
                return GetFont("Courier", Style, false);
        }
    }
    if (TPDFFont* Found = findTrueType(UpperName, Style, Unicode))
        return Found;
    std::string Face = Name;
    uint8_t FaceStyle = Style;
    if (!FindTrueTypeFace(Face, FaceStyle))
        return GetFont("Helvetica", Style, false);
    // Compared by the name the system reported: it need not be the one asked for (an empty or
    // overlong name), and a font made from it must be found again, not measured anew.
    if (TPDFFont* Found = findTrueType(upper(Face), FaceStyle, Unicode))
        return Found;

    bool Embed = true;
    const TStringList& NonEmbedded = FDocument.GetNonEmbeddedFont();
    for (int I = 0; I < NonEmbedded.Count(); ++I)
        if (upper(NonEmbedded[I]) == UpperName)
            Embed = false;
    std::unique_ptr<TPDFFont> Font;
    try {
        Font = TPDFFont::TrueType(Face, FaceStyle, Unicode, Embed, UpperName == "WINGDINGS");
    } catch (const TPDFException&) {
        // A face whose tables cannot be read is no reason to lose the text: it is written in
        // the standard face, as for a name with no TrueType face at all.
        return GetFont("Helvetica", Style, false);
    }
    FFonts.push_back(std::move(Font));
    const auto TrueTypeCount =
        std::count_if(FFonts.begin(), FFonts.end(), [](const auto& F) { return !F->IsStandard; });
    FFonts.back()->FontName = "TT" + IntToStr(TrueTypeCount);
    return FFonts.back().get();
}
