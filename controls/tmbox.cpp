//===- tmbox.cpp - Shows a short message without waiting for the operator ---===//
#include "controls/tmbox.h"

#include "controls/Tmesbox.h"
#include "platform/ui/components/Published.h"
#include "platform/ui/controls/StdCtrls.h"
#include "platform/ui/forms/TApplication.h"

namespace {

const PublishedClass& MboxClass = PublishClass<tmbox, TComponent>("tmbox");

} // namespace

tmbox::tmbox(TComponent* AOwner) : TComponent(AOwner) {}

tmbox::~tmbox()
{
    if (FForm)
        FForm->RemoveFreeNotification(this);
}

void tmbox::ShowMessage(const std::string& Caption, const std::string& Text, const std::string& ButtonCaption)
{
    Tmesbox* Form = nullptr;
    try {
        Form = TForm::Create<Tmesbox>(Application);
        Form->SetCaption(Caption);
        Form->Label1->SetCaption(Text);
        Form->but1->SetCaption(ButtonCaption);
        Form->Show();
    } catch (const std::exception&) {
        // A message that cannot be shown must not stop the program that wanted to show it.
        delete Form;
        return;
    }
    if (FForm)
        FForm->RemoveFreeNotification(this);
    FForm = Form;
    FForm->FreeNotification(this);
}

void tmbox::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FForm)
        FForm = nullptr;
}
