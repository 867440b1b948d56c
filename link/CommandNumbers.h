//===- CommandNumbers.h - The sequence numbers of a client's commands -*- C++ -*-===//
#pragma once

#include "link/LinkRecords.h"

#include <cstdint>

/// Numbers the commands a client sends: from First on, and after 65520 from 1 again. A refused
/// command has taken its number too.
class CommandNumbers {
public:
    explicit CommandNumbers(uint16_t First) : next(First) {}

    /// The number of the command being sent; the next one follows.
    uint16_t Take()
    {
        const uint16_t n = next;
        next = NextSequence(next);
        return n;
    }
    /// The number the next command will carry.
    uint16_t Next() const { return next; }

private:
    uint16_t next;
};
