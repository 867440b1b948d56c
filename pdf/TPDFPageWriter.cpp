//===- TPDFPageWriter.cpp - The page canvas and the writing of a page or form XObject -===//
#include "pdf/TPDFPage.h"

#include "pdf/PdfSecurity.h"
#include "pdf/TPDFAnnotations.h"
#include "pdf/TMetafilePlayer.h"
#include "pdf/TPDFDocument.h"
#include "pdf/TPDFException.h"
#include "pdf/TPDFFonts.h"
#include "pdf/TPDFImages.h"
#include "pdf/TPDFPages.h"

#include "platform/gdi/metafile/EnhMetaFile.h"
#include "platform/gdi/Gdi.h"
#include "platform/kernel/MulDiv.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/TStream.h"
#include "platform/rtl/ZLib.h"
#include "platform/ui/graphics/TMetafile.h"

#include <algorithm>
#include <cmath>

namespace {

std::string ref(int32_t Number) { return IntToStr(Number) + " 0 R"; }

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
    const std::unique_ptr<TMetafile> Picture = std::move(FCanvasMetafile);
    const EnhMetaFile* Image = Picture->GetHandle();
    // Nothing drawn: the content stays as it is.
    if (!Image || Image->Bounds().right < Image->Bounds().left || Image->Bounds().bottom < Image->Bounds().top)
        return;
    TMetafilePlayer Player(*this);
    Player.LoadMetafile(*Picture);
    int32_t Width = 0, Height = 0;
    Player.GetMetafileSize(Width, Height);
    if (Width >= 1 && Height >= 1)
        playCanvas(Player);
}

void TPDFPage::playCanvas(TMetafilePlayer& Player)
{
    EndText();
    std::vector<std::string> Old = std::move(Content);
    Content.clear();
    // The state this page remembers must hold where the drawing goes: the reader's defaults at
    // the start of the stream when the drawing lies under the old content, the old content's
    // state after it otherwise. Wrapped in q..Q, the drawing leaves the old content's state
    // behind it either way, which is what the page remembers afterwards.
    const bool KeptFontChanged = FontChanged, KeptFontIsUnicode = FontIsUnicode;
    const int32_t KeptFontDepth = FontDepth;
    const std::string KeptDash = DashPattern;
    const double KeptChar = CharSpacing, KeptWord = WordSpacing, KeptScaling = HorizontalScaling;
    if (CanvasFirst) {
        FontChanged = true;
        DashPattern = "[] 0";
        CharSpacing = WordSpacing = 0;
        HorizontalScaling = 100;
    }
    GSave();
    Player.ExecuteMetafile();
    GRestore();
    FontChanged = KeptFontChanged;
    FontIsUnicode = KeptFontIsUnicode;
    FontDepth = KeptFontDepth;
    DashPattern = KeptDash;
    CharSpacing = KeptChar;
    WordSpacing = KeptWord;
    HorizontalScaling = KeptScaling;
    std::vector<std::string> New = std::move(Content);
    std::vector<std::string>& Under = CanvasFirst ? New : Old;
    std::vector<std::string>& Over = CanvasFirst ? Old : New;
    Under.insert(Under.end(), std::make_move_iterator(Over.begin()), std::make_move_iterator(Over.end()));
    Content = std::move(Under);
}

// --- Metafiles

void TPDFPage::PlayMetaFile(const TMetafile& Metafile, double X, double Y, double XScale, double YScale)
{
    // An empty drawing is found before anything is made: a form added and dropped again would
    // leave its object number unwritten, and a zero size would divide the fit factor.
    const EnhMetaFile* Source = Metafile.GetHandle();
    if (!Source || Metafile.GetWidth() <= 0 || Metafile.GetHeight() <= 0
        || Source->Bounds().right < Source->Bounds().left || Source->Bounds().bottom < Source->Bounds().top)
        return;
    HDC Dc = Document.ReferenceDC();
    int Width = Metafile.GetWidth(), Height = Metafile.GetHeight();
    double F = 1;
    if (Document.GetUseScreenDC()) {
        const int HorzRes = GetDeviceCaps(Dc, HORZRES), VertRes = GetDeviceCaps(Dc, VERTRES);
        if (VertRes < Height || HorzRes < Width) {
            F = std::min(double(HorzRes) / Width, double(VertRes) / Height);
            Height = static_cast<int>(Round(Height * F));
            Width = static_cast<int>(Round(Width * F));
        }
    }
    TMetafile Copy;
    Copy.SetWidth(Width);
    Copy.SetHeight(Height);
    {
        TMetafileCanvas Canvas(Copy, Dc);
        if (F != 1)
            Canvas.StretchDraw(Rect(0, 0, Width - 1, Height - 1), Metafile);
        else
            Canvas.Draw(0, 0, Metafile);
    }
    int32_t W = 0, H = 0;
    {
        TMetafilePlayer Measure(*this);
        Measure.LoadMetafile(Copy);
        Measure.GetMetafileSize(W, H);
    }
    if (W == 0 || H == 0)
        return;

    TPDFPage* Form = InnerForms->Add();
    Form->FreeCanvas();
    Form->PageWidth = PageWidth;
    Form->PageHeight = PageHeight;
    Form->Resolution = Resolution;
    Form->ScaleFactor = ScaleFactor;
    Form->SetWidth(std::abs(W));
    Form->SetHeight(std::abs(H));
    {
        TMetafilePlayer Player(*Form);
        Player.LoadMetafile(Copy);
        Player.ExecuteMetafile();
    }
    EndText();
    AppendLine("q /IF" + IntToStr(InnerForms->IndexOf(Form)) + " Do Q");
    Form->FormMatrix = TPDFMatrix {
        XScale / F, 0, 0, YScale / F, X / ScaleFactor, (GetHeight() - YScale * Form->GetHeight() / F - Y) / ScaleFactor
    };
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

TPDFImage* TPDFPage::thumbnail() const
{
    // An index outside the image list is ignored rather than read past the list.
    TPDFImages& Images = Document.Images();
    return ThumbnailIndex >= 0 && ThumbnailIndex < Images.Count() ? Images.Items(ThumbnailIndex) : nullptr;
}

void TPDFPage::AssignObjectNumbers()
{
    for (TPDFFont* Font : UsedFonts)
        if (Font->ObjectNumber == -1 && Font->Used)
            Font->ObjectNumber = Document.NewObjectNumber();
    for (TPDFImage* Image : UsedImages)
        if (Image->ObjectNumber == -1)
            Image->Save(Document);
    if (TPDFImage* Thumbnail = thumbnail(); Thumbnail && Thumbnail->ObjectNumber == -1)
        Thumbnail->Save(Document);
}

void TPDFPage::WritePage()
{
    for (int D = GSaveDepth; D > 0; --D)
        GRestore();
    AssignObjectNumbers();
    TPDFImage* Thumbnail = thumbnail();
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
