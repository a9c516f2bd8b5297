// The task window on the simulated desktop only. Its tree control never selects an item by itself,
// so an opening without a stored node shows no selection at all; the system's tree view selects
// its first item when it gets the focus, so on Windows that opening shows the first category.
// And its clock is exact, so the category refresh can be caught right at the timer's period.
// The rest of the task window runs on both desktops in FCPatternWindow_test.cpp.
#include "framework/markings/FCCategoryDef.h"
#include "tests/plugin/PluginFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace taskwindow;

namespace {

class SimulatedTaskWindow : public PluginTest {
protected:
    void OpenWith(int storedTask) {
        folder->WriteBytes("qzpluginprefs.txt", "QZPT_TASK=" + std::to_string(storedTask) + "\n");
        Invoke();
        ASSERT_NE(nullptr, dialog);
    }
};

std::string Joined(const std::vector<std::string>& rows) {
    std::string text;
    for (size_t i = 0; i < rows.size(); ++i) text += (i ? "|" : "") + rows[i];
    return text;
}

}  // namespace

TEST_F(SimulatedTaskWindow, AStoredValueNamingNoNodeOpensWithoutSelectionDescriptionOrPanel) {
    const std::vector<std::string> collapsed = {"+ Beamed Groups", "+ Chords", "+ Dynamics", "+ Performance Notation",
                                                "+ Sequences"};
    for (int stored : {9999, 0}) {
        SCOPED_TRACE(stored);
        OpenWith(stored);
        std::vector<std::string> categories;  // every category closed, none selected
        for (const std::string& line : driver.TreeNodes(Tree()))
            if (line[0] != ' ') categories.push_back(line);
        EXPECT_EQ(collapsed, categories);
        EXPECT_EQ("", Text(kDescription));
        EXPECT_FALSE(AnyOptionControlVisible());
        EXPECT_EQ(0, Window()->GetCurrentTask());
        FinaleExtensionTerminate(nullptr);
        ThePatternSettings().ResetToDefaults();
    }
}

TEST_F(SimulatedTaskWindow, TheCategoryPopupChangesAtTheTimersPeriodExactly) {
    FCCategoryDef category;
    const FCString name("Dynamics");
    category.SetName(&name);
    category.SetCategoryType(1);
    category.SetFlags(0x80);
    ASSERT_TRUE(category.SaveAs(1));
    OpenWith(1403);
    FCCategoryDef tempo;
    const FCString tempoName("Tempo Marks");
    tempo.SetName(&tempoName);
    tempo.SetCategoryType(2);
    ASSERT_TRUE(tempo.SaveAs(2));
    driver.AdvanceClock(299);
    EXPECT_EQ("Dynamics", Joined(driver.Rows(Item(kPopup1))));
    driver.AdvanceClock(1);
    EXPECT_EQ("Dynamics|Tempo Marks", Joined(driver.Rows(Item(kPopup1))));
}
