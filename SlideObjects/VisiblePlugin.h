#pragma once
// The base of every slide object shown on the stage: its placement as a
// rectangle relative to the stage. The pixel rectangle follows from the
// current surface size every time an object draws.
#include "SlideObjects/DavazozavPlugin.h"
#include "Tools/Geometry.h"

class TDavazozavVisiblePlugin : public TDavazozavPlugin {
  LMO_PLUGIN(TDavazozavVisiblePlugin, TDavazozavPlugin)
public:

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

  TRelRect Placement = RelRect(0, 0, 1, 1);  // stored
  TRelRect FullStagePlacement = RelRect(0, 0, 1, 1);
};
