//===- TPDFAcroForm.cpp - The document's interactive form dictionary -===//
#include "pdf/TPDFAcroForm.h"

#include "pdf/TPDFDocument.h"
#include "pdf/TPDFFonts.h"
#include "pdf/TPDFRadioButton.h"

#include "platform/rtl/SysUtils.h"

namespace {

std::string ref(int32_t Number)
{
    return IntToStr(Number) + " 0 R";
}

} // namespace

void TPDFAcroForm::Clear()
{
    ObjectNumber = 0;
    Controls.Clear();
    Fonts.clear();
    RadioGroups.clear();
}

void TPDFAcroForm::Save()
{
    int32_t ResourcesNumber = 0;
    FDocument.StartObject(ResourcesNumber);
    std::string FontEntries = "/Font <<";
    for (const TPDFFont* Font : Fonts)
        FontEntries += "/" + Font->FontName + " " + ref(Font->ObjectNumber) + " ";
    FDocument.WriteText(FontEntries + ">>");
    FDocument.CloseDictionary();
    FDocument.CloseObject();

    FDocument.StartObject(ObjectNumber);
    std::string Fields = "/Fields [";
    for (int I = 0; I < Controls.Count(); ++I)
        Fields += ref(Controls.Items(I)->ObjectNumber) + " ";
    for (const TPDFRadioGroup* Group : RadioGroups)
        Fields += ref(Group->ObjectNumber) + " ";
    FDocument.WriteText(Fields + "]");
    FDocument.WriteText("/DR " + ref(ResourcesNumber));
    // References, so that a reader finds the fields whose values are calculated.
    std::string Calculated = "/CO [";
    for (int I = 0; I < Controls.Count(); ++I)
        if (auto* Input = dynamic_cast<TPDFInputControl*>(Controls.Items(I)); Input && Input->OnCalculate)
            Calculated += ref(Input->ObjectNumber) + " ";
    FDocument.WriteText(Calculated + "]");
    FDocument.CloseDictionary();
    FDocument.CloseObject();
}
