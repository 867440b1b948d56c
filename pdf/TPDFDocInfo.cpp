//===- TPDFDocInfo.cpp - The document information dictionary's values -===//
#include "pdf/TPDFDocInfo.h"

TPDFDocInfo::TPDFDocInfo()
    : Author("Windows 9x/NT/2000/XP User"), Subject("None"), Title("No Title"), CreationDate(Now()),
      Producer("Vellorin 3.x")
{
}

void TPDFDocInfo::Assign(const TPersistent& Source)
{
    const auto* Info = dynamic_cast<const TPDFDocInfo*>(&Source);
    if (!Info) {
        TPersistent::Assign(Source);
        return;
    }
    Creator = Info->Creator;
    CreationDate = Info->CreationDate;
    Author = Info->Author;
    Title = Info->Title;
    Subject = Info->Subject;
    Keywords = Info->Keywords;
}
