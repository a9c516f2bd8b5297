#include "framework/ui/FCCtrlListBox.h"

#include "framework/ui/Win32Support.h"

using fcui::ToHWND;

FCCtrlListBox::FCCtrlListBox(int id) : FCControl(id), storedSelection_(-1) {}

void FCCtrlListBox::ApplyStoredState() {
    FCControl::ApplyStoredState();
    HWND list = ToHWND(GetNativeItem());
    if (!list) return;
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (int i = 0; i < rows_.GetCount(); ++i)
        SendMessageW(list, LB_ADDSTRING, 0, fcui::PointerParam(fcui::WideText(rows_.GetItemAt(i))));
    SetSelectedItem(storedSelection_);
}

void FCCtrlListBox::ReadState() {
    FCControl::ReadState();
    HWND list = ToHWND(GetNativeItem());
    if (!list) return;
    rows_.ClearAll();
    const int count = GetCount();
    for (int i = 0; i < count; ++i) {
        FCString text;
        fcui::ReadListText(list, LB_GETTEXTLEN, LB_GETTEXT, i, &text);
        rows_.AddCopy(&text);
    }
    storedSelection_ = GetSelectedItem();
}

void FCCtrlListBox::Clear() {
    if (HWND list = ToHWND(GetNativeItem())) {
        SendMessageW(list, LB_RESETCONTENT, 0, 0);
        return;
    }
    rows_.ClearAll();
    storedSelection_ = -1;
}

void FCCtrlListBox::AddItem(const FCString* text) {
    FCString copy;
    if (text) copy.SetString(text);
    if (HWND list = ToHWND(GetNativeItem())) {
        SendMessageW(list, LB_ADDSTRING, 0, fcui::PointerParam(fcui::WideText(&copy)));
        return;
    }
    rows_.AddCopy(&copy);
}

int FCCtrlListBox::GetCount() {
    if (HWND list = ToHWND(GetNativeItem())) {
        const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
        return count > 0 ? int(count) : 0;
    }
    return rows_.GetCount();
}

bool FCCtrlListBox::GetItemText(int row, FCString* text) {
    if (HWND list = ToHWND(GetNativeItem())) return fcui::ReadListText(list, LB_GETTEXTLEN, LB_GETTEXT, row, text);
    const FCString* item = rows_.GetItemAt(row);
    if (text) text->SetString(item);
    if (text && !item) text->Clear();
    return item != nullptr;
}

int FCCtrlListBox::GetSelectedItem() {
    if (HWND list = ToHWND(GetNativeItem())) {
        const LRESULT row = SendMessageW(list, LB_GETCURSEL, 0, 0);
        return row >= 0 ? int(row) : -1;
    }
    return storedSelection_ >= 0 && storedSelection_ < rows_.GetCount() ? storedSelection_ : -1;
}

void FCCtrlListBox::SetSelectedItem(int row) {
    if (HWND list = ToHWND(GetNativeItem())) {
        SendMessageW(list, LB_SETCURSEL, WPARAM(row >= 0 ? row : -1), 0);
        return;
    }
    storedSelection_ = row >= 0 ? row : -1;
}

bool FCCtrlListBox::DeleteItem(int row) {
    if (HWND list = ToHWND(GetNativeItem())) return SendMessageW(list, LB_DELETESTRING, WPARAM(row), 0) != LB_ERR;
    if (!rows_.ClearItemAt(row)) return false;
    if (storedSelection_ == row)
        storedSelection_ = -1;
    else if (storedSelection_ > row)
        --storedSelection_;
    return true;
}

bool FCCtrlListBox::SetItemText(int row, const FCString* text) {
    FCString copy;
    if (text) copy.SetString(text);
    if (HWND list = ToHWND(GetNativeItem())) {
        const int count = GetCount();
        if (row < 0 || row >= count) return false;
        const int selected = GetSelectedItem();
        SendMessageW(list, LB_DELETESTRING, WPARAM(row), 0);
        SendMessageW(list, LB_INSERTSTRING, WPARAM(row), fcui::PointerParam(fcui::WideText(&copy)));
        if (selected >= 0) SendMessageW(list, LB_SETCURSEL, WPARAM(selected), 0);
        return true;
    }
    FCString* item = rows_.GetItemAt(row);
    if (!item) return false;
    item->SetString(&copy);
    return true;
}
