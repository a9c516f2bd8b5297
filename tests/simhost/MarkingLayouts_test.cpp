// The marking records the score text reader stores, checked at literal byte offsets and read back
// through the plug-in's framework: the stand-in host keeps its own description of these layouts
// (simhost/layouts/MarkingLayouts.h), so a wrong offset on either side shows here.
#include "framework/core/FCString.h"
#include "framework/entries/FCArticulation.h"
#include "framework/entries/FCArticulationDef.h"
#include "framework/entries/FCTuplet.h"
#include "framework/host/hostapi.h"
#include "framework/markings/FCCategoryDef.h"
#include "framework/markings/FCExpression.h"
#include "framework/markings/FCShapeExpressionDef.h"
#include "framework/markings/FCSmartShape.h"
#include "framework/markings/FCTextExpressionDef.h"
#include "framework/score/FCMeasure.h"
#include "framework/score/FCStaffStyleAssign.h"
#include "framework/score/FCStaffStyleDef.h"
#include "simhost/Document.h"
#include "simhost/ScoreText.h"
#include "simhost/SimHost.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace simhost;

namespace {

const char* const kMarkings =
    "qzs 1\n"
    "staff 1\n"
    "category 7 \"Tempo\" type=3 font=5 size=14 effects=2 align=-1 place=-5,6,-7,8,9 flags=0x0102\n"
    "text-expression 4 \"Allegro\" desc=\"fast\" category=7 category-font category-place align=2 "
    "place=-1,2,-3,4,5 rehearsal\n"
    "shape-expression 3 category=7\n"
    "articulation 2 char=46 alt=62 main=alt mode=2 font=9 size=24 effects=1 alt-font=10 alt-size=12 "
    "alt-effects=3 A=-11 B=12 M=13 flags2=0x0001\n"
    "staff-style 2 kind=3 layer=2 expressions-layer1 expressions-other\n"
    "staff-style-span 1 style=2 measures=1-2 start=256 end=768\n"
    "measure 1\n"
    "s1 expression 4 at=40000 layer=2 hide-parts\n"
    "s1 expression 3 shape at=-3 hide-score hide-part\n"
    "s1: {3:2 x=7 hook-left=-2 flags=0x0123 flags2=0x8000 8 C4!art2(5,-6) D4 E4} 4 F4 G4 A4\n"
    "s1 slur 1-3 y=4,-5\n"
    "measure 2\n"
    "s1: 1 C5\n"
    "s1 cresc @256-@1024\n";

FXKey Key(int a, int b = 0, int c = 0) { return FXKey{{uint16_t(a), uint16_t(b), uint16_t(c), 0}}; }

struct Field {
    const char* what;
    uint32_t tag;
    FXKey key;
    int offset;
    int width;  // bytes
    int64_t value;
};

// The fields every host version keeps at the same place, and those that move with the layouts of
// host versions 0x11000000 (UTF-16 texts, long definitions) and 0x12000000 (current measures).
std::vector<Field> Expected(uint32_t version) {
    const bool utf16 = version >= 0x11000000;
    const bool current = version >= 0x12000000;
    const uint32_t category = FXTag('S', 'O', 'M', 'C'), textDef = FXTag('S', 'O', 'D', 'T');
    const uint32_t articDef = FXTag('O', '\x04', 'I', 'X'), expression = FXTag('S', 'O', 'D', 'Y');
    const uint32_t tuplet = FXTag('E', '\x03', 'T', 'P'), shape = 0x4F085378;
    return {
        {"category type", category, Key(7), 0, 2, 3},
        {"category name", category, Key(7), 2, utf16 ? 2 : 1, 'T'},
        {"category name, second character", category, Key(7), utf16 ? 4 : 3, utf16 ? 2 : 1, 'e'},
        {"category font", category, Key(7), utf16 ? 260 : 68, 2, 5},
        {"category font size", category, Key(7), utf16 ? 262 : 70, 2, 14},
        {"category font effects", category, Key(7), utf16 ? 264 : 72, 2, 2},
        {"category alignment", category, Key(7), utf16 ? 280 : 88, 2, -1},
        {"category placement 1", category, Key(7), utf16 ? 278 : 86, 2, -5},
        {"category placement 2", category, Key(7), utf16 ? 282 : 90, 2, 6},
        {"category placement 5", category, Key(7), utf16 ? 288 : 96, 2, 9},
        {"category flags", category, Key(7), utf16 ? 294 : 102, 2, 0x0102},
        {"text block of the definition", textDef, Key(4), 0, 2, 1},
        {"rehearsal mark", textDef, Key(4), 2, 2, 1},
        {"definition alignment", textDef, Key(4), 12, 2, 2},
        {"definition placement 1", textDef, Key(4), 14, 2, -1},
        {"definition placement 3", textDef, Key(4), 24, 2, -3},
        {"definition placement 4", textDef, Key(4), 32, 2, 4},
        {"definition placement 5", textDef, Key(4), 30, 2, 5},
        {"definition category word", textDef, Key(4), 26, 2, utf16 ? 0xC007 : 7},
        {"definition description", textDef, Key(4), 34, utf16 ? 2 : 1, 'f'},
        {"raw text of the block", FXTag('S', 'O', 'T', 'X'), Key(1), 0, 2, 1},
        {"kind of the block", FXTag('S', 'O', 'T', 'X'), Key(1), 24, 2, 0x7870},
        {"expression text", FXTag('t', 'x', 'x', 'p'), Key(1), utf16 ? 2 : 1, utf16 ? 2 : 1, 'l'},
        {"shape definition category", FXTag('O', '\x03', 'D', 'O'), Key(3), 26, 2, 7},
        {"main slot", articDef, Key(2), 0, utf16 ? 2 : 1, 46},
        {"main size", articDef, Key(2), utf16 ? 8 : 1, 1, 24},
        {"main font", articDef, Key(2), utf16 ? 4 : 2, utf16 ? 2 : 1, 9},
        {"main effects", articDef, Key(2), utf16 ? 6 : 3, 1, 1},
        {"alternate slot", articDef, Key(2), 12, utf16 ? 2 : 1, 62},
        {"alternate size", articDef, Key(2), utf16 ? 28 : 13, 1, 12},
        {"alternate font", articDef, Key(2), utf16 ? 16 : 14, utf16 ? 2 : 1, 10},
        {"alternate effects", articDef, Key(2), utf16 ? 26 : 15, 1, 3},
        {"articulation flags 1 (main from alternate, mode 2)", articDef, Key(2), 10, 2, 0x2008},
        {"articulation flags 2", articDef, Key(2), utf16 ? 24 : 22, 2, 0x0001},
        {"value A", articDef, Key(2), utf16 ? 18 : 16, 2, -11},
        {"value B", articDef, Key(2), utf16 ? 20 : 18, 2, 12},
        {"value M", articDef, Key(2), utf16 ? 40 : 38, 2, 13},
        {"staff style notation word", FXTag('S', 'O', 'S', 'Y'), Key(2), 4, 2, 0x8013},
        {"staff style option word", FXTag('S', 'O', 'S', 'Y'), Key(2), 72, 2, 0x0004},
        {"span style", FXTag('O', '\x02', 'S', 'y'), Key(1), 0, 2, 2},
        {"span end measure", FXTag('O', '\x02', 'S', 'y'), Key(1), 12, 2, 2},
        {"span end position", FXTag('O', '\x02', 'S', 'y'), Key(1), 14, 4, 768},
        {"span start measure", FXTag('O', '\x02', 'S', 'y'), Key(1), 18, 2, 1},
        {"span start position", FXTag('O', '\x02', 'S', 'y'), Key(1), 20, 4, 256},
        {"expression definition", expression, Key(1, 0), 0, 2, 4},
        {"expression position, low word (signed)", expression, Key(1, 0), 2, 2, 40000 - 65536},
        {"expression position, high word", expression, Key(1, 0), 16, 2, 1},
        {"expression staff", expression, Key(1, 0), 8, 2, 1},
        {"expression flags (layer 2, hidden in parts)", expression, Key(1, 0), 10, 2, 0x0802},
        {"shape expression position", expression, Key(1, 1), 2, 2, -3},
        {"shape expression flags", expression, Key(1, 1), 10, 2, 0x7000},
        {"measure has expressions", FXTag('S', 'O', 'M', 'S'), Key(1), current ? 14 : 10, 2, 0x4000},
        {"articulation definition", FXTag('e', 'd', 'I', 'M'), Key(1), 0, 2, 2},
        {"articulation position 1", FXTag('e', 'd', 'I', 'M'), Key(1), 2, 2, 5},
        {"articulation position 2", FXTag('e', 'd', 'I', 'M'), Key(1), 6, 2, -6},
        {"tuplet notes", tuplet, Key(1), 0, 2, 3},
        {"tuplet reference number", tuplet, Key(1), 4, 2, 2},
        {"tuplet display flags", tuplet, Key(1), 8, 2, 0x0123},
        {"tuplet left hook", tuplet, Key(1), 10, 2, -2},
        {"tuplet horizontal offset", tuplet, Key(1), 16, 2, 7},
        {"tuplet display flags 2", tuplet, Key(1), 28, 2, 0x8000},
        {"slur type", shape, Key(1), 0, 2, 15},
        {"slur flags (entry-attached)", shape, Key(1), 2, 4, 0x40000000 | 0x20000000 | 0x8000 | 0x0200 | 0x0001},
        {"slur left staff", shape, Key(1), 6, 2, 1},
        {"slur left measure", shape, Key(1), 8, 2, 1},
        {"slur left entry", shape, Key(1), 10, 4, 1},
        {"slur left offset", shape, Key(1), 16, 2, 4},
        {"slur right entry", shape, Key(1), 40, 4, 3},
        {"slur right offset", shape, Key(1), 46, 2, -5},
        {"hairpin left position", shape, Key(2), 10, 4, 256},
        {"hairpin right position", shape, Key(2), 40, 4, 1024},
        {"hairpin right measure", shape, Key(2), 38, 2, 2},
        {"measure mark of the slur", 0x6F744D78, Key(1, 0), 0, 2, 1},
        {"entry mark at the slur's end", 0x65644578, Key(3, 0, 0), 0, 2, 1},
    };
}

std::u16string Units(const FCString& text) { return std::u16string(text.GetUnits(), size_t(text.GetLength())); }

}  // namespace

TEST(MarkingLayouts, TheReaderStoresEveryFieldWhereTheHostKeepsIt) {
    for (uint32_t version : {0x10000000u, 0x11000000u, 0x1B000000u}) {
        SCOPED_TRACE(version);
        simhost::Reset();
        hostapi::SetHostVersion(version);
        ScoreTextError error;
        ASSERT_TRUE(ReadScoreText(kMarkings, &error)) << error.ToString();
        const RecordStore& records = CurrentDocument().Records();
        for (const Field& field : Expected(version)) {
            SCOPED_TRACE(field.what);
            const RecordStore::Bytes* bytes = records.Find(field.tag, field.key);
            ASSERT_TRUE(bytes);
            ASSERT_LE(size_t(field.offset + field.width), bytes->size());
            uint32_t stored = 0;
            std::memcpy(&stored, bytes->data() + field.offset, size_t(field.width));
            const uint32_t mask = field.width == 4 ? 0xFFFFFFFFu : (1u << (8 * field.width)) - 1;
            EXPECT_EQ(stored, uint32_t(field.value) & mask);
        }
        const uint32_t styleSize = version >= 0x12000000 ? 296 : version >= 0x11000000 ? 292 : 144;
        EXPECT_EQ(records.Find(FXTag('S', 'O', 'S', 'Y'), Key(2))->size(), styleSize);
        EXPECT_EQ(records.Find(FXTag('S', 'O', 'M', 'C'), Key(7))->size(), version >= 0x11000000 ? 296u : 104u);
        // 34 bytes, then "fast" with its terminator (and a spare byte when 8-bit).
        EXPECT_EQ(records.Find(FXTag('S', 'O', 'D', 'T'), Key(4))->size(), version >= 0x11000000 ? 44u : 40u);
    }
}

TEST(MarkingLayouts, TheFrameworkReadsWhatTheReaderStored) {
    for (uint32_t version : {0x10000000u, 0x1B000000u}) {
        SCOPED_TRACE(version);
        simhost::Reset();
        hostapi::SetHostVersion(version);
        ScoreTextError error;
        ASSERT_TRUE(ReadScoreText(kMarkings, &error)) << error.ToString();
        const bool utf16 = version >= 0x11000000;

        FCCategoryDef category;
        ASSERT_TRUE(category.Load(7));
        FCString text;
        category.GetName(&text);
        EXPECT_EQ(Units(text), u"Tempo");
        EXPECT_EQ(category.GetCategoryType(), 3);
        EXPECT_EQ(category.GetTextFontNumber(), 5);
        EXPECT_EQ(category.GetTextFontSize(), 14);
        EXPECT_EQ(category.GetTextFontEffects(), 2);
        EXPECT_EQ(category.GetHorizontalAlignment(), -1);
        const int placement[] = {-5, 6, -7, 8, 9};
        for (int i = 0; i < 5; ++i) EXPECT_EQ(category.GetPlacementValue(i), placement[i]) << i;
        EXPECT_EQ(category.GetFlags(), 0x0102);

        FCTextExpressionDef definition;
        ASSERT_TRUE(definition.Load(4));
        ASSERT_TRUE(definition.GetText(&text));
        EXPECT_EQ(Units(text), u"Allegro");
        definition.GetDescription(&text);
        EXPECT_EQ(Units(text), u"fast");
        EXPECT_EQ(definition.GetCategoryNumber(), 7);
        EXPECT_EQ(definition.GetUseCategoryFont(), utf16);
        EXPECT_EQ(definition.GetUseCategoryPlacement(), utf16);
        EXPECT_EQ(definition.GetHorizontalAlignment(), 2);
        const int definitionPlacement[] = {-1, 2, -3, 4, 5};
        for (int i = 0; i < 5; ++i) EXPECT_EQ(definition.GetPlacementValue(i), definitionPlacement[i]) << i;
        EXPECT_TRUE(definition.IsRehearsalMark());

        FCShapeExpressionDef shapeDefinition;
        ASSERT_TRUE(shapeDefinition.Load(3));
        EXPECT_EQ(shapeDefinition.GetCategoryNumber(), 7);

        FCArticulationDef articulation;
        ASSERT_TRUE(articulation.Load(2));
        EXPECT_EQ(articulation.GetMainSlot(), 46);
        EXPECT_EQ(articulation.GetAlternateSlot(), 62);
        EXPECT_EQ(articulation.GetMainSymbolChar(), 62);
        EXPECT_EQ(articulation.GetPositionMode(), 2);
        EXPECT_EQ(articulation.GetMainFontNumber(), 9);
        EXPECT_EQ(articulation.GetMainFontSize(), 24);
        EXPECT_EQ(articulation.GetMainFontEffects(), 1);
        EXPECT_EQ(articulation.GetAlternateFontNumber(), 10);
        EXPECT_EQ(articulation.GetAlternateFontSize(), 12);
        EXPECT_EQ(articulation.GetAlternateFontEffects(), 3);
        EXPECT_EQ(articulation.GetValue(FCArticulationDef::kValueA), -11);
        EXPECT_EQ(articulation.GetValue(FCArticulationDef::kValueB), 12);
        EXPECT_EQ(articulation.GetValue(FCArticulationDef::kValueM), 13);
        EXPECT_EQ(articulation.GetFlags2(), 0x0001);

        FCExpression expression;
        ASSERT_TRUE(expression.Load(1, 0));
        EXPECT_EQ(expression.GetDefinitionNumber(), 4);
        EXPECT_EQ(expression.GetMeasurePos(), 40000);
        EXPECT_EQ(expression.GetStaff(), 1);
        EXPECT_EQ(expression.GetLayerAssignment(), 2);
        EXPECT_FALSE(expression.GetShownInParts());
        EXPECT_TRUE(expression.GetShownInScore());
        ASSERT_TRUE(expression.Load(1, 1));
        EXPECT_TRUE(expression.IsShape());
        EXPECT_EQ(expression.GetMeasurePos(), -3);
        EXPECT_FALSE(expression.GetShownInScore());
        EXPECT_FALSE(expression.GetShownInCurrentPart());
        FCMeasure measure;
        ASSERT_TRUE(measure.Load(1));
        EXPECT_TRUE(measure.GetHasExpressions());

        FCArticulation mark;
        ASSERT_TRUE(mark.Load(1, 0));
        EXPECT_EQ(mark.GetDefNumber(), 2);
        EXPECT_EQ(mark.GetPosition1(), 5);
        EXPECT_EQ(mark.GetPosition2(), -6);

        FCTuplet tuplet;
        ASSERT_TRUE(tuplet.Load(1, 0));
        EXPECT_EQ(tuplet.GetHorizontalOffset(), 7);
        EXPECT_EQ(tuplet.GetOption(FCTuplet::kLeftHookLength), -2);
        EXPECT_EQ(tuplet.GetOption(FCTuplet::kDisplayFlags), 0x0123);
        EXPECT_EQ(tuplet.GetOption(FCTuplet::kDisplayFlags2), 0x8000);

        FCSmartShape slur;
        ASSERT_TRUE(slur.Load(1));
        EXPECT_EQ(slur.GetShapeType(), 15);
        EXPECT_TRUE(slur.IsEntryAttached());
        EXPECT_EQ(slur.GetLeftSegment()->GetEntryNumber(), 1);
        EXPECT_EQ(slur.GetLeftSegment()->GetEndpointOffsetY(), 4);
        EXPECT_EQ(slur.GetRightSegment()->GetEntryNumber(), 3);
        EXPECT_EQ(slur.GetRightSegment()->GetEndpointOffsetY(), -5);
        FCSmartShape hairpin;
        ASSERT_TRUE(hairpin.Load(2));
        EXPECT_FALSE(hairpin.IsEntryAttached());
        EXPECT_EQ(hairpin.GetLeftSegment()->GetMeasurePos(), 256);
        EXPECT_EQ(hairpin.GetRightSegment()->GetMeasure(), 2);
        EXPECT_EQ(hairpin.GetRightSegment()->GetMeasurePos(), 1024);

        FCStaffStyleDef style;
        ASSERT_TRUE(style.Load(2));
        EXPECT_EQ(style.GetAltNotationKind(), 3);
        EXPECT_EQ(style.GetAltNotationLayerField(), 1);
        EXPECT_TRUE(style.GetExpressionsVisibleInLayer1());
        EXPECT_TRUE(style.GetExpressionsVisibleInOtherLayers());
        FCStaffStyleAssign span;
        ASSERT_TRUE(span.Load(1, 0));
        EXPECT_EQ(span.GetStyleNumber(), 2);
        EXPECT_EQ(span.GetStartMeasure(), 1);
        EXPECT_EQ(span.GetStartMeasurePos(), 256);
        EXPECT_EQ(span.GetEndMeasure(), 2);
        EXPECT_EQ(span.GetEndMeasurePos(), 768);
    }
}

// The writer reads the same fields back: a text written from records the framework stored gives
// the framework's values.
TEST(MarkingLayouts, TheWriterReadsWhatTheFrameworkStored) {
    for (uint32_t version : {0x10000000u, 0x1B000000u}) {
        SCOPED_TRACE(version);
        simhost::Reset();
        hostapi::SetHostVersion(version);
        ScoreTextError error;
        ASSERT_TRUE(ReadScoreText("qzs 1\nstaff 1\nmeasure 1\ns1: 1 C4\n", &error)) << error.ToString();
        FCCategoryDef category;
        FCString name("Marks");
        category.SetName(&name);
        category.SetCategoryType(6);
        category.SetHorizontalAlignment(3);
        category.SetPlacementValue(2, -40);
        category.SetFlags(0x0201);
        ASSERT_TRUE(category.SaveAs(9));
        FCArticulationDef articulation;
        articulation.SetMainShape(5);
        articulation.SetAlternateCharacter(97);
        articulation.SetFlags1Bits(FCArticulationDef::kFlippedUsesAlternate, true);
        articulation.SetPositionMode(4);
        articulation.SetMainFontSize(18);
        articulation.SetValue(FCArticulationDef::kValueK, -9);
        ASSERT_TRUE(articulation.SaveAs(3));
        FCExpression expression;
        expression.SetDefinitionNumber(12);
        expression.SetStaff(1);
        expression.SetMeasurePos(50000);
        expression.SetShownInCurrentPart(false);
        ASSERT_TRUE(expression.SaveNewUnderMeasure(1));
        const std::string written = WriteScoreText();
        for (const char* line : {"category 9 \"Marks\" type=6 align=3 place=0,0,-40,0,0 flags=0x0201\n",
                                 "articulation 3 shape=5 alt=97 flipped=alt mode=4 size=18 K=-9\n",
                                 "s1 expression 12 at=50000 hide-part\n"})
            EXPECT_NE(written.find(line), std::string::npos) << line << "\n" << written;
    }
}
