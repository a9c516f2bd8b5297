// The options list of the profile editor: a data list of the profile's option rows whose check
// changes also refresh the editor's example line. Belongs to the editor, which it does not own.
#pragma once

#include "framework/ui/FCCtrlDataList.h"

class FCNumberProfilesDlg;

class FCNumProfileDataList : public FCCtrlDataList {
public:
    FCNumProfileDataList(int id, FCNumberProfilesDlg* editor);

    FC_CLASS_INFO(FCNumProfileDataList)

    // slot 22: sets the row's check state, then brings the editor's example line up to date.
    void SetRowCheck(int row, bool checked) override;

private:
    FCNumberProfilesDlg* editor_;
};
