//===- FileNames.cpp - Parts of file names, and whether a file exists -----===//
#include "platform/rtl/FileNames.h"

#include "platform/rtl/AnsiString.h"

#include <sys/stat.h>

namespace {

/// Index of the dot that starts the extension, or npos.
size_t extensionDot(std::string_view FileName)
{
    const size_t Dot = FileName.rfind('.');
    const size_t Slash = FileName.rfind(PathDelim);
    if (Dot == std::string_view::npos || (Slash != std::string_view::npos && Dot < Slash))
        return std::string_view::npos;
    return Dot;
}

} // namespace

std::string ExtractFilePath(std::string_view FileName)
{
    const size_t Slash = FileName.rfind(PathDelim);
    return Slash == std::string_view::npos ? std::string() : std::string(FileName.substr(0, Slash + 1));
}

std::string ExtractFileName(std::string_view FileName)
{
    const size_t Slash = FileName.rfind(PathDelim);
    return std::string(Slash == std::string_view::npos ? FileName : FileName.substr(Slash + 1));
}

std::string ExtractFileExt(std::string_view FileName)
{
    const size_t Dot = extensionDot(FileName);
    return Dot == std::string_view::npos ? std::string() : std::string(FileName.substr(Dot));
}

std::string ChangeFileExt(std::string_view FileName, std::string_view Extension)
{
    const size_t Dot = extensionDot(FileName);
    return std::string(FileName.substr(0, Dot)) + std::string(Extension);
}

std::string IncludeTrailingPathDelimiter(std::string_view Path)
{
    std::string Out(Path);
    if (Out.empty() || Out.back() != PathDelim)
        Out += PathDelim;
    return Out;
}

bool FileExists(const std::string& FileName)
{
    struct stat Info {};
    return ::stat(AnsiToUtf8(FileName).c_str(), &Info) == 0 && !S_ISDIR(Info.st_mode);
}
