// The presentation's navigation with wrap-around, and its forwarding of
// input and stop to the current slide.
#include <gtest/gtest.h>

#include "Platform/Core/Clock.h"
#include "Slides/Slides.h"
#include "tests/Slides/RecordingPlayerWindow.h"
#include "tests/Slides/TestSlideObject.h"

namespace {

void AddSlides(TSlides& P, int Count) {
  for (int I = 0; I < Count; ++I) P.AddSlide(std::make_unique<TSlide>(), nullptr);
}

TEST(Slides, EmptyPresentationStaysWithoutCurrentSlide) {
  TSlides P;
  EXPECT_FALSE(P.NextSlide());
  EXPECT_EQ(P.CurrentIndex, -1);
  EXPECT_FALSE(P.PreviousSlide());
  EXPECT_EQ(P.CurrentIndex, -1);
  EXPECT_EQ(P.CurrentSlide(), nullptr);
  std::uint16_t Key = 13;
  P.KeyDown(nullptr, Key, 0);
  P.MouseDown(nullptr, TMouseButton::mbLeft, 0, 1, 1);
  P.StopCurrentObject();
}

TEST(Slides, OneSlideWrapsOntoItselfAndIsReset) {
  TSlides P;
  AddSlides(P, 1);
  EXPECT_FALSE(P.NextSlide());  // from the reset state: no wrap
  EXPECT_EQ(P.CurrentIndex, 0);
  TSlide& S = *P.CurrentSlide();
  S.CurrentIndex = 0;
  S.NextRequested = true;
  EXPECT_TRUE(P.NextSlide());
  EXPECT_EQ(P.CurrentIndex, 0);
  EXPECT_EQ(S.CurrentIndex, -1);
  EXPECT_FALSE(S.NextRequested);
}

TEST(Slides, ThreeSlidesWrapBothWays) {
  TSlides P;
  AddSlides(P, 3);
  const struct {
    int From;
    bool Forward;
    int To;
    bool Wrapped;
  } Moves[] = {{2, true, 0, true}, {0, false, 2, true}, {1, true, 2, false}, {1, false, 0, false},
               {-1, true, 0, false}, {-1, false, 2, true}};
  for (const auto& M : Moves) {
    P.CurrentIndex = M.From;
    EXPECT_EQ(M.Forward ? P.NextSlide() : P.PreviousSlide(), M.Wrapped) << M.From << (M.Forward ? " next" : " previous");
    EXPECT_EQ(P.CurrentIndex, M.To);
  }
  P.Reset();
  EXPECT_EQ(P.CurrentSlide(), nullptr);
}

TEST(Slides, InputAndStopReachTheCurrentObjectOfTheCurrentSlide) {
  platform::VirtualClock Clock;
  platform::ScopedClock UseClock(Clock);
  RecordingPlayerWindow Window;
  std::vector<std::string> Log;
  TSlides P;
  AddSlides(P, 2);
  auto Obj = std::make_unique<TTestSlideObject>();
  Obj->Journal = &Log;
  Obj->StepsToFinish = -1;
  P.Slides[1]->Objects.AddObject(std::move(Obj));
  P.CurrentIndex = 0;
  P.NextSlide();
  P.CurrentSlide()->Step();
  Log.clear();
  std::uint16_t Key = 32;
  P.KeyDown(nullptr, Key, 0);
  P.MouseMove(nullptr, 0, 3, 4);
  P.StopCurrentObject();
  EXPECT_EQ(Log, (std::vector<std::string>{"KeyDown 0", "MouseMove 0", "Stop 0"}));
}

}  // namespace
