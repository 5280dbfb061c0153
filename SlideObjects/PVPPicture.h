#pragma once
// A picture file shown stretched into the object's placement, optionally over
// a fill of the whole stage, brought in by a transition.
#include "Platform/Core/Types.h"
#include "SlideObjects/VisiblePlugin.h"

class TPVPPictureClass : public TDavazozavVisiblePlugin::TMetaClass {
public:
  std::string ThumbnailResourceName() const override { return "PVPPicture"; }
};

class TPVPPicture : public TDavazozavVisiblePlugin {
  LMO_PLUGIN_WITH_CLASS(TPVPPicture, TDavazozavVisiblePlugin, TPVPPictureClass)
public:
  TPVPPicture();
  ~TPVPPicture() override;

  void Assign(const TPlugin* Source) override;
  void SaveToStream(TCKSStream& Stream) override;
  void LoadFromStream(TCKSStream& Stream) override;
  std::string OptionsFrameClassName() const override { return "TPVPPictureFrame"; }
  std::string DisplayName() const override { return StoredFileNamePart(FileName); }
  std::string InsertCaption() const override { return "Bild einf\xFC" "gen (aus Datei)"; }
  bool IsPositionable() const override { return true; }
  bool BackgroundCoversStage() const override { return true; }
  std::vector<std::string> UsedFilenames() const override;
  void MoveFilesTo(const std::string& Folder) override;
  void FileCopiedAs(const std::string& OldName, const std::string& NewName) override;


  // The transition that brings the picture in; null shows it at once.
  // Stored by class name; a name that is not registered reads as none.
  TPluginClassRef TransitionClass = nullptr;
  bool FillBackground = false;  // stored
  TColor FillColor = 0;         // stored
  std::string FileName;         // stored, as the authoring program wrote it
  // The transition class name as it was read, registered or not (for
  // diagnostics; an unregistered name is not written back).
  std::string TransitionClassNameRead;
};

// The default transition of a new picture: the random transition once it is
// registered, none before.
TPluginClassRef DefaultPictureTransitionClass();
