#include "Platform/Core/Font.h"

#include <gtest/gtest.h>

#include <limits>

TEST(MulDiv, RoundsHalvesAwayFromZeroAndRejectsZeroDivisor) {
  struct Case { std::int32_t A, B, C, Result; };
  const Case Cases[] = {
      {12, 96, 72, 16},   {8, 96, 72, 11},     {-8, 96, 72, -11},  {3, 1, 2, 2},
      {-3, 1, 2, -2},     {3, 1, -2, -2},      {-16, 72, 96, -12}, {5, 7, 0, -1},
      {0x7FFFFFFF, 2, 1, -1},  // result does not fit
      {0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(testing::Message() << C.A << "*" << C.B << "/" << C.C);
    EXPECT_EQ(MulDiv(C.A, C.B, C.C), C.Result);
  }
}

TEST(Font, NewFontHasThePlatformDefaults) {
  TFont F;
  EXPECT_EQ(F.Color(), 0xFF000008u);
  EXPECT_EQ(F.PixelsPerInch(), 96);
  EXPECT_EQ(F.Size(), 8);
  EXPECT_EQ(F.Height(), -11);
  EXPECT_EQ(F.Charset(), DEFAULT_CHARSET);
  EXPECT_EQ(F.Pitch(), fpDefault);
  EXPECT_TRUE(F.Style().Empty());
}

TEST(Font, SizeAndHeightFollowEachOther) {
  TFont F;
  F.SetSize(12);
  EXPECT_EQ(F.Height(), -16);
  EXPECT_EQ(F.Size(), 12);
  F.SetHeight(-20);
  EXPECT_EQ(F.Size(), 15);
  // A new resolution keeps Height; Size follows from it.
  F.SetPixelsPerInch(120);
  EXPECT_EQ(F.Height(), -20);
  EXPECT_EQ(F.Size(), 12);
}

// A size read from a damaged file may be far beyond any real font; the size
// the font reports must then set the same height again, so that saving and
// loading it changes nothing.
TEST(Font, AHugeSizeKeepsItsHeightThroughTheSizeItReports) {
  for (const std::int32_t Points : {1610612735, 1610612736, -1610612736, -1610612737,
                                     std::numeric_limits<std::int32_t>::max(),
                                     std::numeric_limits<std::int32_t>::min()}) {
    TFont F;
    F.SetSize(Points);
    const std::int32_t Height = F.Height();
    EXPECT_NE(Height, std::numeric_limits<std::int32_t>::min()) << Points;
    EXPECT_EQ(Points < 0, Height > 0) << Points;  // the sign survives
    TFont Again;
    Again.SetSize(F.Size());
    EXPECT_EQ(Again.Height(), Height) << Points;
  }
}

TEST(Font, ChangesAreReportedToTheOwner) {
  TFont F;
  int Changes = 0;
  F.OnChange = [&](TFont& Sender) {
    EXPECT_EQ(&Sender, &F);
    ++Changes;
  };
  F.SetName("Arial");
  F.SetSize(12);
  F.SetStyle({fsBold, fsItalic});
  F.SetColor(0x0000FF);
  F.SetCharset(ANSI_CHARSET);
  F.SetPitch(fpFixed);
  EXPECT_EQ(Changes, 6);
  F.SetName("Arial");       // no change, no report
  F.SetPixelsPerInch(120);  // never reported
  EXPECT_EQ(Changes, 6);

  TFont Other;
  Other.SetName("Courier New");
  F.Assign(Other);
  EXPECT_EQ(Changes, 7);
  EXPECT_TRUE(SameAttributes(F, Other));
  EXPECT_EQ(F.PixelsPerInch(), 96);
  EXPECT_TRUE(static_cast<bool>(F.OnChange));  // the owner's handler stays
}

TEST(Font, StyleBitsAreTheStoredBits) {
  EXPECT_EQ((TFontStyles{fsBold}).Bits(), 0x01);
  EXPECT_EQ((TFontStyles{fsBold, fsItalic, fsUnderline, fsStrikeOut}).Bits(), 0x0F);
  EXPECT_EQ(TFontStyles::FromBits(0xF4), TFontStyles{fsUnderline});
}
