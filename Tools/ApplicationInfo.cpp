#include "Platform/Core/Assertion.h"
#include "Tools/ApplicationInfoUnit.h"
#include "Tools/FileNames.h"
#include "Tools/KivoApplicationInfo.h"
#include "Tools/MediaFiles.h"

#include <utility>

namespace {

TInterfacePtr<IApplicationInfo>& InstalledInfo() {
  static TInterfacePtr<IApplicationInfo> Info;
  return Info;
}

}  // namespace

void SetApplicationInfo(TInterfacePtr<IApplicationInfo> Info) {
  Assert(!InstalledInfo(), "ApplicationInfo mehrfach gesetzt!", "ApplicationInfoUnit", 153);
  InstalledInfo() = std::move(Info);
}

TInterfacePtr<IApplicationInfo> GetApplicationInfo() {
  Assert(static_cast<bool>(InstalledInfo()), "keine ApplicationInfoInt gesetzt!", "ApplicationInfoUnit", 164);
  return InstalledInfo();
}

std::string TKivoApplicationInfo::MakerName() { return "Tessaly"; }
std::string TKivoApplicationInfo::ProductName() { return "Lumora"; }
std::string TKivoApplicationInfo::RightsNotice() { return "Copyright (C) Tessaly. Alle Rechte vorbehalten."; }
std::string TKivoApplicationInfo::WebAddress() { return "www.tessaly.example"; }
std::string TKivoApplicationInfo::WebUrl() { return "http://" + WebAddress(); }
std::string TKivoApplicationInfo::EMail() { return "info@tessaly.example"; }
std::string TKivoApplicationInfo::MajorVersion() { return "2"; }
std::string TKivoApplicationInfo::Version() { return MajorVersion() + ".4"; }
std::string TKivoApplicationInfo::VersionSuffix() { return ".01"; }
std::string TKivoApplicationInfo::FullVersion() { return Version() + VersionSuffix(); }

std::string TKivoApplicationInfo::RegistryKey() {
  return "\\Software\\" + MakerName() + "\\" + ProductName() + "\\" + MajorVersion() + ".x\\";
}

std::string TKivoApplicationInfo::DataFolderName() { return MakerName() + "/" + ProductName() + "/"; }
std::string TKivoApplicationInfo::SplashFileName() { return "data/splash.dat"; }
std::string TKivoApplicationInfo::HelpFile() { return IncludeTrailingDelimiter(ProgramFolder) + "Lumora.chm"; }

void* TKivoApplicationInfo::GetInterface(const TGUID& InterfaceID) {
  if (InterfaceID == IApplicationInfo::IID) return static_cast<IApplicationInfo*>(this);
  return TInterfaceImp::GetInterface(InterfaceID);
}

void TKivoApplicationInfo::Install() {
  // The installed reference is the one that keeps the object alive.
  TInterfacePtr<IApplicationInfo> Info(new TKivoApplicationInfo);
  SetApplicationInfo(std::move(Info));
}
