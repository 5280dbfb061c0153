// The format table, the size limits and file loading.
#include "Platform/Pictures/DecoderSupport.h"
#include "Platform/Pictures/Picture.h"
#include "tests/Pictures/Encoders.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using namespace platform;
using picturetest::ByteVector;

const std::filesystem::path Corpus = LMO_CORPUS_DIR;

TEST(PictureFormats, EveryExtensionOfTheTableIsRegistered) {
  RegisterPictureFormats();
  RegisterPictureFormats();  // idempotent
  const std::vector<std::string> Table = {
      "bmp", "rle", "dib", "msk", "ico", "wmf", "emf", "jpg", "jpeg", "jpe", "jfif", "tif", "tiff", "png",
      "gif", "tga", "vst", "vda", "win", "icb", "eps", "pcx", "pcc", "scr", "rla", "rpf", "sgi", "rgb",
      "rgba", "bw", "psd", "pdd", "ppm", "pgm", "pbm", "cel", "pic", "pcd", "cut", "psp", "pfr", "tub", "ged"};
  for (const std::string& E : Table) EXPECT_TRUE(ThePictureFormats().Has(E)) << E;
  EXPECT_EQ(ThePictureFormats().Extensions().size(), Table.size());
  EXPECT_TRUE(ThePictureFormats().Has("JPG"));
  EXPECT_TRUE(ThePictureFormats().Has("TiFf"));
  for (const char* Other : {"pnm", "webp", "", "jpg2"}) EXPECT_FALSE(ThePictureFormats().Has(Other)) << Other;
}

TEST(PictureFormats, ExtensionOfTakesTheLastDotOfTheLastPathElement) {
  const std::pair<const char*, const char*> Cases[] = {
      {"Foto.JPG", "JPG"},          {"C:\\Bilder\\a.b\\Foto.tif", "tif"}, {"/x.y/name", ""},
      {"archiv.tar.gz", "gz"},      {"noext", ""},                        {"dir\\x.", ""},
      {"C:\\Bilder.alt\\Bild", ""}, {".hidden", "hidden"}};
  for (const auto& [Name, Extension] : Cases) EXPECT_EQ(ExtensionOf(Name), Extension) << Name;
}

TEST(PictureFormats, SizeLimits) {
  struct Case {
    std::int64_t W, H;
    bool Ok;
  };
  const Case Cases[] = {{1, 1, true},         {65535, 1024, true},   {8192, 8192, true}, {0, 10, false},
                        {10, -1, false},      {65536, 1, false},     {1, 65536, false},  {8192, 8193, false},
                        {65535, 65535, false}};
  for (const Case& C : Cases) {
    if (C.Ok) EXPECT_NO_THROW(CheckPictureSize(C.W, C.H)) << C.W << "x" << C.H;
    else EXPECT_THROW(CheckPictureSize(C.W, C.H), PictureError) << C.W << "x" << C.H;
  }
}

TEST(PictureFormats, UnknownExtensionAndEmptyDataFailCleanly) {
  const ByteVector Jpeg = picturetest::WriteGradientJpeg(16, 16);
  EXPECT_THROW(DecodePicture("pnm", Jpeg), PictureError);
  EXPECT_THROW(DecodePicture("", Jpeg), PictureError);
  for (const std::string& E : ThePictureFormats().Extensions())
    EXPECT_THROW(DecodePicture(E, {}), PictureError) << E;
}

// The extension decides; nothing guesses from the content.
TEST(PictureFormats, ContentIsNeverSniffed) {
  const ByteVector Jpeg = picturetest::WriteGradientJpeg(16, 16);
  ASSERT_NO_THROW(DecodePicture("jpg", Jpeg));
  for (const char* Other : {"png", "gif", "tif", "bmp", "tga", "pcx", "psd", "sgi", "ppm"})
    EXPECT_THROW(DecodePicture(Other, Jpeg), PictureError) << Other;
  const ByteVector Png = picturetest::ReadFile((Corpus / "png/pngsuite/basn2c08.png").string());
  EXPECT_THROW(DecodePicture("jpg", Png), PictureError);
  EXPECT_THROW(DecodePicture("bmp", Png), PictureError);
}

TEST(PictureFormats, RareFormatsRefuseGarbage) {
  // Whether or not the rare decoders are built in, garbage is no picture.
  const ByteVector Garbage(64, 0x5A);
  for (const char* E : {"wmf", "emf", "eps", "cel", "pic", "psp", "pfr", "tub", "ged"})
    EXPECT_THROW(DecodePicture(E, Garbage), PictureError) << E;
}

TEST(PictureFormats, LoadPictureFileReadsTheFileOnceByItsExtension) {
  const auto Dir = std::filesystem::temp_directory_path() / "lmo_pictures_load";
  std::filesystem::create_directories(Dir);
  const ByteVector Jpeg = picturetest::WriteGradientJpeg(40, 30);
  picturetest::WriteFile((Dir / "FOTO.JPG").string(), Jpeg);
  picturetest::WriteFile((Dir / "foto.png").string(), Jpeg);  // JPEG data behind a png name
  auto Pic = LoadPictureFile((Dir / "FOTO.JPG").string());
  EXPECT_EQ(Pic->Width(), 40);
  EXPECT_EQ(Pic->Height(), 30);
  EXPECT_THROW(LoadPictureFile((Dir / "foto.png").string()), PictureError);
  EXPECT_THROW(LoadPictureFile((Dir / "missing.jpg").string()), PictureError);
  EXPECT_THROW(LoadPictureFile(Dir.string()), PictureError);  // a folder, no extension
  std::filesystem::remove_all(Dir);
}

// A file that names a larger picture than the limits is refused from its
// header; with a small memory budget (as the fuzzers run) even pictures
// below the fixed limits are refused rather than allocated.
TEST(PictureFormats, OversizedHeadersAreRefused) {
  // 40000 x 40000 in the header, no pixel data.
  ByteVector Tga = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x40, 0x9C, 0x40, 0x9C, 24, 0};
  EXPECT_THROW(DecodePicture("tga", Tga), PictureError);
  ByteVector Psd = {'8', 'B', 'P', 'S', 0, 1, 0, 0, 0, 0, 0, 0, 0, 3, 0, 0, 0x9C, 0x40, 0, 0, 0x9C, 0x40, 0, 8, 0, 3};
  EXPECT_THROW(DecodePicture("psd", Psd), PictureError);

  const ByteVector Jpeg = picturetest::WriteGradientJpeg(1200, 1000);
  const std::size_t Saved = PictureMemoryBudget();
  SetPictureMemoryBudget(1u << 20);
  EXPECT_THROW(DecodePicture("jpg", Jpeg), PictureError);
  SetPictureMemoryBudget(Saved);
  EXPECT_NO_THROW(DecodePicture("jpg", Jpeg));
}

// Every alias extension reads the same file as its family's main extension.
TEST(PictureFormats, AliasExtensionsDecodeLikeTheirFamily) {
  const std::pair<const char*, std::vector<const char*>> Families[] = {
      {"jpeg/libjpeg-turbo/testorig.jpg", {"jpe", "jfif", "jpeg"}},
      {"bmp/bmpsuite/g/pal8rle.bmp", {"rle", "dib", "msk"}},
      {"tga/pillow/common/200x32_rgba_bl_rle.tga", {"vst", "vda", "win", "icb"}},
      {"pcx/sdl_image/sample.pcx", {"pcc", "scr"}},
      {"sgi/pillow/transparent.sgi", {"rgba", "rgb", "bw"}},
      {"rla/openimageio/ginsu_rgb_nc8.rla", {"rpf"}},
      {"psd/pillow/rgba.psd", {"pdd"}},
      {"tiff/libtiff/rgb-3c-8b.tiff", {"tif"}},
  };
  for (const auto& [File, Aliases] : Families) {
    const ByteVector Data = picturetest::ReadFile((Corpus / File).string());
    const auto Main = DecodePicture(ExtensionOf(File), Data);
    for (const char* Alias : Aliases) {
      SCOPED_TRACE(std::string(File) + " as ." + Alias);
      const auto Other = DecodePicture(Alias, Data);
      ASSERT_NE(Other->Raster(), nullptr);
      EXPECT_EQ(Other->Raster()->Pixels, Main->Raster()->Pixels);
    }
  }
}

}  // namespace
