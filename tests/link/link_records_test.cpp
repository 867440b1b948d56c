//===- link_records_test.cpp - Helpers over the shared records ---------===//
#include <gtest/gtest.h>

#include "link/LinkRecords.h"

TEST(LinkRecords, PendingCommandsWrapAroundTheRing)
{
    EXPECT_EQ(PendingCommands(5, 10), 15);
    EXPECT_EQ(PendingCommands(7, 7), 0);
    EXPECT_EQ(PendingCommands(19, 0), 19);
    EXPECT_EQ(PendingCommands(0, 1), 19);
}

TEST(LinkRecords, SequenceRunsFromOneTo65520)
{
    EXPECT_EQ(NextSequence(1), 2);
    EXPECT_EQ(NextSequence(65519), 65520);
    EXPECT_EQ(NextSequence(65520), 1);
    EXPECT_EQ(NextSequence(65535), 1);
}

TEST(LinkRecords, EventParameterAndHighHalfMakeTheLParam)
{
    EXPECT_EQ(LinkEventLParam(ev_rxon, 1, 0), 0x0142u);
    EXPECT_EQ(LinkEventLParam(ev_blink2, 0, 0x1234), 0x12340031u);
    EXPECT_EQ(LinkEventLParam(0x86, 0xFF, 0xFFFF), 0xFFFFFF86u);
}

TEST(LinkRecords, GasModeArgumentCarriesTheSubCommandInByteOne)
{
    EXPECT_EQ(GasModeArgument(gas_quit), 0x0002u);
    EXPECT_EQ(GasModeArgument(gas_nextleakstep), 0x0502u);
    EXPECT_EQ(GasModeArgument(gas_fillinert), 0x0602u);
}
