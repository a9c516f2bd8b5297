#include "framework/score/FCGeneralPrefs.h"

#include <cstring>

FCGeneralPrefs::FCGeneralPrefs() { std::memset(data_, 0, sizeof data_); }
