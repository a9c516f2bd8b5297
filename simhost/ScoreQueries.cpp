#include "simhost/ScoreQueries.h"

#include "framework/host/__FCBaseData.h"
#include "framework/score/CompositeEntries.h"
#include "framework/score/FCCompositeTimeSigBottom.h"
#include "framework/score/FCCompositeTimeSigTop.h"
#include "framework/score/FCIndependentCellDetail.h"
#include "framework/score/FCMeasure.h"
#include "framework/score/FCMusicRegion.h"
#include "framework/score/FCStaff.h"
#include "framework/score/FCSystemStaff.h"

namespace simhost {

namespace {

const RecordStore::Bytes* Find(const RecordView& view, uint32_t tag, uint16_t w0, uint16_t w1 = 0, uint16_t w2 = 0) {
    const FXKey key = {{w0, w1, w2, 0}};
    return view.StoreFor(tag).Find(tag, key);
}

uint16_t Word(const RecordStore::Bytes& bytes, int offset) {
    return bytes.size() >= size_t(offset + 2) ? fcdata::Read<uint16_t>(bytes.data(), offset) : 0;
}

// The time fields a measure or cell stores.
struct Meter {
    int beats;
    int beatDuration;
    bool compositeBeats;
    bool compositeDuration;
};

// The elements of one composite item, flattened; top or bottom by tag.
CompositeEntries Composite(const RecordView& view, uint32_t tag, int item) {
    CompositeEntries entries;
    for (uint16_t inci = 0; inci < 0xFFFF; ++inci) {
        const RecordStore::Bytes* record = Find(view, tag, uint16_t(item), inci);
        if (!record || record->size() < 12) break;
        if (tag == __FCCompositeTimeSigTopElement::kTag)
            entries.AppendTopElement(record->data());
        else
            entries.AppendBottomElement(record->data());
    }
    return entries;
}

// The cell's own time signature when the staff has independent time signatures and the cell
// stores one (under either tag: documents keep the tag of the host that wrote them).
bool CellMeter(const RecordView& view, int staff, int measure, Meter& meter) {
    const RecordStore::Bytes* staffRecord = Find(view, FCStaff::kTag, uint16_t(staff));
    if (!staffRecord ||
        !(Word(*staffRecord, __FCStaffBase::kIndependenceFlagsOffset) & __FCStaffBase::kIndependentTimeSig))
        return false;
    for (uint32_t tag : {FCIndependentCellDetail::kTag, FCIndependentCellDetail::kOldTag}) {
        const RecordStore::Bytes* cell = Find(view, tag, uint16_t(staff), uint16_t(measure), 0);
        if (!cell) continue;
        if (!(Word(*cell, FCIndependentCellDetail::kPresenceOffset) & FCIndependentCellDetail::kHasTimeSignature))
            return false;
        const uint16_t flags = Word(*cell, FCIndependentCellDetail::kTimeFlagsOffset);
        meter = Meter{Word(*cell, FCIndependentCellDetail::kBeatsOffset),
                      Word(*cell, FCIndependentCellDetail::kBeatDurationOffset),
                      (flags & FCMeasure::kTimeCompositeBeats) != 0, (flags & FCMeasure::kTimeCompositeDuration) != 0};
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
    const RecordStore& store = view.StoreFor(FCSystemStaff::kTag);
    if (last.valid && last.stamp == store.Stamp() && last.list == list) return last.staves;
    last.valid = true;
    last.stamp = store.Stamp();
    last.list = list;
    last.staves.clear();
    if (list < 0 || list > 0xFFFF) return last.staves;
    // The records of a list are neighbours in key order; key words 2 and 3 are the low half.
    const RecordStore::TagRecords& records = store.Records(FCSystemStaff::kTag);
    const FXKey first = {{uint16_t(list), 0, 0, 0}};
    for (auto record = records.lower_bound(RecordStore::Order(first));
         record != records.end() && (record->first >> 48) == uint64_t(list); ++record)
        if (uint32_t(record->first) == 0) last.staves.push_back(Word(record->second, FCSystemStaff::kStaffOffset));
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
    const RecordStore::TagRecords& records = view.StoreFor(FCMeasure::kTag).Records(FCMeasure::kTag);
    for (auto record = records.rbegin(); record != records.rend(); ++record) {
        const FXKey key = RecordStore::KeyFromOrder(record->first);
        if (key.words[1] == 0 && key.words[2] == 0 && key.words[3] == 0) return key.words[0];
    }
    return 0;
}

bool HasMeasure(const RecordView& view, int measure) {
    return measure >= 1 && measure <= 0xFFFF && Find(view, FCMeasure::kTag, uint16_t(measure)) != nullptr;
}

int32_t MeasureDuration(const RecordView& view, int staff, int measure) {
    if (!HasMeasure(view, measure)) return 0;
    const RecordStore::Bytes& record = *Find(view, FCMeasure::kTag, uint16_t(measure));
    // The stored size tells which layout the record was written in.
    const FCMeasure::Layout* layout = FCMeasure::LayoutForSize(uint32_t(record.size()));
    if (!layout) return 0;
    const uint16_t flags = Word(record, layout->timeFlags);
    Meter meter = {Word(record, layout->beats), Word(record, layout->beatDuration),
                   (flags & FCMeasure::kTimeCompositeBeats) != 0, (flags & FCMeasure::kTimeCompositeDuration) != 0};
    if (staff > 0 && staff <= 0xFFFF) CellMeter(view, staff, measure, meter);

    CompositeEntries bottom;
    if (meter.compositeDuration) bottom = Composite(view, __FCCompositeTimeSigBottomElement::kTag, meter.beatDuration);
    // The beat duration of group g: the bottom's group g when the duration is composite.
    auto groupDuration = [&](int group) -> int32_t {
        return meter.compositeDuration ? bottom.GetGroupElementValue(group, 0) : meter.beatDuration;
    };
    // 16-bit beats times 16-bit durations can pass the 32-bit range: computed wide, then limited.
    auto limited = [](int64_t value) { return int32_t(value > 0x7FFFFFFF ? 0x7FFFFFFF : value); };
    // A plain beat count over a composite bottom counts in the bottom's first group.
    if (!meter.compositeBeats) return limited(int64_t(meter.beats) * groupDuration(0));
    const CompositeEntries top = Composite(view, __FCCompositeTimeSigTopElement::kTag, meter.beats);
    int64_t total = 0;
    for (int group = 0; group < top.GetGroupCount(); ++group)
        for (int i = 0; i < top.GetGroupElementCount(group); ++i)
            total += int64_t(top.GetGroupElementValue(group, i)) * groupDuration(group);
    return limited(total);
}

RegionData SlotRegion(int firstSlot, int lastSlot, int firstMeasure, int lastMeasure, int32_t startPos,
                      int32_t endPos) {
    RegionData data;
    FCMusicRegion region;
    region.SetStaffListNumber(0);
    region.SetStartSlot(firstSlot);
    region.SetEndSlot(lastSlot);
    region.SetStartMeasure(firstMeasure);
    region.SetEndMeasure(lastMeasure);
    region.SetStartMeasurePos(startPos);
    region.SetEndMeasurePos(endPos < 0 ? FCMusicRegion::kEndOfMeasure : endPos);
    region.GetRegionData(data.data());
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
    RegionData none;
    none.fill(0);
    if (data == none) return true;
    FCMusicRegion region;
    region.SetRegionData(data.data());
    const int startList = region.GetStaffListNumber();
    const int endList = region.GetEndStaffListNumber();
    if (!HasStaffList(view, startList) || !HasStaffList(view, endList)) return false;
    const int startSlot = region.GetStartSlot(), endSlot = region.GetEndSlot();
    if (startSlot < 1 || endSlot < startSlot) return false;
    if (startSlot > int(StaffList(view, startList).size()) || endSlot > int(StaffList(view, endList).size()))
        return false;
    const int startMeasure = region.GetStartMeasure(), endMeasure = region.GetEndMeasure();
    if (!HasMeasure(view, startMeasure) || !HasMeasure(view, endMeasure) || endMeasure < startMeasure) return false;
    if (region.GetStartMeasurePos() < 0 || region.GetEndMeasurePos() < 0) return false;
    return !(startMeasure == endMeasure && region.GetStartMeasurePos() > region.GetEndMeasurePos());
}

}  // namespace simhost
