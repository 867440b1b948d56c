//===- TPDFDocument.h - The PDF document: properties, generation, objects and output -*- C++ -*-===//
//
// A caller sets the properties, calls BeginDoc, draws on CurrentPage and calls EndDoc, which
// writes every pending object, the catalog, the cross-reference table and the trailer. Every
// indirect object is numbered and its offset recorded here; all text goes through WriteText.
//
#pragma once

#include "pdf/PdfSecurity.h"

#include "platform/gdi/GdiTypes.h"
#include "platform/ui/components/Colors.h"
#include "platform/rtl/TStringList.h"
#include "platform/ui/components/TComponent.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TGraphic;
class TPDFAction;
class TPDFActions;
class TPDFAcroForm;
class TPDFDocInfo;
class TPDFFonts;
class TPDFImages;
class TPDFJSFList;
class TPDFOutlines;
class TPDFPage;
class TPDFPages;
class TPDFRadioGroup;
class TStream;

enum class TCompressionType { ctNone, ctFlate };
using enum TCompressionType;
enum class TPageLayout { plSinglePage, plOneColumn, plTwoColumnLeft, plTwoColumnRight };
using enum TPageLayout;
enum class TPageMode { pmUseNone, pmUseOutlines, pmUseThumbs, pmFullScreen };
using enum TPageMode;
enum class TViewerPreference { vpHideToolBar, vpHideMenuBar, vpHideWindowUI, vpFitWindow, vpCenterWindow };
using enum TViewerPreference;
using TViewerPreferences = TSet<TViewerPreference>;
enum class TPDFVersion { v13, v14 };
using enum TPDFVersion;

class TPDFDocument : public TComponent {
public:
    explicit TPDFDocument(TComponent* AOwner);
    ~TPDFDocument() override;

    // --- Published properties
    bool AutoLaunch = false;
    const std::string& GetFileName() const { return FFileName; }
    /// Refused while generating ("Generation PDF file in progress"), like every guarded setter.
    void SetFileName(const std::string& Value);
    TCompressionType Compression = ctNone;
    TPDFDocInfo& DocumentInfo() const { return *FDocumentInfo; }
    /// Copies all but the Producer.
    void SetDocumentInfo(const TPDFDocInfo& Value);
    TPageLayout PageLayout = plSinglePage;
    TPageMode PageMode = pmUseNone;
    bool GetProtectionEnabled() const { return FProtectionEnabled; }
    void SetProtectionEnabled(bool Value);
    TPDFCtiptoOptions GetProtectionOptions() const { return FProtectionOptions; }
    void SetProtectionOptions(TPDFCtiptoOptions Value);
    const std::string& GetOwnerPassword() const { return FOwnerPassword; }
    void SetOwnerPassword(const std::string& Value);
    const std::string& GetUserPassword() const { return FUserPassword; }
    void SetUserPassword(const std::string& Value);
    const TStringList& GetNonEmbeddedFont() const { return FNonEmbeddedFont; }
    void SetNonEmbeddedFont(const TStringList& Value);
    int32_t JPEGQuality = 80;
    /// Device units per inch of page coordinates; below 1 counts as 72.
    int32_t Resolution = 72;
    TViewerPreferences ViewerPreferences;
    bool AutoCreateURL = true;
    bool GetOnePass() const { return FOnePass; }
    void SetOnePass(bool Value);
    TPDFVersion GetVersion() const { return FVersion; }
    /// v13 also sets the key length to kl40; refused with "Cannot change this value" while
    /// generating with a 128-bit key, which v13 cannot carry.
    void SetVersion(TPDFVersion Value);
    bool EMFImageAsJpeg = false;
    TPDFKeyLength GetProtectionKeyLength() const { return FProtectionKeyLength; }
    /// kl128 also sets v14; refused while generating with "Cannot change this value".
    void SetProtectionKeyLength(TPDFKeyLength Value);
    bool GetUseScreenDC() const { return FUseScreenDC; }
    /// Releases the reference context and takes the new one; a failing printer falls back to
    /// the screen and sets the value back to true.
    void SetUseScreenDC(bool Value);
    bool GetEmulateStandardFont() const { return FEmulateStandardFont; }
    void SetEmulateStandardFont(bool Value);

    // --- Public members
    /// The page being drawn; null while idle.
    TPDFPage* CurrentPage = nullptr;
    /// When set, the document is built in memory and copied to this stream by EndDoc.
    TStream* OutputStream = nullptr;
    /// Written as the catalog's "/OpenAction"; registered when the document ends. Every reset
    /// clears it.
    TPDFAction* OpenAction = nullptr;

    // --- Generation
    void BeginDoc();
    void EndDoc();
    /// Abandons the generation; deletes the file when writing to one.
    void Abort();
    bool Generating() const { return FGenerating; }
    /// Codes the graphic as image kind Kind (0 deflated RGB, 1 JPEG, 2 to 4 CCITT fax) and answers its
    /// index; refused with "Generation PDF file not activated" while idle.
    int32_t AddImage(const TGraphic& Graphic, int32_t Kind, TColor TransparentColor = -1, bool IsMask = false,
                     int32_t MaskIndex = -1);
    /// Adopts Action when the action list does not hold it yet (the list frees it from then on)
    /// and numbers it; an action already held is left as it is. While idle raises "Generation
    /// PDF file not activated" and Action stays the caller's.
    void RegisterAction(TPDFAction* Action);
    /// A new numbered radio group of that name, kept by the document.
    TPDFRadioGroup* CreateRadioGroup(const std::string& Name);

    // --- Determinism
    /// The source of U's random bytes (a generator seeded from the clock by default).
    void SetRandomSource(std::function<uint32_t()> Source);

    // --- Objects and output (for the document's pages, fonts, images and outlines)
    int32_t NewObjectNumber();
    /// Takes a new number when Number is below 1; raises "Out of range" for a number never
    /// handed out; records the offset, writes "n 0 obj" and "<<".
    void StartObject(int32_t& Number);
    void WriteText(std::string_view Text, bool LineEnd = true);
    void WriteBytes(const void* Data, size_t Count);
    void CloseDictionary() { WriteText(">>"); }
    void CloseObject() { WriteText("endobj"); }
    void StartStream() { WriteText("stream"); }
    void CloseStream() { WriteText("endstream"); }

    // --- What pages and objects read
    HDC ReferenceDC() const { return FReferenceDC; }
    const TPDFKey& Key() const { return FKey; }
    int32_t Permissions() const { return FPermissions; }
    const std::string& FileID() const { return FFileID; }
    int32_t PagesNumber() const { return FPagesNumber; }
    TPDFPages& Pages() const { return *FPages; }
    TPDFPages& Forms() const { return *FForms; }
    TPDFImages& Images() const { return *FImages; }
    TPDFFonts& Fonts() const { return *FFonts; }
    TPDFOutlines& Outlines() const { return *FOutlines; }
    TPDFJSFList& JSFunctions() const { return *FJSFList; }
    TPDFActions& Actions() const { return *FActions; }
    TPDFAcroForm& AcroForm() const { return *FAcroForm; }
    const std::vector<std::unique_ptr<TPDFRadioGroup>>& RadioGroups() const { return FRadioGroups; }

private:
    void checkIdle() const;
    void resetDocument();
    std::string calcFileID() const;
    void openOutput();
    void writeDocument();
    void writeInfo();
    void numberActions();
    void writeActions();
    void writeForm();
    void writePageTree();
    void writeCatalog(int32_t& NamesNumber);
    void writeJavaScript(int32_t NamesNumber);
    void writeEncryption();
    void writeXrefAndTrailer();
    void releaseReferenceDC();

    std::string FFileName;
    std::unique_ptr<TPDFDocInfo> FDocumentInfo;
    bool FProtectionEnabled = false;
    TPDFCtiptoOptions FProtectionOptions;
    std::string FOwnerPassword, FUserPassword;
    TStringList FNonEmbeddedFont;
    bool FOnePass = false;
    TPDFVersion FVersion = v13;
    TPDFKeyLength FProtectionKeyLength = kl40;
    bool FUseScreenDC = false;
    bool FEmulateStandardFont = false;

    bool FGenerating = false;
    std::vector<int32_t> FOffsets;
    int32_t FPagesNumber = 0, FCatalogNumber = 0, FEncryptNumber = 0;
    int64_t FXrefOffset = 0;
    std::string FFileID;
    int32_t FPermissions = 0;
    TPDFEntry32 FOwnerEntry {};
    TPDFKey FKey;
    std::function<uint32_t()> FRandom;
    std::unique_ptr<TStream> FOutput;

    std::vector<std::unique_ptr<TPDFRadioGroup>> FRadioGroups;
    std::unique_ptr<TPDFPages> FPages;
    std::unique_ptr<TPDFActions> FActions;
    std::unique_ptr<TPDFPages> FForms;
    std::unique_ptr<TPDFImages> FImages;
    std::unique_ptr<TPDFFonts> FFonts;
    std::unique_ptr<TPDFOutlines> FOutlines;
    std::unique_ptr<TPDFAcroForm> FAcroForm;
    std::unique_ptr<TPDFJSFList> FJSFList;
    HDC FReferenceDC = nullptr;
};
