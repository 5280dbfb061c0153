#pragma once
// The random transition: for every run it picks one of the other registered
// transitions, each with the same chance, and lets it do the work. Its own
// step timer never starts and its step interval is 0, so the chosen one runs
// at the bare pace of the driver's waits.
#include <memory>
#include <string>
#include <vector>

#include "Transitions/TransitionPlugin.h"

class TPlugins;

class TTPRandomTransitionClass : public TTransitionPlugin::TMetaClass {
public:
  std::string Caption() const override { return "Zuf\xE4llige \xDC" "berblendung"; }
  bool NeedsSourceBitmap() const override { return true; }
  // Every name of every other registered transition's UsedFilenames, in
  // registration order; duplicates stay.
  std::vector<std::string> UsedFilenames() const override;
};

class TTPRandomTransition : public TTransitionPlugin {
  LMO_PLUGIN_WITH_CLASS(TTPRandomTransition, TTransitionPlugin, TTPRandomTransitionClass)
public:
  // The base initialisation (which needs a source), then a fresh instance of
  // a chosen class, with step interval 0, initialised with the same
  // arguments. Without any other registered transition there is none.
  void InitTransition(TRect ARect, TBitmap32* Source, TBitmap32* Target, platform::PaintDevice& ACanvas) override;
  // The base reset, then the chosen transition's reset; it is freed.
  void ResetTransition() override;
  void Step() override;
  bool Finished() override;

  // Draws up to N times (N = the number of transition classes in Registry):
  // a slot at random; a class other than this one's is taken, any other
  // draw empties the slot. nullptr when every draw missed.
  TPluginClassRef ChooseTransitionClass(const TPlugins& Registry) const;

  TTransitionPlugin* Current() const { return Current_.get(); }

private:
  std::unique_ptr<TTransitionPlugin> Current_;
};
