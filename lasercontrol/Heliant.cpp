//===- Heliant.cpp - The laser control program's start ---===//
#include "lasercontrol/Heliant.h"

#include "lasercontrol/RunAids.h"
#include "lasercontrol/TAbout.h"
#include "lasercontrol/TForm_main.h"
#include "lasercontrol/TForm_opt_teaktest.h"
#include "lasercontrol/Tconfigbox.h"
#include "lasercontrol/Texithint.h"
#include "lasercontrol/Tfenergy.h"
#include "lasercontrol/Tflushingform.h"
#include "lasercontrol/Tmsgbox.h"
#include "platform/kernel/Signals.h"
#include "platform/ui/forms/TApplication.h"
#include "platform/user/Messages.h"

void CreateHeliantForms()
{
    Application->CreateForm(Form_main);
    Application->CreateForm(exithint);
    Application->CreateForm(About);
    Application->CreateForm(msgbox);
    Application->CreateForm(configbox);
    Application->CreateForm(fenergy);
    Application->CreateForm(Form_opt_teaktest);
    Application->CreateForm(flushingform);
}

int RunHeliant()
{
    Application->Initialize();
    Application->SetTitle("Heliant");
    try {
        CreateHeliantForms();
    } catch (const std::exception& E) {
        // A damaged form resource: nothing can be shown without it.
        Application->ShowException(E);
        return 1;
    }
    Form_main->registerlink();
    if (Application->GetTerminated())
        return 0;
    // Asked to terminate (logging off, ./run stopping it), the program closes as the operator
    // would close it: the form's closing asks when the laser works, and releases the link.
    const HWND mainWindow = Form_main->GetHandle();
    SetTerminateHandler([mainWindow] { PostMessage(mainWindow, WM_CLOSE, 0, 0); });
    InstallRunAids(*Form_main);
    Application->Run();
    return 0;
}
