//===- client_exports_test.cpp - Registration and the status copy ---------===//
#include "tests/link/LinkFixture.h"

#include <cstring>
#include <sstream>

using ClientExports = LinkFixture;

namespace {

/// The value of "key=" in a status line of link_peer.
unsigned long field(const std::string& Line, const std::string& Key)
{
    std::string padded = " " + Line;
    size_t at = padded.find(" " + Key + "=");
    EXPECT_NE(at, std::string::npos) << Key << " in " << Line;
    return at == std::string::npos ? 0 : std::stoul(padded.substr(at + Key.size() + 2));
}

} // namespace

TEST_F(ClientExports, RegisteringTwiceAnswersRegisteredAndStartsTheServerEachTime)
{
    auto peer = startPeer();
    std::string w = peer->call1("window");
    EXPECT_EQ(peer->call1("register " + w), "0");
    EXPECT_EQ(peer->call1("register " + w), "257");
    EXPECT_EQ(block().info.clientCount, 1);
    EXPECT_EQ(peer->call("events"), (std::vector<std::string> { "EXEC Kelmor32.exe 10", "EXEC Kelmor32.exe 10" }));
}

TEST_F(ClientExports, WindowZeroIsUnknownButStillStartsTheServer)
{
    auto peer = startPeer();
    EXPECT_EQ(peer->call1("register 0"), "259");
    EXPECT_EQ(peer->call1("release 0"), "259");
    EXPECT_EQ(peer->call("events"), (std::vector<std::string> { "EXEC Kelmor32.exe 10" }));
}

TEST_F(ClientExports, ReleasedSlotIsReusedFirstAndNoWindowIsStoredTwice)
{
    auto peer = startPeer();
    std::string a = peer->call1("window"), b = peer->call1("window"), c = peer->call1("window");
    ASSERT_EQ(peer->call1("register " + a), "0");
    ASSERT_EQ(peer->call1("register " + b), "0");
    ASSERT_EQ(peer->call1("release " + a), "0");
    // b sits in slot 2 behind a free slot 1: registering it again must find it, not fill slot 1.
    EXPECT_EQ(peer->call1("register " + b), "257");
    EXPECT_EQ(peer->call1("register " + c), "0");
    LinkSharedBlock& blk = block();
    EXPECT_EQ(blk.clientSlots[0], std::stoul(c));
    EXPECT_EQ(blk.clientSlots[1], std::stoul(b));
    EXPECT_EQ(blk.info.clientCount, 2);
}

TEST_F(ClientExports, EleventhWindowFindsEverySlotTaken)
{
    auto peer = startPeer();
    for (int i = 0; i < ClientSlots; ++i)
        ASSERT_EQ(peer->call1("register " + peer->call1("window")), "0");
    std::string eleventh = peer->call1("window");
    EXPECT_EQ(peer->call1("register " + eleventh), "258");
    EXPECT_EQ(peer->call1("release " + eleventh), "259") << "a refused window was never registered";
    EXPECT_EQ(block().info.clientCount, 10);
}

TEST_F(ClientExports, ReleaseOfUnknownWindowsAnswersUnknown)
{
    auto peer = startPeer();
    std::string a = peer->call1("window"), b = peer->call1("window");
    EXPECT_EQ(peer->call1("release " + a), "259") << "no client registered at all";
    ASSERT_EQ(peer->call1("register " + a), "0");
    EXPECT_EQ(peer->call1("release " + b), "259") << "never registered";
    EXPECT_EQ(peer->call1("release " + a), "0");
    EXPECT_EQ(block().info.clientCount, 0);
}

TEST_F(ClientExports, AdlRegistrationKeepsItsOwnCountAndFlag)
{
    auto peer = startPeer();
    std::string plain = peer->call1("window"), adl = peer->call1("window");
    ASSERT_EQ(peer->call1("register " + plain), "0");
    ASSERT_EQ(peer->call1("registeradl " + adl), "0");
    LinkSharedBlock& blk = block();
    EXPECT_EQ(blk.info.clientCount, 2);
    EXPECT_EQ(blk.info.adlClientCount, 1);
    EXPECT_EQ(blk.adlFlags[0], 0);
    EXPECT_EQ(blk.adlFlags[1], 1);
    ASSERT_EQ(peer->call1("release " + adl), "0");
    EXPECT_EQ(blk.info.clientCount, 1);
    EXPECT_EQ(blk.info.adlClientCount, 0);
    EXPECT_EQ(blk.adlFlags[1], 0);
}

TEST_F(ClientExports, StatusCopyHoldsTheCallersOwnRegionAddresses)
{
    auto server = startPeer();
    auto client = startPeer();
    ASSERT_EQ(server->call1("notice 1 66 1 0 0 0"), "0");
    // Whatever the server wrote into the pointer fields, each process sees its own mapping.
    LinkSharedBlock& blk = block();
    blk.status.copy.energyPtr = 0xDEADBEEF;
    std::string line = client->call1("status");
    unsigned long energy = field(line, "energyPtr");
    EXPECT_NE(energy, 0xDEADBEEFul);
    EXPECT_NE(energy, 0ul);
    EXPECT_EQ(field(line, "abscissaPtr") - energy, 400004ul);
    EXPECT_EQ(field(line, "histogramPtr") - energy, 1200012ul);
    EXPECT_EQ(field(line, "region4Ptr") - energy, 1201036ul);
    EXPECT_EQ(field(line, "ready"), 1ul);

    ASSERT_EQ(server->call1("writeenergy 7 3.5"), "1");
    EXPECT_EQ(client->call1("readenergy 7"), "3.500000") << "the client reads the server's float through energyPtr";
}
