// A staff style assigned to a span of one staff (tag O\x02Sy, keyed by staff and incidence), and
// FCStaffStyleAssigns, the owning collection of one staff's assignments.
#pragma once

#include "framework/host/__FCCollectionData.h"
#include "framework/host/__FCInciOther.h"

class FCStaffStyleAssign : public __FCInciOther {
public:
    static constexpr uint32_t kTag = FXTag('O', '\x02', 'S', 'y');
    static constexpr uint32_t kDataSize = 24;

    FCStaffStyleAssign();
    FC_CLASS_INFO(FCStaffStyleAssign)

    void* GetDataPointer() override { return data_; }
    __FCBaseData* CreateObject() override { return new FCStaffStyleAssign; }
    uint32_t GetTag() override { return kTag; }
    uint32_t GetDataSize() override { return kDataSize; }
    bool CopyDataFrom(__FCBaseData* other) override { return CopyDataInto(other, data_, kDataSize); }
    // The staff is the item number; measure and position are those of the start.
    int GetStaff() override { return GetKeyWord(0); }
    int GetMeasure() override { return GetStartMeasure(); }
    bool HasMeasurePos() override { return true; }
    int GetMeasurePos() override { return GetStartMeasurePos(); }

    int GetStyleNumber() const;
    void SetStyleNumber(int style);
    int GetStartMeasure() const;
    void SetStartMeasure(int measure);
    int32_t GetStartMeasurePos() const;
    void SetStartMeasurePos(int32_t position);
    int GetEndMeasure() const;
    void SetEndMeasure(int measure);
    int32_t GetEndMeasurePos() const;
    void SetEndMeasurePos(int32_t position);

private:
    uint8_t data_[kDataSize];
};

class FCStaffStyleAssigns : public __FCCollectionInciOther {
public:
    FC_CLASS_INFO(FCStaffStyleAssigns)
    __FCBaseData* CreateElement() override { return new FCStaffStyleAssign; }
    FCStaffStyleAssign* GetItemAt(int i) const { return ItemAs<FCStaffStyleAssign>(i); }
};
