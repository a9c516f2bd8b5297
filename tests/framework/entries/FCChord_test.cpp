// Chord symbols: incidences of a cell, the search by position, the measure's has-chords flag set
// by creation, and the host's analysis at an entry, compared as score text.
#include "framework/entries/FCChord.h"
#include "framework/entries/FCNoteEntryCell.h"
#include "framework/score/FCCell.h"
#include "framework/score/FCMeasure.h"
#include "simhost/SimHost.h"
#include "tests/framework/entries/ScoreFixture.h"

#include <memory>

namespace {

bool CreateChord(FCCell* cell, int32_t position, bool showBass) {
    FCChord chord;
    chord.ConnectToCell(cell);
    chord.SetPosition(position);
    chord.SetShowAltBass(showBass);
    return chord.SaveNew();
}

}  // namespace

TEST(Chords, ChordsOfACellAreIncidencesFoundByPosition) {
    LoadScore("qzs 1\nstaff 1\nstaff 2\nmeasure 1\nmeasure 2\n");
    FCCell cell(2, 1), other(2, 2);
    ASSERT_TRUE(CreateChord(&cell, 1024, false));
    ASSERT_TRUE(CreateChord(&cell, 1024, true));
    ASSERT_TRUE(CreateChord(&cell, 0, false));
    ASSERT_TRUE(CreateChord(&other, 1024, false));
    FCChords chords;
    ASSERT_EQ(3, chords.LoadAllForCell(&cell));
    // A second chord at the same position is another incidence; the search finds the first.
    FCChord* found = chords.FindAtPosition(1024);
    ASSERT_NE(nullptr, found);
    EXPECT_EQ(0, found->GetItemInci());
    EXPECT_FALSE(found->GetShowAltBass());
    EXPECT_TRUE(chords.GetItemAt(1)->GetShowAltBass());
    EXPECT_EQ(nullptr, chords.FindAtPosition(512));
    // Deleting the first leaves the others, renumbered.
    ASSERT_TRUE(found->DeleteData());
    ASSERT_EQ(2, chords.LoadAllForCell(&cell));
    EXPECT_TRUE(chords.FindAtPosition(1024)->GetShowAltBass());
    // Only the measure of the chords is marked.
    FCMeasure first, second;
    ASSERT_TRUE(first.Load(1));
    ASSERT_TRUE(second.Load(2));
    EXPECT_FALSE(first.GetHasChords());
    EXPECT_TRUE(second.GetHasChords());
}

TEST(Chords, AnalysisAtAnEntryFillsTheChordFromWhatSoundsThere) {
    LoadScore("qzs 1\nstaff 1\nmeasure 1\ns1: 4 <E3 G3 C4> 8 [D4 F4 2 r\ns1 L2: 4 r B3 2 r\n");
    FCNoteEntryCell cell(1, 1);
    ASSERT_TRUE(cell.Load());
    FCCell where(1, 1);
    struct Row {
        int entry;  // index in the cell
        bool found;
        const char* symbol;
    };
    // The quarter chord; the D with the B of layer 2 (a minor third over its root); the F with
    // that B (a tritone: no chord).
    const Row rows[] = {{0, true, "s1 chord 0 C bass=E\n"}, {1, true, "s1 chord 1024 Bm\n"}, {2, false, ""}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.entry);
        FCChord chord;
        chord.SetShowAltBass(false);
        ASSERT_EQ(row.found, chord.AnalyzeAt(cell.GetItemAt(row.entry)));
        if (!row.found) continue;
        EXPECT_EQ(cell.GetItemAt(row.entry)->GetMeasurePos(), chord.GetPosition());
        chord.ConnectToCell(&where);
        ASSERT_TRUE(chord.SaveNew());
        EXPECT_NE(std::string::npos, CurrentMusic().find(row.symbol)) << CurrentMusic();
    }
    // A host without the analysis names nothing.
    simhost::SetFailing("FX_AnalyzeChord");
    FCChord chord;
    EXPECT_FALSE(chord.AnalyzeAt(cell.GetItemAt(0)));
    EXPECT_FALSE(chord.AnalyzeAt(nullptr));
    simhost::SetFailing("FX_AnalyzeChord", false);
}
