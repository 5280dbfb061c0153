// Text drawing is checked by measurements and by where ink lands, with a
// tolerance, never against stored images (they change with Pango and Cairo).
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "Platform/Canvas/Canvas.h"
#include "Platform/Canvas/TextLayout.h"

namespace {

using namespace platform;

constexpr TColor32 Black = 0xFF000000;

struct Surface {
  Surface(std::int32_t W, std::int32_t H) : Data(static_cast<std::size_t>(W) * H, Black), W(W), H(H), C(PixelView{Data.data(), W, H, W}) {
    C.Font.SetName("Arial");
    C.Font.SetHeight(-20);
    C.Font.SetColor(0x00FFFFFF);
    C.Brush.Style = BrushStyle::Clear;
  }
  // The box holding every pixel that is no longer black; empty when none.
  TRect Ink() const {
    TRect R{W, H, 0, 0};
    for (std::int32_t Y = 0; Y < H; ++Y)
      for (std::int32_t X = 0; X < W; ++X)
        if (Data[static_cast<std::size_t>(Y) * W + X] != Black) {
          R.Left = std::min(R.Left, X);
          R.Top = std::min(R.Top, Y);
          R.Right = std::max(R.Right, X + 1);
          R.Bottom = std::max(R.Bottom, Y + 1);
        }
    return R.IsEmpty() ? TRect{} : R;
  }
  void Clear() { std::fill(Data.begin(), Data.end(), Black); }
  std::int32_t Draw(const std::string& Text, TRect R, std::uint32_t Flags) { return C.DrawText(Text, R, Flags); }
  TRect Measure(const std::string& Text, TRect R, std::uint32_t Flags) {
    C.DrawText(Text, R, Flags | DrawTextCalcRect);
    return R;
  }
  std::vector<TColor32> Data;
  std::int32_t W, H;
  Canvas C;
};

const std::string Paragraph =
    "Die Sonne stand tief \xFC" "ber den H\xFCgeln, und der Wind trug den Duft von frischem Heu "
    "\xFC" "ber die Felder bis zum alten Gasthaus am Flu\xDF, wo die G\xE4ste sa\xDF" "en.";

TEST(Fonts, WindowsFacesResolveToMetricCompatibleOnes) {
  struct Case {
    const char* Name;
    const char* Family;
  } Cases[] = {{"Arial", "Liberation Sans"}, {"Times New Roman", "Liberation Serif"}, {"Courier New", "Liberation Mono"}};
  for (const Case& C : Cases) {
    text::FontKey K;
    K.Family = C.Name;
    EXPECT_EQ(text::ResolvedFamily(K), C.Family) << C.Name;
  }
  text::FontKey Missing;
  Missing.Family = "Keine Solche Schrift";
  EXPECT_NE(text::ResolvedFamily(Missing).find("Sans"), std::string::npos) << text::ResolvedFamily(Missing);
}

TEST(Fonts, HeightsAndLineAdvance) {
  text::FontKey K;
  K.Family = "Arial";
  K.Height = -40;  // em size
  const text::FontMetrics M = text::MetricsOf(K);
  EXPECT_DOUBLE_EQ(M.EmPixels, 40.0);
  // Liberation Sans: ascent + descent = 2288 / 2048 em.
  EXPECT_NEAR(M.LineHeight, 40 * 2288 / 2048.0, 1.0);
  K.Height = M.LineHeight;  // a positive height is the cell height
  EXPECT_NEAR(text::MetricsOf(K).LineHeight, M.LineHeight, 1);
  EXPECT_NEAR(text::MetricsOf(K).EmPixels, 40.0, 1.0);

  Surface S(400, 300);
  S.C.Font.SetHeight(-40);
  const TRect One = S.Measure("Zeile", Rect(0, 0, 400, 300), 0);
  EXPECT_EQ(One.Height(), M.LineHeight);
  for (const char* Text : {"eins\r\nzwei", "eins\rzwei", "eins\nzwei"})
    EXPECT_EQ(S.Measure(Text, Rect(0, 0, 400, 300), 0).Height(), 2 * M.LineHeight) << Text;
  EXPECT_EQ(S.Measure("eins\r\nzwei", Rect(0, 0, 400, 300), DrawTextSingleLine).Height(), M.LineHeight);
}

// Heights and widths from damaged files: the font is held at the largest
// size there is, and a wrap width beyond what Pango can measure wraps nothing.
TEST(Fonts, AbsurdHeightsAndWidthsStayWithinWhatPangoHolds) {
  for (const std::int32_t Height : {std::numeric_limits<std::int32_t>::max(), -std::numeric_limits<std::int32_t>::max(),
                                     100000, -100000}) {
    text::FontKey K;
    K.Family = "Arial";
    K.Height = Height;
    const text::FontMetrics M = text::MetricsOf(K);
    EXPECT_GT(M.EmPixels, 1000.0) << Height;
    EXPECT_LE(M.EmPixels, 16384.0) << Height;
  }
  Surface S(64, 48);
  const TRect Wide = Rect(-(1 << 29), 0, 1 << 29, 48);
  EXPECT_EQ(S.Measure(Paragraph, Wide, DrawTextWordBreak).Height(), S.Measure("x", Wide, 0).Height());
}

TEST(Text, WordBreakKeepsLinesWithinTheWidth) {
  Surface S(700, 500);
  const TRect Box = Rect(10, 10, 310, 490);
  const TRect M = S.Measure(Paragraph, Box, DrawTextWordBreak);
  EXPECT_EQ(M.Left, 10);
  EXPECT_EQ(M.Top, 10);
  EXPECT_LE(M.Right, Box.Right);
  EXPECT_GT(M.Right, Box.Left + 200);  // lines are filled, not broken early
  const std::int32_t LineHeight = S.Measure("x", Box, 0).Height();
  EXPECT_GE(M.Height() / LineHeight, 4);
  EXPECT_EQ(M.Height() % LineHeight, 0);
  EXPECT_EQ(S.Ink(), TRect{});  // measuring draws nothing

  S.Draw(Paragraph, Box, DrawTextWordBreak | DrawTextNoClip);
  const TRect Ink = S.Ink();
  EXPECT_GE(Ink.Left, Box.Left - 1);
  EXPECT_LE(Ink.Right, Box.Right + 1);
  EXPECT_LE(Ink.Bottom, M.Bottom + 2);
  EXPECT_GT(Ink.Bottom, M.Bottom - LineHeight);

  // Without word break the paragraph stays one long line.
  EXPECT_EQ(S.Measure(Paragraph, Box, 0).Height(), LineHeight);
}

TEST(Text, ALongWordIsBrokenInside) {
  Surface S(400, 400);
  const std::string Word = "Donaudampfschifffahrtsgesellschaftskapit\xE4n";
  const TRect M = S.Measure(Word, Rect(0, 0, 120, 400), DrawTextWordBreak);
  const std::int32_t LineHeight = S.Measure("x", Rect(0, 0, 120, 400), 0).Height();
  EXPECT_LE(M.Right, 120);
  EXPECT_GE(M.Height(), 3 * LineHeight);
  // Each piece fills its line: the pieces together are as wide as the word.
  const std::int32_t Whole = S.C.TextWidth(Word);
  EXPECT_LE(M.Height() / LineHeight, Whole / 100 + 1);
}

TEST(Text, BlanksAtAWrapAreNotDrawn) {
  Surface S(400, 200);
  // "aaaa bbbb" where only one word fits: the second line starts with b, not a blank.
  const std::int32_t Word = S.C.TextWidth("aaaa");
  TRect Box = Rect(0, 0, Word + 4, 200);
  S.Draw("aaaa      bbbb", Box, DrawTextWordBreak);
  const TRect Ink = S.Ink();
  EXPECT_LE(Ink.Left, 2);
  S.Clear();
  S.Draw("bbbb", Rect(0, 0, Word + 4, 200), 0);
  const TRect Single = S.Ink();
  S.Clear();
  S.Draw("aaaa      bbbb", Box, DrawTextWordBreak);
  // Both lines start at the left edge.
  std::int32_t SecondLineLeft = S.W;
  const std::int32_t LineHeight = S.Measure("x", Box, 0).Height();
  for (std::int32_t Y = LineHeight; Y < 2 * LineHeight; ++Y)
    for (std::int32_t X = 0; X < S.W; ++X)
      if (S.Data[static_cast<std::size_t>(Y) * S.W + X] != Black) SecondLineLeft = std::min(SecondLineLeft, X);
  EXPECT_NEAR(SecondLineLeft, Single.Left, 1);
}

TEST(Text, Alignments) {
  Surface S(500, 100);
  const TRect Box = Rect(50, 10, 450, 90);
  struct Case {
    std::uint32_t Flags;
    const char* Name;
  } Cases[] = {{DrawTextLeft, "left"}, {DrawTextRight, "right"}, {DrawTextCenter, "centre"}};
  for (const Case& C : Cases) {
    S.Clear();
    S.Draw("Mitte", Box, C.Flags | DrawTextWordBreak | DrawTextNoPrefix);
    const TRect Ink = S.Ink();
    ASSERT_FALSE(Ink.IsEmpty()) << C.Name;
    if (C.Flags == DrawTextLeft) {
      EXPECT_NEAR(Ink.Left, Box.Left, 3) << C.Name;
    } else if (C.Flags == DrawTextRight) {
      EXPECT_NEAR(Ink.Right, Box.Right, 3) << C.Name;
    } else {
      EXPECT_NEAR(Ink.Left - Box.Left, Box.Right - Ink.Right, 3) << C.Name;
    }
    EXPECT_NEAR(Ink.Top, Box.Top + 3, 4) << C.Name;  // top aligned
  }
}

TEST(Text, ClippingToTheRectangleUnlessNoClip) {
  Surface S(300, 120);
  const TRect Box = Rect(20, 20, 60, 32);  // narrower and lower than the text
  S.Draw("Abgeschnitten", Box, DrawTextNoPrefix);
  TRect Ink = S.Ink();
  ASSERT_FALSE(Ink.IsEmpty());
  EXPECT_GE(Ink.Left, Box.Left);
  EXPECT_LE(Ink.Right, Box.Right);
  EXPECT_GE(Ink.Top, Box.Top);
  EXPECT_LE(Ink.Bottom, Box.Bottom);
  S.Clear();
  S.Draw("Abgeschnitten", Box, DrawTextNoPrefix | DrawTextNoClip);
  Ink = S.Ink();
  EXPECT_GT(Ink.Right, Box.Right + 40);
  EXPECT_GT(Ink.Bottom, Box.Bottom);
}

TEST(Text, Ampersand) {
  Surface S(300, 60);
  // With no-prefix the ampersand is a character of its own.
  EXPECT_GT(S.Measure("A&B", Rect(0, 0, 300, 60), DrawTextNoPrefix).Width(),
            S.Measure("AB", Rect(0, 0, 300, 60), DrawTextNoPrefix).Width());
  S.Draw("&", Rect(0, 0, 300, 60), DrawTextNoPrefix);
  EXPECT_FALSE(S.Ink().IsEmpty());
  // Without it "&&" is one ampersand and "&x" underlines x.
  EXPECT_EQ(S.Measure("A&&B", Rect(0, 0, 300, 60), 0).Width(), S.Measure("A&B", Rect(0, 0, 300, 60), DrawTextNoPrefix).Width());
  EXPECT_EQ(S.Measure("&AB", Rect(0, 0, 300, 60), 0).Width(), S.Measure("AB", Rect(0, 0, 300, 60), 0).Width());
  S.Clear();
  S.Draw("AB", Rect(0, 0, 300, 60), 0);
  const TRect Plain = S.Ink();
  S.Clear();
  S.Draw("&AB", Rect(0, 0, 300, 60), 0);
  EXPECT_GT(S.Ink().Bottom, Plain.Bottom);  // the underline sits below the letters
}

TEST(Text, UmlautsAreDecodedFromWindows1252) {
  Surface S(200, 60);
  S.Draw("A", Rect(10, 10, 200, 60), DrawTextNoPrefix);
  const TRect A = S.Ink();
  S.Clear();
  S.Draw("\xC4", Rect(10, 10, 200, 60), DrawTextNoPrefix);  // Ä
  const TRect Umlaut = S.Ink();
  ASSERT_FALSE(Umlaut.IsEmpty());
  EXPECT_LT(Umlaut.Top, A.Top);  // the dots above
  EXPECT_NEAR(Umlaut.Width(), A.Width(), 1);
  EXPECT_NEAR(S.C.TextWidth("\xDF"), S.C.TextWidth("\xDF"), 0);
  EXPECT_GT(S.C.TextWidth("Stra\xDF" "e"), S.C.TextWidth("Strae"));
}

TEST(Text, SolidBrushFillsTheLineExtent) {
  Surface S(300, 60);
  S.C.Brush.Style = BrushStyle::Solid;
  S.C.Brush.Color = 0x000000FF;
  S.C.Font.SetColor(0x00FF0000);
  const std::int32_t H = S.Draw("Hallo", Rect(10, 10, 300, 60), DrawTextNoPrefix);
  const std::int32_t W = S.C.TextWidth("Hallo");
  EXPECT_EQ(S.Data[static_cast<std::size_t>(10) * S.W + 10], 0xFFFF0000u);  // red background at the corner
  EXPECT_EQ(S.Data[static_cast<std::size_t>(10 + H - 1) * S.W + 10 + W - 1], 0xFFFF0000u);
  EXPECT_EQ(S.Data[static_cast<std::size_t>(10 + H) * S.W + 10], Black);
}

}  // namespace
