#include "framework/markings/FCExpression.h"
#include "framework/markings/FCShapeExpressionDef.h"
#include "framework/markings/FCTextExpressionDef.h"
#include "framework/score/FCCell.h"
#include "framework/score/FCMeasure.h"
#include "simhost/DocumentBuilder.h"
#include "tests/framework/markings/MarkingsRecords.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>

using markingstest::Bytes;
using markingstest::Stored;
using markingstest::WordAt;
using simhost::DocumentBuilder;

namespace {

// Two staves, four measures.
void BuildDocument(DocumentBuilder& doc) {
    doc.AddStaves(2);
    doc.AddMeasures(4);
    ASSERT_TRUE(doc.Ok());
}

bool MeasureHasExpressions(int measure) {
    FCMeasure record;
    return record.Load(uint16_t(measure)) && record.GetHasExpressions();
}

}  // namespace

// Byte level: every field at its offset; creation into a cell clears word 14, takes the cell's
// staff, gets the next incidence and marks the measure as having expressions.
TEST(ExpressionLayout, CreatingIntoACellWritesEveryFieldAndMarksTheMeasure) {
    DocumentBuilder doc;
    BuildDocument(doc);
    ASSERT_FALSE(MeasureHasExpressions(3));

    // A record the framework did not write, with word 14 in use, copied into another cell.
    Bytes foreign(FCExpression::kDataSize, 0);
    markingstest::SetWord(foreign, 0, 7);
    markingstest::SetWord(foreign, 14, 0x1234);
    markingstest::SetWord(foreign, 20, 0xBEEF);
    markingstest::Put(FCExpression::kTag, 1, 0, foreign);

    FCExpression expression;
    ASSERT_TRUE(expression.Load(1, 0));
    EXPECT_EQ(expression.GetDefinitionNumber(), 7);
    expression.SetMeasurePos(70000);
    expression.SetLayerAssignment(3);
    expression.SetShownInScore(false);
    FCCell cell(3, 2);
    ASSERT_TRUE(expression.SaveNewIntoCell(&cell));
    EXPECT_EQ(expression.GetItemCmper(), 3);
    EXPECT_EQ(expression.GetItemInci(), 0);
    ASSERT_TRUE(expression.SaveNewIntoCell(&cell));
    EXPECT_EQ(expression.GetItemInci(), 1);

    const Bytes* bytes = Stored(FCExpression::kTag, 3, 0);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->size(), FCExpression::kDataSize);
    EXPECT_EQ(WordAt(bytes, 0), 7);
    EXPECT_EQ(WordAt(bytes, 2), 4464);  // 70000 = 1 * 65536 + 4464
    EXPECT_EQ(WordAt(bytes, 8), 2);
    EXPECT_EQ(WordAt(bytes, 10), 3 | FCExpression::kHiddenInScore);
    EXPECT_EQ(WordAt(bytes, 14), 0);
    EXPECT_EQ(WordAt(bytes, 16), 1);
    EXPECT_EQ(WordAt(bytes, 20), 0xBEEF);  // bytes the framework does not use pass through
    EXPECT_TRUE(MeasureHasExpressions(3));
    EXPECT_FALSE(MeasureHasExpressions(2));
}

// Positions round-trip through the two words, the low word read as signed. Positions whose low
// 16 bits have the top bit set (32768 to 65535, ...) must come back unchanged too.
TEST(ExpressionLayout, MeasurePositionsRoundTripThroughBothWords) {
    DocumentBuilder doc;
    BuildDocument(doc);
    const struct {
        int position;
        uint16_t low, high;
    } rows[] = {
        {0, 0, 0},         {1024, 1024, 0},          {-1, 0xFFFF, 0},           {70000, 4464, 1},
        {32767, 32767, 0}, {32768, 0x8000, 1},       {40000, 0x9C40, 1},        {65535, 0xFFFF, 1},
        {65536, 0, 1},     {-70000, 0xEE90, 0xFFFF}, {INT_MAX, 0xFFFF, 0x8000}, {INT_MIN, 0, 0x8000},
    };
    FCCell cell(1, 1);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.position);
        FCExpression expression;
        expression.SetMeasurePos(row.position);
        ASSERT_TRUE(expression.SaveNewIntoCell(&cell));
        const Bytes* bytes = Stored(FCExpression::kTag, 1, uint16_t(expression.GetItemInci()));
        EXPECT_EQ(WordAt(bytes, 2), row.low);
        EXPECT_EQ(WordAt(bytes, 16), row.high);
        FCExpression loaded;
        ASSERT_TRUE(loaded.Load(1, uint16_t(expression.GetItemInci())));
        EXPECT_EQ(loaded.GetMeasurePos(), row.position);
    }
    // A record with low word 0xFFFF and high word 0 reads as -1.
    Bytes raw(FCExpression::kDataSize, 0);
    markingstest::SetWord(raw, 2, 0xFFFF);
    markingstest::Put(FCExpression::kTag, 2, 0, raw);
    FCExpression loaded;
    ASSERT_TRUE(loaded.Load(2, 0));
    EXPECT_EQ(loaded.GetMeasurePos(), -1);
}

TEST(Expression, FlagSettersChangeOnlyTheirBits) {
    FCExpression expression;
    expression.SetShape(true);
    expression.SetShownInParts(false);
    expression.SetShownInScore(false);
    expression.SetShownInCurrentPart(false);
    expression.SetLayerAssignment(12);  // only the low three bits are kept
    EXPECT_EQ(expression.GetFlags(), 4 | 0x0800 | 0x1000 | 0x2000 | 0x4000);
    EXPECT_FALSE(expression.GetShownInParts() || expression.GetShownInScore() || expression.GetShownInCurrentPart());
    expression.SetShownInScore(true);
    expression.SetLayerAssignment(0);
    EXPECT_EQ(expression.GetFlags(), 0x0800 | 0x2000 | 0x4000);
    expression.SetShownInParts(true);
    expression.SetShownInCurrentPart(true);
    EXPECT_EQ(expression.GetFlags(), 0x2000);
}

TEST(Expression, SettingADefinitionNeedsANumberedDefinitionAndSetsTheKind) {
    DocumentBuilder doc;
    BuildDocument(doc);
    FCTextExpressionDef text;
    FCShapeExpressionDef shape;
    FCExpression expression;
    expression.SetDefinitionNumber(9);
    expression.SetShape(true);
    EXPECT_FALSE(expression.SetTextDefinition(nullptr));
    EXPECT_FALSE(expression.SetTextDefinition(&text));  // not saved yet: number 0
    EXPECT_EQ(expression.GetDefinitionNumber(), 9);
    EXPECT_TRUE(expression.IsShape());

    ASSERT_TRUE(text.SaveNew());
    ASSERT_TRUE(shape.SaveNew());
    ASSERT_TRUE(shape.SaveNew());
    ASSERT_TRUE(expression.SetTextDefinition(&text));
    EXPECT_EQ(expression.GetDefinitionNumber(), text.GetItemNo());
    EXPECT_FALSE(expression.IsShape());
    std::unique_ptr<FCTextExpressionDef> loadedText(expression.CreateTextExpressionDef());
    ASSERT_TRUE(loadedText);
    EXPECT_EQ(loadedText->GetItemNo(), text.GetItemNo());
    EXPECT_EQ(expression.CreateShapeExpressionDef(), nullptr);

    ASSERT_TRUE(expression.SetShapeDefinition(&shape));
    EXPECT_EQ(expression.GetDefinitionNumber(), 2);
    EXPECT_TRUE(expression.IsShape());
    std::unique_ptr<FCShapeExpressionDef> loadedShape(expression.CreateShapeExpressionDef());
    ASSERT_TRUE(loadedShape);
    EXPECT_EQ(loadedShape->GetItemNo(), 2);
    EXPECT_EQ(expression.CreateTextExpressionDef(), nullptr);

    // A definition that does not exist gives none.
    expression.SetShape(false);
    expression.SetDefinitionNumber(40);
    EXPECT_EQ(expression.CreateTextExpressionDef(), nullptr);
}

TEST(Expression, CreationFailsWithoutAMeasureOrACellAndLeavesNothing) {
    DocumentBuilder doc;
    BuildDocument(doc);
    FCExpression expression;
    FCCell missing(9, 1);
    EXPECT_FALSE(expression.SaveNewIntoCell(&missing));
    EXPECT_FALSE(expression.SaveNewIntoCell(nullptr));
    EXPECT_FALSE(expression.SaveNewUnderMeasure(0));
    EXPECT_EQ(markingstest::Count(FCExpression::kTag), 0);

    simhost::SetFailing("FX_CreateEData");
    FCCell cell(2, 1);
    EXPECT_FALSE(expression.SaveNewIntoCell(&cell));
    EXPECT_EQ(markingstest::Count(FCExpression::kTag), 0);
}

// Copying an expression to other measures and staves: each creation writes the current fields,
// the source record stays as it was.
TEST(Expression, ALoadedExpressionCanBeCreatedUnderSeveralMeasures) {
    DocumentBuilder doc;
    BuildDocument(doc);
    FCExpression source;
    source.SetDefinitionNumber(5);
    source.SetMeasurePos(512);
    FCCell cell(1, 1);
    ASSERT_TRUE(source.SaveNewIntoCell(&cell));

    FCExpression copy;
    ASSERT_TRUE(copy.Load(1, 0));
    copy.SetStaff(2);
    ASSERT_TRUE(copy.SaveNewUnderMeasure(1));
    ASSERT_TRUE(copy.SaveNewUnderMeasure(4));
    EXPECT_TRUE(MeasureHasExpressions(4));
    EXPECT_EQ(WordAt(Stored(FCExpression::kTag, 1, 0), 8), 1);
    EXPECT_EQ(WordAt(Stored(FCExpression::kTag, 1, 1), 8), 2);
    EXPECT_EQ(WordAt(Stored(FCExpression::kTag, 4, 0), 8), 2);
    EXPECT_EQ(WordAt(Stored(FCExpression::kTag, 4, 0), 2), 512);
}

TEST(Expressions, AMeasureLoadsAllStavesAndACellOnlyItsStaff) {
    DocumentBuilder doc;
    BuildDocument(doc);
    // Measure 2: staff 1, staff 2, staff 1 (definitions 1, 2, 3).
    const int staves[] = {1, 2, 1};
    for (int i = 0; i < 3; ++i) {
        FCExpression expression;
        expression.SetDefinitionNumber(i + 1);
        FCCell cell(2, staves[i]);
        ASSERT_TRUE(expression.SaveNewIntoCell(&cell));
    }
    FCExpressions measure;
    EXPECT_EQ(measure.LoadAllForItem(2), 3);
    EXPECT_EQ(measure.LoadAllForItem(3), 0);

    FCExpressions expressions;
    FCCell cell(2, 1);
    ASSERT_EQ(expressions.LoadAllInCell(&cell), 2);
    EXPECT_EQ(expressions.GetItemAt(0)->GetDefinitionNumber(), 1);
    EXPECT_EQ(expressions.GetItemAt(1)->GetDefinitionNumber(), 3);
    EXPECT_EQ(expressions.GetItemAt(1)->GetItemInci(), 2);
    EXPECT_EQ(expressions.GetItemAt(1)->GetMeasure(), 2);
    EXPECT_EQ(expressions.LoadAllInCell(nullptr), 0);

    // Deleting the last incidence leaves the others as they were.
    ASSERT_EQ(measure.LoadAllForItem(2), 3);
    EXPECT_TRUE(measure.GetItemAt(2)->DeleteData());
    ASSERT_EQ(measure.LoadAllForItem(2), 2);
    EXPECT_EQ(measure.GetItemAt(1)->GetDefinitionNumber(), 2);
}
