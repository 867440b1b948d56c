//===- dialog_keys_test.cpp ===//
