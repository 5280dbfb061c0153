// lmotool dump FILE: the model as JSON on stdout.
#include <CLI/CLI.hpp>

#include <iostream>

#include "Chore/lmotool/Inspection.h"
#include "Chore/lmotool/ModelJson.h"
#include "Chore/lmotool/ToolCommand.h"
#include "Chore/lmotool/ToolSupport.h"

namespace {

class DumpCommand final : public InspectingCommand {
public:
  DumpCommand() : InspectingCommand("dump", "Write the presentation model as JSON to stdout") {}

protected:
  int Inspect(const TSlides& Slides) override {
    std::cout << PresentationToJson(Slides).dump(2) << "\n";
    return ExitOk;
  }

};

}  // namespace

std::unique_ptr<ToolCommand> MakeDumpCommand() { return std::make_unique<DumpCommand>(); }
