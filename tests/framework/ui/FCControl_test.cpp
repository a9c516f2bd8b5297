// Controls and windows without a native window: everything lives in the stored state, which the
// window later pushes onto the native controls.
#include "tests/framework/ui/TestWindow.h"

#include <gtest/gtest.h>

#include <memory>

using uitest::TestWindow;

namespace {

TEST(ControlTypes, ReportTheirTypeCodesAndDefaultSizes) {
    struct Row {
        std::unique_ptr<FCControl> control;
        int type;
        int width;
        int height;
        const char* className;
    };
    Row rows[] = {
        {std::unique_ptr<FCControl>(new FCControl(1)), 0, 70, 150, "FCControl"},
        {std::unique_ptr<FCControl>(new FCCtrlStatic(1)), 8, 100, 150, "FCCtrlStatic"},
        {std::unique_ptr<FCControl>(new FCCtrlEdit(1)), 7, 70, 150, "FCCtrlEdit"},
        {std::unique_ptr<FCControl>(new FCCtrlPopup(1)), 9, 100, 150, "FCCtrlPopup"},
        {std::unique_ptr<FCControl>(new FCCtrlCheckbox(1)), 5, 100, 150, "FCCtrlCheckbox"},
        {std::unique_ptr<FCControl>(new FCCtrlButton(1)), 4, 60, 150, "FCCtrlButton"},
        {std::unique_ptr<FCControl>(new FCCtrlListBox(1)), 13, 150, 170, "FCCtrlListBox"},
        {std::unique_ptr<FCControl>(new FCCtrlDataList(1)), 2, 200, 150, "FCCtrlDataList"},
        {std::unique_ptr<FCControl>(new FCCtrlTree(1)), 3, 150, 170, "FCCtrlTree"},
        {std::unique_ptr<FCControl>(new FCCtrlLine(1)), 11, 150, 150, "FCCtrlLine"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.type, row.control->GetControlType()) << row.className;
        EXPECT_EQ(row.width, row.control->GetDefaultWidth()) << row.className;
        EXPECT_EQ(row.height, row.control->GetDefaultHeight()) << row.className;
        EXPECT_STREQ(row.className, row.control->ClassName());
    }
}

TEST(StoredState, PopupKeepsItemsAndSelectionWithoutAWindow) {
    FCCtrlPopup popup(5);
    EXPECT_EQ(-1, popup.GetSelectedItem());
    popup.SetSelectedItem(2);
    EXPECT_EQ(-1, popup.GetSelectedItem()) << "no item 2 yet";
    for (const char* text : {"Zero", "One", "Two"}) popup.AddItemCString(text);
    EXPECT_EQ(3, popup.GetCount());
    EXPECT_EQ(2, popup.GetSelectedItem()) << "the selection made before the items were added";
    FCString text;
    EXPECT_TRUE(popup.GetItemText(1, &text));
    EXPECT_EQ("One", text.GetUTF8());
    EXPECT_FALSE(popup.GetItemText(3, &text));
    EXPECT_TRUE(text.IsEmpty());
    popup.SetSelectedItem(7);
    EXPECT_EQ(-1, popup.GetSelectedItem());
    popup.SetSelectedItem(0);
    popup.Clear();
    EXPECT_EQ(0, popup.GetCount());
    EXPECT_EQ(-1, popup.GetSelectedItem());
}

TEST(StoredState, IntegerReadsAreClampedOnlyWhenTheLowerBoundIsBelowTheUpper) {
    struct Row {
        const char* text;
        int lower;
        int upper;
        int expected;
    };
    const Row rows[] = {
        {"0", 1, 10, 1},   {"25", 1, 10, 10}, {"5", 1, 10, 5},   {"25", 3, 3, 25},
        {"25", 10, 1, 25}, {"-4", 0, 15, 0},  {"abc", 2, 10, 2}, {"7 apples", 1, 5, 5},
    };
    for (const Row& row : rows) {
        FCCtrlEdit edit(1);
        FCString text(row.text);
        edit.SetText(&text);
        EXPECT_EQ(row.expected, edit.GetRangeInteger(row.lower, row.upper))
            << row.text << " in " << row.lower << ".." << row.upper;
    }
    FCCtrlEdit edit(1);
    edit.SetInteger(-12);
    EXPECT_EQ(-12, edit.GetInteger());
    edit.SetMeasurement(500);
    EXPECT_DOUBLE_EQ(300, edit.GetRangeMeasurement(-300, 300));
    EXPECT_DOUBLE_EQ(500, edit.GetRangeMeasurement(300, 300));
}

TEST(StoredState, ListBoxRowsFollowDeletionAndReplacement) {
    FCCtrlListBox list(1);
    for (const char* text : {"a", "b", "c"}) {
        FCString row(text);
        list.AddItem(&row);
    }
    list.SetSelectedItem(2);
    EXPECT_TRUE(list.DeleteItem(0));
    EXPECT_EQ(1, list.GetSelectedItem()) << "the selected row moved up";
    FCString text("x");
    EXPECT_TRUE(list.SetItemText(1, &text));
    EXPECT_EQ(1, list.GetSelectedItem());
    EXPECT_TRUE(list.GetItemText(1, &text));
    EXPECT_EQ("x", text.GetUTF8());
    EXPECT_TRUE(list.DeleteItem(1));
    EXPECT_EQ(-1, list.GetSelectedItem());
    EXPECT_FALSE(list.DeleteItem(5));
    EXPECT_FALSE(list.SetItemText(-1, &text));
    EXPECT_EQ(1, list.GetCount());
}

TEST(StoredState, TreeFindsNodesDepthFirstInTreeOrder) {
    FCCtrlTree tree(1);
    FCString text("Category");
    FCTreeNode* first = tree.AddNode(nullptr, true, &text);
    FCTreeNode* second = tree.AddNode(nullptr, true, &text);
    FCTreeNode* child = tree.AddNode(first, false, &text);
    FCTreeNode* grandchild = tree.AddNode(child, false, &text);
    ASSERT_TRUE(first && second && child && grandchild);
    EXPECT_EQ(nullptr, tree.AddNode(first, true, &text)) << "a top-level node may not have a parent";
    first->SetData(1);
    child->SetData(7);
    grandchild->SetData(9);
    second->SetData(9);
    EXPECT_EQ(grandchild, tree.FindNodeByData(9)) << "the first node in tree order, not the first top-level one";
    EXPECT_EQ(child, tree.FindNodeByData(7));
    EXPECT_EQ(nullptr, tree.FindNodeByData(42));
    EXPECT_TRUE(first->IsTopLevel());
    EXPECT_FALSE(child->IsTopLevel());
    EXPECT_EQ(first, child->GetParentCollection());
    EXPECT_EQ(2, tree.GetTopLevelCount());

    EXPECT_EQ(nullptr, tree.GetSelectedNode());
    tree.SelectNode(child);
    EXPECT_EQ(child, tree.GetSelectedNode());
    tree.SelectNode(second);
    EXPECT_FALSE(child->IsSelected());
    EXPECT_TRUE(second->IsSelected());
    FCCtrlTree other(2);
    FCTreeNode* stranger = other.AddNode(nullptr, true, &text);
    tree.SelectNode(stranger);
    EXPECT_EQ(second, tree.GetSelectedNode()) << "a node of another tree is ignored";
    tree.SelectNode(nullptr);
    EXPECT_EQ(nullptr, tree.GetSelectedNode());
    tree.ClearNodes();
    EXPECT_EQ(0, tree.GetTopLevelCount());
}

TEST(StoredState, DataListOwnsRowsWithTextsAndChecks) {
    FCCtrlDataList list(1);
    FCString title("Options");
    list.AddColumn(&title, 240);
    list.SetCheckboxes(true);
    FCDataListRow* row = list.AddRow();
    row->AddCString("First");
    list.AddRow()->AddCString("Second");
    EXPECT_EQ(2, list.GetRowCount());
    EXPECT_EQ(&list, row->GetList());
    list.SetRowCheck(1, true);
    EXPECT_TRUE(list.GetRowCheck(1));
    EXPECT_FALSE(list.GetRowCheck(0));
    EXPECT_FALSE(list.GetRowCheck(9));
    FCString text;
    EXPECT_TRUE(list.GetCellText(1, 0, &text));
    EXPECT_EQ("Second", text.GetUTF8());
    EXPECT_FALSE(list.GetCellText(1, 3, &text));
    list.SelectRow(1);
    EXPECT_EQ(1, list.GetSelectedRow());
    list.SelectRow(5);
    EXPECT_EQ(-1, list.GetSelectedRow());
    list.ClearRows();
    EXPECT_EQ(0, list.GetRowCount());
}

TEST(StoredState, DeferredLayoutHoldsMovesUntilItEnds) {
    TestWindow window;
    window.edit->MoveTo(10, 20);
    window.edit->SetWidth(50);
    window.edit->SetHeight(12);
    window.BeginDeferredLayout();
    window.edit->MoveBy(5, 5);
    window.edit->ResizeBy(10, 0);
    window.check->SetWidth(33);
    EXPECT_FLOAT_EQ(15, window.edit->GetLeft()) << "a pending move is the control's position";
    EXPECT_FLOAT_EQ(60, window.edit->GetWidth());
    EXPECT_TRUE(window.edit->HasPending());
    EXPECT_FALSE(window.check->HasPending()) << "width changes apply at once";
    EXPECT_FLOAT_EQ(33, window.check->GetWidth());
    window.EndDeferredLayout();
    EXPECT_FALSE(window.IsDeferredLayout());
    EXPECT_FALSE(window.edit->HasPending());
    EXPECT_FLOAT_EQ(15, window.edit->GetLeft());
    EXPECT_FLOAT_EQ(25, window.edit->GetTop());
    EXPECT_FLOAT_EQ(60, window.edit->GetWidth());
    EXPECT_FLOAT_EQ(12, window.edit->GetHeight());
}

TEST(StoredState, WindowFindsControlsAndKeepsTitleAndPlacement) {
    TestWindow window;
    EXPECT_EQ(window.popup, window.GetControl(uitest::kPopup));
    EXPECT_EQ(nullptr, window.GetControl(999));
    FCCtrlStatic* twin = window.CreateStatic(uitest::kPopup);
    EXPECT_EQ(window.popup, window.GetControl(uitest::kPopup)) << "the first control with the id";
    EXPECT_EQ(&window, twin->GetParent());
    EXPECT_EQ(nullptr, window.AddControl(nullptr));

    FCString title("Stored");
    window.SetTitle(&title);
    FCString read;
    window.GetTitle(&read);
    EXPECT_EQ("Stored", read.GetUTF8());

    EXPECT_FLOAT_EQ(-1, window.GetRememberedLeft());
    EXPECT_FLOAT_EQ(-1, window.GetRememberedHeight());
    window.SetRememberedPlacement(10, 20, 300, 200);
    EXPECT_FLOAT_EQ(10, window.GetRememberedLeft());
    EXPECT_FLOAT_EQ(200, window.GetRememberedHeight());
    // Without a native window, placement, shade and timers have nothing to act on.
    window.NotePlacement(false, false);
    window.ApplyPlacement();
    window.SetShaded(true);
    window.SetTimer(1, 300);
    EXPECT_FALSE(window.IsShaded());
    EXPECT_FLOAT_EQ(10, window.GetRememberedLeft());
    EXPECT_FALSE(window.WindowExists());
}

}  // namespace
