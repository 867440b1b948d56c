//===- SessionFile.cpp - Small shared files of the session, and their locks ===//
#include "platform/user/SessionFile_p.h"

#include "platform/kernel/SessionNames.h"

#include <cerrno>
#include <fcntl.h>

namespace user_private {

std::shared_ptr<SharedFile> SessionFiles::get(std::string_view Name, uint32_t Size, SharedFile::TidyFn Tidy)
{
    const std::string key = SessionObjectFolder() + "/" + SessionObjectName("user", Name);
    if (!left_)
        if (auto held = files_.find(key); held != files_.end())
            return held->second;
    std::shared_ptr<SharedFile> file = SharedFile::Open("user", Name, Size, std::move(Tidy));
    if (file && !left_)
        files_.emplace(key, file);
    return file;
}

void SessionFiles::leaveAll()
{
    left_ = true;
    files_.clear();
}

namespace {

int lockWhole(int Fd, short Type)
{
    struct flock whole {};
    whole.l_type = Type;
    whole.l_whence = SEEK_SET;
    int result;
    do
        result = fcntl(Fd, Type == F_UNLCK ? F_OFD_SETLK : F_OFD_SETLKW, &whole);
    while (result != 0 && errno == EINTR);
    return result;
}

} // namespace

ExclusiveFileLock::ExclusiveFileLock(int Fd)
{
    if (lockWhole(Fd, F_WRLCK) == 0)
        fd_ = Fd;
}

ExclusiveFileLock::~ExclusiveFileLock()
{
    if (fd_ >= 0)
        lockWhole(fd_, F_UNLCK);
}

} // namespace user_private
