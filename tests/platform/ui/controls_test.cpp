//===- controls_test.cpp ===//
