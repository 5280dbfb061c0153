#pragma once
// The base of every slide object shown on the stage: its placement as a
// rectangle relative to the stage. The pixel rectangle follows from the
// current surface size every time an object draws.
#include <memory>

#include "SlideObjects/DavazozavPlugin.h"
#include "Tools/Geometry.h"

class TBitmap32;

class TDavazozavVisiblePlugin : public TDavazozavPlugin {
  LMO_PLUGIN(TDavazozavVisiblePlugin, TDavazozavPlugin)
public:
  TDavazozavVisiblePlugin();
  ~TDavazozavVisiblePlugin() override;

  void Assign(const TPlugin* Source) override;
  void SaveToStream(TCKSStream& Stream) override;
  void LoadFromStream(TCKSStream& Stream) override;

  // Whether the user places the object on the stage (all but the background).
  virtual bool IsPositionable() const { return false; }
  // Whether the object's background fill covers the whole stage.
  virtual bool BackgroundCoversStage() const { return false; }
  TRelRect BackgroundPlacement() const { return BackgroundCoversStage() ? FullStagePlacement : Placement; }
  // The object's pixel rectangle on a stage rectangle.
  TRect PixelRect(const TRect& Stage) const { return RelativeToRect(Placement, Stage); }

  // Generic drawing (previews and the authoring side; the player's objects
  // draw in their Step). Implemented in VisiblePluginShow.cpp.
  void ReleaseResources() override;
  // Renders the object into Cache at ObjectRect's size (kept while the size
  // stays and Force is false); a failure leaves the object without a cache.
  virtual void PrepareCache(const TRect& ObjectRect, const TRect& StageRect, bool Force);
  // Draws the object into ObjectRect; StageRect is empty when drawing into
  // the cache. The base draws nothing.
  virtual void Paint(platform::Canvas& Canvas, const TRect& ObjectRect, const TRect& StageRect);
  // Copies Cache onto Canvas with its top-left corner at ObjectRect's.
  virtual void PaintCached(platform::Canvas& Canvas, const TRect& ObjectRect, const TRect& StageRect);
  // The object at its placement in StageRect, through the cache when one can be made.
  virtual void Draw(platform::Canvas& Canvas, const TRect& StageRect);
  void FreeCache();
  // Copies Source's cache (none when Source has none); used by Assign.
  void AssignCache(const TDavazozavVisiblePlugin& Source);

  TRelRect Placement = RelRect(0, 0, 1, 1);  // stored
  TRelRect FullStagePlacement = RelRect(0, 0, 1, 1);
  // The object rendered at its pixel size (opaque, like a 24-bit bitmap); or none.
  std::unique_ptr<TBitmap32> Cache;
};
