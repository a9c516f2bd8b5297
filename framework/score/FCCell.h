// One staff in one measure: the key of cell details, with the cell's own time and key signature
// (the staff's independent ones where the staff has them, else the measure's). The cell owns
// the time and key signature objects it hands out.
#pragma once

#include "framework/core/__FCBase.h"

#include <cstdint>
#include <memory>

class FCKeySignature;
class FCTimeSignature;

class FCCell : public __FCBase {
public:
    FCCell(int measure, int staff);
    ~FCCell() override;
    FCCell(const FCCell&) = delete;
    FCCell& operator=(const FCCell&) = delete;
    FC_CLASS_INFO(FCCell)

    int GetMeasure() const { return measure_; }
    int GetStaff() const { return staff_; }

    // The time signature in effect in this cell, refreshed from the document on every call.
    // When the measure cannot be loaded the previous values (all zero at first) are kept.
    FCTimeSignature* GetTimeSignature();
    // The key signature in effect in this cell, the same way.
    FCKeySignature* GetKeySignature();

private:
    bool LoadTimeSignature(FCTimeSignature* destination);
    bool LoadKeySignature(FCKeySignature* destination);

    int32_t measure_;
    int32_t staff_;
    std::unique_ptr<FCTimeSignature> timeSignature_;
    std::unique_ptr<FCKeySignature> keySignature_;
};
