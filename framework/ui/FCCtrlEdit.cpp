#include "framework/ui/FCCtrlEdit.h"

namespace {

// The host's value kind for an item's integer value.
constexpr int16_t kValueInteger = 3;
// The host's code for a measurement in the user's unit.
constexpr int16_t kUserMeasurement = 0;

}  // namespace

FCCtrlEdit::FCCtrlEdit(int id)
    : FCControl(id), storedMeasurement_(0), measurementSet_(false), usedAsMeasurement_(false) {}

void FCCtrlEdit::ApplyStoredState() {
    FCControl::ApplyStoredState();
    if (measurementSet_ && GetNativeItem())
        hostapi::FX_SetDlgItemUser(GetNativeWindow(), int16_t(GetControlID()), kUserMeasurement, storedMeasurement_,
                                   kFXInterfaceVersion);
}

void FCCtrlEdit::ReadState() {
    FCControl::ReadState();
    if (usedAsMeasurement_ && GetNativeItem()) {
        storedMeasurement_ = GetMeasurement();
        measurementSet_ = true;
    }
}

void FCCtrlEdit::SetText(const FCString* text) {
    FCControl::SetText(text);
    if (!GetNativeItem()) measurementSet_ = false;
}

int FCCtrlEdit::GetInteger() {
    if (GetNativeItem())
        return hostapi::FX_GetDlgItemVal(GetNativeWindow(), int16_t(GetControlID()), kValueInteger,
                                         kFXInterfaceVersion);
    FCString text;
    GetText(&text);
    return text.GetInteger();
}

void FCCtrlEdit::SetInteger(int value) {
    if (GetNativeItem()) {
        hostapi::FX_SetDlgItemVal(GetNativeWindow(), int16_t(GetControlID()), kValueInteger, value,
                                  kFXInterfaceVersion);
        return;
    }
    FCString text;
    text.SetInteger(value);
    SetText(&text);
}

int FCCtrlEdit::GetRangeInteger(int lower, int upper) {
    const int value = GetInteger();
    if (lower >= upper) return value;
    if (value < lower) return lower;
    if (value > upper) return upper;
    return value;
}

double FCCtrlEdit::GetMeasurement() {
    usedAsMeasurement_ = true;
    if (GetNativeItem()) {
        double value = 0;
        if (!hostapi::FX_GetDlgItemUser(GetNativeWindow(), int16_t(GetControlID()), kUserMeasurement, &value,
                                        kFXInterfaceVersion))
            return 0;
        return value;
    }
    if (measurementSet_) return storedMeasurement_;
    FCString text;
    GetText(&text);
    return text.GetFloat();
}

void FCCtrlEdit::SetMeasurement(double evpus) {
    usedAsMeasurement_ = true;
    if (GetNativeItem()) {
        hostapi::FX_SetDlgItemUser(GetNativeWindow(), int16_t(GetControlID()), kUserMeasurement, evpus,
                                   kFXInterfaceVersion);
        return;
    }
    storedMeasurement_ = evpus;
    measurementSet_ = true;
}

double FCCtrlEdit::GetRangeMeasurement(double lower, double upper) {
    const double value = GetMeasurement();
    if (lower >= upper) return value;
    if (value < lower) return lower;
    if (value > upper) return upper;
    return value;
}
