#pragma once
// A sound file played once through the window's sound player; done when the
// sound has ended. The wizard sound is the same object under another name.
#include "SlideObjects/DavazozavPlugin.h"

class TSoundPlayer;

class TPIPSoundClass : public TDavazozavInvisiblePlugin::TMetaClass {
public:
  std::string ThumbnailResourceName() const override { return "PIPSound"; }
};

class TPIPSound : public TDavazozavInvisiblePlugin {
  LMO_PLUGIN_WITH_CLASS(TPIPSound, TDavazozavInvisiblePlugin, TPIPSoundClass)
public:
  ~TPIPSound() override;

  void Assign(const TPlugin* Source) override;
  void SaveToStream(TCKSStream& Stream) override;
  void LoadFromStream(TCKSStream& Stream) override;
  std::string OptionsFrameClassName() const override { return "TPIPSoundFrame"; }
  std::string DisplayName() const override { return StoredFileNamePart(FileName); }
  std::string InsertCaption() const override { return "Sound einf\xFC" "gen (aus Datei)"; }
  std::vector<std::string> UsedFilenames() const override;
  void MoveFilesTo(const std::string& Folder) override;
  void FileCopiedAs(const std::string& OldName, const std::string& NewName) override;

  // A new sound file needs no rebuild of the slide.
  void SetFileName(const std::string& Value);

  // Run time (PIPSoundShow.cpp). Start opens the sound on the window's sound
  // player, the first Step plays it, the end of the sound makes the object
  // done, Stop closes the player.
  void Start(PlayerWindow* Form) override;
  void Step() override;
  void Stop() override;
  void DoPause() override;
  void DoResume() override;
  // Called by the sound player when the sound has ended.
  void SoundEnded(TSoundPlayer* Sender, bool& Loop);

  std::string FileName;  // stored
  bool StartPending = false;
  std::uint8_t PlayState = 0;  // 0 not opened, 1 opened, 2 failed, 3 playing
};

class TPIPSoundWizardSoundClass : public TPIPSound::TMetaClass {
public:
  std::string ThumbnailResourceName() const override { return "PIPSoundWizardSound"; }
  bool AppearInList() const override { return false; }
};

class TPIPSoundWizardSound : public TPIPSound {
  LMO_PLUGIN_WITH_CLASS(TPIPSoundWizardSound, TPIPSound, TPIPSoundWizardSoundClass)
public:
  ~TPIPSoundWizardSound() override;
  void CreateOptions(void* Parent) override { (void)Parent; }
};
