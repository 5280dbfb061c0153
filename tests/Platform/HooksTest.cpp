#include "Platform/Core/Hooks.h"

#include <gtest/gtest.h>

#include "Platform/Core/Assertion.h"
#include "Platform/Core/ListError.h"

using namespace platform;

TEST(Hooks, InstalledHooksReplaceTheDefaultsUntilCleared) {
  std::string Shown;
  SetMessageBoxHook([&](const std::string& Text) { Shown = Text; });
  ShowMessageBox("Hallo");
  EXPECT_EQ(Shown, "Hallo");
  SetMessageBoxHook(nullptr);
  testing::internal::CaptureStderr();
  ShowMessageBox("auf stderr");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "auf stderr\n");

  int Processed = 0;
  ProcessMessages();  // default: nothing
  SetProcessMessagesHook([&] { ++Processed; });
  ProcessMessages();
  SetProcessMessagesHook(nullptr);
  EXPECT_EQ(Processed, 1);

  EXPECT_EQ(RegisterClipboardFormat("DavazozavPlugin"), DefaultClipboardFormat);
  SetRegisterClipboardFormatHook([](const std::string&) { return 0xC123u; });
  EXPECT_EQ(RegisterClipboardFormat("DavazozavPlugin"), 0xC123u);
  SetRegisterClipboardFormatHook(nullptr);
}

TEST(Errors, CarryTheirTexts) {
  try {
    RaiseListIndexError(7);
    FAIL();
  } catch (const EListError& E) {
    EXPECT_STREQ(E.what(), "Listenindex überschreitet das Maximum (7)");
  }
  try {
    Assert(false, "keine ApplicationInfoInt gesetzt!", "ApplicationInfoUnit", 164);
    FAIL();
  } catch (const EAssertionFailed& E) {
    EXPECT_EQ(E.Text(), "keine ApplicationInfoInt gesetzt!");
    EXPECT_EQ(E.Module(), "ApplicationInfoUnit");
    EXPECT_EQ(E.Line(), 164);
    EXPECT_STREQ(E.what(), "keine ApplicationInfoInt gesetzt! (ApplicationInfoUnit, Zeile 164)");
  }
}
