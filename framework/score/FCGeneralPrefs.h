// The general document preferences (tag pfgp, number 1), of which the system reads the
// document's measurement unit.
#pragma once

#include "framework/host/__FCPrefsBase.h"

class FCGeneralPrefs : public __FCPrefsBase {
public:
    static constexpr uint32_t kTag = FXTag('p', 'f', 'g', 'p');
    static constexpr uint32_t kDataSize = 66;
    static constexpr uint32_t kDataVersion = 0x0D000000;
    static constexpr int kMeasurementUnitOffset = 30;
    static_assert(kMeasurementUnitOffset + 2 <= int(kDataSize), "pfgp structure is 66 bytes");

    FCGeneralPrefs();
    FC_CLASS_INFO(FCGeneralPrefs)

    void* GetDataPointer() override { return data_; }
    __FCBaseData* CreateObject() override { return new FCGeneralPrefs; }
    uint32_t GetTag() override { return kTag; }
    uint32_t GetDataVersion() override { return kDataVersion; }
    uint32_t GetDataSize() override { return kDataSize; }
    bool CopyDataFrom(__FCBaseData* other) override { return CopyDataInto(other, data_, kDataSize); }

    // 1 EVPUs, 2 inches, 3 centimeters, 4 points, 5 picas, 6 spaces.
    int GetMeasurementUnit() const { return fcdata::Read<int16_t>(data_, kMeasurementUnitOffset); }
    void SetMeasurementUnit(int unit) { fcdata::Write<int16_t>(data_, kMeasurementUnitOffset, int16_t(unit)); }

private:
    uint8_t data_[kDataSize];
};
