#pragma once
// ICKSStream: the chunk container's whole operation set as an interface
// (TCKSStream implements it; the program itself calls the object directly).
#include <cstdint>
#include <string>

#include "CKS/CKSTypes.h"
#include "CKS/Extended.h"
#include "CKS/StreamAdapters.h"
#include "PluginEngine/InterfaceImp.h"

struct ICKSStream : virtual IInterface {
  static constexpr TGUID IID = TGUID::FromString("{D39A4576-7035-4671-AD8C-A9A728C70AA6}");

  virtual void SetBaseStream(const TInterfacePtr<IStream>& Stream, std::uint8_t Mode) = 0;
  virtual void SetFileType(std::int32_t Value) = 0;
  virtual void SetUserValue(std::int32_t Value) = 0;
  virtual std::int32_t GetFileType() = 0;
  virtual std::int32_t GetUserValue() = 0;
  virtual std::int64_t GetPosition() = 0;
  virtual void Seek(std::int64_t Position) = 0;
  virtual void SeekToEnd() = 0;
  virtual void SeekToFirstChunk() = 0;
  virtual void SeekRelative(std::int64_t Offset) = 0;
  virtual bool EndOfStream() = 0;
  virtual void GetSubStream(std::uint8_t Kind, bool Growable, TInterfacePtr<ICKSStream>& SubStream) = 0;
  virtual void SkipSubStream(ICKSStream* SubStream) = 0;
  virtual void BeginWriteSubChunk() = 0;
  virtual void EndWriteSubChunk() = 0;
  virtual std::int32_t BeginReadSubChunk() = 0;
  virtual void EndReadSubChunk() = 0;
  virtual bool EndOfSubChunk() = 0;
  virtual void BeginReadChunk(TCKSChunkHeader& Header) = 0;
  virtual void EndReadChunk() = 0;
  virtual void BeginWriteChunk(std::int32_t ChunkType) = 0;
  virtual void EndWriteChunk() = 0;
  virtual bool EndOfChunk() = 0;
  virtual void WriteString(const std::string& Value) = 0;
  virtual void WriteWideString(const std::u16string& Value) = 0;
  virtual void WriteBoolean(bool Value) = 0;
  virtual void WriteByte(std::uint8_t Value) = 0;
  virtual void WriteInteger(std::int32_t Value) = 0;
  virtual void WriteInt64(std::int64_t Value) = 0;
  virtual void WriteWord(std::uint16_t Value) = 0;
  virtual void WriteCardinal(std::uint32_t Value) = 0;
  virtual void WriteBuffer(const void* Buffer, std::int32_t Count) = 0;
  virtual void WriteSingle(float Value) = 0;
  virtual void WriteDouble(double Value) = 0;
  virtual void WriteExtended(const Extended& Value) = 0;
  virtual void WriteReal(double Value) = 0;
  // The class name of an object; the empty string for none.
  virtual void WriteClassName(const std::string& ClassName) = 0;
  virtual void ReadString(std::string& Value) = 0;
  virtual std::string ReadString() = 0;
  virtual void ReadWideString(std::u16string& Value) = 0;
  virtual std::u16string ReadWideString() = 0;
  virtual void ReadByte(std::uint8_t& Value) = 0;
  virtual std::uint8_t ReadByte() = 0;
  virtual void ReadBoolean(bool& Value) = 0;
  virtual bool ReadBoolean() = 0;
  virtual void ReadInteger(std::int32_t& Value) = 0;
  virtual std::int32_t ReadInteger() = 0;
  virtual void ReadInt64(std::int64_t& Value) = 0;
  virtual std::int64_t ReadInt64() = 0;
  virtual void ReadWord(std::uint16_t& Value) = 0;
  virtual std::uint16_t ReadWord() = 0;
  virtual void ReadCardinal(std::uint32_t& Value) = 0;
  virtual std::uint32_t ReadCardinal() = 0;
  virtual void ReadBuffer(void* Buffer, std::int32_t Count) = 0;
  virtual void ReadSingle(float& Value) = 0;
  virtual float ReadSingle() = 0;
  virtual void ReadDouble(double& Value) = 0;
  virtual double ReadDouble() = 0;
  virtual void ReadReal(double& Value) = 0;
  virtual double ReadReal() = 0;
  virtual void ReadExtended(Extended& Value) = 0;
  virtual Extended ReadExtended() = 0;
  virtual void GetErrorText(std::int32_t Code, std::string& Text) = 0;
  [[noreturn]] virtual void RaiseError(std::int32_t Code) = 0;
  virtual std::int64_t GetSize() = 0;
  virtual void SetSize(std::int32_t Size) = 0;
  virtual void GetIStream(TInterfacePtr<IStream>& Stream) = 0;
};
