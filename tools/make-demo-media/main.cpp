// Writes the demo presentation's media: pictures in the formats people
// bring (JPEG, PNG, BMP, GIF, TIFF), a piece of metafile clip art and a
// short music piece, all drawn or synthesised here from fixed seeds.
//
// Usage: make-demo-media OUTPUT_FOLDER

#include "tools/common/FileWriters.h"
#include "tools/make-demo-media/ClipArt.h"
#include "tools/make-demo-media/Music.h"
#include "tools/make-demo-media/Scenes.h"

#include <cstdio>
#include <exception>
#include <string>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
    return 2;
  }
  const std::string folder = std::string(argv[1]) + "/";
  try {
    datagen::WriteRgbJpeg(folder + "sunset.jpg", datagen::DrawSunsetLake(1920, 1080), 86);
    datagen::WritePng(folder + "lights.png", datagen::DrawBokeh(1280, 800));
    datagen::WriteBmpRle8(folder + "poster.bmp", datagen::DrawGeometricPoster(1280, 800));
    datagen::WriteGif(folder + "hills.gif", datagen::DrawHills(1280, 800));
    datagen::WriteTiff(folder + "night.tif", datagen::DrawNightCity(1280, 800));
    datagen::WriteFlowerPotMetafile(folder + "flowerpot.wmf");
    datagen::WriteWav16Mono(folder + "chords.wav", datagen::ComposeChords(22050), 22050);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make-demo-media: %s\n", e.what());
    return 1;
  }
  return 0;
}
