//===- Twarningform.cpp - The warning that the laser stopped during a run ---===//
#include "energystats/Twarningform.h"

#include "platform/ui/components/Published.h"
#include "platform/ui/controls/StdCtrls.h"
#include "platform/ui/forms/TApplication.h"

Twarningform* warningform = nullptr;

namespace {

const PublishedClass& WarningformClass =
    PublishClass<Twarningform, TForm>("Twarningform", [](Published<Twarningform>& P) {
        P.Notify("FormShow", &Twarningform::FormShow);
        P.Field("Label1", &Twarningform::Label1);
    });

} // namespace

Twarningform::Twarningform(TComponent* AOwner) : TForm(AOwner) {}

void Twarningform::FormShow(TObject*) { CenterOnMainForm(); }

void Twarningform::CenterOnMainForm()
{
    const TForm* main = Application->GetMainForm();
    if (!main || main == this)
        return;
    SetLeft(main->GetLeft() + (main->GetWidth() - GetWidth()) / 2);
    SetTop(main->GetTop() + (main->GetHeight() - GetHeight()) / 2);
}
