//===- notice_floor.h - The bare datagram floor of bench_notice -*- C++ -*-===//
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>

/// An abstract AF_UNIX name "<Name>-<Suffix>".
struct FloorAddress {
    sockaddr_un Address {};
    socklen_t Length = 0;
    const sockaddr* address() const { return reinterpret_cast<const sockaddr*>(&Address); }
};

inline FloorAddress floorAddress(const std::string& Name, const std::string& Suffix)
{
    std::string full = Name + "-" + Suffix;
    FloorAddress result;
    result.Address.sun_family = AF_UNIX;
    size_t length = std::min(full.size(), sizeof result.Address.sun_path - 1);
    std::memcpy(result.Address.sun_path + 1, full.data(), length);
    result.Length = socklen_t(offsetof(sockaddr_un, sun_path) + 1 + length);
    return result;
}

/// A floor receiver's answer: who, and when the datagram arrived (CLOCK_MONOTONIC ns).
struct FloorReply {
    int32_t Index;
    int64_t ArrivedNs;
};
