// The seven functions the host calls in the plug-in module, with C linkage and the host's calling
// convention, and the layouts of the two menu records the enumeration fills. The module exports
// exactly these names; a host program finds them by name (the function types below), never by
// linking.
#pragma once

#include "framework/host/hostapi.h"

#include <cstdint>

namespace pluginexports {

// The 8-bit menu record: three texts of 64 bytes (menu item, description, menu group), then two
// 16-bit values.
constexpr int kMenuRecordSize = 196;
constexpr int kMenuTextBytes = 64;
constexpr int kMenuItemOffset = 0;
constexpr int kMenuDescriptionOffset = 64;
constexpr int kMenuGroupOffset = 128;
constexpr int kMenuValue1Offset = 192;
constexpr int kMenuValue2Offset = 194;

// The UTF-16 menu record: three texts of 128 code units, then two 16-bit values.
constexpr int kMenuRecordSizeUTF16 = 772;
constexpr int kMenuTextUnitsUTF16 = 128;
constexpr int kMenuItemOffsetUTF16 = 0;
constexpr int kMenuDescriptionOffsetUTF16 = 256;
constexpr int kMenuGroupOffsetUTF16 = 512;
constexpr int kMenuValue1OffsetUTF16 = 768;
constexpr int kMenuValue2OffsetUTF16 = 770;

// What the menu shows.
constexpr const char* kMenuItem = "QZ Pattern...";
constexpr const char* kMenuDescription = "Tasks for pattern creation and manipulation.";
constexpr const char* kMenuGroup = "Pattern";

// The interface version the plug-in answers to the host's version.
constexpr uint32_t kPluginInterfaceVersion = 0x0F000000;
// The bit FinaleExtensionInit sets in the host's flag word.
constexpr uint32_t kInitFlag = 0x1;

}  // namespace pluginexports

// Function types, for host programs that look the exports up by name.
typedef int32_t(FXAPI* FinaleExtensionEnumerate_fn)(void* ignored, int16_t index, void* record);
typedef int16_t(FXAPI* FinaleExtensionEnumerate_UTF16_fn)(void* ignored, int16_t index, void* record);
typedef int32_t(FXAPI* FinaleExtensionGetMenuStatus_fn)(void* ignored);
typedef int32_t(FXAPI* FinaleExtensionInit_fn)(void* ignored, uint32_t* flags);
typedef int32_t(FXAPI* FinaleExtensionInvoke_fn)(FXWindow hostWindow, void* ignored1, void* ignored2, void* ignored3);
typedef void(FXAPI* FinaleExtensionTerminate_fn)(void* ignored);
typedef uint32_t(FXAPI* FinaleExtensionVersion_fn)(uint32_t hostVersion);

extern "C" {

// Fills the 8-bit menu record for index 0 (and any index below it) and returns 1; returns 0
// without writing for index 1 or more.
int32_t FXAPI FinaleExtensionEnumerate(void* ignored, int16_t index, void* record);
// The same for the UTF-16 record, for index 0 only.
int16_t FXAPI FinaleExtensionEnumerate_UTF16(void* ignored, int16_t index, void* record);
// The menu item is always available: 1.
int32_t FXAPI FinaleExtensionGetMenuStatus(void* ignored);
// Sets bit 0 of the host's flag word, keeping the others; returns 1.
int32_t FXAPI FinaleExtensionInit(void* ignored, uint32_t* flags);
// Opens (or brings back) the task window; returns 0.
int32_t FXAPI FinaleExtensionInvoke(FXWindow hostWindow, void* ignored1, void* ignored2, void* ignored3);
// Closes and deletes the window, saving the settings when there was one.
void FXAPI FinaleExtensionTerminate(void* ignored);
// Keeps the host's version for the binding and answers the plug-in's interface version.
uint32_t FXAPI FinaleExtensionVersion(uint32_t hostVersion);

}  // extern "C"
