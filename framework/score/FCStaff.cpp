#include "framework/score/FCStaff.h"

#include <cstring>

FCStaff::FCStaff() { std::memset(data_, 0, sizeof data_); }
