#include "framework/ui/FCResourceWindow.h"

#include "framework/ui/FCCtrlDataList.h"
#include "framework/ui/Win32Support.h"

#include <algorithm>

using fcui::ToHWND;

namespace {

// The data list of a notification, or null when the control is something else.
FCCtrlDataList* AsDataList(FCControl* control) {
    return control && control->GetControlType() == FCControl::kTypeDataList ? static_cast<FCCtrlDataList*>(control)
                                                                            : nullptr;
}

// State image of a list view row: 0 no check box, 1 unchecked, 2 checked.
UINT CheckImageIndex(UINT state) { return (state & LVIS_STATEIMAGEMASK) >> 12; }

}  // namespace

FCResourceWindow::FCResourceWindow(int templateID) { SetTemplateID(templateID); }

void FCResourceWindow::CloseWindow() {
    HWND window = ToHWND(GetWindowHandle());
    SetClosed(true);
    if (!window) return;
    StoreNativeState();
    // Forgotten first: the messages of the ending native window no longer reach this object.
    ForgetNativeWindow();
    hostapi::FX_EndDialog(window, GetModalResult(), kFXInterfaceVersion);
}

int FCResourceWindow::ShowModeless(FXWindow parent) {
    if (HWND window = ToHWND(GetWindowHandle())) {
        ShowWindow(window, SW_SHOWNORMAL);
        SetActiveWindow(window);
        return 1;
    }
    __FCUserWindow* self = this;
    return hostapi::FX_Dialog(int16_t(GetTemplateID()), &MessageDispatcher, parent, 0, self, kFXInterfaceVersion);
}

bool FCResourceWindow::HandleNotify(int controlID, void* notification) {
    NMHDR* header = static_cast<NMHDR*>(notification);
    if (!header) return false;
    FCControl* control = GetControl(controlID);
    const UINT code = header->code;
    if (code == UDN_DELTAPOS) {
        if (control && control->GetControlType() == FCControl::kTypeUpDown)
            HandleUpDown(control, static_cast<NMUPDOWN*>(notification)->iDelta);
    } else if (code == TCN_SELCHANGE) {
        if (control) {
            const LRESULT page = SendMessageW(header->hwndFrom, TCM_GETCURSEL, 0, 0);
            HandleTabChange(control, int(page));
            HandleCommand(control);
        }
    } else if (code == TVN_SELCHANGEDW || code == TVN_SELCHANGEDA) {
        if (control) HandleCommand(control);
    } else if (code == LVN_GETDISPINFOW) {
        FCCtrlDataList* list = AsDataList(control);
        LVITEMW& item = static_cast<NMLVDISPINFOW*>(notification)->item;
        if (list && (item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
            FCString text;
            list->GetCellText(item.iItem, item.iSubItem, &text);
            const int count = std::min(text.GetLength(), item.cchTextMax - 1);
            for (int i = 0; i < count; ++i) item.pszText[i] = WCHAR(text.GetCharacterAt(i));
            item.pszText[count] = 0;
        }
    } else if (code == LVN_GETDISPINFOA) {
        FCCtrlDataList* list = AsDataList(control);
        LVITEMA& item = static_cast<NMLVDISPINFOA*>(notification)->item;
        if (list && (item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
            FCString text;
            list->GetCellText(item.iItem, item.iSubItem, &text);
            const int count = std::min(text.GetLength(), item.cchTextMax - 1);
            for (int i = 0; i < count; ++i) item.pszText[i] = char(text.GetCharacterAt(i) & 0xFF);
            item.pszText[count] = 0;
        }
    } else if (code == LVN_ITEMCHANGED) {
        FCCtrlDataList* list = AsDataList(control);
        const NMLISTVIEW* change = static_cast<NMLISTVIEW*>(notification);
        if (list && (change->uChanged & LVIF_STATE) && change->iItem >= 0) {
            const int row = change->iItem;
            // A row getting its first check box (image 0 to 1) is not a change of its check state.
            if (CheckImageIndex(change->uOldState) != 0 && CheckImageIndex(change->uNewState) != 0 &&
                CheckImageIndex(change->uOldState) != CheckImageIndex(change->uNewState)) {
                const bool checked = CheckImageIndex(change->uNewState) == 2;
                list->SetRowCheck(row, checked);
                HandleListCheck(list, row, checked);
            }
            if ((change->uOldState ^ change->uNewState) & LVIS_SELECTED) {
                if (change->uNewState & LVIS_SELECTED) {
                    list->NoteSelectedRow(row);
                    list->HandleRowSelected(row);
                    HandleListSelection(list, row);
                } else {
                    if (list->GetSelectedRow() == row) list->NoteSelectedRow(-1);
                    list->HandleSelectionLost();
                    HandleListSelection(list, -1);
                }
            }
        }
    } else if (code == NM_DBLCLK) {
        if (FCCtrlDataList* list = AsDataList(control))
            list->HandleDoubleClick(static_cast<NMITEMACTIVATE*>(notification)->iItem);
    }
    return false;
}
