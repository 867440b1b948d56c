//===- edit_rules_test.cpp ===//
