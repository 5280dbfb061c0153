#pragma once
// A text written into the object's placement in a stored font, in one of four
// effect styles, at once or through a text animation.
#include <memory>

#include "Platform/Core/Font.h"
#include "Platform/Core/Types.h"
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

private:
  void ConnectFont();
};

// A font with the text object's defaults: Arial, 24 points, white.
std::unique_ptr<TFont> DefaultTextFont();
