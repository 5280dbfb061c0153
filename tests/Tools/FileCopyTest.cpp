#include "Tools/FileCopy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "Platform/Core/Hooks.h"
#include "TempFolder.h"

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const std::string& Name) {
  std::ifstream In(Name, std::ios::binary);
  std::ostringstream S;
  S << In.rdbuf();
  return S.str();
}

void SetTime(const std::string& Name, time_t Seconds, long Nanoseconds) {
  const struct timespec Times[2] = {{Seconds, Nanoseconds}, {Seconds, Nanoseconds}};
  ASSERT_EQ(::utimensat(AT_FDCWD, Name.c_str(), Times, 0), 0);
}

struct stat StatOf(const std::string& Name) {
  struct stat Info {};
  ::stat(Name.c_str(), &Info);
  return Info;
}

}  // namespace

TEST(NextNumberedFileName, CountsUpInFourDigits) {
  struct Case { const char* Name; std::int32_t MaxLength; const char* Expected; };
  const Case Cases[] = {
      {"C:\\x\\pic.jpg", 0, "C:\\x\\pic0001.jpg"},
      {"C:\\x\\pic0001.jpg", 0, "C:\\x\\pic0002.jpg"},
      {"C:\\x\\song0009.wav", 0, "C:\\x\\song0010.wav"},
      {"C:\\x\\a9999.wav", 0, "C:\\x\\a10000.wav"},
      {"/m/noext", 0, "/m/noext0001"},
      {"/m/pic-123.jpg", 0, "/m/pic-1230001.jpg"},   // a sign is no part of the number
      {"1234", 0, "12340001"},                         // four characters alone are no number
      {"/m/a1234", 0, "/m/a1235"},
      {"/m/longname.jpg", 12, "/m/long0001.jpg"},     // file part cut to 8 characters first
      {"/m/longname0007.jpg", 12, "/m/long0001.jpg"}, // the cut removes the old number
      {"/m/\u00E4\u00E4\u00E4\u00E4\u00E4.jpg", 10, "/m/\u00E4\u00E40001.jpg"},  // characters, not bytes
      {"/m/abc.jpeg", 4, "/m/0001.jpeg"},
  };
  for (const Case& C : Cases) EXPECT_EQ(NextNumberedFileName(C.Name, C.MaxLength), C.Expected) << C.Name;
}

TEST(SameFile, DecidesByNameStampModeAndContents) {
  TempFolder A, B;
  const std::string One = A.File("song.wav", "RIFF-data");
  const std::string Two = B.File("SONG.WAV", "RIFF-data");
  const std::string Other = B.File("other.wav", "RIFF-data");
  const std::string Shorter = B.File("song.wav", "RIFF");
  for (const std::string& N : {One, Two, Other}) SetTime(N, 1000000000, 5);

  EXPECT_TRUE(SameFile(One, One, false));
  EXPECT_FALSE(SameFile(A.Path() + "missing.wav", A.Path() + "missing.wav", false));
  EXPECT_TRUE(SameFile(One, Two, false));     // file names equal ignoring case
  EXPECT_FALSE(SameFile(One, Other, false));  // other file name, no CompareAlways
  EXPECT_TRUE(SameFile(One, Other, true));
  SetTime(Shorter, 1000000000, 5);
  EXPECT_FALSE(SameFile(One, Shorter, true));  // B shorter than A
  EXPECT_TRUE(SameFile(Shorter, One, true));   // bytes of B beyond A's length are not compared

  SetTime(Other, 1000000001, 5);
  EXPECT_FALSE(SameFile(One, Other, true));  // time stamp differs
  SetTime(Other, 1000000000, 5);
  ::chmod(Other.c_str(), 0600);
  ::chmod(One.c_str(), 0644);
  EXPECT_FALSE(SameFile(One, Other, true));  // mode differs

  // On this file system names differing in case are different files...
  const std::string Lower = A.File("clip.avi", "one");
  const std::string Upper = A.File("CLIP.AVI", "two");
  EXPECT_FALSE(SameFile(Lower, Upper, false));
  // ...while two names of one file are the same file.
  const std::string Link = A.Path() + "link.avi";
  ASSERT_EQ(::link(Lower.c_str(), Link.c_str()), 0);
  EXPECT_TRUE(SameFile(Lower, Link, false));
}

class CopyTest : public testing::Test {
protected:
  void TearDown() override { platform::SetProcessMessagesHook(nullptr); }
  TempFolder Dir;
  std::vector<std::int32_t> Reports;
  TCopyProgress Record = [this](std::int32_t P) { Reports.push_back(P); };
};

TEST_F(CopyTest, CopiesInBlocksKeepingStampAndMode) {
  std::string Data(65535 * 2 + 10, '\0');
  for (std::size_t I = 0; I < Data.size(); ++I) Data[I] = static_cast<char>(I * 7);
  const std::string Source = Dir.File("source.bin", Data);
  ::chmod(Source.c_str(), 0640);
  SetTime(Source, 1200000000, 123456789);
  int Processed = 0;
  platform::SetProcessMessagesHook([&] { ++Processed; });

  const std::string Target = Dir.File("target.bin", "old contents to be replaced, longer than nothing");
  ASSERT_TRUE(CopyFileWithProgress(Source, Target, Record));
  EXPECT_EQ(Reports, (std::vector<std::int32_t>{0, 50, 100, 100, -1}));
  EXPECT_EQ(Processed, 3);
  EXPECT_EQ(ReadAll(Target), Data);
  const struct stat Info = StatOf(Target);
  EXPECT_EQ(Info.st_mode & 07777, 0640u);
  EXPECT_EQ(Info.st_mtim.tv_sec, 1200000000);
  EXPECT_EQ(Info.st_mtim.tv_nsec, 123456789);
  EXPECT_TRUE(SameFile(Source, Target, true));
}

TEST_F(CopyTest, EmptyFileReportsZeroThenEnd) {
  const std::string Source = Dir.File("empty.wav", "");
  ASSERT_TRUE(CopyFileWithProgress(Source, Dir.Path() + "copy.wav", Record));
  EXPECT_EQ(Reports, (std::vector<std::int32_t>{0, -1}));
  EXPECT_TRUE(fs::exists(Dir.Path() + "copy.wav"));
  EXPECT_EQ(fs::file_size(Dir.Path() + "copy.wav"), 0u);
}

TEST_F(CopyTest, FailuresAnswerFalseAndLeaveNoTarget) {
  EXPECT_FALSE(CopyFileWithProgress(Dir.Path() + "missing", Dir.Path() + "t1", Record));
  EXPECT_EQ(Reports, (std::vector<std::int32_t>{0, -1}));
  EXPECT_FALSE(fs::exists(Dir.Path() + "t1"));

  const std::string Source = Dir.File("s.txt", "abc");
  EXPECT_FALSE(CopyFileWithProgress(Source, Dir.Path() + "no/such/folder/t2", nullptr));
  EXPECT_FALSE(CopyFileWithProgress(Dir.Folder("sub"), Dir.Path() + "t3", nullptr));
  EXPECT_FALSE(fs::exists(Dir.Path() + "t3"));
  // A target that cannot be opened is left where it is.
  const std::string Folder = Dir.Folder("occupied");
  EXPECT_FALSE(CopyFileWithProgress(Source, Folder, nullptr));
  EXPECT_TRUE(fs::is_directory(Folder));
}

TEST_F(CopyTest, SameFileIsLeftAlone) {
  const std::string Source = Dir.File("s.txt", "precious");
  EXPECT_TRUE(CopyFileWithProgress(Source, Source, Record));
  EXPECT_TRUE(Reports.empty());
  // Another name of the same file: copying would truncate the source.
  const std::string Alias = Dir.Path() + "./s.txt";
  EXPECT_TRUE(CopyFileWithProgress(Source, Alias, Record));
  EXPECT_EQ(ReadAll(Source), "precious");
}

TEST_F(CopyTest, ProgressHandlerErrorsAreIgnored) {
  const std::string Source = Dir.File("s.txt", "abc");
  int Calls = 0;
  EXPECT_TRUE(CopyFileWithProgress(Source, Dir.Path() + "t.txt", [&](std::int32_t) {
    ++Calls;
    throw std::runtime_error("handler failed");
  }));
  EXPECT_EQ(Calls, 3);
  EXPECT_EQ(ReadAll(Dir.Path() + "t.txt"), "abc");
}
