// Fixture of the numbering tasks run through Apply: a document from score text with the window's
// categories loaded from it, one number profile made by the test, the task's popups and Replace
// box set as a user sets them, and a short listing of the numbers the document holds.
#pragma once

#include "framework/markings/FCExpression.h"
#include "framework/markings/FCTextExpressionDef.h"
#include "profiles/FCNumberSettingsProfile.h"
#include "tests/tasks/TaskApplyTest.h"

#include <memory>
#include <string>

namespace tasktest {

// The profile facts a test sets; the rest keep the defaults of a new profile.
struct ProfileFacts {
    int startAt = 1;
    int steps = 1;
    int options = 0;
    int formatting = 0;
    int scorePart = 0;
};

class NumberingTest : public TaskApplyTest {
protected:
    static constexpr int kNumberedMeasures = 1403;
    static constexpr int kNumberedSteps = 1404;
    static constexpr int kDeleteNumbers = 1405;

    // The window with the document's categories and one profile with these facts.
    void Prepare(const ProfileFacts& facts) {
        if (!window) Open();
        window->categories.LoadAll();
        window->profiles.ClearAll();
        FCNumberSettingsProfile* profile = new FCNumberSettingsProfile;
        profile->SetStartAt(facts.startAt);
        profile->SetSteps(facts.steps);
        profile->SetOptions(facts.options);
        profile->SetFormatting(facts.formatting);
        profile->SetScorePartAssignment(facts.scorePart);
        window->profiles.Add(profile);
    }

    // Selects the task, its category row (the row in the window's list) and profile row 0, the
    // Replace box, for Numbered Steps the method and group size, and clicks Apply.
    bool ApplyNumbering(int taskID, int categoryRow, bool replace = true, int method = -1,
                        const char* group = nullptr) {
        using namespace taskwindow;
        Show(taskID);
        if (taskID == kNumberedMeasures) {
            EXPECT_TRUE(Choose(kPopup1, categoryRow));
            if (window->profiles.GetCount()) {
                EXPECT_TRUE(Choose(kPopup2, 0));
            }
        } else if (taskID == kNumberedSteps) {
            if (method >= 0) {
                EXPECT_TRUE(Choose(kPopup1, method));
            }
            if (group) {
                EXPECT_TRUE(Type(kEdit1, group));
            }
            EXPECT_TRUE(Choose(kPopup2, categoryRow));
            if (window->profiles.GetCount()) {
                EXPECT_TRUE(Choose(kPopup3, 0));
            }
        }
        if (taskID != kDeleteNumbers && Checked(kCheck1) != replace) {
            EXPECT_TRUE(Toggle(kCheck1));
        }
        const size_t applied = window->applied.size();
        EXPECT_TRUE(driver.Click(Item(kApply)));
        EXPECT_EQ(applied + 1, window->applied.size());
        return window->applied.size() > applied && window->applied.back();
    }

    // Every expression of the document in record order as "mM sS TEXT" (with "@P" for a position
    // other than 0), the text without font commands; text expressions of other descriptions are
    // marked "other".
    static std::string Numbers() {
        std::string text;
        for (int measure = 1; measure < 0xFFFF; ++measure) {
            FCExpressions expressions;
            if (expressions.LoadAllForItem(uint16_t(measure)) == 0) {
                if (measure > 400) break;
                continue;
            }
            for (int i = 0; i < expressions.GetCount(); ++i) {
                FCExpression* expression = expressions.GetItemAt(i);
                std::unique_ptr<FCTextExpressionDef> definition(expression->CreateTextExpressionDef());
                FCString shown;
                std::string what;
                if (definition) {
                    definition->GetText(&shown);
                    shown.StripFontCommands();
                    FCString description;
                    definition->GetDescription(&description);
                    if (!description.IsEqualCString("QZ Pattern: Number")) what = "other ";
                }
                if (!text.empty()) text += ", ";
                text += "m" + std::to_string(measure) + " s" + std::to_string(expression->GetStaff()) + " " + what +
                        shown.GetUTF8();
                if (expression->GetMeasurePos()) text += "@" + std::to_string(expression->GetMeasurePos());
            }
        }
        return text;
    }
};

// A category that places its expressions freely (alignment 3), the font the numbers get.
const char* const kNumberCategory = "category 3 \"Technique Text\" font=\"Times New Roman\" size=12 align=3\n";

}  // namespace tasktest
