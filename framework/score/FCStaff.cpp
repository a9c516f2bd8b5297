#include "framework/score/FCStaff.h"

#include <cstring>

FCStaff::FCStaff() { std::memset(data_, 0, sizeof data_); }

bool FCStaff::LoadFirst() {
    if (Load(1)) return true;
    FXKey key = {{1, 0, 0, 0}};
    if (!hostapi::FX_NextEData(GetTag(), &key, nullptr, nullptr, GetDataVersion())) return false;
    return Load(key.words[0]);
}
