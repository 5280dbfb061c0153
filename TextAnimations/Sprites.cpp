#include "TextAnimations/Sprites.h"

#include "SlideObjects/PlayerWindow.h"

TSpriteBackground::TSpriteBackground(PlayerSurface* ASurface) : Surface(ASurface) {}

TSpriteBackground::~TSpriteBackground() = default;

void TSpriteBackground::RestoreRect(const TRect& Rect) {
  if (!Saved || !Surface) return;
  Saved->DrawOnto(&Surface->Buffer(), Rect);
}

void TSpriteBackground::Restore() { RestoreRect(SavedRect); }

void TSpriteBackground::Save(const TRect& Rect) {
  if (!Surface) return;
  TBitmap32& Buffer = Surface->Buffer();
  // The client rectangle and the buffer have the same size; keeping to both
  // means a surface caught between two resizes never copies from outside
  // its buffer.
  const TRect R = IntersectRect(IntersectRect(Rect, Surface->GetClientRect()), Buffer.FullRect());
  if (!Saved) Saved = std::make_unique<TBitmap32>();
  // Both sides at once: a bitmap with one side 0 is empty and would lose the
  // other side again.
  if (Saved->Width() != R.Width() || Saved->Height() != R.Height()) Saved->Resize(R.Width(), R.Height());
  if (!R.IsEmpty()) Buffer.DrawOnto(Saved.get(), Saved->FullRect(), R);
  SavedRect = R;
}

TCustomSprite::TCustomSprite(PlayerSurface* ASurface) : TSpriteBackground(ASurface) {}

void TCustomSprite::RestoreRect(const TRect& Rect) {
  TSpriteBackground::RestoreRect(Rect);
  AddDirty(Rect);
}

bool TCustomSprite::AddDirty(const TRect& Rect) {
  DirtyRect = DirtyRect.IsEmpty() ? Rect : UnionRect(DirtyRect, Rect);
  return true;
}

void TCustomSprite::SetSize(std::int32_t Width, std::int32_t Height) {
  Bounds = TRect{Bounds.Left, Bounds.Top, Bounds.Left + Width, Bounds.Top + Height};
}
