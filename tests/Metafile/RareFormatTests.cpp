// EPS previews and Autodesk Animator pictures.
#include "Platform/Pictures/RareDecoders.h"
#include "tests/Metafile/RenderSupport.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace platform;
using namespace metafiletest;

namespace {

std::uint32_t Rgb(const RasterImage& I, int X, int Y) { return I.At(X, Y) & 0xFFFFFF; }

void PutU32(std::vector<std::uint8_t>& B, std::size_t At, std::uint32_t V) {
  for (int I = 0; I < 4; ++I) B[At + I] = static_cast<std::uint8_t>(V >> (8 * I));
}

// A DOS EPS binary: the 30-byte header, a PostScript part and one preview.
std::vector<std::uint8_t> DosEps(const std::vector<std::uint8_t>& Preview, bool Tiff) {
  std::string Ps = "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 10 10\n";
  std::vector<std::uint8_t> B(30, 0);
  PutU32(B, 0, 0xC6D3D0C5);
  PutU32(B, 4, 30);
  PutU32(B, 8, static_cast<std::uint32_t>(Ps.size()));
  std::uint32_t At = static_cast<std::uint32_t>(30 + Ps.size());
  PutU32(B, Tiff ? 20 : 12, At);
  PutU32(B, Tiff ? 24 : 16, static_cast<std::uint32_t>(Preview.size()));
  B[28] = B[29] = 0xFF;
  B.insert(B.end(), Ps.begin(), Ps.end());
  B.insert(B.end(), Preview.begin(), Preview.end());
  return B;
}

TEST(Eps, TiffPreviewOfADosEpsFile) {
  // Photoshop's EPS with a 72 x 48 one-bit TIFF preview, against that
  // preview decoded by another program.
  auto P = DecodeEps(ReadFile(Corpus("eps/pillow/1.eps")), {});
  ASSERT_NE(P->Raster(), nullptr);
  Surface Want = LoadPng(Corpus("eps/pillow/1.reference-imagemagick.png"));
  ASSERT_EQ(P->Width(), Want.Width);
  ASSERT_EQ(P->Height(), Want.Height);
  int Differ = 0;
  for (int Y = 0; Y < Want.Height; ++Y)
    for (int X = 0; X < Want.Width; ++X) Differ += !Near(Rgb(*P->Raster(), X, Y), Want.At(X, Y), 30);
  EXPECT_EQ(Differ, 0);
}

TEST(Eps, WmfPreviewStaysAVectorPicture) {
  auto P = DecodeEps(DosEps(ReadFile(Fixture("clipart.wmf")), false), {});
  EXPECT_EQ(P->Raster(), nullptr);
  EXPECT_EQ(P->Width(), 200);
  Surface S = Render(*P, 200, 150);
  EXPECT_TRUE(Near(S.At(145, 45), 0xE03020));
}

TEST(Eps, HexPreviewOfAnEpsiFile) {
  // 10 x 2, one bit: 1 is black. Row 0: 1010101010, row 1: 0000000001.
  std::string Text =
      "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 10 2\n%%EndComments\n"
      "%%BeginPreview: 10 2 1 2\n%AA80\n% 0040\n%%EndPreview\nshowpage\n";
  std::vector<std::uint8_t> Bytes(Text.begin(), Text.end());
  auto P = DecodeEps(Bytes, {});
  ASSERT_NE(P->Raster(), nullptr);
  ASSERT_EQ(P->Width(), 10);
  ASSERT_EQ(P->Height(), 2);
  const RasterImage& I = *P->Raster();
  for (int X = 0; X < 10; ++X) {
    EXPECT_EQ(Rgb(I, X, 0), X % 2 == 0 ? 0u : 0xFFFFFFu) << X;
    EXPECT_EQ(Rgb(I, X, 1), X == 9 ? 0u : 0xFFFFFFu) << X;
  }
}

TEST(Eps, WithoutAUsablePreviewIsNoPicture) {
  std::vector<std::vector<std::uint8_t>> Cases;
  Cases.push_back(ReadFile(Corpus("eps/pillow/zero_bb.eps")));  // plain PostScript
  auto Outside = DosEps({1, 2, 3, 4}, true);
  PutU32(Outside, 24, 0x7FFFFFF0);  // preview beyond the file
  Cases.push_back(Outside);
  std::string Short = "%!PS-Adobe-3.0 EPSF-3.0\n%%BeginPreview: 100 100 1 100\n%FFFF\n%%EndPreview\n";
  Cases.emplace_back(Short.begin(), Short.end());  // hex data shorter than its size
  std::string Huge = "%!PS\n%%BeginPreview: 99999 99999 8 1\n%FF\n";
  Cases.emplace_back(Huge.begin(), Huge.end());
  Cases.push_back({0xC5, 0xD0, 0xD3});
  for (std::size_t I = 0; I < Cases.size(); ++I) EXPECT_THROW(DecodeEps(Cases[I], {}), PictureError) << I;
}

TEST(Autodesk, AnimatorCelWithSixBitPalette) {
  auto Bytes = ReadFile(Corpus("autodesk/animatorpro/animator1/CRSHAIR.CEL"));
  auto P = DecodeAutodesk(Bytes, {});
  ASSERT_EQ(P->Width(), 314);
  ASSERT_EQ(P->Height(), 146);
  // Every pixel is its palette entry, scaled from six to eight bits.
  const RasterImage& I = *P->Raster();
  for (int Y = 0; Y < 146; Y += 7)
    for (int X = 0; X < 314; X += 5) {
      int Index = Bytes[800 + Y * 314 + X];
      std::uint32_t Want = 0;
      for (int C = 0; C < 3; ++C) Want = (Want << 8) | (Bytes[32 + Index * 3 + C] * 255 / 63);
      ASSERT_EQ(Rgb(I, X, Y), Want) << X << "," << Y;
    }
  // The same layout under the picture extension, and cut short.
  auto Pic = DecodeAutodesk(ReadFile(Corpus("autodesk/animatorpro/animator1/ZIN.CEL")), {});
  EXPECT_EQ(Pic->Width(), 6);
  Bytes.resize(Bytes.size() - 1);
  EXPECT_THROW(DecodeAutodesk(Bytes, {}), PictureError);
}

TEST(Autodesk, AnimatorProCelsShowTheirFirstFrame) {
  for (const char* Name : {"LOGO", "APWCOL", "SUN"}) {
    SCOPED_TRACE(Name);
    std::string Base = std::string("autodesk/animatorpro/animatorpro/") + Name;
    auto P = DecodeAutodesk(ReadFile(Corpus(Base + ".CEL")), {});
    Surface Want = LoadPng(Corpus(Base + ".reference-ffmpeg.png"));
    ASSERT_EQ(P->Width(), Want.Width);
    ASSERT_EQ(P->Height(), Want.Height);
    int Differ = 0;
    for (int Y = 0; Y < Want.Height; ++Y)
      for (int X = 0; X < Want.Width; ++X) Differ += !Near(Rgb(*P->Raster(), X, Y), Want.At(X, Y), 12);
    EXPECT_EQ(Differ, 0);
  }
  // A cel without frames.
  EXPECT_THROW(DecodeAutodesk(ReadFile(Corpus("autodesk/animatorpro/animatorpro/TEST.CEL")), {}), PictureError);
}

}  // namespace
