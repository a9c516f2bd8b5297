// The base of the five task category handlers. A handler lives for one event of the task window:
// the window creates it for a task (CreateTaskHandler), hands it the window's sixteen option
// controls, calls one to three of its operations and deletes it. The handler owns nothing: the
// controls, the window and the FCUI belong to the window; the options live in PatternSettings.
#pragma once

#include "framework/ui/FCCtrlButton.h"
#include "framework/ui/FCCtrlCheckbox.h"
#include "framework/ui/FCCtrlDataList.h"
#include "framework/ui/FCCtrlEdit.h"
#include "framework/ui/FCCtrlPopup.h"
#include "framework/ui/FCCtrlStatic.h"
#include "plugin/__FCUndoBlockHandler.h"

class FCCategoryDefs;
class FCNumberSettingsProfiles;
class FCTaskControlInfos;
class FCUI;
class PatternTaskWindow;

// One row of a popup table: the key the settings keep and the text the popup shows.
struct TaskPopupItem {
    int key;
    const char* text;
};

class FCPatternTaskBlockHandler : public __FCUndoBlockHandler {
public:
    // The range a measurement field keeps its value in, in the host's internal units.
    static constexpr int kMinMeasurement = -300;
    static constexpr int kMaxMeasurement = 300;

    // Vertical rules of AddRow besides a percentage of the panel height: directly below the
    // previous row's control, or centred on it (beside it).
    static constexpr int kBelow = -1;
    static constexpr int kBeside = -2;

    FCPatternTaskBlockHandler(int taskID, FCUI* ui, PatternTaskWindow* window);
    FC_CLASS_INFO(FCPatternTaskBlockHandler)

    // slot 7: appends the task's placement rows, in display order; touches no control.
    virtual void AddTaskControls(FCTaskControlInfos* infos) = 0;
    // slot 8: labels, popup lists and every value from PatternSettings.
    virtual void InitTaskControls() = 0;
    // slot 9: the dependencies between the task's controls; called after all sixteen controls
    // were enabled.
    virtual void UpdateTaskControls() {}
    // slot 10: the task's controls into PatternSettings.
    virtual void StoreTaskSettings() = 0;
    // slot 11: checks that need the user before the edit opens; false abandons the Apply (any
    // message was shown already).
    virtual bool CanExecute() { return true; }
    // slot 12: the panel's push button was pressed.
    virtual void HandleTaskButton(FCControl* /*control*/) {}
    // slot 13: the row selected in the task's profile popup; -1 when the task has none.
    virtual int GetProfileIndex() { return -1; }
    // slot 14: refills the task's profile popup and selects the index, clamped into the list
    // and written back.
    virtual void FillProfileList(FCNumberSettingsProfiles* /*profiles*/, int* /*profileIndex*/) {}
    // slot 15: selects the index in the profile popup as FillProfileList does, without refilling.
    virtual void SelectProfile(int* /*profileIndex*/) {}
    // slot 16: refills the task's category popup from the categories.
    virtual void FillCategoryList(FCCategoryDefs* /*categories*/) {}

    int GetTaskID() const { return taskID_; }
    FCUI* GetUI() const { return ui_; }
    // The window that created the handler; not owned.
    PatternTaskWindow* GetWindow() const { return window_; }

    // The window's option controls, handed over by CreateTaskHandler; not owned.
    void SetStatic1(FCCtrlStatic* control) { static1_ = control; }
    void SetStatic2(FCCtrlStatic* control) { static2_ = control; }
    void SetStatic3(FCCtrlStatic* control) { static3_ = control; }
    void SetStatic4(FCCtrlStatic* control) { static4_ = control; }
    void SetStatic5(FCCtrlStatic* control) { static5_ = control; }
    void SetPopup1(FCCtrlPopup* control) { popup1_ = control; }
    void SetPopup2(FCCtrlPopup* control) { popup2_ = control; }
    void SetPopup3(FCCtrlPopup* control) { popup3_ = control; }
    void SetEdit1(FCCtrlEdit* control) { edit1_ = control; }
    void SetEdit2(FCCtrlEdit* control) { edit2_ = control; }
    void SetEdit3(FCCtrlEdit* control) { edit3_ = control; }
    void SetButton(FCCtrlButton* control) { button_ = control; }
    void SetCheck1(FCCtrlCheckbox* control) { check1_ = control; }
    void SetCheck2(FCCtrlCheckbox* control) { check2_ = control; }
    void SetCheck3(FCCtrlCheckbox* control) { check3_ = control; }
    void SetDataList(FCCtrlDataList* control) { dataList_ = control; }

    // Clears the popup, adds the texts of the first count rows in order and selects the first row
    // whose key is currentKey, or row 0 when none is.
    static void FillPopup(FCCtrlPopup* popup, int count, const TaskPopupItem* items, int currentKey);
    // The key of the selected row; the key of row 0 when nothing (or a row beyond count) is
    // selected; -1 for an empty table.
    static int GetPopupKey(FCCtrlPopup* popup, int count, const TaskPopupItem* items);
    template <int N>
    static void FillPopup(FCCtrlPopup* popup, const TaskPopupItem (&items)[N], int currentKey) {
        FillPopup(popup, N, items, currentKey);
    }
    template <int N>
    static int GetPopupKey(FCCtrlPopup* popup, const TaskPopupItem (&items)[N]) {
        return GetPopupKey(popup, N, items);
    }

    // Runs the host's respacing command over every staff of the selected measures, in every part
    // (allParts) or in the part in view, and gives the user's selection back afterwards.
    void RespaceSelection(bool allParts);

protected:
    FCCtrlStatic* GetStatic1() const { return static1_; }
    FCCtrlStatic* GetStatic2() const { return static2_; }
    FCCtrlStatic* GetStatic3() const { return static3_; }
    FCCtrlStatic* GetStatic4() const { return static4_; }
    FCCtrlStatic* GetStatic5() const { return static5_; }
    FCCtrlPopup* GetPopup1() const { return popup1_; }
    FCCtrlPopup* GetPopup2() const { return popup2_; }
    FCCtrlPopup* GetPopup3() const { return popup3_; }
    FCCtrlEdit* GetEdit1() const { return edit1_; }
    FCCtrlEdit* GetEdit2() const { return edit2_; }
    FCCtrlEdit* GetEdit3() const { return edit3_; }
    FCCtrlButton* GetButton() const { return button_; }
    FCCtrlCheckbox* GetCheck1() const { return check1_; }
    FCCtrlCheckbox* GetCheck2() const { return check2_; }
    FCCtrlCheckbox* GetCheck3() const { return check3_; }
    FCCtrlDataList* GetDataList() const { return dataList_; }

    // Panel helpers; each does nothing for a control the window lacks.
    static void AddRow(FCTaskControlInfos* infos, FCControl* control, int horizontalStart, int width, int verticalRule);
    static void SetLabel(FCControl* control, const char* text);
    static void SetChecked(FCCtrlCheckbox* check, bool checked);
    static bool IsChecked(FCCtrlCheckbox* check);
    static void SetEnabled(FCControl* control, bool enabled);
    static void SetShown(FCControl* control, bool visible);
    static void SetInteger(FCCtrlEdit* edit, int value);
    // The field's integer moved into lower..upper.
    static int GetClampedInteger(FCCtrlEdit* edit, int lower, int upper);
    static int GetInteger(FCCtrlEdit* edit);
    // A measurement field: shown in the user's unit, read back in internal units, clamped to
    // kMinMeasurement..kMaxMeasurement and truncated toward zero.
    static void SetMeasurement(FCCtrlEdit* edit, int internalUnits);
    static int GetMeasurement(FCCtrlEdit* edit);

private:
    PatternTaskWindow* window_;
    FCCtrlStatic* static1_;
    FCCtrlStatic* static2_;
    FCCtrlStatic* static3_;
    FCCtrlStatic* static4_;
    FCCtrlStatic* static5_;
    FCCtrlPopup* popup1_;
    FCCtrlPopup* popup2_;
    FCCtrlPopup* popup3_;
    FCCtrlEdit* edit1_;
    FCCtrlEdit* edit2_;
    FCCtrlEdit* edit3_;
    FCCtrlButton* button_;
    FCCtrlCheckbox* check1_;
    FCCtrlCheckbox* check2_;
    FCCtrlCheckbox* check3_;
    FCCtrlDataList* dataList_;
    int taskID_;
    FCUI* ui_;
};
