#include "CommonImplementations/BitmapCanvas.h"

#include <exception>

#include "Platform/Pictures/Picture.h"

std::unique_ptr<platform::Canvas> CanvasOnBitmap(TBitmap32& Bitmap) {
  if (Bitmap.Empty()) return nullptr;
  try {
    auto Canvas = std::make_unique<platform::Canvas>(Bitmap.View());
    Canvas->Font.Assign(Bitmap.Font());
    return Canvas;
  } catch (const std::exception&) {
    return nullptr;
  }
}

std::unique_ptr<TBitmap32> BitmapFromPicture(const platform::Picture& Picture) {
  auto Bitmap = std::make_unique<TBitmap32>();
  Bitmap->Assign(&Picture);
  return Bitmap;
}
