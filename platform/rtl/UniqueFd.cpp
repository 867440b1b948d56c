//===- UniqueFd.cpp - Owner of one operating-system file descriptor -------===//
#include "platform/rtl/UniqueFd.h"

#include <unistd.h>

UniqueFd::~UniqueFd() { reset(); }

UniqueFd& UniqueFd::operator=(UniqueFd&& Other) noexcept
{
    if (this != &Other)
        reset(Other.release());
    return *this;
}

int UniqueFd::release()
{
    const int Fd = fd_;
    fd_ = -1;
    return Fd;
}

void UniqueFd::reset(int Fd)
{
    // close() is not retried on EINTR: on Linux the descriptor is gone either way.
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = Fd;
}
