//===- TPDFPageWriter.cpp - The page canvas and the writing of a page or form XObject -===//
#include "pdf/TPDFPage.h"

#include "pdf/PdfSecurity.h"
#include "pdf/TPDFAnnotations.h"
#include "pdf/TPDFDocument.h"
#include "pdf/TPDFException.h"
#include "pdf/TPDFFonts.h"
#include "pdf/TPDFImages.h"
#include "pdf/TPDFPages.h"

#include "platform/gdi/EnhMetaFile.h"
#include "platform/gdi/Gdi.h"
#include "platform/kernel/MulDiv.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/TStream.h"
#include "platform/rtl/ZLib.h"
#include "platform/ui/TMetafile.h"

namespace {

std::string ref(int32_t Number)
{
    return IntToStr(Number) + " 0 R";
}

} // namespace

// --- Canvas

void TPDFPage::CreateCanvas()
{
    if (FCanvasMetafile)
        throw TPDFException(SCanvasAlreadyCreated);
    FCanvasMetafile = std::make_unique<TMetafile>();
    remakeCanvas();
}

void TPDFPage::remakeCanvas()
{
    HDC Dc = Document.ReferenceDC();
    FCanvas.reset();
    FCanvasMetafile->SetHeight(MulDiv(PageHeight, GetDeviceCaps(Dc, LOGPIXELSY), 72));
    FCanvasMetafile->SetWidth(MulDiv(PageWidth, GetDeviceCaps(Dc, LOGPIXELSX), 72));
    FCanvas = std::make_unique<TMetafileCanvas>(*FCanvasMetafile, Dc);
}

void TPDFPage::FreeCanvas()
{
    FCanvas.reset();
    FCanvasMetafile.reset();
}

void TPDFPage::CloseCanvas()
{
    if (!FCanvasMetafile)
        return;
    FCanvas.reset();
    const EnhMetaFile* Picture = FCanvasMetafile->GetHandle();
    const bool Drawn = Picture && Picture->Bounds().right >= Picture->Bounds().left
        && Picture->Bounds().bottom >= Picture->Bounds().top;
    FCanvasMetafile.reset();
    // Turning the recorded drawing into page operators is the metafile player's work, which
    // this writer does not have yet: a drawing would be lost without a word, so it is refused.
    if (Drawn)
        throw TPDFException("Drawing on a page canvas cannot be played yet");
}

// --- Writing

std::string TPDFPage::contentText() const
{
    std::string S;
    size_t Size = 0;
    for (const std::string& L : Content)
        Size += L.size() + 2;
    S.reserve(Size);
    for (const std::string& L : Content) {
        S += L;
        S += "\r\n";
    }
    return S;
}

void TPDFPage::writeResources()
{
    Document.StartObject(ResourcesNumber);
    Document.WriteText(" /ProcSet [/PDF ", false);
    if (UsesText)
        Document.WriteText("/Text ", false);
    if (UsesImageB)
        Document.WriteText("/ImageB ", false);
    if (UsesImageC)
        Document.WriteText("/ImageC ", false);
    Document.WriteText("]");
    if (!UsedFonts.empty()) {
        Document.WriteText("/Font <<");
        for (const TPDFFont* Font : UsedFonts)
            if (Font->Used)
                Document.WriteText("/" + Font->FontName + " " + ref(Font->ObjectNumber));
        Document.WriteText(">>");
    }
    if (!UsedImages.empty() || InnerForms->Count() > 0) {
        Document.WriteText(" /XObject <<");
        for (const TPDFImage* Image : UsedImages)
            Document.WriteText("/" + Image->ImageName + " " + ref(Image->ObjectNumber));
        for (int I = 0; I < InnerForms->Count(); ++I)
            Document.WriteText("/IF" + IntToStr(I) + " " + ref(InnerForms->Items(I)->PageNumber));
        Document.WriteText(">>");
    }
    Document.CloseDictionary();
    Document.CloseObject();
}

void TPDFPage::writeStreamPart(int32_t Number)
{
    const bool Protect = Document.GetProtectionEnabled();
    const std::string Text = contentText();
    if (Document.Compression == ctFlate) {
        std::vector<uint8_t> Packed = ZCompress(std::span(reinterpret_cast<const uint8_t*>(Text.data()), Text.size()));
        TMemoryStream Data;
        Data.WriteBuffer(Packed.data(), static_cast<int32_t>(Packed.size()));
        CryptStream(Protect, Document.Key(), Data, Number);
        Document.WriteText("/Length " + IntToStr(Data.GetSize()));
        Document.WriteText("/Filter /FlateDecode");
        Document.CloseDictionary();
        Document.StartStream();
        Document.WriteBytes(Data.Memory(), static_cast<size_t>(Data.GetSize()));
        Document.WriteText("");
    } else {
        Document.WriteText("/Length " + IntToStr(static_cast<int64_t>(Text.size())));
        Document.CloseDictionary();
        Document.StartStream();
        Document.WriteText(CryptString(Protect, Document.Key(), Text, Number));
    }
}

void TPDFPage::WritePage()
{
    for (int D = GSaveDepth; D > 0; --D)
        GRestore();
    for (TPDFFont* Font : UsedFonts)
        if (Font->ObjectNumber == -1 && Font->Used)
            Font->ObjectNumber = Document.NewObjectNumber();
    for (TPDFImage* Image : UsedImages)
        Image->Save(Document);
    // An index outside the image list is ignored rather than read past the list.
    TPDFImages& Images = Document.Images();
    TPDFImage* Thumbnail = ThumbnailIndex >= 0 && ThumbnailIndex < Images.Count() ? Images.Items(ThumbnailIndex) : nullptr;
    if (Thumbnail)
        Thumbnail->Save(Document);
    for (int I = 0; I < InnerForms->Count(); ++I)
        InnerForms->Items(I)->WritePage();
    ResourcesNumber = Document.NewObjectNumber();
    if (!IsForm)
        ContentsNumber = Document.NewObjectNumber();
    GSaveDepth = 2;
    GRestore();
    if (JoinContentLines) {
        std::string Joined;
        for (const std::string& L : Content)
            Joined += " " + L;
        Content.assign(1, Joined);
    }
    for (const auto& Annotation : Annotations)
        Annotation->Save();
    writeResources();
    if (IsForm) {
        Document.StartObject(PageNumber);
        Document.WriteText("/Type /XObject");
        Document.WriteText("/Subtype /Form");
        Document.WriteText("/Resources " + ref(ResourcesNumber));
        const TPDFMatrix& M = FormMatrix;
        Document.WriteText("/Matrix [" + FloatToPDFStr(M.a) + " " + FloatToPDFStr(M.b) + " " + FloatToPDFStr(M.c) + " "
                           + FloatToPDFStr(M.d) + " " + FloatToPDFStr(M.e) + " " + FloatToPDFStr(M.f) + " ]");
        Document.WriteText("/BBox [0 0 " + IntToStr(PageWidth) + " " + IntToStr(PageHeight) + "]");
        writeStreamPart(PageNumber);
        Document.CloseStream();
        Document.CloseObject();
    } else {
        Document.StartObject(ContentsNumber);
        writeStreamPart(ContentsNumber);
        Document.CloseStream();
        Document.CloseObject();
        Document.StartObject(PageNumber);
        Document.WriteText("/Type /Page");
        Document.WriteText("/Parent " + ref(Document.PagesNumber()));
        Document.WriteText("/Resources " + ref(ResourcesNumber));
        Document.WriteText("/Contents [" + ref(ContentsNumber) + "]");
        if (Thumbnail)
            Document.WriteText("/Thumb " + ref(Thumbnail->ObjectNumber));
        Document.WriteText("/MediaBox [0 0 " + IntToStr(PageWidth) + " " + IntToStr(PageHeight) + "]");
        static constexpr const char* Rotations[] = { "", "/Rotate 90", "/Rotate 180", "/Rotate 270" };
        if (PageRotation >= 1 && PageRotation <= 3)
            Document.WriteText(Rotations[PageRotation]);
        if (!Annotations.empty()) {
            Document.WriteText("/Annots [");
            for (const auto& Annotation : Annotations)
                Document.WriteText(ref(Annotation->ObjectNumber));
            Document.WriteText("]");
        }
        Document.CloseDictionary();
        Document.CloseObject();
    }
    Content.clear();
}
