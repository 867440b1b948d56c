//===- TDataSupplier.h - Row readers over text files and data holders -*- C++ -*-===//
//
// A data series that takes its points from a text source reads it through a supplier: a text
// file loaded whole, or the rows of a TPlotHolder. Rows are split into fields by separator
// characters (with quote markers) or by a fixed column width; no operation raises for bad data.
//
#pragma once

#include "platform/rtl/TStringList.h"
#include "platform/ui/components/TComponent.h"

#include <cstdint>
#include <memory>
#include <string>

/// An abstract reader of rows and their columns.
class TDataSupplier : public TObject {
public:
    /// True once the cursor has passed the last row.
    virtual bool AtEnd() const = 0;
    /// Moves to the next row; answers AtEnd(). Moving on from the end raises EListError.
    virtual bool NextRow() = 0;
    /// The column of the current row as a number (or a date and time); false when it is empty
    /// or does not parse.
    virtual bool ColumnValue(int Column, double& Value, bool DateTime) = 0;
    virtual std::string FieldText(int Column) = 0;
    virtual int RowCount() const = 0;
    virtual int ColumnCount() const = 0;
    virtual std::string ColumnName(int Index) const = 0;
    /// "(col n)" names column n; any other name is looked up among the names, ignoring case.
    /// -1 when unknown.
    virtual int ColumnIndex(const std::string& Name) const = 0;
};

class TTxtSupplier : public TDataSupplier {
public:
    /// Rows of a file, owned by the supplier.
    TTxtSupplier(std::unique_ptr<TStringList> Rows, bool DivideByWidth, const std::string& Markers,
                 const std::string& Separators, uint16_t Width);
    /// Rows of a holder, which stay the holder's.
    TTxtSupplier(const TStringList& Rows, bool DivideByWidth, const std::string& Markers, const std::string& Separators,
                 uint16_t Width);

    bool AtEnd() const override;
    bool NextRow() override;
    bool ColumnValue(int Column, double& Value, bool DateTime) override;
    std::string FieldText(int Column) override;
    int RowCount() const override;
    int ColumnCount() const override;
    std::string ColumnName(int Index) const override;
    int ColumnIndex(const std::string& Name) const override;

    /// Field Column of Row: false (and empty text) when the row has fewer fields.
    bool SplitField(const std::string& Row, int Column, std::string& Text) const;

private:
    void ScanColumns();
    int FieldCount(const std::string& Row) const;
    bool IsSeparator(char C) const { return FSeparators.find(C) != std::string::npos; }
    bool IsMarker(char C) const { return FMarkers.find(C) != std::string::npos; }
    std::string ReadField(const std::string& Row, size_t& Pos) const;

    std::unique_ptr<TStringList> FOwnedRows;
    const TStringList& FRows;
    TStringList FColumnNames;
    bool FDivideByWidth;
    uint16_t FColumnWidth;
    std::string FSeparators;
    std::string FMarkers;
    int FCursor = 0;
    std::string FRow;
};

/// Source 1: a supplier on the text file named by Info, when it exists; source 5: one on the
/// rows of the TPlotHolder whose ID is Info. Nothing for any other source, a missing file or an
/// unknown holder.
std::unique_ptr<TDataSupplier> MakeSupplier(uint8_t Source, const std::string& Info, bool DivideByWidth,
                                            const std::string& Markers, const std::string& Separators, uint16_t Width);
