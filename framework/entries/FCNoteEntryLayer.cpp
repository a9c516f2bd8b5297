#include "framework/entries/FCNoteEntryLayer.h"

#include "framework/entries/FCNoteEntryCell.h"
#include "framework/entries/_FCNoteEntryErase.h"
#include "framework/host/hostapi.h"
#include "framework/score/FCMusicRegion.h"

FCNoteEntryLayer::FCNoteEntryLayer(int layerIndex, int staff, int firstMeasure, int lastMeasure)
    : layer_(layerIndex),
      staff_(staff),
      first_(firstMeasure),
      last_(lastMeasure),
      loadOption_(1),
      skipHidden_(true),
      loadedFirst_(firstMeasure) {}

FCNoteEntryLayer::~FCNoteEntryLayer() { ReleaseFrames(); }

void FCNoteEntryLayer::ReleaseFrames() {
    ClearAll();
    FreeFrames(frames_);
}

uint8_t* FCNoteEntryLayer::GetFrameForMeasure(int measure) const {
    const int i = measure - loadedFirst_;
    return i >= 0 && i < int(frames_.size()) ? frames_[size_t(i)] : nullptr;
}

bool FCNoteEntryLayer::Load() {
    ReleaseFrames();
    if (staff_ < 1 || first_ < 1) return false;
    if (layer_ < 0 || layer_ >= FCNoteEntryCell::MaxLayers()) return false;
    int last = last_;
    FCMusicRegion whole;
    whole.SetFullDocument();
    if (last == -1 || last > whole.GetEndMeasure()) last = whole.GetEndMeasure();
    if (last < 1 || last < first_) return false;

    loadedFirst_ = first_;
    if (skipHidden_ && !hostapi::FX_GetShowLayer(int16_t(layer_), kFXInterfaceVersion)) return true;
    const int16_t slot = hostapi::FX_InstToSlot(int16_t(staff_), 0, kFXInterfaceVersion);
    frames_.assign(size_t(last - first_ + 1), nullptr);
    for (int measure = first_; measure <= last; ++measure) {
        void* frame =
            hostapi::FX_LoadTGF(0, slot, int16_t(measure), int16_t(layer_), int16_t(loadOption_), kFXInterfaceVersion);
        if (!frame && loadOption_) {
            ReleaseFrames();
            return false;
        }
        frames_[size_t(measure - first_)] = static_cast<uint8_t*>(frame);
    }
    RebuildFromFrames(frames_, staff_, true);
    return true;
}

void FCNoteEntryLayer::RemoveEntryAt(int listIndex) {
    FCNoteEntry* entry = GetItemAt(listIndex);
    if (!entry) return;
    if (entry->Previous()) entry->Previous()->SetNext(entry->Next());
    if (entry->Next()) entry->Next()->SetPrevious(entry->Previous());
    ClearItemAt(listIndex);
}

template <typename Match>
int FCNoteEntryLayer::FindNearHint(Match match) const {
    const int count = GetCount();
    if (count == 0) return -1;
    // A hint just past the end (left by an insertion at the end) means the last entry.
    const int hint = searchHint_ >= 0 && searchHint_ < count ? searchHint_ : (searchHint_ == count ? count - 1 : 0);
    // Outwards from the hint: the entry sought is usually next to the last one found.
    for (int distance = 0; distance < count; ++distance) {
        const int after = hint + distance, before = hint - 1 - distance;
        if (after >= count && before < 0) break;
        if (after < count && match(GetItemAt(after))) return searchHint_ = after;
        if (before >= 0 && match(GetItemAt(before))) return searchHint_ = before;
    }
    return -1;
}

int FCNoteEntryLayer::IndexOfEntry(const FCNoteEntry* entry) const {
    if (!entry) return -1;
    return FindNearHint([entry](const FCNoteEntry* item) { return item == entry; });
}

FCNoteEntry* FCNoteEntryLayer::FirstOfFrame(const uint8_t* frame, FCNoteEntry* member) const {
    if (!frame) return nullptr;
    FCNoteEntry* first = member && member->GetFrame() == frame ? member : nullptr;
    if (!first) {
        const int found = FindNearHint([frame](const FCNoteEntry* item) { return item->GetFrame() == frame; });
        if (found < 0) return nullptr;
        first = GetItemAt(found);
    }
    while (first->Previous() && first->Previous()->GetFrame() == frame) first = first->Previous();
    return first;
}

std::vector<FCNoteEntry*> FCNoteEntryLayer::EntriesOfFrame(const uint8_t* frame, FCNoteEntry* member) const {
    std::vector<FCNoteEntry*> entries;
    FCNoteEntry* first = FirstOfFrame(frame, member);
    if (!first) return entries;
    entries.reserve(size_t(fcframe::EntryCount(frame)));
    for (FCNoteEntry* entry = first; entry && entry->GetFrame() == frame; entry = entry->Next())
        entries.push_back(entry);
    return entries;
}

bool FCNoteEntryLayer::RebindReloaded(uint8_t* oldFrame, uint8_t* newFrame) {
    // Where each old record went: the host drops records of duration 0 when it saves.
    const int oldCount = fcframe::EntryCount(oldFrame);
    std::vector<int> moved(size_t(oldCount), -1);
    int kept = 0;
    for (int i = 0; i < oldCount; ++i) {
        const bool dropped = oldCount != fcframe::EntryCount(newFrame) &&
                             fcdata::Read<int32_t>(fcframe::EntryAt(oldFrame, i), fcframe::kDuration) == 0;
        if (!dropped) moved[size_t(i)] = kept++;
    }
    if (kept != fcframe::EntryCount(newFrame)) return false;
    for (FCNoteEntry* entry : EntriesOfFrame(oldFrame, nullptr)) {
        const int index = entry->GetIndexInFrame();
        if (index < 0) return false;
        if (moved[size_t(index)] < 0)
            RemoveEntryAt(IndexOfEntry(entry));
        else
            entry->Rebind(newFrame, fcframe::EntryAt(newFrame, moved[size_t(index)]), staff_);
    }
    return true;
}

bool FCNoteEntryLayer::SaveHeldFrame(uint8_t*& frame, bool* rebuild) {
    if (!frame || fcframe::IsLocked(frame)) return true;
    const bool hadNew = fcframe::IndexOfEntryNumber(frame, 0) >= 0;
    if (!hostapi::FX_SaveTGF(frame, kFXInterfaceVersion)) return false;
    if (!hadNew) return true;
    void* reloaded = hostapi::FX_LoadTGF(int16_t(fcframe::FrameWord(frame, fcframe::kStaffList)),
                                         int16_t(fcframe::FrameWord(frame, fcframe::kSlot)),
                                         int16_t(fcframe::FrameWord(frame, fcframe::kMeasure)),
                                         int16_t(fcframe::FrameWord(frame, fcframe::kLayer)), 0, kFXInterfaceVersion);
    if (!reloaded) return false;
    uint8_t* newFrame = static_cast<uint8_t*>(reloaded);
    if (!RebindReloaded(frame, newFrame)) *rebuild = true;
    hostapi::FX_FreeTGF(frame, kFXInterfaceVersion);
    frame = newFrame;
    return true;
}

bool FCNoteEntryLayer::Save() {
    bool ok = true;
    bool rebuild = false;
    for (uint8_t*& frame : frames_)
        if (!SaveHeldFrame(frame, &rebuild)) ok = false;
    // Records that could not be matched one to one: the objects are made anew.
    if (rebuild) RebuildFromFrames(frames_, staff_, true);
    return ok;
}

bool FCNoteEntryLayer::SaveMeasure(int measure) {
    const int i = measure - loadedFirst_;
    if (i < 0 || i >= int(frames_.size())) return false;
    bool rebuild = false;
    const bool ok = SaveHeldFrame(frames_[size_t(i)], &rebuild);
    if (rebuild) RebuildFromFrames(frames_, staff_, true);
    return ok;
}

FCNoteEntry* FCNoteEntryLayer::InsertEntriesAfter(FCNoteEntry* entry, int count, bool intoNextMeasure) {
    if (count <= 0 || count > 0x7FFF) return nullptr;
    uint8_t* frame = nullptr;
    int index = 0;
    if (!entry) {
        if (!IsEmpty() || intoNextMeasure) return nullptr;
        for (uint8_t* held : frames_)
            if (held) {
                frame = held;
                break;
            }
        if (!frame) return nullptr;
    } else {
        if (IndexOfEntry(entry) < 0) return nullptr;
        const int entryIndex = entry->GetIndexInFrame();
        if (entryIndex < 0) return nullptr;
        if (intoNextMeasure) {
            if (entry->Next() && entry->Next()->GetFrame() == entry->GetFrame()) return nullptr;
            frame = GetFrameForMeasure(entry->GetMeasure() + 1);
            if (!frame) return nullptr;
        } else {
            frame = entry->GetFrame();
            index = entryIndex + 1;
        }
    }

    // The frame's entries and their indices, taken before the host moves the records.
    bound_.clear();
    // Entries are linked in measure order: the next measure's entries, if any, follow entry
    // directly, so a next measure whose frame does not start there holds none.
    FCNoteEntry* held = nullptr;
    if (!entry)
        held = FirstOfFrame(frame, nullptr);
    else if (!intoNextMeasure)
        held = FirstOfFrame(frame, entry);
    else if (entry->Next() && entry->Next()->GetFrame() == frame)
        held = entry->Next();
    for (; held && held->GetFrame() == frame; held = held->Next()) bound_.emplace_back(held, held->GetIndexInFrame());
    if (!hostapi::FX_InsertEXENTRY(frame, int16_t(index), int16_t(count), kFXInterfaceVersion)) return nullptr;

    for (const auto& item : bound_) {
        const int moved = item.second >= index ? item.second + count : item.second;
        item.first->Rebind(frame, fcframe::EntryAt(frame, moved));
    }
    for (int i = 0; i < fcframe::TupletCount(frame); ++i) {
        uint8_t* span = fcframe::TupletAt(frame, i);
        for (int offset : {fcframe::kSpanFirst, fcframe::kSpanLast}) {
            const int value = fcdata::Read<int16_t>(span, offset);
            if (value >= index) fcdata::Write<int16_t>(span, offset, int16_t(value + count));
        }
    }

    FCNoteEntry* next = entry ? entry->Next() : nullptr;
    const int listIndex = entry ? IndexOfEntry(entry) + 1 : 0;
    FCNoteEntry* previous = entry;
    added_.clear();
    for (int i = 0; i < count; ++i) {
        FCNoteEntry* made = new FCNoteEntry(frame, fcframe::EntryAt(frame, index + i), staff_);
        made->SetPrevious(previous);
        if (previous) previous->SetNext(made);
        added_.push_back(made);
        previous = made;
    }
    // One move of the entries after them, however many are inserted.
    InsertItemsAt(added_.data(), count, listIndex);
    previous->SetNext(next);
    if (next) next->SetPrevious(previous);
    searchHint_ = listIndex + count;
    return static_cast<FCNoteEntry*>(added_.front());
}

bool FCNoteEntryLayer::DeleteZeroDurationEntries() {
    for (int i = 0; i < GetCount(); ++i)
        if (GetItemAt(i)->GetEntryNumber() == 0) return false;
    __FCCollection erasures;
    for (int i = 0; i < GetCount(); ++i) {
        FCNoteEntry* entry = GetItemAt(i);
        if (entry->GetDuration() == 0)
            erasures.Add(new _FCNoteEntryErase(entry, entry->GetFrame(), entry->GetEntryNumber()));
    }
    if (erasures.IsEmpty()) return true;
    bool ok = true;
    for (int i = 0; i < erasures.GetCount(); ++i)
        if (!static_cast<_FCNoteEntryErase*>(erasures.GetItemAt(i))->Erase()) ok = false;
    RebuildFromFrames(frames_, staff_, true);
    return ok;
}
