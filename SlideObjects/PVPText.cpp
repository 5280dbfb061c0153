#include "SlideObjects/PVPText.h"

#include "CKS/CKSStream.h"
#include "SlideObjects/SlideObjectSupport.h"

std::unique_ptr<TFont> DefaultTextFont() {
  auto F = std::make_unique<TFont>();
  F->SetName("Arial");
  F->SetSize(24);
  F->SetColor(0x00FFFFFF);
  return F;
}

TPVPText::TPVPText() : Font(DefaultTextFont()) { ConnectFont(); }

TPVPText::~TPVPText() { Finish(); }

void TPVPText::ConnectFont() {
  if (Font) Font->OnChange = [this](TFont&) { Changed(); };
}

void TPVPText::Assign(const TPlugin* Source) {
  TDavazozavVisiblePlugin::Assign(Source);
  const auto* S = dynamic_cast<const TPVPText*>(Source);
  if (!S || S == this) return;
  EffectColor2 = S->EffectColor2;
  EffectColor = S->EffectColor;
  EffectStyle = S->EffectStyle;
  Alignment = S->Alignment;
  AnimationClass = S->AnimationClass;
  AnimationClassNameRead = S->AnimationClassNameRead;
  Text = S->Text;
  if (S->Font) {
    if (!Font) Font = std::make_unique<TFont>();
    Font->OnChange = nullptr;
    Font->Assign(*S->Font);
  } else {
    Font.reset();
  }
  ConnectFont();
  AssignTextAnimation(*S);
}

void TPVPText::SaveToStream(TCKSStream& Stream) {
  TDavazozavVisiblePlugin::SaveToStream(Stream);
  auto& S = AsWinTypes(Stream);
  S.WriteString(Text);
  S.WriteFont(Font.get());
  S.WriteByte(Alignment);
  S.WriteColor(EffectColor);
  S.WriteColor(EffectColor2);
  S.WriteByte(EffectStyle);
  S.WriteString(AnimationClass ? std::string(AnimationClass->ClassName()) : std::string());
}

void TPVPText::LoadFromStream(TCKSStream& Stream) {
  TDavazozavVisiblePlugin::LoadFromStream(Stream);
  auto& S = AsWinTypes(Stream);
  Text = S.ReadString();
  // Reading replaces the font object by the one read (none for the marker).
  S.ReadFont(Font);
  ConnectFont();
  Alignment = S.ReadByte();
  EffectColor = S.ReadColor();
  EffectColor2 = S.ReadColor();
  EffectStyle = S.ReadByte();
  AnimationClassNameRead = S.ReadString();
  AnimationClass = FindPluginOrNone(AnimationClassNameRead);
}

void TPVPText::SetText(const std::string& Value) {
  if (Value == Text) return;
  Text = Value;
  DoChange(true);
}
