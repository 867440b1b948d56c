//===- TestSupport.cpp - Temporary folders and private sessions for tests -===//
#include "tests/support/TestSupport.h"

#include "platform/kernel/SessionNames.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <thread>
#include <unistd.h>
#include <vector>

namespace testsupport {

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "varnex-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("TempDir: mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

namespace {

std::vector<std::string>& sessionsToRemove()
{
    static std::vector<std::string> prefixes;
    return prefixes;
}

// Objects whose users were all killed stay in the folder of named objects until their name is
// opened again; a test's session is never opened again, so its files go when the test process ends.
void removeSessionFiles()
{
    std::error_code ignored;
    for (const std::string& prefix : sessionsToRemove())
        for (const auto& entry : std::filesystem::directory_iterator(SessionObjectFolder(), ignored))
            if (entry.path().filename().string().rfind(prefix, 0) == 0)
                std::filesystem::remove(entry.path(), ignored);
}

} // namespace

std::string UsePrivateSession()
{
    static std::atomic<int> counter { 0 };
    // The pid alone is not enough: a process of an earlier run with the same pid may have been
    // killed before it could remove its files, which would then pass for this one's.
    static const unsigned runMark = std::random_device {}();
    char mark[9];
    std::snprintf(mark, sizeof mark, "%08x", runMark);
    std::string name = "t" + std::to_string(getpid()) + "x" + std::to_string(counter++) + mark;
    setenv("VARNEX_SESSION", name.c_str(), 1);
    if (sessionsToRemove().empty())
        std::atexit(removeSessionFiles);
    sessionsToRemove().push_back("varnex-" + name + "-");
    return name;
}

std::string BinDir() { return std::filesystem::canonical("/proc/self/exe").parent_path().string(); }

std::string ReadFile(const std::string& Path)
{
    std::ifstream in(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::string& Path, const std::string& Bytes) { std::ofstream(Path, std::ios::binary) << Bytes; }

::testing::AssertionResult WaitFor(const std::function<bool()>& Done, int GuardMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(GuardMs);
    while (!Done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return GuardExpired(GuardMs);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult GuardExpired(int GuardMs)
{
    return ::testing::AssertionFailure() << "the guard of " << GuardMs << " ms expired before the condition held";
}

} // namespace testsupport
