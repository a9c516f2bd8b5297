#include "framework/entries/FCNoteEntryCell.h"

#include "framework/host/hostapi.h"

FCNoteEntryCell::FCNoteEntryCell(int measure, int staff)
    : measure_(measure), staff_(staff), layerMode_(kShownLayers), loadOption_(1) {}

FCNoteEntryCell::~FCNoteEntryCell() { ReleaseFrames(); }

int FCNoteEntryCell::MaxLayers() {
    const int layers = hostapi::FX_GetMaxLayers(kFXInterfaceVersion);
    return layers > 0 ? layers : kDefaultMaxLayers;
}

void FCNoteEntryCell::ReleaseFrames() {
    ClearAll();
    FreeFrames(frames_);
}

bool FCNoteEntryCell::IsLayerChosen(int layerIndex) const {
    switch (layerMode_) {
        case kShownLayers:
            return hostapi::FX_GetShowLayer(int16_t(layerIndex), kFXInterfaceVersion) != 0;
        case kAllLayers:
            return true;
        case kHiddenLayers:
            return hostapi::FX_GetShowLayer(int16_t(layerIndex), kFXInterfaceVersion) == 0;
        case kNoLayers:
            return false;
        default:
            break;
    }
    if (layerMode_ >= 1 && layerMode_ <= 4) return layerIndex == layerMode_ - 1;
    return layerIndex >= 0 && layerIndex < 24 && (uint32_t(layerMode_) & (0x100u << layerIndex)) != 0;
}

uint8_t* FCNoteEntryCell::GetFrame(int layerIndex) const {
    return layerIndex >= 0 && layerIndex < int(frames_.size()) ? frames_[size_t(layerIndex)] : nullptr;
}

bool FCNoteEntryCell::Load() {
    ReleaseFrames();
    const int layers = MaxLayers();
    frames_.assign(size_t(layers), nullptr);
    const int16_t slot = hostapi::FX_InstToSlot(int16_t(staff_), 0, kFXInterfaceVersion);
    for (int i = 0; i < layers; ++i) {
        if (!IsLayerChosen(i)) continue;
        void* frame =
            hostapi::FX_LoadTGF(0, slot, int16_t(measure_), int16_t(i), int16_t(loadOption_), kFXInterfaceVersion);
        if (!frame) {
            ReleaseFrames();
            return false;
        }
        frames_[size_t(i)] = static_cast<uint8_t*>(frame);
    }
    RebuildFromFrames(frames_, staff_, false);
    return true;
}

bool FCNoteEntryCell::Save() {
    bool ok = true;
    for (uint8_t* frame : frames_) {
        if (!frame || fcframe::IsLocked(frame)) continue;
        if (!hostapi::FX_SaveTGF(frame, kFXInterfaceVersion)) ok = false;
    }
    return ok;
}

bool FCNoteEntryCell::SaveLayer(int layerIndex) {
    uint8_t* frame = GetFrame(layerIndex);
    if (!frame) return false;
    return fcframe::IsLocked(frame) || hostapi::FX_SaveTGF(frame, kFXInterfaceVersion) != 0;
}

bool FCNoteEntryCell::DeleteZeroDurationEntries() {
    // Everything is read before anything moves: deleting a run reallocates its frame's records,
    // so the entry objects of that frame point nowhere until they are rebuilt. Runs are deleted
    // from the last one back, so the indices of the earlier runs stay valid.
    struct Item {
        uint8_t* frame;
        int index;
        bool zero;
    };
    std::vector<Item> items;
    for (int i = 0; i < GetCount(); ++i) {
        const FCNoteEntry* entry = GetItemAt(i);
        const int index = entry->GetIndexInFrame();
        if (index < 0) return false;
        items.push_back(
            Item{entry->GetFrame(), index, entry->GetDuration() == 0 && !fcframe::IsLocked(entry->GetFrame())});
    }
    bool ok = true;
    std::vector<uint8_t*> changed;
    for (int i = int(items.size()) - 1; i >= 0;) {
        if (!items[size_t(i)].zero) {
            --i;
            continue;
        }
        // A run: consecutive entries of duration 0 in the same frame.
        int first = i;
        while (first > 0 && items[size_t(first - 1)].zero && items[size_t(first - 1)].frame == items[size_t(i)].frame)
            --first;
        if (!DeleteZeroDurationRun(items[size_t(i)].frame, items[size_t(first)].index, i - first + 1)) ok = false;
        if (changed.empty() || changed.back() != items[size_t(i)].frame) changed.push_back(items[size_t(i)].frame);
        i = first - 1;
    }
    // Only the entries of the frames that changed are made anew (the others' records did not
    // move): a task deleting after every group would otherwise rebuild the whole cell each time.
    // A cell's entries lie frame after frame, so each frame's entries are one stretch of the list.
    for (uint8_t* frame : changed) {
        int start = 0;
        while (start < GetCount() && GetItemAt(start)->GetFrame() != frame) ++start;
        int end = start;
        while (end < GetCount() && GetItemAt(end)->GetFrame() == frame) ++end;
        for (int i = end - 1; i >= start; --i) ClearItemAt(i);
        std::vector<__FCBase*> fresh;
        FCNoteEntry* previous = nullptr;
        for (int i = 0; i < fcframe::EntryCount(frame); ++i) {
            FCNoteEntry* entry = new FCNoteEntry(frame, fcframe::EntryAt(frame, i), staff_);
            entry->SetPrevious(previous);
            if (previous) previous->SetNext(entry);
            fresh.push_back(entry);
            previous = entry;
        }
        if (!fresh.empty()) InsertItemsAt(fresh.data(), int(fresh.size()), start);
    }
    return ok;
}
