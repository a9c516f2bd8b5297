// Windows: the driver acts on the system's real windows and controls through their messages, as
// the user's mouse and keys would reach them. Message boxes and modal dialogs are answered from
// inside their own modal loops: a CBT hook notes each dialog window the thread creates and a
// thread timer, dispatched by the loop that waits for input, answers it. Beeps are heard by
// replacing MessageBeep in the import tables of the program's own modules (not the system's).
#include "simhost/desktop/DesktopDriver.h"

#include "simhost/DialogService.h"
#include "simhost/Unicode.h"

#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <sstream>

namespace simhost {
namespace {

// The static that holds a message box's text, in the system's message box template.
constexpr int kMessageBoxTextID = 0xFFFF;

typedef BOOL(WINAPI* MessageBeepFunction)(UINT);

struct DriverState {
    std::function<void(const std::string&)> failureHandler;
    std::deque<int> answers;
    std::vector<DesktopDriver::MessageBoxShown> boxes;
    std::deque<std::function<void(DesktopDriver&, HWND)>> modalScripts;
    std::vector<unsigned> beeps;
    bool warningSound = true;
    HHOOK hook = nullptr;
    // Dialog windows created since they were last looked at, oldest first.
    std::vector<HWND> newDialogs;
    MessageBeepFunction systemMessageBeep = nullptr;
};

DriverState& State() {
    static DriverState state;
    return state;
}

void ReportFailure(const std::string& message) {
    if (State().failureHandler) {
        State().failureHandler(message);
        return;
    }
    std::fprintf(stderr, "desktop driver: %s\n", message.c_str());
    std::fflush(stderr);
    std::abort();
}

std::string UTF8(const std::u16string& text) { return simhost::ToUTF8(text); }
std::u16string FromUTF8(const char* text) { return text ? simhost::ToUTF16(text) : std::u16string(); }

std::u16string WindowText(HWND window) {
    const int length = window ? GetWindowTextLengthW(window) : 0;
    if (length <= 0) return std::u16string();
    std::u16string text(size_t(length) + 1, u'\0');
    const int copied = GetWindowTextW(window, reinterpret_cast<LPWSTR>(&text[0]), length + 1);
    text.resize(size_t(copied > 0 ? copied : 0));
    return text;
}

std::u16string ClassOf(HWND window) {
    char16_t name[64] = {};
    GetClassNameW(window, reinterpret_cast<LPWSTR>(name), 64);
    std::u16string text(name);
    for (char16_t& c : text)
        if (c >= u'A' && c <= u'Z') c = char16_t(c - u'A' + u'a');
    return text;
}

enum class Kind { Other, Dialog, Static, Button, Edit, ComboBox, ListBox, ListView, TreeView };

Kind KindOf(HWND window) {
    const std::u16string name = ClassOf(window);
    if (name == u"#32770") return Kind::Dialog;
    if (name == u"static") return Kind::Static;
    if (name == u"button") return Kind::Button;
    if (name == u"edit") return Kind::Edit;
    if (name == u"combobox") return Kind::ComboBox;
    if (name == u"listbox") return Kind::ListBox;
    if (name == u"syslistview32") return Kind::ListView;
    if (name == u"systreeview32") return Kind::TreeView;
    return Kind::Other;
}

DWORD StyleOf(HWND window) { return DWORD(GetWindowLongW(window, GWL_STYLE)); }

bool IsChildWindow(HWND window) { return (StyleOf(window) & WS_CHILD) != 0; }

// The user can reach the window: it and every window it lies in are visible and enabled.
bool IsUsable(HWND window) {
    if (!window || !IsWindow(window)) return false;
    for (HWND w = window; w; w = IsChildWindow(w) ? GetParent(w) : nullptr)
        if (!IsWindowVisible(w) || !IsWindowEnabled(w)) return false;
    return true;
}

std::u16string WithoutMnemonics(const std::u16string& text) {
    std::u16string plain;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size()) ++i;
        plain += text[i];
    }
    return plain;
}

bool IsCheckStyle(DWORD style) {
    switch (style & BS_TYPEMASK) {
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE:
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
            return true;
        default:
            return false;
    }
}

const char* KindName(HWND control) { return ControlKindName(ClassOf(control), StyleOf(control)); }

std::vector<HWND> Children(HWND window) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    // The dialog manager creates a template's items in order, each placed last.
    return children;
}

void CommandToParent(HWND control, WORD code) {
    SendMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code),
                 reinterpret_cast<LPARAM>(control));
}

// ------------------------------------------------------------------------------- list texts

std::u16string ComboOrListText(HWND list, bool combo, int index) {
    const LRESULT length = SendMessageW(list, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, WPARAM(index), 0);
    if (length < 0) return std::u16string();
    std::u16string text(size_t(length) + 1, u'\0');
    const LRESULT copied =
        SendMessageW(list, combo ? CB_GETLBTEXT : LB_GETTEXT, WPARAM(index), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(size_t(copied > 0 ? copied : 0));
    return text;
}

std::u16string ListViewCellText(HWND list, int row, int column) {
    std::u16string text(512, u'\0');
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = reinterpret_cast<LPWSTR>(&text[0]);
    item.cchTextMax = int(text.size());
    const LRESULT copied = SendMessageW(list, LVM_GETITEMTEXTW, WPARAM(row), reinterpret_cast<LPARAM>(&item));
    text.resize(size_t(copied > 0 ? copied : 0));
    return text;
}

int ListViewColumns(HWND list) {
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    const int count = header ? int(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    return std::max(count, 1);
}

// ------------------------------------------------------------------------------- trees

struct TreeItem {
    HTREEITEM handle;
    std::u16string text;
    UINT state;
    bool hasChildren;
};

TreeItem ReadTreeItem(HWND tree, HTREEITEM handle) {
    char16_t text[512] = {};
    TVITEMW item = {};
    item.mask = TVIF_TEXT | TVIF_STATE | TVIF_HANDLE | TVIF_CHILDREN;
    item.hItem = handle;
    item.stateMask = TVIS_EXPANDED | TVIS_SELECTED;
    item.pszText = reinterpret_cast<LPWSTR>(text);
    item.cchTextMax = 512;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    const bool children = SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(handle)) != 0;
    return TreeItem{handle, text, item.state, children};
}

HTREEITEM TreeNext(HWND tree, HTREEITEM item, UINT which) {
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, which, reinterpret_cast<LPARAM>(item)));
}

// Depth first in tree order: the first item with the text below the first (null: the top).
HTREEITEM FindTreeItem(HWND tree, HTREEITEM first, const std::u16string& text) {
    for (HTREEITEM item = first; item; item = TreeNext(tree, item, TVGN_NEXT)) {
        if (ReadTreeItem(tree, item).text == text) return item;
        if (HTREEITEM inside = FindTreeItem(tree, TreeNext(tree, item, TVGN_CHILD), text)) return inside;
    }
    return nullptr;
}

HTREEITEM TreeRoot(HWND tree) { return TreeNext(tree, nullptr, TVGN_ROOT); }

void ListTreeItems(HWND tree, HTREEITEM first, int depth, bool onlyVisible, std::vector<std::string>* lines) {
    const HTREEITEM caret = TreeNext(tree, nullptr, TVGN_CARET);
    for (HTREEITEM item = first; item; item = TreeNext(tree, item, TVGN_NEXT)) {
        const TreeItem data = ReadTreeItem(tree, item);
        std::string line(size_t(depth) * 2, ' ');
        if (data.hasChildren) line += (data.state & TVIS_EXPANDED) ? "- " : "+ ";
        line += UTF8(data.text);
        if (item == caret) line += " *";
        lines->push_back(line);
        if (!onlyVisible || (data.state & TVIS_EXPANDED))
            ListTreeItems(tree, TreeNext(tree, item, TVGN_CHILD), depth + 1, onlyVisible, lines);
    }
}

bool SelectTreeItem(HWND tree, HTREEITEM item) {
    if (!item || KindOf(tree) != Kind::TreeView || !IsUsable(tree)) return false;
    SetFocus(tree);
    // To click the item the user first opens every item it lies in, from the top down.
    std::vector<HTREEITEM> ancestors;
    for (HTREEITEM parent = TreeNext(tree, item, TVGN_PARENT); parent; parent = TreeNext(tree, parent, TVGN_PARENT))
        ancestors.insert(ancestors.begin(), parent);
    for (HTREEITEM ancestor : ancestors)
        if (!(ReadTreeItem(tree, ancestor).state & TVIS_EXPANDED))
            SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(ancestor));
    if (!IsWindow(tree)) return true;
    SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    return true;
}

// ------------------------------------------------------------------------------- beeps

BOOL WINAPI ListeningMessageBeep(UINT type) {
    DriverState& state = State();
    // Without the warning sound only the default beep can be played.
    if (type != 0xFFFFFFFF && !state.warningSound) return FALSE;
    state.beeps.push_back(type);
    return state.systemMessageBeep ? state.systemMessageBeep(type) : TRUE;
}

template <typename T>
T* AtRVA(HMODULE module, DWORD rva) {
    return reinterpret_cast<T*>(reinterpret_cast<BYTE*>(module) + rva);
}

// Points the module's import of MessageBeep from user32 at the listener.
void ListenToBeepsOf(HMODULE module) {
    const IMAGE_DOS_HEADER* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(module);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE) return;
    const IMAGE_NT_HEADERS* nt = AtRVA<const IMAGE_NT_HEADERS>(module, DWORD(dos->e_lfanew));
    if (nt->Signature != IMAGE_NT_SIGNATURE) return;
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!directory.VirtualAddress) return;
    for (const IMAGE_IMPORT_DESCRIPTOR* import = AtRVA<const IMAGE_IMPORT_DESCRIPTOR>(module, directory.VirtualAddress);
         import->Name; ++import) {
        if (_stricmp(AtRVA<const char>(module, import->Name), "user32.dll") != 0) continue;
        const DWORD namesRVA = import->OriginalFirstThunk ? import->OriginalFirstThunk : import->FirstThunk;
        const IMAGE_THUNK_DATA* names = AtRVA<const IMAGE_THUNK_DATA>(module, namesRVA);
        IMAGE_THUNK_DATA* addresses = AtRVA<IMAGE_THUNK_DATA>(module, import->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++addresses) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const IMAGE_IMPORT_BY_NAME* name =
                AtRVA<const IMAGE_IMPORT_BY_NAME>(module, DWORD(names->u1.AddressOfData));
            if (std::strcmp(reinterpret_cast<const char*>(name->Name), "MessageBeep") != 0) continue;
            if (addresses->u1.Function == reinterpret_cast<uintptr_t>(&ListeningMessageBeep)) continue;
            DWORD protection = 0;
            if (!VirtualProtect(&addresses->u1.Function, sizeof addresses->u1.Function, PAGE_READWRITE, &protection))
                continue;
            addresses->u1.Function = reinterpret_cast<uintptr_t>(&ListeningMessageBeep);
            VirtualProtect(&addresses->u1.Function, sizeof addresses->u1.Function, protection, &protection);
        }
    }
}

bool StartsWithFolder(const std::u16string& path, const std::u16string& folder) {
    if (folder.empty() || path.size() <= folder.size()) return false;
    for (size_t i = 0; i < folder.size(); ++i) {
        char16_t a = path[i], b = folder[i];
        if (a >= u'A' && a <= u'Z') a = char16_t(a - u'A' + u'a');
        if (b >= u'A' && b <= u'Z') b = char16_t(b - u'A' + u'a');
        if (a != b) return false;
    }
    return path[folder.size()] == u'\\' || path[folder.size()] == u'/';
}

// Every module of the program (the executable and the plug-ins it loaded), not the system's.
void ListenToBeeps() {
    DriverState& state = State();
    if (!state.systemMessageBeep)
        state.systemMessageBeep = reinterpret_cast<MessageBeepFunction>(
            reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "MessageBeep")));
    char16_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(reinterpret_cast<LPWSTR>(windows), MAX_PATH);
    const std::u16string systemFolder(windows);
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, GetCurrentProcessId());
    if (snapshot == INVALID_HANDLE_VALUE) return;
    MODULEENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Module32FirstW(snapshot, &entry); more; more = Module32NextW(snapshot, &entry)) {
        // A module loaded again (at the same address or not) is listened to again.
        if (!StartsWithFolder(reinterpret_cast<const char16_t*>(entry.szExePath), systemFolder))
            ListenToBeepsOf(entry.hModule);
    }
    CloseHandle(snapshot);
}

// ------------------------------------------------------------------------------- message boxes

// A message box: a system dialog with the message box's text item, not one of the plug-in's.
bool IsMessageBox(HWND window) {
    return KindOf(window) == Kind::Dialog && !IsChildWindow(window) && !OpenDialogTemplate(window) &&
           GetDlgItem(window, kMessageBoxTextID) != nullptr;
}

unsigned MessageBoxStyle(HWND box) {
    unsigned style = MB_OK;
    const bool yes = GetDlgItem(box, IDYES) != nullptr, no = GetDlgItem(box, IDNO) != nullptr;
    const bool ok = GetDlgItem(box, IDOK) != nullptr, cancel = GetDlgItem(box, IDCANCEL) != nullptr;
    if (yes && no)
        style = cancel ? MB_YESNOCANCEL : MB_YESNO;
    else if (ok && cancel)
        style = MB_OKCANCEL;
    // The icon is the system's shared one, so its handle tells which it is.
    for (HWND child : Children(box)) {
        if (KindOf(child) != Kind::Static) continue;
        const HICON icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
        if (!icon) continue;
        const struct {
            LPCWSTR id;
            unsigned style;
        } icons[] = {{IDI_HAND, MB_ICONERROR},
                     {IDI_ASTERISK, MB_ICONINFORMATION},
                     {IDI_EXCLAMATION, MB_ICONWARNING},
                     {IDI_QUESTION, MB_ICONQUESTION}};
        for (const auto& known : icons)
            if (LoadIconW(nullptr, known.id) == icon) style |= known.style;
    }
    return style;
}

void AnswerMessageBox(HWND box) {
    DriverState& state = State();
    DesktopDriver::MessageBoxShown shown;
    shown.caption = UTF8(WindowText(box));
    shown.text = UTF8(WindowText(GetDlgItem(box, kMessageBoxTextID)));
    shown.style = MessageBoxStyle(box);
    shown.owner = GetWindow(box, GW_OWNER);
    shown.answer = 0;
    HWND button = nullptr;
    if (state.answers.empty()) {
        state.boxes.push_back(shown);
        ReportFailure("a message box waits for an answer nobody scripted: \"" + shown.caption + "\": " + shown.text);
    } else {
        const int answer = state.answers.front();
        state.answers.pop_front();
        button = GetDlgItem(box, answer);
        if (button) shown.answer = answer;
        state.boxes.push_back(shown);
        if (!button)
            ReportFailure("the scripted answer " + std::to_string(answer) + " is not a button of the message box \"" +
                          shown.caption + "\": " + shown.text);
    }
    if (!IsWindow(box)) return;
    // A box nobody could answer is ended without a button: MessageBox answers 0, as it does when
    // no box could be shown.
    if (button)
        SendMessageW(button, BM_CLICK, 0, 0);
    else
        EndDialog(box, 0);
}

// ------------------------------------------------------------------------------- modal loops

// A modal plug-in dialog whose loop still waits for the user (not ended, on screen).
bool StillWaiting(HWND dialog) {
    return IsWindow(dialog) && OpenDialogTemplate(dialog) && IsModalDialog(dialog) &&
           FindOpenDialog(OpenDialogTemplate(dialog)) == dialog && IsWindowVisible(dialog);
}

void CALLBACK ServeModalLoop(HWND, UINT, UINT_PTR timer, DWORD);

void WatchLater() { SetTimer(nullptr, 0, USER_TIMER_MINIMUM, &ServeModalLoop); }

void Forget(HWND window) {
    std::vector<HWND>& dialogs = State().newDialogs;
    dialogs.erase(std::remove(dialogs.begin(), dialogs.end(), window), dialogs.end());
}

// Runs in the modal loop of the newest dialog window: answers a message box, or plays the next
// script on a modal plug-in dialog (again while it stays open).
void CALLBACK ServeModalLoop(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    DriverState& state = State();
    for (size_t i = state.newDialogs.size(); i-- > 0;) {
        HWND window = state.newDialogs[i];
        if (!IsWindow(window)) {
            Forget(window);
            continue;
        }
        if (IsMessageBox(window)) {
            Forget(window);
            AnswerMessageBox(window);
            break;
        }
        if (!OpenDialogTemplate(window) || !IsModalDialog(window)) {
            // A modeless dialog or a window of the host: nothing waits for the user here.
            Forget(window);
            continue;
        }
        if (!IsWindowVisible(window)) continue;  // its loop shows it when it first waits
        if (!StillWaiting(window)) {
            Forget(window);
            continue;
        }
        if (state.modalScripts.empty()) {
            Forget(window);
            ReportFailure("the modal dialog \"" + UTF8(WindowText(window)) + "\" (template " +
                          std::to_string(OpenDialogTemplate(window)) + ") waits for input nobody scripted");
            // Closed as a user would close it, so the program can go on.
            if (StillWaiting(window)) SendMessageW(window, WM_CLOSE, 0, 0);
            if (StillWaiting(window)) EndPluginDialog(window, IDCANCEL);
            break;
        }
        std::function<void(DesktopDriver&, HWND)> script = state.modalScripts.front();
        state.modalScripts.pop_front();
        DesktopDriver driver;
        script(driver, window);
        if (!StillWaiting(window)) Forget(window);
        break;
    }
    if (!state.newDialogs.empty()) WatchLater();
}

LRESULT CALLBACK WatchCreations(int code, WPARAM wparam, LPARAM lparam) {
    if (code == HCBT_CREATEWND) {
        HWND window = reinterpret_cast<HWND>(wparam);
        const CBT_CREATEWNDW* creation = reinterpret_cast<const CBT_CREATEWNDW*>(lparam);
        if (creation && creation->lpcs && !(creation->lpcs->style & WS_CHILD) && KindOf(window) == Kind::Dialog) {
            State().newDialogs.push_back(window);
            WatchLater();
        }
    }
    return CallNextHookEx(State().hook, code, wparam, lparam);
}

// Everything the driver listens to, set up on first use.
void Listen() {
    DriverState& state = State();
    if (!state.hook) state.hook = SetWindowsHookExW(WH_CBT, &WatchCreations, nullptr, GetCurrentThreadId());
    ListenToBeeps();
}

// Dispatches what is waiting in the thread's queue (paint, timers, posted messages).
void Pump(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= milliseconds) break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_ALLINPUT);
    }
}

}  // namespace

void DesktopDriver::ResetDesktop() {
    Listen();
    ResetDialogService();
    DriverState& state = State();
    state.answers.clear();
    state.boxes.clear();
    state.modalScripts.clear();
    state.beeps.clear();
    state.newDialogs.clear();
    state.warningSound = true;
    DesktopDriver driver;
    driver.SetModifierKeys(false, false, false);
}

void DesktopDriver::SetFailureHandler(std::function<void(const std::string&)> handler) {
    State().failureHandler = handler;
}

// ------------------------------------------------------------------------------------ finding

HWND DesktopDriver::HostWindow() const { return static_cast<HWND>(HostMainWindow()); }

HWND DesktopDriver::Dialog(int templateID) const { return static_cast<HWND>(FindOpenDialog(templateID)); }

namespace {

BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

}  // namespace

HWND DesktopDriver::DialogByCaption(const char* caption) const {
    const std::u16string wanted = FromUTF8(caption);
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), &CollectWindow, reinterpret_cast<LPARAM>(&windows));
    // The thread's windows come topmost first; the most recent dialog is the one wanted.
    for (HWND window : windows)
        if (KindOf(window) == Kind::Dialog && IsWindowVisible(window) && WindowText(window) == wanted) return window;
    return nullptr;
}

HWND DesktopDriver::ActiveWindow() const { return GetActiveWindow(); }

HWND DesktopDriver::Control(HWND dialog, int id) const { return dialog ? GetDlgItem(dialog, id) : nullptr; }

HWND DesktopDriver::ControlByText(HWND dialog, const char* text) const {
    if (!dialog || !IsWindow(dialog)) return nullptr;
    const std::u16string wanted = FromUTF8(text);
    for (HWND child : Children(dialog)) {
        const std::u16string shown = WindowText(child);
        if (shown == wanted || WithoutMnemonics(shown) == wanted) return child;
    }
    return nullptr;
}

// ------------------------------------------------------------------------------------ seeing

std::string DesktopDriver::Text(HWND window) const { return UTF8(WindowText(window)); }
bool DesktopDriver::IsVisible(HWND window) const { return window && IsWindowVisible(window) != FALSE; }
bool DesktopDriver::IsEnabled(HWND window) const { return window && IsWindowEnabled(window) != FALSE; }
bool DesktopDriver::IsActive(HWND window) const { return window && GetActiveWindow() == window; }

bool DesktopDriver::IsChecked(HWND checkbox) const { return SendMessageW(checkbox, BM_GETCHECK, 0, 0) == BST_CHECKED; }

RECT DesktopDriver::Bounds(HWND window) const {
    RECT rect = {};
    if (!window || !IsWindow(window)) return rect;
    GetWindowRect(window, &rect);
    if (IsChildWindow(window)) MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::vector<std::string> DesktopDriver::Rows(HWND list) const {
    std::vector<std::string> rows;
    const Kind kind = list ? KindOf(list) : Kind::Other;
    if (kind == Kind::ComboBox || kind == Kind::ListBox) {
        const bool combo = kind == Kind::ComboBox;
        const int count = int(SendMessageW(list, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) rows.push_back(UTF8(ComboOrListText(list, combo, i)));
    } else if (kind == Kind::ListView) {
        const int count = int(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) rows.push_back(UTF8(ListViewCellText(list, i, 0)));
    }
    return rows;
}

int DesktopDriver::SelectedRow(HWND list) const {
    switch (list ? KindOf(list) : Kind::Other) {
        case Kind::ListView:
            return int(SendMessageW(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
        case Kind::ComboBox:
            return int(SendMessageW(list, CB_GETCURSEL, 0, 0));
        case Kind::ListBox:
            return int(SendMessageW(list, LB_GETCURSEL, 0, 0));
        default:
            return -1;
    }
}

bool DesktopDriver::IsRowChecked(HWND listView, int row) const {
    return SendMessageW(listView, LVM_GETITEMSTATE, WPARAM(row), LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
}

std::string DesktopDriver::Cell(HWND listView, int row, int column) const {
    return listView && KindOf(listView) == Kind::ListView ? UTF8(ListViewCellText(listView, row, column))
                                                          : std::string();
}

std::vector<std::string> DesktopDriver::TreeNodes(HWND tree) const {
    std::vector<std::string> lines;
    if (tree && KindOf(tree) == Kind::TreeView) ListTreeItems(tree, TreeRoot(tree), 0, false, &lines);
    return lines;
}

std::string DesktopDriver::SelectedTreeNode(HWND tree) const {
    if (!tree || KindOf(tree) != Kind::TreeView) return std::string();
    HTREEITEM caret = TreeNext(tree, nullptr, TVGN_CARET);
    return caret ? UTF8(ReadTreeItem(tree, caret).text) : std::string();
}

bool DesktopDriver::IsTreeNodeExpanded(HWND tree, const char* text) const {
    if (!tree || KindOf(tree) != Kind::TreeView) return false;
    HTREEITEM item = FindTreeItem(tree, TreeRoot(tree), FromUTF8(text));
    return item && (ReadTreeItem(tree, item).state & TVIS_EXPANDED);
}

bool DesktopDriver::IsBold(HWND control) const {
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    LOGFONTW description;
    return font && GetObjectW(font, sizeof description, &description) && description.lfWeight >= FW_BOLD;
}

int DesktopDriver::Repaints(HWND) const { return -1; }

std::string DesktopDriver::Picture(HWND dialog) const {
    if (!dialog || !IsWindow(dialog)) return "(no window)\n";
    std::ostringstream out;
    RECT outer = {}, client = {};
    GetWindowRect(dialog, &outer);
    GetClientRect(dialog, &client);
    const int templateID = OpenDialogTemplate(dialog);
    out << (templateID ? "dialog " + std::to_string(templateID) : std::string("window")) << " \""
        << UTF8(WindowText(dialog)) << "\" at " << outer.left << "," << outer.top << " size "
        << outer.right - outer.left << "x" << outer.bottom - outer.top << " (client " << client.right << "x"
        << client.bottom << ")";
    if (IsActive(dialog)) out << " active";
    if (!IsEnabled(dialog)) out << " disabled";
    if (IsIconic(dialog)) out << " minimized";
    out << "\n";
    for (HWND child : Children(dialog)) {
        const DWORD style = StyleOf(child);
        if (!(style & WS_VISIBLE)) continue;
        const RECT r = Bounds(child);
        const Kind kind = KindOf(child);
        out << "  [" << int(int16_t(GetDlgCtrlID(child))) << "] " << KindName(child);
        switch (kind) {
            case Kind::Button:
                if (IsCheckStyle(style)) {
                    const LRESULT check = SendMessageW(child, BM_GETCHECK, 0, 0);
                    out << (check == BST_CHECKED ? " [x]" : check == BST_INDETERMINATE ? " [-]" : " [ ]");
                }
                out << " \"" << Text(child) << "\"";
                if ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) out << " default";
                break;
            case Kind::ComboBox: {
                const std::vector<std::string> rows = Rows(child);
                const int selected = SelectedRow(child);
                out << " \"" << (selected >= 0 && selected < int(rows.size()) ? rows[size_t(selected)] : "")
                    << "\" of [";
                for (size_t i = 0; i < rows.size(); ++i) out << (i ? "|" : "") << rows[i];
                out << "]";
                break;
            }
            case Kind::ListBox: {
                const std::vector<std::string> rows = Rows(child);
                const int selected = SelectedRow(child);
                out << " [";
                for (size_t i = 0; i < rows.size(); ++i)
                    out << (i ? "|" : "") << (int(i) == selected ? "*" : "") << rows[i];
                out << "]";
                break;
            }
            case Kind::ListView:
            case Kind::TreeView:
                break;
            case Kind::Static:
                if (std::string(KindName(child)) == "label") out << " \"" << Text(child) << "\"";
                break;
            default:
                out << " \"" << Text(child) << "\"";
                break;
        }
        out << " at " << r.left << "," << r.top << " " << r.right - r.left << "x" << r.bottom - r.top;
        if (style & WS_DISABLED) out << " disabled";
        if (IsBold(child)) out << " bold";
        if (GetFocus() == child) out << " focus";
        out << "\n";
        if (kind == Kind::ListView) {
            const bool checks = (SendMessageW(child, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_CHECKBOXES) != 0;
            const int rows = int(SendMessageW(child, LVM_GETITEMCOUNT, 0, 0));
            const int columns = ListViewColumns(child);
            for (int row = 0; row < rows; ++row) {
                out << "      " << (checks ? (IsRowChecked(child, row) ? "[x] " : "[ ] ") : "");
                for (int column = 0; column < columns; ++column)
                    out << (column ? " | " : "") << UTF8(ListViewCellText(child, row, column));
                if (SendMessageW(child, LVM_GETITEMSTATE, WPARAM(row), LVIS_SELECTED) & LVIS_SELECTED) out << " *";
                out << "\n";
            }
        }
        if (kind == Kind::TreeView) {
            std::vector<std::string> lines;
            ListTreeItems(child, TreeRoot(child), 0, true, &lines);
            for (const std::string& line : lines) out << "      " << line << "\n";
        }
    }
    return out.str();
}

bool DesktopDriver::SaveImage(HWND window, const std::string& path, std::string* error) {
    Listen();
    auto fail = [error](const std::string& reason) {
        if (error) *error = reason;
        return false;
    };
    if (!window || !IsWindowVisible(window)) return fail("the window is not on screen");
    // On top and painted, then copied from the screen as the user sees it.
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump(300);
    RECT rect = {};
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return fail("the window has no area");
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    const BOOL copied = BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, previous);
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    const size_t stride = (size_t(width) * 3 + 3) & ~size_t(3);
    std::vector<char> pixels(stride * size_t(height));
    const int lines = GetDIBits(memory, bitmap, 0, UINT(height), pixels.data(), reinterpret_cast<BITMAPINFO*>(&header),
                                DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (!copied || lines != height) return fail("the screen could not be copied");
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = DWORD(sizeof file + sizeof header);
    file.bfSize = DWORD(file.bfOffBits + pixels.size());
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return fail("cannot write " + path);
    const bool written = std::fwrite(&file, sizeof file, 1, out) == 1 &&
                         std::fwrite(&header, sizeof header, 1, out) == 1 &&
                         std::fwrite(pixels.data(), 1, pixels.size(), out) == pixels.size();
    if (std::fclose(out) != 0 || !written) return fail("cannot write " + path);
    return true;
}

// ------------------------------------------------------------------------------------ acting

bool DesktopDriver::Click(HWND button) {
    Listen();
    if (!button || KindOf(button) != Kind::Button || !IsUsable(button)) return false;
    SendMessageW(button, BM_CLICK, 0, 0);
    return true;
}

bool DesktopDriver::ToggleCheck(HWND checkbox) {
    return checkbox && IsCheckStyle(StyleOf(checkbox)) && Click(checkbox);
}

bool DesktopDriver::ChoosePopupRow(HWND popup, int row) {
    Listen();
    if (!popup || KindOf(popup) != Kind::ComboBox || !IsUsable(popup)) return false;
    if (row < 0 || row >= int(SendMessageW(popup, CB_GETCOUNT, 0, 0))) return false;
    SetFocus(popup);
    if (!IsWindow(popup)) return true;
    // Choosing a row of the closed list: the selection moves and the owner hears of it.
    if (SendMessageW(popup, CB_GETCURSEL, 0, 0) != row) {
        SendMessageW(popup, CB_SETCURSEL, WPARAM(row), 0);
        CommandToParent(popup, CBN_SELCHANGE);
        if (!IsWindow(popup)) return true;
    }
    CommandToParent(popup, CBN_SELENDOK);
    return true;
}

bool DesktopDriver::ChoosePopupText(HWND popup, const char* text) {
    const std::vector<std::string> rows = Rows(popup);
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i] == (text ? text : "")) return ChoosePopupRow(popup, int(i));
    return false;
}

bool DesktopDriver::Type(HWND edit, const char* text) {
    Listen();
    if (!edit || KindOf(edit) != Kind::Edit || !IsUsable(edit) || (StyleOf(edit) & ES_READONLY)) return false;
    SetFocus(edit);
    // The field's text is selected and replaced: each typed character is one change.
    SendMessageW(edit, EM_SETSEL, 0, -1);
    const std::u16string typed = FromUTF8(text);
    if (typed.empty()) SendMessageW(edit, WM_CHAR, VK_BACK, 1);
    for (char16_t unit : typed) {
        if (!IsWindow(edit)) return true;
        SendMessageW(edit, WM_CHAR, WPARAM(unit), 1);
    }
    return true;
}

bool DesktopDriver::SelectListRow(HWND list, int row) {
    Listen();
    if (!list || !IsUsable(list) || row < 0) return false;
    if (KindOf(list) == Kind::ListBox) {
        if (row >= int(SendMessageW(list, LB_GETCOUNT, 0, 0))) return false;
        SetFocus(list);
        if (!IsWindow(list) || SendMessageW(list, LB_GETCURSEL, 0, 0) == row) return true;
        SendMessageW(list, LB_SETCURSEL, WPARAM(row), 0);
        if (StyleOf(list) & LBS_NOTIFY) CommandToParent(list, LBN_SELCHANGE);
        return true;
    }
    if (KindOf(list) != Kind::ListView || row >= int(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0))) return false;
    SetFocus(list);
    if (!IsWindow(list)) return true;
    LVITEMW state = {};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, WPARAM(row), reinterpret_cast<LPARAM>(&state));
    return true;
}

bool DesktopDriver::ToggleListCheck(HWND listView, int row) {
    Listen();
    if (!listView || KindOf(listView) != Kind::ListView || !IsUsable(listView) || row < 0 ||
        row >= int(SendMessageW(listView, LVM_GETITEMCOUNT, 0, 0)) ||
        !(SendMessageW(listView, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_CHECKBOXES))
        return false;
    SetFocus(listView);
    if (!IsWindow(listView)) return true;
    LVITEMW state = {};
    state.stateMask = LVIS_STATEIMAGEMASK;
    state.state = INDEXTOSTATEIMAGEMASK(IsRowChecked(listView, row) ? 1u : 2u);
    SendMessageW(listView, LVM_SETITEMSTATE, WPARAM(row), reinterpret_cast<LPARAM>(&state));
    return true;
}

bool DesktopDriver::DoubleClickListRow(HWND listView, int row) {
    if (!listView || KindOf(listView) != Kind::ListView || !SelectListRow(listView, row)) return false;
    if (!IsWindow(listView)) return true;
    RECT item = {};
    item.left = LVIR_LABEL;
    SendMessageW(listView, LVM_GETITEMRECT, WPARAM(row), reinterpret_cast<LPARAM>(&item));
    const LPARAM point = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    SendMessageW(listView, WM_LBUTTONDBLCLK, MK_LBUTTON, point);
    return true;
}

bool DesktopDriver::SelectTreeNode(HWND tree, const char* text) {
    Listen();
    if (!tree || KindOf(tree) != Kind::TreeView) return false;
    return SelectTreeItem(tree, FindTreeItem(tree, TreeRoot(tree), FromUTF8(text)));
}

bool DesktopDriver::SelectTreeNodeIn(HWND tree, const char* parentText, const char* text) {
    Listen();
    if (!tree || KindOf(tree) != Kind::TreeView) return false;
    HTREEITEM parent = FindTreeItem(tree, TreeRoot(tree), FromUTF8(parentText));
    if (!parent) return false;
    return SelectTreeItem(tree, FindTreeItem(tree, TreeNext(tree, parent, TVGN_CHILD), FromUTF8(text)));
}

bool DesktopDriver::ExpandTreeNode(HWND tree, const char* text, bool expand) {
    Listen();
    if (!tree || KindOf(tree) != Kind::TreeView || !IsUsable(tree)) return false;
    HTREEITEM item = FindTreeItem(tree, TreeRoot(tree), FromUTF8(text));
    if (!item) return false;
    SendMessageW(tree, TVM_EXPAND, expand ? TVE_EXPAND : TVE_COLLAPSE, reinterpret_cast<LPARAM>(item));
    return true;
}

namespace {

// A key as the dialog manager gets it from the message loop, aimed at the focused control.
bool PressKey(HWND dialog, UINT key, int buttonID) {
    Listen();
    if (!dialog || KindOf(dialog) != Kind::Dialog || !IsUsable(dialog)) return false;
    HWND button = GetDlgItem(dialog, buttonID);
    if (buttonID == IDOK) {
        const LRESULT defaultID = SendMessageW(dialog, DM_GETDEFID, 0, 0);
        if (HIWORD(defaultID) == DC_HASDEFID) button = GetDlgItem(dialog, LOWORD(defaultID));
    }
    HWND focus = GetFocus();
    const bool focusedPushButton =
        focus && GetParent(focus) == dialog && KindOf(focus) == Kind::Button && !IsCheckStyle(StyleOf(focus));
    if (!(key == VK_RETURN && focusedPushButton) && button && !IsWindowEnabled(button)) {
        MessageBeep(0);
        return false;
    }
    if (!focus || (focus != dialog && !IsChild(dialog, focus))) focus = dialog;
    MSG message = {};
    message.hwnd = focus;
    message.message = WM_KEYDOWN;
    message.wParam = key;
    message.time = GetTickCount();
    IsDialogMessageW(dialog, &message);
    return true;
}

}  // namespace

bool DesktopDriver::PressEnter(HWND dialog) { return PressKey(dialog, VK_RETURN, IDOK); }
bool DesktopDriver::PressEscape(HWND dialog) { return PressKey(dialog, VK_ESCAPE, IDCANCEL); }

bool DesktopDriver::CloseWindow(HWND window) {
    Listen();
    if (!window || IsChildWindow(window) || !(StyleOf(window) & WS_SYSMENU) || !IsUsable(window)) return false;
    SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    return true;
}

bool DesktopDriver::Activate(HWND window) {
    Listen();
    if (!window || !IsWindow(window) || IsChildWindow(window) || !IsWindowVisible(window)) return false;
    if (!IsWindowEnabled(window)) {
        MessageBeep(0);
        return false;
    }
    SetForegroundWindow(window);
    SetActiveWindow(window);
    return true;
}

void DesktopDriver::ClickHostDocument() {
    Listen();
    HWND host = HostWindow();
    if (host && IsWindowEnabled(host)) {
        SetForegroundWindow(host);
        SetActiveWindow(host);
    }
}

bool DesktopDriver::Resize(HWND window, int width, int height) {
    Listen();
    if (!window || IsChildWindow(window) || !(StyleOf(window) & WS_THICKFRAME) || !IsUsable(window)) return false;
    SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
    return true;
}

bool DesktopDriver::Move(HWND window, int left, int top) {
    Listen();
    if (!window || IsChildWindow(window) || !IsUsable(window)) return false;
    SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    return true;
}

bool DesktopDriver::Minimize(HWND window) {
    Listen();
    if (!window || !IsWindow(window) || IsChildWindow(window) || IsIconic(window)) return false;
    ShowWindow(window, SW_MINIMIZE);
    return true;
}

bool DesktopDriver::Restore(HWND window) {
    Listen();
    if (!window || !IsIconic(window)) return false;
    ShowWindow(window, SW_RESTORE);
    return true;
}

void DesktopDriver::SetModifierKeys(bool shift, bool ctrl, bool alt) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = keys[VK_LSHIFT] = shift ? 0x80 : 0;
    keys[VK_CONTROL] = keys[VK_LCONTROL] = ctrl ? 0x80 : 0;
    keys[VK_MENU] = keys[VK_LMENU] = alt ? 0x80 : 0;
    SetKeyboardState(keys);
}

void DesktopDriver::AdvanceClock(uint32_t milliseconds) {
    Listen();
    Pump(milliseconds);
}

// ------------------------------------------------------------------------------------ boxes

void DesktopDriver::AnswerNextMessageBox(int answer) {
    Listen();
    State().answers.push_back(answer);
}

std::vector<DesktopDriver::MessageBoxShown> DesktopDriver::MessageBoxes() const { return State().boxes; }

void DesktopDriver::OnNextModalDialog(std::function<void(DesktopDriver&, HWND)> script) {
    Listen();
    State().modalScripts.push_back(script);
}

// ------------------------------------------------------------------------------------ host, records

void DesktopDriver::ShowHostModalDialog() { simhost::ShowHostModalDialog(); }
void DesktopDriver::EndHostModalDialog() { simhost::EndHostModalDialog(); }
std::vector<unsigned> DesktopDriver::Beeps() const { return State().beeps; }
std::vector<int> DesktopDriver::DeferredBatches() const { return std::vector<int>(); }
int DesktopDriver::LiveFontCount() const { return -1; }
void DesktopDriver::SetScreenDPI(int) {}
void DesktopDriver::SetWarningSoundAvailable(bool available) {
    Listen();
    State().warningSound = available;
}
std::string DesktopDriver::LastDialogError() const { return LastOpenDialogError(); }

}  // namespace simhost
