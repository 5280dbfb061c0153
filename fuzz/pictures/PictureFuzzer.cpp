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
  // The fuzzer refuses single allocations of 64 MB; decoders must stay well
  // below, and small pictures keep each run short.
  platform::SetPictureMemoryBudget(std::size_t{16} << 20);
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
    // The pixel buffer must be exactly as large as the picture says.
    if (const platform::RasterImage* R = Pic->Raster()) {
      if (R->Pixels.size() != static_cast<std::size_t>(R->Width) * static_cast<std::size_t>(R->Height))
        __builtin_trap();
      volatile std::uint32_t Sink = R->Pixels.front() ^ R->Pixels.back();
      (void)Sink;
    }
  } catch (const platform::PictureError&) {
  }
  return 0;
}
