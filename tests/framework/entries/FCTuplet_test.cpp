// Tuplets on entries: the record and its options, made as the chord break makes them (from the
// document's tuplet preferences), compared as score text.
#include "framework/entries/FCNoteEntryCell.h"
#include "framework/entries/FCTuplet.h"
#include "framework/host/hostapi.h"
#include "framework/score/FCTupletPrefs.h"
#include "simhost/SimHost.h"
#include "tests/framework/entries/ScoreFixture.h"

namespace {

// Tuplet preferences whose option words are 1, 2, ... 15 and further words 21 to 24.
void StoreTupletPrefs() {
    uint8_t zeros[FCTupletPrefs::kDataSize] = {0};
    const FXKey key = {{1, 0, 0, 0}};
    ASSERT_TRUE(hostapi::FX_SaveEData(FCTupletPrefs::kTag, &key, zeros, sizeof zeros, 0x12050000));
    FCTupletPrefs prefs;
    ASSERT_TRUE(prefs.Load(1));
    for (int word = 0; word < FCTupletPrefs::kOptionWordCount; ++word) prefs.SetOptionWord(word, word + 1);
    for (int word = 0; word < 4; ++word) prefs.SetExtraOptionWord(word, 21 + word);
    ASSERT_TRUE(prefs.Save());
}

}  // namespace

TEST(Tuplets, PreferencesGiveTheOptionsOfANewTuplet) {
    LoadScore("qzs 1\nstaff 1\nmeasure 1\ns1 overfull: 8 [C4 D4 E4 2. r\nmeasure 2\ns1 overfull: 8 [C4 D4 E4 2. r\n");
    StoreTupletPrefs();
    FCTupletPrefs prefs;
    ASSERT_TRUE(prefs.Load(1));
    for (int measure = 1; measure <= 2; ++measure) {
        FCNoteEntryCell cell(measure, 1);
        ASSERT_TRUE(cell.Load());
        FCTuplet tuplet;
        EXPECT_TRUE(tuplet.IsLoaded());
        tuplet.ConnectToEntry(cell.GetItemAt(0));
        EXPECT_TRUE(prefs.CopyToTuplet(&tuplet, measure == 2));
        tuplet.SetSymbolicNumber(3);
        tuplet.SetSymbolicDuration(512);
        tuplet.SetReferenceNumber(1);
        tuplet.SetReferenceDuration(1024);
        ASSERT_TRUE(tuplet.SaveNew());
        EXPECT_TRUE(cell.GetItemAt(0)->HasTupletStart());
        ASSERT_TRUE(cell.Save());
    }
    // Option words 0-9 follow the preference's words (the two positions, 4 and 5, only when asked
    // for), the last one the preference's first further word.
    EXPECT_EQ(CurrentMusic(), Music(R"(qzs 1
staff 1
measure 1
s1: {3x8:1x4 number-x=4 number-y=7 hook-left=2 hook-right=3 bracket-start=8 bracket-end=9 slope=10 flags=0x0001 flags2=0x0015 8 [C4 D4 E4} 2. r
measure 2
s1: {3x8:1x4 x=5 y=6 number-x=4 number-y=7 hook-left=2 hook-right=3 bracket-start=8 bracket-end=9 slope=10 flags=0x0001 flags2=0x0015 8 [C4 D4 E4} 2. r
)"));
    EXPECT_FALSE(prefs.CopyToTuplet(nullptr, true));
}

TEST(Tuplets, RecordsOfAnEntryLoadByIncidence) {
    LoadScore("qzs 1\nstaff 1\nmeasure 1\ns1: {3:2 x=-7 8 [C4 D4 E4} {5x16:1x4 16 [C4 D4 E4 F4 G4} 2 r\n");
    FCNoteEntryCell cell(1, 1);
    ASSERT_TRUE(cell.Load());
    FCTuplets tuplets(cell.GetItemAt(3));
    ASSERT_EQ(tuplets.LoadAll(), 1);
    const FCTuplet* tuplet = tuplets.GetItemAt(0);
    EXPECT_EQ(tuplet->GetSymbolicNumber(), 5);
    EXPECT_EQ(tuplet->GetSymbolicDuration(), 256);
    EXPECT_EQ(tuplet->GetReferenceNumber(), 1);
    EXPECT_EQ(tuplet->GetReferenceDuration(), 1024);
    FCTuplet first;
    ASSERT_TRUE(first.Load(cell.GetItemAt(0)->GetEntryNumber(), 0));
    EXPECT_EQ(first.GetHorizontalOffset(), -7);
    EXPECT_EQ(first.GetOption(FCTuplet::kOptionCount), 0);
    first.SetVerticalOffset(30);
    first.SetOption(FCTuplet::kDisplayFlags, 0xFFFF);
    EXPECT_EQ(first.GetOption(FCTuplet::kDisplayFlags), 0xFFFF);  // flag words read unsigned
    ASSERT_TRUE(first.Save());
    EXPECT_EQ(CurrentMusic(),
              Music("qzs 1\nstaff 1\nmeasure 1\n"
                    "s1: {3:2 x=-7 y=30 flags=0xFFFF 8 [C4 D4 E4} {5x16:1x4 16 [C4 D4 E4 F4 G4} 2 r\n"));
}
