// How the stand-in host defines its FX_* exports: C linkage, the host's calling convention,
// exported from the program that links the stand-in host, and a fault switch checked on entry.
#pragma once

#include "framework/host/hostapi.h"
#include "simhost/SimHost.h"

#if defined(_WIN32)
#define SIM_EXPORT extern "C" __declspec(dllexport)
#else
#define SIM_EXPORT extern "C" __attribute__((visibility("default")))
#endif

// Opens an export: returns 0 (of the result type) when a test made this function fail.
#define SIM_ENTER(name, ret)                                       \
    do {                                                           \
        if (simhost::IsFailing(#name)) return static_cast<ret>(0); \
    } while (0)
