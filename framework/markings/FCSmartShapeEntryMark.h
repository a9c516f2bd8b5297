// The host's note that a smart shape ends on an entry (keyed by entry number and incidence):
// the shape's number. FCSmartShapeEntryMarks owns the marks of one entry.
#pragma once

#include "framework/host/__FCCollectionData.h"
#include "framework/host/__FCEntryDetail.h"

class FCSmartShape;

class FCSmartShapeEntryMark : public __FCEntryDetail {
public:
    static constexpr uint32_t kTag = 0x65644578;
    static constexpr uint32_t kDataSize = 10;

    FCSmartShapeEntryMark();
    FC_CLASS_INFO(FCSmartShapeEntryMark)

    void* GetDataPointer() override { return data_; }
    __FCBaseData* CreateObject() override { return new FCSmartShapeEntryMark; }
    uint32_t GetTag() override { return kTag; }
    uint32_t GetDataSize() override { return kDataSize; }
    bool CopyDataFrom(__FCBaseData* other) override { return CopyDataInto(other, data_, kDataSize); }
    bool Reload() override;
    // Sets or clears the entry's smart-shape flag.
    void SetEntryFlag(FCNoteEntry* entry, bool state) override;

    int GetShapeNumber() const;
    void SetShapeNumber(int number);
    // The mark's shape as a new object owned by the caller (no centre shapes); null when none.
    FCSmartShape* CreateSmartShape() const;

private:
    uint8_t data_[kDataSize];
};

class FCSmartShapeEntryMarks : public __FCCollectionEntryDetail {
public:
    explicit FCSmartShapeEntryMarks(FCNoteEntry* entry = nullptr) : __FCCollectionEntryDetail(entry) {}
    FC_CLASS_INFO(FCSmartShapeEntryMarks)
    __FCBaseData* CreateElement() override { return new FCSmartShapeEntryMark; }
    FCSmartShapeEntryMark* GetItemAt(int i) const { return ItemAs<FCSmartShapeEntryMark>(i); }
    // The marks of an entry number (no entry object needed); the new count.
    int LoadAllForEntryNumber(int32_t entnum);
};
