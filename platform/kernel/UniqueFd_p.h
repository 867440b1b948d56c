//===- UniqueFd_p.h - Owning wrapper for a file descriptor -----*- C++ -*-===//
#pragma once

#include <unistd.h>
#include <utility>

namespace platform {

/// Owns one file descriptor and closes it when it goes; -1 means none.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int Fd) : fd_(Fd) {}
    ~UniqueFd() { reset(); }

    UniqueFd(UniqueFd&& Other) noexcept : fd_(Other.release()) {}
    UniqueFd& operator=(UniqueFd&& Other) noexcept
    {
        if (this != &Other)
            reset(Other.release());
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    int release() { return std::exchange(fd_, -1); }
    void reset(int Fd = -1)
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = Fd;
    }

private:
    int fd_ = -1;
};

} // namespace platform
