#include "simhost/ScoreQueries.h"

#include "simhost/layouts/ScoreLayouts.h"

namespace simhost {

namespace {

const RecordStore::Bytes* Find(const RecordView& view, uint32_t tag, uint16_t w0, uint16_t w1 = 0, uint16_t w2 = 0) {
    const FXKey key = {{w0, w1, w2, 0}};
    return view.StoreFor(tag).Find(tag, key);
}

uint16_t Word(const RecordStore::Bytes& bytes, int offset) { return layout::Field<uint16_t>(bytes, offset); }

// The time fields a measure or cell stores.
struct Meter {
    int beats;
    int beatDuration;
    bool compositeBeats;
    bool compositeDuration;
};

Meter MeterOf(const RecordStore::Bytes& record, int beats, int beatDuration, int timeFlags) {
    const uint16_t flags = Word(record, timeFlags);
    return Meter{Word(record, beats), Word(record, beatDuration), (flags & layout::measure::kCompositeBeats) != 0,
                 (flags & layout::measure::kCompositeDuration) != 0};
}

// The groups of one composite item (top or bottom by tag): the values of its entries in
// incidence order, a group running from an entry that starts one up to the next. A top element
// whose first entry is unused is skipped whole; a bottom element ends at its first unused entry.
std::vector<std::vector<int>> CompositeGroups(const RecordView& view, uint32_t tag, int item) {
    namespace composite = layout::composite;
    const bool top = tag == composite::kTopTag;
    std::vector<std::vector<int>> groups;
    auto append = [&groups](int value, bool startsGroup) {
        if (startsGroup)
            groups.push_back(std::vector<int>(1, value));
        else if (!groups.empty())
            groups.back().push_back(value);
    };
    for (uint16_t inci = 0; inci < 0xFFFF; ++inci) {
        const RecordStore::Bytes* record = Find(view, tag, uint16_t(item), inci);
        if (!record || record->size() < composite::kSize) break;
        if (top) {
            for (int i = 0; i < composite::kTopEntries; ++i) {
                const int at = i * composite::kTopEntrySize;
                const bool used =
                    Word(*record, at + composite::kTopBeats) || Word(*record, at + composite::kTopSecondWord);
                if (!used && i == 0) break;
                if (used)
                    append(layout::Field<int16_t>(*record, at + composite::kTopBeats),
                           Word(*record, at + composite::kTopStartsGroup) != 0);
            }
        } else {
            for (int i = 0; i < composite::kBottomEntries; ++i) {
                const int at = i * composite::kBottomEntrySize;
                if (!Word(*record, at + composite::kBottomDuration)) break;
                append(layout::Field<int16_t>(*record, at + composite::kBottomDuration),
                       Word(*record, at + composite::kBottomStartsGroup) != 0);
            }
        }
    }
    return groups;
}

// The cell's own time signature when the staff has independent time signatures and the cell
// stores one (under either tag: documents keep the tag of the host that wrote them).
bool CellMeter(const RecordView& view, int staff, int measure, Meter& meter) {
    const RecordStore::Bytes* staffRecord = Find(view, layout::staff::kTag, uint16_t(staff));
    if (!staffRecord || !(Word(*staffRecord, layout::staff::kIndependenceFlags) & layout::staff::kIndependentTime))
        return false;
    for (uint32_t tag : {layout::cell::kTag, layout::cell::kOldTag}) {
        const RecordStore::Bytes* cell = Find(view, tag, uint16_t(staff), uint16_t(measure), 0);
        if (!cell) continue;
        if (!(Word(*cell, layout::cell::kPresence) & layout::cell::kHasTime)) return false;
        meter = MeterOf(*cell, layout::cell::kBeats, layout::cell::kBeatDuration, layout::cell::kTimeFlags);
        return true;
    }
    return false;
}

// The staves of a staff list in slot order. The host answers slot questions for every entry a
// task touches, so the last answer is kept while the records it came from stay the same.
const std::vector<int>& ListedStaves(const RecordView& view, int list) {
    struct Answer {
        bool valid = false;
        uint64_t stamp = 0;
        int list = 0;
        std::vector<int> staves;
    };
    static Answer last;
    const RecordStore& store = view.StoreFor(layout::systemstaff::kTag);
    if (last.valid && last.stamp == store.Stamp() && last.list == list) return last.staves;
    last.valid = true;
    last.stamp = store.Stamp();
    last.list = list;
    last.staves.clear();
    if (list < 0 || list > 0xFFFF) return last.staves;
    // The records of a list are neighbours in key order; key words 2 and 3 are the low half.
    const RecordStore::TagRecords& records = store.Records(layout::systemstaff::kTag);
    const FXKey first = {{uint16_t(list), 0, 0, 0}};
    for (auto record = records.lower_bound(RecordStore::Order(first));
         record != records.end() && (record->first >> 48) == uint64_t(list); ++record)
        if (uint32_t(record->first) == 0) last.staves.push_back(Word(record->second, layout::systemstaff::kStaff));
    return last.staves;
}

}  // namespace

std::vector<int> StaffList(const RecordView& view, int list) { return ListedStaves(view, list); }

int StaffAtSlot(const RecordView& view, int list, int slot) {
    const std::vector<int>& staves = ListedStaves(view, list);
    return slot >= 1 && slot <= int(staves.size()) ? staves[size_t(slot - 1)] : 0;
}

int SlotOfStaff(const RecordView& view, int list, int staff) {
    if (staff == 0) return 0;
    const std::vector<int>& staves = ListedStaves(view, list);
    for (size_t i = 0; i < staves.size(); ++i)
        if (staves[i] == staff) return int(i + 1);
    return 0;
}

bool HasStaffList(const RecordView& view, int list) { return list == 0 || !StaffList(view, list).empty(); }

int LastMeasure(const RecordView& view) {
    const RecordStore::TagRecords& records = view.StoreFor(layout::measure::kTag).Records(layout::measure::kTag);
    for (auto record = records.rbegin(); record != records.rend(); ++record) {
        const FXKey key = RecordStore::KeyFromOrder(record->first);
        if (key.words[1] == 0 && key.words[2] == 0 && key.words[3] == 0) return key.words[0];
    }
    return 0;
}

bool HasMeasure(const RecordView& view, int measure) {
    return measure >= 1 && measure <= 0xFFFF && Find(view, layout::measure::kTag, uint16_t(measure)) != nullptr;
}

int32_t MeasureDuration(const RecordView& view, int staff, int measure) {
    if (!HasMeasure(view, measure)) return 0;
    const RecordStore::Bytes& record = *Find(view, layout::measure::kTag, uint16_t(measure));
    // The stored size tells which layout the record was written in.
    const layout::measure::Fields* fields = layout::measure::ForSize(record.size());
    if (!fields) return 0;
    Meter meter = MeterOf(record, fields->beats, fields->beatDuration, fields->timeFlags);
    if (staff > 0 && staff <= 0xFFFF) CellMeter(view, staff, measure, meter);

    std::vector<std::vector<int>> bottom;
    if (meter.compositeDuration) bottom = CompositeGroups(view, layout::composite::kBottomTag, meter.beatDuration);
    // The beat duration of group g: the first duration of the bottom's group g when the duration
    // is composite (0 when the bottom has no such group).
    auto groupDuration = [&](size_t group) -> int32_t {
        if (!meter.compositeDuration) return meter.beatDuration;
        return group < bottom.size() ? bottom[group][0] : 0;
    };
    // 16-bit beats times 16-bit durations can pass the 32-bit range: computed wide, then limited.
    auto limited = [](int64_t value) { return int32_t(value > 0x7FFFFFFF ? 0x7FFFFFFF : value); };
    // A plain beat count over a composite bottom counts in the bottom's first group.
    if (!meter.compositeBeats) return limited(int64_t(meter.beats) * groupDuration(0));
    const std::vector<std::vector<int>> top = CompositeGroups(view, layout::composite::kTopTag, meter.beats);
    int64_t total = 0;
    for (size_t group = 0; group < top.size(); ++group)
        for (int beats : top[group]) total += int64_t(beats) * groupDuration(group);
    return limited(total);
}

RegionData SlotRegion(int firstSlot, int lastSlot, int firstMeasure, int lastMeasure, int32_t startPos,
                      int32_t endPos) {
    namespace region = layout::region;
    RegionData data;
    data.fill(0);
    layout::Write<int16_t>(data.data(), region::kStartList, 0);
    layout::Write<int16_t>(data.data(), region::kEndList, 0);
    layout::Write<int16_t>(data.data(), region::kStartSlot, int16_t(firstSlot));
    layout::Write<int16_t>(data.data(), region::kEndSlot, int16_t(lastSlot));
    layout::Write<int16_t>(data.data(), region::kStartMeasure, int16_t(firstMeasure));
    layout::Write<int16_t>(data.data(), region::kEndMeasure, int16_t(lastMeasure));
    layout::Write<int32_t>(data.data(), region::kStartPosition, startPos);
    layout::Write<int32_t>(data.data(), region::kEndPosition, endPos < 0 ? region::kEndOfMeasure : endPos);
    return data;
}

RegionData WholeDocument(const RecordView& view) {
    const int staves = int(StaffList(view, 0).size());
    const int last = LastMeasure(view);
    if (staves == 0 || last == 0) {
        RegionData none;
        none.fill(0);
        return none;
    }
    return SlotRegion(1, staves, 1, last, 0, -1);
}

bool IsAcceptedRegion(const RecordView& view, const RegionData& data) {
    namespace region = layout::region;
    RegionData none;
    none.fill(0);
    if (data == none) return true;
    const uint8_t* fields = data.data();
    const int startList = layout::Read<int16_t>(fields, region::kStartList);
    const int endList = layout::Read<int16_t>(fields, region::kEndList);
    if (!HasStaffList(view, startList) || !HasStaffList(view, endList)) return false;
    const int startSlot = layout::Read<int16_t>(fields, region::kStartSlot);
    const int endSlot = layout::Read<int16_t>(fields, region::kEndSlot);
    if (startSlot < 1 || endSlot < startSlot) return false;
    if (startSlot > int(StaffList(view, startList).size()) || endSlot > int(StaffList(view, endList).size()))
        return false;
    const int startMeasure = layout::Read<int16_t>(fields, region::kStartMeasure);
    const int endMeasure = layout::Read<int16_t>(fields, region::kEndMeasure);
    if (!HasMeasure(view, startMeasure) || !HasMeasure(view, endMeasure) || endMeasure < startMeasure) return false;
    const int32_t startPosition = layout::Read<int32_t>(fields, region::kStartPosition);
    const int32_t endPosition = layout::Read<int32_t>(fields, region::kEndPosition);
    if (startPosition < 0 || endPosition < 0) return false;
    return !(startMeasure == endMeasure && startPosition > endPosition);
}

}  // namespace simhost
