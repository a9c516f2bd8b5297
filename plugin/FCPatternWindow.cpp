#include "plugin/FCPatternWindow.h"

#include "framework/ui/FCCtrlButton.h"
#include "framework/ui/FCCtrlCheckbox.h"
#include "framework/ui/FCCtrlDataList.h"
#include "framework/ui/FCCtrlLine.h"
#include "framework/ui/FCCtrlStatic.h"
#include "framework/ui/FCCtrlTree.h"
#include "framework/ui/FCUI.h"
#include "plugin/FCPatternTaskBlockHandler.h"
#include "plugin/PatternSettings.h"
#include "plugin/SettingsFile.h"
#include "plugin/TaskWindowIDs.h"
#include "profiles/FCNumberProfilesDlg.h"

#include <memory>

using namespace taskwindow;

namespace {

typedef std::unique_ptr<FCPatternTaskBlockHandler> HandlerPtr;

// Category flag bits: hidden from the category lists, and "offered for text" for the kinds of
// category (dynamics, rehearsal marks, musical expressions) that are hidden unless it is set.
constexpr int kCategoryHiddenFlag = 0x10;
constexpr int kCategoryForTextFlag = 0x80;

bool IsListedCategory(FCCategoryDef* category) {
    if (!category) return false;
    const int flags = category->GetFlags();
    if (flags & kCategoryHiddenFlag) return false;
    const int type = category->GetCategoryType();
    return (flags & kCategoryForTextFlag) || (type != 1 && type != 4 && type != 5);
}

bool SameCategories(const FCCategoryDefs& a, const FCCategoryDefs& b) {
    if (a.GetCount() != b.GetCount()) return false;
    for (int i = 0; i < a.GetCount(); ++i) {
        FCCategoryDef* left = a.GetItemAt(i);
        FCCategoryDef* right = b.GetItemAt(i);
        if (!left || !right || !left->IsSameAs(right)) return false;
    }
    return true;
}

}  // namespace

FCPatternWindow::FCPatternWindow(FCUI* ui)
    : FCResourceWindow(kTemplateID), windowShade_(false), ui_(ui), currentTask_(0), initialising_(false) {
    LoadSettings(&ThePatternSettings(), this);
}

void FCPatternWindow::CreateControls() {
    if (GetCount() > 0) return;
    CreateTaskWindowControls(this, panels_);
}

// ---------------------------------------------------------------------------------------------
// Placement for the settings file

void FCPatternWindow::SetRememberedPlacement(float left, float top, float width, float height) {
    __FCUserWindow::SetRememberedPlacement(left, top, width, height);
}

// The base window answers -1 for what it does not remember, which the settings file also
// writes for an unknown value.
bool FCPatternWindow::GetRememberedPosition(float* left, float* top) const {
    const float l = GetRememberedLeft(), t = GetRememberedTop();
    if (l == -1 && t == -1) return false;
    if (left) *left = l;
    if (top) *top = t;
    return true;
}

bool FCPatternWindow::GetRememberedSize(float* width, float* height) const {
    const float w = GetRememberedWidth(), h = GetRememberedHeight();
    if (w == -1 && h == -1) return false;
    if (width) *width = w;
    if (height) *height = h;
    return true;
}

// ---------------------------------------------------------------------------------------------
// Opening

void FCPatternWindow::HandleInit() {
    initialising_ = true;
    FCResourceWindow::HandleInit();

    windowShade_ = ReadWindowShadeSwitch();

    profiles_.LoadProfiles();
    if (profiles_.GetCount() == 0) {
        FCNumberSettingsProfile* profile = new FCNumberSettingsProfile;
        const FCString name("Default Profile");
        profile->SetName(&name);
        profiles_.Add(profile);
    }

    if (FCCtrlDataList* list = dynamic_cast<FCCtrlDataList*>(GetControl(kDataList))) list->SetCheckboxes(true);

    FillTree();
    RefreshCategories();

    PatternSettings& settings = ThePatternSettings();
    if (FCCtrlTree* tree = GetTree()) {
        tree->CollapseAllTopLevel();
        if (FCTreeNode* node = tree->FindNodeByData(uint32_t(settings.QZPT_TASK))) tree->SelectNode(node);
    }
    if (FCCtrlCheckbox* respace = GetRespaceCheck()) respace->SetCheck(settings.QZPT_RESPACE_IF_NECESSARY ? 1 : 0);

    UpdateTaskControls(GetSelectedNodeData());
    initialising_ = false;
    HandleTreeSelection();

    // The window may grow to 120 % of its template's width, and in height to most of the screen.
    SetMaximumWidth(GetMaximumWidth() * 12 / 10);
    const int screenHeight = ui_ ? ui_->GetScreenHeight() * 8 / 10 : 0;
    if (GetMaximumHeight() < float(screenHeight)) SetMaximumHeight(float(screenHeight));

    ApplyPlacement();
    SetTimer(kCategoryTimer, kCategoryTimerPeriod);
}

void FCPatternWindow::FillTree() {
    FCCtrlTree* tree = GetTree();
    if (!tree) return;
    // A reopened window still holds the nodes of its last opening.
    tree->ClearNodes();
    for (int position = 0; position < taskcatalogue::kCategoryCount; ++position) {
        const TaskCategoryRow* category = taskcatalogue::GetCategoryAt(position);
        if (!category) continue;
        const FCString categoryName(category->name);
        FCTreeNode* categoryNode = tree->AddNode(nullptr, true, &categoryName);
        if (!categoryNode) continue;
        categoryNode->SetData(uint32_t(category->category));
        for (int i = 0; i < taskcatalogue::kTaskCount; ++i) {
            const TaskCatalogueRow* task = taskcatalogue::GetTaskAt(i);
            if (!task || task->category != category->category) continue;
            const FCString taskName(task->name);
            if (FCTreeNode* taskNode = tree->AddNode(categoryNode, false, &taskName))
                taskNode->SetData(uint32_t(task->taskID));
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Selection and commands

int FCPatternWindow::GetSelectedNodeData() {
    FCCtrlTree* tree = GetTree();
    FCTreeNode* node = tree ? tree->GetSelectedNode() : nullptr;
    return node ? int(node->GetData()) : 0;
}

FCTaskControlInfos* FCPatternWindow::GetTaskPanel(int taskID) {
    const int index = taskcatalogue::GetTaskIndex(taskID);
    return index >= 0 ? &panels_[index] : nullptr;
}

void FCPatternWindow::HandleTreeSelection() {
    StoreTaskSettings(currentTask_);

    FCCtrlTree* tree = GetTree();
    FCTreeNode* node = tree ? tree->GetSelectedNode() : nullptr;
    const int data = node ? int(node->GetData()) : 0;
    if (taskcatalogue::GetTaskIndex(data) < 0) {
        SetDescription(node ? taskcatalogue::GetCategoryDescription(data) : nullptr);
        HideOptionControls();
        return;
    }

    ShowTaskPanel(data, GetTaskPanel(data), this);
    SetDescription(taskcatalogue::GetTaskDescription(data));
    currentTask_ = data;
}

bool FCPatternWindow::HandleCommand(FCControl* control) {
    if (!control) return false;
    switch (control->GetControlID()) {
        case kPopup1:
        case kPopup2:
        case kPopup3:
        case kCheck1:
        case kCheck2:
        case kCheck3:
            UpdateTaskControls(currentTask_);
            return true;
        case kTaskButton: {
            HandlerPtr handler(CreateTaskHandler(currentTask_));
            if (handler) handler->HandleTaskButton(control);
            return true;
        }
        case kTasksButton:
            if (FCCtrlTree* tree = GetTree()) {
                if (!tree->GetSelectedNode() && tree->GetTopLevelCount() > 0)
                    tree->SelectNode(tree->GetRoot()->GetChildAt(0));
                tree->SetKeyboardFocus();
            }
            return true;
        case kTree:
            if (!initialising_) HandleTreeSelection();
            return true;
        default:
            return false;
    }
}

void FCPatternWindow::HandleOk() {
    const int selected = GetSelectedNodeData();
    ApplyTask(taskcatalogue::GetTaskIndex(selected) >= 0 ? selected : 0);
}

void FCPatternWindow::ShowProfileEditor(int profileIndex) {
    int chosen = profileIndex;
    const int result = FCNumberProfilesDlg::EditProfiles(ui_, &profiles_, profileIndex, &chosen);
    // However the editor closed, the popup shows the profiles as they are now.
    HandlerPtr refill(CreateTaskHandler(currentTask_));
    if (refill) {
        int index = refill->GetProfileIndex();
        refill->FillProfileList(&profiles_, &index);
    }
    if (result != FCNumberProfilesDlg::kResultOkAndUse) return;
    HandlerPtr select(CreateTaskHandler(currentTask_));
    if (select) select->SelectProfile(&chosen);
}

// ---------------------------------------------------------------------------------------------
// Closing

void FCPatternWindow::CloseWindow() {
    if (!WindowExists()) {
        FCResourceWindow::CloseWindow();
        return;
    }
    SetTimer(kCategoryTimer, 0);
    profiles_.SaveProfiles();
    NotePlacement(true, true);
    PatternSettings& settings = ThePatternSettings();
    const int selected = GetSelectedNodeData();
    settings.QZPT_TASK = selected > 0 ? selected : 0;
    currentTask_ = 0;
    if (FCCtrlCheckbox* respace = GetRespaceCheck()) settings.QZPT_RESPACE_IF_NECESSARY = respace->GetCheck() != 0;
    FCResourceWindow::CloseWindow();
}

// ---------------------------------------------------------------------------------------------
// Timer, activation and size

void FCPatternWindow::HandleTimer(int timerID) {
    if (timerID == kCategoryTimer) RefreshCategories();
}

void FCPatternWindow::RefreshCategories() {
    FCCategoryDefs fresh;
    fresh.LoadAll();
    for (int i = fresh.GetCount() - 1; i >= 0; --i)
        if (!IsListedCategory(fresh.GetItemAt(i))) fresh.ClearItemAt(i);
    if (SameCategories(fresh, categories_)) return;
    categories_.ClearAll();
    categories_.MoveFrom(&fresh, false);
    HandlerPtr handler(CreateTaskHandler(currentTask_));
    if (handler) handler->FillCategoryList(&categories_);
}

void FCPatternWindow::HandleActivate(bool active) {
    if (windowShade_)
        SetShaded(!active);
    else if (IsShaded())
        SetShaded(false);
}

void FCPatternWindow::HandleResize(int newWidth, int newHeight, int oldWidth, int oldHeight) {
    const float dx = float(newWidth - oldWidth);
    const float dy = float(newHeight - oldHeight);
    BeginDeferredLayout();
    for (int id : {kApply, kClose})
        if (FCControl* button = GetControl(id)) button->MoveBy(dx, dy);
    if (FCControl* label = GetControl(kTasksLabel)) label->ResizeBy(dx, 0);
    if (FCControl* tree = GetControl(kTree)) tree->ResizeBy(dx, dy);
    FCControl* description = GetControl(kDescription);
    if (description) {
        description->MoveBy(0, dy);
        description->ResizeBy(dx, 0);
    }
    for (int id : kOptionControlIDs)
        if (FCControl* option = GetControl(id)) option->MoveBy(dx, 0);
    if (FCControl* separator = GetControl(kSeparator)) separator->MoveBy(dx, 0);
    if (FCControl* respace = GetControl(kRespace)) respace->MoveBy(0, dy);
    EndDeferredLayout();
    if (description) description->Repaint();
}

// ---------------------------------------------------------------------------------------------
// Controls

FCCtrlTree* FCPatternWindow::GetTree() const { return dynamic_cast<FCCtrlTree*>(GetControl(kTree)); }

FCCtrlStatic* FCPatternWindow::GetDescription() const { return dynamic_cast<FCCtrlStatic*>(GetControl(kDescription)); }

FCCtrlCheckbox* FCPatternWindow::GetRespaceCheck() const { return dynamic_cast<FCCtrlCheckbox*>(GetControl(kRespace)); }

void FCPatternWindow::SetDescription(const char* text) {
    FCCtrlStatic* description = GetDescription();
    if (!description) return;
    const FCString value(text ? text : "");
    description->SetText(&value);
}
