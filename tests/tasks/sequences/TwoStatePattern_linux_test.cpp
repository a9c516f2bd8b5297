// Two-state Pattern run through the task window's Apply: the three sequence types, the beaming,
// rebarring and rest options, the reference entries' content and articulations copied, staves and
// layers, every message with the document left untouched, and the undo entry that gives the
// document back.
#include "framework/core/FCString.h"
#include "tasks/sequences/FCTwoStateSequenceCollection.h"
#include "tasks/sequences/FCTwoStateSequenceHandler.h"
#include "tests/tasks/TaskApplyTest.h"

#include <string>
#include <vector>

using namespace taskwindow;
using tasktest::Slots;

namespace {

constexpr int kTwoStatePattern = 1402;
const std::u16string kEditName = u"Two-state Pattern";

struct Options {
    const char* counts;
    int type;
    int grouping;
    int rests;
};

// A run that wrote its result: the document is the expected one, and one undo entry gives the
// document back.
struct Case {
    const char* name;
    const char* score;
    Options options;
    tasktest::Selection selection;
    const char* result;
};

class TwoStatePattern : public tasktest::TaskApplyTest {
protected:
    // Types the counts, chooses the three popups, sets "Respace if necessary" and clicks Apply.
    bool Run(const Options& options, bool respace = false) {
        Show(kTwoStatePattern);
        EXPECT_TRUE(Type(kEdit1, options.counts));
        EXPECT_TRUE(Choose(kPopup1, options.type));
        EXPECT_TRUE(Choose(kPopup2, options.grouping));
        EXPECT_TRUE(Choose(kPopup3, options.rests));
        if (Checked(kRespace) != respace) {
            EXPECT_TRUE(Toggle(kRespace));
        }
        const size_t applied = window->applied.size();
        EXPECT_TRUE(driver.Click(Item(kApply)));
        return window->applied.size() > applied && window->applied.back();
    }
    // The one message box shown since Load: its caption and text.
    std::string Box(size_t boxesBefore) const {
        const auto boxes = driver.MessageBoxes();
        if (boxes.size() != boxesBefore + 1) return "boxes: " + std::to_string(boxes.size() - boxesBefore);
        return boxes.back().caption + ": " + boxes.back().text;
    }
    static int Respacings() { return Count(simhost::HostCommand::kMenuItem, 12106); }

    template <size_t N>
    void RunCases(const Case (&cases)[N], const std::string& head = "qzs 1\nstaff 1\n") {
        for (const Case& row : cases) {
            SCOPED_TRACE(row.name);
            Load(head + row.score, row.selection);
            EXPECT_TRUE(Run(row.options));
            EXPECT_EQ(Expected(head + row.result), Music());
            ExpectOneUndoableEdit(kEditName);
        }
    }
    // The run showed the message and left the document as it was, without an undo entry.
    void ExpectRefused(size_t boxes, const std::string& message) {
        EXPECT_EQ(message, Box(boxes));
        EXPECT_TRUE(Document().UndoList().empty());
        EXPECT_FALSE(Document().IsEditOpen());
        EXPECT_TRUE(Document().State() == before) << Document().Dump();
    }
};

const std::string kHead = "qzs 1\nstaff 1\n";

}  // namespace

TEST_F(TwoStatePattern, TheSequenceTypesPlaceTheTwoStates) {
    const Case cases[] = {
        {"type 0",
         "measure 1\ns1: 8 C4 D4\nmeasure 2\n",
         {"3 4", 0, 1, 0},
         Slots(1, 1, 1, 2),
         "measure 1\ns1: 8 [C4 D4 D4 [C4 D4 D4 D4\nmeasure 2\n"},
        {"type 1",
         "measure 1\ns1: 8 C4 D4\nmeasure 2\n",
         {"3 4", 1, 1, 0},
         Slots(1, 1, 1, 2),
         "measure 1\ns1: 8 [C4 C4 D4 [C4 C4 C4 D4\nmeasure 2\n"},
        {"type 2",
         "measure 1\ns1: 8 C4 D4\nmeasure 2\n",
         {"3 4", 2, 1, 0},
         Slots(1, 1, 1, 2),
         "measure 1\ns1: 8 [C4 D4 C4 [C4 D4 D4 C4\nmeasure 2\n"},
        // The second reference entry is 'ON' here: it becomes a copy of the first.
        {"type 2, a single 2",
         "measure 1\ns1: 4 C4 8 D4\nmeasure 2\n",
         {"2", 2, 1, 0},
         Slots(1, 1, 1, 2),
         "measure 1\ns1: 4 [C4 C4\nmeasure 2\n"},
        {"type 1, first group of 2 keeps B",
         "measure 1\ns1: 8 C4 D4\nmeasure 2\n",
         {"2 3", 1, 1, 0},
         Slots(1, 1, 1, 2),
         "measure 1\ns1: 8 [C4 D4 [C4 C4 D4\nmeasure 2\n"},
        // The last node of a measure may run past the barline; the next measure starts afresh.
        {"type 1, B converted, last node over the barline",
         "measure 1\ns1: 4 C4 8 D4\nmeasure 2\n",
         {"3 3", 1, 1, 0},
         Slots(1, 1, 1, 2),
         "measure 1\ns1 overfull: 4 [C4 C4 8 D4 4 [C4 C4\nmeasure 2\ns1: 8 D4\n"},
    };
    RunCases(cases);
}

TEST_F(TwoStatePattern, BeamsToTheTimeSignatureOrTheGroups) {
    const Case cases[] = {
        {"4/4: a beam on every quarter",
         "measure 1\ns1: 8 C4 D4\nmeasure 2\n",
         {"3 4", 0, 0, 0},
         Slots(1, 1, 1, 2),
         "measure 1\ns1: 8 [C4 D4 [D4 C4 [D4 D4 [D4\nmeasure 2\n"},
        {"6/8 as six eighth beats",
         "measure 1 6/8\ns1: 8 C4 D4\nmeasure 2\n",
         {"3 3", 0, 0, 0},
         Slots(1, 1, 1, 2),
         "measure 1 6/8\ns1: 8 [C4 [D4 [D4 [C4 [D4 [D4\nmeasure 2\n"},
        {"composite 3+2 eighths",
         "measure 1 3+2/8\ns1: 8 C4 D4\nmeasure 2\n",
         {"5", 0, 0, 0},
         Slots(1, 1, 1, 2),
         "measure 1 3+2/8\ns1: 8 [C4 D4 D4 [D4 D4\nmeasure 2\n"},
        // Two elements: two eighths from 0, two quarters from 1024.
        {"composite with a bottom per group",
         "measure 1 2/8+2/4\ns1: 8 C4 D4\nmeasure 2\n",
         {"6", 0, 0, 0},
         Slots(1, 1, 1, 2),
         "measure 1 2/8+2/4\ns1: 8 [C4 D4 [D4 D4 D4 D4\nmeasure 2\n"},
        {"groups",
         "measure 1\ns1: 8 C4 D4\nmeasure 2\n",
         {"3 4 4", 0, 1, 0},
         Slots(1, 1, 1, 2),
         "measure 1\ns1: 8 [C4 D4 D4 [C4 D4 D4 D4 [C4\nmeasure 2\ns1: 8 D4 D4 D4\n"},
    };
    RunCases(cases);
}

TEST_F(TwoStatePattern, FourEighthsAreOneGroupWhenTheDocumentSaysSo) {
    const Case cases[] = {
        {"two halves of eighths",
         "measure 1\ns1: 8 C4 D4\nmeasure 2\n",
         {"4 4", 0, 0, 0},
         Slots(1, 1, 1, 2),
         "measure 1\ns1: 8 [C4 D4 D4 D4 [C4 D4 D4 D4\nmeasure 2\n"},
        {"only the full half",
         "measure 1\ns1: 8 C4 D4\nmeasure 2\n",
         {"3 4", 0, 0, 0},
         Slots(1, 1, 1, 2),
         "measure 1\ns1: 8 [C4 D4 D4 C4 [D4 D4 [D4\nmeasure 2\n"},
        {"a rest among them",
         "measure 1\ns1: 8 C4 r\nmeasure 2\n",
         {"4 4", 0, 0, 0},
         Slots(1, 1, 1, 2),
         "measure 1\ns1: 8 [C4 r [r r [C4 r [r r\nmeasure 2\n"},
        {"sixteenths",
         "measure 1\ns1: 16 C4 D4\nmeasure 2\n",
         {"8", 0, 0, 0},
         Slots(1, 1, 1, 2),
         "measure 1\ns1: 16 [C4 D4 D4 D4 [D4 D4 D4 D4\nmeasure 2\n"},
        {"not four quarter beats",
         "measure 1 2/2\ns1: 8 C4 D4\nmeasure 2\n",
         {"4 4", 0, 0, 0},
         Slots(1, 1, 1, 2),
         "measure 1 2/2\ns1: 8 [C4 D4 D4 D4 [C4 D4 D4 D4\nmeasure 2\n"},
        {"3/4",
         "measure 1 3/4\ns1: 8 C4 D4\nmeasure 2\n",
         {"3 3", 0, 0, 0},
         Slots(1, 1, 1, 2),
         "measure 1 3/4\ns1: 8 [C4 D4 [D4 C4 [D4 D4\nmeasure 2\n"},
    };
    RunCases(cases, "qzs 1\nprefs four-eighths\nstaff 1\n");
}

TEST_F(TwoStatePattern, RebarsEachGroupIntoAMeasureOfItsLength) {
    const Case cases[] = {
        {"3072, 4608 and 2560",
         "measure 1\ns1: 8 C4 D4\nmeasure 2-4\n",
         {"6 9 5", 0, 2, 0},
         Slots(1, 1, 1, 4),
         "measure 1 3/4\ns1: 8 C4 D4 D4 D4 D4 D4\nmeasure 2 3/4.\ns1: 8 C4 D4 D4 D4 D4 D4 D4 D4 D4\n"
         "measure 3 5/8\ns1: 8 C4 D4 D4 D4 D4\nmeasure 4 4/4\n"},
        {"1280",
         "measure 1\ns1: 16 C4 D4\nmeasure 2\n",
         {"5", 0, 2, 0},
         Slots(1, 1, 1, 2),
         "measure 1 5/16\ns1: 16 C4 D4 D4 D4 D4\nmeasure 2 4/4\n"},
        {"2304",
         "measure 1\ns1: 8. C4 D4\nmeasure 2\n",
         {"3", 0, 2, 0},
         Slots(1, 1, 1, 2),
         "measure 1 3/8.\ns1: 8. C4 D4 D4\nmeasure 2 4/4\n"},
        {"100 stays",
         "measure 1\ns1: e50 C4 D4\nmeasure 2\n",
         {"2", 0, 2, 0},
         Slots(1, 1, 1, 2),
         "measure 1\ns1: e50 C4 D4\nmeasure 2\n"},
        {"composite meters replaced",
         "measure 1 3+2/8\ns1: 8 C4 D4\nmeasure 2 3/8+2/4\n",
         {"3 3", 0, 2, 0},
         Slots(1, 1, 1, 2),
         "measure 1 1/4.\ns1: 8 C4 D4 D4\nmeasure 2\ns1: 8 C4 D4 D4\n"},
    };
    RunCases(cases);
}

TEST_F(TwoStatePattern, GroupsRests) {
    const Case cases[] = {
        {"left alone",
         "measure 1\ns1: 8 C4 r\nmeasure 2\n",
         {"2 3", 0, 1, 0},
         Slots(1, 1, 1, 2),
         "measure 1\ns1: 8 [C4 r [C4 r r\nmeasure 2\n"},
        // Eighth rests of a group merge into a quarter, three into a dotted quarter; a rest that
        // starts a group never joins the one before.
        {"to the groups",
         "measure 1\ns1: 8 C4 r\nmeasure 2\n",
         {"2 3 2 4", 0, 0, 2},
         Slots(1, 1, 1, 2),
         "measure 1\ns1: 8 [C4 r [C4 4 r 8 C4 [r C4\nmeasure 2\ns1: 4. [r\n"},
        {"sixteenths step by step",
         "measure 1\ns1: 16 C4 r\nmeasure 2\n",
         {"5 3", 0, 0, 2},
         Slots(1, 1, 1, 2),
         "measure 1\ns1: 16 [C4 4 r 16 C4 8 r\nmeasure 2\n"},
        {"a run of rests starting groups",
         "measure 1\ns1: 8 r D4\nmeasure 2\n",
         {"2 2 2", 1, 1, 2},
         Slots(1, 1, 1, 2),
         "measure 1\ns1: 8 [r D4 [r D4 [r D4\nmeasure 2\n"},
        // Split at the beat groups, merged within them, whole and half measures.
        {"to the time signature",
         "measure 1\ns1: 8 C4 2 r\nmeasure 2\ns1: 4 r r r r\nmeasure 3 4/8\ns1: 8 r r r r\nmeasure 4 4/8\n"
         "s1: 8 r r r r\n",
         {"2", 0, 0, 1},
         Slots(1, 1, 1, 4),
         "measure 1\ns1: 8 [C4 r 4 r 8 r\nmeasure 2\ns1: 1 r\nmeasure 3 4/8\ns1: 4 r r\nmeasure 4\ns1: 4 r r\n"},
        // A measure the sequence fills with rests only is emptied.
        {"rest-only measures cleared",
         "measure 1\ns1: 8 C4 r\nmeasure 2-4\n",
         {"2 3 3 18 2", 0, 0, 1},
         Slots(1, 1, 1, 4),
         "measure 1\ns1: 8 [C4 r [C4 r [r C4 4 [r\nmeasure 2\ns1: 8 [C4 r 4 [r 2 [r\nmeasure 3\nmeasure 4\n"
         "s1: 4 [r 8 [C4 r\n"},
        // A rest with an articulation is neither merged nor merged into; the second half still is.
        {"articulated rests stay",
         "articulation 1 char=46 mode=1 size=24\nmeasure 1\ns1: 8 C4 2 r\nmeasure 2\n"
         "s1: 4 r!art1 r r r\nmeasure 3\ns1: 4 r r r r!art1\n",
         {"2", 0, 0, 1},
         Slots(1, 1, 1, 3),
         "articulation 1 char=46 mode=1 size=24\nmeasure 1\ns1: 8 [C4 r 4 r 8 r\nmeasure 2\n"
         "s1: 4 r!art1 r 2 r\nmeasure 3\ns1: 2 r 4 r r!art1\n"},
        {"rests outside the selection stay",
         "measure 1\ns1: 8 C4 2 r\nmeasure 2\ns1: 4 r r r r\n",
         {"2", 0, 0, 1},
         Slots(1, 1, 1, 1),
         "measure 1\ns1: 8 [C4 r 4 r 8 r\nmeasure 2\ns1: 4 r r r r\n"},
    };
    RunCases(cases);
}

TEST_F(TwoStatePattern, WhenTheReferenceEntriesFillTheirMeasureTheSequenceGoesOnInTheNext) {
    const Case cases[] = {
        {"two halves",
         "measure 1\ns1: 2 C4 D4\nmeasure 2-3\n",
         {"3 3", 0, 0, 0},
         Slots(1, 1, 1, 3),
         "measure 1\ns1: 2 [C4 [D4\nmeasure 2\ns1: 2 [D4 [C4\nmeasure 3\ns1: 2 [D4 [D4\n"},
        {"over the barline",
         "measure 1\ns1: 2.. r 8 C4\nmeasure 2\ns1: 8 D4\nmeasure 3\n",
         {"3 3", 0, 0, 0},
         Slots(1, 1, 1, 3, 3584),
         "measure 1\ns1: 2.. r 8 C4\nmeasure 2\ns1: 8 [D4 D4 [C4 D4 [D4\nmeasure 3\n"},
        {"beamed to the groups",
         "measure 1\ns1: 2 C4 D4\nmeasure 2-3\n",
         {"2 4", 0, 1, 0},
         Slots(1, 1, 1, 3),
         "measure 1\ns1: 2 [C4 D4\nmeasure 2\ns1: 2 [C4 D4\nmeasure 3\ns1: 2 D4 D4\n"},
    };
    RunCases(cases);
}

TEST_F(TwoStatePattern, CopiesTheReferenceEntriesContentAndArticulations) {
    const Case cases[] = {
        {"articulations on the copies of A",
         "articulation 1 char=46 mode=1 size=24\nmeasure 1\ns1: 8 C4!art1 D4\nmeasure 2\n",
         {"3 3", 2, 1, 0},
         Slots(1, 1, 1, 2),
         "articulation 1 char=46 mode=1 size=24\nmeasure 1\ns1: 8 [C4!art1 D4 C4!art1 [C4!art1 D4 C4!art1\nmeasure "
         "2\n"},
        // B is converted before the articulations are copied: the later copies of B carry A's too.
        {"a converted B keeps its own and gets A's",
         "articulation 1 char=46 mode=1 size=24\narticulation 2 char=62 mode=1 size=24\nmeasure 1\n"
         "s1: 8 C4!art1 D4!art2\nmeasure 2\n",
         {"3", 1, 1, 0},
         Slots(1, 1, 1, 2),
         "articulation 1 char=46 mode=1 size=24\narticulation 2 char=62 mode=1 size=24\nmeasure 1\n"
         "s1: 8 [C4!art1 C4!art2!art1 D4!art2!art1\nmeasure 2\n"},
        {"chords of twelve notes and a rest with notes",
         "measure 1\ns1: 8 <C4 D4 E4 F4 G4 A4 B4 C5 D5 E5 F5 G5> r<B4:31>\nmeasure 2\n",
         {"3 3", 1, 1, 0},
         Slots(1, 1, 1, 2),
         "measure 1\ns1: 8 [<C4 D4 E4 F4 G4 A4 B4 C5 D5 E5 F5 G5> <C4 D4 E4 F4 G4 A4 B4 C5 D5 E5 F5 G5> r<B4> "
         "[<C4 D4 E4 F4 G4 A4 B4 C5 D5 E5 F5 G5> <C4 D4 E4 F4 G4 A4 B4 C5 D5 E5 F5 G5> r<B4>\nmeasure 2\n"},
        {"rests as both states",
         "measure 1\ns1: 8 r 4 r\nmeasure 2\n",
         {"2 2", 0, 1, 0},
         Slots(1, 1, 1, 2),
         "measure 1\ns1: 8 [r 4 r 8 [r 4 r\nmeasure 2\n"},
    };
    RunCases(cases);
}

TEST_F(TwoStatePattern, EveryStaffAndLayerWithReferenceEntriesGetsTheSequence) {
    const std::string head = "qzs 1\nstaff 1\nstaff 2\nstaff 3\n";
    Load(head + "measure 1\ns1: 8 C4 D4\ns1 L2: 8 E5 F5\ns2: 8 G3 A3\ns3: 8 C3 D3\nmeasure 2\n", Slots(1, 2, 1, 2));
    EXPECT_TRUE(Run({"3", 0, 1, 0}, true));
    EXPECT_EQ(
        Expected(head + "measure 1\ns1: 8 [C4 D4 D4\ns1 L2: 8 [E5 F5 F5\ns2: 8 [G3 A3 A3\ns3: 8 C3 D3\nmeasure 2\n"),
        Music());
    EXPECT_EQ(1, Respacings());
    ExpectOneUndoableEdit(kEditName);

    // A staff with only one entry at the start is passed over; without respacing none is asked for.
    Load(head + "measure 1\ns1: 8 C4 D4\ns2: 1 G3\nmeasure 2\n", Slots(1, 2, 1, 2));
    EXPECT_TRUE(Run({"3", 0, 1, 0}));
    EXPECT_EQ(Expected(head + "measure 1\ns1: 8 [C4 D4 D4\ns2: 1 G3\nmeasure 2\n"), Music());
    EXPECT_EQ(0, Respacings());
    ExpectOneUndoableEdit(kEditName);
}

TEST_F(TwoStatePattern, NothingToExpandChangesNothing) {
    const struct {
        const char* name;
        const char* score;
        tasktest::Selection selection;
    } rows[] = {
        {"a single entry", "measure 1\ns1: 1 C4\n", Slots(1, 1, 1, 1)},
        {"nothing at the start position", "measure 1\ns1: 4 C4 D4 E4 F4\n", Slots(1, 1, 1, 1, 512)},
        {"an empty staff", "measure 1\n", Slots(1, 1, 1, 1)},
        {"no selection", "measure 1\ns1: 8 C4 D4\n", Slots(0, 0, 0, 0)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Load(kHead + row.score, row.selection);
        const size_t boxes = driver.MessageBoxes().size();
        EXPECT_FALSE(Run({"3", 0, 0, 0}));
        EXPECT_EQ(boxes, driver.MessageBoxes().size());
        ExpectNothingChanged();
    }
}

TEST_F(TwoStatePattern, EveryMessageComesBeforeAnythingIsWritten) {
    const std::string rebarError =
        "Region Selection Error: When the 'Rebar to Sequence Groups' option is used, the region must start at the "
        "beginning of a measure.";
    const struct {
        const char* name;
        const char* score;
        Options options;
        tasktest::Selection selection;
        std::string message;
    } rows[] = {
        {"counts",
         "measure 1\ns1: 8 C4 D4\n",
         {"3 1", 0, 0, 0},
         Slots(1, 1, 1, 1),
         "Input Error: Group 2 has a note count number less than 2. Please enter a larger number."},
        {"no counts",
         "measure 1\ns1: 8 C4 D4\n",
         {" -+, ", 0, 0, 0},
         Slots(1, 1, 1, 1),
         "Input Error: 1 or more note count numbers must be present in the edit field. Separate each number with a "
         "separator, for example space or '-' or '+'."},
        // The start is tested first: the other faults of this run are not reported.
        {"rebar from inside a measure",
         "measure 1\ns1: 4 C4 8 C4 D4\ns2: 4 C4\nmeasure 2\ns1: 1 C4\n",
         {"3 3 3", 0, 2, 0},
         Slots(1, 1, 1, 1, 1024),
         rebarError},
        {"first durations",
         "measure 1\ns1: 8 C4 D4\ns1 L2: 4 C5 8 D5\nmeasure 2\n",
         {"3", 0, 0, 0},
         Slots(1, 1, 1, 2),
         "Region Error: The duration of the first pattern note doesn't match across the selected staves/layers."},
        {"second durations",
         "measure 1\ns1: 8 C4 D4\ns2: 8 C4 4 D4\nmeasure 2\n",
         {"3", 0, 0, 0},
         Slots(1, 2, 1, 2),
         "Region Error: The duration of the second pattern note doesn't match across the selected staves/layers."},
        {"tuplet",
         "measure 1\ns1: {3:2 8 C4 D4 E4}\nmeasure 2\n",
         {"3", 0, 0, 0},
         Slots(1, 1, 1, 2),
         "Region Error: The reference notes that the sequence is based on cannot be part of a tuplet."},
        {"grace note",
         "measure 1\ns1: 8 C4 gD4 E4\nmeasure 2\n",
         {"3", 0, 0, 0},
         Slots(1, 1, 1, 2),
         "Region Error: The reference notes that the sequence is based on cannot be a grace note."},
        {"too few measures",
         "measure 1\ns1: 8 C4 D4\nmeasure 2-3\n",
         {"3 3 3", 0, 2, 0},
         Slots(1, 1, 1, 2),
         "Region Error: The number of selected measures are too few to be able to contain all groups. The area "
         "needs to be 1 measure(s) wider."},
        {"rebar into music of another staff",
         "measure 1\ns1: 8 C4 D4\nmeasure 2\ns2 L3: 1 C4\n",
         {"3 3", 0, 2, 0},
         Slots(1, 1, 1, 2),
         "Region Error: The measures must be empty in all staves (even in non-selected staves) when the 'Rebar to "
         "Sequence Groups' option is used."},
        {"too little room",
         "measure 1\ns1: 8 C4 D4\nmeasure 2\n",
         {"9 9", 0, 0, 0},
         Slots(1, 1, 1, 2),
         "Region Error: The unfilled area in the selection is smaller than the duration required to create the full "
         "sequence. (The area must be 1024 EDUs wider)."},
        // The room is counted from the entry after the references to the end of the selection.
        {"room after later music",
         "measure 1\ns1: 8 C4 D4 2. r\nmeasure 2\n",
         {"15", 0, 0, 0},
         Slots(1, 1, 1, 2),
         "Region Error: The unfilled area in the selection is smaller than the duration required to create the full "
         "sequence. (The area must be 513 EDUs wider)."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Load("qzs 1\nstaff 1\nstaff 2\n" + std::string(row.score), row.selection);
        const size_t boxes = driver.MessageBoxes().size();
        driver.AnswerNextMessageBox(IDOK);
        EXPECT_FALSE(Run(row.options));
        ExpectRefused(boxes, row.message);
    }
}

TEST_F(TwoStatePattern, BadInputGetsAMessageNeverAHalfWrittenLayer) {
    std::string thousands;
    // The edit field gives at most 5000 characters: 2500 groups.
    for (int i = 0; i < 3000; ++i) thousands += "2 ";
    const std::string longText(10000, '7');
    const struct {
        const char* name;
        std::string counts;
        int grouping;
        std::string message;
    } rows[] = {
        {"a huge count", "2000000000", 0,
         "Region Error: The unfilled area in the selection is smaller than the duration required to create the full "
         "sequence. (The area must be 1023999991808 EDUs wider)."},
        {"a huge count, rebarred", "2000000000", 2, "boxes: 0"},
        {"thousands of groups", thousands, 0,
         "Region Error: The unfilled area in the selection is smaller than the duration required to create the full "
         "sequence. (The area must be 2551808 EDUs wider)."},
        {"thousands of groups, rebarred", thousands, 2,
         "Region Error: The number of selected measures are too few to be able to contain all groups. The area "
         "needs to be 2498 measure(s) wider."},
        {"a text of 10,000 digits", longText, 0,
         "Region Error: The unfilled area in the selection is smaller than the duration required to create the full "
         "sequence. (The area must be 1099511619072 EDUs wider)."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Load(kHead + "measure 1\ns1: 8 C4 D4\nmeasure 2\n", Slots(1, 1, 1, 2));
        const size_t boxes = driver.MessageBoxes().size();
        if (row.message != "boxes: 0") driver.AnswerNextMessageBox(IDOK);
        EXPECT_FALSE(Run({row.counts.c_str(), 0, row.grouping, 0}));
        ExpectRefused(boxes, row.message);
    }
}

TEST(TwoStateSequenceHandler, ParsesTheNoteCountsOfTheGroups) {
    const struct {
        const char* text;
        std::vector<int> counts;
        const char* message;
    } rows[] = {
        {"3 4 4", {3, 4, 4}, ""},
        {"3; 4", {3, 4}, ""},
        {"3--4", {3, 4}, ""},
        {"2:3+4,5", {2, 3, 4, 5}, ""},
        {"  12x 3a  ", {12, 3}, ""},
        {"99999999999", {2147483647}, ""},
        {"3 1", {}, "Group 2 has a note count number less than 2. Please enter a larger number."},
        {"3 4 0", {}, "Group 3 has a note count number less than 2. Please enter a larger number."},
        {"abc 3", {}, "Group 1 has a note count number less than 2. Please enter a larger number."},
        {"3\t4", {}, ""},
        {"",
         {},
         "1 or more note count numbers must be present in the edit field. Separate each number with a separator, for "
         "example space or '-' or '+'."},
        {" :;-+, ",
         {},
         "1 or more note count numbers must be present in the edit field. Separate each number with a separator, for "
         "example space or '-' or '+'."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        FCTwoStateSequenceHandler handler(nullptr);
        FCString text;
        text.SetUTF8(row.text);
        FCString message("stale");
        const bool parsed = handler.ParseCounts(&text, &message);
        EXPECT_EQ(row.message, message.GetUTF8());
        std::vector<int> counts;
        for (int i = 0; i < handler.GetCounts()->GetCount(); ++i)
            counts.push_back(handler.GetCounts()->GetItemAt(i)->GetInt());
        if (std::string(row.text) == "3\t4") {
            // A tab is no separator: "3\t4" is one token that reads 3.
            EXPECT_TRUE(parsed);
            EXPECT_EQ(std::vector<int>{3}, counts);
            continue;
        }
        EXPECT_EQ(row.message[0] == '\0', parsed);
        if (parsed) {
            EXPECT_EQ(row.counts, counts);
        }
    }
}

TEST(TwoStateSequenceCollection, RestLengthsAndRebarBeats) {
    // Test S: plain values from a whole to a 32nd, and those dotted once.
    for (int32_t d : {4096, 2048, 1024, 512, 256, 128, 6144, 3072, 1536, 768, 384, 192})
        EXPECT_TRUE(FCTwoStateSequenceCollection::IsGroupedRestDuration(d)) << d;
    for (int32_t d : {0, 64, 96, 640, 1280, 1792, 2560, 8192})
        EXPECT_FALSE(FCTwoStateSequenceCollection::IsGroupedRestDuration(d)) << d;
    // Test T: the highest power of two in the length, dotted up to three times; a length is below
    // twice that power, so only the plain and the once-dotted value can ever match.
    for (int32_t d : {8192, 12288, 1024, 1536, 64, 2})
        EXPECT_TRUE(FCTwoStateSequenceCollection::IsMergedRestDuration(d)) << d;
    for (int32_t d : {1280, 2560, 1792, 2304, 3456, 3072 + 256, 16384 + 1024})
        EXPECT_FALSE(FCTwoStateSequenceCollection::IsMergedRestDuration(d)) << d;
    const struct {
        int32_t total;
        int32_t beat;
    } rebar[] = {{3072, 1024}, {4608, 1536}, {2560, 512}, {1280, 256}, {2304, 768},
                 {100, 0},     {1536, 1536}, {384, 384},  {96, 96},    {0, 0}};
    for (const auto& row : rebar)
        EXPECT_EQ(row.beat, FCTwoStateSequenceCollection::CalcRebarBeatDuration(row.total)) << row.total;
}
