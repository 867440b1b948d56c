//===- SessionFile.cpp - Small shared files of the session, and their locks ===//
#include "platform/user/SessionFile_p.h"

#include "platform/kernel/SessionNames.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>

namespace user_private {

std::string sessionFileName(std::string_view Name) { return "/" + SessionObjectName("user", Name); }

UniqueFd openSessionFile(std::string_view Name)
{
    return UniqueFd(shm_open(sessionFileName(Name).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
}

ExclusiveFileLock::ExclusiveFileLock(int Fd)
{
    int result;
    do
        result = flock(Fd, LOCK_EX);
    while (result != 0 && errno == EINTR);
    if (result == 0)
        fd_ = Fd;
}

ExclusiveFileLock::~ExclusiveFileLock()
{
    if (fd_ >= 0)
        flock(fd_, LOCK_UN);
}

} // namespace user_private
