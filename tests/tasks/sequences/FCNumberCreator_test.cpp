// The number creator and the step collection: which steps of a run carry a number, where runs of
// steps end, and which existing definitions a number may reuse.
#include "tasks/sequences/FCNumberCreator.h"

#include "framework/markings/FCCategoryDef.h"
#include "framework/markings/FCExpression.h"
#include "framework/markings/FCTextExpressionDef.h"
#include "profiles/FCNumberSettingsProfile.h"
#include "simhost/ScoreText.h"
#include "simhost/SimHost.h"
#include "framework/core/FCNumberCollection.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

TEST(NumberRunRule, StepsFromStartAtAndTheEndOfTheRegion) {
    struct Row {
        int startAt, steps;
        bool alwaysEnd;
        int n;
        const char* numbered;  // one character per step
    };
    const Row rows[] = {
        {1, 1, false, 5, "xxxxx"},
        {2, 3, false, 8, ".x..x..x"},
        {1, 3, true, 8, "x..x..xx"},
        {3, 1, false, 2, ".."},
        {3, 1, true, 2, ".x"},
        {0, 2, false, 5, ".x.x."},
        // "Show on every" below 1 numbers nothing but the end of the region (the task refuses it).
        {1, 0, false, 3, "..."},
        {1, -2, true, 3, "..x"},
    };
    for (const Row& row : rows) {
        FCNumberSettingsProfile profile;
        profile.SetStartAt(row.startAt);
        profile.SetSteps(row.steps);
        profile.SetOption(FCNumberSettingsProfile::kAlwaysEndOfRegion, row.alwaysEnd);
        std::string got;
        for (int k = 0; k < row.n; ++k) got += FCNumberCreator::IsNumberedStep(&profile, k, row.n) ? 'x' : '.';
        EXPECT_EQ(row.numbered, got) << row.startAt << " every " << row.steps;
    }
    EXPECT_FALSE(FCNumberCreator::IsNumberedStep(nullptr, 0, 1));
}

TEST(NumberCollection, ARunEndsBeforeTheNextStepThatRestarts) {
    FCNumberCollection steps;
    const bool restarts[] = {true, false, true, true, false, false};
    for (int i = 0; i < 6; ++i) steps.AddStep(10 + i, restarts[i]);
    const int ends[] = {1, 1, 2, 5, 5, 5};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(ends[i], steps.GetRunEnd(i)) << i;
    EXPECT_EQ(-1, steps.GetRunEnd(6));
    EXPECT_EQ(-1, steps.GetRunEnd(-1));
    EXPECT_EQ(13, steps.GetItemAt(3)->GetInt());
}

TEST(NumberCreator, ReusesOnlyAnEqualDefinitionOfItsOwnKind) {
    const std::string head =
        "qzs 1\nstaff 1\ncategory 3 \"Technique Text\" size=12 align=3\n"
        "category 4 \"Other\" size=12\n";
    const std::string number = " desc=\"QZ Pattern: Number\" category=3 category-font category-place";
    struct Row {
        const char* what;
        std::string definition;
        bool reused;
    };
    const Row rows[] = {
        // The first font command does not count: another font, the same digit.
        {"the same number in another font", "\"^fontTxt(Arial)^size(12)^nfx(0)7\"" + number, true},
        {"another description",
         "\"^fontTxt(Maestro)^size(12)^nfx(0)7\" desc=\"QZ Pattern: Numbers\" category=3 "
         "category-font category-place",
         false},
        {"not placed by the category",
         "\"^fontTxt(Maestro)^size(12)^nfx(0)7\" desc=\"QZ Pattern: Number\" "
         "category=3 category-font",
         false},
        {"without the category's font",
         "\"^fontTxt(Maestro)^size(12)^nfx(0)7\" desc=\"QZ Pattern: Number\" "
         "category=3 category-place",
         false},
        {"another category",
         "\"^fontTxt(Maestro)^size(12)^nfx(0)7\" desc=\"QZ Pattern: Number\" category=4 "
         "category-font category-place",
         false},
        {"other text after the font", "\"^fontTxt(Maestro)^size(12)^nfx(0)7 \"" + number, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_TRUE(simhost::ReadScoreText(head + "text-expression 1 " + row.definition + "\nmeasure 1\n"));
        FCCategoryDef category;
        ASSERT_TRUE(category.Load(3));
        FCTextExpressionDefs definitions;
        ASSERT_EQ(1, definitions.LoadAll());
        FCNumberSettingsProfile profile;
        FCNumberCreator creator(9, &category, &definitions, &profile);
        std::unique_ptr<FCExpression> made(creator.CreateNumber(1, 1, 7));
        ASSERT_TRUE(made);
        EXPECT_EQ(row.reused ? 1 : 2, made->GetDefinitionNumber());
        EXPECT_EQ(row.reused ? 1 : 2, definitions.GetCount()) << "a saved definition joins the list";
        // A second number of the same text takes the same definition.
        std::unique_ptr<FCExpression> again(creator.CreateNumber(1, 1, 7));
        ASSERT_TRUE(again);
        EXPECT_EQ(made->GetDefinitionNumber(), again->GetDefinitionNumber());
        EXPECT_EQ(row.reused ? 1 : 2, FCTextExpressionDefs().LoadAll());
    }
}

TEST(NumberCreator, AMaximumWithItsOwnStyleLeavesTheCategorysFont) {
    ASSERT_TRUE(simhost::ReadScoreText("qzs 1\nstaff 1\ncategory 3 \"T\" size=12 align=3\nmeasure 1\n"));
    FCCategoryDef category;
    ASSERT_TRUE(category.Load(3));
    FCTextExpressionDefs definitions;
    FCNumberSettingsProfile profile;
    profile.SetFormatting(4);  // "x (Max)"
    profile.SetOptions(FCNumberSettingsProfile::kMaxItalics | FCNumberSettingsProfile::kMaxOnFirst);
    FCNumberCreator creator(3, &category, &definitions, &profile);
    for (int number = 1; number <= 2; ++number) {
        std::unique_ptr<FCExpression> made(creator.CreateNumber(1, 1, number));
        ASSERT_TRUE(made);
        std::unique_ptr<FCTextExpressionDef> definition(made->CreateTextExpressionDef());
        ASSERT_TRUE(definition);
        FCString text;
        definition->GetText(&text);
        // Only the first shows the maximum (in italics), so only it gives up the category's font.
        EXPECT_EQ(number == 1 ? "^fontTxt(Maestro)^size(12)^nfx(0)1 ^nfx(2)(3)" : "^fontTxt(Maestro)^size(12)^nfx(0)2",
                  text.GetUTF8());
        EXPECT_EQ(number != 1, definition->GetUseCategoryFont());
        EXPECT_TRUE(definition->GetUseCategoryPlacement());
    }
    // Nothing to make a number of: no category, or one without a number.
    FCNumberCreator none(3, nullptr, &definitions, &profile);
    EXPECT_EQ(nullptr, none.CreateNumber(1, 1, 1));
    FCCategoryDef unsaved;
    FCNumberCreator unnumbered(3, &unsaved, &definitions, &profile);
    EXPECT_EQ(nullptr, unnumbered.CreateNumber(1, 1, 1));
}

TEST(NumberCreator, HostsBeforeTheCategoryBitsNeverShareANumbersDefinition) {
    // Such hosts keep no use-category-placement bit, so no definition is ever found again.
    for (uint32_t version : {0x10000000u, 0x1B000000u}) {
        SCOPED_TRACE(version);
        simhost::Reset();
        hostapi::SetHostVersion(version);
        ASSERT_TRUE(simhost::ReadScoreText("qzs 1\nstaff 1\nstaff 2\ncategory 3 \"T\" size=12 align=3\nmeasure 1\n"));
        FCCategoryDef category;
        ASSERT_TRUE(category.Load(3));
        FCTextExpressionDefs definitions;
        FCNumberSettingsProfile profile;
        FCNumberCreator creator(1, &category, &definitions, &profile);
        std::unique_ptr<FCExpression> first(creator.CreateNumber(1, 1, 1));
        std::unique_ptr<FCExpression> second(creator.CreateNumber(1, 2, 1));
        ASSERT_TRUE(first && second);
        EXPECT_EQ(version < 0x11000000u ? 2 : 1, FCTextExpressionDefs().LoadAll());
    }
    hostapi::SetHostVersion(simhost::HostVersion());
}
