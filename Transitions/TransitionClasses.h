#pragma once
// Every transition class the player registers, in registration order: the
// random transition, the two cross-fades, then the tile-grid and mask-picture
// transitions interleaved as the registry keeps them. Enumeration and the
// random transition see them in this order.
#include <vector>

#include "PluginEngine/Plugins.h"
#include "Transitions/AlphablendingTransition.h"
#include "Transitions/BoxPicTransitions.h"
#include "Transitions/BoxTransitions.h"
#include "Transitions/RandomTransition.h"

// The 42 classes in registration order.
const std::vector<TPluginClassRef>& TransitionClasses();
// Registers TransitionClasses() into Registry, in order.
void RegisterTransitionClasses(TPlugins& Registry);
