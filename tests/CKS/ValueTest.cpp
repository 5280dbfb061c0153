#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "CKS/CKSStream.h"
#include "TestBytes.h"

namespace {

// A headerless stream (mode 4) over memory, so that values sit at offset 0.
struct Fixture {
  explicit Fixture(Bytes Initial = {}) : Memory(std::move(Initial)), Stream(&Memory, cksModeHeaderless) {}
  TMemoryStream Memory;
  TCKSStream Stream;
};

struct ObjectWithName {
  const char* ClassName() const { return "TPVPText"; }
};

TEST(Values, WrittenBytes) {
  struct Case {
    const char* Name;
    std::function<void(TCKSStream&)> Write;
    Bytes Expected;
  };
  const ObjectWithName Named;
  const Case Cases[] = {
      {"empty string", [](TCKSStream& S) { S.WriteString(""); }, {0, 0, 0, 0}},
      {"abc", [](TCKSStream& S) { S.WriteString("abc"); }, {3, 0, 0, 0, 0x61, 0x62, 0x63}},
      {"wide", [](TCKSStream& S) { S.WriteWideString(u"a\u00e4"); }, {2, 0, 0, 0, 0x61, 0, 0xE4, 0}},
      {"true", [](TCKSStream& S) { S.WriteBoolean(true); }, {1}},
      {"false", [](TCKSStream& S) { S.WriteBoolean(false); }, {0}},
      {"byte", [](TCKSStream& S) { S.WriteByte(0xAB); }, {0xAB}},
      {"word", [](TCKSStream& S) { S.WriteWord(0x1234); }, {0x34, 0x12}},
      {"int -1", [](TCKSStream& S) { S.WriteInteger(-1); }, {0xFF, 0xFF, 0xFF, 0xFF}},
      {"cardinal", [](TCKSStream& S) { S.WriteCardinal(0x80000001u); }, {1, 0, 0, 0x80}},
      {"int64", [](TCKSStream& S) { S.WriteInt64(-2); }, {0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
      {"single 1", [](TCKSStream& S) { S.WriteSingle(1.0f); }, {0, 0, 0x80, 0x3F}},
      {"double 1", [](TCKSStream& S) { S.WriteDouble(1.0); }, {0, 0, 0, 0, 0, 0, 0xF0, 0x3F}},
      {"real 1", [](TCKSStream& S) { S.WriteReal(1.0); }, {0, 0, 0, 0, 0, 0, 0xF0, 0x3F}},
      {"extended 1", [](TCKSStream& S) { S.WriteExtended(Extended::FromDouble(1.0)); },
       {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}},
      {"no class", [](TCKSStream& S) { S.WriteClassName(static_cast<const ObjectWithName*>(nullptr)); },
       {0, 0, 0, 0}},
      {"class", [&Named](TCKSStream& S) { S.WriteClassName(&Named); }, Concat({LE32(8), Text("TPVPText")})},
      {"buffer", [](TCKSStream& S) { S.WriteBuffer("\x01\x02", 2); }, {1, 2}},
  };
  for (const Case& C : Cases) {
    Fixture F;
    C.Write(F.Stream);
    EXPECT_EQ(F.Memory.Bytes(), C.Expected) << C.Name;
  }
}

TEST(Values, BothReadFormsConsumeTheSameBytes) {
  Fixture W;
  W.Stream.WriteString("xyz");
  W.Stream.WriteWideString(u"w");
  W.Stream.WriteBoolean(true);
  W.Stream.WriteByte(7);
  W.Stream.WriteInteger(-7);
  W.Stream.WriteInt64(INT64_MIN);
  W.Stream.WriteWord(65535);
  W.Stream.WriteCardinal(4000000000u);
  W.Stream.WriteSingle(0.5f);
  W.Stream.WriteDouble(-0.25);
  W.Stream.WriteReal(3.5);
  W.Stream.WriteExtended(Extended::FromDouble(2.0));
  const Bytes Stored = W.Memory.Bytes();

  Fixture A(Stored);
  EXPECT_EQ(A.Stream.ReadString(), "xyz");
  EXPECT_EQ(A.Stream.ReadWideString(), u"w");
  EXPECT_TRUE(A.Stream.ReadBoolean());
  EXPECT_EQ(A.Stream.ReadByte(), 7);
  EXPECT_EQ(A.Stream.ReadInteger(), -7);
  EXPECT_EQ(A.Stream.ReadInt64(), INT64_MIN);
  EXPECT_EQ(A.Stream.ReadWord(), 65535);
  EXPECT_EQ(A.Stream.ReadCardinal(), 4000000000u);
  EXPECT_EQ(A.Stream.ReadSingle(), 0.5f);
  EXPECT_EQ(A.Stream.ReadDouble(), -0.25);
  EXPECT_EQ(A.Stream.ReadReal(), 3.5);
  EXPECT_EQ(A.Stream.ReadExtended().ToDouble(), 2.0);
  EXPECT_TRUE(A.Stream.EndOfStream());

  Fixture B(Stored);
  std::string S = "old";
  std::u16string WS = u"old";
  bool Bo = false;
  std::uint8_t By = 0;
  std::int32_t I = 0;
  std::int64_t I64 = 0;
  std::uint16_t Wo = 0;
  std::uint32_t C = 0;
  float Si = 0;
  double D = 0, R = 0;
  Extended E;
  B.Stream.ReadString(S);
  B.Stream.ReadWideString(WS);
  B.Stream.ReadBoolean(Bo);
  B.Stream.ReadByte(By);
  B.Stream.ReadInteger(I);
  B.Stream.ReadInt64(I64);
  B.Stream.ReadWord(Wo);
  B.Stream.ReadCardinal(C);
  B.Stream.ReadSingle(Si);
  B.Stream.ReadDouble(D);
  B.Stream.ReadReal(R);
  B.Stream.ReadExtended(E);
  EXPECT_EQ(S, "xyz");
  EXPECT_EQ(WS, u"w");
  EXPECT_TRUE(Bo);
  EXPECT_EQ(By, 7);
  EXPECT_EQ(I, -7);
  EXPECT_EQ(I64, INT64_MIN);
  EXPECT_EQ(Wo, 65535);
  EXPECT_EQ(C, 4000000000u);
  EXPECT_EQ(Si, 0.5f);
  EXPECT_EQ(D, -0.25);
  EXPECT_EQ(R, 3.5);
  EXPECT_EQ(E.ToDouble(), 2.0);
  EXPECT_TRUE(B.Stream.EndOfStream());
}

TEST(Values, StoredBytesReadAsSpecified) {
  {  // a count of 0 or below is the empty string and nothing more is read
    Fixture F(Concat({LE32(0), LE32(-5), Bytes{9}}));
    EXPECT_EQ(F.Stream.ReadString(), "");
    EXPECT_EQ(F.Stream.ReadString(), "");
    EXPECT_EQ(F.Stream.ReadByte(), 9);
  }
  {  // the wide text ends at the first NUL but all units are consumed
    Fixture F(Concat({LE32(3), Bytes{'a', 0, 0, 0, 'b', 0}, Bytes{42}}));
    EXPECT_EQ(F.Stream.ReadWideString(), u"a");
    EXPECT_EQ(F.Memory.GetPosition(), 10);
    EXPECT_EQ(F.Stream.ReadByte(), 42);
  }
  {  // any byte other than 0 is true
    Fixture F(Bytes{2, 0});
    EXPECT_TRUE(F.Stream.ReadBoolean());
    EXPECT_FALSE(F.Stream.ReadBoolean());
  }
  {
    Fixture F(Bytes{0xFF, 0xFF, 0xFF, 0xFF});
    EXPECT_EQ(F.Stream.ReadCardinal(), 4294967295u);
  }
}

// Each case leaves fewer bytes than the value needs, or states a count larger
// than the stream holds: the read fails with the read error and allocates
// nothing of the stated size.
TEST(Values, ShortOrOversizedReadsFailWithReadError) {
  struct Case {
    const char* Name;
    Bytes Stored;
    std::function<void(TCKSStream&)> Read;
  };
  const Case Cases[] = {
      {"int32 with 3 bytes", {1, 2, 3}, [](TCKSStream& S) { S.ReadInteger(); }},
      {"extended with 9 bytes", Bytes(9, 0), [](TCKSStream& S) { S.ReadExtended(); }},
      {"string count past the end", Concat({LE32(4), Text("abc")}), [](TCKSStream& S) { S.ReadString(); }},
      {"huge string count", LE32(0x7FFFFFFF), [](TCKSStream& S) { S.ReadString(); }},
      {"huge wide count", LE32(0x7FFFFFFF), [](TCKSStream& S) { S.ReadWideString(); }},
      {"wide count past the end", Concat({LE32(2), Bytes{'a', 0, 'b'}}), [](TCKSStream& S) { S.ReadWideString(); }},
      {"negative wide count", LE32(-1), [](TCKSStream& S) { S.ReadWideString(); }},
      {"buffer", Bytes{1}, [](TCKSStream& S) { std::uint8_t B[2]; S.ReadBuffer(B, 2); }},
  };
  for (const Case& C : Cases) {
    Fixture F(C.Stored);
    try {
      C.Read(F.Stream);
      ADD_FAILURE() << C.Name << ": no error";
    } catch (const EReadError& E) {
      EXPECT_STREQ(E.what(), "Stream-Lesefehler") << C.Name;
    }
  }
}

TEST(Values, StringReadIntoAVariableEmptiesItFirst) {
  Fixture F(LE32(5));
  std::string S = "kept?";
  EXPECT_THROW(F.Stream.ReadString(S), EReadError);
  EXPECT_EQ(S, "");
}

TEST(Values, ShortWriteFailsWithWriteError) {
  TMemoryStream Memory;
  TCKSStream Stream(&Memory, cksModeHeaderless);
  Memory.SetPosition(-1);  // a memory stream takes nothing before its start
  try {
    Stream.WriteInteger(1);
    FAIL();
  } catch (const EWriteError& E) {
    EXPECT_STREQ(E.what(), "Stream-Schreibfehler");
  }
}

TEST(ReadBudget, ValueReadsStopAtTheBudget) {
  Fixture F(Concat({LE32(3), Text("abc"), LE32(7), LE32(8)}));
  F.Stream.SetReadBudget(11);
  EXPECT_EQ(F.Stream.ReadString(), "abc");
  EXPECT_EQ(F.Stream.ReadInteger(), 7);
  EXPECT_EQ(F.Stream.ReadBudgetLeft(), 0);
  EXPECT_THROW(F.Stream.ReadInteger(), EReadError);
  // Seeking back costs nothing but every re-read is charged again.
  F.Stream.ClearReadBudget();
  F.Memory.SetPosition(7);
  EXPECT_EQ(F.Stream.ReadInteger(), 7);
  F.Stream.SetReadBudget(3);
  EXPECT_THROW(F.Stream.ReadInteger(), EReadError);
}

TEST(ReadBudget, ChunkAndSubChunkHeadersAreCharged) {
  Fixture F(Concat({ChunkBytes(1, LE32(4))}));
  F.Stream.SetReadBudget(15);
  TCKSChunkHeader H;
  F.Stream.BeginReadChunk(H);
  EXPECT_EQ(F.Stream.ReadBudgetLeft(), 3);
  EXPECT_THROW(F.Stream.BeginReadSubChunk(), EReadError);
}

TEST(Values, NoBaseStreamFailsInsteadOfCrashing) {
  TCKSStream Stream;
  EXPECT_EQ(Stream.GetPosition(), -1);
  EXPECT_EQ(Stream.GetSize(), 0);
  EXPECT_THROW(Stream.ReadInteger(), EReadError);
  EXPECT_THROW(Stream.WriteInteger(1), EWriteError);
}

}  // namespace
