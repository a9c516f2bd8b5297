// The profile editor's layout on the simulated desktop, pixel for pixel: the desktop computes the
// template's dialog units and its dialog's frame exactly as written down here. The system's
// dialog manager rounds some sizes differently and draws its own frame, so on Windows the same
// picture is compared without positions (FCNumberProfilesDlg_test.cpp, with the editor's
// behaviour).
#include "tests/framework/ui/DesktopFixture.h"

#include "framework/ui/FCUI.h"
#include "profiles/FCNumberProfilesDlg.h"

#include <gtest/gtest.h>

#include <string>

using simhost::DesktopDriver;
typedef FCNumberProfilesDlg Dlg;

namespace {

FCNumberSettingsProfile* AddProfile(FCNumberSettingsProfiles* profiles, const char* name) {
    FCNumberSettingsProfile* profile = new FCNumberSettingsProfile;
    const FCString text(name);
    profile->SetName(&text);
    profiles->Add(profile);
    return profile;
}

typedef DesktopTest ProfileEditorLayout;

}  // namespace

TEST_F(ProfileEditorLayout, PlacesEveryControlAsTheTemplateSays) {
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
    driver.OnNextModalDialog([&](DesktopDriver& d, HWND dialog) {
        picture = d.Picture(dialog);
        d.Click(d.Control(dialog, Dlg::kCancelButton));
    });
    FCUI ui(driver.HostWindow());
    int chosen = -1;
    Dlg::EditProfiles(&ui, &profiles, 1, &chosen);
    EXPECT_EQ(
        "dialog 20129 \"QZ Pattern - Number Profile Editor\" at 8,31 size 636x504 (client 630x475) active\n"
        "  [-1] label \"Profiles:\" at 15,16 204x13\n"
        "  [102] listbox [Default Profile|*Every second] at 15,33 204x68\n"
        "  [103] button \"Add\" at 242,41 48x22\n"
        "  [104] button \"Delete\" at 242,73 46x23\n"
        "  [105] line at 15,115 600x4\n"
        "  [-1] label \"Profile Name:\" at 15,138 197x13\n"
        "  [106] edit \"Every second\" at 15,153 198x23\n"
        "  [114] list at 15,195 270x195\n"
        "      [ ] Always at end of region\n"
        "      [x] Always at start of system\n"
        "      [ ] Always at end of system\n"
        "      [ ] Restart sequence after double barline\n"
        "      [ ] Restart sequence after final barline\n"
        "      [ ] Restart sequence after solid barline\n"
        "      [ ] Restart sequence after rehearsal mark\n"
        "      [ ] Max value as Italics\n"
        "      [x] Only Max value on First\n"
        "  [-1] label \"Number Style:\" at 300,179 105x13\n"
        "  [107] popup \"A, B, C, D, ...\" of [1, 2, 3, 4, ...|I, II, III, IV, ...|A, B, C, D, ...|a, b, c, d, ...] "
        "at 300,195 105x21\n"
        "  [108] label \"Formatting:\" at 300,228 105x13\n"
        "  [109] popup \"x [Max]\" of [None|( )|[ ]|{ }|x (Max)|x [Max]|x {Max}|x-Max|x/Max|x - Max|x / Max|x "
        "(-Max)|x [-Max]|x {-Max}] at 300,244 105x21\n"
        "  [110] label \"Max value font size:\" at 300,276 105x13\n"
        "  [111] popup \"2 points smaller\" of [Same font size|2 points smaller|4 points smaller|6 points smaller] "
        "at 300,293 105x21\n"
        "  [112] label \"Assignment:\" at 420,179 195x13\n"
        "  [113] popup \"Parts only\" of [Score and Parts|Score only|Parts only|Based on current Score/Part view] at "
        "420,195 195x21\n"
        "  [115] label \"Show on every\" at 300,341 90x13\n"
        "  [116] edit \"2\" at 390,338 30x23\n"
        "  [117] label \"element, starting at element\" at 435,341 143x13\n"
        "  [118] edit \"3\" at 578,338 30x23\n"
        "  [-1] label \"Example:\" at 15,410 90x13\n"
        "  [119] label \"C,     E,     G,     I,     K\" at 105,410 450x13\n"
        "  [1] button \"OK and Use\" default at 90,442 86x23\n"
        "  [101] button \"OK\" at 225,442 50x23\n"
        "  [2] button \"Cancel\" at 330,442 50x23\n",
        picture);
}
