//===- SharedObject_p.h - Named shared files with the lifetime of their users -*- C++ -*-===//
#pragma once

#include "platform/rtl/UniqueFd.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace kernel_private {

/// A file under /dev/shm named for the session, alive while any process uses it. Every user
/// holds a shared flock on it for as long as it keeps the object (and not a moment after its
/// process was reaped, though its mappings may outlive that); an opener that can take the
/// lock exclusively knows that nobody alive uses the file, whatever is left in it, and starts
/// it afresh. The open-decide-convert step and the leaving step run under an exclusive flock
/// on a guard file of the same name, so that N processes starting together see exactly one
/// creator. The last user to leave normally removes both files; crashed users leave them
/// behind, to be started afresh by the next opener.
///
/// An empty name gives a private object that no other process can open (always created here).
///
/// Processes forked (without exec) while holding an object share its lock with the parent; the
/// descriptors are close-on-exec, so programs started from such a process never hold it.
class SharedObject {
public:
    /// Called, only on a fresh object, with its descriptor (already Size bytes of zeros) while
    /// no other process can open it yet. Answers false to make Open fail.
    using InitFn = std::function<bool(int Fd)>;

    /// Opens the living object of that kind and name or creates it with Size zero bytes (Size
    /// must not be 0). Null on failure, with errno telling why.
    static std::unique_ptr<SharedObject> Open(std::string_view Kind, std::string_view Name, uint32_t Size,
                                              const InitFn& InitFresh = {});
    ~SharedObject(); // leaves; the last user removes the files

    SharedObject(const SharedObject&) = delete;
    SharedObject& operator=(const SharedObject&) = delete;

    int fd() const { return fd_.get(); }
    bool createdHere() const { return createdHere_; }
    /// The object's real size: an opener asking for another size gets the living object as is.
    uint32_t size() const { return size_; }

private:
    SharedObject() = default;

    UniqueFd fd_;      // the one mapped
    UniqueFd lock_;    // the one holding the flock, never mapped; empty for a private object
    std::string path_; // empty for a private object
    std::string guardPath_;
    bool createdHere_ = false;
    uint32_t size_ = 0;
};

} // namespace kernel_private
