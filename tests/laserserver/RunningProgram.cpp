//===- RunningProgram.cpp - A started program whose output is read line by line ---===//
#include "tests/laserserver/RunningProgram.h"

RunningProgram::RunningProgram(const std::string& Path, const std::vector<std::string>& Args)
    : ChildProcess(testsupport::CommandLine(Path, Args))
{
}

bool RunningProgram::ReadLine(std::string& Line)
{
    // Only against a hang: every waiting script step of the test client has its own guard.
    if (!tryReadLine(Line))
        return false;
    lines_.push_back(Line);
    return true;
}

std::string RunningProgram::ReadUntil(const std::string& Prefix)
{
    std::string line;
    while (ReadLine(line))
        if (line.rfind(Prefix, 0) == 0)
            return line;
    return {};
}

std::vector<std::string> RunningProgram::ReadAll()
{
    std::string line;
    while (ReadLine(line)) {
    }
    return lines_;
}
