//===- LinkFixture.h - Processes that load the link library, for tests -*- C++ -*-===//
#pragma once

#include "link/LinkRecords.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TestSupport.h"

#include "platform/kernel/FileMapping.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

/// Each test runs in a session of its own. Peers are link_peer processes; the test itself
/// may look into the block directly, once a peer has created it.
class LinkFixture : public ::testing::Test {
protected:
    void SetUp() override { testsupport::UsePrivateSession(); }

    std::unique_ptr<testsupport::ChildProcess> startPeer(const std::vector<std::string>& ExtraEnv = {},
                                                         const std::string& StderrPath = {})
    {
        return std::make_unique<testsupport::ChildProcess>(
            std::vector<std::string> { testsupport::BinDir() + "/link_peer" }, ExtraEnv, StderrPath);
    }

    /// The block as the peers see it; open only after a peer has loaded the library, or this
    /// process would create it without the banner.
    LinkSharedBlock& block()
    {
        if (!mapping_) {
            mapping_ = FileMapping::Create(LinkBlockName, sizeof(LinkSharedBlock));
            EXPECT_TRUE(mapping_);
            EXPECT_FALSE(mapping_->CreatedHere()) << "no peer had made the block";
            view_ = static_cast<LinkSharedBlock*>(mapping_->MapView());
        }
        return *view_;
    }

    /// Lets go of the block, so that it can disappear with the peers.
    void closeBlock()
    {
        mapping_.reset();
        view_ = nullptr;
    }

    static int number(const std::string& Text) { return std::stoi(Text); }

    /// What had reached Window (of peer Receiver) before a mark that Sender posts to it now.
    /// Posts from one process to one window arrive in the order sent, so this is everything
    /// that Sender, or anyone before Sender's last answer, had posted there: a look for messages
    /// that must not come, without a wait on time.
    std::vector<std::string> receivedBeforeAMark(testsupport::ChildProcess& Receiver, testsupport::ChildProcess& Sender,
                                                 const std::string& Window)
    {
        const std::string mark = "msg " + Window + " 32845 77 0"; // WM_APP + 77
        EXPECT_EQ(Sender.call1("post " + Window + " 32845 77 0"), "1") << "the mark could not be posted";
        std::vector<std::string> before;
        for (;;) {
            const std::vector<std::string> got = Receiver.call("wait 1 50000");
            if (got.empty()) {
                ADD_FAILURE() << "the mark posted to " << Window << " did not come within the guard of 50 s";
                return before;
            }
            for (const std::string& line : got) {
                if (line == mark)
                    return before;
                before.push_back(line);
            }
        }
    }

private:
    std::unique_ptr<FileMapping> mapping_;
    LinkSharedBlock* view_ = nullptr;
};
