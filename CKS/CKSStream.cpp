#include "CKS/CKSStream.h"

#include <exception>
#include <limits>
#include <vector>

#include "CKS/LittleEndian.h"
#include "Platform/Core/Assertion.h"

using cks_detail::GetLE;
using cks_detail::PutLE;

namespace {
constexpr const char* ModuleName = "CKSStream";
}

// ---- chunk bookkeeping -------------------------------------------------------

void TChunkItem::EndRead(TCKSStream& Stream) { Stream.SetPosition(Start + Size); }

void TSubChunkItem::BeginWrite(TCKSStream& Stream) {
  Start = Stream.GetPosition();
  Stream.WriteInteger(0);
}

void TSubChunkItem::EndWrite(TCKSStream& Stream) {
  const std::int64_t End = Stream.GetPosition();
  Size = static_cast<std::int32_t>(End - Start);
  Stream.SetPosition(Start);
  try {
    Stream.WriteInteger(Size);
  } catch (...) {
    Stream.SetPosition(End);
    throw;
  }
  Stream.SetPosition(End);
}

void TSubChunkItem::BeginRead(TCKSStream& Stream) {
  Start = Stream.GetPosition();
  Size = Stream.ReadInteger();
}

void TCKSChunkItem::BeginWrite(TCKSStream& Stream) { Start = Stream.WriteEmptyChunkHeader(); }

void TCKSChunkItem::EndWrite(TCKSStream& Stream) {
  const std::int64_t End = Stream.GetPosition();
  const std::int64_t ChunkSize = Stream.SizeSince(Start);
  Size = static_cast<std::int32_t>(ChunkSize);
  Stream.SetPosition(Start);
  Stream.WriteChunkHeader(ChunkType, ChunkSize);
  Stream.IncChunkCount();
  Stream.SetPosition(End);
}

void TCKSChunkItem::BeginRead(TCKSStream& Stream) {
  Start = Stream.GetPosition();
  Stream.ReadChunkHeader(Header);
  ChunkType = Header.ChunkType;
  Size = Header.ChunkSize;
}

void TChunkStack::PushWrite(TCKSStream& Stream, std::unique_ptr<TChunkItem> Item) {
  Item->BeginWrite(Stream);
  Items_.push_back(std::move(Item));
}

std::int32_t TChunkStack::PushRead(TCKSStream& Stream, std::unique_ptr<TChunkItem> Item) {
  Item->BeginRead(Stream);
  // The stored size less the 4 size bytes, wrapping like the 32-bit field.
  const auto Payload = static_cast<std::int32_t>(static_cast<std::uint32_t>(Item->Size) - 4u);
  Items_.push_back(std::move(Item));
  return Payload;
}

void TChunkStack::PopWrite(TCKSStream& Stream) {
  if (Items_.empty()) return;
  std::unique_ptr<TChunkItem> Item = std::move(Items_.back());
  Items_.pop_back();
  Item->EndWrite(Stream);
}

void TChunkStack::PopRead(TCKSStream& Stream) {
  if (Items_.empty()) return;
  std::unique_ptr<TChunkItem> Item = std::move(Items_.back());
  Items_.pop_back();
  Item->EndRead(Stream);
}

// ---- life --------------------------------------------------------------------

TCKSStream::TCKSStream() = default;

TCKSStream::TCKSStream(TStream* Stream, std::uint8_t Mode) { SetBaseStream(Stream, Mode); }

TCKSStream::~TCKSStream() {
  try {
    Close();
  } catch (...) {
    // A destructor cannot report; Close() is there for callers who care.
  }
}

std::unique_ptr<TCKSStream> TCKSStream::NewInstance() const { return std::make_unique<TCKSStream>(); }

void TCKSStream::SetBaseStream(TStream* Stream, std::uint8_t Mode) {
  Assert(Stream_ == nullptr, "SetBaseStream darf nur einmal aufgerufen werden!", ModuleName, __LINE__);
  Stream_ = Stream;
  ChunkCount_ = 0;
  OwnedBase_.reset();
  Header_ = TCKSFileHeader{};
  ReadSubChunks_.Clear();
  WriteSubChunks_.Clear();
  WriteChunks_.Clear();
  ReadChunks_.Clear();
  Mode_ = Mode;
  HeaderDone_ = false;
  Closed_ = false;
  if (!Stream_) return;
  if (Mode_ == cksModeCreate) {
    Stream_->SetPosition(0);
    WriteHeader();
    HeaderDone_ = true;
  } else if (Mode_ == cksModeRead || Mode_ == cksModeReadAppend) {
    Stream_->SetPosition(0);
    ReadHeader();
    HeaderDone_ = true;
  }
}

void TCKSStream::SetBaseStream(const TInterfacePtr<IStream>& Stream, std::uint8_t Mode) {
  if (!Stream) {
    FreeBase();
    return;
  }
  Assert(Stream_ == nullptr, "SetBaseStream darf nur einmal aufgerufen werden!", ModuleName, __LINE__);
  auto Wrapper = std::make_unique<TIStreamWrapper>(Stream);
  try {
    SetBaseStream(Wrapper.get(), Mode);
  } catch (...) {
    Stream_ = nullptr;  // the wrapper goes with this scope
    throw;
  }
  OwnedBase_ = std::move(Wrapper);
}

void TCKSStream::FreeBase() {
  Stream_ = nullptr;
  if (!OwnedBase_) return;
  if (auto* Imp = dynamic_cast<TInterfaceImp*>(OwnedBase_.get())) {
    // Free checks that no interface reference is left; if one is, the object
    // must stay alive for whoever holds it.
    OwnedBase_.release();
    TInterfaceImp::Free(Imp);
  } else {
    OwnedBase_.reset();
  }
}

void TCKSStream::Close() {
  if (Closed_) return;
  Closed_ = true;
  std::exception_ptr FirstError;
  auto Attempt = [&FirstError](auto&& Step) {
    try {
      Step();
    } catch (...) {
      if (!FirstError) FirstError = std::current_exception();
    }
  };
  while (!WriteSubChunks_.IsEmpty()) Attempt([this] { WriteSubChunks_.PopWrite(*this); });
  while (!WriteChunks_.IsEmpty()) Attempt([this] { WriteChunks_.PopWrite(*this); });
  ReadSubChunks_.Clear();
  ReadChunks_.Clear();
  if ((Mode_ == cksModeCreate || Mode_ == cksModeReadAppend) && HeaderDone_) {
    Attempt([this] {
      if (ChunkCount_ > 0 || (Stream_ && Stream_->GetSize() > 0)) WriteHeader();
    });
  }
  Attempt([this] { FreeBase(); });
  if (FirstError) std::rethrow_exception(FirstError);
}

void* TCKSStream::GetInterface(const TGUID& InterfaceID) {
  if (InterfaceID == ICKSStream::IID) return static_cast<ICKSStream*>(this);
  if (InterfaceID == IGetTStream::IID) return static_cast<IGetTStream*>(this);
  return TInterfaceClassImp::GetInterface(InterfaceID);
}

// ---- header --------------------------------------------------------------------

void TCKSStream::WriteHeader() {
  if (Mode_ == cksModeInactive || !Stream_) return;
  const std::int64_t Position = Stream_->GetPosition();
  const std::int64_t Size = Stream_->GetSize();
  Header_.ChunkCount = ChunkCount_;
  Header_.FileSize32 = static_cast<std::int32_t>(static_cast<std::uint32_t>(Size));
  Header_.FileSize = Size;
  Stream_->SetPosition(0);
  const auto Bytes = Header_.ToBytes();
  WriteValue(Bytes.data(), cksHeaderSize);
  if (Position != 0) Stream_->SetPosition(Position);
}

void TCKSStream::ReadHeader() {
  if (Mode_ == cksModeInactive || !Stream_) return;
  ChargeRead(cksHeaderSize);
  std::array<std::uint8_t, cksHeaderSize> Bytes{};
  // Anything shorter than a header is not a container either.
  if (Stream_->Read(Bytes.data(), cksHeaderSize) != cksHeaderSize) RaiseError(cksErrNoCKSFile);
  Header_ = TCKSFileHeader::FromBytes(Bytes);
  if (Header_.Magic != cksFileMagic) RaiseError(cksErrNoCKSFile);
  ChunkCount_ = Header_.ChunkCount;
  if (Header_.Version <= 65537) Header_.FileSize = Header_.FileSize32;
}

// ---- positioning -----------------------------------------------------------------

std::int64_t TCKSStream::GetPosition() {
  if (Mode_ == cksModeInactive || !Stream_) return -1;
  return Stream_->GetPosition();
}

void TCKSStream::SetPosition(std::int64_t Position) {
  if (Mode_ == cksModeInactive || !Stream_) return;
  Stream_->SetPosition(Position);
}

void TCKSStream::Seek(std::int64_t Position) { SetPosition(Position); }

void TCKSStream::SeekRelative(std::int64_t Offset) {
  if (Mode_ == cksModeInactive || !Stream_) return;
  Stream_->Seek(Offset, soCurrent);
}

void TCKSStream::SeekToEnd() {
  if (Mode_ == cksModeInactive || !Stream_) return;
  Stream_->Seek(0, soEnd);
}

void TCKSStream::SeekToFirstChunk() { SetPosition(cksHeaderSize); }

bool TCKSStream::EndOfStream() {
  if (!Stream_) return true;
  return Stream_->GetPosition() == Stream_->GetSize();
}

std::int64_t TCKSStream::GetSize() { return Stream_ ? Stream_->GetSize() : 0; }

void TCKSStream::SetSize(std::int32_t Size) {
  if (!Stream_) throw EWriteError();
  Stream_->SetSize(Size);
}

std::int64_t TCKSStream::BytesLeft() {
  if (!Stream_) return 0;
  const std::int64_t Position = Stream_->GetPosition();
  const std::int64_t Size = Stream_->GetSize();
  if (Position < 0 || Position >= Size) return 0;
  return Size - Position;
}

// ---- read budget -------------------------------------------------------------------

void TCKSStream::SetReadBudget(std::int64_t Bytes) { Budget_ = std::make_shared<std::int64_t>(Bytes < 0 ? 0 : Bytes); }

void TCKSStream::ChargeRead(std::int64_t Count) {
  if (!Budget_) return;
  if (Count > *Budget_) {
    *Budget_ = 0;
    throw EReadError();
  }
  *Budget_ -= Count;
}

void TCKSStream::RequireAvailable(std::int64_t Count) {
  if (Count > BytesLeft()) throw EReadError();
}

// ---- raw values --------------------------------------------------------------------

void TCKSStream::ReadValue(void* Buffer, std::int32_t Count) {
  if (!Stream_) throw EReadError();
  if (Count > 0) ChargeRead(Count);
  Stream_->ReadBuffer(Buffer, Count);
}

void TCKSStream::WriteValue(const void* Buffer, std::int32_t Count) {
  if (!Stream_) throw EWriteError();
  Stream_->WriteBuffer(Buffer, Count);
}

template <typename T>
T TCKSStream::ReadLE() {
  std::uint8_t Bytes[sizeof(T)];
  ReadValue(Bytes, sizeof(T));
  return GetLE<T>(Bytes);
}

template <typename T>
void TCKSStream::WriteLE(T Value) {
  std::uint8_t Bytes[sizeof(T)];
  PutLE(Bytes, Value);
  WriteValue(Bytes, sizeof(T));
}

// ---- chunks --------------------------------------------------------------------------

void TCKSStream::ReadChunkHeader(TCKSChunkHeader& Header) {
  std::array<std::uint8_t, cksChunkHeaderSize> Bytes{};
  ReadValue(Bytes.data(), cksChunkHeaderSize);
  Header = TCKSChunkHeader::FromBytes(Bytes);
  if (Header.Magic != cksChunkMagic) RaiseError(cksErrWrongChunkHeader);
}

void TCKSStream::WriteChunkHeader(std::int32_t ChunkType, std::int64_t Size) {
  TCKSChunkHeader Header{cksChunkMagic, ChunkType, static_cast<std::int32_t>(static_cast<std::uint64_t>(Size))};
  const auto Bytes = Header.ToBytes();
  WriteValue(Bytes.data(), cksChunkHeaderSize);
}

std::int64_t TCKSStream::WriteEmptyChunkHeader() {
  const std::int64_t Start = GetPosition();
  WriteChunkHeader(0, 0);
  return Start;
}

std::int64_t TCKSStream::SizeSince(std::int64_t Start) { return GetPosition() - Start; }

void TCKSStream::BeginWriteChunk(std::int32_t ChunkType) {
  WriteChunks_.PushWrite(*this, std::make_unique<TCKSChunkItem>(ChunkType));
  if (OnBeginWriteChunk) OnBeginWriteChunk(ChunkType);
}

void TCKSStream::EndWriteChunk() { WriteChunks_.PopWrite(*this); }

void TCKSStream::BeginReadChunk(TCKSChunkHeader& Header) {
  auto Item = std::make_unique<TCKSChunkItem>();
  TCKSChunkItem& Opened = *Item;
  ReadChunks_.PushRead(*this, std::move(Item));
  Header = Opened.Header;
  if (OnBeginReadChunk) OnBeginReadChunk(Opened.Header.ChunkType);
}

void TCKSStream::EndReadChunk() { ReadChunks_.PopRead(*this); }

bool TCKSStream::EndOfChunk() {
  if (ReadChunks_.IsEmpty()) return false;
  const TChunkItem& Top = ReadChunks_.Top();
  return GetPosition() >= Top.Start + Top.Size;
}

void TCKSStream::BeginWriteSubChunk() { WriteSubChunks_.PushWrite(*this, std::make_unique<TSubChunkItem>()); }

void TCKSStream::EndWriteSubChunk() { WriteSubChunks_.PopWrite(*this); }

std::int32_t TCKSStream::BeginReadSubChunk() {
  return ReadSubChunks_.PushRead(*this, std::make_unique<TSubChunkItem>());
}

void TCKSStream::EndReadSubChunk() { ReadSubChunks_.PopRead(*this); }

bool TCKSStream::EndOfSubChunk() {
  if (ReadSubChunks_.IsEmpty()) return false;
  const TChunkItem& Top = ReadSubChunks_.Top();
  return GetPosition() >= Top.Start + Top.Size;
}

// ---- embedded containers -----------------------------------------------------------------

std::unique_ptr<TCKSStream> TCKSStream::CreateSubStream(std::uint8_t Kind, bool Growable) {
  if (Kind > 2 || !Stream_) return nullptr;
  try {
    const std::int64_t Start = Stream_->GetPosition();
    auto Window = std::make_unique<TPartialStream>(Stream_, Start, 0, Kind == 1);
    Window->SetGrowable(Growable);
    Window->KeepAlive();  // the child frees it; interface references must not
    std::unique_ptr<TCKSStream> Child = NewInstance();
    Child->Budget_ = Budget_;
    TPartialStream& View = *Window;
    switch (Kind) {
      case 0:
        Child->SetBaseStream(Window.get(), cksModeHeaderless);
        break;
      case 1:
        Window->SetWindowSize(cksHeaderSize);
        Child->SetBaseStream(Window.get(), cksModeRead);
        break;
      default:
        Child->SetBaseStream(Window.get(), cksModeCreate);
        break;
    }
    Child->OwnedBase_ = std::move(Window);
    if (Kind == 1) {
      View.SetWindowSize(Child->Header_.FileSize);
    } else {
      Child->Header_ = Header_;
      Child->Header_.ChunkCount = 0;
    }
    return Child;
  } catch (...) {
    // A child that cannot be built is no child; the caller sees none.
    return nullptr;
  }
}

void TCKSStream::GetSubStream(std::uint8_t Kind, bool Growable, TInterfacePtr<ICKSStream>& SubStream) {
  SubStream.Reset();
  std::unique_ptr<TCKSStream> Child = CreateSubStream(Kind, Growable);
  if (!Child) return;
  // From here the interface references own the child: the last one frees it.
  TCKSStream* Raw = Child.release();
  SubStream = TInterfacePtr<ICKSStream>(static_cast<ICKSStream*>(Raw));
  Raw->OwnedByReferences_ = true;
  Raw->Release();  // the owner's own count; the reference above keeps it alive
}

void TCKSStream::SkipSubStream(ICKSStream* SubStream) {
  void* Obj = nullptr;
  const bool HasGetter = SubStream && SubStream->QueryInterface(IGetTStream::IID, &Obj) == S_OK && Obj;
  Assert(HasGetter, "SubStream unterstützt nicht ICKSGetTStream", ModuleName, __LINE__);
  const auto Getter = TInterfacePtr<IGetTStream>::Adopt(static_cast<IGetTStream*>(Obj));
  auto* Window = dynamic_cast<TPartialStream*>(Getter->GetTStream());
  Assert(Window != nullptr, "SubStream.Stream ist kein TPartialStream", ModuleName, __LINE__);
  SetPosition(Window->Start() + Window->GetSize());
}

void TCKSStream::SkipSubStream(TCKSStream& SubStream) { SkipSubStream(static_cast<ICKSStream*>(&SubStream)); }

void TCKSStream::GetIStream(TInterfacePtr<IStream>& Stream) {
  Stream.Reset();
  if (!Stream_) return;
  // A stream object that is an IStream is handed out itself only when kept
  // alive: otherwise releasing the reference would destroy what this object
  // still uses.
  if (auto* Imp = dynamic_cast<TStreamImp*>(Stream_); Imp && Imp->KeptAlive()) {
    Stream = TInterfacePtr<IStream>(static_cast<IStream*>(Imp));
    return;
  }
  Stream = TInterfacePtr<IStream>(std::make_unique<TTStreamWrapper>(Stream_, false).release());
}

// ---- values --------------------------------------------------------------------------------

void TCKSStream::WriteString(const std::string& Value) {
  if (Value.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) throw EWriteError();
  const auto Count = static_cast<std::int32_t>(Value.size());
  WriteInteger(Count);
  WriteValue(Value.data(), Count);
}

void TCKSStream::WriteWideString(const std::u16string& Value) {
  if (Value.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max() / 2)) throw EWriteError();
  const auto Count = static_cast<std::int32_t>(Value.size());
  std::vector<std::uint8_t> Bytes(Value.size() * 2);
  for (std::size_t I = 0; I < Value.size(); ++I) PutLE(Bytes.data() + 2 * I, static_cast<std::uint16_t>(Value[I]));
  WriteInteger(Count);
  WriteValue(Bytes.data(), Count * 2);
}

void TCKSStream::WriteBoolean(bool Value) { WriteLE<std::uint8_t>(Value ? 1 : 0); }
void TCKSStream::WriteByte(std::uint8_t Value) { WriteLE(Value); }
void TCKSStream::WriteInteger(std::int32_t Value) { WriteLE(Value); }
void TCKSStream::WriteInt64(std::int64_t Value) { WriteLE(Value); }
void TCKSStream::WriteWord(std::uint16_t Value) { WriteLE(Value); }
void TCKSStream::WriteCardinal(std::uint32_t Value) { WriteLE(Value); }
void TCKSStream::WriteBuffer(const void* Buffer, std::int32_t Count) { WriteValue(Buffer, Count); }
void TCKSStream::WriteSingle(float Value) { WriteLE(Value); }
void TCKSStream::WriteDouble(double Value) { WriteLE(Value); }
void TCKSStream::WriteExtended(const Extended& Value) { WriteValue(Value.Bytes().data(), 10); }
void TCKSStream::WriteReal(double Value) { WriteLE(Value); }
void TCKSStream::WriteClassName(const std::string& ClassName) { WriteString(ClassName); }

void TCKSStream::ReadString(std::string& Value) {
  Value.clear();
  const std::int32_t Count = ReadInteger();
  if (Count < 1) return;
  RequireAvailable(Count);  // before anything of that size is allocated
  Value.resize(static_cast<std::size_t>(Count));
  ReadValue(Value.data(), Count);
}

std::string TCKSStream::ReadString() {
  std::string Value;
  ReadString(Value);
  return Value;
}

void TCKSStream::ReadWideString(std::u16string& Value) {
  Value.clear();
  const std::int32_t Count = ReadInteger();
  if (Count < 0) throw EReadError();
  const std::int64_t ByteCount = std::int64_t{Count} * 2;
  if (ByteCount > std::numeric_limits<std::int32_t>::max()) throw EReadError();
  RequireAvailable(ByteCount);
  std::vector<std::uint8_t> Bytes(static_cast<std::size_t>(ByteCount));
  ReadValue(Bytes.data(), static_cast<std::int32_t>(ByteCount));
  // The text ends at the first NUL unit; all units were consumed all the same.
  std::size_t Length = 0;
  while (Length < static_cast<std::size_t>(Count) && GetLE<std::uint16_t>(Bytes.data() + 2 * Length) != 0) ++Length;
  Value.resize(Length);
  for (std::size_t I = 0; I < Length; ++I) Value[I] = static_cast<char16_t>(GetLE<std::uint16_t>(Bytes.data() + 2 * I));
}

std::u16string TCKSStream::ReadWideString() {
  std::u16string Value;
  ReadWideString(Value);
  return Value;
}

void TCKSStream::ReadByte(std::uint8_t& Value) { Value = ReadLE<std::uint8_t>(); }
std::uint8_t TCKSStream::ReadByte() { return ReadLE<std::uint8_t>(); }
void TCKSStream::ReadBoolean(bool& Value) { Value = ReadLE<std::uint8_t>() != 0; }
bool TCKSStream::ReadBoolean() { return ReadLE<std::uint8_t>() != 0; }
void TCKSStream::ReadInteger(std::int32_t& Value) { Value = ReadLE<std::int32_t>(); }
std::int32_t TCKSStream::ReadInteger() { return ReadLE<std::int32_t>(); }
void TCKSStream::ReadInt64(std::int64_t& Value) { Value = ReadLE<std::int64_t>(); }
std::int64_t TCKSStream::ReadInt64() { return ReadLE<std::int64_t>(); }
void TCKSStream::ReadWord(std::uint16_t& Value) { Value = ReadLE<std::uint16_t>(); }
std::uint16_t TCKSStream::ReadWord() { return ReadLE<std::uint16_t>(); }
void TCKSStream::ReadCardinal(std::uint32_t& Value) { Value = ReadLE<std::uint32_t>(); }
std::uint32_t TCKSStream::ReadCardinal() { return ReadLE<std::uint32_t>(); }
void TCKSStream::ReadBuffer(void* Buffer, std::int32_t Count) { ReadValue(Buffer, Count); }
void TCKSStream::ReadSingle(float& Value) { Value = ReadLE<float>(); }
float TCKSStream::ReadSingle() { return ReadLE<float>(); }
void TCKSStream::ReadDouble(double& Value) { Value = ReadLE<double>(); }
double TCKSStream::ReadDouble() { return ReadLE<double>(); }
void TCKSStream::ReadReal(double& Value) { Value = ReadLE<double>(); }
double TCKSStream::ReadReal() { return ReadLE<double>(); }

void TCKSStream::ReadExtended(Extended& Value) { Value = ReadExtended(); }

Extended TCKSStream::ReadExtended() {
  std::uint8_t Bytes[10];
  ReadValue(Bytes, 10);
  return Extended::FromBytes(Bytes);
}

void TCKSStream::RaiseError(std::int32_t Code) { throw ECKSError(CKSErrorText(Code)); }
