// The window layer on the desktop (simulated on Linux, the system's own on Windows): the
// dispatcher's messages, showing and closing, stored state across reopening, shade, placement,
// deferred layout, timers, modal dialogs and the host's enabled state. Every event reaches the
// window the way Windows delivers it. Sizes come from the screen, never from one desktop's
// metrics; what only the simulated desktop can tell is in FCResourceWindow_linux_test.cpp.
#include "tests/framework/ui/DesktopFixture.h"
#include "tests/framework/ui/TestWindow.h"

#include "framework/ui/FCUI.h"
#include "simhost/DialogService.h"
#include "simhost/SimHost.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using simhost::DesktopDriver;
using uitest::Log;
using uitest::TestWindow;

namespace {

class WindowTest : public DesktopTest {
protected:
    HWND Open(TestWindow& window) {
        EXPECT_EQ(1, window.ShowModeless(driver.HostWindow()));
        return static_cast<HWND>(window.GetWindowHandle());
    }
    HWND Item(TestWindow& window, int id) { return driver.Control(static_cast<HWND>(window.GetWindowHandle()), id); }
    int Height(HWND window) { return driver.Bounds(window).bottom - driver.Bounds(window).top; }
    int Width(HWND window) { return driver.Bounds(window).right - driver.Bounds(window).left; }
    // A rolled-up window: the caption and the frame above and below it.
    int RolledUpHeight(HWND window) {
        RECT client;
        GetClientRect(window, &client);
        return GetSystemMetrics(SM_CYCAPTION) + Width(window) - (client.right - client.left);
    }
};

TEST_F(WindowTest, OpeningDeliversInitFirstAndActivationLast) {
    TestWindow window;
    HWND dialog = Open(window);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(dialog, driver.Dialog(uitest::kTestWindowTemplate));
    EXPECT_TRUE(driver.IsActive(dialog));
    ASSERT_FALSE(window.log.empty());
    EXPECT_EQ("init", window.log.front());
    EXPECT_EQ("activate", window.log.back());
    for (const std::string& resize : window.Entries("resize"))
        EXPECT_EQ("resize 450x325 from 450x325", resize) << "opening does not change the size";
    EXPECT_FALSE(window.IsClosed());
    // The outer size is the window's first minimum and maximum size.
    EXPECT_FLOAT_EQ(float(Width(dialog)), window.GetMinimumWidth());
    EXPECT_FLOAT_EQ(float(Height(dialog)), window.GetMaximumHeight());
    EXPECT_FLOAT_EQ(450, window.GetClientWidth()) << "300 dialog units of 8-point MS Sans Serif";
    // The control the template lacks got a native item of its own, at its default size.
    HWND missing = driver.Control(dialog, uitest::kMissing);
    ASSERT_NE(nullptr, missing);
    EXPECT_EQ(100, driver.Bounds(missing).right - driver.Bounds(missing).left);
}

TEST_F(WindowTest, ShowingAnOpenWindowAgainRestoresAndActivatesIt) {
    TestWindow window;
    HWND dialog = Open(window);
    ASSERT_TRUE(driver.Minimize(dialog));
    EXPECT_TRUE(IsIconic(dialog));
    driver.ClickHostDocument();
    EXPECT_FALSE(driver.IsActive(dialog));
    EXPECT_EQ(1, window.ShowModeless(driver.HostWindow()));
    EXPECT_EQ(dialog, window.GetWindowHandle()) << "no second native window";
    EXPECT_TRUE(driver.IsActive(dialog));
    EXPECT_FALSE(IsIconic(dialog));
    EXPECT_EQ(1, simhost::OpenDialogCount());
}

TEST_F(WindowTest, CommandsReachTheWindowByTheirControlsRole) {
    struct Row {
        const char* action;
        std::function<bool(DesktopDriver&, HWND)> act;
        Log expected;
        bool closed;
        int result;
    };
    const Row rows[] = {
        {"Enter (default button, OK role)", [](DesktopDriver& d, HWND w) { return d.PressEnter(w); }, {"ok"}, true, 1},
        {"Apply button",
         [](DesktopDriver& d, HWND w) { return d.Click(d.Control(w, uitest::kApply)); },
         {"ok"},
         true,
         1},
        {"Close button (close role)",
         [](DesktopDriver& d, HWND w) { return d.Click(d.Control(w, uitest::kClose)); },
         {"close"},
         true,
         0},
        {"close box", [](DesktopDriver& d, HWND w) { return d.CloseWindow(w); }, {"close"}, true, 0},
        {"Escape without a cancel control",
         [](DesktopDriver& d, HWND w) { return d.PressEscape(w); },
         {"command 0"},
         false,
         0},
        {"plain button",
         [](DesktopDriver& d, HWND w) { return d.Click(d.Control(w, uitest::kPressButton)); },
         {"command 110"},
         false,
         0},
    };
    for (const Row& row : rows) {
        DesktopDriver::ResetDesktop();
        TestWindow window;
        HWND dialog = Open(window);
        window.log.clear();
        EXPECT_TRUE(row.act(driver, dialog)) << row.action;
        Log seen;
        for (const std::string& entry : window.log)
            if (entry == "ok" || entry == "close" || entry.compare(0, 7, "command") == 0) seen.push_back(entry);
        EXPECT_EQ(row.expected, seen) << row.action;
        EXPECT_EQ(row.closed, window.IsClosed()) << row.action;
        EXPECT_EQ(row.closed, driver.Dialog(uitest::kTestWindowTemplate) == nullptr) << row.action;
        EXPECT_EQ(row.result, window.GetModalResult()) << row.action;
    }
}

TEST_F(WindowTest, EveryControlReportsItsChangesAsCommands) {
    TestWindow window;
    HWND dialog = Open(window);
    for (const char* text : {"Zero", "One", "Two"}) window.popup->AddItemCString(text);
    FCString name("Row");
    window.listBox->AddItem(&name);
    window.listBox->AddItem(&name);
    window.tree->AddNode(nullptr, true, &name);
    window.log.clear();

    EXPECT_TRUE(driver.ChoosePopupRow(Item(window, uitest::kPopup), 2));
    EXPECT_TRUE(driver.Type(Item(window, uitest::kEdit), "12"));
    EXPECT_TRUE(driver.ToggleCheck(Item(window, uitest::kCheck)));
    EXPECT_TRUE(driver.SelectListRow(Item(window, uitest::kListBox), 1));
    EXPECT_TRUE(driver.SelectTreeNode(Item(window, uitest::kTree), "Row"));
    for (int id : {uitest::kPopup, uitest::kEdit, uitest::kCheck, uitest::kListBox, uitest::kTree})
        EXPECT_FALSE(window.Entries("command " + std::to_string(id)).empty()) << id;
    EXPECT_EQ(2, window.popup->GetSelectedItem());
    EXPECT_EQ(12, window.edit->GetInteger());
    EXPECT_EQ(1, window.check->GetCheck());
    EXPECT_EQ(1, window.listBox->GetSelectedItem());
    ASSERT_NE(nullptr, window.tree->GetSelectedNode());
    EXPECT_EQ(dialog, driver.ActiveWindow());
}

TEST_F(WindowTest, HiddenAndDisabledControlsCannotBeUsed) {
    TestWindow window;
    HWND dialog = Open(window);
    window.press->SetEnable(false);
    EXPECT_FALSE(driver.IsEnabled(Item(window, uitest::kPressButton)));
    EXPECT_FALSE(window.press->GetEnable());
    EXPECT_FALSE(driver.Click(Item(window, uitest::kPressButton)));
    EXPECT_FALSE(driver.Click(Item(window, uitest::kHiddenButton)));
    EXPECT_FALSE(window.hidden->GetVisible());
    window.hidden->SetVisible(true);
    EXPECT_TRUE(driver.Click(Item(window, uitest::kHiddenButton)));
    EXPECT_EQ((Log{"command 109"}), window.Entries("command"));
    EXPECT_FALSE(driver.ChoosePopupRow(Item(window, uitest::kPopup), 0)) << "no such row";
    EXPECT_FALSE(driver.Click(driver.Control(dialog, 4711)));
}

TEST_F(WindowTest, StoredStateSurvivesClosingAndReopening) {
    TestWindow window;
    // Before the window is ever on screen: stored state only.
    for (const char* text : {"Zero", "One", "Two"}) window.popup->AddItemCString(text);
    window.popup->SetSelectedItem(1);
    FCString text("Stored text");
    window.label->SetText(&text);
    window.edit->SetInteger(42);
    window.check->SetCheck(1);
    FCString row("first");
    window.listBox->AddItem(&row);
    row.SetCString("second");
    window.listBox->AddItem(&row);
    window.listBox->SetSelectedItem(1);
    FCTreeNode* category = window.tree->AddNode(nullptr, true, &text);
    FCString taskName("Task");
    FCTreeNode* task = window.tree->AddNode(category, false, &taskName);
    window.tree->SelectNode(task);
    FCString title("Options");
    window.dataList->AddColumn(&title, 100);
    window.dataList->SetCheckboxes(true);
    window.dataList->AddRow()->AddCString("Option A");
    window.dataList->AddRow()->AddCString("Option B");
    window.dataList->SetRowCheck(1, true);
    window.press->SetEnable(false);
    window.line->SetVisible(false);

    HWND dialog = Open(window);
    EXPECT_EQ(1, driver.SelectedRow(Item(window, uitest::kPopup))) << "the selection set before opening is shown";
    EXPECT_EQ((std::vector<std::string>{"Zero", "One", "Two"}), driver.Rows(Item(window, uitest::kPopup)));
    EXPECT_EQ("Stored text", driver.Text(Item(window, uitest::kLabel)));
    EXPECT_EQ("42", driver.Text(Item(window, uitest::kEdit)));
    EXPECT_TRUE(driver.IsChecked(Item(window, uitest::kCheck)));
    EXPECT_EQ(1, driver.SelectedRow(Item(window, uitest::kListBox)));
    EXPECT_EQ("Task", driver.SelectedTreeNode(Item(window, uitest::kTree)));
    EXPECT_EQ((std::vector<std::string>{"Option A", "Option B"}), driver.Rows(Item(window, uitest::kDataList)));
    EXPECT_FALSE(driver.IsRowChecked(Item(window, uitest::kDataList), 0));
    EXPECT_TRUE(driver.IsRowChecked(Item(window, uitest::kDataList), 1));
    EXPECT_FALSE(driver.IsEnabled(Item(window, uitest::kPressButton)));
    EXPECT_FALSE(driver.IsVisible(Item(window, uitest::kLine)));

    // The user changes things, moves the window and closes it.
    EXPECT_TRUE(driver.ChoosePopupRow(Item(window, uitest::kPopup), 2));
    EXPECT_TRUE(driver.Type(Item(window, uitest::kEdit), "7"));
    EXPECT_TRUE(driver.ToggleCheck(Item(window, uitest::kCheck)));
    EXPECT_TRUE(driver.ToggleListCheck(Item(window, uitest::kDataList), 0));
    EXPECT_TRUE(driver.Move(dialog, 100, 120));
    EXPECT_TRUE(driver.Click(Item(window, uitest::kClose)));
    ASSERT_FALSE(window.WindowExists());

    // Closed: the objects answer from the stored state.
    EXPECT_EQ(2, window.popup->GetSelectedItem());
    EXPECT_EQ(7, window.edit->GetInteger());
    EXPECT_EQ(0, window.check->GetCheck());
    EXPECT_TRUE(window.dataList->GetRowCheck(0));
    EXPECT_EQ(task, window.tree->GetSelectedNode());
    EXPECT_FLOAT_EQ(100, window.GetLeft());

    // Reopened: the same values on screen again, at the same place.
    window.log.clear();
    dialog = Open(window);
    EXPECT_EQ(1u, window.Entries("init").size());
    EXPECT_EQ(2, driver.SelectedRow(Item(window, uitest::kPopup)));
    EXPECT_EQ("7", driver.Text(Item(window, uitest::kEdit)));
    EXPECT_FALSE(driver.IsChecked(Item(window, uitest::kCheck)));
    EXPECT_TRUE(driver.IsRowChecked(Item(window, uitest::kDataList), 0));
    EXPECT_EQ("Task", driver.SelectedTreeNode(Item(window, uitest::kTree)));
    EXPECT_EQ((std::vector<std::string>{"first", "second"}), driver.Rows(Item(window, uitest::kListBox)));
    EXPECT_EQ(100, driver.Bounds(dialog).left);
    EXPECT_EQ(120, driver.Bounds(dialog).top);
    EXPECT_FALSE(driver.IsEnabled(Item(window, uitest::kPressButton)));
}

TEST_F(WindowTest, ReadingAPopupWithoutSelectionGivesMinusOne) {
    TestWindow window;
    Open(window);
    EXPECT_EQ(-1, window.popup->GetSelectedItem()) << "empty";
    for (const char* text : {"Zero", "One"}) window.popup->AddItemCString(text);
    EXPECT_EQ(-1, window.popup->GetSelectedItem()) << "items, none selected";
    window.popup->SetSelectedItem(1);
    EXPECT_EQ(1, window.popup->GetSelectedItem());
    window.popup->SetSelectedItem(5);
    EXPECT_EQ(-1, window.popup->GetSelectedItem()) << "an index outside the list clears the selection";
    EXPECT_EQ(-1, driver.SelectedRow(Item(window, uitest::kPopup)));
}

TEST_F(WindowTest, IntegerReadsOfTypedTextAreClamped) {
    struct Row {
        const char* typed;
        int lower;
        int upper;
        int expected;
    };
    const Row rows[] = {{"0", 1, 10, 1}, {"25", 1, 10, 10}, {"25", 5, 5, 25}, {"-3", -5, 5, -3}, {"", 1, 10, 1}};
    TestWindow window;
    Open(window);
    for (const Row& row : rows) {
        EXPECT_TRUE(driver.Type(Item(window, uitest::kEdit), row.typed));
        EXPECT_EQ(row.expected, window.edit->GetRangeInteger(row.lower, row.upper))
            << "\"" << row.typed << "\" in " << row.lower << ".." << row.upper;
    }
}

TEST_F(WindowTest, MeasurementsGoThroughTheHostsUnit) {
    struct Row {
        simhost::MeasurementUnit unit;
        const char* typed;
        double evpus;
        double shown;
        const char* expectedText;
    };
    const Row rows[] = {
        {simhost::MeasurementUnit::Inches, "1.5", 432, 144, "0.5"},
        {simhost::MeasurementUnit::Points, "10", 40, 6, "1.5"},
        {simhost::MeasurementUnit::EVPUs, "-168", -168, -168, "-168"},
        {simhost::MeasurementUnit::Centimeters, "2,54", 288, 288, "2.54"},
        {simhost::MeasurementUnit::Spaces, "2", 48, 12, "0.5"},
    };
    TestWindow window;
    Open(window);
    for (const Row& row : rows) {
        simhost::SetMeasurementUnit(row.unit);
        EXPECT_TRUE(driver.Type(Item(window, uitest::kMeasureEdit), row.typed));
        EXPECT_NEAR(row.evpus, window.measure->GetMeasurement(), 1e-9) << row.typed;
        window.measure->SetMeasurement(row.shown);
        EXPECT_EQ(row.expectedText, driver.Text(Item(window, uitest::kMeasureEdit)));
    }
    simhost::SetMeasurementUnit(simhost::MeasurementUnit::Inches);
    EXPECT_TRUE(driver.Type(Item(window, uitest::kMeasureEdit), "3"));
    EXPECT_DOUBLE_EQ(300, window.measure->GetRangeMeasurement(-300, 300));
    // The measurement survives closing: the field opens with the same value.
    window.measure->SetMeasurement(72);
    window.CloseWindow();
    simhost::SetMeasurementUnit(simhost::MeasurementUnit::Points);
    Open(window);
    EXPECT_EQ("18", driver.Text(Item(window, uitest::kMeasureEdit)));
}

TEST_F(WindowTest, SelectingATaskNodeExpandsItsCategory) {
    TestWindow window;
    HWND dialog = Open(window);
    FCString text("Beamed Groups");
    FCTreeNode* groups = window.tree->AddNode(nullptr, true, &text);
    text.SetCString("Reorder Notes");
    FCTreeNode* reorder = window.tree->AddNode(groups, false, &text);
    text.SetCString("Chords");
    FCTreeNode* chords = window.tree->AddNode(nullptr, true, &text);
    text.SetCString("Break");
    window.tree->AddNode(chords, false, &text);
    HWND tree = driver.Control(dialog, uitest::kTree);
    window.tree->CollapseAllTopLevel();
    EXPECT_FALSE(driver.IsTreeNodeExpanded(tree, "Beamed Groups"));

    window.log.clear();
    window.tree->SelectNode(reorder);
    EXPECT_TRUE(driver.IsTreeNodeExpanded(tree, "Beamed Groups"));
    EXPECT_FALSE(driver.IsTreeNodeExpanded(tree, "Chords"));
    EXPECT_EQ("Reorder Notes", driver.SelectedTreeNode(tree));
    EXPECT_EQ(reorder, window.tree->GetSelectedNode());
    EXPECT_EQ((Log{"command 102"}), window.Entries("command")) << "the selection change reached the window";

    // The user's way: open the category and click the task.
    window.tree->CollapseAllTopLevel();
    EXPECT_EQ(groups, window.tree->GetSelectedNode()) << "collapsing moves the selection to the category";
    EXPECT_TRUE(driver.SelectTreeNode(tree, "Break"));
    EXPECT_TRUE(driver.IsTreeNodeExpanded(tree, "Chords"));
    EXPECT_EQ("Break", driver.SelectedTreeNode(tree));
    EXPECT_FALSE(driver.SelectTreeNode(tree, "No such task"));
}

TEST_F(WindowTest, DataListReportsChecksSelectionAndDoubleClicks) {
    TestWindow window;
    HWND dialog = Open(window);
    FCString title("Name");
    window.dataList->AddColumn(&title, 60);
    title.SetCString("Value");
    window.dataList->AddColumn(&title, 40);
    window.dataList->SetCheckboxes(true);
    window.dataList->SetFullRowSelect(true);
    for (const char* name : {"A", "B", "C"}) {
        FCDataListRow* row = window.dataList->AddRow();
        row->AddCString(name);
        row->AddCString("1");
    }
    HWND list = driver.Control(dialog, uitest::kDataList);
    window.log.clear();

    EXPECT_TRUE(driver.ToggleListCheck(list, 1));
    EXPECT_TRUE(window.dataList->GetRowCheck(1));
    EXPECT_EQ((Log{"list check 107 1 on"}), window.Entries("list check"));
    window.dataList->GetRowAt(2)->SetCheck(true);
    EXPECT_TRUE(driver.IsRowChecked(list, 2)) << "a row's check state reaches the native row";
    window.dataList->SetRowCheck(2, false);
    EXPECT_FALSE(driver.IsRowChecked(list, 2));

    window.log.clear();
    EXPECT_TRUE(driver.SelectListRow(list, 0));
    EXPECT_TRUE(driver.SelectListRow(list, 2));
    EXPECT_EQ((Log{"row selected 0", "list selection 107 0", "selection lost", "list selection 107 -1",
                   "row selected 2", "list selection 107 2"}),
              [&] {
                  Log seen;
                  for (const std::string& entry : window.log)
                      if (entry.compare(0, 3, "row") == 0 || entry.compare(0, 9, "selection") == 0 ||
                          entry.compare(0, 14, "list selection") == 0)
                          seen.push_back(entry);
                  return seen;
              }());
    EXPECT_EQ(2, window.dataList->GetSelectedRow());
    EXPECT_TRUE(driver.DoubleClickListRow(list, 1));
    EXPECT_EQ((Log{"double click 1"}), window.Entries("double"));

    // The texts come from the rows whenever the list shows them.
    EXPECT_EQ("B", driver.Cell(list, 1, 0));
    window.dataList->GetRowAt(1)->GetItemAt(1)->SetCString("changed");
    EXPECT_EQ("changed", driver.Cell(list, 1, 1));
    window.dataList->ClearRows();
    EXPECT_TRUE(driver.Rows(list).empty());
    EXPECT_EQ(-1, window.dataList->GetSelectedRow());
}

TEST_F(WindowTest, ListBoxRowReplacementKeepsTheSelection) {
    TestWindow window;
    HWND dialog = Open(window);
    FCString text("a");
    for (const char* row : {"a", "b", "c"}) {
        text.SetCString(row);
        window.listBox->AddItem(&text);
    }
    window.listBox->SetSelectedItem(1);
    text.SetCString("renamed");
    EXPECT_TRUE(window.listBox->SetItemText(1, &text));
    HWND list = driver.Control(dialog, uitest::kListBox);
    EXPECT_EQ((std::vector<std::string>{"a", "renamed", "c"}), driver.Rows(list));
    EXPECT_EQ(1, window.listBox->GetSelectedItem());
    EXPECT_FALSE(window.listBox->SetItemText(3, &text));
    EXPECT_TRUE(window.listBox->DeleteItem(0));
    EXPECT_EQ(0, window.listBox->GetSelectedItem());
    EXPECT_FALSE(window.listBox->DeleteItem(9));
    window.listBox->Clear();
    EXPECT_EQ(0, window.listBox->GetCount());
}

TEST_F(WindowTest, DeferredLayoutMovesNothingUntilItEnds) {
    TestWindow window;
    HWND dialog = Open(window);
    const RECT editBefore = driver.Bounds(driver.Control(dialog, uitest::kEdit));
    const RECT treeBefore = driver.Bounds(driver.Control(dialog, uitest::kTree));
    window.BeginDeferredLayout();
    window.edit->MoveBy(40, 0);
    window.check->MoveTo(5, 6);
    window.tree->ResizeBy(40, 20);
    EXPECT_EQ(editBefore.left, driver.Bounds(driver.Control(dialog, uitest::kEdit)).left) << "nothing moves yet";
    EXPECT_FLOAT_EQ(float(editBefore.left + 40), window.edit->GetLeft());
    window.EndDeferredLayout();
    EXPECT_EQ(editBefore.left + 40, driver.Bounds(driver.Control(dialog, uitest::kEdit)).left);
    EXPECT_EQ(5, driver.Bounds(driver.Control(dialog, uitest::kCheck)).left);
    const RECT treeAfter = driver.Bounds(driver.Control(dialog, uitest::kTree));
    EXPECT_EQ(treeBefore.right - treeBefore.left + 40, treeAfter.right - treeAfter.left);
    EXPECT_EQ(treeBefore.bottom - treeBefore.top + 20, treeAfter.bottom - treeAfter.top);
    EXPECT_EQ(treeBefore.left, treeAfter.left);
    EXPECT_EQ(dialog, driver.ActiveWindow()) << "the batch does not change the activation";
}

TEST_F(WindowTest, ShadeRollsUpToTheTitleBarKeepingWidthAndPosition) {
    TestWindow window;
    window.shadeWhenInactive = true;
    HWND dialog = Open(window);
    const RECT full = driver.Bounds(dialog);
    const size_t resizes = window.Entries("resize").size();
    driver.ClickHostDocument();
    ASSERT_TRUE(window.IsShaded());
    const RECT shaded = driver.Bounds(dialog);
    EXPECT_EQ(RolledUpHeight(dialog), shaded.bottom - shaded.top) << "caption height and twice the border";
    EXPECT_EQ(full.left, shaded.left);
    EXPECT_EQ(full.top, shaded.top);
    EXPECT_EQ(full.right, shaded.right);
    EXPECT_EQ(resizes, window.Entries("resize").size()) << "no resize reaches the window while it rolls up";
    EXPECT_TRUE(driver.Activate(dialog));
    EXPECT_FALSE(window.IsShaded());
    const RECT unrolled = driver.Bounds(dialog);
    EXPECT_EQ(full.left, unrolled.left);
    EXPECT_EQ(full.top, unrolled.top);
    EXPECT_EQ(full.right, unrolled.right);
    EXPECT_EQ(full.bottom, unrolled.bottom);
}

TEST_F(WindowTest, MinimumHeightIsZeroWhileShaded) {
    TestWindow window;
    HWND dialog = Open(window);
    const int full = Height(dialog);
    // Not shaded: the frame cannot be dragged below the minimum size.
    EXPECT_TRUE(driver.Resize(dialog, Width(dialog), 100));
    EXPECT_EQ(full, Height(dialog));
    // Shaded: the rolled-up height is below the minimum and stays.
    window.SetShaded(true);
    const int rolledUp = RolledUpHeight(dialog);
    EXPECT_EQ(rolledUp, Height(dialog));
    EXPECT_LT(rolledUp, full);
    EXPECT_TRUE(driver.Move(dialog, 50, 60));
    EXPECT_EQ(rolledUp, Height(dialog)) << "moving the rolled-up window does not push it back to its minimum";
    window.SetShaded(false);
    EXPECT_EQ(full, Height(dialog));
    EXPECT_EQ(50, driver.Bounds(dialog).left);
}

TEST_F(WindowTest, ShadeHoldsStillWhileAnAlertIsUp) {
    TestWindow window;
    window.shadeWhenInactive = true;
    HWND dialog = Open(window);
    const int full = Height(dialog);
    FCUI ui(driver.HostWindow());
    driver.AnswerNextMessageBox(IDOK);
    FCString text("Done.");
    window.log.clear();
    ui.AlertInfo(&text, nullptr);
    EXPECT_EQ(1u, window.Entries("deactivate").size()) << "the message box took the activation";
    EXPECT_FALSE(window.IsShaded());
    EXPECT_EQ(full, Height(dialog));
    // Without the alert, losing the activation rolls the window up again.
    EXPECT_TRUE(driver.Activate(dialog));
    driver.ClickHostDocument();
    EXPECT_TRUE(window.IsShaded());
}

TEST_F(WindowTest, RememberedPlacementIsNotedAndAppliedWithTheMinimumSize) {
    TestWindow window;
    window.growable = true;
    HWND dialog = Open(window);
    const int minimumWidth = Width(dialog), minimumHeight = Height(dialog);
    EXPECT_TRUE(driver.Move(dialog, 200, 150));
    EXPECT_TRUE(driver.Resize(dialog, 566, 400));
    window.SetShaded(true);
    window.NotePlacement(true, true);
    EXPECT_TRUE(window.IsShaded()) << "noting the placement keeps the shade";
    EXPECT_FLOAT_EQ(200, window.GetRememberedLeft());
    EXPECT_FLOAT_EQ(150, window.GetRememberedTop());
    EXPECT_FLOAT_EQ(566, window.GetRememberedWidth());
    EXPECT_FLOAT_EQ(400, window.GetRememberedHeight()) << "the full height, not the rolled-up one";
    window.CloseWindow();

    window.SetRememberedPlacement(300, 250, 10, 10);
    window.applyPlacementAtInit = true;
    window.log.clear();
    dialog = Open(window);
    EXPECT_EQ(300, driver.Bounds(dialog).left);
    EXPECT_EQ(250, driver.Bounds(dialog).top);
    EXPECT_EQ(minimumWidth, Width(dialog)) << "a remembered size is raised to the minimum size";
    EXPECT_EQ(minimumHeight, Height(dialog));
    EXPECT_FALSE(window.IsShaded()) << "a reopened window starts unrolled";

    window.NotePlacement(true, false);
    EXPECT_FLOAT_EQ(-1, window.GetRememberedWidth()) << "position only";
    EXPECT_TRUE(driver.Resize(dialog, 600, 450));
    EXPECT_TRUE(driver.Move(dialog, 10, 10));
    window.ApplyPlacement();
    EXPECT_EQ(300, driver.Bounds(dialog).left);
    EXPECT_EQ(600, Width(dialog)) << "without a remembered size the size stays";
}

// The clock is real time on Windows: the counts are bounds, the exact ones are in the Linux test.
TEST_F(WindowTest, TimersFireThroughTheWindowsMessagesUntilStopped) {
    TestWindow window;
    Open(window);
    window.SetTimer(1, 100);
    window.SetTimer(7, 250);
    driver.AdvanceClock(600);
    const size_t first = window.Entries("timer 1").size();
    EXPECT_GE(first, 2u);
    EXPECT_LE(first, 6u);
    EXPECT_GE(window.Entries("timer 7").size(), 1u);
    EXPECT_LT(window.Entries("timer 7").size(), first) << "the slower timer fires less often";
    window.SetTimer(1, 0);
    driver.AdvanceClock(300);
    EXPECT_EQ(first, window.Entries("timer 1").size()) << "a period of 0 stops the timer";
    window.CloseWindow();
    const size_t all = window.Entries("timer").size();
    driver.AdvanceClock(300);
    EXPECT_EQ(all, window.Entries("timer").size()) << "timers end with the native window";
    window.SetTimer(2, 50);
    driver.AdvanceClock(200);
    EXPECT_EQ(all, window.Entries("timer").size()) << "no timer without a native window";
}

TEST_F(WindowTest, AModelessWindowIsDisabledWhileTheHostShowsAModalDialog) {
    TestWindow window;
    HWND dialog = Open(window);
    // The host tells its plug-in windows when its own state changes.
    driver.ShowHostModalDialog();
    EXPECT_FALSE(driver.IsEnabled(dialog));
    EXPECT_FALSE(driver.Activate(dialog)) << "a disabled window only beeps";
    driver.EndHostModalDialog();
    EXPECT_TRUE(driver.IsEnabled(dialog));

    // Without the host's notice, the next activation or move does it.
    simhost::SetHostStateNotifications(false);
    driver.ShowHostModalDialog();
    EXPECT_TRUE(driver.IsEnabled(dialog));
    EXPECT_TRUE(driver.Activate(dialog));
    EXPECT_FALSE(driver.IsEnabled(dialog)) << "disabled on its activation";
    driver.EndHostModalDialog();
    driver.ClickHostDocument();
    window.ShowModeless(driver.HostWindow());
    EXPECT_TRUE(driver.IsEnabled(dialog)) << "enabled again on its next activation";
    driver.ClickHostDocument();
    driver.ShowHostModalDialog();
    EXPECT_TRUE(driver.IsEnabled(dialog));
    EXPECT_TRUE(driver.Move(dialog, 40, 40));
    EXPECT_FALSE(driver.IsEnabled(dialog)) << "disabled on its move";
    driver.EndHostModalDialog();
}

TEST_F(WindowTest, AModalDialogReturnsItsResultAndGivesTheActivationBack) {
    TestWindow main;
    HWND mainDialog = Open(main);
    struct Row {
        const char* action;
        std::function<void(DesktopDriver&, HWND)> script;
        int result;
    };
    const Row rows[] = {
        {"Enter", [](DesktopDriver& d, HWND w) { d.PressEnter(w); }, 1},
        {"Cancel button", [](DesktopDriver& d, HWND w) { d.Click(d.Control(w, IDCANCEL)); }, 0},
        {"Escape", [](DesktopDriver& d, HWND w) { d.PressEscape(w); }, 0},
        {"close box", [](DesktopDriver& d, HWND w) { d.CloseWindow(w); }, 0},
    };
    for (const Row& row : rows) {
        TestWindow modal(uitest::kTestModalTemplate);
        bool mainDisabledMeanwhile = false;
        driver.OnNextModalDialog([&](DesktopDriver& d, HWND dialog) {
            EXPECT_EQ("QZ Test Modal", d.Text(dialog));
            EXPECT_TRUE(modal.IsModal());
            mainDisabledMeanwhile = !d.IsEnabled(mainDialog) && !d.IsEnabled(d.HostWindow());
            EXPECT_TRUE(d.Type(d.Control(dialog, uitest::kModalName), "typed"));
            row.script(d, dialog);
        });
        EXPECT_EQ(row.result, modal.ShowModal(driver.HostWindow())) << row.action;
        EXPECT_TRUE(mainDisabledMeanwhile) << row.action;
        EXPECT_FALSE(modal.IsModal());
        EXPECT_TRUE(modal.IsClosed());
        EXPECT_EQ(nullptr, driver.Dialog(uitest::kTestModalTemplate));
        EXPECT_TRUE(driver.IsEnabled(mainDialog)) << row.action;
        EXPECT_TRUE(driver.IsActive(mainDialog)) << row.action << ": the window active before is active again";
        FCString name;
        modal.name->GetText(&name);
        EXPECT_EQ("typed", name.GetUTF8()) << "the dialog's values stay in its objects";
    }
}

TEST_F(WindowTest, ModifierKeysAreNotedWithEachCommand) {
    TestWindow window;
    Open(window);
    driver.SetModifierKeys(true, false, true);
    EXPECT_TRUE(driver.Click(Item(window, uitest::kPressButton)));
    EXPECT_TRUE(window.IsShiftDown());
    EXPECT_TRUE(window.IsAltDown());
    EXPECT_FALSE(window.IsCtrlDown());
    driver.SetModifierKeys(false, true, false);
    EXPECT_TRUE(driver.Click(Item(window, uitest::kPressButton)));
    EXPECT_FALSE(window.IsShiftDown());
    EXPECT_TRUE(window.IsCtrlDown());
}

TEST_F(WindowTest, ClosingIsRefusedWhenTheWindowCannotClose) {
    TestWindow window;
    HWND dialog = Open(window);
    window.allowClose = false;
    EXPECT_TRUE(driver.Click(Item(window, uitest::kClose)));
    EXPECT_TRUE(window.WindowExists());
    EXPECT_FALSE(window.IsClosed());
    window.allowClose = true;
    EXPECT_TRUE(driver.CloseWindow(dialog));
    EXPECT_TRUE(window.IsClosed());
}

TEST_F(WindowTest, AShadedWindowClosesWithItsFullHeight) {
    TestWindow window;
    HWND dialog = Open(window);
    const int full = Height(dialog);
    window.SetShaded(true);
    EXPECT_EQ(RolledUpHeight(dialog), Height(dialog));
    window.CloseWindow();
    EXPECT_FLOAT_EQ(float(full), window.GetHeight());
    EXPECT_FALSE(window.IsShaded());
    dialog = Open(window);
    EXPECT_EQ(full, Height(dialog));
}

TEST_F(WindowTest, DestroyingTheObjectEndsItsNativeWindow) {
    std::unique_ptr<TestWindow> window(new TestWindow);
    Open(*window);
    window->label->SetBold();
    window->label->SetBold();
    EXPECT_TRUE(driver.IsBold(Item(*window, uitest::kLabel)));
    window.reset();
    EXPECT_EQ(nullptr, driver.Dialog(uitest::kTestWindowTemplate));
    EXPECT_EQ(0, simhost::OpenDialogCount());
}

TEST_F(WindowTest, BoldSurvivesReopening) {
    TestWindow window;
    window.label->SetBold();
    Open(window);
    EXPECT_TRUE(driver.IsBold(Item(window, uitest::kLabel)));
    EXPECT_FALSE(driver.IsBold(Item(window, uitest::kEdit)));
    window.CloseWindow();
    Open(window);
    EXPECT_TRUE(driver.IsBold(Item(window, uitest::kLabel)));
}

}  // namespace

namespace {

// Notifications of controls the system's templates do not use, sent as Windows would send them.
TEST_F(WindowTest, NotificationRecordsOfOtherControlsReachTheirHandlers) {
    TestWindow window;
    window.AddControl(new uitest::UpDownLike(uitest::kMissing + 1));
    HWND dialog = Open(window);
    window.log.clear();

    NMUPDOWN step = {};
    step.hdr.idFrom = uitest::kMissing + 1;
    step.hdr.code = UDN_DELTAPOS;
    step.iDelta = -3;
    SendMessageW(dialog, WM_NOTIFY, uitest::kMissing + 1, reinterpret_cast<LPARAM>(&step));
    step.hdr.idFrom = uitest::kEdit;
    SendMessageW(dialog, WM_NOTIFY, uitest::kEdit, reinterpret_cast<LPARAM>(&step));
    EXPECT_EQ((Log{"up-down 121 -3"}), window.Entries("up-down")) << "only an up-down control steps";

    NMHDR tab = {driver.Control(dialog, uitest::kLabel), uitest::kLabel, TCN_SELCHANGE};
    SendMessageW(dialog, WM_NOTIFY, uitest::kLabel, reinterpret_cast<LPARAM>(&tab));
    EXPECT_EQ((Log{"tab 101 0", "command 101"}), (Log{window.log.end() - 2, window.log.end()}));

    // A list view asking for 8-bit text gets it from the data list's rows.
    window.dataList->AddRow()->AddCString("caf\xE9 long text");
    char buffer[5] = {'x', 'x', 'x', 'x', 'x'};
    NMLVDISPINFOA request = {};
    request.hdr.code = LVN_GETDISPINFOA;
    request.item.mask = LVIF_TEXT;
    request.item.iItem = 0;
    request.item.pszText = buffer;
    request.item.cchTextMax = 5;
    SendMessageW(dialog, WM_NOTIFY, uitest::kDataList, reinterpret_cast<LPARAM>(&request));
    EXPECT_EQ(std::string("caf\xE9"), std::string(buffer));

    // A notification from an unknown control or with an unknown code changes nothing.
    window.log.clear();
    NMHDR unknown = {nullptr, 4711, TVN_SELCHANGEDW};
    SendMessageW(dialog, WM_NOTIFY, 4711, reinterpret_cast<LPARAM>(&unknown));
    NMHDR other = {nullptr, uitest::kTree, NM_SETFOCUS};
    SendMessageW(dialog, WM_NOTIFY, uitest::kTree, reinterpret_cast<LPARAM>(&other));
    EXPECT_TRUE(window.log.empty()) << ::testing::PrintToString(window.log);
}

}  // namespace

namespace {

TEST_F(WindowTest, OlderHostsGetTheirTextsIn8Bit) {
    hostapi::SetHostVersion(0x10000000);
    simhost::SetWithdrawn("FX_SetDlgString_UTF16");
    simhost::SetWithdrawn("FX_GetDlgString_UTF16");
    hostapi::SetLookup(simhost::Lookup);
    TestWindow window;
    HWND dialog = Open(window);
    FCString text("Caf\xE9");
    window.label->SetText(&text);
    EXPECT_EQ("Caf\xC3\xA9", driver.Text(driver.Control(dialog, uitest::kLabel)));
    EXPECT_TRUE(driver.Type(driver.Control(dialog, uitest::kEdit), "na\xC3\xAFve"));
    FCString read;
    window.edit->GetText(&read);
    EXPECT_EQ("na\xC3\xAFve", read.GetUTF8());
    hostapi::SetLookup(nullptr);
}

TEST_F(WindowTest, FailingHostCallsLeaveTheControlsQuiet) {
    TestWindow window;
    HWND dialog = Open(window);
    for (const char* text : {"Zero", "One"}) window.popup->AddItemCString(text);
    window.popup->SetSelectedItem(1);
    FCString text("before");
    window.label->SetText(&text);
    for (const char* name : {"FX_GetDlgItemVal", "FX_SetDlgString_UTF16", "FX_GetDlgString_UTF16", "FX_EnableDlgItem"})
        simhost::SetFailing(name);
    EXPECT_EQ(-1, window.popup->GetSelectedItem()) << "no answer reads as no selection";
    text.SetCString("after");
    window.label->SetText(&text);
    EXPECT_EQ("before", driver.Text(driver.Control(dialog, uitest::kLabel)));
    FCString read("stale");
    window.label->GetText(&read);
    EXPECT_TRUE(read.IsEmpty());
    window.label->SetEnable(false);
    EXPECT_TRUE(window.label->GetEnable());
    EXPECT_EQ(0, window.edit->GetInteger());
}

}  // namespace
