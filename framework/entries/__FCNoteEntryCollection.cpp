#include "framework/entries/__FCNoteEntryCollection.h"

#include "framework/host/hostapi.h"

FCNoteEntry* __FCNoteEntryCollection::FindEntryNumber(int32_t number) const {
    for (int i = 0; i < GetCount(); ++i)
        if (GetItemAt(i) && GetItemAt(i)->GetEntryNumber() == number) return GetItemAt(i);
    return nullptr;
}

FCNoteEntry* __FCNoteEntryCollection::AppendFrameEntries(uint8_t* frame, int staff, FCNoteEntry* previous) {
    for (int i = 0; i < fcframe::EntryCount(frame); ++i) {
        FCNoteEntry* entry = new FCNoteEntry(frame, fcframe::EntryAt(frame, i), staff);
        entry->SetPrevious(previous);
        if (previous) previous->SetNext(entry);
        Add(entry);
        previous = entry;
    }
    return previous;
}

void __FCNoteEntryCollection::RebuildFromFrames(const std::vector<uint8_t*>& frames, int staff, bool linkAcrossFrames) {
    ClearAll();
    FCNoteEntry* previous = nullptr;
    for (uint8_t* frame : frames) {
        if (!frame) continue;
        FCNoteEntry* last = AppendFrameEntries(frame, staff, linkAcrossFrames ? previous : nullptr);
        if (last) previous = last;
    }
}

void __FCNoteEntryCollection::FreeFrames(std::vector<uint8_t*>& frames) {
    for (uint8_t* frame : frames)
        if (frame) hostapi::FX_FreeTGF(frame, kFXInterfaceVersion);
    frames.clear();
}

bool __FCNoteEntryCollection::DeleteZeroDurationRun(uint8_t* frame, int index, int count) {
    if (!frame || fcframe::IsLocked(frame) || count <= 0) return true;
    return hostapi::FX_DeleteEXENTRY(frame, int16_t(index), int16_t(count), kFXInterfaceVersion) != 0 &&
           hostapi::FX_SaveTGF(frame, kFXInterfaceVersion) != 0;
}

FCNoteEntries::~FCNoteEntries() {
    if (!owns_) ClearView();
}

void FCNoteEntries::ClearView() {
    if (owns_) {
        ClearAll();
        return;
    }
    while (GetCount() > 0) DetachItemAt(GetCount() - 1);
}
