#include "framework/core/FCNumber.h"

#include <climits>
#include <cmath>

void FCNumber::SetFloat(double value) {
    float_ = float(value);
    // The integer comes from the given value, not the float, so every int survives unchanged.
    const double whole = std::trunc(value);
    if (std::isnan(whole))
        int_ = 0;
    else if (whole >= double(INT_MAX))
        int_ = INT_MAX;
    else if (whole <= double(INT_MIN))
        int_ = INT_MIN;
    else
        int_ = int(whole);
}

FCNumber* FCNumbers::AddNumber(double value) {
    FCNumber* number = new FCNumber(value);
    Add(number);
    return number;
}
