// The random transition: the choice, the forwarding and its pace, the file
// names it needs, and the registration order of every transition class.
#include <gtest/gtest.h>

#include <set>

#include "Platform/Core/Random.h"
#include "Transitions/TransitionClasses.h"
#include "tests/Transitions/TransitionTestSupport.h"

using namespace transition_test;

namespace {

TEST(RandomTransition, RegistersEveryTransitionInTheTablesOrder) {
  const std::vector<std::string> Expected{
      "TTPRandomTransition", "TTPAlphablendingMMX", "TTPAlphablendingSmootherMMX",
      "TTPBoxAllSimultaneousTransition", "TTPBoxTopLeftToBottomRightTransition",
      "TTPBoxTopRightToBottomLeftTransition", "TTPBoxBottomRightToTopLeftTransition",
      "TTPBoxBottomLeftToTopRightTransition", "TTPBoxRandomLargeTransition", "TTPBoxRandomMediumTransition",
      "TTPBoxRandomSmallTransition", "TTPBoxCircleGrowTransition", "TTPBoxCircleShrinkTransition",
      "TTPBoxCircleRingTransition", "TTPBoxSmallCirclesTransition", "TTPBoxPicCircleTransition",
      "TTPBoxPicCircleFadeTransition", "TTPBoxMODEffektTransition", "TTPBoxRadarTransition",
      "TTPBoxSpriralRadarTransition", "TTPBoxQuarterRadarTransition", "TTPBoxQuarterSpiralRadarTransition",
      "TTPBoxPicRadarEffekt2Transition", "TTPBoxPicEffekt9Transition", "TTPBoxPicStarEffekt2Transition",
      "TTPBoxPicStarEffekt3Transition", "TTPBoxPicStarEffekt4Transition", "TTPBoxPicEffektHeartTransition",
      "TTPBoxPicEffekt13Transition", "TTPBoxPicSwirl2Transition", "TTPBoxPicEffekt1Transition",
      "TTPBoxPicEffekt2Transition", "TTPBoxPicEffekt3Transition", "TTPBoxPicEffekt4Transition",
      "TTPBoxPicEffekt5Transition", "TTPBoxPicEffekt6Transition", "TTPBoxPicEffekt7Transition",
      "TTPBoxPicEffekt8Transition", "TTPBoxPicEffekt10Transition", "TTPBoxPicEffekt11Transition",
      "TTPBoxPicEffekt12Transition", "TTPBoxPicEffekt15Transition"};
  TPlugins Registry;
  RegisterTransitionClasses(Registry);
  ASSERT_EQ(Registry.Count(), 42);
  for (std::int32_t I = 0; I < 42; ++I) {
    const TPluginClassRef C = Registry.Items(I)->PluginClass();
    EXPECT_EQ(C->ClassName(), Expected[I]);
    EXPECT_TRUE(C->InheritsFrom(TTransitionPlugin::StaticClass()));
    EXPECT_FALSE(C->Caption().empty());
  }
  // The abstract bases are not registered.
  EXPECT_FALSE(Registry.FindPlugin("TTransitionPlugin"));
  EXPECT_FALSE(Registry.FindPlugin("TTPBoxTransition"));
  EXPECT_FALSE(Registry.FindPlugin("TTPBoxPicTransition"));
  EXPECT_EQ(TTPRandomTransition::StaticClass()->Caption(), "Zuf\xE4llige \xDC" "berblendung");
  EXPECT_EQ(TTPBoxBottomLeftToTopRightTransition::StaticClass()->Caption(),
            TTPBoxTopLeftToBottomRightTransition::StaticClass()->Caption());
}

TEST(RandomTransition, NeverChoosesItselfAndReachesEveryOtherClass) {
  TPlugins Registry;
  RegisterTransitionClasses(Registry);
  platform::ProgramRandom().Seed(2024);
  TTPRandomTransition T;
  std::set<std::string_view> Chosen;
  for (int I = 0; I < 3000; ++I) {
    const TPluginClassRef C = T.ChooseTransitionClass(Registry);
    ASSERT_NE(C, nullptr);
    ASSERT_NE(C, TTPRandomTransition::StaticClass());
    Chosen.insert(C->ClassName());
  }
  EXPECT_EQ(Chosen.size(), 41u);
  // Emptied slots of the candidates leave the registry whole.
  EXPECT_EQ(Registry.Count(), 42);
  for (std::int32_t I = 0; I < 42; ++I) EXPECT_NE(Registry.Items(I), nullptr);

  // Alone in its registry, it finds nothing; without any transition too.
  TPlugins OnlyItself;
  OnlyItself.RegisterPlugin(TTPRandomTransition::StaticClass());
  EXPECT_EQ(T.ChooseTransitionClass(OnlyItself), nullptr);
  EXPECT_EQ(T.ChooseTransitionClass(TPlugins()), nullptr);
}

TEST(RandomTransition, ForwardsToAFreshChoiceAtTheBarePace) {
  RegisterOnce();
  platform::ProgramRandom().Seed(99);
  constexpr std::int32_t W = 64, H = 48;
  TBitmap32 Target;
  FillPattern(Target, W, H, 31);
  std::set<std::string_view> Seen;
  for (int Run = 0; Run < 6; ++Run) {
    platform::VirtualClock Clock(0);
    platform::ScopedClock Use(Clock);
    RecordingCanvas Canvas(W, H, 0xFF000000u);
    TBitmap32 Source;
    FillPattern(Source, W, H, 32);
    TTPRandomTransition T;
    T.InitTransition(TRect{0, 0, W, H}, &Source, &Target, Canvas);
    ASSERT_NE(T.Current(), nullptr);
    EXPECT_EQ(T.Current()->StepInterval(), 0u);
    EXPECT_EQ(T.Current()->Rect(), (TRect{0, 0, W, H}));
    Seen.insert(T.Current()->ClassName());
    std::int32_t Steps = 0;
    while (!T.Finished()) {
      T.Step();
      T.WaitForNextStep();
      ++Steps;
    }
    // Every step of the chosen one is followed by the bare 11 ms wait.
    EXPECT_EQ(Clock.Elapsed(), 11u * static_cast<std::uint64_t>(Steps));
    EXPECT_EQ(Canvas.Image(), Pixels(Target.Bits(), Target.Bits() + W * H));
    T.ResetTransition();
    EXPECT_EQ(T.Current(), nullptr);
    EXPECT_TRUE(T.Finished());
  }
  EXPECT_GT(Seen.size(), 1u) << "each run chooses anew";
}

TEST(RandomTransition, UsedFilenamesListsEveryMaskOncePerClass) {
  RegisterOnce();
  const std::vector<std::string> Expected{
      "drops.jpg",       "dropsfade.jpg",   "radar1.jpg",  "StarEffekt.jpg", "stareffekt1.jpg", "stareffekt2.jpg",
      "stareffekt3.jpg", "heart.jpg",       "swirl.jpg",   "swirl1.jpg",     "hairs.jpg",       "hairs1.jpg",
      "effekt1.jpg",     "effekt2.jpg",     "effekt3.jpg", "effekt4.jpg",    "effekt5.jpg",     "effekt6.jpg",
      "effekt7.jpg",     "effekt8.jpg",     "effekt9.jpg", "effekt11.jpg"};
  EXPECT_EQ(TTPRandomTransition::StaticClass()->UsedFilenames(), Expected);
}

}  // namespace
