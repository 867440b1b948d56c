//===- text_supplier.cpp - Fuzzes text rows read by a data series ---------===//
//
// The first bytes set the series' text settings (fixed width, width, row choice, sampling,
// headers, separators and markers); the rest are the rows of a data holder, which the series
// reloads its points from. Running past the last row raises the row list's error; anything
// else is a finding, and so is a point list out of ascending x.
//
#include "plot/TDataSeries.h"
#include "plot/TDataSupplier.h"
#include "plot/TPlotHolder.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/TStringList.h"
#include "platform/ui/components/TDataModule.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void check(bool Holds)
{
    if (!Holds)
        std::abort();
}

TPlotHolder* Holder()
{
    static TDataModule Module(nullptr);
    static TPlotHolder* H = [] {
        auto* New = new TPlotHolder(&Module);
        New->ID = "fuzz";
        return New;
    }();
    return H;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    constexpr size_t Header = 8;
    if (Size < Header)
        return 0;
    TDataSeries S;
    S.MaxPoints = 0;
    S.DataSource = 5;
    S.DatasourceInfo = "fuzz";
    S.DivideTextByWidth = Data[0] & 1;
    S.ColumnWidth = Data[1] % 16;
    S.RowChoiceMode = Data[2] % 6;
    S.RowChoiceValue1 = static_cast<int8_t>(Data[3]);
    S.RowChoiceValue2 = static_cast<int8_t>(Data[4]) * 4;
    S.RowSamplingFrequency = Data[5] % 4;
    S.FileHasHeaders = Data[6] % 3;
    S.XFormat = (Data[7] >> 2) & 1;
    static const char* const Separators[] = { ",", "\t", ";,", " " };
    static const char* const Markers[] = { "'\"", "\"", "", "," };
    S.TextSeparators = Separators[Data[7] & 3];
    S.TextMarkers = Markers[(Data[7] >> 4) & 3];
    S.XDataColumn = (Data[7] & 0x40) ? "(col 1)" : "(col 0)";
    S.YDataColumn = (Data[7] & 0x80) ? "(col 2)" : "(col 1)";

    TStringList Rows;
    Rows.SetText(std::string(reinterpret_cast<const char*>(Data + Header), Size - Header));
    Holder()->Setdata(Rows);
    try {
        S.ReloadFromSource();
    } catch (const EListError&) {
    }
    check(S.GetCount() <= Rows.Count());
    // Without duplicates and tolerance every x stands once, in ascending order (NaN has no order).
    bool Ordered = true, NaN = false;
    for (const TPointNode* P = S.FirstPoint(); P; P = P->Next) {
        NaN = NaN || P->X != P->X;
        Ordered = Ordered && (!P->Next || P->X < P->Next->X);
    }
    check(NaN || Ordered);

    TTxtSupplier Supplier(Rows, S.DivideTextByWidth, S.TextMarkers, S.TextSeparators, S.ColumnWidth);
    check(Supplier.ColumnCount() <= 1000);
    for (int C = 0; C < Supplier.ColumnCount(); ++C)
        Supplier.ColumnIndex(Supplier.ColumnName(C));
    while (!Supplier.AtEnd()) {
        double Value;
        for (int C = 0; C <= Supplier.ColumnCount(); ++C)
            Supplier.ColumnValue(C, Value, (C & 1) != 0);
        Supplier.NextRow();
    }
    return 0;
}
