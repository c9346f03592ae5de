#pragma once
// Plug-ins are built with hidden visibility; only these plain C functions are
// visible to the loader.
#define TOLVANE_PLUGIN_EXPORT extern "C" __attribute__((visibility("default")))
