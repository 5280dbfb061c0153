// Paint Shop Pro images: the first layer on its canvas, in every storage.
#include "Platform/Pictures/RareDecoders.h"
#include "tests/Metafile/RenderSupport.h"

#include <gtest/gtest.h>

#include <zlib.h>

#include <cstring>

using namespace platform;
using namespace metafiletest;

namespace {

struct Bytes : std::vector<std::uint8_t> {
  Bytes& U8(std::uint8_t V) { push_back(V); return *this; }
  Bytes& U16(std::uint16_t V) { return U8(V & 0xFF).U8(V >> 8); }
  Bytes& U32(std::uint32_t V) { return U16(V & 0xFFFF).U16(V >> 16); }
  Bytes& Add(const std::vector<std::uint8_t>& B) { insert(end(), B.begin(), B.end()); return *this; }
};

Bytes BlockOf(std::uint16_t Id, const Bytes& Body) {
  Bytes B;
  B.U32(0x004B427E).U16(Id).U32(static_cast<std::uint32_t>(Body.size())).Add(Body);
  return B;
}

std::vector<std::uint8_t> Pack(const std::vector<std::uint8_t>& Plane, std::uint16_t Compression) {
  if (Compression == 1) {  // one run, then literals
    std::vector<std::uint8_t> Out = {static_cast<std::uint8_t>(128 + 2), Plane[0]};
    Out.push_back(static_cast<std::uint8_t>(Plane.size() - 2));
    Out.insert(Out.end(), Plane.begin() + 2, Plane.end());
    return Out;
  }
  if (Compression == 2) {
    uLongf Size = compressBound(Plane.size());
    std::vector<std::uint8_t> Out(Size);
    compress(Out.data(), &Size, Plane.data(), Plane.size());
    Out.resize(Size);
    return Out;
  }
  return Plane;
}

// A 5 x 4 canvas with one 3 x 2 layer placed at (1, 1). Pixel (x, y) of the
// layer is red 10 * x + y, green 100 + x, blue 200 + y; the first two pixels
// repeat so that run-length coding has a run.
std::vector<std::uint8_t> PspFile(std::uint16_t Compression) {
  Bytes F;
  const char Sig[] = "Paint Shop Pro Image File\n\x1a";
  F.insert(F.end(), Sig, Sig + sizeof Sig - 1);
  F.resize(32, 0);
  F.U16(10).U16(0);
  Bytes Attr;
  Attr.U32(46).U32(5).U32(4).U32(0).U32(0).U8(0).U16(Compression).U16(24).U16(1).U32(1u << 24).U8(0).U32(60).U32(0).U16(1).U32(1);
  F.Add(BlockOf(0, Attr));
  Bytes Info;
  Info.U16(5).Add({'L', 'a', 'y', 'e', 'r'}).U8(1);
  Info.U32(1).U32(1).U32(4).U32(3);  // placed at (1, 1)-(4, 3)
  Info.U32(0).U32(0).U32(3).U32(2);  // the saved part: all of it
  Info.U8(255).U8(0).U8(1).U8(0);
  Bytes LayerInfo;
  LayerInfo.U32(static_cast<std::uint32_t>(Info.size() + 4)).Add(Info);
  Bytes Layer = LayerInfo;
  Layer.U32(8).U16(1).U16(3);
  for (std::uint16_t Channel = 1; Channel <= 3; ++Channel) {
    std::vector<std::uint8_t> Plane;
    for (int Y = 0; Y < 2; ++Y)
      for (int X = 0; X < 3; ++X) {
        int Xe = X == 1 && Y == 0 ? 0 : X;  // pixel (1, 0) repeats pixel (0, 0)
        Plane.push_back(static_cast<std::uint8_t>(Channel == 1 ? 10 * Xe + Y : Channel == 2 ? 100 + Xe : 200 + Y));
      }
    auto Packed = Pack(Plane, Compression);
    Bytes C;
    C.U32(16).U32(static_cast<std::uint32_t>(Packed.size())).U32(6).U16(0).U16(Channel).Add(Packed);
    Layer.Add(BlockOf(5, C));
  }
  F.Add(BlockOf(3, BlockOf(4, Layer)));
  return F;
}

TEST(PaintShopPro, FirstLayerInEveryStorage) {
  for (std::uint16_t Compression : {0, 1, 2}) {
    SCOPED_TRACE(Compression);
    auto P = DecodePaintShopPro(PspFile(Compression), {});
    ASSERT_EQ(P->Width(), 5);
    ASSERT_EQ(P->Height(), 4);
    const RasterImage& I = *P->Raster();
    EXPECT_EQ(I.At(0, 0) >> 24, 0u);  // outside the layer: transparent
    EXPECT_EQ(I.At(1, 1), 0xFF0064C8u);
    EXPECT_EQ(I.At(2, 1), 0xFF0064C8u);
    EXPECT_EQ(I.At(3, 2), 0xFF1566C9u);
    EXPECT_TRUE(I.HasAlpha);
  }
}

TEST(PaintShopPro, DamagedFilesAreNoPicture) {
  auto Good = PspFile(2);
  std::vector<std::vector<std::uint8_t>> Cases;
  Cases.emplace_back(Good.begin(), Good.begin() + 60);  // cut inside the blocks
  auto Huge = Good;
  Huge[36 + 6] = 0xFF, Huge[36 + 9] = 0x7F;  // first block longer than the file
  Cases.push_back(Huge);
  auto Jpeg = PspFile(3);  // a compression we do not read, and no composite to fall back on
  Cases.push_back(Jpeg);
  auto Sig = Good;
  Sig[0] = 'X';
  Cases.push_back(Sig);
  auto Corrupt = Good;  // deflate data damaged
  Corrupt[Corrupt.size() - 6] ^= 0xFF;
  Corrupt[Corrupt.size() - 7] ^= 0xFF;
  Cases.push_back(Corrupt);
  for (std::size_t I = 0; I < Cases.size(); ++I) EXPECT_THROW(DecodePaintShopPro(Cases[I], {}), PictureError) << I;
}

TEST(PaintShopPro, RealSampleMatchesItsComposite) {
  // Written by Paint Shop Pro X3: an 8 x 8 white background layer and a JPEG
  // composite of the same picture.
  auto P = DecodePaintShopPro(ReadFile(Corpus("psp/exiftool/PSP.psp")), {});
  ASSERT_EQ(P->Width(), 8);
  ASSERT_EQ(P->Height(), 8);
  for (std::uint32_t Pixel : P->Raster()->Pixels) EXPECT_EQ(Pixel, 0xFFFFFFFFu);
}

}  // namespace
