#pragma once
// The player's user interface for the run: the desktop's file chooser, the
// message box and the player window; and the program body of lmoplayer.
#include <stdexcept>
#include <string>
#include <vector>

#include "Chore/StartPlayer.h"

// No file chooser can be shown here (no display, no portal, no chooser
// program).
class ENoFileChooser : public std::runtime_error {
public:
  ENoFileChooser() : std::runtime_error("no file chooser available") {}
};

// The program's title, also the application's name (UTF-8).
extern const char* const PlayerTitle;

class TDesktopPlayerHost : public TPlayerHost {
public:
  // Throws ENoFileChooser when no chooser can be shown.
  std::string SelectPresentationFile() override;
  void ShowMessage(const std::string& Text) override;
  void ShowPlayerWindow(TSlides& Slides) override;
};

// Creates the player window as KivoSlideShowPlayerForm, plays Slides until
// the window closes, stops the current object while the window still exists
// and frees the window (also on error).
void ShowPlayerWindow(TSlides& Slides);

// The program body after module initialisation: the title, the file, the
// show. Exit status 0; 1 when loading or showing failed (the error shown in
// the error box and on stderr, no window left open); 2 when no file was given
// and no chooser can be shown (the usage on stderr).
int RunPresentationPlayer(const std::vector<std::string>& Arguments);
