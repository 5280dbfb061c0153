#pragma once
// The process-wide plug-in registry. It is created empty before main runs
// and freed at process end (with every entry). Start-up code registers the
// classes from main, never from a static initialiser of another file, whose
// order relative to this one is not defined.
#include "PluginEngine/Plugins.h"

extern TPlugins PluginRegistry;
