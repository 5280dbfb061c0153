#pragma once
// IFont: a font handed out behind a reference-counted interface, and
// TFontImp, the view of a TFont that implements it.
#include <cstdint>
#include <string>

#include "Platform/Core/Font.h"
#include "PluginEngine/InterfaceImp.h"

struct IFont : virtual IInterface {
  static constexpr TGUID IID = TGUID::FromString("{80396061-858E-4D29-AE4C-055C7455BCA3}");
  virtual std::string GetName() = 0;
  virtual void SetName(const std::string& Value) = 0;
  virtual std::int32_t GetSize() = 0;
  virtual void SetSize(std::int32_t Points) = 0;
  virtual std::int32_t GetHeight() = 0;
  virtual void SetHeight(std::int32_t Pixels) = 0;
  // Our platform realises fonts when it draws them, so the handle is the
  // font description itself.
  virtual TFont* GetHandle() = 0;
  virtual std::int32_t GetPixelsPerInch() = 0;
  virtual void SetPixelsPerInch(std::int32_t Value) = 0;
  virtual TFontCharset GetCharset() = 0;
  virtual void SetCharset(TFontCharset Value) = 0;
  virtual TColor GetColor() = 0;
  virtual void SetColor(TColor Value) = 0;
  virtual TFontPitch GetPitch() = 0;
  virtual void SetPitch(TFontPitch Value) = 0;
  virtual TFontStyles GetStyle() = 0;
  virtual void SetStyle(TFontStyles Value) = 0;
  // Copies Name, Size, Height, Pitch, Style, Color, Charset and last the
  // resolution, so the copy ends with Source's height.
  virtual void Assign(IFont* Source) = 0;
};

// Reads and writes a borrowed TFont (WrappedFont), which must outlive it;
// frees itself when the last reference goes.
class TFontImp : public TInterfaceImp, public IFont {
public:
  explicit TFontImp(TFont* Font) : WrappedFont(Font) {}
  std::string ClassName() const override { return "TFontImp"; }

  std::string GetName() override { return WrappedFont->Name(); }
  void SetName(const std::string& Value) override { WrappedFont->SetName(Value); }
  std::int32_t GetSize() override { return WrappedFont->Size(); }
  void SetSize(std::int32_t Points) override { WrappedFont->SetSize(Points); }
  std::int32_t GetHeight() override { return WrappedFont->Height(); }
  void SetHeight(std::int32_t Pixels) override { WrappedFont->SetHeight(Pixels); }
  TFont* GetHandle() override { return WrappedFont; }
  std::int32_t GetPixelsPerInch() override { return WrappedFont->PixelsPerInch(); }
  void SetPixelsPerInch(std::int32_t Value) override { WrappedFont->SetPixelsPerInch(Value); }
  TFontCharset GetCharset() override { return WrappedFont->Charset(); }
  void SetCharset(TFontCharset Value) override { WrappedFont->SetCharset(Value); }
  TColor GetColor() override { return WrappedFont->Color(); }
  void SetColor(TColor Value) override { WrappedFont->SetColor(Value); }
  TFontPitch GetPitch() override { return WrappedFont->Pitch(); }
  void SetPitch(TFontPitch Value) override { WrappedFont->SetPitch(Value); }
  TFontStyles GetStyle() override { return WrappedFont->Style(); }
  void SetStyle(TFontStyles Value) override { WrappedFont->SetStyle(Value); }
  void Assign(IFont* Source) override;

  TFont* const WrappedFont;

protected:
  void* GetInterface(const TGUID& InterfaceID) override;
};
