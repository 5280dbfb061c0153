#pragma once
// The system's own reference-counted stream interface IStream and the
// adapters between it and stream objects: TStreamImp (a stream object that is
// also an IStream), TTStreamWrapper (an IStream for any stream object),
// TIStreamWrapper (a stream object over an IStream) and TPartialStream (a
// window onto part of another stream, through which embedded containers are
// read and written).
#include <cstdint>

#include "CKS/Streams.h"
#include "PluginEngine/InterfaceImp.h"

struct IStream : virtual IInterface {
  static constexpr TGUID IID = TGUID::FromString("{732CCCF4-1682-4C92-A086-C925281EED4F}");
  virtual std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) = 0;
  virtual std::int32_t Read(void* Buffer, std::int32_t Count) = 0;
  virtual std::int32_t Write(const void* Buffer, std::int32_t Count) = 0;
  virtual void ReadBuffer(void* Buffer, std::int32_t Count) = 0;
  virtual void WriteBuffer(const void* Buffer, std::int32_t Count) = 0;
  // Count bytes from Source's position (Count 0: all of Source from its
  // beginning); returns the number copied.
  virtual std::int64_t CopyFrom(IStream* Source, std::int64_t Count) = 0;
  virtual std::int64_t GetPosition() = 0;
  virtual void SetPosition(std::int64_t Position) = 0;
  virtual void SetSize(std::int64_t Size) = 0;
  virtual std::int64_t GetSize() = 0;
};

// The stream object behind an interface.
struct IGetTStream : virtual IInterface {
  static constexpr TGUID IID = TGUID::FromString("{7211DA19-771F-422F-A7A1-B26112D84241}");
  virtual TStream* GetTStream() = 0;
};

// A stream object that is also an IStream. Like every TInterfaceImp it frees
// itself when its last interface reference goes; an owner that keeps it as
// an ordinary object calls KeepAlive first and frees it with
// TInterfaceImp::Free, which checks that no reference is left.
class TStreamImp : public TStream, public TInterfaceImp, public IStream, public IGetTStream {
public:
  // Sets the kept-alive flag and adds the reference interface releases can
  // never take away.
  void KeepAlive();
  bool KeptAlive() const { return KeptAlive_; }

  std::string ClassName() const override { return TInterfaceImp::ClassName(); }

  std::int32_t Read(void* Buffer, std::int32_t Count) override = 0;
  std::int32_t Write(const void* Buffer, std::int32_t Count) override = 0;
  std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override = 0;
  std::int64_t GetSize() override { return TStream::GetSize(); }
  void SetSize(std::int64_t NewSize) override { TStream::SetSize(NewSize); }
  void ReadBuffer(void* Buffer, std::int32_t Count) override { TStream::ReadBuffer(Buffer, Count); }
  void WriteBuffer(const void* Buffer, std::int32_t Count) override { TStream::WriteBuffer(Buffer, Count); }
  using TStream::CopyFrom;
  std::int64_t CopyFrom(IStream* Source, std::int64_t Count) override;
  std::int64_t GetPosition() override { return TStream::GetPosition(); }
  void SetPosition(std::int64_t Position) override { TStream::SetPosition(Position); }

  TStream* GetTStream() override { return this; }

protected:
  void* GetInterface(const TGUID& InterfaceID) override;
  std::int32_t UnreferencedCount() const override { return KeptAlive_ ? 1 : 0; }

private:
  bool KeptAlive_ = false;
};

// An IStream for a stream object; freed with its last interface reference,
// and frees the stream then when it owns it.
class TTStreamWrapper : public TInterfaceImp, public IStream {
public:
  TTStreamWrapper(TStream* Stream, bool OwnsStream) : Stream_(Stream), OwnsStream_(OwnsStream) {}
  ~TTStreamWrapper() override;

  std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override { return Stream_->Seek(Offset, Origin); }
  std::int32_t Read(void* Buffer, std::int32_t Count) override { return Stream_->Read(Buffer, Count); }
  std::int32_t Write(const void* Buffer, std::int32_t Count) override { return Stream_->Write(Buffer, Count); }
  void ReadBuffer(void* Buffer, std::int32_t Count) override { Stream_->ReadBuffer(Buffer, Count); }
  void WriteBuffer(const void* Buffer, std::int32_t Count) override { Stream_->WriteBuffer(Buffer, Count); }
  std::int64_t CopyFrom(IStream* Source, std::int64_t Count) override;
  std::int64_t GetPosition() override { return Stream_->GetPosition(); }
  void SetPosition(std::int64_t Position) override { Stream_->SetPosition(Position); }
  void SetSize(std::int64_t Size) override { Stream_->SetSize(Size); }
  std::int64_t GetSize() override { return Stream_->GetSize(); }

  TStream* Stream() const { return Stream_; }

protected:
  void* GetInterface(const TGUID& InterfaceID) override;

private:
  TStream* Stream_;
  bool OwnsStream_;
};

// A stream object that forwards to an IStream, holding a reference to it for
// its whole life.
class TIStreamWrapper : public TStream {
public:
  explicit TIStreamWrapper(TInterfacePtr<IStream> Stream) : Stream_(std::move(Stream)) {}

  std::int64_t GetSize() override { return Stream_->GetSize(); }
  void SetSize(std::int64_t NewSize) override { Stream_->SetSize(NewSize); }
  std::int32_t Read(void* Buffer, std::int32_t Count) override { return Stream_->Read(Buffer, Count); }
  std::int32_t Write(const void* Buffer, std::int32_t Count) override { return Stream_->Write(Buffer, Count); }
  std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override { return Stream_->Seek(Offset, Origin); }

  const TInterfacePtr<IStream>& Stream() const { return Stream_; }

private:
  TInterfacePtr<IStream> Stream_;
};

// A window of Size bytes starting at Start in a base stream (not owned). The
// window's position is its own: every read and write positions the base
// stream, works, and puts the base stream back where it was, so windows and
// the base stream's own user can take turns. Seeking is not clamped; reading
// and writing happen only inside the window (a growable window grows at its
// end when written).
class TPartialStream : public TStreamImp {
public:
  // ClampStart: a Start beyond the base stream's end is moved to its end.
  TPartialStream(TStream* Base, std::int64_t Start, std::int64_t Size, bool ClampStart);

  std::int64_t GetSize() override { return Size_; }
  std::int32_t Read(void* Buffer, std::int32_t Count) override;
  std::int32_t Write(const void* Buffer, std::int32_t Count) override;
  std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override;
  // The window's size changes only through SetWindowSize and growth on write.
  void SetSize(std::int64_t) override {}

  // Size, cut so that the window ends at the base stream's end at the latest
  // (and never below 0).
  void SetWindowSize(std::int64_t Size);
  std::int64_t Start() const { return Start_; }
  bool Growable() const { return Growable_; }
  void SetGrowable(bool Value) { Growable_ = Value; }
  TStream* Base() const { return Base_; }

private:
  std::int64_t Position_ = 0;
  bool Growable_ = false;
  TStream* Base_;
  std::int64_t Start_;
  std::int64_t Size_ = 0;
};
