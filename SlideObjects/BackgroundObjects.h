#pragma once
// The slide's own background and the coloured rectangle.
#include "Platform/Core/Types.h"
#include "SlideObjects/VisiblePlugin.h"

// Every slide owns one, created with its defaults; it is never read from a
// presentation and not registered. In the player it only forces a full
// repaint of the stage before the slide's first object.
class TPVPBackgroundClass : public TDavazozavVisiblePlugin::TMetaClass {
public:
  std::string ThumbnailResourceName() const override { return "PVPBackground"; }
};

class TPVPBackground : public TDavazozavVisiblePlugin {
  LMO_PLUGIN_WITH_CLASS(TPVPBackground, TDavazozavVisiblePlugin, TPVPBackgroundClass)
public:
  ~TPVPBackground() override;

  void Assign(const TPlugin* Source) override;
  void SaveToStream(TCKSStream& Stream) override;
  void LoadFromStream(TCKSStream& Stream) override;
  std::string OptionsFrameClassName() const override { return "TPVPBackgroundFrame"; }
  std::string DisplayName() const override { return "Folie"; }
  void Step() override;
  // No cache: the background draws straight onto the canvas.
  void PrepareCache(const TRect& ObjectRect, const TRect& StageRect, bool Force) override;
  // With FillMode 1 fills the stage (cut to the canvas's clip) with
  // BackgroundColor; otherwise draws nothing.
  void Draw(platform::Canvas& Canvas, const TRect& StageRect) override;

  std::uint8_t FillMode = 0;     // stored; 1 fills the stage when drawn generically
  TColor BackgroundColor = 0;    // stored
};

// Fills its placement rectangle with one colour.
class TPVPColorRectClass : public TDavazozavVisiblePlugin::TMetaClass {
public:
  std::string ThumbnailResourceName() const override { return "PVPColorRect"; }
};

class TPVPColorRect : public TDavazozavVisiblePlugin {
  LMO_PLUGIN_WITH_CLASS(TPVPColorRect, TDavazozavVisiblePlugin, TPVPColorRectClass)
public:
  ~TPVPColorRect() override;

  void Assign(const TPlugin* Source) override;
  void SaveToStream(TCKSStream& Stream) override;
  void LoadFromStream(TCKSStream& Stream) override;
  std::string OptionsFrameClassName() const override { return "TPVPColorRectFrame"; }
  std::string DisplayName() const override { return "Farbfl\xE4" "che"; }
  std::string InsertCaption() const override { return "Farbfl\xE4" "che einf\xFC" "gen"; }
  bool IsPositionable() const override { return true; }
  // Fills the pixel rectangle of the placement on the surface's buffer.
  void Step() override;
  void PrepareCache(const TRect& ObjectRect, const TRect& StageRect, bool Force) override;
  // Fills ObjectRect with RectColor (right and bottom edges excluded).
  void Paint(platform::Canvas& Canvas, const TRect& ObjectRect, const TRect& StageRect) override;

  TColor RectColor = 0;  // stored
};
