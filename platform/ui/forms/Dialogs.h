//===- Dialogs.h - The save, print and printer set-up dialogs -*- C++ -*-===//
//
// Shells over the toolkit's dialogs: Execute shows the dialog modally and answers true when the
// operator confirmed it. A dialog hook answers instead of a person (tests).
//
#pragma once

#include "platform/ui/components/TComponent.h"
#include "platform/ui/components/TypeInfo.h"

#include <functional>
#include <string>

class TCommonDialog : public TComponent {
public:
    explicit TCommonDialog(TComponent* AOwner);

    /// True when the operator confirmed the dialog.
    virtual bool Execute();

    /// Answers Execute for every dialog instead of showing it; it may change the dialog's
    /// properties (the file name chosen) before answering.
    using DialogHook = std::function<bool(TCommonDialog& Dialog)>;
    /// Answers the old hook; an empty hook restores the real dialogs.
    static DialogHook SetDialogHook(DialogHook Hook);

protected:
    /// Shows the real dialog.
    virtual bool ExecuteDialog() = 0;
};

enum class TOpenOption {
    ofReadOnly,
    ofOverwritePrompt,
    ofHideReadOnly,
    ofNoChangeDir,
    ofShowHelp,
    ofNoValidate,
    ofAllowMultiSelect,
    ofExtensionDifferent,
    ofPathMustExist,
    ofFileMustExist,
    ofCreatePrompt,
    ofShareAware,
    ofNoReadOnlyReturn,
    ofNoTestFileCreate,
    ofNoNetworkButton,
    ofNoLongNames,
    ofOldStyleDialog,
    ofNoDereferenceLinks,
    ofEnableIncludeNotify,
    ofEnableSizing,
};
using enum TOpenOption;
using TOpenOptions = TSet<TOpenOption>;
inline constexpr EnumIdent TOpenOptionIdents[] = {
    { "ofReadOnly", ofReadOnly },
    { "ofOverwritePrompt", ofOverwritePrompt },
    { "ofHideReadOnly", ofHideReadOnly },
    { "ofNoChangeDir", ofNoChangeDir },
    { "ofShowHelp", ofShowHelp },
    { "ofNoValidate", ofNoValidate },
    { "ofAllowMultiSelect", ofAllowMultiSelect },
    { "ofExtensionDifferent", ofExtensionDifferent },
    { "ofPathMustExist", ofPathMustExist },
    { "ofFileMustExist", ofFileMustExist },
    { "ofCreatePrompt", ofCreatePrompt },
    { "ofShareAware", ofShareAware },
    { "ofNoReadOnlyReturn", ofNoReadOnlyReturn },
    { "ofNoTestFileCreate", ofNoTestFileCreate },
    { "ofNoNetworkButton", ofNoNetworkButton },
    { "ofNoLongNames", ofNoLongNames },
    { "ofOldStyleDialog", ofOldStyleDialog },
    { "ofNoDereferenceLinks", ofNoDereferenceLinks },
    { "ofEnableIncludeNotify", ofEnableIncludeNotify },
    { "ofEnableSizing", ofEnableSizing },
};
inline constexpr TEnumType<TOpenOption> TOpenOptionType { "TOpenOption", TOpenOptionIdents };

/// Asks for the name of a file to write. Filter is "description|pattern|description|pattern";
/// FilterIndex counts its pairs from 1. A name typed without an extension gets DefaultExt when set.
class TSaveDialog : public TCommonDialog {
public:
    explicit TSaveDialog(TComponent* AOwner);

    std::string Title;
    std::string InitialDir;
    std::string FileName;
    std::string DefaultExt;
    std::string Filter;
    int FilterIndex = 1;
    TOpenOptions Options { ofHideReadOnly, ofEnableSizing };

protected:
    bool ExecuteDialog() override;
};

/// Asks which printer to print on and how.
class TPrintDialog : public TCommonDialog {
public:
    using TCommonDialog::TCommonDialog;

protected:
    bool ExecuteDialog() override;
};

/// Sets up the printer: paper, orientation.
class TPrinterSetupDialog : public TCommonDialog {
public:
    using TCommonDialog::TCommonDialog;

protected:
    bool ExecuteDialog() override;
};
