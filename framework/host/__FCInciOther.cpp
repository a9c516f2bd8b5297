#include "framework/host/__FCInciOther.h"

#include <vector>

bool __FCInciOther::Load(uint16_t cmper, uint16_t inci) {
    SetKey(cmper, inci);
    return Reload();
}

bool __FCInciOther::SaveNew(uint16_t cmper) {
    if (!IsLoaded()) return false;
    SetKey(cmper, 0xFFFF);
    return hostapi::FX_CreateEData(GetTag(), &Key(), Data(), uint32_t(GetLoadedSize()), GetDataVersion()) != 0;
}

int __FCInciOther::CalcLastInci() {
    const uint32_t size = GetDataSize();
    std::vector<uint8_t> scratch(size ? size : 1);
    int last = -1;
    for (int inci = 0; inci < 0xFFFF; ++inci) {
        FXKey key = {{GetKeyWord(0), uint16_t(inci), GetKeyWord(2), GetKeyWord(3)}};
        uint32_t loaded = size;
        if (!hostapi::FX_LoadEData(GetTag(), &key, scratch.data(), &loaded, GetDataVersion())) break;
        last = inci;
    }
    return last;
}
