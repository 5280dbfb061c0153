#pragma once
// The player's run: choose the presentation file (the first command-line
// argument, else the open dialog), check that it exists, load it and show it
// in the player window until the user leaves.
#include <string>
#include <vector>

class TSlides;

// What the run needs of the user interface; the player window's code
// provides it, tests use a recording double.
class TPlayerHost {
public:
  virtual ~TPlayerHost() = default;
  // The open dialog; the chosen path, or the empty string when cancelled.
  virtual std::string SelectPresentationFile() = 0;
  // A plain message box (UTF-8 text).
  virtual void ShowMessage(const std::string& Text) = 0;
  // Creates the player window, plays Slides until the window is closed and
  // frees the window again (also on error).
  virtual void ShowPlayerWindow(TSlides& Slides) = 0;
};

// Arguments are the command-line arguments after the program name; only the
// first is read.
void StartPresentationPlayer(const std::vector<std::string>& Arguments, TPlayerHost& Host);
// Loads FileName into a new presentation and shows it; the presentation is
// freed afterwards, also when loading or playing raised. Loading errors
// propagate to the caller.
void PlayPresentationFile(const std::string& FileName, TPlayerHost& Host);
// "Datei "<FileName>" nicht gefunden!"
std::string FileNotFoundMessage(const std::string& FileName);
