//===- simulator_process_test.cpp - Kelmor32 and scripted clients as real processes ---===//
//
// Each test has a session of its own, a settings file that makes the simulator fast (short
// blink period, large time scale, no warm-up) and a command log. The client registers like the
// programs do, which starts Kelmor32 beside it through the link library.
//
#include "link/LinkRecords.h"
#include "tests/laserserver/RunningProgram.h"
#include "tests/support/TestSupport.h"

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <gtest/gtest.h>

namespace {

const char* const TestSettings = R"([Laser]
PulseCounter=0
MaxRepRate=2000
[Simulator]
TimeScale=100
WarmupSeconds=0
LaserOnSeconds=0
GasPhaseSeconds=10
OpticChangeSeconds=50
OpticOpenSeconds=300
BlinkPeriod=20
TickPeriod=10
StatusPeriod=50
PulseNoticePeriod=50
IdleSeconds=20
Seed=5
)";

std::string Send(uint16_t Code, uint32_t Argument = 0)
{
    return "send " + std::to_string(Code) + " " + std::to_string(Argument);
}

std::string GasMode(uint8_t SubCommand) { return Send(cmd_gasmode, GasModeArgument(SubCommand)); }

/// The notices ("notice <event> <parameter>") in the order they came, as "<event><parameter>".
std::vector<std::string> NoticesOf(const std::vector<std::string>& Lines)
{
    std::vector<std::string> notices;
    for (const std::string& line : Lines)
        if (line.rfind("notice ", 0) == 0)
            notices.push_back(line.substr(7, line.find(' ', 7) - 7));
    return notices;
}

bool Has(const std::vector<std::string>& Lines, const std::string& Line)
{
    return std::find(Lines.begin(), Lines.end(), Line) != Lines.end();
}

size_t IndexOf(const std::vector<std::string>& Items, const std::string& Item, size_t From = 0)
{
    auto it = std::find(Items.begin() + long(std::min(From, Items.size())), Items.end(), Item);
    return size_t(it - Items.begin());
}

class SimulatorProcesses : public ::testing::Test {
protected:
    void SetUp() override
    {
        testsupport::UsePrivateSession();
        std::ofstream(Dir.file("Kelmor32.INI")) << TestSettings;
        setenv("KELMOR32_INI", Dir.file("Kelmor32.INI").c_str(), 1);
        setenv("KELMOR32_LOG", Dir.file("commands.log").c_str(), 1);
    }

    void TearDown() override
    {
        // Whatever server this session still has is asked to close.
        RunningProgram cleanup(Bin("laserserver_test_client"), { "--no-register", "closeserver" });
        cleanup.ReadUntil("done");
        cleanup.wait();
    }

    static std::string Bin(const std::string& Name) { return testsupport::BinDir() + "/" + Name; }

    /// Runs the client with Script to its end ("done"); answers its lines.
    std::vector<std::string> RunClient(const std::vector<std::string>& Script)
    {
        RunningProgram client(Bin("laserserver_test_client"), Script);
        client.ReadUntil("done");
        EXPECT_EQ(client.wait(), 0) << Joined(client.Lines());
        return client.Lines();
    }

    /// The command log: one entry per line, "<sequence> 0x<code> <argument> <name>"; notes skipped.
    std::vector<std::string> LoggedCommands()
    {
        std::ifstream in(Dir.file("commands.log"));
        std::vector<std::string> commands;
        for (std::string line; std::getline(in, line);)
            if (!line.empty() && line[0] != '#')
                commands.push_back(line);
        return commands;
    }

    int LoggedNotes(const std::string& Start)
    {
        std::ifstream in(Dir.file("commands.log"));
        int count = 0;
        for (std::string line; std::getline(in, line);)
            count += line.rfind("# " + Start, 0) == 0;
        return count;
    }

    static std::string Joined(const std::vector<std::string>& Lines)
    {
        std::string text;
        for (const std::string& line : Lines)
            text += line + "\n";
        return text;
    }

    testsupport::TempDir Dir;
};

TEST_F(SimulatorProcesses, BurstReachesTheServerAndStopsAfterItsQuantity)
{
    std::vector<std::string> lines = RunClient({
        "wait E",
        "print serverReady serverVersionLevel comPort",
        Send(cmd_laseron),
        "until stateFlags has 32",
        Send(cmd_quantity, 25),
        Send(cmd_reprate, 500),
        Send(cmd_burst),
        "until pulseCounter >= 25",
        "until stateFlags lacks 64",
        "print pulseCounter watchCounter",
        "closeserver",
        "wait p",
    });
    EXPECT_TRUE(Has(lines, "registered 0")) << Joined(lines);
    EXPECT_TRUE(Has(lines, "serverReady=1"));
    EXPECT_TRUE(Has(lines, "serverVersionLevel=89")) << "'Y'";
    EXPECT_TRUE(Has(lines, "comPort=1"));
    EXPECT_TRUE(Has(lines, "put 0x1014 0"));
    EXPECT_TRUE(Has(lines, "pulseCounter=25")) << Joined(lines);
    EXPECT_TRUE(Has(lines, "watchCounter=25"));

    std::vector<std::string> notices = NoticesOf(lines);
    ASSERT_GE(notices.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(notices.begin(), notices.begin() + 3),
              (std::vector<std::string> { "6", "3", "E" }));
    EXPECT_LT(IndexOf(notices, "@"), IndexOf(notices, "A")) << "transmit lamp around the commands";
    EXPECT_EQ(notices.back(), "p");

    std::vector<std::string> logged = LoggedCommands();
    ASSERT_EQ(logged.size(), 4u) << Joined(logged);
    EXPECT_EQ(logged[0], "1 0x1012 0 cmd_laseron");
    EXPECT_EQ(logged[1], "2 0x1018 25 cmd_quantity");
    EXPECT_EQ(logged[2], "3 0x1017 500 cmd_reprate");
    EXPECT_EQ(logged[3], "4 0x1014 0 cmd_burst");
}

TEST_F(SimulatorProcesses, MeasurementRunWritesPulsesBeforeEachNoticeAndEndsWithHistogramAndZ)
{
    std::vector<std::string> lines = RunClient({
        "wait E",
        Send(cmd_laseron),
        "until stateFlags has 32",
        Send(cmd_runsetup1),
        Send(cmd_runsetup2),
        Send(cmd_shutterclose),
        Send(cmd_runcount, 200),
        Send(cmd_reprate, 1000),
        Send(cmd_hvset, 50),
        Send(cmd_repetition),
        "wait z",
        "run",
        "closeserver",
        "wait p",
    });
    // Every pulse notice finds the samples it announces in the regions.
    int notices = 0, lastSamples = 0;
    for (const std::string& line : lines) {
        int samples, written, current, total;
        if (std::sscanf(line.c_str(), "pulsedata samples=%d written=%d current=%d total=%d", &samples, &written,
                        &current, &total)
            == 4) {
            ++notices;
            EXPECT_EQ(written, samples) << line;
            EXPECT_GE(samples, lastSamples);
            EXPECT_EQ(total, 200);
            lastSamples = samples;
        }
    }
    EXPECT_GT(notices, 0) << Joined(lines);
    EXPECT_EQ(lastSamples, 200);
    std::vector<std::string> n = NoticesOf(lines);
    EXPECT_LT(IndexOf(n, "5"), IndexOf(n, "z"));

    // The statistics agree with the pulses in the regions.
    float mean = 0, deviation = 0;
    int samples = 0, selected = 0;
    std::vector<double> energies;
    std::map<int, int> bins;
    for (const std::string& line : lines) {
        int index, bin, count;
        float energy;
        if (std::sscanf(line.c_str(), "run samples=%d mean=%f deviation=%f selected=%d", &samples, &mean, &deviation,
                        &selected)
            == 4)
            continue;
        if (std::sscanf(line.c_str(), "energy %d %f", &index, &energy) == 2)
            energies.push_back(energy);
        else if (std::sscanf(line.c_str(), "bin %d %d", &bin, &count) == 2)
            bins[bin] = count;
    }
    ASSERT_EQ(samples, 200) << Joined(lines);
    ASSERT_EQ(energies.size(), 200u);
    EXPECT_EQ(selected, 200);
    double sum = 0, squares = 0;
    std::map<int, int> expectedBins;
    for (double e : energies) {
        sum += e;
        ++expectedBins[int(std::lround(e))];
    }
    double average = sum / 200;
    for (double e : energies)
        squares += (e - average) * (e - average);
    EXPECT_NEAR(mean, average, 1e-3);
    EXPECT_NEAR(deviation, 100 * std::sqrt(squares / 199) / average, 1e-3);
    EXPECT_EQ(bins, expectedBins);
}

TEST_F(SimulatorProcesses, ClosingStatusShowsTheLaserOff)
{
    std::vector<std::string> lines = RunClient({
        "wait E",
        Send(cmd_laseron),
        "until stateFlags has 32",
        Send(cmd_reprate, 100),
        Send(cmd_repetition),
        "until stateFlags has 64",
        "print modeFlags",
        "closeserver",
        "wait p",
        "print stateFlags modeFlags",
    });
    EXPECT_TRUE(Has(lines, "modeFlags=1")) << "repetition while it fired\n" << Joined(lines);
    int stateFlags = -1, modeFlags = -1;
    for (const std::string& line : lines) {
        std::sscanf(line.c_str(), "stateFlags=%d", &stateFlags);
        std::sscanf(line.c_str(), "modeFlags=%d", &modeFlags);
    }
    EXPECT_EQ(stateFlags & (sf_firing | sf_highvoltage | sf_ready), 0) << Joined(lines);
    EXPECT_EQ(stateFlags & sf_online, sf_online) << "the rest of the status stays";
    EXPECT_EQ(modeFlags & (mf_repetition | mf_burst), 0);
}

TEST_F(SimulatorProcesses, GasSequencesAdvanceWithSubCommandsAndTime)
{
    std::vector<std::string> lines = RunClient({
        "wait E",
        GasMode(gas_externflushing),
        "until step == 5",
        GasMode(gas_nextleakstep),
        "until step == 7",
        Send(cmd_laseroff),
        Send(cmd_newfill),
        "until stateFlags lacks 4",
        "print pressure",
        GasMode(gas_internflushing),
        "until step == 11",
        "until step == 10",
        GasMode(gas_nextleakstep),
        "until step == 12",
        GasMode(gas_nextleakstep),
        "until step == 10",
        GasMode(gas_quit),
        "until stateFlags lacks 4",
        "steps",
        "closeserver",
        "wait p",
    });
    EXPECT_TRUE(Has(lines, "pressure=2800")) << Joined(lines);
    std::string steps;
    for (const std::string& line : lines)
        if (line.rfind("steps", 0) == 0)
            steps = line;
    // The steps that wait for the operator are seen for certain; the passing ones may be missed.
    std::istringstream in(steps.substr(5));
    std::vector<int> seen;
    for (int step; in >> step;)
        seen.push_back(step);
    const std::vector<int> waiting { 5, 7, 0, 11, 10, 12, 10, 0 };
    auto at = seen.begin();
    for (int step : waiting) {
        at = std::find(at, seen.end(), step);
        ASSERT_NE(at, seen.end()) << "step " << step << " missing in " << steps;
    }
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "notice R 0"), 0) << "no command was refused";
}

TEST_F(SimulatorProcesses, BlinkEventsAlternateLitAndDark)
{
    std::vector<std::string> lines = RunClient({ "wait E", "wait 0 6", "wait 1 6", "blinks", "closeserver", "wait p" });
    std::string blinks;
    for (const std::string& line : lines)
        if (line.rfind("blinks", 0) == 0)
            blinks = line;
    std::istringstream in(blinks.substr(6));
    std::vector<int> phases;
    for (int p; in >> p;)
        phases.push_back(p);
    ASSERT_GE(phases.size(), 6u) << blinks;
    for (size_t i = 1; i < phases.size(); ++i)
        EXPECT_NE(phases[i] > 0, phases[i - 1] > 0) << blinks;
}

TEST_F(SimulatorProcesses, SecondCopyLeavesAtOnceAndAsksTheServerToAnnounceAgain)
{
    RunningProgram client(Bin("laserserver_test_client"),
                          { "wait E", "waitfile " + Dir.file("go"), "wait E", "closeserver", "wait p" });
    ASSERT_EQ(client.ReadUntil("notice E 0"), "notice E 0");

    RunningProgram second(Bin("Kelmor32"), {});
    std::vector<std::string> output = second.ReadAll();
    EXPECT_EQ(second.wait(), 0);
    ASSERT_EQ(output.size(), 1u) << Joined(output);
    EXPECT_NE(output[0].find("running already"), std::string::npos) << output[0];

    std::ofstream(Dir.file("go")) << "go";
    client.ReadUntil("done");
    EXPECT_EQ(client.wait(), 0) << Joined(client.Lines());
    EXPECT_TRUE(Has(client.Lines(), "notice p 0"));
    EXPECT_EQ(LoggedNotes("Kelmor32 ready"), 1) << "one server for both starts";
}

TEST_F(SimulatorProcesses, ServerWhoseWindowIsGoneIsReplaced)
{
    RunningProgram first(Bin("Kelmor32"), {});
    ASSERT_NE(first.ReadUntil("Kelmor32: laser simulator ready"), "");
    // This client keeps the block alive while the server dies.
    RunningProgram witness(Bin("laserserver_test_client"), { "wait E", "waitfile " + Dir.file("go"), "wait E",
                                                             "print serverReady", "closeserver", "wait p" });
    ASSERT_EQ(witness.ReadUntil("notice E 0"), "notice E 0") << Joined(witness.Lines());
    first.kill(SIGKILL);
    EXPECT_EQ(first.wait(), 128 + SIGKILL);
    std::ofstream(Dir.file("go")) << "go";

    // The block still says ready, but nobody is behind the window: the next start takes over.
    std::vector<std::string> lines = RunClient({ "wait E" });
    EXPECT_TRUE(Has(lines, "notice E 0")) << Joined(lines);
    witness.ReadUntil("done");
    EXPECT_EQ(witness.wait(), 0) << Joined(witness.Lines());
    EXPECT_TRUE(Has(witness.Lines(), "serverReady=1"));
    EXPECT_TRUE(Has(witness.Lines(), "notice p 0"));
    EXPECT_EQ(LoggedNotes("Kelmor32 ready"), 2) << "the killed server and its successor";
}

TEST_F(SimulatorProcesses, KilledServerTakesNoCommandsAndItsSuccessorFiresNoneLeftBehind)
{
    RunningProgram first(Bin("Kelmor32"), {});
    ASSERT_NE(first.ReadUntil("Kelmor32: laser simulator ready"), "");
    RunningProgram client(Bin("laserserver_test_client"),
                          { "wait E", "waitfile " + Dir.file("stopped"), Send(cmd_laseron),
                            "waitfile " + Dir.file("killed"), Send(cmd_laseron), "waitfile " + Dir.file("restarted"),
                            "wait E", Send(cmd_reprate, 77), "until repRate == 77", "closeserver", "wait p" });
    ASSERT_EQ(client.ReadUntil("notice E 0"), "notice E 0") << Joined(client.Lines());

    // A stopped server still has its window: the command is queued and stays in the ring.
    first.kill(SIGSTOP);
    std::ofstream(Dir.file("stopped")) << "go";
    EXPECT_EQ(client.ReadUntil("put "), "put 0x1012 0");
    first.kill(SIGKILL);
    EXPECT_EQ(first.wait(), 128 + SIGKILL);
    std::ofstream(Dir.file("killed")) << "go";
    EXPECT_EQ(client.ReadUntil("put "), "put 0x1012 256") << "the block still says ready, but the window is gone";

    RunningProgram second(Bin("Kelmor32"), {});
    ASSERT_NE(second.ReadUntil("Kelmor32: laser simulator ready"), "") << Joined(second.Lines());
    std::ofstream(Dir.file("restarted")) << "go";
    client.ReadUntil("done");
    EXPECT_EQ(client.wait(), 0) << Joined(client.Lines());
    EXPECT_EQ(LoggedCommands(), std::vector<std::string> { "3 0x1017 77 cmd_reprate" })
        << "the first LASER ON never fires";
    EXPECT_EQ(LoggedNotes("dropped 1 command(s)"), 1);
}

TEST_F(SimulatorProcesses, TerminateSignalClosesWithThePNotice)
{
    RunningProgram server(Bin("Kelmor32"), {});
    ASSERT_NE(server.ReadUntil("Kelmor32: laser simulator ready"), "");
    RunningProgram client(Bin("laserserver_test_client"), { "wait E", "wait p", Send(cmd_laseron) });
    // The client's registration started a second copy, which left and had the server announce.
    ASSERT_EQ(client.ReadUntil("notice E 0"), "notice E 0") << Joined(client.Lines());
    server.kill(SIGTERM);
    EXPECT_EQ(server.ReadUntil("Kelmor32: closed"), "Kelmor32: closed");
    EXPECT_EQ(server.wait(), 0);
    client.ReadUntil("done");
    EXPECT_EQ(client.wait(), 0) << Joined(client.Lines());
    EXPECT_TRUE(Has(client.Lines(), "notice p 0"));
    EXPECT_TRUE(Has(client.Lines(), "put 0x1012 256")) << "no server: putcommand answers LINK_NOLINK";
}

} // namespace
