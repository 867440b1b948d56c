//===- message_loop_test.cpp ===//
