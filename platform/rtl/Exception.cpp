//===- Exception.cpp - The exception classes of the runtime library -------===//
#include "platform/rtl/Exception.h"

Exception::Exception(std::string Msg) : FMessage(std::move(Msg)) {}

const char* Exception::what() const noexcept { return FMessage.c_str(); }
