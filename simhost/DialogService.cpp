#include "simhost/DialogService.h"

#include "qzwin32.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace simhost {

// The platform's part of a reset (DesktopReset_linux.cpp, DesktopReset_windows.cpp).
void ResetNativeDesktop();

namespace {

// The message the host sends its plug-in dialogs when its own windows change state.
constexpr UINT kHostStateMessage = 0x036D;

struct DialogContext {
    FXDialogProc proc;
    void* userData;
    bool modal;
    HWND window;
    bool creating;
    bool destroyed;
    int templateID;
    bool ended;
};

struct ServiceState {
    MeasurementUnit unit = MeasurementUnit::Inches;
    HWND frame = nullptr;
    HWND document = nullptr;
    HWND hostDialog = nullptr;
    bool notifications = true;
    std::vector<DialogContext*> dialogs;
    std::string lastError;
};

ServiceState& State() {
    static ServiceState state;
    return state;
}

LPCWSTR Wide(const char16_t* text) { return reinterpret_cast<LPCWSTR>(text); }

const char16_t kFrameClass[] = u"QZStandInHostFrame";

HINSTANCE ThisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(reinterpret_cast<uintptr_t>(&State)), &module);
    return module;
}

void NotifyPluginDialogs() {
    if (!State().notifications) return;
    const std::vector<DialogContext*> dialogs = State().dialogs;
    for (DialogContext* context : dialogs)
        if (std::find(State().dialogs.begin(), State().dialogs.end(), context) != State().dialogs.end() &&
            IsWindow(context->window))
            SendMessageW(context->window, kHostStateMessage, 0, 0);
}

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    const LRESULT result = DefWindowProcW(window, message, wparam, lparam);
    if (message == WM_ENABLE) NotifyPluginDialogs();
    return result;
}

void Forget(DialogContext* context) {
    std::vector<DialogContext*>& dialogs = State().dialogs;
    dialogs.erase(std::remove(dialogs.begin(), dialogs.end(), context), dialogs.end());
}

// Between the native dialog and the plug-in's dispatcher: every message goes on with the window
// object the plug-in gave to FX_Dialog.
INT_PTR CALLBACK ServiceDialogProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    DialogContext* context;
    if (message == WM_INITDIALOG) {
        context = reinterpret_cast<DialogContext*>(lparam);
        context->window = window;
        SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(context));
        State().dialogs.push_back(context);
    } else {
        context = reinterpret_cast<DialogContext*>(GetWindowLongPtrW(window, DWLP_USER));
    }
    if (!context) return FALSE;
    const INT_PTR result = context->proc(window, message, uint32_t(wparam), int32_t(lparam), context->userData);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, DWLP_USER, 0);
        Forget(context);
        context->destroyed = true;
        if (!context->modal && !context->creating) delete context;
    }
    return result;
}

}  // namespace

void SetMeasurementUnit(MeasurementUnit unit) { State().unit = unit; }
MeasurementUnit GetMeasurementUnit() { return State().unit; }

double EVPUsPerUnit(MeasurementUnit unit) {
    switch (unit) {
        case MeasurementUnit::EVPUs:
            return 1;
        case MeasurementUnit::Inches:
            return 288;
        case MeasurementUnit::Centimeters:
            return 288 / 2.54;
        case MeasurementUnit::Points:
            return 4;
        case MeasurementUnit::Picas:
            return 48;
        case MeasurementUnit::Spaces:
            return 24;
        case MeasurementUnit::Millimeters:
            return 28.8 / 2.54;
    }
    return 1;
}

std::u16string FormatMeasurement(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.5f", value);
    std::string digits = text;
    while (!digits.empty() && digits.back() == '0') digits.pop_back();
    if (!digits.empty() && digits.back() == '.') digits.pop_back();
    if (digits == "-0" || digits.empty()) digits = "0";
    return std::u16string(digits.begin(), digits.end());
}

bool ParseMeasurement(const std::u16string& text, double* value) {
    std::string ascii;
    for (char16_t c : text) ascii += c == u',' ? '.' : (c < 0x80 ? char(c) : '?');
    const char* start = ascii.c_str();
    char* end = nullptr;
    const double parsed = std::strtod(start, &end);
    if (end == start || !std::isfinite(parsed)) return false;
    if (value) *value = parsed;
    return true;
}

FXWindow HostMainWindow() {
    ServiceState& state = State();
    if (state.frame && IsWindow(state.frame)) return state.frame;
    const HINSTANCE module = ThisModule();
    WNDCLASSW frameClass = {};
    frameClass.lpfnWndProc = FrameProc;
    frameClass.hInstance = module;
    frameClass.lpszClassName = Wide(kFrameClass);
    RegisterClassW(&frameClass);  // fails harmlessly when the class exists
    state.frame = CreateWindowExW(0, Wide(kFrameClass), Wide(u"Stand-in host"), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                  1600, 1000, nullptr, nullptr, module, nullptr);
    state.document = nullptr;
    if (state.frame) {
        RECT client = {};
        GetClientRect(state.frame, &client);
        state.document =
            CreateWindowExW(0, WC_STATICW, Wide(u""), WS_CHILD | WS_VISIBLE, 0, 0, client.right, client.bottom,
                            state.frame, reinterpret_cast<HMENU>(UINT_PTR(1)), module, nullptr);
    }
    return state.frame;
}

FXWindow HostDocumentWindow() {
    HostMainWindow();
    return State().document;
}

void ShowHostModalDialog() {
    ServiceState& state = State();
    HWND frame = static_cast<HWND>(HostMainWindow());
    if (!frame || (state.hostDialog && IsWindow(state.hostDialog))) return;
    EnableWindow(frame, FALSE);
    state.hostDialog = CreateWindowExW(0, WC_STATICW, Wide(u"Host dialog"), WS_POPUP | WS_CAPTION | WS_VISIBLE, 600,
                                       300, 400, 200, frame, nullptr, ThisModule(), nullptr);
}

void EndHostModalDialog() {
    ServiceState& state = State();
    if (!state.hostDialog) return;
    if (state.frame && IsWindow(state.frame)) EnableWindow(state.frame, TRUE);
    if (IsWindow(state.hostDialog)) DestroyWindow(state.hostDialog);
    state.hostDialog = nullptr;
}

bool IsHostModalDialogShown() { return State().hostDialog && IsWindow(State().hostDialog); }

void SetHostStateNotifications(bool on) { State().notifications = on; }

int32_t OpenDialog(int templateID, FXDialogProc proc, FXWindow parent, bool modal, void* userData) {
    std::string& error = State().lastError;
    error.clear();
    if (!proc || templateID <= 0 || templateID > 0xFFFF) {
        error = "FX_Dialog needs a dispatcher and a template number from 1 to 65535";
        return 0;
    }
    // The templates come from the module the dispatcher lives in, as a host finds them on Windows.
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(reinterpret_cast<uintptr_t>(proc)), &module)) {
        error = "no module holds the dispatcher";
        return 0;
    }
    INITCOMMONCONTROLSEX classes = {sizeof(INITCOMMONCONTROLSEX),
                                    ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&classes);
    HWND owner = static_cast<HWND>(parent);
    if (modal) {
        DialogContext context = {proc, userData, true, nullptr, false, false, templateID, false};
        const INT_PTR result = DialogBoxParamW(module, MAKEINTRESOURCEW(templateID), owner, ServiceDialogProc,
                                               reinterpret_cast<LPARAM>(&context));
        if (result < 0) error = "the dialog template " + std::to_string(templateID) + " could not be opened";
        Forget(&context);
        return result < 0 ? 0 : int32_t(result);
    }
    DialogContext* context = new DialogContext{proc, userData, false, nullptr, true, false, templateID, false};
    HWND window = CreateDialogParamW(module, MAKEINTRESOURCEW(templateID), owner, ServiceDialogProc,
                                     reinterpret_cast<LPARAM>(context));
    context->creating = false;
    if (!window || context->destroyed) {
        error = "the dialog template " + std::to_string(templateID) + " could not be opened" +
                (window ? " (it ended during its initialisation)" : "");
        Forget(context);
        delete context;
        return 0;
    }
    // The host shows its plug-in's modeless dialogs.
    if (!IsWindowVisible(window)) ShowWindow(window, SW_SHOWNORMAL);
    return 1;
}

bool EndPluginDialog(FXWindow window, int32_t result) {
    for (DialogContext* context : State().dialogs) {
        if (context->window != static_cast<HWND>(window)) continue;
        context->ended = true;
        if (context->modal)
            EndDialog(context->window, result);
        else
            DestroyWindow(context->window);
        return true;
    }
    return false;
}

int OpenDialogCount() { return int(State().dialogs.size()); }

FXWindow OpenDialogAt(int index) {
    const std::vector<DialogContext*>& dialogs = State().dialogs;
    return index >= 0 && index < int(dialogs.size()) ? dialogs[size_t(index)]->window : nullptr;
}

bool IsModalDialog(FXWindow window) {
    for (const DialogContext* context : State().dialogs)
        if (context->window == static_cast<HWND>(window)) return context->modal;
    return false;
}

FXWindow FindOpenDialog(int templateID) {
    HWND found = nullptr;
    for (const DialogContext* context : State().dialogs)
        if (context->templateID == templateID && !context->ended && IsWindow(context->window)) found = context->window;
    return found;
}

int OpenDialogTemplate(FXWindow window) {
    for (const DialogContext* context : State().dialogs)
        if (context->window == static_cast<HWND>(window)) return context->templateID;
    return 0;
}

std::string LastOpenDialogError() { return State().lastError; }

void ReleaseDialogs() {
    ServiceState& state = State();
    const std::vector<DialogContext*> dialogs = state.dialogs;
    state.dialogs.clear();
    for (DialogContext* context : dialogs) {
        // Detached first, so that the destruction reaches no code of the plug-in's.
        if (IsWindow(context->window)) {
            SetWindowLongPtrW(context->window, DWLP_USER, 0);
            DestroyWindow(context->window);
        }
        if (!context->modal) delete context;
    }
}

void ResetDialogService() {
    ServiceState& state = State();
    const std::vector<DialogContext*> dialogs = state.dialogs;
    for (DialogContext* context : dialogs)
        if (IsWindow(context->window)) DestroyWindow(context->window);
    // Dialogs whose native windows went away without a word (a desktop emptied at once).
    for (DialogContext* context : state.dialogs)
        if (!context->modal) delete context;
    state.dialogs.clear();
    if (state.hostDialog && IsWindow(state.hostDialog)) DestroyWindow(state.hostDialog);
    if (state.frame && IsWindow(state.frame)) DestroyWindow(state.frame);
    state.hostDialog = state.frame = state.document = nullptr;
    state.unit = MeasurementUnit::Inches;
    state.notifications = true;
    state.lastError.clear();
    ResetNativeDesktop();
}

}  // namespace simhost
