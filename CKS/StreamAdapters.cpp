#include "CKS/StreamAdapters.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace {

constexpr std::int64_t CopyBufferSize = 61440;

// Copies Count bytes from Source into Write (Count 0: all of Source).
template <typename WriteFn>
std::int64_t CopyFromIStream(IStream* Source, std::int64_t Count, WriteFn&& Write) {
  if (Count == 0) {
    Source->SetPosition(0);
    Count = Source->GetSize();
  }
  if (Count < 0) throw EReadError();
  const std::int64_t Result = Count;
  std::vector<std::uint8_t> Buffer(static_cast<std::size_t>(std::min(Count, CopyBufferSize)));
  while (Count != 0) {
    const auto N = static_cast<std::int32_t>(std::min(Count, CopyBufferSize));
    Source->ReadBuffer(Buffer.data(), N);
    Write(Buffer.data(), N);
    Count -= N;
  }
  return Result;
}

std::int64_t SaturatingAdd(std::int64_t A, std::int64_t B) {
  std::int64_t Result = 0;
  if (__builtin_add_overflow(A, B, &Result)) return B > 0 ? INT64_MAX : INT64_MIN;
  return Result;
}

// Puts a stream back where it was, also when the work in between failed.
class TPositionRestorer {
public:
  explicit TPositionRestorer(TStream& Stream) : Stream_(Stream), Position_(Stream.GetPosition()) {}
  ~TPositionRestorer() {
    try {
      Stream_.SetPosition(Position_);
    } catch (...) {
    }
  }
  TPositionRestorer(const TPositionRestorer&) = delete;
  TPositionRestorer& operator=(const TPositionRestorer&) = delete;

private:
  TStream& Stream_;
  std::int64_t Position_;
};

}  // namespace

void TStreamImp::KeepAlive() {
  KeptAlive_ = true;
  AddRef();
}

std::int64_t TStreamImp::CopyFrom(IStream* Source, std::int64_t Count) {
  return CopyFromIStream(Source, Count, [this](const void* B, std::int32_t N) { TStream::WriteBuffer(B, N); });
}

void* TStreamImp::GetInterface(const TGUID& InterfaceID) {
  if (InterfaceID == IStream::IID) return static_cast<IStream*>(this);
  if (InterfaceID == IGetTStream::IID) return static_cast<IGetTStream*>(this);
  return TInterfaceImp::GetInterface(InterfaceID);
}

// ---------------------------------------------------------------------------

TTStreamWrapper::~TTStreamWrapper() {
  if (OwnsStream_) {
    if (auto* Imp = dynamic_cast<TInterfaceImp*>(Stream_))
      TFreeInterfaceObject()(Imp);
    else
      std::unique_ptr<TStream>{Stream_}.reset();
  }
}

std::int64_t TTStreamWrapper::CopyFrom(IStream* Source, std::int64_t Count) {
  return CopyFromIStream(Source, Count, [this](const void* B, std::int32_t N) { Stream_->WriteBuffer(B, N); });
}

void* TTStreamWrapper::GetInterface(const TGUID& InterfaceID) {
  if (InterfaceID == IStream::IID) return static_cast<IStream*>(this);
  return TInterfaceImp::GetInterface(InterfaceID);
}

// ---------------------------------------------------------------------------

TPartialStream::TPartialStream(TStream* Base, std::int64_t Start, std::int64_t Size, bool ClampStart)
    : Base_(Base), Start_(Start) {
  if (ClampStart) Start_ = std::min(Start, Base_->GetSize());
  SetWindowSize(Size);
}

void TPartialStream::SetWindowSize(std::int64_t Size) {
  const std::int64_t Room = Base_->GetSize() - Start_;
  Size_ = std::max<std::int64_t>(0, std::min(Size, Room));
}

std::int64_t TPartialStream::Seek(std::int64_t Offset, TSeekOrigin Origin) {
  switch (Origin) {
    case soBeginning: Position_ = Offset; break;
    case soCurrent: Position_ = SaturatingAdd(Position_, Offset); break;
    case soEnd: Position_ = SaturatingAdd(Size_, Offset); break;
  }
  return Position_;
}

std::int32_t TPartialStream::Read(void* Buffer, std::int32_t Count) {
  // A position before the window reads nothing: the bytes there belong to
  // whoever owns the base stream around the window.
  if (Count <= 0 || Position_ < 0 || Position_ >= Size_) return 0;
  const auto N = static_cast<std::int32_t>(std::min<std::int64_t>(Size_ - Position_, Count));
  TPositionRestorer Restore(*Base_);
  Base_->SetPosition(Start_ + Position_);
  const std::int32_t Done = Base_->Read(Buffer, N);
  Position_ += Done;
  return Done;
}

std::int32_t TPartialStream::Write(const void* Buffer, std::int32_t Count) {
  if (Count <= 0 || Position_ < 0) return 0;
  std::int32_t N = Count;
  if (!Growable_) {
    if (Position_ >= Size_) return 0;
    N = static_cast<std::int32_t>(std::min<std::int64_t>(Size_ - Position_, Count));
  }
  if (Position_ > INT64_MAX - Start_ - N) return 0;
  TPositionRestorer Restore(*Base_);
  Base_->SetPosition(Start_ + Position_);
  const std::int32_t Done = Base_->Write(Buffer, N);
  Position_ += Done;
  if (Position_ > Size_) Size_ = Position_;
  return Done;
}
