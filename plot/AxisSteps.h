//===- AxisSteps.h - The plot's logarithm, tick steps, label decimals and month steps -*- C++ -*-===//
#pragma once

#include "plot/TDateTimeFormat.h"

#include <cstdint>

/// The plot's base-10 logarithm: ln(x) x 0.4342944818, in extended precision. The constant is
/// a little below log10(e), so log10(100) comes out as 1.99999999952; tick steps and decades
/// at exact powers of ten depend on it.
long double PlotLog10(long double X);
/// The plot's power of ten: e^(K / 0.4342944818); 10^2 is 100.00000011.
long double PlotPower10(long double K);
/// True when X is, within a few units of its last digit, an exact power of ten; Exponent gets
/// the power. The logarithm above cannot tell (log10(100) is below 2).
bool IsPowerOfTen(double X, int& Exponent);

/// The linear tick step: the first of m, m/2, m/5, m/10, m/20, m/50 (else m/100) that gives at
/// least MinSteps intervals over Hi - Lo, m being the power of ten near the range. Raises
/// Exception "GetStep entered with bad range" unless Hi - Lo is positive and finite.
double GetStep(uint16_t MinSteps, double Lo, double Hi);
/// The nominal step of a time tick type, in days; dt_custom asks GetStep, other values 1.
double GetDateStep(Dateticks TickType, uint16_t MinSteps, double Lo, double Hi);
/// The decimals that show V: -trunc(log10(1.01 V)), one more below 1; 0 for V that is not
/// positive and finite.
int DecimalsFor(double V);
/// Adds N (1 to 12) months to Year and Month.
void AddMonths(uint16_t& Year, uint16_t& Month, int N);
