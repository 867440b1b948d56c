//===- TPDFAcroForm.h - The document's interactive form dictionary -*- C++ -*-===//
#pragma once

#include "pdf/TPDFControls.h"

#include <cstdint>
#include <vector>

class TPDFDocument;
class TPDFFont;
class TPDFRadioGroup;

class TPDFAcroForm {
public:
    explicit TPDFAcroForm(TPDFDocument& Document) : FDocument(Document) {}

    void Clear();
    /// No controls and no radio groups: nothing to write.
    bool Empty() const { return Controls.Count() == 0 && RadioGroups.empty(); }
    /// Writes the font resources of the appearances and the form; the catalog refers to the form.
    void Save();

    int32_t ObjectNumber = 0;
    TPDFControls Controls;
    /// The fonts the appearances use, each once.
    std::vector<TPDFFont*> Fonts;
    /// The radio groups written so far.
    std::vector<TPDFRadioGroup*> RadioGroups;

private:
    TPDFDocument& FDocument;
};
