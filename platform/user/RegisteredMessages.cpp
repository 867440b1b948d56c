//===- RegisteredMessages.cpp - Message numbers shared by name across processes ===//
#include "platform/user/Messages.h"

#include "platform/user/RegisteredMessages_p.h"
#include "platform/user/SessionFile_p.h"
#include "platform/rtl/AnsiString.h"

#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <pthread.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace user_private;

namespace {

bool readAll(int fd, std::string& content)
{
    struct stat info {};
    if (fstat(fd, &info) != 0)
        return false;
    content.resize(static_cast<size_t>(info.st_size));
    size_t done = 0;
    while (done < content.size()) {
        ssize_t got = pread(fd, content.data() + done, content.size() - done, static_cast<off_t>(done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        done += static_cast<size_t>(got);
    }
    return true;
}

/// The names of the complete records, in order; Valid is where they end.
std::vector<std::string_view> parseTable(std::string_view content, size_t& valid)
{
    std::vector<std::string_view> names;
    size_t at = 0;
    while (at < content.size() && names.size() < MaxRegisteredMessages) {
        size_t length = static_cast<unsigned char>(content[at]);
        if (length == 0 || at + 1 + length > content.size())
            break;
        names.push_back(content.substr(at + 1, length));
        at += 1 + length;
    }
    valid = at;
    return names;
}

bool appendRecord(int fd, size_t at, std::string_view name)
{
    std::string record(1, static_cast<char>(name.size()));
    record += name;
    // One write: a writer killed in the middle leaves at most a short tail, dropped by the next.
    ssize_t written;
    do
        written = pwrite(fd, record.data(), record.size(), static_cast<off_t>(at));
    while (written < 0 && errno == EINTR);
    return written == static_cast<ssize_t>(record.size());
}

// The tables held by this process. Registering never takes another lock inside this one, so the
// lock can be held across fork without meeting the other fork handlers in the wrong order.
std::mutex tablesLock;
SessionFiles* tables = new SessionFiles; // never destroyed: names may be registered at exit

void leaveTables()
{
    std::lock_guard hold(tablesLock);
    tables->leaveAll();
}

void lockTablesBeforeFork() { tablesLock.lock(); }
void unlockTablesAfterFork() { tablesLock.unlock(); }

} // namespace

namespace user_private {

UniqueFd openRegisteredMessageTable()
{
    std::shared_ptr<SharedFile> file;
    {
        std::lock_guard hold(tablesLock);
        static const bool registered = [] {
            std::atexit(leaveTables);
            return pthread_atfork(lockTablesBeforeFork, unlockTablesAfterFork, unlockTablesAfterFork) == 0;
        }();
        (void)registered;
        file = tables->get(RegisteredMessageTable, 0);
    }
    // A description of its own, so that the table's lock excludes this process's other threads.
    return file ? file->OpenAgain() : UniqueFd();
}

} // namespace user_private

UINT RegisterWindowMessage(std::string_view Name)
{
    if (Name.empty() || Name.size() > MaxRegisteredNameLength)
        return 0;
    UniqueFd table = openRegisteredMessageTable();
    if (!table)
        return 0;
    ExclusiveFileLock hold(table.get());
    std::string content;
    if (!hold || !readAll(table.get(), content))
        return 0;

    size_t valid = 0;
    std::vector<std::string_view> names = parseTable(content, valid);
    // Names compare like the original's atoms: without regard to case, Windows-1252 letters included.
    for (size_t i = 0; i < names.size(); ++i)
        if (AnsiSameText(names[i], Name))
            return FirstRegisteredMessage + static_cast<UINT>(i);

    if (names.size() >= MaxRegisteredMessages)
        return 0;
    if (valid < content.size() && ftruncate(table.get(), static_cast<off_t>(valid)) != 0)
        return 0;
    // A short write leaves a cut record, which the next registration drops like a dead writer's.
    if (!appendRecord(table.get(), valid, Name))
        return 0;
    return FirstRegisteredMessage + static_cast<UINT>(names.size());
}
