//===- TPDFDocument.cpp - The PDF document: properties, generation, objects and output -===//
#include "pdf/TPDFDocument.h"

#include "pdf/PdfMD5.h"
#include "pdf/PdfPrimitives.h"
#include "pdf/PdfReferenceDC.h"
#include "pdf/TPDFAcroForm.h"
#include "pdf/TPDFActions.h"
#include "pdf/TPDFDocInfo.h"
#include "pdf/TPDFImages.h"
#include "pdf/TPDFException.h"
#include "pdf/TPDFFonts.h"
#include "pdf/TPDFJSFList.h"
#include "pdf/TPDFOutlines.h"
#include "pdf/TPDFPage.h"
#include "pdf/TPDFPages.h"
#include "pdf/TPDFRadioButton.h"

#include "platform/gdi/Gdi.h"
#include "platform/kernel/Clock.h"
#include "platform/kernel/FileCalls.h"
#include "platform/kernel/ShellExecute.h"
#include "platform/rtl/DateTimeText.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/TStream.h"

#include <random>

TPDFDocument::TPDFDocument(TComponent* AOwner)
    : TComponent(AOwner), FDocumentInfo(std::make_unique<TPDFDocInfo>()),
      FPages(std::make_unique<TPDFPages>(*this, false)), FActions(std::make_unique<TPDFActions>(*this)),
      FForms(std::make_unique<TPDFPages>(*this, true)), FImages(std::make_unique<TPDFImages>(this)),
      FFonts(std::make_unique<TPDFFonts>(*this)), FOutlines(std::make_unique<TPDFOutlines>(*this)),
      FAcroForm(std::make_unique<TPDFAcroForm>(*this)), FJSFList(std::make_unique<TPDFJSFList>())
{
    SetRandomSource(nullptr);
    SetUseScreenDC(true);
}

TPDFDocument::~TPDFDocument()
{
    // Pages and outlines refer to the document; they go before the output and the context.
    FJSFList.reset();
    FOutlines.reset();
    FPages.reset();
    FActions.reset();
    FForms.reset();
    // After the pages: their radio buttons leave their groups as they go.
    FRadioGroups.clear();
    FImages.reset();
    FFonts.reset();
    FOutput.reset();
    FAcroForm.reset();
    releaseReferenceDC();
}

// --- Published properties

void TPDFDocument::checkIdle() const
{
    if (FGenerating)
        throw TPDFException(SGenerationInProgress);
}

void TPDFDocument::SetFileName(const std::string& Value)
{
    checkIdle();
    FFileName = Value;
}

void TPDFDocument::SetDocumentInfo(const TPDFDocInfo& Value) { FDocumentInfo->Assign(Value); }

void TPDFDocument::SetProtectionEnabled(bool Value)
{
    checkIdle();
    FProtectionEnabled = Value;
}

void TPDFDocument::SetProtectionOptions(TPDFCtiptoOptions Value)
{
    checkIdle();
    FProtectionOptions = Value;
}

void TPDFDocument::SetOwnerPassword(const std::string& Value)
{
    checkIdle();
    FOwnerPassword = Value;
}

void TPDFDocument::SetUserPassword(const std::string& Value)
{
    checkIdle();
    FUserPassword = Value;
}

void TPDFDocument::SetNonEmbeddedFont(const TStringList& Value) { FNonEmbeddedFont.Assign(Value); }

void TPDFDocument::SetOnePass(bool Value)
{
    checkIdle();
    FOnePass = Value;
}

void TPDFDocument::SetVersion(TPDFVersion Value)
{
    // Going back to 1.3 would silently cut a 128-bit key that BeginDoc already derived.
    if (Value == v13 && FGenerating && FProtectionKeyLength == kl128)
        throw TPDFException(SCannotChangeValue);
    FVersion = Value;
    if (Value == v13)
        FProtectionKeyLength = kl40;
}

void TPDFDocument::SetProtectionKeyLength(TPDFKeyLength Value)
{
    if (Value == FProtectionKeyLength)
        return;
    if (FGenerating)
        throw TPDFException(SCannotChangeValue);
    FProtectionKeyLength = Value;
    if (Value == kl128)
        FVersion = v14;
}

void TPDFDocument::SetUseScreenDC(bool Value)
{
    if (FReferenceDC && Value == FUseScreenDC)
        return;
    checkIdle();
    releaseReferenceDC();
    FUseScreenDC = Value;
    FReferenceDC = GetReferenceDC(FUseScreenDC);
}

void TPDFDocument::releaseReferenceDC()
{
    if (!FReferenceDC)
        return;
    if (FUseScreenDC)
        ReleaseDC(0, FReferenceDC);
    else
        DeleteDC(FReferenceDC);
    FReferenceDC = nullptr;
}

void TPDFDocument::SetEmulateStandardFont(bool Value)
{
    if (Value == FEmulateStandardFont)
        return;
    if (FGenerating)
        throw TPDFException(SCannotChangeValue);
    FEmulateStandardFont = Value;
}

void TPDFDocument::SetRandomSource(std::function<uint32_t()> Source)
{
    if (Source) {
        FRandom = std::move(Source);
        return;
    }
    FRandom = [Engine = std::minstd_rand(timeGetTime())]() mutable { return static_cast<uint32_t>(Engine()); };
}

// --- Objects and output

int32_t TPDFDocument::NewObjectNumber()
{
    FOffsets.push_back(0);
    return static_cast<int32_t>(FOffsets.size());
}

void TPDFDocument::StartObject(int32_t& Number)
{
    if (Number < 1)
        Number = NewObjectNumber();
    if (Number > static_cast<int32_t>(FOffsets.size()))
        throw TPDFException(SOutOfRange);
    FOffsets[Number - 1] = static_cast<int32_t>(FOutput->GetPosition());
    WriteText(IntToStr(Number) + " 0 obj");
    WriteText("<<", false);
}

void TPDFDocument::WriteText(std::string_view Text, bool LineEnd)
{
    if (LineEnd) {
        std::string Line;
        Line.reserve(Text.size() + 2);
        Line.append(Text);
        Line += "\r\n";
        FOutput->WriteBuffer(Line.data(), static_cast<int32_t>(Line.size()));
    } else if (!Text.empty()) {
        FOutput->WriteBuffer(Text.data(), static_cast<int32_t>(Text.size()));
    }
}

void TPDFDocument::WriteBytes(const void* Data, size_t Count)
{
    if (Count > 0)
        FOutput->WriteBuffer(Data, static_cast<int32_t>(Count));
}

// --- Generation

void TPDFDocument::resetDocument()
{
    FOffsets.clear();
    FDocumentInfo->ObjectNumber = 0;
    FPagesNumber = FCatalogNumber = FEncryptNumber = 0;
    FPages->Clear();
    FForms->Clear();
    FRadioGroups.clear();
    FImages->Clear();
    FFonts->Clear();
    FOutlines->Clear();
    FOutlines->ObjectNumber = 0;
    FActions->Clear();
    CurrentPage = nullptr;
    FAcroForm->Clear();
    FJSFList->Clear();
    OpenAction = nullptr;
    FOutput.reset();
}

std::string TPDFDocument::calcFileID() const
{
    return MD5String(FFileName + FormatDateTime("ddd dd-mm-yyyy hh:nn:ss.zzz", Now()));
}

void TPDFDocument::openOutput()
{
    if (OutputStream)
        FOutput = std::make_unique<TMemoryStream>();
    else
        FOutput = std::make_unique<TFileStream>(FFileName, fmCreate);
}

void TPDFDocument::BeginDoc()
{
    checkIdle();
    resetDocument();
    FFileID = calcFileID();
    FPermissions = CalcPermissions(FProtectionOptions, FProtectionKeyLength);
    if (FProtectionEnabled) {
        FOwnerEntry = CalcOwnerKey(FOwnerPassword, FUserPassword, FProtectionKeyLength);
        FKey = CalcKey(FUserPassword, FOwnerEntry, FPermissions, FFileID, FProtectionKeyLength);
    } else {
        FKey.clear();
    }
    if (Resolution < 1)
        Resolution = 72;
    openOutput();
    WriteText(FVersion == v14 ? "%PDF-1.4" : "%PDF-1.3");
    WriteText("%\xD2\xE5\xD1\xF2");
    FGenerating = true;
    FPagesNumber = NewObjectNumber();
    CurrentPage = FPages->Add();
    CurrentPage->CreateCanvas();
}

void TPDFDocument::EndDoc()
{
    try {
        writeDocument();
    } catch (...) {
        Abort();
        throw;
    }
    if (OutputStream) {
        auto& Memory = static_cast<TMemoryStream&>(*FOutput);
        OutputStream->WriteBuffer(Memory.Memory(), static_cast<int32_t>(Memory.GetSize()));
    }
    resetDocument();
    FGenerating = false;
    if (!OutputStream && AutoLaunch) {
        try {
            ShellExecute(0, "open", FFileName.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        } catch (...) {
            // Opening the file is a courtesy; the file is written either way.
        }
    }
}

void TPDFDocument::Abort()
{
    if (!FGenerating)
        throw TPDFException(SGenerationNotActivated);
    resetDocument();
    if (!OutputStream)
        DeleteFile(FFileName.c_str());
    FGenerating = false;
}

int32_t TPDFDocument::AddImage(const TGraphic& Graphic, int32_t Kind, TColor TransparentColor, bool IsMask,
                               int32_t MaskIndex)
{
    if (!FGenerating)
        throw TPDFException(SGenerationNotActivated);
    FImages->Add(Graphic, Kind, TransparentColor, IsMask, MaskIndex);
    return FImages->Count() - 1;
}

void TPDFDocument::RegisterAction(TPDFAction* Action)
{
    if (!FGenerating)
        throw TPDFException(SGenerationNotActivated);
    if (FActions->IndexOf(Action) >= 0)
        return;
    FActions->Add(std::unique_ptr<TPDFAction>(Action));
    if (Action->ObjectNumber < 1)
        Action->ObjectNumber = NewObjectNumber();
}

TPDFRadioGroup* TPDFDocument::CreateRadioGroup(const std::string& Name)
{
    FRadioGroups.push_back(std::make_unique<TPDFRadioGroup>(*this, Name));
    FRadioGroups.back()->ObjectNumber = NewObjectNumber();
    return FRadioGroups.back().get();
}

void TPDFDocument::numberActions()
{
    // The catalog and the outline entries refer to them; unregistered they would point at no
    // object.
    if (OpenAction)
        RegisterAction(OpenAction);
    for (int I = 0; I < FOutlines->Count(); ++I)
        if (TPDFAction* Action = FOutlines->Items(I)->Action)
            RegisterAction(Action);
    // Preparing an action may register its follow-up, which this walk then visits too.
    for (int I = 0; I < FActions->Count(); ++I)
        FActions->Items(I)->PrepareToSave();
}

void TPDFDocument::writeDocument()
{
    if (!FGenerating)
        throw TPDFException(SGenerationNotActivated);
    CurrentPage->CloseCanvas();
    if (FOnePass)
        CurrentPage->WritePage();
    writeInfo();
    numberActions();
    for (int I = 0; I < FForms->Count(); ++I)
        FForms->Items(I)->CloseCanvas();
    for (int I = 0; I < FForms->Count(); ++I)
        FForms->Items(I)->WritePage();
    writePageTree();
    if (!FOnePass)
        for (int I = 0; I < FPages->Count(); ++I)
            FPages->Items(I)->WritePage();
    writeActions();
    FOutlines->Save();
    writeForm();
    int32_t NamesNumber = 0;
    writeCatalog(NamesNumber);
    writeJavaScript(NamesNumber);
    if (FProtectionEnabled)
        writeEncryption();
    for (int I = 0; I < FFonts->Count(); ++I)
        FFonts->Items(I)->Save(*this);
    if (!FOnePass)
        for (int I = 0; I < FImages->Count(); ++I)
            FImages->Items(I)->Save(*this);
    writeXrefAndTrailer();
}

void TPDFDocument::writeActions()
{
    // Controls register their actions as they are written, after the first numbering walk;
    // a second walk gives their follow-up actions numbers too.
    numberActions();
    for (int I = 0; I < FActions->Count(); ++I)
        FActions->Items(I)->Save();
}

void TPDFDocument::writeForm()
{
    for (const auto& Group : FRadioGroups)
        Group->Save();
    if (!FAcroForm->Empty())
        FAcroForm->Save();
}

void TPDFDocument::writeInfo()
{
    TPDFDocInfo& Info = *FDocumentInfo;
    StartObject(Info.ObjectNumber);
    const int32_t N = Info.ObjectNumber;
    auto entry = [&](const char* Key, const std::string& Value) {
        WriteText(std::string(Key) + " (" + EscapeSpecialChar(CryptString(FProtectionEnabled, FKey, Value, N)) + ")");
    };
    entry("/Creator", Info.Creator);
    entry("/CreationDate", "D:" + FormatDateTime("yyyymmddhhnnss", Info.CreationDate));
    entry("/Producer", Info.Producer);
    entry("/Author", Info.Author);
    entry("/Title", Info.Title);
    entry("/Subject", Info.Subject);
    entry("/Keywords", Info.Keywords);
    CloseDictionary();
    CloseObject();
}

void TPDFDocument::writePageTree()
{
    StartObject(FPagesNumber);
    WriteText("/Type /Pages");
    WriteText("/Kids [");
    for (int I = 0; I < FPages->Count(); ++I)
        WriteText(ObjectRef(FPages->Items(I)->PageNumber));
    WriteText("]");
    WriteText("/Count " + IntToStr(FPages->Count()));
    CloseDictionary();
    CloseObject();
}

void TPDFDocument::writeCatalog(int32_t& NamesNumber)
{
    static constexpr const char* Layouts[] = { "/PageLayout /SinglePage", "/PageLayout /OneColumn",
                                               "/PageLayout /TwoColumnLeft", "/PageLayout /TwoColumnRight" };
    static constexpr const char* Modes[] = { "/PageMode /UseNone", "/PageMode /UseOutlines", "/PageMode /UseThumbs",
                                             "/PageMode /FullScreen" };
    static constexpr const char* Preferences[] = { "/HideToolbar true", "/HideMenubar true", "/HideWindowUI true",
                                                   "/FitWindow true", "/CenterWindow true" };
    StartObject(FCatalogNumber);
    WriteText("/Type /Catalog");
    WriteText(" /Pages " + ObjectRef(FPagesNumber));
    WriteText(Layouts[static_cast<int>(PageLayout)]);
    if (!ViewerPreferences.Empty()) {
        WriteText("/ViewerPreferences <<");
        for (int I = 0; I < 5; ++I)
            if (ViewerPreferences.Contains(static_cast<TViewerPreference>(I)))
                WriteText(Preferences[I]);
        WriteText(">>");
    }
    WriteText(Modes[static_cast<int>(PageMode)]);
    if (OpenAction)
        WriteText("/OpenAction " + ObjectRef(OpenAction->ObjectNumber));
    if (FOutlines->Count() > 0)
        WriteText("/Outlines " + ObjectRef(FOutlines->ObjectNumber));
    if (!FAcroForm->Empty())
        WriteText("/AcroForm " + ObjectRef(FAcroForm->ObjectNumber));
    if (FJSFList->Count() > 0) {
        NamesNumber = NewObjectNumber();
        WriteText("/Names " + ObjectRef(NamesNumber));
    }
    CloseDictionary();
    CloseObject();
}

void TPDFDocument::writeJavaScript(int32_t NamesNumber)
{
    if (FJSFList->Count() == 0)
        return;
    StartObject(NamesNumber);
    int32_t TreeNumber = NewObjectNumber();
    WriteText("/JavaScript " + ObjectRef(TreeNumber));
    CloseDictionary();
    CloseObject();
    for (int I = 0; I < FJSFList->Count(); ++I)
        FJSFList->Items(I)->ObjectNumber = NewObjectNumber();
    StartObject(TreeNumber);
    WriteText("/Names [", false);
    for (int I = 0; I < FJSFList->Count(); ++I) {
        const TPDFJSFunction& F = *FJSFList->Items(I);
        WriteText(" (" + EscapeSpecialChar(CryptString(FProtectionEnabled, FKey, F.Name, TreeNumber)) + ") "
                      + ObjectRef(F.ObjectNumber),
                  false);
    }
    WriteText("]");
    CloseDictionary();
    CloseObject();
    for (int I = 0; I < FJSFList->Count(); ++I) {
        TPDFJSFunction& F = *FJSFList->Items(I);
        StartObject(F.ObjectNumber);
        const std::string Script = "function " + F.Name + "(" + F.Params + "){" + F.Body + "}";
        // Encrypted first, then escaped, as every other string: escaping first would let the
        // cipher's bytes end a string early.
        WriteText("/S /JavaScript /JS ("
                  + EscapeSpecialChar(CryptString(FProtectionEnabled, FKey, Script, F.ObjectNumber)) + ")");
        CloseDictionary();
        CloseObject();
    }
}

void TPDFDocument::writeEncryption()
{
    const TPDFEntry32 U = CalcUserKey(FKey, FFileID, FProtectionKeyLength, FRandom);
    StartObject(FEncryptNumber);
    WriteText("/Filter /Standard");
    if (FProtectionKeyLength == kl128) {
        WriteText("/V 2");
        WriteText("/R 3");
        WriteText("/Length 128");
    } else {
        WriteText("/V 1");
        WriteText("/R 2");
    }
    WriteText("/P " + IntToStr(FPermissions));
    WriteText("/O (" + EscapeSpecialChar(std::string_view(reinterpret_cast<const char*>(FOwnerEntry.data()), 32))
              + ")");
    WriteText("/U (" + EscapeSpecialChar(std::string_view(reinterpret_cast<const char*>(U.data()), 32)) + ")");
    CloseDictionary();
    CloseObject();
}

void TPDFDocument::writeXrefAndTrailer()
{
    FXrefOffset = FOutput->GetPosition();
    const int32_t Count = static_cast<int32_t>(FOffsets.size());
    WriteText("xref");
    WriteText("0 " + IntToStr(Count + 1));
    std::string Table = "0000000000 65535 f\r\n";
    Table.reserve(20 * (Count + 1));
    for (int32_t Offset : FOffsets) {
        // A number taken but never written (a page's reservation given up, say) is a free
        // entry: pointing it at offset 0 would make readers take the header for an object.
        if (Offset > 0)
            Table += IntToStrZero(Offset, 10) + " 00000 n\r\n";
        else
            Table += "0000000000 00001 f\r\n";
    }
    WriteText(Table, false);
    WriteText("trailer");
    WriteText("<<");
    WriteText("/Size " + IntToStr(Count + 1));
    WriteText("/Root " + ObjectRef(FCatalogNumber));
    WriteText("/Info " + ObjectRef(FDocumentInfo->ObjectNumber));
    if (FProtectionEnabled)
        WriteText("/Encrypt " + ObjectRef(FEncryptNumber));
    WriteText("/ID [<" + FFileID + "><" + FFileID + ">]");
    WriteText(">>");
    WriteText("startxref");
    WriteText(IntToStr(FXrefOffset));
    WriteText("%%EOF");
}
