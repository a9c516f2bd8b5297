// The panel layout's arithmetic, on a window that is not on screen (its controls keep their
// geometry as stored state).
#include "plugin/FCTaskControlInfo.h"

#include "framework/ui/FCCtrlLine.h"
#include "framework/ui/FCCtrlStatic.h"
#include "framework/ui/FCResourceWindow.h"
#include "plugin/TaskWindowIDs.h"

#include <gtest/gtest.h>

using namespace taskwindow;

namespace {

class LayoutWindow : public FCResourceWindow {
public:
    LayoutWindow() : FCResourceWindow(kTemplateID) {
        for (int id : kOptionControlIDs) Place(CreateStatic(id), 0, 0, 10, 10 + id % 7);
        Place(CreateLine(kSeparator), 141, 300, 301, 2);
        Place(CreateStatic(kTasksLabel), 15, 17, 100, 13);
    }
    static void Place(FCControl* control, float left, float top, float width, float height) {
        control->MoveTo(left, top);
        control->SetWidth(width);
        control->SetHeight(height);
        control->SetVisible(true);
    }
};

}  // namespace

TEST(TaskPanelLayout, PanelLiesBetweenTheTasksLabelAndTheSeparatorLine) {
    LayoutWindow window;
    FCTaskControlInfos panel;
    ASSERT_TRUE(panel.CalcPanelRect(&window));
    EXPECT_EQ(141, panel.GetPanelLeft());
    EXPECT_EQ(442, panel.GetPanelRight());
    EXPECT_EQ(17, panel.GetPanelTop());
    EXPECT_EQ(287, panel.GetPanelBottom());

    // Fractions are cut off.
    window.GetControl(kSeparator)->MoveTo(140.75f, 299.5f);
    window.GetControl(kSeparator)->SetWidth(300.5f);
    window.GetControl(kTasksLabel)->MoveTo(15, 16.9f);
    ASSERT_TRUE(panel.CalcPanelRect(&window));
    EXPECT_EQ(140, panel.GetPanelLeft());
    EXPECT_EQ(441, panel.GetPanelRight());
    EXPECT_EQ(16, panel.GetPanelTop());
    EXPECT_EQ(286, panel.GetPanelBottom());

    FCResourceWindow bare(kTemplateID);
    EXPECT_FALSE(panel.CalcPanelRect(&bare));
    EXPECT_EQ(140, panel.GetPanelLeft());
}

TEST(TaskPanelLayout, RowsArePlacedByPercentBelowOrBesideThePreviousRow) {
    LayoutWindow window;
    // Panel 141..442 wide (301), 17..287 high (270).
    FCControl* a = window.GetControl(kStatic1);
    FCControl* b = window.GetControl(kPopup1);
    FCControl* c = window.GetControl(kEdit1);
    FCControl* d = window.GetControl(kCheck1);
    FCControl* e = window.GetControl(kTaskButton);
    LayoutWindow::Place(a, 0, 0, 1, 13);
    LayoutWindow::Place(b, 0, 0, 1, 21);
    LayoutWindow::Place(c, 0, 0, 1, 20);
    LayoutWindow::Place(d, 0, 0, 1, 16);
    LayoutWindow::Place(e, 0, 0, 1, 23);
    FCTaskControlInfos panel;
    panel.AddInfo(a, 0, 33, 33);
    panel.AddInfo(b, 10, 50, FCTaskControlInfo::kBelowPrevious);
    panel.AddInfo(c, 67, 15, FCTaskControlInfo::kCentredOnPrevious);
    panel.AddInfo(d, 5, 100, 99);
    panel.AddInfo(e, 99, 1, FCTaskControlInfo::kCentredOnPrevious);
    panel.LayoutPanel(&window);

    struct Expected {
        FCControl* control;
        float left, top, width, height;
    };
    const Expected expected[] = {
        {a, 141, 17 + 89, 99, 13},  // 270 * 33 / 100 = 89.1; 301 * 33 / 100 = 99.33
        {b, 141 + 30, 106 + 13 + 1, 150, 21},
        {c, 141 + 201, 120, 45, 20},       // (21 - 20) / 2 = 0.5, cut
        {d, 141 + 15, 17 + 267, 301, 16},  // 270 * 99 / 100 = 267.3
        {e, 141 + 297, 280, 3, 23},        // 284 + (16 - 23) / 2 = 280.5, cut to 280
    };
    for (const Expected& x : expected) {
        SCOPED_TRACE(x.control->GetControlID());
        EXPECT_EQ(x.left, x.control->GetLeft());
        EXPECT_EQ(x.top, x.control->GetTop());
        EXPECT_EQ(x.width, x.control->GetWidth());
        EXPECT_EQ(x.height, x.control->GetHeight()) << "heights are kept";
        EXPECT_TRUE(x.control->GetVisible());
    }
    // Every other option control is hidden, the data list included.
    for (int id : kOptionControlIDs) {
        if (panel.FindControl(window.GetControl(id))) continue;
        EXPECT_FALSE(window.GetControl(id)->GetVisible()) << id;
    }
    EXPECT_FALSE(window.IsDeferredLayout());
}

TEST(TaskPanelLayout, EmptyPanelHidesEveryOptionControl) {
    LayoutWindow window;
    FCTaskControlInfos panel;
    panel.LayoutPanel(&window);
    for (int id : kOptionControlIDs) EXPECT_FALSE(window.GetControl(id)->GetVisible()) << id;
    EXPECT_TRUE(window.GetControl(kTasksLabel)->GetVisible());
    EXPECT_TRUE(window.GetControl(kSeparator)->GetVisible());
}
