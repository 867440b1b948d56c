//===- Tmesbox.cpp - The small window of a modeless message -----------------===//
#include "controls/Tmesbox.h"

#include "platform/ui/components/Published.h"
#include "platform/ui/controls/StdCtrls.h"

namespace {

const PublishedClass& MesboxClass = PublishClass<Tmesbox, TForm>("Tmesbox", [](Published<Tmesbox>& P) {
    P.Field("Label1", &Tmesbox::Label1);
    P.Field("but1", &Tmesbox::but1);
    P.Notify("but1Click", &Tmesbox::but1Click);
});

} // namespace

Tmesbox::Tmesbox(TComponent* AOwner) : TForm(AOwner) {}

void Tmesbox::but1Click(TObject*) { Close(); }
