#include "framework/ui/__FCUserWindow.h"

#include "framework/ui/FCControl.h"
#include "framework/ui/FCCtrlButton.h"
#include "framework/ui/FCCtrlCheckbox.h"
#include "framework/ui/FCCtrlDataList.h"
#include "framework/ui/FCCtrlEdit.h"
#include "framework/ui/FCCtrlLine.h"
#include "framework/ui/FCCtrlListBox.h"
#include "framework/ui/FCCtrlPopup.h"
#include "framework/ui/FCCtrlStatic.h"
#include "framework/ui/FCCtrlTree.h"
#include "framework/ui/FCUI.h"
#include "framework/ui/Win32Support.h"

#include <algorithm>
#include <cmath>

using fcui::ToHWND;

namespace {

// The message the host sends its plug-in windows when its own windows change state (for example
// around its modal dialogs).
constexpr UINT kHostStateMessage = 0x036D;

int Pixels(float value) { return int(std::lround(value)); }

// The native class and style of a control the template lacks, by its type code.
void NativeClassFor(int type, LPCWSTR* className, DWORD* style) {
    *style = WS_CHILD | WS_VISIBLE;
    switch (type) {
        case FCControl::kTypeDataList:
            *className = WC_LISTVIEWW;
            *style |= LVS_REPORT | WS_BORDER | WS_TABSTOP;
            break;
        case FCControl::kTypeTree:
            *className = WC_TREEVIEWW;
            *style |= TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_SHOWSELALWAYS | WS_BORDER | WS_TABSTOP;
            break;
        case FCControl::kTypeButton:
            *className = WC_BUTTONW;
            *style |= BS_PUSHBUTTON | WS_TABSTOP;
            break;
        case FCControl::kTypeCheckbox:
            *className = WC_BUTTONW;
            *style |= BS_AUTOCHECKBOX | WS_TABSTOP;
            break;
        case FCControl::kTypeRadioButton:
            *className = WC_BUTTONW;
            *style |= BS_AUTORADIOBUTTON | WS_TABSTOP;
            break;
        case FCControl::kTypeEdit:
            *className = WC_EDITW;
            *style |= ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
            break;
        case FCControl::kTypePopup:
            *className = WC_COMBOBOXW;
            *style |= CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
            break;
        case FCControl::kTypeLine:
            *className = WC_STATICW;
            *style |= SS_ETCHEDHORZ;
            break;
        case FCControl::kTypeListBox:
            *className = WC_LISTBOXW;
            *style |= LBS_NOTIFY | WS_VSCROLL | WS_BORDER | WS_TABSTOP;
            break;
        default:
            *className = WC_STATICW;
            *style |= SS_LEFT;
            break;
    }
}

}  // namespace

__FCUserWindow::__FCUserWindow()
    : window_(nullptr),
      titleSet_(false),
      storedLeft_(0),
      leftSet_(false),
      storedTop_(0),
      topSet_(false),
      storedWidth_(0),
      widthSet_(false),
      storedHeight_(0),
      heightSet_(false),
      placementPositionSet_(false),
      placementLeft_(0),
      placementTop_(0),
      placementSizeSet_(false),
      placementWidth_(0),
      placementHeight_(0),
      minWidth_(0),
      minHeight_(0),
      maxWidth_(0),
      maxHeight_(0),
      clientWidth_(0),
      clientHeight_(0),
      shaded_(false),
      fullHeight_(0),
      deferred_(false),
      initialised_(false),
      placementApplied_(false),
      modal_(false),
      closed_(false),
      modalResult_(0),
      templateID_(0),
      owner_(nullptr),
      shiftDown_(false),
      altDown_(false),
      ctrlDown_(false) {}

__FCUserWindow::~__FCUserWindow() {
    // The native window must not call back into a destroyed object.
    if (HWND window = ToHWND(window_)) {
        window_ = nullptr;
        hostapi::FX_EndDialog(window, modalResult_, kFXInterfaceVersion);
    }
}

// ---------------------------------------------------------------------------------------------
// Virtual operations

void __FCUserWindow::ApplyStoredState() {
    HWND window = ToHWND(window_);
    if (!window) return;
    if (titleSet_) SetWindowTextW(window, fcui::WideText(&storedTitle_));
    if (leftSet_ || topSet_ || widthSet_ || heightSet_) {
        RECT rect;
        GetWindowRect(window, &rect);
        const int left = leftSet_ ? Pixels(storedLeft_) : rect.left;
        const int top = topSet_ ? Pixels(storedTop_) : rect.top;
        const int width = widthSet_ ? Pixels(storedWidth_) : rect.right - rect.left;
        const int height = heightSet_ ? Pixels(storedHeight_) : rect.bottom - rect.top;
        SetWindowPos(window, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    for (int i = 0; i < GetCount(); ++i)
        if (FCControl* control = GetControlAt(i)) control->ApplyStoredState();
}

void __FCUserWindow::HandleInit() {
    HWND window = ToHWND(window_);
    if (!window) return;
    // Controls the template lacks get a native item of their own, in the dialog's font.
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE));
    for (int i = 0; i < GetCount(); ++i) {
        FCControl* control = GetControlAt(i);
        if (!control || GetDlgItem(window, control->GetControlID())) continue;
        LPCWSTR className;
        DWORD style;
        NativeClassFor(control->GetControlType(), &className, &style);
        HWND item =
            CreateWindowExW(0, className, fcui::WideText(u""), style, Pixels(control->GetLeft()),
                            Pixels(control->GetTop()), control->GetDefaultWidth(), control->GetDefaultHeight(), window,
                            reinterpret_cast<HMENU>(UINT_PTR(control->GetControlID())), instance, nullptr);
        if (item && font) SendMessageW(item, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    RECT outer, client;
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    minWidth_ = maxWidth_ = float(outer.right - outer.left);
    minHeight_ = maxHeight_ = float(outer.bottom - outer.top);
    clientWidth_ = float(client.right - client.left);
    clientHeight_ = float(client.bottom - client.top);
    closed_ = false;
    ApplyStoredState();
}

void __FCUserWindow::HandleClose() { CloseByRole(0); }

void __FCUserWindow::HandleOk() { CloseByRole(1); }

void __FCUserWindow::HandleCancel() { CloseByRole(2); }

void __FCUserWindow::CloseByRole(int result) {
    // A window that is already closing keeps the result it closed with.
    if (closed_) return;
    modalResult_ = int16_t(result);
    if (CanClose()) CloseWindow();
}

bool __FCUserWindow::HandleCommand(FCControl*) { return false; }

void __FCUserWindow::HandleTabChange(FCControl*, int) {}

void __FCUserWindow::HandleUpDown(FCControl*, int) {}

void __FCUserWindow::HandleListSelection(FCControl*, int) {}

void __FCUserWindow::HandleListCheck(FCControl*, int, bool) {}

void __FCUserWindow::HandleTimer(int) {}

void __FCUserWindow::HandleActivate(bool) {}

void __FCUserWindow::HandleResize(int, int, int, int) {}

bool __FCUserWindow::CanClose() { return true; }

// ---------------------------------------------------------------------------------------------
// Controls

FCControl* __FCUserWindow::AddControl(FCControl* control) {
    if (!control) return nullptr;
    control->SetParent(this);
    Add(control);
    return control;
}

FCCtrlStatic* __FCUserWindow::CreateStatic(int id) {
    return static_cast<FCCtrlStatic*>(AddControl(new FCCtrlStatic(id)));
}
FCCtrlEdit* __FCUserWindow::CreateEdit(int id) { return static_cast<FCCtrlEdit*>(AddControl(new FCCtrlEdit(id))); }
FCCtrlPopup* __FCUserWindow::CreatePopup(int id) { return static_cast<FCCtrlPopup*>(AddControl(new FCCtrlPopup(id))); }
FCCtrlCheckbox* __FCUserWindow::CreateCheckbox(int id) {
    return static_cast<FCCtrlCheckbox*>(AddControl(new FCCtrlCheckbox(id)));
}
FCCtrlButton* __FCUserWindow::CreateButton(int id) {
    return static_cast<FCCtrlButton*>(AddControl(new FCCtrlButton(id)));
}
FCCtrlListBox* __FCUserWindow::CreateListBox(int id) {
    return static_cast<FCCtrlListBox*>(AddControl(new FCCtrlListBox(id)));
}
FCCtrlDataList* __FCUserWindow::CreateDataList(int id) {
    return static_cast<FCCtrlDataList*>(AddControl(new FCCtrlDataList(id)));
}
FCCtrlTree* __FCUserWindow::CreateTree(int id) { return static_cast<FCCtrlTree*>(AddControl(new FCCtrlTree(id))); }
FCCtrlLine* __FCUserWindow::CreateLine(int id) { return static_cast<FCCtrlLine*>(AddControl(new FCCtrlLine(id))); }

FCControl* __FCUserWindow::GetControl(int id) const {
    for (int i = 0; i < GetCount(); ++i) {
        FCControl* control = GetControlAt(i);
        if (control && control->GetControlID() == id) return control;
    }
    return nullptr;
}

FCControl* __FCUserWindow::GetControlAt(int index) const { return ItemAs<FCControl>(index); }

// ---------------------------------------------------------------------------------------------
// Showing and closing

int __FCUserWindow::ShowModal(FXWindow parent) {
    if (window_) return 0;
    modal_ = true;
    modalResult_ = 0;
    HWND previous = GetActiveWindow();
    hostapi::FX_Dialog(templateID_, &MessageDispatcher, parent, 1, this, kFXInterfaceVersion);
    if (HWND owner = ToHWND(owner_)) {
        bool known = false;
        const bool enabled = fcui::HostTopLevelEnabled(&known);
        if (known) EnableWindow(owner, enabled ? TRUE : FALSE);
    }
    if (previous && IsWindow(previous)) SetActiveWindow(previous);
    modal_ = false;
    return modalResult_;
}

void __FCUserWindow::StoreNativeState() {
    HWND window = ToHWND(window_);
    if (!window) return;
    fcui::ReadWindowText(window, &storedTitle_);
    titleSet_ = true;
    RECT rect;
    if (GetWindowRect(window, &rect)) {
        storedLeft_ = float(rect.left);
        storedTop_ = float(rect.top);
        storedWidth_ = float(rect.right - rect.left);
        storedHeight_ = shaded_ ? fullHeight_ : float(rect.bottom - rect.top);
        leftSet_ = topSet_ = widthSet_ = heightSet_ = true;
    }
    for (int i = 0; i < GetCount(); ++i)
        if (FCControl* control = GetControlAt(i)) control->ReadState();
}

void __FCUserWindow::ForgetNativeWindow() {
    window_ = nullptr;
    // The next native window starts unshaded; its stored height is the full one.
    shaded_ = false;
    deferred_ = false;
    for (int i = 0; i < GetCount(); ++i)
        if (FCControl* control = GetControlAt(i)) control->ClearPending();
}

void __FCUserWindow::FollowHostEnabledState() {
    HWND window = ToHWND(window_);
    if (modal_ || !window) return;
    bool known = false;
    const bool enabled = fcui::HostTopLevelEnabled(&known);
    if (!known) return;
    if ((IsWindowEnabled(window) != FALSE) != enabled) EnableWindow(window, enabled ? TRUE : FALSE);
}

// ---------------------------------------------------------------------------------------------
// Title and geometry

void __FCUserWindow::SetTitle(const FCString* title) {
    if (HWND window = ToHWND(window_)) {
        SetWindowTextW(window, fcui::WideText(title));
        return;
    }
    storedTitle_.SetString(title);
    if (!title) storedTitle_.Clear();
    titleSet_ = true;
}

void __FCUserWindow::GetTitle(FCString* title) {
    if (!title) return;
    if (HWND window = ToHWND(window_))
        fcui::ReadWindowText(window, title);
    else
        title->SetString(&storedTitle_);
}

float __FCUserWindow::GetLeft() {
    RECT rect;
    if (HWND window = ToHWND(window_)) return GetWindowRect(window, &rect) ? float(rect.left) : 0;
    return storedLeft_;
}

float __FCUserWindow::GetTop() {
    RECT rect;
    if (HWND window = ToHWND(window_)) return GetWindowRect(window, &rect) ? float(rect.top) : 0;
    return storedTop_;
}

float __FCUserWindow::GetWidth() {
    RECT rect;
    if (HWND window = ToHWND(window_)) return GetWindowRect(window, &rect) ? float(rect.right - rect.left) : 0;
    return storedWidth_;
}

float __FCUserWindow::GetHeight() {
    RECT rect;
    if (HWND window = ToHWND(window_)) return GetWindowRect(window, &rect) ? float(rect.bottom - rect.top) : 0;
    return storedHeight_;
}

void __FCUserWindow::MoveTo(float left, float top) {
    if (HWND window = ToHWND(window_)) {
        SetWindowPos(window, nullptr, Pixels(left), Pixels(top), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    storedLeft_ = left;
    storedTop_ = top;
    leftSet_ = topSet_ = true;
}

void __FCUserWindow::SetSize(float width, float height) {
    if (HWND window = ToHWND(window_)) {
        SetWindowPos(window, nullptr, 0, 0, Pixels(width), Pixels(height), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    storedWidth_ = width;
    storedHeight_ = height;
    widthSet_ = heightSet_ = true;
}

// ---------------------------------------------------------------------------------------------
// Shade and placement

void __FCUserWindow::SetShaded(bool shaded) {
    if (!window_ || shaded == shaded_ || FCUI::IsAlertShown()) return;
    ApplyShade(shaded);
}

void __FCUserWindow::ApplyShade(bool shaded) {
    HWND window = ToHWND(window_);
    if (!window || shaded == shaded_) return;
    RECT outer, client;
    if (!GetWindowRect(window, &outer) || !GetClientRect(window, &client)) return;
    const int width = outer.right - outer.left;
    shaded_ = shaded;
    int height;
    if (shaded) {
        fullHeight_ = float(outer.bottom - outer.top);
        const int border = (width - (client.right - client.left)) / 2;
        height = GetSystemMetrics(SM_CYCAPTION) + 2 * border;
    } else {
        height = Pixels(fullHeight_);
    }
    SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void __FCUserWindow::SetRememberedPlacement(float left, float top, float width, float height) {
    placementLeft_ = left;
    placementTop_ = top;
    placementWidth_ = width;
    placementHeight_ = height;
    placementPositionSet_ = placementSizeSet_ = true;
}

float __FCUserWindow::GetRememberedLeft() const { return placementPositionSet_ ? placementLeft_ : -1; }
float __FCUserWindow::GetRememberedTop() const { return placementPositionSet_ ? placementTop_ : -1; }
float __FCUserWindow::GetRememberedWidth() const { return placementSizeSet_ ? placementWidth_ : -1; }
float __FCUserWindow::GetRememberedHeight() const { return placementSizeSet_ ? placementHeight_ : -1; }

void __FCUserWindow::NotePlacement(bool position, bool size) {
    HWND window = ToHWND(window_);
    if (!window) return;
    const bool wasShaded = shaded_;
    if (wasShaded) ApplyShade(false);
    RECT rect;
    if (GetWindowRect(window, &rect)) {
        placementLeft_ = float(rect.left);
        placementTop_ = float(rect.top);
        placementWidth_ = float(rect.right - rect.left);
        placementHeight_ = float(rect.bottom - rect.top);
        placementPositionSet_ = position;
        placementSizeSet_ = size;
    }
    if (wasShaded) ApplyShade(true);
}

void __FCUserWindow::ApplyPlacement() {
    HWND window = ToHWND(window_);
    if (!window || !placementPositionSet_) return;
    const bool wasShaded = shaded_;
    if (wasShaded) ApplyShade(false);
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    int width = 0, height = 0;
    if (placementSizeSet_) {
        width = Pixels(std::max(placementWidth_, minWidth_));
        height = Pixels(std::max(placementHeight_, minHeight_));
    } else {
        flags |= SWP_NOSIZE;
    }
    SetWindowPos(window, nullptr, Pixels(placementLeft_), Pixels(placementTop_), width, height, flags);
    placementApplied_ = true;
    if (wasShaded) ApplyShade(true);
}

// ---------------------------------------------------------------------------------------------
// Deferred layout and timers

void __FCUserWindow::BeginDeferredLayout() {
    for (int i = 0; i < GetCount(); ++i)
        if (FCControl* control = GetControlAt(i)) control->ClearPending();
    deferred_ = true;
}

void __FCUserWindow::EndDeferredLayout() {
    deferred_ = false;
    HWND window = ToHWND(window_);
    int pending = 0;
    for (int i = 0; i < GetCount(); ++i) {
        FCControl* control = GetControlAt(i);
        if (control && control->HasPending()) ++pending;
    }
    if (pending == 0) return;
    HDWP batch = window ? BeginDeferWindowPos(pending) : nullptr;
    for (int i = 0; i < GetCount(); ++i) {
        FCControl* control = GetControlAt(i);
        if (!control || !control->HasPending()) continue;
        HWND item = ToHWND(control->GetNativeItem());
        if (!batch || !item) {
            control->CommitPendingToStoredState();
            continue;
        }
        UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
        if (!control->HasPendingMove()) flags |= SWP_NOMOVE;
        if (!control->HasPendingSize()) flags |= SWP_NOSIZE;
        batch = DeferWindowPos(batch, item, nullptr, control->GetPendingNativeLeft(), control->GetPendingNativeTop(),
                               control->GetPendingNativeWidth(), control->GetPendingNativeHeight(), flags);
        control->ClearPending();
    }
    if (batch) EndDeferWindowPos(batch);
}

void __FCUserWindow::SetTimer(int timerID, int milliseconds) {
    HWND window = ToHWND(window_);
    if (!window) return;
    if (milliseconds <= 0)
        KillTimer(window, UINT_PTR(timerID));
    else
        ::SetTimer(window, UINT_PTR(timerID), UINT(milliseconds), nullptr);
}

// ---------------------------------------------------------------------------------------------
// The dispatcher

int32_t FXAPI __FCUserWindow::MessageDispatcher(FXWindow window, uint32_t message, uint32_t wparam, int32_t lparam,
                                                void* userData) {
    __FCUserWindow* target = static_cast<__FCUserWindow*>(userData);
    if (!target) return 0;
    // Called from the host's message loop: nothing may unwind into it. A message whose handling
    // failed counts as not handled.
    try {
        if (message == WM_INITDIALOG) {
            target->window_ = window;
            target->initialised_ = true;
            target->HandleInit();
            return 0;
        }
        // Messages for a native window the object already let go of are not its business.
        if (target->window_ != window) return 0;
        return target->Dispatch(message, wparam, lparam);
    } catch (...) {
        return 0;
    }
}

void __FCUserWindow::NoteModifierKeys() {
    shiftDown_ = GetKeyState(VK_SHIFT) < 0;
    altDown_ = GetKeyState(VK_MENU) < 0;
    ctrlDown_ = GetKeyState(VK_CONTROL) < 0;
}

int32_t __FCUserWindow::Dispatch(uint32_t message, uint32_t wparam, int32_t lparam) {
    switch (message) {
        case WM_SIZE: {
            if (wparam != SIZE_RESTORED || shaded_) return 0;
            const int width = LOWORD(lparam);
            const int height = HIWORD(lparam);
            if (clientWidth_ > 0) HandleResize(width, height, Pixels(clientWidth_), Pixels(clientHeight_));
            clientWidth_ = float(width);
            clientHeight_ = float(height);
            return 0;
        }
        case WM_ACTIVATE:
            HandleActivate(LOWORD(wparam) != WA_INACTIVE);
            FollowHostEnabledState();
            return 0;
        case WM_CLOSE:
            HandleClose();
            return 0;
        case WM_SHOWWINDOW:
            if (initialised_ && placementApplied_) ApplyPlacement();
            initialised_ = placementApplied_ = false;
            return 0;
        case WM_GETMINMAXINFO: {
            MINMAXINFO* limits = fcui::ParamPointer<MINMAXINFO>(lparam);
            if (!limits) return 0;
            limits->ptMinTrackSize.x = Pixels(minWidth_);
            limits->ptMinTrackSize.y = shaded_ ? 0 : Pixels(minHeight_);
            limits->ptMaxTrackSize.x = Pixels(maxWidth_);
            limits->ptMaxTrackSize.y = Pixels(maxHeight_);
            return 0;
        }
        case WM_WINDOWPOSCHANGING:
        case kHostStateMessage:
            FollowHostEnabledState();
            return 0;
        case WM_NOTIFY: {
            NoteModifierKeys();
            return HandleNotify(int(wparam), fcui::ParamPointer<void>(lparam)) ? 1 : 0;
        }
        case WM_COMMAND: {
            NoteModifierKeys();
            FCControl* control = GetControl(LOWORD(wparam));
            switch (control ? control->GetCommandRole() : FCControl::kRoleNone) {
                case FCControl::kRoleOk:
                    HandleOk();
                    return 1;
                case FCControl::kRoleClose:
                    HandleClose();
                    return 1;
                case FCControl::kRoleCancel:
                    HandleCancel();
                    return 1;
                default:
                    return HandleCommand(control) ? 1 : 0;
            }
        }
        case WM_TIMER:
            HandleTimer(LOWORD(wparam));
            return 0;
        default:
            return 0;
    }
}
