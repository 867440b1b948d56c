//===- TPDFJSFList.cpp - The document's JavaScript functions -===//
#include "pdf/TPDFJSFList.h"

TPDFJSFunction* TPDFJSFList::Add(std::string Name, std::string Params, std::string Body)
{
    auto F = std::make_unique<TPDFJSFunction>();
    F->Name = std::move(Name);
    F->Params = std::move(Params);
    F->Body = std::move(Body);
    FItems.push_back(std::move(F));
    return FItems.back().get();
}
