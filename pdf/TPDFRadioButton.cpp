//===- TPDFRadioButton.cpp - Radio buttons and the radio groups that hold them -===//
#include "pdf/TPDFRadioButton.h"

#include "pdf/PdfPrimitives.h"
#include "pdf/PdfSecurity.h"
#include "pdf/TPDFAcroForm.h"
#include "pdf/TPDFDocument.h"
#include "pdf/TPDFException.h"
#include "pdf/TPDFFonts.h"
#include "pdf/TPDFPage.h"

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/SysUtils.h"

namespace {

void fillBackground(TPDFPage& Page, TColor Color)
{
    const TPDFRGB C = ScaledColor(Color);
    Page.SetRGBFillColor(C.R, C.G, C.B);
    Page.RectanglePt(0, 0, Page.PageWidth, Page.PageHeight);
    Page.Fill();
}

} // namespace

// --- TPDFRadioButton

TPDFRadioButton::TPDFRadioButton(TPDFPage* Page, const std::string& GroupName)
    : TPDFInputControl(Page, GroupName, false)
{
    BackgroundColor = 0xFFFFFF;
    TPDFDocument& Doc = document();
    for (const auto& Group : Doc.RadioGroups())
        if (AnsiSameText(Group->Name, GroupName))
            FRadioGroup = Group.get();
    if (!FRadioGroup)
        FRadioGroup = Doc.CreateRadioGroup(GroupName);
    FRadioGroup->Controls.Add(this);
    SetExportValue("");
}

TPDFRadioButton::~TPDFRadioButton() { FRadioGroup->Controls.Remove(this); }

bool TPDFRadioButton::valueInGroup(const std::string& Value) const
{
    for (int I = 0; I < FRadioGroup->Controls.Count(); ++I) {
        auto* Other = static_cast<TPDFRadioButton*>(FRadioGroup->Controls.Items(I));
        if (Other != this && AnsiSameText(Other->FExportValue, Value))
            return true;
    }
    return false;
}

void TPDFRadioButton::SetExportValue(const std::string& Value)
{
    std::string V = ReplaceChar(Value, ' ', "_");
    if (V.empty()) {
        if (!FExportValue.empty())
            throw TPDFException(SEmptyExportValue);
        // A button without a value of its own still needs an "on" state of its own: the group
        // name and the button count, counted on past values already taken.
        const std::string Base = ReplaceChar(FRadioGroup->Name, ' ', "_");
        int N = FRadioGroup->Controls.Count();
        do
            V = Base + IntToStr(N++);
        while (valueInGroup(V));
    } else if (valueInGroup(V)) {
        throw TPDFException(SExportValuePresent);
    }
    FExportValue = V;
}

void TPDFRadioButton::Paint()
{
    FOn = newAppearance();
    FOff = newAppearance();
    fillBackground(*FOn, BackgroundColor);
    const TPDFRGB C = ScaledColor(Font->Color);
    FOn->SetRGBFillColor(C.R, C.G, C.B);
    FOn->CirclePt(FOn->PageWidth / 2.0, FOn->PageHeight / 2.0, FOn->PageWidth / 4.0 - 0.5);
    FOn->Fill();
    FOn->SetFont("ZapfDingbats", 0, 10);
    FOn->SelectFont(false);
    FontResourceName = FOn->CurrentFont->FontName;
    fillBackground(*FOff, BackgroundColor);
    addFontsToForm(*FOn);
}

void TPDFRadioButton::Save()
{
    TPDFDocument& Doc = document();
    Paint();
    FOn->WritePage();
    FOff->WritePage();
    const std::string On = EscapeName(FExportValue);
    Doc.StartObject(ObjectNumber);
    Doc.WriteText("/Type /Annot");
    Doc.WriteText("/Subtype /Widget");
    Doc.WriteText(rectEntry());
    Doc.WriteText("/P " + ObjectRef(OwnerPage().PageNumber));
    Doc.WriteText(Checked ? "/AS /" + On : "/AS /Off");
    const std::string NoText = "\xFE\xFF";
    Doc.WriteText("/MK <</CA " + stringEntry("l") + " /AC " + stringEntry(NoText) + "/RC " + stringEntry(NoText)
                  + "/BC [" + PDFColorComponents(Color) + " ]/BG [" + PDFColorComponents(BackgroundColor) + " ]>>");
    Doc.WriteText("/DA " + stringEntry("/" + FontResourceName + " 0 Tf " + PDFColorComponents(Font->Color) + " rg"));
    Doc.WriteText("/F " + IntToStr(static_cast<int64_t>(Flags.Bits() & 0x7F)));
    Doc.WriteText("/Parent " + ObjectRef(FRadioGroup->ObjectNumber));
    const std::string States =
        "<< /" + On + " " + ObjectRef(FOn->PageNumber) + " /Off  " + ObjectRef(FOff->PageNumber) + " >> ";
    Doc.WriteText("/AP <</N " + States + "/D " + States + ">>");
    Doc.WriteText("/H /T");
    writeActions();
    Doc.WriteText(">>");
    Doc.CloseDictionary();
    Doc.CloseObject();
    FOn.reset();
    FOff.reset();
}

// --- TPDFRadioGroup

void TPDFRadioGroup::Save()
{
    Document.AcroForm().RadioGroups.push_back(this);
    Document.StartObject(ObjectNumber);
    Document.WriteText("/FT /Btn");
    Document.WriteText(
        "/T (" + EscapeSpecialChar(CryptString(Document.GetProtectionEnabled(), Document.Key(), Name, ObjectNumber))
        + ")");
    for (int I = 0; I < Controls.Count(); ++I) {
        auto* Button = static_cast<TPDFRadioButton*>(Controls.Items(I));
        if (Button->Checked) {
            const std::string Value = EscapeName(Button->GetExportValue());
            Document.WriteText("/V /" + Value);
            Document.WriteText("/DV /" + Value);
            break;
        }
    }
    std::string Kids = "/Kids [";
    for (int I = 0; I < Controls.Count(); ++I)
        Kids += ObjectRef(Controls.Items(I)->ObjectNumber) + " ";
    Document.WriteText(Kids + "]");
    int Ff = 32768;
    if (Controls.Count() > 0)
        Ff += (Controls.Items(0)->ReadOnly ? 1 : 0) + (Controls.Items(0)->Required ? 2 : 0);
    if (Controls.Count() > 1)
        Ff += 16384;
    Document.WriteText("/Ff " + IntToStr(Ff));
    Document.CloseDictionary();
    Document.CloseObject();
}
