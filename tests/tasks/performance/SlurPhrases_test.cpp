// The phrases Performance Notation / Slurs cuts a layer into, asked of the handler directly: every
// style, the breaks at rests, gaps, identical pitches and articulations, tied notes counted as
// one, grace notes, and groups of beats across measures of different time signatures.
#include "framework/entries/FCNoteEntry.h"
#include "framework/entries/FCNoteEntryLayer.h"
#include "framework/score/FCMusicRegion.h"
#include "plugin/PatternSettings.h"
#include "simhost/DocumentBuilder.h"
#include "simhost/ScoreText.h"
#include "tasks/performance/FCPerformanceNotationBlockHandler.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using Handler = FCPerformanceNotationBlockHandler;

struct Row {
    const char* what;
    int style;
    int count;
    int durationKey;
    bool pitchBreak;
    bool articulationBreak;
    const char* music;     // the measures of staff 1
    int lastMeasure;       // of the selection, which starts at measure 1
    int32_t startPos;      // of the selection in measure 1
    const char* expected;  // each phrase as first-last, the layer's entries counted from 1
};

// The phrases of layer 1 of staff 1 as "1-4 6-8".
std::string Phrases(const Row& row) {
    PatternSettings& settings = ThePatternSettings();
    settings.ResetToDefaults();
    settings.QZPT_PERFORMANCE_SLUR_STYLE = row.style;
    settings.QZPT_PERFORMANCE_SLUR_STYLEDIGIT = row.count;
    settings.QZPT_PERFORMANCE_SLUR_DURATION = row.durationKey;
    settings.QZPT_PERFORMANCE_SLUR_IDENTICALPITCH = row.pitchBreak;
    settings.QZPT_PERFORMANCE_SLUR_ARTICULATION = row.articulationBreak;
    simhost::ScoreTextError error;
    const std::string text = std::string("qzs 1\nstaff 1\n") +
                             "articulation 1 char=46 mode=1 size=24 alt-size=24 B=-4 C=16 E=40 F=40 flags=0x0210 "
                             "flags2=0x0021\n" +
                             row.music;
    if (!simhost::ReadScoreText(text, &error)) return error.ToString();
    simhost::DocumentBuilder builder;
    if (!builder.Select(1, 1, 1, row.lastMeasure, row.startPos)) return "no selection";
    FCMusicRegion region;
    if (!region.SetCurrentSelection()) return "no region";
    FCNoteEntryLayer layer(0, 1, region.GetStartMeasure(), region.GetEndMeasure());
    if (!layer.Load()) return "no layer";
    Handler handler(Handler::kSlurs, nullptr, nullptr);
    std::vector<std::pair<FCNoteEntry*, FCNoteEntry*>> phrases;
    handler.CollectPhrases(&layer, &region, &phrases);
    std::string result;
    for (const auto& phrase : phrases) {
        int first = 0, last = 0;
        for (int i = 0; i < layer.GetCount(); ++i) {
            if (layer.GetItemAt(i) == phrase.first) first = i + 1;
            if (layer.GetItemAt(i) == phrase.second) last = i + 1;
        }
        result += (result.empty() ? "" : " ") + std::to_string(first) + "-" + std::to_string(last);
    }
    settings.ResetToDefaults();
    return result;
}

void ExpectPhrases(const Row* rows, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        SCOPED_TRACE(rows[i].what);
        EXPECT_EQ(rows[i].expected, Phrases(rows[i]));
    }
}

const char* const kEighths = "measure 1\ns1: 8 [C4 D4 E4 F4 [G4 A4 B4 C5\n";
const char* const kTwoMeasuresOfEighths =
    "measure 1\ns1: 8 [C4 D4 E4 F4 [G4 A4 B4 C5\nmeasure 2\ns1: 8 [C5 B4 A4 G4 [F4 E4 D4 C4\n";

}  // namespace

TEST(SlurPhrases, RestsGapsAndTheCountingStylesEndPhrases) {
    const Row rows[] = {
        {"full phrase", Handler::kFullPhrase, 1, 6, false, false, kEighths, 1, 0, "1-8"},
        {"a rest after the fourth", Handler::kFullPhrase, 1, 6, false, false,
         "measure 1\ns1: 8 [C4 D4 E4 F4 r [G4 A4 B4\n", 1, 0, "1-4 6-8"},
        {"a single note between rests", Handler::kFullPhrase, 1, 6, false, false, "measure 1\ns1: 4 r C4 r r\n", 1, 0,
         ""},
        {"an empty measure between", Handler::kFullPhrase, 1, 6, false, false,
         "measure 1\ns1: 1 C4\nmeasure 2\nmeasure 3\ns1: 1 D4\n", 3, 0, ""},
        {"across a barline", Handler::kFullPhrase, 1, 6, false, false, "measure 1\ns1: 1 C4\nmeasure 2\ns1: 1 D4\n", 2,
         0, "1-2"},
        {"groups of four notes", Handler::kGroupByNotes, 4, 6, false, false, kEighths, 1, 0, "1-4 5-8"},
        // The tied pair counts as one note and never ends a group.
        {"a tied pair in groups of two", Handler::kGroupByNotes, 2, 6, false, false, "measure 1\ns1: 4 C4 D4~ D4 E4\n",
         1, 0, "1-3"},
        {"grace notes inside a phrase", Handler::kFullPhrase, 1, 6, false, false,
         "measure 1\ns1: 4 C4 8 gE4 4 D4 E4 8 gG4 4 F4\n", 1, 0, "1-6"},
    };
    ExpectPhrases(rows, sizeof rows / sizeof rows[0]);
}

TEST(SlurPhrases, BeatAndMeasureStylesFollowEachMeasuresTimeSignature) {
    const Row rows[] = {
        {"by beat", Handler::kByBeat, 1, 6, false, false, kEighths, 1, 0, "1-2 3-4 5-6 7-8"},
        {"by beat from the second beat", Handler::kByBeat, 1, 6, false, false, kEighths, 1, 1024, "3-4 5-6 7-8"},
        {"two measures at a time", Handler::kGroupByMeasures, 2, 6, false, false,
         "measure 1\ns1: 2 C4 D4\nmeasure 2\ns1: 2 E4 F4\nmeasure 3\ns1: 2 G4 A4\n", 3, 0, "1-4 5-6"},
        // Four beats of 4/4, three of 3/4 and two of 3+2/8, in groups of three.
        {"three beats across meters", Handler::kGroupByBeats, 3, 6, false, false,
         "measure 1\ns1: 4 C4 D4 E4 F4\nmeasure 2 3/4\ns1: 4 G4 A4 B4\nmeasure 3 3+2/8\ns1: 8 [C5 D5 E5 [F5 G5\n", 3, 0,
         "1-3 4-6 7-12"},
        // The groups count from the beat the selection starts in.
        {"two beats from the second", Handler::kGroupByBeats, 2, 6, false, false,
         "measure 1\ns1: 4 C4 D4 E4 F4\nmeasure 2\ns1: 4 G4 A4 B4 C5\n", 2, 1024, "2-3 4-5 6-7"},
        {"first two beats", Handler::kGroupFirstBeats, 2, 6, false, false, kTwoMeasuresOfEighths, 2, 0, "1-4 9-12"},
        {"last beat", Handler::kGroupLastBeats, 1, 6, false, false, kTwoMeasuresOfEighths, 2, 0, "7-8 15-16"},
    };
    ExpectPhrases(rows, sizeof rows / sizeof rows[0]);
}

TEST(SlurPhrases, DurationStylesSlurRunsOfTheirDurations) {
    const char* const music = "measure 1\ns1: 4 C4 8 [D4 E4 F4 G4 4 A4\nmeasure 2\ns1: 4 C4 D4 8 [E4 F4 4 G4\n";
    const Row rows[] = {
        {"consecutive eighths", Handler::kConsecutiveDurations, 1, 4, false, false, music, 2, 0, "2-5 9-10"},
        {"shorter than a quarter", Handler::kSlurShorter, 1, 6, false, false, music, 2, 0, "2-5 9-10"},
        {"longer than an eighth", Handler::kSlurLonger, 1, 4, false, false, music, 2, 0, "6-8"},
    };
    ExpectPhrases(rows, sizeof rows / sizeof rows[0]);
}

TEST(SlurPhrases, IdenticalPitchesAndArticulationsBreakWhenAsked) {
    const Row rows[] = {
        {"repeated pitch", Handler::kFullPhrase, 1, 6, true, false, "measure 1\ns1: 4 C4 C4 D4 E4\n", 1, 0, "2-4"},
        {"repeated pitch, not asked", Handler::kFullPhrase, 1, 6, false, false, "measure 1\ns1: 4 C4 C4 D4 E4\n", 1, 0,
         "1-4"},
        {"repeated pitch, tied", Handler::kFullPhrase, 1, 6, true, false, "measure 1\ns1: 4 C4~ C4 D4 E4\n", 1, 0,
         "1-4"},
        {"an articulation", Handler::kFullPhrase, 1, 6, false, true, "measure 1\ns1: 4 C4 D4!art1 E4 F4\n", 1, 0,
         "3-4"},
        {"an articulation, not asked", Handler::kFullPhrase, 1, 6, false, false, "measure 1\ns1: 4 C4 D4!art1 E4 F4\n",
         1, 0, "1-4"},
    };
    ExpectPhrases(rows, sizeof rows / sizeof rows[0]);
}

TEST(SlurPhrases, GraceRunsAreSlurredToTheirMainNote) {
    const Row rows[] = {
        {"two grace notes", Handler::kGraceToFull, 1, 6, false, false, "measure 1\ns1: 8 gC4 gD4 4 E4 F4 2 G4\n", 1, 0,
         "1-3"},
        {"at the start of a measure", Handler::kGraceToFull, 1, 6, false, false,
         "measure 1\ns1: 1 C4\nmeasure 2\ns1: 16 gA4 gB4 gC5 1 D5\n", 2, 0, "2-5"},
        {"no grace notes", Handler::kGraceToFull, 1, 6, false, false, kEighths, 1, 0, ""},
    };
    ExpectPhrases(rows, sizeof rows / sizeof rows[0]);
}

TEST(SlurPhrases, BeatsOfAnEntryAreThoseOfItsMeasure) {
    ASSERT_TRUE(
        simhost::ReadScoreText("qzs 1\nstaff 1\nmeasure 1\ns1: 16 C4 D4 8 E4 4 F4 2 G4\n"
                               "measure 2 3+2/8\ns1: 4. G4 8 A4 B4\n"));
    FCNoteEntryLayer layer(0, 1, 1, 2);
    ASSERT_TRUE(layer.Load());
    Handler handler(Handler::kSlurs, nullptr, nullptr);
    struct Expect {
        int beat;
        bool onBeat;
        bool inLastBeat;
    };
    // At 0, 256 (beat 0, not on it), 512, 1024 (beat 1), 2048; in 3+2/8 at 0, 1536 and 2048.
    const Expect expected[] = {{0, true, false}, {0, false, false}, {0, false, false}, {1, true, false},
                               {2, true, false}, {0, true, false},  {1, true, true},   {1, false, true}};
    ASSERT_EQ(8, layer.GetCount());
    for (int i = 0; i < layer.GetCount(); ++i) {
        SCOPED_TRACE(i);
        const FCNoteEntry* entry = layer.GetItemAt(i);
        EXPECT_EQ(expected[i].beat, handler.BeatOf(entry));
        EXPECT_EQ(expected[i].onBeat, handler.IsOnBeat(entry));
        EXPECT_EQ(expected[i].inLastBeat, handler.IsInLastBeats(entry, 1));
    }
    EXPECT_EQ(4, handler.BeatCountOf(1));
    EXPECT_EQ(2, handler.BeatCountOf(2));
    EXPECT_EQ(0, handler.BeatCountOf(3));
    EXPECT_EQ(-1, handler.BeatOf(nullptr));
    const int32_t durations[] = {128, 192, 256, 384, 512, 768, 1024, 1536, 2048, 3072};
    for (int key = 0; key < 10; ++key) EXPECT_EQ(durations[key], Handler::DurationOfKey(key));
    EXPECT_EQ(0, Handler::DurationOfKey(-1));
    EXPECT_EQ(0, Handler::DurationOfKey(10));
}
