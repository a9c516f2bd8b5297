// The plug-in's task window (dialog template 20128): the tree of categories and tasks, the option
// panel of the selected task, its description, the "Respace if necessary" box, Apply and Close.
// A modeless window whose object outlives its native window: closing ends the native window and
// keeps the object with its profiles, categories and panels; the next opening initialises it
// again from memory. Owns its controls (through the window's collection), the copy of the
// document's expression categories, the number profiles and the fifteen task panels; does not
// own the FCUI.
#pragma once

#include "framework/markings/FCCategoryDef.h"
#include "framework/ui/FCResourceWindow.h"
#include "plugin/FCTaskControlInfo.h"
#include "plugin/PatternTaskWindow.h"
#include "plugin/PatternWindowPlacement.h"
#include "plugin/TaskCatalogue.h"
#include "profiles/FCNumberSettingsProfiles.h"

class FCCtrlCheckbox;
class FCCtrlStatic;
class FCCtrlTree;
class FCUI;

class FCPatternWindow : public FCResourceWindow, public PatternTaskWindow, public PatternWindowPlacement {
public:
    // The window timer that keeps the category lists in step with the document.
    static constexpr int kCategoryTimer = 1;
    static constexpr int kCategoryTimerPeriod = 300;

    // Over template 20128, with the FCUI (not owned). Loads the settings file into
    // PatternSettings and the remembered placement; creates no controls yet.
    explicit FCPatternWindow(FCUI* ui);

    FC_CLASS_INFO(FCPatternWindow)

    // Creates the control objects of the template and registers every task's panel rows. Called
    // once, right after construction; a second call does nothing.
    void CreateControls();

    // PatternTaskWindow
    FCUI* GetTaskUI() override { return ui_; }
    FCControl* GetTaskControl(int id) override { return GetControl(id); }
    FCCategoryDefs* GetTaskCategories() override { return &categories_; }
    FCNumberSettingsProfiles* GetTaskProfiles() override { return &profiles_; }
    // Opens the profile editor modally; afterwards the current task's profile popup is refilled
    // (and, after "OK and Use", set to the profile chosen in the editor).
    void ShowProfileEditor(int profileIndex) override;

    // PatternWindowPlacement: the base window's remembered placement.
    void SetRememberedPlacement(float left, float top, float width, float height) override;
    bool GetRememberedPosition(float* left, float* top) const override;
    bool GetRememberedSize(float* width, float* height) const override;

    // The native window was created: profiles, tree, categories, selection, size limits,
    // placement and the category timer.
    void HandleInit() override;
    // Saves the profiles, remembers placement, selected node and the respace choice, and ends the
    // native window. Without a native window only the base close runs.
    void CloseWindow() override;
    // Apply (the default button and the Enter key): runs the selected task; the window stays open.
    void HandleOk() override;
    bool HandleCommand(FCControl* control) override;
    void HandleTimer(int timerID) override;
    // Window shade: rolled up while inactive when the options file asks for it.
    void HandleActivate(bool active) override;
    void HandleResize(int newWidth, int newHeight, int oldWidth, int oldHeight) override;

    // Reloads the document's expression categories; when they differ from the window's copy,
    // the copy is replaced and the current task refills its category popup.
    void RefreshCategories();

    // The task whose panel is shown (it stores its options when another node is selected); 0
    // for none.
    int GetCurrentTask() const { return currentTask_; }
    // The data of the selected tree node (a task id or a category number), 0 when none is
    // selected.
    int GetSelectedNodeData();
    // The panel rows of a catalogue task; null for another id.
    FCTaskControlInfos* GetTaskPanel(int taskID);
    bool IsWindowShadeOn() const { return windowShade_; }

private:
    // The tree's selection changed (or the window opened): the panel and description follow it.
    void HandleTreeSelection();
    // Fills the tree with the categories in tree order and their tasks in catalogue order.
    void FillTree();
    FCCtrlTree* GetTree() const;
    FCCtrlStatic* GetDescription() const;
    FCCtrlCheckbox* GetRespaceCheck() const;
    void SetDescription(const char* text);

    FCCategoryDefs categories_;
    FCNumberSettingsProfiles profiles_;
    FCTaskControlInfos panels_[taskcatalogue::kTaskCount];
    bool windowShade_;
    FCUI* ui_;
    int currentTask_;
    // While the window initialises, the tree's own selection notifications are not acted on;
    // the initialisation runs the selection handling itself, once.
    bool initialising_;
};
