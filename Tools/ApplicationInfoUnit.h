#pragma once
// The application information: one process-wide object that answers
// questions about the product (maker, product, versions, folders). It is
// installed once at start-up and cannot be replaced.
#include <string>

#include "PluginEngine/InterfaceImp.h"

struct IApplicationInfo : virtual IInterface {
  static constexpr TGUID IID = TGUID::FromString("{3F6A2B14-8C5D-4E97-B1A0-6D2E9C47F853}");
  virtual std::string MakerName() = 0;
  virtual std::string ProductName() = 0;
  virtual std::string RightsNotice() = 0;
  virtual std::string WebAddress() = 0;
  virtual std::string WebUrl() = 0;
  virtual std::string EMail() = 0;
  virtual std::string MajorVersion() = 0;
  virtual std::string Version() = 0;
  virtual std::string VersionSuffix() = 0;
  virtual std::string FullVersion() = 0;
  virtual std::string RegistryKey() = 0;
  virtual std::string DataFolderName() = 0;
  virtual std::string SplashFileName() = 0;
  virtual std::string HelpFile() = 0;
};

// Installs the single instance; a second call fails the assertion
// "ApplicationInfo mehrfach gesetzt!" (ApplicationInfoUnit, line 153).
void SetApplicationInfo(TInterfacePtr<IApplicationInfo> Info);
// The installed instance; before installation the assertion
// "keine ApplicationInfoInt gesetzt!" (ApplicationInfoUnit, line 164) fails.
TInterfacePtr<IApplicationInfo> GetApplicationInfo();
