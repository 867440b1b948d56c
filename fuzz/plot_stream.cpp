//===- plot_stream.cpp - Fuzzes the tagged value stream of stored graphs --===//
//
// The first byte picks the reader's buffer size (buffer edges fall everywhere); the rest is a
// data series section as a stored graph holds it. Refusals are fine. What reads must write
// and read back to the same settings and points.
//
#include "plot/TDataSeries.h"
#include "plot/TPlotReader.h"
#include "plot/TPlotWriter.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/TStream.h"
#include "platform/ui/graphics/GraphicsObjects.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

void check(bool Holds)
{
    if (!Holds)
        std::abort();
}

bool SamePoints(const TDataSeries& A, const TDataSeries& B)
{
    const TPointNode* P = A.FirstPoint();
    const TPointNode* Q = B.FirstPoint();
    for (; P && Q; P = P->Next, Q = Q->Next)
        if (std::memcmp(&P->X, &Q->X, sizeof(double)) != 0 || std::memcmp(&P->Y, &Q->Y, sizeof(double)) != 0)
            return false;
    return !P && !Q;
}

bool HasNaNX(const TDataSeries& S)
{
    for (const TPointNode* P = S.FirstPoint(); P; P = P->Next)
        if (P->X != P->X)
            return true;
    return false;
}

// Every entry of one section through the generic reads, as the settings objects read theirs.
void ReadEntries(TPlotReader& R)
{
    TFont Font;
    for (int Index = R.ReadTag(); Index != 0; Index = R.ReadTag()) {
        switch (Index % 6) {
        case 0: R.ReadAsString(); break;
        case 1: R.ReadAsInteger(); break;
        case 2: R.ReadAsReal(); break;
        case 3: R.ReadAsBoolean(); break;
        case 4: R.ReadFont(Font); break;
        default: R.Skip(); break;
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    if (Size < 1)
        return 0;
    const int BufSize = 1 + Data[0] * 17;
    TMemoryStream Stream;
    Stream.WriteBuffer(Data + 1, static_cast<int32_t>(Size - 1));

    Stream.SetPosition(0);
    try {
        TPlotReader R(Stream, BufSize);
        ReadEntries(R);
    } catch (const Exception&) {
    }

    Stream.SetPosition(0);
    TDataSeries Series;
    Series.MaxPoints = 0;
    try {
        TPlotReader R(Stream, BufSize);
        Series.ReadFromStream(R);
    } catch (const Exception&) {
        return 0;
    }
    check(Stream.GetPosition() <= Stream.GetSize());

    TMemoryStream Again;
    {
        TPlotWriter W(Again, 4096);
        Series.WriteToStream(W, true);
    }
    Again.SetPosition(0);
    TDataSeries Back;
    Back.MaxPoints = 0;
    TPlotReader R(Again, 200);
    Back.ReadFromStream(R);
    check(Back.SeriesName == Series.SeriesName && Back.XDataColumn == Series.XDataColumn);
    // Points written in list order read back to the same list, unless a tolerance merges or
    // reorders neighbours or an x has no order (NaN).
    if (!(Series.NumericalTolerance > 0) && !HasNaNX(Series))
        check(SamePoints(Series, Back));
    return 0;
}
