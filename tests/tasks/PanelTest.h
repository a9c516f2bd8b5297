// Fixture of the option-panel tests: the test suite's task window over template 20128, open on
// the simulated desktop (the settings start at their defaults, as in every test). A panel
// is described by what the user sees of each control the task places: where it is, its text,
// a popup's rows, and whether it shows.
#pragma once

#include "plugin/PatternSettings.h"
#include "tests/framework/ui/DesktopFixture.h"
#include "tests/plugin/TaskTestWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace tasktest {

// One placed control: its position and width in the window's client pixels, its label (labels,
// check boxes and the button; empty for the others), a popup's rows joined by "|", and whether
// it shows with the settings of the test.
struct Placed {
    Placed(int id_, int left_, int top_, int width_, const char* label_ = "", const char* rows_ = "",
           bool shown_ = true)
        : id(id_), left(left_), top(top_), width(width_), label(label_), rows(rows_), shown(shown_) {}

    int id;
    int left;
    int top;
    int width;
    std::string label;
    std::string rows;
    bool shown;
};

inline std::string Joined(const std::vector<std::string>& rows) {
    std::string text;
    for (size_t i = 0; i < rows.size(); ++i) text += (i ? "|" : "") + rows[i];
    return text;
}

class PanelTest : public DesktopTest {
protected:
    void TearDown() override {
        if (window && window->WindowExists()) window->CloseWindow();
        window.reset();
        ui.reset();
        DesktopTest::TearDown();
    }

    void Open() {
        ui.reset(new FCUI(driver.HostWindow()));
        window.reset(new TaskTestWindow(ui.get()));
        ASSERT_EQ(1, window->ShowModeless(driver.HostWindow()));
        dialog = static_cast<HWND>(window->GetWindowHandle());
        ASSERT_NE(nullptr, dialog);
    }
    // Opens the window (when it is not open) and selects the task.
    void Show(int taskID) {
        if (!window) Open();
        window->SelectTask(taskID);
    }
    HWND Item(int id) const { return driver.Control(dialog, id); }
    bool Visible(int id) const { return driver.IsVisible(Item(id)); }
    bool Enabled(int id) const { return driver.IsEnabled(Item(id)); }
    std::string Text(int id) const { return driver.Text(Item(id)); }
    std::string Rows(int popupID) const { return Joined(driver.Rows(Item(popupID))); }
    std::string Shown(int popupID) const {
        const int row = driver.SelectedRow(Item(popupID));
        const std::vector<std::string> rows = driver.Rows(Item(popupID));
        return row >= 0 && row < int(rows.size()) ? rows[size_t(row)] : std::string("(none)");
    }
    bool Checked(int id) const { return driver.IsChecked(Item(id)); }
    bool Choose(int popupID, int row) { return driver.ChoosePopupRow(Item(popupID), row); }
    bool Type(int editID, const char* text) { return driver.Type(Item(editID), text); }
    bool Toggle(int checkID) { return driver.ToggleCheck(Item(checkID)); }
    // What a control shows: a popup its selected row, a check box "on" or "off", anything else
    // its text.
    std::string Value(int id) const {
        using namespace taskwindow;
        switch (id) {
            case kPopup1:
            case kPopup2:
            case kPopup3:
                return Shown(id);
            case kCheck1:
            case kCheck2:
            case kCheck3:
                return Checked(id) ? "on" : "off";
            default:
                return Text(id);
        }
    }
    // Sets a control as the user does, to what Value reads back: a popup to the row with that text,
    // a check box "on" or "off", any other control (an edit) to that text. False when the user
    // could not (no such row, a hidden or disabled control, a check box value other than those).
    bool Set(int id, const std::string& value) {
        using namespace taskwindow;
        switch (id) {
            case kPopup1:
            case kPopup2:
            case kPopup3:
                return driver.ChoosePopupText(Item(id), value.c_str());
            case kCheck1:
            case kCheck2:
            case kCheck3:
                if (value != "on" && value != "off") return false;
                return Checked(id) == (value == "on") || Toggle(id);
            default:
                return Type(id, value.c_str());
        }
    }
    void ExpectValues(const std::vector<std::pair<int, std::string>>& values) const {
        for (const auto& value : values) EXPECT_EQ(value.second, Value(value.first)) << "control " << value.first;
    }
    // Stores the panel's options the way a change of task does.
    void StoreBySelectingAnotherTask() { window->SelectTask(window->currentTask == 1002 ? 1405 : 1002); }

    // The task's panel shows exactly the expected controls, where and as expected; every other
    // option control is hidden.
    void ExpectPanel(int taskID, const std::vector<Placed>& expected) {
        SCOPED_TRACE("task " + std::to_string(taskID));
        Show(taskID);
        for (int id : taskwindow::kOptionControlIDs) {
            const auto found =
                std::find_if(expected.begin(), expected.end(), [id](const Placed& p) { return p.id == id; });
            if (found == expected.end()) {
                EXPECT_FALSE(Visible(id)) << "control " << id << " belongs to no row";
                continue;
            }
            SCOPED_TRACE("control " + std::to_string(id));
            EXPECT_EQ(found->shown, Visible(id));
            const RECT bounds = driver.Bounds(Item(id));
            EXPECT_EQ(found->left, bounds.left);
            EXPECT_EQ(found->top, bounds.top);
            EXPECT_EQ(found->width, bounds.right - bounds.left);
            if (!found->label.empty()) {
                EXPECT_EQ(found->label, Text(id));
            }
            if (!found->rows.empty()) {
                EXPECT_EQ(found->rows, Joined(driver.Rows(Item(id))));
            }
        }
    }

    std::unique_ptr<FCUI> ui;
    std::unique_ptr<TaskTestWindow> window;
    HWND dialog = nullptr;
};

}  // namespace tasktest
