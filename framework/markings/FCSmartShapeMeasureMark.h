// The host's note that a smart shape touches a measure (keyed by measure and incidence): the
// shape's number and, in a measure strictly between the shape's ends, its centre shape's number
// (0 otherwise). FCSmartShapeMeasureMarks owns the marks of one measure, or of a region with
// each shape once, and narrows them the way the tasks need.
#pragma once

#include "framework/host/__FCCollectionData.h"
#include "framework/host/__FCInciOther.h"

class FCMusicRegion;
class FCSmartShape;

class FCSmartShapeMeasureMark : public __FCInciOther {
public:
    static constexpr uint32_t kTag = 0x6F744D78;
    static constexpr uint32_t kDataSize = 12;

    FCSmartShapeMeasureMark();
    FC_CLASS_INFO(FCSmartShapeMeasureMark)

    void* GetDataPointer() override { return data_; }
    __FCBaseData* CreateObject() override { return new FCSmartShapeMeasureMark; }
    uint32_t GetTag() override { return kTag; }
    uint32_t GetDataSize() override { return kDataSize; }
    bool CopyDataFrom(__FCBaseData* other) override { return CopyDataInto(other, data_, kDataSize); }
    bool Reload() override;
    int GetMeasure() override { return GetKeyWord(0); }

    int GetShapeNumber() const;
    void SetShapeNumber(int number);
    int GetCenterShapeNumber() const;
    void SetCenterShapeNumber(int number);

    // The mark's shape as a new object owned by the caller, with its centre shapes when asked;
    // null for shape number 0 or a shape that cannot be loaded.
    FCSmartShape* CreateSmartShape(bool withCenterShapes = true) const;

private:
    uint8_t data_[kDataSize];
};

class FCSmartShapeMeasureMarks : public __FCCollectionInciOther {
public:
    FC_CLASS_INFO(FCSmartShapeMeasureMarks)
    __FCBaseData* CreateElement() override { return new FCSmartShapeMeasureMark; }
    FCSmartShapeMeasureMark* GetItemAt(int i) const { return ItemAs<FCSmartShapeMeasureMark>(i); }

    // The marks of every measure from first to last, each shape once, in the order of its first
    // mark; the new count.
    int LoadAllForMeasures(int first, int last);
    // LoadAllForMeasures over the region's measures.
    int LoadAllForRegion(const FCMusicRegion* region);
    // Removes later marks of a shape already in the list; the number removed.
    int RemoveDuplicateShapes();
    // Keeps only marks whose shape is a hairpin (and marks whose shape cannot be loaded).
    void KeepHairpinsOnly();
    // Keeps only marks whose shape has its left or right segment on the staff (and marks whose
    // shape cannot be loaded).
    void KeepStaffOnly(int staff);
    // True when a mark of the list refers to the shape number.
    bool HasShapeNumber(int number) const;
};
