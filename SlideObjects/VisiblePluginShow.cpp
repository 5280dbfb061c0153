// Generic drawing of visible slide objects: the cache and the paint paths
// that previews and the authoring side use.
#include <cairo.h>

#include <exception>

#include "CommonImplementations/Bitmap32.h"
#include "CommonImplementations/BitmapCanvas.h"
#include "Platform/Canvas/Canvas.h"
#include "SlideObjects/VisiblePlugin.h"

TDavazozavVisiblePlugin::TDavazozavVisiblePlugin() = default;

TDavazozavVisiblePlugin::~TDavazozavVisiblePlugin() = default;

void TDavazozavVisiblePlugin::ReleaseResources() {
  TDavazozavPlugin::ReleaseResources();
  FreeCache();
}

void TDavazozavVisiblePlugin::FreeCache() { Cache.reset(); }

void TDavazozavVisiblePlugin::AssignCache(const TDavazozavVisiblePlugin& Source) {
  if (&Source == this) return;
  if (!Source.Cache) {
    FreeCache();
    return;
  }
  if (!Cache) Cache = std::make_unique<TBitmap32>();
  Cache->Assign(Source.Cache.get());
}

void TDavazozavVisiblePlugin::PrepareCache(const TRect& ObjectRect, const TRect& StageRect, bool Force) {
  (void)StageRect;
  if (Cache && (Cache->Width() != ObjectRect.Width() || Cache->Height() != ObjectRect.Height() || Force))
    FreeCache();
  if (Cache) return;
  try {
    auto Bitmap = std::make_unique<TBitmap32>();
    Bitmap->Resize(ObjectRect.Width(), ObjectRect.Height());
    if (auto Canvas = CanvasOnBitmap(*Bitmap)) {
      Paint(*Canvas, TRect{0, 0, ObjectRect.Width(), ObjectRect.Height()}, TRect{});
    }
    // The cache stands for a bitmap without alpha: what it shows is opaque.
    Bitmap->MakeOpaque();
    Cache = std::move(Bitmap);
  } catch (const std::exception&) {
    // Without a cache the object is painted directly.
    Cache.reset();
  }
}

void TDavazozavVisiblePlugin::Paint(platform::Canvas& Canvas, const TRect& ObjectRect, const TRect& StageRect) {
  (void)Canvas;
  (void)ObjectRect;
  (void)StageRect;
}

void TDavazozavVisiblePlugin::PaintCached(platform::Canvas& Canvas, const TRect& ObjectRect,
                                          const TRect& StageRect) {
  (void)StageRect;
  if (!Cache || Cache->Empty()) return;
  const std::int32_t W = Cache->Width(), H = Cache->Height();
  std::unique_ptr<cairo_surface_t, void (*)(cairo_surface_t*)> Source(
      cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(Cache->Bits()), CAIRO_FORMAT_ARGB32,
                                          W, H, W * 4),
      cairo_surface_destroy);
  if (cairo_surface_status(Source.get()) != CAIRO_STATUS_SUCCESS) return;
  cairo_t* Cr = Canvas.Cairo();
  cairo_save(Cr);
  cairo_set_operator(Cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_surface(Cr, Source.get(), ObjectRect.Left, ObjectRect.Top);
  cairo_rectangle(Cr, ObjectRect.Left, ObjectRect.Top, W, H);
  cairo_fill(Cr);
  cairo_restore(Cr);
  cairo_surface_flush(cairo_get_target(Cr));
}

void TDavazozavVisiblePlugin::Draw(platform::Canvas& Canvas, const TRect& StageRect) {
  const TRect ObjectRect = PixelRect(StageRect);
  PrepareCache(ObjectRect, StageRect, false);
  if (Cache)
    PaintCached(Canvas, ObjectRect, StageRect);
  else
    Paint(Canvas, ObjectRect, StageRect);
}
