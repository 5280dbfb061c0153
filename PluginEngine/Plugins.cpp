#include "PluginEngine/Plugins.h"

#include <algorithm>
#include <utility>

#include "Platform/Core/Cp1252.h"
#include "Platform/Core/ListError.h"

// ---- classes ----------------------------------------------------------------

bool TPluginClass::InheritsFrom(TPluginClassRef Base) const {
  for (TPluginClassRef C = this; C; C = C->ClassParent())
    if (C == Base) return true;
  return false;
}

const TPluginClass* TPlugin::StaticClass() {
  static const TPluginClassOf<TPlugin, void, TPluginClass> MetaClassObject("TPlugin");
  return &MetaClassObject;
}

TPluginClassRef TPlugin::ClassType() const { return StaticClass(); }

void TPlugin::Assign(const TPlugin*) {}

// ---- entries ----------------------------------------------------------------

TPluginListItem::TPluginListItem(TPluginClassRef PluginClass, bool RegisterForStreaming)
    : StreamRegistered_(RegisterForStreaming), PluginClass_(PluginClass) {}

TPluginListItem::TPluginListItem(std::unique_ptr<TPlugin> Instance, bool RegisterForStreaming)
    : StreamRegistered_(RegisterForStreaming),
      Instance_(std::move(Instance)),
      PluginClass_(Instance_ ? Instance_->ClassType() : nullptr) {}

TPluginListItem::~TPluginListItem() { FreeInstance(); }

// ---- list -------------------------------------------------------------------

TPluginList::TPluginList(bool OwnsObjects) : OwnsObjects_(OwnsObjects) {}

TPluginList::~TPluginList() {
  for (TPluginListItem* Item : Items_) Drop(Item);
}

void TPluginList::Drop(TPluginListItem* Item) const {
  if (OwnsObjects_) std::unique_ptr<TPluginListItem> Freed(Item);
}

void TPluginList::CheckIndex(std::int32_t Index) const {
  if (Index < 0 || Index >= Count()) RaiseListIndexError(Index);
}

TPluginListItem* TPluginList::Items(std::int32_t Index) const {
  CheckIndex(Index);
  return Items_[static_cast<std::size_t>(Index)];
}

void TPluginList::SetItem(std::int32_t Index, TPluginListItem* Item) {
  CheckIndex(Index);
  TPluginListItem*& Slot = Items_[static_cast<std::size_t>(Index)];
  if (Slot == Item) return;
  Drop(std::exchange(Slot, Item));
}

void TPluginList::Add(TPluginListItem* Item) {
  try {
    Items_.push_back(Item);
  } catch (...) {
    Drop(Item);
    throw;
  }
}

void TPluginList::Sort(const TPluginCompare& Compare) {
  // Bottom-up merge sort: it never reads outside the list whatever the
  // comparison answers, which a quicksort cannot promise for a comparison
  // that is not consistent.
  auto Before = [&](const TPluginListItem* A, const TPluginListItem* B) {
    if (!A || !B) return A && !B;  // empty slots last
    return Compare(A, B) < 0;
  };
  const std::size_t N = Items_.size();
  std::vector<TPluginListItem*> Buffer(N);
  for (std::size_t Width = 1; Width < N; Width *= 2) {
    for (std::size_t Lo = 0; Lo < N; Lo += 2 * Width) {
      const std::size_t Mid = std::min(Lo + Width, N);
      const std::size_t Hi = std::min(Lo + 2 * Width, N);
      std::size_t I = Lo, J = Mid, K = Lo;
      while (I < Mid && J < Hi) Buffer[K++] = Before(Items_[J], Items_[I]) ? Items_[J++] : Items_[I++];
      while (I < Mid) Buffer[K++] = Items_[I++];
      while (J < Hi) Buffer[K++] = Items_[J++];
    }
    Items_.swap(Buffer);
  }
}

// ---- registry -----------------------------------------------------------------

TPlugins::TPlugins() : TPlugins(true) {}
TPlugins::TPlugins(bool OwnsEntries) : Items_(OwnsEntries) {}
TPlugins::~TPlugins() = default;

void TPlugins::RegisterPlugin(TPluginClassRef PluginClass) {
  if (!PluginClass || IsRegistered(PluginClass)) return;
  Items_.Add(std::make_unique<TPluginListItem>(PluginClass, true).release());
}

bool TPlugins::IsRegistered(TPluginClassRef PluginClass) const {
  return PluginClass && FindPlugin(PluginClass->ClassName()) != nullptr;
}

TPluginClassRef TPlugins::FindPlugin(std::string_view Name) const {
  for (std::int32_t I = 0; I < Items_.Count(); ++I) {
    const TPluginListItem* Item = Items_.Items(I);
    if (Item && Item->PluginClass() && platform::SameTextCp1252(Item->PluginClass()->ClassName(), Name))
      return Item->PluginClass();
  }
  return nullptr;
}

std::unique_ptr<TPlugins> TPlugins::PluginsOf(TPluginClassRef BaseClass) const {
  std::unique_ptr<TPlugins> Result;
  for (std::int32_t I = 0; I < Items_.Count(); ++I) {
    TPluginListItem* Item = Items_.Items(I);
    if (!Item || !Item->PluginClass() || !Item->PluginClass()->InheritsFrom(BaseClass)) continue;
    if (!Result) Result.reset(new TPlugins(false));
    Result->Items_.Add(Item);
  }
  return Result;
}

void TPlugins::SortByCaption() {
  Items_.Sort([](const TPluginListItem* A, const TPluginListItem* B) -> std::int32_t {
    const std::string CA = A->PluginClass() ? A->PluginClass()->Caption() : std::string();
    const std::string CB = B->PluginClass() ? B->PluginClass()->Caption() : std::string();
    return platform::CompareTextAscii(CA, CB);
  });
}

void TPlugins::Sort(const TPluginCompare& Compare) { Items_.Sort(Compare); }
