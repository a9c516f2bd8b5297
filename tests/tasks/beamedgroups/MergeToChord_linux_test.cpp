// Merge to Chord run through the task window's Apply: groups become chords of their whole
// length, the emptied entries go, slurs are deleted or moved onto the chord, groups the task
// cannot merge stay, respacing follows the choice, and the undo entry gives the document back.
#include "simhost/EntryStore.h"
#include "tests/tasks/TaskApplyTest.h"

#include <string>

using tasktest::Slots;

namespace {

constexpr int kMergeToChord = 1002;
const std::u16string kEditName = u"Merge to Chord";

class MergeToChord : public tasktest::TaskApplyTest {
protected:
    bool Run(bool respace = false) {
        Show(kMergeToChord);
        if (Checked(taskwindow::kRespace) != respace) {
            EXPECT_TRUE(Toggle(taskwindow::kRespace));
        }
        const size_t applied = window->applied.size();
        EXPECT_TRUE(driver.Click(Item(taskwindow::kApply)));
        EXPECT_EQ(applied + 1, window->applied.size());
        return window->applied.size() > applied && window->applied.back();
    }
    static int Respacings() { return Count(simhost::HostCommand::kMenuItem, 12106); }
};

const std::string kHead = "qzs 1\nstaff 1\nmeasure 1\n";

}  // namespace

TEST_F(MergeToChord, EachGroupBecomesOneChordOfItsWholeLength) {
    struct Row {
        const char* before;
        const char* after;
    };
    const Row rows[] = {
        // Four eighths become a quarter-note chord; the next group is merged as well.
        {"8 [C4 E4 G4 B4 [D4 F4 A4 C5", "2 [<C4 E4 G4 B4> [<D4 F4 A4 C5>"},
        // A triplet of eighths becomes a quarter that starts no tuplet.
        {"{3:2 8 [C4 E4 G4} 4 r 2 r", "4 [<C4 E4 G4> r 2 r"},
        // The same pitch twice: one note of the combined length.
        {"8 [C4 C4 4 r 2 r", "4 [C4 r 2 r"},
        // The first entry keeps its notes and ties; later pitches it holds are not added again.
        {"8 [<C4~ E4> C4 G4 E4 2 C4", "2 [<C4~ E4 G4> C4"},
        // Sixteenths and dotted values add up exactly.
        {"8. [C4 16 E4 4 r 2 r", "4 [<C4 E4> r 2 r"},
        // Thirteen different pitches give a chord of twelve notes.
        {"16 [C4 D4 E4 F4 G4 A4 B4 C5 D5 E5 F5 G5 A5 A5 A5 A5", "1 [<C4 D4 E4 F4 G4 A4 B4 C5 D5 E5 F5 G5>"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.before);
        Load(kHead + "s1: " + row.before + "\n");
        EXPECT_TRUE(Run());
        EXPECT_EQ(Expected(kHead + "s1: " + row.after + "\n"), Music());
        ExpectOneUndoableEdit(kEditName);
    }
}

TEST_F(MergeToChord, AGroupStartingWithARestStaysARestOfTheWholeLength) {
    const std::string head = "qzs 1\nprefs beams-over-rests\nstaff 1\nmeasure 1\n";
    // Pitches cannot be added to a rest; a group of rests only is one rest afterwards.
    for (const char* music : {"8 [r E4_ G4_ C5_ 2 r", "8 [r r r r 2 r"}) {
        SCOPED_TRACE(music);
        Load(head + "s1: " + music + "\n");
        EXPECT_TRUE(Run());
        EXPECT_EQ(Expected(head + "s1: 2 [r r\n"), Music());
        ExpectOneUndoableEdit(kEditName);
    }
}

TEST_F(MergeToChord, SlursOnTheGroupGoAndSlursReachingIntoItMoveOntoTheChord) {
    struct Row {
        const char* slurs;
        const char* after;
    };
    // Entries: 1 an eighth B3, 2-5 the group, 6 a quarter G4, 7 an eighth C5.
    const Row rows[] = {
        // Wholly on the group: deleted.
        {"s1 slur 2-5\n", ""},
        {"s1 slur 3-4\n", ""},
        // From before the group into it: its end moves to the chord.
        {"s1 slur 1-3\n", "s1 slur 1-2\n"},
        // From inside the group to after it: its start moves to the chord.
        {"s1 slur 4-6\n", "s1 slur 2-3\n"},
        // Starting on the group's first entry and leaving it: left alone.
        {"s1 slur 2-7\n", "s1 slur 2-4\n"},
        // Not touching the group: left alone.
        {"s1 slur 6-7\n", "s1 slur 3-4\n"},
        // Dashed slurs are slurs too.
        {"s1 slur 1-5 dashed\n", "s1 slur 1-2 dashed\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.slurs);
        Load(kHead + "s1: 8 B3 [C4 D4 E4 F4 4 G4 8 C5\n" + row.slurs);
        EXPECT_TRUE(Run());
        EXPECT_EQ(Expected(kHead + "s1: 8 B3 2 [<C4 D4 E4 F4> 4 G4 8 C5\n" + row.after), Music());
        ExpectOneUndoableEdit(kEditName);
    }
}

TEST_F(MergeToChord, GroupsTheTaskCannotMergeStayAsTheyWere) {
    const struct {
        const char* text;
        tasktest::Selection selection;
    } rows[] = {
        // No beamed groups: quarters, a single eighth between quarters.
        {"qzs 1\nstaff 1\nmeasure 1\ns1: 4 C4 E4 8 G4 4 B4 8 r\n", Slots(1, 1, 1, 1)},
        // A group that starts before the selection, and one that ends after it.
        {"qzs 1\nstaff 1\nmeasure 1\ns1: 8 [C4 E4 G4 B4 2 r\n", Slots(1, 1, 1, 1, 512)},
        {"qzs 1\nstaff 1\nmeasure 1\ns1: 8 [C4 E4 G4 B4 2 r\n", Slots(1, 1, 1, 1, 0, 1000)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        Load(row.text, row.selection);
        EXPECT_FALSE(Run());
        ExpectNothingChanged();
    }
}

TEST_F(MergeToChord, LayersStavesAndTheRespacingChoice) {
    const std::string text =
        "qzs 1\nstaff 1\nstaff 2\nmeasure 1\ns1: 8 [C4 E4 G4 B4 2 r\ns1 L2: 8 [C3_ G3_ 4 r 2 r\n"
        "s2: 8 [A2 C3 E3 A3 2 r\nmeasure 2\ns1: 8 [D4 F4 4 r 2 r\n";
    const std::string merged =
        "qzs 1\nstaff 1\nstaff 2\nmeasure 1\ns1: 2 [<C4 E4 G4 B4> r\ns1 L2: 4 [<C3 G3>_ r 2 r\n"
        "s2: 2 [<A2 C3 E3 A3> r\nmeasure 2\ns1: 4 [<D4 F4> r 2 r\n";
    for (bool respace : {false, true}) {
        SCOPED_TRACE(respace ? "respace" : "no respace");
        Load(text, Slots(1, 2, 1, 2));
        EXPECT_TRUE(Run(respace));
        EXPECT_EQ(Expected(merged), Music());
        EXPECT_EQ(respace ? 1 : 0, Respacings());
        ExpectOneUndoableEdit(kEditName);
    }
}
