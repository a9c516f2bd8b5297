// Numbered Measures run through the task window's Apply: the run rule, runs restarted by barlines
// and rehearsal marks, Replace, system numbers per part, the staff style question, the refusal of
// a profile that numbers nothing, and the undo entry that gives the document back.
#include "framework/score/FCStaffStyleAssign.h"
#include "framework/score/FCStaffStyleDef.h"
#include "tests/tasks/sequences/NumberingTest.h"

using tasktest::kNumberCategory;
using tasktest::ProfileFacts;
using tasktest::Slots;

namespace {

const std::u16string kEditName = u"Numbered Measures";
constexpr int kEnd = FCNumberSettingsProfile::kAlwaysEndOfRegion;
constexpr int kStartOfSystem = FCNumberSettingsProfile::kAlwaysStartOfSystem;
constexpr int kEndOfSystem = FCNumberSettingsProfile::kAlwaysEndOfSystem;
constexpr int kDouble = FCNumberSettingsProfile::kRestartDoubleBarline;
constexpr int kFinal = FCNumberSettingsProfile::kRestartFinalBarline;
constexpr int kSolid = FCNumberSettingsProfile::kRestartSolidBarline;
constexpr int kMark = FCNumberSettingsProfile::kRestartRehearsalMark;
// "x-Max": the number and the run's maximum.
constexpr int kWithMax = 7;

ProfileFacts Facts(int startAt, int steps, int options) {
    ProfileFacts facts;
    facts.startAt = startAt;
    facts.steps = steps;
    facts.options = options;
    facts.formatting = kWithMax;
    return facts;
}

const std::string kHead = std::string("qzs 1\nstaff 1\n") + kNumberCategory;

class NumberedMeasures : public tasktest::NumberingTest {};

}  // namespace

TEST_F(NumberedMeasures, WritesOneExpressionPerMeasureAsScoreText) {
    Load(kHead + "measure 1\nmeasure 2\nmeasure 3\n", Slots(1, 1, 1, 3));
    Prepare(Facts(1, 1, 0));
    EXPECT_TRUE(ApplyNumbering(kNumberedMeasures, 0));
    const std::string definition = " desc=\"QZ Pattern: Number\" category=3 category-font category-place align=3\n";
    EXPECT_EQ(Expected(kHead + "text-expression 1 \"^fontTxt(Times New Roman)^size(12)^nfx(0)1-3\"" + definition +
                       "text-expression 2 \"^fontTxt(Times New Roman)^size(12)^nfx(0)2-3\"" + definition +
                       "text-expression 3 \"^fontTxt(Times New Roman)^size(12)^nfx(0)3-3\"" + definition +
                       "measure 1\ns1 expression 1\nmeasure 2\ns1 expression 2\nmeasure 3\ns1 expression 3\n"),
              Music());
    ExpectOneUndoableEdit(kEditName);
}

TEST_F(NumberedMeasures, TheRunRuleChoosesTheNumberedMeasures) {
    struct Row {
        int startAt, steps, options;
        const char* numbers;
    };
    const Row rows[] = {
        {1, 1, 0, "m1 s1 1-8, m2 s1 2-8, m3 s1 3-8, m4 s1 4-8, m5 s1 5-8, m6 s1 6-8, m7 s1 7-8, m8 s1 8-8"},
        {2, 3, 0, "m2 s1 2-8, m5 s1 5-8, m8 s1 8-8"},
        {1, 3, kEnd, "m1 s1 1-8, m4 s1 4-8, m7 s1 7-8, m8 s1 8-8"},
        // A start past the region numbers nothing but the end of the region when asked to.
        {9, 1, 0, ""},
        {9, 1, kEnd, "m8 s1 8-8"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.startAt) + " every " + std::to_string(row.steps));
        Load(kHead + "measure 1-8\n", Slots(1, 1, 1, 8));
        Prepare(Facts(row.startAt, row.steps, row.options));
        EXPECT_EQ(*row.numbers != 0, ApplyNumbering(kNumberedMeasures, 0));
        EXPECT_EQ(row.numbers, Numbers());
        if (*row.numbers)
            ExpectOneUndoableEdit(kEditName);
        else
            ExpectNothingChanged();
    }
}

TEST_F(NumberedMeasures, RunsRestartAfterTheBarlinesAndRehearsalMarksTheProfileNames) {
    const std::string twoRuns =
        "m1 s1 1-4, m2 s1 2-4, m3 s1 3-4, m4 s1 4-4, m5 s1 1-4, m6 s1 2-4, m7 s1 3-4, m8 s1 4-4";
    const std::string oneRun = "m1 s1 1-8, m2 s1 2-8, m3 s1 3-8, m4 s1 4-8, m5 s1 5-8, m6 s1 6-8, m7 s1 7-8, m8 s1 8-8";
    const std::string mark = "text-expression 9 \"A\" desc=\"Rehearsal Mark\" rehearsal\n";
    struct Row {
        const char* what;
        int options;
        std::string measures;
        std::string numbers;
    };
    const Row rows[] = {
        {"double barline", kDouble, "measure 1-3\nmeasure 4 bar=double\nmeasure 5-8\n", twoRuns},
        {"double barline, not asked for", kFinal, "measure 1-3\nmeasure 4 bar=double\nmeasure 5-8\n", oneRun},
        {"final barline", kFinal, "measure 1-3\nmeasure 4 bar=final\nmeasure 5-8\n", twoRuns},
        {"solid barline", kSolid, "measure 1-3\nmeasure 4 bar=thick\nmeasure 5-8\n", twoRuns},
        // The region's last measure ends the region's run anyway.
        {"double barline at the end", kDouble, "measure 1-7\nmeasure 8 bar=double\n", oneRun},
        {"rehearsal mark in measure 5", kMark, mark + "measure 1-4\nmeasure 5\ns1 expression 9\nmeasure 6-8\n",
         "m1 s1 1-4, m2 s1 2-4, m3 s1 3-4, m4 s1 4-4, m5 s1 other A, m5 s1 1-4, m6 s1 2-4, m7 s1 3-4, m8 s1 4-4"},
        {"rehearsal mark in the first measure", kMark, mark + "measure 1\ns1 expression 9\nmeasure 2-8\n",
         "m1 s1 other A, m1 s1 1-8, m2 s1 2-8, m3 s1 3-8, m4 s1 4-8, m5 s1 5-8, m6 s1 6-8, m7 s1 7-8, m8 s1 8-8"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Load(kHead + row.measures, Slots(1, 1, 1, 8));
        Prepare(Facts(1, 1, row.options));
        EXPECT_TRUE(ApplyNumbering(kNumberedMeasures, 0));
        EXPECT_EQ(row.numbers, Numbers());
        ExpectOneUndoableEdit(kEditName);
    }
}

TEST_F(NumberedMeasures, ReplacingKeepsOneSetOfNumbersOnTheSameDefinitions) {
    // A text with the same digits under another description is not a number.
    Load(kHead + "text-expression 1 \"2\" desc=\"two\" category=3\nmeasure 1\nmeasure 2\ns1 expression 1\n",
         Slots(1, 1, 1, 2));
    Prepare(Facts(1, 1, 0));
    ASSERT_TRUE(ApplyNumbering(kNumberedMeasures, 0));
    const std::string once = Music();
    EXPECT_EQ("m1 s1 1-2, m2 s1 other 2, m2 s1 2-2", Numbers());
    ASSERT_TRUE(ApplyNumbering(kNumberedMeasures, 0));
    EXPECT_EQ(once, Music()) << "the second run reuses definitions 2 and 3";
    EXPECT_EQ(2u, Document().UndoList().size());

    // Without Replace a second set is added, still on the same definitions.
    ASSERT_TRUE(ApplyNumbering(kNumberedMeasures, 0, false));
    EXPECT_EQ("m1 s1 1-2, m1 s1 1-2, m2 s1 other 2, m2 s1 2-2, m2 s1 2-2", Numbers());
    EXPECT_EQ(3, FCTextExpressionDefs().LoadAll());
}

TEST_F(NumberedMeasures, EveryStaffOfTheSelectionIsNumbered) {
    Load(std::string("qzs 1\nstaff 1\nstaff 2\nstaff 3\n") + kNumberCategory + "measure 1-2\n", Slots(2, 3, 1, 2));
    Prepare(Facts(1, 1, 0));
    EXPECT_TRUE(ApplyNumbering(kNumberedMeasures, 0));
    EXPECT_EQ("m1 s2 1-2, m1 s3 1-2, m2 s2 2-2, m2 s3 2-2", Numbers());
    ExpectOneUndoableEdit(kEditName);
}

TEST_F(NumberedMeasures, TheScorePartAssignmentHidesTheNumbersWhereAsked) {
    struct Row {
        int assignment;
        int partInView;
        bool inScore, inParts;
    };
    const Row rows[] = {
        {0, 0, true, true}, {1, 0, true, false}, {2, 0, false, true}, {3, 0, true, false}, {3, 1, false, true}};
    for (const Row& row : rows) {
        SCOPED_TRACE("assignment " + std::to_string(row.assignment) + " in part " + std::to_string(row.partInView));
        Load(std::string("qzs 1\nstaff 1\npart 1 staves=1\n") + kNumberCategory + "measure 1\n", Slots(1, 1, 1, 1));
        Document().View().SetCurrentPart(row.partInView);
        ProfileFacts facts = Facts(1, 1, 0);
        facts.scorePart = row.assignment;
        Prepare(facts);
        ASSERT_TRUE(ApplyNumbering(kNumberedMeasures, 0));
        FCExpressions expressions;
        ASSERT_EQ(1, expressions.LoadAllForItem(1));
        EXPECT_EQ(row.inScore, expressions.GetItemAt(0)->GetShownInScore());
        EXPECT_EQ(row.inParts, expressions.GetItemAt(0)->GetShownInParts());
        Document().View().SetCurrentPart(0);
    }
}

TEST_F(NumberedMeasures, SystemNumbersShowOnlyInThePartsWhoseSystemsTheyStartOrEnd) {
    // The score's systems: 1-4, 5-8; part 1's (staff 1): 1-3, 4-6, 7-8; part 2 holds staff 2 only.
    const std::string head = std::string("qzs 1\nstaff 1\nstaff 2\npart 1 staves=1\npart 2 staves=2\n") +
                             "system 1 measures=1-4 staves=1,2\nsystem 2 measures=5-8 staves=1,2\n"
                             "system 1 part=1 measures=1-3 staves=1\nsystem 2 part=1 measures=4-6 staves=1\n"
                             "system 3 part=1 measures=7-8 staves=1\n" +
                             kNumberCategory + "measure 1-8\n";
    struct Row {
        const char* what;
        int options;
        const char* numbers;
        // Per system number: shown in the score, in part 1, in part 2.
        std::vector<std::vector<bool>> shown;
    };
    const Row rows[] = {
        {"starts",
         kStartOfSystem,
         "m1 s1 1-8, m4 s1 4-8, m5 s1 5-8, m7 s1 7-8",
         {{false, true, false}, {true, false, false}, {false, true, false}}},
        {"ends",
         kEndOfSystem,
         "m1 s1 1-8, m3 s1 3-8, m4 s1 4-8, m6 s1 6-8, m8 s1 8-8",
         {{false, true, false}, {true, false, false}, {false, true, false}, {true, true, false}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Load(head, Slots(1, 1, 1, 8));
        Prepare(Facts(1, 100, row.options));
        EXPECT_TRUE(ApplyNumbering(kNumberedMeasures, 0));
        EXPECT_EQ(row.numbers, Numbers());
        // Part 2 does not hold the selected staff: its layout was not asked for.
        for (const simhost::HostCommand& command : Document().View().Commands())
            if (command.kind == simhost::HostCommand::kUpdateLayout) {
                EXPECT_NE(2, command.part);
            }
        size_t system = 0;
        for (int measure = 2; measure <= 8; ++measure) {
            FCExpressions expressions;
            if (expressions.LoadAllForItem(uint16_t(measure)) == 0) continue;
            ASSERT_LT(system, row.shown.size());
            for (int part = 0; part <= 2; ++part) {
                Document().View().SetCurrentPart(part);
                FCExpression number;
                ASSERT_TRUE(number.Load(uint16_t(measure), 0));
                EXPECT_EQ(row.shown[system][size_t(part)], number.GetShownInCurrentPart())
                    << "measure " << measure << " part " << part;
            }
            Document().View().SetCurrentPart(0);
            ++system;
        }
        EXPECT_EQ(row.shown.size(), system);
        ExpectOneUndoableEdit(kEditName);
    }
}

TEST_F(NumberedMeasures, APartWithoutStatedSystemsIsLaidOutByTheHost) {
    // Part 1 states no systems: the host lays it out in systems of four measures.
    Load(std::string("qzs 1\nstaff 1\npart 1 staves=1\n") + kNumberCategory + "measure 1-6\n", Slots(1, 1, 1, 6));
    Prepare(Facts(1, 100, kStartOfSystem | kEndOfSystem));
    EXPECT_TRUE(ApplyNumbering(kNumberedMeasures, 0));
    EXPECT_EQ("m1 s1 1-6, m4 s1 4-6, m5 s1 5-6, m6 s1 6-6", Numbers());
    EXPECT_NE(std::string::npos, Music().find("system 2 part=1 measures=5-6 staves=1\n")) << Music();
    ExpectOneUndoableEdit(kEditName);
}

TEST_F(NumberedMeasures, AStaffStyleThatHidesExpressionsAsksFirst) {
    struct Row {
        const char* what;
        int layerField;
        bool visibleInLayer1, visibleInOtherLayers;
        int startMeasure, endMeasure;
        bool asks;
    };
    const Row rows[] = {
        {"hides layer 1", 0, false, true, 2, 3, true},
        {"keeps layer 1 visible", 0, true, false, 2, 3, false},
        {"hides layer 2", 1, true, false, 1, 4, true},
        {"keeps the other layers visible", 1, false, true, 1, 4, false},
        {"reaches past the region", 0, false, false, 2, 5, false},
    };
    for (int answer : {IDYES, IDNO}) {
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(row.what) + (answer == IDYES ? ", yes" : ", no"));
            Load(kHead + "measure 1-5\n", Slots(1, 1, 1, 4));
            // A style record as the host keeps it, then its fields.
            const std::vector<uint8_t> zeros(FCStaffStyleDef().GetDataSize(), 0);
            FXKey key = {{1, 0, 0, 0}};
            ASSERT_TRUE(hostapi::FX_SaveEData(FCStaffStyleDef::kTag, &key, zeros.data(), uint32_t(zeros.size()),
                                              FCStaffStyleDef().GetDataVersion()));
            FCStaffStyleDef style;
            ASSERT_TRUE(style.Load(1));
            style.SetAltNotationKind(1);
            style.SetAltNotationLayerField(row.layerField);
            style.SetExpressionsVisibleInLayer1(row.visibleInLayer1);
            style.SetExpressionsVisibleInOtherLayers(row.visibleInOtherLayers);
            ASSERT_TRUE(style.Save());
            FCStaffStyleAssign assign;
            assign.SetStyleNumber(1);
            assign.SetStartMeasure(row.startMeasure);
            assign.SetEndMeasure(row.endMeasure);
            assign.SetEndMeasurePos(simhost::DocumentBuilder::kToEnd);
            ASSERT_TRUE(assign.SaveNew(1));
            before = Document().State();
            Prepare(Facts(1, 1, 0));
            const size_t boxes = driver.MessageBoxes().size();
            if (row.asks) driver.AnswerNextMessageBox(answer);
            const bool numbers = !row.asks || answer == IDYES;
            EXPECT_EQ(numbers, ApplyNumbering(kNumberedMeasures, 0));
            ASSERT_EQ(boxes + (row.asks ? 1 : 0), driver.MessageBoxes().size());
            if (row.asks) {
                EXPECT_EQ("Staff Style Conflict", driver.MessageBoxes().back().caption);
                EXPECT_EQ("The region contains a staff style that will hide expressions in layer 1. Continue anyway?",
                          driver.MessageBoxes().back().text);
            }
            if (numbers) {
                EXPECT_EQ("m1 s1 1-4, m2 s1 2-4, m3 s1 3-4, m4 s1 4-4", Numbers());
                ExpectOneUndoableEdit(kEditName);
            } else {
                ExpectNothingChanged();
            }
        }
    }
}

TEST_F(NumberedMeasures, AProfileThatShowsNoNumberIsRefusedWithAMessage) {
    Load(kHead + "measure 1-4\n", Slots(1, 1, 1, 4));
    Prepare(Facts(1, 0, kEnd));
    driver.AnswerNextMessageBox(IDOK);
    EXPECT_FALSE(ApplyNumbering(kNumberedMeasures, 0));
    ASSERT_EQ(1u, driver.MessageBoxes().size());
    EXPECT_EQ("Incompatible Profile Setting", driver.MessageBoxes()[0].caption);
    EXPECT_EQ(
        "The profile's \"Show on every\" value must be 1 or more.\nPlease edit the profile or select another one.",
        driver.MessageBoxes()[0].text);
    EXPECT_TRUE(Document().UndoList().empty());
    EXPECT_TRUE(Document().State() == before);
}

TEST_F(NumberedMeasures, WithoutProfileOrCategoryOnlyTheOldNumbersGo) {
    const std::string numbered = kHead + "text-expression 1 \"1\" desc=\"QZ Pattern: Number\" category=3\n" +
                                 "measure 1\ns1 expression 1\nmeasure 2\n";
    // No profile: Replace still deletes, so the run changes the document.
    Load(numbered, Slots(1, 1, 1, 2));
    Prepare(Facts(1, 1, 0));
    window->profiles.ClearAll();
    EXPECT_TRUE(ApplyNumbering(kNumberedMeasures, 0));
    EXPECT_EQ("", Numbers());
    ExpectOneUndoableEdit(kEditName);
    // Nothing to delete and no profile: nothing changes.
    Load(kHead + "measure 1-2\n", Slots(1, 1, 1, 2));
    EXPECT_FALSE(ApplyNumbering(kNumberedMeasures, 0));
    ExpectNothingChanged();
    // A category the document no longer has.
    Load(kHead + "measure 1-2\n", Slots(1, 1, 1, 2));
    Prepare(Facts(1, 1, 0));
    ASSERT_TRUE(window->categories.GetItemAt(0)->DeleteData());
    before = Document().State();
    EXPECT_FALSE(ApplyNumbering(kNumberedMeasures, 0));
    ExpectNothingChanged();
}
