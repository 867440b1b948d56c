//===- CommandLog.h - One line for every command the server fetched -*- C++ -*-===//
//
// For people and tests watching the simulator: each fetched command becomes one line
// "<sequence> 0x<code> <argument> <name>", written through at once, so a reader sees it while
// the server runs.
//
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

struct LaserCommand;

class CommandLog {
public:
    /// A log appending to Path; an empty path logs nothing. A file that cannot be opened is
    /// reported by IsOpen() and logs nothing.
    explicit CommandLog(const std::string& Path);

    bool IsOpen() const { return file_ != nullptr; }
    void Write(const LaserCommand& Command);
    /// A free line, marked with '#' so readers of the command lines can skip it.
    void Note(const std::string& Text);

    /// The command's name ("cmd_laseron"), or "" for a code the server does not know.
    static const char* CommandName(uint16_t Code);

private:
    struct Closer {
        void operator()(std::FILE* File) const { std::fclose(File); }
    };
    std::unique_ptr<std::FILE, Closer> file_;
};
