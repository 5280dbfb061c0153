// lmotool dump FILE: the model as JSON on stdout.
#include <CLI/CLI.hpp>

#include <iostream>

#include "Chore/lmotool/Inspection.h"
#include "Chore/lmotool/ModelJson.h"
#include "Chore/lmotool/ToolCommand.h"
#include "Chore/lmotool/ToolSupport.h"

namespace {

class DumpCommand final : public ToolCommand {
public:
  CLI::App* Add(CLI::App& App) override {
    CLI::App* Sub = App.add_subcommand("dump", "Write the presentation model as JSON to stdout");
    Sub->add_option("FILE", File_, "the presentation (.lmo)")->required();
    return Sub;
  }

  int Run() override {
    PrepareModel();
    TSlides Slides;
    if (!LoadForInspection(File_, Slides)) return ExitFailed;
    std::cout << PresentationToJson(Slides).dump(2) << "\n";
    return ExitOk;
  }

private:
  std::string File_;
};

}  // namespace

std::unique_ptr<ToolCommand> MakeDumpCommand() { return std::make_unique<DumpCommand>(); }
