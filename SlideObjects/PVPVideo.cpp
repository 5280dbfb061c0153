#include "SlideObjects/PVPVideo.h"

#include "CKS/CKSStream.h"
#include "SlideObjects/SlideObjectSupport.h"

TPVPVideo::~TPVPVideo() { Finish(); }

void TPVPVideo::Assign(const TPlugin* Source) {
  TDavazozavVisiblePlugin::Assign(Source);
  if (const auto* S = dynamic_cast<const TPVPVideo*>(Source)) {
    FileName = S->FileName;
    StartPending = S->StartPending;
    PlayState = S->PlayState;
  }
}

void TPVPVideo::SaveToStream(TCKSStream& Stream) {
  TDavazozavVisiblePlugin::SaveToStream(Stream);
  Stream.WriteString(FileName);
}

void TPVPVideo::LoadFromStream(TCKSStream& Stream) {
  TDavazozavVisiblePlugin::LoadFromStream(Stream);
  FileName = Stream.ReadString();
}

std::vector<std::string> TPVPVideo::UsedFilenames() const {
  if (FileName.empty()) return {};
  return {FileName};
}

void TPVPVideo::MoveFilesTo(const std::string& Folder) { FileName = MovedFileName(FileName, Folder); }

void TPVPVideo::FileCopiedAs(const std::string& OldName, const std::string& NewName) {
  if (FileName == OldName) FileName = CopiedFileName(FileName, NewName);
}

void TPVPVideo::SetFileName(const std::string& Value) {
  if (Value == FileName) return;
  FileName = Value;
  // A new file also invalidates the preview and the cache (none are made in
  // the player).
  DoChange(true);
}
