#include "SlideObjects/PIPSound.h"

#include "CKS/CKSStream.h"
#include "SlideObjects/SlideObjectSupport.h"

TPIPSound::~TPIPSound() { Finish(); }

void TPIPSound::Assign(const TPlugin* Source) {
  TDavazozavInvisiblePlugin::Assign(Source);
  if (const auto* S = dynamic_cast<const TPIPSound*>(Source)) {
    FileName = S->FileName;
    StartPending = S->StartPending;
    PlayState = S->PlayState;
  }
}

void TPIPSound::SaveToStream(TCKSStream& Stream) {
  TDavazozavInvisiblePlugin::SaveToStream(Stream);
  Stream.WriteString(FileName);
}

void TPIPSound::LoadFromStream(TCKSStream& Stream) {
  TDavazozavInvisiblePlugin::LoadFromStream(Stream);
  FileName = Stream.ReadString();
}

std::vector<std::string> TPIPSound::UsedFilenames() const {
  if (FileName.empty()) return {};
  return {FileName};
}

void TPIPSound::MoveFilesTo(const std::string& Folder) { FileName = MovedFileName(FileName, Folder); }

void TPIPSound::FileCopiedAs(const std::string& OldName, const std::string& NewName) {
  if (FileName == OldName) FileName = CopiedFileName(FileName, NewName);
}

void TPIPSound::SetFileName(const std::string& Value) {
  if (Value == FileName) return;
  FileName = Value;
  DoChange(false);
}

TPIPSoundWizardSound::~TPIPSoundWizardSound() { Finish(); }
