//===- TDataStats.cpp - Statistics of one coordinate of a data series -----===//
#include "plot/TDataStats.h"

#include <algorithm>
#include <cmath>

namespace {

// The value at the 1-based position I, or the mean with the next one when N is no multiple of
// the fraction's divisor K (and a next one exists).
double Quantile(const std::vector<double>& V, size_t I, size_t K)
{
    const size_t N = V.size();
    if (N % K == 0 || I == N)
        return V[I - 1];
    return (V[I - 1] + V[I]) / 2;
}

void Quantiles(const std::vector<double>& V, TDataStats& S)
{
    const size_t N = V.size();
    // The high position n - n div k is n itself when there are fewer values than the fraction
    // has parts: the largest value. Only the low position can be 0, which leaves its field alone.
    const auto At = [&](size_t K, double& Low, double* High) {
        const size_t I = N / K;
        if (I != 0)
            Low = Quantile(V, I, K);
        if (High)
            *High = Quantile(V, N - I, K);
    };
    At(5, S.Low20, &S.High20);
    At(4, S.LowerQuartile, &S.UpperQuartile);
    At(2, S.Median, nullptr);
}

// The value of the longest run of values within Tolerance of the run's first value; ties keep
// the earlier run. Every run counts its first value, so that 1, 2, 2 has the mode 2.
double Mode(const std::vector<double>& V, double Tolerance)
{
    double Reference = V[0], Result = V[0];
    size_t Run = 1, Best = 1;
    for (size_t I = 1; I < V.size(); ++I) {
        if (!(std::abs(V[I] - Reference) <= Tolerance)) {
            Reference = V[I];
            Run = 1;
        } else if (++Run > Best) {
            Best = Run;
            Result = V[I];
        }
    }
    return Result;
}

} // namespace

void MergeSortValues(std::vector<double>& Values)
{
    std::vector<double> Other(Values.size());
    for (size_t Width = 1; Width < Values.size(); Width *= 2) {
        for (size_t Lo = 0; Lo < Values.size(); Lo += 2 * Width) {
            const size_t Mid = std::min(Lo + Width, Values.size());
            const size_t Hi = std::min(Lo + 2 * Width, Values.size());
            size_t A = Lo, B = Mid, Out = Lo;
            while (A < Mid && B < Hi)
                Other[Out++] = Values[A] < Values[B] ? Values[A++] : Values[B++];
            while (A < Mid)
                Other[Out++] = Values[A++];
            while (B < Hi)
                Other[Out++] = Values[B++];
        }
        Values.swap(Other);
    }
}

void CalcStatistics(const std::vector<double>& V, double Tolerance, TDataStats& S)
{
    S = TDataStats();
    S.Valid = true;
    const size_t N = V.size();
    S.Count = static_cast<int32_t>(N);
    if (N < 2) {
        S.Message = SNoStatistics;
        S.NoStatistics = true;
        return;
    }
    // The sums and moments are taken in extended precision: the squares of values near the
    // double range would overflow a double. The deviation comes from the sum of the squared
    // differences from the mean, the same quantity as sum v^2 - sum^2 / n: that difference
    // cancels to nothing for values close together (1e8 + 0.1 k) and leaves rounding noise for
    // equal ones.
    long double Sum = 0;
    for (double Value : V)
        Sum += Value;
    const long double Mean = Sum / N;
    S.Sum = static_cast<double>(Sum);
    S.Mean = static_cast<double>(Mean);
    Quantiles(V, S);
    S.Mode = Mode(V, Tolerance);

    long double S2 = 0, S3 = 0, S4 = 0;
    for (double Value : V) {
        const long double D = Value - Mean;
        S2 += D * D;
        S3 += D * D * D;
        S4 += D * D * D * D;
    }
    const long double Dev = std::sqrt(S2 / (N - 1));
    S.Deviation = static_cast<double>(Dev);
    if (S2 == 0 || S.Deviation == 0) {
        S.Message = SNoDeviance;
        return;
    }
    S.Skew = static_cast<double>(S3 / (N * Dev * Dev * Dev));
    S.Kurtosis = static_cast<double>(S4 / (N * Dev * Dev * Dev * Dev) - 3);
}
