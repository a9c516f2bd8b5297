// One laid-out staff system (tag SOSS, item number = system number from 1): the run of measures
// it holds. FCStaffSystems is the owning collection of every system of the current part's layout.
#pragma once

#include "framework/host/__FCCollectionData.h"
#include "framework/host/__FCNoInciOther.h"

class FCStaffSystem : public __FCNoInciOther {
public:
    static constexpr uint32_t kTag = FXTag('S', 'O', 'S', 'S');
    static constexpr uint32_t kDataSize = 28;
    static constexpr int kFirstMeasureOffset = 8;
    static constexpr int kNextSystemMeasureOffset = 12;
    static_assert(kNextSystemMeasureOffset + 2 <= int(kDataSize), "staff system record is 28 bytes");

    FCStaffSystem();
    FC_CLASS_INFO(FCStaffSystem)

    void* GetDataPointer() override { return data_; }
    __FCBaseData* CreateObject() override { return new FCStaffSystem; }
    uint32_t GetTag() override { return kTag; }
    uint32_t GetDataSize() override { return kDataSize; }
    bool CopyDataFrom(__FCBaseData* other) override { return CopyDataInto(other, data_, kDataSize); }

    int GetFirstMeasure() const { return fcdata::Read<int16_t>(data_, kFirstMeasureOffset); }
    void SetFirstMeasure(int measure) { fcdata::Write<int16_t>(data_, kFirstMeasureOffset, int16_t(measure)); }
    // The first measure after the system (one past its last measure).
    int GetNextSystemMeasure() const { return fcdata::Read<int16_t>(data_, kNextSystemMeasureOffset); }
    void SetNextSystemMeasure(int measure) {
        fcdata::Write<int16_t>(data_, kNextSystemMeasureOffset, int16_t(measure));
    }

private:
    uint8_t data_[kDataSize];
};

class FCStaffSystems : public __FCCollectionNoInciOther {
public:
    FC_CLASS_INFO(FCStaffSystems)
    __FCBaseData* CreateElement() override { return new FCStaffSystem; }
    FCStaffSystem* GetItemAt(int i) const { return ItemAs<FCStaffSystem>(i); }
};
