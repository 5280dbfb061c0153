#include "Tools/MediaFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "TempFolder.h"

namespace {

class MediaFilesTest : public testing::Test {
protected:
  void SetUp() override { Saved = PresentationFolder; }
  void TearDown() override { PresentationFolder = Saved; }
  std::string Saved;
  TempFolder Show;
};

}  // namespace

TEST_F(MediaFilesTest, StoredNameFirstThenThePresentationFolder) {
  const std::string Picture = Show.File("bild.jpg");
  PresentationFolder = Show.Path();
  EXPECT_EQ(ResolveMediaFile("C:\\Other\\bild.jpg"), Picture);
  EXPECT_EQ(ResolveMediaFile(Picture), Picture);  // an existing stored name wins

  TempFolder Elsewhere;
  const std::string Stored = Elsewhere.File("bild.jpg", "stored");
  EXPECT_EQ(ResolveMediaFile(Stored), Stored);

  EXPECT_EQ(ResolveMediaFile("C:\\Other\\fehlt.jpg"), "");
  EXPECT_EQ(ResolveMediaFile(""), "");
  PresentationFolder.clear();
  EXPECT_EQ(ResolveMediaFile("C:\\Other\\bild.jpg"), "");
}

TEST_F(MediaFilesTest, AStoredFolderCountsAsMissing) {
  const std::string Folder = Show.Folder("clip.avi");
  TempFolder Presentation;
  const std::string Clip = Presentation.File("clip.avi");
  PresentationFolder = Presentation.Path();
  EXPECT_EQ(ResolveMediaFile(Folder), Clip);
  std::filesystem::remove(Clip);
  Presentation.Folder("clip.avi");
  EXPECT_EQ(ResolveMediaFile(Folder), "");
}

TEST_F(MediaFilesTest, Windows1252NamesAndCaseDifferencesAreFound) {
  PresentationFolder = Show.Path();
  const std::string Baer = Show.File("B\u00E4r.jpg");      // UTF-8 on disk
  const std::string Aerger = Show.File("\u00E4rger.PNG");
  const std::string Photo = Show.File("foto.jpg");
  EXPECT_EQ(ResolveMediaFile("D:\\Zoo\\B\xE4r.jpg"), Baer);             // stored as Windows-1252
  EXPECT_EQ(ResolveMediaFile("D:\\Zoo\\\xC4RGER.png"), Aerger);          // Ä folds to ä
  EXPECT_EQ(ResolveMediaFile("C:\\Bilder\\FOTO.JPG"), Photo);
  EXPECT_EQ(ResolveMediaFile("C:\\Bilder\\FOTO.JPEG"), "");

  // Two candidates differing only in case: no guess.
  Show.File("Foto.jpg");
  EXPECT_EQ(ResolveMediaFile("C:\\Bilder\\FOTO.JPG"), "");
  EXPECT_EQ(ResolveMediaFile("C:\\Bilder\\foto.jpg"), Photo);  // the exact name still wins

  // A folder of the right name does not count as a match.
  Show.Folder("CLIP.AVI");
  EXPECT_EQ(ResolveMediaFile("C:\\clip.avi"), "");
}

TEST_F(MediaFilesTest, NamesAreTakenLiterally) {
  PresentationFolder = Show.Path();
  Show.File("a.jpg");
  EXPECT_EQ(ResolveMediaFile("C:\\x\\*.jpg"), "");
  EXPECT_EQ(ResolveMediaFile(std::string("C:\\x\\a.jpg\0.png", 16)), "");
}

TEST_F(MediaFilesTest, FileExistsNotFolderWithAndWithoutWildcards) {
  const std::string Dir = Show.Path();
  Show.File("b.txt");
  Show.Folder("a.txt");
  Show.Folder("a.dir");
  Show.Folder("b.dir");
  Show.File("\u00E4.gif");
  struct Case { std::string Name; bool Expected; };
  const Case Cases[] = {
      {Dir + "b.txt", true},    {Dir + "a.txt", false},  {Dir + "none", false},
      {"", false},              {Dir + "*.txt", true},   // first a.txt (folder), then b.txt
      {Dir + "*.dir", false},   // only folders
      {Dir + "?.gif", true},    // ? is one character, also a two-byte one
      {Dir + "??.gif", false},  {Dir + "*.none", false},
      {Dir + "*", false},       // a.dir and a.txt come first, both folders
      {Dir + "b*", true},       // b.dir (folder), then b.txt
  };
  for (const Case& C : Cases) EXPECT_EQ(FileExistsNotFolder(C.Name), C.Expected) << C.Name;
}

TEST(Folders, PresentationFolderFollowsThePresentationFile) {
  const std::string Saved = PresentationFolder;
  struct Case { const char* FileName; const char* Folder; };
  const Case Cases[] = {
      {"/home/u/shows/urlaub.lmo", "/home/u/shows/"},
      {"shows/urlaub.lmo", "shows/"},
      {"urlaub.lmo", "./"},
      {"", ""},
      {"C:\\Shows\\urlaub.lmo", "C:\\Shows\\"},
  };
  for (const Case& C : Cases) {
    SetPresentationFolder(C.FileName);
    EXPECT_EQ(PresentationFolder, C.Folder) << C.FileName;
  }
  PresentationFolder = Saved;
}

TEST(Folders, ProgramAndDataFolders) {
  const std::string Exe = ExecutableFolder();
  ASSERT_FALSE(Exe.empty());
  EXPECT_EQ(Exe.back(), '/');
  EXPECT_TRUE(std::filesystem::exists(Exe + "tools_tests"));
  EXPECT_EQ(ProgramFolder, Exe);

  const char* Env = std::getenv("LMO_DATA_DIR");
  const std::string SavedEnv = Env ? Env : "";
  const std::string SavedProgram = ProgramFolder;
  ::unsetenv("LMO_DATA_DIR");
  SetProgramFolder("/opt/lumora");
  EXPECT_EQ(ProgramFolder, "/opt/lumora/");
  EXPECT_EQ(GetProgramDataFolder(), "/opt/lumora/Data/");
  ::setenv("LMO_DATA_DIR", "/build/bin/Data", 1);
  EXPECT_EQ(GetProgramDataFolder(), "/build/bin/Data/");
  ::setenv("LMO_DATA_DIR", "", 1);
  EXPECT_EQ(GetProgramDataFolder(), "/opt/lumora/Data/");
  if (Env)
    ::setenv("LMO_DATA_DIR", SavedEnv.c_str(), 1);
  else
    ::unsetenv("LMO_DATA_DIR");
  ProgramFolder = SavedProgram;
}
