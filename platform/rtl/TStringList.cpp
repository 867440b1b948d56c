//===- TStringList.cpp - A list of ANSI strings ---------------------------===//
#include "platform/rtl/TStringList.h"

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/RtlConsts.h"
#include "platform/rtl/TStream.h"

#include <algorithm>

namespace {

bool lessText(const std::string& A, const std::string& B) { return AnsiCompareText(A, B) < 0; }

} // namespace

TStringList::TStringList() = default;
TStringList::~TStringList() = default;
TStringList::TStringList(const TStringList&) = default;
TStringList& TStringList::operator=(const TStringList&) = default;

void TStringList::checkIndex(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EListError(Format(SListIndexError, { Index }));
}

void TStringList::checkUnsorted() const
{
    if (FSorted)
        throw EListError(SSortedListError);
}

// --- Contents

const std::string& TStringList::operator[](int Index) const
{
    checkIndex(Index);
    return FStrings[Index];
}

std::string TStringList::Get(int Index) const { return (*this)[Index]; }

void TStringList::Put(int Index, const std::string& S)
{
    checkUnsorted();
    checkIndex(Index);
    FStrings[Index] = S;
}

int TStringList::Add(const std::string& S)
{
    if (!FSorted) {
        FStrings.push_back(S);
        return Count() - 1;
    }
    int Index;
    if (Find(S, Index)) {
        if (Duplicates == dupIgnore)
            return Index;
        if (Duplicates == dupError)
            throw EListError(SDuplicateString);
    }
    FStrings.insert(FStrings.begin() + Index, S);
    return Index;
}

void TStringList::AddStrings(const TStringList& Strings)
{
    const std::vector<std::string> Copy = Strings.FStrings; // Strings may be this list
    for (const std::string& S : Copy)
        Add(S);
}

void TStringList::Insert(int Index, const std::string& S)
{
    checkUnsorted();
    if (Index < 0 || Index > Count())
        throw EListError(Format(SListIndexError, { Index }));
    FStrings.insert(FStrings.begin() + Index, S);
}

void TStringList::Delete(int Index)
{
    checkIndex(Index);
    FStrings.erase(FStrings.begin() + Index);
}

void TStringList::Clear() { FStrings.clear(); }

void TStringList::Assign(const TStringList& Source)
{
    if (&Source == this)
        return;
    // Contents only: sorting and duplicates stay this list's own, as with the original.
    FStrings = Source.FStrings;
    if (FSorted)
        Sort();
}

// --- Searching

int TStringList::IndexOf(std::string_view S) const
{
    if (FSorted) {
        int Index;
        return Find(S, Index) ? Index : -1;
    }
    for (int I = 0; I < Count(); ++I)
        if (AnsiSameText(FStrings[I], S))
            return I;
    return -1;
}

bool TStringList::Find(std::string_view S, int& Index) const
{
    // The first of equal strings, so that IndexOf answers the lowest index.
    const auto It = std::lower_bound(FStrings.begin(), FStrings.end(), S, [](const std::string& A, std::string_view B) {
        return AnsiCompareText(A, B) < 0;
    });
    Index = static_cast<int>(It - FStrings.begin());
    return It != FStrings.end() && AnsiSameText(*It, S);
}

// --- Order

void TStringList::SetSorted(bool Value)
{
    if (Value && !FSorted)
        Sort();
    FSorted = Value;
}

void TStringList::Sort() { std::stable_sort(FStrings.begin(), FStrings.end(), lessText); }

// --- Whole text

std::string TStringList::GetText() const
{
    std::string Text;
    for (const std::string& S : FStrings)
        Text += S + "\r\n";
    return Text;
}

void TStringList::SetText(std::string_view Text)
{
    std::vector<std::string> Lines;
    size_t Start = 0;
    while (Start < Text.size()) {
        size_t End = Start;
        while (End < Text.size() && Text[End] != '\r' && Text[End] != '\n')
            ++End;
        Lines.emplace_back(Text.substr(Start, End - Start));
        if (End < Text.size())
            End += (Text[End] == '\r' && End + 1 < Text.size() && Text[End + 1] == '\n') ? 2 : 1;
        Start = End;
    }
    Clear();
    for (std::string& Line : Lines)
        Add(Line);
}

// --- "name=value" lines

std::string TStringList::Names(int Index) const
{
    const std::string& S = (*this)[Index];
    const size_t Eq = S.find('=');
    return Eq == std::string::npos ? std::string() : S.substr(0, Eq);
}

std::string TStringList::ValueFromIndex(int Index) const
{
    const std::string& S = (*this)[Index];
    const size_t Eq = S.find('=');
    return Eq == std::string::npos ? std::string() : S.substr(Eq + 1);
}

int TStringList::IndexOfName(std::string_view Name) const
{
    for (int I = 0; I < Count(); ++I) {
        const size_t Eq = FStrings[I].find('=');
        if (Eq != std::string::npos && AnsiSameText(std::string_view(FStrings[I]).substr(0, Eq), Name))
            return I;
    }
    return -1;
}

std::string TStringList::GetValue(std::string_view Name) const
{
    const int Index = IndexOfName(Name);
    return Index < 0 ? std::string() : ValueFromIndex(Index);
}

void TStringList::SetValue(std::string_view Name, std::string_view Value)
{
    const int Index = IndexOfName(Name);
    if (Value.empty()) {
        if (Index >= 0)
            Delete(Index);
        return;
    }
    std::string Line = std::string(Name) + "=" + std::string(Value);
    if (Index < 0) {
        Add(Line);
    } else if (FSorted) {
        // A sorted list refuses Put; the new line takes its place in order.
        Delete(Index);
        Add(Line);
    } else {
        FStrings[Index] = std::move(Line);
    }
}

// --- Files and streams

void TStringList::LoadFromFile(const std::string& FileName)
{
    TFileStream File(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(File);
}

void TStringList::LoadFromStream(TStream& Stream)
{
    const int64_t Count = std::max<int64_t>(0, Stream.GetSize() - Stream.GetPosition());
    std::string Bytes(static_cast<size_t>(Count), '\0');
    for (int64_t Done = 0; Done < Count;) {
        const int32_t N = static_cast<int32_t>(std::min<int64_t>(Count - Done, 1 << 30));
        Stream.ReadBuffer(Bytes.data() + Done, N);
        Done += N;
    }
    SetText(Bytes);
}

void TStringList::SaveToFile(const std::string& FileName) const
{
    TFileStream File(FileName, fmCreate);
    SaveToStream(File);
}

void TStringList::SaveToStream(TStream& Stream) const
{
    const std::string Text = GetText();
    for (size_t Done = 0; Done < Text.size();) {
        const int32_t N = static_cast<int32_t>(std::min<size_t>(Text.size() - Done, 1 << 30));
        Stream.WriteBuffer(Text.data() + Done, N);
        Done += N;
    }
}
