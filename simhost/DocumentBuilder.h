// Builds documents in the stand-in host for tests and for the score text reader: staves in score
// order, measures with simple or composite time signatures and keys, barlines, independent cell
// signatures, systems, parts, the selection, and the entries of each staff, measure and layer
// with their tuplets. Records are written through the record calls, as a plug-in would write
// them, in the host's layouts (simhost/layouts/ScoreLayouts.h) of the host version the binding
// holds (hostapi::SetHostVersion), so set the version first; entries go straight into the
// document's entry frames.
#pragma once

#include "simhost/EntryStore.h"

#include <cstdint>
#include <vector>

namespace simhost {

// A time signature to build: simple (beats of a duration) or composite (groups of beat counts,
// over one beat duration or over one duration per group).
struct Meter {
    static Meter Simple(int beats, int beatDuration);
    // For example {{3, 2}} over 512: 3+2 eighths.
    static Meter Composite(const std::vector<std::vector<int>>& groups, int beatDuration);
    // For example {{3}, {2}} over {512, 1024}: 3 eighths + 2 quarters (a composite bottom).
    static Meter CompositePerGroup(const std::vector<std::vector<int>>& groups, const std::vector<int>& groupDurations);

    bool IsComposite() const { return !groups.empty(); }

    int beats = 4;
    int beatDuration = 1024;
    std::vector<std::vector<int>> groups;
    std::vector<int> groupDurations;
};

class DocumentBuilder {
public:
    static constexpr int32_t kToEnd = 0x7FFFFFFF;

    // Builds into the current document (whichever document is current later on). Writes the
    // score's part record and the document preferences the framework reads when they are missing.
    DocumentBuilder();
    DocumentBuilder(const DocumentBuilder&) = delete;
    DocumentBuilder& operator=(const DocumentBuilder&) = delete;

    int16_t DocumentID() const { return document_; }
    // True while every record written so far was accepted.
    bool Ok() const { return ok_; }

    // Staves. A new staff takes the next free staff number and goes to the bottom of the score
    // order; the result is its number (0 on failure).
    int AddStaff();
    std::vector<int> AddStaves(int count);
    // A staff with this number (1-32767, not yet used), at the bottom of the score order.
    int AddStaffNumbered(int staff);
    // The score order (the staff list of the score) becomes exactly these staves.
    bool SetScoreOrder(const std::vector<int>& staves);
    // Deletes the staff record, its slot and its entries; the other staves keep their numbers.
    bool RemoveStaff(int staff);
    // 0 standard, 1 and 2 the two special notation styles.
    bool SetStaffNotationStyle(int staff, int style);
    bool SetStaffIndependence(int staff, bool ownKey, bool ownTime);
    // The staff ignores key signatures: its notes are spelled and played in C.
    bool SetStaffIgnoresKey(int staff, bool ignores);

    // Measures. A new measure goes at the end; the result is its number (0 on failure).
    int AddMeasure(const Meter& meter = Meter::Simple(4, 1024), int key = 0);
    // The number of the last measure added.
    int AddMeasures(int count, const Meter& meter = Meter::Simple(4, 1024), int key = 0);
    bool SetMeter(int measure, const Meter& meter);
    bool SetKey(int measure, int key);
    // Barline styles as the measure reports them: 2 double, 4 solid, 5 final.
    bool SetBarline(int measure, int style);
    // The cell's own signatures (used where the staff has independent ones).
    bool SetCellMeter(int staff, int measure, const Meter& meter);
    bool SetCellKey(int staff, int measure, int key);

    // Document preferences.
    bool SetMeasurementUnit(int unit);
    bool SetBeamFlags(uint16_t flags);

    // A laid-out system of the score (part 0) or of a part: measures first to next - 1, the
    // staves top to bottom with their sizes in percent (100 when not given). Its number.
    int AddSystem(int firstMeasure, int nextMeasure, const std::vector<int>& staves, int part = 0,
                  const std::vector<int>& sizes = std::vector<int>());
    // A part holding these staves (its own staff list). Its identifier (0 on failure).
    int AddPart(const std::vector<int>& staves);

    // Makes slots first..last of the score order and measures first..last the selection of
    // the part in view; false when the host refuses the region.
    bool Select(int firstSlot, int lastSlot, int firstMeasure, int lastMeasure, int32_t startPos = 0,
                int32_t endPos = kToEnd);
    bool SelectNothing();

    // Entries. The entries of one layer (0-based index) of a staff in a measure, replacing what
    // it held (and the details of entries it no longer holds). Entries with number 0 get the next
    // free number; others keep theirs, which must be free. Refused for a staff or measure that
    // does not exist, a layer outside 0-3, a duration outside 1 to EntryStore::kMaxDuration or
    // more than 12 notes. The numbers the entries got go to numbers when given.
    bool SetLayer(int staff, int measure, int layer, const std::vector<StoredEntry>& entries,
                  std::vector<int32_t>* numbers = nullptr);
    // A locked frame is never saved and its entries are never deleted.
    bool SetFrameLocked(int staff, int measure, int layer, bool locked);
    // The number the next new entry gets; above every number in use.
    bool SetNextEntryNumber(int32_t number);
    // A tuplet starting on the entry: its record and the entry's tuplet-start flag.
    bool AddTuplet(int32_t entryNumber, const TupletRatio& ratio);

private:
    class Scope;

    bool Check(bool result);
    bool WriteMeter(int staff, int measure, const Meter& meter);
    bool WriteComposite(const Meter& meter, int& topItem, int& bottomItem);
    // Adds a staff at the end of a staff list.
    bool AppendToStaffList(int list, int staff);
    bool WriteStaffList(int list, const std::vector<int>& staves);
    std::vector<int> StaffListOf(int list) const;

    int16_t document_;
    bool ok_;
};

}  // namespace simhost
