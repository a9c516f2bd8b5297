#include "tasks/sequences/FCSequencesBlockHandler.h"

#include "framework/core/FCStrings.h"
#include "framework/markings/FCCategoryDef.h"
#include "framework/ui/FCCtrlButton.h"
#include "framework/ui/FCCtrlEdit.h"
#include "framework/ui/FCCtrlPopup.h"
#include "framework/ui/FCUI.h"
#include "plugin/PatternSettings.h"
#include "plugin/PatternTaskWindow.h"
#include "profiles/FCNumberSettingsProfiles.h"
#include "tasks/sequences/NumberingRun.h"

namespace {

const TaskPopupItem kSequenceTypes[] = {
    {0, "ABBBBBB"},
    {1, "AAAAAAB"},
    {2, "ABBBBBA"},
};

const TaskPopupItem kSequenceGroupings[] = {
    {0, "Beam to Time Signature"},
    {1, "Beam to Sequence Groups"},
    {2, "Rebar to Sequence Groups"},
};

const TaskPopupItem kRestGroupings[] = {
    {0, "Don't Affect Rest Durations"},
    {1, "Group to Time Signature"},
    {2, "Group to Sequence Groups"},
};

const TaskPopupItem kStepMethods[] = {
    {0, "Beat in measure"},
    {1, "After Double Barlines"},
    {2, "After Final Barlines"},
    {3, "Measures in Groups of:"},
};

int ClampIndex(int index, int count) {
    if (index < 0) return 0;
    if (index >= count) return count - 1;
    return index;
}

// Horizontal alignments of a category that put every expression at one place in the measure.
bool AlignsToOnePlace(int alignment) { return alignment >= 0 && alignment <= 6 && alignment != 3; }

}  // namespace

bool FCSequencesBlockHandler::Execute() {
    switch (GetTaskID()) {
        case kTwoStatePattern:
            return ExecuteTwoStatePattern();
        case kNumberedMeasures:
            return ExecuteNumberedMeasures();
        case kNumberedSteps:
            return ExecuteNumberedSteps();
        case kDeleteNumbers:
            return ExecuteDeleteNumbers();
        default:
            return false;
    }
}

FCCtrlPopup* FCSequencesBlockHandler::GetCategoryPopup() const {
    switch (GetTaskID()) {
        case kNumberedMeasures:
            return GetPopup1();
        case kNumberedSteps:
            return GetPopup2();
        default:
            return nullptr;
    }
}

FCCtrlPopup* FCSequencesBlockHandler::GetProfilePopup() const {
    switch (GetTaskID()) {
        case kNumberedMeasures:
            return GetPopup2();
        case kNumberedSteps:
            return GetPopup3();
        default:
            return nullptr;
    }
}

FCCategoryDefs* FCSequencesBlockHandler::GetWindowCategories() const {
    return GetWindow() ? GetWindow()->GetTaskCategories() : nullptr;
}

void FCSequencesBlockHandler::AddTaskControls(FCTaskControlInfos* infos) {
    switch (GetTaskID()) {
        case kTwoStatePattern:
            AddRow(infos, GetStatic1(), 0, 60, 5);
            AddRow(infos, GetEdit1(), 0, 60, kBelow);
            AddRow(infos, GetStatic2(), 65, 35, 5);
            AddRow(infos, GetPopup1(), 65, 35, kBelow);
            AddRow(infos, GetStatic3(), 0, 60, 25);
            AddRow(infos, GetPopup2(), 0, 60, kBelow);
            AddRow(infos, GetStatic4(), 0, 60, 45);
            AddRow(infos, GetPopup3(), 0, 60, kBelow);
            break;
        case kNumberedMeasures:
            AddRow(infos, GetStatic1(), 0, 70, 0);
            AddRow(infos, GetPopup1(), 0, 70, kBelow);
            AddRow(infos, GetStatic2(), 0, 70, 20);
            AddRow(infos, GetPopup2(), 0, 70, kBelow);
            AddRow(infos, GetButton(), 75, 25, kBeside);
            AddRow(infos, GetCheck1(), 0, 80, 40);
            break;
        case kNumberedSteps:
            AddRow(infos, GetStatic1(), 0, 50, 0);
            AddRow(infos, GetPopup1(), 0, 50, kBelow);
            AddRow(infos, GetEdit1(), 55, 15, kBeside);
            AddRow(infos, GetStatic2(), 0, 70, 20);
            AddRow(infos, GetPopup2(), 0, 70, kBelow);
            AddRow(infos, GetStatic3(), 0, 70, 40);
            AddRow(infos, GetPopup3(), 0, 70, kBelow);
            AddRow(infos, GetButton(), 75, 25, kBeside);
            AddRow(infos, GetCheck1(), 0, 80, 60);
            break;
        default:
            break;
    }
}

void FCSequencesBlockHandler::InitTaskControls() {
    PatternSettings& settings = ThePatternSettings();
    FCNumberSettingsProfiles* profiles = GetWindow() ? GetWindow()->GetTaskProfiles() : nullptr;
    switch (GetTaskID()) {
        case kTwoStatePattern:
            SetLabel(GetStatic1(), "Note counts in groups:");
            if (GetEdit1()) GetEdit1()->SetText(&settings.QZPT_SEQUENCES_TWOSTATES_NUMBERSTRING);
            SetLabel(GetStatic2(), "Sequence type:");
            FillPopup(GetPopup1(), kSequenceTypes, settings.QZPT_SEQUENCES_TWOSTATES_TYPE);
            SetLabel(GetStatic3(), "Groups:");
            FillPopup(GetPopup2(), kSequenceGroupings, settings.QZPT_SEQUENCES_TWOSTATES_GROUPING);
            SetLabel(GetStatic4(), "Rests:");
            FillPopup(GetPopup3(), kRestGroupings, settings.QZPT_SEQUENCES_TWOSTATES_REST);
            break;
        case kNumberedMeasures: {
            SetLabel(GetStatic1(), "Category:");
            FillCategoryPopup(GetPopup1(), GetWindowCategories(), settings.QZPT_SEQUENCES_NUMMEASURES_CATEGORYIDX,
                              &settings.QZPT_SEQUENCES_NUMMEASURES_CATEGORYNAME);
            SetLabel(GetStatic2(), "Profile:");
            int profile = settings.QZPT_SEQUENCES_NUMMEASURES_PROFILE;
            FillProfilePopup(GetPopup2(), profiles, &profile);
            SetLabel(GetButton(), "Profiles...");
            SetLabel(GetCheck1(), "Replace Existing Numbers");
            SetChecked(GetCheck1(), settings.QZPT_SEQUENCES_NUMMEASURES_REPLACE);
            break;
        }
        case kNumberedSteps: {
            SetLabel(GetStatic1(), "Step Method:");
            FillPopup(GetPopup1(), kStepMethods, settings.QZPT_SEQUENCES_NUMSTEPS_METHOD);
            SetInteger(GetEdit1(), settings.QZPT_SEQUENCES_NUMSTEPS_METHODNUMBER);
            SetLabel(GetStatic2(), "Category:");
            FillCategoryPopup(GetPopup2(), GetWindowCategories(), settings.QZPT_SEQUENCES_NUMSTEPS_CATEGORYIDX,
                              &settings.QZPT_SEQUENCES_NUMSTEPS_CATEGORYNAME);
            SetLabel(GetStatic3(), "Profile:");
            int profile = settings.QZPT_SEQUENCES_NUMSTEPS_PROFILE;
            FillProfilePopup(GetPopup3(), profiles, &profile);
            SetLabel(GetButton(), "Profiles...");
            SetLabel(GetCheck1(), "Replace Existing Numbers");
            SetChecked(GetCheck1(), settings.QZPT_SEQUENCES_NUMSTEPS_REPLACE);
            break;
        }
        default:
            break;
    }
}

void FCSequencesBlockHandler::UpdateTaskControls() {
    if (GetTaskID() != kNumberedSteps) return;
    SetShown(GetEdit1(), GetPopupKey(GetPopup1(), kStepMethods) == kStepMethodGroups);
}

void FCSequencesBlockHandler::StoreCategory(int* index, FCString* name) {
    FCCtrlPopup* popup = GetCategoryPopup();
    *index = popup ? popup->GetSelectedItem() : -1;
    FCCategoryDefs* categories = GetWindowCategories();
    FCCategoryDef* category = categories ? categories->GetItemAt(*index) : nullptr;
    if (category)
        category->GetName(name);
    else
        name->Clear();
}

void FCSequencesBlockHandler::StoreTaskSettings() {
    PatternSettings& settings = ThePatternSettings();
    switch (GetTaskID()) {
        case kTwoStatePattern:
            if (GetEdit1()) GetEdit1()->GetText(&settings.QZPT_SEQUENCES_TWOSTATES_NUMBERSTRING);
            settings.QZPT_SEQUENCES_TWOSTATES_TYPE = GetPopupKey(GetPopup1(), kSequenceTypes);
            settings.QZPT_SEQUENCES_TWOSTATES_GROUPING = GetPopupKey(GetPopup2(), kSequenceGroupings);
            settings.QZPT_SEQUENCES_TWOSTATES_REST = GetPopupKey(GetPopup3(), kRestGroupings);
            break;
        case kNumberedMeasures:
            StoreCategory(&settings.QZPT_SEQUENCES_NUMMEASURES_CATEGORYIDX,
                          &settings.QZPT_SEQUENCES_NUMMEASURES_CATEGORYNAME);
            settings.QZPT_SEQUENCES_NUMMEASURES_PROFILE = GetProfileIndex();
            settings.QZPT_SEQUENCES_NUMMEASURES_REPLACE = IsChecked(GetCheck1());
            break;
        case kNumberedSteps:
            settings.QZPT_SEQUENCES_NUMSTEPS_METHOD = GetPopupKey(GetPopup1(), kStepMethods);
            settings.QZPT_SEQUENCES_NUMSTEPS_METHODNUMBER = GetInteger(GetEdit1());
            StoreCategory(&settings.QZPT_SEQUENCES_NUMSTEPS_CATEGORYIDX,
                          &settings.QZPT_SEQUENCES_NUMSTEPS_CATEGORYNAME);
            settings.QZPT_SEQUENCES_NUMSTEPS_PROFILE = GetProfileIndex();
            settings.QZPT_SEQUENCES_NUMSTEPS_REPLACE = IsChecked(GetCheck1());
            break;
        default:
            break;
    }
}

bool FCSequencesBlockHandler::CanExecute() {
    if (GetTaskID() == kNumberedSteps) return CanNumberSteps();
    if (GetTaskID() == kTwoStatePattern) return CanExecuteTwoStatePattern();
    if (GetTaskID() == kNumberedMeasures) return CanNumberWithProfile();
    return true;
}

bool FCSequencesBlockHandler::CanNumberWithProfile() {
    FCNumberSettingsProfiles* profiles = GetWindow() ? GetWindow()->GetTaskProfiles() : nullptr;
    const FCNumberSettingsProfile* profile = profiles ? profiles->GetItemAt(GetProfileIndex()) : nullptr;
    // A missing profile is not refused here: the task then creates nothing (after Replace).
    if (!profile || profile->GetSteps() >= 1) return true;
    if (FCUI* ui = GetUI()) {
        FCString text(
            "The profile's \"Show on every\" value must be 1 or more.\nPlease edit the profile or select another "
            "one.");
        FCString caption("Incompatible Profile Setting");
        ui->AlertInfo(&text, &caption);
    }
    return false;
}

bool FCSequencesBlockHandler::CanNumberSteps() {
    const int method = GetPopupKey(GetPopup1(), kStepMethods);
    if (method == kStepMethodGroups && GetInteger(GetEdit1()) < 1) {
        if (FCUI* ui = GetUI()) {
            FCString text("The number of measures in a group must be 1 or more.\nPlease enter another number.");
            FCString caption("Incompatible Group Size");
            ui->AlertInfo(&text, &caption);
        }
        return false;
    }
    if (method != kStepMethodBeats) return CanNumberWithProfile();
    FCCategoryDefs* categories = GetWindowCategories();
    FCCtrlPopup* popup = GetCategoryPopup();
    FCCategoryDef* chosen = categories && popup ? categories->GetItemAt(popup->GetSelectedItem()) : nullptr;
    if (!chosen) return false;
    // The document's own record decides, not the window's copy of it.
    FCCategoryDef category;
    if (!category.Load(uint16_t(chosen->GetItemNo()))) return false;
    if (!AlignsToOnePlace(category.GetHorizontalAlignment())) return true;
    if (FCUI* ui = GetUI()) {
        FCString text(
            "The Horizontal Alignment setting for the chosen category can't be used to placed expression on "
            "different positions in a measure.\nPlease select another category.");
        FCString caption("Incompatible Category Setting");
        ui->AlertInfo(&text, &caption);
    }
    return false;
}

void FCSequencesBlockHandler::HandleTaskButton(FCControl* control) {
    if (!IsNumberingTask() || !control || control != GetButton()) return;
    if (PatternTaskWindow* window = GetWindow()) window->ShowProfileEditor(GetProfileIndex());
}

int FCSequencesBlockHandler::GetProfileIndex() {
    FCCtrlPopup* popup = GetProfilePopup();
    return popup ? popup->GetSelectedItem() : -1;
}

void FCSequencesBlockHandler::FillProfileList(FCNumberSettingsProfiles* profiles, int* profileIndex) {
    if (!IsNumberingTask()) return;
    FillProfilePopup(GetProfilePopup(), profiles, profileIndex);
}

void FCSequencesBlockHandler::SelectProfile(int* profileIndex) {
    FCCtrlPopup* popup = GetProfilePopup();
    if (!popup || !profileIndex) return;
    const int count = popup->GetCount();
    if (count <= 0) return;
    *profileIndex = ClampIndex(*profileIndex, count);
    popup->SetSelectedItem(*profileIndex);
}

void FCSequencesBlockHandler::FillCategoryList(FCCategoryDefs* categories) {
    PatternSettings& settings = ThePatternSettings();
    switch (GetTaskID()) {
        case kNumberedMeasures:
            FillCategoryPopup(GetPopup1(), categories, settings.QZPT_SEQUENCES_NUMMEASURES_CATEGORYIDX,
                              &settings.QZPT_SEQUENCES_NUMMEASURES_CATEGORYNAME);
            break;
        case kNumberedSteps:
            FillCategoryPopup(GetPopup2(), categories, settings.QZPT_SEQUENCES_NUMSTEPS_CATEGORYIDX,
                              &settings.QZPT_SEQUENCES_NUMSTEPS_CATEGORYNAME);
            break;
        default:
            break;
    }
}

void FCSequencesBlockHandler::FillCategoryPopup(FCCtrlPopup* popup, FCCategoryDefs* categories, int storedIndex,
                                                FCString* storedName) {
    if (!popup) return;
    popup->Clear();
    const int count = categories ? categories->GetCount() : 0;
    if (count == 0) return;
    FCStrings names;
    for (int i = 0; i < count; ++i) {
        FCString* name = names.AddCString("");
        if (FCCategoryDef* category = categories->GetItemAt(i)) category->GetName(name);
        popup->AddItem(name);
    }
    int selected = ClampIndex(storedIndex, count);
    if (storedName && !names.GetItemAt(selected)->IsEqual(storedName)) {
        const int named = names.FindString(storedName);
        if (named >= 0) selected = named;
    }
    popup->SetSelectedItem(selected);
    if (storedName) storedName->SetString(names.GetItemAt(selected));
}

void FCSequencesBlockHandler::FillProfilePopup(FCCtrlPopup* popup, FCNumberSettingsProfiles* profiles,
                                               int* profileIndex) {
    if (!popup) return;
    popup->Clear();
    const int count = profiles ? profiles->GetCount() : 0;
    for (int i = 0; i < count; ++i) {
        FCNumberSettingsProfile* profile = profiles->GetItemAt(i);
        FCString name;
        if (profile) name.SetString(profile->GetName());
        popup->AddItem(&name);
    }
    if (count == 0 || !profileIndex) return;
    *profileIndex = ClampIndex(*profileIndex, count);
    popup->SetSelectedItem(*profileIndex);
}

bool FCSequencesBlockHandler::BeginNumbering(NumberingRun* run, bool replace, int profileIndex, int categoryIndex,
                                             bool* deleted) {
    *deleted = false;
    if (!run->LoadRegion() || !run->CheckStaffStyles(GetUI())) return false;
    if (replace) *deleted = DeleteNumbers(run->GetRegion());
    PatternTaskWindow* window = GetWindow();
    return run->Prepare(window ? window->GetTaskProfiles() : nullptr, profileIndex, GetWindowCategories(),
                        categoryIndex);
}
