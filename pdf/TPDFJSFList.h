//===- TPDFJSFList.h - The document's JavaScript functions -*- C++ -*-===//
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct TPDFJSFunction {
    int32_t ObjectNumber = 0;
    std::string Body;
    std::string Name;
    std::string Params;
};

/// An owning list; the document writes each entry as "function Name(Params){Body}".
class TPDFJSFList {
public:
    TPDFJSFunction* Add(std::string Name, std::string Params, std::string Body);
    void Clear() { FItems.clear(); }
    int Count() const { return static_cast<int>(FItems.size()); }
    TPDFJSFunction* Items(int Index) const { return FItems.at(Index).get(); }

private:
    std::vector<std::unique_ptr<TPDFJSFunction>> FItems;
};
