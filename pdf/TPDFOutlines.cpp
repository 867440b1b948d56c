//===- TPDFOutlines.cpp - The outline (bookmark) tree and its entries -===//
#include "pdf/TPDFOutlines.h"

#include "pdf/PdfCodePages.h"
#include "pdf/PdfPrimitives.h"
#include "pdf/PdfSecurity.h"
#include "pdf/TPDFActions.h"
#include "pdf/TPDFDocument.h"

#include "platform/rtl/SysUtils.h"

#include <algorithm>

// --- TPDFOutlineEntry

TPDFOutlineEntry* TPDFOutlineEntry::FirstChild() const
{
    for (TPDFOutlineEntry* C : FChildren)
        if (!C->FPrev)
            return C;
    return nullptr;
}

TPDFOutlineEntry* TPDFOutlineEntry::LastChild() const
{
    for (TPDFOutlineEntry* C : FChildren)
        if (!C->FNext)
            return C;
    return nullptr;
}

void TPDFOutlineEntry::Delete()
{
    while (!FChildren.empty())
        FChildren.front()->Delete();
    if (FPrev)
        FPrev->FNext = FNext;
    if (FNext)
        FNext->FPrev = FPrev;
    if (FParent)
        std::erase(FParent->FChildren, this);
    FOwner.remove(this);
}

void TPDFOutlineEntry::Save()
{
    TPDFDocument& Doc = FOwner.Document();
    const bool Protect = Doc.GetProtectionEnabled();
    Doc.StartObject(ObjectNumber);
    if (Charset != 0)
        Doc.WriteText("/Title <" + CryptHexString(Protect, Doc.Key(), StrToUnicodeHex(Title, Charset), ObjectNumber)
                      + ">");
    else
        Doc.WriteText("/Title (" + EscapeSpecialChar(CryptString(Protect, Doc.Key(), Title, ObjectNumber)) + ")");
    if (Doc.GetVersion() == v14) {
        if (Color != 0) {
            const double R = (Color & 0xFF) / 255.0, G = (Color >> 8 & 0xFF) / 255.0, B = (Color >> 16 & 0xFF) / 255.0;
            Doc.WriteText("/C [" + FloatToPDFStr(R) + " " + FloatToPDFStr(G) + " " + FloatToPDFStr(B) + " ]");
        }
        if (Style != 0)
            Doc.WriteText("/F " + IntToStr((Style & 2 ? 1 : 0) + (Style & 1 ? 2 : 0)));
    }
    if (!FChildren.empty()) {
        Doc.WriteText("/Count " + std::string(Opened ? "" : "-") + IntToStr(static_cast<int64_t>(FChildren.size())));
        Doc.WriteText("/First " + ObjectRef(FirstChild()->ObjectNumber));
        Doc.WriteText("/Last " + ObjectRef(LastChild()->ObjectNumber));
    }
    Doc.WriteText("/Parent " + ObjectRef(FParent ? FParent->ObjectNumber : FOwner.ObjectNumber));
    if (FNext)
        Doc.WriteText("/Next " + ObjectRef(FNext->ObjectNumber));
    if (FPrev)
        Doc.WriteText("/Prev " + ObjectRef(FPrev->ObjectNumber));
    if (Action)
        Doc.WriteText("/A " + ObjectRef(Action->ObjectNumber));
    Doc.CloseDictionary();
    Doc.CloseObject();
}

// --- TPDFOutlines

TPDFOutlines::TPDFOutlines(TPDFDocument& Document) : FDocument(Document) {}

TPDFOutlines::~TPDFOutlines() = default;

TPDFOutlineEntry* TPDFOutlines::Add(TPDFOutlineEntry* Parent, std::string Title)
{
    auto Entry = std::unique_ptr<TPDFOutlineEntry>(new TPDFOutlineEntry(*this));
    Entry->Title = std::move(Title);
    Entry->FParent = Parent;
    TPDFOutlineEntry* Last = nullptr;
    if (Parent) {
        Last = Parent->LastChild();
    } else {
        for (auto& E : FItems)
            if (!E->FParent && !E->FNext)
                Last = E.get();
    }
    if (Last) {
        Last->FNext = Entry.get();
        Entry->FPrev = Last;
    }
    if (Parent)
        Parent->FChildren.push_back(Entry.get());
    FItems.push_back(std::move(Entry));
    return FItems.back().get();
}

void TPDFOutlines::Clear()
{
    while (!FItems.empty())
        FItems.front()->Delete();
}

void TPDFOutlines::remove(TPDFOutlineEntry* Entry)
{
    std::erase_if(FItems, [Entry](const auto& E) { return E.get() == Entry; });
}

void TPDFOutlines::Save()
{
    if (FItems.empty())
        return;
    ObjectNumber = FDocument.NewObjectNumber();
    for (auto& E : FItems)
        E->ObjectNumber = FDocument.NewObjectNumber();
    for (auto& E : FItems)
        E->Save();
    FDocument.StartObject(ObjectNumber);
    FDocument.WriteText("/Type /Outlines");
    FDocument.WriteText("/Count " + IntToStr(Count()));
    for (auto& E : FItems) {
        if (E->FParent)
            continue;
        if (!E->FPrev)
            FDocument.WriteText("/First " + ObjectRef(E->ObjectNumber));
        if (!E->FNext)
            FDocument.WriteText("/Last " + ObjectRef(E->ObjectNumber));
    }
    FDocument.CloseDictionary();
    FDocument.CloseObject();
}
