//===- Tflushingform.cpp - The choice of flushing procedure ---===//
#include "lasercontrol/Tflushingform.h"

#include "lasercontrol/TForm_main.h"
#include "platform/ui/components/Published.h"
#include "platform/ui/controls/StdCtrls.h"

Tflushingform* flushingform = nullptr;

namespace {

const PublishedClass& FormClass = PublishClass<Tflushingform, TForm>("Tflushingform", [](Published<Tflushingform>& P) {
    P.Notify("btn_flushextClick", &Tflushingform::btn_flushextClick);
    P.Notify("btn_flushintClick", &Tflushingform::btn_flushintClick);
    P.Notify("btn_fillinertClick", &Tflushingform::btn_fillinertClick);
    P.Notify("btn_exitClick", &Tflushingform::btn_exitClick);
    P.Field("btn_flushext", &Tflushingform::btn_flushext);
    P.Field("btn_flushint", &Tflushingform::btn_flushint);
    P.Field("btn_fillinert", &Tflushingform::btn_fillinert);
    P.Field("btn_exit", &Tflushingform::btn_exit);
});

} // namespace

Tflushingform::Tflushingform(TComponent* AOwner) : TForm(AOwner) {}

void Tflushingform::btn_flushextClick(TObject*)
{
    Close();
    if (Form_main)
        Form_main->tflushext();
}

void Tflushingform::btn_flushintClick(TObject*)
{
    Close();
    if (Form_main)
        Form_main->tflushint();
}

void Tflushingform::btn_fillinertClick(TObject*)
{
    Close();
    if (Form_main)
        Form_main->tfillinert();
}

void Tflushingform::btn_exitClick(TObject*) { Close(); }
