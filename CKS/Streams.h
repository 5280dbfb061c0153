#pragma once
// Byte streams the container works on: the stream base class with size,
// read, write and seek, and the file and memory streams derived from it.
// Short reads and writes through ReadBuffer / WriteBuffer raise EReadError
// ("Stream-Lesefehler") / EWriteError ("Stream-Schreibfehler").
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

// Seek origins, numbered as they are passed through IStream.
enum TSeekOrigin : std::uint16_t { soBeginning = 0, soCurrent = 1, soEnd = 2 };

class EStreamError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};
class EReadError : public EStreamError {
public:
  EReadError() : EStreamError("Stream-Lesefehler") {}
};
class EWriteError : public EStreamError {
public:
  EWriteError() : EStreamError("Stream-Schreibfehler") {}
};
// A file that cannot be opened or created.
class EFOpenError : public EStreamError {
public:
  using EStreamError::EStreamError;
};
class EFCreateError : public EStreamError {
public:
  using EStreamError::EStreamError;
};

class TStream {
public:
  TStream() = default;
  TStream(const TStream&) = delete;
  TStream& operator=(const TStream&) = delete;
  virtual ~TStream() = default;

  // The class name of the object's dynamic type ("TMemoryStream").
  virtual std::string ClassName() const;

  // Size in bytes. The default seeks to the end and back.
  virtual std::int64_t GetSize();
  // Sets the size; the base class ignores it.
  virtual void SetSize(std::int64_t NewSize);
  // Reads up to Count bytes; returns the number read (0 for Count <= 0).
  virtual std::int32_t Read(void* Buffer, std::int32_t Count) = 0;
  // Writes up to Count bytes; returns the number written (0 for Count <= 0).
  virtual std::int32_t Write(const void* Buffer, std::int32_t Count) = 0;
  // Moves and returns the new position.
  virtual std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) = 0;

  std::int64_t GetPosition() { return Seek(0, soCurrent); }
  void SetPosition(std::int64_t Position) { Seek(Position, soBeginning); }

  // Exactly Count bytes or EReadError / EWriteError. Count 0 does nothing;
  // a negative count is a failure.
  void ReadBuffer(void* Buffer, std::int32_t Count);
  void WriteBuffer(const void* Buffer, std::int32_t Count);

  // Copies Count bytes from Source's current position (Count 0: all of
  // Source from its beginning) in blocks of at most 61440 bytes; returns the
  // number of bytes copied.
  std::int64_t CopyFrom(TStream& Source, std::int64_t Count);
};

// A stream held in memory. Writing beyond the end grows it (a gap left by
// seeking past the end is filled with zeros); reading beyond it delivers
// nothing.
class TMemoryStream : public TStream {
public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<std::uint8_t> Bytes) : Data_(std::move(Bytes)) {}

  std::int64_t GetSize() override { return static_cast<std::int64_t>(Data_.size()); }
  void SetSize(std::int64_t NewSize) override;
  std::int32_t Read(void* Buffer, std::int32_t Count) override;
  std::int32_t Write(const void* Buffer, std::int32_t Count) override;
  std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override;

  const std::vector<std::uint8_t>& Bytes() const { return Data_; }
  void Clear();

private:
  std::vector<std::uint8_t> Data_;
  std::int64_t Position_ = 0;
};

// Open modes of TFileStream: one access mode, optionally or-ed with a share
// mode. fmCreate creates the file or empties an existing one and opens it
// for reading and writing.
enum : std::uint16_t {
  fmOpenRead = 0x0000,
  fmOpenWrite = 0x0001,
  fmOpenReadWrite = 0x0002,
  fmShareCompat = 0x0000,
  fmShareExclusive = 0x0010,
  fmShareDenyWrite = 0x0020,
  fmShareDenyRead = 0x0030,
  fmShareDenyNone = 0x0040,
  fmCreate = 0xFF00,
};

// A stream on a file. Linux knows no mandatory sharing: the share modes are
// accepted and others may always open the same file for reading (which is
// what opening with fmShareDenyWrite is for).
//
// Reads go through a 64 KiB read-ahead buffer, so that the container's many
// small value reads do not each cost a system call; writes go straight to
// the file (and drop the buffer). The stream keeps its own position and
// reads and writes at it, so the buffer never disagrees with the file.
class TFileStream : public TStream {
public:
  // Raises EFOpenError (EFCreateError for fmCreate) when the file cannot be
  // opened; FileName is a UTF-8 path.
  TFileStream(const std::string& FileName, std::uint16_t Mode);
  ~TFileStream() override;

  std::int64_t GetSize() override;
  void SetSize(std::int64_t NewSize) override;
  std::int32_t Read(void* Buffer, std::int32_t Count) override;
  std::int32_t Write(const void* Buffer, std::int32_t Count) override;
  // A position before 0 cannot be reached: the stream stays where it was
  // and -1 is returned.
  std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override;

  const std::string& FileName() const { return FileName_; }

private:
  std::string FileName_;
  int Handle_ = -1;
  std::int64_t Position_ = 0;
  std::vector<std::uint8_t> ReadAhead_;
  std::int64_t ReadAheadStart_ = 0;  // file offset of ReadAhead_[0]
  std::int64_t ReadAheadLength_ = 0; // valid bytes in ReadAhead_
};
