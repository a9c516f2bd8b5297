#include "framework/ui/FCCtrlCheckbox.h"

namespace {

// The host's value kind for a check state.
constexpr int16_t kValueCheck = 1;

}  // namespace

FCCtrlCheckbox::FCCtrlCheckbox(int id) : FCControl(id), storedCheck_(0), checkSet_(false) {}

void FCCtrlCheckbox::ApplyStoredState() {
    FCControl::ApplyStoredState();
    if (checkSet_ && GetNativeItem()) SetCheck(storedCheck_);
}

void FCCtrlCheckbox::ReadState() {
    FCControl::ReadState();
    if (!GetNativeItem()) return;
    storedCheck_ = GetCheck();
    checkSet_ = true;
}

void FCCtrlCheckbox::SetCheck(int state) {
    if (GetNativeItem()) {
        hostapi::FX_SetDlgItemVal(GetNativeWindow(), int16_t(GetControlID()), kValueCheck, state, kFXInterfaceVersion);
        return;
    }
    storedCheck_ = state;
    checkSet_ = true;
}

int FCCtrlCheckbox::GetCheck() {
    if (GetNativeItem())
        return hostapi::FX_GetDlgItemVal(GetNativeWindow(), int16_t(GetControlID()), kValueCheck, kFXInterfaceVersion);
    return storedCheck_;
}
