//===- PlotConsts.h - Message texts of the plot component ------*- C++ -*-===//
#pragma once

// One table of every text the plot component raises. Stored graphs and the programs' message
// boxes show them as they stand, so the spelling and case stay as they are ("Stream read Error"
// and "Stream Read Error" are two different checks).

// The tagged value stream.
inline constexpr const char* SIllegalSaveCall = "illegal call in savetofile";
inline constexpr const char* SReadingError1 = "reading error 1";
inline constexpr const char* SReadingError2 = "reading error 2";
inline constexpr const char* SConversionError = "conversion error";
inline constexpr const char* SPointCountError = "Stream read Error";
inline constexpr const char* SEntriesPerPointError = "Stream Read Error";

// Statistics and regression.
inline constexpr const char* SRegressionInternal = "internal error: regression";
inline constexpr const char* SUnknownRegression = "Unknown regression type";
inline constexpr const char* SInvalidRunningAverage = "Invalid Running Average limit";

// Axis scaling.
inline constexpr const char* SGetStepBadRange = "GetStep entered with bad range";
inline constexpr const char* SSetMinMaxImpossible = "Impossible: oMin > oMax in SetMinMax!";
inline constexpr const char* SSetMinMaxFailed = "SetMinMax failed";
/// Follows the axis title directly.
inline constexpr const char* SCalcMetrics = "CalcMetrics: XMin>=XMax";

// Annotations.
inline constexpr const char* SDuplicateAnnotation = "Attempt to create a duplicate Annotation ID";
inline constexpr const char* SNotCodedYet = "not coded yet";

// The graph stream.
inline constexpr const char* SNotAGraphFile = "Not a valid graph file";
inline constexpr const char* SWrongGraphVersion = "Wrong Graph version";
inline constexpr const char* SFilingError = "internal filing error: TPlotGraph";
inline constexpr const char* SFilingError2 = "internal filing error2: TPlotGraph";
/// Followed directly by the type name.
inline constexpr const char* SUnknownAnnotationType = "unknown annotation type ";
