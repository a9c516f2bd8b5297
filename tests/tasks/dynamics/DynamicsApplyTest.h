// Fixture of the Dynamics tasks run through Apply: the options are set in the settings and shown
// anew in the panel before Apply is clicked, and questions are answered as the user would.
#pragma once

#include "tests/tasks/TaskApplyTest.h"

#include <functional>
#include <string>

namespace tasktest {

class DynamicsApplyTest : public TaskApplyTest {
protected:
    using Options = std::function<void(PatternSettings&)>;

    // Sets the options, shows the task's panel with them, chooses the row of its first popup and
    // clicks Apply, answering a question with answer (0: no answer given). Apply's result.
    bool Run(int taskID, int firstPopupRow, const Options& options = nullptr, int answer = 0) {
        // Leaving the task stores its panel; the options set afterwards are what the panel shows.
        if (window) window->SelectTask(1405);
        if (options) options(ThePatternSettings());
        if (answer) driver.AnswerNextMessageBox(answer);
        return Apply(taskID, firstPopupRow);
    }

    // The captions of the message boxes shown since the fixture started, joined by "|".
    std::string Captions() const {
        std::string text;
        for (const auto& box : driver.MessageBoxes()) text += (text.empty() ? "" : "|") + box.caption;
        return text;
    }
};

}  // namespace tasktest
