#pragma once
// A picture file shown stretched into the object's placement, optionally over
// a fill of the whole stage, brought in by a transition.
#include <memory>

#include "Platform/Core/Types.h"
#include "Platform/Pictures/Picture.h"
#include "SlideObjects/VisiblePlugin.h"

class PlayerSurface;
class TTransitionPluginClass;

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

  // Run time (PVPPictureShow.cpp).
  void ReleaseResources() override;
  // The program data files the transition class needs (its mask pictures).
  std::vector<std::string> UsedProgramFilenames() const override;
  // Decodes the picture, draws it (through the transition when there is
  // one), puts it into the surface's buffer, releases it and is done.
  void Step() override;
  void Paint(platform::Canvas& Canvas, const TRect& ObjectRect, const TRect& StageRect) override;
  void PaintCached(platform::Canvas& Canvas, const TRect& ObjectRect, const TRect& StageRect) override;
  virtual void FreePicture();
  // Decodes the resolved file into Picture unless there is one already (or
  // Force). Hints carry the drawn size, so large JPEGs decode at a reduced
  // DCT scale. Every failure leaves no picture; nothing is reported.
  void LoadPicture(bool Force, const platform::DecodeHints& Hints = {});
  // TransitionClass as a transition class; none when it names a class of
  // another family.
  const TTransitionPluginClass* Transition() const;


  // The transition that brings the picture in; null shows it at once.
  // Stored by class name; a name that is not registered reads as none.
  TPluginClassRef TransitionClass = nullptr;
  bool FillBackground = false;  // stored
  TColor FillColor = 0;         // stored
  std::string FileName;         // stored, as the authoring program wrote it
  // The transition class name as it was read, registered or not (for
  // diagnostics; an unregistered name is not written back).
  std::string TransitionClassNameRead;
  // The decoded picture while a Step (or the generic drawing) uses it.
  // Pictures are not changed once decoded, so Assign shares the source's.
  std::shared_ptr<const platform::Picture> Picture;

private:
  // The transition path of Step: R is the picture's pixel rectangle on Stage.
  void RunTransition(const TTransitionPluginClass& Class, PlayerSurface& Box, const TRect& Stage, const TRect& R);
};

// The default transition of a new picture: the random transition once it is
// registered, none before.
TPluginClassRef DefaultPictureTransitionClass();
