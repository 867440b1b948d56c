//===- TPDFAcroForm.cpp - The document's interactive form dictionary -===//
#include "pdf/TPDFAcroForm.h"

#include "pdf/PdfPrimitives.h"
#include "pdf/TPDFDocument.h"
#include "pdf/TPDFFonts.h"
#include "pdf/TPDFRadioButton.h"

#include "platform/rtl/SysUtils.h"

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
        FontEntries += "/" + Font->FontName + " " + ObjectRef(Font->ObjectNumber) + " ";
    FDocument.WriteText(FontEntries + ">>");
    FDocument.CloseDictionary();
    FDocument.CloseObject();

    FDocument.StartObject(ObjectNumber);
    std::string Fields = "/Fields [";
    for (int I = 0; I < Controls.Count(); ++I)
        Fields += ObjectRef(Controls.Items(I)->ObjectNumber) + " ";
    for (const TPDFRadioGroup* Group : RadioGroups)
        Fields += ObjectRef(Group->ObjectNumber) + " ";
    FDocument.WriteText(Fields + "]");
    FDocument.WriteText("/DR " + ObjectRef(ResourcesNumber));
    // References, so that a reader finds the fields whose values are calculated.
    std::string Calculated = "/CO [";
    for (int I = 0; I < Controls.Count(); ++I)
        if (auto* Input = dynamic_cast<TPDFInputControl*>(Controls.Items(I)); Input && Input->OnCalculate)
            Calculated += ObjectRef(Input->ObjectNumber) + " ";
    FDocument.WriteText(Calculated + "]");
    FDocument.CloseDictionary();
    FDocument.CloseObject();
}
