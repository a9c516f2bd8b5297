#include "simhost/desktop/DesktopDriver.h"

#include "simhost/DialogService.h"
#include "simhost/Unicode.h"
#include "simhost/desktop/Desktop.h"

#include <algorithm>
#include <sstream>

namespace simhost {
namespace {

using desktop::Find;
using desktop::Kind;
using desktop::UTF8;
using desktop::Window;

std::u16string FromUTF8(const char* text) { return text ? simhost::ToUTF16(text) : std::u16string(); }

// The text without its mnemonic marks ("&Tasks:" shows as "Tasks:", "&&" as "&").
std::u16string WithoutMnemonics(const std::u16string& text) {
    std::u16string plain;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size()) ++i;
        plain += text[i];
    }
    return plain;
}

// Depth first in tree order: the first item with the text.
uintptr_t FindTreeItem(Window& tree, const std::vector<uintptr_t>& items, const std::u16string& text) {
    for (uintptr_t item : items) {
        auto found = tree.treeItems.find(item);
        if (found == tree.treeItems.end()) continue;
        if (found->second.text == text) return item;
        if (uintptr_t inside = FindTreeItem(tree, found->second.children, text)) return inside;
    }
    return 0;
}

void ListTreeItems(Window& tree, const std::vector<uintptr_t>& items, int depth, bool onlyVisible,
                   std::vector<std::string>* lines, std::vector<uintptr_t>* handles) {
    for (uintptr_t item : items) {
        auto found = tree.treeItems.find(item);
        if (found == tree.treeItems.end()) continue;
        const desktop::TreeItem& data = found->second;
        if (lines) {
            std::string line(size_t(depth) * 2, ' ');
            if (!data.children.empty()) line += (data.state & TVIS_EXPANDED) ? "- " : "+ ";
            line += UTF8(data.text);
            if (item == tree.caret) line += " *";
            lines->push_back(line);
        }
        if (handles) handles->push_back(item);
        if (!onlyVisible || (data.state & TVIS_EXPANDED))
            ListTreeItems(tree, data.children, depth + 1, onlyVisible, lines, handles);
    }
}

bool IsCheckedStyle(DWORD style) {
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

const char* KindName(const Window& control) { return ControlKindName(control.className, control.style); }

}  // namespace

void DesktopDriver::ResetDesktop() { ResetDialogService(); }

void DesktopDriver::SetFailureHandler(std::function<void(const std::string&)> handler) {
    desktop::SetFailureHandler(handler);
}

// ------------------------------------------------------------------------------------ finding

HWND DesktopDriver::HostWindow() const { return static_cast<HWND>(HostMainWindow()); }

HWND DesktopDriver::Dialog(int templateID) const {
    HWND found = nullptr;
    for (HWND window : desktop::AllWindows()) {
        Window* w = Find(window);
        if (w && w->kind == Kind::Dialog && w->templateID == templateID && !w->dialogEnded) found = window;
    }
    return found;
}

HWND DesktopDriver::DialogByCaption(const char* caption) const {
    const std::u16string wanted = FromUTF8(caption);
    HWND found = nullptr;
    for (HWND window : desktop::AllWindows()) {
        Window* w = Find(window);
        if (w && w->kind == Kind::Dialog && w->text == wanted && !w->dialogEnded) found = window;
    }
    return found;
}

HWND DesktopDriver::ActiveWindow() const { return GetActiveWindow(); }

HWND DesktopDriver::Control(HWND dialog, int id) const { return GetDlgItem(dialog, id); }

HWND DesktopDriver::ControlByText(HWND dialog, const char* text) const {
    Window* w = Find(dialog);
    if (!w) return nullptr;
    const std::u16string wanted = FromUTF8(text);
    for (HWND child : w->children) {
        Window* control = Find(child);
        if (control && (control->text == wanted || WithoutMnemonics(control->text) == wanted)) return child;
    }
    return nullptr;
}

// ------------------------------------------------------------------------------------ seeing

std::string DesktopDriver::Text(HWND window) const {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) return std::string();
    std::u16string text(size_t(length) + 1, u'\0');
    const int copied = GetWindowTextW(window, &text[0], length + 1);
    text.resize(size_t(copied > 0 ? copied : 0));
    return UTF8(text);
}

bool DesktopDriver::IsVisible(HWND window) const { return IsWindowVisible(window) != FALSE; }
bool DesktopDriver::IsEnabled(HWND window) const { return IsWindowEnabled(window) != FALSE; }
bool DesktopDriver::IsActive(HWND window) const { return window && GetActiveWindow() == window; }

bool DesktopDriver::IsChecked(HWND checkbox) const { return SendMessageW(checkbox, BM_GETCHECK, 0, 0) == BST_CHECKED; }

RECT DesktopDriver::Bounds(HWND window) const {
    RECT rect = {};
    Window* w = Find(window);
    if (!w) return rect;
    GetWindowRect(window, &rect);
    if (!desktop::IsTopLevel(*w)) MapWindowPoints(nullptr, w->parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::vector<std::string> DesktopDriver::Rows(HWND list) const {
    std::vector<std::string> rows;
    Window* w = Find(list);
    if (!w) return rows;
    if (w->kind == Kind::ComboBox || w->kind == Kind::ListBox)
        for (const std::u16string& item : w->items) rows.push_back(UTF8(item));
    if (w->kind == Kind::ListView)
        for (int row = 0; row < int(w->rows.size()); ++row) rows.push_back(UTF8(desktop::ListViewCellText(*w, row, 0)));
    return rows;
}

int DesktopDriver::SelectedRow(HWND list) const {
    Window* w = Find(list);
    if (!w) return -1;
    if (w->kind == Kind::ListView) return int(SendMessageW(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
    return w->kind == Kind::ComboBox || w->kind == Kind::ListBox ? w->selection : -1;
}

bool DesktopDriver::IsRowChecked(HWND listView, int row) const {
    return SendMessageW(listView, LVM_GETITEMSTATE, WPARAM(row), LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
}

std::string DesktopDriver::Cell(HWND listView, int row, int column) const {
    Window* w = Find(listView);
    return w && w->kind == Kind::ListView ? UTF8(desktop::ListViewCellText(*w, row, column)) : std::string();
}

std::vector<std::string> DesktopDriver::TreeNodes(HWND tree) const {
    std::vector<std::string> lines;
    Window* w = Find(tree);
    if (w && w->kind == Kind::TreeView) ListTreeItems(*w, w->treeRoots, 0, false, &lines, nullptr);
    return lines;
}

std::string DesktopDriver::SelectedTreeNode(HWND tree) const {
    Window* w = Find(tree);
    if (!w || w->kind != Kind::TreeView) return std::string();
    auto found = w->treeItems.find(w->caret);
    return found == w->treeItems.end() ? std::string() : UTF8(found->second.text);
}

bool DesktopDriver::IsTreeNodeExpanded(HWND tree, const char* text) const {
    Window* w = Find(tree);
    if (!w || w->kind != Kind::TreeView) return false;
    const uintptr_t item = FindTreeItem(*w, w->treeRoots, FromUTF8(text));
    return item && (w->treeItems[item].state & TVIS_EXPANDED);
}

bool DesktopDriver::IsBold(HWND control) const {
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    LOGFONTW description;
    return font && GetObjectW(font, sizeof description, &description) && description.lfWeight >= FW_BOLD;
}

int DesktopDriver::Repaints(HWND control) const {
    Window* w = Find(control);
    return w ? w->invalidations : 0;
}

std::string DesktopDriver::Picture(HWND dialog) const {
    Window* w = Find(dialog);
    if (!w) return "(no window)\n";
    std::ostringstream out;
    const RECT outer = w->rect;
    out << (w->kind == Kind::Dialog ? "dialog " + std::to_string(w->templateID) : std::string("window")) << " \""
        << UTF8(w->text) << "\" at " << outer.left << "," << outer.top << " size " << outer.right - outer.left << "x"
        << outer.bottom - outer.top << " (client " << desktop::ClientWidth(*w) << "x" << desktop::ClientHeight(*w)
        << ")";
    if (IsActive(dialog)) out << " active";
    if (!IsEnabled(dialog)) out << " disabled";
    if (w->minimized) out << " minimized";
    out << "\n";
    for (HWND child : w->children) {
        Window* c = Find(child);
        if (!c || !(c->style & WS_VISIBLE)) continue;
        const RECT r = Bounds(child);
        out << "  [" << c->id << "] " << KindName(*c);
        switch (c->kind) {
            case Kind::Button:
                if (IsCheckedStyle(c->style)) out << (c->check == 1 ? " [x]" : c->check == 2 ? " [-]" : " [ ]");
                out << " \"" << UTF8(c->text) << "\"";
                if ((c->style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) out << " default";
                break;
            case Kind::ComboBox: {
                out << " \"" << (c->selection >= 0 ? UTF8(c->items[size_t(c->selection)]) : std::string()) << "\" of [";
                for (size_t i = 0; i < c->items.size(); ++i) out << (i ? "|" : "") << UTF8(c->items[i]);
                out << "]";
                break;
            }
            case Kind::ListBox: {
                out << " [";
                for (size_t i = 0; i < c->items.size(); ++i)
                    out << (i ? "|" : "") << (int(i) == c->selection ? "*" : "") << UTF8(c->items[i]);
                out << "]";
                break;
            }
            case Kind::ListView:
                break;
            case Kind::TreeView:
                break;
            case Kind::Static:
                if (std::string(KindName(*c)) == "label") out << " \"" << UTF8(c->text) << "\"";
                break;
            default:
                out << " \"" << UTF8(c->text) << "\"";
                break;
        }
        out << " at " << r.left << "," << r.top << " " << r.right - r.left << "x" << r.bottom - r.top;
        if (c->style & WS_DISABLED) out << " disabled";
        if (IsBold(child)) out << " bold";
        if (GetFocus() == child) out << " focus";
        out << "\n";
        if (c->kind == Kind::ListView) {
            const bool checks = (c->listExStyle & LVS_EX_CHECKBOXES) != 0;
            for (int row = 0; row < int(c->rows.size()); ++row) {
                out << "      " << (checks ? (IsRowChecked(child, row) ? "[x] " : "[ ] ") : "");
                for (size_t column = 0; column < std::max<size_t>(c->columns.size(), 1); ++column)
                    out << (column ? " | " : "") << UTF8(desktop::ListViewCellText(*c, row, int(column)));
                if (c->rows[size_t(row)].state & LVIS_SELECTED) out << " *";
                out << "\n";
            }
        }
        if (c->kind == Kind::TreeView) {
            std::vector<std::string> lines;
            ListTreeItems(*c, c->treeRoots, 0, true, &lines, nullptr);
            for (const std::string& line : lines) out << "      " << line << "\n";
        }
    }
    return out.str();
}

bool DesktopDriver::SaveImage(HWND, const std::string&, std::string* error) {
    if (error) *error = "the simulated desktop draws nothing; use Picture()";
    return false;
}

// ------------------------------------------------------------------------------------ acting

bool DesktopDriver::Click(HWND button) {
    Window* w = Find(button);
    return w && desktop::UserClickButton(*w);
}

bool DesktopDriver::ToggleCheck(HWND checkbox) {
    Window* w = Find(checkbox);
    return w && IsCheckedStyle(w->style) && desktop::UserClickButton(*w);
}

bool DesktopDriver::ChoosePopupRow(HWND popup, int row) {
    Window* w = Find(popup);
    return w && desktop::UserChooseComboRow(*w, row);
}

bool DesktopDriver::ChoosePopupText(HWND popup, const char* text) {
    Window* w = Find(popup);
    if (!w) return false;
    const std::u16string wanted = FromUTF8(text);
    for (size_t i = 0; i < w->items.size(); ++i)
        if (w->items[i] == wanted) return desktop::UserChooseComboRow(*w, int(i));
    return false;
}

bool DesktopDriver::Type(HWND edit, const char* text) {
    Window* w = Find(edit);
    return w && desktop::UserType(*w, FromUTF8(text));
}

bool DesktopDriver::SelectListRow(HWND list, int row) {
    Window* w = Find(list);
    if (!w) return false;
    if (w->kind == Kind::ListBox) return desktop::UserSelectListBoxRow(*w, row);
    return desktop::UserSelectListViewRow(*w, row);
}

bool DesktopDriver::ToggleListCheck(HWND listView, int row) {
    Window* w = Find(listView);
    return w && desktop::UserToggleListViewCheck(*w, row);
}

bool DesktopDriver::DoubleClickListRow(HWND listView, int row) {
    Window* w = Find(listView);
    return w && desktop::UserDoubleClickListViewRow(*w, row);
}

bool DesktopDriver::SelectTreeNode(HWND tree, const char* text) {
    Window* w = Find(tree);
    if (!w || w->kind != Kind::TreeView) return false;
    const uintptr_t item = FindTreeItem(*w, w->treeRoots, FromUTF8(text));
    return item && desktop::UserSelectTreeItem(*w, item);
}

bool DesktopDriver::SelectTreeNodeIn(HWND tree, const char* parentText, const char* text) {
    Window* w = Find(tree);
    if (!w || w->kind != Kind::TreeView) return false;
    const uintptr_t parent = FindTreeItem(*w, w->treeRoots, FromUTF8(parentText));
    auto found = w->treeItems.find(parent);
    if (!parent || found == w->treeItems.end()) return false;
    const uintptr_t item = FindTreeItem(*w, found->second.children, FromUTF8(text));
    return item && desktop::UserSelectTreeItem(*w, item);
}

bool DesktopDriver::ExpandTreeNode(HWND tree, const char* text, bool expand) {
    Window* w = Find(tree);
    if (!w || w->kind != Kind::TreeView) return false;
    const uintptr_t item = FindTreeItem(*w, w->treeRoots, FromUTF8(text));
    return item && desktop::UserExpandTreeItem(*w, item, expand);
}

bool DesktopDriver::PressEnter(HWND dialog) { return desktop::UserPressEnter(dialog); }
bool DesktopDriver::PressEscape(HWND dialog) { return desktop::UserPressEscape(dialog); }
bool DesktopDriver::CloseWindow(HWND window) { return desktop::UserCloseBox(window); }

bool DesktopDriver::Activate(HWND window) {
    Window* w = Find(window);
    if (!w || !desktop::IsTopLevel(*w) || !(w->style & WS_VISIBLE)) return false;
    if (w->style & WS_DISABLED) {
        MessageBeep(0);
        return false;
    }
    desktop::Activate(window, WA_CLICKACTIVE);
    return true;
}

void DesktopDriver::ClickHostDocument() {
    HWND host = HostWindow();
    if (host && IsWindowEnabled(host)) desktop::Activate(host, WA_CLICKACTIVE);
}

bool DesktopDriver::Resize(HWND window, int width, int height) {
    Window* w = Find(window);
    if (!w || !desktop::IsTopLevel(*w) || !(w->style & WS_THICKFRAME) || !desktop::IsUsable(window)) return false;
    desktop::Reposition(*w, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
    return true;
}

bool DesktopDriver::Move(HWND window, int left, int top) {
    Window* w = Find(window);
    if (!w || !desktop::IsTopLevel(*w) || !desktop::IsUsable(window)) return false;
    desktop::Reposition(*w, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    return true;
}

bool DesktopDriver::Minimize(HWND window) {
    Window* w = Find(window);
    if (!w || !desktop::IsTopLevel(*w) || w->minimized) return false;
    ShowWindow(window, SW_MINIMIZE);
    return true;
}

bool DesktopDriver::Restore(HWND window) {
    Window* w = Find(window);
    if (!w || !w->minimized) return false;
    ShowWindow(window, SW_RESTORE);
    return true;
}

void DesktopDriver::SetModifierKeys(bool shift, bool ctrl, bool alt) {
    desktop::SetKeyDown(VK_SHIFT, shift);
    desktop::SetKeyDown(VK_CONTROL, ctrl);
    desktop::SetKeyDown(VK_MENU, alt);
}

void DesktopDriver::AdvanceClock(uint32_t milliseconds) { desktop::AdvanceClock(milliseconds); }

// ------------------------------------------------------------------------------------ boxes

void DesktopDriver::AnswerNextMessageBox(int answer) { desktop::QueueMessageBoxAnswer(answer); }

std::vector<DesktopDriver::MessageBoxShown> DesktopDriver::MessageBoxes() const {
    std::vector<MessageBoxShown> shown;
    for (const desktop::MessageBoxRecord& record : desktop::MessageBoxes())
        shown.push_back({UTF8(record.caption), UTF8(record.text), record.style, record.owner, record.answer});
    return shown;
}

void DesktopDriver::OnNextModalDialog(std::function<void(DesktopDriver&, HWND)> script) {
    desktop::QueueModalScript([script](HWND dialog) {
        DesktopDriver driver;
        script(driver, dialog);
    });
}

// ------------------------------------------------------------------------------------ host, records

void DesktopDriver::ShowHostModalDialog() { simhost::ShowHostModalDialog(); }
void DesktopDriver::EndHostModalDialog() { simhost::EndHostModalDialog(); }

std::vector<unsigned> DesktopDriver::Beeps() const {
    return std::vector<unsigned>(desktop::Beeps().begin(), desktop::Beeps().end());
}

std::vector<int> DesktopDriver::DeferredBatches() const { return desktop::DeferredBatches(); }
int DesktopDriver::LiveFontCount() const { return desktop::LiveFontCount(); }
void DesktopDriver::SetScreenDPI(int dpi) { desktop::SetScreenDPI(dpi); }
void DesktopDriver::SetWarningSoundAvailable(bool available) { desktop::SetWarningSoundAvailable(available); }
std::string DesktopDriver::LastDialogError() const { return desktop::LastDialogError(); }

}  // namespace simhost
