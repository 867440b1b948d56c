//===- CommandLog.cpp - One line for every command the server fetched ---===//
#include "laserserver/CommandLog.h"

#include "link/LinkRecords.h"

namespace {

struct NamedCode {
    uint16_t Code;
    const char* Name;
};

constexpr NamedCode CommandNames[] = {
    { cmd_selectport, "cmd_selectport" },
    { cmd_clientinit, "cmd_clientinit" },
    { cmd_autosave, "cmd_autosave" },
    { cmd_online, "cmd_online" },
    { cmd_offline, "cmd_offline" },
    { cmd_laseron, "cmd_laseron" },
    { cmd_laseroff, "cmd_laseroff" },
    { cmd_burst, "cmd_burst" },
    { cmd_repetition, "cmd_repetition" },
    { cmd_triggeroff, "cmd_triggeroff" },
    { cmd_reprate, "cmd_reprate" },
    { cmd_quantity, "cmd_quantity" },
    { cmd_watchcount, "cmd_watchcount" },
    { cmd_newfill, "cmd_newfill" },
    { cmd_presetcounter, "cmd_presetcounter" },
    { cmd_exttrigger, "cmd_exttrigger" },
    { cmd_gasmode, "cmd_gasmode" },
    { cmd_controlon, "cmd_controlon" },
    { cmd_controloff, "cmd_controloff" },
    { cmd_pemreset, "cmd_pemreset" },
    { cmd_hvup, "cmd_hvup" },
    { cmd_hvdown, "cmd_hvdown" },
    { cmd_hvset, "cmd_hvset" },
    { cmd_energyup, "cmd_energyup" },
    { cmd_energydown, "cmd_energydown" },
    { cmd_energyset, "cmd_energyset" },
    { cmd_adjustenergy, "cmd_adjustenergy" },
    { cmd_shutteropen, "cmd_shutteropen" },
    { cmd_shutterclose, "cmd_shutterclose" },
    { cmd_runsetup1, "cmd_runsetup1" },
    { cmd_runcount, "cmd_runcount" },
    { cmd_runsetup2, "cmd_runsetup2" },
    { cmd_startserver, "cmd_startserver" },
    { cmd_nocommandcheck, "cmd_nocommandcheck" },
    { cmd_sparkgap, "cmd_sparkgap" },
};

} // namespace

CommandLog::CommandLog(const std::string& Path)
{
    if (!Path.empty())
        file_.reset(std::fopen(Path.c_str(), "a"));
}

const char* CommandLog::CommandName(uint16_t Code)
{
    if (Code >= cmd_extendedbase)
        return "cmd_extended";
    for (const NamedCode& entry : CommandNames)
        if (entry.Code == Code)
            return entry.Name;
    return "";
}

void CommandLog::Write(const LaserCommand& Command)
{
    if (!file_)
        return;
    std::fprintf(file_.get(), "%u 0x%04X %u %s\n", unsigned(Command.sequence), unsigned(Command.code),
                 unsigned(Command.argument), CommandName(Command.code));
    std::fflush(file_.get());
}

void CommandLog::Note(const std::string& Text)
{
    if (!file_)
        return;
    std::fprintf(file_.get(), "# %s\n", Text.c_str());
    std::fflush(file_.get());
}
