// What the task handlers need from the task window that creates them (its FCUI, its controls, its
// copy of the document's expression categories, its number profiles, its profile editor), and the
// window's task operations built on that: creating the handler of a task and the Apply sequence.
// The task window implements this interface beside being an FCResourceWindow; everything the
// interface hands out stays owned by the window.
#pragma once

class FCCategoryDefs;
class FCControl;
class FCNumberSettingsProfiles;
class FCPatternTaskBlockHandler;
class FCTaskControlInfos;
class FCUI;
class __FCUserWindow;

class PatternTaskWindow {
public:
    virtual ~PatternTaskWindow() {}

    // The FCUI the window was made with.
    virtual FCUI* GetTaskUI() = 0;
    // The window's control with that dialog id, or null.
    virtual FCControl* GetTaskControl(int id) = 0;
    // The window's copy of the document's expression categories.
    virtual FCCategoryDefs* GetTaskCategories() = 0;
    // The window's number profiles.
    virtual FCNumberSettingsProfiles* GetTaskProfiles() = 0;
    // Opens the profile editor on the window's profiles, with that profile selected.
    virtual void ShowProfileEditor(int profileIndex) = 0;

    // A new handler of the task's category, made with the window's FCUI and given the window's
    // sixteen option controls; null for a task id the catalogue does not have. The caller
    // deletes it.
    virtual FCPatternTaskBlockHandler* CreateTaskHandler(int taskID);

    // Creates the task window's controls on that window (the template's controls, in the order
    // the window relies on) and registers each task's controls in its panel, one panel per task
    // of the catalogue.
    void CreateTaskWindowControls(__FCUserWindow* window, FCTaskControlInfos* panels);

    // The Apply button: runs the selected task (the selected tree node's data, 0 for none) as
    // one named host edit; redraws the music after a change and beeps otherwise, or beeps at
    // once when no task is selected. True when the document was changed.
    bool ApplyTask(int selectedTaskID);

    // The task switch and the option changes, as the task window runs them (and tests of the
    // panels run them too, so both use the same sequence):
    // the previous task keeps its options in the settings (nothing for 0);
    void StoreTaskSettings(int taskID);
    // the new task fills its panel, which is laid out on the window with the dependencies
    // applied before and after; a task without a handler has its option controls hidden. False
    // then.
    bool ShowTaskPanel(int taskID, FCTaskControlInfos* panel, __FCUserWindow* window);
    // a popup or check box of the panel changed: the dependencies again, all controls enabled
    // first.
    void UpdateTaskControls(int taskID);

    // All sixteen option controls enabled, or all hidden.
    void EnableOptionControls();
    void HideOptionControls();
};
