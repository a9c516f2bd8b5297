// The simulated desktop of the stand-in host on Linux: the windows and dialog items behind the
// Win32 subset of qzwin32.h, with the behaviour of the standard controls, activation, focus,
// window timers on a simulated clock, modifier keys, message boxes and beeps. This header is the
// desktop's inside, for its own sources and the driver (DesktopDriver.h); the framework sees only
// the Win32 functions. One process-wide desktop; Reset() empties it.
#pragma once

#include "qzwin32.h"

#include "simhost/desktop/ResourceScript.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace simhost {
namespace desktop {

enum class Kind { Plain, Dialog, Static, Button, Edit, ComboBox, ListBox, ListView, TreeView };

struct ListViewColumn {
    std::u16string title;
    int width = 0;
};

struct ListViewRow {
    std::vector<std::u16string> texts;  // one per column
    std::vector<bool> callback;         // the owner supplies the text on request
    UINT state = 0;
    LPARAM param = 0;
};

struct TreeItem {
    uintptr_t parent = 0;  // 0 at the top
    std::vector<uintptr_t> children;
    std::u16string text;
    bool callback = false;
    LPARAM param = 0;
    UINT state = 0;
};

struct Window {
    HWND handle = nullptr;
    Kind kind = Kind::Plain;
    std::u16string className;
    WNDPROC windowProc = nullptr;  // a registered class's procedure
    HWND parent = nullptr;         // the container of a child window, the owner of a top-level one
    std::vector<HWND> children;    // in creation order
    int id = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    std::u16string text;
    RECT rect = {};  // child: in the parent's client coordinates; top-level: on the screen
    bool minimized = false;
    HFONT font = nullptr;
    HINSTANCE module = nullptr;
    LONG_PTR userData = 0;
    bool destroyed = false;
    int invalidations = 0;

    // Dialogs.
    DLGPROC dialogProc = nullptr;
    LONG_PTR messageResult = 0;
    LONG_PTR dialogUser = 0;
    int templateID = 0;
    bool modal = false;
    bool dialogEnded = false;
    INT_PTR dialogResult = 0;
    int defaultID = IDOK;
    HFONT ownFont = nullptr;  // the template's font, released with the dialog

    // Buttons and check boxes.
    int check = 0;
    // Combo boxes and list boxes.
    std::vector<std::u16string> items;
    int selection = -1;
    int dropHeight = 0;
    bool dropped = false;
    // Edit fields.
    int textLimit = 30000;
    // List views.
    std::vector<ListViewColumn> columns;
    std::vector<ListViewRow> rows;
    DWORD listExStyle = 0;
    // Tree views.
    std::map<uintptr_t, TreeItem> treeItems;
    std::vector<uintptr_t> treeRoots;
    uintptr_t caret = 0;
};

// What the desktop recorded of a message box.
struct MessageBoxRecord {
    std::u16string caption;
    std::u16string text;
    UINT style = 0;
    HWND owner = nullptr;
    int answer = 0;
};

// ---------------------------------------------------------------- the desktop's state
void Reset();
// The live window, or null (never for a destroyed one).
Window* Find(HWND window);
// Every live window in creation order.
std::vector<HWND> AllWindows();
bool IsTopLevel(const Window& window);
// The top-level window a window belongs to.
HWND RootOf(HWND window);

// ---------------------------------------------------------------- geometry
// The client area's origin on the screen, and its size.
POINT ClientOrigin(const Window& window);
int ClientWidth(const Window& window);
int ClientHeight(const Window& window);
// Non-client sizes of a top-level window: frame on each side and caption.
int FrameSize(DWORD style);
int CaptionHeight(DWORD style);
// Moves and sizes a window as SetWindowPos does: position-changing notice, size limits of
// resizable top-level windows, then WM_MOVE and WM_SIZE.
void Reposition(Window& window, int x, int y, int cx, int cy, UINT flags);

// ---------------------------------------------------------------- messages
LRESULT Send(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
// Sends WM_NOTIFY from a control to its parent; fills the header's sender fields.
LRESULT NotifyParent(Window& control, NMHDR* header, UINT code);
// Sends WM_COMMAND with the notification code from a control to its parent.
void CommandToParent(Window& control, WORD code);
// The standard controls' handling of a message.
LRESULT ControlMessage(Window& control, UINT message, WPARAM wparam, LPARAM lparam);
// Text messages every window understands.
LRESULT GenericMessage(Window& window, UINT message, WPARAM wparam, LPARAM lparam);
// A dialog's handling of a message its dialog procedure left alone.
LRESULT DefaultDialogMessage(Window& dialog, UINT message, WPARAM wparam, LPARAM lparam);

// ---------------------------------------------------------------- windows
HWND CreateControl(Kind kind, const std::u16string& className, const std::u16string& text, DWORD style, DWORD exStyle,
                   const RECT& rect, HWND parent, int id, HINSTANCE module);
Kind KindOfClass(const std::u16string& className, bool* known);
void Activate(HWND window, WORD how);
void ChangeFocus(HWND window);
bool Destroy(HWND window);
// True when the user can reach the window: it and every window it lies in are visible and enabled.
bool IsUsable(HWND window);

// ---------------------------------------------------------------- controls as the user works them
// Each returns false when the user could not do it (the control is hidden or disabled, the row
// does not exist).
bool UserClickButton(Window& button);
bool UserChooseComboRow(Window& combo, int row);
bool UserType(Window& edit, const std::u16string& text);
bool UserSelectListBoxRow(Window& list, int row);
bool UserSelectListViewRow(Window& list, int row);
bool UserToggleListViewCheck(Window& list, int row);
bool UserDoubleClickListViewRow(Window& list, int row);
bool UserSelectTreeItem(Window& tree, uintptr_t item);
bool UserExpandTreeItem(Window& tree, uintptr_t item, bool expand);
// The text a list view row shows in a column (asking its owner when the text is supplied on request).
std::u16string ListViewCellText(Window& list, int row, int column);

// ---------------------------------------------------------------- dialogs
HWND CreateDialogFromTemplate(HINSTANCE module, int templateID, HWND owner, DLGPROC proc, LPARAM param, bool modal);
// Why the last dialog could not be created (template missing, script error, unknown class).
const std::string& LastDialogError();
// The resource scripts embedded in the module that holds the address (see qz_embed_resources),
// read once per module; null with a reason when there are none or one does not parse.
const ResourceScript* FindModuleResources(HINSTANCE module, std::string* error);
// The keys and the close box of a dialog, as the system's dialog manager turns them into commands.
bool UserPressEnter(HWND dialog);
bool UserPressEscape(HWND dialog);
bool UserCloseBox(HWND dialog);

// ---------------------------------------------------------------- time, input, output
uint32_t Now();
void AdvanceClock(uint32_t milliseconds);
void SetKeyDown(int key, bool down);
void SetScreenDPI(int dpi);
int ScreenDPI();
void SetWarningSoundAvailable(bool available);
const std::vector<UINT>& Beeps();
const std::vector<int>& DeferredBatches();
int LiveFontCount();
// Answers for the next message boxes, in order.
void QueueMessageBoxAnswer(int answer);
int QueuedMessageBoxAnswers();
const std::vector<MessageBoxRecord>& MessageBoxes();
// Scripts that act on the next modal dialogs while they wait for input, in order.
void QueueModalScript(std::function<void(HWND dialog)> script);
int QueuedModalScripts();
// The next queued script (taken from the queue), or an empty function.
std::function<void(HWND dialog)> TakeModalScript();
// Something happened that a scripted user cannot answer (a message box or modal dialog nobody
// scripted). The handler reports it; by default the message goes to standard error and the
// program aborts, so a test never waits for a user who is not there.
void SetFailureHandler(std::function<void(const std::string&)> handler);
void ReportFailure(const std::string& message);

// UTF-16 to UTF-8, for messages.
std::string UTF8(const std::u16string& text);
// A Win32 text as a string (empty for null).
std::u16string WideToString(LPCWSTR text);
// Copies a text into a caller's buffer of size units, terminator included; the units copied.
int CopyText(const std::u16string& text, LPWSTR buffer, int size);
// Case-insensitive comparison of Latin letters, as the list controls compare item texts.
bool SameTextIgnoringCase(const std::u16string& a, const std::u16string& b);

}  // namespace desktop
}  // namespace simhost
