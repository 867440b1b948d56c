//===- user_test_helper.cpp - A second process for the window and message tests ===//
//
// user_test_helper <verb> [arguments]: does what the verb says, writes its answer lines and a
// line "." to standard output, then serves commands from standard input, one per line, each
// answered the same way, until end of input.
//
// Verbs:     register NAME...       registers each name, answers each number
//            hold-table-lock         takes the lock of the registered-message table, answers "locked"
//            windows N               makes N windows, answers their handles
//            post HWND COUNT TAG     posts COUNT messages (WM_USER, wParam TAG * 2^32 + i, lParam -i),
//                                    waiting out a full queue; answers "posted"
//            raw send|bind HEX       sends a posted message (WM_CLOSE) as one bare datagram to, or
//                                    binds a socket to, the socket address given as hex bytes;
//                                    answers "done" or "failed <errno>"
// Commands:  get N                   takes N messages with GetMessage, answers each one
//            drain                   takes what PeekMessage gives, answers each one
//            destroy HWND            destroys a window, answers 1 or 0
//
// A message is answered as "<hwnd> <message> <wParam> <lParam>" in decimal.

#include "platform/user/Messages.h"
#include "platform/user/RegisteredMessages_p.h"
#include "platform/user/SessionFile_p.h"
#include "platform/user/WindowSocket_p.h"

#include <cstdio>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <optional>
#include <sched.h>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace {

void answer(const std::vector<std::string>& lines)
{
    for (const std::string& line : lines)
        std::cout << line << '\n';
    std::cout << '.' << std::endl;
}

std::string describe(const MSG& m)
{
    return std::to_string(m.hwnd) + " " + std::to_string(m.message) + " " + std::to_string(m.wParam) + " "
           + std::to_string(m.lParam);
}

unsigned long long number(const std::string& text) { return std::strtoull(text.c_str(), nullptr, 0); }

std::vector<std::string> postAll(HWND target, unsigned long long count, unsigned long long tag)
{
    for (unsigned long long i = 0; i < count; ++i) {
        WPARAM wParam = static_cast<WPARAM>((tag << 32) + i);
        LPARAM lParam = -static_cast<LPARAM>(i);
        // A full queue answers false; the receiver is reading, so wait it out without sleeping.
        while (!PostMessage(target, WM_USER, wParam, lParam)) {
            if (!IsWindow(target))
                return { "target gone at " + std::to_string(i) };
            sched_yield();
        }
    }
    return { "posted" };
}

/// What another user of the machine could do to a window's address without the library.
std::string raw(const std::string& action, const std::string& hex)
{
    sockaddr_un address {};
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size() && bytes.size() < sizeof address; i += 2)
        bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    std::memcpy(&address, bytes.data(), bytes.size());
    const auto* to = reinterpret_cast<const sockaddr*>(&address);
    const auto length = static_cast<socklen_t>(bytes.size());
    int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    bool done = false;
    if (action == "send") {
        user_private::WireMessage close { WM_CLOSE, user_private::postClock(), 0, 0 };
        done = sendto(fd, &close, sizeof close, MSG_DONTWAIT, to, length) == static_cast<ssize_t>(sizeof close);
    } else if (action == "bind") {
        done = bind(fd, to, length) == 0;
    }
    std::string answer = done ? "done" : "failed " + std::to_string(errno);
    close(fd);
    return answer;
}

std::optional<std::vector<std::string>> runVerb(const std::vector<std::string>& args)
{
    const std::string& verb = args[0];
    std::vector<std::string> lines;
    if (verb == "register") {
        for (size_t i = 1; i < args.size(); ++i)
            lines.push_back(std::to_string(RegisterWindowMessage(args[i])));
    } else if (verb == "hold-table-lock") {
        // Kept for the rest of the process's life, which the test ends with SIGKILL.
        static UniqueFd table = user_private::openRegisteredMessageTable();
        static user_private::ExclusiveFileLock hold(table.get());
        lines.push_back(hold ? "locked" : "failed");
    } else if (verb == "windows" && args.size() == 2) {
        for (unsigned long long i = 0, n = number(args[1]); i < n; ++i)
            lines.push_back(std::to_string(CreateWindowHandle(nullptr)));
    } else if (verb == "raw" && args.size() == 3) {
        lines.push_back(raw(args[1], args[2]));
    } else if (verb == "post" && args.size() == 4) {
        lines = postAll(static_cast<HWND>(number(args[1])), number(args[2]), number(args[3]));
    } else {
        return std::nullopt;
    }
    return lines;
}

std::vector<std::string> runCommand(const std::string& line)
{
    std::string command = line.substr(0, line.find(' '));
    std::string argument = line.size() > command.size() ? line.substr(command.size() + 1) : "";
    std::vector<std::string> lines;
    MSG m;
    if (command == "get") {
        for (unsigned long long i = 0, n = number(argument); i < n && GetMessage(&m); ++i)
            lines.push_back(describe(m));
    } else if (command == "drain") {
        while (PeekMessage(&m))
            lines.push_back(describe(m));
    } else if (command == "destroy") {
        lines.push_back(DestroyWindow(static_cast<HWND>(number(argument))) ? "1" : "0");
    } else {
        lines.push_back("unknown command: " + line);
    }
    return lines;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::cerr << "usage: user_test_helper <verb> [arguments]\n";
        return 2;
    }
    std::optional<std::vector<std::string>> lines = runVerb(std::vector<std::string>(argv + 1, argv + argc));
    if (!lines) {
        std::cerr << "user_test_helper: unknown verb " << argv[1] << "\n";
        return 2;
    }
    answer(*lines);
    for (std::string line; std::getline(std::cin, line);)
        answer(runCommand(line));
    return 0;
}
