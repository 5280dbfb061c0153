// The committed data files: every mask the transitions name exists under its
// exact name, decodes through our own decoders as a grey picture that uses
// the whole grey range, the typewriter click is a short PCM sound, and every
// demo picture (the clip art included) decodes.

#include "Platform/Pictures/Picture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const std::string kData = std::string(LMO_SOURCE_DIR) + "/Data/";
const std::string kDemoMedia = std::string(LMO_SOURCE_DIR) + "/examples/demo/media/";

class DataFilesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { platform::RegisterPictureFormats(); }
};

TEST_F(DataFilesTest, EveryMaskIsAGreyPictureUsingTheWholeRange) {
  // Names exactly as the transitions look them up (the file system is case-sensitive).
  const char* masks[] = {"hairs.jpg",       "hairs1.jpg",      "effekt1.jpg",     "effekt2.jpg",
                         "effekt3.jpg",     "effekt4.jpg",     "effekt5.jpg",     "effekt6.jpg",
                         "StarEffekt.jpg",  "effekt7.jpg",     "effekt8.jpg",     "effekt9.jpg",
                         "swirl.jpg",       "heart.jpg",       "stareffekt1.jpg", "stareffekt2.jpg",
                         "stareffekt3.jpg", "radar1.jpg",      "drops.jpg",       "dropsfade.jpg",
                         "effekt11.jpg",    "swirl1.jpg"};
  for (const char* name : masks) {
    SCOPED_TRACE(name);
    const auto picture = platform::LoadPictureFile(kData + name);
    const platform::RasterImage* raster = picture->Raster();
    ASSERT_NE(raster, nullptr);
    // At least as wide as the mask transitions' 200-tile grid, so no column
    // samples outside the picture.
    EXPECT_GE(raster->Width, 200);
    EXPECT_GE(raster->Height, 150);
    int lowest = 255, highest = 0;
    bool grey = true;
    for (std::uint32_t pixel : raster->Pixels) {
      const int r = (pixel >> 16) & 255, g = (pixel >> 8) & 255, b = pixel & 255;
      grey = grey && r == g && g == b;
      lowest = std::min(lowest, b);
      highest = std::max(highest, b);
    }
    EXPECT_TRUE(grey);
    EXPECT_LE(lowest, 3);
    EXPECT_GE(highest, 250);
  }
}

std::uint32_t Le(const std::vector<unsigned char>& bytes, std::size_t at, int size) {
  std::uint32_t v = 0;
  for (int i = size - 1; i >= 0; --i) v = (v << 8) | bytes.at(at + static_cast<std::size_t>(i));
  return v;
}

TEST_F(DataFilesTest, TypewriterClickIsAShortPcmSound) {
  std::ifstream in(kData + "typewriter.wav", std::ios::binary);
  ASSERT_TRUE(in);
  const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_GE(bytes.size(), 44u);
  EXPECT_EQ(std::memcmp(bytes.data(), "RIFF", 4), 0);
  EXPECT_EQ(std::memcmp(bytes.data() + 8, "WAVEfmt ", 8), 0);
  EXPECT_EQ(Le(bytes, 20, 2), 1u);   // PCM
  EXPECT_EQ(Le(bytes, 22, 2), 1u);   // mono
  EXPECT_EQ(Le(bytes, 34, 2), 16u);  // bits per sample
  const double rate = Le(bytes, 24, 4);
  const double seconds = Le(bytes, 40, 4) / 2.0 / rate;
  EXPECT_GE(seconds, 0.030);
  EXPECT_LE(seconds, 0.060);
  EXPECT_EQ(bytes.size(), 44 + Le(bytes, 40, 4));
}

TEST_F(DataFilesTest, DemoPicturesDecode) {
  struct Expected {
    const char* name;
    int width, height;
  };
  const Expected pictures[] = {{"sunset.jpg", 1920, 1080}, {"lights.png", 1280, 800}, {"poster.bmp", 1280, 800},
                               {"hills.gif", 1280, 800},   {"night.tif", 1280, 800}, {"flowerpot.wmf", 240, 240}};
  for (const Expected& e : pictures) {
    SCOPED_TRACE(e.name);
    const auto picture = platform::LoadPictureFile(kDemoMedia + e.name);
    EXPECT_EQ(picture->Width(), e.width);
    EXPECT_EQ(picture->Height(), e.height);
  }
}

}  // namespace
