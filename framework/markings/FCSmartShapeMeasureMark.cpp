#include "framework/markings/FCSmartShapeMeasureMark.h"

#include "framework/markings/FCSmartShape.h"
#include "framework/score/FCMusicRegion.h"

#include <cstring>
#include <memory>
#include <set>

namespace {

constexpr int kShapeNumber = 0;
constexpr int kCenterNumber = 2;
static_assert(kCenterNumber + 2 <= int(FCSmartShapeMeasureMark::kDataSize), "measure mark record, 12 bytes");

bool IsValidMeasure(int measure) { return measure >= 1 && measure < 0xFFFF; }

}  // namespace

FCSmartShapeMeasureMark::FCSmartShapeMeasureMark() { UseClearedData(data_, kDataSize); }

bool FCSmartShapeMeasureMark::Reload() {
    std::memset(data_, 0, sizeof data_);
    return __FCInciOther::Reload();
}

int FCSmartShapeMeasureMark::GetShapeNumber() const { return fcdata::Read<uint16_t>(data_, kShapeNumber); }
void FCSmartShapeMeasureMark::SetShapeNumber(int number) {
    fcdata::Write<uint16_t>(data_, kShapeNumber, uint16_t(number));
}
int FCSmartShapeMeasureMark::GetCenterShapeNumber() const { return fcdata::Read<uint16_t>(data_, kCenterNumber); }
void FCSmartShapeMeasureMark::SetCenterShapeNumber(int number) {
    fcdata::Write<uint16_t>(data_, kCenterNumber, uint16_t(number));
}

FCSmartShape* FCSmartShapeMeasureMark::CreateSmartShape(bool withCenterShapes) const {
    const int number = GetShapeNumber();
    if (number <= 0 || number >= 0xFFFF) return nullptr;
    std::unique_ptr<FCSmartShape> shape(new FCSmartShape);
    if (!shape->Load(uint16_t(number))) return nullptr;
    if (withCenterShapes) shape->LoadCenterShapes();
    return shape.release();
}

int FCSmartShapeMeasureMarks::LoadAllForMeasures(int first, int last) {
    ClearAll();
    FCSmartShapeMeasureMarks measure;
    measure.SetCustomTag(GetCustomTag());
    for (int m = first; m <= last; ++m) {
        if (!IsValidMeasure(m)) continue;
        measure.LoadAllForItem(uint16_t(m));
        MoveFrom(&measure, false);
    }
    RemoveDuplicateShapes();
    return GetCount();
}

int FCSmartShapeMeasureMarks::LoadAllForRegion(const FCMusicRegion* region) {
    if (!region || region->IsEmpty()) {
        ClearAll();
        return 0;
    }
    return LoadAllForMeasures(region->GetStartMeasure(), region->GetEndMeasure());
}

int FCSmartShapeMeasureMarks::RemoveDuplicateShapes() {
    std::set<int> seen;
    int removed = 0;
    for (int i = 0; i < GetCount();) {
        if (seen.insert(GetItemAt(i)->GetShapeNumber()).second) {
            ++i;
        } else {
            ClearItemAt(i);
            ++removed;
        }
    }
    return removed;
}

void FCSmartShapeMeasureMarks::KeepHairpinsOnly() {
    for (int i = GetCount() - 1; i >= 0; --i) {
        std::unique_ptr<FCSmartShape> shape(GetItemAt(i)->CreateSmartShape(false));
        if (shape && !shape->IsHairpin()) ClearItemAt(i);
    }
}

void FCSmartShapeMeasureMarks::KeepStaffOnly(int staff) {
    for (int i = GetCount() - 1; i >= 0; --i) {
        std::unique_ptr<FCSmartShape> shape(GetItemAt(i)->CreateSmartShape(false));
        if (shape && shape->GetLeftSegment()->GetStaff() != staff && shape->GetRightSegment()->GetStaff() != staff)
            ClearItemAt(i);
    }
}

bool FCSmartShapeMeasureMarks::HasShapeNumber(int number) const {
    for (int i = 0; i < GetCount(); ++i)
        if (GetItemAt(i)->GetShapeNumber() == number) return true;
    return false;
}
