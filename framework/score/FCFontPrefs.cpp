#include "framework/score/FCFontPrefs.h"

#include "framework/core/FCFontInfo.h"

#include <cstring>

FCFontPrefs::FCFontPrefs() { std::memset(data_, 0, sizeof data_); }

bool FCFontPrefs::GetFontInfo(FCFontInfo* destination) const {
    if (!destination || !IsLoaded()) return false;
    char name[256] = {0};
    if (hostapi::FX_FontNumToName(int16_t(GetFontNumber()), name, sizeof name, kFXInterfaceVersion) && name[0])
        destination->SetName(name);
    else
        destination->SetName("Times New Roman");
    destination->SetNameNumber(int16_t(GetFontNumber()));
    destination->SetSize(float(GetFontSize()));
    destination->SetEffects(GetFontEffects());
    return true;
}
