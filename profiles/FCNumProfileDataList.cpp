#include "profiles/FCNumProfileDataList.h"

#include "profiles/FCNumberProfilesDlg.h"

FCNumProfileDataList::FCNumProfileDataList(int id, FCNumberProfilesDlg* editor) : FCCtrlDataList(id), editor_(editor) {}

void FCNumProfileDataList::SetRowCheck(int row, bool checked) {
    FCCtrlDataList::SetRowCheck(row, checked);
    if (editor_) editor_->UpdateExample();
}
