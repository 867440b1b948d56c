//===- TessalyFixture.cpp - Tessaly's forms, a laser server of the test's own, and the loop ---===//
#include "tests/energystats/TessalyFixture.h"

#include "energystats/TForm_main.h"
#include "energystats/Tessaly.h"
#include "energystats/Twarningform.h"
#include "link/Varnex32.h"
#include "platform/ui/forms/TApplication.h"

#include <fstream>

namespace {

LinkSharedBlock* block()
{
    // The status copy's region pointers are this process's addresses of the block's arrays.
    const LaserStatus* status = getstatuspointer();
    if (!status || status->copy.energyPtr == 0)
        return nullptr;
    return reinterpret_cast<LinkSharedBlock*>(uintptr_t(status->copy.energyPtr)
                                              - offsetof(LinkSharedBlock, EnergyArray));
}

} // namespace

ScriptedLaser::ScriptedLaser()
{
    OnCommandsQueued = [this] { fetch(); };
    Copy().stateFlags = sf_online | sf_ready;
    Copy().comPort = 1;
    Copy().serialNumber = 4711;
    testsupport::SetField(Copy().laserType, "KELMOR");
}

void ScriptedLaser::fetch()
{
    for (const LaserCommand& c : Fetch()) {
        Log.push_back(c);
        if (OnCommand)
            OnCommand(c);
    }
}

void ScriptedLaser::Drain()
{
    fetch();
    Log.clear();
}

std::span<float> ScriptedLaser::Energies()
{
    LinkSharedBlock* b = block();
    return b ? std::span<float>(b->EnergyArray) : std::span<float>();
}

std::span<double> ScriptedLaser::Times()
{
    LinkSharedBlock* b = block();
    return b ? std::span<double>(b->AbscissaArray) : std::span<double>();
}

std::span<int32_t> ScriptedLaser::Histogram()
{
    LinkSharedBlock* b = block();
    return b ? std::span<int32_t>(b->HistogramArray) : std::span<int32_t>();
}

void ObeyingLaser(ScriptedLaser& Laser)
{
    Laser.OnCommand = [&Laser](const LaserCommand& C) {
        uint8_t& flags = Laser.Copy().stateFlags;
        switch (C.code) {
        case cmd_laseron: flags |= sf_highvoltage; break;
        case cmd_repetition: flags |= sf_firing; break;
        case cmd_triggeroff: flags &= uint8_t(~sf_firing); break;
        case cmd_laseroff: flags &= uint8_t(~(sf_firing | sf_highvoltage)); break;
        default: return;
        }
        Laser.Publish(ev_device);
    };
}

// --- The fixture

void TessalyTest::SetUp()
{
    Application->Initialize();
    previousExec_ = SetWinExecHook([](const std::string&, uint32_t) -> uint32_t { return 33; });
    TForm_main::ProgramPath = dir.file("Tessaly");
    // The laser is there before the program: its window is the server's.
    laser.Publish(ev_comport);
    laser.Drain();
}

void TessalyTest::writeSettings(const std::string& Text) { std::ofstream(dir.file("Tessaly.INI")) << Text; }

void TessalyTest::makeForms()
{
    CreateTessalyForms();
    TMessageEvent filter = Application->OnMessage;
    Application->OnMessage = [this, filter](MSG& Msg, bool& Handled) {
        if (filter)
            filter(Msg, Handled);
        if (Handled) {
            ++noticesHandled;
            ++handledByCode[size_t(Msg.lParam & 0xFF)];
        }
    };
}

void TessalyTest::freeForms()
{
    delete warningform;
    warningform = nullptr;
    delete Form_main;
    Form_main = nullptr;
}

void TessalyTest::TearDown()
{
    if (Form_main && Form_main->Registered())
        releasedll(Application->GetHandle());
    freeForms();
    TForm_main::ProgramPath.clear();
    SetWinExecHook(std::move(previousExec_));
}

void TessalyTest::notice(uint8_t Event, uint8_t Parameter)
{
    // Notices an earlier step caused may still wait in the queue: this one is known by its code.
    const int target = handledByCode[Event] + 1;
    ASSERT_EQ(laser.Publish(Event, Parameter), 0);
    ASSERT_TRUE(pumpUntil([&] { return handledByCode[Event] >= target; })) << "notice " << int(Event) << " not handled";
}

std::vector<uint16_t> TessalyTest::codes() const
{
    std::vector<uint16_t> result;
    for (const LaserCommand& c : laser.Log)
        result.push_back(c.code);
    return result;
}
