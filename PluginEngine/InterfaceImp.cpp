#include "PluginEngine/InterfaceImp.h"

#include <cxxabi.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <typeinfo>

#include "Platform/Core/Hooks.h"

std::string TGUID::ToString() const {
  char Text[39];
  std::snprintf(Text, sizeof Text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", D1, D2, D3,
                D4[0], D4[1], D4[2], D4[3], D4[4], D4[5], D4[6], D4[7]);
  return Text;
}

HRESULT TInterfaceImp::QueryInterface(const TGUID& InterfaceID, void** Obj) {
  if (!Obj) return E_NOINTERFACE;
  void* Found = GetInterface(InterfaceID);
  if (!Found) {
    *Obj = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  *Obj = Found;
  return S_OK;
}

void* TInterfaceImp::GetInterface(const TGUID& InterfaceID) {
  if (InterfaceID == IInterface::IID) return static_cast<IInterface*>(this);
  return nullptr;
}

std::int32_t TInterfaceImp::AddRef() { return ++RefCount_; }

std::int32_t TInterfaceImp::Release() {
  const std::int32_t Count = --RefCount_;
  if (Count == 0 && FreesOnLastRelease()) delete this;
  return Count;
}

std::string TInterfaceImp::ClassName() const {
  const char* Mangled = typeid(*this).name();
  int Status = 0;
  std::unique_ptr<char, decltype(&std::free)> Demangled(
      abi::__cxa_demangle(Mangled, nullptr, nullptr, &Status), &std::free);
  return Status == 0 && Demangled ? std::string(Demangled.get()) : std::string(Mangled);
}

void TInterfaceImp::CheckNotReferenced() const {
  const std::int32_t Count = RefCount_.load();
  if (Count != UnreferencedCount())
    throw EInterfaceError("Interface wird noch referenziert! " + std::to_string(Count) + " " + ClassName());
}

void TInterfaceImp::Free(TInterfaceImp* Object) {
  if (!Object) return;
  Object->CheckNotReferenced();
  delete Object;
}

void TFreeInterfaceObject::operator()(TInterfaceImp* Object) const noexcept {
  try {
    TInterfaceImp::Free(Object);
  } catch (const std::exception& Error) {
    platform::ShowMessageBox(Error.what());
  }
}

void KeepInterfaceAlive(IInterface* Ref) {
  if (Ref) Ref->AddRef();
}
