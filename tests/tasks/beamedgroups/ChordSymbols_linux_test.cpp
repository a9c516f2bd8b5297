// Chord Symbols run through the task window's Apply: the symbol of each group at the group's
// position, the replace and alternate-bass options, groups the analysis names nothing for, the
// music left exactly as it was, the measure flag, and the undo entry that gives the document back.
#include "simhost/ChordAnalysis.h"
#include "simhost/EntryStore.h"
#include "tests/tasks/TaskApplyTest.h"

#include <string>

using tasktest::Slots;

namespace {

constexpr int kChordSymbols = 1005;
const std::u16string kEditName = u"Chord Symbols";

class ChordSymbols : public tasktest::TaskApplyTest {
protected:
    // Sets the two options in the panel and clicks Apply; Apply's result.
    bool Run(bool replace, bool altBass) {
        Show(kChordSymbols);
        if (Checked(taskwindow::kCheck1) != replace) {
            EXPECT_TRUE(Toggle(taskwindow::kCheck1));
        }
        if (Checked(taskwindow::kCheck2) != altBass) {
            EXPECT_TRUE(Toggle(taskwindow::kCheck2));
        }
        const size_t applied = window->applied.size();
        EXPECT_TRUE(driver.Click(Item(taskwindow::kApply)));
        EXPECT_EQ(applied + 1, window->applied.size());
        return window->applied.size() > applied && window->applied.back();
    }
    // The entries and every record but the chord symbols and the measures are as before.
    void ExpectMusicUntouched() {
        EXPECT_TRUE(Document().State().entries == before.entries) << Document().Dump();
        simhost::RecordStore now = Document().Records(), then = before.records;
        for (simhost::RecordStore* store : {&now, &then})
            for (uint32_t tag : {simhost::chords::kTag, uint32_t(0x534F4D53)}) {
                const simhost::RecordStore::TagRecords records = store->Records(tag);
                for (const auto& record : records) store->Erase(tag, simhost::RecordStore::KeyFromOrder(record.first));
            }
        EXPECT_TRUE(now == then);
    }
    static bool MeasureHasChords(int measure) {
        const simhost::RecordStore::Bytes* bytes =
            Document().Records().Find(0x534F4D53, {{uint16_t(measure), 0, 0, 0}});
        return bytes && bytes->size() >= 22 && ((*bytes)[20] & 0x08) != 0;
    }
};

const std::string kHead = "qzs 1\nstaff 1\nmeasure 1\n";

}  // namespace

TEST_F(ChordSymbols, EachGroupGetsTheSymbolOfAllItsPitchesAtItsFirstEntry) {
    struct Row {
        bool altBass;
        const char* music;
        const char* symbols;
    };
    const Row rows[] = {
        {false, "8 [C4 E4 G4 B4 [D4 F4 A4 C5", "s1 chord 0 Cmaj7\ns1 chord 2048 Dm7\n"},
        // Inversions show their bass only when asked.
        {false, "8 [E4 G4 C5 E5 [B3 F4 G4 D5", "s1 chord 0 C bass=E\ns1 chord 2048 G7 bass=B\n"},
        {true, "8 [E4 G4 C5 E5 [B3 F4 G4 D5", "s1 chord 0 C/E\ns1 chord 2048 G7/B\n"},
        // Chords inside the group, sixteenths, a group after a quarter note.
        {false, "8 [<C4 E4> G4 16 [Bb4 D5 F5 A5 4 C4 8 [F#4 A4",
         "s1 chord 0 C\ns1 chord 1024 Bbmaj7\ns1 chord 3072 F#m\n"},
        // A group the analysis names nothing for gets no symbol; the others do.
        {false, "8 [C4 C5 C4 C5 [C4 Eb4 Gb4 Bbb4", "s1 chord 2048 Cdim7\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.music);
        Load(kHead + "s1: " + row.music + "\n");
        EXPECT_TRUE(Run(true, row.altBass));
        EXPECT_EQ(Expected(kHead + row.symbols + "s1: " + row.music + "\n"), Music());
        ExpectMusicUntouched();
        EXPECT_TRUE(MeasureHasChords(1));
        ExpectOneUndoableEdit(kEditName);
    }
}

TEST_F(ChordSymbols, ReplaceDecidesWhatHappensToASymbolAlreadyAtTheGroup) {
    const std::string music = "s1: 8 [C4 E4 G4 B4 [C4 C5 C4 C5\n";
    struct Row {
        bool replace;
        const char* existing;
        const char* after;
        bool changed;
    };
    const Row rows[] = {
        // Off: the old symbol stays, and the group gets nothing.
        {false, "s1 chord 0 F\n", "s1 chord 0 F\n", false},
        // On: it is replaced by the analysis.
        {true, "s1 chord 0 F\n", "s1 chord 0 Cmaj7\n", true},
        // On, and the analysis finds nothing: the position stays empty.
        {true, "s1 chord 2048 F\n", "s1 chord 0 Cmaj7\n", true},
        {true, "s1 chord 0 F\ns1 chord 2048 Bb\n", "s1 chord 0 Cmaj7\n", true},
        // A symbol elsewhere in the measure is left alone.
        {false, "s1 chord 1024 F\n", "s1 chord 1024 F\ns1 chord 0 Cmaj7\n", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.existing) + (row.replace ? "replace" : "keep"));
        Load(kHead + row.existing + music);
        EXPECT_EQ(row.changed, Run(row.replace, false));
        EXPECT_EQ(Expected(kHead + row.after + music), Music());
        if (row.changed) {
            ExpectOneUndoableEdit(kEditName);
        } else {
            ExpectNothingChanged();
        }
    }
}

TEST_F(ChordSymbols, TheMusicOfEveryGroupStaysExactlyAsItWas) {
    // Articulations, a tuplet, ties, stems, note IDs, a second layer and a second staff: only
    // chord symbols are added.
    const std::string text =
        "qzs 1\nstaff 1\nstaff 2\narticulation 1 char=46\nmeasure 1\n"
        "s1: 8 [C4!art1 E4!art1 G4_ B4 {3:2 8 [D4~ D4 F4} 4 A4\n"
        "s1 L2: 2 G3 2 r\n"
        "s2: 8 [<C3 G3:1> E3 [A2 C3 2 r\n";
    Load(text, Slots(1, 2, 1, 1));
    EXPECT_TRUE(Run(true, true));
    EXPECT_EQ(Expected("qzs 1\nstaff 1\nstaff 2\narticulation 1 char=46\nmeasure 1\n"
                       "s1 chord 0 Cmaj7/G\ns1 chord 2048 Dm\ns2 chord 0 C\ns2 chord 1024 Am\n"
                       "s1: 8 [C4!art1 E4!art1 G4_ B4 {3:2 8 [D4~ D4 F4} 4 A4\n"
                       "s1 L2: 2 G3 2 r\n"
                       "s2: 8 [<C3 G3:1> E3 [A2 C3 2 r\n"),
              Music());
    ExpectMusicUntouched();
    ExpectOneUndoableEdit(kEditName);
}

TEST_F(ChordSymbols, AGroupStartingWithARestGetsItsSymbolAtTheRest) {
    const std::string head = "qzs 1\nprefs beams-over-rests\nstaff 1\nmeasure 1\n";
    const std::string music = "s1: 8 [r E4_ G4_ C5_ 2 r\n";
    Load(head + music);
    EXPECT_TRUE(Run(true, true));
    EXPECT_EQ(Expected(head + "s1 chord 0 C/E\n" + music), Music());
    ExpectMusicUntouched();
    ExpectOneUndoableEdit(kEditName);
}

TEST_F(ChordSymbols, OnlyTheFirstTwelvePitchesOfALargeGroupAreAnalysed) {
    // Twelve notes of C major come before the C#: with it the group would name nothing.
    const std::string music = "s1: 8 [<C2 E2 G2> <C3 E3 G3> <C4 E4 G4> <C5 E5 G5> <C#6 F6> r 4 r\n";
    Load(kHead + music);
    EXPECT_TRUE(Run(true, false));
    EXPECT_EQ(Expected(kHead + "s1 chord 0 C\n" + music), Music());
    ExpectOneUndoableEdit(kEditName);
}

TEST_F(ChordSymbols, GroupsWithoutAChordOrOutsideTheSelectionChangeNothing) {
    const struct {
        const char* text;
        tasktest::Selection selection;
    } rows[] = {
        // A locked layer, which the host never saves.
        {"qzs 1\nstaff 1\nmeasure 1\ns1 locked: 8 [C4 E4 G4 B4 2 r\n", Slots(1, 1, 1, 1)},
        // Rests only (beamed over), one pitch, unbeamed notes.
        {"qzs 1\nprefs beams-over-rests\nstaff 1\nmeasure 1\ns1: 8 [r r r r [C4 C4 C5 C4\n", Slots(1, 1, 1, 1)},
        {"qzs 1\nstaff 1\nmeasure 1\ns1: 4 C4 E4 G4 B4\n", Slots(1, 1, 1, 1)},
        // A group that starts before the selection.
        {"qzs 1\nstaff 1\nmeasure 1\ns1: 8 [C4 E4 G4 B4 2 r\n", Slots(1, 1, 1, 1, 512)},
        // A group that ends after it.
        {"qzs 1\nstaff 1\nmeasure 1\ns1: 8 [C4 E4 G4 B4 2 r\n", Slots(1, 1, 1, 1, 0, 1000)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        Load(row.text, row.selection);
        EXPECT_FALSE(Run(true, false));
        ExpectNothingChanged();
    }
}

TEST_F(ChordSymbols, AMeasureAlreadyMarkedOrHoldingUnknownSymbolsIsHandled) {
    // A chord record of unknown content at the group's position, left by an older version: kept
    // without replace, deleted with it.
    const std::string music = "s1: 8 [C4 E4 G4 B4 2 r\n";
    for (bool replace : {false, true}) {
        SCOPED_TRACE(replace ? "replace" : "keep");
        Load(kHead + music);
        simhost::RecordStore& records = Document().Records();
        const uint8_t unknown[30] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20};
        records.Put(simhost::chords::kTag, {{1, 1, 0, 0}}, unknown, sizeof unknown);
        simhost::RecordStore::Bytes measure = *records.Find(0x534F4D53, {{1, 0, 0, 0}});
        measure[20] |= 0x08;
        records.Put(0x534F4D53, {{1, 0, 0, 0}}, measure.data(), uint32_t(measure.size()));
        before = Document().State();
        EXPECT_EQ(replace, Run(replace, false));
        if (!replace) {
            ExpectNothingChanged();
            continue;
        }
        EXPECT_EQ(Expected(kHead + "s1 chord 0 Cmaj7\n" + music), Music());
        EXPECT_EQ(1, Document().Records().Count(simhost::chords::kTag));
        EXPECT_TRUE(MeasureHasChords(1));
        ExpectOneUndoableEdit(kEditName);
    }
}
