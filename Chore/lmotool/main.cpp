// lmotool: inspects, checks, converts and renders presentation files with the
// player's own libraries.
#include <CLI/CLI.hpp>

#include <iostream>

#include "Chore/lmotool/ToolCommand.h"

#ifndef LMO_VERSION
#define LMO_VERSION "0.0.0"
#endif

int main(int argc, char** argv) {
  CLI::App App{"lmotool - inspect, check, convert and render presentation files (.lmo)", "lmotool"};
  App.set_version_flag("--version", std::string("lmotool ") + LMO_VERSION);
  App.require_subcommand(1);

  std::vector<std::unique_ptr<ToolCommand>> Commands;
  Commands.push_back(MakeInfoCommand());
  Commands.push_back(MakeCheckCommand());
  Commands.push_back(MakeDumpCommand());
  Commands.push_back(MakeBuildCommand());
  Commands.push_back(MakeRenderCommand());
  std::vector<std::pair<CLI::App*, ToolCommand*>> Chosen;
  for (auto& Command : Commands) Chosen.emplace_back(Command->Add(App), Command.get());

  try {
    App.parse(argc, argv);
  } catch (const CLI::ParseError& E) {
    const int Status = App.exit(E);
    return Status == 0 ? 0 : 2;
  }
  try {
    for (auto& [Sub, Command] : Chosen)
      if (Sub->parsed()) return Command->Run();
  } catch (const std::exception& E) {
    std::cerr << "lmotool: " << E.what() << "\n";
    return 2;
  }
  return 2;
}
