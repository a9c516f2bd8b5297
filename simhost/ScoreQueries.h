// The stand-in host's answers about the score structure, read from the document's records as a
// part sees them: staff lists (score order is the system-0 staff list), the measures, measure
// durations and the regions the host accepts. Nothing here is stored a second time.
#pragma once

#include "simhost/DocumentView.h"
#include "simhost/RecordView.h"

#include <cstdint>
#include <vector>

namespace simhost {

// The staves of a staff list in slot order: list 0 is the part's score order, list n the staves
// of system n.
std::vector<int> StaffList(const RecordView& view, int list);
// The staff in a slot (1-based) of a staff list, 0 when the list has no such slot.
int StaffAtSlot(const RecordView& view, int list, int slot);
// The slot of a staff in a staff list, 0 when the list does not hold it (or staff is 0).
int SlotOfStaff(const RecordView& view, int list, int staff);
// Whether the list exists: list 0 always, list n when system n has staves.
bool HasStaffList(const RecordView& view, int list);
// The highest measure number, 0 without measures.
int LastMeasure(const RecordView& view);
bool HasMeasure(const RecordView& view, int measure);
// The measure's length in EDUs for the staff (its own time signature where it has one, the
// sum of the composite groups for composite meters); 0 when the measure does not exist.
int32_t MeasureDuration(const RecordView& view, int staff, int measure);
// Slots firstSlot..lastSlot of staff list 0 and measures firstMeasure..lastMeasure, from startPos
// in the first measure to endPos in the last (endPos < 0: to the end of the measure), as the host
// stores a selection. Not checked against the document (IsAcceptedRegion does that).
RegionData SlotRegion(int firstSlot, int lastSlot, int firstMeasure, int lastMeasure, int32_t startPos, int32_t endPos);
// Every staff of the part and every measure, end position "to the end"; all zero when the
// document has no staves or no measures.
RegionData WholeDocument(const RecordView& view);
// A region the host accepts as selection: every named slot and measure exists, the start lies
// before the end. The all-zero region (nothing selected) is accepted too.
bool IsAcceptedRegion(const RecordView& view, const RegionData& region);

}  // namespace simhost
