//===- canvas_painting_test.cpp ===//
