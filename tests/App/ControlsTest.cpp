// Controls: layout on resize, hit testing of panels above the surface, tool
// buttons, key preview and focus, the pointer counter, coordinates.
#include <gtest/gtest.h>

#include "Platform/App/Timer.h"
#include "Platform/App/ToolBar.h"
#include "tests/App/AppTestSupport.h"

namespace platform::testing {
namespace {

using K = InputEvent::Kind;

class ControlsTest : public OffscreenTest {
protected:
  ControlsTest() : OffscreenTest(739, 430) {}
};

TEST_F(ControlsTest, AlignmentAndAnchorsFollowTheWindowSize) {
  Form Window;
  Window.SetBounds(0, 0, 739, 430);
  SolidSurface Surface(&Window);
  Surface.SetAlign(Align::Client);
  Panel Corner(&Window);
  Corner.SetBounds(0, 373, 48, 57);
  Corner.SetAnchors(AnchorLeft | AnchorBottom);
  Panel Stretch(&Window);
  Stretch.SetBounds(10, 10, 719, 20);
  Stretch.SetAnchors(AnchorLeft | AnchorTop | AnchorRight);
  int SurfaceResizes = 0;
  Surface.OnResize = [&](Control&) { ++SurfaceResizes; };
  Window.SetBounds(0, 0, 1024, 768);
  EXPECT_EQ(Surface.BoundsRect(), (TRect{0, 0, 1024, 768}));
  EXPECT_EQ(Corner.BoundsRect(), (TRect{0, 711, 48, 768}));
  EXPECT_EQ(Stretch.BoundsRect(), (TRect{10, 10, 1014, 30}));
  EXPECT_EQ(SurfaceResizes, 1);
  Window.SetBounds(0, 0, 1024, 768);  // same size: nothing happens
  EXPECT_EQ(SurfaceResizes, 1);
}

TEST_F(ControlsTest, AModalWindowCoversThePrimaryScreen) {
  Form Window;
  SolidSurface Surface(&Window);
  Surface.SetAlign(Align::Client);
  TRect Seen;
  Window.OnShow = [&](Form& F) {
    Seen = F.BoundsRect();
    F.Close();
  };
  Window.ShowModal();
  EXPECT_EQ(Seen, (TRect{0, 0, 739, 430}));
  EXPECT_EQ(Surface.ClientRect(), (TRect{0, 0, 739, 430}));
}

TEST_F(ControlsTest, ScreenAndClientCoordinates) {
  Form Window;
  Window.SetBounds(100, 50, 300, 200);
  Panel Outer(&Window);
  Outer.SetBounds(10, 20, 100, 100);
  Panel Inner(&Outer);
  Inner.SetBounds(5, 6, 10, 10);
  EXPECT_EQ(Inner.ClientToScreen(TPoint{1, 2}), (TPoint{116, 78}));
  EXPECT_EQ(Inner.ScreenToClient(TPoint{116, 78}), (TPoint{1, 2}));
  EXPECT_EQ(Window.ScreenToClient(TPoint{100, 50}), (TPoint{0, 0}));
}

TEST_F(ControlsTest, PanelsAboveTheSurfaceGetTheMouseAndHideWithoutARepaint) {
  Form Window;
  SolidSurface Surface(&Window);
  Surface.SetAlign(Align::Client);
  Surface.Fill = 0xFF0000FF;
  Panel Bar(&Window);
  Bar.SetBounds(100, 100, 50, 20);
  Bar.Color = 0xFFFF0000;
  Bar.Bevel = false;
  Bar.Hide();
  std::vector<std::string> Hits;
  Surface.OnMouseDown = [&](Control&, MouseButton, ShiftState, std::int32_t X, std::int32_t Y) {
    Hits.push_back("surface " + std::to_string(X) + "," + std::to_string(Y));
  };
  Bar.OnMouseDown = [&](Control&, MouseButton, ShiftState, std::int32_t X, std::int32_t Y) {
    Hits.push_back("bar " + std::to_string(X) + "," + std::to_string(Y));
  };
  InputEvent Down;
  Down.Type = K::MouseDown;
  Down.Position = TPoint{110, 105};
  InputEvent Up = Down;
  Up.Type = K::MouseUp;
  Screen->AddEvent(10, Down);
  Screen->AddEvent(10, Up);
  Timer Toggle;
  Toggle.SetInterval(20);
  Toggle.SetOnTimer([&](Timer& T) {
    if (!Bar.Visible()) Bar.Show();
    else {
      Bar.Hide();
      T.SetEnabled(false);
    }
  });
  Screen->AddEvent(30, Down);
  Screen->AddEvent(30, Up);
  Screen->SetRunLimit(50);
  Window.ShowModal();
  EXPECT_EQ(Hits, (std::vector<std::string>{"surface 110,105", "bar 10,5"}));
  const int PaintsAtEnd = Surface.Paints;
  EXPECT_EQ(PaintsAtEnd, 1);  // showing and hiding the panel needed no paint
  ASSERT_NE(Screen->FrameAt(25), nullptr);
  EXPECT_EQ(Screen->FrameAt(25)->At(120, 110), 0xFFFF0000u);
  EXPECT_EQ(Screen->FrameAt(45)->At(120, 110), 0xFF0000FFu);
}

std::vector<TColor32> Plain(TColor32 C) { return std::vector<TColor32>(39 * 49, C); }

TEST_F(ControlsTest, ToolButtonsClickToggleAndShowHotImages) {
  Form Window;
  SolidSurface Surface(&Window);
  Surface.SetAlign(Align::Client);
  Panel Holder(&Window);
  Holder.SetBounds(0, 373, 232, 57);
  ToolBar Bar(&Holder);
  Bar.SetBounds(1, 1, 230, 55);
  Bar.ButtonWidth = 46;
  Bar.ButtonHeight = 55;
  ImageList Normal(39, 49), Hot(39, 49);
  ASSERT_EQ(Normal.Add(Plain(0xFF00FF00)), 0);
  ASSERT_EQ(Hot.Add(Plain(0xFFFFFF00)), 0);
  EXPECT_EQ(Normal.Add(std::vector<TColor32>(10)), -1);
  Bar.Images = &Normal;
  Bar.HotImages = &Hot;
  ToolButton Play(Bar), Pause(Bar);
  Play.ImageIndex = Pause.ImageIndex = 0;
  Pause.Kind = ToolButton::Style::Check;
  EXPECT_EQ(Pause.BoundsRect(), (TRect{46, 0, 92, 55}));
  int Clicks = 0;
  bool DownInHandler = false;
  Pause.OnClick = [&](Control&) {
    ++Clicks;
    DownInHandler = Pause.Down();
  };
  // Pause's centre on the screen: (1 + 46 + 23, 373 + 1 + 27).
  const TPoint At{70, 401};
  InputEvent Move;
  Move.Type = K::MouseMove;
  Move.Position = At;
  InputEvent Down = Move, Up = Move;
  Down.Type = K::MouseDown;
  Up.Type = K::MouseUp;
  Screen->AddEvent(10, Move);
  Screen->AddEvent(20, Down);
  Screen->AddEvent(20, Up);
  InputEvent Away = Down;
  Away.Position = TPoint{400, 100};
  Screen->AddEvent(30, Down);   // pressed here, released elsewhere: no click
  Screen->AddEvent(30, [&] { InputEvent U = Up; U.Position = Away.Position; return U; }());
  Screen->SetRunLimit(40);
  Window.ShowModal();
  EXPECT_EQ(Clicks, 1);
  EXPECT_TRUE(DownInHandler);
  EXPECT_TRUE(Pause.Down());
  const Frame* Hovering = Screen->FrameAt(15);
  ASSERT_TRUE(Hovering);
  EXPECT_EQ(Hovering->At(At.X, At.Y), 0xFFFFFF00u);        // hot image
  EXPECT_EQ(Hovering->At(1 + 23, 373 + 1 + 27), 0xFF00FF00u);  // Play: normal image
  Pause.Click();  // a click from the program toggles too
  EXPECT_FALSE(Pause.Down());
  EXPECT_EQ(Clicks, 2);
}

TEST_F(ControlsTest, KeyPreviewAndFocusDecideWhoSeesAKey) {
  Form Window;
  SolidSurface Surface(&Window);  // no tab stop: never takes the focus
  Surface.SetAlign(Align::Client);
  Control Child(&Window);
  Child.TabStop = true;
  std::vector<std::string> Log;
  Window.OnKeyDown = [&](Control&, std::uint16_t& Key, ShiftState) { Log.push_back("form " + std::to_string(Key)); };
  Child.OnKeyDown = [&](Control&, std::uint16_t& Key, ShiftState) { Log.push_back("child " + std::to_string(Key)); };
  Surface.OnKeyDown = [&](Control&, std::uint16_t& Key, ShiftState) { Log.push_back("surface " + std::to_string(Key)); };
  std::vector<bool> HadFocus;
  auto KeyAt = [&](std::uint64_t T, std::uint16_t Code) {
    InputEvent E;
    E.Type = K::KeyDown;
    E.Key = Code;
    Screen->AddEvent(T, E);
  };
  Window.KeyPreview = true;
  KeyAt(10, 65);
  Timer Step;
  Step.SetInterval(20);
  Step.SetOnTimer([&](Timer& T) {
    HadFocus.push_back(Window.WindowHasFocus());
    Surface.SetFocus();  // refused
    if (HadFocus.size() == 1) Child.SetFocus();
    else T.SetEnabled(false);
  });
  KeyAt(30, 66);
  InputEvent Out;
  Out.Type = K::FocusOut;
  Screen->AddEvent(35, Out);
  Screen->SetRunLimit(50);
  Window.ShowModal();
  EXPECT_EQ(Log, (std::vector<std::string>{"form 65", "form 66", "child 66"}));
  EXPECT_EQ(HadFocus, (std::vector<bool>{true, false}));
  EXPECT_FALSE(Window.Active());
}

TEST_F(ControlsTest, CursorCounterWorksLikeThePlatforms) {
  EXPECT_EQ(ShowCursor(false), -1);
  EXPECT_FALSE(Screen->CursorVisible());
  EXPECT_EQ(ShowCursor(false), -2);
  EXPECT_EQ(ShowCursor(true), -1);
  EXPECT_FALSE(Screen->CursorVisible());
  EXPECT_EQ(ShowCursor(true), 0);
  EXPECT_TRUE(Screen->CursorVisible());
}

TEST_F(ControlsTest, CloseCanBeRefusedAndAPlatformCloseEndsTheRun) {
  Form Window;
  int Asked = 0;
  Window.OnClose = [&](Form&, CloseAction& Action) {
    if (++Asked == 1) Action = CloseAction::None;
  };
  InputEvent Close;
  Close.Type = K::CloseRequest;
  Screen->AddEvent(10, Close);
  Screen->AddEvent(20, Close);
  Screen->AddEvent(1000, Close);
  Window.ShowModal();
  EXPECT_EQ(Asked, 2);
  EXPECT_EQ(Clock.Elapsed(), 20u);
  EXPECT_FALSE(Screen->WindowOpen());
}

}  // namespace
}  // namespace platform::testing
