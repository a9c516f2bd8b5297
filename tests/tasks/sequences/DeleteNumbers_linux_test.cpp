// Delete Numbers run through the task window's Apply: only the plug-in's numbers go, in whole
// measures and only on the selected staves; definitions stay and are reused by later numbers.
#include "tests/tasks/sequences/NumberingTest.h"

using tasktest::kNumberCategory;
using tasktest::Slots;

namespace {

const std::u16string kEditName = u"Delete Numbers";

// Definition 1 is a number, 2 shows the same digit under another description, 3 is a shape.
const std::string kHead = std::string("qzs 1\nstaff 1\nstaff 2\n") + kNumberCategory +
                          "text-expression 1 \"^fontTxt(Times New Roman)^size(12)^nfx(0)1\" "
                          "desc=\"QZ Pattern: Number\" category=3 category-font category-place align=3\n"
                          "text-expression 2 \"1\" desc=\"QZ Pattern: Numbers\"\n";

class DeleteNumbers : public tasktest::NumberingTest {};

}  // namespace

TEST_F(DeleteNumbers, OnlyThePluginsNumbersOnTheSelectedStavesGo) {
    const std::string measures =
        "measure 1\ns1 expression 1 at=512\ns1 expression 2\ns2 expression 1\n"
        "measure 2\ns1 expression 1 at=3072\ns1 expression 1 shape\n"
        "measure 3\ns1 expression 1\n";
    // From the second beat of measure 1 to the second beat of measure 2, staff 1: whole measures count.
    Load(kHead + measures, Slots(1, 1, 1, 2, 1024, 1024));
    EXPECT_TRUE(ApplyNumbering(kDeleteNumbers, 0));
    EXPECT_EQ(Expected(kHead + "measure 1\ns1 expression 2\ns2 expression 1\nmeasure 2\ns1 expression 1 shape\n"
                               "measure 3\ns1 expression 1\n"),
              Music());
    ExpectOneUndoableEdit(kEditName);
}

TEST_F(DeleteNumbers, NothingToDeleteChangesNothing) {
    Load(kHead + "measure 1\ns1 expression 2\nmeasure 2\ns2 expression 1\n", Slots(1, 1, 1, 2));
    EXPECT_FALSE(ApplyNumbering(kDeleteNumbers, 0));
    ExpectNothingChanged();
}

TEST_F(DeleteNumbers, NumbersWrittenAgainReuseTheDefinitionsLeftBehind) {
    Load(kHead + "measure 1\ns1 expression 1\n", Slots(1, 1, 1, 1));
    ASSERT_TRUE(ApplyNumbering(kDeleteNumbers, 0));
    EXPECT_EQ("", Numbers());
    EXPECT_EQ(2, FCTextExpressionDefs().LoadAll()) << "the definitions stay";
    tasktest::ProfileFacts facts;
    facts.options = 0;
    Prepare(facts);
    ASSERT_TRUE(ApplyNumbering(kNumberedMeasures, 0));
    EXPECT_EQ(Expected(kHead + "measure 1\ns1 expression 1\n"), Music());
}
