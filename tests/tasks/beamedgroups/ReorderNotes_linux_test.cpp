// Reorder Notes run through the task window's Apply: every style on the worked examples, rests,
// layers and staves, the edges of the selection, input that gives nothing to reorder, and the
// undo entry that gives the document back.
#include "simhost/EntryStore.h"
#include "tests/tasks/TaskApplyTest.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

using tasktest::Slots;

namespace {

constexpr int kReorderNotes = 1001;
const std::u16string kEditName = u"Reorder Notes";

class ReorderNotes : public tasktest::TaskApplyTest {};

// A beamed group of the worked examples: its chords lowest first (letters a, b, c, ...) and in
// entry order (letters p, q, r, ...).
struct Group {
    std::vector<std::string> sorted;
    std::vector<std::string> entryOrder;

    // The group's entries for a string of letters; the first one starts the beam.
    std::string Write(const std::string& letters) const {
        std::string text;
        for (char letter : letters) {
            const bool fromEntries = letter >= 'p';
            const std::vector<std::string>& chords = fromEntries ? entryOrder : sorted;
            text += (text.empty() ? "[" : " ") + chords[size_t(letter - (fromEntries ? 'p' : 'a'))];
        }
        return text;
    }
};

const Group kFour = {{"C4", "D4", "E4", "F4"}, {"D4", "F4", "C4", "E4"}};
const Group kFourChords = {{"<C4 E4>", "<D4 F4>", "<E4 G4>", "<F4 A4>"}, {"<E4 G4>", "<C4 E4>", "<F4 A4>", "<D4 F4>"}};
const Group kFive = {{"C4", "D4", "E4", "F4", "G4"}, {"E4", "C4", "G4", "D4", "F4"}};
const Group kTwo = {{"G4", "A4"}, {"A4", "G4"}};

// Two groups of four eighths in 4/4, then a group of five and a group of two in 7/8.
std::string WorkedExamples(const std::string& four, const std::string& fourChords, const std::string& five,
                           const std::string& two) {
    return "qzs 1\nstaff 1\nmeasure 1\ns1: 8 " + kFour.Write(four) + " " + kFourChords.Write(fourChords) +
           "\nmeasure 2 7/8\ns1: 8 " + kFive.Write(five) + " " + kTwo.Write(two) + "\n";
}

simhost::Document& Document() { return simhost::CurrentDocument(); }

// The chords of one layer's entries, each chord's pitches sorted, in entry order; rests as "r".
std::vector<std::string> Chords(int staff, int measure, int layer) {
    std::vector<std::string> chords;
    for (const simhost::StoredEntry& entry : Document().Entries().Get(simhost::FrameKey{staff, measure, layer})) {
        if (!(entry.flags & 0x40000000)) {
            chords.push_back("r" + std::to_string(entry.duration));
            continue;
        }
        std::vector<std::string> notes;
        for (const simhost::StoredNote& note : entry.notes)
            notes.push_back(std::to_string(note.displacement) + "/" + std::to_string(note.raiseLower));
        std::sort(notes.begin(), notes.end());
        std::string chord;
        for (const std::string& note : notes) chord += note + " ";
        chords.push_back(chord);
    }
    return chords;
}

}  // namespace

TEST_F(ReorderNotes, EveryStyleGivesTheWorkedExamples) {
    struct Row {
        int style;
        const char* four;
        const char* five;
        const char* two;
    };
    // Letters a-e name the chords lowest first, p-t the chords in entry order (the rotations).
    const Row rows[] = {
        {0, "abcd", "abcde", "ab"},  // Ascending
        {1, "dcba", "edcba", "ba"},  // Descending
        {2, "acbd", "acebd", "ab"},  // Staircase - Ascending
        {3, "dbca", "ecadb", "ba"},  // Staircase - Descending
        {4, "acdb", "acedb", "ab"},  // Wave - Ascending
        {5, "cabd", "ecabd", "ab"},  // Wave - Descending
        {6, "adcb", "aedcb", "ab"},  // Base+Descending
        {7, "dabc", "eabcd", "ba"},  // Top+Descending
        {8, "qrsp", "qrstp", "qp"},  // Rotate Left
        {9, "spqr", "tpqrs", "qp"},  // Rotate Right
    };
    const std::string original = WorkedExamples("pqrs", "pqrs", "pqrst", "pq");
    for (const Row& row : rows) {
        SCOPED_TRACE("style " + std::to_string(row.style));
        Load(original, Slots(1, 1, 1, 2));
        EXPECT_TRUE(Apply(kReorderNotes, row.style));
        EXPECT_EQ(Expected(WorkedExamples(row.four, row.four, row.five, row.two)), Music());
        ExpectOneUndoableEdit(kEditName);
    }
}

TEST_F(ReorderNotes, RandomizeKeepsEveryChordOfEachGroup) {
    const std::string original = WorkedExamples("pqrs", "pqrs", "pqrst", "pq");
    Load(original, Slots(1, 1, 1, 2));
    const std::vector<std::string> first = Chords(1, 1, 0), second = Chords(1, 2, 0);
    EXPECT_TRUE(Apply(kReorderNotes, 10));
    EXPECT_EQ(10, ThePatternSettings().QZPT_BEAMEDGROUPS_REODER_STYLE);
    // Each group holds the same chords as before, in some order (the four-note groups of
    // measure 1 are the first and the last four entries).
    const std::vector<std::string> now = Chords(1, 1, 0), now2 = Chords(1, 2, 0);
    ASSERT_EQ(8u, now.size());
    for (size_t start : {0u, 4u}) {
        std::vector<std::string> a(first.begin() + long(start), first.begin() + long(start) + 4);
        std::vector<std::string> b(now.begin() + long(start), now.begin() + long(start) + 4);
        std::sort(a.begin(), a.end());
        std::sort(b.begin(), b.end());
        EXPECT_EQ(a, b);
    }
    for (size_t start : {0u, 5u}) {
        const size_t end = start == 0 ? 5 : 7;
        std::vector<std::string> a(second.begin() + long(start), second.begin() + long(end));
        std::vector<std::string> b(now2.begin() + long(start), now2.begin() + long(end));
        std::sort(a.begin(), a.end());
        std::sort(b.begin(), b.end());
        EXPECT_EQ(a, b);
    }
    ExpectOneUndoableEdit(kEditName);
}

TEST_F(ReorderNotes, RestsKeepTheirPlacesAndDurations) {
    // The chords move over the note entries only; a group may start with a rest.
    Load(
        "qzs 1\nprefs beams-over-rests\nstaff 1\nmeasure 1\n"
        "s1: 8 [E4 r C4 D4 16 [r r 8 G4 A4 F4\n");
    EXPECT_TRUE(Apply(kReorderNotes, 1));
    EXPECT_EQ(Expected("qzs 1\nprefs beams-over-rests\nstaff 1\nmeasure 1\n"
                       "s1: 8 [E4 r D4 C4 16 [r r 8 A4 G4 F4\n"),
              Music());
    ExpectOneUndoableEdit(kEditName);
}

TEST_F(ReorderNotes, EachLayerAndStaffOfTheSelectionIsReorderedOnItsOwn) {
    const std::string head = "qzs 1\nstaff 1\nstaff 2\nstaff 3\n";
    Load(head +
             "measure 1\n"
             "s1: 8 [C4 D4 E4 F4 [G4 A4 B4 C5\n"
             "s1 L2: 8 [C3_ D3_ E3_ F3_ 2 r\n"
             "s2: 8 [D4 E4 4 r 8 [C4 D4 4 r\n"
             "s3: 8 [C4 D4 E4 F4 2 r\n"
             "measure 2\n"
             "s1: 8 [C4 D4 E4 F4 2 r\n"
             "s1 L3: 8 [C4 D4 E4 F4 2 r\n",
         Slots(1, 2, 1, 2));
    Document().SetLayerShown(2, false);
    EXPECT_TRUE(Apply(kReorderNotes, 1, true));
    EXPECT_EQ(0, Count(simhost::HostCommand::kMenuItem, 12106)) << "reordering never respaces";
    // Staff 3 lies outside the selection; layer 3 is hidden in the host's view.
    EXPECT_EQ(Expected(head + "measure 1\n"
                              "s1: 8 [F4 E4 D4 C4 [C5 B4 A4 G4\n"
                              "s1 L2: 8 [F3_ E3_ D3_ C3_ 2 r\n"
                              "s2: 8 [E4 D4 4 r 8 [D4 C4 4 r\n"
                              "s3: 8 [C4 D4 E4 F4 2 r\n"
                              "measure 2\n"
                              "s1: 8 [F4 E4 D4 C4 2 r\n"
                              "s1 L3: 8 [C4 D4 E4 F4 2 r\n"),
              Music());
    ExpectOneUndoableEdit(kEditName);
}

TEST_F(ReorderNotes, GroupsCrossingTheSelectionsEdgesAreLeftAlone) {
    const std::string bar = "s1: 8 [C4 D4 E4 F4 [G4 A4 B4 C5\n";
    const std::string text = "qzs 1\nstaff 1\nmeasure 1\n" + bar + "measure 2\n" + bar;
    // From the third beat of measure 1 to the second beat of measure 2: the first group starts
    // before the selection, the third runs past its end.
    Load(text, Slots(1, 1, 1, 2, 2048, 1023));
    EXPECT_TRUE(Apply(kReorderNotes, 1));
    EXPECT_EQ(Expected("qzs 1\nstaff 1\nmeasure 1\ns1: 8 [C4 D4 E4 F4 [C5 B4 A4 G4\nmeasure 2\n" + bar), Music());
    ExpectOneUndoableEdit(kEditName);

    // A selection that holds only parts of groups changes nothing.
    Load(text, Slots(1, 1, 1, 1, 512, 3071));
    EXPECT_FALSE(Apply(kReorderNotes, 1));
    ExpectNothingChanged();
}

TEST_F(ReorderNotes, TupletsTwelveNoteChordsAndTiesAreReordered) {
    const std::string twelve = "<C3 D3 E3 F3 G3 A3 B3 C4 D4 E4 F4 G4>";
    const std::string head = "qzs 1\nstaff 1\nmeasure 1\n";
    Load(head + "s1: {3:2 8 [E4~ E4 C4} 8 [" + twelve + " <D2 F2> 2 r\n");
    EXPECT_TRUE(Apply(kReorderNotes, 0));
    // The rewritten notes start no ties.
    EXPECT_EQ(Expected(head + "s1: {3:2 8 [C4 E4 E4} 8 [<D2 F2> " + twelve + " 2 r\n"), Music());
    ExpectOneUndoableEdit(kEditName);
}

TEST_F(ReorderNotes, RewrittenNotesAreNewNotesNumberedFromOne) {
    // Even chords that stay in place are rewritten, and that counts as a change.
    Load("qzs 1\nstaff 1\nmeasure 1\ns1: 8 [<E4:3 C4:7> <E4 C4:5> 2. r\n");
    EXPECT_TRUE(Apply(kReorderNotes, 0));
    for (const simhost::StoredEntry& entry : Document().Entries().Get(simhost::FrameKey{1, 1, 0})) {
        for (size_t i = 0; i < entry.notes.size(); ++i) {
            EXPECT_EQ(int(i + 1), entry.notes[i].noteID);
            EXPECT_EQ(0x80000000u, entry.notes[i].flags);
        }
    }
    EXPECT_EQ(Expected("qzs 1\nstaff 1\nmeasure 1\ns1: 8 [<E4 C4> <E4 C4> 2. r\n"), Music());
    ExpectOneUndoableEdit(kEditName);
}

TEST_F(ReorderNotes, SelectionsWithoutAGroupToReorderChangeNothing) {
    struct Row {
        const char* what;
        const char* music;
        bool selected;
    };
    const Row rows[] = {
        {"no selection", "s1: 8 [C4 D4 E4 F4 [G4 A4 B4 C5", false},
        {"only rests", "s1: 8 [r r r r 2 r", true},
        {"one eighth between quarters", "s1: 4 C4 8 D4 4 E4 F4 8 r", true},
        {"only quarter notes", "s1: 4 C4 D4 E4 F4", true},
        {"a beam start on the second eighth", "s1: 8 [C4 [D4 2. r", true},
        {"stems laid out in different directions", "s1: 8 [C4 D4_ 2. r", true},
        {"one note entry beamed to a rest", "s1: 8 [C4 r 2. r", true},
        {"music only in a hidden layer", "s1 L4: 8 [C4 D4 E4 F4 2 r", true},
        {"its only group in a locked layer", "s1 locked: 8 [C4 D4 E4 F4 2 r", true},
        {"an empty measure", "", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Load(std::string("qzs 1\nprefs beams-over-rests\nstaff 1\nmeasure 1\n") + row.music + "\n",
             row.selected ? Slots(1, 1, 1, 1) : Slots(0, 0, 0, 0));
        Document().SetLayerShown(3, false);
        EXPECT_FALSE(Apply(kReorderNotes, 1));
        ExpectNothingChanged();
        Document().SetLayerShown(3, true);
    }
}

TEST_F(ReorderNotes, AGraceNoteInAGroupTakesItsTurnLikeAnyNoteEntry) {
    const std::string head = "qzs 1\nstaff 1\nmeasure 1\n";
    Load(head + "s1: 8 [E4 gD5 C4 G4 F4 2 r\n");
    EXPECT_TRUE(Apply(kReorderNotes, 0));
    EXPECT_EQ(Expected(head + "s1: 8 [C4 gE4 F4 G4 D5 2 r\n"), Music());
    ExpectOneUndoableEdit(kEditName);
}
