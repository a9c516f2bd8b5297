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
