//===- plot_stream.cpp - Fuzzes the tagged value stream of stored graphs --===//
//
// The first byte picks the reader's buffer size (buffer edges fall everywhere); the rest is a
// data series section as a stored graph holds it. Refusals are fine. What reads must write
// and read back to the same settings and points. The same bytes also drive a series through
// additions and deletions beside a plain list that places each point by walking from the
// first: both must hold the same points (id, x, y) in the same order.
//
#include "plot/TDataSeries.h"
#include "plot/TPlotReader.h"
#include "plot/TPlotWriter.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/TStream.h"
#include "platform/ui/graphics/GraphicsObjects.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

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

struct TRefPoint {
    int32_t ID;
    double X, Y;
};

// Where a point lands: the first point not below x - tolerance, or the last one.
void RefAdd(std::vector<TRefPoint>& L, bool Duplicates, double Tol, double X, double Y, int32_t& Id)
{
    if (L.empty() || L.back().X <= X) {
        if (L.empty() || Duplicates || X - Tol > L.back().X)
            L.push_back({ ++Id, X, Y });
        else
            L.back().X = X, L.back().Y = Y;
        return;
    }
    size_t I = 0;
    while (I + 1 != L.size() && X - Tol > L[I].X)
        ++I;
    if (Duplicates || std::abs(L[I].X - X) > Tol)
        L.insert(L.begin() + std::ptrdiff_t(I), { ++Id, X, Y });
    else
        L[I].X = X, L[I].Y = Y;
}

bool SameAsRef(const TDataSeries& S, const std::vector<TRefPoint>& L)
{
    size_t I = 0;
    for (const TPointNode* P = S.FirstPoint(); P; P = P->Next, ++I)
        if (I == L.size() || P->ID != L[I].ID || std::memcmp(&P->X, &L[I].X, sizeof(double)) != 0
            || std::memcmp(&P->Y, &L[I].Y, sizeof(double)) != 0)
            return false;
    return I == L.size() && S.GetCount() == int32_t(L.size());
}

// Two bytes per step: a small x (0x80 is NaN) or, with the low bits of the second byte at 0, a
// deletion by id. With bit 3 of the first byte, the second byte's high bits widen x to 8192
// values, enough for the series' index of points by x to grow several levels deep.
void AddAndDelete(const uint8_t* Data, size_t Size)
{
    static const double Tolerances[] = { 0, 0.25, 1, 3 };
    TDataSeries S;
    S.MaxPoints = 0;
    S.SetDuplicatesAllowed(Data[0] & 1);
    S.NumericalTolerance = Tolerances[(Data[0] >> 1) & 3];
    const bool Wide = Data[0] & 8;
    std::vector<TRefPoint> Ref;
    int32_t Id = 0;
    for (size_t I = 1; I + 1 < Size && I < 8192; I += 2) {
        const int8_t Code = static_cast<int8_t>(Data[I]);
        if ((Data[I + 1] & 7) == 0) {
            const int32_t Victim = Data[I] % (Id + 1);
            S.DeletePoint(Victim);
            for (auto It = Ref.begin(); It != Ref.end(); ++It)
                if (It->ID == Victim) {
                    Ref.erase(It);
                    break;
                }
            continue;
        }
        const double X = Code == -128 ? std::nan("") : (Wide ? Code * 32 + (Data[I + 1] >> 3) : Code) * 0.25;
        const double Y = Data[I + 1];
        S.AddPoint(X, Y);
        RefAdd(Ref, S.GetDuplicatesAllowed(), S.NumericalTolerance > 0 ? S.NumericalTolerance : 0, X, Y, Id);
    }
    check(SameAsRef(S, Ref));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    if (Size < 1)
        return 0;
    AddAndDelete(Data, Size);
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
