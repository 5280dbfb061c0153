#include "PluginEngine/InterfaceFactoryInt.h"

#include <utility>

#include "Platform/Core/Hooks.h"

namespace {

constexpr const char* NotSetMessage = "InterfaceFactory has not been set!";

TInterfacePtr<IInterfaceFactory>& InterfaceFactory() {
  static TInterfacePtr<IInterfaceFactory> Factory;
  return Factory;
}

}  // namespace

void SetInterfaceFactory(TInterfacePtr<IInterfaceFactory> Factory) {
  InterfaceFactory() = std::move(Factory);
}

bool InterfaceFactoryAssigned() {
  if (InterfaceFactory()) return true;
  platform::ShowMessageBox(NotSetMessage);
  return false;
}

TInterfacePtr<IInterfaceFactory> GetInterfaceFactory() {
  if (!InterfaceFactoryAssigned()) throw EAssertionFailed(NotSetMessage, "InterfaceFactoryInt", 216);
  return InterfaceFactory();
}
