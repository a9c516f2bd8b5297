// A window of the test suite over the task window's template (20128): the task window's controls
// in its creation order, the fifteen panels registered at construction, and the task window's
// handling of task selection, option changes, the panel's button and Apply, built from the
// plug-in's own pieces (CreateTaskHandler, the panel layout, ApplyTask). The categories and
// profiles are the test's to fill; a test can hand out handlers of its own for Apply.
#pragma once

#include "framework/markings/FCCategoryDef.h"
#include "framework/ui/FCCtrlLine.h"
#include "framework/ui/FCCtrlTree.h"
#include "framework/ui/FCResourceWindow.h"
#include "framework/ui/FCUI.h"
#include "plugin/FCPatternTaskBlockHandler.h"
#include "plugin/FCTaskControlInfo.h"
#include "plugin/PatternTaskWindow.h"
#include "plugin/TaskCatalogue.h"
#include "plugin/TaskWindowIDs.h"
#include "profiles/FCNumberSettingsProfiles.h"

#include <functional>
#include <memory>
#include <vector>

namespace tasktest {

class TaskTestWindow : public FCResourceWindow, public PatternTaskWindow {
public:
    explicit TaskTestWindow(FCUI* ui) : FCResourceWindow(taskwindow::kTemplateID), ui_(ui) {
        CreateTaskWindowControls(this, panels);
    }

    FCUI* GetTaskUI() override { return ui_; }
    FCControl* GetTaskControl(int id) override { return GetControl(id); }
    FCCategoryDefs* GetTaskCategories() override { return &categories; }
    FCNumberSettingsProfiles* GetTaskProfiles() override { return &profiles; }
    void ShowProfileEditor(int profileIndex) override { profileEditorRequests.push_back(profileIndex); }
    FCPatternTaskBlockHandler* CreateTaskHandler(int taskID) override {
        if (handlerFactory) return handlerFactory(taskID);
        return PatternTaskWindow::CreateTaskHandler(taskID);
    }

    FCTaskControlInfos* GetPanel(int taskID) {
        const int index = taskcatalogue::GetTaskIndex(taskID);
        return index >= 0 ? &panels[index] : nullptr;
    }

    // The selected task changes, by the task window's own sequence.
    void SelectTask(int taskID) {
        StoreTaskSettings(currentTask);
        if (!GetPanel(taskID)) {
            HideOptionControls();
            return;
        }
        ShowTaskPanel(taskID, GetPanel(taskID), this);
        currentTask = taskID;
    }

    bool HandleCommand(FCControl* control) override {
        if (!control || !currentTask) return false;
        using namespace taskwindow;
        switch (control->GetControlID()) {
            case kPopup1:
            case kPopup2:
            case kPopup3:
            case kCheck1:
            case kCheck2:
            case kCheck3:
                UpdateTaskControls(currentTask);
                return true;
            case kTaskButton:
                Call(currentTask, [control](FCPatternTaskBlockHandler* h) { h->HandleTaskButton(control); });
                return true;
            default:
                return false;
        }
    }

    // Apply keeps the window open.
    void HandleOk() override { applied.push_back(ApplyTask(currentTask)); }

    // One short-lived handler for one call, as the task window makes them.
    void Call(int taskID, const std::function<void(FCPatternTaskBlockHandler*)>& call) {
        std::unique_ptr<FCPatternTaskBlockHandler> handler(CreateTaskHandler(taskID));
        if (handler) call(handler.get());
    }

    int currentTask = 0;
    FCTaskControlInfos panels[taskcatalogue::kTaskCount];
    FCCategoryDefs categories;
    FCNumberSettingsProfiles profiles;
    std::vector<int> profileEditorRequests;
    std::vector<bool> applied;
    std::function<FCPatternTaskBlockHandler*(int)> handlerFactory;

private:
    FCUI* ui_;
};

}  // namespace tasktest
