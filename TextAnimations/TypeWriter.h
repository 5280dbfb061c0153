#pragma once
// The typewriter: writes a text object's text character by character at
// irregular intervals, with a click from "typewriter.wav" at every step,
// over the saved background of the text area.
#include <cstdint>
#include <memory>

#include "Platform/Core/Types.h"
#include "TextAnimations/Sprites.h"
#include "TextAnimations/TextAnimationPlugin.h"

class TTAPTypeWriterClass : public TTextAnimationPlugin::TMetaClass {
public:
  std::string Caption() const override { return "Schreibmaschine"; }
  std::vector<std::string> UsedFilenames() const override;
};

class TTAPTypeWriter : public TTextAnimationPlugin {
  LMO_PLUGIN_WITH_CLASS(TTAPTypeWriter, TTextAnimationPlugin, TTAPTypeWriterClass)
public:
  // The shortest pause between two steps and the range of the random part.
  static constexpr std::uint32_t MinimumPause = 10;
  static constexpr std::int32_t RandomPause = 250;

  TTAPTypeWriter() = default;
  ~TTAPTypeWriter() override;

  // All characters revealed (or no text object).
  bool Finished() override;
  // One slide tick: the first prepares (opens the sound, saves the
  // background); then, once the randomly drawn pause has passed, reveals the
  // next character together with the blanks before it and redraws the text.
  void Animate(PlayerWindow* PlayerForm) override;
  // Binds the text object and places the sprite over its text.
  void Start(TPVPText* ATextObject, PlayerWindow* PlayerForm) override;

  std::uint32_t LastCharTick = 0;
  std::int32_t ShownCount = 0;
  std::unique_ptr<TCustomSprite> Sprite;  // created on the first Start
  TRect TextRect{};                       // surface pixels; empty until Start

private:
  void DrawPrefix(PlayerWindow& PlayerForm);
};
