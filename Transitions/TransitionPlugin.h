#pragma once
// The base of every transition: a plug-in that brings a new picture (the
// target bitmap) onto a rectangle of the window canvas in a series of steps.
//
// Protocol: InitTransition once, then while !Finished(): Step(), then
// WaitForNextStep(); finally ResetTransition(). Execute() runs that loop.
// Steps draw straight onto the canvas; the sleeps between them are what puts
// each step on the screen as one frame.
#include <cstdint>
#include <string>
#include <vector>

#include "PluginEngine/Plugins.h"
#include "Platform/Core/Types.h"

class TBitmap32;
namespace platform {
class PaintDevice;
}

// Class-level operations of the transition family.
class TTransitionPluginClass : public TPluginClass {
public:
  // Whether InitTransition needs a bitmap of what the stage showed before.
  virtual bool NeedsSourceBitmap() const { return false; }
  // Bare names (no folder) of the program data files the class reads.
  virtual std::vector<std::string> UsedFilenames() const { return {}; }
};

class TTransitionPlugin : public TPlugin {
  LMO_PLUGIN_WITH_CLASS(TTransitionPlugin, TPlugin, TTransitionPluginClass)
public:
  // StepInterval 0, idle (no rectangle, bitmaps or canvas).
  TTransitionPlugin();
  // Subclasses release their work state in their own destructors (members
  // that free themselves), which is what a reset at destruction amounts to.
  ~TTransitionPlugin() override;

  // Draws (0, 0, width, height of Rect) of the target onto the canvas at
  // Rect: the final picture without effect. Nothing in the player calls it.
  virtual void DrawTarget();

  // Stores the arguments; Source may be null, Target and Canvas are
  // borrowed until ResetTransition. Throws std::runtime_error
  // "SourceBitmap wird benötigt!" when Source is null and the class needs
  // one (Rect is stored already then, nothing else).
  virtual void InitTransition(TRect ARect, TBitmap32* Source, TBitmap32* Target, platform::PaintDevice& ACanvas);
  // Ends a run: no rectangle, bitmaps or canvas any more.
  virtual void ResetTransition();
  // One step of the effect, drawn onto the canvas. The base does nothing.
  virtual void Step() {}
  // True when no further step is needed. The base is always finished.
  virtual bool Finished() { return true; }
  // The whole run: while not finished, Step and WaitForNextStep; then reset.
  virtual void Execute();

  void SetStepInterval(std::uint32_t Milliseconds) { StepInterval_ = Milliseconds; }
  // StepStart := the current tick count.
  void StartStepTimer();
  // Sleeps 10 ms, then 1 ms at a time until StepInterval has passed since
  // StepStart (unsigned 32-bit difference, so a wrap of the tick count is
  // harmless).
  void WaitForNextStep();

  std::uint32_t StepInterval() const { return StepInterval_; }
  const TRect& Rect() const { return Rect_; }
  TBitmap32* SourceBitmap() const { return SourceBitmap_; }
  TBitmap32* TargetBitmap() const { return TargetBitmap_; }
  platform::PaintDevice* Canvas() const { return Canvas_; }
  std::int32_t StepCount() const { return StepCount_; }
  std::uint32_t StepStart() const { return StepStart_; }

  // The class's metaclass with the family's class-level operations.
  const TTransitionPluginClass& TransitionClass() const {
    return *PluginClassAs<TTransitionPluginClass>(ClassType());
  }

protected:
  std::uint32_t StepInterval_ = 0;
  TRect Rect_;
  TBitmap32* SourceBitmap_ = nullptr;
  TBitmap32* TargetBitmap_ = nullptr;
  platform::PaintDevice* Canvas_ = nullptr;
  std::int32_t StepCount_ = 0;
  std::uint32_t StepStart_ = 0;
};

// The message of the missing source bitmap.
inline constexpr const char* SourceBitmapNeededMessage = "SourceBitmap wird benötigt!";
