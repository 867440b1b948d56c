//===- OtherUser.cpp - Acting as a second user of the machine ---------===//
#include "tests/support/OtherUser.h"

#include "tests/support/ChildProcess.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace testsupport {

namespace {

constexpr const char* Setpriv = "/usr/bin/setpriv";
constexpr const char* OtherUserName = "nobody";

} // namespace

std::string WhyNoOtherUser(const std::string& Program)
{
    if (::geteuid() != 0)
        return "acting as a second user needs root (setpriv --reuid=nobody); not run as root";
    if (::access(Setpriv, X_OK) != 0)
        return "setpriv (util-linux) is missing";
    if (!::getpwnam(OtherUserName))
        return "there is no user nobody";
    // A build inside a folder closed to others (a clone under /root, say) cannot be run by them.
    if (!Program.empty() && RunAsOtherUser({ "/usr/bin/test", "-x", Program }) != 0)
        return "user nobody cannot reach " + Program + ": the build lies in a folder closed to other users";
    return {};
}

uid_t OtherUserId()
{
    const passwd* user = ::getpwnam(OtherUserName);
    return user ? user->pw_uid : uid_t(-1);
}

std::vector<std::string> AsOtherUser(const std::vector<std::string>& Argv)
{
    std::vector<std::string> argv { Setpriv, "--reuid=nobody", "--regid=nogroup", "--clear-groups" };
    argv.insert(argv.end(), Argv.begin(), Argv.end());
    return argv;
}

int RunAsOtherUser(const std::vector<std::string>& Argv)
{
    ChildProcess child(AsOtherUser(Argv));
    return child.wait();
}

SharedRuntimeFolder::SharedRuntimeFolder()
{
    std::string pattern = "/tmp/varnex-shared-XXXXXX";
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("SharedRuntimeFolder: mkdtemp failed");
    path_ = pattern;
    ::chmod(path_.c_str(), 01777);
    if (const char* previous = std::getenv("XDG_RUNTIME_DIR")) {
        hadPrevious_ = true;
        previous_ = previous;
    }
    ::setenv("XDG_RUNTIME_DIR", path_.c_str(), 1);
}

SharedRuntimeFolder::~SharedRuntimeFolder()
{
    if (hadPrevious_)
        ::setenv("XDG_RUNTIME_DIR", previous_.c_str(), 1);
    else
        ::unsetenv("XDG_RUNTIME_DIR");
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

} // namespace testsupport
