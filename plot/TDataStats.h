//===- TDataStats.h - Statistics of one coordinate of a data series -*- C++ -*-===//
#pragma once

#include <cstdint>
#include <string>
#include <vector>

/// The description of the x or the y values of a series, cached by the series.
struct TDataStats {
    bool Valid = false;
    /// Empty, or why some values are missing.
    std::string Message;
    /// Fewer than two values were given.
    bool NoStatistics = false;
    int32_t Count = 0;
    double Mean = 0;
    double Median = 0;
    double Mode = 0;
    double Sum = 0;
    /// Sample standard deviation.
    double Deviation = 0;
    double Skew = 0;
    /// Excess kurtosis.
    double Kurtosis = 0;
    double Low20 = 0, High20 = 0;
    double LowerQuartile = 0, UpperQuartile = 0;
};

/// The compound statistics of a series; nothing computes them, the series only invalidates them.
struct TCompStats {
    bool Valid = false;
};

inline constexpr const char* SNoStatistics = "No Statistics are available unless more than one point exists";
inline constexpr const char* SNoDeviance = "No skew/kurtosis are available because there is no deviance in the data";

/// Sorts ascending by a bottom-up merge of runs, taking from the second run on equal keys; NaNs
/// cannot upset it.
void MergeSortValues(std::vector<double>& Values);

/// Fills Stats from the values as given (ascending for the quantiles to mean anything). Values
/// within Tolerance of the run's first value count as one for the mode. Stats starts from a
/// zeroed record, so that nothing of an earlier computation shows through.
void CalcStatistics(const std::vector<double>& Values, double Tolerance, TDataStats& Stats);
