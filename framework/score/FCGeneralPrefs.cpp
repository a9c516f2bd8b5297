#include "framework/score/FCGeneralPrefs.h"

#include <cstring>

FCGeneralPrefs::FCGeneralPrefs() { std::memset(data_, 0, sizeof data_); }

int32_t FCGeneralPrefs::GetLoadedSize() {
    const int32_t size = __FCPrefsBase::GetLoadedSize();
    return size > int32_t(kDataSize) ? int32_t(kDataSize) : size;
}
