#include "SlideObjects/SlideObjectSupport.h"

#include "SlideObjects/DavazozavPlugin.h"
#include "Tools/FileNames.h"

TCKSStreamWinTypes& AsWinTypes(TCKSStream& Stream) {
  auto* WinTypes = dynamic_cast<TCKSStreamWinTypes*>(&Stream);
  if (!WinTypes) throw EInvalidCast();
  return *WinTypes;
}

std::string MovedFileName(const std::string& FileName, const std::string& Folder) {
  return IncludeTrailingDelimiter(Folder) + StoredFileNamePart(FileName);
}

std::string CopiedFileName(const std::string& FileName, const std::string& NewName) {
  return IncludeTrailingDelimiter(StoredFolderPart(FileName)) + StoredFileNamePart(NewName);
}
