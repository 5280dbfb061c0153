#pragma once
// The process-wide interface factory: code asks it for an implementation of
// an interface by the interface's identity. The player installs none, so
// every request ends in the message "InterfaceFactory has not been set!" and
// an assertion failure.
#include "Platform/Core/Assertion.h"
#include "PluginEngine/InterfaceImp.h"

struct IInterfaceFactory : virtual IInterface {
  static constexpr TGUID IID = TGUID::FromString("{5B3C1E0A-7D42-4F8E-9A61-2C8D4E7B3F19}");
  // A new object implementing InterfaceID: S_OK and the interface (one
  // reference) in *Obj, or E_NOINTERFACE.
  virtual HRESULT CreateInterface(const TGUID& InterfaceID, void** Obj) = 0;
};

// Installs (or with an empty reference removes) the factory.
void SetInterfaceFactory(TInterfacePtr<IInterfaceFactory> Factory);

// True when a factory is set; otherwise shows "InterfaceFactory has not been
// set!" in a message box (platform::ShowMessageBox) and answers false.
bool InterfaceFactoryAssigned();

// The factory. When none is set: the message of InterfaceFactoryAssigned,
// then EAssertionFailed("InterfaceFactory has not been set!",
// "InterfaceFactoryInt", 216).
TInterfacePtr<IInterfaceFactory> GetInterfaceFactory();
