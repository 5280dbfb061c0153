#pragma once
// A video file played in the window's video panel over the object's placement.
#include "SlideObjects/VisiblePlugin.h"

class TPVPVideoClass : public TDavazozavVisiblePlugin::TMetaClass {
public:
  std::string ThumbnailResourceName() const override { return "PVPVideo"; }
};

class TPVPVideo : public TDavazozavVisiblePlugin {
  LMO_PLUGIN_WITH_CLASS(TPVPVideo, TDavazozavVisiblePlugin, TPVPVideoClass)
public:
  ~TPVPVideo() override;

  void Assign(const TPlugin* Source) override;
  void SaveToStream(TCKSStream& Stream) override;
  void LoadFromStream(TCKSStream& Stream) override;
  std::string OptionsFrameClassName() const override { return "TPVPVideoFrame"; }
  std::string DisplayName() const override { return StoredFileNamePart(FileName); }
  std::string InsertCaption() const override { return "Video einf\xFC" "gen (aus Datei)"; }
  bool IsPositionable() const override { return true; }
  std::vector<std::string> UsedFilenames() const override;
  void MoveFilesTo(const std::string& Folder) override;
  void FileCopiedAs(const std::string& OldName, const std::string& NewName) override;

  void SetFileName(const std::string& Value);

  std::string FileName;  // stored
  bool StartPending = false;
  std::uint8_t PlayState = 0;  // 0 not opened, 1 opened, 2 failed, 3 playing
};
