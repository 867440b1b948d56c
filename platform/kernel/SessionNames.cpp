//===- SessionNames.cpp - Names of the objects one session shares ------===//
#include "platform/kernel/SessionNames.h"

#include <cstdlib>
#include <unistd.h>

std::string SessionObjectName(std::string_view Kind, std::string_view Name)
{
    std::string result = "varnex-";
    result += std::to_string(getuid());
    if (const char* session = std::getenv("VARNEX_SESSION"); session && *session) {
        result += "-";
        result += session;
    }
    result += "-";
    result += Kind;
    result += "-";
    result += Name;
    // '/' would make a path of a file name, NUL would end an abstract socket name early.
    for (char& c : result)
        if (c == '/' || c == '\0')
            c = '_';
    return result;
}
