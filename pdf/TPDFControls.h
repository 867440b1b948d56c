//===- TPDFControls.h - Form controls: the widget base, its font and hint, and control lists -*- C++ -*-===//
//
// A form control is a widget annotation of its page: it draws its own appearances as small form
// XObjects when written and refers to its actions, which the document's action list owns.
//
#pragma once

#include "pdf/TPDFAnnotations.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TPDFControl;
class TPDFDocument;

/// A non-owning list of controls.
class TPDFControls {
public:
    void Add(TPDFControl* Control) { FItems.push_back(Control); }
    void Remove(TPDFControl* Control) { std::erase(FItems, Control); }
    void Clear() { FItems.clear(); }
    int Count() const { return static_cast<int>(FItems.size()); }
    TPDFControl* Items(int Index) const { return FItems.at(Index); }

private:
    std::vector<TPDFControl*> FItems;
};

class TPDFControlFont {
public:
    int32_t Size = 8;
    std::string Name = "Arial";
    TColor Color = 0;
    /// 1 bold, 2 italic, 4 underline, 8 strike-out.
    uint8_t Style = 0;
};

class TPDFControlHint {
public:
    std::string Text;
    /// Above 2 the text is written as UTF-16 read in this character set's code page.
    uint8_t Charset = 0;
};

class TPDFControl : public TPDFCustomAnnotation {
public:
    /// Printable, black border (the annotation colour), the field name Name; joins the
    /// document's form unless Listed is false (radio buttons are listed through their group).
    TPDFControl(TPDFPage* Page, const std::string& Name, bool Listed = true);
    ~TPDFControl() override;

    /// Draws the control's appearances.
    virtual void Paint() = 0;

    bool Required = false;
    bool ReadOnly = false;
    // Actions of the document's list (a control registers any that is not yet when written).
    TPDFAction* OnMouseDown = nullptr;
    TPDFAction* OnMouseExit = nullptr;
    TPDFAction* OnMouseEnter = nullptr;
    TPDFAction* OnActivate = nullptr;
    TPDFAction* OnLostFocus = nullptr;
    TPDFAction* OnSetFocus = nullptr;
    TColor BackgroundColor = 0;
    std::unique_ptr<TPDFControlFont> Font;
    /// Set when the appearance is drawn; "/DA" names it.
    std::string FontResourceName;
    std::unique_ptr<TPDFControlHint> Hint;
    std::string Name;

protected:
    TPDFDocument& document() const;
    /// A literal string encrypted for this object and escaped, in parentheses.
    std::string stringEntry(const std::string& Text) const;
    /// "/TU" with the hint; nothing without a hint text.
    void writeHint();
    /// "/A" and the opening of "/AA" with the actions present; the caller closes "/AA".
    void writeActions();
    /// Further "/AA" entries of derived controls.
    virtual void writeMoreActions() {}
    /// " n 0 R" of Action after registering it with the document.
    std::string actionRef(TPDFAction* Action);
    /// An appearance form as large as the widget, for Paint to draw on.
    std::unique_ptr<TPDFPage> newAppearance() const;
    /// Adds the fonts Appearance used to the form's font list, each once.
    void addFontsToForm(const TPDFPage& Appearance) const;
};

class TPDFInputControl : public TPDFControl {
public:
    using TPDFControl::TPDFControl;

    TPDFAction* OnCalculate = nullptr;
    TPDFAction* OnKeyPress = nullptr;
    TPDFAction* OnFormat = nullptr;
    TPDFAction* OnValidate = nullptr;

protected:
    void writeMoreActions() override;
};

/// A colour's components (0..1) scaled by Factor, each clamped to 1: a highlight of a light face
/// must stay a colour.
struct TPDFRGB {
    double R, G, B;
};
TPDFRGB ScaledColor(TColor Color, double Factor = 1);
