// The profile editor: a modal dialog (template 20129) that lists the task window's number
// profiles and lets the user add, delete, rename and edit them, with an example of the numbering.
// It works on a copy of the profiles and copies its work back only when the user confirms ("OK and
// Use" or "OK"). Does not own the task window's profiles or the FCUI; owns the working copy and,
// through its window, its controls.
#pragma once

#include "framework/ui/FCResourceWindow.h"
#include "profiles/FCNumberSettingsProfiles.h"

class FCCtrlButton;
class FCCtrlEdit;
class FCCtrlListBox;
class FCCtrlPopup;
class FCCtrlStatic;
class FCNumProfileDataList;
class FCUI;

class FCNumberProfilesDlg : public FCResourceWindow {
public:
    static constexpr int kTemplateID = 20129;
    // The dialog's results.
    enum { kResultCancel = 0, kResultOkAndUse = 1, kResultOk = 101 };
    // Dialog ids of the controls.
    enum {
        kOkAndUseButton = 1,
        kCancelButton = 2,
        kOkButton = 101,
        kProfileList = 102,
        kAddButton = 103,
        kDeleteButton = 104,
        kNameField = 106,
        kNumberStylePopup = 107,
        kFormattingLabel = 108,
        kFormattingPopup = 109,
        kMaxValueSizeLabel = 110,
        kMaxValueSizePopup = 111,
        kAssignmentLabel = 112,
        kAssignmentPopup = 113,
        kOptionsList = 114,
        kStepsLabel = 115,
        kStepsField = 116,
        kStartLabel = 117,
        kStartField = 118,
        kExampleLabel = 119
    };

    // Over the task window's profiles (not owned), starting at the task's profile index; creates
    // the control objects.
    FCNumberProfilesDlg(FCUI* ui, FCNumberSettingsProfiles* profiles, int profileIndex);

    FC_CLASS_INFO(FCNumberProfilesDlg)

    // Shows the editor modally over the host window on the profiles, starting at the profile
    // index, and returns the result (kResultOkAndUse, kResultOk or kResultCancel). The profiles
    // change only with the first two. selectedIndex, when given, receives the profile the user
    // chose (the one to use after kResultOkAndUse).
    static int EditProfiles(FCUI* ui, FCNumberSettingsProfiles* profiles, int profileIndex, int* selectedIndex);

    // On entry the task's profile index; after the dialog closed with "OK and Use" or "OK" the
    // row that was selected.
    int GetSelectedIndex() const { return selectedIndex_; }

    void HandleInit() override;
    // "OK and Use" and the Enter key: confirms with the selected profile; nothing without one.
    void HandleOk() override;
    bool HandleCommand(FCControl* control) override;

    // Shows the numbering the controls describe on the example line.
    void UpdateExample();

private:
    void ShowProfile(int index);
    void ReadEditState();
    void StoreProfile(int index);
    void CommitAndClose(int result);
    void SelectionChanged();
    void AddProfile();
    void DeleteProfile();
    void NameChanged();
    // The max value size popup and its label count only for the formattings that show the maximum.
    void UpdateMaxValueControls();
    // A popup's selected row, or fallback when it has none.
    static int SelectedOr(FCCtrlPopup* popup, int fallback);

    FCNumberSettingsProfiles* target_;
    FCNumberSettingsProfiles working_;
    FCUI* ui_;
    int selectedIndex_;
    int shownIndex_;
    // the edit state: the shown profile's values as the controls last gave them
    int formatting_;
    int numberStyle_;
    int maxValuePtDiff_;
    int scorePartAssignment_;
    int steps_;
    int startAt_;
    int options_;
    FCString name_;
    // the controls (owned by the window)
    FCCtrlListBox* profileList_;
    FCCtrlButton* addButton_;
    FCCtrlButton* deleteButton_;
    FCCtrlEdit* nameField_;
    FCNumProfileDataList* optionsList_;
    FCCtrlPopup* numberStylePopup_;
    FCCtrlStatic* formattingLabel_;
    FCCtrlPopup* formattingPopup_;
    FCCtrlStatic* maxValueSizeLabel_;
    FCCtrlPopup* maxValueSizePopup_;
    FCCtrlStatic* assignmentLabel_;
    FCCtrlPopup* assignmentPopup_;
    FCCtrlStatic* stepsLabel_;
    FCCtrlEdit* stepsField_;
    FCCtrlStatic* startLabel_;
    FCCtrlEdit* startField_;
    FCCtrlStatic* exampleLabel_;
    FCCtrlButton* okAndUseButton_;
    FCCtrlButton* okButton_;
    FCCtrlButton* cancelButton_;
};
