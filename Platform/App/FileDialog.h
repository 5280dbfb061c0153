#pragma once
// The desktop's open-file chooser: xdg-desktop-portal's FileChooser over
// D-Bus, else zenity, else kdialog. Single existing file only.
#include <string>
#include <vector>

namespace platform {

struct FileFilter {
  std::string Name;                   // UTF-8
  std::vector<std::string> Patterns;  // "*.lmo", "*.*"
};

// "Name|*.a;*.b|Name2|*.c" as a list of filters (a trailing name without
// patterns is dropped).
std::vector<FileFilter> ParseFilterString(const std::string& Text);

struct OpenFileOptions {
  std::string Title;               // UTF-8
  std::vector<FileFilter> Filters; // the first one preselected
  std::string DefaultExtension;    // without the dot: "lmo"
  std::string InitialFolder;
};

struct ChooserResult {
  enum class Status { Chosen, Cancelled, Unavailable };
  Status Outcome = Status::Unavailable;
  std::string Path;  // when Chosen
};

// Shows the chooser and waits for it. Unavailable when no chooser can be
// shown: no display, and neither the portal nor zenity nor kdialog. A chosen
// name without extension that does not exist gets the default extension when
// that names an existing file.
ChooserResult ChooseFileToOpen(const OpenFileOptions& Options);

}  // namespace platform
