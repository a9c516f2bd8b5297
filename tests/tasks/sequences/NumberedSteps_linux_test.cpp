// Numbered Steps run through the task window's Apply: the beats of each measure, the measures
// after double and after final barlines with their restarts, measures in groups, the refusals of
// a category that cannot place beats and of a group below one measure, and the undo entry.
#include "tests/tasks/sequences/NumberingTest.h"

using tasktest::kNumberCategory;
using tasktest::ProfileFacts;
using tasktest::Slots;

namespace {

const std::u16string kEditName = u"Numbered Steps";
enum { kBeats = 0, kAfterDouble = 1, kAfterFinal = 2, kGroups = 3 };

ProfileFacts Facts(int startAt, int steps, int options, int formatting = 7) {
    ProfileFacts facts;
    facts.startAt = startAt;
    facts.steps = steps;
    facts.options = options;
    facts.formatting = formatting;
    return facts;
}

const std::string kHead = std::string("qzs 1\nstaff 1\n") + kNumberCategory;

class NumberedSteps : public tasktest::NumberingTest {};

}  // namespace

TEST_F(NumberedSteps, BeatsInMeasureNumberEveryBeatAtItsPosition) {
    struct Row {
        const char* measures;
        const char* numbers;
    };
    const Row rows[] = {
        {"measure 1 3/4\nmeasure 2\n",
         "m1 s1 1-3, m1 s1 2-3@1024, m1 s1 3-3@2048, m2 s1 1-3, m2 s1 2-3@1024, m2 s1 3-3@2048"},
        {"measure 1 6/8\nmeasure 2 2/4.\n",
         "m1 s1 1-6, m1 s1 2-6@512, m1 s1 3-6@1024, m1 s1 4-6@1536, m1 s1 5-6@2048, "
         "m1 s1 6-6@2560, m2 s1 1-2, m2 s1 2-2@1536"},
        {"measure 1 3+2/8\nmeasure 2 3/8+2/4\n", "m1 s1 1-2, m1 s1 2-2@1536, m2 s1 1-2, m2 s1 2-2@1536"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.measures);
        Load(kHead + row.measures, Slots(1, 1, 1, 2));
        // The run rule plays no part: every beat is numbered.
        Prepare(Facts(2, 5, 0));
        EXPECT_TRUE(ApplyNumbering(kNumberedSteps, 0, true, kBeats));
        EXPECT_EQ(row.numbers, Numbers());
        ExpectOneUndoableEdit(kEditName);
    }
}

TEST_F(NumberedSteps, BeatsAsScoreText) {
    Load(kHead + "measure 1 2/4\n", Slots(1, 1, 1, 1));
    Prepare(Facts(1, 1, 0, 0));
    EXPECT_TRUE(ApplyNumbering(kNumberedSteps, 0, true, kBeats));
    const std::string definition = " desc=\"QZ Pattern: Number\" category=3 category-font category-place align=3\n";
    EXPECT_EQ(Expected(kHead + "text-expression 1 \"^fontTxt(Times New Roman)^size(12)^nfx(0)1\"" + definition +
                       "text-expression 2 \"^fontTxt(Times New Roman)^size(12)^nfx(0)2\"" + definition +
                       "measure 1 2/4\ns1 expression 1\ns1 expression 2 at=1024\n"),
              Music());
    ExpectOneUndoableEdit(kEditName);
}

TEST_F(NumberedSteps, BarlinesMakeTheSteps) {
    const std::string barlines =
        "measure 1\nmeasure 2 bar=double\nmeasure 3-5\nmeasure 6 bar=double\nmeasure 7\n"
        "measure 8 bar=final\nmeasure 9\nmeasure 10 bar=double\nmeasure 11-12\n";
    struct Row {
        const char* what;
        int method;
        int options;
        int first, last;
        const char* numbers;
    };
    const Row rows[] = {
        {"after double barlines", kAfterDouble, 0, 1, 8, "m3 s1 1-2, m7 s1 2-2"},
        {"the barline before the region counts", kAfterDouble, 0, 3, 12, "m3 s1 1-3, m7 s1 2-3, m11 s1 3-3"},
        {"restart after a final barline", kAfterDouble, FCNumberSettingsProfile::kRestartFinalBarline, 1, 12,
         "m3 s1 1-2, m7 s1 2-2, m11 s1 1-1"},
        {"restart after every double barline", kAfterDouble, FCNumberSettingsProfile::kRestartDoubleBarline, 1, 12,
         "m3 s1 1-1, m7 s1 1-1, m11 s1 1-1"},
        {"after final barlines", kAfterFinal, 0, 1, 12, "m9 s1 1-1"},
        {"the region's last measure is not followed", kAfterDouble, 0, 1, 6, "m3 s1 1-1"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Load(kHead + barlines, Slots(1, 1, row.first, row.last));
        Prepare(Facts(1, 1, row.options));
        EXPECT_TRUE(ApplyNumbering(kNumberedSteps, 0, true, row.method));
        EXPECT_EQ(row.numbers, Numbers());
        ExpectOneUndoableEdit(kEditName);
    }
}

TEST_F(NumberedSteps, ARehearsalMarkRestartsTheCountAtItsMeasure) {
    Load(kHead + "text-expression 9 \"B\" desc=\"Rehearsal Mark\" rehearsal\n" +
             "measure 1 bar=double\nmeasure 2 bar=double\nmeasure 3 bar=double\ns1 expression 9\nmeasure 4 bar=double\n"
             "measure 5\n",
         Slots(1, 1, 1, 5));
    Prepare(Facts(1, 1, FCNumberSettingsProfile::kRestartRehearsalMark));
    EXPECT_TRUE(ApplyNumbering(kNumberedSteps, 0, true, kAfterDouble));
    EXPECT_EQ("m2 s1 1-1, m3 s1 other B, m3 s1 1-3, m4 s1 2-3, m5 s1 3-3", Numbers());
    ExpectOneUndoableEdit(kEditName);
}

TEST_F(NumberedSteps, MeasuresInGroupsNumberEveryNthMeasure) {
    struct Row {
        const char* group;
        int startAt, steps, options;
        const char* numbers;
    };
    const Row rows[] = {
        {"4", 1, 1, 0, "m1 s1 1-3, m5 s1 2-3, m9 s1 3-3"},
        {"3", 2, 2, FCNumberSettingsProfile::kAlwaysEndOfRegion, "m4 s1 2-4, m10 s1 4-4"},
        {"20", 1, 1, 0, "m1 s1 1-1"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.group);
        Load(kHead + "measure 1-10\n", Slots(1, 1, 1, 10));
        Prepare(Facts(row.startAt, row.steps, row.options));
        EXPECT_TRUE(ApplyNumbering(kNumberedSteps, 0, true, kGroups, row.group));
        EXPECT_EQ(row.numbers, Numbers());
        ExpectOneUndoableEdit(kEditName);
    }
}

TEST_F(NumberedSteps, RefusesWhatWouldNumberNothingOrNeverEnd) {
    struct Row {
        const char* what;
        int method;
        const char* group;
        int steps;
        int category;
        const char* caption;
    };
    const Row rows[] = {
        {"a group of no measures", kGroups, "0", 1, 1, "Incompatible Group Size"},
        {"a negative group", kGroups, "-3", 1, 1, "Incompatible Group Size"},
        {"a profile that shows no number", kAfterDouble, nullptr, 0, 1, "Incompatible Profile Setting"},
        {"beats in a category with a fixed alignment", kBeats, nullptr, 1, 0, "Incompatible Category Setting"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Load(kHead + "category 2 \"Left\" size=12 align=1\nmeasure 1\nmeasure 2 bar=double\nmeasure 3\n",
             Slots(1, 1, 1, 3));
        Prepare(Facts(1, row.steps, 0));
        const size_t boxes = driver.MessageBoxes().size();
        driver.AnswerNextMessageBox(IDOK);
        EXPECT_FALSE(ApplyNumbering(kNumberedSteps, row.category, true, row.method, row.group));
        ASSERT_EQ(boxes + 1, driver.MessageBoxes().size());
        EXPECT_EQ(row.caption, driver.MessageBoxes().back().caption);
        EXPECT_TRUE(Document().UndoList().empty());
        EXPECT_TRUE(Document().State() == before);
    }
}
