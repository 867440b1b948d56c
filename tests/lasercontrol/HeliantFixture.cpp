//===- HeliantFixture.cpp - Heliant's forms, a laser server of the test's own, and the loop ---===//
#include "tests/lasercontrol/HeliantFixture.h"

#include "lasercontrol/Heliant.h"
#include "lasercontrol/TAbout.h"
#include "lasercontrol/TForm_main.h"
#include "lasercontrol/TForm_opt_teaktest.h"
#include "lasercontrol/Tconfigbox.h"
#include "lasercontrol/Texithint.h"
#include "lasercontrol/Tfenergy.h"
#include "lasercontrol/Tflushingform.h"
#include "lasercontrol/Tmsgbox.h"
#include "link/Varnex32.h"
#include "tests/support/MessagePump.h"

#include "platform/ui/forms/TApplication.h"

// --- The laser of the panel tests

LaserStatusCopy TypicalLaser()
{
    LaserStatusCopy s {};
    s.stateFlags = sf_online | sf_ready;
    s.capabilityFlags = 0x3F;
    s.deviceVersion = 186;
    s.deviceFlags = 0x10;
    s.comPort = 1;
    s.repRate = 50;
    s.quantity = 100;
    s.hvPercent = 50;
    s.pressure = 2800.0f;
    s.pressureBar = 4;
    s.gasTemperature = 24.0f;
    s.energy = 88.5f;
    s.energySet = 90.0f;
    SetField(s.laserType, "KELMOR");
    SetField(s.laserType2, "248");
    SetField(s.firmwareText, "V186-B21");
    return s;
}

std::ostream& operator<<(std::ostream& Out, const SentCommand& S)
{
    return Out << std::hex << "{0x" << S.Code << ", 0x" << S.Argument << "}" << std::dec;
}

// --- The fixture

void HeliantTest::SetUp()
{
    Application->Initialize();
    previousExec_ = SetWinExecHook([this](const std::string& CmdLine, uint32_t) -> uint32_t {
        started.push_back(CmdLine);
        return 33;
    });
    TForm_main::ProgramPath = dir.file("Heliant");
    makeForms();
}

void HeliantTest::makeForms()
{
    CreateHeliantForms();
    // Counts the notices the form took, so a test can wait for exactly the one it caused.
    TMessageEvent filter = Application->OnMessage;
    Application->OnMessage = [this, filter](MSG& Msg, bool& Handled) {
        if (filter)
            filter(Msg, Handled);
        if (Handled)
            ++noticesHandled;
    };
}

void HeliantTest::remakeForms()
{
    freeForms();
    makeForms();
}

void HeliantTest::TearDown()
{
    if (Form_main && Form_main->Registered())
        releasedll(Application->GetHandle());
    freeForms();
    TForm_main::ProgramPath.clear();
    SetWinExecHook(std::move(previousExec_));
}

void HeliantTest::freeForms()
{
    // The program never frees its forms before it ends; a test makes them anew each time.
    auto free = [](auto*& Form) {
        delete Form;
        Form = nullptr;
    };
    free(flushingform);
    free(Form_opt_teaktest);
    free(fenergy);
    free(configbox);
    free(msgbox);
    free(About);
    free(exithint);
    free(Form_main);
}

void HeliantTest::registerPanel()
{
    Form_main->registerlink();
    ASSERT_TRUE(Form_main->Registered());
}

void HeliantTest::start(const LaserStatusCopy& Laser)
{
    server.Copy() = Laser;
    registerPanel();
    announce();
    server.Fetch();
}

Commands HeliantTest::sent()
{
    Commands result;
    for (const LaserCommand& C : server.Fetch())
        result.push_back({ C.code, C.argument });
    return result;
}

void HeliantTest::notice(uint8_t Event, uint8_t Parameter)
{
    const int target = noticesHandled + 1;
    ASSERT_EQ(server.Publish(Event, Parameter), 0);
    ASSERT_TRUE(pumpUntil([&] { return noticesHandled >= target; })) << "notice " << int(Event) << " not handled";
}

::testing::AssertionResult HeliantTest::pumpUntil(const std::function<bool()>& Done, int GuardMs)
{
    return testsupport::PumpUntil(Done, GuardMs);
}

void HeliantTest::allowProgramStarts() { SetWinExecHook(nullptr); }
