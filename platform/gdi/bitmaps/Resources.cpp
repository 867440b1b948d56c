//===- Resources.cpp - The table of named resources ------------------------===//
#include "platform/gdi/bitmaps/Resources.h"

#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace {

struct ResourceTable {
    std::mutex lock;
    std::map<std::string, const std::vector<uint8_t>*> byName; // key: the name in upper case
    // Every registered copy lives to the end of the program, so a span that FindResource gave
    // out stays valid even when a later registration replaces the name.
    std::deque<std::vector<uint8_t>> store;
};

// Built on first use: the embedded resources register from static constructors of the
// executable, which may run before this library's own statics.
ResourceTable& table()
{
    static ResourceTable t;
    return t;
}

std::string key(std::string_view Name)
{
    std::string k(Name);
    for (char& c : k)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return k;
}

} // namespace

std::span<const uint8_t> FindResource(std::string_view Name)
{
    ResourceTable& t = table();
    std::lock_guard hold(t.lock);
    auto it = t.byName.find(key(Name));
    if (it == t.byName.end())
        return {};
    return *it->second;
}

void RegisterResource(std::string_view Name, std::span<const uint8_t> Bytes)
{
    ResourceTable& t = table();
    std::lock_guard hold(t.lock);
    const auto& copy = t.store.emplace_back(Bytes.begin(), Bytes.end());
    t.byName[key(Name)] = &copy;
}
