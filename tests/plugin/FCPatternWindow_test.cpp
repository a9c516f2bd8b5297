// The task window as the user meets it on the desktop (simulated on Linux, the system's own on
// Windows): what an opening shows for the stored task, the panel following the tree, option
// changes reaching the task's dependencies, the category lists following the document, window
// shade, resizing, and the profile editor opened from the panel.
#include "framework/markings/FCCategoryDef.h"
#include "plugin/TaskCatalogue.h"
#include "profiles/FCNumberProfilesDlg.h"
#include "simhost/Document.h"
#include "tests/plugin/PluginFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace taskwindow;

namespace {

std::string Joined(const std::vector<std::string>& rows) {
    std::string text;
    for (size_t i = 0; i < rows.size(); ++i) text += (i ? "|" : "") + rows[i];
    return text;
}

// A category record of the document.
void SaveCategory(int number, const char* name, int type, int flags) {
    FCCategoryDef category;
    const FCString text(name);
    category.SetName(&text);
    category.SetCategoryType(type);
    category.SetFlags(uint16_t(flags));
    ASSERT_TRUE(category.SaveAs(uint16_t(number)));
}

class TaskWindow : public PluginTest {
protected:
    // Opens the window with this task (or category, or nothing) stored as the last selection.
    void OpenWith(int storedTask, const std::string& moreSettings = "") {
        folder->WriteBytes("qzpluginprefs.txt", "QZPT_TASK=" + std::to_string(storedTask) + "\n" + moreSettings);
        Invoke();
        ASSERT_NE(nullptr, dialog);
    }
    std::string SelectedNode() const { return driver.SelectedTreeNode(Tree()); }
};

}  // namespace

TEST_F(TaskWindow, OpeningSelectsTheStoredNodeAndShowsItsPanelAndDescription) {
    struct Case {
        int stored;
        std::vector<std::string> tree;  // what the tree shows
        const char* description;
        int shownLabel;  // an option control the panel shows, 0 for none
        const char* label;
    };
    const Case cases[] = {
        {1303,
         {"+ Beamed Groups", "+ Chords", "+ Dynamics", "- Performance Notation", "  Articulations", "  Slurs *",
          "+ Sequences"},
         "Creates slurs according to a specific pattern. Slurs break at rests. Tied entries count as one. Grace note "
         "slurs are treated independently.",
         kStatic1,
         "Slur placement style:"},
        {1101,
         {"+ Beamed Groups", "- Chords", "  Break *", "+ Dynamics", "+ Performance Notation", "+ Sequences"},
         "Breaks a chord into a single-note sequence that spans the duration of the chord.",
         kStatic1,
         "Style:"},
        // A category number selects the category node: its description, no panel.
        {3,
         {"+ Beamed Groups", "+ Chords", "+ Dynamics *", "+ Performance Notation", "+ Sequences"},
         "Tasks related to dynamics patterns.",
         0,
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        OpenWith(c.stored);
        std::vector<std::string> tree;  // the categories, and the tasks of an open one
        bool open = false;
        for (const std::string& line : driver.TreeNodes(Tree())) {
            if (line[0] != ' ') open = line[0] == '-';
            if (line[0] != ' ' || open) tree.push_back(line);
        }
        EXPECT_EQ(c.tree, tree);
        EXPECT_EQ(c.description, Text(kDescription));
        if (c.shownLabel) {
            EXPECT_TRUE(Visible(c.shownLabel));
            EXPECT_EQ(c.label, Text(c.shownLabel));
            EXPECT_EQ(c.stored, Window()->GetCurrentTask());
        } else {
            EXPECT_FALSE(AnyOptionControlVisible());
            EXPECT_EQ(0, Window()->GetCurrentTask());
        }
        FinaleExtensionTerminate(nullptr);
        ThePatternSettings().ResetToDefaults();
    }
}

TEST_F(TaskWindow, ANewSelectionStoresThePreviousTasksOptionsFirst) {
    OpenWith(1001);
    ASSERT_TRUE(driver.ChoosePopupRow(Item(kPopup1), 4));
    EXPECT_EQ(0, ThePatternSettings().QZPT_BEAMEDGROUPS_REODER_STYLE) << "not stored while the task is shown";
    // A category node in between: the task's options are stored, the panel empties.
    ASSERT_TRUE(driver.SelectTreeNode(Tree(), "Chords"));
    EXPECT_EQ(4, ThePatternSettings().QZPT_BEAMEDGROUPS_REODER_STYLE);
    EXPECT_EQ("Tasks to transform note chords into patterns.", Text(kDescription));
    EXPECT_FALSE(AnyOptionControlVisible());

    ASSERT_TRUE(SelectTask("Chords", "Break"));
    ASSERT_TRUE(driver.ChoosePopupRow(Item(kPopup1), 2));
    ASSERT_TRUE(SelectTask("Beamed Groups", "Reorder Notes"));
    EXPECT_EQ(2, ThePatternSettings().QZPT_CHORDS_BREAK_STYLE);
    EXPECT_EQ(4, driver.SelectedRow(Item(kPopup1))) << "the panel shows the stored option again";
    EXPECT_EQ(1001, Window()->GetCurrentTask());
}

TEST_F(TaskWindow, OptionChangesApplyTheTasksDependencies) {
    OpenWith(1003);
    // "Slurred Notes" needs no number; "Last __ Note(s)" does.
    ASSERT_TRUE(driver.ChoosePopupRow(Item(kPopup2), 6));
    EXPECT_FALSE(driver.IsEnabled(Item(kEdit1)));
    ASSERT_TRUE(driver.ChoosePopupRow(Item(kPopup2), 2));
    EXPECT_TRUE(driver.IsEnabled(Item(kEdit1)));
    // "Merge if possible" follows "Keep existing articulations".
    const bool keep = driver.IsChecked(Item(kCheck1));
    EXPECT_EQ(keep, driver.IsEnabled(Item(kCheck2)));
    ASSERT_TRUE(driver.ToggleCheck(Item(kCheck1)));
    EXPECT_EQ(!keep, driver.IsEnabled(Item(kCheck2)));
}

TEST_F(TaskWindow, EnterAppliesAndEscapeDoesNothing) {
    OpenWith(1001);
    ASSERT_TRUE(driver.ChoosePopupRow(Item(kPopup1), 3));
    ASSERT_TRUE(driver.PressEscape(dialog));
    EXPECT_TRUE(driver.IsVisible(dialog));
    EXPECT_TRUE(driver.Beeps().empty());
    EXPECT_EQ(0, ThePatternSettings().QZPT_BEAMEDGROUPS_REODER_STYLE);
    // Enter is Apply: the options are stored and the task runs (it changes nothing yet: beep).
    ASSERT_TRUE(driver.PressEnter(dialog));
    EXPECT_EQ(3, ThePatternSettings().QZPT_BEAMEDGROUPS_REODER_STYLE);
    EXPECT_TRUE(driver.IsVisible(dialog));
}

TEST_F(TaskWindow, TheHiddenTasksButtonSelectsTheFirstNodeAndFocusesTheTree) {
    OpenWith(0);
    ASSERT_TRUE(Window()->HandleCommand(Window()->GetControl(kTasksButton)));
    EXPECT_EQ("Beamed Groups", SelectedNode());
    EXPECT_EQ("Tasks related to the pattern within a beamed group.", Text(kDescription));
    EXPECT_EQ(Tree(), GetFocus());
    // With a node selected, it only moves the focus.
    ASSERT_TRUE(SelectTask("Dynamics", "Hairpins"));
    SetFocus(Item(kApply));
    ASSERT_TRUE(Window()->HandleCommand(Window()->GetControl(kTasksButton)));
    EXPECT_EQ("Hairpins", SelectedNode());
    EXPECT_EQ(Tree(), GetFocus());
}

TEST_F(TaskWindow, TheCategoryPopupFollowsTheDocumentAtTheNextTimerTick) {
    SaveCategory(1, "Dynamics", 1, 0x80);
    OpenWith(1403);
    EXPECT_EQ("Dynamics", Joined(driver.Rows(Item(kPopup1))));

    // Listed: a text category; a dynamics-kind category only when offered for text. Hidden ones
    // and the other kinds without the flag stay out.
    SaveCategory(2, "Tempo Marks", 2, 0);
    SaveCategory(3, "Hidden", 3, 0x10 | 0x80);
    SaveCategory(4, "Rehearsal", 4, 0);
    SaveCategory(5, "Expressions", 5, 0);
    SaveCategory(6, "Numbers", 6, 0);
    EXPECT_EQ("Dynamics", Joined(driver.Rows(Item(kPopup1)))) << "not before the timer";
    driver.AdvanceClock(350);
    EXPECT_EQ("Dynamics|Tempo Marks|Numbers", Joined(driver.Rows(Item(kPopup1))));

    // A renamed category is a change; the stored name decides which row stays selected.
    ASSERT_TRUE(driver.ChoosePopupRow(Item(kPopup1), 2));
    SaveCategory(2, "Tempo", 2, 0);
    driver.AdvanceClock(350);
    EXPECT_EQ("Dynamics|Tempo|Numbers", Joined(driver.Rows(Item(kPopup1))));
    EXPECT_EQ(3, Window()->GetTaskCategories()->GetCount()) << "the window's copy holds the listed categories";
}

TEST_F(TaskWindow, WindowShadeRollsTheInactiveWindowUp) {
    struct Case {
        const char* options;
        bool shades;
    };
    for (const Case& c :
         {Case{"QZPATTERN_WINDOWSHADE=1\n", true}, Case{"QZPATTERN_WINDOWSHADE=true\n", false}, Case{"", false}}) {
        SCOPED_TRACE(c.options);
        folder->WriteBytes("qzpluginoptions.txt", c.options);
        OpenWith(1001);
        const RECT open = driver.Bounds(dialog);
        driver.ClickHostDocument();
        const RECT inactive = driver.Bounds(dialog);
        EXPECT_EQ(c.shades, Window()->IsShaded());
        EXPECT_EQ(open.left, inactive.left);
        EXPECT_EQ(open.right - open.left, inactive.right - inactive.left) << "the width stays";
        if (c.shades)
            EXPECT_LT(inactive.bottom - inactive.top, 60);
        else
            EXPECT_EQ(open.bottom, inactive.bottom);
        ASSERT_TRUE(driver.Activate(dialog));
        EXPECT_EQ(open.bottom - open.top, driver.Bounds(dialog).bottom - driver.Bounds(dialog).top);
        FinaleExtensionTerminate(nullptr);
    }
}

TEST_F(TaskWindow, ResizingMovesThePanelAndGrowsTheTree) {
    OpenWith(1001);
    const RECT window = driver.Bounds(dialog);
    const int width = window.right - window.left, height = window.bottom - window.top;
    const int ids[] = {kTree, kPopup1, kStatic1, kApply, kClose, kDescription, kRespace, kTasksLabel};
    auto snapshot = [&]() {
        std::vector<RECT> rects;
        for (int id : ids) rects.push_back(Bounds(id));
        return rects;
    };
    // dx, dy, and for each control above: left, top, width and height change as multiples of
    // (dx, dy) -- 1 moves or grows with the window, 0 stays.
    struct Change {
        int left, top, width, height;
    };
    const Change expected[] = {
        {0, 0, 1, 1},  // tree
        {1, 0, 0, 0},  // Popup1
        {1, 0, 0, 0},  // Static1
        {1, 1, 0, 0},  // Apply
        {1, 1, 0, 0},  // Close
        {0, 1, 1, 0},  // description
        {0, 1, 0, 0},  // "Respace if necessary"
        {0, 0, 1, 0},  // "&Tasks:"
    };
    for (auto delta : {std::pair<int, int>{40, 0}, std::pair<int, int>{0, 30}, std::pair<int, int>{-40, -30}}) {
        SCOPED_TRACE(std::to_string(delta.first) + "," + std::to_string(delta.second));
        const std::vector<RECT> before = snapshot();
        const RECT now = driver.Bounds(dialog);
        ASSERT_TRUE(driver.Resize(dialog, now.right - now.left + delta.first, now.bottom - now.top + delta.second));
        const std::vector<RECT> after = snapshot();
        for (size_t i = 0; i < before.size(); ++i) {
            SCOPED_TRACE(ids[i]);
            const Change& c = expected[i];
            EXPECT_EQ(before[i].left + c.left * delta.first, after[i].left);
            EXPECT_EQ(before[i].top + c.top * delta.second, after[i].top);
            EXPECT_EQ(before[i].right - before[i].left + c.width * delta.first, after[i].right - after[i].left);
            EXPECT_EQ(before[i].bottom - before[i].top + c.height * delta.second, after[i].bottom - after[i].top);
        }
    }
    // The window grows to 120 % of its first width at most and never below its first size.
    ASSERT_TRUE(driver.Resize(dialog, width * 2, height));
    EXPECT_EQ(std::lround(width * 1.2), driver.Bounds(dialog).right - driver.Bounds(dialog).left);
    ASSERT_TRUE(driver.Resize(dialog, width / 2, height / 2));
    EXPECT_EQ(width, driver.Bounds(dialog).right - driver.Bounds(dialog).left);
    EXPECT_EQ(height, driver.Bounds(dialog).bottom - driver.Bounds(dialog).top);
    // The next panel is laid out inside the moved frame.
    ASSERT_TRUE(driver.Resize(dialog, width + 40, height));
    ASSERT_TRUE(SelectTask("Chords", "Break"));
    EXPECT_EQ(Bounds(kSeparator).left, Bounds(kPopup1).left);
}

TEST_F(TaskWindow, TheProfileEditorRefreshesTheProfilePopupHoweverItCloses) {
    struct Case {
        int button;
        std::string rows;
        int selected;
    };
    const Case cases[] = {
        // "OK and Use": the new profile is used.
        {FCNumberProfilesDlg::kOkAndUseButton, "Default Profile|Profile Name", 1},
        // "OK": the list shows the new profile, the selection stays.
        {FCNumberProfilesDlg::kOkButton, "Default Profile|Profile Name", 0},
        // "Cancel": nothing changed.
        {FCNumberProfilesDlg::kCancelButton, "Default Profile", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        OpenWith(1403);
        EXPECT_EQ("Default Profile", Joined(driver.Rows(Item(kPopup2))));
        const int button = c.button;
        driver.OnNextModalDialog([button](simhost::DesktopDriver& d, HWND editor) {
            ASSERT_TRUE(d.Click(d.Control(editor, FCNumberProfilesDlg::kAddButton)));
            ASSERT_TRUE(d.Click(d.Control(editor, button)));
        });
        ASSERT_TRUE(driver.Click(Item(kTaskButton)));
        EXPECT_EQ(nullptr, driver.Dialog(FCNumberProfilesDlg::kTemplateID));
        EXPECT_EQ(c.rows, Joined(driver.Rows(Item(kPopup2))));
        EXPECT_EQ(c.selected, driver.SelectedRow(Item(kPopup2)));
        EXPECT_TRUE(driver.IsVisible(dialog));
        FinaleExtensionTerminate(nullptr);
        folder->WriteBytes("qzpluginstorage.xml", "");
    }
}
