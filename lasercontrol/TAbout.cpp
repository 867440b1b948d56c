//===- TAbout.cpp - The About box ---===//
#include "lasercontrol/TAbout.h"

#include "platform/ui/Published.h"

TAbout* About = nullptr;

namespace {

const PublishedClass& FormClass = PublishClass<TAbout, TForm>("TAbout");

} // namespace

TAbout::TAbout(TComponent* AOwner) : TForm(AOwner) { }
