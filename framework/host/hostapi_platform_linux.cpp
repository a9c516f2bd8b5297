// Linux: the host is the running program; its FX_* functions are in its exported symbols.
#include "framework/host/hostapi_platform.h"

#include <dlfcn.h>

namespace hostapi {
namespace platform {

void* FindHostFunction(const char* name) {
    static void* process = dlopen(nullptr, RTLD_LAZY);
    if (!process || !name) return nullptr;
    return dlsym(process, name);
}

void SetHostModuleName(const char*) {}

}  // namespace platform
}  // namespace hostapi
