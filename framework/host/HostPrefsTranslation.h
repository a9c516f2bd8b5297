// Translation of old-style preference records for the binding's FX_LoadEData and FX_SaveEData:
// the host keeps these preferences as sets of 12-byte "other" records, and the wrappers assemble
// (or scatter) the preference structure from (or into) them.
#pragma once

#include "framework/host/hostapi.h"

#include <cstdint>

namespace hostapi {

// One field of a preference structure kept in an other record.
struct PrefsFieldRow {
    char codes[2];      // the other record's tag is "ot" followed by these codes
    uint16_t item;      // 0 stands for 0xFFFE, the document-wide item
    uint16_t inci;
    uint16_t offset;    // byte offset in the preference structure
    uint16_t word;      // 16-bit word index in the 12-byte other record
    uint16_t size;      // 2 or 4
    uint16_t conversion;  // 0 plain; 1/2 two words high first/second; 3 inverted boolean; 4 low byte
};

// A preference tag served by translation: either a field table, or a run of consecutive
// incidences of one other record at item 0xFFFE.
class PrefsTranslation {
public:
    // Field-table form.
    PrefsTranslation(uint32_t tag, const PrefsFieldRow* rows, int rowCount, int onlyPrefsNumber);
    // Mapped form; numbers outside firstAllowed..lastAllowed fail (lastAllowed 0: any number).
    PrefsTranslation(uint32_t tag, char codeA, char codeB, int records, int firstAllowed, int lastAllowed,
                     bool inciFromNumber);

    uint32_t Tag() const { return tag_; }
    // True when this translation serves the given preference number.
    bool Serves(uint16_t prefsNumber) const;
    int16_t Load(FX_LoadEData_fn load, FXKey* key, void* data, uint32_t* size) const;
    int16_t Save(FX_LoadEData_fn load, FX_SaveEData_fn save, const FXKey* key, const void* data,
                 uint32_t size) const;
    // Size of the translated structure in bytes.
    uint32_t StructureSize() const;

private:
    uint32_t tag_;
    const PrefsFieldRow* rows_;
    int rowCount_;
    int onlyPrefsNumber_;  // -1: any
    uint32_t otherTag_;
    int records_;
    int firstAllowed_;
    int lastAllowed_;
    bool inciFromNumber_;
};

// The translation for a tag and preference number, or null when the tag goes to the host as it is.
const PrefsTranslation* FindPrefsTranslation(uint32_t tag, uint16_t prefsNumber);

}  // namespace hostapi
