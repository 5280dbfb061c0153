#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "CKS/CKSStreamWinTypes.h"
#include "TestBytes.h"

namespace {

struct Fixture {
  explicit Fixture(Bytes Initial = {}) : Memory(std::move(Initial)), Stream(&Memory, cksModeHeaderless) {}
  TMemoryStream Memory;
  TCKSStreamWinTypes Stream;
};

TEST(Fonts, BoldRedArialIsStoredAs26Bytes) {
  TFont Font;
  Font.SetName("Arial");
  Font.SetSize(12);
  Font.SetColor(0x000000FF);
  Font.SetStyle({fsBold});
  Fixture F;
  F.Stream.WriteFont(&Font);
  const Bytes Expected = Concat({Bytes{0x16, 0, 0, 0}, Bytes{0x16, 0, 0, 0}, Bytes{0xFF, 0, 0, 0}, Bytes{5, 0, 0, 0},
                                 Text("Arial"), Bytes{0x0C, 0, 0, 0}, Bytes{0x01}});
  EXPECT_EQ(F.Memory.Bytes(), Expected);
  EXPECT_EQ(Expected.size(), 26u);
}

TEST(Fonts, BlockFields) {
  struct Case {
    const char* Name;
    std::function<void(TFont&)> Set;
    Bytes Expected;  // the block after the leading s
  };
  const Case Cases[] = {
      {"new font: window-text colour, Tahoma 8", [](TFont&) {},
       Concat({LE32(23), Bytes{0x08, 0, 0, 0xFF}, LE32(6), Text("Tahoma"), LE32(8), Bytes{0}})},
      {"empty name", [](TFont& F) { F.SetName(""); },
       Concat({LE32(17), Bytes{0x08, 0, 0, 0xFF}, LE32(0), LE32(8), Bytes{0}})},
      {"all styles", [](TFont& F) { F.SetName("A"); F.SetStyle({fsBold, fsItalic, fsUnderline, fsStrikeOut}); },
       Concat({LE32(18), Bytes{0x08, 0, 0, 0xFF}, LE32(1), Text("A"), LE32(8), Bytes{0x0F}})},
  };
  for (const Case& C : Cases) {
    TFont Font;
    C.Set(Font);
    std::vector<std::uint8_t> Block;
    const std::int32_t S = TCKSStreamWinTypes::FontToBuffer(&Font, Block);
    EXPECT_EQ(S, static_cast<std::int32_t>(C.Expected.size())) << C.Name;
    EXPECT_EQ(Block, C.Expected) << C.Name;
  }
}

TEST(Fonts, ReadBackKeepsColourNameSizeAndStyle) {
  TFont Font;
  Font.SetName("Times New Roman");
  Font.SetSize(31);
  Font.SetColor(0x00123456);
  Font.SetStyle({fsItalic, fsStrikeOut});
  Font.SetCharset(ANSI_CHARSET);
  Fixture W;
  W.Stream.WriteFont(&Font);
  W.Stream.WriteFont(nullptr);
  Fixture R(W.Memory.Bytes());
  std::unique_ptr<TFont> Read;
  R.Stream.ReadFont(Read);
  ASSERT_TRUE(Read);
  EXPECT_EQ(Read->Name(), "Times New Roman");
  EXPECT_EQ(Read->Size(), 31);
  EXPECT_EQ(Read->Color(), 0x00123456u);
  EXPECT_EQ(Read->Style(), (TFontStyles{fsItalic, fsStrikeOut}));
  EXPECT_EQ(Read->Charset(), TFont().Charset()) << "not stored: the default";
  R.Stream.ReadFont(Read);  // no font: the old one is freed
  EXPECT_FALSE(Read);
  EXPECT_TRUE(R.Stream.EndOfStream());
}

TEST(Fonts, NoFontIsFourFFBytes) {
  Fixture F;
  F.Stream.WriteFont(nullptr);
  EXPECT_EQ(F.Memory.Bytes(), (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST(Fonts, NameIsCutAtANulAndHighStyleBitsAreDropped) {
  Fixture F(Concat({LE32(20), LE32(20), LE32(0xFF), LE32(3), Bytes{'A', 0, 'B'}, LE32(9), Bytes{0xF3}}));
  std::unique_ptr<TFont> Font;
  F.Stream.ReadFont(Font);
  ASSERT_TRUE(Font);
  EXPECT_EQ(Font->Name(), "A");
  EXPECT_EQ(Font->Style(), (TFontStyles{fsBold, fsItalic}));
}

TEST(Fonts, InconsistentBlocksFailWithoutAFont) {
  struct Case {
    const char* Name;
    Bytes Stored;
  };
  const Case Cases[] = {
      {"s below 17", Concat({LE32(16), Bytes(16, 0)})},
      {"s negative", Concat({LE32(-2), Bytes(20, 0)})},
      {"n negative", Concat({LE32(17), LE32(17), LE32(0), LE32(-1), LE32(0), Bytes{0}})},
      {"n beyond s - 17", Concat({LE32(18), LE32(18), LE32(0), LE32(2), Text("A"), LE32(0), Bytes{0}})},
      {"s beyond the stream", Concat({LE32(0x7FFFFFFF), Bytes(40, 0)})},
      {"block cut short", Concat({LE32(22), LE32(22), LE32(0), LE32(5), Text("Ari")})},
  };
  for (const Case& C : Cases) {
    Fixture F(C.Stored);
    auto Font = std::make_unique<TFont>();
    try {
      F.Stream.ReadFont(Font);
      ADD_FAILURE() << C.Name << ": no error";
    } catch (const EReadError& E) {
      EXPECT_STREQ(E.what(), "Stream-Lesefehler") << C.Name;
    }
    EXPECT_FALSE(Font) << C.Name;
  }
}

TEST(Colors, AreStoredAsTheirFourBytes) {
  Fixture F;
  F.Stream.WriteColor(0x00332211);
  F.Stream.WriteColor(clWindowText);
  EXPECT_EQ(F.Memory.Bytes(), (Bytes{0x11, 0x22, 0x33, 0, 0x08, 0, 0, 0xFF}));
  Fixture R(F.Memory.Bytes());
  TColor C = 0;
  R.Stream.ReadColor(C);
  EXPECT_EQ(C, 0x00332211u);
  EXPECT_EQ(R.Stream.ReadColor(), clWindowText);
  EXPECT_THROW(R.Stream.ReadColor(), EReadError);
}

}  // namespace
