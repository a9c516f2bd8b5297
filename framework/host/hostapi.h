// The binding to the host's programming interface: one wrapper per FX_* function the system
// calls. Each wrapper looks its function up by exact name on first use (once), caches the
// address and forwards the call; a function the host does not export makes its wrapper return 0.
// Nothing else in the system declares or calls an FX_* function.
//
// The table below is the single declaration of every host function's signature; the stand-in
// host implements its exports from the same table, so both sides share one calling convention.
#pragma once

#include <cstdint>

// The host's calling convention: plain C calls, undecorated names, 4-byte addresses.
#if defined(_WIN32)
#define FXAPI __cdecl
#else
#define FXAPI __attribute__((cdecl))
#endif

// A record key: four 16-bit words, passed as one 8-byte block.
struct FXKey {
    uint16_t words[4];
};
static_assert(sizeof(FXKey) == 8, "host record key is 8 bytes");

// Window handle as the host passes it (an address, 4 bytes wide).
typedef void* FXWindow;

// The dialog dispatcher the plug-in hands to FX_Dialog: native window, message, the two message
// parameters and the window object given to FX_Dialog. Parameters are 32-bit as on the host.
typedef int32_t(FXAPI* FXDialogProc)(FXWindow window, uint32_t message, uint32_t wparam, int32_t lparam,
                                     void* userData);
static_assert(sizeof(FXDialogProc) == 4, "host addresses are 4 bytes");

// The interface version passed as the last argument of every host call except record calls.
constexpr uint32_t kFXInterfaceVersion = 0x12050000;

// X-macro tables: FX_FUNCTION(result type, name, (parameter list), (argument names)).
// Results declared 16-bit are sign-extended by the wrappers (int16_t results).
// The two record calls whose wrappers translate old preference tags:
#define FX_TRANSLATED_TABLE(FX_FUNCTION)                                                                          \
    FX_FUNCTION(int16_t, FX_LoadEData, (uint32_t tag, FXKey * key, void* data, uint32_t* size, uint32_t version), \
                (tag, key, data, size, version))                                                                  \
    FX_FUNCTION(int16_t, FX_SaveEData,                                                                            \
                (uint32_t tag, const FXKey* key, const void* data, uint32_t size, uint32_t version),              \
                (tag, key, data, size, version))

// Every other host function, forwarded unchanged.
#define FX_PLAIN_TABLE(FX_FUNCTION)                                                                                    \
    /* records */                                                                                                      \
    FX_FUNCTION(int16_t, FX_CreateEData,                                                                               \
                (uint32_t tag, FXKey * key, const void* data, uint32_t size, uint32_t version),                        \
                (tag, key, data, size, version))                                                                       \
    FX_FUNCTION(int16_t, FX_DeleteEData, (uint32_t tag, const FXKey* key, uint32_t version), (tag, key, version))      \
    FX_FUNCTION(int16_t, FX_NextEData, (uint32_t tag, FXKey * key, void* data, uint32_t* size, uint32_t version),      \
                (tag, key, data, size, version))                                                                       \
    FX_FUNCTION(int16_t, FX_GetCurrentEnigmaDocument, (uint32_t version), (version))                                   \
    /* selection, staves and measures */                                                                               \
    FX_FUNCTION(int16_t, FX_GetCurERegions, (void* first, void* second, void* third, uint32_t version),                \
                (first, second, third, version))                                                                       \
    FX_FUNCTION(int32_t, FX_SetCurERegion, (const void* region, uint32_t version), (region, version))                  \
    FX_FUNCTION(int16_t, FX_SlotToInst, (int16_t slot, int16_t staffList, uint32_t version),                           \
                (slot, staffList, version))                                                                            \
    FX_FUNCTION(int16_t, FX_InstToSlot, (int16_t staff, int16_t staffList, uint32_t version),                          \
                (staff, staffList, version))                                                                           \
    FX_FUNCTION(int32_t, FX_GetMeasureDuration, (int16_t staff, int16_t measure, uint32_t version),                    \
                (staff, measure, version))                                                                             \
    /* parts */                                                                                                        \
    FX_FUNCTION(int32_t, FX_GetCurrentPartID, (uint32_t version), (version))                                           \
    FX_FUNCTION(int32_t, FX_SetCurrentPartID, (int32_t part, uint32_t version), (part, version))                       \
    FX_FUNCTION(int32_t, FX_GetNextPartID, (int32_t part, uint32_t version), (part, version))                          \
    /* entry frames */                                                                                                 \
    FX_FUNCTION(                                                                                                       \
        void*, FX_LoadTGF,                                                                                             \
        (int16_t staffList, int16_t slot, int16_t measure, int16_t layer, int16_t loadOption, uint32_t version),       \
        (staffList, slot, measure, layer, loadOption, version))                                                        \
    FX_FUNCTION(int16_t, FX_SaveTGF, (void* frame, uint32_t version), (frame, version))                                \
    FX_FUNCTION(int16_t, FX_FreeTGF, (void* frame, uint32_t version), (frame, version))                                \
    FX_FUNCTION(int16_t, FX_InsertEXENTRY, (void* frame, int16_t index, int16_t count, uint32_t version),              \
                (frame, index, count, version))                                                                        \
    FX_FUNCTION(int16_t, FX_DeleteEXENTRY, (void* frame, int16_t index, int16_t count, uint32_t version),              \
                (frame, index, count, version))                                                                        \
    FX_FUNCTION(int16_t, FX_GetMaxLayers, (uint32_t version), (version))                                               \
    FX_FUNCTION(int16_t, FX_GetShowLayer, (int16_t layer, uint32_t version), (layer, version))                         \
    FX_FUNCTION(int16_t, FX_NoteToMidi, (const void* note, int16_t key, uint32_t version), (note, key, version))       \
    FX_FUNCTION(int16_t, FX_GetEntryMetrics2014,                                                                       \
                (int16_t staff, int16_t measure, int32_t entnum, void* block, int32_t reserved, int16_t refresh,       \
                 uint32_t version),                                                                                    \
                (staff, measure, entnum, block, reserved, refresh, version))                                           \
    FX_FUNCTION(int16_t, FX_GetEntryMetrics2009a,                                                                      \
                (int16_t staff, int16_t measure, int32_t entnum, void* block, int32_t reserved, int16_t refresh,       \
                 uint32_t version),                                                                                    \
                (staff, measure, entnum, block, reserved, refresh, version))                                           \
    FX_FUNCTION(int16_t, FX_FreeEntryMetrics, (void* block, uint32_t version), (block, version))                       \
    FX_FUNCTION(int32_t, FX_AnalyzeChord, (const void* region, void* chord, void* result, uint32_t version),           \
                (region, chord, result, version))                                                                      \
    /* edits and commands */                                                                                           \
    FX_FUNCTION(int32_t, FX_StartFinaleEdit, (const char* title, uint32_t version), (title, version))                  \
    FX_FUNCTION(int32_t, FX_StartFinaleEdit_UTF16, (const char16_t* title, uint32_t version), (title, version))        \
    FX_FUNCTION(int32_t, FX_EndFinaleEdit, (uint32_t version), (version))                                              \
    FX_FUNCTION(int32_t, FX_CancelFinaleEdit, (uint32_t version), (version))                                           \
    FX_FUNCTION(int32_t, FX_ExecuteMenuItem, (int32_t command, uint32_t version), (command, version))                  \
    FX_FUNCTION(int32_t, FX_RedrawMusic, (const void* region, uint32_t version), (region, version))                    \
    FX_FUNCTION(int32_t, FX_UpdateLayout, (int32_t first, int32_t second, uint32_t version), (first, second, version)) \
    /* fonts and the host folder */                                                                                    \
    FX_FUNCTION(int16_t, FX_FontNameToNum, (const char* name, uint32_t version), (name, version))                      \
    FX_FUNCTION(int16_t, FX_FontNumToName, (int16_t number, char* name, int32_t size, uint32_t version),               \
                (number, name, size, version))                                                                         \
    FX_FUNCTION(int32_t, FX_GetFinalePath,                                                                             \
                (void* buffer, int32_t size, int16_t folder, int16_t utf16, uint32_t version),                         \
                (buffer, size, folder, utf16, version))                                                                \
    /* dialogs */                                                                                                      \
    FX_FUNCTION(                                                                                                       \
        int32_t, FX_Dialog,                                                                                            \
        (int16_t templateId, FXDialogProc proc, FXWindow parent, int16_t modal, void* userData, uint32_t version),     \
        (templateId, proc, parent, modal, userData, version))                                                          \
    FX_FUNCTION(int32_t, FX_EndDialog, (FXWindow window, int32_t result, uint32_t version), (window, result, version)) \
    FX_FUNCTION(int32_t, FX_EnableDlgItem, (FXWindow window, int16_t id, int16_t enable, uint32_t version),            \
                (window, id, enable, version))                                                                         \
    FX_FUNCTION(int32_t, FX_GetDlgItemVal, (FXWindow window, int16_t id, int16_t kind, uint32_t version),              \
                (window, id, kind, version))                                                                           \
    FX_FUNCTION(int32_t, FX_SetDlgItemVal,                                                                             \
                (FXWindow window, int16_t id, int16_t kind, int32_t value, uint32_t version),                          \
                (window, id, kind, value, version))                                                                    \
    FX_FUNCTION(int32_t, FX_GetDlgItemUser,                                                                            \
                (FXWindow window, int16_t id, int16_t code, double* result, uint32_t version),                         \
                (window, id, code, result, version))                                                                   \
    FX_FUNCTION(int32_t, FX_SetDlgItemUser,                                                                            \
                (FXWindow window, int16_t id, int16_t code, double value, uint32_t version),                           \
                (window, id, code, value, version))                                                                    \
    FX_FUNCTION(int32_t, FX_GetDlgString, (FXWindow window, int16_t id, char* buffer, int32_t size, uint32_t version), \
                (window, id, buffer, size, version))                                                                   \
    FX_FUNCTION(int32_t, FX_GetDlgString_UTF16,                                                                        \
                (FXWindow window, int16_t id, char16_t* buffer, int32_t size, uint32_t version),                       \
                (window, id, buffer, size, version))                                                                   \
    FX_FUNCTION(int32_t, FX_SetDlgString, (FXWindow window, int16_t id, const char* text, uint32_t version),           \
                (window, id, text, version))                                                                           \
    FX_FUNCTION(int32_t, FX_SetDlgString_UTF16, (FXWindow window, int16_t id, const char16_t* text, uint32_t version), \
                (window, id, text, version))                                                                           \
    FX_FUNCTION(FXWindow, FX_GetCurrentWindow, (uint32_t version), (version))

// All host functions the system calls.
#define FX_FUNCTION_TABLE(FX_FUNCTION) FX_TRANSLATED_TABLE(FX_FUNCTION) FX_PLAIN_TABLE(FX_FUNCTION)

namespace hostapi {

// Host versions at which the host's interface changes; a host version is compared as an unsigned
// number. From kUTF16HostVersion the host takes UTF-16 texts and keeps the longer layouts of
// categories, articulation and expression definitions, staves and staff styles; from
// kCurrentLayoutHostVersion it keeps the current layouts of measures, staves, staff styles,
// independent cells, note entries and the miscellaneous preferences.
constexpr uint32_t kUTF16HostVersion = 0x11000000;
constexpr uint32_t kCurrentLayoutHostVersion = 0x12000000;

// Function pointer types, one per host function: FX_LoadEData_fn and so on.
#define FX_DECLARE_TYPE(ret, name, params, args) typedef ret(FXAPI* name##_fn) params;
FX_FUNCTION_TABLE(FX_DECLARE_TYPE)
#undef FX_DECLARE_TYPE

// The wrappers. Same names and arguments as the host's functions; 0 when the host lacks one.
#define FX_DECLARE_WRAPPER(ret, name, params, args) ret name params;
FX_FUNCTION_TABLE(FX_DECLARE_WRAPPER)
#undef FX_DECLARE_WRAPPER

// Number of host functions in the table, and their names in table order (for the stand-in host
// and for tests that check every function has an implementation or an explicit "not offered").
int FunctionCount();
const char* FunctionName(int index);

// Whether the host offers the function of this name (one of the table's); false for names the
// table does not have.
bool IsOffered(const char* name);

// The host version handed over by the plug-in's version entry point; 0 until then.
void SetHostVersion(uint32_t version);
uint32_t GetHostVersion();
// True when the host takes UTF-16 texts (host version 0x11000000 or later).
bool UseUTF16();

// Finds a host function's address by exact name, or returns null. The default looks in the host
// module: "FINALE.EXE" on Windows, the process's own exported symbols elsewhere.
typedef void* (*Lookup)(const char* name);
// Replaces the lookup (null restores the default) and forgets every resolved address, so the
// next call of each wrapper looks its name up again. For test programs and host programs.
void SetLookup(Lookup lookup);
// The default lookup.
void* DefaultLookup(const char* name);
// Windows: the file name of the host module the default lookup searches; null means the running
// executable itself (test programs export the stand-in host's functions from their own image).
void SetHostModuleName(const char* name);

}  // namespace hostapi

// Record tags from their four codes, first code in the most significant byte.
constexpr uint32_t FXTag(char a, char b, char c, char d) {
    return (uint32_t(uint8_t(a)) << 24) | (uint32_t(uint8_t(b)) << 16) | (uint32_t(uint8_t(c)) << 8) |
           uint32_t(uint8_t(d));
}
