#include "SlideObjects/BackgroundObjects.h"

#include "CKS/CKSStream.h"
#include "SlideObjects/PlayerWindow.h"
#include "SlideObjects/SlideObjectSupport.h"

TPVPBackground::~TPVPBackground() { Finish(); }

void TPVPBackground::Assign(const TPlugin* Source) {
  TDavazozavVisiblePlugin::Assign(Source);
  if (const auto* S = dynamic_cast<const TPVPBackground*>(Source)) {
    FillMode = S->FillMode;
    BackgroundColor = S->BackgroundColor;
  }
}

void TPVPBackground::SaveToStream(TCKSStream& Stream) {
  TDavazozavVisiblePlugin::SaveToStream(Stream);
  Stream.WriteByte(FillMode);
  AsWinTypes(Stream).WriteColor(BackgroundColor);
}

void TPVPBackground::LoadFromStream(TCKSStream& Stream) {
  TDavazozavVisiblePlugin::LoadFromStream(Stream);
  FillMode = Stream.ReadByte();
  BackgroundColor = AsWinTypes(Stream).ReadColor();
}

void TPVPBackground::Step() {
  // Draws nothing: it only has the whole stage repainted before the slide's
  // first object is stepped.
  if (!PlayerForm || State == 2) return;
  PlayerForm->InvalidateAll();
  PlayerForm->FlushSurface();
  State = 2;
}

TPVPColorRect::~TPVPColorRect() { Finish(); }

void TPVPColorRect::Assign(const TPlugin* Source) {
  TDavazozavVisiblePlugin::Assign(Source);
  if (const auto* S = dynamic_cast<const TPVPColorRect*>(Source)) RectColor = S->RectColor;
}

void TPVPColorRect::SaveToStream(TCKSStream& Stream) {
  TDavazozavVisiblePlugin::SaveToStream(Stream);
  AsWinTypes(Stream).WriteColor(RectColor);
}

void TPVPColorRect::LoadFromStream(TCKSStream& Stream) {
  TDavazozavVisiblePlugin::LoadFromStream(Stream);
  RectColor = AsWinTypes(Stream).ReadColor();
}
