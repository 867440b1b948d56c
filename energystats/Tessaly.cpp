//===- Tessaly.cpp - The energy statistics program's start ---===//
#include "energystats/Tessaly.h"

#include "energystats/RunAids.h"
#include "energystats/TForm_main.h"
#include "energystats/Twarningform.h"
#include "platform/kernel/Signals.h"
#include "platform/ui/forms/TApplication.h"
#include "platform/user/Messages.h"

void CreateTessalyForms()
{
    Application->CreateForm(Form_main);
    // Every client slot taken: the program is ending without its window.
    if (!Form_main->Registered())
        return;
    Application->CreateForm(warningform);
    warningform->CenterOnMainForm();
}

int RunTessaly()
{
    Application->Initialize();
    Application->SetTitle("Tessaly");
    try {
        CreateTessalyForms();
    } catch (const std::exception& E) {
        Application->ShowException(E);
        return 1;
    }
    if (!Form_main->Registered())
        return 0;
    const HWND mainWindow = Form_main->GetHandle();
    SetTerminateHandler([mainWindow] { PostMessage(mainWindow, WM_CLOSE, 0, 0); });
    InstallTessalyRunAids(*Form_main);
    Application->Run();
    return 0;
}
