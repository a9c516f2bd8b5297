#include "tasks/sequences/FCTwoStateSequenceCollection.h"

#include "framework/entries/FCArticulation.h"
#include "framework/entries/FCNoteEntry.h"
#include "framework/entries/FCNoteEntryLayer.h"
#include "framework/score/FCCell.h"
#include "framework/score/FCMeasure.h"
#include "framework/score/FCMiscDocPrefs.h"
#include "framework/score/FCMusicRegion.h"
#include "framework/score/FCTimeSignature.h"
#include "tasks/sequences/FCBeamBeatInfo.h"

#include <map>
#include <memory>
#include <vector>

namespace {

constexpr int32_t kQuarter = 1024;
constexpr int32_t kEighth = 512;

// The time signature of one measure, loaded when the walk reaches another measure: nodes and
// entries come measure by measure.
class MeasureMeter {
public:
    const FCTimeSignature* Get(int measure) {
        if (measure != measure_) {
            measure_ = measure;
            loaded_ = measure_ > 0 && measure_ <= 0x7FFF && record_.Load(uint16_t(measure_));
        }
        return loaded_ ? record_.GetTimeSignature() : nullptr;
    }

private:
    FCMeasure record_;
    int measure_ = 0;
    bool loaded_ = false;
};

// What the rest grouping needs of a cell's time signature (the staff's own where it has one).
struct CellMeter {
    bool compositeTop = false;
    int beats = 0;
    int32_t beatDuration = 0;
    FCBeamBeatInfo groups;
};

class CellMeters {
public:
    explicit CellMeters(int staff) : staff_(staff) {}
    const CellMeter& Get(int measure) {
        std::unique_ptr<CellMeter>& held = meters_[measure];
        if (!held) {
            held.reset(new CellMeter);
            FCCell cell(measure, staff_);
            if (const FCTimeSignature* time = cell.GetTimeSignature()) {
                held->compositeTop = time->IsCompositeTop();
                held->beats = time->GetBeats();
                held->beatDuration = time->GetBeatDuration();
                held->groups.Build(time);
            }
        }
        return *held;
    }

private:
    int staff_;
    std::map<int, std::unique_ptr<CellMeter>> meters_;
};

// An articulation counts only when the flag says so and a record is there.
bool HasArticulationRecords(FCNoteEntry* entry) {
    if (!entry->HasArticulations()) return false;
    FCArticulations articulations(entry);
    return articulations.LoadAll() > 0;
}

// The rests the grouping to the time signature works on.
bool IsGroupableRest(FCNoteEntry* entry, const FCMusicRegion* region) {
    return entry->IsRest() && !entry->IsGraceNote() && region->IsEntryIncluded(entry) && !HasArticulationRecords(entry);
}

// A neighbour that may be merged into a rest: same measure and grace state, a rest of the region
// outside any tuplet and without articulations.
bool CanJoinRest(FCNoteEntry* rest, FCNoteEntry* entry, const FCMusicRegion* region) {
    return entry->GetMeasure() == rest->GetMeasure() && !entry->IsInTuplet() &&
           entry->IsGraceNote() == rest->IsGraceNote() && entry->IsRest() && region->IsEntryIncluded(entry) &&
           !HasArticulationRecords(entry);
}

bool SaveAndReload(FCNoteEntryLayer* layer) { return layer->Save() && layer->Load(); }

// Merges the rest and the entries given into the rest (their durations become 0 and they are
// deleted); the layer is saved and loaded again.
bool MergeInto(FCNoteEntryLayer* layer, FCNoteEntry* rest, const std::vector<FCNoteEntry*>& merged, int32_t total) {
    rest->SetDuration(total);
    for (FCNoteEntry* entry : merged) entry->SetDuration(0);
    return layer->DeleteZeroDurationEntries() && SaveAndReload(layer);
}

// Pass 1: a rest that crosses into a later beat group is split at the start of the next group;
// the part after the split is met next and split again when it still crosses.
bool SplitAtBeatGroups(FCNoteEntryLayer* layer, const FCMusicRegion* region, CellMeters* meters) {
    bool changed = false;
    for (int i = 0; i < layer->GetCount(); ++i) {
        FCNoteEntry* rest = layer->GetItemAt(i);
        if (!IsGroupableRest(rest, region) || rest->IsInTuplet()) continue;
        const CellMeter& meter = meters->Get(rest->GetMeasure());
        if (meter.groups.IsEmpty()) continue;
        const int32_t position = rest->GetMeasurePos(), duration = rest->GetDuration();
        const int first = meter.groups.GetGroupIndex(position);
        const int last = meter.groups.GetGroupIndex(position + duration - 1);
        if (first < 0 || last < 0 || first == last) continue;
        FCNoteEntry* added = layer->InsertEntriesAfter(rest, 1, false);
        if (!added) continue;
        const int32_t split = meter.groups.GetGroupStart(first + 1);
        added->SetMarkFlag(true);
        added->MakeRest();
        added->SetMeasurePos(split);
        added->SetDuration(duration - (split - position));
        rest->SetDuration(split - position);
        changed = true;
    }
    return !changed || SaveAndReload(layer);
}

// Pass 2: a run of rests within one beat group is merged into its first rest, as many of the run
// as give a plain or dotted length.
bool MergeWithinBeatGroups(FCNoteEntryLayer* layer, const FCMusicRegion* region, CellMeters* meters) {
    for (int i = 0; i < layer->GetCount(); ++i) {
        FCNoteEntry* rest = layer->GetItemAt(i);
        if (!IsGroupableRest(rest, region) || rest->IsInTuplet()) continue;
        const CellMeter& meter = meters->Get(rest->GetMeasure());
        if (meter.groups.IsEmpty()) continue;
        const int group = meter.groups.GetGroupIndex(rest->GetMeasurePos());
        const bool lastGroup = group == meter.groups.GetCount() - 1;
        std::vector<FCNoteEntry*> run;
        for (FCNoteEntry* entry = rest->Next(); entry && CanJoinRest(rest, entry, region); entry = entry->Next()) {
            if (!lastGroup && meter.groups.GetGroupIndex(entry->GetMeasurePos()) != group) break;
            run.push_back(entry);
        }
        for (size_t k = run.size(); k >= 1; --k) {
            int32_t total = rest->GetDuration();
            for (size_t j = 0; j < k; ++j) total += run[j]->GetDuration();
            if (!FCTwoStateSequenceCollection::IsMergedRestDuration(total)) continue;
            run.resize(k);
            if (!MergeInto(layer, rest, run, total)) return false;
            break;
        }
    }
    return true;
}

// A rest at the position, in a measure of beats x unit, is merged with the rests after it into one
// of the length when they add up to exactly that length.
bool MergeToLength(FCNoteEntryLayer* layer, const FCMusicRegion* region, FCNoteEntry* rest, const CellMeter& meter,
                   int32_t length, int32_t position, int32_t measureLength, bool* failed) {
    if (meter.compositeTop || rest->GetMeasurePos() != position || rest->GetDuration() == length ||
        meter.beats * meter.beatDuration != measureLength)
        return false;
    int32_t total = rest->GetDuration();
    std::vector<FCNoteEntry*> merged;
    for (FCNoteEntry* entry = rest->Next(); entry && total < length; entry = entry->Next()) {
        if (!CanJoinRest(rest, entry, region)) return false;
        total += entry->GetDuration();
        merged.push_back(entry);
    }
    if (total != length || merged.empty()) return false;
    if (!MergeInto(layer, rest, merged, length)) *failed = true;
    return true;
}

// Pass 3: whole-measure rests in a measure of 4096, and half-measure rests in a measure of four
// beats.
bool MergeMeasureRests(FCNoteEntryLayer* layer, const FCMusicRegion* region, CellMeters* meters) {
    bool failed = false;
    for (int i = 0; i < layer->GetCount() && !failed; ++i) {
        FCNoteEntry* rest = layer->GetItemAt(i);
        if (!IsGroupableRest(rest, region) || rest->IsInTuplet()) continue;
        const CellMeter& meter = meters->Get(rest->GetMeasure());
        if (MergeToLength(layer, region, rest, meter, 4096, 0, 4 * kQuarter, &failed)) continue;
        if (meter.compositeTop || meter.beats != 4) continue;
        const int32_t unit = meter.beatDuration;
        if (MergeToLength(layer, region, rest, meter, 2 * unit, 0, 4 * unit, &failed)) continue;
        MergeToLength(layer, region, rest, meter, 2 * unit, 2 * unit, 4 * unit, &failed);
    }
    return !failed;
}

}  // namespace

void FCTwoStateSequenceCollection::Build(const int* counts, int groupCount, int type, FCNoteEntry* a, FCNoteEntry* b) {
    if (!counts || !a || !b) return;
    const int32_t on = a->GetDuration(), off = b->GetDuration();
    for (int i = 0; i < groupCount; ++i) {
        const int n = counts[i];
        for (int j = 0; j < n; ++j) {
            bool isOn = false;
            switch (type) {
                case 0:
                    isOn = j == 0;
                    break;
                case 1:
                    isOn = j != n - 1;
                    break;
                case 2:
                    isOn = j == 0 || j == n - 1;
                    break;
                default:
                    break;
            }
            Add(new FCTwoStateSequenceNode(isOn ? on : off, i == 0 && j < 2, isOn, isOn ? a : b, j == 0));
        }
    }
}

int FCTwoStateSequenceCollection::CountGroups() const {
    int groups = 0;
    for (int i = 0; i < GetCount(); ++i) groups += GetItemAt(i)->IsGroupStart();
    return groups;
}

int32_t FCTwoStateSequenceCollection::CalcTotalDuration() const {
    int64_t total = 0;
    for (int i = 0; i < GetCount(); ++i) total += GetItemAt(i)->GetDuration();
    return total > 0x7FFFFFFF ? 0x7FFFFFFF : int32_t(total);
}

void FCTwoStateSequenceCollection::BeamToTimeSignature() {
    MeasureMeter meter;
    for (int i = 0; i < GetCount(); ++i) {
        FCNoteEntry* entry = GetItemAt(i)->GetActualEntry();
        if (!entry) continue;
        const FCTimeSignature* time = meter.Get(entry->GetMeasure());
        entry->SetBeamStart(time && time->IsBeatStartPos(entry->GetMeasurePos()));
    }
}

void FCTwoStateSequenceCollection::ApplyFourEighthsRule(FCNoteEntryLayer* layer) {
    if (!layer || IsEmpty()) return;
    FCMiscDocPrefs prefs;
    if (!prefs.Load(1) || !prefs.GetBeamFourEighthsInCommonTime()) return;
    const FCNoteEntry* firstEntry = GetItemAt(0)->GetActualEntry();
    const FCNoteEntry* lastEntry = GetItemAt(GetCount() - 1)->GetActualEntry();
    if (!firstEntry || !lastEntry) return;
    const int first = firstEntry->GetMeasure(), last = lastEntry->GetMeasure();
    MeasureMeter meter;
    // One walk over the layer: the first entry of each measure at 0 and at 2048.
    int measure = 0;
    bool seen[2] = {false, false};
    for (int i = 0; i < layer->GetCount(); ++i) {
        FCNoteEntry* entry = layer->GetItemAt(i);
        const int m = entry->GetMeasure();
        if (m < first || m > last) continue;
        if (m != measure) {
            measure = m;
            seen[0] = seen[1] = false;
        }
        const int32_t position = entry->GetMeasurePos();
        const int half = position == 0 ? 0 : (position == 2 * kQuarter ? 1 : -1);
        if (half < 0 || seen[half]) continue;
        seen[half] = true;
        const FCTimeSignature* time = meter.Get(m);
        if (!time || time->IsCompositeTop() || time->IsCompositeBottom() || time->GetBeats() != 4 ||
            time->GetBeatDuration() != kQuarter)
            continue;
        FCNoteEntry* run[4] = {entry, nullptr, nullptr, nullptr};
        bool eighths = true;
        for (int k = 0; k < 4 && eighths; ++k) {
            if (k > 0) run[k] = run[k - 1]->Next();
            eighths = run[k] && run[k]->IsNote() && run[k]->GetDuration() == kEighth && run[k]->GetMeasure() == m;
        }
        if (eighths) run[2]->SetBeamStart(false);
    }
}

void FCTwoStateSequenceCollection::BeamToSequenceGroups() {
    for (int i = 0; i < GetCount(); ++i) {
        FCTwoStateSequenceNode* node = GetItemAt(i);
        if (FCNoteEntry* entry = node->GetActualEntry()) entry->SetBeamStart(node->IsGroupStart());
    }
}

int32_t FCTwoStateSequenceCollection::CalcRebarBeatDuration(int32_t total) {
    if (total <= 0) return 0;
    static const int32_t kUnits[] = {1024, 1536, 512, 768, 256, 384, 128, 192, 64, 96};
    for (int32_t unit : kUnits)
        if (total % unit == 0) return unit;
    return 0;
}

bool FCTwoStateSequenceCollection::RebarToSequenceGroups() {
    bool saved = true;
    auto apply = [&saved](int measure, int32_t total) {
        if (measure <= 0 || total <= 0) return;
        const int32_t unit = CalcRebarBeatDuration(total);
        // The beats are kept in a 16-bit word.
        if (unit == 0 || total / unit > 0x7FFF) return;
        FCMeasure record;
        if (measure > 0x7FFF || !record.Load(uint16_t(measure))) return;
        FCTimeSignature* time = record.GetTimeSignature();
        if (!time) return;
        time->SetBeats(int(total / unit));
        time->SetBeatDuration(int(unit));
        time->SetCompositeTop(false);
        time->SetCompositeBottom(false);
        if (!record.Save()) saved = false;
    };
    int measure = 0;
    int32_t total = 0;
    for (int i = 0; i < GetCount(); ++i) {
        FCTwoStateSequenceNode* node = GetItemAt(i);
        if (node->IsGroupStart()) {
            apply(measure, total);
            total = node->GetDuration();
            const FCNoteEntry* entry = node->GetActualEntry();
            measure = entry ? entry->GetMeasure() : 0;
        } else {
            total += node->GetDuration();
        }
    }
    if (measure != 0 && total != 0) apply(measure, total);
    return saved;
}

void FCTwoStateSequenceCollection::ClearRestOnlyMeasures() {
    // Nodes come measure by measure: each run of nodes of one measure is looked at whole.
    int i = 0;
    while (i < GetCount()) {
        const FCNoteEntry* first = GetItemAt(i)->GetActualEntry();
        const int measure = first ? first->GetMeasure() : 0;
        int end = i;
        bool notes = false;
        for (; end < GetCount(); ++end) {
            const FCNoteEntry* entry = GetItemAt(end)->GetActualEntry();
            if ((entry ? entry->GetMeasure() : 0) != measure) break;
            notes = notes || (entry && entry->IsNote());
        }
        if (!notes)
            for (int k = i; k < end; ++k)
                if (FCNoteEntry* entry = GetItemAt(k)->GetActualEntry()) entry->SetDuration(0);
        i = end;
    }
}

void FCTwoStateSequenceCollection::GroupRestsToSequenceGroups() {
    FCNoteEntry* head = nullptr;
    int headMeasure = 0;
    int32_t total = 0;
    for (int i = 0; i < GetCount(); ++i) {
        FCTwoStateSequenceNode* node = GetItemAt(i);
        FCNoteEntry* entry = node->GetActualEntry();
        if (!entry) continue;
        if (entry->IsNote()) {
            head = nullptr;
            headMeasure = 0;
            total = 0;
            continue;
        }
        if (entry->GetMeasure() == headMeasure && !node->IsGroupStart() && head &&
            IsGroupedRestDuration(total + node->GetDuration())) {
            total += node->GetDuration();
            head->SetDuration(total);
            entry->SetDuration(0);
        } else {
            total = node->GetDuration();
            head = entry;
        }
        headMeasure = head->GetMeasure();
    }
}

bool FCTwoStateSequenceCollection::GroupRestsToTimeSignature(FCNoteEntryLayer* layer, const FCMusicRegion* region) {
    if (!layer || !region) return false;
    CellMeters meters(layer->GetStaff());
    return SplitAtBeatGroups(layer, region, &meters) && MergeWithinBeatGroups(layer, region, &meters) &&
           MergeMeasureRests(layer, region, &meters);
}

bool FCTwoStateSequenceCollection::IsGroupedRestDuration(int32_t duration) {
    for (int32_t value = 4096; value >= 128; value /= 2)
        if (duration == value || duration == value * 3 / 2) return true;
    return false;
}

bool FCTwoStateSequenceCollection::IsMergedRestDuration(int32_t duration) {
    int32_t power = 0;
    for (int32_t bit = 8192; bit >= 1; bit /= 2)
        if (duration & bit) {
            power = bit;
            break;
        }
    int32_t value = power;
    for (int dots = 0; dots <= 3; ++dots) {
        if (duration == value) return true;
        value = value * 3 / 2;
    }
    return false;
}
