#pragma once
// Module initialisation and finalisation of the player: the process-wide
// objects that exist before anything is played, set up in a fixed order and
// taken down in the reverse order.
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

// What a run sets up beyond the model. lmotool's inspecting commands need
// neither decoders nor anything of the desktop.
struct TStartupOptions {
  // Builds the picture-file format table (the decoders); the player passes
  // it, lmotool's inspecting commands leave it out.
  std::function<void()> BuildPictureFormats;
};

// The clipboard format registered for copied slide objects.
extern std::uint32_t DavazozavPluginClipboardFormat;

// Runs the initialisation steps in order on construction and their
// finalisation in reverse order on destruction. One per process.
class TModuleLifetime {
public:
  explicit TModuleLifetime(const TStartupOptions& Options = {});
  ~TModuleLifetime();
  TModuleLifetime(const TModuleLifetime&) = delete;
  TModuleLifetime& operator=(const TModuleLifetime&) = delete;

  // Names of the steps run so far, in the order they ran (initialisation,
  // then finalisation prefixed with "~").
  static const std::vector<std::string>& Journal();

private:
  std::vector<std::pair<std::string, std::function<void()>>> Finalizers_;
};
