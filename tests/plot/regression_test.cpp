//===- regression_test.cpp - The seven regression kinds of a series -------===//
#include "plot/PlotConsts.h"
#include "plot/TDataSeries.h"
#include "platform/rtl/Exception.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

namespace {

// A series of the points with statistics over all of them (kinds 1 to 3 need the x deviation).
void Fill(TDataSeries& S, const std::vector<double>& Xs, const std::function<double(double)>& F)
{
    S.SetStatisticsEnabled(true);
    S.SetStatisticsXLow(-1e9);
    S.SetStatisticsXHigh(1e9);
    for (double X : Xs)
        S.AddPoint(X, F(X));
}

std::vector<double> Fitted(const TDataSeries& S)
{
    std::vector<double> V;
    for (const TPointNode* N = S.FirstPoint(); N; N = N->Next)
        V.push_back(N->Fitted);
    return V;
}

std::vector<std::pair<double, double>> Results(const TDataSeries& S)
{
    std::vector<std::pair<double, double>> V;
    for (const TPointNode* N = S.FirstRegressionResult(); N; N = N->Next)
        V.push_back({ N->X, N->Fitted });
    return V;
}

std::string MessageOf(TDataSeries& S)
{
    try {
        S.CalcRegression();
    } catch (const Exception& E) {
        return E.Message();
    }
    return "";
}

TEST(Regression, StraightLinesAndParabolasOnKnownData)
{
    struct Row {
        const char* Case;
        uint8_t Kind;
        std::function<double(double)> F;
        double A, B, C;
    } Rows[] = {
        { "least squares line", 1, [](double X) { return 2 * X + 1; }, 1, 2, 0 },
        // The outlier at x = 4 moves a least-squares line but not the median of the slopes.
        { "median of slopes", 2, [](double X) { return X == 4 ? 50 : 2 * X + 1; }, 1, 2, 0 },
        { "parabola", 3, [](double X) { return X * X - 3 * X + 2; }, 2, -3, 1 },
    };
    for (const Row& R : Rows) {
        TDataSeries S;
        Fill(S, { 0, 1, 2, 3, 4, 5, 6 }, R.F);
        S.SetRegressionType(R.Kind);
        S.CalcRegression();
        EXPECT_NEAR(S.GetRegressionIntercept(), R.A, 1e-9) << R.Case;
        EXPECT_NEAR(S.GetRegressionSlope(), R.B, 1e-9) << R.Case;
        EXPECT_NEAR(S.GetRegressionQuadratic(), R.C, 1e-9) << R.Case;
        EXPECT_NEAR(Fitted(S)[3], R.A + R.B * 3 + R.C * 9, 1e-9) << R.Case;
    }
}

TEST(Regression, LeastSquaresSumsKeepPointsFarFromZero)
{
    // The centred sums of x = origin + k cancel to rounding noise in 53 bits: slope 3.5 for the
    // line, c = 0.509 and b = -171 for the parabola.
    struct Row {
        const char* Case;
        uint8_t Kind;
        double Origin;
        std::function<double(double)> F;
        double A, B, C;
    } Rows[] = {
        { "line", 1, 1e8, [](double X) { return 3 * X - 2e8; }, -2e8, 3, 0 },
        { "parabola", 3, 1e4, [](double X) { return 0.5 * X * X + 3 * X; }, 0, 3, 0.5 },
    };
    for (const Row& R : Rows) {
        TDataSeries S;
        std::vector<double> Xs;
        for (int K = 0; K < 10; ++K)
            Xs.push_back(R.Origin + K);
        Fill(S, Xs, R.F);
        S.SetRegressionType(R.Kind);
        S.CalcRegression();
        EXPECT_NEAR(S.GetRegressionIntercept(), R.A, 1e-3) << R.Case;
        EXPECT_NEAR(S.GetRegressionSlope(), R.B, 1e-9) << R.Case;
        EXPECT_NEAR(S.GetRegressionQuadratic(), R.C, 1e-12) << R.Case;
    }
}

TEST(Regression, LinesFallBackWithoutSpreadInX)
{
    struct Row {
        const char* Case;
        uint8_t Kind;
        std::vector<double> Xs;
        bool Statistics;
    } Rows[] = {
        { "statistics off", 1, { 1, 2, 3 }, false },
        { "one point", 2, { 1 }, true },
        // Three points but only two distinct x: no parabola, and no division by (almost) zero.
        { "parabola on two x", 3, { 1, 1, 2 }, true },
    };
    for (const Row& R : Rows) {
        TDataSeries S;
        S.SetDuplicatesAllowed(true);
        Fill(S, R.Xs, [](double X) { return 5 * X; });
        S.SetStatisticsEnabled(R.Statistics);
        S.SetRegressionType(R.Kind);
        S.CalcRegression();
        EXPECT_EQ(S.GetRegressionSlope(), 0) << R.Case;
        EXPECT_EQ(S.GetRegressionQuadratic(), 0) << R.Case;
        for (double V : Fitted(S))
            EXPECT_TRUE(std::isfinite(V)) << R.Case;
    }
}

TEST(Regression, SampledCurvesHaveControlValuePlusOneSamplesThroughTheData)
{
    for (uint8_t Kind : { 4, 5 }) {
        TDataSeries S;
        Fill(S, { 0, 0.1, 0.3, 0.7, 1 }, [](double X) { return 3 * X - 1; });
        S.SetRegressionType(Kind);
        S.SetRegressionControlValue1(10);
        S.SetRegressionControlValue2(3); // the line's own end slopes for the spline
        S.CalcRegression();
        const auto R = Results(S);
        ASSERT_EQ(R.size(), 11u) << int(Kind);
        EXPECT_EQ(R.front().first, 0);
        EXPECT_NEAR(R.back().first, 1, 1e-12);
        for (const auto& [X, V] : R)
            EXPECT_NEAR(V, 3 * X - 1, 1e-9) << int(Kind) << " at " << X;
    }
}

TEST(Regression, ControlValuesThatCannotSampleGiveNoCurveAndNoHang)
{
    for (uint8_t Kind : { 4, 5 })
        for (int32_t Samples : { 0, -3 }) {
            TDataSeries S;
            Fill(S, { 0, 1, 2 }, [](double X) { return X; });
            S.SetRegressionType(Kind);
            S.SetRegressionControlValue1(4);
            S.CalcRegression();
            ASSERT_EQ(Results(S).size(), 5u);
            S.SetRegressionControlValue1(Samples);
            S.CalcRegression();
            EXPECT_TRUE(Results(S).empty()) << int(Kind) << " " << Samples; // the old curve is gone too
            S.SetRegressionControlValue1(2147483647);                       // from a damaged file: no endless curve
            S.CalcRegression();
            EXPECT_EQ(Results(S).size(), 65536u) << int(Kind);
        }

    // Natural ends: a curved spline through three points, sampled right up to the last point.
    TDataSeries S;
    Fill(S, { 0, 1, 2 }, [](double X) { return X * X; });
    S.SetRegressionType(4);
    S.SetRegressionControlValue1(3);
    S.SetRegressionControlValue2(1e31);
    S.CalcRegression();
    const auto R = Results(S);
    ASSERT_EQ(R.size(), 4u);
    EXPECT_NEAR(R.back().second, 4, 1e-12);
    EXPECT_EQ(Fitted(S).front(), 0); // natural: no curvature at the ends
}

TEST(Regression, SmoothingAndRunningAverageFillTheFittedValues)
{
    TDataSeries S;
    Fill(S, { 1, 2, 3, 4 }, [](double X) { return 2 * X; });
    S.SetZeroValue(100); // fitted values stay in the units of raw y
    S.SetRegressionType(6);
    S.SetRegressionControlValue2(0.5);
    S.CalcRegression();
    EXPECT_EQ(Fitted(S), (std::vector<double> { 2, 3, 4.5, 6.25 }));

    S.SetRegressionType(7); // window 2
    S.CalcRegression();
    EXPECT_EQ(Fitted(S), (std::vector<double> { 2, 3, 5, 7 }));
}

TEST(Regression, RunningAverageWindowIsTheExtendedReciprocal)
{
    // 1 / 0.05 lies just below 20 in extended precision: 19 values, not 20.
    TDataSeries S;
    Fill(S, {}, nullptr);
    for (int I = 1; I <= 21; ++I)
        S.AddPoint(I, I);
    S.SetRegressionType(7);
    S.SetRegressionControlValue2(0.05);
    S.CalcRegression();
    EXPECT_EQ(Fitted(S).back(), (3.0 + 21.0) / 2);
}

TEST(Regression, ImpossibleSettingsRaiseOnce)
{
    struct Row {
        uint8_t Kind;
        double Value2;
        std::string Message;
    } Rows[] = {
        { 0, 0.05, SRegressionInternal },    { 8, 0.05, SUnknownRegression },
        { 7, 0.6, SInvalidRunningAverage },  { 7, 0, SInvalidRunningAverage },
        { 7, -0.5, SInvalidRunningAverage }, { 7, std::nan(""), SInvalidRunningAverage },
        { 7, 1e-6, SInvalidRunningAverage }, // a million values do not fit the 16-bit window
    };
    for (const Row& R : Rows) {
        TDataSeries S;
        Fill(S, { 1, 2 }, [](double X) { return X; });
        S.SetRegressionType(R.Kind == 0 ? 1 : R.Kind);
        S.SetRegressionType(R.Kind);
        S.SetRegressionControlValue2(R.Value2);
        EXPECT_EQ(MessageOf(S), R.Message) << int(R.Kind) << " " << R.Value2;
        EXPECT_EQ(MessageOf(S), "") << "no retry before a change";
    }
}

} // namespace
