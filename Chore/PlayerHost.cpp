#include "Chore/PlayerHost.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>

#include "Chore/KivoSlideShowPlayerForm.h"
#include "Platform/App/Application.h"
#include "Platform/App/FileDialog.h"
#include "Platform/App/SdlBackend.h"
#include "Slides/Slides.h"
#include "Tools/MediaFiles.h"

const char* const PlayerTitle = "Lumora - Pr\xC3\xA4sentations-Player";

namespace {

constexpr const char* OpenDialogTitle = "Pr\xC3\xA4sentation \xC3\xB6" "ffnen";
constexpr const char* OpenDialogFilter =
    "Alle unterst\xC3\xBCtzen Pr\xC3\xA4sentationen|*.lmo|Lumora Pr\xC3\xA4sentationen (*.LMO)|*.lmo|Alle Dateien|*.*";

constexpr const char* Usage =
    "usage: lmoplayer [FILE]\n"
    "  Plays the presentation FILE (.lmo) full-screen. Without FILE a file\n"
    "  chooser asks for it; none can be shown here (no display, no desktop\n"
    "  portal, neither zenity nor kdialog).\n";

// Whether a message box can be shown on a desktop here. Without one the
// message only goes to stderr: SDL would otherwise look for a helper program
// to show it, which has no display to show it on either.
bool DesktopDisplayReachable() {
  auto Set = [](const char* Name) {
    const char* Value = std::getenv(Name);
    return Value && *Value;
  };
  return (Set("DISPLAY") || Set("WAYLAND_DISPLAY")) && platform::SdlBackend::VideoAvailable();
}

// The message on stderr, and in a message box where there is a desktop.
void Report(const std::string& Text) {
  platform::Application& App = platform::Application::Instance();
  std::fprintf(stderr, "%s: %s\n", App.Title().c_str(), Text.c_str());
  if (DesktopDisplayReachable()) App.Display().ShowMessageBox(App.Title(), Text);
}

}  // namespace

std::string TDesktopPlayerHost::SelectPresentationFile() {
  platform::OpenFileOptions Options;
  Options.Title = OpenDialogTitle;
  Options.Filters = platform::ParseFilterString(OpenDialogFilter);
  Options.DefaultExtension = "lmo";
  Options.InitialFolder = ProgramFolder;
  const platform::ChooserResult Result = platform::ChooseFileToOpen(Options);
  switch (Result.Outcome) {
    case platform::ChooserResult::Status::Chosen: return Result.Path;
    case platform::ChooserResult::Status::Cancelled: return {};
    case platform::ChooserResult::Status::Unavailable: break;
  }
  throw ENoFileChooser();
}

void TDesktopPlayerHost::ShowMessage(const std::string& Text) { Report(Text); }

void TDesktopPlayerHost::ShowPlayerWindow(TSlides& Slides) { ::ShowPlayerWindow(Slides); }

void ShowPlayerWindow(TSlides& Slides) {
  auto Window = std::make_unique<TKivoSlideShowPlayerForm>();
  KivoSlideShowPlayerForm = Window.get();
  struct Ending {
    TSlides& Slides;
    ~Ending() {
      // A close request from the platform ends the run without stopping the
      // current object: stop it now, while the window it may use still
      // exists. Stopping twice is harmless.
      try {
        Slides.StopCurrentObject();
      } catch (const std::exception& Error) {
        std::fprintf(stderr, "%s: %s\n", PlayerTitle, Error.what());
      }
      KivoSlideShowPlayerForm = nullptr;
    }
  } End{Slides};
  Window->Play(Slides);
}

int RunPresentationPlayer(const std::vector<std::string>& Arguments) {
  platform::Application& App = platform::Application::Instance();
  App.SetTitle(PlayerTitle);
  TDesktopPlayerHost Host;
  try {
    StartPresentationPlayer(Arguments, Host);
  } catch (const ENoFileChooser&) {
    std::fputs(Usage, stderr);
    return 2;
  } catch (const std::exception& Error) {
    // The standard error box: the error's text under the program's title.
    Report(Error.what());
    return 1;
  }
  return 0;
}
