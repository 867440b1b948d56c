//===- SharedObject.cpp - Named shared files with the lifetime of their users -===//
#include "platform/kernel/SharedObject_p.h"

#include "platform/kernel/SessionNames.h"
#include "platform/kernel/SharedFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kernel_private {

namespace {

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
UniqueFd lockGuard(int Folder, const std::string& Name)
{
    for (;;) {
        UniqueFd guard = OpenSessionObjectFile(Folder, Name, O_RDWR | O_CREAT);
        if (!guard || flockRetrying(guard.get(), LOCK_EX) != 0)
            return {};
        struct stat held, named;
        if (::fstat(guard.get(), &held) != 0)
            return {};
        if (::fstatat(Folder, Name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 && held.st_dev == named.st_dev
            && held.st_ino == named.st_ino)
            return guard;
    }
}

/// Zero-fills a fresh object of Size bytes; old contents of a stale file are dropped first.
bool startFresh(int Fd, uint32_t Size) { return ::ftruncate(Fd, 0) == 0 && ::ftruncate(Fd, off_t(Size)) == 0; }

} // namespace

std::unique_ptr<SharedObject> SharedObject::Open(std::string_view Kind, std::string_view Name, uint32_t Size,
                                                 const InitFn& InitFresh, TidyFn Tidy)
{
    std::unique_ptr<SharedObject> object(new SharedObject);
    object->size_ = Size;

    if (Name.empty()) {
        object->fd_ = UniqueFd(::memfd_create("varnex-private", MFD_CLOEXEC));
        if (!object->fd_ || !startFresh(object->fd(), Size) || (InitFresh && !InitFresh(object->fd())))
            return nullptr;
        object->createdHere_ = true;
        return object;
    }

    // Every name is opened in the checked folder, never by a path that could lead elsewhere.
    UniqueFd folder = OpenSessionObjectFolder();
    if (!folder)
        return nullptr;
    std::string name = SessionObjectName(Kind, Name);
    std::string guardName = SessionObjectName(std::string(Kind) + ".guard", Name);
    UniqueFd guard = lockGuard(folder.get(), guardName);
    if (!guard)
        return nullptr;

    // The hold is taken on a description of its own that is never mapped: a mapping keeps its
    // description (and a flock on it) for as long as the process's memory lives, which can be
    // after the process was reaped (while a /proc reader still holds that memory). Descriptors
    // are closed before the process can be reaped.
    UniqueFd lock = OpenSessionObjectFile(folder.get(), name, O_RDWR | O_CREAT);
    if (!lock) {
        // A refused object is refused to every process, so its guard would only be left behind.
        // Removing a guard while holding it is safe: waiters take the next one.
        int error = errno;
        ::unlinkat(folder.get(), guardName.c_str(), 0);
        errno = error;
        return nullptr;
    }
    // The guard is held, so nobody can remove or replace the file between the two opens.
    UniqueFd fd = OpenSessionObjectFile(folder.get(), name, O_RDWR);
    if (!fd)
        return nullptr;
    // Living users hold the object shared; only an object nobody alive uses can be had exclusively.
    if (::flock(lock.get(), LOCK_EX | LOCK_NB) == 0) {
        if (!startFresh(fd.get(), Size) || (InitFresh && !InitFresh(fd.get()))) {
            ::unlinkat(folder.get(), name.c_str(), 0);
            return nullptr;
        }
        object->createdHere_ = true;
        if (Tidy)
            Tidy(folder.get());
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
    object->folder_ = std::move(folder);
    object->name_ = std::move(name);
    object->guardName_ = std::move(guardName);
    object->tidy_ = std::move(Tidy);
    object->opener_ = ::getpid();
    return object;
}

SharedObject::~SharedObject()
{
    // A forked child's lock is its parent's description: taking it exclusively would succeed
    // (and convert the parent's hold) however many others use the object.
    if (name_.empty() || opener_ != ::getpid())
        return;
    // Without the guard the files stay; the next opener will find them unused and start afresh.
    UniqueFd guard = lockGuard(folder_.get(), guardName_);
    if (guard && ::flock(lock_.get(), LOCK_EX | LOCK_NB) == 0) {
        if (tidy_)
            tidy_(folder_.get());
        ::unlinkat(folder_.get(), name_.c_str(), 0);
        ::unlinkat(folder_.get(), guardName_.c_str(), 0);
    }
    lock_.reset();
    fd_.reset();
}

} // namespace kernel_private

SharedFile::SharedFile(std::unique_ptr<kernel_private::SharedObject> Object) : object_(std::move(Object)) {}

SharedFile::~SharedFile() = default;

std::unique_ptr<SharedFile> SharedFile::Open(std::string_view Kind, std::string_view Name, uint32_t Size, TidyFn Tidy)
{
    if (Name.empty()) {
        errno = EINVAL;
        return nullptr;
    }
    auto object = kernel_private::SharedObject::Open(Kind, Name, Size, {}, std::move(Tidy));
    if (!object)
        return nullptr;
    return std::unique_ptr<SharedFile>(new SharedFile(std::move(object)));
}

int SharedFile::Fd() const { return object_->fd(); }

UniqueFd SharedFile::OpenAgain() const { return OpenSessionObjectFile(object_->folder(), object_->name(), O_RDWR); }
