#include "framework/host/__FCNoInciOther.h"

bool __FCNoInciOther::Load(uint16_t cmper) {
    SetKey(cmper, 0);
    return Reload();
}

bool __FCNoInciOther::SaveAs(uint16_t cmper) {
    SetKey(cmper, 0);
    return Save();
}

bool __FCNoInciOther::SaveNew() {
    if (!IsLoaded()) return false;
    SetKey(0xFFFF, 0xFFFF);
    return hostapi::FX_CreateEData(GetTag(), &Key(), Data(), uint32_t(GetLoadedSize()), GetDataVersion()) != 0;
}

bool __FCNoInciOther::LoadFirst() {
    if (Load(1)) return true;
    FXKey key = {{1, 0, 0, 0}};
    if (!hostapi::FX_NextEData(GetTag(), &key, nullptr, nullptr, GetDataVersion())) return false;
    return Load(key.words[0]);
}
