// Articulations (Beamed Groups) run through the task window's Apply: every placement, the kinds,
// keeping and merging, the slur-based placements, groups that give nothing to do, and the undo
// entry that gives the document back.
#include "tests/tasks/TaskApplyTest.h"

#include <string>

using tasktest::Slots;

namespace {

constexpr int kArticulations = 1003;
const std::u16string kEditName = u"Articulations";

// The four definitions the kinds' templates make, so a run finds them instead of adding new ones.
const std::string kHead =
    "qzs 1\nprefs beams-over-rests\nstaff 1\n"
    "articulation 1 char=46 mode=1 font=\"Times New Roman\" size=12 alt-font=\"Times New Roman\" alt-size=12 B=-4 "
    "C=16 E=40 F=40 flags=0x0210 flags2=0x0021\n"
    "articulation 2 char=45 mode=1 font=\"Times New Roman\" size=12 alt-font=\"Times New Roman\" alt-size=12 C=14 "
    "D=-16 flags=0x0210 flags2=0x0001\n"
    "articulation 3 char=62 alt=62 flipped=alt mode=1 font=\"Times New Roman\" size=12 alt-font=\"Times New Roman\" "
    "alt-size=12 B=-4 C=14 D=-23 G=125 H=125 flags=0x1010 flags2=0x0008\n"
    "articulation 4 char=94 alt=118 flipped=alt mode=5 font=\"Times New Roman\" size=12 alt-font=\"Times New "
    "Roman\" alt-size=12 B=-8 C=16 D=-32 G=140 H=140 flags=0x1010 flags2=0x0008\n";

// Music with $s, $t, $a and $g after a note for the staccato, tenuto, accent and grave accent
// that the kinds' templates place, written out as the articulation marks.
std::string Marks(std::string music) {
    static const char* const kMarks[][2] = {
        {"$s", "!art1(7,12)"}, {"$t", "!art2(2,14)"}, {"$a", "!art3(0,10)"}, {"$g", "!art4(4,8)"}};
    for (const auto& mark : kMarks)
        for (size_t at = music.find(mark[0]); at != std::string::npos; at = music.find(mark[0]))
            music.replace(at, 2, mark[1]);
    return music;
}

class Articulations : public tasktest::TaskApplyTest {
protected:
    struct Options {
        int placement;
        int count;
        int kind;
        bool keep;
        bool merge;
    };
    bool Run(const Options& o) {
        Show(kArticulations);
        EXPECT_TRUE(Choose(taskwindow::kPopup2, o.placement));
        if (Enabled(taskwindow::kEdit1)) {
            EXPECT_TRUE(Type(taskwindow::kEdit1, std::to_string(o.count).c_str()));
        }
        EXPECT_TRUE(Choose(taskwindow::kPopup1, o.kind));
        if (Checked(taskwindow::kCheck1) != o.keep) {
            EXPECT_TRUE(Toggle(taskwindow::kCheck1));
        }
        if (o.keep && Checked(taskwindow::kCheck2) != o.merge) {
            EXPECT_TRUE(Toggle(taskwindow::kCheck2));
        }
        const size_t applied = window->applied.size();
        EXPECT_TRUE(driver.Click(Item(taskwindow::kApply)));
        return window->applied.size() > applied && window->applied.back();
    }
};

}  // namespace

TEST_F(Articulations, EveryCountedPlacementMarksItsNotes) {
    // Four notes in one group; G4 stands alone before the rest; A4 and B4 make a group of two.
    const std::string music = "8 [C4 D4 E4 F4 [G4 r A4 B4";
    struct Row {
        int placement, count;
        const char* result;
    } rows[] = {
        {0, 1, "8 [C4$s D4$s E4$s F4$s [G4 r A4$s B4$s"},
        {1, 2, "8 [C4$s D4$s E4 F4 [G4 r A4$s B4$s"},
        // Last __ starts at m - n - 1: the third of four notes for n = 1, the first of two.
        {2, 1, "8 [C4 D4 E4$s F4 [G4 r A4$s B4"},
        // n = 4: the start -1 (and -3) is clamped to the first note.
        {2, 4, "8 [C4$s D4$s E4$s F4 [G4 r A4$s B4"},
        {3, 1, "8 [C4$s D4 E4$s F4 [G4 r A4$s B4"},
        {4, 2, "8 [C4 D4$s E4$s F4 [G4 r A4 B4$s"},
        {5, 1, "8 [C4 D4 E4$s F4 [G4 r A4 B4"},
        {5, 3, "8 [C4 D4 E4$s F4$s [G4 r A4 B4"},
        {4, 10, "8 [C4 D4$s E4$s F4$s [G4 r A4 B4$s"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.placement) + " n=" + std::to_string(row.count));
        Load(kHead + "measure 1\ns1: " + music + "\n");
        EXPECT_TRUE(Run({row.placement, row.count, 0, false, false}));
        EXPECT_EQ(Expected(kHead + "measure 1\ns1: " + Marks(row.result) + "\n"), Music());
        ExpectOneUndoableEdit(kEditName);
    }
}

TEST_F(Articulations, EachKindTakesItsOwnSymbol) {
    const char* const results[] = {"8 [C4$s D4$s", "8 [C4$t D4$t", "8 [C4$a D4$a", "8 [C4$g D4$g"};
    for (int kind = 0; kind < 4; ++kind) {
        SCOPED_TRACE(kind);
        Load(kHead + "measure 1\ns1: 8 [C4 D4 2. r\n");
        EXPECT_TRUE(Run({0, 1, kind, false, false}));
        EXPECT_EQ(Expected(kHead + "measure 1\ns1: " + Marks(results[kind]) + " 2. r\n"), Music());
        ExpectOneUndoableEdit(kEditName);
    }
}

TEST_F(Articulations, SlurBasedPlacementsFollowTheSlurs) {
    // A slur from the measure before onto the second note, one over notes 3-4 of the first group,
    // one over the last three of the second group.
    const std::string input = kHead +
                              "measure 1\ns1: 2 r 4 r B3\ns1 slur 3-2:2\nmeasure 2\n"
                              "s1: 8 [C4 D4 E4 F4 [G4 A4 B4 C5\ns1 slur 3-4\ns1 slur 6-8\n";
    struct Row {
        int placement;
        const char* result;
    } rows[] = {
        {6, "8 [C4$s D4$s E4$s F4$s [G4 A4$s B4$s C5$s"},
        {7, "8 [C4 D4 E4 F4 [G4$s A4 B4 C5"},
        {8, "8 [C4 D4 E4$s F4 [G4 A4$s B4 C5"},
        {9, "8 [C4 D4$s E4 F4$s [G4 A4 B4 C5$s"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.placement);
        Load(input, Slots(1, 1, 2, 2));
        EXPECT_TRUE(Run({row.placement, 1, 0, false, false}));
        EXPECT_EQ(Expected(kHead + "measure 1\ns1: 2 r 4 r B3\ns1 slur 3-2:2\nmeasure 2\ns1: 8 " +
                           Marks(std::string(row.result).substr(2)) + "\ns1 slur 3-4\ns1 slur 6-8\n"),
                  Music());
        ExpectOneUndoableEdit(kEditName);
    }
}

TEST_F(Articulations, KeepingAndMergingExistingArticulations) {
    // Keep off: the old staccatos go (the entries keep their articulation flag), the new ones
    // land on the first two notes only.
    Load(kHead + "measure 1\ns1: " + Marks("8 [C4$s D4$s E4$s F4$s 2 r") + "\n");
    EXPECT_TRUE(Run({1, 2, 0, false, false}));
    EXPECT_EQ(Expected(kHead + "measure 1\ns1: " + Marks("8 [C4$s D4$s E4!artic F4!artic 2 r") + "\n"), Music());
    ExpectOneUndoableEdit(kEditName);

    // Keep on, merge off: an accent beside each staccato.
    Load(kHead + "measure 1\ns1: " + Marks("8 [C4$s D4 2. r") + "\n");
    EXPECT_TRUE(Run({0, 1, 2, true, false}));
    EXPECT_EQ(Expected(kHead + "measure 1\ns1: " + Marks("8 [C4$s$a D4$a 2. r") + "\n"), Music());
    ExpectOneUndoableEdit(kEditName);

    // Keep and merge: the staccato becomes one staccato+accent symbol (a new definition, 249).
    Load(kHead + "measure 1\ns1: " + Marks("8 [C4$s D4 2. r") + "\n");
    EXPECT_TRUE(Run({0, 1, 2, true, true}));
    const std::string music = Music();
    EXPECT_NE(music.find("articulation 5 char=249 alt=223 flipped=alt"), std::string::npos) << music;
    EXPECT_NE(music.find("s1: 8 [C4!art5"), std::string::npos) << music;
    EXPECT_NE(music.find("D4!art3(0,10) 2. r"), std::string::npos) << music;
    ExpectOneUndoableEdit(kEditName);

    // A combined staccato+tenuto counts as a staccato: nothing to add, nothing changes.
    const std::string combined = "articulation 5 char=248 alt=60 flipped=alt\n";
    Load(kHead + combined + "measure 1\ns1: 8 [C4!art5 D4!art5 2. r\n");
    EXPECT_FALSE(Run({0, 1, 0, true, true}));
    ExpectNothingChanged();
}

TEST_F(Articulations, GroupsWithNothingToDoChangeNothing) {
    const std::string inputs[] = {
        "s1: 4 C4 8 D4 4. E4 4 F4",  // no group: single eighths between quarters
        "s1: 8 [r r 2. r",           // a group of rests
        "s1: 8 [C4 [D4 2. r",        // two single entries
    };
    for (const std::string& input : inputs) {
        SCOPED_TRACE(input);
        Load(kHead + "measure 1\n" + input + "\n");
        EXPECT_FALSE(Run({0, 1, 0, true, true}));
        ExpectNothingChanged();
    }
    // A group that crosses the end of the selection is left alone.
    Load(kHead + "measure 1\ns1: 8 [C4 D4 E4 F4 2 r\n", Slots(1, 1, 1, 1, 0, 1024));
    EXPECT_FALSE(Run({0, 1, 0, true, true}));
    ExpectNothingChanged();
}

TEST_F(Articulations, ThePanelsControlsAreSetByTheirIDsAsTheUserSetsThem) {
    using namespace taskwindow;
    Load(kHead + "measure 1\ns1: 8 [C4 D4 E4 F4 2 r\n");
    EXPECT_TRUE(Apply(kArticulations,
                      {{kPopup2, "First __ Note(s)"}, {kEdit1, "2"}, {kPopup1, "Tenuto Dash"}, {kCheck1, "off"}}));
    EXPECT_EQ(Expected(kHead + "measure 1\ns1: " + Marks("8 [C4$t D4$t E4 F4") + " 2 r\n"), Music());
    ExpectValues({{kPopup2, "First __ Note(s)"}, {kEdit1, "2"}, {kPopup1, "Tenuto Dash"}, {kCheck1, "off"}});
    // What the user could not set: a row the popup lacks, a check box value other than on and off,
    // a check box the panel disables ("Merge if possible" without "Keep existing articulations").
    EXPECT_FALSE(Set(kPopup1, "No Such Articulation"));
    EXPECT_FALSE(Set(kCheck1, "maybe"));
    EXPECT_FALSE(Set(kCheck2, Checked(kCheck2) ? "off" : "on"));
    EXPECT_EQ("Tenuto Dash", Value(kPopup1));
}
