#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CKS/StreamAdapters.h"
#include "CKS/Streams.h"
#include "CommonImplementations/Bitmap32Imp.h"
#include "CommonImplementations/FontImp.h"
#include "Platform/Core/Assertion.h"
#include "Platform/Core/Hooks.h"
#include "Platform/Pictures/Picture.h"

namespace {

TEST(FontImp, ReadsAndWritesTheWrappedFont) {
  TFont Font;
  bool Released = false;
  {
    TInterfacePtr<IFont> F(new TFontImp(&Font));
    F->SetSize(12);
    EXPECT_EQ(Font.Height(), -16);
    EXPECT_EQ(F->GetSize(), 12);
    F->SetName("Arial");
    F->SetStyle(TFontStyles{fsBold});
    EXPECT_EQ(Font.Name(), "Arial");
    EXPECT_TRUE(Font.Style().Contains(fsBold));
    EXPECT_EQ(F->GetHandle(), &Font);
    Released = true;
  }
  // The last reference freed the view, not the font.
  EXPECT_TRUE(Released);
  EXPECT_EQ(Font.Name(), "Arial");
}

TEST(FontImp, AssignCopiesHeightAndResolutionLast) {
  TFont Source, Target;
  Source.SetPixelsPerInch(120);
  Source.SetSize(12);  // Height -20 at 120 pixels per inch
  Source.SetName("Times New Roman");
  TInterfacePtr<IFont> S(new TFontImp(&Source)), T(new TFontImp(&Target));
  T->Assign(S.Get());
  EXPECT_EQ(Target.Height(), Source.Height());
  EXPECT_EQ(Target.PixelsPerInch(), 120);
  EXPECT_EQ(Target.Name(), "Times New Roman");
}

TEST(Bitmap32Imp, ReferenceCountingAndInterfaces) {
  auto* B = new TBitmap32Imp();
  EXPECT_EQ(B->RefCount(), 0);
  EXPECT_EQ(B->ClientValue, 0u);
  EXPECT_FALSE(B->CheckRefsOnDestroy);
  TInterfacePtr<IBitmap32> Ref(static_cast<IBitmap32*>(B));
  EXPECT_EQ(B->RefCount(), 1);
  EXPECT_TRUE(Ref.Query<IBitmap32Module>());
  EXPECT_TRUE(Ref.Query<IBitmap32Handles>());
  EXPECT_EQ(Ref.Query<IBitmap32Object>()->GetObject(), static_cast<TBitmap32*>(B));
  EXPECT_EQ(Ref.Query<IBitmap32Module>()->GetModuleHandle(), HInstance());
  Ref->SetSize(3, 2);
  Ref->SetClientValue(42);
  Ref->SetResamplerKind(4);
  EXPECT_EQ(B->Width(), 3);
  EXPECT_EQ(Ref->GetClientValue(), 42u);
  EXPECT_EQ(Ref->GetResamplerKind(), 4);
  Ref->GetFont()->SetName("Courier New");
  EXPECT_EQ(B->TBitmap32::Font().Name(), "Courier New");

  B->FillArea(0, 0, 3, 2, 0xFF010203);
  TInterfacePtr<IBitmap32> Copy = Ref->Clone();
  EXPECT_EQ(BitmapOf(Copy.Get())->Pixel(2, 1), 0xFF010203u);
  EXPECT_EQ(Copy->GetResamplerKind(), 4);
  Ref->DrawOnto(Copy.Get(), 1, 0);
  Ref.Reset();  // the last reference frees the bitmap
}

TEST(Bitmap32Imp, BitmapOfChecks) {
  // A reference without IBitmap32Object: none, no error.
  struct Foreign : TInterfaceImp, IBitmap32 {
    std::int32_t GetWidth() override { return 0; }
    std::int32_t GetHeight() override { return 0; }
    void SetSize(std::int32_t, std::int32_t) override {}
    bool Empty() override { return true; }
    TColor32* GetBits() override { return nullptr; }
    TRect FullRect() override { return {}; }
    TRect GetClipRect() override { return {}; }
    void SetClipRect(const TRect&) override {}
    TDrawMode GetDrawMode() override { return dmOpaque; }
    void SetDrawMode(TDrawMode) override {}
    TCombineMode GetCombineMode() override { return cmBlend; }
    void SetCombineMode(TCombineMode) override {}
    TWrapMode GetWrapMode() override { return wmClamp; }
    void SetWrapMode(TWrapMode) override {}
    std::uint32_t GetMasterAlpha() override { return 255; }
    void SetMasterAlpha(std::uint32_t) override {}
    TColor32 GetOuterColor() override { return 0; }
    void SetOuterColor(TColor32) override {}
    void Assign(IBitmap32*) override {}
    void FillArea(std::int32_t, std::int32_t, std::int32_t, std::int32_t, TColor32) override {}
    TColor32 PixelOrOuter(std::int32_t, std::int32_t) override { return 0; }
    void MakeOpaque() override {}
    void DrawOnto(IBitmap32*, std::int32_t, std::int32_t) override {}
    void DrawOntoRect(IBitmap32*, const TRect&, const TRect&) override {}
    void DrawFrom(const TRect&, const TRect&, IBitmap32*) override {}
    void PaintToDevice(platform::PaintDevice&, std::int32_t, std::int32_t) override {}
    void LockBitmap() override {}
    void UnlockBitmap() override {}
    TInterfacePtr<IBitmap32> Clone() override { return {}; }
    TInterfacePtr<IFont> GetFont() override { return {}; }
    std::uint32_t GetClientValue() override { return 0; }
    void SetClientValue(std::uint32_t) override {}
    std::int32_t GetResamplerKind() override { return 0; }
    void SetResamplerKind(std::int32_t) override {}
    void LoadFromStreamAs(IStream*, const std::string&) override {}
    bool LoadFromResourceAs(TModuleHandle, const std::string&, const std::string&) override { return false; }
    void* GetInterface(const TGUID& Id) override {
      if (Id == IBitmap32::IID) return static_cast<IBitmap32*>(this);
      return TInterfaceImp::GetInterface(Id);
    }
  };
  TInterfacePtr<IBitmap32> F(static_cast<IBitmap32*>(new Foreign));
  EXPECT_EQ(BitmapOf(F.Get()), nullptr);
  EXPECT_EQ(BitmapOf(nullptr), nullptr);

  // An object that answers IBitmap32Object but is no interface object itself.
  struct Old : Foreign, IBitmap32Object {
    TBitmap32 Plain;
    TBitmap32* GetObject() override { return &Plain; }
    void* GetInterface(const TGUID& Id) override {
      if (Id == IBitmap32Object::IID) return static_cast<IBitmap32Object*>(this);
      return Foreign::GetInterface(Id);
    }
  };
  TInterfacePtr<IBitmap32> OldRef(static_cast<IBitmap32*>(new Old));
  try {
    BitmapOf(OldRef.Get());
    ADD_FAILURE() << "no assertion";
  } catch (const EAssertionFailed& E) {
    EXPECT_EQ(E.Text(), "Alte TBitmap32Imp-Version");
  }

  // A bitmap object from another module.
  struct OtherModule : TBitmap32Imp {
    TModuleHandle GetModuleHandle() override { return HInstance() + 1; }
  };
  TInterfacePtr<IBitmap32> O(static_cast<IBitmap32*>(new OtherModule));
  try {
    BitmapOf(O.Get());
    ADD_FAILURE() << "no assertion";
  } catch (const EAssertionFailed& E) {
    EXPECT_EQ(E.Text(), "Verschiedene TBitmap32Imp-Versionen vermischt!");
  }
}

TEST(Bitmap32Imp, LoadFromStreamAs) {
  platform::RegisterPictureFormats();
  TInterfacePtr<IBitmap32> B(static_cast<IBitmap32*>(new TBitmap32Imp));
  B->SetSize(2, 2);
  TInterfacePtr<IStream> Garbage(new TTStreamWrapper(new TMemoryStream(std::vector<std::uint8_t>{1, 2, 3}), true));
  try {
    B->LoadFromStreamAs(Garbage.Get(), "xyz");
    ADD_FAILURE() << "no error";
  } catch (const EInvalidGraphic& E) {
    EXPECT_STREQ(E.what(), "Unbekanntes Dateiformat \"xyz\"");
  }
  B->LoadFromStreamAs(Garbage.Get(), "png");  // undecodable: swallowed, unchanged
  EXPECT_EQ(B->GetWidth(), 2);

  // A 3 x 1 binary PPM.
  const std::string Ppm = std::string("P6\n3 1\n255\n") + std::string("\xFF\x00\x00\x00\xFF\x00\x00\x00\xFF", 9);
  TInterfacePtr<IStream> Good(
      new TTStreamWrapper(new TMemoryStream(std::vector<std::uint8_t>(Ppm.begin(), Ppm.end())), true));
  B->LoadFromStreamAs(Good.Get(), "ppm");
  EXPECT_EQ(B->GetWidth(), 3);
  EXPECT_EQ(B->PixelOrOuter(0, 0), 0xFFFF0000u);
}

TEST(Bitmap32Imp, LoadFromResourceWithoutAFactoryAnswersFalse) {
  std::vector<std::string> Messages;
  platform::SetMessageBoxHook([&](const std::string& Text) { Messages.push_back(Text); });
  TInterfacePtr<IBitmap32> B(static_cast<IBitmap32*>(new TBitmap32Imp));
  EXPECT_FALSE(B->LoadFromResourceAs(HInstance(), "BILD", "bmp"));
  platform::SetMessageBoxHook(nullptr);
  ASSERT_EQ(Messages.size(), 1u);
  EXPECT_EQ(Messages[0], "InterfaceFactory has not been set!");
}

}  // namespace
