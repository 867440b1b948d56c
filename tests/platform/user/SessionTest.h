//===- SessionTest.h - Fixture giving each test a session of its own -*- C++ -*-===//
#pragma once

#include "tests/support/TestSupport.h"

#include "platform/user/RegisteredMessages_p.h"
#include "platform/user/SessionFile_p.h"
#include "platform/user/WindowSocket_p.h"

#include <gtest/gtest.h>
#include <sys/mman.h>

/// Each test (and the helpers it starts) gets a private session; the session's files go with it.
class SessionTest : public ::testing::Test {
protected:
    void SetUp() override { testsupport::UsePrivateSession(); }
    void TearDown() override
    {
        shm_unlink(user_private::sessionFileName(user_private::WindowHandleCounter).c_str());
        shm_unlink(user_private::sessionFileName(user_private::RegisteredMessageTable).c_str());
    }
};
