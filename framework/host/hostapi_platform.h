// The one platform-dependent piece of the host binding: finding a host function by name.
#pragma once

namespace hostapi {
namespace platform {

// The address of the host's export with this exact name, or null.
void* FindHostFunction(const char* name);
// Windows: which module is the host (null: the running executable). Ignored elsewhere.
void SetHostModuleName(const char* name);

}  // namespace platform
}  // namespace hostapi
