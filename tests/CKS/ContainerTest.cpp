#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "CKS/CKSStream.h"
#include "CKS/CKSStreamWinTypes.h"
#include "Platform/Core/Assertion.h"
#include "TestBytes.h"

namespace {

std::string ErrorOf(const std::function<void()>& F) {
  try {
    F();
  } catch (const std::exception& E) {
    return E.what();
  }
  return "";
}

TEST(ContainerHeader, NewContainerIs32BytesAndIsRewrittenOnDestruction) {
  TMemoryStream Memory;
  {
    TCKSStream S(&Memory, cksModeCreate);
    EXPECT_EQ(Memory.Bytes(), HeaderBytes(0, 65538, 0, 0, 0, 0));
    EXPECT_EQ(S.GetPosition(), 32);
    S.SetFileType(1793);
    S.SetUserValue(256);
  }
  EXPECT_EQ(Memory.Bytes(), HeaderBytes(32, 65538, 1793, 0, 256, 32));
}

TEST(ContainerHeader, OneChunkOfTenBytes) {
  TMemoryStream Memory;
  {
    TCKSStream S(&Memory, cksModeCreate);
    S.BeginWriteChunk(1);
    S.WriteBuffer("0123456789", 10);
    S.EndWriteChunk();
    EXPECT_EQ(S.ChunkCounter(), 1);
  }
  EXPECT_EQ(Memory.Bytes(), Concat({HeaderBytes(54, 65538, 0, 1, 0, 54), ChunkBytes(1, Text("0123456789"))}));
}

TEST(ContainerHeader, ReadingTakesTheSizeByVersion) {
  struct Case {
    std::int32_t Version;
    std::int64_t Size64;
    std::int64_t Expected;
  };
  for (const Case& C : {Case{65537, 999999, 1000}, Case{65538, 777, 777}, Case{-5, 5, 1000}}) {
    TMemoryStream Memory(HeaderBytes(1000, C.Version, 1793, 3, 256, C.Size64));
    TCKSStream S(&Memory, cksModeRead);
    EXPECT_EQ(S.Header().FileSize, C.Expected) << C.Version;
    EXPECT_EQ(S.GetFileType(), 1793);
    EXPECT_EQ(S.GetUserValue(), 256);
    EXPECT_EQ(S.ChunkCounter(), 3);
    EXPECT_EQ(S.GetPosition(), 32);
  }
}

TEST(ContainerHeader, NotAContainer) {
  Bytes OneShort = HeaderBytes(0, 65538, 0, 0, 0, 0);
  OneShort.pop_back();
  const Bytes Cases[] = {
      {},
      Text("PRSM"),                          // shorter than a header
      OneShort,
      Concat({Text("PRSX"), Bytes(28, 0)}),  // wrong magic
  };
  for (const Bytes& Stored : Cases) {
    for (std::uint8_t Mode : {cksModeRead, cksModeReadAppend}) {
      TMemoryStream Memory(Stored);
      try {
        TCKSStreamWinTypes S(&Memory, Mode);
        ADD_FAILURE() << "opened " << Stored.size() << " bytes";
      } catch (const ECKSError& E) {
        EXPECT_STREQ(E.what(), "Keine CKS-Datei!");
      }
      EXPECT_EQ(Memory.Bytes(), Stored) << "a failed open writes nothing";
    }
  }
}

TEST(ContainerHeader, ErrorTexts) {
  const std::pair<std::int32_t, const char*> Cases[] = {
      {0, "kein Fehler"},
      {-1, "Unbekannter Fehler!"},
      {-2, "Datei kann nicht geöffnet werden!"},
      {-3, "Datei kann nicht gefunden werden!"},
      {-4, "Keine CKS-Datei!"},
      {-5, "Falscher Chunkheader!"},
      {-6, "Falsches Dateiformat!"},
      {-7, "Datei konnte nicht erstellt werden!"},
      {-8, "Fehler beim Lesen der Datei!"},
      {-9, "Fehler beim Schreiben der Datei!"},
      {1, "Unbekannter Fehler!"},
      {-10, "Unbekannter Fehler!"},
  };
  TCKSStream S;
  for (const auto& [Code, Message] : Cases) {
    std::string Text;
    S.GetErrorText(Code, Text);
    EXPECT_EQ(Text, Message);
    EXPECT_EQ(ErrorOf([&] { S.RaiseError(Code); }), Message);
  }
}

TEST(ContainerHeader, SetBaseStreamOnlyOnce) {
  TMemoryStream A, B;
  TCKSStream S(&A, cksModeHeaderless);
  try {
    S.SetBaseStream(&B, cksModeHeaderless);
    FAIL();
  } catch (const EAssertionFailed& E) {
    EXPECT_EQ(E.Text(), "SetBaseStream darf nur einmal aufgerufen werden!");
  }
  TInterfacePtr<IStream> Other(std::make_unique<TTStreamWrapper>(&B, false).release());
  EXPECT_THROW(S.SetBaseStream(Other, cksModeHeaderless), EAssertionFailed);
  EXPECT_EQ(S.GetTStream(), &A) << "the first base stream stays";
}

TEST(ContainerModes, InactiveModeDoesNotMove) {
  TMemoryStream Memory(Bytes(40, 0));
  Memory.SetPosition(5);
  TCKSStream S(&Memory, cksModeInactive);
  EXPECT_EQ(S.GetPosition(), -1);
  S.Seek(20);
  S.SetPosition(20);
  S.SeekRelative(3);
  S.SeekToEnd();
  S.SeekToFirstChunk();
  EXPECT_EQ(Memory.GetPosition(), 5);
  EXPECT_FALSE(S.EndOfStream());
  EXPECT_EQ(S.ReadInteger(), 0);  // values still work
  EXPECT_EQ(Memory.GetPosition(), 9);
}

TEST(ContainerModes, HeaderlessModesLeaveTheStreamWhereItIs) {
  for (std::uint8_t Mode : {cksModeHeaderless, cksModeHeaderless5}) {
    TMemoryStream Memory(Bytes(10, 1));
    Memory.SetPosition(4);
    {
      TCKSStream S(&Memory, Mode);
      EXPECT_EQ(S.GetPosition(), 4);
      S.WriteByte(9);
    }
    EXPECT_EQ(Memory.GetSize(), 10) << "no header written";
  }
}

TEST(ContainerModes, AppendingKeepsTheCountAndTheHeaderFields) {
  Bytes Stored = HeaderBytes(32, 65537, 1793, 5, 256, 0);
  TMemoryStream Memory(Stored);
  {
    TCKSStream S(&Memory, cksModeReadAppend);
    S.SeekToEnd();
    S.BeginWriteChunk(1);
    S.EndWriteChunk();
    S.BeginWriteChunk(2);
    S.WriteInteger(4);
    S.EndWriteChunk();
  }
  TCKSStream Reread(&Memory, cksModeRead);
  EXPECT_EQ(Reread.ChunkCounter(), 7);
  EXPECT_EQ(Reread.Header().Version, 65537);
  EXPECT_EQ(Reread.GetFileType(), 1793);
  EXPECT_EQ(Reread.GetUserValue(), 256);
  EXPECT_EQ(Reread.Header().FileSize32, 32 + 12 + 16);
}

TEST(ContainerModes, AppendingToAFullCounterWraps) {
  TMemoryStream Memory(HeaderBytes(32, 65538, 0, INT32_MAX, 0, 32));
  {
    TCKSStream S(&Memory, cksModeReadAppend);
    S.SeekToEnd();
    S.BeginWriteChunk(1);
    S.EndWriteChunk();
  }
  EXPECT_EQ(TCKSStream(&Memory, cksModeRead).ChunkCounter(), INT32_MIN);
}

TEST(ContainerModes, ReadModeNeverWrites) {
  const Bytes Stored = Concat({HeaderBytes(1, 65538, 0, 9, 0, 1), ChunkBytes(1, {})});
  TMemoryStream Memory(Stored);
  {
    TCKSStream S(&Memory, cksModeRead);
    TCKSChunkHeader H;
    S.BeginReadChunk(H);  // left open: dropped without seeking
    S.IncChunkCount();
  }
  EXPECT_EQ(Memory.Bytes(), Stored);
}

// The presentation loader's walk: remember, read the header, seek past.
TEST(ContainerChunks, WalkSkipsUnknownAndEmptyChunks) {
  const Bytes Stored = Concat({HeaderBytes(0, 65538, 1793, 3, 0, 0), ChunkBytes(7, {}), ChunkBytes(2, Bytes(5, 0)),
                               ChunkBytes(1, LE32(42))});
  TMemoryStream Memory(Stored);
  TCKSStreamWinTypes S(&Memory, cksModeRead);
  std::vector<std::int32_t> Types;
  std::int32_t Payload = 0;
  for (std::int32_t I = 0; I < S.ChunkCounter(); ++I) {
    const std::int64_t Start = S.GetPosition();
    TCKSChunkHeader H;
    S.ReadChunkHeader(H);
    Types.push_back(H.ChunkType);
    if (H.ChunkType == 1) Payload = S.ReadInteger();
    S.SetPosition(Start + H.ChunkSize);
  }
  EXPECT_EQ(Types, (std::vector<std::int32_t>{7, 2, 1}));
  EXPECT_EQ(Payload, 42);
  EXPECT_TRUE(S.EndOfStream());
}

TEST(ContainerChunks, WrongChunkMagic) {
  TMemoryStream Memory(Concat({HeaderBytes(0, 65538, 0, 1, 0, 0), Text("CHNX"), LE32(1), LE32(12)}));
  TCKSStream S(&Memory, cksModeRead);
  TCKSChunkHeader H;
  EXPECT_EQ(ErrorOf([&] { S.ReadChunkHeader(H); }), "Falscher Chunkheader!");
  S.SeekToFirstChunk();
  EXPECT_EQ(ErrorOf([&] { S.BeginReadChunk(H); }), "Falscher Chunkheader!");
  EXPECT_FALSE(S.EndOfChunk()) << "a chunk that failed to open is not entered";
}

TEST(ContainerChunks, ReadingThroughTheStacks) {
  TMemoryStream Memory;
  {
    TCKSStream W(&Memory, cksModeCreate);
    W.BeginWriteChunk(1);
    W.WriteInteger(1);
    W.BeginWriteSubChunk();
    W.EndWriteSubChunk();  // empty sub-chunk: size 4
    W.BeginWriteSubChunk();
    W.WriteWord(2);
    W.EndWriteSubChunk();
    W.WriteInteger(3);
    W.EndWriteChunk();
    W.BeginWriteChunk(9);
    W.EndWriteChunk();
  }
  std::vector<std::int32_t> Seen;
  TCKSStream R(&Memory, cksModeRead);
  R.OnBeginReadChunk = [&Seen](std::int32_t T) { Seen.push_back(T); };
  EXPECT_FALSE(R.EndOfChunk());
  EXPECT_FALSE(R.EndOfSubChunk());
  TCKSChunkHeader H;
  R.BeginReadChunk(H);
  EXPECT_EQ(H.ChunkType, 1);
  EXPECT_EQ(H.ChunkSize, 12 + 4 + 4 + 6 + 4);
  EXPECT_EQ(R.ReadInteger(), 1);
  EXPECT_EQ(R.BeginReadSubChunk(), 0);
  EXPECT_TRUE(R.EndOfSubChunk());
  R.EndReadSubChunk();
  EXPECT_EQ(R.BeginReadSubChunk(), 2);
  EXPECT_FALSE(R.EndOfSubChunk());
  R.EndReadSubChunk();  // skips the unread word
  EXPECT_EQ(R.ReadInteger(), 3);
  EXPECT_TRUE(R.EndOfChunk());
  R.EndReadChunk();
  R.BeginReadChunk(H);
  EXPECT_EQ(H.ChunkType, 9);
  R.EndReadChunk();
  R.EndReadChunk();     // nothing open: nothing happens
  R.EndReadSubChunk();
  EXPECT_TRUE(R.EndOfStream());
  EXPECT_EQ(Seen, (std::vector<std::int32_t>{1, 9}));
}

TEST(ContainerChunks, EndReadChunkAfterAPartialReadLandsOnTheNextHeader) {
  const Bytes Stored = Concat({HeaderBytes(0, 65538, 0, 2, 0, 0), ChunkBytes(1, Bytes(20, 1)), ChunkBytes(2, {})});
  TMemoryStream Memory(Stored);
  TCKSStream S(&Memory, cksModeRead);
  TCKSChunkHeader H;
  S.BeginReadChunk(H);
  S.ReadInteger();
  S.EndReadChunk();
  EXPECT_EQ(S.GetPosition(), 32 + 32);
  S.BeginReadChunk(H);
  EXPECT_EQ(H.ChunkType, 2);
}

TEST(ContainerChunks, OpenChunksAreClosedWithCorrectSizesOnDestruction) {
  TMemoryStream Memory;
  std::vector<std::int32_t> Begun;
  {
    TCKSStream S(&Memory, cksModeCreate);
    S.OnBeginWriteChunk = [&Begun](std::int32_t T) { Begun.push_back(T); };
    S.BeginWriteChunk(1);
    S.WriteByte(1);
    S.BeginWriteChunk(2);  // nested main chunk
    S.BeginWriteSubChunk();
    S.WriteInteger(5);
  }
  EXPECT_EQ(Begun, (std::vector<std::int32_t>{1, 2}));
  const Bytes Expected =
      Concat({HeaderBytes(65, 65538, 0, 2, 0, 65), Text("CHNK"), LE32(1), LE32(33), Bytes{1}, Text("CHNK"), LE32(2),
              LE32(20), LE32(8), LE32(5)});
  EXPECT_EQ(Memory.Bytes(), Expected);
}

TEST(ContainerChunks, HeaderRewriteReturnsToThePosition) {
  TMemoryStream Memory;
  TCKSStream S(&Memory, cksModeCreate);
  S.WriteInteger(1);
  S.WriteHeader();
  EXPECT_EQ(S.GetPosition(), 36);
  EXPECT_EQ(S.Header().FileSize, 36);
}

TEST(ContainerChunks, CopyRecordWrittenByHand) {
  // The object copy record writes its one chunk without the chunk stack.
  TMemoryStream Memory;
  {
    TCKSStream S(&Memory, cksModeCreate);
    S.SetFileType(1793);
    S.SetUserValue(256);
    const std::int64_t Start = S.WriteEmptyChunkHeader();
    S.WriteString("TPVPColorRect");
    const std::int64_t End = S.GetPosition();
    const std::int64_t Size = S.SizeSince(Start);
    S.SetPosition(Start);
    S.WriteChunkHeader(2, Size);
    S.IncChunkCount();
    S.SetPosition(End);
  }
  EXPECT_EQ(Memory.Bytes(), Concat({HeaderBytes(61, 65538, 1793, 1, 256, 61),
                                    ChunkBytes(2, Concat({LE32(13), Text("TPVPColorRect")}))}));
}

TEST(ContainerChunks, ANegativeSubChunkSizeDoesNotOverflow) {
  TMemoryStream Memory(LE32(INT32_MIN));
  TCKSStream S(&Memory, cksModeHeaderless);
  EXPECT_EQ(S.BeginReadSubChunk(), static_cast<std::int32_t>(0x7FFFFFFCu));
  S.EndReadSubChunk();
  EXPECT_EQ(Memory.GetPosition(), std::int64_t{INT32_MIN});
}

}  // namespace
