#include "framework/score/FCSystemStaff.h"

#include <cstring>

FCSystemStaff::FCSystemStaff() : staffSize_(kDefaultStaffSize) { UseClearedData(data_, kDataSize); }

bool FCSystemStaff::CopyDataFrom(__FCBaseData* other) {
    FCSystemStaff* source = dynamic_cast<FCSystemStaff*>(other);
    if (!CopyDataInto(other, data_, kDataSize)) return false;
    if (source) staffSize_ = source->staffSize_;
    return true;
}

bool FCSystemStaff::Load(uint16_t system, uint16_t inci) {
    staffSize_ = kDefaultStaffSize;
    if (!__FCInciOther::Load(system, inci)) return false;
    // System 0 is the staff list, not a laid-out system: its staves have no size record.
    if (system == 0) return true;
    FXKey key = {{system, uint16_t(GetStaff()), 0, 0}};
    uint8_t record[kSizeDataSize] = {0};
    uint32_t size = kSizeDataSize;
    if (hostapi::FX_LoadEData(kSizeTag, &key, record, &size, kDefaultDataVersion))
        staffSize_ = fcdata::Read<int16_t>(record, 0);
    return true;
}

bool FCSystemStaff::SaveStaffSize() {
    const uint16_t system = GetKeyWord(0);
    if (system == 0) return true;
    FXKey key = {{system, uint16_t(GetStaff()), 0, 0}};
    if (staffSize_ == kDefaultStaffSize) {
        hostapi::FX_DeleteEData(kSizeTag, &key, kDefaultDataVersion);  // absent already is fine
        return true;
    }
    uint8_t record[kSizeDataSize] = {0};
    fcdata::Write<int16_t>(record, 0, int16_t(staffSize_));
    return hostapi::FX_SaveEData(kSizeTag, &key, record, kSizeDataSize, kDefaultDataVersion) != 0;
}

bool FCSystemStaff::SaveNew(uint16_t system) {
    if (!__FCInciOther::SaveNew(system)) return false;
    return SaveStaffSize();
}

bool FCSystemStaff::Save() {
    if (!__FCInciOther::Save()) return false;
    return SaveStaffSize();
}

FCSystemStaff* FCSystemStaves::FindStaff(int staff) const {
    for (int i = 0; i < GetCount(); ++i) {
        FCSystemStaff* element = GetItemAt(i);
        if (element && element->GetStaff() == staff) return element;
    }
    return nullptr;
}
