#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <variant>
#include <vector>

#include "CKS/CKSStreamWinTypes.h"

namespace {

// A random document: values of every kind, main chunks, sub-chunks and
// embedded containers nested in each other. It is written once and then read
// back by walking the same tree; every value must come back equal.
struct FontValue {
  bool Present = false;
  std::string Name;
  std::int32_t Size = 0;
  TColor Color = 0;
  std::uint8_t Style = 0;
};

using Value = std::variant<bool, std::uint8_t, std::uint16_t, std::int32_t, std::uint32_t, std::int64_t, float, double,
                           Extended, std::string, std::u16string, TColor*, FontValue, std::vector<std::uint8_t>>;
// TColor* is only a tag type for colours (stored value in Colour below).

struct Node {
  enum Kind { Values, MainChunk, SubChunk, Embedded } Type = Values;
  std::int32_t ChunkType = 0;
  std::vector<Value> Items;
  std::vector<TColor> Colours;  // one per TColor* item, in order
  std::vector<Node> Children;
};

class Generator {
public:
  explicit Generator(std::uint32_t Seed) : Random_(Seed) {}

  Node Make(int Depth, bool TopLevel) {
    Node N;
    const int Pick = Depth <= 0 ? 0 : Uniform(0, 3);
    N.Type = TopLevel ? Node::MainChunk : static_cast<Node::Kind>(Pick);
    N.ChunkType = Uniform(-5, 100);
    if (N.Type == Node::Values) {
      const int Count = Uniform(0, 8);
      for (int I = 0; I < Count; ++I) AddValue(N);
    } else {
      const int Count = Uniform(0, 4);
      for (int I = 0; I < Count; ++I) N.Children.push_back(Make(Depth - 1, N.Type == Node::Embedded));
    }
    return N;
  }

private:
  int Uniform(int Lo, int Hi) { return std::uniform_int_distribution<int>(Lo, Hi)(Random_); }
  std::uint64_t Bits() { return Random_(); }
  std::string Text() {
    std::string S(static_cast<std::size_t>(Uniform(0, 12)), ' ');
    for (char& C : S) C = static_cast<char>(Uniform(0, 255));
    return S;
  }
  void AddValue(Node& N) {
    switch (Uniform(0, 14)) {
      case 0: N.Items.emplace_back(Uniform(0, 1) == 1); break;
      case 1: N.Items.emplace_back(static_cast<std::uint8_t>(Bits())); break;
      case 2: N.Items.emplace_back(static_cast<std::uint16_t>(Bits())); break;
      case 3: N.Items.emplace_back(static_cast<std::int32_t>(Bits())); break;
      case 4: N.Items.emplace_back(static_cast<std::uint32_t>(Bits())); break;
      case 5: N.Items.emplace_back(static_cast<std::int64_t>(Bits())); break;
      case 6: N.Items.emplace_back(std::bit_cast<float>(static_cast<std::uint32_t>(Bits()))); break;
      case 7: N.Items.emplace_back(std::bit_cast<double>(Bits())); break;
      case 8: {
        std::array<std::uint8_t, 10> B{};
        for (auto& X : B) X = static_cast<std::uint8_t>(Bits());
        N.Items.emplace_back(Extended(B));
        break;
      }
      case 9: N.Items.emplace_back(Text()); break;
      case 10: {
        std::u16string W(static_cast<std::size_t>(Uniform(0, 6)), u' ');
        for (char16_t& C : W) C = static_cast<char16_t>(Uniform(1, 0xFFFF));  // NUL would end the text
        N.Items.emplace_back(W);
        break;
      }
      case 11:
        N.Items.emplace_back(static_cast<TColor*>(nullptr));
        N.Colours.push_back(static_cast<TColor>(Bits()));
        break;
      case 12: {
        FontValue F;
        F.Present = Uniform(0, 3) != 0;
        F.Name = Text();
        for (char& C : F.Name) if (C == 0) C = 'x';  // a NUL would end the name
        F.Size = Uniform(1, 200);
        F.Color = static_cast<TColor>(Bits());
        F.Style = static_cast<std::uint8_t>(Uniform(0, 15));
        N.Items.emplace_back(F);
        break;
      }
      default: {
        std::vector<std::uint8_t> Raw(static_cast<std::size_t>(Uniform(0, 9)));
        for (auto& X : Raw) X = static_cast<std::uint8_t>(Bits());
        N.Items.emplace_back(Raw);
        break;
      }
    }
  }

  std::mt19937 Random_;
};

void Write(TCKSStreamWinTypes& S, const Node& N) {
  switch (N.Type) {
    case Node::Values: {
      std::size_t Colour = 0;
      for (const Value& V : N.Items) {
        std::visit(
            [&](const auto& X) {
              using T = std::decay_t<decltype(X)>;
              if constexpr (std::is_same_v<T, bool>) S.WriteBoolean(X);
              else if constexpr (std::is_same_v<T, std::uint8_t>) S.WriteByte(X);
              else if constexpr (std::is_same_v<T, std::uint16_t>) S.WriteWord(X);
              else if constexpr (std::is_same_v<T, std::int32_t>) S.WriteInteger(X);
              else if constexpr (std::is_same_v<T, std::uint32_t>) S.WriteCardinal(X);
              else if constexpr (std::is_same_v<T, std::int64_t>) S.WriteInt64(X);
              else if constexpr (std::is_same_v<T, float>) S.WriteSingle(X);
              else if constexpr (std::is_same_v<T, double>) S.WriteDouble(X);
              else if constexpr (std::is_same_v<T, Extended>) S.WriteExtended(X);
              else if constexpr (std::is_same_v<T, std::string>) S.WriteString(X);
              else if constexpr (std::is_same_v<T, std::u16string>) S.WriteWideString(X);
              else if constexpr (std::is_same_v<T, TColor*>) S.WriteColor(N.Colours[Colour++]);
              else if constexpr (std::is_same_v<T, FontValue>) {
                if (!X.Present) {
                  S.WriteFont(nullptr);
                } else {
                  TFont F;
                  F.SetName(X.Name);
                  F.SetSize(X.Size);
                  F.SetColor(X.Color);
                  F.SetStyle(TFontStyles::FromBits(X.Style));
                  S.WriteFont(&F);
                }
              } else {
                S.WriteBuffer(X.data(), static_cast<std::int32_t>(X.size()));
              }
            },
            V);
      }
      break;
    }
    case Node::MainChunk:
      S.BeginWriteChunk(N.ChunkType);
      for (const Node& C : N.Children) Write(S, C);
      S.EndWriteChunk();
      break;
    case Node::SubChunk:
      S.BeginWriteSubChunk();
      for (const Node& C : N.Children) Write(S, C);
      S.EndWriteSubChunk();
      break;
    case Node::Embedded: {
      std::unique_ptr<TCKSStream> Child = S.CreateSubStream(2, true);
      ASSERT_TRUE(Child);
      auto& Typed = dynamic_cast<TCKSStreamWinTypes&>(*Child);
      for (const Node& C : N.Children) Write(Typed, C);
      S.SkipSubStream(*Child);
      break;
    }
  }
}

// Main chunks count at every depth of their own container.
std::int32_t MainChunks(const std::vector<Node>& Nodes) {
  std::int32_t Count = 0;
  for (const Node& N : Nodes) {
    if (N.Type == Node::Embedded) continue;
    Count += (N.Type == Node::MainChunk ? 1 : 0) + MainChunks(N.Children);
  }
  return Count;
}

template <typename T>
bool SameBits(const T& A, const T& B) {
  return std::memcmp(&A, &B, sizeof(T)) == 0;
}

void Read(TCKSStreamWinTypes& S, const Node& N, const std::string& Path) {
  switch (N.Type) {
    case Node::Values: {
      std::size_t Colour = 0;
      for (std::size_t I = 0; I < N.Items.size(); ++I) {
        const std::string Where = Path + "/" + std::to_string(I);
        std::visit(
            [&](const auto& X) {
              using T = std::decay_t<decltype(X)>;
              if constexpr (std::is_same_v<T, bool>) EXPECT_EQ(S.ReadBoolean(), X) << Where;
              else if constexpr (std::is_same_v<T, std::uint8_t>) EXPECT_EQ(S.ReadByte(), X) << Where;
              else if constexpr (std::is_same_v<T, std::uint16_t>) EXPECT_EQ(S.ReadWord(), X) << Where;
              else if constexpr (std::is_same_v<T, std::int32_t>) EXPECT_EQ(S.ReadInteger(), X) << Where;
              else if constexpr (std::is_same_v<T, std::uint32_t>) EXPECT_EQ(S.ReadCardinal(), X) << Where;
              else if constexpr (std::is_same_v<T, std::int64_t>) EXPECT_EQ(S.ReadInt64(), X) << Where;
              else if constexpr (std::is_same_v<T, float>) {
                const float R = S.ReadSingle();
                EXPECT_TRUE(SameBits(R, X)) << Where;
              } else if constexpr (std::is_same_v<T, double>) {
                const double R = S.ReadDouble();
                EXPECT_TRUE(SameBits(R, X)) << Where;
              } else if constexpr (std::is_same_v<T, Extended>) EXPECT_EQ(S.ReadExtended(), X) << Where;
              else if constexpr (std::is_same_v<T, std::string>) EXPECT_EQ(S.ReadString(), X) << Where;
              else if constexpr (std::is_same_v<T, std::u16string>) EXPECT_EQ(S.ReadWideString(), X) << Where;
              else if constexpr (std::is_same_v<T, TColor*>) EXPECT_EQ(S.ReadColor(), N.Colours[Colour++]) << Where;
              else if constexpr (std::is_same_v<T, FontValue>) {
                std::unique_ptr<TFont> F;
                S.ReadFont(F);
                ASSERT_EQ(F != nullptr, X.Present) << Where;
                if (F) {
                  EXPECT_EQ(F->Name(), X.Name) << Where;
                  EXPECT_EQ(F->Size(), X.Size) << Where;
                  EXPECT_EQ(F->Color(), X.Color) << Where;
                  EXPECT_EQ(F->Style().Bits(), X.Style) << Where;
                }
              } else {
                std::vector<std::uint8_t> Raw(X.size());
                S.ReadBuffer(Raw.data(), static_cast<std::int32_t>(Raw.size()));
                EXPECT_EQ(Raw, X) << Where;
              }
            },
            N.Items[I]);
      }
      break;
    }
    case Node::MainChunk: {
      TCKSChunkHeader H;
      S.BeginReadChunk(H);
      EXPECT_EQ(H.ChunkType, N.ChunkType) << Path;
      for (std::size_t I = 0; I < N.Children.size(); ++I) Read(S, N.Children[I], Path + "/c" + std::to_string(I));
      EXPECT_TRUE(S.EndOfChunk()) << Path;
      S.EndReadChunk();
      break;
    }
    case Node::SubChunk: {
      S.BeginReadSubChunk();
      for (std::size_t I = 0; I < N.Children.size(); ++I) Read(S, N.Children[I], Path + "/s" + std::to_string(I));
      EXPECT_TRUE(S.EndOfSubChunk()) << Path;
      S.EndReadSubChunk();
      break;
    }
    case Node::Embedded: {
      std::unique_ptr<TCKSStream> Child = S.CreateSubStream(1, false);
      ASSERT_TRUE(Child) << Path;
      EXPECT_EQ(Child->ChunkCounter(), MainChunks(N.Children)) << Path;
      auto& Typed = dynamic_cast<TCKSStreamWinTypes&>(*Child);
      for (std::size_t I = 0; I < N.Children.size(); ++I) Read(Typed, N.Children[I], Path + "/e" + std::to_string(I));
      EXPECT_TRUE(Child->EndOfStream()) << Path;
      S.SkipSubStream(*Child);
      break;
    }
  }
}

TEST(RoundTrip, RandomDocumentsReadBackEqual) {
  for (std::uint32_t Seed = 1; Seed <= 60; ++Seed) {
    Generator G(Seed);
    std::vector<Node> Chunks;
    const int Count = static_cast<int>(Seed % 5);
    for (int I = 0; I < Count; ++I) Chunks.push_back(G.Make(4, true));
    TMemoryStream Memory;
    {
      TCKSStreamWinTypes W(&Memory, cksModeCreate);
      W.SetFileType(1793);
      for (const Node& C : Chunks) Write(W, C);
    }
    TCKSStreamWinTypes R(&Memory, cksModeRead);
    EXPECT_EQ(R.ChunkCounter(), MainChunks(Chunks)) << "seed " << Seed;
    EXPECT_EQ(R.Header().FileSize, Memory.GetSize());
    for (std::size_t I = 0; I < Chunks.size(); ++I) Read(R, Chunks[I], "seed " + std::to_string(Seed) + ": " + std::to_string(I));
    EXPECT_TRUE(R.EndOfStream()) << "seed " << Seed;
    if (::testing::Test::HasFailure()) break;
  }
}

}  // namespace
