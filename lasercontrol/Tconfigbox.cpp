//===- Tconfigbox.cpp - The Options dialog ---===//
#include "lasercontrol/Tconfigbox.h"

#include "platform/ui/Published.h"

Tconfigbox* configbox = nullptr;

namespace {

const PublishedClass& FormClass = PublishClass<Tconfigbox, TForm>("Tconfigbox");

} // namespace

Tconfigbox::Tconfigbox(TComponent* AOwner) : TForm(AOwner) { }
