// Dialogs of the simulated desktop: built from the dialog templates of the module's resource
// script, in dialog units of the template's font; modal dialogs run on the scripts a test or host
// program queued; the dialog manager's keys and defaults.
#include "simhost/desktop/Desktop.h"

#include <cmath>

namespace simhost {
namespace desktop {
namespace {

std::string g_lastError;

// Dialog base units of the template's font: 6 x 13 pixels for 8-point "MS Sans Serif".
struct BaseUnits {
    double x;
    double y;
};

BaseUnits UnitsOf(const DialogTemplate& dialog) {
    const int points = dialog.fontSize > 0 ? dialog.fontSize : 8;
    return {std::round(6.0 * points / 8.0), std::round(13.0 * points / 8.0)};
}

int ToPixelsX(int units, BaseUnits base) { return int(std::lround(units * base.x / 4.0)); }
int ToPixelsY(int units, BaseUnits base) { return int(std::lround(units * base.y / 8.0)); }

}  // namespace

const std::string& LastDialogError() { return g_lastError; }

HWND CreateDialogFromTemplate(HINSTANCE module, int templateID, HWND owner, DLGPROC proc, LPARAM param, bool modal) {
    g_lastError.clear();
    std::string error;
    const ResourceScript* script = FindModuleResources(module, &error);
    if (!script) {
        g_lastError = error;
        return nullptr;
    }
    const DialogTemplate* dialog = script->FindDialog(templateID);
    if (!dialog) {
        g_lastError = "the module has no dialog template " + std::to_string(templateID);
        return nullptr;
    }
    // As on Windows, a control of an unknown window class makes the whole dialog fail.
    for (const DialogItemTemplate& item : dialog->items) {
        bool known = false;
        const Kind kind = KindOfClass(item.className, &known);
        if (!known || kind == Kind::Dialog) {
            g_lastError = "dialog " + std::to_string(templateID) + ": unknown window class " + UTF8(item.className);
            return nullptr;
        }
    }
    const BaseUnits base = UnitsOf(*dialog);
    const DWORD style = dialog->style;
    const int clientWidth = ToPixelsX(dialog->cx, base);
    const int clientHeight = ToPixelsY(dialog->cy, base);
    const int width = clientWidth + 2 * FrameSize(style);
    const int height = clientHeight + 2 * FrameSize(style) + CaptionHeight(style);
    int left = ToPixelsX(dialog->x, base);
    int top = ToPixelsY(dialog->y, base);
    Window* ownerWindow = Find(owner);
    if (style & DS_CENTER) {
        RECT area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        if (ownerWindow) GetWindowRect(owner, &area);
        left = area.left + (area.right - area.left - width) / 2;
        top = area.top + (area.bottom - area.top - height) / 2;
    } else if (ownerWindow && !(style & DS_ABSALIGN)) {
        const POINT origin = ClientOrigin(*ownerWindow);
        left += origin.x;
        top += origin.y;
    }
    const RECT rect = {left, top, left + width, top + height};
    const HWND handle = CreateControl(Kind::Dialog, u"#32770", dialog->caption, style & ~WS_VISIBLE, dialog->exStyle,
                                      rect, owner, 0, module);
    Window* window = Find(handle);
    window->templateID = templateID;
    window->dialogProc = proc;
    window->modal = modal;
    HFONT font = nullptr;
    if (style & DS_SETFONT) {
        LOGFONTW description = {};
        description.lfHeight = -LONG(std::lround(dialog->fontSize * 96.0 / 72.0));
        description.lfWeight = FW_NORMAL;
        for (size_t i = 0; i < dialog->fontName.size() && i + 1 < size_t(LF_FACESIZE); ++i)
            description.lfFaceName[i] = dialog->fontName[i];
        font = CreateFontIndirectW(&description);
        window->ownFont = font;
    }
    Send(handle, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (!Find(handle)) return nullptr;
    window->font = font;
    HWND firstStop = nullptr;
    for (const DialogItemTemplate& item : dialog->items) {
        const RECT itemRect = {ToPixelsX(item.x, base), ToPixelsY(item.y, base), ToPixelsX(item.x + item.cx, base),
                               ToPixelsY(item.y + item.cy, base)};
        const HWND control = CreateControl(KindOfClass(item.className, nullptr), item.className, item.text, item.style,
                                           item.exStyle, itemRect, handle, item.id, module);
        if (font) Send(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (!firstStop && (item.style & WS_TABSTOP) && (item.style & WS_VISIBLE) && !(item.style & WS_DISABLED))
            firstStop = control;
    }
    // Initialisation, size, then (for a visible template) show and activation.
    const LRESULT wantsFocus = Send(handle, WM_INITDIALOG, reinterpret_cast<WPARAM>(firstStop), param);
    if (!Find(handle)) return nullptr;
    if (wantsFocus && firstStop && Find(firstStop)) ChangeFocus(firstStop);
    Send(handle, WM_SIZE, SIZE_RESTORED, MAKELPARAM(ClientWidth(*window), ClientHeight(*window)));
    if (!Find(handle)) return nullptr;
    if ((style & WS_VISIBLE) && !modal && !window->dialogEnded) ShowWindow(handle, SW_SHOWNORMAL);
    return Find(handle) ? handle : nullptr;
}

LRESULT DefaultDialogMessage(Window& dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    const HWND handle = dialog.handle;
    switch (message) {
        case WM_CLOSE:
            // The close box of a dialog is its cancel command, unless that button is disabled.
            if (!dialog.dialogEnded) {
                const HWND cancel = GetDlgItem(handle, IDCANCEL);
                if (!cancel || IsWindowEnabled(cancel))
                    Send(handle, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
            }
            return 0;
        case WM_SYSCOMMAND:
            if ((wparam & 0xFFF0) == SC_CLOSE) Send(handle, WM_CLOSE, 0, 0);
            return 0;
        case DM_GETDEFID:
            return MAKELONG(dialog.defaultID, DC_HASDEFID);
        case DM_SETDEFID:
            dialog.defaultID = int(wparam);
            return TRUE;
        case WM_NEXTDLGCTL:
            if (LOWORD(lparam)) ::SetFocus(reinterpret_cast<HWND>(wparam));
            return 0;
        default:
            return GenericMessage(dialog, message, wparam, lparam);
    }
}

bool UserPressEnter(HWND handle) {
    Window* dialog = Find(handle);
    if (!dialog || dialog->kind != Kind::Dialog || !IsUsable(handle)) return false;
    // A focused push button takes the key itself; otherwise the default button's command goes.
    Window* focus = Find(GetFocus());
    if (focus && focus->parent == handle && focus->kind == Kind::Button &&
        ((focus->style & BS_TYPEMASK) == BS_PUSHBUTTON || (focus->style & BS_TYPEMASK) == BS_DEFPUSHBUTTON)) {
        Send(handle, WM_COMMAND, MAKEWPARAM(focus->id, BN_CLICKED), reinterpret_cast<LPARAM>(focus->handle));
        return true;
    }
    const LRESULT defaultID = Send(handle, DM_GETDEFID, 0, 0);
    const int id = HIWORD(defaultID) == DC_HASDEFID ? LOWORD(defaultID) : IDOK;
    const HWND button = GetDlgItem(handle, id);
    if (button && !IsWindowEnabled(button)) {
        MessageBeep(0);
        return false;
    }
    Send(handle, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    return true;
}

bool UserPressEscape(HWND handle) {
    Window* dialog = Find(handle);
    if (!dialog || dialog->kind != Kind::Dialog || !IsUsable(handle)) return false;
    const HWND button = GetDlgItem(handle, IDCANCEL);
    if (button && !IsWindowEnabled(button)) {
        MessageBeep(0);
        return false;
    }
    Send(handle, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    return true;
}

bool UserCloseBox(HWND handle) {
    Window* dialog = Find(handle);
    if (!dialog || !IsTopLevel(*dialog) || !(dialog->style & WS_SYSMENU) || !IsUsable(handle)) return false;
    Send(handle, WM_SYSCOMMAND, SC_CLOSE, 0);
    return true;
}

}  // namespace desktop
}  // namespace simhost

using namespace simhost::desktop;

extern "C" {

HWND WINAPI CreateDialogParamW(HINSTANCE instance, LPCWSTR templateName, HWND parent, DLGPROC proc, LPARAM param) {
    if (!IS_INTRESOURCE(templateName)) return nullptr;
    return CreateDialogFromTemplate(instance, LOWORD(reinterpret_cast<ULONG_PTR>(templateName)), parent, proc, param,
                                    false);
}

INT_PTR WINAPI DialogBoxParamW(HINSTANCE instance, LPCWSTR templateName, HWND parent, DLGPROC proc, LPARAM param) {
    if (!IS_INTRESOURCE(templateName)) return -1;
    const HWND handle = CreateDialogFromTemplate(instance, LOWORD(reinterpret_cast<ULONG_PTR>(templateName)), parent,
                                                 proc, param, true);
    if (!handle) return -1;
    Window* dialog = Find(handle);
    const std::string caption = UTF8(dialog->text);
    // Modal to its owner: the owner takes no input until the dialog has ended.
    const bool disableOwner = parent && IsWindowEnabled(parent);
    if (disableOwner) EnableWindow(parent, FALSE);
    if (Find(handle) && !dialog->dialogEnded) ShowWindow(handle, SW_SHOWNORMAL);
    while (Find(handle) && !dialog->dialogEnded) {
        std::function<void(HWND)> script = TakeModalScript();
        if (!script) {
            ReportFailure("the modal dialog \"" + caption + "\" (template " + std::to_string(dialog->templateID) +
                          ") waits for input nobody scripted");
            // Closed as a user would close it, so the program can go on.
            if (Find(handle) && !dialog->dialogEnded) Send(handle, WM_CLOSE, 0, 0);
            if (Find(handle) && !dialog->dialogEnded) {
                dialog->dialogEnded = true;
                dialog->dialogResult = IDCANCEL;
            }
            break;
        }
        script(handle);
    }
    const INT_PTR result = dialog->dialogResult;
    if (disableOwner && Find(parent)) EnableWindow(parent, TRUE);
    if (Find(handle)) Destroy(handle);
    return result;
}

BOOL WINAPI EndDialog(HWND handle, INT_PTR result) {
    Window* dialog = Find(handle);
    if (!dialog || dialog->kind != Kind::Dialog) return FALSE;
    dialog->dialogEnded = true;
    dialog->dialogResult = result;
    // A modeless dialog is only hidden; its owner destroys it.
    if (!dialog->modal) ShowWindow(handle, SW_HIDE);
    return TRUE;
}

}  // extern "C"
