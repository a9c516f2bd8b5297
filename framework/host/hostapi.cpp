#include "framework/host/hostapi.h"

#include "framework/host/hostapi_platform.h"
#include "framework/host/HostPrefsTranslation.h"

#include <cstring>

namespace hostapi {
namespace {

// One slot per host function: the flag is set before the lookup, so a name the host lacks is
// looked up once only.
struct Slot {
    bool resolved;
    void* address;
};

enum FunctionIndex {
#define FX_ENUM(ret, name, params, args) kIndex_##name,
    FX_FUNCTION_TABLE(FX_ENUM)
#undef FX_ENUM
        kFunctionCount
};

const char* const kNames[kFunctionCount] = {
#define FX_NAME(ret, name, params, args) #name,
    FX_FUNCTION_TABLE(FX_NAME)
#undef FX_NAME
};

Slot g_slots[kFunctionCount];
uint32_t g_hostVersion = 0;
Lookup g_lookup = nullptr;

void* Resolve(int index) {
    Slot& slot = g_slots[index];
    if (!slot.resolved) {
        slot.resolved = true;
        slot.address = g_lookup ? g_lookup(kNames[index]) : DefaultLookup(kNames[index]);
    }
    return slot.address;
}

template <typename Fn>
Fn Function(int index) {
    return reinterpret_cast<Fn>(Resolve(index));
}

}  // namespace

int FunctionCount() { return kFunctionCount; }

const char* FunctionName(int index) { return index >= 0 && index < kFunctionCount ? kNames[index] : nullptr; }

bool IsOffered(const char* name) {
    if (!name) return false;
    for (int i = 0; i < kFunctionCount; ++i)
        if (std::strcmp(kNames[i], name) == 0) return Resolve(i) != nullptr;
    return false;
}

void SetHostVersion(uint32_t version) { g_hostVersion = version; }
uint32_t GetHostVersion() { return g_hostVersion; }
bool UseUTF16() { return g_hostVersion >= kUTF16HostVersion; }

void SetLookup(Lookup lookup) {
    g_lookup = lookup;
    std::memset(g_slots, 0, sizeof(g_slots));
}

void* DefaultLookup(const char* name) { return platform::FindHostFunction(name); }

void SetHostModuleName(const char* name) { platform::SetHostModuleName(name); }

// Plain forwarding wrappers; the two record calls that translate preference tags follow.
#define FX_FORWARD(ret, name, params, args)                \
    ret name params {                                      \
        name##_fn fn = Function<name##_fn>(kIndex_##name); \
        if (!fn) return static_cast<ret>(0);               \
        return fn args;                                    \
    }
FX_PLAIN_TABLE(FX_FORWARD)

int16_t FX_LoadEData(uint32_t tag, FXKey* key, void* data, uint32_t* size, uint32_t version) {
    FX_LoadEData_fn load = Function<FX_LoadEData_fn>(kIndex_FX_LoadEData);
    if (!load) return 0;
    if (const PrefsTranslation* translation = FindPrefsTranslation(tag, key ? key->words[0] : 0))
        return translation->Load(load, key, data, size);
    return load(tag, key, data, size, version);
}

int16_t FX_SaveEData(uint32_t tag, const FXKey* key, const void* data, uint32_t size, uint32_t version) {
    FX_SaveEData_fn save = Function<FX_SaveEData_fn>(kIndex_FX_SaveEData);
    if (!save) return 0;
    if (version >= 0x08000000u) {
        if (const PrefsTranslation* translation = FindPrefsTranslation(tag, key ? key->words[0] : 0)) {
            FX_LoadEData_fn load = Function<FX_LoadEData_fn>(kIndex_FX_LoadEData);
            if (!load) return 0;
            return translation->Save(load, save, key, data, size);
        }
    }
    return save(tag, key, data, size, version);
}

}  // namespace hostapi
