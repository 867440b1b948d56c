//===- TStringList.h - A list of ANSI strings with text, file and name=value access -*- C++ -*-===//
#pragma once

#include <string>
#include <string_view>
#include <vector>

class TStream;

/// What Add does with a string that a sorted list already holds.
enum class TDuplicates { dupIgnore, dupAccept, dupError };
using enum TDuplicates;

/// An ordered list of 8-bit strings. Comparisons (IndexOf, sorting, Values) ignore the case of
/// every Windows-1252 letter. An index outside 0..Count()-1 raises EListError
/// "List index out of bounds (n)".
class TStringList {
public:
    TStringList();
    ~TStringList();
    TStringList(const TStringList&);
    TStringList& operator=(const TStringList&);

    // --- Contents
    int Count() const { return static_cast<int>(FStrings.size()); }
    const std::string& operator[](int Index) const;
    std::string Get(int Index) const;
    /// Raises EListError on a sorted list.
    void Put(int Index, const std::string& S);
    /// Answers the index of the new string. A sorted list inserts it in order; a string already
    /// there is then ignored (dupIgnore, answering its index), added (dupAccept) or refused
    /// with EListError (dupError).
    int Add(const std::string& S);
    void AddStrings(const TStringList& Strings);
    /// Index may equal Count() (append). Raises EListError on a sorted list.
    void Insert(int Index, const std::string& S);
    void Delete(int Index);
    void Clear();
    void Assign(const TStringList& Source);

    // --- Searching
    /// The first index of S, or -1.
    int IndexOf(std::string_view S) const;
    /// Binary search of a sorted list: true when found; Index is where S is or would be.
    bool Find(std::string_view S, int& Index) const;

    // --- Order
    bool GetSorted() const { return FSorted; }
    /// Switching sorting on sorts the list.
    void SetSorted(bool Value);
    void Sort();
    TDuplicates Duplicates = dupIgnore;

    // --- Whole text: each string followed by CR LF; setting it splits at CR LF, LF or CR
    std::string GetText() const;
    void SetText(std::string_view Text);

    // --- "name=value" lines
    /// The part before the first '=' of a line, empty when it has none.
    std::string Names(int Index) const;
    /// The part after the first '=' of a line, empty when it has none.
    std::string ValueFromIndex(int Index) const;
    int IndexOfName(std::string_view Name) const;
    /// The value of the first line with that name, empty when there is none.
    std::string GetValue(std::string_view Name) const;
    /// Replaces the line's value or adds "name=value"; an empty value deletes the line.
    void SetValue(std::string_view Name, std::string_view Value);

    // --- Files and streams (8-bit text as bytes; file names are ANSI)
    /// Raises EFOpenError when the file cannot be opened.
    void LoadFromFile(const std::string& FileName);
    /// Reads from the stream's position to its end.
    void LoadFromStream(TStream& Stream);
    /// Raises EFCreateError when the file cannot be created.
    void SaveToFile(const std::string& FileName) const;
    void SaveToStream(TStream& Stream) const;

    // --- Iteration
    std::vector<std::string>::const_iterator begin() const { return FStrings.begin(); }
    std::vector<std::string>::const_iterator end() const { return FStrings.end(); }

private:
    void checkIndex(int Index) const;
    void checkUnsorted() const;

    std::vector<std::string> FStrings;
    bool FSorted = false;
};
