// The simulated desktop's core: the window registry, messages, geometry, activation and focus,
// timers, keys, metrics, fonts, beeps and message boxes, behind the Win32 functions of qzwin32.h.
#include "simhost/desktop/Desktop.h"

#include "simhost/Unicode.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace simhost {
namespace desktop {
namespace {

struct Timer {
    HWND window;
    UINT_PTR id;
    UINT period;
    uint32_t due;
    uint64_t order;
};

struct DeferredMove {
    HWND window;
    int x, y, cx, cy;
    UINT flags;
};

struct FontObject {
    LOGFONTW font;
    bool stock;
};

// The screen: 1920 x 1080 with a 40-pixel task bar, the metrics of a current Windows.
constexpr int kScreenWidth = 1920;
constexpr int kScreenHeight = 1080;
constexpr int kCaption = 23;
constexpr int kSizeFrame = 4;
constexpr int kPaddedBorder = 4;
constexpr int kFixedFrame = 3;
constexpr int kMinTrackWidth = 136;
constexpr int kMinTrackHeight = 39;

struct DesktopState {
    std::map<uintptr_t, std::unique_ptr<Window>> windows;
    // Destroyed windows stay allocated until the next reset: a window may be destroyed while one
    // of its own messages is still being handled further up the stack.
    std::vector<std::unique_ptr<Window>> graveyard;
    std::vector<HWND> order;       // creation order of the live windows
    std::vector<HWND> activation;  // top-level windows, most recently active last
    uintptr_t nextHandle = 0x10000;
    HWND active = nullptr;
    HWND focus = nullptr;
    uint32_t clock = 0;
    uint64_t timerOrder = 0;
    std::vector<Timer> timers;
    std::map<int, bool> keys;
    std::map<uintptr_t, FontObject> fonts;
    uintptr_t nextFont = 0x30010;
    std::map<uintptr_t, std::vector<DeferredMove>> batches;
    uintptr_t nextBatch = 0x40000;
    std::vector<int> batchSizes;
    std::vector<UINT> beeps;
    bool warningSound = true;
    int dpi = 96;
    std::deque<int> answers;
    std::vector<MessageBoxRecord> messageBoxes;
    std::deque<std::function<void(HWND)>> modalScripts;
    std::function<void(const std::string&)> failureHandler;
    std::map<std::u16string, WNDPROC> classes;
};

DesktopState& State() {
    static DesktopState state;
    return state;
}

constexpr uintptr_t kStockGuiFont = 0x30000;
constexpr uintptr_t kScreenDC = 0x50000;

std::u16string Lower(const std::u16string& text) {
    std::u16string lower = text;
    for (char16_t& c : lower)
        if (c >= u'A' && c <= u'Z') c = char16_t(c - u'A' + u'a');
    return lower;
}

std::u16string FromWide(LPCWSTR text) { return WideToString(text); }
int CopyOut(const std::u16string& text, LPWSTR buffer, int size) { return CopyText(text, buffer, size); }

const LOGFONTW& StockFont() {
    static LOGFONTW font = [] {
        LOGFONTW f = {};
        f.lfHeight = -11;
        f.lfWeight = FW_NORMAL;
        const std::u16string face = u"MS Shell Dlg";
        std::copy(face.begin(), face.end(), f.lfFaceName);
        return f;
    }();
    return font;
}

void MoveToFront(std::vector<HWND>& list, HWND window) {
    list.erase(std::remove(list.begin(), list.end(), window), list.end());
    list.push_back(window);
}

}  // namespace

// ------------------------------------------------------------------------- registry

void Reset() {
    DesktopState& state = State();
    state.windows.clear();
    state.graveyard.clear();
    state.order.clear();
    state.activation.clear();
    state.nextHandle = 0x10000;
    state.active = state.focus = nullptr;
    state.clock = 0;
    state.timers.clear();
    state.keys.clear();
    state.fonts.clear();
    state.batches.clear();
    state.batchSizes.clear();
    state.beeps.clear();
    state.warningSound = true;
    state.dpi = 96;
    state.answers.clear();
    state.messageBoxes.clear();
    state.modalScripts.clear();
    state.classes.clear();
}

Window* Find(HWND window) {
    auto found = State().windows.find(reinterpret_cast<uintptr_t>(window));
    return found == State().windows.end() ? nullptr : found->second.get();
}

std::vector<HWND> AllWindows() { return State().order; }

bool IsTopLevel(const Window& window) { return (window.style & WS_CHILD) == 0; }

HWND RootOf(HWND window) {
    Window* w = Find(window);
    while (w && !IsTopLevel(*w)) {
        Window* parent = Find(w->parent);
        if (!parent) break;
        w = parent;
    }
    return w ? w->handle : nullptr;
}

std::string UTF8(const std::u16string& text) { return simhost::ToUTF8(text); }

std::u16string WideToString(LPCWSTR text) { return text ? std::u16string(text) : std::u16string(); }

int CopyText(const std::u16string& text, LPWSTR buffer, int size) {
    if (!buffer || size <= 0) return 0;
    const int count = std::min(int(text.size()), size - 1);
    std::memcpy(buffer, text.data(), size_t(count) * sizeof(char16_t));
    buffer[count] = 0;
    return count;
}

bool SameTextIgnoringCase(const std::u16string& a, const std::u16string& b) { return Lower(a) == Lower(b); }

void SetFailureHandler(std::function<void(const std::string&)> handler) { State().failureHandler = handler; }

void ReportFailure(const std::string& message) {
    if (State().failureHandler) {
        State().failureHandler(message);
        return;
    }
    std::fprintf(stderr, "simulated desktop: %s\n", message.c_str());
    std::abort();
}

// ------------------------------------------------------------------------- geometry

int FrameSize(DWORD style) {
    if (style & WS_CHILD) return 0;
    if (style & WS_THICKFRAME) return kSizeFrame + kPaddedBorder;
    if (style & WS_DLGFRAME) return kFixedFrame;
    if (style & WS_BORDER) return 1;
    return 0;
}

int CaptionHeight(DWORD style) {
    if (style & WS_CHILD) return 0;
    return (style & WS_CAPTION) == WS_CAPTION ? kCaption : 0;
}

POINT ClientOrigin(const Window& window) {
    POINT origin = {window.rect.left, window.rect.top};
    if (IsTopLevel(window)) {
        origin.x += FrameSize(window.style);
        origin.y += FrameSize(window.style) + CaptionHeight(window.style);
        return origin;
    }
    if (const Window* parent = Find(window.parent)) {
        const POINT base = ClientOrigin(*parent);
        origin.x += base.x;
        origin.y += base.y;
    }
    return origin;
}

int ClientWidth(const Window& window) {
    const int width = window.rect.right - window.rect.left - 2 * FrameSize(window.style);
    return std::max(width, 0);
}

int ClientHeight(const Window& window) {
    const int height = window.rect.bottom - window.rect.top - 2 * FrameSize(window.style) - CaptionHeight(window.style);
    return std::max(height, 0);
}

void Reposition(Window& window, int x, int y, int cx, int cy, UINT flags) {
    const HWND handle = window.handle;
    WINDOWPOS position = {handle, nullptr, x, y, cx, cy, flags};
    if (flags & SWP_NOMOVE) {
        position.x = window.rect.left;
        position.y = window.rect.top;
    }
    if (flags & SWP_NOSIZE) {
        position.cx = window.rect.right - window.rect.left;
        position.cy = window.rect.bottom - window.rect.top;
    }
    Send(handle, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&position));
    if (window.destroyed) return;
    // Resizable top-level windows keep to the limits their procedure gives.
    if (!(flags & SWP_NOSIZE) && IsTopLevel(window) && (window.style & WS_THICKFRAME)) {
        MINMAXINFO limits = {};
        limits.ptMinTrackSize = {kMinTrackWidth, kMinTrackHeight};
        limits.ptMaxTrackSize = {kScreenWidth + 2 * FrameSize(window.style),
                                 kScreenHeight + 2 * FrameSize(window.style)};
        Send(handle, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
        if (window.destroyed) return;
        position.cx = std::max(std::min(position.cx, int(limits.ptMaxTrackSize.x)), int(limits.ptMinTrackSize.x));
        position.cy = std::max(std::min(position.cy, int(limits.ptMaxTrackSize.y)), int(limits.ptMinTrackSize.y));
    }
    if (window.kind == Kind::ComboBox && !(flags & SWP_NOSIZE)) {
        // A drop-down list keeps its field's height; the height asked for is the list's.
        window.dropHeight = position.cy;
        position.cy = window.rect.bottom - window.rect.top;
    }
    const RECT old = window.rect;
    window.rect = {position.x, position.y, position.x + position.cx, position.y + position.cy};
    const bool moved = old.left != window.rect.left || old.top != window.rect.top;
    const bool sized = old.right - old.left != position.cx || old.bottom - old.top != position.cy;
    if (moved) {
        const POINT origin = ClientOrigin(window);
        Send(handle, WM_MOVE, 0, MAKELPARAM(origin.x, origin.y));
    }
    if (sized && !window.destroyed && !window.minimized)
        Send(handle, WM_SIZE, SIZE_RESTORED, MAKELPARAM(ClientWidth(window), ClientHeight(window)));
    if (!window.destroyed) Send(handle, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&position));
}

// ------------------------------------------------------------------------- messages

LRESULT GenericMessage(Window& window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_SETTEXT:
            window.text = FromWide(reinterpret_cast<LPCWSTR>(lparam));
            return TRUE;
        case WM_GETTEXT:
            return CopyOut(window.text, reinterpret_cast<LPWSTR>(lparam), int(wparam));
        case WM_GETTEXTLENGTH:
            return LRESULT(window.text.size());
        case WM_SETFONT:
            window.font = reinterpret_cast<HFONT>(wparam);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(window.font);
        default:
            return 0;
    }
}

LRESULT Send(HWND handle, UINT message, WPARAM wparam, LPARAM lparam) {
    Window* window = Find(handle);
    if (!window) return 0;
    switch (window->kind) {
        case Kind::Dialog: {
            if (window->dialogProc) {
                const INT_PTR handled = window->dialogProc(handle, message, wparam, lparam);
                if (window->destroyed) return handled;
                if (handled) return message == WM_INITDIALOG ? handled : window->messageResult;
            }
            return DefaultDialogMessage(*window, message, wparam, lparam);
        }
        case Kind::Plain:
            if (window->windowProc) return window->windowProc(handle, message, wparam, lparam);
            return GenericMessage(*window, message, wparam, lparam);
        default:
            return ControlMessage(*window, message, wparam, lparam);
    }
}

LRESULT NotifyParent(Window& control, NMHDR* header, UINT code) {
    header->hwndFrom = control.handle;
    header->idFrom = UINT_PTR(control.id);
    header->code = code;
    return Send(control.parent, WM_NOTIFY, WPARAM(control.id), reinterpret_cast<LPARAM>(header));
}

void CommandToParent(Window& control, WORD code) {
    Send(control.parent, WM_COMMAND, MAKEWPARAM(control.id, code), reinterpret_cast<LPARAM>(control.handle));
}

// ------------------------------------------------------------------------- windows

Kind KindOfClass(const std::u16string& className, bool* known) {
    static const std::map<std::u16string, Kind> kinds = {
        {u"static", Kind::Static},          {u"button", Kind::Button},   {u"edit", Kind::Edit},
        {u"combobox", Kind::ComboBox},      {u"listbox", Kind::ListBox}, {u"syslistview32", Kind::ListView},
        {u"systreeview32", Kind::TreeView}, {u"#32770", Kind::Dialog},
    };
    auto found = kinds.find(Lower(className));
    if (known) *known = found != kinds.end();
    return found == kinds.end() ? Kind::Plain : found->second;
}

HWND CreateControl(Kind kind, const std::u16string& className, const std::u16string& text, DWORD style, DWORD exStyle,
                   const RECT& rect, HWND parent, int id, HINSTANCE module) {
    DesktopState& state = State();
    std::unique_ptr<Window> window(new Window);
    window->handle = reinterpret_cast<HWND>(state.nextHandle);
    state.nextHandle += 4;
    window->kind = kind;
    window->className = className;
    window->parent = parent;
    window->id = id;
    window->style = style;
    window->exStyle = exStyle;
    window->text = text;
    window->rect = rect;
    window->module = module;
    if (kind == Kind::ComboBox) {
        // The field of a drop-down list is one text line high; the rest is the list's.
        window->dropHeight = rect.bottom - rect.top;
        window->rect.bottom = rect.top + 21;
    }
    if (kind == Kind::Button && (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
        if (Window* dialog = Find(parent)) dialog->defaultID = id;
    const HWND handle = window->handle;
    state.windows[reinterpret_cast<uintptr_t>(handle)] = std::move(window);
    state.order.push_back(handle);
    if (style & WS_CHILD) {
        if (Window* container = Find(parent)) container->children.push_back(handle);
    } else {
        state.activation.insert(state.activation.begin(), handle);
    }
    return handle;
}

void Activate(HWND handle, WORD how) {
    DesktopState& state = State();
    Window* window = Find(handle);
    if (!window || !IsTopLevel(*window) || state.active == handle) return;
    const HWND previous = state.active;
    state.active = handle;
    MoveToFront(state.activation, handle);
    if (Find(previous)) Send(previous, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), reinterpret_cast<LPARAM>(handle));
    if (Find(handle) && state.active == handle)
        Send(handle, WM_ACTIVATE, MAKEWPARAM(how, window->minimized ? 1 : 0), reinterpret_cast<LPARAM>(previous));
}

void ChangeFocus(HWND handle) {
    DesktopState& state = State();
    const HWND previous = state.focus;
    if (previous == handle) return;
    state.focus = handle;
    if (Find(previous)) Send(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(handle), 0);
    if (Find(handle) && state.focus == handle) Send(handle, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
}

bool IsUsable(HWND handle) {
    for (Window* window = Find(handle); window; window = IsTopLevel(*window) ? nullptr : Find(window->parent))
        if (!(window->style & WS_VISIBLE) || (window->style & WS_DISABLED) || window->minimized) return false;
    return Find(handle) != nullptr;
}

// A top-level window that can take the activation when the active one goes away.
static HWND NextActivation(HWND leaving, HWND owner) {
    DesktopState& state = State();
    Window* ownerWindow = Find(owner);
    if (ownerWindow && owner != leaving && (ownerWindow->style & WS_VISIBLE) && !(ownerWindow->style & WS_DISABLED))
        return owner;
    for (auto it = state.activation.rbegin(); it != state.activation.rend(); ++it) {
        Window* candidate = Find(*it);
        if (candidate && *it != leaving && (candidate->style & WS_VISIBLE) && !(candidate->style & WS_DISABLED) &&
            !candidate->minimized)
            return *it;
    }
    return nullptr;
}

bool Destroy(HWND handle) {
    DesktopState& state = State();
    Window* window = Find(handle);
    if (!window) return false;
    // Owned top-level windows go first.
    for (HWND other : std::vector<HWND>(state.order)) {
        Window* owned = Find(other);
        if (owned && owned != window && IsTopLevel(*owned) && owned->parent == handle) Destroy(other);
    }
    if (!Find(handle)) return true;
    const bool wasActive = state.active == handle;
    if (wasActive) {
        state.active = nullptr;
        Send(handle, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), 0);
    }
    if (!Find(handle)) return true;
    Send(handle, WM_DESTROY, 0, 0);
    for (HWND child : std::vector<HWND>(window->children)) Destroy(child);
    if (!Find(handle)) return true;
    Send(handle, WM_NCDESTROY, 0, 0);
    if (!Find(handle)) return true;
    window->destroyed = true;
    state.timers.erase(std::remove_if(state.timers.begin(), state.timers.end(),
                                      [&](const Timer& timer) { return timer.window == handle; }),
                       state.timers.end());
    if (state.focus == handle) state.focus = nullptr;
    if (Window* container = Find(window->parent))
        container->children.erase(std::remove(container->children.begin(), container->children.end(), handle),
                                  container->children.end());
    if (window->ownFont) DeleteObject(window->ownFont);
    state.order.erase(std::remove(state.order.begin(), state.order.end(), handle), state.order.end());
    state.activation.erase(std::remove(state.activation.begin(), state.activation.end(), handle),
                           state.activation.end());
    auto found = state.windows.find(reinterpret_cast<uintptr_t>(handle));
    state.graveyard.push_back(std::move(found->second));
    state.windows.erase(found);
    if (wasActive && IsTopLevel(*window))
        if (HWND next = NextActivation(handle, window->parent)) Activate(next, WA_ACTIVE);
    return true;
}

// ------------------------------------------------------------------------- time, input, output

uint32_t Now() { return State().clock; }

void AdvanceClock(uint32_t milliseconds) {
    DesktopState& state = State();
    const uint32_t target = state.clock + milliseconds;
    while (true) {
        Timer* next = nullptr;
        for (Timer& timer : state.timers)
            if (timer.due <= target &&
                (!next || timer.due < next->due || (timer.due == next->due && timer.order < next->order)))
                next = &timer;
        if (!next) break;
        state.clock = next->due;
        next->due += std::max<UINT>(next->period, 1);
        const HWND window = next->window;
        const UINT_PTR id = next->id;
        Send(window, WM_TIMER, id, 0);
    }
    state.clock = target;
}

void SetKeyDown(int key, bool down) { State().keys[key] = down; }
void SetScreenDPI(int dpi) { State().dpi = dpi > 0 ? dpi : 96; }
int ScreenDPI() { return State().dpi; }
void SetWarningSoundAvailable(bool available) { State().warningSound = available; }
const std::vector<UINT>& Beeps() { return State().beeps; }
const std::vector<int>& DeferredBatches() { return State().batchSizes; }

int LiveFontCount() {
    int count = 0;
    for (const auto& font : State().fonts)
        if (!font.second.stock) ++count;
    return count;
}

void QueueMessageBoxAnswer(int answer) { State().answers.push_back(answer); }
int QueuedMessageBoxAnswers() { return int(State().answers.size()); }
const std::vector<MessageBoxRecord>& MessageBoxes() { return State().messageBoxes; }
void QueueModalScript(std::function<void(HWND)> script) { State().modalScripts.push_back(script); }
int QueuedModalScripts() { return int(State().modalScripts.size()); }

// Takes the next modal script, or an empty function.
std::function<void(HWND)> TakeModalScript() {
    DesktopState& state = State();
    if (state.modalScripts.empty()) return nullptr;
    std::function<void(HWND)> script = state.modalScripts.front();
    state.modalScripts.pop_front();
    return script;
}

}  // namespace desktop
}  // namespace simhost

using namespace simhost::desktop;

// ============================================================================= Win32 functions

extern "C" {

ATOM WINAPI RegisterClassW(const WNDCLASSW* windowClass) {
    if (!windowClass || !windowClass->lpszClassName || !windowClass->lpfnWndProc) return 0;
    const std::u16string name = Lower(FromWide(windowClass->lpszClassName));
    bool standard = false;
    KindOfClass(name, &standard);
    if (standard || State().classes.count(name)) return 0;
    State().classes[name] = windowClass->lpfnWndProc;
    return ATOM(0xC000 + State().classes.size());
}

LRESULT WINAPI DefWindowProcW(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    Window* w = Find(window);
    return w ? GenericMessage(*w, message, wparam, lparam) : 0;
}

HWND WINAPI CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width,
                            int height, HWND parent, HMENU menu, HINSTANCE instance, void*) {
    if (!className || IS_INTRESOURCE(className)) return nullptr;
    const std::u16string name = FromWide(className);
    bool known = false;
    Kind kind = KindOfClass(name, &known);
    WNDPROC procedure = nullptr;
    if (!known) {
        auto registered = State().classes.find(Lower(name));
        if (registered == State().classes.end()) return nullptr;
        procedure = registered->second;
    }
    if (kind == Kind::Dialog) return nullptr;  // dialogs come from templates
    if ((style & WS_CHILD) && !Find(parent)) return nullptr;
    const RECT rect = {x, y, x + std::max(width, 0), y + std::max(height, 0)};
    const int id = (style & WS_CHILD) ? int(reinterpret_cast<UINT_PTR>(menu)) : 0;
    HWND handle = CreateControl(kind, name, FromWide(windowName), style, exStyle, rect, parent, id, instance);
    Window* window = Find(handle);
    window->windowProc = procedure;
    if (Send(handle, WM_CREATE, 0, 0) == -1) {
        Destroy(handle);
        return nullptr;
    }
    if (!Find(handle)) return nullptr;
    Send(handle, WM_SIZE, SIZE_RESTORED, MAKELPARAM(ClientWidth(*window), ClientHeight(*window)));
    if (Find(handle) && !(style & WS_CHILD) && (style & WS_VISIBLE)) Activate(handle, WA_ACTIVE);
    return Find(handle) ? handle : nullptr;
}

BOOL WINAPI DestroyWindow(HWND window) { return Destroy(window) ? TRUE : FALSE; }

BOOL WINAPI IsWindow(HWND window) { return Find(window) ? TRUE : FALSE; }

BOOL WINAPI IsWindowVisible(HWND window) {
    for (Window* w = Find(window); w; w = IsTopLevel(*w) ? nullptr : Find(w->parent))
        if (!(w->style & WS_VISIBLE)) return FALSE;
    return Find(window) ? TRUE : FALSE;
}

BOOL WINAPI IsWindowEnabled(HWND window) {
    Window* w = Find(window);
    return w && !(w->style & WS_DISABLED) ? TRUE : FALSE;
}

BOOL WINAPI EnableWindow(HWND window, BOOL enable) {
    Window* w = Find(window);
    if (!w) return FALSE;
    const bool wasDisabled = (w->style & WS_DISABLED) != 0;
    if (wasDisabled == !enable) return wasDisabled ? TRUE : FALSE;
    if (enable)
        w->style &= ~WS_DISABLED;
    else
        w->style |= WS_DISABLED;
    if (!enable && State().focus && (State().focus == window || RootOf(State().focus) == window)) ChangeFocus(nullptr);
    Send(window, WM_ENABLE, enable ? TRUE : FALSE, 0);
    return wasDisabled ? TRUE : FALSE;
}

BOOL WINAPI IsIconic(HWND window) {
    Window* w = Find(window);
    return w && w->minimized ? TRUE : FALSE;
}

BOOL WINAPI ShowWindow(HWND window, int command) {
    Window* w = Find(window);
    if (!w) return FALSE;
    const bool wasVisible = (w->style & WS_VISIBLE) != 0;
    const bool topLevel = IsTopLevel(*w);
    if (command == SW_HIDE) {
        if (!wasVisible) return FALSE;
        Send(window, WM_SHOWWINDOW, FALSE, 0);
        if (!Find(window)) return TRUE;
        w->style &= ~WS_VISIBLE;
        if (State().focus && (State().focus == window || RootOf(State().focus) == window)) ChangeFocus(nullptr);
        if (topLevel && State().active == window) {
            State().active = nullptr;
            Send(window, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), 0);
            if (HWND next = NextActivation(window, w->parent)) Activate(next, WA_ACTIVE);
        }
        return TRUE;
    }
    if (!wasVisible) {
        Send(window, WM_SHOWWINDOW, TRUE, 0);
        if (!Find(window)) return FALSE;
        w->style |= WS_VISIBLE;
        if (topLevel) {
            WINDOWPOS position = {window,
                                  nullptr,
                                  w->rect.left,
                                  w->rect.top,
                                  w->rect.right - w->rect.left,
                                  w->rect.bottom - w->rect.top,
                                  SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW};
            Send(window, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&position));
        }
    }
    if (!Find(window)) return wasVisible ? TRUE : FALSE;
    if (command == SW_MINIMIZE || command == SW_SHOWMINIMIZED) {
        if (!w->minimized) {
            w->minimized = true;
            Send(window, WM_SIZE, SIZE_MINIMIZED, 0);
            if (topLevel && State().active == window) {
                State().active = nullptr;
                Send(window, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 1), 0);
                if (HWND next = NextActivation(window, w->parent)) Activate(next, WA_ACTIVE);
            }
        }
        return wasVisible ? TRUE : FALSE;
    }
    if (w->minimized && (command == SW_SHOWNORMAL || command == SW_RESTORE)) {
        w->minimized = false;
        Send(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(ClientWidth(*w), ClientHeight(*w)));
    }
    if (Find(window) && topLevel && (command == SW_SHOWNORMAL || command == SW_SHOW || command == SW_RESTORE))
        Activate(window, WA_ACTIVE);
    return wasVisible ? TRUE : FALSE;
}

HWND WINAPI GetParent(HWND window) {
    Window* w = Find(window);
    return w ? w->parent : nullptr;
}

HWND WINAPI GetAncestor(HWND window, UINT flags) {
    Window* w = Find(window);
    if (!w) return nullptr;
    switch (flags) {
        case GA_PARENT:
            return IsTopLevel(*w) ? nullptr : w->parent;
        case GA_ROOT:
            return RootOf(window);
        case GA_ROOTOWNER: {
            HWND root = RootOf(window);
            for (Window* owner = Find(Find(root)->parent); owner; owner = Find(owner->parent)) root = owner->handle;
            return root;
        }
        default:
            return nullptr;
    }
}

HWND WINAPI GetDlgItem(HWND dialog, int id) {
    Window* w = Find(dialog);
    if (!w) return nullptr;
    for (HWND child : w->children) {
        Window* item = Find(child);
        if (item && item->id == id) return child;
    }
    return nullptr;
}

int WINAPI GetDlgCtrlID(HWND window) {
    Window* w = Find(window);
    return w ? w->id : 0;
}

int WINAPI GetClassNameW(HWND window, LPWSTR name, int size) {
    Window* w = Find(window);
    return w ? CopyOut(w->className, name, size) : 0;
}

int WINAPI GetWindowTextW(HWND window, LPWSTR text, int size) {
    if (text && size > 0) text[0] = 0;
    if (!Find(window)) return 0;
    return int(Send(window, WM_GETTEXT, WPARAM(size), reinterpret_cast<LPARAM>(text)));
}

int WINAPI GetWindowTextLengthW(HWND window) { return int(Send(window, WM_GETTEXTLENGTH, 0, 0)); }

BOOL WINAPI SetWindowTextW(HWND window, LPCWSTR text) {
    if (!Find(window)) return FALSE;
    return Send(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) != 0 ? TRUE : FALSE;
}

LONG_PTR WINAPI GetWindowLongPtrW(HWND window, int index) {
    Window* w = Find(window);
    if (!w) return 0;
    switch (index) {
        case GWL_STYLE:
            return LONG_PTR(w->style);
        case GWL_EXSTYLE:
            return LONG_PTR(w->exStyle);
        case GWL_ID:
            return w->id;
        case GWLP_USERDATA:
            return w->userData;
        case GWLP_HINSTANCE:
            return reinterpret_cast<LONG_PTR>(w->module);
        default:
            break;
    }
    if (w->kind != Kind::Dialog) return 0;
    switch (index) {
        case DWLP_MSGRESULT:
            return w->messageResult;
        case DWLP_DLGPROC:
            return reinterpret_cast<LONG_PTR>(w->dialogProc);
        case DWLP_USER:
            return w->dialogUser;
        default:
            return 0;
    }
}

LONG_PTR WINAPI SetWindowLongPtrW(HWND window, int index, LONG_PTR value) {
    Window* w = Find(window);
    if (!w) return 0;
    const LONG_PTR old = GetWindowLongPtrW(window, index);
    switch (index) {
        case GWL_STYLE:
            w->style = DWORD(value);
            return old;
        case GWL_EXSTYLE:
            w->exStyle = DWORD(value);
            return old;
        case GWL_ID:
            w->id = int(value);
            return old;
        case GWLP_USERDATA:
            w->userData = value;
            return old;
        default:
            break;
    }
    if (w->kind != Kind::Dialog) return 0;
    switch (index) {
        case DWLP_MSGRESULT:
            w->messageResult = value;
            break;
        case DWLP_DLGPROC:
            w->dialogProc = reinterpret_cast<DLGPROC>(value);
            break;
        case DWLP_USER:
            w->dialogUser = value;
            break;
        default:
            return 0;
    }
    return old;
}

LONG WINAPI GetWindowLongW(HWND window, int index) { return LONG(GetWindowLongPtrW(window, index)); }

LONG WINAPI SetWindowLongW(HWND window, int index, LONG value) {
    return LONG(SetWindowLongPtrW(window, index, LONG_PTR(value)));
}

BOOL WINAPI GetWindowRect(HWND window, RECT* rect) {
    Window* w = Find(window);
    if (!w || !rect) return FALSE;
    *rect = w->rect;
    if (!IsTopLevel(*w))
        if (Window* parent = Find(w->parent)) {
            const POINT origin = ClientOrigin(*parent);
            rect->left += origin.x;
            rect->right += origin.x;
            rect->top += origin.y;
            rect->bottom += origin.y;
        }
    return TRUE;
}

BOOL WINAPI GetClientRect(HWND window, RECT* rect) {
    Window* w = Find(window);
    if (!w || !rect) return FALSE;
    *rect = {0, 0, ClientWidth(*w), ClientHeight(*w)};
    return TRUE;
}

int WINAPI MapWindowPoints(HWND from, HWND to, POINT* points, UINT count) {
    POINT fromOrigin = {0, 0}, toOrigin = {0, 0};
    if (from) {
        Window* w = Find(from);
        if (!w) return 0;
        fromOrigin = ClientOrigin(*w);
    }
    if (to) {
        Window* w = Find(to);
        if (!w) return 0;
        toOrigin = ClientOrigin(*w);
    }
    const LONG dx = fromOrigin.x - toOrigin.x;
    const LONG dy = fromOrigin.y - toOrigin.y;
    for (UINT i = 0; points && i < count; ++i) {
        points[i].x += dx;
        points[i].y += dy;
    }
    return MAKELONG(WORD(dx), WORD(dy));
}

BOOL WINAPI MoveWindow(HWND window, int x, int y, int width, int height, BOOL) {
    Window* w = Find(window);
    if (!w) return FALSE;
    Reposition(*w, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

BOOL WINAPI SetWindowPos(HWND window, HWND, int x, int y, int cx, int cy, UINT flags) {
    Window* w = Find(window);
    if (!w) return FALSE;
    if (!(flags & SWP_NOMOVE) || !(flags & SWP_NOSIZE)) Reposition(*w, x, y, cx, cy, flags);
    if (!Find(window)) return TRUE;
    if (flags & SWP_SHOWWINDOW) ShowWindow(window, (flags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
    if (flags & SWP_HIDEWINDOW) ShowWindow(window, SW_HIDE);
    if (Find(window) && !(flags & SWP_NOACTIVATE) && IsTopLevel(*w)) Activate(window, WA_ACTIVE);
    return TRUE;
}

HDWP WINAPI BeginDeferWindowPos(int count) {
    if (count < 0) return nullptr;
    const uintptr_t handle = State().nextBatch++;
    State().batches[handle];
    return reinterpret_cast<HDWP>(handle);
}

HDWP WINAPI DeferWindowPos(HDWP batch, HWND window, HWND, int x, int y, int cx, int cy, UINT flags) {
    auto found = State().batches.find(reinterpret_cast<uintptr_t>(batch));
    if (found == State().batches.end() || !Find(window)) return nullptr;
    found->second.push_back({window, x, y, cx, cy, flags});
    return batch;
}

BOOL WINAPI EndDeferWindowPos(HDWP batch) {
    auto found = State().batches.find(reinterpret_cast<uintptr_t>(batch));
    if (found == State().batches.end()) return FALSE;
    const std::vector<DeferredMove> moves = found->second;
    State().batches.erase(found);
    State().batchSizes.push_back(int(moves.size()));
    for (const DeferredMove& move : moves)
        if (Window* w = Find(move.window)) Reposition(*w, move.x, move.y, move.cx, move.cy, move.flags);
    return TRUE;
}

BOOL WINAPI InvalidateRect(HWND window, const RECT*, BOOL) {
    Window* w = Find(window);
    if (!w) return FALSE;
    ++w->invalidations;
    return TRUE;
}

HWND WINAPI SetFocus(HWND window) {
    const HWND previous = State().focus;
    if (window && !Find(window)) return nullptr;
    if (window) {
        const HWND root = RootOf(window);
        if (root != State().active) Activate(root, WA_ACTIVE);
    }
    ChangeFocus(window);
    return previous;
}

HWND WINAPI GetFocus() { return State().focus; }

HWND WINAPI GetActiveWindow() { return State().active; }

HWND WINAPI SetActiveWindow(HWND window) {
    const HWND previous = State().active;
    if (Find(window)) Activate(RootOf(window), WA_ACTIVE);
    return previous;
}

BOOL WINAPI SetForegroundWindow(HWND window) {
    if (!Find(window)) return FALSE;
    Activate(RootOf(window), WA_ACTIVE);
    return TRUE;
}

HWND WINAPI GetForegroundWindow() { return State().active; }

LRESULT WINAPI SendMessageW(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    return Send(window, message, wparam, lparam);
}

LRESULT WINAPI SendDlgItemMessageW(HWND dialog, int id, UINT message, WPARAM wparam, LPARAM lparam) {
    return Send(GetDlgItem(dialog, id), message, wparam, lparam);
}

UINT_PTR WINAPI SetTimer(HWND window, UINT_PTR id, UINT elapse, void*) {
    if (!Find(window)) return 0;
    DesktopState& state = State();
    state.timers.erase(std::remove_if(state.timers.begin(), state.timers.end(),
                                      [&](const Timer& timer) { return timer.window == window && timer.id == id; }),
                       state.timers.end());
    state.timers.push_back({window, id, elapse, state.clock + std::max<UINT>(elapse, 1), state.timerOrder++});
    return id ? id : 1;
}

BOOL WINAPI KillTimer(HWND window, UINT_PTR id) {
    DesktopState& state = State();
    const size_t before = state.timers.size();
    state.timers.erase(std::remove_if(state.timers.begin(), state.timers.end(),
                                      [&](const Timer& timer) { return timer.window == window && timer.id == id; }),
                       state.timers.end());
    return state.timers.size() != before ? TRUE : FALSE;
}

SHORT WINAPI GetKeyState(int key) {
    auto found = State().keys.find(key);
    return found != State().keys.end() && found->second ? SHORT(-32768) : SHORT(0);
}

int WINAPI GetSystemMetrics(int index) {
    switch (index) {
        case SM_CXSCREEN:
        case SM_CXFULLSCREEN:
            return kScreenWidth;
        case SM_CYSCREEN:
            return kScreenHeight;
        case SM_CYFULLSCREEN:
            return kScreenHeight - 40 - kCaption;
        case SM_CYCAPTION:
            return kCaption;
        case SM_CXBORDER:
        case SM_CYBORDER:
            return 1;
        case SM_CXFIXEDFRAME:
        case SM_CYFIXEDFRAME:
            return kFixedFrame;
        case SM_CXSIZEFRAME:
        case SM_CYSIZEFRAME:
            return kSizeFrame;
        case SM_CXPADDEDBORDER:
            return kPaddedBorder;
        default:
            return 0;
    }
}

DWORD WINAPI GetTickCount() { return State().clock; }

int WINAPI MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    DesktopState& state = State();
    MessageBoxRecord record;
    record.caption = FromWide(caption);
    record.text = FromWide(text);
    record.style = type;
    record.owner = owner;
    state.messageBoxes.push_back(record);
    const size_t index = state.messageBoxes.size() - 1;
    const HWND previous = state.active;
    // The box is a window of its own, modal to its owner: it takes the activation and disables
    // the owner while it is up.
    const RECT rect = {700, 400, 1100, 560};
    const HWND box = CreateControl(Kind::Plain, u"#32770", record.caption, WS_POPUP | WS_CAPTION | WS_VISIBLE, 0, rect,
                                   owner, 0, nullptr);
    const bool disableOwner = owner && IsWindowEnabled(owner);
    if (disableOwner) EnableWindow(owner, FALSE);
    Activate(box, WA_ACTIVE);
    int answer = 0;
    const UINT buttons = type & MB_TYPEMASK;
    if (state.answers.empty()) {
        ReportFailure("a message box waits for an answer nobody scripted: \"" + UTF8(record.caption) +
                      "\": " + UTF8(record.text));
    } else {
        answer = state.answers.front();
        state.answers.pop_front();
        const bool fits = (buttons == MB_OK && answer == IDOK) ||
                          (buttons == MB_OKCANCEL && (answer == IDOK || answer == IDCANCEL)) ||
                          (buttons == MB_YESNO && (answer == IDYES || answer == IDNO)) ||
                          (buttons == MB_YESNOCANCEL && (answer == IDYES || answer == IDNO || answer == IDCANCEL));
        if (!fits) {
            ReportFailure("the scripted answer " + std::to_string(answer) + " is not a button of the message box \"" +
                          UTF8(record.caption) + "\": " + UTF8(record.text));
            answer = 0;
        }
    }
    state.messageBoxes[index].answer = answer;
    if (disableOwner && Find(owner)) EnableWindow(owner, TRUE);
    Destroy(box);
    const HWND back = Find(owner) ? RootOf(owner) : previous;
    if (Find(back) && state.active != back && IsWindowEnabled(back)) Activate(back, WA_ACTIVE);
    return answer;
}

BOOL WINAPI MessageBeep(UINT type) {
    if (type != 0xFFFFFFFF && !State().warningSound) return FALSE;
    State().beeps.push_back(type);
    return TRUE;
}

HGDIOBJ WINAPI GetStockObject(int index) {
    if (index != DEFAULT_GUI_FONT) return nullptr;
    State().fonts[kStockGuiFont] = {StockFont(), true};
    return reinterpret_cast<HGDIOBJ>(kStockGuiFont);
}

HFONT WINAPI CreateFontIndirectW(const LOGFONTW* font) {
    if (!font) return nullptr;
    const uintptr_t handle = State().nextFont++;
    State().fonts[handle] = {*font, false};
    return reinterpret_cast<HFONT>(handle);
}

int WINAPI GetObjectW(HGDIOBJ object, int size, void* buffer) {
    auto found = State().fonts.find(reinterpret_cast<uintptr_t>(object));
    if (found == State().fonts.end()) return 0;
    if (!buffer) return int(sizeof(LOGFONTW));
    if (size < int(sizeof(LOGFONTW))) return 0;
    std::memcpy(buffer, &found->second.font, sizeof(LOGFONTW));
    return int(sizeof(LOGFONTW));
}

BOOL WINAPI DeleteObject(HGDIOBJ object) {
    auto found = State().fonts.find(reinterpret_cast<uintptr_t>(object));
    if (found == State().fonts.end()) return FALSE;
    if (!found->second.stock) State().fonts.erase(found);
    return TRUE;
}

HDC WINAPI GetDC(HWND) { return reinterpret_cast<HDC>(kScreenDC); }

int WINAPI ReleaseDC(HWND, HDC dc) { return dc == reinterpret_cast<HDC>(kScreenDC) ? 1 : 0; }

int WINAPI GetDeviceCaps(HDC dc, int index) {
    if (dc != reinterpret_cast<HDC>(kScreenDC)) return 0;
    return index == LOGPIXELSX || index == LOGPIXELSY ? State().dpi : 0;
}

BOOL WINAPI InitCommonControlsEx(const INITCOMMONCONTROLSEX* classes) {
    return classes && classes->dwSize == sizeof(INITCOMMONCONTROLSEX) ? TRUE : FALSE;
}

}  // extern "C"
