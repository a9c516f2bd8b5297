// The miscellaneous document preferences (tag pfMI, number 1). The host keeps their values in
// small other records; the structure is assembled from them and written back through the
// framework's emulation table.
#pragma once

#include "framework/host/__FCPrefsBase.h"

class FCMiscDocPrefs : public __FCPrefsBase {
public:
    static constexpr uint32_t kTag = FXTag('p', 'f', 'M', 'I');
    static constexpr uint32_t kDataSize = 102;
    static constexpr int kBeamFlagsOffset = 18;
    static constexpr uint16_t kBeamOverRests = 0x0001;
    static constexpr uint16_t kBeamFourEighthsInCommonTime = 0x0008;

    FCMiscDocPrefs();
    FC_CLASS_INFO(FCMiscDocPrefs)

    void* GetDataPointer() override { return data_; }
    __FCBaseData* CreateObject() override { return new FCMiscDocPrefs; }
    uint32_t GetTag() override { return kTag; }
    uint32_t GetDataSize() override { return kDataSize; }
    bool CopyDataFrom(__FCBaseData* other) override { return CopyDataInto(other, data_, kDataSize); }

    uint16_t GetBeamFlags() const { return fcdata::Read<uint16_t>(data_, kBeamFlagsOffset); }
    void SetBeamFlags(uint16_t flags) { fcdata::Write<uint16_t>(data_, kBeamFlagsOffset, flags); }
    bool GetBeamOverRests() const { return (GetBeamFlags() & kBeamOverRests) != 0; }
    void SetBeamOverRests(bool state) { SetFlag(kBeamOverRests, state); }
    // Four eighth notes of a 4/4 measure beamed as one group.
    bool GetBeamFourEighthsInCommonTime() const { return (GetBeamFlags() & kBeamFourEighthsInCommonTime) != 0; }
    void SetBeamFourEighthsInCommonTime(bool state) { SetFlag(kBeamFourEighthsInCommonTime, state); }

private:
    void SetFlag(uint16_t mask, bool state) {
        SetBeamFlags(state ? uint16_t(GetBeamFlags() | mask) : uint16_t(GetBeamFlags() & ~mask));
    }

    uint8_t data_[kDataSize];
};
