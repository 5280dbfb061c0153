#include "Chore/lmotool/Inspection.h"

#include "Chore/Registration.h"
#include "Platform/Core/Cp1252.h"
#include "PluginEngine/PluginLists.h"
#include "SlideObjects/PVPPicture.h"
#include "SlideObjects/PVPText.h"
#include "Tools/MediaFiles.h"

void PrepareModel() {
  static const bool Registered = [] {
    RegisterPluginClasses(PluginRegistry);
    return true;
  }();
  (void)Registered;
}

std::vector<MediumReference> ListMedia(const TSlides& Slides) {
  std::vector<MediumReference> Result;
  for (std::int32_t S = 0; S < Slides.Count(); ++S) {
    const TSlide& Slide = *Slides.Slides[static_cast<std::size_t>(S)];
    for (std::int32_t O = 0; O < Slide.Objects.Count(); ++O) {
      for (const std::string& Name : Slide.Objects.Objects(O)->UsedFilenames()) {
        MediumReference M;
        M.Slide = S + 1;
        M.Object = O + 1;
        M.StoredName = platform::Cp1252ToUtf8(Name);
        M.ResolvedName = ResolveMediaFile(Name);
        Result.push_back(M);
      }
    }
  }
  return Result;
}

std::vector<UnregisteredName> ListUnregisteredNames(const TSlides& Slides) {
  std::vector<UnregisteredName> Result;
  for (std::int32_t S = 0; S < Slides.Count(); ++S) {
    const TSlide& Slide = *Slides.Slides[static_cast<std::size_t>(S)];
    for (const std::string& Name : Slide.UnregisteredClassNames())
      Result.push_back({S + 1, 0, "object", platform::Cp1252ToUtf8(Name)});
    for (std::int32_t O = 0; O < Slide.Objects.Count(); ++O) {
      TDavazozavPlugin* Obj = Slide.Objects.Objects(O);
      if (auto* P = dynamic_cast<TPVPPicture*>(Obj); P && !P->TransitionClass && !P->TransitionClassNameRead.empty())
        Result.push_back({S + 1, O + 1, "transition", platform::Cp1252ToUtf8(P->TransitionClassNameRead)});
      if (auto* T = dynamic_cast<TPVPText*>(Obj); T && !T->AnimationClass && !T->AnimationClassNameRead.empty())
        Result.push_back({S + 1, O + 1, "text animation", platform::Cp1252ToUtf8(T->AnimationClassNameRead)});
    }
  }
  return Result;
}

std::string TimingModeText(std::uint8_t Mode) {
  switch (Mode) {
    case 0: return "timed";
    case 1: return "key or click";
    default: return "when done";
  }
}
