//===- SessionNames.cpp - Names of the objects one session shares ------===//
#include "platform/kernel/SessionNames.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Written from any thread; a refusal is rare, so a lock is cheap enough.
std::mutex refusalLock;
std::string* refusal = new std::string; // never destroyed: objects may be opened at exit

void refuse(const std::string& What, const std::string& Why)
{
    {
        std::lock_guard hold(refusalLock);
        *refusal = What + " is refused: " + Why;
    }
    errno = EACCES;
}

std::string modeText(mode_t Mode)
{
    char text[8];
    std::snprintf(text, sizeof text, "%04o", unsigned(Mode & 07777));
    return text;
}

/// Answers why the open object Fd may not be used, or an empty text when it may.
std::string unsafeBecause(int Fd, bool Directory)
{
    struct stat info {};
    if (::fstat(Fd, &info) != 0)
        return std::string("it cannot be examined (") + std::strerror(errno) + ")";
    if (Directory ? !S_ISDIR(info.st_mode) : !S_ISREG(info.st_mode))
        return Directory ? "it is not a directory" : "it is not a plain file";
    if (info.st_uid != ::geteuid())
        return "it belongs to user " + std::to_string(info.st_uid) + ", not to user " + std::to_string(::geteuid());
    if ((info.st_mode & 077) != 0)
        return "other users have access to it (mode " + modeText(info.st_mode) + ")";
    return {};
}

} // namespace

std::string SessionObjectName(std::string_view Kind, std::string_view Name)
{
    std::string result = "varnex-";
    if (const char* session = std::getenv("VARNEX_SESSION"); session && *session) {
        result += session;
        result += "-";
    }
    result += Kind;
    result += "-";
    result += Name;
    // '/' would make a path of a file name, NUL would end it early.
    for (char& c : result)
        if (c == '/' || c == '\0')
            c = '_';
    return result;
}

std::string SessionObjectFolder()
{
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime)
        return std::string(runtime) + "/varnex";
    return "/dev/shm/varnex-" + std::to_string(::geteuid());
}

UniqueFd OpenSessionObjectFolder()
{
    const std::string path = SessionObjectFolder();
    const bool made = ::mkdir(path.c_str(), 0700) == 0;
    if (!made && errno != EEXIST) {
        int error = errno;
        refuse("the folder of named objects " + path, std::string("it cannot be made (") + std::strerror(error) + ")");
        errno = error;
        return {};
    }
    // O_NOFOLLOW: a symbolic link planted under the name fails here instead of being followed.
    UniqueFd folder(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!folder) {
        if (errno == ELOOP || errno == ENOTDIR)
            refuse("the folder of named objects " + path, "it is a symbolic link or not a directory");
        return {};
    }
    // A umask may have taken the owner's own bits from the folder just made.
    if (made)
        ::fchmod(folder.get(), 0700);
    if (std::string why = unsafeBecause(folder.get(), true); !why.empty()) {
        refuse("the folder of named objects " + path, why);
        return {};
    }
    return folder;
}

UniqueFd OpenSessionObjectFile(int Folder, const std::string& Name, int Flags)
{
    UniqueFd file(::openat(Folder, Name.c_str(), Flags | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!file) {
        if (errno == ELOOP)
            refuse("the named object " + SessionObjectFolder() + "/" + Name, "it is a symbolic link");
        return {};
    }
    if (std::string why = unsafeBecause(file.get(), false); !why.empty()) {
        refuse("the named object " + SessionObjectFolder() + "/" + Name, why);
        return {};
    }
    return file;
}

std::string SessionObjectRefusal()
{
    std::lock_guard hold(refusalLock);
    return *refusal;
}
