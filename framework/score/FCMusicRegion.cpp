#include "framework/score/FCMusicRegion.h"

#include "framework/entries/FCNoteEntry.h"
#include "framework/host/__FCBaseData.h"
#include "framework/host/hostapi.h"

#include <cstring>

namespace {

// Byte offsets of the host's region structure (2-byte packing).
constexpr int kStartList = 0;
constexpr int kStartSlot = 2;
constexpr int kStartMeasure = 4;
constexpr int kStartPos = 6;
constexpr int kEndList = 10;
constexpr int kEndSlot = 12;
constexpr int kEndMeasure = 14;
constexpr int kEndPos = 16;
static_assert(kEndPos + 4 == FCMusicRegion::kRegionDataSize, "the host's region structure is 20 bytes");

}  // namespace

FCMusicRegion::FCMusicRegion(const void* sourceRegionData) : documentID_(0) {
    std::memset(data_, 0, sizeof data_);
    if (sourceRegionData) {
        std::memcpy(data_, sourceRegionData, sizeof data_);
        documentID_ = hostapi::FX_GetCurrentEnigmaDocument(kFXInterfaceVersion);
    }
}

int16_t FCMusicRegion::Word(int offset) const { return fcdata::Read<int16_t>(data_, offset); }
void FCMusicRegion::SetWord(int offset, int value) { fcdata::Write<int16_t>(data_, offset, int16_t(value)); }
int32_t FCMusicRegion::Long(int offset) const { return fcdata::Read<int32_t>(data_, offset); }
void FCMusicRegion::SetLong(int offset, int32_t value) { fcdata::Write<int32_t>(data_, offset, value); }

bool FCMusicRegion::SetCurrentSelection() {
    // Without an answer from the host the region is empty rather than stale.
    std::memset(data_, 0, sizeof data_);
    uint8_t first[kRegionDataSize] = {0}, third[kRegionDataSize] = {0};
    const bool ok = hostapi::FX_GetCurERegions(first, data_, third, kFXInterfaceVersion) != 0;
    documentID_ = hostapi::FX_GetCurrentEnigmaDocument(kFXInterfaceVersion);
    return ok;
}

bool FCMusicRegion::SetFullDocument() {
    std::memset(data_, 0, sizeof data_);
    uint8_t first[kRegionDataSize] = {0}, second[kRegionDataSize] = {0};
    hostapi::FX_GetCurERegions(first, second, data_, kFXInterfaceVersion);
    documentID_ = hostapi::FX_GetCurrentEnigmaDocument(kFXInterfaceVersion);
    return true;
}

bool FCMusicRegion::SetAsSelection() {
    if (documentID_ != hostapi::FX_GetCurrentEnigmaDocument(kFXInterfaceVersion)) return false;
    return hostapi::FX_SetCurERegion(data_, kFXInterfaceVersion) != 0;
}

void FCMusicRegion::GetRegionData(void* destination) const {
    if (destination) std::memcpy(destination, data_, sizeof data_);
}

void FCMusicRegion::SetRegionData(const void* source) {
    if (source) std::memcpy(data_, source, sizeof data_);
}

int FCMusicRegion::GetStaffListNumber() const { return Word(kStartList); }
int FCMusicRegion::GetEndStaffListNumber() const { return Word(kEndList); }

void FCMusicRegion::SetStaffListNumber(int number) {
    SetWord(kStartList, number);
    SetWord(kEndList, number);
}

int FCMusicRegion::GetStartSlot() const { return Word(kStartSlot); }
int FCMusicRegion::GetEndSlot() const { return Word(kEndSlot); }
void FCMusicRegion::SetStartSlot(int slot) { SetWord(kStartSlot, slot); }
void FCMusicRegion::SetEndSlot(int slot) { SetWord(kEndSlot, slot); }
int FCMusicRegion::GetStartMeasure() const { return Word(kStartMeasure); }
void FCMusicRegion::SetStartMeasure(int measure) { SetWord(kStartMeasure, measure); }
int FCMusicRegion::GetEndMeasure() const { return Word(kEndMeasure); }
void FCMusicRegion::SetEndMeasure(int measure) { SetWord(kEndMeasure, measure); }
int32_t FCMusicRegion::GetStartMeasurePos() const { return Long(kStartPos); }
void FCMusicRegion::SetStartMeasurePos(int32_t edu) { SetLong(kStartPos, edu); }
int32_t FCMusicRegion::GetEndMeasurePos() const { return Long(kEndPos); }
void FCMusicRegion::SetEndMeasurePos(int32_t edu) { SetLong(kEndPos, edu); }

int FCMusicRegion::CalcStartStaff() const {
    return hostapi::FX_SlotToInst(Word(kStartSlot), Word(kStartList), kFXInterfaceVersion);
}

int FCMusicRegion::CalcEndStaff() const {
    return hostapi::FX_SlotToInst(Word(kEndSlot), Word(kEndList), kFXInterfaceVersion);
}

void FCMusicRegion::SetStartStaff(int staff) {
    SetWord(kStartSlot, hostapi::FX_InstToSlot(int16_t(staff), Word(kStartList), kFXInterfaceVersion));
}

void FCMusicRegion::SetEndStaff(int staff) {
    SetWord(kEndSlot, hostapi::FX_InstToSlot(int16_t(staff), Word(kEndList), kFXInterfaceVersion));
}

int FCMusicRegion::CalcStaffNumber(int slot) const {
    return hostapi::FX_SlotToInst(int16_t(slot), Word(kStartList), kFXInterfaceVersion);
}

int FCMusicRegion::CalcSlotNumber(int staff) const {
    return hostapi::FX_InstToSlot(int16_t(staff), Word(kStartList), kFXInterfaceVersion);
}

bool FCMusicRegion::IsEmpty() const {
    const int start = GetStartMeasure(), end = GetEndMeasure();
    if (start > end) return true;
    if (start == end && GetStartMeasurePos() >= GetEndMeasurePos()) return true;
    return start == 0 && end == 0;
}

bool FCMusicRegion::IsMeasureIncluded(int measure) const {
    return GetStartMeasure() <= measure && measure <= GetEndMeasure();
}

bool FCMusicRegion::IsSlotIncluded(int slot) const {
    return slot >= 1 && GetStartSlot() <= slot && slot <= GetEndSlot();
}

bool FCMusicRegion::IsStaffIncluded(int staff) const { return IsSlotIncluded(CalcSlotNumber(staff)); }

bool FCMusicRegion::IsMeasurePosIncluded(int measure, int32_t position) const {
    if (!IsMeasureIncluded(measure)) return false;
    if (measure == GetStartMeasure() && position < GetStartMeasurePos()) return false;
    if (measure == GetEndMeasure() && position > GetEndMeasurePos()) return false;
    return true;
}

bool FCMusicRegion::IsEntryIncluded(const FCNoteEntry* entry) const {
    if (!entry) return false;
    return IsMeasurePosIncluded(entry->GetMeasure(), entry->GetMeasurePos()) && IsStaffIncluded(entry->GetStaff());
}

bool FCMusicRegion::IsEqual(FCMusicRegion* other) {
    if (!other) return false;
    return GetStaffListNumber() == other->GetStaffListNumber() && CalcStartStaff() == other->CalcStartStaff() &&
           CalcEndStaff() == other->CalcEndStaff() && GetStartMeasure() == other->GetStartMeasure() &&
           GetEndMeasure() == other->GetEndMeasure() && GetStartMeasurePos() == other->GetStartMeasurePos() &&
           GetEndMeasurePos() == other->GetEndMeasurePos();
}

int32_t FCMusicRegion::MeasureDuration(int measure) const {
    if (measure < 1 || measure > 0x7FFF) return 0;
    return hostapi::FX_GetMeasureDuration(int16_t(CalcStartStaff()), int16_t(measure), kFXInterfaceVersion);
}

int32_t FCMusicRegion::CalcDuration() const {
    if (IsEmpty()) return 0;
    int32_t total = 0;
    for (int m = GetStartMeasure(); m <= GetEndMeasure(); ++m) {
        int32_t last = MeasureDuration(m) - 1;
        if (m == GetEndMeasure() && !IsEndMeasurePosMax()) last = GetEndMeasurePos();
        const int32_t first = m == GetStartMeasure() ? GetStartMeasurePos() : 0;
        total += last - first + 1;
    }
    return total;
}

bool FCMusicRegion::MoveStartToDuration(int32_t duration) {
    if (IsEmpty() || duration < 1) return false;
    int measure = GetEndMeasure();
    int32_t position = GetEndMeasurePos();
    if (position == kEndOfMeasure) position = MeasureDuration(measure);
    for (int32_t length = MeasureDuration(measure); length > 0; length = MeasureDuration(measure)) {
        const int32_t available = position > 0 ? position : length;
        if (available >= duration) {
            SetStartMeasure(measure);
            SetStartMeasurePos(available - duration);
            return true;
        }
        duration -= available;
        position = 0;
        --measure;
    }
    return false;
}

bool FCMusicRegion::MoveEndToDuration(int32_t duration) {
    if (IsEmpty() || duration < 1) return false;
    int measure = GetStartMeasure();
    int32_t position = GetStartMeasurePos();
    for (int32_t length = MeasureDuration(measure); length > 0; length = MeasureDuration(measure)) {
        if (length - position >= duration) {
            SetEndMeasure(measure);
            SetEndMeasurePos(position + duration);
            return true;
        }
        duration -= length - position;
        position = 0;
        ++measure;
    }
    return false;
}
