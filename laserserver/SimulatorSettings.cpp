//===- SimulatorSettings.cpp - The simulated laser and the simulator's own settings ---===//
#include "laserserver/SimulatorSettings.h"

#include "platform/kernel/TIniFile.h"
#include "platform/rtl/SysUtils.h"

#include <cstdlib>
#include <limits>

namespace {

constexpr const char* LaserSection = "Laser";
constexpr const char* ServerSection = "Server";
constexpr const char* SimulatorSection = "Simulator";

/// Reads keys of one file into fields; a value that cannot be used leaves the field at its
/// default and says why in the warnings.
class KeyReader {
public:
    KeyReader(TIniFile& Ini, std::vector<std::string>& Warnings) : ini_(Ini), warnings_(Warnings) {}

    template <typename T>
    void integer(const char* Section, const char* Ident, T& Field, int64_t Min, int64_t Max)
    {
        std::string text;
        if (!read(Section, Ident, text))
            return;
        int64_t value;
        if (!TryStrToInt64(text, value) || value < Min || value > Max)
            return warn(Section, Ident, text, "a whole number from " + IntToStr(Min) + " to " + IntToStr(Max));
        Field = T(value);
    }

    void flag(const char* Section, const char* Ident, bool& Field)
    {
        uint8_t value = Field ? 1 : 0;
        integer(Section, Ident, value, 0, 1);
        Field = value != 0;
    }

    template <typename T>
    void number(const char* Section, const char* Ident, T& Field, double Min, double Max)
    {
        std::string text;
        if (!read(Section, Ident, text))
            return;
        double value;
        if (!TryStrToFloat(text, value) || !(value >= Min && value <= Max))
            return warn(Section, Ident, text, "a number from " + FloatToStr(Min) + " to " + FloatToStr(Max));
        Field = T(value);
    }

    void text(const char* Section, const char* Ident, std::string& Field, size_t MaxLength)
    {
        std::string value;
        if (!read(Section, Ident, value))
            return;
        if (value.size() > MaxLength) {
            warn(Section, Ident, value, "at most " + IntToStr(int64_t(MaxLength)) + " characters; cut");
            value.resize(MaxLength);
        }
        Field = value;
    }

    void letter(const char* Section, const char* Ident, char& Field)
    {
        std::string value;
        if (!read(Section, Ident, value))
            return;
        if (value.size() != 1)
            return warn(Section, Ident, value, "one letter");
        Field = value[0];
    }

private:
    bool read(const char* Section, const char* Ident, std::string& Value)
    {
        Value = ini_.ReadString(Section, Ident, "");
        return !Value.empty();
    }

    void warn(const char* Section, const char* Ident, const std::string& Value, const std::string& Expected)
    {
        warnings_.push_back(std::string("[") + Section + "] " + Ident + "=" + Value + ": expected " + Expected);
    }

    TIniFile& ini_;
    std::vector<std::string>& warnings_;
};

void readLaser(KeyReader& R, LaserSettings& L)
{
    const char* S = LaserSection;
    R.integer(S, "DeviceVersion", L.DeviceVersion, 0, 255);
    R.integer(S, "CapabilityFlags", L.CapabilityFlags, 0, 255);
    R.integer(S, "DeviceFlags", L.DeviceFlags, 0, 255);
    R.integer(S, "UnitFlags", L.UnitFlags, 0, 255);
    // The lengths are those of the status record's text fields.
    R.text(S, "LaserType", L.LaserType, 9);
    R.text(S, "LaserType2", L.LaserType2, 8);
    R.text(S, "Firmware", L.FirmwareText, 8);
    R.integer(S, "SerialNumber", L.SerialNumber, 0, std::numeric_limits<int32_t>::max());
    R.integer(S, "LaserPort", L.LaserPort, 0, 9);
    R.flag(S, "StartOnline", L.StartOnline);
    R.integer(S, "RepRate", L.RepRate, 1, 65535);
    R.integer(S, "Quantity", L.Quantity, 0, 65535);
    R.integer(S, "MaxRepRate", L.MaxRepRate, 1, 65535);
    R.integer(S, "PulseCounter", L.PulseCounter, 0, std::numeric_limits<int32_t>::max());
    R.integer(S, "HighVoltage", L.HighVoltage, 0, 100);
    R.number(S, "EnergyLevel", L.EnergyLevel, 0, 1e6);
    R.number(S, "EnergyNoise", L.EnergyNoise, 0, 100);
    R.number(S, "EnergySet", L.EnergySet, 0, 1e6);
    R.number(S, "EnergyStep", L.EnergyStep, 0, 1e6);
    R.number(S, "FillPressure", L.FillPressure, 1, 1e5);
    R.number(S, "InertPressure", L.InertPressure, 0, 1e5);
    R.number(S, "VacuumPressure", L.VacuumPressure, 0, 1e5);
    R.number(S, "MinPressure", L.MinPressure, 0, 1e5);
    R.number(S, "Pressure", L.Pressure, 0, 1e5);
    R.number(S, "GasLossPerPulse", L.GasLossPerPulse, 0, 1e5);
    R.number(S, "AmbientTemperature", L.AmbientTemperature, -50, 100);
    R.integer(S, "ErrorFlags1", L.ErrorFlags1, 0, 255);
    R.integer(S, "ErrorFlags2", L.ErrorFlags2, 0, 255);
    R.integer(S, "ErrorFlags3", L.ErrorFlags3, 0, 255);
    R.integer(S, "ModeFlags2", L.ModeFlags2, 0, 255);
}

void readTimes(KeyReader& R, SimulatorSettings& Settings)
{
    const char* S = SimulatorSection;
    LaserSettings& L = Settings.Laser;
    R.number(S, "TimeScale", L.TimeScale, 1e-3, 1e6);
    R.number(S, "WarmupSeconds", L.WarmupSeconds, 0, 1e6);
    R.number(S, "LaserOnSeconds", L.LaserOnSeconds, 0, 1e6);
    R.number(S, "SparkGapSeconds", L.SparkGapSeconds, 0, 1e6);
    R.number(S, "GasPhaseSeconds", L.GasPhaseSeconds, 0, 1e6);
    R.number(S, "OpticChangeSeconds", L.OpticChangeSeconds, 0, 1e6);
    R.number(S, "OpticOpenSeconds", L.OpticOpenSeconds, 0, 1e6);
    R.number(S, "LeakRate", L.LeakRate, -1e5, 1e5);
    R.number(S, "LinkLostAfterSeconds", L.LinkLostAfterSeconds, 0, 1e7);
    R.number(S, "LinkLostForSeconds", L.LinkLostForSeconds, 0, 1e7);
    R.integer(S, "Seed", L.Seed, 0, std::numeric_limits<uint32_t>::max());
    R.integer(S, "BlinkPeriod", Settings.BlinkPeriod, 1, 3600000);
    R.integer(S, "TickPeriod", Settings.TickPeriod, 1, 60000);
    R.integer(S, "StatusPeriod", Settings.StatusPeriod, 1, 3600000);
    R.integer(S, "PulseNoticePeriod", Settings.PulseNoticePeriod, 0, 3600000);
    R.number(S, "IdleSeconds", Settings.IdleSeconds, 0, 1e7);
    R.text(S, "Log", Settings.LogFile, 4096);
}

void readServer(KeyReader& R, SimulatorSettings& Settings)
{
    const char* S = ServerSection;
    R.integer(S, "ComPort", Settings.ComPort, 0, 9);
    R.flag(S, "AutoSave", Settings.AutoSave);
    // The version text field holds 48 characters and its terminator.
    R.text(S, "VersionText", Settings.VersionText, 48);
    R.letter(S, "VersionLevel", Settings.VersionLevel);
}

} // namespace

SimulatorSettings SimulatorSettings::Load(const std::string& Path)
{
    SimulatorSettings settings;
    settings.Path = Path;
    TIniFile ini(Path);
    KeyReader reader(ini, settings.Warnings);
    readLaser(reader, settings.Laser);
    readTimes(reader, settings);
    readServer(reader, settings);
    return settings;
}

SimulatorSettings SimulatorSettings::LoadDefault()
{
    const char* path = std::getenv("KELMOR32_INI");
    SimulatorSettings settings = Load(path && *path ? std::string(path) : IniFileBesideExecutable());
    if (const char* log = std::getenv("KELMOR32_LOG"); log && *log)
        settings.LogFile = log;
    return settings;
}

bool SimulatorSettings::SaveOptions(uint8_t Port, bool AutoSaveOn) const
{
    try {
        TIniFile ini(Path);
        ini.WriteInteger(ServerSection, "ComPort", Port);
        ini.WriteInteger(ServerSection, "AutoSave", AutoSaveOn ? 1 : 0);
        ini.UpdateFile();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}
