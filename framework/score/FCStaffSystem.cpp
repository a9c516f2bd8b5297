#include "framework/score/FCStaffSystem.h"

#include <cstring>

// A new system holds a zeroed structure and can be created without a load.
FCStaffSystem::FCStaffSystem() { UseClearedData(data_, kDataSize); }
