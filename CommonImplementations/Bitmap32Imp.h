#pragma once
// TBitmap32Imp: the bitmap that can also be handed out as a reference-counted
// IBitmap32, carrying its font as an IFont. The presentation surface's back
// buffer is one.
#include <cstdint>
#include <stdexcept>
#include <string>

#include "CKS/StreamAdapters.h"
#include "CommonImplementations/Bitmap32.h"
#include "CommonImplementations/FontImp.h"
#include "PluginEngine/InterfaceImp.h"

// A picture format the registry does not know ("Unbekanntes Dateiformat ...").
class EInvalidGraphic : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// The program module a bitmap was made by; bitmaps of two modules must not
// be mixed.
using TModuleHandle = std::uintptr_t;
TModuleHandle HInstance();

struct IBitmap32;

struct IBitmap32Module : virtual IInterface {
  static constexpr TGUID IID = TGUID::FromString("{47222277-2867-4270-A66F-091521AB0B5E}");
  virtual TModuleHandle GetModuleHandle() = 0;
};

struct IBitmap32Handles : virtual IInterface {
  static constexpr TGUID IID = TGUID::FromString("{388831FF-7E33-441B-8DB6-9565821DA250}");
  // What a canvas draws through (the bitmap as a paint device) and the pixel memory.
  virtual platform::PaintDevice* GetCanvasHandle() = 0;
  virtual TColor32* GetBitmapHandle() = 0;
};

struct IBitmap32Object : virtual IInterface {
  static constexpr TGUID IID = TGUID::FromString("{0C254EEE-FF18-4029-BA52-188AFA2900C9}");
  virtual TBitmap32* GetObject() = 0;
};

// A resource of a program module read as a stream. No implementation is
// registered in the player.
struct IResourceStream : virtual IStream {
  static constexpr TGUID IID = TGUID::FromString("{6E1F3A52-0B7D-4C19-8E24-93A5D0C7B1F6}");
  // Opens the resource Name of type ResourceType in Module; false when it does not exist.
  virtual bool OpenResource(TModuleHandle Module, const std::string& Name, std::int32_t ResourceType) = 0;
};

struct IBitmap32 : virtual IInterface {
  static constexpr TGUID IID = TGUID::FromString("{80E9A2DD-9D90-49DA-AD77-343238EBBD13}");
  virtual std::int32_t GetWidth() = 0;
  virtual std::int32_t GetHeight() = 0;
  virtual void SetSize(std::int32_t Width, std::int32_t Height) = 0;
  virtual bool Empty() = 0;
  virtual TColor32* GetBits() = 0;
  virtual TRect FullRect() = 0;
  virtual TRect GetClipRect() = 0;
  virtual void SetClipRect(const TRect& Value) = 0;
  virtual TDrawMode GetDrawMode() = 0;
  virtual void SetDrawMode(TDrawMode Value) = 0;
  virtual TCombineMode GetCombineMode() = 0;
  virtual void SetCombineMode(TCombineMode Value) = 0;
  virtual TWrapMode GetWrapMode() = 0;
  virtual void SetWrapMode(TWrapMode Value) = 0;
  virtual std::uint32_t GetMasterAlpha() = 0;
  virtual void SetMasterAlpha(std::uint32_t Value) = 0;
  virtual TColor32 GetOuterColor() = 0;
  virtual void SetOuterColor(TColor32 Value) = 0;
  virtual void Assign(IBitmap32* Source) = 0;
  virtual void FillArea(std::int32_t X1, std::int32_t Y1, std::int32_t X2, std::int32_t Y2, TColor32 Color) = 0;
  virtual TColor32 PixelOrOuter(std::int32_t X, std::int32_t Y) = 0;
  virtual void MakeOpaque() = 0;
  virtual void DrawOnto(IBitmap32* Target, std::int32_t X, std::int32_t Y) = 0;
  virtual void DrawOntoRect(IBitmap32* Target, const TRect& DstRect, const TRect& SrcRect) = 0;
  virtual void DrawFrom(const TRect& DstRect, const TRect& SrcRect, IBitmap32* Source) = 0;
  virtual void PaintToDevice(platform::PaintDevice& Device, std::int32_t X, std::int32_t Y) = 0;
  virtual void LockBitmap() = 0;
  virtual void UnlockBitmap() = 0;

  // A new bitmap of the same class with this one's size, pixels and settings.
  virtual TInterfacePtr<IBitmap32> Clone() = 0;
  // The bitmap's font as an interface (FontIntf).
  virtual TInterfacePtr<IFont> GetFont() = 0;
  virtual std::uint32_t GetClientValue() = 0;
  virtual void SetClientValue(std::uint32_t Value) = 0;
  virtual std::int32_t GetResamplerKind() = 0;
  virtual void SetResamplerKind(std::int32_t Kind) = 0;
  // Decodes the rest of Stream as a picture of FormatName (a file extension)
  // into the bitmap. EInvalidGraphic for an unknown format; any error while
  // decoding leaves the bitmap as it was.
  virtual void LoadFromStreamAs(IStream* Stream, const std::string& FormatName) = 0;
  // Loads the raw-data resource Name of Module through an IResourceStream from
  // the interface factory. False only when an error occurred on the way.
  virtual bool LoadFromResourceAs(TModuleHandle Module, const std::string& Name, const std::string& FormatName) = 0;
};

// The bitmap behind an IBitmap32 reference: nullptr when it has no
// IBitmap32Object; EAssertionFailed "Alte TBitmap32Imp-Version" when the
// object has no IBitmap32Module, "Verschiedene TBitmap32Imp-Versionen
// vermischt!" when another module made it.
TBitmap32* BitmapOf(IBitmap32* Ref);

class TBitmap32Imp : public TBitmap32,
                     public TInterfaceImp,
                     public IBitmap32,
                     public IBitmap32Module,
                     public IBitmap32Handles,
                     public IBitmap32Object {
public:
  TBitmap32Imp();
  ~TBitmap32Imp() override;
  std::string ClassName() const override { return "TBitmap32Imp"; }

  // The owner's way to free the bitmap: checks for outstanding references
  // first when CheckRefsOnDestroy is set.
  static void Free(TBitmap32Imp* Bitmap);

  TInterfacePtr<IFont> FontIntf;
  std::uint32_t ClientValue = 0;
  bool CheckRefsOnDestroy = false;

  // IBitmap32Module, IBitmap32Handles, IBitmap32Object
  TModuleHandle GetModuleHandle() override { return HInstance(); }
  platform::PaintDevice* GetCanvasHandle() override { return this; }
  TColor32* GetBitmapHandle() override { return Bits(); }
  TBitmap32* GetObject() override { return this; }

  // IBitmap32
  std::int32_t GetWidth() override { return Width(); }
  std::int32_t GetHeight() override { return Height(); }
  void SetSize(std::int32_t W, std::int32_t H) override { Resize(W, H); }
  bool Empty() override { return TBitmap32::Empty(); }
  TColor32* GetBits() override { return Bits(); }
  TRect FullRect() override { return TBitmap32::FullRect(); }
  TRect GetClipRect() override { return ClipRect(); }
  void SetClipRect(const TRect& Value) override { TBitmap32::SetClipRect(Value); }
  TDrawMode GetDrawMode() override { return DrawMode(); }
  void SetDrawMode(TDrawMode Value) override { TBitmap32::SetDrawMode(Value); }
  TCombineMode GetCombineMode() override { return CombineMode(); }
  void SetCombineMode(TCombineMode Value) override { TBitmap32::SetCombineMode(Value); }
  TWrapMode GetWrapMode() override { return WrapMode(); }
  void SetWrapMode(TWrapMode Value) override { TBitmap32::SetWrapMode(Value); }
  std::uint32_t GetMasterAlpha() override { return MasterAlpha(); }
  void SetMasterAlpha(std::uint32_t Value) override { TBitmap32::SetMasterAlpha(Value); }
  TColor32 GetOuterColor() override { return OuterColor(); }
  void SetOuterColor(TColor32 Value) override { TBitmap32::SetOuterColor(Value); }
  using TBitmap32::Assign;
  void Assign(IBitmap32* Source) override { TBitmap32::Assign(BitmapOf(Source)); }
  void FillArea(std::int32_t X1, std::int32_t Y1, std::int32_t X2, std::int32_t Y2, TColor32 Color) override {
    TBitmap32::FillArea(X1, Y1, X2, Y2, Color);
  }
  TColor32 PixelOrOuter(std::int32_t X, std::int32_t Y) override { return TBitmap32::PixelOrOuter(X, Y); }
  void MakeOpaque() override { TBitmap32::MakeOpaque(); }
  using TBitmap32::DrawOnto;
  void DrawOnto(IBitmap32* Target, std::int32_t X, std::int32_t Y) override {
    TBitmap32::DrawOnto(BitmapOf(Target), X, Y);
  }
  void DrawOntoRect(IBitmap32* Target, const TRect& DstRect, const TRect& SrcRect) override {
    TBitmap32::DrawOnto(BitmapOf(Target), DstRect, SrcRect);
  }
  using TBitmap32::DrawFrom;
  void DrawFrom(const TRect& DstRect, const TRect& SrcRect, IBitmap32* Source) override {
    TBitmap32::DrawFrom(DstRect, SrcRect, BitmapOf(Source));
  }
  using TBitmap32::PaintToDevice;
  void PaintToDevice(platform::PaintDevice& Device, std::int32_t X, std::int32_t Y) override {
    TBitmap32::PaintToDevice(Device, X, Y);
  }
  void LockBitmap() override { TBitmap32::LockBitmap(); }
  void UnlockBitmap() override { TBitmap32::UnlockBitmap(); }

  TInterfacePtr<IBitmap32> Clone() override;
  TInterfacePtr<IFont> GetFont() override { return FontIntf; }
  std::uint32_t GetClientValue() override { return ClientValue; }
  void SetClientValue(std::uint32_t Value) override { ClientValue = Value; }
  std::int32_t GetResamplerKind() override;
  void SetResamplerKind(std::int32_t Kind) override;
  void LoadFromStreamAs(IStream* Stream, const std::string& FormatName) override;
  bool LoadFromResourceAs(TModuleHandle Module, const std::string& Name, const std::string& FormatName) override;

protected:
  void* GetInterface(const TGUID& InterfaceID) override;
};
