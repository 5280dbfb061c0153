#include "Chore/ModuleInit.h"

#include <functional>

#include "Chore/Registration.h"
#include "Platform/Core/Hooks.h"
#include "Platform/Core/Random.h"
#include "PluginEngine/PluginLists.h"
#include "Tools/KivoApplicationInfo.h"
#include "Tools/MediaFiles.h"

std::uint32_t DavazozavPluginClipboardFormat = 0;

namespace {

std::vector<std::string>& TheJournal() {
  static std::vector<std::string> Journal;
  return Journal;
}

struct TModuleStep {
  const char* Name;
  std::function<void()> Initialize;
  std::function<void()> Finalize;  // may be empty
};

// The application information and the registry live as long as the process:
// the information is installed once (it cannot be replaced), and the
// registry is a static object made empty before main. Both are destroyed by
// the runtime after main returns, the registry with every entry.
bool ApplicationInfoInstalled = false;

std::vector<TModuleStep> Steps(const TStartupOptions& Options) {
  std::vector<TModuleStep> Result;
  Result.push_back({"application information",
                    [] {
                      if (!ApplicationInfoInstalled) TKivoApplicationInfo::Install();
                      ApplicationInfoInstalled = true;
                    },
                    {}});
  Result.push_back({"plug-in registry", [] {}, {}});
  Result.push_back({"random generator, folders, clipboard format",
                    [] {
                      Randomize();
                      SetProgramFolder(ExecutableFolder());
                      PresentationFolder.clear();
                      DavazozavPluginClipboardFormat = platform::RegisterClipboardFormat("DavazozavPlugin");
                    },
                    [] {
                      ProgramFolder.clear();
                      PresentationFolder.clear();
                    }});
  if (Options.BuildPictureFormats)
    Result.push_back({"picture formats", Options.BuildPictureFormats, {}});
  // The text animation and the transitions, then the slide objects, in the
  // one order of the registration table. The component services that the
  // hosted video control needed between the two blocks have no counterpart
  // on this platform.
  Result.push_back({"plug-in classes", [] { RegisterPluginClasses(PluginRegistry); }, {}});
  return Result;
}

}  // namespace

TModuleLifetime::TModuleLifetime(const TStartupOptions& Options) {
  for (TModuleStep& Step : Steps(Options)) {
    Step.Initialize();
    TheJournal().push_back(Step.Name);
    Finalizers_.push_back({Step.Name, std::move(Step.Finalize)});
  }
}

TModuleLifetime::~TModuleLifetime() {
  for (auto It = Finalizers_.rbegin(); It != Finalizers_.rend(); ++It) {
    if (It->second) It->second();
    TheJournal().push_back(std::string("~") + It->first);
  }
}

const std::vector<std::string>& TModuleLifetime::Journal() { return TheJournal(); }
