#pragma once
// A text written into the object's placement in a stored font, in one of four
// effect styles, at once or through a text animation.
#include <cstdint>
#include <memory>

#include "Platform/Core/Font.h"
#include "Platform/Core/Types.h"
#include "SlideObjects/TextAnimationLink.h"
#include "SlideObjects/VisiblePlugin.h"

class TPVPTextClass : public TDavazozavVisiblePlugin::TMetaClass {
public:
  std::string ThumbnailResourceName() const override { return "PVPText"; }
};

class TPVPText : public TDavazozavVisiblePlugin {
  LMO_PLUGIN_WITH_CLASS(TPVPText, TDavazozavVisiblePlugin, TPVPTextClass)
public:
  TPVPText();
  ~TPVPText() override;

  void Assign(const TPlugin* Source) override;
  void SaveToStream(TCKSStream& Stream) override;
  void LoadFromStream(TCKSStream& Stream) override;
  std::string OptionsFrameClassName() const override { return "TPVPTextFrame"; }
  std::string DisplayName() const override { return Text; }
  std::string InsertCaption() const override { return "Text einf\xFC" "gen"; }
  bool IsPositionable() const override { return true; }

  void SetText(const std::string& Value);

  // Run time (PVPTextShow.cpp).
  // The data files the animation class needs.
  std::vector<std::string> UsedProgramFilenames() const override;
  // Starts the object, then a fresh instance of AnimationClass when that is a
  // text animation class.
  void Start(PlayerWindow* Form) override;
  void Stop() override;
  // Lets the animation draw, or draws the whole text at once.
  void Step() override;
  // A text object is always painted directly: no cache.
  void PrepareCache(const TRect&, const TRect&, bool) override {}
  // Places the text in StageRect (ObjectRect is not used).
  void Paint(platform::Canvas& Canvas, const TRect& ObjectRect, const TRect& StageRect) override;
  // DrawText flags: word break, no prefix, and the horizontal alignment
  // (0x810 left, 0x812 right, 0x811 centred).
  virtual std::uint16_t TextFormat() const;
  virtual TRect TextRect(const TRect& StageRect) const;
  // Widens and heightens Placement to the text measured on the 800 x 600
  // reference stage (authoring side).
  virtual void FitPlacementToText();
  // A copy of AFont whose height is scaled from the 800 x 600 reference stage
  // to Area by the larger of the two ratios, rounded half to even.
  std::unique_ptr<TFont> ScaledFont(const TFont& AFont, const TRect& Area) const;
  // The font the text is drawn in: Font, or the default font when the
  // payload held none.
  const TFont& DrawingFont() const;
  // AnimationClass's text-animation operations; none when it names a class
  // of another family.
  const TextAnimationClassOperations* AnimationOperations() const;
  // Copies Source's animation as a new unstarted instance of its class, or
  // frees this object's own when Source has none; used by Assign.
  void AssignTextAnimation(const TPVPText& Source);

  TColor EffectColor2 = 0x800000;  // stored; navy
  TColor EffectColor = 0;          // stored
  std::uint8_t EffectStyle = 2;    // stored; 0 plain, 1 shadow, 2 outline, 3 raised
  std::uint8_t Alignment = 0;      // stored; 0 left, 1 right, 2 centred
  // Stored by class name; a name that is not registered reads as none.
  TPluginClassRef AnimationClass = nullptr;
  std::string Text;  // stored, 8-bit
  // Stored. A payload holding the no-font marker leaves it null, so that the
  // object is written back as it was read.
  std::unique_ptr<TFont> Font;
  // The animation class name as it was read, registered or not.
  std::string AnimationClassNameRead;
  // The running animation, from Start to Stop.
  std::unique_ptr<TextAnimationInstance> TextAnimation;

private:
  void ConnectFont();
};

// A font with the text object's defaults: Arial, 24 points, white.
std::unique_ptr<TFont> DefaultTextFont();
