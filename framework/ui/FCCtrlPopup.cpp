#include "framework/ui/FCCtrlPopup.h"

#include "framework/ui/Win32Support.h"

using fcui::ToHWND;

namespace {

// The host's value kind for a list selection (1-based, 0 for none).
constexpr int16_t kValueListSelection = 0;

}  // namespace

FCCtrlPopup::FCCtrlPopup(int id) : FCControl(id), storedSelection_(-1) {}

void FCCtrlPopup::ApplyStoredState() {
    FCControl::ApplyStoredState();
    HWND combo = ToHWND(GetNativeItem());
    if (!combo) return;
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < items_.GetCount(); ++i)
        SendMessageW(combo, CB_ADDSTRING, 0, fcui::PointerParam(fcui::WideText(items_.GetItemAt(i))));
    SetSelectedItem(storedSelection_);
}

void FCCtrlPopup::ReadState() {
    FCControl::ReadState();
    HWND combo = ToHWND(GetNativeItem());
    if (!combo) return;
    items_.ClearAll();
    const int count = GetCount();
    for (int i = 0; i < count; ++i) {
        FCString text;
        fcui::ReadListText(combo, CB_GETLBTEXTLEN, CB_GETLBTEXT, i, &text);
        items_.AddCopy(&text);
    }
    storedSelection_ = GetSelectedItem();
}

void FCCtrlPopup::Clear() {
    if (HWND combo = ToHWND(GetNativeItem())) {
        SendMessageW(combo, CB_RESETCONTENT, 0, 0);
        return;
    }
    items_.ClearAll();
    storedSelection_ = -1;
}

void FCCtrlPopup::AddItem(const FCString* text) {
    FCString copy;
    if (text) copy.SetString(text);
    if (HWND combo = ToHWND(GetNativeItem())) {
        SendMessageW(combo, CB_ADDSTRING, 0, fcui::PointerParam(fcui::WideText(&copy)));
        return;
    }
    items_.AddCopy(&copy);
}

void FCCtrlPopup::AddItemCString(const char* text) {
    FCString copy(text);
    AddItem(&copy);
}

int FCCtrlPopup::GetCount() {
    if (HWND combo = ToHWND(GetNativeItem())) {
        const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
        return count > 0 ? int(count) : 0;
    }
    return items_.GetCount();
}

bool FCCtrlPopup::GetItemText(int i, FCString* text) {
    if (HWND combo = ToHWND(GetNativeItem())) return fcui::ReadListText(combo, CB_GETLBTEXTLEN, CB_GETLBTEXT, i, text);
    const FCString* item = items_.GetItemAt(i);
    if (text) text->SetString(item);
    if (text && !item) text->Clear();
    return item != nullptr;
}

int FCCtrlPopup::GetSelectedItem() {
    if (GetNativeItem())
        return hostapi::FX_GetDlgItemVal(GetNativeWindow(), int16_t(GetControlID()), kValueListSelection,
                                         kFXInterfaceVersion) -
               1;
    return storedSelection_ >= 0 && storedSelection_ < items_.GetCount() ? storedSelection_ : -1;
}

void FCCtrlPopup::SetSelectedItem(int index) {
    if (GetNativeItem()) {
        hostapi::FX_SetDlgItemVal(GetNativeWindow(), int16_t(GetControlID()), kValueListSelection,
                                  index >= 0 ? index + 1 : 0, kFXInterfaceVersion);
        return;
    }
    storedSelection_ = index >= 0 ? index : -1;
}
