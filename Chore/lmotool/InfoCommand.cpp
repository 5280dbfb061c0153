// lmotool info FILE: what a presentation holds and whether its media are there.
#include <CLI/CLI.hpp>

#include <iostream>

#include "Chore/lmotool/Inspection.h"
#include "Chore/lmotool/ToolCommand.h"
#include "Chore/lmotool/ToolSupport.h"

namespace {

class InfoCommand final : public InspectingCommand {
public:
  InfoCommand() : InspectingCommand("info", "Show the slides, objects and media of a presentation") {}

protected:
  int Inspect(const TSlides& Slides) override {
    std::ostream& Out = std::cout;
    Out << "File: " << File() << "\n";
    Out << "File type: " << Slides.FileType << (Slides.FileType == PresentationFileType ? " (presentation)" : " (not a presentation: no slides are read)") << "\n";
    Out << "Slides: " << Slides.Count() << "\n";
    for (std::int32_t S = 0; S < Slides.Count(); ++S) {
      const TSlide& Slide = *Slides.Slides[static_cast<std::size_t>(S)];
      Out << "Slide " << S + 1 << ": " << Slide.Objects.Count() << " object(s)\n";
      for (std::int32_t O = 0; O < Slide.Objects.Count(); ++O) {
        const TDavazozavPlugin& Obj = *Slide.Objects.Objects(O);
        Out << "  " << O + 1 << ". " << Obj.ClassName() << "  mode " << int(Obj.TimingMode) << " ("
            << TimingModeText(Obj.TimingMode) << ")";
        if (Obj.TimingMode == 0) Out << "  " << Obj.Duration << " ms";
        Out << "\n";
      }
    }
    const auto Media = ListMedia(Slides);
    Out << "Media: " << Media.size() << "\n";
    for (const auto& M : Media) {
      Out << "  slide " << M.Slide << " object " << M.Object << ": " << M.StoredName;
      if (M.ResolvedName.empty())
        Out << "  MISSING\n";
      else
        Out << "  found: " << M.ResolvedName << "\n";
    }
    const auto Unregistered = ListUnregisteredNames(Slides);
    Out << "Unregistered class names: " << Unregistered.size() << "\n";
    for (const auto& U : Unregistered) {
      Out << "  slide " << U.Slide;
      if (U.Object > 0) Out << " object " << U.Object;
      Out << ": " << U.Kind << " " << U.Name << (U.Kind == "object" ? " (record skipped)" : " (read as none)") << "\n";
    }
    return ExitOk;
  }

};

}  // namespace

std::unique_ptr<ToolCommand> MakeInfoCommand() { return std::make_unique<InfoCommand>(); }
