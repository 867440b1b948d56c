//===- named_mutex_test.cpp - Named mutex across threads and real processes -===//
#include "platform/kernel/NamedMutex.h"

#include "tests/platform/kernel/HelperProcess.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <memory>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>

using kerneltest::HelperProcess;

namespace {

const std::string Forever = std::to_string(0xFFFFFFFFu);

class NamedMutexTest : public ::testing::Test {
protected:
    void SetUp() override { testsupport::UsePrivateSession(); }
    // Also after a handle was closed while held: the release let go of the object.
    void TearDown() override { EXPECT_EQ(kerneltest::sessionFiles(), std::vector<std::string>()); }

    /// A helper that opened the mutex and holds it.
    static std::unique_ptr<HelperProcess> holder(const std::string& Name)
    {
        auto helper = std::make_unique<HelperProcess>(std::vector<std::string> { "serve" });
        EXPECT_NE(helper->ask("mutex " + Name), "null");
        EXPECT_EQ(helper->ask("wait " + Forever), "0");
        return helper;
    }
};

TEST_F(NamedMutexTest, KilledOwnerIsReportedOnceAndTheMutexWorksOn)
{
    auto mutex = NamedMutex::Create("crash");
    ASSERT_TRUE(mutex);
    EXPECT_TRUE(mutex->CreatedHere());
    auto owner = holder("crash");
    owner->kill(SIGKILL);
    owner->wait();

    EXPECT_EQ(mutex->Wait(10000), WAIT_ABANDONED);
    EXPECT_TRUE(mutex->Release());
    EXPECT_EQ(mutex->Wait(0), WAIT_OBJECT_0) << "abandonment is reported once";
    EXPECT_TRUE(mutex->Release());

    HelperProcess other({ "serve" });
    EXPECT_EQ(other.ask("mutex crash"), "opened");
    EXPECT_EQ(other.ask("wait 0"), "0") << "a consistent mutex blocks nobody";
    EXPECT_EQ(other.ask("release"), "1");
}

TEST_F(NamedMutexTest, TryLockOfAKilledOwnersMutexReportsAbandonment)
{
    auto mutex = NamedMutex::Create("crash0");
    ASSERT_TRUE(mutex);
    holder("crash0")->kill(SIGKILL); // reaped as the temporary goes
    EXPECT_EQ(mutex->Wait(0), WAIT_ABANDONED);
    EXPECT_TRUE(mutex->Release());
}

TEST_F(NamedMutexTest, OwnerEndingWithoutReleaseAbandonsIt)
{
    auto mutex = NamedMutex::Create("ended");
    ASSERT_TRUE(mutex);
    auto owner = holder("ended");
    owner->send("exit");
    EXPECT_EQ(owner->wait(), 0);
    EXPECT_EQ(mutex->Wait(10000), WAIT_ABANDONED);
    EXPECT_TRUE(mutex->Release());
}

TEST_F(NamedMutexTest, WaitAgainstALiveHolderTimesOut)
{
    auto mutex = NamedMutex::Create("busy");
    ASSERT_TRUE(mutex);
    auto owner = holder("busy");
    EXPECT_EQ(mutex->Wait(50), WAIT_TIMEOUT);
    EXPECT_EQ(mutex->Wait(0), WAIT_TIMEOUT);
    EXPECT_FALSE(mutex->Release()) << "a timed-out wait holds nothing";

    EXPECT_EQ(owner->ask("release"), "1");
    EXPECT_EQ(mutex->Wait(0), WAIT_OBJECT_0) << "released normally, so not abandoned";
    EXPECT_TRUE(mutex->Release());
}

TEST_F(NamedMutexTest, EndlessWaitReturnsWhenTheHolderReleases)
{
    auto mutex = NamedMutex::Create("handover");
    ASSERT_TRUE(mutex);
    ASSERT_EQ(mutex->Wait(0), WAIT_OBJECT_0);
    HelperProcess waiter({ "serve" });
    ASSERT_EQ(waiter.ask("mutex handover"), "opened");
    waiter.send("wait " + Forever);
    EXPECT_TRUE(mutex->Release());
    EXPECT_EQ(waiter.readLine(), "0");
    EXPECT_EQ(mutex->Wait(0), WAIT_TIMEOUT) << "now the helper holds it";
    EXPECT_EQ(waiter.ask("release"), "1");
}

TEST_F(NamedMutexTest, RecursiveForTheOwningThread)
{
    auto mutex = NamedMutex::Create("again");
    ASSERT_TRUE(mutex);
    HelperProcess other({ "serve" });
    ASSERT_EQ(other.ask("mutex again"), "opened");

    EXPECT_EQ(mutex->Wait(0), WAIT_OBJECT_0);
    EXPECT_EQ(mutex->Wait(1000), WAIT_OBJECT_0);
    EXPECT_TRUE(mutex->Release());
    EXPECT_EQ(other.ask("wait 0"), std::to_string(WAIT_TIMEOUT)) << "still held once";
    EXPECT_TRUE(mutex->Release());
    EXPECT_FALSE(mutex->Release()) << "released as often as taken";
    EXPECT_EQ(other.ask("wait 0"), "0");
    EXPECT_EQ(other.ask("release"), "1");
}

TEST_F(NamedMutexTest, OwnershipBelongsToAThreadNotToTheProcess)
{
    auto mutex = NamedMutex::Create("thread");
    ASSERT_TRUE(mutex);
    ASSERT_EQ(mutex->Wait(0), WAIT_OBJECT_0);
    uint32_t otherWait = 0;
    bool otherRelease = true;
    std::thread other([&] {
        otherWait = mutex->Wait(50);
        otherRelease = mutex->Release();
    });
    other.join();
    EXPECT_EQ(otherWait, WAIT_TIMEOUT);
    EXPECT_FALSE(otherRelease);
    EXPECT_TRUE(mutex->Release());
}

TEST_F(NamedMutexTest, ThreadEndingWhileHoldingAbandonsIt)
{
    auto mutex = NamedMutex::Create("thread-ends");
    ASSERT_TRUE(mutex);
    std::thread([&] { EXPECT_EQ(mutex->Wait(0), WAIT_OBJECT_0); }).join();
    EXPECT_EQ(mutex->Wait(10000), WAIT_ABANDONED);
    // A new thread may reuse the dead one's resources; it still holds nothing.
    bool strangerReleased = true;
    std::thread([&] { strangerReleased = mutex->Release(); }).join();
    EXPECT_FALSE(strangerReleased);
    EXPECT_TRUE(mutex->Release());
    EXPECT_FALSE(mutex->Release());
}

TEST_F(NamedMutexTest, ReleaseWithoutHoldingAnswersFalse)
{
    auto mutex = NamedMutex::Create("unheld");
    ASSERT_TRUE(mutex);
    EXPECT_FALSE(mutex->Release());
    EXPECT_EQ(mutex->Wait(0), WAIT_OBJECT_0) << "a refused release changes nothing";
    EXPECT_TRUE(mutex->Release());
}

TEST_F(NamedMutexTest, HandlesOfOneProcessShareTheMutex)
{
    auto first = NamedMutex::Create("handles");
    auto second = NamedMutex::Create("handles");
    ASSERT_TRUE(first && second);
    EXPECT_TRUE(first->CreatedHere());
    EXPECT_FALSE(second->CreatedHere());
    EXPECT_EQ(first->Wait(0), WAIT_OBJECT_0);
    EXPECT_EQ(second->Wait(0), WAIT_OBJECT_0) << "the same thread, the same mutex";
    EXPECT_TRUE(second->Release());
    EXPECT_TRUE(first->Release());
    EXPECT_FALSE(second->Release());
}

TEST_F(NamedMutexTest, ClosedHandleDoesNotEndOwnership)
{
    HelperProcess other({ "serve" });
    auto mutex = NamedMutex::Create("closed");
    ASSERT_TRUE(mutex);
    ASSERT_EQ(other.ask("mutex closed"), "opened");
    ASSERT_EQ(mutex->Wait(0), WAIT_OBJECT_0);
    mutex.reset();
    EXPECT_EQ(other.ask("wait 0"), std::to_string(WAIT_TIMEOUT)) << "this thread still owns it";

    auto reopened = NamedMutex::Create("closed");
    ASSERT_TRUE(reopened);
    EXPECT_FALSE(reopened->CreatedHere());
    EXPECT_TRUE(reopened->Release()) << "the owner releases through another handle";
    EXPECT_EQ(other.ask("wait 0"), "0");
    EXPECT_EQ(other.ask("release"), "1");
}

TEST_F(NamedMutexTest, MutexStartsAfreshWhenAllUsersAreGone)
{
    auto owner = holder("fresh");
    owner->kill(SIGKILL);
    owner->wait();
    // Nobody used it any more when its owner died: a new, unowned mutex, not an abandoned one.
    auto mutex = NamedMutex::Create("fresh");
    ASSERT_TRUE(mutex);
    EXPECT_TRUE(mutex->CreatedHere());
    EXPECT_EQ(mutex->Wait(0), WAIT_OBJECT_0);
    EXPECT_TRUE(mutex->Release());
}

TEST_F(NamedMutexTest, MemoryOfAKilledOwnerThatLivesOnHoldsNothing)
{
    // The test adopts the owner's orphan, so that it can reap it.
    ASSERT_EQ(prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
    auto owner = holder("lent");
    const pid_t lender = std::atoi(owner->ask("lend-memory").c_str());
    ASSERT_GT(lender, 0);
    owner->kill(SIGKILL);
    owner->wait();
    // The owner's mapping of the mutex lives on in the lender, but the owner is gone.
    auto mutex = NamedMutex::Create("lent");
    ASSERT_TRUE(mutex);
    EXPECT_TRUE(mutex->CreatedHere());
    EXPECT_EQ(mutex->Wait(0), WAIT_OBJECT_0);
    EXPECT_TRUE(mutex->Release());
    kill(lender, SIGKILL);
    EXPECT_EQ(waitpid(lender, nullptr, 0), lender);
}

TEST_F(NamedMutexTest, UnnamedMutexesAreDistinct)
{
    auto first = NamedMutex::Create("");
    auto second = NamedMutex::Create("");
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->Wait(0), WAIT_OBJECT_0);
    uint32_t otherThread = WAIT_FAILED;
    std::thread([&] {
        otherThread = second->Wait(0);
        second->Release();
    }).join();
    EXPECT_EQ(otherThread, WAIT_OBJECT_0);
    EXPECT_TRUE(first->Release());
}

} // namespace
