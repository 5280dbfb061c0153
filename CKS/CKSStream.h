#pragma once
// TCKSStream: reader and writer of the CKS chunk container on top of any
// seekable stream — a 32-byte file header, then main chunks with 12-byte
// headers, inside them typed values, optionally grouped in size-prefixed
// sub-chunks, and complete containers embedded in a payload.
//
// Every value is read from and written to the base stream directly at its
// current position; no value is buffered. Short reads and writes raise
// EReadError ("Stream-Lesefehler") / EWriteError ("Stream-Schreibfehler").
//
// Hostile input cannot make a read allocate more than the base stream still
// holds: a string count beyond the remaining bytes fails before anything is
// allocated. A loader may also give the stream a read budget: every value
// read then charges its bytes, and a read beyond the budget fails with
// "Stream-Lesefehler" (records pointing back into each other cannot make a
// small file read forever). A presentation loader opens a file thus:
//
//   TFileStream File(Name, fmOpenRead | fmShareDenyWrite);
//   TCKSStreamWinTypes Stream(&File, cksModeRead);   // "Keine CKS-Datei!"
//   Stream.SetReadBudget(2 * Stream.GetSize() + 65536);
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "CKS/CKSTypes.h"
#include "CKS/ChunkStack.h"
#include "CKS/Extended.h"
#include "CKS/ICKSStream.h"
#include "CKS/StreamAdapters.h"
#include "CKS/Streams.h"
#include "PluginEngine/InterfaceImp.h"

class TCKSStream : public TInterfaceClassImp, public ICKSStream, public IGetTStream {
public:
  // No base stream, mode 0, header all zero.
  TCKSStream();
  // Attaches Stream (not owned) in Mode; see SetBaseStream. A header that
  // cannot be read raises ECKSError "Keine CKS-Datei!".
  TCKSStream(TStream* Stream, std::uint8_t Mode);
  // Finishes as Close does; errors are swallowed here, call Close to see them.
  ~TCKSStream() override;

  // A new, empty stream of this object's own class (embedded containers are
  // created of the caller's class).
  virtual std::unique_ptr<TCKSStream> NewInstance() const;

  // Attaches the base stream; only once per object (EAssertionFailed
  // "SetBaseStream darf nur einmal aufgerufen werden!"). Mode 1 writes a new
  // header, modes 2 and 3 read and check it; both leave the stream at 32.
  void SetBaseStream(TStream* Stream, std::uint8_t Mode);
  // The interface form: wraps Stream in a TIStreamWrapper that this object
  // owns; an empty Stream forgets (and frees, if owned) the base stream.
  void SetBaseStream(const TInterfacePtr<IStream>& Stream, std::uint8_t Mode) override;

  // Closes the sub-chunks and then the main chunks still open for writing
  // (innermost first), drops the chunks open for reading, rewrites the header
  // in modes 1 and 3, and releases the base stream. Runs once; the first
  // error is raised after everything was done.
  void Close();

  // --- header ---------------------------------------------------------------
  const TCKSFileHeader& Header() const { return Header_; }
  void SetHeader(const TCKSFileHeader& Value) { Header_ = Value; }
  std::int32_t GetFileType() override { return Header_.FileType; }
  void SetFileType(std::int32_t Value) override { Header_.FileType = Value; }
  std::int32_t GetUserValue() override { return Header_.UserValue; }
  void SetUserValue(std::int32_t Value) override { Header_.UserValue = Value; }
  std::uint8_t Mode() const { return Mode_; }
  std::int32_t ChunkCounter() const { return ChunkCount_; }
  TStream* BaseStream() const { return Stream_; }
  bool OwnsBaseStream() const { return OwnedBase_ != nullptr; }
  // Writes the complete header at 0 and returns to where the stream was.
  // Nothing in mode 0.
  void WriteHeader();
  // Reads and checks the header at the current position. Nothing in mode 0.
  void ReadHeader();

  // --- positioning ------------------------------------------------------------
  // -1 in mode 0 or without a base stream; the seeks do nothing then.
  std::int64_t GetPosition() override;
  void SetPosition(std::int64_t Position);
  void Seek(std::int64_t Position) override;
  void SeekRelative(std::int64_t Offset) override;
  void SeekToEnd() override;
  void SeekToFirstChunk() override;
  bool EndOfStream() override;
  std::int64_t GetSize() override;
  void SetSize(std::int32_t Size) override;

  // --- read budget --------------------------------------------------------------
  // From now on value reads may consume at most Bytes bytes in all; the
  // budget is shared with embedded containers created afterwards.
  void SetReadBudget(std::int64_t Bytes);
  void ClearReadBudget() { Budget_.reset(); }
  bool HasReadBudget() const { return Budget_ != nullptr; }
  std::int64_t ReadBudgetLeft() const { return Budget_ ? *Budget_ : INT64_MAX; }

  // --- chunks -----------------------------------------------------------------
  // Reads 12 bytes; a magic other than CHNK raises "Falscher Chunkheader!".
  void ReadChunkHeader(TCKSChunkHeader& Header);
  void WriteChunkHeader(std::int32_t ChunkType, std::int64_t Size);
  // Returns the current position, then writes a header of type 0 and size 0.
  std::int64_t WriteEmptyChunkHeader();
  std::int64_t SizeSince(std::int64_t Start);
  // Wraps like the stored 32-bit field.
  void IncChunkCount() { ChunkCount_ = static_cast<std::int32_t>(static_cast<std::uint32_t>(ChunkCount_) + 1u); }

  void BeginWriteChunk(std::int32_t ChunkType) override;
  void EndWriteChunk() override;
  void BeginReadChunk(TCKSChunkHeader& Header) override;
  void EndReadChunk() override;
  bool EndOfChunk() override;
  void BeginWriteSubChunk() override;
  void EndWriteSubChunk() override;
  // Returns the payload size (stored size - 4).
  std::int32_t BeginReadSubChunk() override;
  void EndReadSubChunk() override;
  bool EndOfSubChunk() override;

  std::function<void(std::int32_t ChunkType)> OnBeginWriteChunk;
  std::function<void(std::int32_t ChunkType)> OnBeginReadChunk;

  // --- embedded containers -------------------------------------------------------
  // A container embedded at the current position, seen through a window of
  // the base stream: kind 0 headerless (mode 4), kind 1 read (mode 2), kind 2
  // create (mode 1, Growable must be set). None for any other kind or when
  // the child cannot be built.
  std::unique_ptr<TCKSStream> CreateSubStream(std::uint8_t Kind, bool Growable);
  // CreateSubStream handed out as an interface; the reference owns the child,
  // which is freed when the last reference goes.
  void GetSubStream(std::uint8_t Kind, bool Growable, TInterfacePtr<ICKSStream>& SubStream) override;
  // Moves this stream to the first byte after SubStream's window.
  void SkipSubStream(ICKSStream* SubStream) override;
  void SkipSubStream(TCKSStream& SubStream);

  // --- values -----------------------------------------------------------------
  void WriteString(const std::string& Value) override;
  void WriteWideString(const std::u16string& Value) override;
  void WriteBoolean(bool Value) override;
  void WriteByte(std::uint8_t Value) override;
  void WriteInteger(std::int32_t Value) override;
  void WriteInt64(std::int64_t Value) override;
  void WriteWord(std::uint16_t Value) override;
  void WriteCardinal(std::uint32_t Value) override;
  void WriteBuffer(const void* Buffer, std::int32_t Count) override;
  void WriteSingle(float Value) override;
  void WriteDouble(double Value) override;
  void WriteExtended(const Extended& Value) override;
  void WriteReal(double Value) override;
  // The class name of Object, or the empty string for none.
  template <typename T>
  void WriteClassName(const T* Object) {
    WriteClassName(Object ? std::string(Object->ClassName()) : std::string());
  }
  void WriteClassName(const std::string& ClassName) override;

  void ReadString(std::string& Value) override;
  std::string ReadString() override;
  void ReadWideString(std::u16string& Value) override;
  std::u16string ReadWideString() override;
  void ReadByte(std::uint8_t& Value) override;
  std::uint8_t ReadByte() override;
  void ReadBoolean(bool& Value) override;
  bool ReadBoolean() override;
  void ReadInteger(std::int32_t& Value) override;
  std::int32_t ReadInteger() override;
  void ReadInt64(std::int64_t& Value) override;
  std::int64_t ReadInt64() override;
  void ReadWord(std::uint16_t& Value) override;
  std::uint16_t ReadWord() override;
  void ReadCardinal(std::uint32_t& Value) override;
  std::uint32_t ReadCardinal() override;
  void ReadBuffer(void* Buffer, std::int32_t Count) override;
  void ReadSingle(float& Value) override;
  float ReadSingle() override;
  void ReadDouble(double& Value) override;
  double ReadDouble() override;
  void ReadReal(double& Value) override;
  double ReadReal() override;
  void ReadExtended(Extended& Value) override;
  Extended ReadExtended() override;

  // --- errors -----------------------------------------------------------------
  void GetErrorText(std::int32_t Code, std::string& Text) override { Text = CKSErrorText(Code); }
  [[noreturn]] void RaiseError(std::int32_t Code) override;

  // The base stream as IStream: itself if it is one, else a wrapper that
  // does not own it.
  void GetIStream(TInterfacePtr<IStream>& Stream) override;
  TStream* GetTStream() override { return Stream_; }

  // Bytes still available in the base stream after its position (0 past the end).
  std::int64_t BytesLeft();

protected:
  void* GetInterface(const TGUID& InterfaceID) override;
  std::int32_t UnreferencedCount() const override { return OwnedByReferences_ ? 0 : 1; }
  bool FreesOnLastRelease() const override { return OwnedByReferences_; }

private:
  friend class TSubChunkItem;
  friend class TCKSChunkItem;

  TStream& Base();
  // Charges Count bytes on the read budget; EReadError when it is used up.
  void ChargeRead(std::int64_t Count);
  // EReadError unless Count bytes are still available.
  void RequireAvailable(std::int64_t Count);
  void ReadValue(void* Buffer, std::int32_t Count);
  void WriteValue(const void* Buffer, std::int32_t Count);
  template <typename T> T ReadLE();
  template <typename T> void WriteLE(T Value);
  void FreeBase();

  TStream* Stream_ = nullptr;
  std::unique_ptr<TStream> OwnedBase_;  // set when this object owns Stream_
  std::int32_t ChunkCount_ = 0;
  std::uint8_t Mode_ = cksModeInactive;
  TChunkStack ReadSubChunks_;
  TChunkStack WriteSubChunks_;
  TChunkStack WriteChunks_;
  TChunkStack ReadChunks_;
  TCKSFileHeader Header_{{}, 0, 0, 0, 0, 0, 0};
  bool HeaderDone_ = false;  // written or read successfully when attached
  bool Closed_ = false;
  std::shared_ptr<std::int64_t> Budget_;
  bool OwnedByReferences_ = false;  // handed out by GetSubStream
};
