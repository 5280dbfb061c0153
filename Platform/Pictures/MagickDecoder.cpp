// The long tail of raster formats through GraphicsMagick's C API. The coder
// is named by our extension (never guessed from the content), the bytes are
// handed over as a blob, resource limits bound what a file can ask for, and
// the library may neither run programs nor open files or URLs.
#include "Platform/Pictures/DecoderSupport.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <mutex>

#include <magick/api.h>

namespace platform {

namespace {

// Reading a blob needs no file at all: deny every file, program and URL the
// library (or a coder looking for a side file such as a palette) would open.
MagickPassFail DenyAccess(const ConfirmAccessMode, const char*, ExceptionInfo* Exception) {
  ThrowException(Exception, OptionError, "access denied", nullptr);
  return MagickFail;
}

void SetLimits() {
  const auto Budget = static_cast<magick_int64_t>(PictureMemoryBudget());
  SetMagickResourceLimit(WidthResource, MaxPictureSide);
  SetMagickResourceLimit(HeightResource, MaxPictureSide);
  SetMagickResourceLimit(PixelsResource, std::min<magick_int64_t>(MaxPicturePixels, Budget / 8));
  SetMagickResourceLimit(MemoryResource, Budget);
  SetMagickResourceLimit(MapResource, 0);
  SetMagickResourceLimit(DiskResource, 0);
  SetMagickResourceLimit(ReadResource, Budget);
  SetMagickResourceLimit(ThreadsResource, 1);
}

std::size_t LimitsFor = 0;  // the budget the limits were last set for, under InitMutex
std::mutex InitMutex;

void EnsureMagick() {
  std::lock_guard Lock(InitMutex);
  if (LimitsFor == 0) {
    InitializeMagick(nullptr);
    MagickSetConfirmAccessHandler(DenyAccess);
  }
  if (LimitsFor != PictureMemoryBudget()) {
    SetLimits();
    LimitsFor = PictureMemoryBudget();
  }
}

struct InfoFree {
  void operator()(ImageInfo* I) const { DestroyImageInfo(I); }
};
struct ImageFree {
  void operator()(Image* I) const { DestroyImageList(I); }
};

struct Exception {
  ExceptionInfo Info;
  Exception() { GetExceptionInfo(&Info); }
  ~Exception() { DestroyExceptionInfo(&Info); }
  Exception(const Exception&) = delete;
  Exception& operator=(const Exception&) = delete;
  std::string Text(const char* Fallback) const {
    std::string T = Info.reason ? Info.reason : Fallback;
    if (Info.description) T += std::string(" (") + Info.description + ")";
    return T;
  }
};

// Files holding several pictures (icons) give the largest one.
const Image* Largest(const Image* List) {
  const Image* Best = List;
  for (const Image* I = List; I != nullptr; I = I->next) {
    if (std::uint64_t{I->columns} * I->rows > std::uint64_t{Best->columns} * Best->rows) Best = I;
  }
  return Best;
}

}  // namespace

std::unique_ptr<Picture> DecodeWithMagick(const char* Magick, Bytes Data, bool Premultiplied) {
  if (Data.empty()) throw PictureError("Leere Datei");
  EnsureMagick();
  std::unique_ptr<ImageInfo, InfoFree> Info(CloneImageInfo(nullptr));
  if (!Info) throw PictureError("GraphicsMagick nicht verfügbar");
  // "MAGICK:" fixes the coder (affirm); no side file name is given.
  std::snprintf(Info->magick, sizeof Info->magick, "%s", Magick);
  std::snprintf(Info->filename, sizeof Info->filename, "%s:", Magick);
  Info->affirm = MagickTrue;
  Info->subimage = 0;

  Exception Error;
  std::unique_ptr<Image, ImageFree> Images(BlobToImage(Info.get(), Data.data(), Data.size(), &Error.Info));
  if (!Images) throw PictureError(Error.Text("Bild nicht lesbar"));
  if (Error.Info.severity >= ErrorException) throw PictureError(Error.Text("Bild nicht lesbar"));

  Image* Chosen = const_cast<Image*>(Largest(Images.get()));
  CheckRasterSize(Chosen->columns, Chosen->rows);
  if (Chosen->colorspace != RGBColorspace) {
    if (TransformColorspace(Chosen, RGBColorspace) == MagickFail) throw PictureError("Farbraum nicht umwandelbar");
  }
  RasterImage Result = MakeRaster(Chosen->columns, Chosen->rows);
  const char* Order = std::endian::native == std::endian::little ? "BGRA" : "ARGB";
  Exception DispatchError;
  if (DispatchImage(Chosen, 0, 0, Chosen->columns, Chosen->rows, Order, CharPixel, Result.Pixels.data(),
                    &DispatchError.Info) == MagickFail)
    throw PictureError(DispatchError.Text("Bildpunkte nicht lesbar"));
  if (!Chosen->matte) {
    for (std::uint32_t& P : Result.Pixels) P |= 0xFF000000u;
  } else if (Premultiplied) {
    for (std::uint32_t& P : Result.Pixels) {
      const std::uint32_t A = P >> 24;
      if (A == 0 || A == 255) continue;
      std::uint32_t Straight = A << 24;
      for (int Shift = 0; Shift <= 16; Shift += 8)
        Straight |= std::min<std::uint32_t>(255, (((P >> Shift) & 0xFF) * 255 + A / 2) / A) << Shift;
      P = Straight;
    }
  }
  UpdateHasAlpha(Result);
  return MakeRasterPicture(std::move(Result));
}

}  // namespace platform
