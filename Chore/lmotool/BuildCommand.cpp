// lmotool build FILE.json -o OUT.lmo: writes a presentation from JSON of the
// form dump produces.
#include <CLI/CLI.hpp>

#include <fstream>
#include <iostream>

#include "Chore/lmotool/Inspection.h"
#include "Chore/lmotool/ModelJson.h"
#include "Chore/lmotool/ToolCommand.h"
#include "Slides/PresentationWriter.h"

namespace {

class BuildCommand final : public ToolCommand {
public:
  CLI::App* Add(CLI::App& App) override {
    CLI::App* Sub = App.add_subcommand("build", "Write a presentation from JSON (the form dump writes)");
    Sub->add_option("FILE", Input_, "the JSON description")->required();
    Sub->add_option("-o,--output", Output_, "the presentation to write (.lmo)")->required();
    return Sub;
  }

  int Run() override {
    PrepareModel();
    std::ifstream In(Input_);
    if (!In) {
      std::cerr << "lmotool: cannot open " << Input_ << "\n";
      return ExitFailed;
    }
    nlohmann::json Document;
    try {
      Document = nlohmann::json::parse(In);
    } catch (const nlohmann::json::parse_error& E) {
      std::cerr << "lmotool: " << Input_ << " is not valid JSON: " << E.what() << "\n";
      return ExitFailed;
    }
    try {
      TSlides Slides;
      PresentationFromJson(Document, Slides);
      SavePresentationToFile(Slides, Output_);
    } catch (const EModelJsonError& E) {
      std::cerr << "lmotool: " << Input_ << ": " << E.what() << "\n";
      return ExitFailed;
    } catch (const std::exception& E) {
      std::cerr << "lmotool: " << Output_ << ": " << E.what() << "\n";
      return ExitFailed;
    }
    return ExitOk;
  }

private:
  std::string Input_;
  std::string Output_;
};

}  // namespace

std::unique_ptr<ToolCommand> MakeBuildCommand() { return std::make_unique<BuildCommand>(); }
