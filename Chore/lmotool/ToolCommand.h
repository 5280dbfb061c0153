#pragma once
// lmotool's sub-commands. Each lives in a source file of its own and adds
// itself to the command line with its options; main() runs the one chosen.
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace CLI {
class App;
}

// Exit statuses shared by the sub-commands.
inline constexpr int ExitOk = 0;
inline constexpr int ExitProblems = 1;   // check: media missing or classes unregistered
inline constexpr int ExitFailed = 2;     // the file does not load, or another error

class ToolCommand {
public:
  virtual ~ToolCommand() = default;
  // Adds the sub-command and its options to App; returns the sub-command.
  virtual CLI::App* Add(CLI::App& App) = 0;
  // Runs it after the command line was parsed; answers the exit status.
  virtual int Run() = 0;
};

std::unique_ptr<ToolCommand> MakeInfoCommand();
std::unique_ptr<ToolCommand> MakeCheckCommand();
std::unique_ptr<ToolCommand> MakeDumpCommand();
std::unique_ptr<ToolCommand> MakeBuildCommand();
std::unique_ptr<ToolCommand> MakeRenderCommand();
