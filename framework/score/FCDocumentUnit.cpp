#include "framework/core/FCDocumentUnit.h"

#include "framework/host/hostapi.h"

#include <cstring>

// The general preferences (pfgp, number 1) hold the unit as a 16-bit value at offset 30.
int FCDocumentMeasurementUnit() {
    uint8_t prefs[66] = {0};
    FXKey key = {{1, 0, 0, 0}};
    uint32_t size = sizeof prefs;
    if (!hostapi::FX_LoadEData(FXTag('p', 'f', 'g', 'p'), &key, prefs, &size, 0x0D000000)) return 1;
    int16_t unit;
    std::memcpy(&unit, prefs + 30, 2);
    return unit >= 1 && unit <= 6 ? unit : 1;
}
