// The key of a measure or cell: the host's 16-bit key value, carried in and out unchanged. A value
// object (tag 0) that never reaches the host by itself; measures and cells own theirs.
#pragma once

#include "framework/host/__FCBaseData.h"

class FCKeySignature : public __FCBaseData {
public:
    static constexpr uint32_t kDataSize = 2;

    explicit FCKeySignature(uint16_t keyValue = 0);
    FC_CLASS_INFO(FCKeySignature)

    void* GetDataPointer() override { return data_; }
    __FCBaseData* CreateObject() override { return new FCKeySignature; }
    uint32_t GetTag() override { return 0; }
    uint32_t GetDataSize() override { return kDataSize; }
    bool CopyDataFrom(__FCBaseData* other) override { return CopyDataInto(other, data_, kDataSize); }
    // A value object has no record of its own.
    bool LoadFirst() override { return false; }
    bool LoadNext() override { return false; }
    bool Reload() override { return false; }
    bool Save() override { return false; }
    bool DeleteData() override { return false; }

    uint16_t GetKeyValue() const { return fcdata::Read<uint16_t>(data_, 0); }
    void SetKeyValue(uint16_t value) { fcdata::Write<uint16_t>(data_, 0, value); }

private:
    uint8_t data_[kDataSize];
};
