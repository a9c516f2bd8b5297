// One note entry (a note, chord or rest) bound to its 146-byte entry record inside a host entry
// frame; a collection of its FCNote objects. The frame and the record belong to the cell or
// layer that loaded them.
#pragma once

#include "framework/core/__FCCollection.h"

#include <cstdint>

class FCNoteEntry : public __FCCollection {
public:
    static constexpr int kRecordSize = 146;

    // Entry flag bits.
    static constexpr uint32_t kFlagNote = 0x40000000;
    static constexpr uint32_t kFlagGrace = 0x00800000;
    static constexpr uint32_t kFlagArticulations = 0x00200000;
    static constexpr uint32_t kFlagTupletStart = 0x00080000;
    static constexpr uint32_t kFlagBeamStart = 0x00000800;

    // Binds to an entry record (not owned).
    explicit FCNoteEntry(uint8_t* record = nullptr);

    FC_CLASS_INFO(FCNoteEntry)

    // The entry record this object edits (not owned).
    uint8_t* GetRecord() const { return record_; }
    void SetRecord(uint8_t* record) { record_ = record; }

    // Document-wide entry number; 0 for an entry inserted but not yet saved.
    int32_t GetEntryNumber() const;
    // Position in the measure (EDU, from the record); measure and staff of the frame it lies in.
    int32_t GetMeasurePos() const;
    int GetMeasure() const { return measure_; }
    int GetStaff() const { return staff_; }
    void SetMeasureAndStaff(int measure, int staff) {
        measure_ = int16_t(measure);
        staff_ = int16_t(staff);
    }
    uint32_t GetEntryFlags() const;
    void SetEntryFlags(uint32_t flags);
    // Sets or clears the given bits of the entry flags.
    void SetEntryFlagBits(uint32_t mask, bool state);

private:
    uint8_t* record_;
    int16_t measure_ = 0;
    int16_t staff_ = 0;
};
