// The module's lifetime through its exports: one window object for all invocations, the settings
// file read once (at the first invocation) and written once (at terminate), the storage file read
// at every opening and written at every close, and an open window closed by terminate.
#include "simhost/DialogService.h"
#include "tests/plugin/PluginFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace taskwindow;

namespace {

const char* const kTwoProfiles =
    "<QZPluginSettings><QZPattern><NumberSettingsProfiles>"
    "<NumberSettingsProfile Name=\"Measures\"/><NumberSettingsProfile Name=\"Roman\" NumberStyle=\"1\"/>"
    "</NumberSettingsProfiles></QZPattern></QZPluginSettings>";

class PluginLifetime : public PluginTest {};

}  // namespace

TEST_F(PluginLifetime, OpenCloseReopenAndTerminateKeepTheStateAndWriteTheFilesWhenDue) {
    folder->WriteBytes("qzpluginprefs.txt", "QZPT_TASK=1404\nMY_OWN_KEY=kept\n");
    folder->WriteBytes("qzpluginstorage.xml", kTwoProfiles);
    Invoke();
    ASSERT_NE(nullptr, dialog);
    FCPatternWindow* window = Window();
    EXPECT_EQ((std::vector<std::string>{"Measures", "Roman"}), driver.Rows(Item(kPopup3)));

    // The user picks a profile, another step method, moves the window and turns respacing off.
    ASSERT_TRUE(driver.ChoosePopupRow(Item(kPopup3), 1));
    ASSERT_TRUE(driver.ChoosePopupRow(Item(kPopup1), 3));
    ASSERT_TRUE(driver.Move(dialog, 150, 90));
    ASSERT_TRUE(driver.ToggleCheck(Item(kRespace)));
    ASSERT_TRUE(SelectTask("Chords", "Break"));            // stores the Numbered Steps options
    ASSERT_TRUE(driver.ChoosePopupRow(Item(kPopup1), 5));  // changed, then lost by closing
    ASSERT_TRUE(driver.CloseWindow(dialog));

    // Closing wrote the profiles, not the settings; the object and the settings stay.
    EXPECT_EQ(nullptr, driver.Dialog(kTemplateID));
    EXPECT_EQ(window, Window());
    EXPECT_EQ("QZPT_TASK=1404\nMY_OWN_KEY=kept\n", folder->ReadBytes("qzpluginprefs.txt"));
    const std::string storage = folder->ReadBytes("qzpluginstorage.xml");
    EXPECT_NE(std::string::npos, storage.find("Name=\"Roman\""));
    EXPECT_EQ(1101, ThePatternSettings().QZPT_TASK);
    EXPECT_EQ(0, ThePatternSettings().QZPT_CHORDS_BREAK_STYLE);
    EXPECT_FALSE(ThePatternSettings().QZPT_RESPACE_IF_NECESSARY);
    EXPECT_EQ(1, ThePatternSettings().QZPT_SEQUENCES_NUMSTEPS_PROFILE);
    EXPECT_EQ(3, ThePatternSettings().QZPT_SEQUENCES_NUMSTEPS_METHOD);

    // Between the openings the settings file changes on disk and a profile is added to the
    // storage file: the settings come from memory, the profiles from the file.
    folder->WriteBytes("qzpluginprefs.txt", "QZPT_TASK=1001\nQZPT_CHORDS_BREAK_STYLE=9\nMY_OWN_KEY=kept\n");
    std::string withThird = storage;
    withThird.insert(withThird.find("</NumberSettingsProfiles>"), "<NumberSettingsProfile Name=\"Third\"/>");
    folder->WriteBytes("qzpluginstorage.xml", withThird);
    Invoke();
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(window, Window()) << "no second window object";
    EXPECT_EQ(1, simhost::OpenDialogCount());
    EXPECT_EQ("Break", driver.SelectedTreeNode(Tree()));
    EXPECT_EQ(0, driver.SelectedRow(Item(kPopup1)));
    EXPECT_FALSE(driver.IsChecked(Item(kRespace)));
    EXPECT_EQ(150, driver.Bounds(dialog).left);
    EXPECT_EQ(90, driver.Bounds(dialog).top);
    ASSERT_TRUE(SelectTask("Sequences", "Numbered Steps"));
    EXPECT_EQ(3u, driver.Rows(Item(kPopup3)).size());
    EXPECT_EQ(1, driver.SelectedRow(Item(kPopup3)));
    EXPECT_EQ(3, driver.SelectedRow(Item(kPopup1)));
    const RECT open = driver.Bounds(dialog);
    ASSERT_TRUE(driver.Click(Item(kClose)));

    // Terminate after the close: the settings file gets everything, with the placement the
    // window had when it closed; keys it does not know stay.
    FinaleExtensionTerminate(nullptr);
    EXPECT_EQ(nullptr, Window());
    EXPECT_EQ(nullptr, patternplugin::GetUI());
    EXPECT_EQ("1404", SettingOnDisk("QZPT_TASK"));
    EXPECT_EQ("0", SettingOnDisk("QZPT_RESPACE_IF_NECESSARY"));
    EXPECT_EQ("1", SettingOnDisk("QZPT_SEQUENCES_NUMSTEPS_PROFILE"));
    EXPECT_EQ("0", SettingOnDisk("QZPT_CHORDS_BREAK_STYLE")) << "the settings in memory win over the file";
    EXPECT_EQ("kept", SettingOnDisk("MY_OWN_KEY"));
    EXPECT_EQ(std::to_string(open.left), SettingOnDisk("QZPT_WINDOWX"));
    EXPECT_EQ(std::to_string(open.top), SettingOnDisk("QZPT_WINDOWY"));
    EXPECT_EQ(std::to_string(open.right - open.left), SettingOnDisk("QZPT_WINDOWWIDTH"));
    EXPECT_EQ(std::to_string(open.bottom - open.top), SettingOnDisk("QZPT_WINDOWHEIGHT"));
}

TEST_F(PluginLifetime, TerminateClosesAnOpenWindowFirst) {
    Invoke();
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(SelectTask("Dynamics", "Hairpin Swells"));
    ASSERT_TRUE(driver.Move(dialog, 40, 50));
    EXPECT_FALSE(folder->Exists("qzpluginstorage.xml"));
    FinaleExtensionTerminate(nullptr);
    EXPECT_EQ(nullptr, driver.Dialog(kTemplateID));
    EXPECT_EQ(0, simhost::OpenDialogCount());
    EXPECT_NE(std::string::npos, folder->ReadBytes("qzpluginstorage.xml").find("Name=\"Default Profile\""));
    EXPECT_EQ("1203", SettingOnDisk("QZPT_TASK"));
    EXPECT_EQ("40", SettingOnDisk("QZPT_WINDOWX"));
    EXPECT_EQ("50", SettingOnDisk("QZPT_WINDOWY"));
}

TEST_F(PluginLifetime, InvokingAMinimisedWindowRestoresAndActivatesIt) {
    Invoke();
    ASSERT_NE(nullptr, dialog);
    const HWND first = dialog;
    ASSERT_TRUE(driver.Minimize(dialog));
    driver.ClickHostDocument();
    EXPECT_FALSE(driver.IsActive(dialog));
    Invoke();
    EXPECT_EQ(first, dialog);
    EXPECT_EQ(1, simhost::OpenDialogCount());
    EXPECT_TRUE(driver.IsActive(dialog));
    EXPECT_EQ(std::string::npos, driver.Picture(dialog).find("minimized"));
}

TEST_F(PluginLifetime, AWindowTheHostCannotOpenLeavesNothingOnScreenAndStillSavesAtTerminate) {
    simhost::SetFailing("FX_Dialog");
    Invoke();
    EXPECT_EQ(nullptr, dialog);
    ASSERT_NE(nullptr, Window());
    EXPECT_FALSE(Window()->WindowExists());
    FinaleExtensionTerminate(nullptr);
    EXPECT_EQ("0", SettingOnDisk("QZPT_TASK"));
    EXPECT_EQ("-1", SettingOnDisk("QZPT_WINDOWX"));
    EXPECT_FALSE(folder->Exists("qzpluginstorage.xml")) << "the window never opened, so it never closed";
}
