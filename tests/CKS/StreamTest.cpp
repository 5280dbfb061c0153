#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include "CKS/Streams.h"
#include "TestBytes.h"

namespace {

TEST(MemoryStream, ReadsWithinAndNothingBeyondTheEnd) {
  TMemoryStream S(Bytes{1, 2, 3, 4, 5});
  std::uint8_t Buf[8] = {};
  EXPECT_EQ(S.Read(Buf, 3), 3);
  EXPECT_EQ(S.Read(Buf, 8), 2);
  EXPECT_EQ(Buf[0], 4);
  EXPECT_EQ(S.Read(Buf, 8), 0);
  S.SetPosition(-3);
  EXPECT_EQ(S.Read(Buf, 1), 0);
  EXPECT_EQ(S.Read(Buf, -1), 0);
}

TEST(MemoryStream, WritingPastTheEndGrowsWithZeros) {
  TMemoryStream S;
  S.SetPosition(3);
  const std::uint8_t B = 9;
  EXPECT_EQ(S.Write(&B, 1), 1);
  EXPECT_EQ(S.Bytes(), (Bytes{0, 0, 0, 9}));
  EXPECT_EQ(S.GetPosition(), 4);
  S.SetSize(2);
  EXPECT_EQ(S.GetPosition(), 2);
  EXPECT_EQ(S.GetSize(), 2);
}

TEST(MemoryStream, ShortReadAndWriteBufferFailWithTheirMessages) {
  TMemoryStream S(Bytes{1, 2, 3});
  std::uint8_t Buf[4];
  try {
    S.ReadBuffer(Buf, 4);
    FAIL();
  } catch (const EReadError& E) {
    EXPECT_STREQ(E.what(), "Stream-Lesefehler");
  }
  EXPECT_THROW(S.ReadBuffer(Buf, -1), EReadError);
  S.SetPosition(-1);
  try {
    S.WriteBuffer(Buf, 1);
    FAIL();
  } catch (const EWriteError& E) {
    EXPECT_STREQ(E.what(), "Stream-Schreibfehler");
  }
  S.ReadBuffer(Buf, 0);  // nothing asked, nothing fails
}

TEST(MemoryStream, CopyFromCountZeroCopiesTheWholeSource) {
  TMemoryStream Source(Bytes(70000, 7));
  Source.SetPosition(500);
  TMemoryStream Target;
  EXPECT_EQ(Target.CopyFrom(Source, 0), 70000);
  EXPECT_EQ(Target.Bytes(), Source.Bytes());
  Source.SetPosition(69990);
  EXPECT_THROW(Target.CopyFrom(Source, 11), EReadError);
}

class FileStreamTest : public ::testing::Test {
protected:
  void SetUp() override {
    Dir_ = std::filesystem::temp_directory_path() /
           ("cks-file-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(Dir_);
  }
  void TearDown() override { std::filesystem::remove_all(Dir_); }
  std::string Path(const char* Name) const { return (Dir_ / Name).string(); }
  std::filesystem::path Dir_;
};

TEST_F(FileStreamTest, CreateWriteAndReadBackWithTwoReadersAtOnce) {
  {
    TFileStream W(Path("a.bin"), fmCreate);
    W.WriteBuffer("hello", 5);
    EXPECT_EQ(W.GetSize(), 5);
  }
  TFileStream R1(Path("a.bin"), fmOpenRead | fmShareDenyWrite);
  TFileStream R2(Path("a.bin"), fmOpenRead | fmShareDenyWrite);
  char Buf[6] = {};
  R1.ReadBuffer(Buf, 5);
  EXPECT_STREQ(Buf, "hello");
  R2.SetPosition(3);
  EXPECT_EQ(R2.Read(Buf, 5), 2);
  EXPECT_EQ(R1.GetSize(), 5);
  // A read-only file stream accepts no writes.
  EXPECT_THROW(R1.WriteBuffer("x", 1), EWriteError);
}

TEST_F(FileStreamTest, OpenFailuresRaiseOpenAndCreateErrors) {
  EXPECT_THROW(TFileStream(Path("missing.bin"), fmOpenRead), EFOpenError);
  EXPECT_THROW(TFileStream(Dir_.string(), fmOpenRead), EFOpenError);
  EXPECT_THROW(TFileStream(Path("no/such/dir.bin"), fmCreate), EFCreateError);
}

TEST_F(FileStreamTest, ReadWriteModeAndSetSize) {
  { TFileStream W(Path("b.bin"), fmCreate); W.WriteBuffer("abcdef", 6); }
  TFileStream RW(Path("b.bin"), fmOpenReadWrite);
  RW.SetPosition(2);
  RW.WriteBuffer("XY", 2);
  RW.SetSize(5);
  EXPECT_EQ(RW.GetSize(), 5);
  RW.SetPosition(0);
  char Buf[6] = {};
  RW.ReadBuffer(Buf, 5);
  EXPECT_STREQ(Buf, "abXYe");
  EXPECT_EQ(RW.Seek(-10, soBeginning), -1);
}

// The file stream reads ahead; whatever mix of reads, seeks, writes and size
// changes comes along, it must behave exactly like a memory stream.
TEST_F(FileStreamTest, BehavesLikeAMemoryStreamUnderMixedOperations) {
  std::mt19937 Random(5);
  TFileStream File(Path("mixed.bin"), fmCreate);
  TMemoryStream Model;
  std::vector<std::uint8_t> A(200000), B(200000);
  for (int Step = 0; Step < 400; ++Step) {
    const int Op = static_cast<int>(Random() % 5);
    const std::int64_t Size = Model.GetSize();
    if (Op == 0) {
      const auto Count = static_cast<std::int32_t>(Random() % 3 == 0 ? Random() % 150000 : Random() % 300);
      for (std::int32_t I = 0; I < Count; ++I) A[static_cast<std::size_t>(I)] = static_cast<std::uint8_t>(Random());
      ASSERT_EQ(File.Write(A.data(), Count), Model.Write(A.data(), Count));
    } else if (Op == 4) {
      const std::int64_t NewSize = static_cast<std::int64_t>(Random() % (Size + 10));
      File.SetSize(NewSize);
      Model.SetSize(NewSize);
    } else if (Op == 3) {
      const std::int64_t To = static_cast<std::int64_t>(Random() % (Size + 20));
      ASSERT_EQ(File.Seek(To, soBeginning), Model.Seek(To, soBeginning));
    } else {
      const auto Count = static_cast<std::int32_t>(Random() % 2 == 0 ? Random() % 100 : Random() % 120000);
      const std::int32_t Got = File.Read(A.data(), Count);
      ASSERT_EQ(Got, Model.Read(B.data(), Count)) << "step " << Step;
      ASSERT_TRUE(std::equal(A.begin(), A.begin() + Got, B.begin())) << "step " << Step;
    }
    ASSERT_EQ(File.GetPosition(), Model.GetPosition()) << "step " << Step;
    ASSERT_EQ(File.GetSize(), Model.GetSize()) << "step " << Step;
  }
}

}  // namespace
