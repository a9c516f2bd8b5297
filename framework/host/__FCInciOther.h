// Other records identified by item number and incidence (expressions, system staves, measure
// marks of smart shapes, ...).
#pragma once

#include "framework/host/__FCOther.h"

class __FCInciOther : public __FCOther {
public:
    const char* ClassName() const override { return "__FCInciOther"; }

    bool LoadFirst() override { return false; }
    // Loads incidences 0, 1, 2, ... of the current item into scratch space until one fails.
    int CalcLastInci() override;

    // slot 24
    virtual bool Load(uint16_t cmper, uint16_t inci);
    // slot 25: creates a new incidence at the end of the item; false when not loaded.
    virtual bool SaveNew(uint16_t cmper);
    // slots 26-29: generic questions any incidence other can answer.
    virtual int GetMeasure() { return 0; }
    virtual int GetStaff() { return 0; }
    virtual bool HasMeasurePos() { return false; }
    virtual int GetMeasurePos() { return 0; }

    // Key words 0 and 1 when loaded, else -1.
    int GetItemCmper() const { return IsLoaded() ? GetKeyWord(0) : -1; }
    int GetItemInci() const { return IsLoaded() ? GetKeyWord(1) : -1; }
};
