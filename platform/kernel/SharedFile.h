//===- SharedFile.h - Small files shared by the processes of a session -*- C++ -*-===//
#pragma once

#include "platform/rtl/UniqueFd.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

namespace kernel_private {
class SharedObject;
}

/// A small named file of the session (SessionObjectName(Kind, Name) in the user's folder) with
/// the lifetime of a named mapping: the first user makes it with Size zero bytes, every user holds
/// it while it keeps the object, the last one to leave removes it, and one left by crashed users
/// is started afresh by the next. Refused like every named object when another user could have
/// planted it.
class SharedFile {
public:
    /// Called with the open folder while no other process uses the file: after it was made
    /// afresh and before the last user removes it; for what the session keeps beside it.
    using TidyFn = std::function<void(int Folder)>;

    /// Null on failure, errno telling why (EACCES: refused, see SessionObjectRefusal()).
    static std::unique_ptr<SharedFile> Open(std::string_view Kind, std::string_view Name, uint32_t Size,
                                            TidyFn Tidy = {});
    ~SharedFile(); // leaves; the last user removes the file

    SharedFile(const SharedFile&) = delete;
    SharedFile& operator=(const SharedFile&) = delete;

    int Fd() const;
    /// A descriptor of its own (a new open file description) on the same file, e.g. for a lock
    /// that must exclude the other threads of this process as well. Empty on failure.
    UniqueFd OpenAgain() const;

private:
    explicit SharedFile(std::unique_ptr<kernel_private::SharedObject> Object);
    std::unique_ptr<kernel_private::SharedObject> object_;
};
