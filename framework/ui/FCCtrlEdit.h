// An edit field: text, integer values and measurements (the host converts between the user's
// measurement unit and its internal units). Belongs to its window.
#pragma once

#include "framework/ui/FCControl.h"

class FCCtrlEdit : public FCControl {
public:
    explicit FCCtrlEdit(int id);

    FC_CLASS_INFO(FCCtrlEdit)

    int GetControlType() const override { return kTypeEdit; }
    int GetDefaultWidth() const override { return 70; }
    int GetDefaultHeight() const override { return 150; }
    void ApplyStoredState() override;
    void ReadState() override;
    void SetText(const FCString* text) override;

    int GetInteger();
    void SetInteger(int value);
    // The integer moved into lower..upper when lower is below upper; otherwise unchanged.
    int GetRangeInteger(int lower, int upper);
    // Measurements in the host's internal units (EVPUs).
    double GetMeasurement();
    void SetMeasurement(double evpus);
    double GetRangeMeasurement(double lower, double upper);

private:
    // A measurement given while the window is closed, applied through the host when it opens.
    double storedMeasurement_;
    bool measurementSet_;
    bool usedAsMeasurement_;
};
