// Windows: the host is the module "FINALE.EXE" in the running process, found once.
#include "framework/host/hostapi_platform.h"

#include <windows.h>

namespace hostapi {
namespace platform {
namespace {

const char* g_moduleName = "FINALE.EXE";
bool g_moduleFound = false;
HMODULE g_module = nullptr;

}  // namespace

void* FindHostFunction(const char* name) {
    if (!g_moduleFound) {
        g_moduleFound = true;
        g_module = GetModuleHandleA(g_moduleName);
    }
    if (!g_module || !name) return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(g_module, name));
}

void SetHostModuleName(const char* name) {
    g_moduleName = name;
    g_moduleFound = false;
    g_module = nullptr;
}

}  // namespace platform
}  // namespace hostapi
