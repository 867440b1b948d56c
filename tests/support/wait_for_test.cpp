//===- wait_for_test.cpp - What an expired wait on a condition says ---===//
#include "tests/support/TestSupport.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace {

TEST(WaitForTest, AnExpiredGuardSaysSoBesideTheConditionItWaitedFor)
{
    EXPECT_NONFATAL_FAILURE(EXPECT_TRUE(testsupport::WaitFor([] { return 1 + 1 == 3; }, 50)),
                            "Value of: testsupport::WaitFor([] { return 1 + 1 == 3; }, 50)\n  Actual: false (the "
                            "guard of 50 ms expired before the condition held)");
    EXPECT_TRUE(testsupport::WaitFor([] { return true; }, 0));
}

} // namespace
