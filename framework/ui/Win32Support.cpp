#include "framework/ui/Win32Support.h"

#include <vector>

namespace fcui {

void ReadWindowText(HWND window, FCString* text) {
    if (!text) return;
    text->Clear();
    const int length = window ? GetWindowTextLengthW(window) : 0;
    if (length <= 0) return;
    std::vector<char16_t> buffer(size_t(length) + 1, 0);
    const int copied = GetWindowTextW(window, reinterpret_cast<LPWSTR>(buffer.data()), length + 1);
    text->SetUTF16(buffer.data(), copied > 0 ? copied : 0);
}

bool ReadListText(HWND list, UINT lengthMessage, UINT textMessage, int index, FCString* text) {
    if (text) text->Clear();
    if (!list || index < 0) return false;
    const LRESULT length = SendMessageW(list, lengthMessage, WPARAM(index), 0);
    if (length < 0) return false;
    std::vector<char16_t> buffer(size_t(length) + 1, 0);
    const LRESULT copied = SendMessageW(list, textMessage, WPARAM(index), PointerParam(buffer.data()));
    if (copied < 0) return false;
    if (text) text->SetUTF16(buffer.data(), int(copied));
    return true;
}

bool HostTopLevelEnabled(bool* known) {
    HWND current = ToHWND(hostapi::FX_GetCurrentWindow(kFXInterfaceVersion));
    HWND top = current ? GetAncestor(current, GA_ROOT) : nullptr;
    if (known) *known = top != nullptr;
    return top && IsWindowEnabled(top);
}

}  // namespace fcui
