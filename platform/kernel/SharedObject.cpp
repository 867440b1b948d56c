//===- SharedObject.cpp - Named shared files with the lifetime of their users -===//
#include "platform/kernel/SharedObject_p.h"

#include "platform/kernel/SessionNames.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>

namespace kernel_private {

namespace {

const char* const ShmFolder = "/dev/shm/";

int flockRetrying(int Fd, int Operation)
{
    int rc;
    do
        rc = ::flock(Fd, Operation);
    while (rc != 0 && errno == EINTR);
    return rc;
}

/// Takes the guard file exclusively. The last user of an object deletes its guard while holding
/// it, so a waiter may wake up on a file that no longer has a name: it then takes the new one.
UniqueFd lockGuard(const std::string& Path)
{
    for (;;) {
        UniqueFd guard(::open(Path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
        if (!guard || flockRetrying(guard.get(), LOCK_EX) != 0)
            return {};
        struct stat held, named;
        if (::fstat(guard.get(), &held) != 0)
            return {};
        if (::stat(Path.c_str(), &named) == 0 && held.st_dev == named.st_dev && held.st_ino == named.st_ino)
            return guard;
    }
}

/// Zero-fills a fresh object of Size bytes; old contents of a stale file are dropped first.
bool startFresh(int Fd, uint32_t Size) { return ::ftruncate(Fd, 0) == 0 && ::ftruncate(Fd, off_t(Size)) == 0; }

} // namespace

std::unique_ptr<SharedObject> SharedObject::Open(std::string_view Kind, std::string_view Name, uint32_t Size,
                                                 const InitFn& InitFresh)
{
    if (Size == 0) {
        errno = EINVAL;
        return nullptr;
    }
    std::unique_ptr<SharedObject> object(new SharedObject);
    object->size_ = Size;

    if (Name.empty()) {
        object->fd_ = UniqueFd(::memfd_create("varnex-private", MFD_CLOEXEC));
        if (!object->fd_ || !startFresh(object->fd(), Size) || (InitFresh && !InitFresh(object->fd())))
            return nullptr;
        object->createdHere_ = true;
        return object;
    }

    std::string path = ShmFolder + SessionObjectName(Kind, Name);
    std::string guardPath = ShmFolder + SessionObjectName(std::string(Kind) + ".guard", Name);
    UniqueFd guard = lockGuard(guardPath);
    if (!guard)
        return nullptr;

    // The hold is taken on a description of its own that is never mapped: a mapping keeps its
    // description (and a flock on it) for as long as the process's memory lives, which can be
    // after the process was reaped (while a /proc reader still holds that memory). Descriptors
    // are closed before the process can be reaped.
    UniqueFd lock(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (!lock)
        return nullptr;
    // The guard is held, so nobody can remove or replace the file between the two opens.
    UniqueFd fd(::open(path.c_str(), O_RDWR | O_CLOEXEC));
    if (!fd)
        return nullptr;
    // Living users hold the object shared; only an object nobody alive uses can be had exclusively.
    if (::flock(lock.get(), LOCK_EX | LOCK_NB) == 0) {
        if (!startFresh(fd.get(), Size) || (InitFresh && !InitFresh(fd.get()))) {
            ::unlink(path.c_str());
            return nullptr;
        }
        object->createdHere_ = true;
    } else if (errno != EWOULDBLOCK) {
        return nullptr;
    } else {
        struct stat living;
        if (::fstat(fd.get(), &living) != 0)
            return nullptr;
        object->size_ = uint32_t(living.st_size);
    }
    // Not atomic when converting from exclusive, which is why the guard is still held here.
    if (flockRetrying(lock.get(), LOCK_SH) != 0)
        return nullptr;

    object->lock_ = std::move(lock);
    object->fd_ = std::move(fd);
    object->path_ = std::move(path);
    object->guardPath_ = std::move(guardPath);
    return object;
}

SharedObject::~SharedObject()
{
    if (path_.empty())
        return;
    // Without the guard the files stay; the next opener will find them unused and start afresh.
    UniqueFd guard = lockGuard(guardPath_);
    if (guard && ::flock(lock_.get(), LOCK_EX | LOCK_NB) == 0) {
        ::unlink(path_.c_str());
        ::unlink(guardPath_.c_str());
    }
    lock_.reset();
    fd_.reset();
}

} // namespace kernel_private
