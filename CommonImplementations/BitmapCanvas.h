#pragma once
// Bridges between bitmaps, pictures and the platform canvas.
#include <memory>

#include "CommonImplementations/Bitmap32.h"
#include "Platform/Canvas/Canvas.h"

namespace platform {
class Picture;
}

// A canvas drawing into Bitmap's pixels, starting with the bitmap's font; or
// nullptr when the canvas cannot be bound (an empty bitmap). The canvas must
// go before the bitmap does, and before the bitmap is resized.
std::unique_ptr<platform::Canvas> CanvasOnBitmap(TBitmap32& Bitmap);

// A new bitmap assigned from Picture (see TBitmap32::Assign).
std::unique_ptr<TBitmap32> BitmapFromPicture(const platform::Picture& Picture);
