// A preference structure kept by the host as fields of small 12-byte "other" records: the table
// of rows that say where each field lives, and the assembling and scattering of the structure.
// Used by the binding's translation of old preference tags and by the framework's emulated
// preference classes.
#pragma once

#include "framework/host/hostapi.h"

#include <cstdint>
#include <vector>

// One field: where it lies in the preference structure and in which other record.
struct PrefsFieldRow {
    char codes[2];        // the other record's tag is "ot" followed by these two codes
    uint16_t item;        // the other record's item number (0xFFFE: the document-wide item)
    uint16_t inci;        // its incidence
    uint16_t offset;      // byte offset in the preference structure
    uint16_t word;        // 16-bit word index in the 12-byte other record
    uint16_t size;        // 2 or 4
    uint16_t conversion;  // 0 plain; 1/2 32-bit from two words, high first/second; 3 inverted boolean; 4 low byte
    uint32_t minVersion;  // lowest host version that has the field (0: every host)
};

class PrefsFieldTable {
public:
    PrefsFieldTable(const PrefsFieldRow* rows, int count) : rows_(rows), count_(count) {}

    static constexpr uint32_t kOtherSize = 12;
    static constexpr uint32_t kOtherVersion = 0x12050000;
    static uint32_t OtherTag(const PrefsFieldRow& row) { return FXTag('o', 't', row.codes[0], row.codes[1]); }

    const PrefsFieldRow* Rows() const { return rows_; }
    int Count() const { return count_; }
    // The sum of the row sizes.
    uint32_t SumOfSizes() const;
    // The end of the furthest field.
    uint32_t StructureSize() const;

    // Fills the structure from the other records; rows newer than the host version are skipped
    // and rows sharing a record are served by one load. False when no record loaded at all.
    bool Load(hostapi::FX_LoadEData_fn load, uint8_t* prefs, uint32_t hostVersion) const;
    // Writes back the records whose fields changed. False when a write failed.
    bool Save(hostapi::FX_LoadEData_fn load, hostapi::FX_SaveEData_fn save, const uint8_t* prefs,
              uint32_t hostVersion) const;

private:
    const PrefsFieldRow* rows_;
    int count_;
};
