//===- SharedObject_p.h - Named shared files with the lifetime of their users -*- C++ -*-===//
#pragma once

#include "platform/rtl/UniqueFd.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace kernel_private {

/// A file in the user's folder of named objects (SessionObjectFolder()) named for the session,
/// alive while any process uses it. Every user
/// holds a shared flock on it for as long as it keeps the object (and not a moment after its
/// process was reaped, though its mappings may outlive that); an opener that can take the
/// lock exclusively knows that nobody alive uses the file, whatever is left in it, and starts
/// it afresh. The open-decide-convert step and the leaving step run under an exclusive flock
/// on a guard file of the same name, so that N processes starting together see exactly one
/// creator. The last user to leave normally removes both files; crashed users leave them
/// behind, to be started afresh by the next opener.
///
/// An empty name gives a private object that no other process can open (always created here).
/// A folder, object or guard that another user could have planted is refused (see
/// OpenSessionObjectFile) and left alone.
///
/// Processes forked (without exec) while holding an object share its lock with the parent; the
/// descriptors are close-on-exec, so programs started from such a process never hold it. Such
/// a child never removes the files: its lock is its parent's.
class SharedObject {
public:
    /// Called, only on a fresh object, with its descriptor (already Size bytes of zeros) while
    /// no other process can open it yet. Answers false to make Open fail.
    using InitFn = std::function<bool(int Fd)>;
    /// Called with the open folder while no other process uses the object: after a fresh
    /// object is made, and before the last user removes it. For what the session keeps beside it.
    using TidyFn = std::function<void(int Folder)>;

    /// Opens the living object of that kind and name or creates it with Size zero bytes (0: an
    /// empty file). Null on failure, with errno telling why.
    static std::unique_ptr<SharedObject> Open(std::string_view Kind, std::string_view Name, uint32_t Size,
                                              const InitFn& InitFresh = {}, TidyFn Tidy = {});
    ~SharedObject(); // leaves; the last user removes the files

    SharedObject(const SharedObject&) = delete;
    SharedObject& operator=(const SharedObject&) = delete;

    int fd() const { return fd_.get(); }
    /// The checked folder the object's file is in; -1 for a private object.
    int folder() const { return folder_.get(); }
    /// The object's file name in folder(); empty for a private object.
    const std::string& name() const { return name_; }
    bool createdHere() const { return createdHere_; }
    /// The object's real size: an opener asking for another size gets the living object as is.
    uint32_t size() const { return size_; }

private:
    SharedObject() = default;

    UniqueFd fd_;      // the one mapped
    UniqueFd lock_;    // the one holding the flock, never mapped; empty for a private object
    UniqueFd folder_;  // the checked folder the names below are in; empty for a private object
    std::string name_; // empty for a private object
    std::string guardName_;
    TidyFn tidy_;
    pid_t opener_ = 0;
    bool createdHere_ = false;
    uint32_t size_ = 0;
};

} // namespace kernel_private
