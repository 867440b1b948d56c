//===- HelperProcess.cpp - kernel_test_helper as a child process ----------===//
#include "tests/platform/kernel/HelperProcess.h"

#include "tests/support/TestSupport.h"

#include "platform/kernel/SessionNames.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>
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

std::vector<std::string> awaitFileLines(const std::string& Path)
{
    auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!std::filesystem::exists(Path) && std::chrono::steady_clock::now() < giveUp)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::vector<std::string> lines;
    std::ifstream in(Path);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

} // namespace kerneltest
