//===- ShellExecute.cpp - Opening a document with the desktop's program ----===//
#include "platform/kernel/ShellExecute.h"

#include "platform/kernel/StartProgram_p.h"
#include "platform/kernel/WinExec.h"

#include "platform/rtl/AnsiString.h"

#include <cctype>
#include <mutex>
#include <string_view>
#include <unistd.h>
#include <utility>

namespace {

std::mutex hookLock;
ShellExecuteHook hook;

bool sameText(std::string_view A, std::string_view B)
{
    if (A.size() != B.size())
        return false;
    for (size_t i = 0; i < A.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(A[i])) != std::tolower(static_cast<unsigned char>(B[i])))
            return false;
    return true;
}

/// "scheme:" before any '/': a URL, which has no file to look for.
bool isUrl(std::string_view Name)
{
    size_t colon = Name.find(':');
    if (colon == std::string_view::npos || colon < 2)
        return false;
    for (size_t i = 0; i < colon; ++i)
        if (!std::isalpha(static_cast<unsigned char>(Name[i])) && Name[i] != '+' && Name[i] != '-' && Name[i] != '.')
            return false;
    return true;
}

} // namespace

uintptr_t ShellExecute(uint32_t, const char* Operation, const char* File, const char* Parameters, const char*,
                       int ShowCmd)
{
    std::string operation = Operation ? Operation : "";
    std::string file = File ? File : "";
    ShellExecuteHook current;
    {
        std::lock_guard<std::mutex> guard(hookLock);
        current = hook;
    }
    if (current)
        return current(operation, file, Parameters ? Parameters : "", ShowCmd);

    if (!operation.empty() && !sameText(operation, "open"))
        return SE_ERR_NOASSOC;
    std::string name = AnsiToUtf8(file);
    if (name.empty() || (!isUrl(name) && ::access(name.c_str(), F_OK) != 0))
        return ERROR_FILE_NOT_FOUND;
    uint32_t started = StartProgram({ "xdg-open", name });
    if (started == ERROR_FILE_NOT_FOUND)
        return SE_ERR_NOASSOC; // no desktop opener here
    // WinExec's success (33) is above 32 as the original's success must be.
    return started;
}

ShellExecuteHook SetShellExecuteHook(ShellExecuteHook Hook)
{
    std::lock_guard<std::mutex> guard(hookLock);
    return std::exchange(hook, std::move(Hook));
}
