//===- TPDFControls.cpp - Form controls: the widget base, its font and hint, and control lists -===//
#include "pdf/TPDFControls.h"

#include "pdf/PdfCodePages.h"
#include "pdf/PdfPrimitives.h"
#include "pdf/PdfSecurity.h"
#include "pdf/TPDFAcroForm.h"
#include "pdf/TPDFActions.h"
#include "pdf/TPDFDocument.h"
#include "pdf/TPDFFonts.h"
#include "pdf/TPDFPage.h"

#include "platform/rtl/SysUtils.h"

#include <algorithm>

TPDFRGB ScaledColor(TColor Color, double Factor)
{
    auto component = [&](int Shift) { return std::min(1.0, (Color >> Shift & 0xFF) / 255.0 * Factor); };
    return { component(0), component(8), component(16) };
}

// --- TPDFControl

TPDFControl::TPDFControl(TPDFPage* Page, const std::string& AName, bool Listed)
    : TPDFCustomAnnotation(Page), Font(std::make_unique<TPDFControlFont>()), Hint(std::make_unique<TPDFControlHint>()),
      Name(AName)
{
    Flags = { afPrint };
    Color = 0;
    if (Listed)
        document().AcroForm().Controls.Add(this);
}

TPDFControl::~TPDFControl()
{
    // A control freed before the document ends must not be written through the form's list.
    document().AcroForm().Controls.Remove(this);
}

TPDFDocument& TPDFControl::document() const { return OwnerPage().Document; }

std::string TPDFControl::stringEntry(const std::string& Text) const
{
    TPDFDocument& Doc = document();
    return "(" + EscapeSpecialChar(CryptString(Doc.GetProtectionEnabled(), Doc.Key(), Text, ObjectNumber)) + ")";
}

void TPDFControl::writeHint()
{
    if (Hint->Text.empty())
        return;
    TPDFDocument& Doc = document();
    if (Hint->Charset > 2)
        Doc.WriteText("/TU <"
                      + CryptHexString(Doc.GetProtectionEnabled(), Doc.Key(),
                                       StrToUnicodeHex(Hint->Text, Hint->Charset), ObjectNumber)
                      + ">");
    else
        Doc.WriteText("/TU " + stringEntry(Hint->Text));
}

std::string TPDFControl::actionRef(TPDFAction* Action)
{
    document().RegisterAction(Action);
    return ObjectRef(Action->ObjectNumber);
}

void TPDFControl::writeActions()
{
    TPDFDocument& Doc = document();
    if (OnActivate)
        Doc.WriteText("/A " + actionRef(OnActivate));
    Doc.WriteText("/AA <<", false);
    const std::pair<const char*, TPDFAction*> Entries[] = {
        { "/E ", OnMouseEnter },
        { "/X ", OnMouseExit },
        { "/D ", OnMouseDown },
        { "/Bl ", OnLostFocus },
        // The focus event has its own key; a second "/D" would replace the mouse-down action.
        { "/Fo ", OnSetFocus },
    };
    for (const auto& [Key, Action] : Entries)
        if (Action)
            Doc.WriteText(Key + actionRef(Action) + " ", false);
    writeMoreActions();
}

std::unique_ptr<TPDFPage> TPDFControl::newAppearance() const
{
    auto Page = std::make_unique<TPDFPage>(document());
    Page->IsForm = true;
    Page->PageWidth = Right - Left;
    Page->PageHeight = Top - Bottom;
    return Page;
}

void TPDFControl::addFontsToForm(const TPDFPage& Appearance) const
{
    std::vector<TPDFFont*>& Fonts = document().AcroForm().Fonts;
    for (TPDFFont* F : Appearance.UsedFonts)
        if (std::find(Fonts.begin(), Fonts.end(), F) == Fonts.end())
            Fonts.push_back(F);
}

// --- TPDFInputControl

void TPDFInputControl::writeMoreActions()
{
    const std::pair<const char*, TPDFAction*> Entries[] = {
        { "/K ", OnKeyPress },
        { "/F ", OnFormat },
        { "/V ", OnValidate },
        { "/C ", OnCalculate },
    };
    for (const auto& [Key, Action] : Entries)
        if (Action)
            document().WriteText(Key + actionRef(Action) + " ", false);
}
