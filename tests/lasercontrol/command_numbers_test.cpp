//===- command_numbers_test.cpp - The numbers of Heliant's commands ---===//
#include "lasercontrol/CommandNumbers.h"

#include <gtest/gtest.h>

TEST(CommandNumbersTest, NumbersFromOneAndAfter65520FromOneAgain)
{
    CommandNumbers fresh;
    EXPECT_EQ(fresh.Take(), 1);
    EXPECT_EQ(fresh.Take(), 2);
    EXPECT_EQ(fresh.Next(), 3);
    CommandNumbers late(65520);
    EXPECT_EQ(late.Take(), 65520);
    EXPECT_EQ(late.Take(), 1);
}
