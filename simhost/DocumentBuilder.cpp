#include "simhost/DocumentBuilder.h"

#include "simhost/Document.h"
#include "simhost/RecordView.h"
#include "simhost/ScoreQueries.h"
#include "simhost/SimFunctions.h"
#include "simhost/SimHost.h"
#include "simhost/layouts/ScoreLayouts.h"

#include <algorithm>
#include <set>

namespace simhost {

Meter Meter::Simple(int beats, int beatDuration) {
    Meter meter;
    meter.beats = beats;
    meter.beatDuration = beatDuration;
    return meter;
}

Meter Meter::Composite(const std::vector<std::vector<int>>& groups, int beatDuration) {
    Meter meter;
    meter.groups = groups;
    meter.beatDuration = beatDuration;
    return meter;
}

Meter Meter::CompositePerGroup(const std::vector<std::vector<int>>& groups, const std::vector<int>& groupDurations) {
    Meter meter;
    meter.groups = groups;
    meter.groupDurations = groupDurations;
    return meter;
}

// Makes the builder's document current, in the given part, for the framework's record calls;
// puts the host back as it was afterwards.
class DocumentBuilder::Scope {
public:
    Scope(int16_t document, int32_t part) : previousDocument_(CurrentDocumentID()) {
        SwitchToDocument(document);
        previousPart_ = CurrentDocument().View().CurrentPart();
        CurrentDocument().View().SetCurrentPart(part);
    }
    ~Scope() {
        CurrentDocument().View().SetCurrentPart(previousPart_);
        SwitchToDocument(previousDocument_);
    }
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

private:
    int16_t previousDocument_;
    int32_t previousPart_;
};

namespace {

// One more than the highest item number of the tag (1 for the first), as the current document's
// part in view sees the tag. Read from the store directly: documents with thousands of measures
// are built one measure at a time.
int NextItem(uint32_t tag) {
    const RecordStore::TagRecords& records = RecordView::Current().StoreFor(tag).Records(tag);
    return records.empty() ? 1 : RecordStore::KeyFromOrder(records.rbegin()->first).words[0] + 1;
}

bool Exists(uint32_t tag, uint16_t item, uint16_t inci, uint32_t version) {
    FXKey key = {{item, inci, 0, 0}};
    uint32_t size = 0;
    return ::FX_LoadEData(tag, &key, nullptr, &size, version) != 0;
}

// Loads a record through the record calls as a plug-in does: at most size bytes (the layout's),
// fewer when the stored record is shorter.
bool Load(uint32_t tag, const FXKey& key, uint32_t size, uint32_t version, RecordStore::Bytes& record) {
    record.assign(size, 0);
    FXKey asked = key;
    uint32_t loaded = size;
    if (!::FX_LoadEData(tag, &asked, record.data(), &loaded, version)) return false;
    if (loaded < size) record.resize(loaded);
    return true;
}

bool Save(uint32_t tag, const FXKey& key, const RecordStore::Bytes& record, uint32_t version) {
    return ::FX_SaveEData(tag, &key, record.data(), uint32_t(record.size()), version) != 0;
}

// A record of the given size created under key {item, 0xFFFF}: the host assigns the incidence.
bool Create(uint32_t tag, FXKey& key, const RecordStore::Bytes& record, uint32_t version) {
    return ::FX_CreateEData(tag, &key, record.data(), uint32_t(record.size()), version) != 0;
}

// A zeroed record of the size the current layout has, so its fields can be loaded and changed.
bool Seed(uint32_t tag, uint16_t item, uint32_t size, uint32_t version) {
    return Save(tag, FXKey{{item, 0, 0, 0}}, RecordStore::Bytes(size, 0), version);
}

uint32_t BindingVersion() { return LayoutVersion(); }

FXKey ItemKey(int item) { return FXKey{{uint16_t(item), 0, 0, 0}}; }

// Loads the record in the layout of the binding's host version, lets change alter it and saves it
// back at the size it loaded with (a field beyond a short record is left out).
template <typename Change>
bool Update(uint32_t tag, const FXKey& key, uint32_t size, uint32_t version, Change change) {
    RecordStore::Bytes record;
    if (!Load(tag, key, size, version, record) || record.empty()) return false;
    change(record);
    return Save(tag, key, record, version);
}

template <typename Change>
bool UpdateStaff(int staff, Change change) {
    const uint32_t version = layout::staff::DataVersionForHostVersion(BindingVersion());
    return Update(layout::staff::kTag, ItemKey(staff), layout::staff::SizeForHostVersion(BindingVersion()), version,
                  change);
}

template <typename Change>
bool UpdateMeasure(int measure, Change change) {
    if (measure == 0) return false;
    const layout::measure::Fields& fields = layout::measure::ForHostVersion(BindingVersion());
    return Update(layout::measure::kTag, ItemKey(measure), fields.size, fields.dataVersion,
                  [&](RecordStore::Bytes& record) { change(record, fields); });
}

// The cell's own signatures: the stored record (a new cell starts from zero) changed and written
// whole, under the tag of the binding's host version.
template <typename Change>
bool UpdateCell(int staff, int measure, Change change) {
    const uint32_t tag = layout::cell::TagForHostVersion(BindingVersion());
    const uint32_t version = layout::cell::DataVersionForHostVersion(BindingVersion());
    const FXKey key = {{uint16_t(staff), uint16_t(measure), 0, 0}};
    RecordStore::Bytes record;
    if (!Load(tag, key, layout::cell::kSize, version, record)) record.clear();
    record.resize(layout::cell::kSize, 0);
    change(record);
    return Save(tag, key, record, version);
}

// The time fields of a measure or cell: beats and beat duration, or the composite items.
struct TimeFields {
    uint16_t beats;
    uint16_t beatDuration;
    bool compositeTop;
    bool compositeBottom;
};

void WriteTime(RecordStore::Bytes& record, const TimeFields& time, int beats, int beatDuration, int timeFlags) {
    layout::SetField<uint16_t>(record, beats, time.beats);
    layout::SetField<uint16_t>(record, beatDuration, time.beatDuration);
    layout::SetWordBits(record, timeFlags, layout::measure::kCompositeBeats, time.compositeTop);
    layout::SetWordBits(record, timeFlags, layout::measure::kCompositeDuration, time.compositeBottom);
}

}  // namespace

DocumentBuilder::DocumentBuilder() : document_(CurrentDocumentID()), ok_(true) {
    Scope scope(document_, 0);
    if (!Exists(layout::part::kTag, 0, 0, layout::kDefaultDataVersion))
        Check(Save(layout::part::kTag, ItemKey(0), RecordStore::Bytes(layout::part::kSize, 0),
                   layout::kDefaultDataVersion));
    if (!Exists(layout::prefs::kGeneralTag, 1, 0, layout::prefs::kGeneralDataVersion)) {
        Check(Seed(layout::prefs::kGeneralTag, 1, layout::prefs::kGeneralSize, layout::prefs::kGeneralDataVersion));
        SetMeasurementUnit(1);
    }
    // The miscellaneous preferences are assembled from other records; the one with the beam
    // flags must exist for them to load.
    if (!Exists(layout::prefs::kBeamFlagsTag, layout::prefs::kDocumentItem, 0, layout::prefs::kOtherDataVersion))
        Check(Save(layout::prefs::kBeamFlagsTag, ItemKey(layout::prefs::kDocumentItem),
                   RecordStore::Bytes(layout::prefs::kOtherSize, 0), layout::prefs::kOtherDataVersion));
}

bool DocumentBuilder::Check(bool result) {
    if (!result) ok_ = false;
    return result;
}

std::vector<int> DocumentBuilder::StaffListOf(int list) const {
    std::vector<int> numbers;
    RecordStore::Bytes record;
    for (int inci = 0; inci < 0xFFFF; ++inci) {
        if (!Load(layout::systemstaff::kTag, FXKey{{uint16_t(list), uint16_t(inci), 0, 0}}, layout::systemstaff::kSize,
                  layout::kDefaultDataVersion, record))
            break;
        numbers.push_back(layout::Field<int16_t>(record, layout::systemstaff::kStaff));
    }
    return numbers;
}

// Replaces the staff list's records: the old ones deleted from the last (so the host's
// renumbering leaves the lower ones in place), the new ones created in order.
bool DocumentBuilder::WriteStaffList(int list, const std::vector<int>& staves) {
    const uint32_t version = layout::kDefaultDataVersion;
    int count = 0;
    while (count < 0xFFFF && Exists(layout::systemstaff::kTag, uint16_t(list), uint16_t(count), version)) ++count;
    for (int inci = count - 1; inci >= 0; --inci) {
        const FXKey key = {{uint16_t(list), uint16_t(inci), 0, 0}};
        if (!Check(::FX_DeleteEData(layout::systemstaff::kTag, &key, version) != 0)) return false;
    }
    for (int staff : staves) {
        RecordStore::Bytes record(layout::systemstaff::kSize, 0);
        layout::SetField<int16_t>(record, layout::systemstaff::kStaff, int16_t(staff));
        FXKey key = {{uint16_t(list), 0xFFFF, 0, 0}};
        if (!Check(Create(layout::systemstaff::kTag, key, record, version))) return false;
    }
    return true;
}

bool DocumentBuilder::AppendToStaffList(int list, int staff) {
    // The list's next incidence, from the last record of the list in key order: a score of
    // thousands of staves is built one staff at a time.
    const uint32_t tag = layout::systemstaff::kTag;
    const RecordStore::TagRecords& records = RecordView::Current().StoreFor(tag).Records(tag);
    const FXKey next = {{uint16_t(list + 1), 0, 0, 0}};
    int inci = 0;
    auto after = records.lower_bound(RecordStore::Order(next));
    if (after != records.begin()) {
        const FXKey last = RecordStore::KeyFromOrder(std::prev(after)->first);
        if (last.words[0] == list) inci = last.words[1] + 1;
    }
    if (!Check(inci <= 0xFFFE)) return false;
    RecordStore::Bytes record(layout::systemstaff::kSize, 0);
    layout::SetField<int16_t>(record, layout::systemstaff::kStaff, int16_t(staff));
    const FXKey key = {{uint16_t(list), uint16_t(inci), 0, 0}};
    return Check(Save(tag, key, record, layout::kDefaultDataVersion));
}

int DocumentBuilder::AddStaff() {
    Scope scope(document_, 0);
    const uint32_t version = layout::staff::DataVersionForHostVersion(BindingVersion());
    const int staff = NextItem(layout::staff::kTag);
    if (!Check(
            Seed(layout::staff::kTag, uint16_t(staff), layout::staff::SizeForHostVersion(BindingVersion()), version)))
        return 0;
    return AppendToStaffList(0, staff) ? staff : 0;
}

int DocumentBuilder::AddStaffNumbered(int staff) {
    Scope scope(document_, 0);
    if (!Check(staff >= 1 && staff <= 0x7FFF)) return 0;
    const uint32_t version = layout::staff::DataVersionForHostVersion(BindingVersion());
    if (!Check(!Exists(layout::staff::kTag, uint16_t(staff), 0, version))) return 0;
    if (!Check(
            Seed(layout::staff::kTag, uint16_t(staff), layout::staff::SizeForHostVersion(BindingVersion()), version)))
        return 0;
    return AppendToStaffList(0, staff) ? staff : 0;
}

std::vector<int> DocumentBuilder::AddStaves(int count) {
    std::vector<int> staves;
    for (int i = 0; i < count; ++i) staves.push_back(AddStaff());
    return staves;
}

bool DocumentBuilder::SetScoreOrder(const std::vector<int>& staves) {
    Scope scope(document_, 0);
    return WriteStaffList(0, staves);
}

bool DocumentBuilder::RemoveStaff(int staff) {
    Scope scope(document_, 0);
    const uint32_t version = layout::staff::DataVersionForHostVersion(BindingVersion());
    const FXKey key = ItemKey(staff);
    RecordStore::Bytes record;
    if (!Check(Load(layout::staff::kTag, key, layout::staff::SizeForHostVersion(BindingVersion()), version, record) &&
               ::FX_DeleteEData(layout::staff::kTag, &key, version) != 0))
        return false;
    std::vector<int> order = StaffListOf(0);
    order.erase(std::remove(order.begin(), order.end(), staff), order.end());
    DocumentState& state = CurrentDocument().State();
    for (int32_t number : state.entries.EraseStaff(staff)) EraseEntryDetails(state.records, number);
    return WriteStaffList(0, order);
}

bool DocumentBuilder::SetStaffNotationStyle(int staff, int style) {
    Scope scope(document_, 0);
    return Check(UpdateStaff(staff, [style](RecordStore::Bytes& record) {
        layout::SetWordBits(record, layout::staff::kNotationFlags, layout::staff::kNotationStyle1, style == 1);
        layout::SetWordBits(record, layout::staff::kNotationFlags, layout::staff::kNotationStyle2, style == 2);
    }));
}

bool DocumentBuilder::SetStaffIndependence(int staff, bool ownKey, bool ownTime) {
    Scope scope(document_, 0);
    return Check(UpdateStaff(staff, [ownKey, ownTime](RecordStore::Bytes& record) {
        layout::SetWordBits(record, layout::staff::kIndependenceFlags, layout::staff::kIndependentKey, ownKey);
        layout::SetWordBits(record, layout::staff::kIndependenceFlags, layout::staff::kIndependentTime, ownTime);
    }));
}

bool DocumentBuilder::SetStaffIgnoresKey(int staff, bool ignores) {
    Scope scope(document_, 0);
    return Check(UpdateStaff(staff, [ignores](RecordStore::Bytes& record) {
        layout::SetWordBits(record, layout::staff::kIndependenceFlags, layout::staff::kIgnoresKey, ignores);
    }));
}

int DocumentBuilder::AddMeasure(const Meter& meter, int key) {
    int measure;
    {
        Scope scope(document_, 0);
        const layout::measure::Fields& fields = layout::measure::ForHostVersion(BindingVersion());
        measure = NextItem(layout::measure::kTag);
        if (!Check(Seed(layout::measure::kTag, uint16_t(measure), fields.size, fields.dataVersion))) return 0;
    }
    return SetMeter(measure, meter) && SetKey(measure, key) ? measure : 0;
}

int DocumentBuilder::AddMeasures(int count, const Meter& meter, int key) {
    int last = 0;
    for (int i = 0; i < count; ++i) last = AddMeasure(meter, key);
    return last;
}

bool DocumentBuilder::WriteComposite(const Meter& meter, int& topItem, int& bottomItem) {
    namespace composite = layout::composite;
    const uint32_t version = layout::kDefaultDataVersion;
    // Each element record holds a few entries; the elements of an item are its incidences.
    topItem = NextItem(composite::kTopTag);
    RecordStore::Bytes top(composite::kSize, 0);
    int used = 0;
    for (const std::vector<int>& group : meter.groups) {
        for (size_t i = 0; i < group.size(); ++i) {
            const int at = used++ * composite::kTopEntrySize;
            layout::SetField<int16_t>(top, at + composite::kTopBeats, int16_t(group[i]));
            layout::SetField<uint16_t>(top, at + composite::kTopSecondWord, 0);
            layout::SetField<uint16_t>(top, at + composite::kTopStartsGroup, i == 0 ? 1 : 0);
            if (used == composite::kTopEntries) {
                FXKey key = {{uint16_t(topItem), 0xFFFF, 0, 0}};
                if (!Check(Create(composite::kTopTag, key, top, version))) return false;
                top.assign(composite::kSize, 0);
                used = 0;
            }
        }
    }
    FXKey topKey = {{uint16_t(topItem), 0xFFFF, 0, 0}};
    if (used > 0 && !Check(Create(composite::kTopTag, topKey, top, version))) return false;

    bottomItem = 0;
    if (meter.groupDurations.empty()) return true;
    bottomItem = NextItem(composite::kBottomTag);
    RecordStore::Bytes bottom(composite::kSize, 0);
    used = 0;
    for (int duration : meter.groupDurations) {
        const int at = used++ * composite::kBottomEntrySize;
        layout::SetField<int16_t>(bottom, at + composite::kBottomDuration, int16_t(duration));
        layout::SetField<uint16_t>(bottom, at + composite::kBottomStartsGroup, 1);
        if (used == composite::kBottomEntries) {
            FXKey key = {{uint16_t(bottomItem), 0xFFFF, 0, 0}};
            if (!Check(Create(composite::kBottomTag, key, bottom, version))) return false;
            bottom.assign(composite::kSize, 0);
            used = 0;
        }
    }
    FXKey bottomKey = {{uint16_t(bottomItem), 0xFFFF, 0, 0}};
    return used == 0 || Check(Create(composite::kBottomTag, bottomKey, bottom, version));
}

bool DocumentBuilder::WriteMeter(int staff, int measure, const Meter& meter) {
    Scope scope(document_, 0);
    TimeFields time = {uint16_t(meter.beats), uint16_t(meter.beatDuration), false, false};
    if (meter.IsComposite()) {
        int topItem, bottomItem;
        if (!WriteComposite(meter, topItem, bottomItem)) return false;
        time.compositeTop = true;
        time.beats = uint16_t(topItem);
        if (bottomItem) {
            time.compositeBottom = true;
            time.beatDuration = uint16_t(bottomItem);
        }
    }
    if (staff == 0)
        return Check(UpdateMeasure(measure, [&time](RecordStore::Bytes& record, const layout::measure::Fields& fields) {
            WriteTime(record, time, fields.beats, fields.beatDuration, fields.timeFlags);
        }));
    return Check(UpdateCell(staff, measure, [&time](RecordStore::Bytes& record) {
        WriteTime(record, time, layout::cell::kBeats, layout::cell::kBeatDuration, layout::cell::kTimeFlags);
        layout::SetWordBits(record, layout::cell::kPresence, layout::cell::kHasTime, true);
    }));
}

bool DocumentBuilder::SetMeter(int measure, const Meter& meter) { return WriteMeter(0, measure, meter); }

bool DocumentBuilder::SetCellMeter(int staff, int measure, const Meter& meter) {
    return staff > 0 && WriteMeter(staff, measure, meter);
}

bool DocumentBuilder::SetKey(int measure, int key) {
    Scope scope(document_, 0);
    return Check(UpdateMeasure(measure, [key](RecordStore::Bytes& record, const layout::measure::Fields& fields) {
        layout::SetField<uint16_t>(record, fields.key, uint16_t(key));
    }));
}

bool DocumentBuilder::SetCellKey(int staff, int measure, int key) {
    Scope scope(document_, 0);
    return Check(UpdateCell(staff, measure, [key](RecordStore::Bytes& record) {
        layout::SetField<uint16_t>(record, layout::cell::kKey, uint16_t(key));
        layout::SetWordBits(record, layout::cell::kPresence, layout::cell::kHasKey, true);
    }));
}

bool DocumentBuilder::SetBarline(int measure, int style) {
    Scope scope(document_, 0);
    return Check(UpdateMeasure(measure, [style](RecordStore::Bytes& record, const layout::measure::Fields& fields) {
        const uint16_t word = layout::Field<uint16_t>(record, fields.barline);
        layout::SetField<uint16_t>(
            record, fields.barline,
            uint16_t((word & ~layout::measure::kBarlineStyleMask) | layout::measure::BarlineBits(style)));
    }));
}

bool DocumentBuilder::SetMeasurementUnit(int unit) {
    Scope scope(document_, 0);
    return Check(Update(layout::prefs::kGeneralTag, ItemKey(1), layout::prefs::kGeneralSize,
                        layout::prefs::kGeneralDataVersion, [unit](RecordStore::Bytes& record) {
                            layout::SetField<int16_t>(record, layout::prefs::kMeasurementUnit, int16_t(unit));
                        }));
}

bool DocumentBuilder::SetBeamFlags(uint16_t flags) {
    Scope scope(document_, 0);
    // The record holding the flags is rewritten only when they change.
    const FXKey key = ItemKey(layout::prefs::kDocumentItem);
    RecordStore::Bytes record;
    if (!Load(layout::prefs::kBeamFlagsTag, key, layout::prefs::kOtherSize, layout::prefs::kOtherDataVersion, record))
        return Check(false);
    record.resize(layout::prefs::kOtherSize, 0);
    if (layout::Field<uint16_t>(record, layout::prefs::kBeamFlags) == flags) return true;
    layout::SetField<uint16_t>(record, layout::prefs::kBeamFlags, flags);
    return Check(Save(layout::prefs::kBeamFlagsTag, key, record, layout::prefs::kOtherDataVersion));
}

int DocumentBuilder::AddSystem(int firstMeasure, int nextMeasure, const std::vector<int>& staves, int part,
                               const std::vector<int>& sizes) {
    Scope scope(document_, part);
    const uint32_t version = layout::kDefaultDataVersion;
    const int number = NextItem(layout::staffsystem::kTag);
    RecordStore::Bytes system(layout::staffsystem::kSize, 0);
    layout::SetField<int16_t>(system, layout::staffsystem::kFirstMeasure, int16_t(firstMeasure));
    layout::SetField<int16_t>(system, layout::staffsystem::kNextSystemMeasure, int16_t(nextMeasure));
    if (!Check(Save(layout::staffsystem::kTag, ItemKey(number), system, version))) return 0;
    for (size_t i = 0; i < staves.size(); ++i) {
        RecordStore::Bytes staff(layout::systemstaff::kSize, 0);
        layout::SetField<int16_t>(staff, layout::systemstaff::kStaff, int16_t(staves[i]));
        FXKey key = {{uint16_t(number), 0xFFFF, 0, 0}};
        if (!Check(Create(layout::systemstaff::kTag, key, staff, version))) return 0;
        // A staff at full size has no size record.
        const int percent = i < sizes.size() ? sizes[i] : layout::systemstaff::kDefaultPercent;
        const FXKey sizeKey = {{uint16_t(number), uint16_t(staves[i]), 0, 0}};
        if (percent == layout::systemstaff::kDefaultPercent) {
            ::FX_DeleteEData(layout::systemstaff::kSizeTag, &sizeKey, version);  // absent already is fine
            continue;
        }
        RecordStore::Bytes size(layout::systemstaff::kSizeSize, 0);
        layout::SetField<int16_t>(size, layout::systemstaff::kPercent, int16_t(percent));
        if (!Check(Save(layout::systemstaff::kSizeTag, sizeKey, size, version))) return 0;
    }
    return number;
}

int DocumentBuilder::AddPart(const std::vector<int>& staves) {
    int identifier;
    {
        Scope scope(document_, 0);
        FXKey key = {{0xFFFF, 0xFFFF, 0, 0}};
        if (!Check(Create(layout::part::kTag, key, RecordStore::Bytes(layout::part::kSize, 0),
                          layout::kDefaultDataVersion)))
            return 0;
        identifier = key.words[0];
    }
    Scope scope(document_, identifier);
    return WriteStaffList(0, staves) ? identifier : 0;
}

bool DocumentBuilder::Select(int firstSlot, int lastSlot, int firstMeasure, int lastMeasure, int32_t startPos,
                             int32_t endPos) {
    namespace region = layout::region;
    Scope scope(document_, FindDocument(document_) ? FindDocument(document_)->View().CurrentPart() : 0);
    uint8_t data[region::kSize] = {0};
    layout::Write<int16_t>(data, region::kStartList, 0);
    layout::Write<int16_t>(data, region::kEndList, 0);
    layout::Write<int16_t>(data, region::kStartSlot, int16_t(firstSlot));
    layout::Write<int16_t>(data, region::kEndSlot, int16_t(lastSlot));
    layout::Write<int16_t>(data, region::kStartMeasure, int16_t(firstMeasure));
    layout::Write<int16_t>(data, region::kEndMeasure, int16_t(lastMeasure));
    layout::Write<int32_t>(data, region::kStartPosition, startPos);
    layout::Write<int32_t>(data, region::kEndPosition, endPos);
    return ::FX_SetCurERegion(data, kFXInterfaceVersion) != 0;
}

bool DocumentBuilder::SelectNothing() {
    Scope scope(document_, FindDocument(document_) ? FindDocument(document_)->View().CurrentPart() : 0);
    uint8_t none[layout::region::kSize] = {0};
    return ::FX_SetCurERegion(none, kFXInterfaceVersion) != 0;
}

bool DocumentBuilder::SetLayer(int staff, int measure, int layer, const std::vector<StoredEntry>& entries,
                               std::vector<int32_t>* numbers) {
    Scope scope(document_, 0);
    DocumentState& state = CurrentDocument().State();
    const RecordView view(CurrentDocument(), 0);
    const FXKey staffKey = {{uint16_t(staff), 0, 0, 0}};
    if (!Check(staff >= 1 && staff <= 0x7FFF && state.records.Find(layout::staff::kTag, staffKey) != nullptr))
        return false;
    if (!Check(HasMeasure(view, measure) && layer >= 0 && layer < EntryStore::kLayerCount)) return false;
    if (!Check(entries.size() <= size_t(EntryStore::kMaxEntries))) return false;

    const FrameKey key{staff, measure, layer};
    EntryStore& store = state.entries;
    std::set<int32_t> replaced, used;
    for (const StoredEntry& entry : store.Get(key)) replaced.insert(entry.number);
    int32_t highest = 0;
    for (const StoredEntry& entry : entries) {
        if (!Check(entry.duration >= 1 && entry.duration <= EntryStore::kMaxDuration)) return false;
        if (!Check(entry.notes.size() <= size_t(EntryStore::kMaxNotes) && entry.number >= 0)) return false;
        if (entry.number == 0) continue;
        if (!Check(used.insert(entry.number).second)) return false;
        if (!Check(replaced.count(entry.number) || !store.Locate(entry.number, nullptr, nullptr))) return false;
        highest = std::max(highest, entry.number);
    }
    if (!Check(highest < 0x7FFFFFFF)) return false;
    if (highest >= store.NextNumber()) store.SetNextNumber(highest + 1);

    std::vector<StoredEntry> stored = entries;
    for (StoredEntry& entry : stored)
        if (entry.number == 0) {
            entry.number = store.TakeNumber();
            if (!Check(entry.number != 0)) return false;
        }
    for (const StoredEntry& entry : stored) replaced.erase(entry.number);
    for (int32_t number : replaced) EraseEntryDetails(state.records, number);
    store.Set(key, stored);
    if (numbers) {
        numbers->clear();
        for (const StoredEntry& entry : stored) numbers->push_back(entry.number);
    }
    return true;
}

bool DocumentBuilder::SetFrameLocked(int staff, int measure, int layer, bool locked) {
    if (!Check(staff >= 1 && measure >= 1 && layer >= 0 && layer < EntryStore::kLayerCount)) return false;
    Scope scope(document_, 0);
    CurrentDocument().Entries().SetLocked(FrameKey{staff, measure, layer}, locked);
    return true;
}

bool DocumentBuilder::SetNextEntryNumber(int32_t number) {
    Scope scope(document_, 0);
    EntryStore& store = CurrentDocument().Entries();
    if (!Check(number >= 1 && number > store.HighestNumber())) return false;
    store.SetNextNumber(number);
    return true;
}

bool DocumentBuilder::AddTuplet(int32_t entryNumber, const TupletRatio& ratio) {
    Scope scope(document_, 0);
    EntryStore& store = CurrentDocument().Entries();
    FrameKey key;
    int index = 0;
    if (!Check(entryNumber > 0 && store.Locate(entryNumber, &key, &index))) return false;
    uint8_t data[TupletRatio::kDataSize] = {0};
    layout::Write<uint16_t>(data, 0, uint16_t(ratio.notes));
    layout::Write<uint16_t>(data, 2, uint16_t(ratio.symbolic));
    layout::Write<uint16_t>(data, 4, uint16_t(ratio.referenceNumber));
    layout::Write<uint16_t>(data, 6, uint16_t(ratio.referenceDuration));
    const FXKey detailKey = {{uint16_t(uint32_t(entryNumber) & 0xFFFF), uint16_t(uint32_t(entryNumber) >> 16), 0, 0}};
    if (!Check(::FX_SaveEData(TupletRatio::kTag, &detailKey, data, TupletRatio::kDataSize,
                              layout::kDefaultDataVersion) != 0))
        return false;
    std::vector<StoredEntry> entries = store.Get(key);
    entries[size_t(index)].flags |= layout::entry::kTupletStart;
    store.Set(key, entries);
    return true;
}

}  // namespace simhost
