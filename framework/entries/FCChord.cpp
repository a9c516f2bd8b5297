#include "framework/entries/FCChord.h"

#include "framework/entries/FCNoteEntry.h"
#include "framework/score/FCMeasure.h"
#include "framework/score/FCMusicRegion.h"

#include <cstring>

FCChord::FCChord() { UseClearedData(data_, kDataSize); }

bool FCChord::Reload() {
    std::memset(data_, 0, sizeof data_);
    return __FCCellDetail::Reload();
}

void FCChord::OnCreated() {
    FCMeasure measure;
    if (!measure.Load(uint16_t(GetMeasure())) || measure.GetHasChords()) return;
    measure.SetHasChords(true);
    measure.Save();
}

bool FCChord::GetShowAltBass() const { return (fcdata::Read<uint16_t>(data_, kFlagsOffset) & kShowAltBass) != 0; }

void FCChord::SetShowAltBass(bool state) {
    const uint16_t flags = fcdata::Read<uint16_t>(data_, kFlagsOffset);
    fcdata::Write<uint16_t>(data_, kFlagsOffset,
                            state ? uint16_t(flags | kShowAltBass) : uint16_t(flags & ~kShowAltBass));
}

int32_t FCChord::GetPosition() const { return fcdata::Read<int32_t>(data_, kPositionOffset); }

void FCChord::SetPosition(int32_t position) { fcdata::Write<int32_t>(data_, kPositionOffset, position); }

bool FCChord::AnalyzeAt(FCNoteEntry* entry) {
    if (!entry || entry->GetStaff() < 1 || entry->GetMeasure() < 1) return false;
    FCMusicRegion region;
    region.SetStaffListNumber(0);
    region.SetStartStaff(entry->GetStaff());
    region.SetEndStaff(entry->GetStaff());
    region.SetStartMeasure(entry->GetMeasure());
    region.SetEndMeasure(entry->GetMeasure());
    region.SetStartMeasurePos(entry->GetMeasurePos());
    region.SetEndMeasurePos(0x7FFFFFFF);
    uint8_t block[20];
    region.GetRegionData(block);
    uint8_t result[4] = {0, 0, 0, 0};
    if (!hostapi::FX_AnalyzeChord(block, data_, result, kFXInterfaceVersion)) return false;
    SetPosition(entry->GetMeasurePos());
    fcdata::Write<uint16_t>(data_, kAnalysisWordOffset, 0);
    return true;
}

FCChord* FCChords::FindAtPosition(int32_t position) const {
    for (int i = 0; i < GetCount(); ++i)
        if (GetItemAt(i) && GetItemAt(i)->GetPosition() == position) return GetItemAt(i);
    return nullptr;
}
