//===- TDataSeries.cpp - The point store of a plotted series --------------===//
#include "plot/TDataSeries.h"

#include "plot/TPlotReader.h"
#include "plot/TPlotWriter.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>
#include <optional>

TDataSeries::TDataSeries() = default;

TDataSeries::~TDataSeries()
{
    for (const TListener& L : FListeners)
        if (L.Method)
            L.Method(this, ccDestroyed);
    FreeList(FResultsHead);
}

void TDataSeries::FreeList(TPointNode*& Head)
{
    // One by one: a recursive free of a long list would run out of stack.
    while (Head) {
        TPointNode* Next = Head->Next;
        delete Head;
        Head = Next;
    }
}

double TDataSeries::Tolerance() const
{
    // A negative (or NaN) tolerance would let the insertion walk run past the last point.
    return NumericalTolerance > 0 ? NumericalTolerance : 0;
}

TPointNode* TDataSeries::NewPoint(double X, double Y)
{
    TPointNode* Node = FPoints.Take();
    Node->ID = ++FRunningID;
    Node->X = X;
    Node->Y = Y;
    ++FCount;
    return Node;
}

void TDataSeries::InvalidateCaches()
{
    FRegressionInvalid = true;
    FXStats.Valid = false;
    FYStats.Valid = false;
    FCompStats.Valid = false;
}

// --- Points

namespace {

// A NaN x stops the insertion walk like an x above every other.
double RecordKey(double X) { return X != X ? std::numeric_limits<double>::infinity() : X; }

} // namespace

// A record's key is its x but for NaN: its node, which lies anywhere in memory, is read only
// for an infinite key.
double TDataSeries::RecordX(TRecordIndex::Iterator At)
{
    return At.Key() == std::numeric_limits<double>::infinity() ? At.Point().Node->X : At.Key();
}

void TDataSeries::DropRecords()
{
    FRecords.Clear();
    FRecordsValid = false;
}

// The record of the first point that x - tolerance (Below) is not above, found as the insertion
// walk from the head would find it. Records above FRecordsUpTo may be missing; they are looked
// for from the last one known, so that no search walks further than the walk from the head.
TRecordIndex::Iterator TDataSeries::InsertionRecord(double Below)
{
    if (!FRecordsValid) {
        FRecords.Clear();
        FRecords.InsertBefore(FRecords.End(), RecordKey(FHead->X), TRecordPoint { FHead, nullptr });
        FRecordsUpTo = FRecords.Begin().Key();
        FRecordsValid = true;
    }
    // Nothing is below NaN: the walk stops at the head.
    if (Below != Below)
        return FRecords.Begin();
    auto Found = FRecords.LowerBound(Below);
    if (Found != FRecords.End() && Found.Key() <= FRecordsUpTo)
        return Found;
    const auto Last = FRecords.LastNotAbove(FRecordsUpTo);
    TPointNode* Prev = Last.Point().Node;
    double Highest = Last.Key();
    for (TPointNode* Node = Prev->Next; Node; Prev = Node, Node = Node->Next) {
        const double Key = RecordKey(Node->X);
        if (Key <= Highest)
            continue;
        Highest = Key;
        Found = FRecords.Assign(Key, TRecordPoint { Node, Prev });
        if (Key >= Below) {
            FRecordsUpTo = Key;
            return Found;
        }
    }
    FRecordsUpTo = std::numeric_limits<double>::infinity();
    return FRecords.End();
}

void TDataSeries::InsertBefore(TRecordIndex::Iterator At, TPointNode* Node)
{
    const TRecordPoint Where = At.Point();
    Node->Next = Where.Node;
    (Where.Prev ? Where.Prev->Next : FHead) = Node;
    // The new point is above every point before it; the records after it that it reaches are
    // records no more.
    const double Key = RecordKey(Node->X);
    if (At.Key() <= FRecordsUpTo && FRecordsUpTo <= Key)
        FRecordsUpTo = Key;
    while (At != FRecords.End() && At.Key() <= Key)
        At = FRecords.Erase(At);
    if (At != FRecords.End() && At.Point().Node == Where.Node)
        At.Point().Prev = Node;
    FRecords.InsertBefore(At, Key, TRecordPoint { Node, Where.Prev });
}

void TDataSeries::ReplaceRecord(TRecordIndex::Iterator At, double X)
{
    const TRecordPoint Where = At.Point();
    const double Old = At.Key(), Key = RecordKey(X);
    auto Next = FRecords.Erase(At);
    if (Key >= Old) {
        if (Old <= FRecordsUpTo && FRecordsUpTo <= Key)
            FRecordsUpTo = Key;
        while (Next != FRecords.End() && Next.Key() <= Key)
            Next = FRecords.Erase(Next);
    } else {
        // Points behind it that stood below its old x may now be records: they are looked for
        // when a search needs them.
        FRecordsUpTo = std::min(FRecordsUpTo, Key);
    }
    FRecords.InsertBefore(Next, Key, Where);
}

void TDataSeries::AddPoint(double X, double Y)
{
    const double Tol = Tolerance();
    TPointNode* Replace = nullptr;
    if (!FHead) {
        DropRecords();
        FHead = FTail = NewPoint(X, Y);
    } else if (FTail->X <= X) {
        if (FDuplicatesAllowed || X - Tol > FTail->X) {
            TPointNode* Last = FTail;
            FTail = Last->Next = NewPoint(X, Y);
            // A record only when every record is known: otherwise it is one of those looked for.
            if (FRecordsValid) {
                if (FRecordsUpTo == std::numeric_limits<double>::infinity() && X > FRecords.Last().Key())
                    FRecords.InsertBefore(FRecords.End(), X, TRecordPoint { FTail, Last });
            }
        } else {
            Replace = FTail;
            if (FRecordsValid) {
                // The last point, when a record, stays one with its higher x.
                const auto Last = FRecords.Last();
                if (Last.Point().Node == FTail) {
                    const TRecordPoint Where = Last.Point();
                    if (FRecordsUpTo == Last.Key())
                        FRecordsUpTo = X;
                    FRecords.Erase(Last);
                    FRecords.InsertBefore(FRecords.End(), X, Where);
                } else if (FRecordsUpTo == std::numeric_limits<double>::infinity() && X > Last.Key()) {
                    // It becomes a record above all known ones: one of those looked for.
                    FRecordsUpTo = Last.Key();
                }
            }
        }
    } else {
        // The first point that x - tolerance is not above; there is one, since the last point's
        // x is above x.
        const auto At = InsertionRecord(X - Tol);
        if (FDuplicatesAllowed || std::abs(RecordX(At) - X) > Tol) {
            InsertBefore(At, NewPoint(X, Y));
        } else {
            Replace = At.Point().Node;
            ReplaceRecord(At, X);
        }
    }
    if (Replace) {
        Replace->X = X;
        Replace->Y = Y;
    }
    UpdateBounds(X, Y);
    InvalidateCaches();
    FLastX = X;
    FLastY = Y;
    if (MaxPoints != 0 && FCount > MaxPoints)
        TooManyPoints();
    Changed(Replace ? ccPointsChanged : ccPointAdded);
}

void TDataSeries::UpdateBounds(double X, double Y)
{
    if (FCount == 1) {
        FXMin = FXMax = X;
        if (FAutoZero)
            FZeroValue = Y;
        FYMin = FYMax = Y - FZeroValue;
        FBoundsInvalid = false;
    } else if (FAutoZero && Y < FZeroValue) {
        FZeroValue = Y;
        FBoundsInvalid = true;
    } else if (!FBoundsInvalid) {
        FYMin = std::min(FYMin, Y - FZeroValue);
        FYMax = std::max(FYMax, Y - FZeroValue);
        FXMin = std::min(FXMin, X);
        FXMax = std::max(FXMax, X);
    }
}

void TDataSeries::Clear()
{
    DropRecords();
    FPoints.Clear();
    FHead = FTail = nullptr;
    FreeList(FResultsHead);
    FRunningID = 0;
    FCount = 0;
    FBoundsInvalid = true;
    // The caches described the points that are gone.
    InvalidateCaches();
    Changed(ccPointsChanged);
}

bool TDataSeries::FindPointAt(int32_t N, double X, int32_t& ID, double& Y, double& Fitted) const
{
    const TPointNode* Node = FHead;
    while (Node && Node->X < X)
        Node = Node->Next;
    for (int32_t I = 1; I < N && Node; ++I)
        Node = Node->Next;
    if (!Node || std::abs(Node->X - X) > Tolerance())
        return false;
    ID = Node->ID;
    Y = Node->Y;
    Fitted = Node->Fitted;
    return true;
}

bool TDataSeries::DeletePoint(int32_t ID)
{
    TPointNode* Prev = nullptr;
    TPointNode* Node = FHead;
    while (Node && Node->ID != ID) {
        Prev = Node;
        Node = Node->Next;
    }
    if (!Node)
        return false;
    DropRecords();
    (Prev ? Prev->Next : FHead) = Node->Next;
    if (Node == FTail)
        FTail = Prev;
    --FCount;
    const double Y = Node->Y - FZeroValue;
    if (Node->X == FXMin || Node->X == FXMax || Y == FYMin || Y == FYMax || (FAutoZero && Node->Y <= FZeroValue))
        FBoundsInvalid = true;
    InvalidateCaches();
    FPoints.Give(Node);
    Changed(ccPointsChanged);
    return true;
}

bool TDataSeries::DeletePointsAt(double X)
{
    bool Any = false;
    int32_t ID;
    double Y, Fitted;
    while (FindPointAt(0, X, ID, Y, Fitted) && DeletePoint(ID))
        Any = true;
    return Any;
}

void TDataSeries::PruneDuplicates()
{
    const double Tol = Tolerance();
    bool Removed = false;
    TPointNode* Kept = FHead;
    while (TPointNode* Next = Kept ? Kept->Next : nullptr) {
        if (std::abs(Next->X - Kept->X) <= Tol) {
            Kept->Next = Next->Next;
            if (Next == FTail)
                FTail = Kept;
            FPoints.Give(Next);
            --FCount;
            Removed = true;
        } else {
            Kept = Next;
        }
    }
    if (Removed) {
        DropRecords();
        FBoundsInvalid = true;
        InvalidateCaches();
    }
    // Invalid bounds are announced whether this pass or an earlier change left them so.
    if (FBoundsInvalid)
        Changed(ccPointsChanged);
}

void TDataSeries::RecalcBounds()
{
    if (!FHead)
        return;
    double YLow = FHead->Y, YHigh = FHead->Y;
    FXMin = FXMax = FHead->X;
    for (const TPointNode* Node = FHead->Next; Node; Node = Node->Next) {
        FXMin = std::min(FXMin, Node->X);
        FXMax = std::max(FXMax, Node->X);
        YLow = std::min(YLow, Node->Y);
        YHigh = std::max(YHigh, Node->Y);
    }
    if (FAutoZero)
        FZeroValue = YLow;
    FYMin = YLow - FZeroValue;
    FYMax = YHigh - FZeroValue;
    FBoundsInvalid = false;
}

// --- Settings

void TDataSeries::SetAutoZero(bool Value)
{
    if (Value == FAutoZero)
        return;
    FAutoZero = Value;
    FBoundsInvalid = true;
    Changed(ccZeroChanged);
}

void TDataSeries::SetZeroValue(double Value)
{
    if (!FAutoZero && Value == FZeroValue)
        return;
    FZeroValue = Value;
    FAutoZero = false;
    FBoundsInvalid = true;
    Changed(ccZeroChanged);
}

void TDataSeries::SetDuplicatesAllowed(bool Value)
{
    if (Value == FDuplicatesAllowed)
        return;
    FDuplicatesAllowed = Value;
    if (!Value)
        PruneDuplicates();
}

void TDataSeries::SetRegressionType(uint8_t Value)
{
    if (Value == FRegressionType)
        return;
    FRegressionType = Value;
    FRegressionInvalid = true;
    Changed(ccRegressionChanged);
}

void TDataSeries::SetRegressionControlValue1(int32_t Value)
{
    if (Value == FRegressionControlValue1)
        return;
    FRegressionControlValue1 = Value;
    FRegressionInvalid = true;
    Changed(ccRegressionChanged);
}

void TDataSeries::SetRegressionControlValue2(double Value)
{
    if (Value == FRegressionControlValue2)
        return;
    FRegressionControlValue2 = Value;
    FRegressionInvalid = true;
    Changed(ccRegressionChanged);
}

void TDataSeries::SetStatisticsEnabled(bool Value)
{
    if (Value == FStatisticsEnabled)
        return;
    FStatisticsEnabled = Value;
    FXStats.Valid = FYStats.Valid = false;
}

void TDataSeries::SetStatisticsXLow(double Value)
{
    if (Value == FStatisticsXLow)
        return;
    FStatisticsXLow = Value;
    FXStats.Valid = FYStats.Valid = false;
}

void TDataSeries::SetStatisticsXHigh(double Value)
{
    if (Value == FStatisticsXHigh)
        return;
    FStatisticsXHigh = Value;
    FXStats.Valid = FYStats.Valid = false;
}

// --- Listeners

void TDataSeries::SetListener(TObject* Owner, TDataSeriesChangeEvent Method)
{
    for (TListener& L : FListeners)
        if (L.Owner == Owner) {
            L.Method = std::move(Method);
            return;
        }
    FListeners.push_back({ std::move(Method), Owner });
}

void TDataSeries::Changed(uint8_t Code)
{
    // By index: a listener may add another listener while it is called.
    for (size_t I = 0; I < FListeners.size(); ++I)
        if (FListeners[I].Method) {
            const TDataSeriesChangeEvent Method = FListeners[I].Method;
            Method(this, Code);
        }
}

void TDataSeries::TooManyPoints()
{
    if (OnTooManyPoints)
        OnTooManyPoints(this);
}

// --- Stream section

void TDataSeries::WriteToStream(TPlotWriter& W, bool WithPoints)
{
    W.WriteTaggedString(1, "SeriesName", SeriesName);
    W.WriteTaggedReal(2, "NumericalTolerance", NumericalTolerance);
    W.WriteTaggedBoolean(3, "DuplicatesAllowed", FDuplicatesAllowed);
    W.WriteTaggedBoolean(4, "AutoZero", FAutoZero);
    W.WriteTaggedReal(5, "ZeroValue", FZeroValue);
    W.WriteTaggedInteger(6, "RegressionType", FRegressionType);
    W.WriteTaggedInteger(7, "RegressionControlValue1", FRegressionControlValue1);
    // The second control value is stored under the first one's key.
    W.WriteTaggedReal(8, "RegressionControlValue1", FRegressionControlValue2);
    W.WriteTaggedInteger(9, "DataSource", DataSource);
    W.WriteTaggedString(10, "DatasourceInfo", DatasourceInfo);
    W.WriteTaggedBoolean(12, "DivideTextByWidth", DivideTextByWidth);
    W.WriteTaggedInteger(13, "FileHasHeaders", FileHasHeaders);
    W.WriteTaggedString(14, "TextSeparators", TextSeparators);
    W.WriteTaggedString(15, "TextMarkers", TextMarkers);
    W.WriteTaggedString(16, "XDataColumn", XDataColumn);
    W.WriteTaggedString(17, "YDataColumn", YDataColumn);
    W.WriteTaggedInteger(18, "RowSamplingFrequency", RowSamplingFrequency);
    W.WriteTaggedInteger(19, "ColumnWidth", ColumnWidth);
    W.WriteTaggedInteger(20, "RowChoiceMode", RowChoiceMode);
    W.WriteTaggedReal(21, "RowChoiceValue1", RowChoiceValue1);
    W.WriteTaggedReal(22, "RowChoiceValue2", RowChoiceValue2);
    W.WriteTaggedInteger(23, "XFormat", XFormat);
    W.WriteTaggedInteger(24, "YFormat", YFormat);
    W.WriteSectionEnd();
    W.WritePointBlockHeader(WithPoints ? FCount : 0);
    if (WithPoints)
        for (const TPointNode* Node = FHead; Node; Node = Node->Next)
            W.WritePoint(Node->X, Node->Y);
}

void TDataSeries::ReadFromStream(TPlotReader& R)
{
    // ZeroValue, stored behind AutoZero, would switch it off again: AutoZero is applied last.
    std::optional<bool> AutoZero;
    for (int Index = R.ReadTag(); Index != SectionEndIndex; Index = R.ReadTag()) {
        switch (Index) {
        case 1: SeriesName = R.ReadAsString(); break;
        case 2: NumericalTolerance = R.ReadAsReal(); break;
        case 3: SetDuplicatesAllowed(R.ReadAsBoolean()); break;
        case 4: AutoZero = R.ReadAsBoolean(); break;
        case 5: SetZeroValue(R.ReadAsReal()); break;
        case 6: SetRegressionType(static_cast<uint8_t>(R.ReadAsInteger())); break;
        case 7: SetRegressionControlValue1(R.ReadAsInteger()); break;
        case 8: SetRegressionControlValue2(R.ReadAsReal()); break;
        case 9: DataSource = static_cast<uint8_t>(R.ReadAsInteger()); break;
        case 10: DatasourceInfo = R.ReadAsString(); break;
        case 12: DivideTextByWidth = R.ReadAsBoolean(); break;
        case 13: FileHasHeaders = static_cast<uint16_t>(R.ReadAsInteger()); break;
        case 14: TextSeparators = R.ReadAsString(); break;
        case 15: TextMarkers = R.ReadAsString(); break;
        case 16: XDataColumn = R.ReadAsString(); break;
        case 17: YDataColumn = R.ReadAsString(); break;
        case 18: RowSamplingFrequency = static_cast<uint16_t>(R.ReadAsInteger()); break;
        case 19: ColumnWidth = static_cast<uint16_t>(R.ReadAsInteger()); break;
        case 20: RowChoiceMode = static_cast<uint8_t>(R.ReadAsInteger()); break;
        case 21: RowChoiceValue1 = R.ReadAsReal(); break;
        case 22: RowChoiceValue2 = R.ReadAsReal(); break;
        case 23: XFormat = static_cast<uint8_t>(R.ReadAsInteger()); break;
        case 24: YFormat = static_cast<uint8_t>(R.ReadAsInteger()); break;
        case 25: SetStatisticsXHigh(R.ReadAsReal()); break;
        case 26: SetStatisticsXLow(R.ReadAsReal()); break;
        case 27: SetStatisticsEnabled(R.ReadAsBoolean()); break;
        default: R.Skip(); break;
        }
    }
    if (AutoZero)
        SetAutoZero(*AutoZero);
    const int32_t Count = R.ReadPointBlockHeader();
    for (int32_t I = 0; I < Count; ++I) {
        double X, Y;
        R.ReadPoint(X, Y);
        AddPoint(X, Y);
    }
}
