#include "Platform/Core/Font.h"

#include <algorithm>
#include <limits>

TFont::TFont() = default;

TFont::TFont(const TFont& Other)
    : Name_(Other.Name_),
      Height_(Other.Height_),
      PixelsPerInch_(Other.PixelsPerInch_),
      Charset_(Other.Charset_),
      Color_(Other.Color_),
      Pitch_(Other.Pitch_),
      Style_(Other.Style_) {}

TFont& TFont::operator=(const TFont& Other) {
  Assign(Other);
  return *this;
}

void TFont::Changed() {
  if (OnChange) OnChange(*this);
}

void TFont::SetName(const std::string& Value) {
  if (Name_ == Value) return;
  Name_ = Value;
  Changed();
}

std::int32_t TFont::Size() const { return -MulDiv(Height_, 72, PixelsPerInch_); }

void TFont::SetSize(std::int32_t Points) {
  // A size whose height does not fit into 32 bits gets the largest height
  // that does, rather than MulDiv's -1 (a one-pixel font) or a negation that
  // overflows. The size read back from that height sets the same height
  // again, so a font that was loaded is saved and loaded unchanged.
  const std::int64_t Scaled = static_cast<std::int64_t>(Points) * PixelsPerInch_;
  const std::int64_t Rounded = Scaled >= 0 ? (Scaled + 36) / 72 : -((-Scaled + 36) / 72);
  constexpr std::int64_t Largest = std::numeric_limits<std::int32_t>::max();
  SetHeight(static_cast<std::int32_t>(-std::clamp(Rounded, -Largest, Largest)));
}

void TFont::SetHeight(std::int32_t Pixels) {
  if (Height_ == Pixels) return;
  Height_ = Pixels;
  Changed();
}

void TFont::SetCharset(TFontCharset Value) {
  if (Charset_ == Value) return;
  Charset_ = Value;
  Changed();
}

void TFont::SetColor(TColor Value) {
  if (Color_ == Value) return;
  Color_ = Value;
  Changed();
}

void TFont::SetPitch(TFontPitch Value) {
  if (Pitch_ == Value) return;
  Pitch_ = Value;
  Changed();
}

void TFont::SetStyle(TFontStyles Value) {
  if (Style_ == Value) return;
  Style_ = Value;
  Changed();
}

void TFont::Assign(const TFont& Source) {
  if (&Source == this) return;
  const bool Differs = !SameAttributes(*this, Source);
  Name_ = Source.Name_;
  Height_ = Source.Height_;
  PixelsPerInch_ = Source.PixelsPerInch_;
  Charset_ = Source.Charset_;
  Color_ = Source.Color_;
  Pitch_ = Source.Pitch_;
  Style_ = Source.Style_;
  if (Differs) Changed();
}

bool SameAttributes(const TFont& A, const TFont& B) {
  return A.Name_ == B.Name_ && A.Height_ == B.Height_ && A.PixelsPerInch_ == B.PixelsPerInch_ &&
         A.Charset_ == B.Charset_ && A.Color_ == B.Color_ && A.Pitch_ == B.Pitch_ &&
         A.Style_ == B.Style_;
}
