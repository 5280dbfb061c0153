#pragma once
// The registration of every plug-in class of the player, in the one order the
// registry keeps them: the text animation, the transitions, then the slide
// objects. Enumeration and the random transition see them in this order.
#include <string_view>
#include <vector>

#include "PluginEngine/Plugins.h"

// Registers the classes of the table below into Registry, in table order.
void RegisterPluginClasses(TPlugins& Registry);

// The class names of the registration table, all 49, in order; classes that
// do not exist yet are skipped by RegisterPluginClasses.
const std::vector<std::string_view>& RegistrationTable();
