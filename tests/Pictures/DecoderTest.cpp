// The decoders on pictures made for each case: colour handling, transparency,
// scaling, and damage.
#include "Platform/Pictures/DecoderSupport.h"
#include "Platform/Pictures/Picture.h"
#include "tests/Pictures/Encoders.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <thread>

#include <magick/api.h>
#include <png.h>

namespace {

using namespace platform;
using picturetest::ByteVector;

const std::filesystem::path Corpus = LMO_CORPUS_DIR;

int Channel(std::uint32_t P, int Shift) { return static_cast<int>((P >> Shift) & 0xFF); }

void ExpectNear(std::uint32_t Actual, std::uint32_t Expected, int Tolerance) {
  for (int Shift = 0; Shift <= 24; Shift += 8)
    EXPECT_NEAR(Channel(Actual, Shift), Channel(Expected, Shift), Tolerance)
        << std::hex << "actual " << Actual << " expected " << Expected;
}

TEST(JpegDecoder, GreyRgbAndCmykBecomeOpaqueRgb) {
  struct Case {
    const char* Name;
    int Components;
    ByteVector Sample;  // one sample for the whole 16x16 picture
    bool Adobe;
    std::uint32_t Expected;
  };
  const Case Cases[] = {
      {"grey", 1, {200}, true, 0xFFC8C8C8},
      {"rgb", 3, {250, 20, 30}, true, 0xFFFA141E},
      // Adobe CMYK is stored inverted: 255 means no ink.
      {"adobe cmyk: no ink", 4, {255, 255, 255, 255}, true, 0xFFFFFFFF},
      {"adobe cmyk: full cyan", 4, {0, 255, 255, 255}, true, 0xFF00FFFF},
      {"plain cmyk: no ink", 4, {0, 0, 0, 0}, false, 0xFFFFFFFF},
      {"plain cmyk: full black", 4, {0, 0, 0, 255}, false, 0xFF000000},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    ByteVector Samples;
    for (int I = 0; I < 16 * 16; ++I) Samples.insert(Samples.end(), C.Sample.begin(), C.Sample.end());
    const auto Pic = DecodePicture("jpg", picturetest::WriteJpeg(16, 16, C.Components, Samples, C.Adobe));
    const RasterImage& R = *Pic->Raster();
    ASSERT_EQ(R.Width, 16);
    EXPECT_FALSE(R.HasAlpha);
    ExpectNear(R.At(7, 7), C.Expected, 3);
  }
}

TEST(JpegDecoder, ScaleIsTheSmallestEighthThatCoversTheDrawnSize) {
  struct Case {
    int W, H, DrawW, DrawH, Eighths;
  };
  const Case Cases[] = {
      {6000, 4000, 1920, 1080, 3},  // 2250 x 1500
      {1600, 1200, 400, 300, 2},    // exactly a quarter
      {1600, 1200, 401, 300, 3},
      {1600, 1200, 700, 500, 4},
      {1600, 1200, 800, 500, 8},    // half its width: not less than half
      {1600, 1200, 100, 1199, 8},   // one direction nearly full size
      {1600, 1200, 10, 10, 1},
      {1600, 1200, 0, 0, 8},        // unknown
      {33, 17, 4, 2, 1},            // rounded up: 5 x 3
  };
  for (const Case& C : Cases)
    EXPECT_EQ(JpegScaleEighths(C.W, C.H, DecodeHints{C.DrawW, C.DrawH}), C.Eighths)
        << C.W << "x" << C.H << " drawn " << C.DrawW << "x" << C.DrawH;

  const ByteVector Jpeg = picturetest::WriteGradientJpeg(1600, 1200);
  const auto Small = DecodePicture("jpg", Jpeg, DecodeHints{700, 500});
  EXPECT_EQ(Small->Width(), 800);
  EXPECT_EQ(Small->Height(), 600);
  const auto Full = DecodePicture("jpg", Jpeg, DecodeHints{800, 500});
  EXPECT_EQ(Full->Width(), 1600);
  // The reduced decode shows the same picture.
  ExpectNear(Small->Raster()->At(400, 300), Full->Raster()->At(800, 600), 12);
}

// Large pictures are decoded in two bands on two threads; the result must be
// the one-pass decode, row for row, also where the bands meet and when the
// file ends early.
TEST(JpegDecoder, LargePicturesDecodeAsInOnePass) {
  struct Case {
    const char* Name;
    ByteVector Jpeg;
    DecodeHints Hints;
    int Eighths;
  };
  ByteVector Grey(std::size_t{1800} * 1300);
  for (std::size_t I = 0; I < Grey.size(); ++I) Grey[I] = static_cast<std::uint8_t>((I * 7 + I / 1800 * 3) & 0xFF);
  const ByteVector Colour = picturetest::WriteGradientJpeg(2000, 1200);
  const ByteVector Big = picturetest::WriteGradientJpeg(4800, 3200);
  const Case Cases[] = {
      {"colour, full size", Colour, {}, 8},
      {"grey, full size", picturetest::WriteJpeg(1800, 1300, 1, Grey), {}, 8},
      {"colour at 3/8", Big, {1700, 1150}, 3},
      {"cut in the upper band", ByteVector(Colour.begin(), Colour.begin() + long(Colour.size() / 3)), {}, 8},
      {"cut in the lower band", ByteVector(Colour.begin(), Colour.begin() + long(Colour.size() * 9 / 10)), {}, 8},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    int Width = 0, Height = 0;
    const std::vector<std::uint32_t> Expected = picturetest::DecodeJpegInOnePass(C.Jpeg, C.Eighths, Width, Height);
    const auto Pic = DecodePicture("jpg", C.Jpeg, C.Hints);
    const RasterImage& R = *Pic->Raster();
    ASSERT_EQ(R.Width, Width);
    ASSERT_EQ(R.Height, Height);
    ASSERT_GE(std::int64_t{Width} * Height, std::int64_t{1} << 21) << "too small to be split";
    for (int Y = 0; Y < Height; ++Y)
      ASSERT_EQ(0, std::memcmp(&R.Pixels[std::size_t(Y) * Width], &Expected[std::size_t(Y) * Width], Width * 4u))
          << "row " << Y;
  }
}

TEST(JpegDecoder, ProgressiveAndTruncatedFiles) {
  const ByteVector Jpeg = picturetest::WriteGradientJpeg(256, 192);
  ByteVector Samples(64 * 48 * 3, 90);
  const ByteVector Progressive = picturetest::WriteJpeg(64, 48, 3, Samples, true, true);
  ExpectNear(DecodePicture("jpg", Progressive)->Raster()->At(10, 10), 0xFF5A5A5A, 2);
  // Cut in the middle of the scan data: libjpeg pads the rest; a header
  // alone is no picture. Neither may crash.
  const ByteVector Half(Jpeg.begin(), Jpeg.begin() + static_cast<long>(Jpeg.size() / 2));
  EXPECT_EQ(DecodePicture("jpg", Half)->Width(), 256);
  const ByteVector Header(Jpeg.begin(), Jpeg.begin() + 100);
  EXPECT_THROW(DecodePicture("jpg", Header), PictureError);
}

TEST(PngDecoder, ColourTypesDepthsTransparencyAndInterlace) {
  struct Case {
    const char* Name;
    picturetest::PngSpec Spec;
    std::uint32_t First, Second;  // pixels (0,0) and (1,0)
  };
  using Rows = std::vector<ByteVector>;
  const Case Cases[] = {
      {"grey 2-bit", {2, 1, PNG_COLOR_TYPE_GRAY, 2, false, Rows{{0b11010000}}, {}, {}}, 0xFFFFFFFF, 0xFF555555},
      {"grey 16-bit with tRNS", {2, 1, PNG_COLOR_TYPE_GRAY, 16, false, Rows{{0x12, 0x34, 0xFF, 0xFF}}, {}, {0x34}},
       0xFF121212, 0xFFFFFFFF},
      {"palette with tRNS", {2, 1, PNG_COLOR_TYPE_PALETTE, 8, false, Rows{{0, 1}}, {10, 20, 30, 40, 50, 60}, {0}},
       0x000A141E, 0xFF28323C},
      {"rgba 16-bit", {2, 1, PNG_COLOR_TYPE_RGB_ALPHA, 16, false,
                       Rows{{0xFF, 0, 0, 0, 0, 0, 0x80, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}}, {}, {}},
       0x80FF0000, 0xFF0000FF},
      {"grey+alpha interlaced", {2, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, true, Rows{{100, 255, 7, 0}}, {}, {}},
       0xFF646464, 0x00070707},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    const auto Pic = DecodePicture("png", picturetest::WritePng(C.Spec));
    const RasterImage& R = *Pic->Raster();
    ASSERT_EQ(R.Width, 2);
    ExpectNear(R.At(0, 0), C.First, 1);
    ExpectNear(R.At(1, 0), C.Second, 1);
    EXPECT_EQ(R.HasAlpha, (C.First >> 24) != 0xFF || (C.Second >> 24) != 0xFF);
  }
}

TEST(PngDecoder, InterlacedPictureMatchesTheStraightOne) {
  picturetest::PngSpec Spec{37, 23, PNG_COLOR_TYPE_RGB, 8, false, {}, {}, {}};
  for (int Y = 0; Y < Spec.Height; ++Y) {
    ByteVector Row;
    for (int X = 0; X < Spec.Width; ++X)
      Row.insert(Row.end(), {static_cast<std::uint8_t>(X * 7), static_cast<std::uint8_t>(Y * 11),
                             static_cast<std::uint8_t>(X ^ Y)});
    Spec.Rows.push_back(Row);
  }
  const auto Straight = DecodePicture("png", picturetest::WritePng(Spec));
  Spec.Interlaced = true;
  const auto Interlaced = DecodePicture("png", picturetest::WritePng(Spec));
  EXPECT_EQ(Straight->Raster()->Pixels, Interlaced->Raster()->Pixels);
  EXPECT_EQ(Straight->Raster()->At(5, 3), 0xFF232106u);
}

TEST(PngDecoder, AChunkLongerThanTheFileIsRefusedWithoutAllocatingIt) {
  ByteVector Png = picturetest::ReadFile((Corpus / "png/pngsuite/basn0g08.png").string());
  // A tEXt chunk declaring 1 GiB right after the header chunk.
  const ByteVector Huge = {0x3F, 0xFF, 0xFF, 0xFF, 't', 'E', 'X', 't', 0, 0, 0, 0};
  Png.insert(Png.begin() + 33, Huge.begin(), Huge.end());
  const std::size_t Saved = PictureMemoryBudget();
  SetPictureMemoryBudget(16u << 20);
  EXPECT_THROW(DecodePicture("png", Png), PictureError);
  // The same declared at the very end, the file stopping inside the chunk's
  // first bytes (found by fuzzing: libpng asked for the 1 GiB).
  const ByteVector Header(Png.begin(), Png.begin() + 33);
  for (const std::size_t Kept : {8u, 11u}) {
    ByteVector Cut = Header;
    Cut.insert(Cut.end(), Huge.begin(), Huge.begin() + static_cast<std::ptrdiff_t>(Kept));
    try {
      DecodePicture("png", Cut);
      ADD_FAILURE() << Kept << " bytes of the chunk: decoded";
    } catch (const PictureError& E) {
      // Refused by the length check, before libpng saw the chunk.
      EXPECT_NE(std::string(E.what()).find("Chunk länger als die Datei"), std::string::npos) << E.what();
    }
  }
  SetPictureMemoryBudget(Saved);
}

// The one-inflate way for common PNGs and libpng must agree pixel for pixel:
// on pictures of each kind it takes, stored with each row filter, and on
// every PNG of the corpus (files it declines go to libpng anyway).
TEST(PngDecoder, BothWaysGiveTheSamePixels) {
  auto ExpectSame = [](const ByteVector& File) {
    std::unique_ptr<Picture> ThroughLibpng;
    try {
      ThroughLibpng = DecodePngWithLibpng(File);
    } catch (const PictureError&) {
      EXPECT_THROW(DecodePicture("png", File), PictureError);
      return;
    }
    const auto Decoded = DecodePicture("png", File);
    ASSERT_EQ(Decoded->Width(), ThroughLibpng->Width());
    ASSERT_EQ(Decoded->Height(), ThroughLibpng->Height());
    EXPECT_TRUE(Decoded->Raster()->Pixels == ThroughLibpng->Raster()->Pixels);
    EXPECT_EQ(Decoded->Raster()->HasAlpha, ThroughLibpng->Raster()->HasAlpha);
  };
  struct Kind {
    int ColorType, Channels;
  };
  for (const Kind K : {Kind{PNG_COLOR_TYPE_GRAY, 1}, Kind{PNG_COLOR_TYPE_GRAY_ALPHA, 2}, Kind{PNG_COLOR_TYPE_RGB, 3},
                       Kind{PNG_COLOR_TYPE_RGB_ALPHA, 4}})
    for (const int Filter : {PNG_FILTER_NONE, PNG_FILTER_SUB, PNG_FILTER_UP, PNG_FILTER_AVG, PNG_FILTER_PAETH}) {
      SCOPED_TRACE(testing::Message() << "colour type " << K.ColorType << " filter " << Filter);
      picturetest::PngSpec Spec{29, 17, K.ColorType, 8, false, {}, {}, {}, Filter};
      for (int Y = 0; Y < Spec.Height; ++Y) {
        ByteVector Row;
        for (int X = 0; X < Spec.Width * K.Channels; ++X)
          Row.push_back(static_cast<std::uint8_t>((X * X * 31 + Y * 57 + (X ^ Y) * 13) >> (X % 3)));
        Spec.Rows.push_back(Row);
      }
      ExpectSame(picturetest::WritePng(Spec));
    }
  int CorpusFiles = 0;
  for (const auto& Entry : std::filesystem::recursive_directory_iterator(Corpus / "png")) {
    if (Entry.path().extension() != ".png") continue;
    SCOPED_TRACE(Entry.path().string());
    ExpectSame(picturetest::ReadFile(Entry.path().string()));
    ++CorpusFiles;
  }
  EXPECT_GT(CorpusFiles, 100);
}

TEST(GifDecoder, FirstFrameOnItsScreenWithTransparency) {
  for (const bool Interlaced : {false, true}) {
    SCOPED_TRACE(Interlaced ? "interlaced" : "straight");
    picturetest::GifSpec Spec;
    Spec.ScreenWidth = 6;
    Spec.ScreenHeight = 12;
    Spec.Left = 1;
    Spec.Top = 2;
    Spec.Width = 3;
    Spec.Height = 9;
    Spec.Interlaced = Interlaced;
    Spec.Transparent = 2;
    Spec.Palette = {0xFF0000, 0x00FF00, 0x0000FF};
    for (int Y = 0; Y < Spec.Height; ++Y)
      for (int X = 0; X < Spec.Width; ++X) Spec.Indices.push_back(static_cast<std::uint8_t>(Y % 3 == 2 ? 2 : (X + Y) % 2));
    const auto Pic = DecodePicture("gif", picturetest::WriteGif(Spec));
    const RasterImage& R = *Pic->Raster();
    ASSERT_EQ(R.Width, 6);
    ASSERT_EQ(R.Height, 12);
    EXPECT_TRUE(R.HasAlpha);
    EXPECT_EQ(R.At(0, 0) >> 24, 0u);     // outside the frame
    EXPECT_EQ(R.At(1, 2), 0xFFFF0000u);  // frame (0,0): index 0
    EXPECT_EQ(R.At(2, 2), 0xFF00FF00u);  // frame (1,0): index 1
    EXPECT_EQ(R.At(1, 3), 0xFF00FF00u);  // frame (0,1): index 1
    EXPECT_EQ(R.At(1, 4) >> 24, 0u);     // frame (0,2): transparent index
    EXPECT_EQ(R.At(1, 9), 0xFF00FF00u);  // frame (0,7): index 1
  }
}

TEST(TiffDecoder, AlphaComesOutStraightAndTopDown) {
  // Two rows: a half-transparent red and an opaque blue.
  const ByteVector Straight = {255, 0, 0, 128, 0, 0, 255, 255};
  const ByteVector Premultiplied = {128, 0, 0, 128, 0, 0, 255, 255};
  for (const bool Associated : {false, true}) {
    SCOPED_TRACE(Associated ? "associated alpha" : "unassociated alpha");
    const auto Pic = DecodePicture("tif", picturetest::WriteTiffRgba(1, 2, Associated ? Premultiplied : Straight,
                                                                    Associated));
    const RasterImage& R = *Pic->Raster();
    ExpectNear(R.At(0, 0), 0x80FF0000, 2);
    EXPECT_EQ(R.At(0, 1), 0xFF0000FFu);
    EXPECT_TRUE(R.HasAlpha);
  }
}

// A minimal Photoshop file: header, empty sections, then the merged image.
ByteVector MakePsd(int Mode, int Depth, int Channels, int Width, int Height, const std::vector<ByteVector>& Planes,
                   bool Rle, const ByteVector& ModeData = {}) {
  ByteVector F = {'8', 'B', 'P', 'S', 0, 1, 0, 0, 0, 0, 0, 0};
  auto Put = [&](std::uint64_t V, int Bytes) {
    for (int I = Bytes - 1; I >= 0; --I) F.push_back(static_cast<std::uint8_t>(V >> (8 * I)));
  };
  Put(static_cast<std::uint64_t>(Channels), 2);
  Put(static_cast<std::uint64_t>(Height), 4);
  Put(static_cast<std::uint64_t>(Width), 4);
  Put(static_cast<std::uint64_t>(Depth), 2);
  Put(static_cast<std::uint64_t>(Mode), 2);
  Put(ModeData.size(), 4);
  F.insert(F.end(), ModeData.begin(), ModeData.end());
  Put(0, 4);  // resources
  Put(0, 4);  // layers
  Put(Rle ? 1 : 0, 2);
  const std::size_t RowBytes = Planes[0].size() / static_cast<std::size_t>(Height);
  if (!Rle) {
    for (const ByteVector& P : Planes) F.insert(F.end(), P.begin(), P.end());
    return F;
  }
  // Each row as literal packets of at most 128 bytes.
  std::vector<ByteVector> Packed;
  for (const ByteVector& P : Planes)
    for (int Y = 0; Y < Height; ++Y) {
      ByteVector Row;
      for (std::size_t X = 0; X < RowBytes; X += 128) {
        const std::size_t N = std::min<std::size_t>(128, RowBytes - X);
        Row.push_back(static_cast<std::uint8_t>(N - 1));
        Row.insert(Row.end(), P.begin() + static_cast<long>(Y * RowBytes + X),
                   P.begin() + static_cast<long>(Y * RowBytes + X + N));
      }
      Packed.push_back(Row);
    }
  for (const ByteVector& R : Packed) Put(R.size(), 2);
  for (const ByteVector& R : Packed) F.insert(F.end(), R.begin(), R.end());
  return F;
}

TEST(PsdDecoder, MergedImageInEachColourMode) {
  ByteVector Palette(768, 0);
  Palette[5] = 0x11;  // index 5: red 0x11
  Palette[256 + 5] = 0x22;
  Palette[512 + 5] = 0x33;
  struct Case {
    const char* Name;
    ByteVector File;
    std::uint32_t Expected;
  };
  const Case Cases[] = {
      {"rgb raw", MakePsd(3, 8, 3, 2, 1, {{10, 11}, {20, 21}, {30, 31}}, false), 0xFF0A141E},
      {"rgb rle", MakePsd(3, 8, 3, 2, 1, {{10, 11}, {20, 21}, {30, 31}}, true), 0xFF0A141E},
      // Transparent colour is stored blended onto white.
      {"rgb with alpha", MakePsd(3, 8, 4, 2, 1, {{255, 0}, {127, 0}, {127, 0}, {128, 255}}, true), 0x80FF0000},
      {"grey 16-bit", MakePsd(1, 16, 1, 2, 1, {{0xAB, 0xCD, 0, 0}}, false), 0xFFABABAB},
      {"indexed", MakePsd(2, 8, 1, 2, 1, {{5, 0}}, true, Palette), 0xFF112233},
      {"cmyk, stored inverted", MakePsd(4, 8, 4, 2, 1, {{0, 255}, {255, 255}, {255, 255}, {255, 255}}, false),
       0xFF00FFFF},
      {"bitmap", MakePsd(0, 1, 1, 2, 1, {{0b01000000}}, false), 0xFFFFFFFF},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    const auto Pic = DecodePicture("psd", C.File);
    ASSERT_EQ(Pic->Width(), 2);
    ExpectNear(Pic->Raster()->At(0, 0), C.Expected, 2);
  }
  // Planes cut short, raw or packed: no picture rather than a partial one.
  for (const bool Rle : {false, true}) {
    ByteVector Cut = MakePsd(3, 8, 3, 300, 2, {ByteVector(600, 1), ByteVector(600, 2), ByteVector(600, 3)}, Rle);
    Cut.erase(Cut.end() - 10, Cut.end());
    EXPECT_THROW(DecodePicture("psd", Cut), PictureError) << (Rle ? "rle" : "raw");
  }
}

TEST(TargaDecoder, OrderAndAlphaConventions) {
  // 2x1, 16-bit true colour, stored right to left: the file's first pixel is the right one.
  ByteVector Tga = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 1, 0, 16, 0x10};
  Tga.insert(Tga.end(), {0x1F, 0x00, 0x00, 0x7C});  // blue, red; both with alpha bit 0
  const auto Pic = DecodePicture("tga", Tga);
  // A picture whose alpha is zero everywhere is shown opaque.
  EXPECT_EQ(Pic->Raster()->At(0, 0), 0xFFFF0000u);
  EXPECT_EQ(Pic->Raster()->At(1, 0), 0xFF0000FFu);
  EXPECT_FALSE(Pic->Raster()->HasAlpha);
  // Colour-mapped, bottom-up, RLE, index outside the map: black, not a read past it.
  ByteVector Mapped = {0, 1, 9, 0, 0, 2, 0, 24, 0, 0, 0, 0, 1, 0, 2, 0, 8, 0};
  Mapped.insert(Mapped.end(), {0, 0, 255, 255, 0, 0});  // map: red, blue (BGR)
  Mapped.insert(Mapped.end(), {0x80, 7, 0x80, 1});      // bottom row: index 7, top row: index 1
  const auto M = DecodePicture("tga", Mapped);
  EXPECT_EQ(M->Raster()->At(0, 0), 0xFF0000FFu);
  EXPECT_EQ(M->Raster()->At(0, 1), 0xFF000000u);
}

TEST(MagickDecoder, DrHaloCutWithoutItsPaletteShowsGreyLevels) {
  // 4x2: a literal row and a run.
  const ByteVector Cut = {4, 0, 2, 0, 0, 0, 6, 0, 4, 10, 20, 30, 40, 0, 3, 0, 0x84, 200, 0};
  const auto Pic = DecodePicture("cut", Cut);
  ASSERT_EQ(Pic->Width(), 4);
  EXPECT_EQ(Pic->Raster()->At(1, 0), 0xFF141414u);
  EXPECT_EQ(Pic->Raster()->At(3, 1), 0xFFC8C8C8u);
}

TEST(MagickDecoder, PhotoCdBaseImage) {
  // Photo CD files are written here with GraphicsMagick's own encoder; a
  // first decode through our path initialises the library.
  const ByteVector Tiny = {1, 0, 1, 0, 0, 0, 3, 0, 0x81, 9, 0};
  ASSERT_EQ(DecodePicture("cut", Tiny)->Width(), 1);
  ExceptionInfo Error;
  GetExceptionInfo(&Error);
  ImageInfo* Info = CloneImageInfo(nullptr);
  std::snprintf(Info->filename, sizeof Info->filename, "xc:#3060C0");
  Info->size = AcquireString("768x512");
  Image* Source = ReadImage(Info, &Error);
  ASSERT_NE(Source, nullptr);
  std::snprintf(Info->magick, sizeof Info->magick, "PCD");
  std::snprintf(Source->magick, sizeof Source->magick, "PCD");
  std::size_t Length = 0;
  void* Blob = ImageToBlob(Info, Source, &Length, &Error);
  ASSERT_NE(Blob, nullptr);
  const ByteVector Pcd(static_cast<std::uint8_t*>(Blob), static_cast<std::uint8_t*>(Blob) + Length);
  MagickFree(Blob);
  DestroyImage(Source);
  DestroyImageInfo(Info);
  DestroyExceptionInfo(&Error);

  const auto Pic = DecodePicture("pcd", Pcd);
  EXPECT_EQ(Pic->Width(), 768);
  EXPECT_EQ(Pic->Height(), 512);
  ExpectNear(Pic->Raster()->At(100, 100), 0xFF3060C0, 24);  // lossy YCC
  const ByteVector Cut(Pcd.begin(), Pcd.begin() + 4096);
  EXPECT_THROW(DecodePicture("pcd", Cut), PictureError);
}

TEST(MagickDecoder, DecodesFromSeveralThreadsAtOnce) {
  const ByteVector Pcx = picturetest::ReadFile((Corpus / "pcx/sdl_image/sample.pcx").string());
  const ByteVector Bmp = picturetest::ReadFile((Corpus / "bmp/bmpsuite/g/rgb24.bmp").string());
  std::vector<std::thread> Threads;
  std::atomic<int> Good{0};
  for (int T = 0; T < 4; ++T)
    Threads.emplace_back([&, T] {
      for (int I = 0; I < 10; ++I)
        if (DecodePicture(T % 2 ? "pcx" : "bmp", T % 2 ? Pcx : Bmp)->Width() > 0) ++Good;
    });
  for (std::thread& T : Threads) T.join();
  EXPECT_EQ(Good.load(), 40);
}

// Every prefix of a valid file either decodes or fails with PictureError.
TEST(Decoders, TruncatedFilesNeverCrash) {
  const std::pair<const char*, const char*> Files[] = {
      {"png", "png/pngsuite/basi3p02.png"}, {"jpg", "jpeg/libjpeg-turbo/testimgint.jpg"},
      {"gif", "gif/sdl_image/palette.gif"}, {"tif", "tiff/sdl_image/sample.tif"},
      {"bmp", "bmp/bmpsuite/g/pal4rle.bmp"}, {"tga", "tga/pillow/common/200x32_p_bl_rle.tga"},
      {"psd", "psd/pillow/rgba.psd"},        {"sgi", "sgi/pillow/hopper.sgi"},
      {"pcx", "pcx/sdl_image/sample.pcx"},   {"ico", "ico/sdl_image/sample.ico"},
      {"ppm", "pnm/pillow/hopper_8bit_plain.ppm"}, {"rla", "rla/openimageio/ginsu_a_nc8.rla"}};
  for (const auto& [Extension, File] : Files) {
    SCOPED_TRACE(File);
    const ByteVector Data = picturetest::ReadFile((Corpus / File).string());
    const std::size_t Step = std::max<std::size_t>(1, Data.size() / 97);
    for (std::size_t Length = 0; Length < Data.size(); Length += Step) {
      try {
        DecodePicture(Extension, std::span(Data.data(), Length));
      } catch (const PictureError&) {
      }
    }
  }
}

}  // namespace
