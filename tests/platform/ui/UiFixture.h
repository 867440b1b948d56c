//===- UiFixture.h - The set-up that every GUI test shares -*- C++ -*-===//
#pragma once

#include "tests/support/TestSupport.h"

#include "platform/ui/forms/TApplication.h"

#include <gtest/gtest.h>

/// A private session (forms make windows of platform/user) and the Qt application.
class UiTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // One session per process: the windows of the application and of forms made in earlier
        // tests of the same run stay in it.
        static const std::string Session = testsupport::UsePrivateSession();
        Application->Initialize();
    }
    /// The forms of the test go, so that the next test of the same run starts without them.
    void TearDown() override
    {
        Application->DestroyComponents();
        Application->ProcessMessages();
    }
};
