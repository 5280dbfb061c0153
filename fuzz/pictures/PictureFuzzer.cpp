// Feeds arbitrary bytes to one picture decoder. Built once per decoder with
// LMO_FUZZ_EXTENSIONS naming the extensions it serves; when there are
// several, the first byte of the input chooses one.
#include "Platform/Pictures/DecoderSupport.h"
#include "Platform/Pictures/Picture.h"

#include <cstddef>
#include <cstdint>
#include <iterator>

namespace {
const char* const Extensions[] = {LMO_FUZZ_EXTENSIONS};
constexpr std::size_t Count = std::size(Extensions);
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The fuzzer refuses single allocations of 64 MB; decoders must stay below.
  platform::SetPictureMemoryBudget(std::size_t{40} << 20);
  platform::RegisterPictureFormats();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const char* Extension = Extensions[0];
  if constexpr (Count > 1) {
    if (Size == 0) return 0;
    Extension = Extensions[Data[0] % Count];
    ++Data;
    --Size;
  }
  try {
    const auto Pic = platform::DecodePicture(Extension, std::span(Data, Size), platform::DecodeHints{});
    // Touch every pixel so reads of uninitialised or freed memory show.
    if (const platform::RasterImage* R = Pic->Raster()) {
      std::uint32_t Sum = 0;
      for (std::uint32_t P : R->Pixels) Sum += P;
      volatile std::uint32_t Sink = Sum;
      (void)Sink;
    }
  } catch (const platform::PictureError&) {
  }
  return 0;
}
