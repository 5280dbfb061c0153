#include "SlideObjects/PVPPicture.h"

#include "CKS/CKSStream.h"
#include "PluginEngine/PluginLists.h"
#include "SlideObjects/SlideObjectSupport.h"

TPluginClassRef DefaultPictureTransitionClass() {
  return PluginRegistry.FindPlugin("TTPRandomTransition");
}

TPVPPicture::TPVPPicture() : TransitionClass(DefaultPictureTransitionClass()) {}

TPVPPicture::~TPVPPicture() { Finish(); }

void TPVPPicture::Assign(const TPlugin* Source) {
  TDavazozavVisiblePlugin::Assign(Source);
  if (const auto* S = dynamic_cast<const TPVPPicture*>(Source)) {
    TransitionClass = S->TransitionClass;
    TransitionClassNameRead = S->TransitionClassNameRead;
    FileName = S->FileName;
    FillBackground = S->FillBackground;
    FillColor = S->FillColor;
    Picture = S->Picture;
  }
}

void TPVPPicture::SaveToStream(TCKSStream& Stream) {
  TDavazozavVisiblePlugin::SaveToStream(Stream);
  Stream.WriteString(FileName);
  Stream.WriteString(TransitionClass ? std::string(TransitionClass->ClassName()) : std::string());
  Stream.WriteBoolean(FillBackground);
  AsWinTypes(Stream).WriteColor(FillColor);
}

void TPVPPicture::LoadFromStream(TCKSStream& Stream) {
  TDavazozavVisiblePlugin::LoadFromStream(Stream);
  FileName = Stream.ReadString();
  TransitionClassNameRead = Stream.ReadString();
  TransitionClass = FindPluginOrNone(TransitionClassNameRead);
  FillBackground = Stream.ReadBoolean();
  FillColor = AsWinTypes(Stream).ReadColor();
}

std::vector<std::string> TPVPPicture::UsedFilenames() const {
  if (FileName.empty()) return {};
  return {FileName};
}

void TPVPPicture::MoveFilesTo(const std::string& Folder) { FileName = MovedFileName(FileName, Folder); }

void TPVPPicture::FileCopiedAs(const std::string& OldName, const std::string& NewName) {
  if (FileName == OldName) FileName = CopiedFileName(FileName, NewName);
}
