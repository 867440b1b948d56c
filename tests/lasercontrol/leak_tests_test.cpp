//===- leak_tests_test.cpp - The leak tests' decisions, driven step by step ---===//
#include "lasercontrol/LeakTests.h"

#include <gtest/gtest.h>

namespace {

/// The optic test started at Start mbar and run over all its blinks.
LeakTests finishedOpticTest(float Start)
{
    LeakTests tests;
    tests.FollowOptic(12, Start);
    for (int i = 0; i < LeakTests::OpticTestBlinks; ++i)
        tests.Blink();
    return tests;
}

TEST(LeakTestsModel, TheCountdownRunsOnlyDuringStep12AndStopsAtZero)
{
    LeakTests tests;
    tests.FollowOptic(12, 2800.0f);
    for (int i = 0; i < 100; ++i)
        tests.Blink();
    tests.FollowOptic(11, 2800.0f);
    tests.Blink();
    EXPECT_FALSE(tests.OpticRunning());
    EXPECT_EQ(tests.Countdown(), LeakTests::OpticTestBlinks - 100) << "stopped: blinks no longer count";
    tests = finishedOpticTest(2800.0f);
    tests.Blink();
    EXPECT_EQ(tests.Countdown(), 0) << "never below 0";
    tests.FollowOptic(10, 2800.0f);
    EXPECT_FALSE(tests.OpticRunning());
    tests.FollowOptic(12, 2800.0f);
    EXPECT_EQ(tests.Countdown(), LeakTests::OpticTestBlinks) << "a new test starts afresh";
}

TEST(LeakTestsModel, DroppingAnEndedTestShowsNoVerdict)
{
    LeakTests tests = finishedOpticTest(2800.0f);
    EXPECT_TRUE(tests.FollowOptic(12, 2900.0f).SendNextStep);
    tests.Drop();
    EXPECT_FALSE(tests.FollowOptic(10, 2900.0f).Result);

    tests = finishedOpticTest(2800.0f);
    tests.FollowOptic(12, 2900.0f);
    const LeakTests::OpticSteps steps = tests.FollowOptic(11, 2900.0f);
    ASSERT_TRUE(steps.Result);
    EXPECT_EQ(*steps.Result, "last leak test successful");
    EXPECT_FALSE(tests.FollowOptic(11, 2900.0f).Result) << "shown once";
}

TEST(LeakTestsModel, TheExternQuestionIsAskedOncePerArrivalAtStep5)
{
    LeakTests tests;
    ASSERT_TRUE(tests.AskExternQuestion(5));
    EXPECT_FALSE(tests.AskExternQuestion(5)) << "asked, still at step 5";
    tests.ExternQuestionAnswered();
    EXPECT_FALSE(tests.AskExternQuestion(5));
    tests.AskExternQuestion(6);
    EXPECT_TRUE(tests.AskExternQuestion(5)) << "back at step 5";

    LeakTests up;
    ASSERT_TRUE(up.AskExternQuestion(5));
    up.AskExternQuestion(6);
    EXPECT_FALSE(up.AskExternQuestion(5)) << "the first question is still on the screen";
}

} // namespace
