#include "framework/score/FCStaffSystem.h"

#include <cstring>

// A new system holds a zeroed structure and can be created without a load.
FCStaffSystem::FCStaffSystem() {
    std::memset(data_, 0, sizeof data_);
    SetFixedData(data_, kDataSize);
}

