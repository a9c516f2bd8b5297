#include "framework/markings/FCSmartShape.h"

#include "framework/entries/FCNoteEntry.h"
#include "framework/markings/FCSmartShapeEntryMark.h"
#include "framework/markings/FCSmartShapeMeasureMark.h"
#include "framework/score/FCMeasure.h"

#include <cstring>

namespace {

// Shape record.
constexpr int kType = 0;
constexpr int kFlags = 2;
constexpr int kLeftSegment = 6;
constexpr int kRightSegment = 36;
static_assert(kRightSegment + FCSmartShapeSegment::kSize <= int(FCSmartShape::kDataSize), "shape record, 92 bytes");

// Segment, inside the shape record.
constexpr int kSegStaff = 0;
constexpr int kSegMeasure = 2;
constexpr int kSegPosition = 4;
constexpr int kSegOffsetY = 10;
constexpr int kSegFlags = 12;
static_assert(kSegFlags + 2 <= FCSmartShapeSegment::kSize, "segment, 30 bytes");

bool IsValidItem(int number) { return number >= 1 && number < 0xFFFF; }

}  // namespace

// --- FCSmartShapeSegment ---

int FCSmartShapeSegment::GetStaff() const { return fcdata::Read<int16_t>(data_, kSegStaff); }
void FCSmartShapeSegment::SetStaff(int staff) { fcdata::Write<int16_t>(data_, kSegStaff, int16_t(staff)); }
int FCSmartShapeSegment::GetMeasure() const { return fcdata::Read<uint16_t>(data_, kSegMeasure); }
void FCSmartShapeSegment::SetMeasure(int measure) { fcdata::Write<uint16_t>(data_, kSegMeasure, uint16_t(measure)); }
int32_t FCSmartShapeSegment::GetMeasurePos() const { return fcdata::Read<int32_t>(data_, kSegPosition); }
void FCSmartShapeSegment::SetMeasurePos(int32_t position) { fcdata::Write<int32_t>(data_, kSegPosition, position); }
int32_t FCSmartShapeSegment::GetEntryNumber() const { return fcdata::Read<int32_t>(data_, kSegPosition); }

void FCSmartShapeSegment::SetEntry(FCNoteEntry* entry) {
    fcdata::Write<int32_t>(data_, kSegPosition, entry ? entry->GetEntryNumber() : 0);
    if (entry) entry->SetSmartShapeFlag(true);
}

int FCSmartShapeSegment::GetEndpointOffsetY() const { return fcdata::Read<int16_t>(data_, kSegOffsetY); }
void FCSmartShapeSegment::SetEndpointOffsetY(int offset) {
    fcdata::Write<int16_t>(data_, kSegOffsetY, int16_t(offset));
}
uint16_t FCSmartShapeSegment::GetFlags() const { return fcdata::Read<uint16_t>(data_, kSegFlags); }
void FCSmartShapeSegment::SetFlags(uint16_t flags) { fcdata::Write<uint16_t>(data_, kSegFlags, flags); }

// --- FCCenterSmartShape ---

FCCenterSmartShape::FCCenterSmartShape() { UseClearedData(data_, kDataSize); }

bool FCCenterSmartShape::Reload() {
    std::memset(data_, 0, sizeof data_);
    return __FCNoInciDetail::Reload();
}

bool FCCenterSmartShape::SaveNew(int shapeNumber) {
    if (!IsValidItem(shapeNumber)) return false;
    FXKey key = {{uint16_t(shapeNumber), 0xFFFF, 0, 0}};
    if (!hostapi::FX_CreateEData(GetTag(), &key, data_, kDataSize, GetDataVersion())) return false;
    // A host that does not report the key leaves the request in it: the new centre is the last.
    if (key.words[1] == 0xFFFF) {
        FXKey probe = {{uint16_t(shapeNumber), 0, 0, 0}};
        FXKey last = probe;
        bool found = false;
        while (hostapi::FX_NextEData(GetTag(), &probe, nullptr, nullptr, GetDataVersion()) &&
               probe.words[0] == shapeNumber) {
            last = probe;
            found = true;
        }
        if (!found) return false;
        key = last;
    }
    SetKeyBlock(key);
    SetLoadedSize(int32_t(kDataSize));
    return true;
}

// --- FCSmartShape ---

FCSmartShape::FCSmartShape() : left_(nullptr), right_(nullptr) {
    std::memset(data_, 0, sizeof data_);
    fcdata::Write<uint32_t>(data_, kFlags, kInitialFlags);
    SetFixedData(data_, kDataSize);
}

FCSmartShape::~FCSmartShape() {
    delete left_;
    delete right_;
}

bool FCSmartShape::Reload() {
    std::memset(data_, 0, sizeof data_);
    return __FCNoInciOther::Reload();
}

int FCSmartShape::GetShapeType() const { return fcdata::Read<int16_t>(data_, kType); }
void FCSmartShape::SetShapeType(int type) { fcdata::Write<int16_t>(data_, kType, int16_t(type)); }
uint32_t FCSmartShape::GetFlags() const { return fcdata::Read<uint32_t>(data_, kFlags); }
void FCSmartShape::SetFlags(uint32_t flags) { fcdata::Write<uint32_t>(data_, kFlags, flags); }

void FCSmartShape::SetFlagBits(uint32_t mask, bool state) {
    const uint32_t flags = GetFlags();
    SetFlags(state ? (flags | mask) : (flags & ~mask));
}

FCSmartShapeSegment* FCSmartShape::GetLeftSegment() {
    if (!left_) left_ = new FCSmartShapeSegment(data_ + kLeftSegment, this, true);
    return left_;
}

FCSmartShapeSegment* FCSmartShape::GetRightSegment() {
    if (!right_) right_ = new FCSmartShapeSegment(data_ + kRightSegment, this, false);
    return right_;
}

void FCSmartShape::SetStaff(int staff) {
    GetLeftSegment()->SetStaff(staff);
    GetRightSegment()->SetStaff(staff);
}

void FCSmartShape::ApplyMeasureAttachedPreset() {
    SetEntryAttached(false);
    SetFlagBits(kFlag8000 | kFlag0400 | kFlag0200, true);
    SetFlagBits(kFlag10000000 | kFlag0100, false);
    if (hostapi::GetHostVersion() >= kSegmentPresetVersion) {
        GetLeftSegment()->SetFlags(uint16_t(GetLeftSegment()->GetFlags() | FCSmartShapeSegment::kFlagMeasurePreset));
        GetRightSegment()->SetFlags(uint16_t(GetRightSegment()->GetFlags() | FCSmartShapeSegment::kFlagMeasurePreset));
    }
}

void FCSmartShape::ApplyEntryAttachedPreset() {
    SetEntryAttached(true);
    SetFlagBits(kFlag20000000 | kFlag8000 | kFlag0200 | kFlag0001, true);
    SetFlagBits(kFlag10000000 | kFlag0400 | kFlag0100, false);
}

void FCSmartShape::SetCodeBits(int code) {
    switch (code) {
        case 0:
            SetFlagBits(kFlagCode0020, true);
            SetFlagBits(kFlagCode0010, false);
            break;
        case 1:
            SetFlagBits(kFlagCode0020, false);
            SetFlagBits(kFlagCode0010, true);
            break;
        case 2:
            SetFlagBits(kFlagCode0020 | kFlagCode0010, false);
            break;
        default:
            break;
    }
}

bool FCSmartShape::IsHairpin() const {
    const int type = GetShapeType();
    return type == kTypeDecrescendo || type == kTypeCrescendo;
}

bool FCSmartShape::IsSlurFamilyType(int type) {
    switch (type) {
        case kTypeSlurDown:
        case kTypeSlurUp:
        case kTypeDashedSlurDown:
        case kTypeDashedSlurUp:
        case kTypeSlurAuto:
        case kTypeDashedSlurAuto:
        case kTypeDashedCurveDown:
        case kTypeDashedCurveUp:
        case kTypeDashedCurveAuto:
            return true;
        default:
            return false;
    }
}

bool FCSmartShape::IsSlurFamily() const { return IsSlurFamilyType(GetShapeType()); }

int FCSmartShape::CalcSlurType(bool solid) {
    if (solid) return kTypeSlurAuto;
    return hostapi::GetHostVersion() >= kDashedCurveVersion ? kTypeDashedCurveAuto : kTypeDashedSlurAuto;
}

void FCSmartShape::LoadCenterShapes() {
    centers_.ClearAll();
    const int number = GetShapeNumber();
    if (!IsLoaded() || !IsValidItem(number)) return;
    // Centre shapes lie only in measures strictly between the ends.
    if (GetRightSegment()->GetMeasure() - GetLeftSegment()->GetMeasure() < 2) return;
    FCSmartShapeMeasureMarks marks;
    for (int m = GetLeftSegment()->GetMeasure(); m <= GetRightSegment()->GetMeasure(); ++m) {
        if (!IsValidItem(m)) continue;
        marks.LoadAllForItem(uint16_t(m));
        for (int i = 0; i < marks.GetCount(); ++i) {
            const FCSmartShapeMeasureMark* mark = marks.GetItemAt(i);
            if (mark->GetShapeNumber() != number || mark->GetCenterShapeNumber() == 0) continue;
            FCCenterSmartShape* center = new FCCenterSmartShape;
            if (center->Load(uint16_t(number), uint16_t(mark->GetCenterShapeNumber())))
                centers_.Add(center);
            else
                delete center;
        }
    }
}

bool FCSmartShape::SaveNewEverything(FCNoteEntry* left, FCNoteEntry* right) {
    if (left) GetLeftSegment()->SetEntry(left);
    if (right) GetRightSegment()->SetEntry(right);
    const int first = GetLeftSegment()->GetMeasure();
    const int last = GetRightSegment()->GetMeasure();
    // Marks under measures that do not exist would point nowhere.
    if (!IsValidItem(first) || !IsValidItem(last) || last < first) return false;
    if (!SaveNew()) return false;
    if (GetKeyWord(0) == 0xFFFF) {
        // A host that does not report the key: the new shape has the highest number.
        FXKey probe = {{0, 0, 0, 0}};
        uint16_t highest = 0;
        while (hostapi::FX_NextEData(GetTag(), &probe, nullptr, nullptr, GetDataVersion())) highest = probe.words[0];
        if (!highest || !Load(highest)) return false;
    }
    const int number = GetShapeNumber();
    if (!IsValidItem(number)) return false;
    bool complete = true;
    for (int m = first; m <= last; ++m) {
        FCSmartShapeMeasureMark mark;
        mark.SetShapeNumber(number);
        if (m > first && m < last) {
            FCCenterSmartShape center;
            if (center.SaveNew(number))
                mark.SetCenterShapeNumber(center.GetCenterNumber());
            else
                complete = false;
        }
        if (!mark.SaveNew(uint16_t(m))) complete = false;
        FCMeasure measure;
        if (measure.Load(uint16_t(m))) {
            measure.SetHasSmartShapes(true);
            if (!measure.Save()) complete = false;
        }
    }
    FCNoteEntry* ends[2] = {left, right};
    for (FCNoteEntry* entry : ends) {
        if (!entry) continue;
        FCSmartShapeEntryMark mark;
        mark.ConnectToEntry(entry);
        mark.SetShapeNumber(number);
        if (!mark.SaveNew()) complete = false;
    }
    if (!complete) {
        // A shape without all its marks would confuse every later search: take it back whole.
        LoadCenterShapes();
        DeleteEverything();
        return false;
    }
    return true;
}

bool FCSmartShape::DeleteEverything() {
    if (!IsLoaded()) return false;
    const int number = GetShapeNumber();
    if (!IsValidItem(number)) return false;
    FCSmartShapeMeasureMarks marks;
    for (int m = GetLeftSegment()->GetMeasure(); m <= GetRightSegment()->GetMeasure(); ++m) {
        if (!IsValidItem(m)) continue;
        marks.LoadAllForItem(uint16_t(m));
        // From the last, so the lower incidences stay valid while the host renumbers.
        for (int i = marks.GetCount() - 1; i >= 0; --i)
            if (marks.GetItemAt(i)->GetShapeNumber() == number) marks.GetItemAt(i)->DeleteData();
    }
    if (IsEntryAttached()) {
        const int32_t ends[2] = {GetLeftSegment()->GetEntryNumber(), GetRightSegment()->GetEntryNumber()};
        for (int e = 0; e < 2; ++e) {
            if (ends[e] == 0 || (e == 1 && ends[1] == ends[0])) continue;
            FCSmartShapeEntryMarks entryMarks;
            entryMarks.LoadAllForEntryNumber(ends[e]);
            for (int i = entryMarks.GetCount() - 1; i >= 0; --i)
                if (entryMarks.GetItemAt(i)->GetShapeNumber() == number) entryMarks.GetItemAt(i)->DeleteData();
        }
    }
    for (int i = 0; i < centers_.GetCount(); ++i) centers_.GetItemAt(i)->DeleteData();
    centers_.ClearAll();
    return DeleteData();
}
