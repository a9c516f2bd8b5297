// Fixture of the end-to-end task tests: a document read from score text with a selection, the
// task window open on the simulated desktop with the real handlers, the style chosen in the panel
// and Apply clicked as the user does. Results are compared as score text without bookkeeping, so
// a failure shows the musical difference.
#pragma once

#include "simhost/Document.h"
#include "simhost/DocumentBuilder.h"
#include "simhost/ScoreText.h"
#include "simhost/SimHost.h"
#include "tests/tasks/PanelTest.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tasktest {

// Slots and measures of the selection, and its positions (the whole measures by default).
struct Selection {
    int firstSlot;
    int lastSlot;
    int firstMeasure;
    int lastMeasure;
    int32_t startPos;
    int32_t endPos;
};

inline Selection Slots(int firstSlot, int lastSlot, int firstMeasure, int lastMeasure, int32_t startPos = 0,
                       int32_t endPos = simhost::DocumentBuilder::kToEnd) {
    return Selection{firstSlot, lastSlot, firstMeasure, lastMeasure, startPos, endPos};
}

class TaskApplyTest : public PanelTest {
protected:
    static simhost::Document& Document() { return simhost::CurrentDocument(); }

    // Reads the document, selects the region (no selection for firstSlot 0) and keeps its state
    // for the comparisons after Apply.
    void Load(const std::string& text, const Selection& selection) {
        simhost::ScoreTextError error;
        ASSERT_TRUE(simhost::ReadScoreText(text, &error)) << error.ToString();
        simhost::DocumentBuilder builder;
        if (selection.firstSlot > 0) {
            ASSERT_TRUE(builder.Select(selection.firstSlot, selection.lastSlot, selection.firstMeasure,
                                       selection.lastMeasure, selection.startPos, selection.endPos));
        } else {
            ASSERT_TRUE(builder.SelectNothing());
        }
        before = Document().State();
        beeps = driver.Beeps().size();
        Document().View().ClearCommands();
    }
    void Load(const std::string& text) { Load(text, Slots(1, 1, 1, 1)); }

    // Selects the task, chooses the style row of its popup, sets "Respace if necessary" and clicks
    // Apply. Apply's result.
    bool Apply(int taskID, int styleRow, bool respace = false) {
        Show(taskID);
        EXPECT_TRUE(Choose(taskwindow::kPopup1, styleRow));
        return ClickApply(respace);
    }
    // Selects the task, sets its controls in order as the user does (see PanelTest::Set: the control
    // ID and the value Value reads back), sets "Respace if necessary" and clicks Apply. Apply's
    // result.
    bool Apply(int taskID, const std::vector<std::pair<int, std::string>>& controls, bool respace = false) {
        Show(taskID);
        for (const auto& control : controls)
            EXPECT_TRUE(Set(control.first, control.second)) << "control " << control.first << ": " << control.second;
        return ClickApply(respace);
    }
    bool ClickApply(bool respace) {
        if (Checked(taskwindow::kRespace) != respace) {
            EXPECT_TRUE(Toggle(taskwindow::kRespace));
        }
        const size_t applied = window->applied.size();
        EXPECT_TRUE(driver.Click(Item(taskwindow::kApply)));
        EXPECT_EQ(applied + 1, window->applied.size());
        return window->applied.size() > applied && window->applied.back();
    }

    // The document's music, without bookkeeping.
    static std::string Music() {
        simhost::ScoreTextOptions options;
        options.bookkeeping = false;
        return simhost::WriteScoreText(options);
    }
    static std::string Expected(const std::string& text) {
        simhost::ScoreTextOptions options;
        options.bookkeeping = false;
        return simhost::CanonicalScoreText(text, options);
    }

    // The Apply changed the document as one undo entry with the task's name, redrew the music
    // without a beep, and undoing that entry gives the document back exactly.
    void ExpectOneUndoableEdit(const std::u16string& name) {
        EXPECT_EQ(std::vector<std::u16string>{name}, Document().UndoList());
        EXPECT_FALSE(Document().IsEditOpen());
        EXPECT_EQ(beeps, driver.Beeps().size());
        EXPECT_EQ(1, Count(simhost::HostCommand::kRedraw, 0));
        ASSERT_TRUE(Document().Undo());
        EXPECT_TRUE(Document().State() == before) << Document().Dump();
    }
    // The Apply changed nothing: no undo entry, the document as it was, one beep, no redraw.
    void ExpectNothingChanged() {
        EXPECT_TRUE(Document().UndoList().empty());
        EXPECT_FALSE(Document().IsEditOpen());
        EXPECT_TRUE(Document().State() == before) << Document().Dump();
        EXPECT_EQ(beeps + 1, driver.Beeps().size());
        EXPECT_EQ(0, Count(simhost::HostCommand::kRedraw, 0));
    }

    // Host commands of that kind (menu items: of that number) run since Load.
    static int Count(simhost::HostCommand::Kind kind, int command) {
        int count = 0;
        for (const simhost::HostCommand& run : Document().View().Commands())
            count += run.kind == kind && (kind != simhost::HostCommand::kMenuItem || run.command == command);
        return count;
    }

    simhost::DocumentState before;
    size_t beeps = 0;
};

}  // namespace tasktest
