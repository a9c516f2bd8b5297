#include "framework/score/FCStaffSystem.h"

#include <cstring>

// A new system holds a zeroed structure and can be created without a load.
FCStaffSystem::FCStaffSystem() {
    std::memset(data_, 0, sizeof data_);
    SetFixedData(data_, kDataSize);
}

int32_t FCStaffSystem::GetLoadedSize() {
    const int32_t size = __FCNoInciOther::GetLoadedSize();
    return size > int32_t(kDataSize) ? int32_t(kDataSize) : size;
}
