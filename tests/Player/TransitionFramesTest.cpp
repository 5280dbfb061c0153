// The frames lmotool render writes for a tile transition and for both
// cross-fades, compared pixel for pixel, frame by frame and at their times,
// with frames computed here from the rules of the effects alone: the grid
// and growth of the tile wipes, the blend of the cross-fades.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>

#include "tests/Player/RenderTestSupport.h"
#include "tests/Transitions/TileGrowthRule.h"

namespace {

using namespace testbytes;
using namespace rendertest;

constexpr int StageW = 64, StageH = 48;

Picture Noise(unsigned Seed) {
  Picture P{StageW, StageH, std::vector<std::uint32_t>(StageW * StageH)};
  std::mt19937 Random(Seed);
  for (std::uint32_t& Pixel : P.Pixels) Pixel = Random() & 0xFFFFFF;
  return P;
}

// The screens a viewer sees: each distinct from the one before, the first
// from the screen the effect started on.
void AddScreen(std::vector<Picture>& Screens, const Picture& Old, const Picture& Screen) {
  if (!((Screens.empty() ? Old : Screens.back()) == Screen)) Screens.push_back(Screen);
}

// A tile wipe over the whole stage with the automatic density: tiles of
// about a tenth of the longer side (wide stages round down), one pixel
// larger than their step so neighbours overlap; each step grows a centred
// rectangle of the target by two pixels per side and tile, once a tile's
// start counter has counted up past zero.
std::vector<Picture> TileWipeScreens(const Picture& Old, const Picture& Target,
                                     const std::function<int(int Row, int Col, int Rows, int Cols)>& StartCounter) {
  const int Step = StageW / 10;  // the stage is wider than tall
  const int Cols = (StageW + Step - 1) / Step, Rows = (StageH + Step - 1) / Step;
  struct Tile {
    int Left, Top, Right, Bottom, W, H;
  };
  std::vector<Tile> Tiles;
  for (int R = 0; R < Rows; ++R)
    for (int C = 0; C < Cols; ++C) {
      const int S = StartCounter(R, C, Rows, Cols);
      Tiles.push_back({C * Step, R * Step, std::min(C * Step + Step + 1, StageW), std::min(R * Step + Step + 1, StageH),
                       S, S});
    }
  Picture Screen = Old;
  std::vector<Picture> Screens;
  for (bool Busy = true; Busy;) {
    Busy = false;
    for (Tile& T : Tiles) {
      const int Width = T.Right - T.Left, Height = T.Bottom - T.Top;
      if (T.W > Width && T.H > Height) continue;
      Busy = true;
      const bool Drawn = T.W > 0 && T.H > 0;
      if (Drawn) {
        const int X0 = Width > T.W ? T.Left + Width / 2 - T.W / 2 : T.Left;
        const int X1 = Width > T.W ? X0 + T.W : T.Right;
        const int Y0 = Height > T.H ? T.Top + Height / 2 - T.H / 2 : T.Top;
        const int Y1 = Height > T.H ? Y0 + T.H : T.Bottom;
        for (int Y = Y0; Y < Y1; ++Y)
          for (int X = X0; X < X1; ++X) Screen.At(X, Y) = Target.At(X, Y);
      }
      tile_rule::GrowReveal(Width, T.W, Drawn);
      tile_rule::GrowReveal(Height, T.H, Drawn);
    }
    AddScreen(Screens, Old, Screen);
  }
  return Screens;
}

// A cross-fade in Steps frames: frame k blends the old screen over the
// target with a master alpha of 255 - round(255 k / Steps).
std::vector<Picture> CrossFadeScreens(const Picture& Old, const Picture& Target, int Steps) {
  std::vector<Picture> Screens;
  for (int K = 1; K <= Steps; ++K) {
    const int MasterAlpha = 255 - static_cast<int>(std::lround(255.0 * K / Steps));
    const int A = (MasterAlpha + 1) * 255 / 256;
    Picture Frame = Target;
    for (std::size_t I = 0; I < Frame.Pixels.size(); ++I) {
      std::uint32_t Mixed = 0;
      for (int Shift = 0; Shift < 24; Shift += 8) {
        const int T = (Target.Pixels[I] >> Shift) & 0xFF, S = (Old.Pixels[I] >> Shift) & 0xFF;
        Mixed |= static_cast<std::uint32_t>((T * (256 - A) + S * A + 128) / 256) << Shift;
      }
      Frame.Pixels[I] = Mixed;
    }
    AddScreen(Screens, Old, Frame);
  }
  return Screens;
}

// "" when the pictures are equal, else where they first differ.
std::string Difference(const Picture& Got, const Picture& Want) {
  if (Got.Width != Want.Width || Got.Height != Want.Height)
    return "size " + std::to_string(Got.Width) + "x" + std::to_string(Got.Height);
  int Count = 0;
  std::string First;
  for (int Y = 0; Y < Got.Height; ++Y)
    for (int X = 0; X < Got.Width; ++X)
      if (Got.At(X, Y) != Want.At(X, Y) && Count++ == 0) {
        char Text[96];
        std::snprintf(Text, sizeof Text, "first at (%d, %d): %06X instead of %06X", X, Y, Got.At(X, Y), Want.At(X, Y));
        First = Text;
      }
  return Count == 0 ? "" : std::to_string(Count) + " pixels differ, " + First;
}

struct Shown {
  Picture Screen;
  std::uint64_t Time;
};

class TransitionFrames : public RenderFixture {
protected:
  std::vector<Shown> RenderedFrames(const Bytes& Show, const std::string& Until) {
    const fs::path File = Write(Show);
    EXPECT_EQ(Run(File, "--size " + std::to_string(StageW) + "x" + std::to_string(StageH) + " --frames --until " + Until), 0)
        << Errors();
    std::vector<Shown> Result;
    for (const std::string& Name : Frames()) {
      // frame-<sequence>-<ms>.png
      const std::size_t Dash = Name.rfind('-');
      Result.push_back({ReadPng(Dir_ / "out" / Name), std::stoull(Name.substr(Dash + 1))});
    }
    return Result;
  }
};

Bytes PictureRecord(const std::string& File, const std::string& Transition) {
  return Record("TPVPPicture", PicturePayload(0, 100, File, Transition, false, 0));
}

TEST_F(TransitionFrames, TileWipeAndCrossFadesMatchTheirRulesFrameByFrame) {
  const Picture A = Noise(1), B = Noise(2), C = Noise(3), D = Noise(4);
  WritePng(A, Dir_ / "a.png");
  WritePng(B, Dir_ / "b.png");
  WritePng(C, Dir_ / "c.png");
  WritePng(D, Dir_ / "d.png");
  // A at once, B wiped in diagonal by diagonal from the top left, C and D
  // cross-faded in; D's folder in the file is not the presentation's.
  const Bytes Show = Container({SlideChunk({PictureRecord("a.png", ""),
                                            PictureRecord("b.png", "TTPBoxTopLeftToBottomRightTransition"),
                                            PictureRecord("c.png", "TTPAlphablendingMMX"),
                                            PictureRecord("C:\\Praesentation\\d.png", "TTPAlphablendingSmootherMMX")})});
  const std::vector<Shown> Frames = RenderedFrames(Show, "5000");

  struct Effect {
    const char* Name;
    std::vector<Picture> Screens;
    std::uint64_t Tempo;  // ms between steps
  };
  const Effect Effects[] = {
      {"tile wipe", TileWipeScreens(A, B, [](int R, int C, int, int) { return -10 * (R + C); }), 20},
      {"cross-fade", CrossFadeScreens(B, C, 16), 11},
      {"smoother cross-fade", CrossFadeScreens(C, D, 32), 11},
  };
  // The stage starts black and shows A without a transition.
  std::size_t At = 0;
  while (At < Frames.size() && !(Frames[At].Screen == A)) ++At;
  ASSERT_LT(At, Frames.size()) << "picture A never shown unchanged";
  ++At;
  for (const Effect& E : Effects) {
    SCOPED_TRACE(E.Name);
    ASSERT_FALSE(E.Screens.empty());
    ASSERT_LE(At + E.Screens.size(), Frames.size());
    const std::uint64_t Start = Frames[At].Time;
    for (std::size_t K = 0; K < E.Screens.size(); ++K, ++At) {
      SCOPED_TRACE("screen " + std::to_string(K + 1) + " of " + std::to_string(E.Screens.size()));
      ASSERT_EQ(Difference(Frames[At].Screen, E.Screens[K]), "");
      EXPECT_EQ((Frames[At].Time - Start) % E.Tempo, 0u) << "at " << Frames[At].Time << " ms";
      if (K > 0) {
        EXPECT_GE(Frames[At].Time - Frames[At - 1].Time, E.Tempo);
      }
    }
  }
}

}  // namespace
