//===- TStream.h - Byte streams: TStream, TMemoryStream, TFileStream -*- C++ -*-===//
#pragma once

#include "platform/rtl/UniqueFd.h"

#include <cstdint>
#include <string>
#include <vector>

// Seek origins.
constexpr uint16_t soFromBeginning = 0;
constexpr uint16_t soFromCurrent = 1;
constexpr uint16_t soFromEnd = 2;

// TFileStream modes: one access mode, or fmCreate; the share flags are accepted and ignored
// (nothing on this platform locks a file against another opener).
constexpr uint16_t fmCreate = 0xFF00;
constexpr uint16_t fmOpenRead = 0x0000;
constexpr uint16_t fmOpenWrite = 0x0001;
constexpr uint16_t fmOpenReadWrite = 0x0002;
constexpr uint16_t fmShareCompat = 0x0000;
constexpr uint16_t fmShareExclusive = 0x0010;
constexpr uint16_t fmShareDenyWrite = 0x0020;
constexpr uint16_t fmShareDenyRead = 0x0030;
constexpr uint16_t fmShareDenyNone = 0x0040;

/// A sequence of bytes with a position.
class TStream {
public:
    virtual ~TStream();
    TStream(const TStream&) = delete;
    TStream& operator=(const TStream&) = delete;

    // Transfer
    /// Reads up to Count bytes at the position and moves past them; answers how many were read
    /// (0 at the end).
    virtual int32_t Read(void* Buffer, int32_t Count) = 0;
    /// Writes Count bytes at the position and moves past them; answers how many were written.
    virtual int32_t Write(const void* Buffer, int32_t Count) = 0;
    /// Raises EReadError "Stream read error" unless exactly Count bytes are read.
    void ReadBuffer(void* Buffer, int32_t Count);
    /// Raises EWriteError "Stream write error" unless exactly Count bytes are written.
    void WriteBuffer(const void* Buffer, int32_t Count);
    /// Copies Count bytes from Source's position; Count 0 copies all of Source from its start.
    /// Answers the bytes copied; raises EReadError / EWriteError when they run short.
    int64_t CopyFrom(TStream& Source, int64_t Count);

    // Position and size
    /// Moves to Offset from the origin (soFromBeginning, soFromCurrent, soFromEnd); answers the
    /// new position, or -1 when the stream cannot go there.
    virtual int64_t Seek(int64_t Offset, uint16_t Origin) = 0;
    int64_t GetPosition();
    void SetPosition(int64_t Pos);
    virtual int64_t GetSize();
    /// Cuts or extends the stream; a position beyond the new end moves to it.
    virtual void SetSize(int64_t NewSize) = 0;

protected:
    TStream() = default;
};

/// A stream in memory that grows as it is written. The position may lie beyond the end:
/// reading there gives nothing, writing there fills the gap with zeros.
class TMemoryStream : public TStream {
public:
    TMemoryStream();
    ~TMemoryStream() override;

    int32_t Read(void* Buffer, int32_t Count) override;
    int32_t Write(const void* Buffer, int32_t Count) override;
    int64_t Seek(int64_t Offset, uint16_t Origin) override;
    int64_t GetSize() override;
    /// Raises EStreamError when the memory cannot be had.
    void SetSize(int64_t NewSize) override;

    /// The bytes; valid until the size next changes.
    uint8_t* Memory() { return FData.data(); }
    const uint8_t* Memory() const { return FData.data(); }
    /// Size and position 0.
    void Clear();

    /// Replaces the contents with all of Stream (from its start); the position becomes 0.
    void LoadFromStream(TStream& Stream);
    /// Raises EFOpenError when the file cannot be opened.
    void LoadFromFile(const std::string& FileName);
    /// Writes all contents, whatever the position.
    void SaveToStream(TStream& Stream);
    /// Raises EFCreateError when the file cannot be created.
    void SaveToFile(const std::string& FileName);

private:
    std::vector<uint8_t> FData;
    int64_t FPosition = 0;
};

/// A stream on a file. The file name is ANSI text like all of the system's text. Opening a file
/// that is missing, unreadable or a folder raises EFOpenError ("Cannot open file "x". reason");
/// fmCreate creates or empties the file and raises EFCreateError when it cannot.
class TFileStream : public TStream {
public:
    TFileStream(const std::string& FileName, uint16_t Mode);
    ~TFileStream() override;

    int32_t Read(void* Buffer, int32_t Count) override;
    int32_t Write(const void* Buffer, int32_t Count) override;
    int64_t Seek(int64_t Offset, uint16_t Origin) override;
    /// Raises EStreamError when the file cannot change its size.
    void SetSize(int64_t NewSize) override;

    const std::string& FileName() const { return FFileName; }

private:
    std::string FFileName;
    UniqueFd FHandle;
};
