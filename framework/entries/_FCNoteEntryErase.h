// A pending deletion of one entry of duration 0 from its frame, remembered by entry number so
// that it still finds its record after earlier deletions moved the frame's records. Refers to
// the entry and the frame without owning them.
#pragma once

#include "framework/core/__FCBase.h"

#include <cstdint>

class FCNoteEntry;

class _FCNoteEntryErase : public __FCBase {
public:
    _FCNoteEntryErase(FCNoteEntry* entry, uint8_t* frame, int32_t entryNumber)
        : entry_(entry), frame_(frame), entryNumber_(entryNumber) {}
    FC_CLASS_INFO(_FCNoteEntryErase)

    FCNoteEntry* GetEntry() const { return entry_; }
    int32_t GetEntryNumber() const { return entryNumber_; }

    // Deletes the entry's record and the records of duration 0 right after it, then saves the
    // frame; nothing happens for a locked frame or an entry no longer in the frame. False when
    // a host call failed.
    bool Erase();

private:
    FCNoteEntry* entry_;
    uint8_t* frame_;
    int32_t entryNumber_;
};
