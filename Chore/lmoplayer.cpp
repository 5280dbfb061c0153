// lmoplayer [FILE]: plays a presentation full-screen until Esc or the exit
// button.
#include <string>
#include <vector>

#include "Chore/ModuleInit.h"
#include "Chore/PlayerHost.h"
#include "Platform/Pictures/Picture.h"

int main(int argc, char** argv) {
  std::vector<std::string> Arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  int Status = 0;
  {
    TStartupOptions Options;
    Options.BuildPictureFormats = [] { platform::RegisterPictureFormats(); };
    TModuleLifetime Modules(Options);
    Status = RunPresentationPlayer(Arguments);
  }
  return Status;
}
