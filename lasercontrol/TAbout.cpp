//===- TAbout.cpp - The About box ---===//
#include "lasercontrol/TAbout.h"

#include "lasercontrol/PanelRules.h"
#include "lasercontrol/TForm_main.h"
#include "platform/ui/controls/Buttons.h"
#include "platform/ui/components/Published.h"
#include "platform/ui/controls/StdCtrls.h"

TAbout* About = nullptr;

namespace {

const PublishedClass& FormClass = PublishClass<TAbout, TForm>("TAbout", [](Published<TAbout>& P) {
    P.Notify("FormCreate", &TAbout::FormCreate);
    P.Notify("FormShow", &TAbout::FormShow);
    P.Notify("Button1Click", &TAbout::Button1Click);
    P.Field("Label1", &TAbout::Label1);
    P.Field("Label2", &TAbout::Label2);
    P.Field("Label16", &TAbout::Label16);
    P.Field("lab_exim", &TAbout::lab_exim);
    P.Field("lab_dll", &TAbout::lab_dll);
    P.Field("label_version", &TAbout::label_version);
    P.Field("lab_ser", &TAbout::lab_ser);
    P.Field("BitBtn3", &TAbout::BitBtn3);
});

} // namespace

std::string SerialNumberCaption(const LaserStatusCopy& Copy)
{
    const std::string firmware = FieldText(Copy.firmwareText);
    // Letters of the upper code page half count as above 'A' as well.
    const bool headSerial = firmware.size() >= 7 && static_cast<unsigned char>(firmware[5]) > 'A';
    return (headSerial ? "serial no.: " : "cls-eprom serial no.: ") + std::to_string(Copy.serialNumber);
}

TAbout::TAbout(TComponent* AOwner) : TForm(AOwner) {}

void TAbout::FormCreate(TObject*) { Label16->SetCaption(std::string("Version ") + HeliantVersion); }

void TAbout::FormShow(TObject*)
{
    // Before registration there is no shared block to read: the texts stay empty.
    const LaserStatus* status = Form_main ? Form_main->GetLink().Whole() : nullptr;
    lab_exim->SetCaption(status ? FieldText(status->serverVersionText) : "");
    lab_dll->SetCaption(status ? FieldText(status->linkBanner) : "");
    const LaserStatusCopy copy = Form_main ? Form_main->Status() : LaserStatusCopy {};
    label_version->SetCaption("version: " + FieldText(copy.firmwareText) + "  ");
    lab_ser->SetVisible(copy.deviceVersion > 180);
    lab_ser->SetCaption(SerialNumberCaption(copy));
}

void TAbout::Button1Click(TObject*) { ModalResult = mrOk; }
