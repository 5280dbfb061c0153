#include "Transitions/RandomTransition.h"

#include "Platform/Core/Random.h"
#include "PluginEngine/PluginLists.h"

std::vector<std::string> TTPRandomTransitionClass::UsedFilenames() const {
  std::vector<std::string> Names;
  const std::unique_ptr<TPlugins> Candidates = PluginRegistry.PluginsOf(TTransitionPlugin::StaticClass());
  if (!Candidates) return Names;
  for (std::int32_t I = 0; I < Candidates->Count(); ++I) {
    const TPluginListItem* Item = Candidates->Items(I);
    if (!Item || Item->PluginClass() == TTPRandomTransition::StaticClass()) continue;
    const auto* Class = PluginClassAs<TTransitionPluginClass>(Item->PluginClass());
    if (!Class) continue;
    for (std::string& Name : Class->UsedFilenames()) Names.push_back(std::move(Name));
  }
  return Names;
}

TPluginClassRef TTPRandomTransition::ChooseTransitionClass(const TPlugins& Registry) const {
  const std::unique_ptr<TPlugins> Candidates = Registry.PluginsOf(TTransitionPlugin::StaticClass());
  if (!Candidates) return nullptr;
  const std::int32_t N = Candidates->Count();
  const std::string_view Own = ClassName();
  for (std::int32_t Attempt = 0; Attempt < N; ++Attempt) {
    const std::int32_t I = Random(N);
    const TPluginListItem* Item = Candidates->Items(I);
    if (Item && Item->PluginClass() && Item->PluginClass()->ClassName() != Own) return Item->PluginClass();
    // The candidates share the registry's entries: emptying a slot here
    // leaves the registry as it is.
    Candidates->List().SetItem(I, nullptr);
  }
  return nullptr;
}

void TTPRandomTransition::InitTransition(TRect ARect, TBitmap32* Source, TBitmap32* Target,
                                         platform::PaintDevice& ACanvas) {
  TTransitionPlugin::InitTransition(ARect, Source, Target, ACanvas);
  Current_.reset();
  Current_ = CreatePluginAs<TTransitionPlugin>(ChooseTransitionClass(PluginRegistry));
  if (!Current_) return;
  Current_->SetStepInterval(0);
  Current_->InitTransition(ARect, Source, Target, ACanvas);
}

void TTPRandomTransition::ResetTransition() {
  TTransitionPlugin::ResetTransition();
  if (Current_) {
    Current_->ResetTransition();
    Current_.reset();
  }
}

void TTPRandomTransition::Step() {
  if (Current_) Current_->Step();
}

bool TTPRandomTransition::Finished() { return Current_ ? Current_->Finished() : true; }
