//===- UiFixture.h - The set-up that every GUI test shares -*- C++ -*-===//
#pragma once

#include "platform/ui/TApplication.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

/// A private session (forms make windows of platform/user) and the Qt application.
class UiTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testsupport::UsePrivateSession();
        Application->Initialize();
    }
};
