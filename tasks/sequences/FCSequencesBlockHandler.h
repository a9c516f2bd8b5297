// The handler of the Sequences tasks (Two-state Pattern, Numbered Measures, Numbered Steps,
// Delete Numbers): their option panels, including the category and profile popups that follow
// the task window's categories and number profiles, the checks before an Apply, and their work.
// Short-lived like every task handler; owns nothing.
#pragma once

#include "plugin/FCPatternTaskBlockHandler.h"

class FCMusicRegion;
class FCString;
class NumberingRun;

class FCSequencesBlockHandler : public FCPatternTaskBlockHandler {
public:
    enum { kTwoStatePattern = 1402, kNumberedMeasures = 1403, kNumberedSteps = 1404, kDeleteNumbers = 1405 };
    // Step methods of Numbered Steps: the beats of each measure (the category must place its
    // expressions where they are put), and measures in groups (of the size in the number field).
    static constexpr int kStepMethodBeats = 0;
    static constexpr int kStepMethodGroups = 3;

    FCSequencesBlockHandler(int taskID, FCUI* ui, PatternTaskWindow* window)
        : FCPatternTaskBlockHandler(taskID, ui, window) {}
    FC_CLASS_INFO(FCSequencesBlockHandler)

    bool Execute() override;
    void AddTaskControls(FCTaskControlInfos* infos) override;
    void InitTaskControls() override;
    void UpdateTaskControls() override;
    void StoreTaskSettings() override;
    bool CanExecute() override;
    // The "Profiles..." button opens the window's profile editor on the selected profile.
    void HandleTaskButton(FCControl* control) override;
    int GetProfileIndex() override;
    void FillProfileList(FCNumberSettingsProfiles* profiles, int* profileIndex) override;
    void SelectProfile(int* profileIndex) override;
    void FillCategoryList(FCCategoryDefs* categories) override;

    // Fills a category popup with the categories' names and selects the stored row: the stored
    // index moved into the list, unless another row has the stored name, which then wins. The
    // stored name becomes the selected row's. An empty list leaves the popup empty.
    static void FillCategoryPopup(FCCtrlPopup* popup, FCCategoryDefs* categories, int storedIndex,
                                  FCString* storedName);
    // Fills a profile popup with the profiles' names and selects the index, moved into the list
    // and written back.
    static void FillProfilePopup(FCCtrlPopup* popup, FCNumberSettingsProfiles* profiles, int* profileIndex);

    // Deletes this plug-in's numbers in the region's measures (whole measures) on its staves;
    // other expressions and every definition stay. True when any was deleted.
    static bool DeleteNumbers(const FCMusicRegion* region);

private:
    // The task's category popup and profile popup (null for tasks without them).
    FCCtrlPopup* GetCategoryPopup() const;
    FCCtrlPopup* GetProfilePopup() const;
    bool IsNumberingTask() const { return GetTaskID() == kNumberedMeasures || GetTaskID() == kNumberedSteps; }
    // The window's categories, or null.
    FCCategoryDefs* GetWindowCategories() const;
    // The category popup's index and the name of the window's category there into the settings.
    void StoreCategory(int* index, FCString* name);
    bool CanNumberSteps();
    // Two-state Pattern: the note counts are checked before the edit, the sequence written in it.
    bool CanExecuteTwoStatePattern();
    bool ExecuteTwoStatePattern();

    // The numbering tasks, each in the file named after it.
    bool ExecuteNumberedMeasures();
    bool ExecuteNumberedSteps();
    bool ExecuteDeleteNumbers();
    // The start both numbering tasks share: the selection, the staff style question, the deletion
    // of old numbers (deleted tells whether any went) and the profile and category of the run.
    // False when the task stops before numbering.
    bool BeginNumbering(NumberingRun* run, bool replace, int profileIndex, int categoryIndex, bool* deleted);
    // Refuses, with a message, a profile that would number nothing ("Show on every" below 1).
    bool CanNumberWithProfile();
};
