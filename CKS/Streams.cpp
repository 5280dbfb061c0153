#include "CKS/Streams.h"

#include <algorithm>
#include <cstdint>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cxxabi.h>
#include <cstdlib>
#include <memory>
#include <new>
#include <typeinfo>

std::string TStream::ClassName() const {
  const char* Mangled = typeid(*this).name();
  int Status = 0;
  std::unique_ptr<char, decltype(&std::free)> Demangled(
      abi::__cxa_demangle(Mangled, nullptr, nullptr, &Status), &std::free);
  return Status == 0 && Demangled ? std::string(Demangled.get()) : std::string(Mangled);
}

std::int64_t TStream::GetSize() {
  const std::int64_t Position = Seek(0, soCurrent);
  const std::int64_t Result = Seek(0, soEnd);
  Seek(Position, soBeginning);
  return Result;
}

void TStream::SetSize(std::int64_t) {}

void TStream::ReadBuffer(void* Buffer, std::int32_t Count) {
  if (Count == 0) return;
  if (Count < 0 || Read(Buffer, Count) != Count) throw EReadError();
}

void TStream::WriteBuffer(const void* Buffer, std::int32_t Count) {
  if (Count == 0) return;
  if (Count < 0 || Write(Buffer, Count) != Count) throw EWriteError();
}

std::int64_t TStream::CopyFrom(TStream& Source, std::int64_t Count) {
  constexpr std::int64_t MaxBufferSize = 61440;
  if (Count == 0) {
    Source.SetPosition(0);
    Count = Source.GetSize();
  }
  if (Count < 0) throw EReadError();
  const std::int64_t Result = Count;
  std::vector<std::uint8_t> Buffer(static_cast<std::size_t>(std::min(Count, MaxBufferSize)));
  while (Count != 0) {
    const auto N = static_cast<std::int32_t>(std::min<std::int64_t>(Count, MaxBufferSize));
    Source.ReadBuffer(Buffer.data(), N);
    WriteBuffer(Buffer.data(), N);
    Count -= N;
  }
  return Result;
}

// ---------------------------------------------------------------------------

namespace {
// Positions far outside any real stream stay far outside instead of wrapping.
std::int64_t SaturatingAdd(std::int64_t A, std::int64_t B) {
  std::int64_t Result = 0;
  if (__builtin_add_overflow(A, B, &Result)) return B > 0 ? INT64_MAX : INT64_MIN;
  return Result;
}
}  // namespace

void TMemoryStream::SetSize(std::int64_t NewSize) {
  if (NewSize < 0) throw EWriteError();
  Data_.resize(static_cast<std::size_t>(NewSize));
  if (Position_ > NewSize) Position_ = NewSize;
}

std::int32_t TMemoryStream::Read(void* Buffer, std::int32_t Count) {
  const auto Size = static_cast<std::int64_t>(Data_.size());
  if (Count <= 0 || Position_ < 0 || Position_ >= Size) return 0;
  const auto N = static_cast<std::int32_t>(std::min<std::int64_t>(Count, Size - Position_));
  std::memcpy(Buffer, Data_.data() + Position_, static_cast<std::size_t>(N));
  Position_ += N;
  return N;
}

std::int32_t TMemoryStream::Write(const void* Buffer, std::int32_t Count) {
  if (Count <= 0 || Position_ < 0 || Position_ > INT64_MAX - Count) return 0;
  const std::int64_t End = Position_ + Count;
  if (End > static_cast<std::int64_t>(Data_.size())) {
    // Memory that cannot be had is a write that stores nothing.
    if (static_cast<std::uint64_t>(End) > Data_.max_size()) return 0;
    try {
      Data_.resize(static_cast<std::size_t>(End));
    } catch (const std::bad_alloc&) {
      return 0;
    }
  }
  std::memcpy(Data_.data() + Position_, Buffer, static_cast<std::size_t>(Count));
  Position_ = End;
  return Count;
}

std::int64_t TMemoryStream::Seek(std::int64_t Offset, TSeekOrigin Origin) {
  switch (Origin) {
    case soBeginning: Position_ = Offset; break;
    case soCurrent: Position_ = SaturatingAdd(Position_, Offset); break;
    case soEnd: Position_ = SaturatingAdd(static_cast<std::int64_t>(Data_.size()), Offset); break;
  }
  return Position_;
}

void TMemoryStream::Clear() {
  Data_.clear();
  Position_ = 0;
}

// ---------------------------------------------------------------------------

TFileStream::TFileStream(const std::string& FileName, std::uint16_t Mode) : FileName_(FileName) {
  int Flags = O_CLOEXEC;
  if (Mode == fmCreate) {
    Flags |= O_RDWR | O_CREAT | O_TRUNC;
  } else {
    switch (Mode & 0x000F) {
      case fmOpenWrite: Flags |= O_WRONLY; break;
      case fmOpenReadWrite: Flags |= O_RDWR; break;
      default: Flags |= O_RDONLY; break;
    }
  }
  do {
    Handle_ = ::open(FileName.c_str(), Flags, 0666);
  } while (Handle_ < 0 && errno == EINTR);
  if (Handle_ < 0) {
    const std::string Reason = std::strerror(errno);
    if (Mode == fmCreate)
      throw EFCreateError("Datei \"" + FileName + "\" kann nicht erstellt werden: " + Reason);
    throw EFOpenError("Datei \"" + FileName + "\" kann nicht geöffnet werden: " + Reason);
  }
  struct stat Info {};
  if (::fstat(Handle_, &Info) == 0 && S_ISDIR(Info.st_mode)) {
    ::close(Handle_);
    Handle_ = -1;
    throw EFOpenError("Datei \"" + FileName + "\" kann nicht geöffnet werden: " + std::strerror(EISDIR));
  }
}

TFileStream::~TFileStream() {
  if (Handle_ >= 0) ::close(Handle_);
}

std::int64_t TFileStream::GetSize() {
  struct stat Info {};
  if (::fstat(Handle_, &Info) != 0) return 0;
  return static_cast<std::int64_t>(Info.st_size);
}

void TFileStream::SetSize(std::int64_t NewSize) {
  if (NewSize < 0 || ::ftruncate(Handle_, static_cast<off_t>(NewSize)) != 0) throw EWriteError();
  ReadAheadLength_ = 0;
  if (Position_ > NewSize) Position_ = NewSize;
}

namespace {
constexpr std::int64_t ReadAheadSize = 65536;

// pread / pwrite until Count bytes are done, the file ends or an error occurs.
std::int64_t ReadAt(int Handle, std::uint8_t* Buffer, std::int64_t Count, std::int64_t Offset) {
  std::int64_t Done = 0;
  while (Done < Count) {
    const ssize_t N = ::pread(Handle, Buffer + Done, static_cast<std::size_t>(Count - Done), static_cast<off_t>(Offset + Done));
    if (N < 0 && errno == EINTR) continue;
    if (N <= 0) break;
    Done += N;
  }
  return Done;
}
}  // namespace

std::int32_t TFileStream::Read(void* Buffer, std::int32_t Count) {
  if (Count <= 0 || Position_ < 0) return 0;
  auto* Out = static_cast<std::uint8_t*>(Buffer);
  std::int32_t Done = 0;
  while (Done < Count) {
    const std::int64_t InBuffer = ReadAheadStart_ + ReadAheadLength_ - Position_;
    if (Position_ >= ReadAheadStart_ && InBuffer > 0) {
      const auto N = static_cast<std::int32_t>(std::min<std::int64_t>(InBuffer, Count - Done));
      std::memcpy(Out + Done, ReadAhead_.data() + (Position_ - ReadAheadStart_), static_cast<std::size_t>(N));
      Done += N;
      Position_ += N;
      continue;
    }
    const std::int64_t Wanted = Count - Done;
    if (Wanted >= ReadAheadSize) {  // large reads go straight to the caller
      const std::int64_t N = ReadAt(Handle_, Out + Done, Wanted, Position_);
      Done += static_cast<std::int32_t>(N);
      Position_ += N;
      break;
    }
    ReadAhead_.resize(static_cast<std::size_t>(ReadAheadSize));
    ReadAheadStart_ = Position_;
    ReadAheadLength_ = ReadAt(Handle_, ReadAhead_.data(), ReadAheadSize, Position_);
    if (ReadAheadLength_ == 0) break;
  }
  return Done;
}

std::int32_t TFileStream::Write(const void* Buffer, std::int32_t Count) {
  if (Count <= 0 || Position_ < 0) return 0;
  ReadAheadLength_ = 0;
  std::int32_t Done = 0;
  const auto* Bytes = static_cast<const std::uint8_t*>(Buffer);
  while (Done < Count) {
    const ssize_t N = ::pwrite(Handle_, Bytes + Done, static_cast<std::size_t>(Count - Done),
                               static_cast<off_t>(Position_ + Done));
    if (N < 0 && errno == EINTR) continue;
    if (N <= 0) break;
    Done += static_cast<std::int32_t>(N);
  }
  Position_ += Done;
  return Done;
}

std::int64_t TFileStream::Seek(std::int64_t Offset, TSeekOrigin Origin) {
  std::int64_t Base = 0;
  switch (Origin) {
    case soBeginning: Base = 0; break;
    case soCurrent: Base = Position_; break;
    case soEnd: Base = GetSize(); break;
  }
  std::int64_t Target = 0;
  if (__builtin_add_overflow(Base, Offset, &Target) || Target < 0) return -1;
  Position_ = Target;
  return Position_;
}
