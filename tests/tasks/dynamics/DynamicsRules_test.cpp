// The rules of the Dynamics tasks that need no document: paddings, vertical offsets, swell
// lengths and the texts that read as dynamics.
#include "framework/core/FCString.h"
#include "tasks/dynamics/FCDynamicsBlockHandler.h"

#include <gtest/gtest.h>

using Dynamics = FCDynamicsBlockHandler;

TEST(DynamicsRules, PaddingsAreFixedLengthsOrPercentagesOfTheRegion) {
    struct Row {
        int choice;
        int32_t duration;
        int32_t padding;
    };
    const Row rows[] = {
        {0, 4096, 0},   {1, 4096, 128}, {2, 4096, 192}, {3, 4096, 256}, {4, 4096, 384},
        {5, 1536, 512}, {6, 4096, 768}, {7, 4096, 81},  {8, 4096, 163}, {9, 4096, 245},
        {9, 8192, 491}, {7, 49, 0},     {-1, 4096, 0},  {10, 4096, 0},  {9, 0x7FFFFFFF, 128849018},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.padding, Dynamics::CalcPadding(row.choice, row.duration))
            << "choice " << row.choice << " over " << row.duration;
}

TEST(DynamicsRules, VerticalPositionsGiveTheirOffsetsAndTheCustomOne) {
    const int expected[] = {-120, 24, -168, 72, -216, 120, 40};
    for (int position = 0; position < 7; ++position)
        EXPECT_EQ(expected[position], Dynamics::CalcVerticalOffset(position, 40)) << position;
    EXPECT_EQ(0, Dynamics::CalcVerticalOffset(7, 40));
    EXPECT_EQ(0, Dynamics::CalcVerticalOffset(-1, 40));
}

TEST(DynamicsRules, SwellLengthsAreComparedByTheScope) {
    const int32_t durations[] = {1536, 2048, 3072, 4096, 6144, 8192};
    for (int choice = 0; choice < 6; ++choice) EXPECT_EQ(durations[choice], Dynamics::CalcSwellDuration(choice));
    EXPECT_EQ(0, Dynamics::CalcSwellDuration(6));
    EXPECT_EQ(0, Dynamics::CalcSwellDuration(-1));
    struct Row {
        int scope;
        int32_t length;
        bool chosen;
    };
    const Row rows[] = {{0, 4096, true}, {0, 6144, false}, {0, 2048, false}, {1, 4096, false}, {1, 4097, true},
                        {2, 4096, true}, {2, 4095, false}, {2, 8192, true},  {3, 4096, false}, {-1, 4096, false}};
    for (const Row& row : rows)
        EXPECT_EQ(row.chosen, Dynamics::IsSwellLength(row.scope, row.length, 4096))
            << "scope " << row.scope << ", length " << row.length;
}

TEST(DynamicsRules, DynamicTextsAreGlyphsOrCrescendoAndDiminuendoWords) {
    struct Row {
        const char16_t* text;
        bool dynamic;
    };
    const Row rows[] = {
        {u"^fontMus(Maestro)^size(24)^nfx(0)p", true},       // glyph 112
        {u"^fontMus(Maestro)^size(24)^nfx(0)\u00B9", true},  // glyph 185
        {u" \u00EC\t", true},                                // glyph 236, trimmed
        {u"\u00EC\u00EC", false},                            // two glyphs
        {u"q", false},
        {u"", false},
        {u"cresc.", true},
        {u"^fontTxt(Times New Roman)^size(12)^nfx(2)crescendo", true},
        {u"pi\u00F9 cresc", true},
        {u"poco a poco dim.", true},
        {u"diminuendo", true},
        {u"molto", true},
        {u"poco", true},
        {u"poco a poco", false},
        {u"Cresc.", false},  // the words are compared as written
        {u"subito dolce", false},
        {u"dolce", false},
        {u"^^dim", false},  // a caret before the word
        {u"^flat()dim", false},
    };
    for (const Row& row : rows) {
        FCString text;
        text.SetUTF16(row.text);
        EXPECT_EQ(row.dynamic, Dynamics::IsDynamicText(&text)) << text.GetUTF8();
    }
    EXPECT_FALSE(Dynamics::IsDynamicText(nullptr));
}
