// The binding's translation of old-style preference tags in FX_LoadEData and FX_SaveEData: the
// host keeps these preferences as sets of 12-byte other records, and the wrappers assemble (or
// scatter) the preference structure from (or into) them.
#pragma once

#include "framework/host/PrefsFieldTable.h"

#include <cstdint>

namespace hostapi {

class PrefsTranslation {
public:
    // Field-table form; onlyPrefsNumber -1 serves every preference number.
    PrefsTranslation(uint32_t tag, const PrefsFieldTable& table, int onlyPrefsNumber);
    // Mapped form: a run of `records` consecutive incidences of one other record at item 0xFFFE;
    // numbers outside firstAllowed..lastAllowed fail (lastAllowed 0: any number).
    PrefsTranslation(uint32_t tag, char codeA, char codeB, int records, int firstAllowed, int lastAllowed,
                     bool inciFromNumber);

    uint32_t Tag() const { return tag_; }
    bool Serves(uint16_t prefsNumber) const;
    // Size of the translated structure in bytes.
    uint32_t StructureSize() const;
    int16_t Load(FX_LoadEData_fn load, FXKey* key, void* data, uint32_t* size) const;
    int16_t Save(FX_LoadEData_fn load, FX_SaveEData_fn save, const FXKey* key, const void* data, uint32_t size) const;

private:
    bool NumberAllowed(int number) const;

    uint32_t tag_;
    PrefsFieldTable table_;
    int onlyPrefsNumber_;
    uint32_t otherTag_;
    int records_;
    int firstAllowed_;
    int lastAllowed_;
    bool inciFromNumber_;
};

// The translation for a tag and preference number, or null when the tag goes to the host as it is.
const PrefsTranslation* FindPrefsTranslation(uint32_t tag, uint16_t prefsNumber);

}  // namespace hostapi
