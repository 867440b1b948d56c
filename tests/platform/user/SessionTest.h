//===- SessionTest.h - Fixture giving each test a session of its own -*- C++ -*-===//
#pragma once

#include "tests/support/TestSupport.h"

#include "platform/user/RegisteredMessages_p.h"
#include "platform/user/SessionFile_p.h"
#include "platform/user/WindowSocket_p.h"

#include <gtest/gtest.h>

/// Each test (and the helpers it starts) gets a private session; the session's files go when the
/// last process that used them ends.
class SessionTest : public ::testing::Test {
protected:
    void SetUp() override { testsupport::UsePrivateSession(); }
};
