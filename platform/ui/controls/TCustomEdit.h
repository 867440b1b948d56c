//===- TCustomEdit.h - Single-line edit fields -*- C++ -*-===//
//
// The original edit control's rules, which the numeric edit builds on:
//  - each typed character passes KeyPress (the form's first with KeyPreview), which may change
//    it or drop it (#0); backspace (#8) passes KeyPress too and then deletes;
//  - MaxLength (0: no limit) stops typing and pasting at that many characters, but never cuts
//    a text that is longer already (set by the program or before the limit);
//  - pasted text skips KeyPress and is cut to the room that MaxLength leaves;
//  - every change of the text raises Change (OnChange) at once, a programmatic one included;
//    setting an equal text does nothing;
//  - entered by the keyboard, by the program or with its form's activation, the edit selects
//    its whole text, so that typing replaces it; a click puts the caret where it points.
//    Ctrl+A selects the whole text.
//
#pragma once

#include "platform/ui/controls/TWinControl.h"

#include <string>

class TCustomEdit : public TWinControl {
public:
    explicit TCustomEdit(TComponent* AOwner);

    // --- Text
    const std::string& GetText() const override;
    void SetText(const std::string& Value) override;
    int GetMaxLength() const { return FMaxLength; }
    /// Limits what typing and pasting add; the text itself stays as it is.
    void SetMaxLength(int Value);
    bool GetReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    void Clear() { SetText(std::string()); }

    // --- Selection (character positions from 0)
    int GetSelStart() const;
    /// Puts the caret at Value (clamped to the text) and empties the selection.
    void SetSelStart(int Value);
    int GetSelLength() const;
    /// Selects Value characters from SelStart (clamped to the text).
    void SetSelLength(int Value);
    std::string GetSelText() const;
    void SelectAll();

    /// Inserts Text at the caret (replacing the selection) as a paste does: no KeyPress, cut to
    /// the room MaxLength leaves.
    void PasteText(const std::string& Text);

    TNotifyEvent OnChange;

protected:
    /// After every change of the text; raises OnChange.
    virtual void Change();
    void DoEnter() override;
    bool WantsChars() const override { return true; }

private:
    friend class ui_private::Access;
    std::unique_ptr<ui_private::View> CreateView() override;
    /// A character that passed KeyPress: inserted, or #8 deleting.
    void typeChar(char Key);
    /// The text the operator changed by other means (delete, cut, undo).
    void textEdited(const std::string& Value);
    void replaceSelection(const std::string& Text);
    int room() const;

    mutable std::string FText;
    int FMaxLength = 0;
    bool FReadOnly = false;
    int FSelStart = 0, FSelLength = 0;
    bool FEnteredByMouse = false; // set while a click gives the edit the focus
};

class TEdit : public TCustomEdit {
public:
    using TCustomEdit::TCustomEdit;
};

/// The masked edit of the class library, used without a mask: a TEdit by another name.
class TMaskEdit : public TCustomEdit {
public:
    using TCustomEdit::TCustomEdit;
};
