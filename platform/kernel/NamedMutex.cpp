//===- NamedMutex.cpp - Named mutex shared between processes -------------===//
#include "platform/kernel/NamedMutex.h"

#include "platform/kernel/SharedObject_p.h"

#include <atomic>
#include <cerrno>
#include <ctime>
#include <mutex>
#include <new>
#include <pthread.h>
#include <sys/mman.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

constexpr uint32_t Infinite = 0xFFFFFFFF;

/// The content of the shared object: the mutex, and who holds it how often. The owner record
/// is written only by the holder; anybody may read it (hence atomics, lock-free in shared memory).
struct SharedMutex {
    pthread_mutex_t mutex;
    std::atomic<int32_t> ownerPid;    // 0 while free
    std::atomic<int32_t> ownerThread; // the holder's thread id
    int32_t depth;                    // holds of the owner, as the recursive mutex counts them
};
static_assert(std::atomic<int32_t>::is_always_lock_free);

// The ids of this process and thread without a system call per Wait and Release. Thread ids
// rather than pthread_self(): glibc hands a finished thread's pthread_t to the next new thread,
// which would then pass for the owner recorded by its dead predecessor.
std::atomic<pid_t> cachedPid { 0 };
thread_local pid_t cachedThread = 0;

void forgetIdsInChild()
{
    cachedPid = 0;
    cachedThread = 0; // the forking thread, the only one in the child
}

pid_t thisProcess()
{
    pid_t pid = cachedPid.load(std::memory_order_relaxed);
    if (pid == 0) {
        static const int registered = pthread_atfork(nullptr, nullptr, forgetIdsInChild);
        (void)registered;
        pid = ::getpid();
        cachedPid.store(pid, std::memory_order_relaxed);
    }
    return pid;
}

pid_t thisThread()
{
    if (cachedThread == 0) {
        thisProcess(); // registers the refresh for forked children before the first use
        cachedThread = ::gettid();
    }
    return cachedThread;
}

bool heldByThisThread(const SharedMutex& Shared)
{
    return Shared.ownerThread.load(std::memory_order_relaxed) == thisThread()
           && Shared.ownerPid.load(std::memory_order_relaxed) == thisProcess();
}

/// Robust so that a dead owner is reported (EOWNERDEAD) instead of blocking everyone; recursive
/// like the original. No priority inheritance: glibc's timed waits on robust PI mutexes are broken.
bool initSharedMutex(int Fd)
{
    void* memory = ::mmap(nullptr, sizeof(SharedMutex), PROT_READ | PROT_WRITE, MAP_SHARED, Fd, 0);
    if (memory == MAP_FAILED)
        return false;
    auto* shared = new (memory) SharedMutex {};
    pthread_mutexattr_t attr;
    pthread_mutexattr_init(&attr);
    pthread_mutexattr_setpshared(&attr, PTHREAD_PROCESS_SHARED);
    pthread_mutexattr_setrobust(&attr, PTHREAD_MUTEX_ROBUST);
    pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE);
    pthread_mutexattr_setprotocol(&attr, PTHREAD_PRIO_NONE);
    int rc = pthread_mutex_init(&shared->mutex, &attr);
    pthread_mutexattr_destroy(&attr);
    ::munmap(memory, sizeof(SharedMutex));
    return rc == 0;
}

timespec deadlineOn(clockid_t Clock, uint32_t TimeoutMs)
{
    timespec deadline;
    ::clock_gettime(Clock, &deadline);
    deadline.tv_sec += TimeoutMs / 1000;
    deadline.tv_nsec += long(TimeoutMs % 1000) * 1000000;
    if (deadline.tv_nsec >= 1000000000) {
        deadline.tv_sec += 1;
        deadline.tv_nsec -= 1000000000;
    }
    return deadline;
}

int timedLock(pthread_mutex_t* Mutex, uint32_t TimeoutMs)
{
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 30))
    // The monotonic clock: setting the wall clock must not shorten or stretch the wait.
    timespec deadline = deadlineOn(CLOCK_MONOTONIC, TimeoutMs);
    return pthread_mutex_clocklock(Mutex, CLOCK_MONOTONIC, &deadline);
#else
    timespec deadline = deadlineOn(CLOCK_REALTIME, TimeoutMs);
    return pthread_mutex_timedlock(Mutex, &deadline);
#endif
}

/// One open handle: this process's use of the object and its own view of the mutex.
struct MutexHandle {
    std::unique_ptr<kernel_private::SharedObject> object;
    SharedMutex* shared = nullptr;

    virtual ~MutexHandle()
    {
        if (shared)
            ::munmap(shared, sizeof(SharedMutex));
    }
};

} // namespace

struct NamedMutex::Impl : MutexHandle {};

namespace {

// Handles closed while a thread of this process held their mutex. As on the original, ownership
// outlives the handle: the mutex stays mapped (the owner's robust list points into it) and this
// process stays one of its users, so that the object is not started afresh under the owner and
// the owner's death is reported to the others as abandonment. Never destroyed, not even at exit:
// the kernel must still find the mutex mapped when it walks the dying threads' robust lists.
std::mutex leftoverLock;
auto* leftovers = new std::vector<std::unique_ptr<MutexHandle>>;
std::atomic<int> leftoverCount { 0 };

void keepWhileHeld(std::unique_ptr<MutexHandle> Handle)
{
    std::lock_guard<std::mutex> guard(leftoverLock);
    leftovers->push_back(std::move(Handle));
    leftoverCount = int(leftovers->size());
}

/// Lets go of the kept handles whose mutex no thread of this process holds any more.
void dropReleasedLeftovers()
{
    std::lock_guard<std::mutex> guard(leftoverLock);
    std::erase_if(*leftovers, [](const auto& Handle) { return Handle->shared->ownerPid.load() != thisProcess(); });
    leftoverCount = int(leftovers->size());
}

/// Records the calling thread as the holder after a successful lock.
void takeOwnership(SharedMutex& Shared, bool Abandoned)
{
    // A dead owner's record is stale; the mutex counts this thread's hold as the first one.
    if (!Abandoned && heldByThisThread(Shared)) {
        ++Shared.depth;
        return;
    }
    Shared.depth = 1;
    Shared.ownerThread.store(thisThread(), std::memory_order_relaxed);
    Shared.ownerPid.store(thisProcess(), std::memory_order_release);
}

} // namespace

NamedMutex::NamedMutex(std::unique_ptr<Impl> I) : impl_(std::move(I)) {}

NamedMutex::~NamedMutex()
{
    if (impl_->shared->ownerPid.load(std::memory_order_acquire) == thisProcess())
        keepWhileHeld(std::move(impl_));
}

std::unique_ptr<NamedMutex> NamedMutex::Create(std::string_view Name)
{
    auto impl = std::make_unique<Impl>();
    impl->object = kernel_private::SharedObject::Open("mutex", Name, sizeof(SharedMutex), initSharedMutex);
    if (!impl->object)
        return nullptr;
    if (impl->object->size() < sizeof(SharedMutex)) {
        errno = EINVAL;
        return nullptr;
    }
    void* memory = ::mmap(nullptr, sizeof(SharedMutex), PROT_READ | PROT_WRITE, MAP_SHARED, impl->object->fd(), 0);
    if (memory == MAP_FAILED)
        return nullptr;
    impl->shared = static_cast<SharedMutex*>(memory);
    return std::unique_ptr<NamedMutex>(new NamedMutex(std::move(impl)));
}

bool NamedMutex::CreatedHere() const { return impl_->object->createdHere(); }

uint32_t NamedMutex::Wait(uint32_t TimeoutMs)
{
    pthread_mutex_t* mutex = &impl_->shared->mutex;
    int rc;
    if (TimeoutMs == 0)
        rc = pthread_mutex_trylock(mutex);
    else if (TimeoutMs == Infinite)
        rc = pthread_mutex_lock(mutex);
    else
        rc = timedLock(mutex, TimeoutMs);

    switch (rc) {
    case 0: takeOwnership(*impl_->shared, false); return WAIT_OBJECT_0;
    case EOWNERDEAD:
        // Made consistent at once: the abandonment is reported to this caller only, and the
        // mutex goes on working for everybody (unlocking without this would make it unusable).
        pthread_mutex_consistent(mutex);
        takeOwnership(*impl_->shared, true);
        return WAIT_ABANDONED;
    case EBUSY:
    case ETIMEDOUT: return WAIT_TIMEOUT;
    default: errno = rc; return WAIT_FAILED;
    }
}

bool NamedMutex::Release()
{
    SharedMutex& shared = *impl_->shared;
    if (!heldByThisThread(shared))
        return false;
    bool lastHold = --shared.depth == 0;
    if (lastHold) {
        shared.ownerPid.store(0, std::memory_order_relaxed);
        shared.ownerThread.store(0, std::memory_order_relaxed);
    }
    if (pthread_mutex_unlock(&shared.mutex) != 0)
        return false;
    if (lastHold && leftoverCount > 0)
        dropReleasedLeftovers();
    return true;
}
