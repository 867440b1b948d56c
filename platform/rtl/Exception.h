//===- Exception.h - The exception classes of the runtime library -*- C++ -*-===//
#pragma once

#include <exception>
#include <string>

/// The root of every exception that the platform and the system raise. The message is the text
/// shown to the operator (the message loop puts it into a box titled with the application title).
class Exception : public std::exception {
public:
    explicit Exception(std::string Msg);

    const std::string& Message() const { return FMessage; }
    void SetMessage(std::string Msg) { FMessage = std::move(Msg); }
    const char* what() const noexcept override;

private:
    std::string FMessage;
};

// Conversion of text to numbers, dates and times, and Format's argument checks.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};
// Round or Trunc of a value that no 64-bit integer holds (NaN, infinity, out of range).
class EInvalidOp : public Exception {
public:
    using Exception::Exception;
};

// Streams: the base, short reads and writes, files that cannot be opened or created.
class EStreamError : public Exception {
public:
    using Exception::Exception;
};
class EReadError : public EStreamError {
public:
    using EStreamError::EStreamError;
};
class EWriteError : public EStreamError {
public:
    using EStreamError::EStreamError;
};
class EFOpenError : public EStreamError {
public:
    using EStreamError::EStreamError;
};
class EFCreateError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

// String lists: an index out of bounds, a change that a sorted list refuses.
class EListError : public Exception {
public:
    using Exception::Exception;
};
