// One staff in one measure: the key of cell details, with the cell's own time and key signature.
#pragma once

#include "framework/core/__FCBase.h"

#include <cstdint>

class FCCell : public __FCBase {
public:
    FCCell(int measure, int staff) : measure_(measure), staff_(staff) {}
    FC_CLASS_INFO(FCCell)

    int GetMeasure() const { return measure_; }
    int GetStaff() const { return staff_; }

private:
    int32_t measure_;
    int32_t staff_;
};
