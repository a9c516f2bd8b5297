// The staff settings in effect at one point of the score (tag SOSC), with staff styles
// applied by the host. Keyed by staff (word 0), measure (word 1) and measure position (words 2
// and 3, low word first).
#pragma once

#include "framework/score/FCStaff.h"

class FCCell;
class FCNoteEntry;

class FCCurrentStaffSpec : public FCStaff {
public:
    static constexpr uint32_t kTag = FXTag('S', 'O', 'S', 'C');

    FC_CLASS_INFO(FCCurrentStaffSpec)

    __FCBaseData* CreateObject() override { return new FCCurrentStaffSpec; }
    uint32_t GetTag() override { return kTag; }
    // A failed load leaves the structure all zero: standard notation, no independence.
    bool Reload() override;

    // At the entry's staff, measure and position.
    bool LoadForEntry(const FCNoteEntry* entry);
    // At the start of the cell.
    bool LoadForCell(const FCCell* cell);
    bool LoadAt(int staff, int measure, int32_t position);
};
