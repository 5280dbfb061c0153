// The picture object on a stage: finding and decoding its file, both drawing
// paths, the transition run, and the generic drawing through the cache.
#include <gtest/gtest.h>

#include <stdexcept>

#include "CommonImplementations/Color32.h"
#include "Platform/Core/Clock.h"
#include "SlideObjects/PVPPicture.h"
#include "SlideObjects/PVPText.h"
#include "Tools/MediaFiles.h"
#include "Transitions/TransitionPlugin.h"
#include "tests/Pictures/Encoders.h"
#include "tests/SlideObjectsShow/StageWindow.h"
#include "tests/Tools/TempFolder.h"

namespace {

// What the test transitions saw of their run.
struct TransitionLog {
  int Inits = 0;
  int Steps = 0;
  int Resets = 0;
  TRect Rect;
  bool HadSource = false;
  TBitmap32 Source;
  TBitmap32 Target;
  bool ThrowInStep = false;
};
TransitionLog* Log = nullptr;

}  // namespace

// Two steps, each putting the whole target onto the window canvas.
class TTestTransition : public TTransitionPlugin {
  LMO_PLUGIN(TTestTransition, TTransitionPlugin)
public:
  void InitTransition(TRect ARect, TBitmap32* Source, TBitmap32* Target, platform::PaintDevice& ACanvas) override {
    TTransitionPlugin::InitTransition(ARect, Source, Target, ACanvas);
    ++Log->Inits;
    Log->Rect = ARect;
    Log->HadSource = Source != nullptr;
    Log->Source.Assign(Source);
    Log->Target.Assign(Target);
  }
  void ResetTransition() override {
    if (TargetBitmap() && Log) ++Log->Resets;
    TTransitionPlugin::ResetTransition();
  }
  void Step() override {
    ++StepCount_;
    ++Log->Steps;
    if (Log->ThrowInStep) throw std::runtime_error("Schritt fehlgeschlagen");
    DrawTarget();
  }
  bool Finished() override { return StepCount_ >= 2; }
};

class TTestSourceTransitionClass : public TTestTransition::TMetaClass {
public:
  bool NeedsSourceBitmap() const override { return true; }
  std::vector<std::string> UsedFilenames() const override { return {"heart.jpg", "star.jpg"}; }
};

class TTestSourceTransition : public TTestTransition {
  LMO_PLUGIN_WITH_CLASS(TTestSourceTransition, TTestTransition, TTestSourceTransitionClass)
};

namespace {

constexpr TColor32 PictureColor = 0xFFC8285A;  // a flat JPEG of (200, 40, 90)
constexpr TColor32 StageColor = 0xFF204060;

picturetest::ByteVector FlatJpeg(int Width, int Height, std::uint8_t R, std::uint8_t G, std::uint8_t B) {
  picturetest::ByteVector Samples(std::size_t(Width) * Height * 3);
  for (std::size_t I = 0; I < Samples.size(); I += 3) {
    Samples[I] = R;
    Samples[I + 1] = G;
    Samples[I + 2] = B;
  }
  return picturetest::WriteJpeg(Width, Height, 3, Samples);
}

std::string Text(const picturetest::ByteVector& Bytes) { return std::string(Bytes.begin(), Bytes.end()); }

class PictureShow : public ::testing::Test {
protected:
  void SetUp() override {
    Log = &Record;
    PresentationFolder = Folder.Path();
    Stage.Buffer().FillArea(0, 0, 200, 100, StageColor);
  }
  void TearDown() override {
    PresentationFolder = SavedFolder;
    Log = nullptr;
  }

  // A picture of the flat JPEG stored under an authoring machine's path
  // that exists here only in the presentation folder as Name.
  std::unique_ptr<TPVPPicture> PictureIn(const std::string& Name, TPluginClassRef Transition = nullptr) {
    Folder.File(Name, Text(FlatJpeg(40, 30, 200, 40, 90)));
    auto P = std::make_unique<TPVPPicture>();
    P->FileName = "C:\\Bilder\\" + Name;
    P->Placement = RelRect(0.25, 0.5, 0.75, 1.0);  // (50, 50, 150, 100) on the 200 x 100 stage
    P->TransitionClass = Transition;
    return P;
  }
  void Show(TPVPPicture& P) {
    P.Start(&Stage);
    P.Step();
  }
  TColor32 StageAt(int X, int Y) { return Stage.Buffer().Pixel(X, Y); }

  platform::VirtualClock Clock;
  platform::ScopedClock UseClock{Clock};
  TempFolder Folder;
  StageWindow Stage{200, 100};
  TransitionLog Record;
  std::string SavedFolder = PresentationFolder;
};

TEST_F(PictureShow, FoundInThePresentationFolderAndStretchedIntoItsPlacement) {
  for (const std::string Name : {"foto.jpg", "FOTO.JPG"}) {
    SCOPED_TRACE(Name);
    Stage.Buffer().FillArea(0, 0, 200, 100, StageColor);
    Stage.Calls.clear();
    auto P = PictureIn(Name);
    Show(*P);
    EXPECT_EQ(P->State, 2);
    EXPECT_FALSE(P->Picture) << "the decoded picture is released after the step";
    EXPECT_EQ(Stage.Count("InvalidateAll"), 1u);
    EXPECT_TRUE(NearColor(StageAt(50, 50), PictureColor, 3));
    EXPECT_TRUE(NearColor(StageAt(149, 99), PictureColor, 3));
    EXPECT_EQ(StageAt(49, 50), StageColor);
    EXPECT_EQ(StageAt(150, 99), StageColor);
    EXPECT_EQ(StageAt(100, 49), StageColor);
    EXPECT_TRUE(Stage.Window().Areas.empty()) << "without a transition nothing goes straight to the window";
  }
}

TEST_F(PictureShow, AFileThatCannotBeShownDrawsNothingAndTheObjectFinishes) {
  // JPEG data under a png name (the extension decides), a missing file, a
  // folder of the picture's name, an extension no decoder knows.
  Folder.File("foto.png", Text(FlatJpeg(8, 8, 1, 2, 3)));
  Folder.Folder("ordner.jpg");
  Folder.File("notiz.txt", "kein Bild");
  for (const std::string Name : {"foto.png", "fehlt.jpg", "ordner.jpg", "notiz.txt"}) {
    for (TPluginClassRef Transition : std::vector<TPluginClassRef>{nullptr, TTestTransition::StaticClass()}) {
      SCOPED_TRACE(Name);
      Stage.Calls.clear();
      TPVPPicture P;
      P.FileName = "C:\\Bilder\\" + Name;
      P.TransitionClass = Transition;
      P.TimingMode = 2;
      Show(P);
      EXPECT_EQ(P.State, 2);
      EXPECT_TRUE(P.IsFinished());
      EXPECT_TRUE(Stage.Calls.empty());
      EXPECT_EQ(StageAt(100, 50), StageColor);
    }
  }
  EXPECT_EQ(Record.Inits, 0);
}

TEST_F(PictureShow, FillWithoutPictureOrTransitionFillsTheBufferButDoesNotInvalidate) {
  TPVPPicture P;
  P.FileName = "C:\\Bilder\\fehlt.jpg";
  P.TransitionClass = nullptr;
  P.FillBackground = true;
  P.FillColor = 0x00336699;  // platform colour: red 0x99, green 0x66, blue 0x33
  Show(P);
  EXPECT_EQ(StageAt(0, 0), 0xFF996633u);
  EXPECT_EQ(StageAt(199, 99), 0xFF996633u);
  EXPECT_EQ(Stage.Count("InvalidateAll"), 0u);
}

TEST_F(PictureShow, FillWithoutTransitionPaintsTheStageThenThePicture) {
  auto P = PictureIn("foto.jpg");
  P->FillBackground = true;
  P->FillColor = 0x00FFFFFF;
  Show(*P);
  EXPECT_EQ(StageAt(10, 10), 0xFFFFFFFFu);
  EXPECT_TRUE(NearColor(StageAt(60, 60), PictureColor, 3));
  EXPECT_EQ(Stage.Count("InvalidateAll"), 1u);
}

TEST_F(PictureShow, AFilledPicturesTransitionCoversTheWholeStage) {
  auto P = PictureIn("foto.jpg", TTestTransition::StaticClass());
  P->FillBackground = true;
  P->FillColor = 0x000000FF;  // red
  Show(*P);
  ASSERT_EQ(Record.Inits, 1);
  EXPECT_EQ(Record.Rect, (TRect{0, 0, 200, 100}));
  ASSERT_EQ(Record.Target.Width(), 200);
  ASSERT_EQ(Record.Target.Height(), 100);
  EXPECT_EQ(Record.Target.Pixel(10, 10), 0xFFFF0000u);
  EXPECT_EQ(Record.Target.Pixel(49, 99), 0xFFFF0000u);
  EXPECT_TRUE(NearColor(Record.Target.Pixel(50, 50), PictureColor, 3));
  EXPECT_TRUE(NearColor(Record.Target.Pixel(149, 99), PictureColor, 3));
  // The frames went to the window; the buffer holds the final picture and
  // nothing is invalidated.
  EXPECT_EQ(Record.Steps, 2);
  EXPECT_EQ(Stage.Window().Areas.size(), 2u);
  EXPECT_EQ(Stage.Window().Pixel(10, 10), 0xFFFF0000u);
  EXPECT_EQ(StageAt(10, 10), 0xFFFF0000u);
  EXPECT_TRUE(NearColor(StageAt(100, 75), PictureColor, 3));
  EXPECT_EQ(Stage.Count("InvalidateAll"), 0u);
  EXPECT_EQ(Record.Resets, 1);
  EXPECT_EQ(P->State, 2);
}

TEST_F(PictureShow, TheSourceBitmapIsMadeOnlyForClassesThatNeedOne) {
  // The stage under the picture's rectangle holds a marker pixel.
  Stage.Buffer().SetPixel(50, 50, 0xFF010203);
  auto Plain = PictureIn("foto.jpg", TTestTransition::StaticClass());
  Show(*Plain);
  EXPECT_FALSE(Record.HadSource);
  EXPECT_EQ(Record.Rect, (TRect{50, 50, 150, 100}));

  Stage.Buffer().FillArea(0, 0, 200, 100, StageColor);
  Stage.Buffer().SetPixel(50, 50, 0xFF010203);
  auto Needing = PictureIn("foto.jpg", TTestSourceTransition::StaticClass());
  Show(*Needing);
  ASSERT_TRUE(Record.HadSource);
  ASSERT_EQ(Record.Source.Width(), 100);
  ASSERT_EQ(Record.Source.Height(), 50);
  EXPECT_EQ(Record.Source.Pixel(0, 0), 0xFF010203u);
  EXPECT_EQ(Record.Source.Pixel(99, 49), StageColor);
}

TEST_F(PictureShow, APictureReachingBeyondTheStageGetsASourceOfWhatTheStageShows) {
  auto P = PictureIn("foto.jpg", TTestSourceTransition::StaticClass());
  P->Placement = RelRect(0.5, 0.5, 1.5, 1.5);  // (100, 50, 300, 150)
  Show(*P);
  ASSERT_EQ(Record.Inits, 1);
  EXPECT_EQ(Record.Source.Pixel(0, 0), StageColor);
  EXPECT_EQ(Record.Source.Pixel(99, 49), StageColor);
  EXPECT_EQ(Record.Source.Pixel(100, 50), 0u) << "beyond the stage the source stays black";
  EXPECT_TRUE(NearColor(StageAt(199, 99), PictureColor, 3));
  EXPECT_EQ(P->State, 2);
}

TEST_F(PictureShow, ATransitionRectangleNoBitmapCanHoldShowsNothing) {
  auto P = PictureIn("foto.jpg", TTestTransition::StaticClass());
  P->Placement = RelRect(0, 0, 1e6, 1e6);
  Show(*P);
  EXPECT_EQ(Record.Inits, 0);
  EXPECT_EQ(P->State, 2);
}

TEST_F(PictureShow, AClassOfAnotherFamilyShowsThePictureWithoutTransition) {
  auto P = PictureIn("foto.jpg", TPVPText::StaticClass());
  EXPECT_TRUE(P->UsedProgramFilenames().empty());
  Show(*P);
  EXPECT_TRUE(NearColor(StageAt(100, 75), PictureColor, 3));
  EXPECT_EQ(Stage.Count("InvalidateAll"), 1u);
}

TEST_F(PictureShow, AFailingTransitionPropagatesAndLeavesTheObjectUnfinished) {
  auto P = PictureIn("foto.jpg", TTestTransition::StaticClass());
  Record.ThrowInStep = true;
  P->Start(&Stage);
  EXPECT_THROW(P->Step(), std::runtime_error);
  EXPECT_EQ(Record.Resets, 1);
  EXPECT_LT(P->State, 2);
  EXPECT_EQ(StageAt(100, 75), StageColor);
}

TEST_F(PictureShow, APictureShownTwiceIsDecodedAndTransitionedAgain) {
  auto P = PictureIn("foto.jpg", TTestTransition::StaticClass());
  Show(*P);
  EXPECT_TRUE(NearColor(StageAt(100, 75), PictureColor, 3));
  // The file changes between the two runs: the second shows the new one.
  Folder.File("foto.jpg", Text(FlatJpeg(40, 30, 10, 220, 30)));
  P->Stop();
  Show(*P);
  EXPECT_EQ(Record.Inits, 2);
  EXPECT_TRUE(NearColor(StageAt(100, 75), 0xFF0ADC1E, 3));
}

TEST_F(PictureShow, AMetafileIsRenderedAtItsPlacement) {
  const std::string Source = std::string(LMO_SOURCE_DIR) + "/examples/demo/media/flowerpot.wmf";
  for (TPluginClassRef Transition : std::vector<TPluginClassRef>{nullptr, TTestTransition::StaticClass()}) {
    SCOPED_TRACE(Transition ? "with transition" : "without");
    Stage.Buffer().FillArea(0, 0, 200, 100, StageColor);
    TPVPPicture P;
    P.FileName = Source;
    P.Placement = RelRect(0.25, 0.5, 0.75, 1.0);
    P.TransitionClass = Transition;
    Show(P);
    // The whole rectangle is covered: over black without a transition, over
    // white with one; the drawing itself shows in it.
    const TColor32 Ground = Transition ? 0xFFFFFFFFu : 0xFF000000u;
    int Drawn = 0;
    for (int Y = 50; Y < 100; ++Y)
      for (int X = 50; X < 150; ++X) {
        ASSERT_NE(StageAt(X, Y), StageColor) << X << "," << Y;
        Drawn += StageAt(X, Y) != Ground;
      }
    EXPECT_GT(Drawn, 100);
    EXPECT_EQ(StageAt(49, 50), StageColor);
  }
}

TEST_F(PictureShow, LoadPictureDecodesLargeJpegsAtTheDrawnSize) {
  Folder.File("gross.jpg", Text(FlatJpeg(1600, 800, 200, 40, 90)));
  TPVPPicture P;
  P.FileName = "gross.jpg";
  P.LoadPicture(false, platform::DecodeHints{180, 90});
  ASSERT_TRUE(P.Picture);
  EXPECT_EQ(P.Picture->Width(), 200);  // 1/8 still covers 180 x 90
  EXPECT_EQ(P.Picture->Height(), 100);
  const platform::Picture* First = P.Picture.get();
  P.LoadPicture(false);
  EXPECT_EQ(P.Picture.get(), First) << "kept without Force";
  P.LoadPicture(true);
  EXPECT_EQ(P.Picture->Width(), 1600);
}

TEST_F(PictureShow, UsedFilenamesNameThePictureAndTheTransitionsDataFiles) {
  auto P = PictureIn("foto.jpg", TTestSourceTransition::StaticClass());
  EXPECT_EQ(P->UsedFilenames(), std::vector<std::string>{"C:\\Bilder\\foto.jpg"});
  EXPECT_EQ(P->UsedProgramFilenames(), (std::vector<std::string>{"heart.jpg", "star.jpg"}));
  P->TransitionClass = nullptr;
  EXPECT_TRUE(P->UsedProgramFilenames().empty());
}

TEST_F(PictureShow, GenericDrawingFillsTheStageAndReusesTheCache) {
  auto P = PictureIn("foto.jpg");
  P->FillBackground = true;
  P->FillColor = 0x00FFFFFF;
  TBitmap32 Preview;
  Preview.Resize(200, 100);
  {
    auto Canvas = CanvasOnBitmap(Preview);
    P->Draw(*Canvas, Preview.FullRect());
  }
  ASSERT_TRUE(P->Cache);
  EXPECT_EQ(P->Cache->Width(), 100);
  EXPECT_EQ(Preview.Pixel(10, 10), 0xFFFFFFFFu);
  EXPECT_TRUE(NearColor(Preview.Pixel(100, 75), PictureColor, 3));

  const TBitmap32* Made = P->Cache.get();
  P->PrepareCache(TRect{50, 50, 150, 100}, Preview.FullRect(), false);
  EXPECT_EQ(P->Cache.get(), Made);
  P->FileName.clear();  // a repaint now shows no picture: the cache is black
  P->FreePicture();
  P->PrepareCache(TRect{50, 50, 150, 100}, Preview.FullRect(), true);
  ASSERT_TRUE(P->Cache);
  EXPECT_EQ(P->Cache->Pixel(50, 25), 0xFF000000u);
  P->ReleaseResources();
  EXPECT_FALSE(P->Cache);
}

TEST_F(PictureShow, AssignSharesTheDecodedPicture) {
  auto P = PictureIn("foto.jpg", TTestTransition::StaticClass());
  P->LoadPicture(false);
  TPVPPicture Copy;
  Copy.Assign(P.get());
  EXPECT_EQ(Copy.Picture, P->Picture);
  EXPECT_EQ(Copy.TransitionClass, TTestTransition::StaticClass());
  TPVPPicture Empty;
  Copy.Assign(&Empty);
  EXPECT_FALSE(Copy.Picture);
}

}  // namespace
