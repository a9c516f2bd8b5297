// Conversions between the framework's types and the Win32 interface, for the sources of the
// window layer only (nothing outside framework/ui includes this header).
#pragma once

#include "qzwin32.h"

#include "framework/core/FCString.h"
#include "framework/host/hostapi.h"

namespace fcui {

inline HWND ToHWND(FXWindow window) { return static_cast<HWND>(window); }

// The units of a text as the Win32 wide-text type (never null).
inline LPCWSTR WideText(const char16_t* units) {
    static const char16_t empty[1] = {0};
    return reinterpret_cast<LPCWSTR>(units ? units : empty);
}
inline LPCWSTR WideText(const FCString* text) { return WideText(text ? text->GetUnits() : nullptr); }

template <typename T>
LPARAM PointerParam(T* pointer) {
    return reinterpret_cast<LPARAM>(pointer);
}

// A message parameter of the host's dispatcher as the structure it points to.
template <typename T>
T* ParamPointer(int32_t lparam) {
    return reinterpret_cast<T*>(static_cast<intptr_t>(lparam));
}

// The window's text (an empty text when there is none).
void ReadWindowText(HWND window, FCString* text);
// A list item's text by the list's length and text messages (false when there is no such item).
bool ReadListText(HWND list, UINT lengthMessage, UINT textMessage, int index, FCString* text);

// The host's enabled state as the framework follows it: true with the host's current window's
// top-level ancestor enabled; *known is false when the host names no current window.
bool HostTopLevelEnabled(bool* known);

}  // namespace fcui
