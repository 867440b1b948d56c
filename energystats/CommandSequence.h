//===- CommandSequence.h - The sequence numbers of a client's commands -*- C++ -*-===//
#pragma once

#include <cstdint>

/// Numbers the commands a client sends: from First on, and after 65520 from 1 again.
class CommandSequence {
public:
    static constexpr uint16_t Last = 65520;

    explicit CommandSequence(uint16_t First = 0) : next(First) {}
    /// The number of the command being sent; the next one follows.
    uint16_t Take()
    {
        const uint16_t n = next;
        next = uint16_t(next + 1 > Last ? 1 : next + 1);
        return n;
    }

private:
    uint16_t next;
};
