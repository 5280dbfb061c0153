#include "TextAnimations/TypeWriter.h"

#include "CommonImplementations/BitmapCanvas.h"
#include "Platform/Core/Clock.h"
#include "Platform/Core/Random.h"
#include "SlideObjects/EffectText.h"
#include "SlideObjects/PVPText.h"
#include "SlideObjects/PlayerWindow.h"
#include "SlideObjects/SoundPlayer.h"
#include "Tools/MediaFiles.h"

std::vector<std::string> TTAPTypeWriterClass::UsedFilenames() const {
  std::vector<std::string> Names = TTextAnimationPlugin::TMetaClass::UsedFilenames();
  Names.push_back("typewriter.wav");
  return Names;
}

TTAPTypeWriter::~TTAPTypeWriter() = default;

namespace {

// Blanks are revealed together with the next visible character; the tab is
// not one of them.
bool IsBlank(char C) { return C == ' ' || C == '\r' || C == '\n'; }

}  // namespace

void TTAPTypeWriter::Start(TPVPText* ATextObject, PlayerWindow* PlayerForm) {
  TTextAnimationPlugin::Start(ATextObject, PlayerForm);
  LastCharTick = GetTickCount();
  if (!PlayerForm || !TextObject) return;
  PlayerSurface& Box = PlayerForm->PaintBox();
  if (!Sprite) Sprite = std::make_unique<TCustomSprite>(&Box);
  const TRect Stage = Box.GetClientRect();
  // The text object draws its whole text at the same place.
  TextRect = TextObject->TextRect(Stage);
  TextRect.Top -= 2;
  TextRect.Bottom -= 2;
  Sprite->SetSize(TextRect.Width(), TextRect.Height());
}

bool TTAPTypeWriter::Finished() {
  if (!TextObject) return true;
  return ShownCount >= static_cast<std::int32_t>(TextObject->Text.size());
}

void TTAPTypeWriter::Animate(PlayerWindow* PlayerForm) {
  if (!TextObject || !PlayerForm) return;
  if (FirstStep) {
    // The sound is opened now and played at every step; without it the text
    // is typed silently. The background is saved before any of the text is
    // drawn over it.
    try {
      PlayerForm->SoundPlayer().Open(GetProgramDataFolder() + "typewriter.wav");
      if (Sprite) Sprite->Save(TextRect);
    } catch (...) {
    }
  }
  FirstStep = false;

  // A new random pause on every tick: short pauses come more often than long
  // ones.
  const std::uint32_t Threshold = MinimumPause + static_cast<std::uint32_t>(Random(RandomPause));
  const std::uint32_t Now = GetTickCount();
  if (Now - LastCharTick < Threshold) return;
  LastCharTick = Now;

  const std::string& Text = TextObject->Text;
  const auto Length = static_cast<std::int32_t>(Text.size());
  if (ShownCount >= Length) return;
  do {
    ++ShownCount;
  } while (ShownCount < Length && IsBlank(Text[static_cast<std::size_t>(ShownCount - 1)]));
  if (IsBlank(Text[static_cast<std::size_t>(ShownCount - 1)])) return;
  DrawPrefix(*PlayerForm);
}

void TTAPTypeWriter::DrawPrefix(PlayerWindow& PlayerForm) {
  const std::string Prefix = TextObject->Text.substr(0, static_cast<std::size_t>(ShownCount));
  const std::uint16_t Format = TextObject->TextFormat();
  PlayerSurface& Box = PlayerForm.PaintBox();
  const TRect Stage = Box.GetClientRect();
  const std::unique_ptr<TFont> F = TextObject->ScaledFont(TextObject->DrawingFont(), Stage);

  try {
    PlayerForm.SoundPlayer().Play();
  } catch (...) {
  }

  TBitmap32& Buffer = Box.Buffer();
  Buffer.SetFont(*F);
  // The clean background comes back over the previous prefix before the
  // canvas is bound, so the canvas sees the restored pixels.
  if (Sprite) Sprite->Restore();
  {
    const std::unique_ptr<platform::Canvas> Canvas = CanvasOnBitmap(Buffer);
    if (Canvas)
      DrawEffectTextIn(*Canvas, *F, TextRect, TextObject->EffectColor2, TextObject->EffectColor,
                       TextObject->EffectStyle, Format, Prefix, -1);
  }
  Box.InvalidateRect(TextRect);
  PlayerForm.FlushSurface();
}
