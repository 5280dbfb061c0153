#pragma once
// A window on the offscreen backend and the virtual clock for every test.
#include <gtest/gtest.h>

#include <memory>

#include "Platform/App/Application.h"
#include "Platform/App/Form.h"
#include "Platform/App/OffscreenBackend.h"
#include "Platform/Core/Clock.h"

namespace platform::testing {

// A surface control that paints one colour and counts its paints.
class SolidSurface : public Control {
public:
  using Control::Control;
  TColor32 Fill = 0xFF102030;
  int Paints = 0;
  TRect LastClip;
  void Paint() override {
    ++Paints;
    LastClip = PaintClip();
    const PixelView P = Canvas().Pixels();
    const TRect R = Canvas().ClipBox();
    for (std::int32_t Y = R.Top; Y < R.Bottom; ++Y)
      for (std::int32_t X = R.Left; X < R.Right; ++X) P.Row(Y)[X] = Fill;
  }
};

class OffscreenTest : public ::testing::Test {
protected:
  OffscreenTest(std::int32_t Width = 64, std::int32_t Height = 48) {
    auto B = std::make_unique<OffscreenBackend>(Clock, Width, Height);
    Screen = B.get();
    App().SetBackend(std::move(B));
    App().SetTitle("Testprogramm");
  }
  ~OffscreenTest() override {
    App().SetBackend(nullptr);
    App().OnCommand = {};
    App().OnRunLimit = {};
  }
  static Application& App() { return Application::Instance(); }

  VirtualClock Clock;
  ScopedClock UseClock{Clock};
  OffscreenBackend* Screen = nullptr;
};

}  // namespace platform::testing
