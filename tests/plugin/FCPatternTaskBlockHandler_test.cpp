// The handler base: popup tables, handler creation per task, and the respacing of the selection
// in every part (checked against the stand-in host's command log).
#include "plugin/FCPatternTaskBlockHandler.h"

#include "framework/score/FCMusicRegion.h"
#include "plugin/PatternSettings.h"
#include "simhost/Document.h"
#include "simhost/DocumentBuilder.h"
#include "simhost/SimHost.h"
#include "tests/plugin/TaskTestWindow.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>
#include <vector>

namespace {

const TaskPopupItem kKeyed[] = {{5, "five"}, {0, "zero"}, {-3, "minus three"}, {5, "five again"}};

std::vector<std::string> Rows(FCCtrlPopup& popup) {
    std::vector<std::string> rows;
    for (int i = 0; i < popup.GetCount(); ++i) {
        FCString text;
        popup.GetItemText(i, &text);
        rows.push_back(text.GetUTF8());
    }
    return rows;
}

}  // namespace

TEST(TaskPopups, FillPopupSelectsTheFirstRowWithTheKeyOrRowZero) {
    struct Row {
        int count;
        int key;
        int selected;
    };
    const Row rows[] = {{4, 5, 0}, {4, 0, 1}, {4, -3, 2}, {4, 7, 0}, {4, INT_MIN, 0}, {2, -3, 0}, {3, -3, 2}};
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.count) + " rows, key " + std::to_string(row.key));
        FCCtrlPopup popup(104);
        popup.AddItemCString("left over");
        FCPatternTaskBlockHandler::FillPopup(&popup, row.count, kKeyed, row.key);
        ASSERT_EQ(row.count, popup.GetCount());
        EXPECT_EQ("five", Rows(popup)[0]);
        EXPECT_EQ(row.selected, popup.GetSelectedItem());
        EXPECT_EQ(kKeyed[row.selected].key, FCPatternTaskBlockHandler::GetPopupKey(&popup, row.count, kKeyed));
    }
    FCCtrlPopup popup(104);
    popup.AddItemCString("left over");
    FCPatternTaskBlockHandler::FillPopup(&popup, 0, kKeyed, 0);
    EXPECT_EQ(0, popup.GetCount());
    FCPatternTaskBlockHandler::FillPopup(nullptr, 4, kKeyed, 0);
}

TEST(TaskPopups, GetPopupKeyFallsBackToRowZeroAndAnswersMinusOneForAnEmptyTable) {
    FCCtrlPopup popup(104);
    for (const TaskPopupItem& item : kKeyed) popup.AddItemCString(item.text);
    EXPECT_EQ(-1, popup.GetSelectedItem());
    EXPECT_EQ(5, FCPatternTaskBlockHandler::GetPopupKey(&popup, 4, kKeyed)) << "nothing selected";
    popup.SetSelectedItem(3);
    EXPECT_EQ(5, FCPatternTaskBlockHandler::GetPopupKey(&popup, 3, kKeyed)) << "selection beyond the count";
    popup.SetSelectedItem(2);
    EXPECT_EQ(-3, FCPatternTaskBlockHandler::GetPopupKey(&popup, 3, kKeyed));
    EXPECT_EQ(-1, FCPatternTaskBlockHandler::GetPopupKey(&popup, 0, kKeyed));
    EXPECT_EQ(-1, FCPatternTaskBlockHandler::GetPopupKey(&popup, 3, nullptr));
    EXPECT_EQ(5, FCPatternTaskBlockHandler::GetPopupKey(nullptr, 3, kKeyed));
}

TEST(TaskHandlers, EachCatalogueTaskGetsTheHandlerOfItsCategoryWithTheWindowsControls) {
    FCUI ui(nullptr);
    tasktest::TaskTestWindow window(&ui);
    struct Row {
        int task;
        const char* handler;
    };
    const Row rows[] = {
        {1001, "FCBeamedGroupsBlockHandler"},
        {1005, "FCBeamedGroupsBlockHandler"},
        {1101, "FCChordsBlockHandler"},
        {1201, "FCDynamicsBlockHandler"},
        {1203, "FCDynamicsBlockHandler"},
        {1301, "FCPerformanceNotationBlockHandler"},
        {1303, "FCPerformanceNotationBlockHandler"},
        {1402, "FCSequencesBlockHandler"},
        {1405, "FCSequencesBlockHandler"},
    };
    for (const Row& row : rows) {
        std::unique_ptr<FCPatternTaskBlockHandler> handler(window.CreateTaskHandler(row.task));
        ASSERT_NE(nullptr, handler) << row.task;
        EXPECT_STREQ(row.handler, handler->ClassName());
        EXPECT_EQ(row.task, handler->GetTaskID());
        EXPECT_EQ(&ui, handler->GetUI());
        EXPECT_EQ(&window, handler->GetWindow());
        EXPECT_EQ(nullptr, handler->GetUndoBlock());
    }
    for (int task : {0, 1, 3, 1000, 1302, 1406}) EXPECT_EQ(nullptr, window.CreateTaskHandler(task)) << task;

    // The rows each task registered point at the window's own controls.
    const int counts[] = {2, 0, 7, 5, 2, 2, 5, 9, 12, 9, 9, 8, 6, 9, 0};
    for (int i = 0; i < taskcatalogue::kTaskCount; ++i) {
        SCOPED_TRACE(taskcatalogue::GetTaskID(i));
        ASSERT_EQ(counts[i], window.panels[i].GetCount());
        for (int r = 0; r < window.panels[i].GetCount(); ++r) {
            FCControl* control = window.panels[i].GetItemAt(r)->GetControl();
            ASSERT_NE(nullptr, control);
            EXPECT_EQ(control, window.GetControl(control->GetControlID()));
            EXPECT_NE(taskwindow::kDataList, control->GetControlID());
        }
        // A relative rule always has a row before it.
        if (counts[i]) {
            EXPECT_GE(window.panels[i].GetItemAt(0)->GetVerticalRule(), 0);
        }
    }
}

TEST(TaskHandlers, NoTaskChangesTheDocumentYet) {
    FCUI ui(nullptr);
    tasktest::TaskTestWindow window(&ui);
    for (int i = 0; i < taskcatalogue::kTaskCount; ++i) {
        const int task = taskcatalogue::GetTaskID(i);
        std::unique_ptr<FCPatternTaskBlockHandler> handler(window.CreateTaskHandler(task));
        EXPECT_FALSE(handler->Execute()) << task;
    }
}

namespace {

class Respacing : public ::testing::Test {
protected:
    void SetUp() override {
        staves = doc.AddStaves(4);
        doc.AddMeasures(8);
        parts.push_back(doc.AddPart({staves[0], staves[1]}));
        parts.push_back(doc.AddPart({staves[2]}));
        ASSERT_TRUE(doc.Ok());
        ASSERT_TRUE(doc.Select(2, 3, 3, 5, 512, 2048));
        selection = View().Selection();
        handler.reset(window.CreateTaskHandler(1002));
    }
    static simhost::DocumentView& View() { return simhost::CurrentDocument().View(); }
    // The region of a logged command.
    static FCMusicRegion Region(const simhost::RegionData& data) { return FCMusicRegion(data.data()); }

    simhost::DocumentBuilder doc;
    std::vector<int> staves;
    std::vector<int> parts;
    simhost::RegionData selection;
    FCUI ui{nullptr};
    tasktest::TaskTestWindow window{&ui};
    std::unique_ptr<FCPatternTaskBlockHandler> handler;
};

}  // namespace

TEST_F(Respacing, RunsTheRespacingCommandInEveryPartOverAllStavesOfTheSelectedMeasures) {
    handler->RespaceSelection(true);
    const std::vector<simhost::HostCommand>& commands = View().Commands();
    ASSERT_EQ(3u, commands.size());
    const int32_t expectedParts[] = {0, parts[0], parts[1]};
    const int expectedSlots[] = {4, 2, 1};
    for (size_t i = 0; i < commands.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(simhost::HostCommand::kMenuItem, commands[i].kind);
        EXPECT_EQ(12106, commands[i].command);
        EXPECT_EQ(expectedParts[i], commands[i].part);
        const FCMusicRegion region = Region(commands[i].selection);
        EXPECT_EQ(3, region.GetStartMeasure());
        EXPECT_EQ(5, region.GetEndMeasure());
        EXPECT_EQ(0, region.GetStartMeasurePos());
        EXPECT_TRUE(region.IsEndMeasurePosMax());
        EXPECT_EQ(1, region.GetStartSlot());
        EXPECT_EQ(expectedSlots[i], region.GetEndSlot());
    }
    EXPECT_EQ(selection, View().Selection()) << "the user's selection is given back";
    EXPECT_EQ(0, View().CurrentPart());
}

TEST_F(Respacing, WithoutAllPartsRespacesThePartInViewOnly) {
    ASSERT_NE(0, hostapi::FX_SetCurrentPartID(parts[1], kFXInterfaceVersion));
    ASSERT_TRUE(doc.Select(1, 1, 2, 2));
    selection = View().Selection();
    handler->RespaceSelection(false);
    ASSERT_EQ(1u, View().Commands().size());
    EXPECT_EQ(parts[1], View().Commands()[0].part);
    EXPECT_EQ(2, Region(View().Commands()[0].selection).GetStartMeasure());
    EXPECT_EQ(2, Region(View().Commands()[0].selection).GetEndMeasure());
    EXPECT_EQ(selection, View().Selection());
    EXPECT_EQ(parts[1], View().CurrentPart());
}

TEST_F(Respacing, SkipsPartsTheHostCannotShowAndRespacesNothingWithoutASelection) {
    simhost::SetFailing("FX_SetCurrentPartID");
    handler->RespaceSelection(true);
    // The score is in view already; the parts cannot be shown.
    ASSERT_EQ(1u, View().Commands().size());
    EXPECT_EQ(0, View().Commands()[0].part);
    EXPECT_EQ(selection, View().Selection());
    simhost::SetFailing("FX_SetCurrentPartID", false);
    View().ClearCommands();

    ASSERT_TRUE(doc.SelectNothing());
    handler->RespaceSelection(true);
    handler->RespaceSelection(false);
    EXPECT_TRUE(View().Commands().empty());
}
