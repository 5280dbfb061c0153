#pragma once
// What a text object drives of its text animation. The animations live in a
// library above the slide objects (TextAnimations/); their base class
// implements these two interfaces, and the text object reaches an animation
// only through them.
#include <string>
#include <vector>

class PlayerWindow;
class TPVPText;

// Implemented by every text animation instance.
class TextAnimationInstance {
public:
  virtual ~TextAnimationInstance() = default;
  // True when the animation has nothing more to draw.
  virtual bool Finished() = 0;
  // One slide tick of the animation: it draws and invalidates by itself.
  virtual void Animate(PlayerWindow* PlayerForm) = 0;
  // Binds the animation to its text object for one run.
  virtual void Start(TPVPText* TextObject, PlayerWindow* PlayerForm) = 0;
};

// Implemented by the metaclass of every text animation class.
class TextAnimationClassOperations {
public:
  virtual ~TextAnimationClassOperations() = default;
  // Bare names of the program data files the class needs.
  virtual std::vector<std::string> UsedFilenames() const = 0;
};
