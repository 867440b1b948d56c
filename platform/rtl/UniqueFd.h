//===- UniqueFd.h - Owner of one operating-system file descriptor -*- C++ -*-===//
#pragma once

/// Closes its descriptor when it goes; moves, never copies. Empty holds -1.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int Fd) : fd_(Fd) {}
    ~UniqueFd();
    UniqueFd(UniqueFd&& Other) noexcept : fd_(Other.release()) {}
    UniqueFd& operator=(UniqueFd&& Other) noexcept;
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    /// Gives the descriptor up without closing it.
    int release();
    /// Closes the held descriptor (if any) and holds Fd.
    void reset(int Fd = -1);

private:
    int fd_ = -1;
};
