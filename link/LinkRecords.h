//===- LinkRecords.h - Records and codes shared by the link, its server and clients -*- C++ -*-===//
//
// The layouts below cross process boundaries through the shared block and are binding for every
// offset and width: packed, little-endian, i386 widths, 32-bit window handles. Members of packed
// records are read and written by the compiler with unaligned accesses (what memcpy would do);
// never take the address or a reference of a multi-byte member.
//
#pragma once

#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)

/// A command as a client hands it to putcommand.
struct LaserCommand {
    uint32_t window;   // sender's application window handle
    uint16_t sequence; // 1..65520, counted up by the sender
    uint16_t code;     // cmd_...
    uint32_t argument; // from cmd_extendedbase up: address of 140 bytes of extended data
};

/// A notice as the server hands it to excommand.
struct ServerNotice {
    uint8_t type;  // ex_...
    uint8_t event; // ev_... posted to the clients
    uint8_t parameter;
    uint8_t spare;
    uint32_t target; // window of a single-target notice: LinkAllClients, LinkAdlClients or one window
    uint16_t wParam;
    uint16_t high; // high half of the posted lParam
};

/// The slice of the status that each program copies at every notice.
struct LaserStatusCopy {
    uint8_t stateFlags;      // k0   sf_...
    uint8_t capabilityFlags; // k1   cap_...
    uint8_t modeFlags2;      // k2   bit 0 inspection, bit 1 nitrogen replacing, bit 4 shutter open
    uint8_t errorFlags1;     // k3
    uint8_t errorFlags2;     // k4
    uint8_t modeFlags;       // k5   mf_...
    uint8_t errorFlags3;     // k6   bit 0 overtemperature, bit 1 EEPROM
    uint8_t optionFlags;     // k7   bit 3 automatic saving of options
    uint16_t repRate;        // k8   Hz
    uint16_t quantity;       // k10  burst pulses
    int32_t pulseCounter;    // k12
    uint16_t watchCounter;   // k16
    uint8_t spare18;
    uint8_t pressureBar; // k19  5 marks pressure too high
    float pressure;      // k20  mbar
    uint8_t hvPercent;   // k24  0..100
    uint8_t spare25[5];
    float energy; // k30
    uint8_t spare34;
    float energySet;  // k35
    uint8_t gasState; // k39  low nibble gas-mode step, bits 4..7 valves and pump
    uint8_t spare40[7];
    float gasTemperature; // k47
    uint8_t spare51[8];
    float deviation;         // k59  percent
    float meanEnergy;        // k63
    int32_t selected;        // k67
    int32_t intervalTotal;   // k71
    int32_t intervalCurrent; // k75
    uint8_t spare79[2];
    int32_t samples;       // k81
    uint32_t energyPtr;    // k85  addresses of the data regions in the reading process
    uint32_t abscissaPtr;  // k89
    uint32_t histogramPtr; // k93
    uint32_t region4Ptr;   // k97
    uint8_t spare101[2];
    int32_t serialNumber; // k103
    uint8_t spare107[4];
    uint8_t comPort;        // k111 1..9 = COM1..COM9, 0 = none
    uint8_t warmupProgress; // k112
    uint8_t deviceVersion;  // k113
    uint8_t deviceFlags;    // k114
    uint8_t unitFlags;      // k115 bit 5: energies in µJ
    uint8_t spare116;
    char firmwareText[9]; // k117
    char laserType[10];   // k126
    char laserType2[9];   // k136
};

/// The laser status record that the server publishes whole.
struct LaserStatus {
    uint8_t byte0;
    uint8_t byte1;
    uint8_t serverReady;
    uint8_t serverBacklog;  // putcommand refuses at 80 and above
    uint16_t countdowns[4]; // ex_closing lowers each that is above 0
    char linkBanner[100];
    char serverVersionText[49];
    uint8_t serverVersionLevel; // version letter
    LaserStatusCopy copy;       // status offsets 162..306
    uint8_t rest[4489];
};

/// Counts and banner of the block, handed to the server whole by ex_info.
struct LaserInfo {
    uint8_t clientCount;
    uint8_t adlClientCount;
    uint16_t processCount;
    char linkBanner[50];
};

constexpr int RingSlots = 20;
constexpr int ExtendedDataSize = 140;

/// The command ring, handed to the server whole by ex_fetch.
struct CommandRing {
    int16_t writeIndex;
    int16_t readIndex;
    LaserCommand commands[RingSlots];
    uint8_t extended[RingSlots][ExtendedDataSize];
};

constexpr int ClientSlots = 10;
constexpr int EnergyCapacity = 100001;
constexpr int HistogramBins = 256;

/// The named block "excimermem".
struct LinkSharedBlock {
    uint32_t serverWindow;
    uint32_t clientSlots[ClientSlots]; // slot i (1..10) is clientSlots[i - 1]
    LaserStatus status;
    LaserInfo info;
    CommandRing ring;
    uint8_t adlFlags[ClientSlots];
    float EnergyArray[EnergyCapacity];
    double AbscissaArray[EnergyCapacity];
    int32_t HistogramArray[HistogramBins];
    uint8_t DataRegion4[110001];
};

#pragma pack(pop)

static_assert(sizeof(LaserCommand) == 12);
static_assert(sizeof(ServerNotice) == 12);
static_assert(sizeof(LaserStatusCopy) == 145);
static_assert(sizeof(LaserStatus) == 4796);
static_assert(sizeof(LaserInfo) == 54);
static_assert(sizeof(CommandRing) == 3044);
static_assert(sizeof(LinkSharedBlock) == 1318985);

static_assert(offsetof(LaserStatus, serverReady) == 2);
static_assert(offsetof(LaserStatus, countdowns) == 4);
static_assert(offsetof(LaserStatus, linkBanner) == 12);
static_assert(offsetof(LaserStatus, serverVersionText) == 112);
static_assert(offsetof(LaserStatus, serverVersionLevel) == 161);
static_assert(offsetof(LaserStatus, copy) == 162);

static_assert(offsetof(LaserStatusCopy, repRate) == 8);
static_assert(offsetof(LaserStatusCopy, pulseCounter) == 12);
static_assert(offsetof(LaserStatusCopy, watchCounter) == 16);
static_assert(offsetof(LaserStatusCopy, pressureBar) == 19);
static_assert(offsetof(LaserStatusCopy, pressure) == 20);
static_assert(offsetof(LaserStatusCopy, hvPercent) == 24);
static_assert(offsetof(LaserStatusCopy, energy) == 30);
static_assert(offsetof(LaserStatusCopy, energySet) == 35);
static_assert(offsetof(LaserStatusCopy, gasState) == 39);
static_assert(offsetof(LaserStatusCopy, gasTemperature) == 47);
static_assert(offsetof(LaserStatusCopy, deviation) == 59);
static_assert(offsetof(LaserStatusCopy, meanEnergy) == 63);
static_assert(offsetof(LaserStatusCopy, selected) == 67);
static_assert(offsetof(LaserStatusCopy, intervalTotal) == 71);
static_assert(offsetof(LaserStatusCopy, intervalCurrent) == 75);
static_assert(offsetof(LaserStatusCopy, samples) == 81);
static_assert(offsetof(LaserStatusCopy, energyPtr) == 85);
static_assert(offsetof(LaserStatusCopy, region4Ptr) == 97);
static_assert(offsetof(LaserStatusCopy, serialNumber) == 103);
static_assert(offsetof(LaserStatusCopy, comPort) == 111);
static_assert(offsetof(LaserStatusCopy, warmupProgress) == 112);
static_assert(offsetof(LaserStatusCopy, deviceVersion) == 113);
static_assert(offsetof(LaserStatusCopy, deviceFlags) == 114);
static_assert(offsetof(LaserStatusCopy, unitFlags) == 115);
static_assert(offsetof(LaserStatusCopy, firmwareText) == 117);
static_assert(offsetof(LaserStatusCopy, laserType) == 126);
static_assert(offsetof(LaserStatusCopy, laserType2) == 136);

static_assert(offsetof(LinkSharedBlock, status) == 44);
static_assert(offsetof(LinkSharedBlock, info) == 4840);
static_assert(offsetof(LinkSharedBlock, ring) == 4894);
static_assert(offsetof(LinkSharedBlock, ring) + offsetof(CommandRing, commands) == 4898);
static_assert(offsetof(LinkSharedBlock, ring) + offsetof(CommandRing, extended) == 5138);
static_assert(offsetof(LinkSharedBlock, adlFlags) == 7938);
static_assert(offsetof(LinkSharedBlock, EnergyArray) == 7948);
static_assert(offsetof(LinkSharedBlock, AbscissaArray) == 407952);
static_assert(offsetof(LinkSharedBlock, HistogramArray) == 1207960);
static_assert(offsetof(LinkSharedBlock, DataRegion4) == 1208984);

// Names of the shared objects and the server's key.
constexpr const char* LinkBlockName = "excimermem";
constexpr const char* LinkMutexName = "excimerdll32";
constexpr const char* LinkServerMessageName = "wm_excimerdll32";
constexpr const char* LinkAppMessageName = "wm_excimerapp32";
constexpr const char* LinkBanner = "KELMOR32.DLL Version 3.2";
constexpr const char* LaserServerProgram = "Kelmor32.exe";
constexpr uint32_t LinkKey = 0x2C6A91E4;
constexpr uint32_t LinkServerWParam = 0x2000; // wParam of LinkServerMessage: commands are waiting

// Result codes of the exports.
constexpr int32_t LINK_OK = 0;
constexpr int32_t LINK_NOLINK = 256;
constexpr int32_t LINK_REGISTERED = 257;
constexpr int32_t LINK_FULL = 258;
constexpr int32_t LINK_UNKNOWN = 259;
constexpr int32_t LINK_QUEUEFULL = 260;
constexpr int32_t LINK_TIMEOUT = 261;

// Bits of LaserStatusCopy.stateFlags.
constexpr uint8_t sf_online = 0x01;
constexpr uint8_t sf_warmup = 0x02;
constexpr uint8_t sf_gasmode = 0x04;
constexpr uint8_t sf_ready = 0x10;
constexpr uint8_t sf_highvoltage = 0x20;
constexpr uint8_t sf_firing = 0x40;
constexpr uint8_t sf_exttrigger = 0x80;

// Bits of LaserStatusCopy.capabilityFlags.
constexpr uint8_t cap_energyset = 0x01;
constexpr uint8_t cap_hvset = 0x02;
constexpr uint8_t cap_energycontrol = 0x04;
constexpr uint8_t cap_gashandling = 0x08;
constexpr uint8_t cap_sparkgap = 0x10;
constexpr uint8_t cap_shutter = 0x20;
constexpr uint8_t cap_flowmode = 0x40;
constexpr uint8_t cap_allbuttons = 0x80;

// Bits of LaserStatusCopy.modeFlags.
constexpr uint8_t mf_repetition = 0x01;
constexpr uint8_t mf_burst = 0x02;
constexpr uint8_t mf_energycontrol = 0x04;
constexpr uint8_t mf_energylocked = 0x08;
constexpr uint8_t mf_watchcounter = 0x80;

// Bits of LaserStatusCopy.modeFlags2.
constexpr uint8_t mf2_inspection = 0x01;
constexpr uint8_t mf2_nitrogen = 0x02;
constexpr uint8_t mf2_shutteropen = 0x10;

// Notice types (ServerNotice.type).
constexpr uint8_t ex_status = 1;
constexpr uint8_t ex_info = 2;
constexpr uint8_t ex_notify = 3;
constexpr uint8_t ex_statusone = 4;
constexpr uint8_t ex_closing = 7;
constexpr uint8_t ex_fetch = 9;
constexpr uint8_t ex_statusadl = 11;
constexpr uint8_t ex_notifyadl = 12;

// Command codes (LaserCommand.code).
constexpr uint16_t cmd_selectport = 0x1000;
constexpr uint16_t cmd_clientinit = 0x1005;
constexpr uint16_t cmd_autosave = 0x1006;
constexpr uint16_t cmd_online = 0x1010;
constexpr uint16_t cmd_offline = 0x1011;
constexpr uint16_t cmd_laseron = 0x1012;
constexpr uint16_t cmd_laseroff = 0x1013;
constexpr uint16_t cmd_burst = 0x1014;
constexpr uint16_t cmd_repetition = 0x1015;
constexpr uint16_t cmd_triggeroff = 0x1016;
constexpr uint16_t cmd_reprate = 0x1017;
constexpr uint16_t cmd_quantity = 0x1018;
constexpr uint16_t cmd_watchcount = 0x1019;
constexpr uint16_t cmd_newfill = 0x1020;
constexpr uint16_t cmd_presetcounter = 0x1021;
constexpr uint16_t cmd_exttrigger = 0x1022;
constexpr uint16_t cmd_gasmode = 0x1023;
constexpr uint16_t cmd_controlon = 0x1030;
constexpr uint16_t cmd_controloff = 0x1031;
constexpr uint16_t cmd_pemreset = 0x1032;
constexpr uint16_t cmd_hvup = 0x1033;
constexpr uint16_t cmd_hvdown = 0x1034;
constexpr uint16_t cmd_hvset = 0x1035;
constexpr uint16_t cmd_energyup = 0x1036;
constexpr uint16_t cmd_energydown = 0x1037;
constexpr uint16_t cmd_energyset = 0x1038;
constexpr uint16_t cmd_adjustenergy = 0x1039;
constexpr uint16_t cmd_shutteropen = 0x103C;
constexpr uint16_t cmd_shutterclose = 0x103D;
constexpr uint16_t cmd_runsetup1 = 0x1040;
constexpr uint16_t cmd_runcount = 0x1041;
constexpr uint16_t cmd_runsetup2 = 0x1045;
constexpr uint16_t cmd_startserver = 0x1098;
constexpr uint16_t cmd_nocommandcheck = 0x109A;
constexpr uint16_t cmd_sparkgap = 0x1190;
constexpr uint16_t cmd_extendedbase = 0xC000;

// Sub-commands of cmd_gasmode (argument byte 1; byte 0 is always 2).
constexpr uint8_t gas_quit = 0;
constexpr uint8_t gas_externflushing = 3;
constexpr uint8_t gas_internflushing = 4;
constexpr uint8_t gas_nextleakstep = 5;
constexpr uint8_t gas_fillinert = 6;

/// The argument of cmd_gasmode for a sub-command.
constexpr uint32_t GasModeArgument(uint8_t SubCommand) { return 2u | (uint32_t(SubCommand) << 8); }

// Event codes (LinkEvent: byte 0 of a LinkAppMessage's lParam; the parameter is byte 1).
constexpr uint8_t ev_blink1 = '0';
constexpr uint8_t ev_blink2 = '1';
constexpr uint8_t ev_warmup = '2';
constexpr uint8_t ev_device = '3';
constexpr uint8_t ev_pulsedata = '5';
constexpr uint8_t ev_comport = '6';
constexpr uint8_t ev_device7 = '7';
constexpr uint8_t ev_device8 = '8';
constexpr uint8_t ev_txon = '@';
constexpr uint8_t ev_txoff = 'A';
constexpr uint8_t ev_rxon = 'B';
constexpr uint8_t ev_rxoff = 'C';
constexpr uint8_t ev_noconnection = 'D';
constexpr uint8_t ev_lasertype = 'E';
constexpr uint8_t ev_linklost = 'P';
constexpr uint8_t ev_linkback = 'Q';
constexpr uint8_t ev_beep = 'R';
constexpr uint8_t ev_serverclosed = 'p';
constexpr uint8_t ev_runend = 'z';
constexpr uint8_t ev_beep80 = 0x80;
constexpr uint8_t ev_beep82 = 0x82;
constexpr uint8_t ev_beep83 = 0x83;
constexpr uint8_t ev_beep84 = 0x84;
constexpr uint8_t ev_beep85 = 0x85;
constexpr uint8_t ev_beep86 = 0x86;

/// The targets of a notice besides a single window: every client, and the ADL clients only.
constexpr uint32_t LinkAllClients = 0;
constexpr uint32_t LinkAdlClients = 0xFFFFFFFF;

/// The lParam of a posted LinkAppMessage.
constexpr uint32_t LinkEventLParam(uint8_t Event, uint8_t Parameter, uint16_t High)
{
    return uint32_t(Event) + 256u * Parameter + 65536u * High;
}

/// What a client reads from a LinkAppMessage's lParam.
struct LinkEvent {
    uint8_t event;
    uint8_t parameter;
    uint16_t high;
};
constexpr LinkEvent LinkEventOf(intptr_t LParam)
{
    const uint32_t bits = uint32_t(LParam);
    return LinkEvent { uint8_t(bits & 0xFF), uint8_t((bits >> 8) & 0xFF), uint16_t(bits >> 16) };
}

/// Commands pending in a ring with these indexes.
constexpr int PendingCommands(int WriteIndex, int ReadIndex)
{
    int pending = WriteIndex - ReadIndex;
    return pending < 0 ? pending + RingSlots : pending;
}

/// The sequence number that follows Sequence: 1..65520, then 1 again.
constexpr uint16_t NextSequence(uint16_t Sequence) { return Sequence >= 65520 ? 1 : uint16_t(Sequence + 1); }
