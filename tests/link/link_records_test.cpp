//===- link_records_test.cpp - Helpers over the shared records ---------===//
#include "link/LinkRecords.h"

#include <gtest/gtest.h>

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

TEST(LinkRecords, EventParameterAndHighHalfMakeTheLParamAndAreReadBack)
{
    EXPECT_EQ(LinkEventLParam(ev_rxon, 1, 0), 0x0142u);
    EXPECT_EQ(LinkEventLParam(ev_blink2, 0, 0x1234), 0x12340031u);
    EXPECT_EQ(LinkEventLParam(0x86, 0xFF, 0xFFFF), 0xFFFFFF86u);
    // A posted lParam is 64 bits wide; only its low 32 carry the notice.
    const LinkEvent read = LinkEventOf(intptr_t(0x1FFFFFF86));
    EXPECT_EQ(read.event, 0x86);
    EXPECT_EQ(read.parameter, 0xFF);
    EXPECT_EQ(read.high, 0xFFFF);
}

TEST(LinkRecords, GasModeArgumentCarriesTheSubCommandInByteOne)
{
    EXPECT_EQ(GasModeArgument(gas_quit), 0x0002u);
    EXPECT_EQ(GasModeArgument(gas_nextleakstep), 0x0502u);
    EXPECT_EQ(GasModeArgument(gas_fillinert), 0x0602u);
}
