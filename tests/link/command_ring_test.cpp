//===- command_ring_test.cpp - Queueing commands for the server ----------===//
#include "tests/link/LinkFixture.h"

class CommandRingFixture : public LinkFixture {
protected:
    void SetUp() override
    {
        LinkFixture::SetUp();
        server = startPeer();
        serverWindow = server->call1("window");
        ASSERT_EQ(server->call1("server 2C6A91E4 " + serverWindow), "0");
        ASSERT_EQ(server->call1("notice 1 48 0 0 0 0"), "0");
        client = startPeer();
        clientWindow = client->call1("window");
        ASSERT_EQ(client->call1("register " + clientWindow), "0");
    }

    std::string put(int Sequence, const std::string& Code = "1012", const std::string& Argument = "0")
    {
        return client->call1("put " + clientWindow + " " + std::to_string(Sequence) + " " + Code + " " + Argument);
    }

    std::unique_ptr<testsupport::ChildProcess> server, client;
    std::string serverWindow, clientWindow;
};

TEST_F(CommandRingFixture, NineteenCommandsFillTheRingAndAFetchEmptiesIt)
{
    for (int i = 1; i <= 19; ++i)
        ASSERT_EQ(put(i), "0") << "command " << i;
    EXPECT_EQ(put(20), "260");

    std::vector<std::string> fetched = server->call("fetch");
    ASSERT_EQ(fetched.size(), 20u);
    EXPECT_EQ(fetched[0], "0 write=19 read=0");
    EXPECT_EQ(fetched[1], "cmd " + clientWindow + " 1 4114 0 ext0=0 ext139=0");
    EXPECT_EQ(fetched[19], "cmd " + clientWindow + " 19 4114 0 ext0=0 ext139=0");
    EXPECT_EQ(block().ring.writeIndex, 0);

    ASSERT_EQ(put(21, "1017", "50"), "0");
    fetched = server->call("fetch");
    ASSERT_EQ(fetched.size(), 2u);
    EXPECT_EQ(fetched[0], "0 write=1 read=0") << "after a fetch the next command goes into slot 0";
    EXPECT_EQ(fetched[1], "cmd " + clientWindow + " 21 4119 50 ext0=0 ext139=0");
}

TEST_F(CommandRingFixture, EachQueuedCommandWakesTheServer)
{
    const std::string serverMessage = server->call1("servermsg");
    ASSERT_EQ(put(1), "0");
    ASSERT_EQ(put(2), "0");
    std::vector<std::string> got = server->call("wait 2 50000");
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0], "msg " + serverWindow + " " + serverMessage + " 8192 0");
    EXPECT_EQ(got[1], got[0]);
}

TEST_F(CommandRingFixture, FetchOfThreeCommandsIsNotFollowedByAWakeUp)
{
    for (int i = 1; i <= 3; ++i)
        ASSERT_EQ(put(i), "0");
    server->call("wait 3 50000");
    std::vector<std::string> fetched = server->call("fetch");
    ASSERT_EQ(fetched.size(), 4u);
    EXPECT_EQ(fetched[0], "0 write=3 read=0");
    EXPECT_EQ(block().ring.writeIndex, 0);
    EXPECT_EQ(block().ring.readIndex, 0);
    EXPECT_EQ(receivedBeforeAMark(*server, *client, serverWindow), std::vector<std::string> {})
        << "an empty ring wakes nobody";
}

TEST_F(CommandRingFixture, ExtendedDataTravelsWithTheCommand)
{
    ASSERT_EQ(put(1, "C001", "low"), "0");
    std::vector<std::string> fetched = server->call("fetch");
    ASSERT_EQ(fetched.size(), 2u);
    EXPECT_NE(fetched[1].find(" 49153 "), std::string::npos) << fetched[1];
    EXPECT_NE(fetched[1].find("ext0=1 ext139=140"), std::string::npos) << fetched[1];
}

TEST_F(CommandRingFixture, UnreadableExtendedDataIsRefusedWithoutQueueing)
{
    EXPECT_EQ(put(1, "C001", "16"), "259");
    EXPECT_EQ(block().ring.writeIndex, 0);
}

TEST_F(CommandRingFixture, BacklogOfEightyRefusesCommands)
{
    ASSERT_EQ(server->call1("notice 1 48 0 0 0 0 1 80"), "0");
    EXPECT_EQ(put(1), "260");
    ASSERT_EQ(server->call1("notice 1 48 0 0 0 0 1 79"), "0");
    EXPECT_EQ(put(2), "0");
}

TEST_F(CommandRingFixture, ServerNotReadyOrGoneAnswersNoLink)
{
    ASSERT_EQ(server->call1("notice 1 48 0 0 0 0 0"), "0");
    EXPECT_EQ(put(1), "256") << "server not ready";
    ASSERT_EQ(server->call1("notice 1 48 0 0 0 0 1"), "0");
    EXPECT_EQ(put(2), "0");
    block().serverWindow = 0;
    EXPECT_EQ(put(3), "256") << "no server window";
}

TEST_F(CommandRingFixture, RingIndexesOutsideTheRingRefuseAndWriteNothing)
{
    LinkSharedBlock& blk = block();
    blk.ring.writeIndex = 25;
    EXPECT_EQ(put(1), "260");
    blk.ring.writeIndex = 0;
    blk.ring.readIndex = -3;
    EXPECT_EQ(put(2), "260");
    blk.ring.readIndex = 0;
    for (const LaserCommand& c : blk.ring.commands)
        EXPECT_EQ(c.code, 0) << "nothing was written";
    EXPECT_EQ(put(3), "0");
}

TEST_F(CommandRingFixture, StartServerCommandIsNeverQueued)
{
    EXPECT_EQ(put(1, "1098"), "0");
    EXPECT_EQ(block().ring.writeIndex, 0);
    std::vector<std::string> events = client->call("events");
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back(), "EXEC Kelmor32.exe 10");
    EXPECT_EQ(client->call1("putnull"), "259");
}
