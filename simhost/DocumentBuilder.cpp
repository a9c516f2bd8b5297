#include "simhost/DocumentBuilder.h"

#include "framework/host/PrefsFieldTable.h"
#include "framework/host/__FCPrefsBase.h"
#include "framework/score/FCCell.h"
#include "framework/score/FCCompositeTimeSigBottom.h"
#include "framework/score/FCCompositeTimeSigTop.h"
#include "framework/score/FCGeneralPrefs.h"
#include "framework/score/FCIndependentCellDetail.h"
#include "framework/score/FCMeasure.h"
#include "framework/score/FCMiscDocPrefs.h"
#include "framework/score/FCMusicRegion.h"
#include "framework/score/FCPart.h"
#include "framework/score/FCStaff.h"
#include "framework/score/FCStaffSystem.h"
#include "framework/score/FCSystemStaff.h"
#include "framework/score/FCTimeSignature.h"
#include "framework/entries/FCNoteEntry.h"
#include "simhost/Document.h"
#include "simhost/RecordView.h"
#include "simhost/ScoreQueries.h"
#include "simhost/SimHost.h"

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
int NextItem(uint32_t tag, uint32_t /*version*/) {
    const RecordStore::TagRecords& records = RecordView::Current().StoreFor(tag).Records(tag);
    return records.empty() ? 1 : RecordStore::KeyFromOrder(records.rbegin()->first).words[0] + 1;
}

bool Exists(uint32_t tag, uint16_t item, uint16_t inci, uint32_t version) {
    FXKey key = {{item, inci, 0, 0}};
    uint32_t size = 0;
    return hostapi::FX_LoadEData(tag, &key, nullptr, &size, version) != 0;
}

// A zeroed record of the size the current layout has, so the framework's class can load it.
bool Seed(uint32_t tag, uint16_t item, uint32_t size, uint32_t version) {
    std::vector<uint8_t> zeros(size, 0);
    FXKey key = {{item, 0, 0, 0}};
    return hostapi::FX_SaveEData(tag, &key, zeros.data(), size, version) != 0;
}

uint32_t BindingVersion() { return hostapi::GetHostVersion(); }

}  // namespace

DocumentBuilder::DocumentBuilder() : document_(CurrentDocumentID()), ok_(true) {
    Scope scope(document_, 0);
    if (!Exists(FCPart::kTag, 0, 0, __FCBaseData::kDefaultDataVersion)) {
        FCPart score(0);
        Check(score.SaveAs(0));
    }
    if (!Exists(FCGeneralPrefs::kTag, 1, 0, FCGeneralPrefs::kDataVersion)) {
        Check(Seed(FCGeneralPrefs::kTag, 1, FCGeneralPrefs::kDataSize, FCGeneralPrefs::kDataVersion));
        SetMeasurementUnit(1);
    }
    // The miscellaneous preferences are assembled from other records; the one with the beam
    // flags must exist for them to load.
    const PrefsFieldTable* misc = FindPrefsEmulation(FCMiscDocPrefs::kTag, 1);
    for (int i = 0; misc && i < misc->Count(); ++i) {
        const PrefsFieldRow& row = misc->Rows()[i];
        if (row.offset != FCMiscDocPrefs::kBeamFlagsOffset) continue;
        if (Exists(PrefsFieldTable::OtherTag(row), row.item, row.inci, PrefsFieldTable::kOtherVersion)) break;
        uint8_t zeros[PrefsFieldTable::kOtherSize] = {0};
        FXKey key = {{row.item, row.inci, 0, 0}};
        Check(hostapi::FX_SaveEData(PrefsFieldTable::OtherTag(row), &key, zeros, PrefsFieldTable::kOtherSize,
                                    PrefsFieldTable::kOtherVersion) != 0);
    }
}

bool DocumentBuilder::Check(bool result) {
    if (!result) ok_ = false;
    return result;
}

std::vector<int> DocumentBuilder::StaffListOf(int list) const {
    FCSystemStaves staves;
    staves.LoadAllForItem(uint16_t(list));
    std::vector<int> numbers;
    for (int i = 0; i < staves.GetCount(); ++i) numbers.push_back(staves.GetItemAt(i)->GetStaff());
    return numbers;
}

bool DocumentBuilder::WriteStaffList(int list, const std::vector<int>& staves) {
    FCSystemStaves elements;
    for (int staff : staves) {
        FCSystemStaff* element = new FCSystemStaff;
        element->SetStaff(staff);
        elements.Add(element);
    }
    return Check(elements.SaveAllForItem(uint16_t(list)));
}

bool DocumentBuilder::AppendToStaffList(int list, int staff) {
    // The list's next incidence, from the last record of the list in key order: a score of
    // thousands of staves is built one staff at a time.
    const RecordStore::TagRecords& records = RecordView::Current().StoreFor(FCSystemStaff::kTag).Records(FCSystemStaff::kTag);
    const FXKey next = {{uint16_t(list + 1), 0, 0, 0}};
    int inci = 0;
    auto after = records.lower_bound(RecordStore::Order(next));
    if (after != records.begin()) {
        const FXKey last = RecordStore::KeyFromOrder(std::prev(after)->first);
        if (last.words[0] == list) inci = last.words[1] + 1;
    }
    if (!Check(inci <= 0xFFFE)) return false;
    uint8_t data[FCSystemStaff::kDataSize] = {0};
    fcdata::Write<int16_t>(data, FCSystemStaff::kStaffOffset, int16_t(staff));
    const FXKey key = {{uint16_t(list), uint16_t(inci), 0, 0}};
    return Check(hostapi::FX_SaveEData(FCSystemStaff::kTag, &key, data, FCSystemStaff::kDataSize,
                                       __FCBaseData::kDefaultDataVersion) != 0);
}

int DocumentBuilder::AddStaff() {
    Scope scope(document_, 0);
    const uint32_t version = __FCStaffBase::StaffDataVersion(BindingVersion());
    const int staff = NextItem(FCStaff::kTag, version);
    if (!Check(Seed(FCStaff::kTag, uint16_t(staff), __FCStaffBase::StaffDataSize(BindingVersion()), version))) return 0;
    return AppendToStaffList(0, staff) ? staff : 0;
}

int DocumentBuilder::AddStaffNumbered(int staff) {
    Scope scope(document_, 0);
    if (!Check(staff >= 1 && staff <= 0x7FFF)) return 0;
    const uint32_t version = __FCStaffBase::StaffDataVersion(BindingVersion());
    if (!Check(!Exists(FCStaff::kTag, uint16_t(staff), 0, version))) return 0;
    if (!Check(Seed(FCStaff::kTag, uint16_t(staff), __FCStaffBase::StaffDataSize(BindingVersion()), version))) return 0;
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
    FCStaff record;
    if (!Check(record.Load(uint16_t(staff)) && record.DeleteData())) return false;
    std::vector<int> order = StaffListOf(0);
    order.erase(std::remove(order.begin(), order.end(), staff), order.end());
    DocumentState& state = CurrentDocument().State();
    for (int32_t number : state.entries.EraseStaff(staff)) EraseEntryDetails(state.records, number);
    return WriteStaffList(0, order);
}

bool DocumentBuilder::SetStaffNotationStyle(int staff, int style) {
    Scope scope(document_, 0);
    FCStaff record;
    if (!Check(record.Load(uint16_t(staff)))) return false;
    record.SetNotationStyle(style);
    return Check(record.Save());
}

bool DocumentBuilder::SetStaffIndependence(int staff, bool ownKey, bool ownTime) {
    Scope scope(document_, 0);
    FCStaff record;
    if (!Check(record.Load(uint16_t(staff)))) return false;
    record.SetIndependentKeySig(ownKey);
    record.SetIndependentTimeSig(ownTime);
    return Check(record.Save());
}

bool DocumentBuilder::SetStaffIgnoresKey(int staff, bool ignores) {
    Scope scope(document_, 0);
    FCStaff record;
    if (!Check(record.Load(uint16_t(staff)))) return false;
    uint8_t* flags = record.GetIndependenceFlagsField();
    if (!Check(flags != nullptr)) return false;
    uint16_t word = fcdata::Read<uint16_t>(flags, 0);
    word = ignores ? uint16_t(word | FCNoteEntry::kStaffIgnoresKey) : uint16_t(word & ~FCNoteEntry::kStaffIgnoresKey);
    fcdata::Write<uint16_t>(flags, 0, word);
    return Check(record.Save());
}

int DocumentBuilder::AddMeasure(const Meter& meter, int key) {
    int measure;
    {
        Scope scope(document_, 0);
        const FCMeasure::Layout& layout = FCMeasure::LayoutForHostVersion(BindingVersion());
        measure = NextItem(FCMeasure::kTag, layout.dataVersion);
        if (!Check(Seed(FCMeasure::kTag, uint16_t(measure), layout.size, layout.dataVersion))) return 0;
    }
    return SetMeter(measure, meter) && SetKey(measure, key) ? measure : 0;
}

int DocumentBuilder::AddMeasures(int count, const Meter& meter, int key) {
    int last = 0;
    for (int i = 0; i < count; ++i) last = AddMeasure(meter, key);
    return last;
}

bool DocumentBuilder::WriteComposite(const Meter& meter, int& topItem, int& bottomItem) {
    typedef __FCCompositeTimeSigTopElement Top;
    typedef __FCCompositeTimeSigBottomElement Bottom;
    topItem = NextItem(Top::kTag, __FCBaseData::kDefaultDataVersion);
    Top top;
    int used = 0;
    for (const std::vector<int>& group : meter.groups) {
        for (size_t i = 0; i < group.size(); ++i) {
            top.SetEntry(used++, group[i], i == 0);
            if (used == Top::kEntryCount) {
                if (!Check(top.SaveNew(uint16_t(topItem)))) return false;
                top.ClearEntry(0);
                top.ClearEntry(1);
                used = 0;
            }
        }
    }
    if (used > 0 && !Check(top.SaveNew(uint16_t(topItem)))) return false;

    bottomItem = 0;
    if (meter.groupDurations.empty()) return true;
    bottomItem = NextItem(Bottom::kTag, __FCBaseData::kDefaultDataVersion);
    Bottom bottom;
    used = 0;
    for (int duration : meter.groupDurations) {
        bottom.SetEntry(used++, duration, true);
        if (used == Bottom::kEntryCount) {
            if (!Check(bottom.SaveNew(uint16_t(bottomItem)))) return false;
            for (int e = 0; e < Bottom::kEntryCount; ++e) bottom.ClearEntry(e);
            used = 0;
        }
    }
    return used == 0 || Check(bottom.SaveNew(uint16_t(bottomItem)));
}

bool DocumentBuilder::WriteMeter(int staff, int measure, const Meter& meter) {
    Scope scope(document_, 0);
    FCTimeSignature time;
    time.SetBeats(meter.beats);
    time.SetBeatDuration(meter.beatDuration);
    if (meter.IsComposite()) {
        int topItem, bottomItem;
        if (!WriteComposite(meter, topItem, bottomItem)) return false;
        time.SetCompositeTop(true);
        time.SetBeats(topItem);
        if (bottomItem) {
            time.SetCompositeBottom(true);
            time.SetBeatDuration(bottomItem);
        }
    }
    if (staff == 0) {
        FCMeasure record;
        if (!Check(record.Load(uint16_t(measure)))) return false;
        record.GetTimeSignature()->CopyDataFrom(&time);
        return Check(record.Save());
    }
    FCCell cell(measure, staff);
    FCIndependentCellDetail detail;
    detail.ConnectToCell(&cell);
    detail.LoadFirst();  // keeps a key stored before; a new cell starts from zero
    detail.SetTimeSignature(&time);
    return Check(detail.SaveForCell(&cell));
}

bool DocumentBuilder::SetMeter(int measure, const Meter& meter) { return WriteMeter(0, measure, meter); }

bool DocumentBuilder::SetCellMeter(int staff, int measure, const Meter& meter) {
    return staff > 0 && WriteMeter(staff, measure, meter);
}

bool DocumentBuilder::SetKey(int measure, int key) {
    Scope scope(document_, 0);
    FCMeasure record;
    if (!Check(record.Load(uint16_t(measure)))) return false;
    record.GetKeySignature()->SetKeyValue(uint16_t(key));
    return Check(record.Save());
}

bool DocumentBuilder::SetCellKey(int staff, int measure, int key) {
    Scope scope(document_, 0);
    FCCell cell(measure, staff);
    FCIndependentCellDetail detail;
    detail.ConnectToCell(&cell);
    detail.LoadFirst();
    detail.SetKeySignatureValue(uint16_t(key));
    return Check(detail.SaveForCell(&cell));
}

bool DocumentBuilder::SetBarline(int measure, int style) {
    Scope scope(document_, 0);
    FCMeasure record;
    if (!Check(record.Load(uint16_t(measure)))) return false;
    record.SetBarlineStyle(style);
    return Check(record.Save());
}

bool DocumentBuilder::SetMeasurementUnit(int unit) {
    Scope scope(document_, 0);
    FCGeneralPrefs prefs;
    if (!Check(prefs.Load(1))) return false;
    prefs.SetMeasurementUnit(unit);
    return Check(prefs.Save());
}

bool DocumentBuilder::SetBeamFlags(uint16_t flags) {
    Scope scope(document_, 0);
    FCMiscDocPrefs prefs;
    if (!Check(prefs.Load(1))) return false;
    prefs.SetBeamFlags(flags);
    return Check(prefs.Save());
}

int DocumentBuilder::AddSystem(int firstMeasure, int nextMeasure, const std::vector<int>& staves, int part,
                               const std::vector<int>& sizes) {
    Scope scope(document_, part);
    const int number = NextItem(FCStaffSystem::kTag, __FCBaseData::kDefaultDataVersion);
    FCStaffSystem system;
    system.SetFirstMeasure(firstMeasure);
    system.SetNextSystemMeasure(nextMeasure);
    if (!Check(system.SaveAs(uint16_t(number)))) return 0;
    for (size_t i = 0; i < staves.size(); ++i) {
        FCSystemStaff staff;
        staff.SetStaff(staves[i]);
        staff.SetStaffSize(i < sizes.size() ? sizes[i] : FCSystemStaff::kDefaultStaffSize);
        if (!Check(staff.SaveNew(uint16_t(number)))) return 0;
    }
    return number;
}

int DocumentBuilder::AddPart(const std::vector<int>& staves) {
    int identifier;
    {
        Scope scope(document_, 0);
        FCPart record(0);
        if (!Check(record.SaveNew())) return 0;
        identifier = record.GetItemNo();
    }
    Scope scope(document_, identifier);
    return WriteStaffList(0, staves) ? identifier : 0;
}

bool DocumentBuilder::Select(int firstSlot, int lastSlot, int firstMeasure, int lastMeasure, int32_t startPos,
                             int32_t endPos) {
    Scope scope(document_, FindDocument(document_) ? FindDocument(document_)->View().CurrentPart() : 0);
    FCMusicRegion region;
    region.SetStaffListNumber(0);
    region.SetStartSlot(firstSlot);
    region.SetEndSlot(lastSlot);
    region.SetStartMeasure(firstMeasure);
    region.SetEndMeasure(lastMeasure);
    region.SetStartMeasurePos(startPos);
    region.SetEndMeasurePos(endPos);
    uint8_t data[FCMusicRegion::kRegionDataSize];
    region.GetRegionData(data);
    return hostapi::FX_SetCurERegion(data, kFXInterfaceVersion) != 0;
}

bool DocumentBuilder::SelectNothing() {
    Scope scope(document_, FindDocument(document_) ? FindDocument(document_)->View().CurrentPart() : 0);
    uint8_t none[FCMusicRegion::kRegionDataSize] = {0};
    return hostapi::FX_SetCurERegion(none, kFXInterfaceVersion) != 0;
}

bool DocumentBuilder::SetLayer(int staff, int measure, int layer, const std::vector<StoredEntry>& entries,
                               std::vector<int32_t>* numbers) {
    Scope scope(document_, 0);
    DocumentState& state = CurrentDocument().State();
    const RecordView view(CurrentDocument(), 0);
    const FXKey staffKey = {{uint16_t(staff), 0, 0, 0}};
    if (!Check(staff >= 1 && staff <= 0x7FFF && state.records.Find(FCStaff::kTag, staffKey) != nullptr)) return false;
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
    fcdata::Write<uint16_t>(data, 0, uint16_t(ratio.notes));
    fcdata::Write<uint16_t>(data, 2, uint16_t(ratio.symbolic));
    fcdata::Write<uint16_t>(data, 4, uint16_t(ratio.referenceNumber));
    fcdata::Write<uint16_t>(data, 6, uint16_t(ratio.referenceDuration));
    const FXKey detailKey = {{uint16_t(uint32_t(entryNumber) & 0xFFFF), uint16_t(uint32_t(entryNumber) >> 16), 0, 0}};
    if (!Check(hostapi::FX_SaveEData(TupletRatio::kTag, &detailKey, data, TupletRatio::kDataSize,
                                     __FCBaseData::kDefaultDataVersion) != 0))
        return false;
    std::vector<StoredEntry> entries = store.Get(key);
    entries[size_t(index)].flags |= FCNoteEntry::kFlagTupletStart;
    store.Set(key, entries);
    return true;
}

}  // namespace simhost
