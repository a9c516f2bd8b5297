// One staff (tag SOIS, item number = the staff's permanent number) and FCStaves, the owning
// collection of every staff of the document in staff-number order.
#pragma once

#include "framework/host/__FCCollectionData.h"
#include "framework/score/__FCStaffBase.h"

class FCStaff : public __FCStaffBase {
public:
    static constexpr uint32_t kTag = FXTag('S', 'O', 'I', 'S');

    FCStaff();
    FC_CLASS_INFO(FCStaff)

    void* GetDataPointer() override { return data_; }
    __FCBaseData* CreateObject() override { return new FCStaff; }
    uint32_t GetTag() override { return kTag; }
    uint32_t GetDataSize() override { return StaffDataSize(hostapi::GetHostVersion()); }
    bool CopyDataFrom(__FCBaseData* other) override { return CopyDataInto(other, data_, sizeof data_); }

protected:
    uint32_t BufferSize() override { return sizeof data_; }

private:
    uint8_t data_[kStaffSize];
};

class FCStaves : public __FCCollectionNoInciOther {
public:
    FC_CLASS_INFO(FCStaves)
    __FCBaseData* CreateElement() override { return new FCStaff; }
    FCStaff* GetItemAt(int i) const { return ItemAs<FCStaff>(i); }
};
