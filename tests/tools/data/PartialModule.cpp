// A plug-in module with only the version entry point: a host must refuse to load it.
#include "framework/host/hostapi.h"

extern "C" __attribute__((visibility("default"))) uint32_t FXAPI FinaleExtensionVersion(uint32_t) { return 0x0F000000; }
