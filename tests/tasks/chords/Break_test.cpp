// Break's note values, and the handler run directly in an undo block: the tuplet a figure needs
// takes the document's tuplet options, and a host that refuses the tuplet leaves the chord whole.
#include "framework/entries/FCNoteEntryLayer.h"
#include "framework/host/hostapi.h"
#include "framework/score/FCTupletPrefs.h"
#include "plugin/FCUndoBlock.h"
#include "plugin/PatternSettings.h"
#include "simhost/Document.h"
#include "simhost/DocumentBuilder.h"
#include "simhost/SimHost.h"
#include "tasks/chords/FCChordsBlockHandler.h"
#include "tests/framework/entries/ScoreFixture.h"

#include <gtest/gtest.h>

namespace {

// Runs Break with the style over slot 1, measures first to last, as one edit; Run's result.
bool RunBreak(int style, int lastMeasure = 1) {
    simhost::DocumentBuilder builder;
    EXPECT_TRUE(builder.Select(1, 1, 1, lastMeasure));
    ThePatternSettings().ResetToDefaults();
    ThePatternSettings().QZPT_CHORDS_BREAK_STYLE = style;
    ThePatternSettings().QZPT_RESPACE_IF_NECESSARY = false;
    FCChordsBlockHandler handler(FCChordsBlockHandler::kBreak, nullptr, nullptr);
    FCUndoBlock block;
    const FCString name("Break");
    const bool changed = block.Run(&handler, &name);
    ThePatternSettings().ResetToDefaults();
    return changed;
}

}  // namespace

TEST(BreakChord, NoteValuesSnapToPlainOrDottedValues) {
    struct Row {
        int32_t each;
        bool dotted;
        int32_t value;
    };
    const Row rows[] = {
        {512, false, 512},                      // a half of four: plain eighths
        {341, false, 512},                      // a quarter of three: eighths in a tuplet
        {1365, false, 2048},                    // a whole of three: halves in a tuplet
        {768, true, 768},                       // a dotted quarter of two: dotted eighths
        {384, true, 384},                       // Alberti Bass on a dotted quarter
        {768, false, 1024},                     // a dotted value from a plain chord is not kept
        {85, false, 64},                        // six on an eighth: 64ths
        {128, false, 128},   {100, false, 64},  // below a 32nd: a 64th
        {4096, false, 4096}, {5000, false, 8192},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.value, FCChordsBlockHandler::SnapToNoteValue(row.each, row.dotted)) << row.each;
}

TEST(BreakChord, ATwoNoteWaveIsTheLowNoteThenTheHighOne) {
    LoadScore("qzs 1\nstaff 1\nmeasure 1\ns1: 2 <G4 C4> <C5 E4>\n");
    EXPECT_TRUE(RunBreak(FCChordsBlockHandler::kWaveAscending));
    EXPECT_EQ(Music("qzs 1\nstaff 1\nmeasure 1\ns1: 4 [C4 G4 [E4 C5\n"), CurrentMusic());
    EXPECT_EQ(std::vector<std::u16string>{u"Break"}, simhost::CurrentDocument().UndoList());
}

TEST(BreakChord, ANewTupletTakesTheDocumentsTupletOptions) {
    LoadScore("qzs 1\nstaff 1\nmeasure 1\ns1: 4 <C4 E4 G4> 2. r\n");
    // A document read from text has no tuplet preferences: stored here, blank, then filled.
    uint8_t blank[FCTupletPrefs::kDataSize] = {0};
    const FXKey key = {{1, 0, 0, 0}};
    ASSERT_TRUE(hostapi::FX_SaveEData(FCTupletPrefs::kTag, &key, blank, sizeof blank, 0x12050000));
    FCTupletPrefs prefs;
    ASSERT_TRUE(prefs.Load(1));
    for (int word = 0; word < FCTupletPrefs::kOptionWordCount; ++word) prefs.SetOptionWord(word, word + 1);
    prefs.SetExtraOptionWord(0, 21);
    ASSERT_TRUE(prefs.Save());
    EXPECT_TRUE(RunBreak(FCChordsBlockHandler::kAscending));
    // The positions (x and y) are copied too.
    EXPECT_EQ(Music("qzs 1\nstaff 1\nmeasure 1\ns1: {3x8:1x4 x=5 y=6 number-x=4 number-y=7 hook-left=2 "
                    "hook-right=3 bracket-start=8 bracket-end=9 slope=10 flags=0x0001 flags2=0x0015 "
                    "8 [C4 E4 G4} 2. r\n"),
              CurrentMusic());
}

TEST(BreakChord, AChordWhoseTupletTheHostRefusesStaysWhole) {
    const std::string text = "qzs 1\nstaff 1\nmeasure 1\ns1: 4 <C4 E4 G4> 2 <C4 E4> 4 r\n";
    LoadScore(text);
    simhost::SetFailing("FX_CreateEData");
    // The quarter needs a tuplet the host refuses: the run gives up before anything is written.
    EXPECT_FALSE(RunBreak(FCChordsBlockHandler::kAscending));
    simhost::SetFailing("FX_CreateEData", false);
    EXPECT_EQ(Music(text), CurrentMusic());

    // When the insertion is refused after the tuplet was made, the tuplet goes again.
    LoadScore(text);
    simhost::SetFailing("FX_InsertEXENTRY");
    FCNoteEntryLayer layer(0, 1, 1, 1);
    ASSERT_TRUE(layer.Load());
    EXPECT_FALSE(FCChordsBlockHandler::BreakChord(layer.GetItemAt(0), &layer, FCChordsBlockHandler::kAscending));
    EXPECT_FALSE(layer.GetItemAt(0)->HasTupletStart());
    ASSERT_TRUE(layer.Save());
    EXPECT_EQ(Score(text), simhost::WriteScoreText());
}
