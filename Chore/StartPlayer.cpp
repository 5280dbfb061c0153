#include "Chore/StartPlayer.h"

#include <filesystem>
#include <system_error>

#include "Slides/Slides.h"

namespace {

// An existing file; a folder does not count.
bool NamesExistingFile(const std::string& FileName) {
  std::error_code Error;
  const auto Status = std::filesystem::status(FileName, Error);
  return !Error && std::filesystem::exists(Status) && !std::filesystem::is_directory(Status);
}

}  // namespace

std::string FileNotFoundMessage(const std::string& FileName) { return "Datei \"" + FileName + "\" nicht gefunden!"; }

void PlayPresentationFile(const std::string& FileName, TPlayerHost& Host) {
  TSlides Slides;
  Slides.LoadFromFile(FileName);
  Host.ShowPlayerWindow(Slides);
}

void StartPresentationPlayer(const std::vector<std::string>& Arguments, TPlayerHost& Host) {
  std::string FileName = Arguments.empty() ? std::string() : Arguments.front();
  if (FileName.empty()) FileName = Host.SelectPresentationFile();
  if (FileName.empty()) return;  // the dialog was cancelled
  if (NamesExistingFile(FileName))
    PlayPresentationFile(FileName, Host);
  else
    Host.ShowMessage(FileNotFoundMessage(FileName));
}
