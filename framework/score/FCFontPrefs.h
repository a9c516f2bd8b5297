// One font preference of the document (tag pfdf; the preference number chooses the font, 27 is
// the articulation font): font number, size and effects.
#pragma once

#include "framework/host/__FCPrefsBase.h"

class FCFontInfo;

class FCFontPrefs : public __FCPrefsBase {
public:
    static constexpr uint32_t kTag = FXTag('p', 'f', 'd', 'f');
    static constexpr uint32_t kDataSize = 6;
    static constexpr uint16_t kArticulationFont = 27;

    FCFontPrefs();
    FC_CLASS_INFO(FCFontPrefs)

    void* GetDataPointer() override { return data_; }
    __FCBaseData* CreateObject() override { return new FCFontPrefs; }
    uint32_t GetTag() override { return kTag; }
    uint32_t GetDataSize() override { return kDataSize; }
    bool CopyDataFrom(__FCBaseData* other) override { return CopyDataInto(other, data_, kDataSize); }

    int GetFontNumber() const { return fcdata::Read<int16_t>(data_, 0); }
    void SetFontNumber(int number) { fcdata::Write<int16_t>(data_, 0, int16_t(number)); }
    int GetFontSize() const { return fcdata::Read<int16_t>(data_, 2); }
    void SetFontSize(int size) { fcdata::Write<int16_t>(data_, 2, int16_t(size)); }
    uint16_t GetFontEffects() const { return fcdata::Read<uint16_t>(data_, 4); }
    void SetFontEffects(uint16_t effects) { fcdata::Write<uint16_t>(data_, 4, effects); }

    // Name (the host's name for the font number, "Times New Roman" when it has none), number,
    // size and effects; false when the preference is not loaded.
    bool GetFontInfo(FCFontInfo* destination) const;

private:
    uint8_t data_[kDataSize];
};
