//===- HelperProcess.cpp - kernel_test_helper as a child process ----------===//
#include "tests/platform/kernel/HelperProcess.h"

#include "tests/support/TestSupport.h"

#include "platform/kernel/SessionNames.h"

#include <gtest/gtest.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace kerneltest {

HelperProcess::HelperProcess(const std::vector<std::string>& Args)
    : ChildProcess(testsupport::CommandLine(testsupport::BinDir() + "/kernel_test_helper", Args))
{
}

HelperProcess::~HelperProcess() { finish(); }

std::vector<std::string> sessionFiles()
{
    const char* session = std::getenv("VARNEX_SESSION");
    std::string prefix = "varnex-" + std::string(session ? session : "") + "-";
    std::vector<std::string> files;
    std::error_code none; // a folder not made yet holds nothing
    for (const auto& entry : std::filesystem::directory_iterator(SessionObjectFolder(), none))
        if (std::string name = entry.path().filename().string(); name.rfind(prefix, 0) == 0)
            files.push_back(name);
    return files;
}

std::vector<std::string> awaitFileLines(const std::string& Path, int GuardMs)
{
    std::vector<std::string> lines;
    if (!testsupport::WaitFor([&] { return std::filesystem::exists(Path); }, GuardMs)) {
        // A file begun but not yet renamed into place, or none at all, tells a slow writer
        // from one that never started.
        std::string folder;
        std::error_code none;
        for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(Path).parent_path(), none))
            folder += " " + entry.path().filename().string();
        ADD_FAILURE() << "waited " << GuardMs << " ms for " << Path
                      << ", which the started program writes in one piece; it never came. Its folder holds:"
                      << (folder.empty() ? " nothing" : folder);
        return lines;
    }
    std::ifstream in(Path);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

} // namespace kerneltest
