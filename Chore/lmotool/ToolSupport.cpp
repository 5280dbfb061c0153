#include "Chore/lmotool/ToolSupport.h"

#include <filesystem>
#include <iostream>

#include <CLI/CLI.hpp>

#include "Chore/lmotool/Inspection.h"
#include "Slides/Slides.h"

bool LoadForInspection(const std::string& File, TSlides& Slides) {
  std::error_code Error;
  if (std::filesystem::is_directory(File, Error)) {
    std::cerr << "lmotool: " << File << ": is a folder\n";
    return false;
  }
  try {
    Slides.LoadFromFile(File);
    return true;
  } catch (const std::exception& E) {
    std::cerr << "lmotool: " << File << ": " << E.what() << "\n";
    return false;
  }
}

CLI::App* InspectingCommand::Add(CLI::App& App) {
  CLI::App* Sub = App.add_subcommand(Name_, Description_);
  Sub->add_option("FILE", File_, "the presentation (.lmo)")->required();
  return Sub;
}

int InspectingCommand::Run() {
  PrepareModel();
  TSlides Slides;
  if (!LoadForInspection(File_, Slides)) return ExitFailed;
  return Inspect(Slides);
}
