#include "framework/score/FCMiscDocPrefs.h"

#include <cstring>

static_assert(FCMiscDocPrefs::kBeamFlagsOffset + 2 <= int(FCMiscDocPrefs::kDataSize), "pfMI structure is 102 bytes");

FCMiscDocPrefs::FCMiscDocPrefs() { std::memset(data_, 0, sizeof data_); }
