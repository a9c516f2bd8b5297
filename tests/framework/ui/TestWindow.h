// The window of the window-layer tests, built from template 9001 of data/test_dialogs.rc: one
// control object per kind, plus one (120) the template lacks. Every virtual operation the
// dispatcher calls is written to a log, so tests see what reached the window and in which order.
#pragma once

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
#include "framework/ui/FCResourceWindow.h"

#include <string>
#include <vector>

namespace uitest {

constexpr int kTestWindowTemplate = 9001;
constexpr int kTestModalTemplate = 9002;

enum {
    kLabel = 101,
    kTree = 102,
    kPopup = 103,
    kEdit = 104,
    kCheck = 105,
    kListBox = 106,
    kDataList = 107,
    kLine = 108,
    kHiddenButton = 109,
    kPressButton = 110,
    kMeasureEdit = 111,
    kMissing = 120,
    kApply = 1,
    kClose = 162,
    kModalName = 202
};

typedef std::vector<std::string> Log;

// A control that says it is an up-down control (no such class is part of the framework).
class UpDownLike : public FCControl {
public:
    explicit UpDownLike(int id) : FCControl(id) {}
    int GetControlType() const override { return kTypeUpDown; }
};

// A data list that logs its own slots.
class LoggingDataList : public FCCtrlDataList {
public:
    LoggingDataList(int id, Log* log) : FCCtrlDataList(id), log_(log) {}
    void HandleRowSelected(int row) override { log_->push_back("row selected " + std::to_string(row)); }
    void HandleSelectionLost() override { log_->push_back("selection lost"); }
    void HandleDoubleClick(int row) override { log_->push_back("double click " + std::to_string(row)); }

private:
    Log* log_;
};

class TestWindow : public FCResourceWindow {
public:
    explicit TestWindow(int templateID = kTestWindowTemplate) : FCResourceWindow(templateID) {
        if (templateID == kTestModalTemplate) {
            name = CreateEdit(kModalName);
            CreateButton(kApply)->SetCommandRole(FCControl::kRoleOk);
            CreateButton(2)->SetCommandRole(FCControl::kRoleClose);
            return;
        }
        apply = CreateButton(kApply);
        apply->SetCommandRole(FCControl::kRoleOk);
        close = CreateButton(kClose);
        close->SetCommandRole(FCControl::kRoleClose);
        label = CreateStatic(kLabel);
        tree = CreateTree(kTree);
        popup = CreatePopup(kPopup);
        edit = CreateEdit(kEdit);
        measure = CreateEdit(kMeasureEdit);
        check = CreateCheckbox(kCheck);
        listBox = CreateListBox(kListBox);
        dataList = static_cast<LoggingDataList*>(AddControl(new LoggingDataList(kDataList, &log)));
        line = CreateLine(kLine);
        hidden = CreateButton(kHiddenButton);
        press = CreateButton(kPressButton);
        missing = CreateCheckbox(kMissing);
    }

    void HandleInit() override {
        FCResourceWindow::HandleInit();
        log.push_back("init");
        // Room to grow, so resizing can be tried.
        if (growable) {
            SetMaximumWidth(GetMaximumWidth() + 400);
            SetMaximumHeight(GetMaximumHeight() + 400);
        }
        if (applyPlacementAtInit) ApplyPlacement();
    }
    void HandleClose() override {
        log.push_back("close");
        FCResourceWindow::HandleClose();
    }
    void HandleOk() override {
        log.push_back("ok");
        FCResourceWindow::HandleOk();
    }
    void HandleCancel() override {
        log.push_back("cancel");
        FCResourceWindow::HandleCancel();
    }
    bool HandleCommand(FCControl* control) override {
        log.push_back("command " + std::to_string(control ? control->GetControlID() : 0));
        return control != nullptr;
    }
    void HandleListSelection(FCControl* control, int row) override {
        log.push_back("list selection " + std::to_string(control->GetControlID()) + " " + std::to_string(row));
    }
    void HandleListCheck(FCControl* control, int row, bool checked) override {
        log.push_back("list check " + std::to_string(control->GetControlID()) + " " + std::to_string(row) + " " +
                      (checked ? "on" : "off"));
    }
    void HandleUpDown(FCControl* control, int delta) override {
        log.push_back("up-down " + std::to_string(control->GetControlID()) + " " + std::to_string(delta));
    }
    void HandleTabChange(FCControl* control, int page) override {
        log.push_back("tab " + std::to_string(control->GetControlID()) + " " + std::to_string(page));
    }
    void HandleTimer(int timerID) override { log.push_back("timer " + std::to_string(timerID)); }
    void HandleActivate(bool active) override {
        log.push_back(active ? "activate" : "deactivate");
        if (shadeWhenInactive) SetShaded(!active);
    }
    void HandleResize(int newWidth, int newHeight, int oldWidth, int oldHeight) override {
        log.push_back("resize " + std::to_string(newWidth) + "x" + std::to_string(newHeight) + " from " +
                      std::to_string(oldWidth) + "x" + std::to_string(oldHeight));
    }
    bool CanClose() override { return allowClose; }

    // The entries of the log that start with the prefix.
    Log Entries(const std::string& prefix) const {
        Log found;
        for (const std::string& entry : log)
            if (entry.compare(0, prefix.size(), prefix) == 0) found.push_back(entry);
        return found;
    }

    Log log;
    bool growable = false;
    bool applyPlacementAtInit = false;
    bool shadeWhenInactive = false;
    bool allowClose = true;
    FCCtrlButton* apply = nullptr;
    FCCtrlButton* close = nullptr;
    FCCtrlStatic* label = nullptr;
    FCCtrlTree* tree = nullptr;
    FCCtrlPopup* popup = nullptr;
    FCCtrlEdit* edit = nullptr;
    FCCtrlEdit* measure = nullptr;
    FCCtrlCheckbox* check = nullptr;
    FCCtrlListBox* listBox = nullptr;
    LoggingDataList* dataList = nullptr;
    FCCtrlLine* line = nullptr;
    FCCtrlButton* hidden = nullptr;
    FCCtrlButton* press = nullptr;
    FCCtrlCheckbox* missing = nullptr;
    FCCtrlEdit* name = nullptr;
};

}  // namespace uitest
