//===- FileCalls.cpp - Deleting files by name ------------------------------===//
#include "platform/kernel/FileCalls.h"

#include "platform/rtl/AnsiString.h"

#include <string>
#include <unistd.h>

bool DeleteFile(const char* FileName)
{
    if (!FileName || !*FileName)
        return false;
    // unlink refuses folders, as the original's DeleteFile does.
    return ::unlink(AnsiToUtf8(FileName).c_str()) == 0;
}
