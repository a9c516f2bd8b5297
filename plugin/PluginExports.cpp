#include "plugin/PluginExports.h"

#include "plugin/PatternPlugin.h"

#include <cstring>

using namespace pluginexports;

namespace {

static_assert(kMenuValue2Offset + 2 == kMenuRecordSize, "8-bit menu record layout");
static_assert(kMenuValue2OffsetUTF16 + 2 == kMenuRecordSizeUTF16, "UTF-16 menu record layout");
static_assert(kMenuGroupOffsetUTF16 + kMenuTextUnitsUTF16 * 2 == kMenuValue1OffsetUTF16, "UTF-16 menu texts");

void WriteWord(void* record, int offset, int16_t value) {
    std::memcpy(static_cast<unsigned char*>(record) + offset, &value, sizeof value);
}

// At most 64 bytes: the texts are shorter, so each ends with its terminator; nothing after the
// terminator is written.
void WriteText8(void* record, int offset, const char* text) {
    size_t length = std::strlen(text) + 1;
    if (length > size_t(kMenuTextBytes)) length = size_t(kMenuTextBytes);
    std::memcpy(static_cast<unsigned char*>(record) + offset, text, length);
}

// At most 63 code units and a terminating 0. The texts are plain ASCII.
void WriteTextUTF16(void* record, int offset, const char* text) {
    unsigned char* out = static_cast<unsigned char*>(record) + offset;
    int i = 0;
    for (; text[i] && i < kMenuTextUnitsUTF16 / 2 - 1; ++i) {
        const char16_t unit = char16_t(static_cast<unsigned char>(text[i]));
        std::memcpy(out + i * 2, &unit, sizeof unit);
    }
    const char16_t end = 0;
    std::memcpy(out + i * 2, &end, sizeof end);
}

}  // namespace

extern "C" {

int32_t FXAPI FinaleExtensionEnumerate(void*, int16_t index, void* record) {
    if (index >= 1 || !record) return 0;
    WriteText8(record, kMenuItemOffset, kMenuItem);
    WriteText8(record, kMenuDescriptionOffset, kMenuDescription);
    WriteText8(record, kMenuGroupOffset, kMenuGroup);
    WriteWord(record, kMenuValue1Offset, 0);
    WriteWord(record, kMenuValue2Offset, 0);
    return 1;
}

int16_t FXAPI FinaleExtensionEnumerate_UTF16(void*, int16_t index, void* record) {
    if (index != 0 || !record) return 0;
    WriteTextUTF16(record, kMenuItemOffsetUTF16, kMenuItem);
    WriteTextUTF16(record, kMenuDescriptionOffsetUTF16, kMenuDescription);
    WriteTextUTF16(record, kMenuGroupOffsetUTF16, kMenuGroup);
    WriteWord(record, kMenuValue1OffsetUTF16, 0);
    WriteWord(record, kMenuValue2OffsetUTF16, 0);
    return 1;
}

int32_t FXAPI FinaleExtensionGetMenuStatus(void*) { return 1; }

int32_t FXAPI FinaleExtensionInit(void*, uint32_t* flags) {
    if (flags) *flags |= kInitFlag;
    return 1;
}

// Nothing unwinds into the host: a failure inside the plug-in ends the call with the result the
// host expects. (A task's edit is already taken back by the undo block that opened it.)
int32_t FXAPI FinaleExtensionInvoke(FXWindow hostWindow, void*, void*, void*) {
    try {
        patternplugin::Invoke(hostWindow);
    } catch (...) {
    }
    return 0;
}

void FXAPI FinaleExtensionTerminate(void*) {
    try {
        patternplugin::Terminate();
    } catch (...) {
    }
}

uint32_t FXAPI FinaleExtensionVersion(uint32_t hostVersion) {
    hostapi::SetHostVersion(hostVersion);
    return kPluginInterfaceVersion;
}

}  // extern "C"
