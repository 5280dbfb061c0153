#pragma once
// Small writers for the data files our generators produce: JPEG, PNG, BMP,
// GIF, TIFF pictures and 16-bit PCM WAV sounds. Each throws
// std::runtime_error when the file cannot be written.

#include <cstdint>
#include <string>
#include <vector>

namespace datagen {

// 8-bit grey pixels, row by row from the top.
struct GreyImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;
};

// 8-bit RGB pixels (three bytes per pixel), row by row from the top.
struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;
};

void WriteGreyJpeg(const std::string& path, const GreyImage& image, int quality);
void WriteRgbJpeg(const std::string& path, const RgbImage& image, int quality);
void WritePng(const std::string& path, const RgbImage& image);
void WriteGreyPng(const std::string& path, const GreyImage& image);
// Reduces the picture to at most 256 colours and stores it as an 8-bit
// run-length compressed BMP.
void WriteBmpRle8(const std::string& path, const RgbImage& image);
// Reduces the picture to at most 256 colours, as for the BMP.
void WriteGif(const std::string& path, const RgbImage& image);
// RGB, LZW with horizontal differencing.
void WriteTiff(const std::string& path, const RgbImage& image);
// Mono, 16-bit signed PCM; samples outside -1..1 are clipped.
void WriteWav16Mono(const std::string& path, const std::vector<float>& samples, int sampleRate);

}  // namespace datagen
