//===- command_numbers_test.cpp - The numbers a client gives its commands ---===//
#include "link/CommandNumbers.h"

#include <gtest/gtest.h>

TEST(CommandNumbersTest, NumbersFromTheFirstAndAfter65520FromOneAgain)
{
    CommandNumbers fromZero(0); // Tessaly's first command carries 0, which never comes again
    EXPECT_EQ(fromZero.Take(), 0);
    EXPECT_EQ(fromZero.Take(), 1);
    EXPECT_EQ(fromZero.Next(), 2);
    CommandNumbers late(65520);
    EXPECT_EQ(late.Take(), 65520);
    EXPECT_EQ(late.Take(), 1);
}
