#pragma once
// TFont: the platform's font description — name, size and height, style,
// colour, character set, pitch and the resolution that links size and
// height. It only describes a font; realising it for drawing is the canvas's
// business. Every change of an attribute is reported through OnChange to
// whoever owns the font (a text object redraws, a canvas drops its realised
// face).
//
// Size is in points and derived from Height (pixels, negative = character
// height without internal leading):
//   Size   = -MulDiv(Height, 72, PixelsPerInch)
//   Height = -MulDiv(Size, PixelsPerInch, 72)     (when Size is set)
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>

#include "Platform/Core/MulDiv.h"
#include "Platform/Core/Types.h"

// System colour numbers (0xFF0000nn) the system uses by name.
inline constexpr TColor clWindowText = 0xFF000008;
inline constexpr TColor clWindow = 0xFF000005;
inline constexpr TColor clBtnFace = 0xFF00000F;

using TFontCharset = std::uint8_t;
inline constexpr TFontCharset ANSI_CHARSET = 0;
inline constexpr TFontCharset DEFAULT_CHARSET = 1;

enum TFontPitch : std::uint8_t { fpDefault, fpVariable, fpFixed };

// The bit of each style is also its bit in the stored style byte.
enum TFontStyle : std::uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };

// A set of TFontStyle.
class TFontStyles {
public:
  constexpr TFontStyles() = default;
  constexpr TFontStyles(std::initializer_list<TFontStyle> Styles) {
    for (TFontStyle S : Styles) Bits_ |= Bit(S);
  }
  // Bits 0-3 as stored (bold, italic, underline, strike-out); higher bits are dropped.
  static constexpr TFontStyles FromBits(std::uint8_t Bits) {
    TFontStyles R;
    R.Bits_ = Bits & 0x0F;
    return R;
  }
  constexpr std::uint8_t Bits() const { return Bits_; }
  constexpr bool Contains(TFontStyle S) const { return (Bits_ & Bit(S)) != 0; }
  constexpr bool Empty() const { return Bits_ == 0; }
  constexpr TFontStyles& Include(TFontStyle S) { Bits_ |= Bit(S); return *this; }
  constexpr TFontStyles& Exclude(TFontStyle S) { Bits_ &= static_cast<std::uint8_t>(~Bit(S)); return *this; }
  friend constexpr bool operator==(TFontStyles, TFontStyles) = default;

private:
  static constexpr std::uint8_t Bit(TFontStyle S) { return static_cast<std::uint8_t>(1u << S); }
  std::uint8_t Bits_ = 0;
};

class TFont {
public:
  // The screen resolution every new font starts with.
  static constexpr std::int32_t ScreenPixelsPerInch = 96;

  // A new font: "Tahoma", 8 points (Height -11 at 96 pixels per inch),
  // colour clWindowText, DEFAULT_CHARSET, fpDefault, no style.
  TFont();
  // Copies the attributes, not the owner's OnChange.
  TFont(const TFont& Other);
  TFont& operator=(const TFont& Other);

  // Names are the stored 8-bit (Windows-1252) names; the empty name is allowed.
  const std::string& Name() const { return Name_; }
  void SetName(const std::string& Value);

  std::int32_t Size() const;
  void SetSize(std::int32_t Points);

  std::int32_t Height() const { return Height_; }
  void SetHeight(std::int32_t Pixels);

  // Writes the resolution only: Height stays, Size follows from it, nothing is
  // notified.
  std::int32_t PixelsPerInch() const { return PixelsPerInch_; }
  void SetPixelsPerInch(std::int32_t Value) { PixelsPerInch_ = Value; }

  TFontCharset Charset() const { return Charset_; }
  void SetCharset(TFontCharset Value);

  TColor Color() const { return Color_; }
  void SetColor(TColor Value);

  TFontPitch Pitch() const { return Pitch_; }
  void SetPitch(TFontPitch Value);

  TFontStyles Style() const { return Style_; }
  void SetStyle(TFontStyles Value);

  // Copies every attribute of Source (PixelsPerInch included) and notifies
  // once when anything changed.
  void Assign(const TFont& Source);

  // Called after an attribute changed (not for SetPixelsPerInch).
  std::function<void(TFont& Sender)> OnChange;

  friend bool SameAttributes(const TFont& A, const TFont& B);

private:
  void Changed();

  std::string Name_ = "Tahoma";
  std::int32_t Height_ = -11;
  std::int32_t PixelsPerInch_ = ScreenPixelsPerInch;
  TFontCharset Charset_ = DEFAULT_CHARSET;
  TColor Color_ = clWindowText;
  TFontPitch Pitch_ = fpDefault;
  TFontStyles Style_;
};

// True when every attribute of A and B is equal (OnChange is not compared).
bool SameAttributes(const TFont& A, const TFont& B);
