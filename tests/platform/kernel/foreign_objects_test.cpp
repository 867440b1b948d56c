//===- foreign_objects_test.cpp - Named objects another user planted are refused ---===//
//
// A second user of the machine ("nobody") may create names in a folder open to everybody before
// the programs start. Whatever is found there that is not the user's own is refused by every
// process and left exactly as it was.
//
#include "tests/platform/kernel/HelperProcess.h"
#include "tests/support/OtherUser.h"

#include "platform/kernel/FileMapping.h"
#include "platform/kernel/NamedMutex.h"
#include "platform/kernel/SessionNames.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using kerneltest::HelperProcess;
using testsupport::OtherUserId;
using testsupport::RunAsOtherUser;

namespace {

class ForeignObjects : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (std::string why = testsupport::WhyNoOtherUser(); !why.empty())
            GTEST_SKIP() << why;
        session = testsupport::UsePrivateSession();
        runtime = std::make_unique<testsupport::SharedRuntimeFolder>();
    }
    void TearDown() override { runtime.reset(); }

    /// What a planted thing looks like, to see that nobody touched it.
    struct Look {
        bool exists = false;
        uid_t owner = 0;
        mode_t mode = 0;
        std::string content;
        bool operator==(const Look&) const = default;
    };
    static Look look(const std::string& Path)
    {
        Look result;
        struct stat info {};
        if (::lstat(Path.c_str(), &info) != 0)
            return result;
        result.exists = true;
        result.owner = info.st_uid;
        result.mode = info.st_mode;
        if (S_ISREG(info.st_mode))
            result.content = testsupport::ReadFile(Path);
        return result;
    }

    /// Starts a real process that tries the block "excimermem", which must be refused, saying
    /// which object was refused. A planted folder refuses the mutex as well.
    void expectBlockRefusedFor(const std::string& Planted, bool MutexToo)
    {
        HelperProcess helper({ "serve" });
        EXPECT_EQ(helper.ask("map excimermem 4096"), "null");
        std::string refusal = helper.ask("refusal");
        EXPECT_NE(refusal.find(Planted + " is refused: "), std::string::npos) << refusal;
        EXPECT_EQ(helper.ask("mutex excimerdll32"), MutexToo ? "null" : "created");
        helper.send("exit");
        EXPECT_EQ(helper.wait(), 0);
    }

    std::string session;
    std::unique_ptr<testsupport::SharedRuntimeFolder> runtime;
};

TEST_F(ForeignObjects, AFolderPlantedByAnotherUserIsRefusedAndLeftAlone)
{
    // Both ways of planting it: an open folder, and a link to a folder of the other user.
    const std::string theirs = runtime->path() + "/theirs";
    const std::vector<std::vector<std::string>> plantings {
        { "/bin/mkdir", "-m", "0777", runtime->objects() },
        { "/bin/ln", "-s", theirs, runtime->objects() },
    };
    for (const auto& planting : plantings) {
        SCOPED_TRACE(planting[0]);
        ASSERT_EQ(RunAsOtherUser({ "/bin/mkdir", "-p", "-m", "0777", theirs }), 0);
        ASSERT_EQ(RunAsOtherUser(planting), 0);
        const Look planted = look(runtime->objects());
        ASSERT_EQ(planted.owner, OtherUserId());

        expectBlockRefusedFor(runtime->objects(), true);
        // In this process as well, with the errno of a refusal.
        errno = 0;
        EXPECT_EQ(FileMapping::Create("excimermem", 4096), nullptr);
        EXPECT_EQ(errno, EACCES);
        EXPECT_NE(SessionObjectRefusal().find(runtime->objects()), std::string::npos);

        EXPECT_EQ(look(runtime->objects()), planted) << "the planted folder was changed";
        EXPECT_EQ(::rmdir(theirs.c_str()), 0) << "something was made in the other user's folder";
        ASSERT_EQ(RunAsOtherUser({ "/bin/rm", "-rf", runtime->objects(), theirs }), 0);
    }
}

TEST_F(ForeignObjects, ObjectsThatOthersCouldHavePlantedAreRefusedAndLeftAlone)
{
    // The folder is the user's own, so the other user cannot write into it: the test plays the
    // part of one who could have (a file of theirs, one open to them, a link to theirs), for the
    // block and for the guard beside it.
    ASSERT_EQ(::mkdir(runtime->objects().c_str(), 0700), 0);
    const std::string block = runtime->objects() + "/varnex-" + session + "-map-excimermem";
    const std::string guard = runtime->objects() + "/varnex-" + session + "-map.guard-excimermem";
    const std::string elsewhere = runtime->path() + "/elsewhere";
    struct Planting {
        const char* what;
        std::string path;
        uid_t owner;
        mode_t mode;
        bool link;
    };
    const std::vector<Planting> plantings {
        { "a block of the other user", block, OtherUserId(), 0666, false },
        { "a block open to others", block, ::geteuid(), 0660, false },
        { "a link as the block", block, ::geteuid(), 0600, true },
        { "a guard of the other user", guard, OtherUserId(), 0600, false },
    };
    for (const Planting& planting : plantings) {
        SCOPED_TRACE(planting.what);
        const std::string target = planting.link ? elsewhere : planting.path;
        testsupport::WriteFile(target, "planted");
        ASSERT_EQ(::chown(target.c_str(), planting.owner, gid_t(-1)), 0);
        ASSERT_EQ(::chmod(target.c_str(), planting.mode), 0);
        if (planting.link) {
            ASSERT_EQ(::symlink(elsewhere.c_str(), planting.path.c_str()), 0);
        }
        const Look planted = look(planting.path), targetBefore = look(target);

        expectBlockRefusedFor(planting.path, false);

        EXPECT_EQ(look(planting.path), planted) << "the planted object was changed or removed";
        EXPECT_EQ(look(target), targetBefore);
        ::unlink(planting.path.c_str());
        ::unlink(elsewhere.c_str());
        EXPECT_EQ(kerneltest::sessionFiles(), std::vector<std::string>()) << "a refusal made nothing";
    }
}

TEST_F(ForeignObjects, TheUsersOwnObjectsWorkInTheNewFolder)
{
    // The normal path: the folder is made private, objects are shared and leave nothing.
    HelperProcess first({ "serve" }), second({ "serve" });
    EXPECT_EQ(first.ask("map excimermem 4096").substr(0, 7), "created");
    EXPECT_EQ(second.ask("map excimermem 4096").substr(0, 6), "opened");
    struct stat folder {};
    ASSERT_EQ(::lstat(runtime->objects().c_str(), &folder), 0);
    EXPECT_TRUE(S_ISDIR(folder.st_mode));
    EXPECT_EQ(folder.st_mode & 0777, 0700u);
    EXPECT_EQ(folder.st_uid, ::geteuid());
    first.send("exit");
    second.send("exit");
    EXPECT_EQ(first.wait(), 0);
    EXPECT_EQ(second.wait(), 0);
    EXPECT_EQ(kerneltest::sessionFiles(), std::vector<std::string>());
}

} // namespace
