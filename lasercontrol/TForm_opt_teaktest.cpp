//===- TForm_opt_teaktest.cpp - The notice shown while the optic leak test runs ---===//
#include "lasercontrol/TForm_opt_teaktest.h"

#include "platform/ui/components/Published.h"
#include "platform/ui/controls/StdCtrls.h"

TForm_opt_teaktest* Form_opt_teaktest = nullptr;

namespace {

const PublishedClass& OptTeaktestClass =
    PublishClass<TForm_opt_teaktest, TForm>("TForm_opt_teaktest", [](Published<TForm_opt_teaktest>& P) {
        P.Field("Label1", &TForm_opt_teaktest::Label1);
        P.Field("Label2", &TForm_opt_teaktest::Label2);
    });

} // namespace

TForm_opt_teaktest::TForm_opt_teaktest(TComponent* AOwner) : TForm(AOwner) {}
