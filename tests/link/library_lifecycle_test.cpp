//===- library_lifecycle_test.cpp - Loading, counting and locking across processes ---===//
#include "tests/link/LinkFixture.h"
#include "tests/support/OtherUser.h"

#include <csignal>
#include <cstring>

using LibraryLifecycle = LinkFixture;

TEST_F(LibraryLifecycle, FirstProcessMakesTheBlockAndSecondOnlyCountsItself)
{
    auto first = startPeer();
    EXPECT_EQ(first->call1("info"), "0 clients=0 adl=0 processes=1 banner=KELMOR32.DLL Version 3.2");
    LinkSharedBlock& b = block();
    EXPECT_EQ(b.serverWindow, 0u);
    EXPECT_EQ(b.ring.writeIndex, 0);
    EXPECT_EQ(b.ring.readIndex, 0);

    auto second = startPeer();
    EXPECT_EQ(second->call1("info"), "0 clients=0 adl=0 processes=2 banner=KELMOR32.DLL Version 3.2");

    second->call("exit");
    EXPECT_EQ(second->wait(), 0);
    EXPECT_EQ(b.info.processCount, 1);
    first->call("exit");
    EXPECT_EQ(first->wait(), 0);
    EXPECT_EQ(b.info.processCount, 0) << "the last process uncounts itself on unload";
}

TEST_F(LibraryLifecycle, BlockStartsAfreshOnceEveryUserHasEnded)
{
    {
        auto a = startPeer();
        auto b = startPeer();
        std::string w = a->call1("window");
        ASSERT_EQ(a->call1("register " + w), "0");
        a->call("exit");
        b->call("exit");
        a->wait();
        b->wait();
    }
    auto fresh = startPeer();
    EXPECT_EQ(fresh->call1("info"), "0 clients=0 adl=0 processes=1 banner=KELMOR32.DLL Version 3.2");
}

TEST_F(LibraryLifecycle, BlockStartsAfreshAfterAUserWasKilled)
{
    {
        auto killed = startPeer();
        auto other = startPeer();
        std::string w = killed->call1("window");
        ASSERT_EQ(killed->call1("register " + w), "0");
        ASSERT_EQ(other->call1("info"), "0 clients=1 adl=0 processes=2 banner=KELMOR32.DLL Version 3.2");
        killed->kill(SIGKILL);
        killed->wait();
        // The survivor still sees the dead one's slot and count: they live in the block.
        EXPECT_EQ(other->call1("info"), "0 clients=1 adl=0 processes=2 banner=KELMOR32.DLL Version 3.2");
        other->call("exit");
        other->wait();
    }
    auto fresh = startPeer();
    EXPECT_EQ(fresh->call1("info"), "0 clients=0 adl=0 processes=1 banner=KELMOR32.DLL Version 3.2");
}

TEST_F(LibraryLifecycle, FailingMappingShowsBothBoxesAndEveryExportAnswersNoLink)
{
    testsupport::TempDir dir;
    // A session name too long for any object name makes the system refuse the mutex and the block.
    std::string session(300, 's');
    auto peer = startPeer({ "VARNEX_SESSION=" + session }, dir.file("stderr"));
    EXPECT_EQ(peer->call1("register 5"), "256");
    EXPECT_EQ(peer->call1("release 5"), "256");
    EXPECT_EQ(peer->call1("put 5 1 1012 0"), "256");
    EXPECT_EQ(peer->call1("status"), "null");
    EXPECT_EQ(peer->call1("notice 1 66 1 0 0 0"), "256");
    EXPECT_EQ(peer->call1("put 5 1 1098 0"), "0") << "starting the server needs no block";
    EXPECT_EQ(peer->call("events"), (std::vector<std::string> { "EXEC Kelmor32.exe 10" }))
        << "no registration started the server";
    peer->call("exit");
    EXPECT_EQ(peer->wait(), 0);

    std::string boxes = testsupport::ReadFile(dir.file("stderr"));
    size_t mutexBox = boxes.find("cannot create ecximerdll32mutex");
    size_t mappingBox = boxes.find("TSharedmemory createfilemapping error");
    size_t viewBox = boxes.find("Tfilemapping map view error");
    EXPECT_NE(mutexBox, std::string::npos) << boxes;
    ASSERT_NE(mappingBox, std::string::npos) << boxes;
    ASSERT_NE(viewBox, std::string::npos) << boxes;
    EXPECT_LT(mutexBox, mappingBox);
    EXPECT_LT(mappingBox, viewBox);
}

TEST_F(LibraryLifecycle, BlockTooSmallForTheRecordsGetsNoViewAndAnswersNoLink)
{
    testsupport::TempDir dir;
    auto small = FileMapping::Create(LinkBlockName, 4096);
    ASSERT_TRUE(small);
    ASSERT_TRUE(small->CreatedHere());
    auto peer = startPeer({}, dir.file("stderr"));
    EXPECT_EQ(peer->call1("status"), "null");
    EXPECT_EQ(peer->call1("register 5"), "256");
    EXPECT_EQ(peer->call1("notice 3 66 1 0 0 0"), "256");
    peer->call("exit");
    EXPECT_EQ(peer->wait(), 0) << "the library must not touch the block past its end";
    EXPECT_NE(testsupport::ReadFile(dir.file("stderr")).find("Tfilemapping map view error"), std::string::npos);
}

TEST_F(LibraryLifecycle, OneMutexTimeoutBoxPerRunOfTimeouts)
{
    auto holder = startPeer();
    auto client = startPeer({ "VARNEX_LINK_TIMEOUT_MS=50" });
    std::string w = client->call1("window");
    ASSERT_EQ(holder->call1("lock"), "0");

    EXPECT_EQ(client->call1("register " + w), "261");
    EXPECT_EQ(client->call1("release " + w), "261");
    EXPECT_EQ(client->call1("put " + w + " 1 1012 0"), "261");
    EXPECT_EQ(client->call("events"), (std::vector<std::string> { "BOX Error|Mutex timeout", "EXEC Kelmor32.exe 10" }))
        << "three time-outs, one box; registration still starts the server";

    ASSERT_EQ(holder->call1("unlock"), "1");
    EXPECT_EQ(client->call1("register " + w), "0");
    ASSERT_EQ(holder->call1("lock"), "0");
    EXPECT_EQ(client->call1("release " + w), "261");
    EXPECT_EQ(client->call("events"), (std::vector<std::string> { "EXEC Kelmor32.exe 10", "BOX Error|Mutex timeout" }))
        << "a successful wait ends the run, so the next time-out shows the box again";
}

TEST_F(LibraryLifecycle, MutexOfAKilledHolderFailsOnceThenWorks)
{
    auto holder = startPeer();
    auto client = startPeer();
    std::string w = client->call1("window");
    ASSERT_EQ(holder->call1("lock"), "0");
    holder->kill(SIGKILL);
    holder->wait();

    EXPECT_EQ(client->call1("register " + w), "261") << "the abandoned mutex is reported once";
    EXPECT_EQ(client->call1("register " + w), "0") << "and then never blocks anybody";
    EXPECT_EQ(client->call1("release " + w), "0");
    for (const std::string& e : client->call("events"))
        EXPECT_EQ(e.rfind("BOX", 0), std::string::npos) << "an abandoned mutex is no time-out: " << e;
}

TEST_F(LibraryLifecycle, AFolderPlantedByAnotherUserIsNamedAfterTheBoxesOfAMissingBlock)
{
    if (std::string why = testsupport::WhyNoOtherUser(); !why.empty())
        GTEST_SKIP() << why;
    testsupport::SharedRuntimeFolder runtime;
    ASSERT_EQ(testsupport::RunAsOtherUser({ "/bin/mkdir", "-m", "0777", runtime.objects() }), 0);
    const std::string refusal = "the folder of named objects " + runtime.objects() + " is refused: it belongs to user "
                                + std::to_string(testsupport::OtherUserId());

    testsupport::TempDir dir;
    auto peer = startPeer({}, dir.file("stderr"));
    EXPECT_EQ(peer->call1("register 5"), "256") << "the library answers as for a missing block";
    EXPECT_EQ(peer->call1("status"), "null");
    peer->call("exit");
    EXPECT_EQ(peer->wait(), 0);
    const std::string boxes = testsupport::ReadFile(dir.file("stderr"));
    const size_t mappingBox = boxes.find("TSharedmemory createfilemapping error");
    ASSERT_NE(mappingBox, std::string::npos) << boxes;
    const size_t refusalBox = boxes.find("Error: " + refusal);
    ASSERT_NE(refusalBox, std::string::npos) << boxes;
    EXPECT_EQ(boxes.find(refusal, refusalBox + 7 + refusal.size()), std::string::npos)
        << "one box for the mutex and the block";

    // The simulator cannot serve either, and says why.
    testsupport::ChildProcess server({ testsupport::BinDir() + "/Kelmor32" }, {}, dir.file("server"));
    EXPECT_EQ(server.wait(), 1);
    EXPECT_NE(testsupport::ReadFile(dir.file("server")).find("Kelmor32: " + refusal), std::string::npos)
        << testsupport::ReadFile(dir.file("server"));

    EXPECT_EQ(testsupport::RunAsOtherUser({ "/bin/rmdir", runtime.objects() }), 0) << "the planted folder was used";
}
