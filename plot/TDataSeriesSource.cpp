//===- TDataSeriesSource.cpp - Reloading a data series from its text source ===//
#include "plot/TDataSeries.h"

#include "plot/TDataSupplier.h"

#include <cmath>

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

} // namespace

void TDataSeries::ReloadFromSource()
{
    if (DataSource == 0)
        return;
    const std::unique_ptr<TDataSupplier> Supplier
        = MakeSupplier(DataSource, DatasourceInfo, DivideTextByWidth, TextMarkers, TextSeparators, ColumnWidth);
    if (!Supplier)
        return;
    const int XColumn = Supplier->ColumnIndex(XDataColumn);
    const int YColumn = Supplier->ColumnIndex(YDataColumn);
    if (XColumn == -1 || YColumn == -1)
        return;
    Clear();

    if (RowChoiceMode == 5) // the last rows; the count is kept in 16 bits
        PassOver(*Supplier, static_cast<uint16_t>(Supplier->RowCount() - (RowNumber(RowChoiceValue1) - FileHasHeaders)));
    PassOver(*Supplier, FileHasHeaders);
    double X, Y;
    if (RowChoiceMode == 1 || RowChoiceMode == 3) {
        // The first row that qualifies may be the current one.
        while (!(Supplier->ColumnValue(XColumn, X, XFormat != 0) && X >= RowChoiceValue1))
            Supplier->NextRow();
    }

    int64_t RowsRead = 0;
    for (;;) {
        ++RowsRead;
        const bool Read = Supplier->ColumnValue(XColumn, X, XFormat != 0) && Supplier->ColumnValue(YColumn, Y, YFormat != 0);
        for (int I = 1; I < RowSamplingFrequency; ++I)
            if (!Supplier->AtEnd()) {
                Supplier->NextRow();
                ++RowsRead;
            }
        const bool Beyond = (RowChoiceMode == 2 || RowChoiceMode == 3) && Read && X > RowChoiceValue2;
        if (Read && !Beyond)
            AddPoint(X, Y);
        if (Beyond || Supplier->AtEnd() || (RowChoiceMode == 4 && RowsRead > RowChoiceValue1))
            break;
        Supplier->NextRow();
    }
}
