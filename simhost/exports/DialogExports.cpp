// Host exports: the dialog service and the dialog item functions, over the Win32 interface.
#include "simhost/DialogService.h"
#include "simhost/SimExport.h"
#include "simhost/SimFunctions.h"

#include "qzwin32.h"

#include <climits>
#include <string>

namespace {

// The host's value kinds of FX_GetDlgItemVal and FX_SetDlgItemVal.
constexpr int16_t kKindListSelection = 0;
constexpr int16_t kKindCheck = 1;
constexpr int16_t kKindInteger = 3;

enum class ItemClass { Other, ComboBox, ListBox, Button };

HWND Item(FXWindow window, int16_t id) { return window ? GetDlgItem(static_cast<HWND>(window), id) : nullptr; }

bool IsClass(HWND item, const char* name) {
    char16_t buffer[64] = {0};
    const int length = GetClassNameW(item, reinterpret_cast<LPWSTR>(buffer), 64);
    int i = 0;
    for (; i < length && name[i]; ++i) {
        char16_t c = buffer[i];
        if (c >= u'A' && c <= u'Z') c = char16_t(c - u'A' + u'a');
        if (c != char16_t(name[i])) return false;
    }
    return i == length && !name[i];
}

ItemClass ClassOf(HWND item) {
    if (IsClass(item, "combobox")) return ItemClass::ComboBox;
    if (IsClass(item, "listbox")) return ItemClass::ListBox;
    if (IsClass(item, "button")) return ItemClass::Button;
    return ItemClass::Other;
}

std::u16string ItemText(HWND item) {
    const int length = GetWindowTextLengthW(item);
    if (length <= 0) return std::u16string();
    std::u16string text(size_t(length) + 1, u'\0');
    const int copied = GetWindowTextW(item, reinterpret_cast<LPWSTR>(&text[0]), length + 1);
    text.resize(size_t(copied > 0 ? copied : 0));
    return text;
}

bool SetItemText(HWND item, const std::u16string& text) {
    return SetWindowTextW(item, reinterpret_cast<LPCWSTR>(text.c_str())) != FALSE;
}

// The leading integer of a text, as the host reads a number field; 0 without one.
int32_t ReadInteger(const std::u16string& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
    long long value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + (text[i] - u'0');
        if (value > 1LL << 32) value = 1LL << 32;
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return int32_t(value);
}

}  // namespace

SIM_EXPORT int32_t FXAPI FX_Dialog(int16_t templateId, FXDialogProc proc, FXWindow parent, int16_t modal,
                                   void* userData, uint32_t) {
    SIM_ENTER(FX_Dialog, int32_t);
    return simhost::OpenDialog(templateId, proc, parent, modal != 0, userData);
}

SIM_EXPORT int32_t FXAPI FX_EndDialog(FXWindow window, int32_t result, uint32_t) {
    SIM_ENTER(FX_EndDialog, int32_t);
    return simhost::EndPluginDialog(window, result) ? 1 : 0;
}

SIM_EXPORT int32_t FXAPI FX_EnableDlgItem(FXWindow window, int16_t id, int16_t enable, uint32_t) {
    SIM_ENTER(FX_EnableDlgItem, int32_t);
    HWND item = Item(window, id);
    if (!item) return 0;
    EnableWindow(item, enable ? TRUE : FALSE);
    return 1;
}

SIM_EXPORT int32_t FXAPI FX_GetDlgItemVal(FXWindow window, int16_t id, int16_t kind, uint32_t) {
    SIM_ENTER(FX_GetDlgItemVal, int32_t);
    HWND item = Item(window, id);
    if (!item) return 0;
    switch (kind) {
        case kKindListSelection:
            // 1-based; 0 when nothing is selected.
            if (ClassOf(item) == ItemClass::ComboBox) return int32_t(SendMessageW(item, CB_GETCURSEL, 0, 0)) + 1;
            if (ClassOf(item) == ItemClass::ListBox) return int32_t(SendMessageW(item, LB_GETCURSEL, 0, 0)) + 1;
            return 0;
        case kKindCheck:
            return ClassOf(item) == ItemClass::Button ? int32_t(SendMessageW(item, BM_GETCHECK, 0, 0)) : 0;
        case kKindInteger:
            return ReadInteger(ItemText(item));
        default:
            return 0;
    }
}

SIM_EXPORT int32_t FXAPI FX_SetDlgItemVal(FXWindow window, int16_t id, int16_t kind, int32_t value, uint32_t) {
    SIM_ENTER(FX_SetDlgItemVal, int32_t);
    HWND item = Item(window, id);
    if (!item) return 0;
    switch (kind) {
        case kKindListSelection: {
            // A number outside the list clears the selection; the host says so explicitly, as not
            // every list control clears it by itself for an index past its end.
            const bool combo = ClassOf(item) == ItemClass::ComboBox;
            if (!combo && ClassOf(item) != ItemClass::ListBox) return 0;
            const LRESULT count = SendMessageW(item, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
            const WPARAM index = WPARAM(value > 0 && value <= count ? value - 1 : -1);
            SendMessageW(item, combo ? CB_SETCURSEL : LB_SETCURSEL, index, 0);
            return 1;
        }
        case kKindCheck:
            if (ClassOf(item) != ItemClass::Button) return 0;
            SendMessageW(item, BM_SETCHECK, WPARAM(value), 0);
            return 1;
        case kKindInteger: {
            const std::string digits = std::to_string(value);
            return SetItemText(item, std::u16string(digits.begin(), digits.end())) ? 1 : 0;
        }
        default:
            return 0;
    }
}

SIM_EXPORT int32_t FXAPI FX_GetDlgItemUser(FXWindow window, int16_t id, int16_t, double* result, uint32_t) {
    SIM_ENTER(FX_GetDlgItemUser, int32_t);
    if (!result) return 0;
    *result = 0;
    HWND item = Item(window, id);
    double value = 0;
    if (!item || !simhost::ParseMeasurement(ItemText(item), &value)) return 0;
    *result = value * simhost::EVPUsPerUnit(simhost::GetMeasurementUnit());
    return 1;
}

SIM_EXPORT int32_t FXAPI FX_SetDlgItemUser(FXWindow window, int16_t id, int16_t, double value, uint32_t) {
    SIM_ENTER(FX_SetDlgItemUser, int32_t);
    HWND item = Item(window, id);
    if (!item) return 0;
    const double inUnit = value / simhost::EVPUsPerUnit(simhost::GetMeasurementUnit());
    return SetItemText(item, simhost::FormatMeasurement(inUnit)) ? 1 : 0;
}

SIM_EXPORT int32_t FXAPI FX_GetDlgString(FXWindow window, int16_t id, char* buffer, int32_t size, uint32_t) {
    SIM_ENTER(FX_GetDlgString, int32_t);
    if (!buffer || size <= 0) return 0;
    buffer[0] = 0;
    HWND item = Item(window, id);
    if (!item) return 0;
    const std::u16string text = ItemText(item);
    int32_t i = 0;
    // The host's 8-bit texts: characters beyond Latin-1 become '?'.
    for (; i < int32_t(text.size()) && i < size - 1; ++i)
        buffer[i] = text[size_t(i)] < 0x100 ? char(text[size_t(i)]) : '?';
    buffer[i] = 0;
    return 1;
}

SIM_EXPORT int32_t FXAPI FX_GetDlgString_UTF16(FXWindow window, int16_t id, char16_t* buffer, int32_t size, uint32_t) {
    SIM_ENTER(FX_GetDlgString_UTF16, int32_t);
    if (!buffer || size <= 0) return 0;
    buffer[0] = 0;
    HWND item = Item(window, id);
    if (!item) return 0;
    const std::u16string text = ItemText(item);
    int32_t i = 0;
    for (; i < int32_t(text.size()) && i < size - 1; ++i) buffer[i] = text[size_t(i)];
    buffer[i] = 0;
    return 1;
}

SIM_EXPORT int32_t FXAPI FX_SetDlgString(FXWindow window, int16_t id, const char* text, uint32_t) {
    SIM_ENTER(FX_SetDlgString, int32_t);
    HWND item = Item(window, id);
    if (!item || !text) return 0;
    std::u16string units;
    for (const char* c = text; *c; ++c) units += char16_t(static_cast<unsigned char>(*c));
    SetItemText(item, units);
    return 1;
}

SIM_EXPORT int32_t FXAPI FX_SetDlgString_UTF16(FXWindow window, int16_t id, const char16_t* text, uint32_t) {
    SIM_ENTER(FX_SetDlgString_UTF16, int32_t);
    HWND item = Item(window, id);
    if (!item || !text) return 0;
    SetItemText(item, std::u16string(text));
    return 1;
}

SIM_EXPORT FXWindow FXAPI FX_GetCurrentWindow(uint32_t) {
    SIM_ENTER(FX_GetCurrentWindow, FXWindow);
    return simhost::HostDocumentWindow();
}
