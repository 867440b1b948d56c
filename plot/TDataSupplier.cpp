//===- TDataSupplier.cpp - Row readers over text files and data holders ---===//
#include "plot/TDataSupplier.h"

#include "plot/TPlotHolder.h"
#include "platform/rtl/DateTimeText.h"
#include "platform/rtl/FileNames.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <cctype>

namespace {

// The column scan looks at this many rows, and counts at most this many fields in a row.
constexpr int ScanRows = 40;
constexpr int MaxColumns = 1000;

bool AllDigits(const std::string& S)
{
    return std::all_of(S.begin(), S.end(), [](char C) { return C >= '0' && C <= '9'; });
}

} // namespace

TTxtSupplier::TTxtSupplier(std::unique_ptr<TStringList> Rows, bool DivideByWidth, const std::string& Markers,
                           const std::string& Separators, uint16_t Width)
    : FOwnedRows(std::move(Rows)), FRows(*FOwnedRows), FDivideByWidth(DivideByWidth), FColumnWidth(Width),
      FSeparators(Separators), FMarkers(Markers)
{
    ScanColumns();
}

TTxtSupplier::TTxtSupplier(const TStringList& Rows, bool DivideByWidth, const std::string& Markers,
                           const std::string& Separators, uint16_t Width)
    : FRows(Rows), FDivideByWidth(DivideByWidth), FColumnWidth(Width), FSeparators(Separators), FMarkers(Markers)
{
    ScanColumns();
}

// --- Rows

bool TTxtSupplier::AtEnd() const { return FCursor == FRows.Count(); }

bool TTxtSupplier::NextRow()
{
    ++FCursor;
    if (FCursor > FRows.Count())
        FRow = FRows.Get(FCursor); // raises the list's index error
    FRow = FCursor < FRows.Count() ? FRows[FCursor] : std::string();
    return AtEnd();
}

int TTxtSupplier::RowCount() const { return FRows.Count(); }

// --- Fields

std::string TTxtSupplier::ReadField(const std::string& Row, size_t& Pos) const
{
    std::string Text;
    if (Pos >= Row.size() || IsSeparator(Row[Pos]))
        return Text;
    if (IsMarker(Row[Pos])) {
        const char Quote = Row[Pos++];
        bool Closed = false;
        while (Pos < Row.size()) {
            const char C = Row[Pos++];
            if (C != Quote) {
                Text += C;
            } else if (Pos < Row.size() && Row[Pos] == Quote) {
                Text += Quote; // a doubled marker stands for itself
                ++Pos;
            } else {
                Closed = true;
                break;
            }
        }
        if (!Closed && !Text.empty() && (IsSeparator(Text.back()) || IsMarker(Text.back())))
            Text.pop_back();
        while (Pos < Row.size() && !IsSeparator(Row[Pos]))
            ++Pos;
        return Text;
    }
    while (Pos < Row.size() && !IsSeparator(Row[Pos]))
        Text += Row[Pos++];
    return Text;
}

bool TTxtSupplier::SplitField(const std::string& Row, int Column, std::string& Text) const
{
    Text.clear();
    if (Column < 0 || Row.empty())
        return false;
    if (FDivideByWidth) {
        // A width of 0 divides nothing; a slice past the row's end is cut at the end.
        if (FColumnWidth == 0)
            return false;
        const size_t Columns = (Row.size() - 1) / FColumnWidth + 1;
        if (static_cast<size_t>(Column) >= Columns)
            return false;
        Text = Row.substr(static_cast<size_t>(Column) * FColumnWidth, FColumnWidth);
        return true;
    }
    size_t Pos = 0;
    int Counter = 0;
    while (Counter < Column && Pos < Row.size()) {
        if (!IsSeparator(Row[Pos]))
            ReadField(Row, Pos);
        if (Pos < Row.size() && IsSeparator(Row[Pos]))
            ++Counter;
        ++Pos;
    }
    if (Counter < Column)
        return false;
    Text = ReadField(Row, Pos);
    return true;
}

std::string TTxtSupplier::FieldText(int Column)
{
    std::string Text;
    SplitField(FRow, Column, Text);
    return Text;
}

bool TTxtSupplier::ColumnValue(int Column, double& Value, bool DateTime)
{
    const std::string Text = FieldText(Column);
    if (Text.empty())
        return false;
    if (!DateTime)
        return TryStrToFloat(Text, Value);
    TDateTime When;
    if (!TryStrToDateTime(Text, When))
        return false;
    Value = When;
    return true;
}

// --- Columns

int TTxtSupplier::FieldCount(const std::string& Row) const
{
    std::string Text;
    int K = 0;
    while (K < MaxColumns && SplitField(Row, K, Text))
        ++K;
    return K;
}

void TTxtSupplier::ScanColumns()
{
    int Columns = 0;
    for (int I = 0; I < std::min(ScanRows, FRows.Count()); ++I)
        Columns = std::max(Columns, FieldCount(FRows[I]));
    const std::string First = FRows.Count() > 0 ? FRows[0] : std::string();
    for (int K = 0; K < Columns; ++K) {
        std::string Text;
        SplitField(First, K, Text);
        FColumnNames.Add(Text.empty() || AllDigits(Text) ? "(col " + std::to_string(K) + ")" : Text);
    }
    FCursor = 0;
    FRow = First;
}

int TTxtSupplier::ColumnCount() const { return FColumnNames.Count(); }

std::string TTxtSupplier::ColumnName(int Index) const { return FColumnNames.Get(Index); }

int TTxtSupplier::ColumnIndex(const std::string& Name) const
{
    static constexpr std::string_view Prefix = "(col ";
    const bool Numbered =
        Name.size() >= Prefix.size() && std::equal(Prefix.begin(), Prefix.end(), Name.begin(), [](char A, char B) {
            return A == std::tolower(static_cast<unsigned char>(B));
        });
    if (!Numbered)
        return FColumnNames.IndexOf(Name);
    // The number stands between the prefix and the closing character; unreadable is unknown.
    if (Name.size() < Prefix.size() + 1)
        return -1;
    int32_t Index;
    if (!TryStrToInt(std::string_view(Name).substr(Prefix.size(), Name.size() - Prefix.size() - 1), Index) || Index < 0)
        return -1;
    return Index;
}

// --- Making a supplier

std::unique_ptr<TDataSupplier> MakeSupplier(uint8_t Source, const std::string& Info, bool DivideByWidth,
                                            const std::string& Markers, const std::string& Separators, uint16_t Width)
{
    if (Source == 1) {
        if (!FileExists(Info))
            return nullptr;
        auto Rows = std::make_unique<TStringList>();
        Rows->LoadFromFile(Info);
        return std::make_unique<TTxtSupplier>(std::move(Rows), DivideByWidth, Markers, Separators, Width);
    }
    if (Source == 5) {
        const TPlotHolder* Holder = FindPlotHolder(Info);
        if (!Holder)
            return nullptr;
        return std::make_unique<TTxtSupplier>(Holder->Getdata(), DivideByWidth, Markers, Separators, Width);
    }
    return nullptr;
}
