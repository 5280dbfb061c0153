// Loads arbitrary bytes as a presentation with every class registered. A
// load may fail with its message but must never crash, leak or hang, and the
// heap it keeps alive at any moment stays below 64 x the input + 1 MiB.
// What loads is written back and loaded again: writing the model a second
// time must give the same bytes.
#include <sanitizer/allocator_interface.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <vector>

#include "CKS/Streams.h"
#include "Chore/Registration.h"
#include "PluginEngine/PluginLists.h"
#include "Slides/PresentationWriter.h"
#include "Slides/Slides.h"

namespace {

bool Tracking = false;
std::int64_t Live = 0;
std::int64_t Peak = 0;

void OnMalloc(const volatile void*, std::size_t Size) {
  if (!Tracking) return;
  Live += static_cast<std::int64_t>(Size);
  if (Live > Peak) Peak = Live;
}

void OnFree(const volatile void* Ptr) {
  if (!Tracking || !Ptr) return;
  Live -= static_cast<std::int64_t>(__sanitizer_get_allocated_size(const_cast<const void*>(Ptr)));
}

std::vector<std::uint8_t> Save(const TSlides& Slides) {
  TMemoryStream Out;
  SavePresentationToStream(Slides, Out);
  return Out.Bytes();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  RegisterPluginClasses(PluginRegistry);
  __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  std::vector<std::uint8_t> Written;
  {
    TMemoryStream Stream(std::vector<std::uint8_t>(Data, Data + Size));
    Live = Peak = 0;
    Tracking = true;
    {
      TSlides Slides;
      bool Loaded = true;
      try {
        Slides.LoadFromStream(Stream);
      } catch (const std::exception&) {
        Loaded = false;
      }
      Tracking = false;
      const std::int64_t Limit = 64 * static_cast<std::int64_t>(Size) + (1 << 20);
      if (Peak > Limit) {
        std::fprintf(stderr, "live heap %lld bytes while loading %zu bytes (limit %lld)\n",
                     static_cast<long long>(Peak), Size, static_cast<long long>(Limit));
        std::abort();
      }
      if (Loaded) Written = Save(Slides);
    }
  }
  if (!Written.empty()) {
    TSlides Again;
    TMemoryStream Stream(Written);
    Again.LoadFromStream(Stream);  // what we wrote must load
    if (Save(Again) != Written) {
      std::fprintf(stderr, "writing the model again gave other bytes\n");
      std::abort();
    }
  }
  return 0;
}
