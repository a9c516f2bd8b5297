// The standard controls of the simulated desktop: static texts, buttons and check boxes, edit
// fields, drop-down lists, list boxes, report list views with check boxes and tree views, driven
// by their Win32 messages and sending their parents the notifications the system's controls send.
// Also what a user's clicks and typing do to them.
#include "simhost/desktop/Desktop.h"

#include <algorithm>

namespace simhost {
namespace desktop {
namespace {

// Tree item handles are unique for the life of the process.
uintptr_t g_nextTreeItem = 0x1000;

bool IsCheckType(DWORD style) {
    switch (style & BS_TYPEMASK) {
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_RADIOBUTTON:
        case BS_3STATE:
        case BS_AUTO3STATE:
        case BS_AUTORADIOBUTTON:
            return true;
        default:
            return false;
    }
}

void FocusNotification(Window& control, bool gained) {
    switch (control.kind) {
        case Kind::Edit:
            CommandToParent(control, gained ? EN_SETFOCUS : EN_KILLFOCUS);
            break;
        case Kind::ComboBox:
            CommandToParent(control, gained ? CBN_SETFOCUS : CBN_KILLFOCUS);
            break;
        case Kind::ListBox:
            if (control.style & LBS_NOTIFY) CommandToParent(control, gained ? LBN_SETFOCUS : LBN_KILLFOCUS);
            break;
        case Kind::Button:
            if (control.style & BS_NOTIFY) CommandToParent(control, gained ? BN_SETFOCUS : BN_KILLFOCUS);
            break;
        case Kind::ListView:
        case Kind::TreeView: {
            NMHDR header = {};
            NotifyParent(control, &header, gained ? NM_SETFOCUS : NM_KILLFOCUS);
            break;
        }
        default:
            break;
    }
}

// ----------------------------------------------------------------------------------- buttons

void ClickButton(Window& button) {
    switch (button.style & BS_TYPEMASK) {
        case BS_AUTOCHECKBOX:
            button.check = button.check ? 0 : 1;
            break;
        case BS_AUTO3STATE:
            button.check = (button.check + 1) % 3;
            break;
        case BS_AUTORADIOBUTTON:
            button.check = 1;
            break;
        default:
            break;
    }
    CommandToParent(button, BN_CLICKED);
}

LRESULT ButtonMessage(Window& button, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case BM_GETCHECK:
        case BM_GETSTATE:
            return IsCheckType(button.style) ? button.check : 0;
        case BM_SETCHECK:
            if (IsCheckType(button.style)) {
                const DWORD type = button.style & BS_TYPEMASK;
                const bool threeState = type == BS_3STATE || type == BS_AUTO3STATE;
                button.check = wparam == BST_INDETERMINATE && threeState ? 2 : (wparam == BST_CHECKED ? 1 : 0);
            }
            return 0;
        case BM_SETSTYLE:
            button.style = (button.style & ~DWORD(0xFFFF)) | LOWORD(wparam);
            return 0;
        case BM_CLICK:
            if (!(button.style & WS_DISABLED)) ClickButton(button);
            return 0;
        default:
            return GenericMessage(button, message, wparam, lparam);
    }
}

// ----------------------------------------------------------------------------------- edit fields

LRESULT EditMessage(Window& edit, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_SETTEXT:
            edit.text = WideToString(reinterpret_cast<LPCWSTR>(lparam));
            // A single-line field reports a text set from outside as a change, like one typed.
            if (!(edit.style & ES_MULTILINE)) {
                CommandToParent(edit, EN_UPDATE);
                if (!edit.destroyed) CommandToParent(edit, EN_CHANGE);
            }
            return TRUE;
        case EM_LIMITTEXT:
            edit.textLimit = wparam ? int(wparam) : 0x7FFFFFFE;
            return 0;
        case EM_GETLIMITTEXT:
            return edit.textLimit;
        case EM_SETREADONLY:
            if (wparam)
                edit.style |= ES_READONLY;
            else
                edit.style &= ~ES_READONLY;
            return TRUE;
        case EM_SETSEL:
            return 0;
        default:
            return GenericMessage(edit, message, wparam, lparam);
    }
}

// ----------------------------------------------------------------------------------- list boxes

int FindExact(const std::vector<std::u16string>& items, int start, const std::u16string& text) {
    const int count = int(items.size());
    for (int i = 1; i <= count; ++i) {
        const int index = ((start < 0 ? -1 : start) + i) % count;
        if (SameTextIgnoringCase(items[size_t(index)], text)) return index;
    }
    return -1;
}

int InsertItem(Window& list, int index, const std::u16string& text, bool sorted) {
    std::vector<std::u16string>& items = list.items;
    if (sorted) {
        index = 0;
        while (index < int(items.size()) && !(text < items[size_t(index)])) ++index;
    } else if (index < 0 || index > int(items.size())) {
        if (index >= 0) return -1;
        index = int(items.size());
    }
    items.insert(items.begin() + index, text);
    if (list.selection >= index) ++list.selection;
    return index;
}

bool DeleteItem(Window& list, int index) {
    if (index < 0 || index >= int(list.items.size())) return false;
    list.items.erase(list.items.begin() + index);
    if (list.selection == index)
        list.selection = -1;
    else if (list.selection > index)
        --list.selection;
    return true;
}

LRESULT ComboMessage(Window& combo, UINT message, WPARAM wparam, LPARAM lparam) {
    const int count = int(combo.items.size());
    const int index = int(wparam);
    switch (message) {
        case WM_GETTEXT:
            return CopyText(combo.selection >= 0 ? combo.items[size_t(combo.selection)] : std::u16string(),
                            reinterpret_cast<LPWSTR>(lparam), int(wparam));
        case WM_GETTEXTLENGTH:
            return combo.selection >= 0 ? LRESULT(combo.items[size_t(combo.selection)].size()) : 0;
        case WM_SETTEXT: {
            // A drop-down list shows only its items: setting a text selects the item with it.
            const int found = FindExact(combo.items, -1, WideToString(reinterpret_cast<LPCWSTR>(lparam)));
            if (found < 0) return CB_ERR;
            combo.selection = found;
            return TRUE;
        }
        case CB_ADDSTRING:
            return InsertItem(combo, -1, WideToString(reinterpret_cast<LPCWSTR>(lparam)),
                              (combo.style & CBS_SORT) != 0);
        case CB_INSERTSTRING: {
            const int at = InsertItem(combo, index, WideToString(reinterpret_cast<LPCWSTR>(lparam)), false);
            return at >= 0 ? at : CB_ERR;
        }
        case CB_DELETESTRING:
            return DeleteItem(combo, index) ? LRESULT(combo.items.size()) : CB_ERR;
        case CB_GETCOUNT:
            return count;
        case CB_GETCURSEL:
            return combo.selection >= 0 ? combo.selection : CB_ERR;
        case CB_SETCURSEL:
            if (index >= 0 && index < count) {
                combo.selection = index;
                return index;
            }
            combo.selection = -1;
            return CB_ERR;
        case CB_GETLBTEXT:
            if (index < 0 || index >= count) return CB_ERR;
            return CopyText(combo.items[size_t(index)], reinterpret_cast<LPWSTR>(lparam),
                            int(combo.items[size_t(index)].size()) + 1);
        case CB_GETLBTEXTLEN:
            return index >= 0 && index < count ? LRESULT(combo.items[size_t(index)].size()) : CB_ERR;
        case CB_RESETCONTENT:
            combo.items.clear();
            combo.selection = -1;
            return 0;
        case CB_FINDSTRINGEXACT: {
            const int found = FindExact(combo.items, index, WideToString(reinterpret_cast<LPCWSTR>(lparam)));
            return found >= 0 ? found : CB_ERR;
        }
        case CB_SHOWDROPDOWN:
            combo.dropped = wparam != 0;
            return TRUE;
        case CB_GETDROPPEDSTATE:
            return combo.dropped ? TRUE : FALSE;
        default:
            return GenericMessage(combo, message, wparam, lparam);
    }
}

LRESULT ListBoxMessage(Window& list, UINT message, WPARAM wparam, LPARAM lparam) {
    const int count = int(list.items.size());
    const int index = int(wparam);
    switch (message) {
        case LB_ADDSTRING:
            return InsertItem(list, -1, WideToString(reinterpret_cast<LPCWSTR>(lparam)), (list.style & LBS_SORT) != 0);
        case LB_INSERTSTRING: {
            const int at = InsertItem(list, index, WideToString(reinterpret_cast<LPCWSTR>(lparam)), false);
            return at >= 0 ? at : LB_ERR;
        }
        case LB_DELETESTRING:
            return DeleteItem(list, index) ? LRESULT(list.items.size()) : LB_ERR;
        case LB_RESETCONTENT:
            list.items.clear();
            list.selection = -1;
            return 0;
        case LB_GETCOUNT:
            return count;
        case LB_GETCURSEL:
            return list.selection >= 0 ? list.selection : LB_ERR;
        case LB_SETCURSEL:
            if (index >= 0 && index < count) {
                list.selection = index;
                return index;
            }
            list.selection = -1;
            return index == -1 ? 0 : LB_ERR;
        case LB_GETTEXT:
            if (index < 0 || index >= count) return LB_ERR;
            return CopyText(list.items[size_t(index)], reinterpret_cast<LPWSTR>(lparam),
                            int(list.items[size_t(index)].size()) + 1);
        case LB_GETTEXTLEN:
            return index >= 0 && index < count ? LRESULT(list.items[size_t(index)].size()) : LB_ERR;
        case LB_FINDSTRINGEXACT: {
            const int found = FindExact(list.items, index, WideToString(reinterpret_cast<LPCWSTR>(lparam)));
            return found >= 0 ? found : LB_ERR;
        }
        default:
            return GenericMessage(list, message, wparam, lparam);
    }
}

// ----------------------------------------------------------------------------------- list views

bool HasCheckboxes(const Window& list) { return (list.listExStyle & LVS_EX_CHECKBOXES) != 0; }

void FitRow(const Window& list, ListViewRow& row) {
    const size_t columns = std::max<size_t>(list.columns.size(), 1);
    if (row.texts.size() < columns) row.texts.resize(columns);
    if (row.callback.size() < columns) row.callback.resize(columns, false);
}

// Changes a row's state bits, with the notifications a list view sends (the owner may refuse the
// change in LVN_ITEMCHANGING).
void ChangeRowState(Window& list, int row, UINT mask, UINT value) {
    if (row < 0 || row >= int(list.rows.size())) return;
    const UINT old = list.rows[size_t(row)].state;
    const UINT wanted = (old & ~mask) | (value & mask);
    if (wanted == old) return;
    NMLISTVIEW change = {};
    change.iItem = row;
    change.uNewState = wanted;
    change.uOldState = old;
    change.uChanged = LVIF_STATE;
    change.lParam = list.rows[size_t(row)].param;
    if (NotifyParent(list, &change.hdr, LVN_ITEMCHANGING)) return;
    if (list.destroyed || row >= int(list.rows.size())) return;
    list.rows[size_t(row)].state = wanted;
    NotifyParent(list, &change.hdr, LVN_ITEMCHANGED);
}

void SetRowState(Window& list, int row, UINT mask, UINT value) {
    // One selected row at most with single selection, one focused row always.
    if ((mask & LVIS_SELECTED) && (value & LVIS_SELECTED) && (list.style & LVS_SINGLESEL))
        for (int other = 0; other < int(list.rows.size()) && !list.destroyed; ++other)
            if (other != row && (list.rows[size_t(other)].state & LVIS_SELECTED))
                ChangeRowState(list, other, LVIS_SELECTED, 0);
    if ((mask & LVIS_FOCUSED) && (value & LVIS_FOCUSED))
        for (int other = 0; other < int(list.rows.size()) && !list.destroyed; ++other)
            if (other != row && (list.rows[size_t(other)].state & LVIS_FOCUSED))
                ChangeRowState(list, other, LVIS_FOCUSED, 0);
    if (!list.destroyed) ChangeRowState(list, row, mask, value);
}

std::u16string CellText(Window& list, int row, int column) {
    if (row < 0 || row >= int(list.rows.size()) || column < 0) return std::u16string();
    ListViewRow& data = list.rows[size_t(row)];
    if (column >= int(data.texts.size())) return std::u16string();
    if (!data.callback[size_t(column)]) return data.texts[size_t(column)];
    // The owner supplies the text into a buffer of the size list views use for a label.
    char16_t buffer[260] = {0};
    NMLVDISPINFOW request = {};
    request.item.mask = LVIF_TEXT;
    request.item.iItem = row;
    request.item.iSubItem = column;
    request.item.pszText = buffer;
    request.item.cchTextMax = 260;
    request.item.lParam = data.param;
    NotifyParent(list, &request.hdr, LVN_GETDISPINFOW);
    const char16_t* text = request.item.pszText ? request.item.pszText : buffer;
    buffer[259] = 0;
    return std::u16string(text);
}

LRESULT ListViewMessage(Window& list, UINT message, WPARAM wparam, LPARAM lparam) {
    const int count = int(list.rows.size());
    const int index = int(wparam);
    switch (message) {
        case LVM_GETITEMCOUNT:
            return count;
        case LVM_INSERTCOLUMNW: {
            const LVCOLUMNW* column = reinterpret_cast<const LVCOLUMNW*>(lparam);
            if (!column || index < 0) return -1;
            const int at = std::min(index, int(list.columns.size()));
            ListViewColumn data;
            if (column->mask & LVCF_TEXT) data.title = WideToString(column->pszText);
            if (column->mask & LVCF_WIDTH) data.width = column->cx;
            list.columns.insert(list.columns.begin() + at, data);
            for (ListViewRow& row : list.rows) {
                FitRow(list, row);
                if (list.columns.size() > 1) {
                    row.texts.insert(row.texts.begin() + at, std::u16string());
                    row.callback.insert(row.callback.begin() + at, false);
                    row.texts.resize(list.columns.size());
                    row.callback.resize(list.columns.size());
                }
            }
            return at;
        }
        case LVM_GETCOLUMNWIDTH:
            return index >= 0 && index < int(list.columns.size()) ? list.columns[size_t(index)].width : 0;
        case LVM_SETEXTENDEDLISTVIEWSTYLE: {
            const DWORD mask = wparam ? DWORD(wparam) : 0xFFFFFFFF;
            const DWORD old = list.listExStyle;
            list.listExStyle = (old & ~mask) | (DWORD(lparam) & mask);
            for (ListViewRow& row : list.rows) {
                if (HasCheckboxes(list) && !(row.state & LVIS_STATEIMAGEMASK)) row.state |= INDEXTOSTATEIMAGEMASK(1u);
                if (!HasCheckboxes(list)) row.state &= ~LVIS_STATEIMAGEMASK;
            }
            return LRESULT(old);
        }
        case LVM_GETEXTENDEDLISTVIEWSTYLE:
            return LRESULT(list.listExStyle);
        case LVM_INSERTITEMW: {
            const LVITEMW* item = reinterpret_cast<const LVITEMW*>(lparam);
            if (!item) return -1;
            const int at = std::max(0, std::min(item->iItem, count));
            ListViewRow row;
            FitRow(list, row);
            if (item->mask & LVIF_TEXT) {
                if (item->pszText == LPSTR_TEXTCALLBACKW)
                    row.callback[0] = true;
                else
                    row.texts[0] = WideToString(item->pszText);
            }
            if (item->mask & LVIF_PARAM) row.param = item->lParam;
            if (item->mask & LVIF_STATE) row.state = item->state & item->stateMask;
            if (HasCheckboxes(list) && !(row.state & LVIS_STATEIMAGEMASK)) row.state |= INDEXTOSTATEIMAGEMASK(1u);
            list.rows.insert(list.rows.begin() + at, row);
            NMLISTVIEW inserted = {};
            inserted.iItem = at;
            NotifyParent(list, &inserted.hdr, LVN_INSERTITEM);
            return at;
        }
        case LVM_DELETEITEM: {
            if (index < 0 || index >= count) return FALSE;
            NMLISTVIEW deleted = {};
            deleted.iItem = index;
            deleted.lParam = list.rows[size_t(index)].param;
            NotifyParent(list, &deleted.hdr, LVN_DELETEITEM);
            if (!list.destroyed && index < int(list.rows.size())) list.rows.erase(list.rows.begin() + index);
            return TRUE;
        }
        case LVM_DELETEALLITEMS: {
            NMLISTVIEW deleted = {};
            deleted.iItem = -1;
            NotifyParent(list, &deleted.hdr, LVN_DELETEALLITEMS);
            list.rows.clear();
            return TRUE;
        }
        case LVM_SETITEMSTATE: {
            const LVITEMW* item = reinterpret_cast<const LVITEMW*>(lparam);
            if (!item) return FALSE;
            if (index == -1) {
                for (int row = 0; row < int(list.rows.size()) && !list.destroyed; ++row)
                    ChangeRowState(list, row, item->stateMask, item->state);
                return TRUE;
            }
            if (index < 0 || index >= count) return FALSE;
            SetRowState(list, index, item->stateMask, item->state);
            return TRUE;
        }
        case LVM_GETITEMSTATE:
            return index >= 0 && index < count ? LRESULT(list.rows[size_t(index)].state & UINT(lparam)) : 0;
        case LVM_GETNEXTITEM: {
            const UINT flags = UINT(lparam);
            for (int row = std::max(index + 1, 0); row < count; ++row) {
                const UINT state = list.rows[size_t(row)].state;
                if ((flags & LVNI_SELECTED) && !(state & LVIS_SELECTED)) continue;
                if ((flags & LVNI_FOCUSED) && !(state & LVIS_FOCUSED)) continue;
                return row;
            }
            return -1;
        }
        case LVM_GETITEMTEXTW: {
            LVITEMW* item = reinterpret_cast<LVITEMW*>(lparam);
            if (!item) return 0;
            return CopyText(CellText(list, index, item->iSubItem), item->pszText, item->cchTextMax);
        }
        case LVM_SETITEMTEXTW: {
            const LVITEMW* item = reinterpret_cast<const LVITEMW*>(lparam);
            if (!item || index < 0 || index >= count || item->iSubItem < 0) return FALSE;
            ListViewRow& row = list.rows[size_t(index)];
            const size_t column = size_t(item->iSubItem);
            if (column >= row.texts.size()) {
                row.texts.resize(column + 1);
                row.callback.resize(column + 1, false);
            }
            row.callback[column] = item->pszText == LPSTR_TEXTCALLBACKW;
            row.texts[column] = row.callback[column] ? std::u16string() : WideToString(item->pszText);
            return TRUE;
        }
        default:
            return GenericMessage(list, message, wparam, lparam);
    }
}

// ----------------------------------------------------------------------------------- tree views

TreeItem* FindItem(Window& tree, uintptr_t item) {
    auto found = tree.treeItems.find(item);
    return found == tree.treeItems.end() ? nullptr : &found->second;
}

std::vector<uintptr_t>& Siblings(Window& tree, uintptr_t parent) {
    return parent ? tree.treeItems[parent].children : tree.treeRoots;
}

bool IsInside(Window& tree, uintptr_t item, uintptr_t ancestor) {
    for (TreeItem* data = FindItem(tree, item); data; data = FindItem(tree, data->parent))
        if (data->parent == ancestor) return true;
    return false;
}

void Describe(Window& tree, uintptr_t item, TVITEMW* out) {
    out->mask = TVIF_HANDLE | TVIF_STATE | TVIF_PARAM;
    out->hItem = reinterpret_cast<HTREEITEM>(item);
    if (TreeItem* data = FindItem(tree, item)) {
        out->state = data->state;
        out->lParam = data->param;
    }
}

bool SelectItem(Window& tree, uintptr_t item, UINT action) {
    if (item && !FindItem(tree, item)) return false;
    if (item == tree.caret) return true;
    const uintptr_t previous = tree.caret;
    NMTREEVIEWW change = {};
    change.action = action;
    Describe(tree, previous, &change.itemOld);
    Describe(tree, item, &change.itemNew);
    if (NotifyParent(tree, &change.hdr, TVN_SELCHANGINGW)) return false;
    if (tree.destroyed || (item && !FindItem(tree, item))) return false;
    if (TreeItem* old = FindItem(tree, tree.caret)) old->state &= ~TVIS_SELECTED;
    tree.caret = item;
    if (TreeItem* data = FindItem(tree, item)) {
        data->state |= TVIS_SELECTED;
        // The caret item is scrolled into view: every item it lies in opens.
        for (TreeItem* parent = FindItem(tree, data->parent); parent; parent = FindItem(tree, parent->parent))
            parent->state |= TVIS_EXPANDED | TVIS_EXPANDEDONCE;
    }
    Describe(tree, previous, &change.itemOld);
    Describe(tree, item, &change.itemNew);
    NotifyParent(tree, &change.hdr, TVN_SELCHANGEDW);
    return true;
}

bool Expand(Window& tree, uintptr_t item, UINT action, bool byUser) {
    TreeItem* data = FindItem(tree, item);
    if (!data || data->children.empty()) return false;
    const bool expanded = (data->state & TVIS_EXPANDED) != 0;
    bool wanted = expanded;
    switch (action & 0x3) {
        case TVE_EXPAND:
            wanted = true;
            break;
        case TVE_COLLAPSE:
            wanted = false;
            break;
        case TVE_TOGGLE:
            wanted = !expanded;
            break;
        default:
            return false;
    }
    if (wanted == expanded) return true;
    NMTREEVIEWW change = {};
    change.action = wanted ? TVE_EXPAND : TVE_COLLAPSE;
    Describe(tree, item, &change.itemNew);
    if (byUser && NotifyParent(tree, &change.hdr, TVN_ITEMEXPANDINGW)) return false;
    data = FindItem(tree, item);
    if (tree.destroyed || !data) return false;
    if (wanted)
        data->state |= TVIS_EXPANDED | TVIS_EXPANDEDONCE;
    else
        data->state &= ~TVIS_EXPANDED;
    // Collapsing hides the caret item: the selection moves to the collapsed item.
    if (!wanted && tree.caret && IsInside(tree, tree.caret, item)) SelectItem(tree, item, TVC_UNKNOWN);
    if (byUser && !tree.destroyed) {
        Describe(tree, item, &change.itemNew);
        NotifyParent(tree, &change.hdr, TVN_ITEMEXPANDEDW);
    }
    return true;
}

void CollectSubtree(Window& tree, uintptr_t item, std::vector<uintptr_t>* items) {
    items->push_back(item);
    if (TreeItem* data = FindItem(tree, item))
        for (uintptr_t child : data->children) CollectSubtree(tree, child, items);
}

bool DeleteTreeItems(Window& tree, uintptr_t item) {
    std::vector<uintptr_t> doomed;
    if (!item || item == reinterpret_cast<uintptr_t>(TVI_ROOT)) {
        for (uintptr_t root : tree.treeRoots) CollectSubtree(tree, root, &doomed);
        tree.caret = 0;
    } else {
        TreeItem* data = FindItem(tree, item);
        if (!data) return false;
        CollectSubtree(tree, item, &doomed);
        if (tree.caret && (tree.caret == item || IsInside(tree, tree.caret, item))) {
            // The selection moves to a neighbour: the next sibling, else the previous, else the parent.
            std::vector<uintptr_t>& siblings = Siblings(tree, data->parent);
            const auto at = std::find(siblings.begin(), siblings.end(), item);
            uintptr_t next = data->parent;
            if (at != siblings.end() && at + 1 != siblings.end())
                next = *(at + 1);
            else if (at != siblings.begin() && at != siblings.end())
                next = *(at - 1);
            SelectItem(tree, next, TVC_UNKNOWN);
            if (tree.destroyed || !FindItem(tree, item)) return true;
        }
    }
    for (uintptr_t doomedItem : doomed) {
        NMTREEVIEWW deleted = {};
        Describe(tree, doomedItem, &deleted.itemOld);
        NotifyParent(tree, &deleted.hdr, TVN_DELETEITEMW);
        if (tree.destroyed) return true;
    }
    if (!item || item == reinterpret_cast<uintptr_t>(TVI_ROOT)) {
        tree.treeItems.clear();
        tree.treeRoots.clear();
        return true;
    }
    TreeItem* data = FindItem(tree, item);
    if (!data) return true;
    std::vector<uintptr_t>& siblings = Siblings(tree, data->parent);
    siblings.erase(std::remove(siblings.begin(), siblings.end(), item), siblings.end());
    for (uintptr_t doomedItem : doomed) tree.treeItems.erase(doomedItem);
    if (tree.caret && !FindItem(tree, tree.caret)) tree.caret = 0;
    return true;
}

uintptr_t InsertTreeItem(Window& tree, const TVINSERTSTRUCTW& insert) {
    uintptr_t parent = reinterpret_cast<uintptr_t>(insert.hParent);
    if (parent == reinterpret_cast<uintptr_t>(TVI_ROOT)) parent = 0;
    if (parent && !FindItem(tree, parent)) return 0;
    TreeItem data;
    data.parent = parent;
    const TVITEMW& item = insert.item;
    if (item.mask & TVIF_TEXT) {
        if (item.pszText == LPSTR_TEXTCALLBACKW)
            data.callback = true;
        else
            data.text = WideToString(item.pszText);
    }
    if (item.mask & TVIF_PARAM) data.param = item.lParam;
    if (item.mask & TVIF_STATE) data.state = item.state & item.stateMask & ~TVIS_SELECTED;
    const uintptr_t handle = g_nextTreeItem++;
    std::vector<uintptr_t>& siblings = Siblings(tree, parent);
    const uintptr_t after = reinterpret_cast<uintptr_t>(insert.hInsertAfter);
    if (after == reinterpret_cast<uintptr_t>(TVI_FIRST)) {
        siblings.insert(siblings.begin(), handle);
    } else {
        auto at = std::find(siblings.begin(), siblings.end(), after);
        siblings.insert(at == siblings.end() ? siblings.end() : at + 1, handle);
    }
    tree.treeItems[handle] = data;
    return handle;
}

uintptr_t NextItem(Window& tree, UINT relation, uintptr_t item) {
    TreeItem* data = FindItem(tree, item);
    switch (relation) {
        case TVGN_ROOT:
            return tree.treeRoots.empty() ? 0 : tree.treeRoots.front();
        case TVGN_CARET:
            return tree.caret;
        case TVGN_PARENT:
            return data ? data->parent : 0;
        case TVGN_CHILD:
            if (!item || item == reinterpret_cast<uintptr_t>(TVI_ROOT))
                return tree.treeRoots.empty() ? 0 : tree.treeRoots.front();
            return data && !data->children.empty() ? data->children.front() : 0;
        case TVGN_NEXT:
        case TVGN_PREVIOUS: {
            if (!data) return 0;
            std::vector<uintptr_t>& siblings = Siblings(tree, data->parent);
            auto at = std::find(siblings.begin(), siblings.end(), item);
            if (at == siblings.end()) return 0;
            if (relation == TVGN_NEXT) return at + 1 == siblings.end() ? 0 : *(at + 1);
            return at == siblings.begin() ? 0 : *(at - 1);
        }
        default:
            return 0;
    }
}

LRESULT TreeViewMessage(Window& tree, UINT message, WPARAM wparam, LPARAM lparam) {
    const uintptr_t item = uintptr_t(lparam);
    switch (message) {
        case TVM_INSERTITEMW: {
            const TVINSERTSTRUCTW* insert = reinterpret_cast<const TVINSERTSTRUCTW*>(lparam);
            return insert ? LRESULT(InsertTreeItem(tree, *insert)) : 0;
        }
        case TVM_DELETEITEM:
            return DeleteTreeItems(tree, item) ? TRUE : FALSE;
        case TVM_EXPAND:
            return Expand(tree, item, UINT(wparam), false) ? TRUE : FALSE;
        case TVM_GETCOUNT:
            return LRESULT(tree.treeItems.size());
        case TVM_GETNEXTITEM:
            return LRESULT(NextItem(tree, UINT(wparam), item));
        case TVM_SELECTITEM:
            if (wparam != TVGN_CARET) return TRUE;
            return SelectItem(tree, item, TVC_UNKNOWN) ? TRUE : FALSE;
        case TVM_ENSUREVISIBLE: {
            TreeItem* data = FindItem(tree, item);
            if (!data) return FALSE;
            for (TreeItem* parent = FindItem(tree, data->parent); parent; parent = FindItem(tree, parent->parent))
                parent->state |= TVIS_EXPANDED | TVIS_EXPANDEDONCE;
            return TRUE;
        }
        case TVM_GETITEMSTATE: {
            TreeItem* data = FindItem(tree, uintptr_t(wparam));
            return data ? LRESULT(data->state & UINT(lparam)) : 0;
        }
        case TVM_GETITEMW: {
            TVITEMW* out = reinterpret_cast<TVITEMW*>(lparam);
            TreeItem* data = out ? FindItem(tree, reinterpret_cast<uintptr_t>(out->hItem)) : nullptr;
            if (!data) return FALSE;
            if (out->mask & TVIF_TEXT) CopyText(data->text, out->pszText, out->cchTextMax);
            if (out->mask & TVIF_PARAM) out->lParam = data->param;
            if (out->mask & TVIF_STATE) out->state = data->state & out->stateMask;
            if (out->mask & TVIF_CHILDREN) out->cChildren = data->children.empty() ? 0 : 1;
            return TRUE;
        }
        case TVM_SETITEMW: {
            const TVITEMW* in = reinterpret_cast<const TVITEMW*>(lparam);
            TreeItem* data = in ? FindItem(tree, reinterpret_cast<uintptr_t>(in->hItem)) : nullptr;
            if (!data) return FALSE;
            if (in->mask & TVIF_TEXT) {
                data->callback = in->pszText == LPSTR_TEXTCALLBACKW;
                data->text = data->callback ? std::u16string() : WideToString(in->pszText);
            }
            if (in->mask & TVIF_PARAM) data->param = in->lParam;
            if (in->mask & TVIF_STATE) data->state = (data->state & ~in->stateMask) | (in->state & in->stateMask);
            return TRUE;
        }
        default:
            return GenericMessage(tree, message, wparam, lparam);
    }
}

}  // namespace

LRESULT ControlMessage(Window& control, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_SETFOCUS || message == WM_KILLFOCUS) {
        FocusNotification(control, message == WM_SETFOCUS);
        return 0;
    }
    switch (control.kind) {
        case Kind::Button:
            return ButtonMessage(control, message, wparam, lparam);
        case Kind::Edit:
            return EditMessage(control, message, wparam, lparam);
        case Kind::ComboBox:
            return ComboMessage(control, message, wparam, lparam);
        case Kind::ListBox:
            return ListBoxMessage(control, message, wparam, lparam);
        case Kind::ListView:
            return ListViewMessage(control, message, wparam, lparam);
        case Kind::TreeView:
            return TreeViewMessage(control, message, wparam, lparam);
        default:
            return GenericMessage(control, message, wparam, lparam);
    }
}

std::u16string ListViewCellText(Window& list, int row, int column) { return CellText(list, row, column); }

// ----------------------------------------------------------------------------------- the user

bool UserClickButton(Window& button) {
    if (button.kind != Kind::Button || !IsUsable(button.handle)) return false;
    ::SetFocus(button.handle);
    if (!button.destroyed) ClickButton(button);
    return true;
}

bool UserChooseComboRow(Window& combo, int row) {
    if (combo.kind != Kind::ComboBox || !IsUsable(combo.handle) || row < 0 || row >= int(combo.items.size()))
        return false;
    ::SetFocus(combo.handle);
    if (combo.destroyed) return true;
    combo.dropped = true;
    CommandToParent(combo, CBN_DROPDOWN);
    if (combo.destroyed) return true;
    if (row < int(combo.items.size()) && combo.selection != row) {
        combo.selection = row;
        CommandToParent(combo, CBN_SELCHANGE);
        if (combo.destroyed) return true;
    }
    CommandToParent(combo, CBN_SELENDOK);
    if (combo.destroyed) return true;
    combo.dropped = false;
    CommandToParent(combo, CBN_CLOSEUP);
    return true;
}

bool UserType(Window& edit, const std::u16string& text) {
    if (edit.kind != Kind::Edit || !IsUsable(edit.handle) || (edit.style & ES_READONLY)) return false;
    ::SetFocus(edit.handle);
    if (edit.destroyed) return true;
    // The field's text is selected and replaced: each typed character is one change.
    if (text.empty()) {
        edit.text.clear();
        CommandToParent(edit, EN_UPDATE);
        if (!edit.destroyed) CommandToParent(edit, EN_CHANGE);
        return true;
    }
    std::u16string typed;
    for (char16_t c : text) {
        if (edit.destroyed) return true;
        if ((edit.style & ES_NUMBER) && (c < u'0' || c > u'9')) {
            MessageBeep(0xFFFFFFFF);
            continue;
        }
        if (int(typed.size()) >= edit.textLimit) {
            CommandToParent(edit, EN_MAXTEXT);
            break;
        }
        typed += c;
        edit.text = typed;
        CommandToParent(edit, EN_UPDATE);
        if (!edit.destroyed) CommandToParent(edit, EN_CHANGE);
    }
    return true;
}

bool UserSelectListBoxRow(Window& list, int row) {
    if (list.kind != Kind::ListBox || !IsUsable(list.handle) || row < 0 || row >= int(list.items.size())) return false;
    ::SetFocus(list.handle);
    if (list.destroyed || list.selection == row || row >= int(list.items.size())) return true;
    list.selection = row;
    if (list.style & LBS_NOTIFY) CommandToParent(list, LBN_SELCHANGE);
    return true;
}

bool UserSelectListViewRow(Window& list, int row) {
    if (list.kind != Kind::ListView || !IsUsable(list.handle) || row < 0 || row >= int(list.rows.size())) return false;
    ::SetFocus(list.handle);
    if (list.destroyed) return true;
    SetRowState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    if (list.destroyed) return true;
    NMITEMACTIVATE click = {};
    click.iItem = row;
    NotifyParent(list, &click.hdr, NM_CLICK);
    return true;
}

bool UserToggleListViewCheck(Window& list, int row) {
    if (list.kind != Kind::ListView || !IsUsable(list.handle) || !HasCheckboxes(list) || row < 0 ||
        row >= int(list.rows.size()))
        return false;
    ::SetFocus(list.handle);
    if (list.destroyed || row >= int(list.rows.size())) return true;
    const UINT image = (list.rows[size_t(row)].state & LVIS_STATEIMAGEMASK) >> 12;
    ChangeRowState(list, row, LVIS_STATEIMAGEMASK, INDEXTOSTATEIMAGEMASK(image == 2 ? 1u : 2u));
    return true;
}

bool UserDoubleClickListViewRow(Window& list, int row) {
    if (!UserSelectListViewRow(list, row)) return false;
    if (list.destroyed) return true;
    NMITEMACTIVATE click = {};
    click.iItem = row;
    NotifyParent(list, &click.hdr, NM_DBLCLK);
    return true;
}

bool UserSelectTreeItem(Window& tree, uintptr_t item) {
    if (tree.kind != Kind::TreeView || !IsUsable(tree.handle) || !FindItem(tree, item)) return false;
    ::SetFocus(tree.handle);
    // To click the item the user first opens every item it lies in, from the top down.
    std::vector<uintptr_t> ancestors;
    for (TreeItem* data = FindItem(tree, item); data && data->parent; data = FindItem(tree, data->parent))
        ancestors.insert(ancestors.begin(), data->parent);
    for (uintptr_t ancestor : ancestors) {
        if (tree.destroyed) return true;
        TreeItem* data = FindItem(tree, ancestor);
        if (data && !(data->state & TVIS_EXPANDED) && !Expand(tree, ancestor, TVE_EXPAND, true)) return false;
    }
    if (tree.destroyed || !FindItem(tree, item)) return true;
    return SelectItem(tree, item, TVC_BYMOUSE);
}

bool UserExpandTreeItem(Window& tree, uintptr_t item, bool expand) {
    if (tree.kind != Kind::TreeView || !IsUsable(tree.handle) || !FindItem(tree, item)) return false;
    return Expand(tree, item, expand ? TVE_EXPAND : TVE_COLLAPSE, true);
}

}  // namespace desktop
}  // namespace simhost
