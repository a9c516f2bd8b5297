#include "framework/entries/_FCNoteEntryErase.h"

#include "framework/entries/EntryFrameLayout.h"
#include "framework/host/hostapi.h"

bool _FCNoteEntryErase::Erase() {
    const int index = fcframe::IndexOfEntryNumber(frame_, entryNumber_);
    if (index < 0 || fcframe::IsLocked(frame_)) return true;
    int count = 1;
    while (index + count < fcframe::EntryCount(frame_) &&
           fcdata::Read<int32_t>(fcframe::EntryAt(frame_, index + count), fcframe::kDuration) == 0)
        ++count;
    return hostapi::FX_DeleteEXENTRY(frame_, int16_t(index), int16_t(count), kFXInterfaceVersion) != 0 &&
           hostapi::FX_SaveTGF(frame_, kFXInterfaceVersion) != 0;
}
