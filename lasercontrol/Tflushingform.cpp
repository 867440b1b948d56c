//===- Tflushingform.cpp - The choice of flushing procedure ---===//
#include "lasercontrol/Tflushingform.h"

#include "platform/ui/Published.h"

Tflushingform* flushingform = nullptr;

namespace {

const PublishedClass& FormClass = PublishClass<Tflushingform, TForm>("Tflushingform");

} // namespace

Tflushingform::Tflushingform(TComponent* AOwner) : TForm(AOwner) { }
