#pragma once
// The player window's video panel: a black panel without bevel, hidden while
// no video plays. The video object moves it over its pixel rectangle and
// shows it; playback itself is added by the video object's code.
#include "Platform/App/Control.h"

class TMoviePanel : public platform::Panel {
public:
  explicit TMoviePanel(platform::Control* Parent = nullptr) : platform::Panel(Parent) {
    Name = "VideoPlayer";
    Color = 0xFF000000;
    Bevel = false;
    Hide();
  }
};
