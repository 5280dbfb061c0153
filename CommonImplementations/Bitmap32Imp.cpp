#include "CommonImplementations/Bitmap32Imp.h"

#include <cstdio>
#include <vector>

#include "Platform/Core/Assertion.h"
#include "Platform/Pictures/Picture.h"
#include "PluginEngine/InterfaceFactoryInt.h"

namespace {
// Its address tells apart the modules (program, plug-in libraries) that
// carry their own copy of this code.
const char ModuleAnchor = 0;

constexpr std::int32_t RawDataResource = 10;
}  // namespace

TModuleHandle HInstance() { return reinterpret_cast<TModuleHandle>(&ModuleAnchor); }

TBitmap32* BitmapOf(IBitmap32* Ref) {
  if (!Ref) return nullptr;
  const TInterfacePtr<IBitmap32> R(Ref);
  const TInterfacePtr<IBitmap32Object> ObjectRef = R.Query<IBitmap32Object>();
  if (!ObjectRef) return nullptr;
  TBitmap32* Obj = ObjectRef->GetObject();
  auto* Queryable = dynamic_cast<IInterface*>(Obj);
  TInterfacePtr<IBitmap32Module> Module;
  if (Queryable) Module = TInterfacePtr<IInterface>(Queryable).Query<IBitmap32Module>();
  Assert(static_cast<bool>(Module), "Alte TBitmap32Imp-Version", "Bitmap32Imp", __LINE__);
  Assert(Module->GetModuleHandle() == HInstance(), "Verschiedene TBitmap32Imp-Versionen vermischt!", "Bitmap32Imp",
         __LINE__);
  return Obj;
}

TBitmap32Imp::TBitmap32Imp() {
  FontIntf = TInterfacePtr<IFont>(new TFontImp(&TBitmap32::Font()));
}

TBitmap32Imp::~TBitmap32Imp() {
  // The font view goes before the font it reads.
  FontIntf.Reset();
}

void TBitmap32Imp::Free(TBitmap32Imp* Bitmap) {
  if (!Bitmap) return;
  if (Bitmap->CheckRefsOnDestroy) {
    TInterfaceImp::Free(Bitmap);
    return;
  }
  delete Bitmap;
}

void* TBitmap32Imp::GetInterface(const TGUID& InterfaceID) {
  if (InterfaceID == IBitmap32::IID) return static_cast<IBitmap32*>(this);
  if (InterfaceID == IBitmap32Module::IID) return static_cast<IBitmap32Module*>(this);
  if (InterfaceID == IBitmap32Handles::IID) return static_cast<IBitmap32Handles*>(this);
  if (InterfaceID == IBitmap32Object::IID) return static_cast<IBitmap32Object*>(this);
  return TInterfaceImp::GetInterface(InterfaceID);
}

TInterfacePtr<IBitmap32> TBitmap32Imp::Clone() {
  auto* Copy = new TBitmap32Imp();
  TInterfacePtr<IBitmap32> Ref(static_cast<IBitmap32*>(Copy));
  Copy->TBitmap32::Assign(static_cast<const TBitmap32*>(this));
  return Ref;
}

std::int32_t TBitmap32Imp::GetResamplerKind() { return ::GetResamplerKind(*this); }
void TBitmap32Imp::SetResamplerKind(std::int32_t Kind) { ::SetResamplerKind(*this, Kind); }

void TBitmap32Imp::LoadFromStreamAs(IStream* Stream, const std::string& FormatName) {
  const platform::DecoderFunction Decoder = platform::ThePictureFormats().Find(FormatName);
  if (!Decoder) {
    std::string Message = "Unbekanntes Dateiformat \"" + FormatName + "\"";
    throw EInvalidGraphic(Message);
  }
  try {
    if (!Stream) return;
    std::vector<std::uint8_t> Bytes;
    std::uint8_t Chunk[65536];
    for (;;) {
      const std::int32_t Got = Stream->Read(Chunk, static_cast<std::int32_t>(sizeof Chunk));
      if (Got <= 0) break;
      Bytes.insert(Bytes.end(), Chunk, Chunk + Got);
    }
    const std::unique_ptr<platform::Picture> Picture = Decoder(Bytes, platform::DecodeHints{});
    if (Picture) TBitmap32::Assign(Picture.get());
  } catch (...) {
    // A picture that cannot be read leaves the bitmap as it was.
  }
}

bool TBitmap32Imp::LoadFromResourceAs(TModuleHandle Module, const std::string& Name, const std::string& FormatName) {
  try {
    const TInterfacePtr<IInterfaceFactory> Factory = GetInterfaceFactory();
    void* Obj = nullptr;
    if (Factory) Factory->CreateInterface(IResourceStream::IID, &Obj);
    Assert(Obj != nullptr, "IResourceStream nicht registriert", "Bitmap32Imp", __LINE__);
    const auto Resource = TInterfacePtr<IResourceStream>::Adopt(static_cast<IResourceStream*>(Obj));
    if (Resource->OpenResource(Module, Name, RawDataResource))
      LoadFromStreamAs(static_cast<IStream*>(Resource.Get()), FormatName);
    return true;
  } catch (...) {
    return false;
  }
}
