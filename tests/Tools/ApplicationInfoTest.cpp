#include "Tools/KivoApplicationInfo.h"

#include <gtest/gtest.h>

#include "Platform/Core/Assertion.h"
#include "Tools/MediaFiles.h"

// One test: the installed instance lives for the rest of the process.
TEST(ApplicationInfo, InstalledOnceAndAnswersItsConstants) {
  try {
    GetApplicationInfo();
    FAIL();
  } catch (const EAssertionFailed& E) {
    EXPECT_EQ(E.Text(), "keine ApplicationInfoInt gesetzt!");
    EXPECT_EQ(E.Module(), "ApplicationInfoUnit");
    EXPECT_EQ(E.Line(), 164);
  }

  TKivoApplicationInfo::Install();
  TInterfacePtr<IApplicationInfo> Info = GetApplicationInfo();
  ASSERT_TRUE(Info);
  EXPECT_EQ(Info->MakerName(), "Tessaly");
  EXPECT_EQ(Info->ProductName(), "Lumora");
  EXPECT_EQ(Info->Version(), "2.4");
  EXPECT_EQ(Info->FullVersion(), "2.4.01");
  EXPECT_EQ(Info->RegistryKey(), "\\Software\\Tessaly\\Lumora\\2.x\\");
  EXPECT_EQ(Info->DataFolderName(), "Tessaly/Lumora/");
  EXPECT_EQ(Info->WebUrl(), "http://" + Info->WebAddress());
  EXPECT_EQ(Info->WebAddress().find("://"), std::string::npos);
  EXPECT_EQ(Info->HelpFile(), ProgramFolder + "Lumora.chm");

  try {
    TKivoApplicationInfo::Install();
    FAIL();
  } catch (const EAssertionFailed& E) {
    EXPECT_EQ(E.Text(), "ApplicationInfo mehrfach gesetzt!");
    EXPECT_EQ(E.Line(), 153);
  }
  EXPECT_EQ(GetApplicationInfo(), Info);  // the first instance stays
}
