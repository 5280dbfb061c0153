// The text object at run time: drawing with effects, scaling with the stage,
// and driving a text animation.
#include <algorithm>
#include <cstdlib>

#include "CommonImplementations/Bitmap32.h"
#include "CommonImplementations/BitmapCanvas.h"
#include "Platform/Canvas/Canvas.h"
#include "SlideObjects/EffectText.h"
#include "SlideObjects/PVPText.h"
#include "SlideObjects/PlayerWindow.h"
#include "Transitions/Rounding.h"

namespace {

// The stage size the stored font sizes are meant for.
constexpr TRect ReferenceStage{0, 0, 800, 600};

// A new instance of Class when it is a text animation class; none otherwise.
std::unique_ptr<TextAnimationInstance> CreateTextAnimation(TPluginClassRef Class) {
  if (!dynamic_cast<const TextAnimationClassOperations*>(Class)) return nullptr;
  std::unique_ptr<TPlugin> Object = Class->Create();
  auto* Animation = dynamic_cast<TextAnimationInstance*>(Object.get());
  if (!Animation) return nullptr;
  Object.release();
  return std::unique_ptr<TextAnimationInstance>(Animation);
}

}  // namespace

const TFont& TPVPText::DrawingFont() const {
  if (Font) return *Font;
  static const std::unique_ptr<TFont> Default = DefaultTextFont();
  return *Default;
}

const TextAnimationClassOperations* TPVPText::AnimationOperations() const {
  return dynamic_cast<const TextAnimationClassOperations*>(AnimationClass);
}

void TPVPText::AssignTextAnimation(const TPVPText& Source) {
  if (&Source == this) return;
  const auto* Running = dynamic_cast<const TPlugin*>(Source.TextAnimation.get());
  TextAnimation = Running ? CreateTextAnimation(Running->ClassType()) : nullptr;
}

std::vector<std::string> TPVPText::UsedProgramFilenames() const {
  if (const TextAnimationClassOperations* Operations = AnimationOperations()) return Operations->UsedFilenames();
  return {};
}

std::uint16_t TPVPText::TextFormat() const {
  std::uint16_t Format = platform::DrawTextWordBreak | platform::DrawTextNoPrefix;
  if (Alignment == 1)
    Format |= platform::DrawTextRight;
  else if (Alignment == 2)
    Format |= platform::DrawTextCenter;
  return Format;
}

TRect TPVPText::TextRect(const TRect& StageRect) const { return RelativeToRect(Placement, StageRect); }

std::unique_ptr<TFont> TPVPText::ScaledFont(const TFont& AFont, const TRect& Area) const {
  auto Scaled = std::make_unique<TFont>(AFont);
  const double Factor = std::max(Area.Width() / 800.0, Area.Height() / 600.0);
  Scaled->SetHeight(static_cast<std::int32_t>(RoundHalfEven(AFont.Height() * Factor)));
  return Scaled;
}

void TPVPText::Start(PlayerWindow* Form) {
  TDavazozavVisiblePlugin::Start(Form);
  if (!AnimationClass) return;
  TextAnimation.reset();
  // A class of another family named in the file gives no animation: the
  // text then appears at once.
  TextAnimation = CreateTextAnimation(AnimationClass);
  if (TextAnimation) TextAnimation->Start(this, Form);
}

void TPVPText::Stop() {
  TextAnimation.reset();
  TDavazozavVisiblePlugin::Stop();
}

void TPVPText::Step() {
  if (!PlayerForm || State == 2) return;
  if (TextAnimation) {
    TextAnimation->Animate(PlayerForm);
    State = TextAnimation->Finished() ? 2 : 1;
    return;
  }
  PlayerSurface& Box = PlayerForm->PaintBox();
  const TRect Stage = Box.GetClientRect();
  if (platform::Canvas* Canvas = Box.BufferCanvas()) Paint(*Canvas, Stage, Stage);
  State = 2;
  PlayerForm->InvalidateAll();
}

void TPVPText::Paint(platform::Canvas& Canvas, const TRect& ObjectRect, const TRect& StageRect) {
  (void)ObjectRect;
  TRect R = TextRect(StageRect);
  R.Top -= 2;
  R.Bottom -= 2;
  const std::unique_ptr<TFont> F = ScaledFont(DrawingFont(), StageRect);
  DrawEffectTextIn(Canvas, *F, R, EffectColor2, EffectColor, EffectStyle, TextFormat(), Text, -1);
}

void TPVPText::FitPlacementToText() {
  if (Alignment == 0)
    Placement.Right = 1.0;
  else if (Alignment == 1)
    Placement.Left = 0.0;

  TRect R = TextRect(ReferenceStage);
  TBitmap32 Scratch;
  Scratch.Resize(1, 1);
  const std::unique_ptr<platform::Canvas> Canvas = CanvasOnBitmap(Scratch);
  if (!Canvas) return;
  const std::unique_ptr<TFont> F = ScaledFont(DrawingFont(), ReferenceStage);
  DrawEffectText(*Canvas, *F, R, EffectColor2, EffectColor, EffectStyle, TextFormat() | platform::DrawTextCalcRect,
                 Text, -1);

  R.Right += 40;
  if (R.Right > ReferenceStage.Right) R.Bottom += std::abs(F->Height());
  R.Bottom += 6;
  const TRelRect Measured = RectToRelative(R, ReferenceStage);
  Placement.Right = std::min(Measured.Right, 1.0);
  Placement.Bottom = std::min(Measured.Bottom, 1.0);
}
