//===- TPDFPages.h - An owning list of pages or of form XObjects -*- C++ -*-===//
#pragma once

#include <memory>
#include <vector>

class TPDFDocument;
class TPDFPage;

class TPDFPages {
public:
    /// IsForm: the pages this list makes are form XObjects.
    TPDFPages(TPDFDocument& Document, bool IsForm);
    ~TPDFPages();
    TPDFPages(const TPDFPages&) = delete;
    TPDFPages& operator=(const TPDFPages&) = delete;

    /// A new page of the document (it reserves its object number), appended and returned.
    TPDFPage* Add();
    void Clear();
    /// Frees Page when it is in the list; nothing otherwise.
    void Delete(TPDFPage* Page);
    int Count() const { return static_cast<int>(FItems.size()); }
    TPDFPage* Items(int Index) const { return FItems.at(Index).get(); }
    /// -1 when Page is not in the list.
    int IndexOf(const TPDFPage* Page) const;

private:
    TPDFDocument& FDocument;
    bool FIsForm;
    std::vector<std::unique_ptr<TPDFPage>> FItems;
};
