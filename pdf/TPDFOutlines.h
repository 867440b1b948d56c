//===- TPDFOutlines.h - The outline (bookmark) tree and its entries -*- C++ -*-===//
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TPDFAction;
class TPDFDocument;
class TPDFOutlines;

class TPDFOutlineEntry {
public:
    /// Deletes the children, links the entry's own previous and next siblings to each other,
    /// leaves the parent's children and the outline list, and frees the entry.
    void Delete();
    /// Writes the entry's object (its number is given by TPDFOutlines::Save).
    void Save();

    // --- Tree
    TPDFOutlines& Owner() const { return FOwner; }
    TPDFOutlineEntry* Parent() const { return FParent; }
    TPDFOutlineEntry* Prev() const { return FPrev; }
    TPDFOutlineEntry* Next() const { return FNext; }
    const std::vector<TPDFOutlineEntry*>& Children() const { return FChildren; }
    TPDFOutlineEntry* FirstChild() const;
    TPDFOutlineEntry* LastChild() const;

    // --- Values
    int32_t ObjectNumber = 0;
    std::string Title;
    /// 0: Title is 8-bit text; any other character set writes it as UTF-16 hex.
    uint8_t Charset = 0;
    /// Children shown ("/Count" positive).
    bool Opened = false;
    /// A platform colour (red in the low byte); 0 for none.
    uint32_t Color = 0;
    /// Bit 0 bold, bit 1 italic.
    uint8_t Style = 0;
    /// Run when the entry is chosen; written as "/A". The document registers it (and so owns it)
    /// when it ends, as it does its open action.
    TPDFAction* Action = nullptr;

private:
    friend class TPDFOutlines;
    explicit TPDFOutlineEntry(TPDFOutlines& Owner) : FOwner(Owner) {}

    TPDFOutlines& FOwner;
    TPDFOutlineEntry* FParent = nullptr;
    TPDFOutlineEntry* FPrev = nullptr;
    TPDFOutlineEntry* FNext = nullptr;
    std::vector<TPDFOutlineEntry*> FChildren;
};

/// Owns every entry of the document's outline, at every level, in creation order.
class TPDFOutlines {
public:
    explicit TPDFOutlines(TPDFDocument& Document);
    ~TPDFOutlines();
    TPDFOutlines(const TPDFOutlines&) = delete;
    TPDFOutlines& operator=(const TPDFOutlines&) = delete;

    /// A new entry, appended as the last child of Parent (the last top-level entry when Parent is
    /// null). Parent must be an entry of this outline.
    TPDFOutlineEntry* Add(TPDFOutlineEntry* Parent, std::string Title);
    void Clear();
    /// Every entry, at every level.
    int Count() const { return static_cast<int>(FItems.size()); }
    TPDFOutlineEntry* Items(int Index) const { return FItems.at(Index).get(); }

    TPDFDocument& Document() const { return FDocument; }
    /// The root's object number; 0 until the document's end takes one.
    int32_t ObjectNumber = 0;
    /// Numbers the root and the entries, writes every entry, then the root. Nothing without
    /// entries.
    void Save();

private:
    friend class TPDFOutlineEntry;
    void remove(TPDFOutlineEntry* Entry);

    TPDFDocument& FDocument;
    std::vector<std::unique_ptr<TPDFOutlineEntry>> FItems;
};
