#include "Tools/FileNames.h"

#include <gtest/gtest.h>

TEST(FileNames, SplitsWindowsAndLocalNames) {
  struct Case { const char* Name; const char* Folder; const char* File; const char* Ext; const char* NoExt; };
  const Case Cases[] = {
      {"C:\\Bilder\\Foto.JPG", "C:\\Bilder\\", "Foto.JPG", ".JPG", "C:\\Bilder\\Foto"},
      {"C:Foto.jpg", "C:", "Foto.jpg", ".jpg", "C:Foto"},
      {"/home/u/show/a.b.png", "/home/u/show/", "a.b.png", ".png", "/home/u/show/a.b"},
      {"Bilder/x\\y.gif", "Bilder/x\\", "y.gif", ".gif", "Bilder/x\\y"},
      {"/media/a:b.jpg", "/media/", "a:b.jpg", ".jpg", "/media/a:b"},  // a colon only ends a drive
      {"C:\\x.y\\noext", "C:\\x.y\\", "noext", "", "C:\\x.y\\noext"},
      {"plain", "", "plain", "", "plain"},
      {"\\\\server\\share\\", "\\\\server\\share\\", "", "", "\\\\server\\share\\"},
      {"", "", "", "", ""},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(StoredFolderPart(C.Name), C.Folder);
    EXPECT_EQ(StoredFileNamePart(C.Name), C.File);
    EXPECT_EQ(StoredFileExt(C.Name), C.Ext);
    EXPECT_EQ(RemoveFileExt(C.Name), C.NoExt);
  }
}

TEST(FileNames, IncludeTrailingDelimiter) {
  EXPECT_EQ(IncludeTrailingDelimiter(""), "");
  EXPECT_EQ(IncludeTrailingDelimiter("C:\\x"), "C:\\x/");
  EXPECT_EQ(IncludeTrailingDelimiter("C:\\x\\"), "C:\\x\\");
  EXPECT_EQ(IncludeTrailingDelimiter("/tmp"), "/tmp/");
  EXPECT_EQ(IncludeTrailingDelimiter("/tmp/"), "/tmp/");
}
