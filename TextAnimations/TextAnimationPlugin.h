#pragma once
// The base of every text animation: a plug-in that brings a text object's
// text onto the stage over several slide ticks instead of at once. The text
// object creates a fresh instance for every run, calls Start once, then
// Animate and Finished on each of its steps, and frees it when it stops.
#include <string>
#include <vector>

#include "PluginEngine/Plugins.h"
#include "SlideObjects/TextAnimationLink.h"

class PlayerWindow;
class TPVPText;

// Class-level operations of the text animation family.
class TTextAnimationPluginClass : public TPluginClass, public TextAnimationClassOperations {
public:
  // Bare names (no folder) of the sound or picture files the animation needs
  // from the program's data folder. The base needs none.
  std::vector<std::string> UsedFilenames() const override { return {}; }
};

class TTextAnimationPlugin : public TPlugin, public TextAnimationInstance {
  LMO_PLUGIN_WITH_CLASS(TTextAnimationPlugin, TPlugin, TTextAnimationPluginClass)
public:
  // No text object until Start.
  TTextAnimationPlugin() = default;

  // True when nothing is left to animate; the base has nothing.
  bool Finished() override { return true; }
  // One tick of the animation; the base draws nothing.
  void Animate(PlayerWindow* PlayerForm) override { (void)PlayerForm; }
  // Binds the text object; the next Animate does the one-time preparation.
  void Start(TPVPText* ATextObject, PlayerWindow* PlayerForm) override;

  // The class-level operations of this instance's class.
  const TTextAnimationPluginClass& AnimationClass() const {
    return *PluginClassAs<TTextAnimationPluginClass>(ClassType());
  }

  TPVPText* TextObject = nullptr;  // borrowed
  bool FirstStep = false;
};
