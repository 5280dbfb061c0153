#pragma once
// Shared parts of the inspecting sub-commands.
#include <string>
#include <utility>

#include "Chore/lmotool/ToolCommand.h"

class TSlides;

// Loads File into Slides; on an error writes the German message to stderr
// and answers false.
bool LoadForInspection(const std::string& File, TSlides& Slides);

// A sub-command that takes one presentation FILE, loads only its model and
// inspects it: info, check and dump.
class InspectingCommand : public ToolCommand {
public:
  InspectingCommand(std::string Name, std::string Description)
      : Name_(std::move(Name)), Description_(std::move(Description)) {}
  CLI::App* Add(CLI::App& App) final;
  int Run() final;

protected:
  // Called with the loaded model; answers the exit status.
  virtual int Inspect(const TSlides& Slides) = 0;
  const std::string& File() const { return File_; }

private:
  std::string Name_;
  std::string Description_;
  std::string File_;
};
