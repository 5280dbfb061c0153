// lmotool check FILE: 0 when the file loads and every medium is found, 1 when
// media are missing or class names unregistered, 2 when it does not load.
#include <CLI/CLI.hpp>

#include <iostream>

#include "Chore/lmotool/Inspection.h"
#include "Chore/lmotool/ToolCommand.h"
#include "Chore/lmotool/ToolSupport.h"

namespace {

class CheckCommand final : public InspectingCommand {
public:
  CheckCommand() : InspectingCommand("check", "Check that a presentation loads and all its media are found") {}

protected:
  int Inspect(const TSlides& Slides) override {
    int Status = ExitOk;
    for (const auto& M : ListMedia(Slides)) {
      if (!M.ResolvedName.empty()) continue;
      std::cout << "missing medium: slide " << M.Slide << " object " << M.Object << ": " << M.StoredName << "\n";
      Status = ExitProblems;
    }
    for (const auto& U : ListUnregisteredNames(Slides)) {
      std::cout << "unregistered " << U.Kind << " class: slide " << U.Slide;
      if (U.Object > 0) std::cout << " object " << U.Object;
      std::cout << ": " << U.Name << "\n";
      Status = ExitProblems;
    }
    if (Status == ExitOk) std::cout << "ok: " << Slides.Count() << " slide(s), every medium found\n";
    return Status;
  }

};

}  // namespace

std::unique_ptr<ToolCommand> MakeCheckCommand() { return std::make_unique<CheckCommand>(); }
