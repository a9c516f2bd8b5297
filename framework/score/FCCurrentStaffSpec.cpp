#include "framework/score/FCCurrentStaffSpec.h"

#include "framework/entries/FCNoteEntry.h"
#include "framework/score/FCCell.h"

#include <cstring>

bool FCCurrentStaffSpec::Reload() {
    if (FCStaff::Reload()) return true;
    std::memset(GetDataPointer(), 0, BufferSize());
    return false;
}

bool FCCurrentStaffSpec::LoadAt(int staff, int measure, int32_t position) {
    SetKeyWord(0, uint16_t(staff));
    SetKeyWord(1, uint16_t(measure));
    SetKeyWord(2, uint16_t(uint32_t(position) & 0xFFFF));
    SetKeyWord(3, uint16_t(uint32_t(position) >> 16));
    return Reload();
}

bool FCCurrentStaffSpec::LoadForEntry(const FCNoteEntry* entry) {
    if (!entry) return false;
    return LoadAt(entry->GetStaff(), entry->GetMeasure(), entry->GetMeasurePos());
}

bool FCCurrentStaffSpec::LoadForCell(const FCCell* cell) {
    if (!cell) return false;
    return LoadAt(cell->GetStaff(), cell->GetMeasure(), 0);
}
