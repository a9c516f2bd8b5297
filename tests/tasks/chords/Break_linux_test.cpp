// Break run through the task window's Apply: every style, the note values and tuplets of the
// figures, chords that stay whole, layers and staves, the respacing choice, and the undo entry
// that gives the document back.
#include "simhost/EntryStore.h"
#include "tests/tasks/TaskApplyTest.h"

#include <string>
#include <vector>

using tasktest::Slots;

namespace {

constexpr int kBreak = 1101;
const std::u16string kEditName = u"Break";

class Break : public tasktest::TaskApplyTest {
protected:
    // The host's respacing command (menu item 12106) as run since Load.
    static int Respacings() { return Count(simhost::HostCommand::kMenuItem, 12106); }
};

const std::string kHead = "qzs 1\nstaff 1\nmeasure 1\n";

}  // namespace

TEST_F(Break, EveryStyleBreaksTheChordsIntoItsFigure) {
    // A half-note chord of four notes and one of three, both broken by every style.
    struct Row {
        int style;
        const char* music;
    };
    const Row rows[] = {
        {0, "8 [C4 E4 G4 B4 {3x4:1x2 4 [C4 E4 G4}"},
        {1, "8 [B4 G4 E4 C4 {3x4:1x2 4 [G4 E4 C4}"},
        {2, "8 [C4 G4 E4 B4 {3x4:1x2 4 [C4 G4 E4}"},
        {3, "8 [B4 E4 G4 C4 {3x4:1x2 4 [G4 C4 E4}"},
        {4, "{6x8:1x2 8 [C4 E4 G4 B4 G4 E4} [C4 E4 G4 E4"},
        {5, "{6x8:1x2 8 [B4 G4 E4 C4 E4 G4} [G4 E4 C4 E4"},
        {6, "8 [C4 B4 G4 E4 {3x4:1x2 4 [C4 G4 E4}"},
        {7, "8 [B4 C4 E4 G4 {3x4:1x2 4 [G4 C4 E4}"},
        // The Alberti figures need three notes: the four-note chord stays.
        {8, "2 <C4 E4 G4 B4> 8 [C4 G4 E4 G4"},
        {9, "2 <C4 E4 G4 B4> {6x8:1x2 8 [C4 G4 E4 G4 E4 G4}"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("style " + std::to_string(row.style));
        Load(kHead + "s1: 2 <C4 E4 G4 B4> <E4 C4 G4>\n");
        EXPECT_TRUE(Apply(kBreak, row.style));
        EXPECT_EQ(Expected(kHead + "s1: " + row.music + "\n"), Music());
        ExpectOneUndoableEdit(kEditName);
    }
}

TEST_F(Break, TheFigureTakesTheChordsDurationInPlainOrTupletValues) {
    struct Row {
        int style;
        const char* chords;
        const char* broken;
    };
    const Row rows[] = {
        // A quarter of three notes: three eighths as a tuplet in the time of the quarter.
        {0, "4 <C4 E4 G4> 2. r", "{3x8:1x4 8 [C4 E4 G4} 2. r"},
        // A half of four: four plain eighths.
        {0, "2 <C4 E4 G4 B4> r", "8 [C4 E4 G4 B4 2 r"},
        // A dotted quarter of two: two dotted eighths.
        {0, "4. <C4 G4> 8 r 2 r", "8. [C4 G4 8 r 2 r"},
        // Alberti Bass on a dotted quarter: four dotted sixteenths; on an eighth: four 32nds.
        {8, "4. <C4 E4 G4> 8 <C4 E4 G4> 2 r", "16. [C4 G4 E4 G4 32 [C4 G4 E4 G4 2 r"},
        // Six notes on an eighth: 64ths in a tuplet; on a dotted quarter: plain sixteenths.
        {9, "8 <C4 E4 G4> 4. <C4 E4 G4> 2 r", "{6x64:1x8 64 [C4 G4 E4 G4 E4 G4} 16 [C4 G4 E4 G4 E4 G4 2 r"},
        // Twelve notes waving up and down: 22 sixteenths in the time of a whole note.
        {4, "1 <C4 D4 E4 F4 G4 A4 B4 C5 D5 E5 F5 G5>",
         "{22x16:1x1 16 [C4 D4 E4 F4 G4 A4 B4 C5 D5 E5 F5 G5 F5 E5 D5 C5 B4 A4 G4 F4 E4 D4}"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.chords);
        Load(kHead + "s1: " + row.chords + "\n");
        EXPECT_TRUE(Apply(kBreak, row.style));
        EXPECT_EQ(Expected(kHead + "s1: " + row.broken + "\n"), Music());
        ExpectOneUndoableEdit(kEditName);
    }
}

TEST_F(Break, BrokenEntriesAreMarkedAndKeepNoTies) {
    // The chord tied from the previous entry may be broken; the ties it starts are gone.
    Load(kHead + "s1: 4 <C4~ E4> <C4 E4 G4> 2 r\n");
    EXPECT_TRUE(Apply(kBreak, 0));
    EXPECT_EQ(Expected(kHead + "s1: 4 <C4~ E4> {3x8:1x4 8 [C4 E4 G4} 2 r\n"), Music());
    const simhost::EntryStore::Entries& entries = Document().Entries().Get(simhost::FrameKey{1, 1, 0});
    ASSERT_EQ(5u, entries.size());
    for (size_t i = 1; i < 4; ++i) {
        EXPECT_EQ(0x80000000u, entries[i].flags & 0x80000000u) << i;
        ASSERT_EQ(1u, entries[i].notes.size());
        EXPECT_EQ(1, entries[i].notes[0].noteID);
        EXPECT_EQ(0u, entries[i].notes[0].flags & 0x40000000u);
        EXPECT_GT(entries[i].number, 0) << "the host numbered the new entries";
    }
    ExpectOneUndoableEdit(kEditName);
}

TEST_F(Break, EveryLayerAndStaffOfTheSelectionIsBrokenAndRespacedWhenAsked) {
    const std::string head = "qzs 1\nstaff 1\nstaff 2\nstaff 3\npart 1 staves=1\npart 2 staves=2,3\n";
    Load(head +
             "measure 1\n"
             "s1: 2 <C4 E4> <D4 F4>\n"
             "s1 L2: 1 <C3 E3>_\n"
             "s2: 2 <C4 E4> 4 <D4 F4> r\n"
             "s3: 1 <C4 E4>\n"
             "measure 2\n"
             "s1: 2 <C4 E4> 2 r\n"
             "s1 L3: 1 <C3 E3>\n"
             "s2: 1 <C4 E4>\n",
         // From the second beat of measure 1 on: the first chords of staves 1 and 2 lie before it.
         Slots(1, 2, 1, 2, 1024));
    Document().SetLayerShown(2, false);
    const simhost::RegionData selection = Document().View().Selection();
    EXPECT_TRUE(Apply(kBreak, 1, true));
    EXPECT_EQ(Expected(head + "measure 1\n"
                              "s1: 2 <C4 E4> 4 [F4 D4\n"
                              "s1 L2: 1 <C3 E3>_\n"
                              "s2: 2 <C4 E4> 8 [F4 D4 4 r\n"
                              "s3: 1 <C4 E4>\n"
                              "measure 2\n"
                              "s1: 4 [E4 C4 2 r\n"
                              "s1 L3: 1 <C3 E3>\n"
                              "s2: 2 [E4 C4\n"),
              Music());
    // Layer 2's whole note starts before the selection; layer 3 is hidden; staff 3 is not selected.
    // The score and both parts are respaced, and the user's selection comes back.
    EXPECT_EQ(3, Respacings());
    EXPECT_EQ(selection, Document().View().Selection());
    ExpectOneUndoableEdit(kEditName);

    // Without the setting nothing is respaced.
    Load(head + "measure 1\ns1: 2 <C4 E4> r\n", Slots(1, 1, 1, 1));
    EXPECT_TRUE(Apply(kBreak, 0, false));
    EXPECT_EQ(0, Respacings());
    ExpectOneUndoableEdit(kEditName);
}

TEST_F(Break, ChordsItCannotBreakStayWhole) {
    struct Row {
        const char* what;
        const char* head;
        const char* music;
        int style;
        bool selected;
    };
    const Row rows[] = {
        {"no selection", "staff 1", "s1: 2 <C4 E4> r", 0, false},
        {"only rests and single notes", "staff 1", "s1: 4 r C4 8 [D4 E4 4 r", 0, true},
        {"a tie onward", "staff 1", "s1: 2 <C4~ E4> C4", 0, true},
        {"two dots", "staff 1", "s1: 2.. <C4 E4> 8 r", 0, true},
        {"members of a tuplet", "staff 1", "s1: {3:2 4 <C4 E4> <D4 F4> <E4 G4>} 2 r", 0, true},
        {"a grace chord", "staff 1", "s1: 8 g<D4 F4> 1 C4", 0, true},
        {"Alberti on two notes", "staff 1", "s1: 2 <C4 E4> <C4 E4 G4 B4>", 8, true},
        {"Alberti (6-note) on four", "staff 1", "s1: 1 <C4 E4 G4 B4>", 9, true},
        {"another notation style", "staff 1 style=1", "s1: 2 <C4 E4> <D4 F4>", 0, true},
        {"a hidden layer", "staff 1", "s1 L4: 2 <C4 E4> <D4 F4>", 0, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Load(std::string("qzs 1\n") + row.head + "\nmeasure 1\n" + row.music + "\n",
             row.selected ? Slots(1, 1, 1, 1) : Slots(0, 0, 0, 0));
        Document().SetLayerShown(3, false);
        EXPECT_FALSE(Apply(kBreak, row.style, true));
        ExpectNothingChanged();
        EXPECT_EQ(0, Respacings()) << "nothing is respaced";
        Document().SetLayerShown(3, true);
    }
}

TEST_F(Break, AHostThatRefusesTheFrameLeavesTheDocumentAsItWas) {
    // Refused insertions break nothing; a refused save gives up the whole run.
    Load(kHead + "s1: 2 <C4 E4> <D4 F4>\nmeasure 2\ns1: 2 <C4 E4> <D4 F4>\n", Slots(1, 1, 1, 2));
    simhost::SetFailing("FX_InsertEXENTRY");
    EXPECT_FALSE(Apply(kBreak, 0));
    ExpectNothingChanged();
    simhost::SetFailing("FX_InsertEXENTRY", false);

    Load(kHead + "s1: 2 <C4 E4> <D4 F4>\nmeasure 2\ns1: 2 <C4 E4> <D4 F4>\n", Slots(1, 1, 1, 2));
    simhost::SetFailing("FX_SaveTGF");
    EXPECT_FALSE(Apply(kBreak, 0));
    ExpectNothingChanged();
    simhost::SetFailing("FX_SaveTGF", false);

    // A tuplet the host will not create: the half-note chord before it would be broken and the
    // quarter-note chord would stay whole, so the whole run is given up.
    Load(kHead + "s1: 2 <C4 E4 G4> 4 <C4 E4 G4> r\n", Slots(1, 1, 1, 1));
    simhost::SetFailing("FX_CreateEData");
    EXPECT_FALSE(Apply(kBreak, 0));
    ExpectNothingChanged();
}
