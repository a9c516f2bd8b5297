// Drives the desktop as a user would: finds dialogs and controls, clicks, types, chooses rows,
// answers message boxes, lets time pass, and describes what is on screen. Every action reaches
// the plug-in's windows as the messages and notification records of Windows, through the host's
// dialog service and the plug-in's dispatcher. On Linux it drives the stand-in host's simulated
// desktop (DesktopDriver_linux.cpp); on Windows the system's own windows and controls
// (DesktopDriver_windows.cpp), where time is real time and the few records only the simulated
// desktop keeps (repaints, deferred batches, live fonts, screen DPI) are not known.
// For test programs and host programs; the driver objects share one process-wide state.
#pragma once

#include "qzwin32.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace simhost {

class DesktopDriver {
public:
    // An empty desktop: no windows, the clock at 0, no scripted answers, the dialog service at
    // its defaults. The host's main window is created again on first use.
    static void ResetDesktop();
    // Where a failure of the scripted user goes (a message box or modal dialog nobody answered, an
    // answer that fits no button). By default the message is printed and the program aborts.
    static void SetFailureHandler(std::function<void(const std::string&)> handler);

    // ------------------------------------------------------------ finding
    HWND HostWindow() const;
    // The open dialog built from that template (the most recent one), or null.
    HWND Dialog(int templateID) const;
    HWND DialogByCaption(const char* caption) const;
    HWND ActiveWindow() const;
    HWND Control(HWND dialog, int id) const;
    // The first control whose text matches, with or without its '&' mnemonic marks; or null.
    HWND ControlByText(HWND dialog, const char* text) const;

    // ------------------------------------------------------------ what the user sees
    std::string Text(HWND window) const;
    bool IsVisible(HWND window) const;
    bool IsEnabled(HWND window) const;
    bool IsActive(HWND window) const;
    bool IsChecked(HWND checkbox) const;
    // A control's rectangle in its dialog's client coordinates; a top-level window's on the screen.
    RECT Bounds(HWND window) const;
    // The rows of a drop-down list or list box, or the first column of a list view.
    std::vector<std::string> Rows(HWND list) const;
    int SelectedRow(HWND list) const;
    bool IsRowChecked(HWND listView, int row) const;
    std::string Cell(HWND listView, int row, int column) const;
    // The tree's items in order, indented two blanks a level ("" for none selected below).
    std::vector<std::string> TreeNodes(HWND tree) const;
    std::string SelectedTreeNode(HWND tree) const;
    bool IsTreeNodeExpanded(HWND tree, const char* text) const;
    bool IsBold(HWND control) const;
    // How often the control was invalidated (-1 on Windows, which does not tell).
    int Repaints(HWND control) const;
    // A textual picture of an open dialog: its visible controls with labels, values and positions.
    std::string Picture(HWND dialog) const;
    // What the screen shows of the window, as a 24-bit BMP file. False with a reason where there
    // is no screen to copy from (the simulated desktop draws nothing).
    bool SaveImage(HWND window, const std::string& path, std::string* error);

    // ------------------------------------------------------------ acting
    // False when the user could not do it: no such window, row or node, or a hidden or disabled
    // control (or dialog).
    bool Click(HWND button);
    bool ToggleCheck(HWND checkbox);
    bool ChoosePopupRow(HWND popup, int row);
    bool ChoosePopupText(HWND popup, const char* text);
    // Replaces the field's text by typing, one change per character.
    bool Type(HWND edit, const char* text);
    bool SelectListRow(HWND list, int row);
    bool ToggleListCheck(HWND listView, int row);
    bool DoubleClickListRow(HWND listView, int row);
    // Opens the items the node lies in and clicks the node (first node with the text, in order).
    bool SelectTreeNode(HWND tree, const char* text);
    // The same for the first node with the text below the first node with the parent's text
    // (names that occur under several parents).
    bool SelectTreeNodeIn(HWND tree, const char* parentText, const char* text);
    bool ExpandTreeNode(HWND tree, const char* text, bool expand);
    bool PressEnter(HWND dialog);
    bool PressEscape(HWND dialog);
    // The window's close box.
    bool CloseWindow(HWND window);
    // Clicking into a window; a disabled window only beeps.
    bool Activate(HWND window);
    // Clicking into the host's document: the plug-in's windows lose the activation.
    void ClickHostDocument();
    // Dragging the frame (limits apply) and the title bar.
    bool Resize(HWND window, int width, int height);
    bool Move(HWND window, int left, int top);
    bool Minimize(HWND window);
    bool Restore(HWND window);
    void SetModifierKeys(bool shift, bool ctrl, bool alt);
    // Lets time pass: due window timers fire in order.
    void AdvanceClock(uint32_t milliseconds);

    // ------------------------------------------------------------ message boxes and modal dialogs
    // The answers of the next message boxes, in order: IDOK, IDCANCEL, IDYES or IDNO.
    void AnswerNextMessageBox(int answer);
    struct MessageBoxShown {
        std::string caption;
        std::string text;
        unsigned style;
        HWND owner;
        int answer;
    };
    std::vector<MessageBoxShown> MessageBoxes() const;
    // Work for the next modal dialog while it waits for input; it must end the dialog (a dialog
    // still open afterwards takes the next script, or fails when there is none).
    void OnNextModalDialog(std::function<void(DesktopDriver& driver, HWND dialog)> script);

    // ------------------------------------------------------------ the host and the records
    void ShowHostModalDialog();
    void EndHostModalDialog();
    std::vector<unsigned> Beeps() const;
    // The number of windows each batch of deferred moves moved (simulated desktop only; empty on
    // Windows).
    std::vector<int> DeferredBatches() const;
    // Fonts created and not yet deleted (dialog fonts live as long as their dialogs); -1 on Windows.
    int LiveFontCount() const;
    void SetScreenDPI(int dpi);
    void SetWarningSoundAvailable(bool available);
    std::string LastDialogError() const;
};

// The word the textual picture of a window uses for a control of that window class (any case)
// and style: "label", "line", "button", "check", "radio", "group", "edit", "popup", "listbox",
// "list", "tree", or "window" for anything else. Both drivers describe controls the same way.
const char* ControlKindName(const std::u16string& className, DWORD style);

}  // namespace simhost
