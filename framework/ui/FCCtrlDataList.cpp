#include "framework/ui/FCCtrlDataList.h"

#include "framework/ui/Win32Support.h"

using fcui::ToHWND;

namespace {

// State images of a list view with check boxes: 1 unchecked, 2 checked.
UINT CheckImage(bool checked) { return INDEXTOSTATEIMAGEMASK(checked ? 2u : 1u); }

}  // namespace

void FCDataListRow::SetCheck(bool checked) {
    check_ = checked;
    if (list_) list_->PushRowCheck(this);
}

FCCtrlDataList::FCCtrlDataList(int id) : FCControl(id), checkboxes_(false), fullRowSelect_(false), selectedRow_(-1) {}

void FCCtrlDataList::ApplyStoredState() {
    FCControl::ApplyStoredState();
    HWND list = ToHWND(GetNativeItem());
    if (!list) return;
    ApplyExtendedStyles();
    for (int i = 0; i < columnTitles_.GetCount(); ++i) {
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.cx = columnWidths_[size_t(i)];
        column.pszText = const_cast<LPWSTR>(fcui::WideText(columnTitles_.GetItemAt(i)));
        column.iSubItem = i;
        SendMessageW(list, LVM_INSERTCOLUMNW, WPARAM(i), fcui::PointerParam(&column));
    }
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    const int selected = selectedRow_;
    for (int i = 0; i < rows_.GetCount(); ++i) InsertNativeRow(i);
    SelectRow(selected);
}

void FCCtrlDataList::ReadState() {
    FCControl::ReadState();
    HWND list = ToHWND(GetNativeItem());
    if (!list) return;
    if (checkboxes_) {
        for (int i = 0; i < rows_.GetCount(); ++i) {
            const UINT state = UINT(SendMessageW(list, LVM_GETITEMSTATE, WPARAM(i), LVIS_STATEIMAGEMASK));
            GetRowAt(i)->StoreCheck(state == CheckImage(true));
        }
    }
    const LRESULT selected = SendMessageW(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED);
    selectedRow_ = selected >= 0 && selected < rows_.GetCount() ? int(selected) : -1;
}

void FCCtrlDataList::HandleRowSelected(int) {}

void FCCtrlDataList::HandleSelectionLost() {}

void FCCtrlDataList::SetRowCheck(int row, bool checked) {
    if (FCDataListRow* item = GetRowAt(row)) item->SetCheck(checked);
}

void FCCtrlDataList::HandleDoubleClick(int) {}

void FCCtrlDataList::AddColumn(const FCString* title, int width) {
    FCString copy;
    if (title) copy.SetString(title);
    columnTitles_.AddCopy(&copy);
    columnWidths_.push_back(width);
    HWND list = ToHWND(GetNativeItem());
    if (!list) return;
    const int index = columnTitles_.GetCount() - 1;
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.cx = width;
    column.pszText = const_cast<LPWSTR>(fcui::WideText(columnTitles_.GetItemAt(index)));
    column.iSubItem = index;
    SendMessageW(list, LVM_INSERTCOLUMNW, WPARAM(index), fcui::PointerParam(&column));
}

void FCCtrlDataList::SetCheckboxes(bool on) {
    checkboxes_ = on;
    ApplyExtendedStyles();
    // Switching check boxes on gives every native row an unchecked box; the rows keep theirs.
    if (on && GetNativeItem())
        for (int i = 0; i < rows_.GetCount(); ++i) PushRowCheck(GetRowAt(i));
}

void FCCtrlDataList::SetFullRowSelect(bool on) {
    fullRowSelect_ = on;
    ApplyExtendedStyles();
}

void FCCtrlDataList::ClearRows() {
    rows_.ClearAll();
    selectedRow_ = -1;
    if (HWND list = ToHWND(GetNativeItem())) SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
}

FCDataListRow* FCCtrlDataList::AddRow() {
    FCDataListRow* row = new FCDataListRow;
    row->SetList(this);
    rows_.Add(row);
    if (GetNativeItem()) InsertNativeRow(rows_.GetCount() - 1);
    return row;
}

FCDataListRow* FCCtrlDataList::GetRowAt(int row) const { return static_cast<FCDataListRow*>(rows_.GetItemAt(row)); }

bool FCCtrlDataList::GetRowCheck(int row) const {
    const FCDataListRow* item = GetRowAt(row);
    return item && item->GetCheck();
}

void FCCtrlDataList::SelectRow(int row) {
    if (row < 0 || row >= rows_.GetCount()) row = -1;
    HWND list = ToHWND(GetNativeItem());
    if (!list) {
        selectedRow_ = row;
        return;
    }
    LVITEMW item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = row >= 0 ? LVIS_SELECTED | LVIS_FOCUSED : 0;
    if (row < 0) item.stateMask = LVIS_SELECTED;
    SendMessageW(list, LVM_SETITEMSTATE, WPARAM(row), fcui::PointerParam(&item));
    // The notifications record the selection; a list without notifications still answers.
    const LRESULT selected = SendMessageW(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED);
    selectedRow_ = selected >= 0 ? int(selected) : -1;
}

bool FCCtrlDataList::GetCellText(int row, int column, FCString* text) const {
    const FCDataListRow* item = GetRowAt(row);
    const FCString* cell = item ? item->GetItemAt(column) : nullptr;
    if (text) text->SetString(cell);
    if (text && !cell) text->Clear();
    return cell != nullptr;
}

void FCCtrlDataList::PushRowCheck(const FCDataListRow* row) {
    HWND list = ToHWND(GetNativeItem());
    if (!list || !checkboxes_ || !row) return;
    const int index = rows_.GetIndexOf(row);
    if (index < 0) return;
    const UINT wanted = CheckImage(row->GetCheck());
    const UINT current = UINT(SendMessageW(list, LVM_GETITEMSTATE, WPARAM(index), LVIS_STATEIMAGEMASK));
    if (current == wanted) return;
    LVITEMW item = {};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = wanted;
    SendMessageW(list, LVM_SETITEMSTATE, WPARAM(index), fcui::PointerParam(&item));
}

void FCCtrlDataList::NoteSelectedRow(int row) { selectedRow_ = row; }

void FCCtrlDataList::InsertNativeRow(int row) {
    HWND list = ToHWND(GetNativeItem());
    if (!list) return;
    // Texts come from the rows on request (LVN_GETDISPINFO), so they can change at any time.
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = row;
    item.pszText = LPSTR_TEXTCALLBACKW;
    item.lParam = row;
    const LRESULT index = SendMessageW(list, LVM_INSERTITEMW, 0, fcui::PointerParam(&item));
    if (index < 0) return;
    for (int column = 1; column < columnTitles_.GetCount(); ++column) {
        LVITEMW sub = {};
        sub.iSubItem = column;
        sub.pszText = LPSTR_TEXTCALLBACKW;
        SendMessageW(list, LVM_SETITEMTEXTW, WPARAM(index), fcui::PointerParam(&sub));
    }
    PushRowCheck(GetRowAt(row));
}

void FCCtrlDataList::ApplyExtendedStyles() {
    HWND list = ToHWND(GetNativeItem());
    if (!list) return;
    const DWORD mask = LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT;
    const DWORD styles = (checkboxes_ ? LVS_EX_CHECKBOXES : 0) | (fullRowSelect_ ? LVS_EX_FULLROWSELECT : 0);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, mask, styles);
}
