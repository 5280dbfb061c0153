#include "Platform/Pictures/Picture.h"

#include "Platform/Pictures/DecoderSupport.h"

#include <sys/mman.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace platform {

namespace {

std::string LowerAscii(std::string_view Text) {
  std::string Lower(Text);
  for (char& C : Lower) {
    if (C >= 'A' && C <= 'Z') C = static_cast<char>(C - 'A' + 'a');
  }
  return Lower;
}

// 1 GiB: room for the largest allowed picture plus its decoder's working memory.
std::atomic<std::size_t> MemoryBudget{std::size_t{1} << 30};

struct FileCloser {
  void operator()(std::FILE* File) const { std::fclose(File); }
};

}  // namespace

void Picture::Render(cairo_t*, double, double, double, double) const {}

void CheckPictureSize(std::int64_t Width, std::int64_t Height) {
  if (Width <= 0 || Height <= 0) throw PictureError("Bild ohne Pixel");
  if (Width > MaxPictureSide || Height > MaxPictureSide || Width * Height > MaxPicturePixels)
    throw PictureError("Bild zu groß");
}

std::size_t PictureMemoryBudget() { return MemoryBudget.load(std::memory_order_relaxed); }
void SetPictureMemoryBudget(std::size_t Bytes) { MemoryBudget.store(Bytes, std::memory_order_relaxed); }

void CheckRasterSize(std::int64_t Width, std::int64_t Height) {
  CheckPictureSize(Width, Height);
  if (static_cast<std::uint64_t>(Width * Height) * 4 > PictureMemoryBudget())
    throw PictureError("Bild zu groß");
}

RasterImage MakeRaster(std::int64_t Width, std::int64_t Height, std::size_t SparePixels) {
  CheckRasterSize(Width, Height);
  RasterImage Image;
  Image.Width = static_cast<std::int32_t>(Width);
  Image.Height = static_cast<std::int32_t>(Height);
  const std::size_t Count = static_cast<std::size_t>(Width * Height) + SparePixels;
  Image.Pixels.reserve(Count);
  // Large pictures fill tens of megabytes, page by page: in 2 MiB pages
  // instead of 4 KiB ones the kernel is asked 512 times less often.
  constexpr std::uintptr_t HugePage = std::uintptr_t{2} << 20;
  const auto Begin = reinterpret_cast<std::uintptr_t>(Image.Pixels.data());
  const std::uintptr_t AlignedBegin = (Begin + HugePage - 1) & ~(HugePage - 1);
  const std::uintptr_t AlignedEnd = (Begin + Count * sizeof(std::uint32_t)) & ~(HugePage - 1);
  if (AlignedEnd > AlignedBegin)
    ::madvise(reinterpret_cast<void*>(AlignedBegin), AlignedEnd - AlignedBegin, MADV_HUGEPAGE);  // a hint only
  Image.Pixels.assign(Count, 0u);
  return Image;
}

void UpdateHasAlpha(RasterImage& Image) {
  Image.HasAlpha = std::any_of(Image.Pixels.begin(), Image.Pixels.end(),
                               [](std::uint32_t P) { return (P >> 24) != 0xFF; });
}

std::unique_ptr<Picture> MakeRasterPicture(RasterImage Image) {
  return std::make_unique<RasterPicture>(std::move(Image));
}

std::unique_ptr<Picture> DecodeUnsupported(Bytes, const DecodeHints&) {
  throw PictureError("Dateiformat wird nicht unterstützt");
}

void PictureFormats::Register(std::string Extension, DecoderFunction Decoder) {
  std::string Key = LowerAscii(Extension);
  for (Entry& E : Entries_) {
    if (E.Extension == Key) {
      E.Decoder = Decoder;
      return;
    }
  }
  Entries_.push_back(Entry{std::move(Key), Decoder});
}

DecoderFunction PictureFormats::Find(std::string_view Extension) const {
  const std::string Key = LowerAscii(Extension);
  for (const Entry& E : Entries_) {
    if (E.Extension == Key) return E.Decoder;
  }
  return nullptr;
}

std::vector<std::string> PictureFormats::Extensions() const {
  std::vector<std::string> Result;
  Result.reserve(Entries_.size());
  for (const Entry& E : Entries_) Result.push_back(E.Extension);
  return Result;
}

PictureFormats& ThePictureFormats() {
  static PictureFormats Formats;
  return Formats;
}

std::string ExtensionOf(std::string_view FileName) {
  const std::size_t Slash = FileName.find_last_of("/\\");
  const std::string_view Name = Slash == std::string_view::npos ? FileName : FileName.substr(Slash + 1);
  const std::size_t Dot = Name.rfind('.');
  if (Dot == std::string_view::npos) return {};
  return std::string(Name.substr(Dot + 1));
}

std::unique_ptr<Picture> DecodePicture(std::string_view Extension, std::span<const std::uint8_t> Bytes,
                                       const DecodeHints& Hints) {
  RegisterPictureFormats();
  const DecoderFunction Decoder = ThePictureFormats().Find(Extension);
  if (Decoder == nullptr || Extension.empty()) throw PictureError("Unbekanntes Dateiformat");
  try {
    std::unique_ptr<Picture> Result = Decoder(Bytes, Hints);
    if (!Result) throw PictureError("Bild konnte nicht gelesen werden");
    return Result;
  } catch (const PictureError&) {
    throw;
  } catch (const std::bad_alloc&) {
    throw PictureError("Nicht genug Speicher für das Bild");
  } catch (const std::exception& E) {
    throw PictureError(E.what());
  }
}

std::unique_ptr<Picture> LoadPictureFile(const std::string& Path, const DecodeHints& Hints) {
  // Refuse an unknown extension before touching the file.
  RegisterPictureFormats();
  const std::string Extension = ExtensionOf(Path);
  if (Extension.empty() || !ThePictureFormats().Has(Extension)) throw PictureError("Unbekanntes Dateiformat");

  std::unique_ptr<std::FILE, FileCloser> File(std::fopen(Path.c_str(), "rb"));
  if (!File) throw PictureError("Datei kann nicht geöffnet werden: " + Path);
  // Read in chunks to the end rather than trusting the size: a file that is
  // rewritten meanwhile still yields one consistent buffer.
  std::vector<std::uint8_t> Data;
  // The size is only a hint for the first allocation, so a big picture is
  // read without growing (and copying) its buffer step by step.
  struct stat Info {};
  if (::fstat(::fileno(File.get()), &Info) == 0 && Info.st_size > 0 &&
      static_cast<std::uint64_t>(Info.st_size) <= PictureMemoryBudget())
    Data.reserve(static_cast<std::size_t>(Info.st_size) + 1);
  std::uint8_t Chunk[65536];
  for (;;) {
    const std::size_t Got = std::fread(Chunk, 1, sizeof Chunk, File.get());
    Data.insert(Data.end(), Chunk, Chunk + Got);
    if (Got < sizeof Chunk) break;
    if (Data.size() > PictureMemoryBudget()) throw PictureError("Datei zu groß: " + Path);
  }
  if (std::ferror(File.get())) throw PictureError("Datei kann nicht gelesen werden: " + Path);
  return DecodePicture(Extension, Data, Hints);
}

}  // namespace platform
