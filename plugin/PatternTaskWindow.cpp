#include "plugin/PatternTaskWindow.h"

#include "framework/ui/FCCtrlButton.h"
#include "framework/ui/FCCtrlCheckbox.h"
#include "framework/ui/FCCtrlDataList.h"
#include "framework/ui/FCCtrlEdit.h"
#include "framework/ui/FCCtrlLine.h"
#include "framework/ui/FCCtrlPopup.h"
#include "framework/ui/FCCtrlStatic.h"
#include "framework/ui/FCCtrlTree.h"
#include "framework/ui/FCUI.h"
#include "framework/ui/__FCUserWindow.h"
#include "plugin/FCPatternTaskBlockHandler.h"
#include "plugin/FCTaskControlInfo.h"
#include "plugin/FCUndoBlock.h"
#include "plugin/PatternSettings.h"
#include "plugin/TaskCatalogue.h"
#include "plugin/TaskWindowIDs.h"
#include "tasks/TaskHandlerFactory.h"

#include <memory>

FCPatternTaskBlockHandler* PatternTaskWindow::CreateTaskHandler(int taskID) {
    FCPatternTaskBlockHandler* handler = taskhandlers::CreateCategoryHandler(taskID, GetTaskUI(), this);
    if (!handler) return nullptr;
    using namespace taskwindow;
    handler->SetStatic1(dynamic_cast<FCCtrlStatic*>(GetTaskControl(kStatic1)));
    handler->SetStatic2(dynamic_cast<FCCtrlStatic*>(GetTaskControl(kStatic2)));
    handler->SetStatic3(dynamic_cast<FCCtrlStatic*>(GetTaskControl(kStatic3)));
    handler->SetStatic4(dynamic_cast<FCCtrlStatic*>(GetTaskControl(kStatic4)));
    handler->SetStatic5(dynamic_cast<FCCtrlStatic*>(GetTaskControl(kStatic5)));
    handler->SetPopup1(dynamic_cast<FCCtrlPopup*>(GetTaskControl(kPopup1)));
    handler->SetPopup2(dynamic_cast<FCCtrlPopup*>(GetTaskControl(kPopup2)));
    handler->SetPopup3(dynamic_cast<FCCtrlPopup*>(GetTaskControl(kPopup3)));
    handler->SetEdit1(dynamic_cast<FCCtrlEdit*>(GetTaskControl(kEdit1)));
    handler->SetEdit2(dynamic_cast<FCCtrlEdit*>(GetTaskControl(kEdit2)));
    handler->SetEdit3(dynamic_cast<FCCtrlEdit*>(GetTaskControl(kEdit3)));
    handler->SetButton(dynamic_cast<FCCtrlButton*>(GetTaskControl(kTaskButton)));
    handler->SetCheck1(dynamic_cast<FCCtrlCheckbox*>(GetTaskControl(kCheck1)));
    handler->SetCheck2(dynamic_cast<FCCtrlCheckbox*>(GetTaskControl(kCheck2)));
    handler->SetCheck3(dynamic_cast<FCCtrlCheckbox*>(GetTaskControl(kCheck3)));
    handler->SetDataList(dynamic_cast<FCCtrlDataList*>(GetTaskControl(kDataList)));
    return handler;
}

void PatternTaskWindow::CreateTaskWindowControls(__FCUserWindow* window, FCTaskControlInfos* panels) {
    using namespace taskwindow;
    window->CreateButton(kApply)->SetCommandRole(FCControl::kRoleOk);
    window->CreateButton(kClose)->SetCommandRole(FCControl::kRoleClose);
    window->CreateStatic(kTasksLabel);
    window->CreateTree(kTree);
    window->CreateStatic(kDescription);
    window->CreateStatic(kStatic1);
    window->CreatePopup(kPopup1);
    window->CreateStatic(kStatic2);
    window->CreateEdit(kEdit1);
    window->CreateCheckbox(kCheck1);
    window->CreateCheckbox(kCheck2);
    window->CreateCheckbox(kCheck3);
    window->CreatePopup(kPopup2);
    window->CreateEdit(kEdit2);
    window->CreateStatic(kStatic3);
    window->CreatePopup(kPopup3);
    window->CreateStatic(kStatic4);
    window->CreateEdit(kEdit3);
    window->CreateStatic(kStatic5);
    window->CreateDataList(kDataList);
    window->CreateButton(kTaskButton);
    window->CreateLine(kSeparator);
    window->CreateCheckbox(kRespace);
    window->CreateButton(kTasksButton);
    for (int i = 0; i < taskcatalogue::kTaskCount; ++i) {
        std::unique_ptr<FCPatternTaskBlockHandler> handler(CreateTaskHandler(taskcatalogue::GetTaskID(i)));
        if (handler) handler->AddTaskControls(&panels[i]);
    }
}

bool PatternTaskWindow::ApplyTask(int selectedTaskID) {
    FCUI* ui = GetTaskUI();
    const char* name = taskcatalogue::GetTaskName(selectedTaskID);
    if (!name) {
        if (ui) ui->Beep();
        return false;
    }
    FCUndoBlock undoBlock;
    std::unique_ptr<FCPatternTaskBlockHandler> handler(CreateTaskHandler(selectedTaskID));
    if (!handler) return false;
    if (!handler->CanExecute()) return false;
    handler->StoreTaskSettings();
    if (FCCtrlCheckbox* respace = dynamic_cast<FCCtrlCheckbox*>(GetTaskControl(taskwindow::kRespace)))
        ThePatternSettings().QZPT_RESPACE_IF_NECESSARY = respace->GetCheck() != 0;
    FCString editName(name);
    const bool changed = undoBlock.Run(handler.get(), &editName);
    if (ui) {
        if (changed)
            ui->RedrawMusic();
        else
            ui->Beep();
    }
    return changed;
}

void PatternTaskWindow::EnableOptionControls() {
    for (int id : taskwindow::kOptionControlIDs)
        if (FCControl* control = GetTaskControl(id)) control->SetEnable(true);
}

void PatternTaskWindow::HideOptionControls() {
    for (int id : taskwindow::kOptionControlIDs)
        if (FCControl* control = GetTaskControl(id)) control->SetVisible(false);
}

void PatternTaskWindow::StoreTaskSettings(int taskID) {
    if (!taskID) return;
    std::unique_ptr<FCPatternTaskBlockHandler> handler(CreateTaskHandler(taskID));
    if (handler) handler->StoreTaskSettings();
}

bool PatternTaskWindow::ShowTaskPanel(int taskID, FCTaskControlInfos* panel, __FCUserWindow* window) {
    std::unique_ptr<FCPatternTaskBlockHandler> handler(CreateTaskHandler(taskID));
    if (!handler) {
        HideOptionControls();
        EnableOptionControls();
        return false;
    }
    handler->InitTaskControls();
    EnableOptionControls();
    handler->UpdateTaskControls();
    if (panel && window) panel->LayoutPanel(window);
    EnableOptionControls();
    handler->UpdateTaskControls();
    return true;
}

void PatternTaskWindow::UpdateTaskControls(int taskID) {
    EnableOptionControls();
    std::unique_ptr<FCPatternTaskBlockHandler> handler(CreateTaskHandler(taskID));
    if (handler) handler->UpdateTaskControls();
}
