#pragma once
// The player's application information. Every answer is a constant or built
// from constants. Self-freeing: the installed reference keeps it alive.
#include "Tools/ApplicationInfoUnit.h"

class TKivoApplicationInfo : public TInterfaceImp, public IApplicationInfo {
public:
  std::string MakerName() override;       // "Tessaly"
  std::string ProductName() override;     // "Lumora"
  std::string RightsNotice() override;
  std::string WebAddress() override;      // host name, no scheme
  std::string WebUrl() override;          // "http://" + WebAddress
  std::string EMail() override;
  std::string MajorVersion() override;    // "2"
  std::string Version() override;         // "2.4"
  std::string VersionSuffix() override;   // ".01"
  std::string FullVersion() override;     // "2.4.01"
  // "\Software\Tessaly\Lumora\2.x\" — a key of the Windows registry, kept
  // with its backslashes.
  std::string RegistryKey() override;
  // "Tessaly/Lumora/": a relative folder, with this platform's delimiter.
  std::string DataFolderName() override;
  std::string SplashFileName() override;  // "data/splash.dat", relative to the program folder
  // The executable's folder (ProgramFolder) + "Lumora.chm".
  std::string HelpFile() override;

  // Creates the object and installs it with SetApplicationInfo.
  static void Install();

protected:
  void* GetInterface(const TGUID& InterfaceID) override;
};
