//===- TPDFActions.h - Actions run from annotations and form controls, and the document's list -*- C++ -*-===//
//
// The document's action list owns every action; annotations and controls only point at them.
// Actions are numbered when registered and written after the pages.
//
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TPDFDocument;

class TPDFAction {
public:
    /// Unnumbered, without a follow-up action, not yet the document's.
    TPDFAction() = default;
    virtual ~TPDFAction() = default;
    TPDFAction(const TPDFAction&) = delete;
    TPDFAction& operator=(const TPDFAction&) = delete;

    /// Writes the action's object.
    virtual void Save() = 0;
    /// Called by the document before it writes the actions: numbers an unnumbered action and
    /// registers the follow-up action.
    void PrepareToSave();

    /// Set when the document's list takes the action.
    TPDFDocument* Document = nullptr;
    /// 0 while not numbered.
    int32_t ObjectNumber = 0;
    /// The "/Next" chain; the document takes it over when this action is prepared.
    TPDFAction* Next = nullptr;

protected:
    void writeNext();
};

/// Opens a web address.
class TPDFURLAction : public TPDFAction {
public:
    void Save() override;

    const std::string& GetURL() const { return FURL; }
    /// Refuses an empty address: "URL cannot be empty".
    void SetURL(const std::string& Value);

private:
    std::string FURL;
};

/// The document's owning list of actions.
class TPDFActions {
public:
    explicit TPDFActions(TPDFDocument& Document) : FDocument(Document) {}
    TPDFActions(const TPDFActions&) = delete;
    TPDFActions& operator=(const TPDFActions&) = delete;

    /// Appends Action and makes it the document's.
    void Add(std::unique_ptr<TPDFAction> Action);
    /// Frees every action.
    void Clear() { FItems.clear(); }
    int Count() const { return static_cast<int>(FItems.size()); }
    TPDFAction* Items(int Index) const { return FItems.at(Index).get(); }
    /// -1 when Action is not in the list.
    int IndexOf(const TPDFAction* Action) const;

private:
    TPDFDocument& FDocument;
    std::vector<std::unique_ptr<TPDFAction>> FItems;
};
