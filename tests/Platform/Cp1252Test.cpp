#include "Platform/Core/Cp1252.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(Cp1252, EveryByteSurvivesTheTripThroughUtf8) {
  std::string All;
  for (int B = 0; B < 256; ++B) All.push_back(static_cast<char>(B));
  const std::string Utf8 = Cp1252ToUtf8(All);
  EXPECT_EQ(Utf8ToCp1252(Utf8), All);
}

TEST(Cp1252, MapsToTheExpectedCodePoints) {
  struct Case { unsigned char Byte; const char* Utf8; };
  const Case Cases[] = {
      {0x41, "A"},           {0x80, "\u20AC"},      {0x81, "\u0081"}, {0x8D, "\u008D"},
      {0x8F, "\u008F"},      {0x90, "\u0090"},      {0x9D, "\u009D"}, {0x9F, "\u0178"},
      {0xE4, "\u00E4"},      {0xA0, "\u00A0"},      {0x99, "\u2122"}, {0xFF, "\u00FF"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(static_cast<int>(C.Byte));
    EXPECT_EQ(Cp1252ToUtf8(std::string(1, static_cast<char>(C.Byte))), C.Utf8);
    EXPECT_EQ(Utf8ToCp1252(C.Utf8), std::string(1, static_cast<char>(C.Byte)));
  }
}

TEST(Cp1252, TextWithoutAWindows1252FormIsRejected) {
  const char* Bad[] = {
      "\u4E2D",           // CJK
      "a\u0100",          // Latin Extended-A letter that Windows-1252 lacks
      "\U0001F600",       // outside the basic plane
      "\x80",             // stray continuation byte
      "\xC3",             // truncated sequence
      "\xC0\xAF",         // overlong
      "\xED\xA0\x80",     // surrogate
  };
  for (const char* Text : Bad) {
    SCOPED_TRACE(Text);
    EXPECT_THROW(Utf8ToCp1252(Text), EncodingError);
    std::string Out;
    EXPECT_FALSE(TryUtf8ToCp1252(Text, Out));
  }
  try {
    Utf8ToCp1252("ab\u4E2D");
    FAIL();
  } catch (const EncodingError& E) {
    EXPECT_NE(std::string(E.what()).find("U+4E2D"), std::string::npos);
    EXPECT_NE(std::string(E.what()).find("byte 2"), std::string::npos);
  }
}

TEST(Cp1252, CaseFoldingCoversAsciiAndWesternLetters) {
  EXPECT_TRUE(SameTextCp1252("TPVPPicture", "tpvppicture"));
  EXPECT_TRUE(SameTextCp1252("\xC4rger \xC9t\xE9", "\xE4RGER \xE9T\xC9"));  // Ärger Été
  EXPECT_TRUE(SameTextCp1252("\x8A\x8C\x8E\x9F", "\x9A\x9C\x9E\xFF"));     // Š Œ Ž Ÿ
  EXPECT_FALSE(SameTextCp1252("\xD7", "\xF7"));  // × and ÷ are not letters
  EXPECT_FALSE(SameTextCp1252("abc", "abcd"));
  EXPECT_EQ(FoldCaseCp1252(0xDF), 0xDF);  // ß has no single upper-case byte
}

TEST(Cp1252, AsciiComparisonFoldsOnlyAToZ) {
  EXPECT_EQ(CompareTextAscii("abc", "ABC"), 0);
  EXPECT_LT(CompareTextAscii("Ab", "abc"), 0);  // shorter prefix first
  EXPECT_GT(CompareTextAscii("b", "A"), 0);
  EXPECT_NE(CompareTextAscii("\xE4", "\xC4"), 0);  // ä and Ä differ here
  EXPECT_TRUE(SameTextAscii("C:\\X\\A.JPG", "c:\\x\\a.jpg"));
}
