// lmotool check FILE: 0 when the file loads and every medium is found, 1 when
// media are missing or class names unregistered, 2 when it does not load.
#include <CLI/CLI.hpp>

#include <iostream>

#include "Chore/lmotool/Inspection.h"
#include "Chore/lmotool/ToolCommand.h"
#include "Chore/lmotool/ToolSupport.h"

namespace {

class CheckCommand final : public ToolCommand {
public:
  CLI::App* Add(CLI::App& App) override {
    CLI::App* Sub = App.add_subcommand("check", "Check that a presentation loads and all its media are found");
    Sub->add_option("FILE", File_, "the presentation (.lmo)")->required();
    return Sub;
  }

  int Run() override {
    PrepareModel();
    TSlides Slides;
    if (!LoadForInspection(File_, Slides)) return ExitFailed;
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

private:
  std::string File_;
};

}  // namespace

std::unique_ptr<ToolCommand> MakeCheckCommand() { return std::make_unique<CheckCommand>(); }
