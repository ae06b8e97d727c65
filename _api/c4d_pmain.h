// The plug-in's entry point and the hooks the exporter supplies.
#pragma once

#include "c4d_generation.h"
#include "c4d_platform.h"

// The exporter's hooks. PluginStart: true when its registrations succeeded. PluginMessage: true
// when message `id` was handled successfully. PluginEnd: the exporter's clean-up.
Bool PluginStart();
Bool PluginMessage(Int32 id, void* data);
void PluginEnd();

enum : Int32 {
  C4DPL_INIT_SYS = 1,
  C4DPL_INIT = 2,
  C4DPL_END = 3,
  C4DPL_INIT_VERSION = 4,
  C4DPL_MESSAGE = 6,
};

// The one function the host calls. Calls must not overlap.
extern "C" QUOR_EXPORT Int32 c4d_main(Int32 action, void* p1, void* p2, void* p3);
