// One staff of a system (tag SOIu, keyed by system number and incidence) with its size in percent,
// kept by the host in a second record (tag dtLP). System 0 is the staff list of the current part
// in score order; systems 1 and up are laid-out systems. FCSystemStaves owns the staves of one
// system.
#pragma once

#include "framework/host/__FCCollectionData.h"
#include "framework/host/__FCInciOther.h"

class FCSystemStaff : public __FCInciOther {
public:
    static constexpr uint32_t kTag = FXTag('S', 'O', 'I', 'u');
    static constexpr uint32_t kDataSize = 24;
    static constexpr int kStaffOffset = 0;
    // The staff size record: key (system, staff, 0), first word the size in percent.
    static constexpr uint32_t kSizeTag = FXTag('d', 't', 'L', 'P');
    static constexpr uint32_t kSizeDataSize = 10;
    static constexpr int kDefaultStaffSize = 100;

    FCSystemStaff();
    FC_CLASS_INFO(FCSystemStaff)

    void* GetDataPointer() override { return data_; }
    __FCBaseData* CreateObject() override { return new FCSystemStaff; }
    uint32_t GetTag() override { return kTag; }
    uint32_t GetDataSize() override { return kDataSize; }
    // Copies the staff size as well.
    bool CopyDataFrom(__FCBaseData* other) override;
    // Loads the record, then the staff size (100 when the system has no size record for it).
    bool Load(uint16_t system, uint16_t inci) override;
    // Creates the record, then writes (or, at 100 percent, removes) the size record.
    bool SaveNew(uint16_t system) override;
    // Saves the record and the size record.
    bool Save() override;
    int GetStaff() override { return fcdata::Read<int16_t>(data_, kStaffOffset); }

    void SetStaff(int staff) { fcdata::Write<int16_t>(data_, kStaffOffset, int16_t(staff)); }
    int GetStaffSize() const { return staffSize_; }
    void SetStaffSize(int percent) { staffSize_ = percent; }

private:
    bool SaveStaffSize();

    uint8_t data_[kDataSize];
    int staffSize_;
};

class FCSystemStaves : public __FCCollectionInciOther {
public:
    FC_CLASS_INFO(FCSystemStaves)
    __FCBaseData* CreateElement() override { return new FCSystemStaff; }
    FCSystemStaff* GetItemAt(int i) const { return ItemAs<FCSystemStaff>(i); }
    // The first element that holds the staff, or null (the collection keeps ownership).
    FCSystemStaff* FindStaff(int staff) const;
};
