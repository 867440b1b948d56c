//===- TPlotReader.h - Reads the tagged value stream of stored graphs -*- C++ -*-===//
//
// Reads what TPlotWriter writes, and also the text form, in which every tag is the entry's key,
// the two index characters and "S", and every value is a string. A reader takes bytes from the
// stream a buffer at a time; when it is freed it puts the stream back just after the last byte
// it used, so the next reader on the same stream starts there.
//
// Bytes from a file are untrusted: a value of the wrong type, a malformed tag, a string or a
// point count longer than what is left, and the end of the stream raise EReadError
// "Stream read error"; a value that does not convert raises "conversion error" or the number
// parser's EConvertError. Nothing read before the failure is taken back.
//
#pragma once

#include "plot/TPlotWriter.h"

#include <cstdint>
#include <string>
#include <vector>

/// Type bytes of the value format.
enum class TValueType : uint8_t {
    vaInt8 = 0x02,
    vaInt16 = 0x03,
    vaInt32 = 0x04,
    vaExtended = 0x05,
    vaString = 0x06,
    vaFalse = 0x08,
    vaTrue = 0x09,
    vaLString = 0x0C,
};
using enum TValueType;

class TPlotReader {
public:
    /// BufSize > 0 bytes are taken from Stream at a time.
    TPlotReader(TStream& Stream, int BufSize);
    /// Moves the stream back over the bytes read ahead and not used.
    ~TPlotReader();
    TPlotReader(const TPlotReader&) = delete;
    TPlotReader& operator=(const TPlotReader&) = delete;

    // --- Single values (integers of any width; reals also from integers)
    /// The type byte of the next value, without taking it.
    TValueType NextValue();
    int32_t ReadInteger();
    double ReadFloat();
    std::string ReadString();
    bool ReadBoolean();
    /// Passes over one value of whatever type.
    void SkipValue();

    // --- Tagged entries
    /// Reads a tag and answers its index; index 0 (the section end) takes its value at once.
    /// Raises "reading error 1" while the value of the previous tag is pending.
    int ReadTag();
    /// The kind letter of the last tag ('B', 'D', 'F', 'I', 'S' or whatever the stream held).
    char GetKind() const { return FKind; }
    /// The pending value, converted from the tag's kind. Each raises "reading error 2" when no
    /// value is pending and "conversion error" for a kind it cannot convert.
    std::string ReadAsString();
    int32_t ReadAsInteger();
    double ReadAsReal();
    bool ReadAsBoolean();
    /// Sets the font's name, size, colour and style from an "F" value.
    void ReadFont(TFont& Font);
    /// Drops the pending value.
    void Skip();

    // --- The point block
    /// Reads the count and entries-per-point entries and the "D" / "S" marker; answers the count.
    int32_t ReadPointBlockHeader();
    void ReadPoint(double& X, double& Y);

private:
    void RequirePending();
    void ValueTaken() { FTagExpected = true; }
    /// Bytes that the buffer and the stream still hold.
    int64_t BytesLeft();
    void ReadBytes(void* Data, size_t Count);
    uint8_t ReadByte();
    TValueType ReadValueType();
    void Fill();

    TStream& FStream;
    std::vector<uint8_t> FBuffer;
    size_t FBufPos = 0;
    size_t FBufEnd = 0;
    char FKind = 0;
    bool FTagExpected = true;
    bool FBinaryPoints = true;
    int32_t FEntriesPerPoint = 2;
};
