// The profile editor driven on the desktop (simulated on Linux, the system's own on Windows) as a
// user would drive it: opened modally on a profiles collection, its controls clicked, typed into
// and chosen from, and closed in each of its ways. What counts is what the user sees and what
// reaches the collection it was opened on. The exact pixels are in the Linux test.
#include "tests/framework/ui/DesktopFixture.h"
#include "tests/profiles/StorageTestSupport.h"

#include "framework/ui/FCUI.h"
#include "profiles/FCNumberProfilesDlg.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

using simhost::DesktopDriver;
using storagetest::DescribeAll;
typedef FCNumberProfilesDlg Dlg;
typedef std::vector<std::string> Rows;

namespace {

// The open editor as the user sees it.
struct Screen {
    DesktopDriver& d;
    HWND dialog;

    HWND operator()(int id) const { return d.Control(dialog, id); }
    std::string Text(int id) const { return d.Text(d.Control(dialog, id)); }
    Rows Profiles() const { return d.Rows(d.Control(dialog, Dlg::kProfileList)); }
    int SelectedProfile() const { return d.SelectedRow(d.Control(dialog, Dlg::kProfileList)); }
    std::string Example() const { return Text(Dlg::kExampleLabel); }
    bool Click(int id) const { return d.Click(d.Control(dialog, id)); }
    bool Type(int id, const char* text) const { return d.Type(d.Control(dialog, id), text); }
    bool Choose(int id, int row) const { return d.ChoosePopupRow(d.Control(dialog, id), row); }
    bool SelectProfile(int row) const { return d.SelectListRow(d.Control(dialog, Dlg::kProfileList), row); }
    bool ToggleOption(int row) const { return d.ToggleListCheck(d.Control(dialog, Dlg::kOptionsList), row); }
    bool MaxValueSizeEnabled() const {
        return d.IsEnabled(d.Control(dialog, Dlg::kMaxValueSizePopup)) &&
               d.IsEnabled(d.Control(dialog, Dlg::kMaxValueSizeLabel));
    }
};

// A picture of the editor without positions, sizes and the focus, which differ in pixels between
// the desktops; what the editor shows and in which order stays.
std::string WithoutGeometry(const std::string& picture) {
    std::istringstream lines(picture);
    std::string plain, line;
    while (std::getline(lines, line)) {
        const char* const focus = " focus";
        if (line.size() > 6 && line.compare(line.size() - 6, 6, focus) == 0) line.erase(line.size() - 6);
        // "at X,Y WxH" of a control, "at X,Y size WxH (client WxH)" of the dialog.
        const size_t at = line.rfind(" at ");
        const size_t end = line.find_first_not_of("0123456789,x ()clientsz", at == std::string::npos ? 0 : at + 4);
        if (at != std::string::npos &&
            (end == std::string::npos || line.compare(end, std::string::npos, "active") == 0))
            line.erase(at, end == std::string::npos ? std::string::npos : end - 1 - at);
        plain += line + "\n";
    }
    return plain;
}

// The five numbers of an example line, joined as the editor shows them.
std::string Example(const Rows& numbers) {
    std::string line;
    for (const std::string& number : numbers) line += (line.empty() ? "" : ",     ") + number;
    return line;
}

FCNumberSettingsProfile* AddProfile(FCNumberSettingsProfiles* profiles, const char* name) {
    FCNumberSettingsProfile* profile = new FCNumberSettingsProfile;
    const FCString text(name);
    profile->SetName(&text);
    profiles->Add(profile);
    return profile;
}

class ProfileEditorTest : public DesktopTest {
protected:
    // Opens the editor on the profiles at the index, lets the script act and returns the result.
    int Edit(FCNumberSettingsProfiles* profiles, int index, std::function<void(const Screen&)> script,
             int* selected = nullptr) {
        driver.OnNextModalDialog([script](DesktopDriver& d, HWND dialog) { script(Screen{d, dialog}); });
        FCUI ui(driver.HostWindow());
        int chosen = -99;
        const int result = Dlg::EditProfiles(&ui, profiles, index, &chosen);
        if (selected) *selected = chosen;
        EXPECT_EQ(nullptr, driver.Dialog(Dlg::kTemplateID)) << "the editor is closed";
        return result;
    }
};

TEST_F(ProfileEditorTest, OpensOnTheSelectedProfileWithItsValues) {
    FCNumberSettingsProfiles profiles;
    AddProfile(&profiles, "Default Profile");
    FCNumberSettingsProfile* steps = AddProfile(&profiles, "Every second");
    steps->SetNumberStyle(FCNumberSettingsProfile::kStyleUpperLetters);
    steps->SetFormatting(5);
    steps->SetOptions(FCNumberSettingsProfile::kAlwaysStartOfSystem | FCNumberSettingsProfile::kMaxOnFirst);
    steps->SetSteps(2);
    steps->SetStartAt(3);
    steps->SetMaxValuePtDiff(1);
    steps->SetScorePartAssignment(2);
    std::string picture;
    Edit(&profiles, 1, [&](const Screen& s) {
        picture = WithoutGeometry(s.d.Picture(s.dialog));
        s.Click(Dlg::kCancelButton);
    });
    EXPECT_EQ(
        "dialog 20129 \"QZ Pattern - Number Profile Editor\" active\n"
        "  [-1] label \"Profiles:\"\n"
        "  [102] listbox [Default Profile|*Every second]\n"
        "  [103] button \"Add\"\n"
        "  [104] button \"Delete\"\n"
        "  [105] line\n"
        "  [-1] label \"Profile Name:\"\n"
        "  [106] edit \"Every second\"\n"
        "  [114] list\n"
        "      [ ] Always at end of region\n"
        "      [x] Always at start of system\n"
        "      [ ] Always at end of system\n"
        "      [ ] Restart sequence after double barline\n"
        "      [ ] Restart sequence after final barline\n"
        "      [ ] Restart sequence after solid barline\n"
        "      [ ] Restart sequence after rehearsal mark\n"
        "      [ ] Max value as Italics\n"
        "      [x] Only Max value on First\n"
        "  [-1] label \"Number Style:\"\n"
        "  [107] popup \"A, B, C, D, ...\" of [1, 2, 3, 4, ...|I, II, III, IV, ...|A, B, C, D, ...|a, b, c, d, ...]\n"
        "  [108] label \"Formatting:\"\n"
        "  [109] popup \"x [Max]\" of [None|( )|[ ]|{ }|x (Max)|x [Max]|x {Max}|x-Max|x/Max|x - Max|x / Max|x "
        "(-Max)|x [-Max]|x {-Max}]\n"
        "  [110] label \"Max value font size:\"\n"
        "  [111] popup \"2 points smaller\" of [Same font size|2 points smaller|4 points smaller|6 points smaller]\n"
        "  [112] label \"Assignment:\"\n"
        "  [113] popup \"Parts only\" of [Score and Parts|Score only|Parts only|Based on current Score/Part view]\n"
        "  [115] label \"Show on every\"\n"
        "  [116] edit \"2\"\n"
        "  [117] label \"element, starting at element\"\n"
        "  [118] edit \"3\"\n"
        "  [-1] label \"Example:\"\n"
        "  [119] label \"C,     E,     G,     I,     K\"\n"
        "  [1] button \"OK and Use\" default\n"
        "  [101] button \"OK\"\n"
        "  [2] button \"Cancel\"\n",
        picture);
}

// Add two profiles, rename one, change its style, watch the example line, delete one, "OK and
// Use"; then an editing session ended with "Cancel" leaves the profiles as they were.
TEST_F(ProfileEditorTest, AddRenameEditDeleteAndUseThenCancelChangesNothing) {
    FCNumberSettingsProfiles profiles;
    AddProfile(&profiles, "Default Profile");
    int selected = -1;
    const int result = Edit(
        &profiles, 0,
        [](const Screen& s) {
            EXPECT_EQ(Example({"1", "2", "3", "4", "5"}), s.Example());
            EXPECT_TRUE(s.Click(Dlg::kAddButton));
            EXPECT_TRUE(s.Click(Dlg::kAddButton));
            EXPECT_EQ((Rows{"Default Profile", "Profile Name", "Profile Name"}), s.Profiles());
            EXPECT_EQ(2, s.SelectedProfile());
            EXPECT_EQ("Profile Name", s.Text(Dlg::kNameField));

            EXPECT_TRUE(s.Type(Dlg::kNameField, "Bars"));
            EXPECT_EQ((Rows{"Default Profile", "Profile Name", "Bars"}), s.Profiles()) << "renamed while typing";
            EXPECT_TRUE(s.Choose(Dlg::kNumberStylePopup, FCNumberSettingsProfile::kStyleRoman));
            EXPECT_EQ(Example({"I", "II", "III", "IV", "V"}), s.Example());
            EXPECT_FALSE(s.MaxValueSizeEnabled());
            EXPECT_TRUE(s.Choose(Dlg::kFormattingPopup, 8));  // x/Max
            EXPECT_TRUE(s.MaxValueSizeEnabled());
            EXPECT_TRUE(s.Type(Dlg::kStartField, "3"));
            EXPECT_TRUE(s.Type(Dlg::kStepsField, "2"));
            EXPECT_EQ(Example({"III/XI", "V/XI", "VII/XI", "IX/XI", "XI/XI"}), s.Example());

            // Showing another profile keeps these edits in the working copy.
            EXPECT_TRUE(s.SelectProfile(1));
            EXPECT_EQ("Profile Name", s.Text(Dlg::kNameField));
            EXPECT_EQ(Example({"1", "2", "3", "4", "5"}), s.Example());
            EXPECT_TRUE(s.Click(Dlg::kDeleteButton));
            EXPECT_EQ((Rows{"Default Profile", "Bars"}), s.Profiles());
            EXPECT_EQ(1, s.SelectedProfile()) << "the row that took the deleted one's place";
            EXPECT_EQ("Bars", s.Text(Dlg::kNameField));
            EXPECT_EQ(Example({"III/XI", "V/XI", "VII/XI", "IX/XI", "XI/XI"}), s.Example());
            EXPECT_TRUE(s.Click(Dlg::kOkAndUseButton));
        },
        &selected);
    EXPECT_EQ(Dlg::kResultOkAndUse, result);
    EXPECT_EQ(1, selected);
    const Rows edited{"Default Profile|0|0|145|1|1|0|0", "Bars|1|8|145|2|3|0|0"};
    EXPECT_EQ(edited, DescribeAll(profiles));

    EXPECT_EQ(Dlg::kResultCancel, Edit(&profiles, 1, [](const Screen& s) {
                  EXPECT_TRUE(s.Type(Dlg::kNameField, "Changed"));
                  EXPECT_TRUE(s.Choose(Dlg::kAssignmentPopup, 3));
                  EXPECT_TRUE(s.ToggleOption(0));
                  EXPECT_TRUE(s.Click(Dlg::kAddButton));
                  EXPECT_TRUE(s.SelectProfile(0));
                  EXPECT_TRUE(s.Click(Dlg::kDeleteButton));
                  EXPECT_EQ((Rows{"Changed", "Profile Name"}), s.Profiles());
                  EXPECT_TRUE(s.Click(Dlg::kCancelButton));
              }));
    EXPECT_EQ(edited, DescribeAll(profiles)) << "Cancel leaves the window's profiles untouched";
}

TEST_F(ProfileEditorTest, OnlyTheConfirmingWaysOfClosingCopyTheWorkBack) {
    const struct {
        const char* way;
        std::function<bool(const Screen&)> close;
        int result;
        bool copied;
    } ways[] = {
        {"OK and Use", [](const Screen& s) { return s.Click(Dlg::kOkAndUseButton); }, Dlg::kResultOkAndUse, true},
        {"Enter", [](const Screen& s) { return s.d.PressEnter(s.dialog); }, Dlg::kResultOkAndUse, true},
        {"OK", [](const Screen& s) { return s.Click(Dlg::kOkButton); }, Dlg::kResultOk, true},
        {"Cancel", [](const Screen& s) { return s.Click(Dlg::kCancelButton); }, Dlg::kResultCancel, false},
        {"Escape", [](const Screen& s) { return s.d.PressEscape(s.dialog); }, Dlg::kResultCancel, false},
        {"close box", [](const Screen& s) { return s.d.CloseWindow(s.dialog); }, Dlg::kResultCancel, false},
    };
    for (const auto& way : ways) {
        FCNumberSettingsProfiles profiles;
        AddProfile(&profiles, "First");
        AddProfile(&profiles, "Second")->SetFontSize(12);
        int selected = -1;
        const int result = Edit(
            &profiles, 0,
            [&](const Screen& s) {
                EXPECT_TRUE(s.SelectProfile(1));
                EXPECT_TRUE(s.Type(Dlg::kNameField, "Renamed"));
                EXPECT_TRUE(way.close(s)) << way.way;
            },
            &selected);
        EXPECT_EQ(way.result, result) << way.way;
        EXPECT_EQ(way.copied ? 1 : 0, selected) << way.way;
        ASSERT_EQ(2, profiles.GetCount()) << way.way;
        EXPECT_EQ(way.copied ? "Renamed" : "Second", profiles.GetItemAt(1)->GetName()->GetUTF8()) << way.way;
        EXPECT_EQ(12, profiles.GetItemAt(1)->GetFontSize()) << way.way << ": the copy back keeps every field";
    }
}

TEST_F(ProfileEditorTest, DeletingSelectsTheProfileThatTookItsPlace) {
    const struct {
        int deleted;
        Rows left;
        int selected;
    } cases[] = {
        {0, {"B", "C"}, 0},
        {1, {"A", "C"}, 1},
        {2, {"A", "B"}, 1},
    };
    for (const auto& c : cases) {
        FCNumberSettingsProfiles profiles;
        AddProfile(&profiles, "A");
        AddProfile(&profiles, "B")->SetNumberStyle(FCNumberSettingsProfile::kStyleRoman);
        AddProfile(&profiles, "C");
        EXPECT_EQ(Dlg::kResultOk, Edit(&profiles, c.deleted, [&](const Screen& s) {
                      EXPECT_TRUE(s.Click(Dlg::kDeleteButton));
                      EXPECT_EQ(c.left, s.Profiles()) << c.deleted;
                      EXPECT_EQ(c.selected, s.SelectedProfile()) << c.deleted;
                      const std::string shown = c.left[size_t(c.selected)];
                      EXPECT_EQ(shown, s.Text(Dlg::kNameField)) << c.deleted;
                      EXPECT_EQ(shown == "B" ? "I,     II,     III,     IV,     V" : "1,     2,     3,     4,     5",
                                s.Example())
                          << c.deleted << ": the shown profile's values";
                      EXPECT_TRUE(s.Click(Dlg::kOkButton));
                  }));
        ASSERT_EQ(2, profiles.GetCount());
        EXPECT_EQ(c.left[0], profiles.GetItemAt(0)->GetName()->GetUTF8());
        EXPECT_EQ(c.left[1], profiles.GetItemAt(1)->GetName()->GetUTF8());
    }
}

TEST_F(ProfileEditorTest, TheLastProfileCannotBeDeleted) {
    FCNumberSettingsProfiles profiles;
    AddProfile(&profiles, "Only");
    AddProfile(&profiles, "Other");
    driver.AnswerNextMessageBox(IDOK);
    EXPECT_EQ(Dlg::kResultOkAndUse, Edit(&profiles, 1, [](const Screen& s) {
                  EXPECT_TRUE(s.Click(Dlg::kDeleteButton));
                  EXPECT_TRUE(s.Click(Dlg::kDeleteButton));
                  EXPECT_EQ((Rows{"Only"}), s.Profiles()) << "the profile stays";
                  EXPECT_EQ(0, s.SelectedProfile());
                  EXPECT_TRUE(s.Click(Dlg::kOkAndUseButton));
              }));
    const std::vector<DesktopDriver::MessageBoxShown> boxes = driver.MessageBoxes();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("Can't Delete", boxes[0].caption);
    EXPECT_EQ("At least one settings profile must exist. Can't delete the last remaining settings profile.",
              boxes[0].text);
    EXPECT_EQ(unsigned(MB_ICONERROR), boxes[0].style & MB_ICONMASK);
    EXPECT_EQ((Rows{"Only|0|0|145|1|1|0|0"}), DescribeAll(profiles));
}

// Edits belong to the profile they were made on, whatever the user shows meanwhile.
TEST_F(ProfileEditorTest, EditsStayWithTheirProfile) {
    FCNumberSettingsProfiles profiles;
    AddProfile(&profiles, "A");
    AddProfile(&profiles, "B");
    EXPECT_EQ(Dlg::kResultOk, Edit(&profiles, 0, [](const Screen& s) {
                  EXPECT_TRUE(s.Choose(Dlg::kNumberStylePopup, FCNumberSettingsProfile::kStyleLowerLetters));
                  EXPECT_TRUE(s.Choose(Dlg::kFormattingPopup, 1));  // ( )
                  EXPECT_TRUE(s.Choose(Dlg::kAssignmentPopup, 1));
                  EXPECT_TRUE(s.ToggleOption(3));
                  EXPECT_TRUE(s.Click(Dlg::kAddButton));
                  EXPECT_EQ(0, s.d.SelectedRow(s(Dlg::kNumberStylePopup))) << "the new profile shows the defaults";
                  EXPECT_TRUE(s.SelectProfile(0));
                  EXPECT_EQ(FCNumberSettingsProfile::kStyleLowerLetters, s.d.SelectedRow(s(Dlg::kNumberStylePopup)));
                  EXPECT_EQ(1, s.d.SelectedRow(s(Dlg::kFormattingPopup)));
                  EXPECT_FALSE(s.MaxValueSizeEnabled()) << "( ) shows no maximum";
                  EXPECT_TRUE(s.d.IsRowChecked(s(Dlg::kOptionsList), 3));
                  EXPECT_EQ(Example({"(a)", "(b)", "(c)", "(d)", "(e)"}), s.Example());
                  // B is edited and left for A before confirming.
                  EXPECT_TRUE(s.SelectProfile(1));
                  EXPECT_FALSE(s.Choose(Dlg::kMaxValueSizePopup, 3)) << "disabled with B's formatting";
                  EXPECT_TRUE(s.Choose(Dlg::kFormattingPopup, 4));  // x (Max)
                  EXPECT_TRUE(s.Choose(Dlg::kMaxValueSizePopup, 3));
                  EXPECT_TRUE(s.Type(Dlg::kStepsField, "4"));
                  EXPECT_TRUE(s.SelectProfile(0));
                  EXPECT_TRUE(s.Click(Dlg::kOkButton));
              }));
    EXPECT_EQ((Rows{"A|3|1|153|1|1|0|1", "B|0|4|145|4|1|3|0", "Profile Name|0|0|145|1|1|0|0"}), DescribeAll(profiles));
}

// Steps and start are read within 1..1000 both for the example and for the stored profile.
TEST_F(ProfileEditorTest, TheExampleLineFollowsTheControls) {
    const struct {
        int style;
        int formatting;
        const char* steps;
        const char* start;
        int toggledOption;  // -1: none
        bool maxSizeEnabled;
        std::string example;
        int storedSteps;
        int storedStart;
    } cases[] = {
        {1, 8, "2", "3", -1, true, Example({"III/XI", "V/XI", "VII/XI", "IX/XI", "XI/XI"}), 2, 3},
        {0, 4, "1", "1", -1, true, Example({"1 (5)", "2 (5)", "3 (5)", "4 (5)", "5 (5)"}), 1, 1},
        // "Only Max value on First": only number 1 shows the maximum.
        {0, 7, "1", "1", 8, true, Example({"1-5", "2", "3", "4", "5"}), 1, 1},
        // Italics never reach the example line.
        {2, 13, "1", "26", 7, true, Example({"Z {-DD}", "AA {-DD}", "BB {-DD}", "CC {-DD}", "DD {-DD}"}), 1, 26},
        {3, 1, "10", "1", -1, false, Example({"(a)", "(k)", "(u)", "(ee)", "(oo)"}), 10, 1},
        {0, 3, "1", "0", -1, false, Example({"{1}", "{2}", "{3}", "{4}", "{5}"}), 1, 1},
        {0, 0, "5000", "-7", -1, false, Example({"1", "1001", "2001", "3001", "4001"}), 1000, 1},
        {0, 0, "x", "999", -1, false, Example({"999", "1000", "1001", "1002", "1003"}), 1, 999},
        {0, 0, "99999999999", "12x", -1, false, Example({"12", "1012", "2012", "3012", "4012"}), 1000, 12},
        {0, 0, "", " 1000", -1, false, Example({"1000", "1001", "1002", "1003", "1004"}), 1, 1000},
    };
    for (const auto& c : cases) {
        FCNumberSettingsProfiles profiles;
        AddProfile(&profiles, "Example");
        Edit(&profiles, 0, [&](const Screen& s) {
            EXPECT_TRUE(s.Choose(Dlg::kNumberStylePopup, c.style));
            EXPECT_TRUE(s.Choose(Dlg::kFormattingPopup, c.formatting));
            EXPECT_TRUE(s.Type(Dlg::kStepsField, c.steps));
            EXPECT_TRUE(s.Type(Dlg::kStartField, c.start));
            if (c.toggledOption >= 0) {
                EXPECT_TRUE(s.ToggleOption(c.toggledOption));
            }
            EXPECT_EQ(c.example, s.Example()) << c.style << "/" << c.formatting << " " << c.steps << " " << c.start;
            EXPECT_EQ(c.maxSizeEnabled, s.MaxValueSizeEnabled()) << c.formatting;
            EXPECT_TRUE(s.Click(Dlg::kOkButton));
        });
        EXPECT_EQ(c.storedSteps, profiles.GetItemAt(0)->GetSteps()) << "steps \"" << c.steps << "\"";
        EXPECT_EQ(c.storedStart, profiles.GetItemAt(0)->GetStartAt()) << "start \"" << c.start << "\"";
    }
}

TEST_F(ProfileEditorTest, NamesAreTrimmedAndAnEmptyNameKeepsTheOldOne) {
    FCNumberSettingsProfiles profiles;
    AddProfile(&profiles, "First");
    AddProfile(&profiles, "Second");
    EXPECT_EQ(Dlg::kResultOk, Edit(&profiles, 0, [](const Screen& s) {
                  EXPECT_TRUE(s.Type(Dlg::kNameField, "  Bars  "));
                  EXPECT_EQ((Rows{"Bars", "Second"}), s.Profiles());
                  EXPECT_TRUE(s.SelectProfile(1));
                  EXPECT_TRUE(s.Type(Dlg::kNameField, "   "));
                  EXPECT_EQ((Rows{"Bars", ""}), s.Profiles()) << "the row follows the field while typing";
                  EXPECT_TRUE(s.SelectProfile(0));
                  EXPECT_EQ((Rows{"Bars", "Second"}), s.Profiles()) << "left empty, the old name comes back";
                  EXPECT_TRUE(s.Type(Dlg::kNameField, ""));
                  EXPECT_TRUE(s.Click(Dlg::kOkButton));
              }));
    EXPECT_EQ("Bars", profiles.GetItemAt(0)->GetName()->GetUTF8());
    EXPECT_EQ("Second", profiles.GetItemAt(1)->GetName()->GetUTF8());
}

TEST_F(ProfileEditorTest, WithoutASelectedProfileConfirmingWaitsForOne) {
    for (int index : {2, -1}) {
        FCNumberSettingsProfiles profiles;
        AddProfile(&profiles, "First");
        AddProfile(&profiles, "Second")->SetNumberStyle(FCNumberSettingsProfile::kStyleUpperLetters);
        int selected = -99;
        const int result = Edit(
            &profiles, index,
            [](const Screen& s) {
                EXPECT_EQ(-1, s.SelectedProfile());
                EXPECT_EQ("", s.Text(Dlg::kNameField)) << "no profile is shown";
                EXPECT_TRUE(s.Click(Dlg::kOkAndUseButton));
                EXPECT_TRUE(s.Click(Dlg::kOkButton));
                EXPECT_TRUE(s.d.PressEnter(s.dialog));
                EXPECT_TRUE(s.Click(Dlg::kDeleteButton));
                EXPECT_NE(nullptr, s.d.Dialog(Dlg::kTemplateID)) << "the editor stays open";
                EXPECT_EQ((Rows{"First", "Second"}), s.Profiles());
                // Typing with no profile shown changes none; a new profile starts from the defaults.
                EXPECT_TRUE(s.Type(Dlg::kStepsField, "9"));
                EXPECT_TRUE(s.Click(Dlg::kAddButton));
                EXPECT_EQ((Rows{"First", "Second", "Profile Name"}), s.Profiles());
                EXPECT_EQ("1", s.Text(Dlg::kStepsField));
                EXPECT_TRUE(s.SelectProfile(1));
                EXPECT_EQ("Second", s.Text(Dlg::kNameField));
                EXPECT_EQ(Example({"A", "B", "C", "D", "E"}), s.Example());
                EXPECT_TRUE(s.Click(Dlg::kOkAndUseButton));
            },
            &selected);
        EXPECT_EQ(Dlg::kResultOkAndUse, result) << index;
        EXPECT_EQ(1, selected) << index;
        EXPECT_EQ((Rows{"First|0|0|145|1|1|0|0", "Second|2|0|145|1|1|0|0", "Profile Name|0|0|145|1|1|0|0"}),
                  DescribeAll(profiles))
            << index;
    }
}

}  // namespace
