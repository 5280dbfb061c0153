// Process-wide services the application fills: the message box and
// process-messages hooks, and the debugger trace.
#include <gtest/gtest.h>

#include <cstdlib>

#include "Platform/App/DebugTrace.h"
#include "Platform/App/Timer.h"
#include "Platform/Core/Hooks.h"
#include "tests/App/AppTestSupport.h"

namespace platform::testing {
namespace {

class ServicesTest : public OffscreenTest {};

TEST_F(ServicesTest, MessageBoxHookShowsTheTextUnderTheApplicationTitle) {
  ::testing::internal::CaptureStderr();
  platform::ShowMessageBox("Datei \"x.lmo\" nicht gefunden!");
  ::testing::internal::GetCapturedStderr();
  ASSERT_EQ(Screen->MessageBoxes.size(), 1u);
  EXPECT_EQ(Screen->MessageBoxes[0].first, "Testprogramm");
  EXPECT_EQ(Screen->MessageBoxes[0].second, "Datei \"x.lmo\" nicht gefunden!");
}

TEST_F(ServicesTest, LongWorkThatProcessesMessagesSeesInputButNoTimer) {
  Form Window;
  Window.KeyPreview = true;
  int Keys = 0, Ticks = 0, TicksDuringWork = -1;
  Window.OnKeyDown = [&](Control&, std::uint16_t&, ShiftState) { ++Keys; };
  Timer Tick;
  Tick.SetInterval(10);
  Tick.SetOnTimer([&](Timer&) { ++Ticks; });
  Timer Work;
  Work.SetInterval(50);
  Work.SetOnTimer([&](Timer& W) {
    W.SetEnabled(false);
    const int Before = Ticks;
    for (int Block = 0; Block < 5; ++Block) {
      Sleep(20);  // copying one block
      platform::ProcessMessages();
    }
    TicksDuringWork = Ticks - Before;
  });
  InputEvent Key;
  Key.Type = InputEvent::Kind::KeyDown;
  Key.Key = 65;
  Screen->AddEvent(80, Key);
  int KeysAfterWork = -1;
  App().OnRunLimit = [&] {
    KeysAfterWork = Keys;
    Window.Close();
  };
  Screen->SetRunLimit(150);
  Window.ShowModal();
  EXPECT_EQ(TicksDuringWork, 0);
  EXPECT_EQ(KeysAfterWork, 1);  // handled inside the work, at its next block
}

TEST(DebugTrace, WritesLinesOnlyWhenAsked) {
  ::unsetenv("LMOPLAYER_DEBUG");
  ::testing::internal::CaptureStderr();
  OutputDebugString("512 = 508");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  ::setenv("LMOPLAYER_DEBUG", "", 1);
  ::testing::internal::CaptureStderr();
  OutputDebugString("512 = 508");
  OutputDebugString("300 = 300");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "512 = 508\n300 = 300\n");
  ::unsetenv("LMOPLAYER_DEBUG");
}

}  // namespace
}  // namespace platform::testing
