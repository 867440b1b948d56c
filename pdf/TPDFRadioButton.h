//===- TPDFRadioButton.h - Radio buttons and the radio groups that hold them -*- C++ -*-===//
#pragma once

#include "pdf/TPDFControls.h"

class TPDFRadioGroup;

class TPDFRadioButton : public TPDFInputControl {
public:
    /// White face; joins the document's group of that name (any case), which is made when there
    /// is none, and takes the group name and its button count as export value.
    TPDFRadioButton(TPDFPage* Page, const std::string& GroupName);
    ~TPDFRadioButton() override;

    /// Draws the on and the off appearance.
    void Paint() override;
    /// Writes the appearances, then the widget.
    void Save() override;

    TPDFRadioGroup& RadioGroup() const { return *FRadioGroup; }
    bool Checked = false;
    /// Names the "on" appearance; unique within the group.
    const std::string& GetExportValue() const { return FExportValue; }
    /// Blanks become underscores. Raises "In this radiogroup such exportvalue present" when
    /// another button of the group has the value (any case), and "Cannot set empty export value
    /// for radiobutton" for an empty value once the button has one.
    void SetExportValue(const std::string& Value);

private:
    bool valueInGroup(const std::string& Value) const;

    TPDFRadioGroup* FRadioGroup = nullptr;
    std::string FExportValue;
    // Alive only while the button is written.
    std::unique_ptr<TPDFPage> FOn, FOff;
};

/// One radio field: its buttons are the field's kids.
class TPDFRadioGroup {
public:
    TPDFRadioGroup(TPDFDocument& Document, const std::string& Name) : Document(Document), Name(Name) {}

    /// Writes the field and joins the form's list of written groups.
    void Save();

    TPDFControls Controls;
    TPDFDocument& Document;
    int32_t ObjectNumber = 0;
    std::string Name;
};
