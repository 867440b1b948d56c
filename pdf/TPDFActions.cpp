//===- TPDFActions.cpp - Actions run from annotations and form controls, and the document's list -===//
#include "pdf/TPDFActions.h"

#include "pdf/PdfPrimitives.h"
#include "pdf/PdfSecurity.h"
#include "pdf/TPDFDocument.h"
#include "pdf/TPDFException.h"

#include "platform/rtl/SysUtils.h"

// --- TPDFAction

void TPDFAction::PrepareToSave()
{
    if (ObjectNumber <= 0)
        ObjectNumber = Document->NewObjectNumber();
    if (Next)
        Document->RegisterAction(Next);
}

void TPDFAction::writeNext()
{
    if (Next)
        Document->WriteText("/Next " + ObjectRef(Next->ObjectNumber));
}

// --- TPDFURLAction

void TPDFURLAction::SetURL(const std::string& Value)
{
    if (Value.empty())
        throw TPDFException(SURLCannotBeEmpty);
    FURL = Value;
}

void TPDFURLAction::Save()
{
    TPDFDocument& Doc = *Document;
    Doc.StartObject(ObjectNumber);
    Doc.WriteText("/S /URI /URI ("
                  + EscapeSpecialChar(CryptString(Doc.GetProtectionEnabled(), Doc.Key(), FURL, ObjectNumber)) + ")");
    writeNext();
    Doc.CloseDictionary();
    Doc.CloseObject();
}

// --- TPDFActions

void TPDFActions::Add(std::unique_ptr<TPDFAction> Action)
{
    Action->Document = &FDocument;
    FItems.push_back(std::move(Action));
}

int TPDFActions::IndexOf(const TPDFAction* Action) const
{
    for (size_t I = 0; I < FItems.size(); ++I)
        if (FItems[I].get() == Action)
            return static_cast<int>(I);
    return -1;
}
