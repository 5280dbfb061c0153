#pragma once
// Saved backgrounds: a rectangle of the presentation surface whose pixels
// are kept so that whatever is drawn over it later can be taken away again.
#include <cstdint>
#include <memory>

#include "CommonImplementations/Bitmap32.h"
#include "Platform/Core/Types.h"

class PlayerSurface;

class TSpriteBackground {
public:
  // Nothing saved yet; Surface is borrowed.
  explicit TSpriteBackground(PlayerSurface* Surface);
  virtual ~TSpriteBackground();
  TSpriteBackground(const TSpriteBackground&) = delete;
  TSpriteBackground& operator=(const TSpriteBackground&) = delete;

  // Draws the saved pixels into Rect of the surface's buffer (stretched when
  // the sizes differ); nothing before the first Save.
  virtual void RestoreRect(const TRect& Rect);
  // Puts the saved pixels back where they came from.
  virtual void Restore();

  // Saves the part of Rect inside the surface (an empty part saves a
  // 0-sized bitmap); a later Save replaces what was saved.
  void Save(const TRect& Rect);
  // Moves where Restore puts the pixels, without copying anything.
  void SetSavedRect(const TRect& Rect) { SavedRect = Rect; }
  void SetSurface(PlayerSurface* Value) { Surface = Value; }

  std::unique_ptr<TBitmap32> Saved;  // none until the first Save
  TRect SavedRect{};                 // where Saved came from
  PlayerSurface* Surface;            // not owned
};

// A saved background with bounds of its own and a record of the area it has
// restored.
class TCustomSprite : public TSpriteBackground {
public:
  explicit TCustomSprite(PlayerSurface* Surface);

  // Restores, then adds Rect to DirtyRect.
  void RestoreRect(const TRect& Rect) override;
  // Adds Rect to DirtyRect without restoring; always true.
  virtual bool AddDirty(const TRect& Rect);
  void ClearDirty() { DirtyRect = TRect{}; }
  void SetBounds(const TRect& Rect) { Bounds = Rect; }
  // Bounds keeps its top-left and takes Width x Height.
  void SetSize(std::int32_t Width, std::int32_t Height);

  TRect Bounds{};
  TRect DirtyRect{};  // union of the restored rectangles; empty: none
};
