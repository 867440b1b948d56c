//===- TStream.cpp - Byte streams: TStream, TMemoryStream, TFileStream ----===//
#include "platform/rtl/TStream.h"

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/RtlConsts.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <new>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace {

std::string systemReason(int Error) { return std::generic_category().message(Error); }

/// The target of a seek, or -1 for an unknown origin or a place before the start.
int64_t seekTarget(int64_t Offset, uint16_t Origin, int64_t Position, int64_t Size)
{
    int64_t Base;
    switch (Origin) {
    case soFromBeginning: Base = 0; break;
    case soFromCurrent: Base = Position; break;
    case soFromEnd: Base = Size; break;
    default: return -1;
    }
    if ((Offset > 0 && Base > std::numeric_limits<int64_t>::max() - Offset) || Base + Offset < 0)
        return -1;
    return Base + Offset;
}

/// fmCreate fills the access bits, so it is told apart by all of its bits; the share flags
/// beside it ("fmCreate | fmShareExclusive") change nothing here.
bool isCreate(uint16_t Mode) { return (Mode & fmCreate) == fmCreate; }

int openFlags(uint16_t Mode)
{
    if (isCreate(Mode))
        return O_RDWR | O_CREAT | O_TRUNC;
    switch (Mode & 3) {
    case fmOpenRead: return O_RDONLY;
    case fmOpenWrite: return O_WRONLY;
    case fmOpenReadWrite: return O_RDWR;
    default: return -1;
    }
}

} // namespace

// --- TStream

TStream::~TStream() = default;

void TStream::ReadBuffer(void* Buffer, int32_t Count)
{
    if (Count != 0 && Read(Buffer, Count) != Count)
        throw EReadError(SReadError);
}

void TStream::WriteBuffer(const void* Buffer, int32_t Count)
{
    if (Count != 0 && Write(Buffer, Count) != Count)
        throw EWriteError(SWriteError);
}

int64_t TStream::CopyFrom(TStream& Source, int64_t Count)
{
    if (Count == 0) {
        Source.SetPosition(0);
        Count = Source.GetSize();
    }
    constexpr int32_t chunk = 0xF000;
    std::vector<uint8_t> Buffer(static_cast<size_t>(std::min<int64_t>(std::max<int64_t>(Count, 0), chunk)));
    for (int64_t Left = Count; Left > 0;) {
        const int32_t N = static_cast<int32_t>(std::min<int64_t>(Left, chunk));
        Source.ReadBuffer(Buffer.data(), N);
        WriteBuffer(Buffer.data(), N);
        Left -= N;
    }
    return Count;
}

int64_t TStream::GetPosition() { return Seek(0, soFromCurrent); }

void TStream::SetPosition(int64_t Pos) { Seek(Pos, soFromBeginning); }

int64_t TStream::GetSize()
{
    const int64_t Pos = Seek(0, soFromCurrent);
    const int64_t Size = Seek(0, soFromEnd);
    Seek(Pos, soFromBeginning);
    return Size;
}

// --- TMemoryStream

TMemoryStream::TMemoryStream() = default;

TMemoryStream::~TMemoryStream() = default;

int32_t TMemoryStream::Read(void* Buffer, int32_t Count)
{
    const int64_t Size = static_cast<int64_t>(FData.size());
    if (Count <= 0 || FPosition >= Size)
        return 0;
    const int32_t N = static_cast<int32_t>(std::min<int64_t>(Count, Size - FPosition));
    std::memcpy(Buffer, FData.data() + FPosition, static_cast<size_t>(N));
    FPosition += N;
    return N;
}

int32_t TMemoryStream::Write(const void* Buffer, int32_t Count)
{
    if (Count <= 0 || FPosition > std::numeric_limits<int64_t>::max() - Count)
        return 0;
    const int64_t End = FPosition + Count;
    if (End > static_cast<int64_t>(FData.size())) {
        const int64_t Position = FPosition;
        SetSize(End);
        FPosition = Position;
    }
    std::memcpy(FData.data() + FPosition, Buffer, static_cast<size_t>(Count));
    FPosition = End;
    return Count;
}

int64_t TMemoryStream::Seek(int64_t Offset, uint16_t Origin)
{
    const int64_t Target = seekTarget(Offset, Origin, FPosition, static_cast<int64_t>(FData.size()));
    if (Target >= 0)
        FPosition = Target;
    return Target;
}

int64_t TMemoryStream::GetSize() { return static_cast<int64_t>(FData.size()); }

void TMemoryStream::SetSize(int64_t NewSize)
{
    if (NewSize < 0)
        NewSize = 0;
    try {
        FData.resize(static_cast<size_t>(NewSize));
    } catch (const std::bad_alloc&) {
        throw EStreamError(SMemoryStreamError);
    } catch (const std::length_error&) {
        throw EStreamError(SMemoryStreamError);
    }
    FPosition = std::min(FPosition, NewSize);
}

void TMemoryStream::Clear()
{
    FData.clear();
    FData.shrink_to_fit();
    FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream& Stream)
{
    Stream.SetPosition(0);
    const int64_t Count = Stream.GetSize();
    SetSize(Count);
    // Read in pieces that fit the 32-bit count of Read.
    for (int64_t Done = 0; Done < Count;) {
        const int32_t N = static_cast<int32_t>(std::min<int64_t>(Count - Done, 1 << 30));
        Stream.ReadBuffer(FData.data() + Done, N);
        Done += N;
    }
    FPosition = 0;
}

void TMemoryStream::LoadFromFile(const std::string& FileName)
{
    TFileStream File(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(File);
}

void TMemoryStream::SaveToStream(TStream& Stream)
{
    const int64_t Count = static_cast<int64_t>(FData.size());
    for (int64_t Done = 0; Done < Count;) {
        const int32_t N = static_cast<int32_t>(std::min<int64_t>(Count - Done, 1 << 30));
        Stream.WriteBuffer(FData.data() + Done, N);
        Done += N;
    }
}

void TMemoryStream::SaveToFile(const std::string& FileName)
{
    TFileStream File(FileName, fmCreate);
    SaveToStream(File);
}

// --- TFileStream

TFileStream::TFileStream(const std::string& FileName, uint16_t Mode) : FFileName(FileName)
{
    const bool Creating = isCreate(Mode);
    const auto Fail = [&](int Error) {
        const std::string Text = Format(Creating ? SFCreateErrorEx : SFOpenErrorEx, { FileName, systemReason(Error) });
        if (Creating)
            throw EFCreateError(Text);
        throw EFOpenError(Text);
    };
    const int Flags = openFlags(Mode);
    if (Flags < 0)
        Fail(EINVAL);
    const std::string Path = AnsiToUtf8(FileName);
    FHandle.reset(::open(Path.c_str(), Flags | O_CLOEXEC, 0666));
    if (!FHandle)
        Fail(errno);
    // A folder opens for reading here, but it is no file to stream.
    struct stat Info {};
    if (::fstat(FHandle.get(), &Info) == 0 && S_ISDIR(Info.st_mode))
        Fail(EISDIR);
}

TFileStream::~TFileStream() = default;

int32_t TFileStream::Read(void* Buffer, int32_t Count)
{
    int32_t Done = 0;
    while (Done < Count) {
        const ssize_t N = ::read(FHandle.get(), static_cast<char*>(Buffer) + Done, static_cast<size_t>(Count - Done));
        if (N < 0 && errno == EINTR)
            continue;
        if (N <= 0)
            break;
        Done += static_cast<int32_t>(N);
    }
    return Done;
}

int32_t TFileStream::Write(const void* Buffer, int32_t Count)
{
    int32_t Done = 0;
    while (Done < Count) {
        const ssize_t N =
            ::write(FHandle.get(), static_cast<const char*>(Buffer) + Done, static_cast<size_t>(Count - Done));
        if (N < 0 && errno == EINTR)
            continue;
        if (N <= 0)
            break;
        Done += static_cast<int32_t>(N);
    }
    return Done;
}

int64_t TFileStream::Seek(int64_t Offset, uint16_t Origin)
{
    int Whence;
    switch (Origin) {
    case soFromBeginning: Whence = SEEK_SET; break;
    case soFromCurrent: Whence = SEEK_CUR; break;
    case soFromEnd: Whence = SEEK_END; break;
    default: return -1;
    }
    return ::lseek(FHandle.get(), Offset, Whence);
}

void TFileStream::SetSize(int64_t NewSize)
{
    const int64_t Position = GetPosition();
    if (NewSize < 0 || ::ftruncate(FHandle.get(), NewSize) != 0)
        throw EStreamError(Format(SSetSizeError, { FFileName, systemReason(NewSize < 0 ? EINVAL : errno) }));
    if (Position > NewSize)
        Seek(NewSize, soFromBeginning);
}
