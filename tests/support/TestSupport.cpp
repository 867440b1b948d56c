//===- TestSupport.cpp - Temporary folders and private sessions for tests -===//
#include "tests/support/TestSupport.h"

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <unistd.h>

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

std::string UsePrivateSession()
{
    static std::atomic<int> counter { 0 };
    std::string name = "t" + std::to_string(getpid()) + "x" + std::to_string(counter++);
    setenv("VARNEX_SESSION", name.c_str(), 1);
    return name;
}

std::string BinDir()
{
    return std::filesystem::canonical("/proc/self/exe").parent_path().string();
}

} // namespace testsupport
