//===- TDataSeriesSource.cpp - Reloading a data series from its text source ===//
#include "plot/TDataSeries.h"

#include "plot/TDataSupplier.h"

#include <cmath>
#include <utility>
#include <vector>

namespace {

// RowChoiceValue1 as a row number: truncated, and a value that no integer holds counts as 0.
int32_t RowNumber(double Value)
{
    const double T = std::trunc(Value);
    return T >= -2147483648.0 && T <= 2147483647.0 ? static_cast<int32_t>(T) : 0;
}

void PassOver(TDataSupplier& Supplier, int Rows)
{
    for (int I = 0; I < Rows; ++I)
        Supplier.NextRow();
}

using TRowPoints = std::vector<std::pair<double, double>>;

// The rows that the series' row choice and sampling take, as points.
TRowPoints ReadRows(const TDataSeries& S, TDataSupplier& Supplier, int XColumn, int YColumn)
{
    if (S.RowChoiceMode == 5) // the last rows; the count is kept in 16 bits
        PassOver(Supplier,
                 static_cast<uint16_t>(Supplier.RowCount() - (RowNumber(S.RowChoiceValue1) - S.FileHasHeaders)));
    PassOver(Supplier, S.FileHasHeaders);
    double X, Y;
    if (S.RowChoiceMode == 1 || S.RowChoiceMode == 3) {
        // The first row that qualifies may be the current one.
        while (!(Supplier.ColumnValue(XColumn, X, S.XFormat != 0) && X >= S.RowChoiceValue1))
            Supplier.NextRow();
    }
    TRowPoints Points;
    int64_t RowsRead = 0;
    for (;;) {
        ++RowsRead;
        const bool Read =
            Supplier.ColumnValue(XColumn, X, S.XFormat != 0) && Supplier.ColumnValue(YColumn, Y, S.YFormat != 0);
        for (int I = 1; I < S.RowSamplingFrequency; ++I)
            if (!Supplier.AtEnd()) {
                Supplier.NextRow();
                ++RowsRead;
            }
        const bool Beyond = (S.RowChoiceMode == 2 || S.RowChoiceMode == 3) && Read && X > S.RowChoiceValue2;
        if (Read && !Beyond)
            Points.push_back({ X, Y });
        if (Beyond || Supplier.AtEnd() || (S.RowChoiceMode == 4 && RowsRead > S.RowChoiceValue1))
            return Points;
        Supplier.NextRow();
    }
}

} // namespace

void TDataSeries::ReloadFromSource()
{
    if (DataSource == 0)
        return;
    const std::unique_ptr<TDataSupplier> Supplier =
        MakeSupplier(DataSource, DatasourceInfo, DivideTextByWidth, TextMarkers, TextSeparators, ColumnWidth);
    if (!Supplier)
        return;
    const int XColumn = Supplier->ColumnIndex(XDataColumn);
    const int YColumn = Supplier->ColumnIndex(YDataColumn);
    if (XColumn == -1 || YColumn == -1)
        return;
    // The points are replaced only once every row is read: a source that runs out of rows
    // raises the row list's error and leaves the series as it was.
    const TRowPoints Points = ReadRows(*this, *Supplier, XColumn, YColumn);
    Clear();
    for (const auto& [X, Y] : Points)
        AddPoint(X, Y);
}
