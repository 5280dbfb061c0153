// Feeds arbitrary bytes to one rare-format decoder (LMO_FUZZ_DECODER) and
// draws what it returns: vector pictures are played onto a small surface,
// raster pixels are sampled.
#include "Platform/Pictures/DecoderSupport.h"
#include "Platform/Pictures/RareDecoders.h"

#include <cairo.h>

#include <cstddef>
#include <cstdint>
#include <memory>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The fuzzer refuses single allocations of 64 MB; decoders must stay below.
  platform::SetPictureMemoryBudget(std::size_t{40} << 20);
  platform::RegisterPictureFormats();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  try {
    auto Pic = platform::LMO_FUZZ_DECODER(std::span(Data, Size), platform::DecodeHints{});
    if (const platform::RasterImage* R = Pic->Raster()) {
      // A sample of the pixels and the last one: enough to catch a short
      // buffer without the fuzzer spending its time summing.
      std::uint32_t Sum = R->Pixels.empty() ? 0 : R->Pixels.back();
      for (std::size_t I = 0; I < R->Pixels.size(); I += 61) Sum += R->Pixels[I];
      volatile std::uint32_t Sink = Sum;
      (void)Sink;
    } else {
      std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> S(
          cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 96, 72), cairo_surface_destroy);
      std::unique_ptr<cairo_t, decltype(&cairo_destroy)> Cr(cairo_create(S.get()), cairo_destroy);
      Pic->Render(Cr.get(), 0, 0, 96, 72);
    }
  } catch (const platform::PictureError&) {
  }
  return 0;
}
