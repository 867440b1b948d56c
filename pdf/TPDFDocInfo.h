//===- TPDFDocInfo.h - The document information dictionary's values -*- C++ -*-===//
#pragma once

#include "platform/rtl/DateUtils.h"
#include "platform/ui/components/TComponent.h"

#include <cstdint>
#include <string>

class TPDFDocInfo : public TPersistent {
public:
    /// The document's defaults: CreationDate now, Producer "Vellorin 3.x", Author
    /// "Windows 9x/NT/2000/XP User", Title "No Title", Subject "None", the others empty.
    TPDFDocInfo();

    /// Copies Creator, CreationDate, Author, Title, Subject and Keywords of another TPDFDocInfo;
    /// the Producer stays.
    void Assign(const TPersistent& Source) override;

    std::string Author;
    std::string Creator;
    std::string Keywords;
    std::string Subject;
    std::string Title;
    TDateTime CreationDate = 0;
    std::string Producer;
    /// The information dictionary's object number; 0 until written.
    int32_t ObjectNumber = 0;
};
