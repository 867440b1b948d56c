//===- Tmsgbox.cpp - The confirmation form of the gas procedures ---===//
#include "lasercontrol/Tmsgbox.h"

#include "platform/ui/Published.h"

Tmsgbox* msgbox = nullptr;

namespace {

const PublishedClass& FormClass = PublishClass<Tmsgbox, TForm>("Tmsgbox");

} // namespace

Tmsgbox::Tmsgbox(TComponent* AOwner) : TForm(AOwner) { }
