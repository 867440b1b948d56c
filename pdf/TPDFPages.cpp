//===- TPDFPages.cpp - An owning list of pages or of form XObjects -===//
#include "pdf/TPDFPages.h"

#include "pdf/TPDFPage.h"

TPDFPages::TPDFPages(TPDFDocument& Document, bool IsForm) : FDocument(Document), FIsForm(IsForm) {}

TPDFPages::~TPDFPages() = default;

TPDFPage* TPDFPages::Add()
{
    auto Page = std::make_unique<TPDFPage>(FDocument);
    Page->IsForm = FIsForm;
    FItems.push_back(std::move(Page));
    return FItems.back().get();
}

void TPDFPages::Clear() { FItems.clear(); }

void TPDFPages::Delete(TPDFPage* Page)
{
    const int I = IndexOf(Page);
    if (I >= 0)
        FItems.erase(FItems.begin() + I);
}

int TPDFPages::IndexOf(const TPDFPage* Page) const
{
    for (size_t I = 0; I < FItems.size(); ++I)
        if (FItems[I].get() == Page)
            return static_cast<int>(I);
    return -1;
}
