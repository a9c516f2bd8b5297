#include "profiles/FCNumberProfilesDlg.h"

#include "framework/ui/FCCtrlButton.h"
#include "framework/ui/FCCtrlEdit.h"
#include "framework/ui/FCCtrlListBox.h"
#include "framework/ui/FCCtrlPopup.h"
#include "framework/ui/FCCtrlStatic.h"
#include "framework/ui/FCUI.h"
#include "profiles/FCNumProfileDataList.h"

namespace {

const char* const kOptionsColumnTitle = "Options";
constexpr int kOptionsColumnWidth = 240;
const char* const kLastProfileText =
    "At least one settings profile must exist. Can't delete the last remaining settings profile.";
const char* const kLastProfileCaption = "Can't Delete";

typedef const char* (*PopupText)(int);

void FillPopup(FCCtrlPopup* popup, PopupText text, int count) {
    popup->Clear();
    for (int i = 0; i < count; ++i) popup->AddItemCString(text(i));
    popup->SetSelectedItem(0);
}

}  // namespace

FCNumberProfilesDlg::FCNumberProfilesDlg(FCUI* ui, FCNumberSettingsProfiles* profiles, int profileIndex)
    : FCResourceWindow(kTemplateID),
      target_(profiles),
      ui_(ui),
      selectedIndex_(profileIndex),
      shownIndex_(-1),
      formatting_(0),
      numberStyle_(0),
      maxValuePtDiff_(0),
      scorePartAssignment_(0),
      steps_(1),
      startAt_(2),
      options_(0) {
    profileList_ = CreateListBox(kProfileList);
    addButton_ = CreateButton(kAddButton);
    deleteButton_ = CreateButton(kDeleteButton);
    nameField_ = CreateEdit(kNameField);
    optionsList_ = static_cast<FCNumProfileDataList*>(AddControl(new FCNumProfileDataList(kOptionsList, this)));
    numberStylePopup_ = CreatePopup(kNumberStylePopup);
    formattingLabel_ = CreateStatic(kFormattingLabel);
    formattingPopup_ = CreatePopup(kFormattingPopup);
    maxValueSizeLabel_ = CreateStatic(kMaxValueSizeLabel);
    maxValueSizePopup_ = CreatePopup(kMaxValueSizePopup);
    assignmentLabel_ = CreateStatic(kAssignmentLabel);
    assignmentPopup_ = CreatePopup(kAssignmentPopup);
    stepsLabel_ = CreateStatic(kStepsLabel);
    stepsField_ = CreateEdit(kStepsField);
    startLabel_ = CreateStatic(kStartLabel);
    startField_ = CreateEdit(kStartField);
    exampleLabel_ = CreateStatic(kExampleLabel);
    okAndUseButton_ = CreateButton(kOkAndUseButton);
    okAndUseButton_->SetCommandRole(FCControl::kRoleOk);
    okButton_ = CreateButton(kOkButton);
    cancelButton_ = CreateButton(kCancelButton);
    cancelButton_->SetCommandRole(FCControl::kRoleClose);
}

int FCNumberProfilesDlg::EditProfiles(FCUI* ui, FCNumberSettingsProfiles* profiles, int profileIndex,
                                      int* selectedIndex) {
    if (!profiles) return kResultCancel;
    FCNumberProfilesDlg dialog(ui, profiles, profileIndex);
    const int result = dialog.ShowModal(ui ? ui->GetHostWindow() : nullptr);
    if (selectedIndex) *selectedIndex = dialog.GetSelectedIndex();
    return result;
}

// ---------------------------------------------------------------------------------------------
// Opening

void FCNumberProfilesDlg::HandleInit() {
    FCResourceWindow::HandleInit();
    shownIndex_ = -1;

    profileList_->Clear();
    working_.ClearAll();
    if (target_) {
        for (int i = 0; i < target_->GetCount(); ++i)
            if (const FCNumberSettingsProfile* profile = target_->GetItemAt(i))
                profileList_->AddItem(profile->GetName());
        working_.AddCopiesOf(target_);
    }

    FillPopup(numberStylePopup_, &FCNumberSettingsProfile::GetNumberStyleText,
              FCNumberSettingsProfile::kNumberStyleCount);
    FillPopup(formattingPopup_, &FCNumberSettingsProfile::GetFormattingText, FCNumberSettingsProfile::kFormattingCount);
    FillPopup(maxValueSizePopup_, &FCNumberSettingsProfile::GetMaxValuePtDiffText,
              FCNumberSettingsProfile::kMaxValuePtDiffCount);
    FillPopup(assignmentPopup_, &FCNumberSettingsProfile::GetScorePartAssignmentText,
              FCNumberSettingsProfile::kScorePartAssignmentCount);

    optionsList_->SetCheckboxes(true);
    optionsList_->SetFullRowSelect(true);
    if (optionsList_->GetColumnCount() == 0) {
        const FCString title(kOptionsColumnTitle);
        optionsList_->AddColumn(&title, kOptionsColumnWidth);
    }
    optionsList_->ClearRows();
    for (int i = 0; i < FCNumberSettingsProfile::kOptionCount; ++i) {
        const ProfileOption& option = FCNumberSettingsProfile::GetProfileOption(i);
        FCDataListRow* row = optionsList_->AddRow();
        row->AddCString(option.displayText);
        row->SetCheck((options_ & option.bit) != 0);
    }

    // An index past the list selects no row and shows no profile.
    profileList_->SetSelectedItem(selectedIndex_ >= 0 && selectedIndex_ < working_.GetCount() ? selectedIndex_ : -1);
    ShowProfile(selectedIndex_);
    UpdateExample();
}

// ---------------------------------------------------------------------------------------------
// The shown profile

void FCNumberProfilesDlg::ShowProfile(int index) {
    const FCNumberSettingsProfile* profile = index >= 0 ? working_.GetItemAt(index) : nullptr;
    if (!profile) return;
    name_.SetString(profile->GetName());
    numberStyle_ = profile->GetNumberStyle();
    formatting_ = profile->GetFormatting();
    maxValuePtDiff_ = profile->GetMaxValuePtDiff();
    scorePartAssignment_ = profile->GetScorePartAssignment();
    steps_ = profile->GetSteps();
    startAt_ = profile->GetStartAt();
    options_ = profile->GetOptions();

    // Setting the name field reports a change, whose handling rewrites the edit state's name:
    // the field gets a copy.
    FCString name;
    name.SetString(&name_);
    nameField_->SetText(&name);
    numberStylePopup_->SetSelectedItem(numberStyle_);
    formattingPopup_->SetSelectedItem(formatting_);
    maxValueSizePopup_->SetSelectedItem(maxValuePtDiff_);
    assignmentPopup_->SetSelectedItem(scorePartAssignment_);
    for (int i = 0; i < FCNumberSettingsProfile::kOptionCount; ++i)
        optionsList_->SetRowCheck(i, (options_ & FCNumberSettingsProfile::GetProfileOption(i).bit) != 0);
    stepsField_->SetInteger(steps_);
    startField_->SetInteger(startAt_);
    shownIndex_ = index;
    UpdateMaxValueControls();
    UpdateExample();
}

int FCNumberProfilesDlg::SelectedOr(FCCtrlPopup* popup, int fallback) {
    const int selected = popup->GetSelectedItem();
    return selected >= 0 ? selected : fallback;
}

void FCNumberProfilesDlg::ReadEditState() {
    int options = 0;
    for (int i = 0; i < FCNumberSettingsProfile::kOptionCount; ++i)
        if (optionsList_->GetRowCheck(i)) options |= FCNumberSettingsProfile::GetProfileOption(i).bit;
    options_ = options;
    // A popup without a selection keeps the value it was given rather than storing "none".
    numberStyle_ = SelectedOr(numberStylePopup_, numberStyle_);
    formatting_ = SelectedOr(formattingPopup_, formatting_);
    maxValuePtDiff_ = SelectedOr(maxValueSizePopup_, maxValuePtDiff_);
    scorePartAssignment_ = SelectedOr(assignmentPopup_, scorePartAssignment_);
    steps_ = stepsField_->GetRangeInteger(FCNumberSettingsProfile::kMinCount, FCNumberSettingsProfile::kMaxCount);
    startAt_ = startField_->GetRangeInteger(FCNumberSettingsProfile::kMinCount, FCNumberSettingsProfile::kMaxCount);
    nameField_->GetText(&name_);
    name_.TrimWhitespace();
}

void FCNumberProfilesDlg::StoreProfile(int index) {
    FCNumberSettingsProfile* profile = index >= 0 ? working_.GetItemAt(index) : nullptr;
    if (!profile) return;
    // A profile keeps its name when the field was left empty: a nameless profile could not be
    // told apart in the task's profile list.
    if (!name_.IsEmpty()) profile->SetName(&name_);
    name_.SetString(profile->GetName());
    profile->SetNumberStyle(numberStyle_);
    profile->SetFormatting(formatting_);
    profile->SetOptions(options_);
    profile->SetSteps(steps_);
    profile->SetStartAt(startAt_);
    profile->SetMaxValuePtDiff(maxValuePtDiff_);
    profile->SetScorePartAssignment(scorePartAssignment_);
    profileList_->SetItemText(index, profile->GetName());
}

// ---------------------------------------------------------------------------------------------
// Events

bool FCNumberProfilesDlg::HandleCommand(FCControl* control) {
    if (!control) return false;
    switch (control->GetControlID()) {
        case kProfileList:
            SelectionChanged();
            return true;
        case kAddButton:
            AddProfile();
            return true;
        case kDeleteButton:
            DeleteProfile();
            return true;
        case kNameField:
            NameChanged();
            return true;
        case kFormattingPopup:
        case kStepsField:
            UpdateMaxValueControls();
            UpdateExample();
            return true;
        case kNumberStylePopup:
        case kStartField:
            UpdateExample();
            return true;
        case kOkButton:
            CommitAndClose(kResultOk);
            return true;
        default:
            return false;
    }
}

void FCNumberProfilesDlg::SelectionChanged() {
    const int row = profileList_->GetSelectedItem();
    if (row < 0 || row == shownIndex_) return;
    ReadEditState();
    StoreProfile(shownIndex_);
    ShowProfile(row);
}

void FCNumberProfilesDlg::AddProfile() {
    if (shownIndex_ >= 0) {
        ReadEditState();
        StoreProfile(shownIndex_);
    }
    FCNumberSettingsProfile* profile = new FCNumberSettingsProfile;
    working_.Add(profile);
    profileList_->AddItem(profile->GetName());
    const int row = working_.GetCount() - 1;
    profileList_->SetSelectedItem(row);
    ShowProfile(row);
}

void FCNumberProfilesDlg::DeleteProfile() {
    const int row = profileList_->GetSelectedItem();
    if (row < 0) return;
    if (working_.GetCount() <= 1) {
        if (ui_) {
            const FCString text(kLastProfileText);
            const FCString caption(kLastProfileCaption);
            ui_->AlertError(&text, &caption);
        }
        return;
    }
    if (!working_.ClearItemAt(row)) return;
    profileList_->DeleteItem(row);
    // The deleted profile's values are gone with it; whatever is shown next comes from the list.
    shownIndex_ = -1;
    const int next = row < working_.GetCount() ? row : working_.GetCount() - 1;
    profileList_->SetSelectedItem(next);
    ShowProfile(next);
}

void FCNumberProfilesDlg::NameChanged() {
    const int row = profileList_->GetSelectedItem();
    if (row < 0) return;
    FCString name;
    nameField_->GetText(&name);
    name.TrimWhitespace();
    name_.SetString(&name);
    profileList_->SetItemText(row, &name);
}

void FCNumberProfilesDlg::HandleOk() {
    selectedIndex_ = profileList_->GetSelectedItem();
    if (selectedIndex_ >= 0) CommitAndClose(kResultOkAndUse);
}

void FCNumberProfilesDlg::CommitAndClose(int result) {
    const int row = profileList_->GetSelectedItem();
    if (row < 0 || IsClosed()) return;
    selectedIndex_ = row;
    SetModalResult(result);
    ReadEditState();
    // The edit state holds the shown profile's values, which is the selected one.
    StoreProfile(shownIndex_);
    if (target_) {
        target_->ClearAll();
        target_->AddCopiesOf(&working_);
    }
    CloseWindow();
}

// ---------------------------------------------------------------------------------------------
// The example line

void FCNumberProfilesDlg::UpdateMaxValueControls() {
    const bool showsMax = formattingPopup_->GetSelectedItem() >= FCNumberSettingsProfile::kFirstMaxFormatting;
    maxValueSizeLabel_->SetEnable(showsMax);
    maxValueSizePopup_->SetEnable(showsMax);
}

void FCNumberProfilesDlg::UpdateExample() {
    FCNumberSettingsProfile example;
    example.SetNumberStyle(SelectedOr(numberStylePopup_, 0));
    example.SetFormatting(SelectedOr(formattingPopup_, 0));
    example.SetSteps(
        stepsField_->GetRangeInteger(FCNumberSettingsProfile::kMinCount, FCNumberSettingsProfile::kMaxCount));
    example.SetStartAt(
        startField_->GetRangeInteger(FCNumberSettingsProfile::kMinCount, FCNumberSettingsProfile::kMaxCount));
    int options = 0;
    for (int i = 0; i < optionsList_->GetRowCount() && i < FCNumberSettingsProfile::kOptionCount; ++i)
        if (optionsList_->GetRowCheck(i)) options |= FCNumberSettingsProfile::GetProfileOption(i).bit;
    example.SetOptions(options & ~FCNumberSettingsProfile::kMaxItalics);
    example.SetMaxValuePtDiff(0);
    FCString line;
    example.GetExampleLine(&line);
    exampleLabel_->SetText(&line);
}
