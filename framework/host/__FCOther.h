// "Other" records: records identified by an item number ("cmper"), with or without an incidence.
#pragma once

#include "framework/host/__FCBaseData.h"

class __FCOther : public __FCBaseData {
public:
    const char* ClassName() const override { return "__FCOther"; }
    // Writes key words 0 and 1.
    void SetKey(uint16_t cmper, uint16_t inci) {
        SetKeyWord(0, cmper);
        SetKeyWord(1, inci);
    }
};
