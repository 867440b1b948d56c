//===- TDataSeries.h - The point store of a plotted series -----*- C++ -*-===//
//
// A singly linked list of (x, y) points kept in ascending x, the running bounds of the data, the
// policy for points that meet an x already present, the statistics and regression caches, and
// the settings of the text data source. TSeries derives from it and adds the drawing.
//
#pragma once

#include "plot/TDataStats.h"
#include "plot/TPointPool.h"
#include "plot/TRecordIndex.h"

#include "platform/ui/components/Events.h"
#include "platform/ui/components/TComponent.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TDataSeries;
class TPlotReader;
class TPlotWriter;

/// One point; owned by its series. The regression result list uses the same shape (x and a
/// value in Fitted).
struct TPointNode {
    int32_t ID = 0;
    double X = 0;
    double Y = 0;
    /// Filled by the regression; 0 on insertion.
    double Fitted = 0;
    TPointNode* Next = nullptr;
};

/// Change codes passed to TDataSeries::Changed.
inline constexpr uint8_t ccDestroyed = 0;
inline constexpr uint8_t ccPointAdded = 1;
inline constexpr uint8_t ccPointsChanged = 2;
inline constexpr uint8_t ccZeroChanged = 3;
inline constexpr uint8_t ccUpdatesReleased = 4;
inline constexpr uint8_t ccDrawingChanged = 5;
inline constexpr uint8_t ccRegressionChanged = 6;

using TDataSeriesChangeEvent = std::function<void(TDataSeries* Sender, uint8_t Code)>;

class TDataSeries : public TPersistent {
public:
    TDataSeries();
    /// Tells every listener with a method code 0, then frees the listeners, points and results.
    ~TDataSeries() override;
    TDataSeries(const TDataSeries&) = delete;
    TDataSeries& operator=(const TDataSeries&) = delete;

    // --- Points
    /// Adds a point, or replaces the one at the same x (within NumericalTolerance) unless
    /// DuplicatesAllowed; code 1 for a new point, 2 for a replaced one.
    void AddPoint(double X, double Y);
    /// Frees every point and the regression results; ids start again at 1.
    void Clear();
    /// The N-th point (N <= 1: the first) at X or up to the tolerance above it.
    bool FindPointAt(int32_t N, double X, int32_t& ID, double& Y, double& Fitted) const;
    bool DeletePoint(int32_t ID);
    /// Removes every point with X <= x <= X + tolerance.
    bool DeletePointsAt(double X);
    /// Keeps the first of every group of points within the tolerance of each other.
    void PruneDuplicates();
    void RecalcBounds();
    int32_t GetCount() const { return FCount; }
    /// The list in ascending x, for those who draw or save it.
    const TPointNode* FirstPoint() const { return FHead; }
    double GetLastX() const { return FLastX; }
    double GetLastY() const { return FLastY; }

    // --- Bounds (a superset of the data's range until RecalcBounds runs; y minus ZeroValue)
    double GetXMin() const { return FXMin; }
    double GetXMax() const { return FXMax; }
    double GetYMin() const { return FYMin; }
    double GetYMax() const { return FYMax; }
    bool GetBoundsInvalid() const { return FBoundsInvalid; }
    double GetZeroValue() const { return FZeroValue; }
    /// Switches AutoZero off.
    void SetZeroValue(double Value);
    bool GetAutoZero() const { return FAutoZero; }
    void SetAutoZero(bool Value);
    bool GetDuplicatesAllowed() const { return FDuplicatesAllowed; }
    /// Switching it off prunes the duplicates.
    void SetDuplicatesAllowed(bool Value);

    // --- Change listeners
    /// Replaces the method of Owner's listener (an unset method silences it), or appends one.
    void SetListener(TObject* Owner, TDataSeriesChangeEvent Method);
    virtual void Changed(uint8_t Code);
    /// Raises OnTooManyPoints; called when a point takes the count above MaxPoints.
    virtual void TooManyPoints();
    TNotifyEvent OnTooManyPoints;

    // --- Statistics (computed on demand, cached until the points or the window change)
    void GetXStatistics(TDataStats& Stats);
    void GetYStatistics(TDataStats& Stats);
    bool GetStatisticsEnabled() const { return FStatisticsEnabled; }
    void SetStatisticsEnabled(bool Value);
    double GetStatisticsXLow() const { return FStatisticsXLow; }
    void SetStatisticsXLow(double Value);
    double GetStatisticsXHigh() const { return FStatisticsXHigh; }
    void SetStatisticsXHigh(double Value);

    // --- Regression
    uint8_t GetRegressionType() const { return FRegressionType; }
    void SetRegressionType(uint8_t Value);
    int32_t GetRegressionControlValue1() const { return FRegressionControlValue1; }
    void SetRegressionControlValue1(int32_t Value);
    double GetRegressionControlValue2() const { return FRegressionControlValue2; }
    void SetRegressionControlValue2(double Value);
    /// Computes the regression of RegressionType when the points or settings changed since the
    /// last time. Raises "internal error: regression" for type 0, "Unknown regression type"
    /// above 7 and "Invalid Running Average limit" for a running average without a window.
    void CalcRegression();
    bool GetRegressionInvalid() const { return FRegressionInvalid; }
    double GetRegressionSlope() const { return FRegressionSlope; }
    double GetRegressionIntercept() const { return FRegressionIntercept; }
    double GetRegressionQuadratic() const { return FRegressionQuadratic; }
    double GetRegressionSlopeDeviation() const { return FRegressionSlopeDeviation; }
    double GetRegressionInterceptDeviation() const { return FRegressionInterceptDeviation; }
    /// The sampled curve of regression types 4 and 5 (value in Fitted): RegressionControlValue1
    /// intervals, at most 65535.
    const TPointNode* FirstRegressionResult() const { return FResultsHead; }

    // --- Stream section
    virtual void ReadFromStream(TPlotReader& Reader);
    void WriteToStream(TPlotWriter& Writer, bool WithPoints);
    /// Reloads the points from the data source; nothing when DataSource is 0.
    virtual void ReloadFromSource();

    // --- Plain settings
    /// Count above which TooManyPoints is raised; 0 = no limit. No point is ever dropped.
    int32_t MaxPoints = 30000;
    /// x distance within which two points count as one x; a negative one counts as 0.
    double NumericalTolerance = 0;
    std::string SeriesName = "UnNamed Series";
    /// 0 none, 1 text file, 5 data holder.
    uint8_t DataSource = 0;
    /// The file name, or the ID of the data holder.
    std::string DatasourceInfo;
    bool DivideTextByWidth = false;
    std::string TextSeparators = "\t";
    std::string TextMarkers = "'\"";
    std::string XDataColumn = "(col 0)";
    std::string YDataColumn = "(col 1)";
    uint16_t RowSamplingFrequency = 1;
    uint16_t ColumnWidth = 10;
    uint16_t FileHasHeaders = 1;
    /// 0 all rows, 1 from x >= value 1, 2 up to x <= value 2, 3 both, 4 value 1 rows, 5 the last rows.
    uint8_t RowChoiceMode = 0;
    double RowChoiceValue1 = 0;
    double RowChoiceValue2 = 0;
    /// 0: numbers; otherwise dates and times.
    uint8_t XFormat = 0;
    uint8_t YFormat = 0;

private:
    struct TListener {
        TDataSeriesChangeEvent Method;
        TObject* Owner = nullptr;
    };

    double Tolerance() const;
    TPointNode* NewPoint(double X, double Y);
    void DropRecords();
    static double RecordX(TRecordIndex::Iterator At);
    TRecordIndex::Iterator InsertionRecord(double Below);
    void InsertBefore(TRecordIndex::Iterator At, TPointNode* Node);
    void ReplaceRecord(TRecordIndex::Iterator At, double X);
    void UpdateBounds(double X, double Y);
    void InvalidateCaches();
    void FreeList(TPointNode*& Head);
    void CollectStatistics(bool OfX, TDataStats& Stats);
    // Regression kinds
    void FallBackLine(bool Quadratic);
    void LeastSquaresLine();
    void MedianSlopeLine();
    void LeastSquaresParabola();
    void CubicSpline();
    void LocalLine();
    void ExponentialSmoothing();
    void RunningAverage();
    void SetFittedFromCoefficients();
    int32_t SampleIntervals() const;
    double SampleAt(int64_t K, double Step) const;
    void AppendResult(TPointNode*& Tail, double X, double Value);

    std::vector<TListener> FListeners;
    int32_t FRunningID = 0;
    int32_t FCount = 0;
    // The points' nodes: they go with the pool, the regression results' nodes one by one.
    TPointPool FPoints;
    TPointNode* FHead = nullptr;
    TPointNode* FTail = nullptr;
    // The points that stand above every point before them in the list, by x (NaN counting as
    // above all): the first point at or above a value is the first of these at or above it, so
    // an insertion below the last point looks it up here instead of walking from the head.
    // Kept from the first insertion below the last point up to a change other than AddPoint;
    // every record up to FRecordsUpTo is in FRecords (+infinity: every record).
    TRecordIndex FRecords;
    double FRecordsUpTo = 0;
    bool FRecordsValid = false;
    double FXMin = 0, FXMax = 0, FYMin = 0, FYMax = 0;
    double FZeroValue = 0;
    double FLastX = 0, FLastY = 0;
    bool FBoundsInvalid = false;
    bool FAutoZero = false;
    bool FDuplicatesAllowed = false;
    uint8_t FRegressionType = 0;
    int32_t FRegressionControlValue1 = 100;
    double FRegressionControlValue2 = 0.05;
    TDataStats FXStats, FYStats;
    TCompStats FCompStats;
    double FRegressionSlope = 0, FRegressionIntercept = 0, FRegressionQuadratic = 0;
    double FRegressionSlopeDeviation = 0, FRegressionInterceptDeviation = 0;
    TPointNode* FResultsHead = nullptr;
    bool FRegressionInvalid = false;
    bool FStatisticsEnabled = false;
    double FStatisticsXHigh = 0, FStatisticsXLow = 0;
};
