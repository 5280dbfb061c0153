#include "PluginEngine/PluginLists.h"

TPlugins PluginRegistry;
