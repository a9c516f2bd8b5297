// Performance Notation / Articulations run through the task window's Apply: the beat, duration
// and solitary placements on the notes a layer offers (tied continuations, grace notes and rests
// never take part), keeping and replacing, the measures around the selection, hidden layers, and
// the undo entry that gives the document back.
#include "plugin/PatternSettings.h"
#include "tests/tasks/TaskApplyTest.h"

#include <string>

using tasktest::Slots;

namespace {

constexpr int kArticulations = 1301;
const std::u16string kEditName = u"Articulations";
// The staccato the task makes from its template: the document holds it already, so the task
// finds it instead of adding a definition.
const std::string kHead =
    "qzs 1\nstaff 1\n"
    "articulation 1 char=46 mode=1 font=\"Times New Roman\" size=12 alt-font=\"Times New Roman\" alt-size=12 "
    "B=-4 C=16 E=40 F=40 flags=0x0210 flags2=0x0021\n";

// Music with '*' after each entry that carries the staccato.
std::string Marked(const std::string& music) {
    std::string text;
    for (char c : music) {
        if (c == '*')
            text += "!art1(7,12)";
        else
            text += c;
    }
    return text;
}

struct Options {
    int placement;
    int count;
    int durationKey;
    bool tied;
    bool keep;
};

class PerformanceArticulations : public tasktest::TaskApplyTest {
protected:
    // The options go in through the settings, as the settings file brings them: the panel shows
    // them and Apply stores them back.
    bool Run(const Options& options, int kindRow = 0) {
        if (window) window->SelectTask(1002);
        PatternSettings& settings = ThePatternSettings();
        settings.QZPT_PERFORMANCE_ARTIC_PLACEMENTSTYLE = options.placement;
        settings.QZPT_PERFORMANCE_ARTIC_STYLEDIGIT = options.count;
        settings.QZPT_PERFORMANCE_ARTIC_DURATION = options.durationKey;
        settings.QZPT_PERFORMANCE_ARTIC_TIEDDURATION = options.tied;
        settings.QZPT_PERFORMANCE_ARTIC_KEEP = options.keep;
        settings.QZPT_PERFORMANCE_ARTIC_MERGE = false;
        return Apply(kArticulations, kindRow);
    }
};

struct Row {
    const char* what;
    Options options;
    const char* music;  // the layer's lines, '*' marking the staccatos expected
};

}  // namespace

TEST_F(PerformanceArticulations, EachPlacementChoosesItsNotes) {
    // Measure 2's C5 continues the tie from measure 1: it belongs to that note and is never chosen.
    const char* kMusic = "measure 1\ns1: 16 [C4 D4 E4 F4 8. [G4 16 A4 4 B4 C5~\nmeasure 2\ns1: 4 C5 8 r [D5 2 E5\n";
    const Row rows[] = {
        {"All Notes",
         {0, 1, 6, false, false},
         "measure 1\ns1: 16 [C4* D4* E4* F4* 8. [G4* 16 A4* 4 B4* C5~*\nmeasure 2\ns1: 4 C5 8 r [D5* 2 E5*\n"},
        // Beats 1 and 2 give their first two notes; D5 lies off the beat, so its beat is passed.
        {"First 2 notes of beat",
         {1, 2, 6, false, false},
         "measure 1\ns1: 16 [C4* D4* E4 F4 8. [G4* 16 A4* 4 B4* C5~*\nmeasure 2\ns1: 4 C5 8 r [D5 2 E5*\n"},
        // The last note starts one further back: the third sixteenth, the dotted eighth; a beat
        // of one note gets nothing, one of two its first.
        {"Last note of beat",
         {2, 1, 6, false, false},
         "measure 1\ns1: 16 [C4 D4 E4* F4 8. [G4* 16 A4 4 B4 C5~\nmeasure 2\ns1: 4 C5 8 r [D5 2 E5\n"},
        {"Last 2 notes of beat",
         {2, 2, 6, false, false},
         "measure 1\ns1: 16 [C4 D4* E4* F4 8. [G4* 16 A4 4 B4 C5~\nmeasure 2\ns1: 4 C5 8 r [D5 2 E5\n"},
        {"First note of beat 3",
         {3, 3, 6, false, false},
         "measure 1\ns1: 16 [C4 D4 E4 F4 8. [G4 16 A4 4 B4* C5~\nmeasure 2\ns1: 4 C5 8 r [D5 2 E5*\n"},
        {"First note of beat 1",
         {3, 1, 6, false, false},
         "measure 1\ns1: 16 [C4* D4 E4 F4 8. [G4 16 A4 4 B4 C5~\nmeasure 2\ns1: 4 C5 8 r [D5 2 E5\n"},
        {"Quarters, as notated",
         {8, 1, 6, false, false},
         "measure 1\ns1: 16 [C4 D4 E4 F4 8. [G4 16 A4 4 B4* C5~*\nmeasure 2\ns1: 4 C5 8 r [D5 2 E5\n"},
        // Tied on, the C5 lasts a half.
        {"Halves, tied",
         {8, 1, 8, true, false},
         "measure 1\ns1: 16 [C4 D4 E4 F4 8. [G4 16 A4 4 B4 C5~*\nmeasure 2\ns1: 4 C5 8 r [D5 2 E5*\n"},
        {"Shorter than an eighth",
         {9, 1, 4, false, false},
         "measure 1\ns1: 16 [C4* D4* E4* F4* 8. [G4 16 A4* 4 B4 C5~\nmeasure 2\ns1: 4 C5 8 r [D5 2 E5\n"},
        {"Longer than a quarter, tied",
         {10, 1, 6, true, false},
         "measure 1\ns1: 16 [C4 D4 E4 F4 8. [G4 16 A4 4 B4 C5~*\nmeasure 2\ns1: 4 C5 8 r [D5 2 E5*\n"},
        {"Longer than a quarter, as notated",
         {10, 1, 6, false, false},
         "measure 1\ns1: 16 [C4 D4 E4 F4 8. [G4 16 A4 4 B4 C5~\nmeasure 2\ns1: 4 C5 8 r [D5 2 E5*\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Load(kHead + kMusic, Slots(1, 1, 1, 2));
        EXPECT_TRUE(Run(row.options));
        EXPECT_EQ(Expected(kHead + Marked(row.music)), Music());
        ExpectOneUndoableEdit(kEditName);
    }
}

TEST_F(PerformanceArticulations, BeatsFollowTheTimeSignatureOfEachMeasure) {
    const Row rows[] = {
        // A dotted quarter and an eighth: the eighth lies in beat 2 without opening it, so only
        // the dotted quarter is marked.
        {"dotted quarter and eighth", {1, 2, 6, false, false}, "measure 1\ns1: 4. C4* 8 D4 2 E4*\n"},
        // 2/4. counts dotted quarters; 3+2/8 has beats of three and two eighths.
        {"compound and composite meters",
         {1, 1, 6, false, false},
         "measure 1 2/4.\ns1: 8 [C4* D4 E4 [F4* G4 A4\nmeasure 2 3+2/8\ns1: 8 [C4* D4 E4 [F4* G4\n"},
        {"beat 2 of each",
         {3, 2, 6, false, false},
         "measure 1 2/4.\ns1: 8 [C4 D4 E4 [F4* G4 A4\nmeasure 2 3+2/8\ns1: 8 [C4 D4 E4 [F4* G4\n"},
        // A grace note before the beat and a rest opening beat 2 take no part.
        {"grace notes and rests", {1, 1, 6, false, false}, "measure 1\ns1: 8 gB3 4 C4* 8 r D4 2 E4*\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::string music = row.music;
        std::string plain;
        for (char c : music)
            if (c != '*') plain += c;
        const int measures = music.find("measure 2") == std::string::npos ? 1 : 2;
        Load(kHead + plain, Slots(1, 1, 1, measures));
        EXPECT_TRUE(Run(row.options));
        EXPECT_EQ(Expected(kHead + Marked(row.music)), Music());
        ExpectOneUndoableEdit(kEditName);
    }
}

TEST_F(PerformanceArticulations, SolitaryNotesHaveNoNoteBesideThem) {
    // The neighbours in the measures around the selection count: the layer is read one measure
    // further on each side.
    Load(kHead +
             "measure 1\ns1: 4 C4 r D4 E4\nmeasure 2\ns1: 4 r F4 r G4\nmeasure 3\ns1: 4 A4 r r B4\n"
             "measure 4\ns1: 1 r\nmeasure 5\ns1: 1 C5\n",
         Slots(1, 1, 2, 5));
    EXPECT_TRUE(Run({11, 1, 6, false, false}));
    EXPECT_EQ(Expected(kHead + Marked("measure 1\ns1: 4 C4 r D4 E4\nmeasure 2\ns1: 4 r F4* r G4\n"
                                      "measure 3\ns1: 4 A4 r r B4*\nmeasure 4\ns1: 1 r\nmeasure 5\ns1: 1 C5*\n")),
              Music());
    ExpectOneUndoableEdit(kEditName);
}

TEST_F(PerformanceArticulations, TiesAcrossTheSelectionsEdgesAreFollowed) {
    const std::string music = "measure 1\ns1: 2 C4 D4~\nmeasure 2\ns1: 4 D4 E4 2 F4\n";
    // Only measure 1: the half tied into measure 2 lasts a dotted half.
    Load(kHead + music, Slots(1, 1, 1, 1));
    EXPECT_TRUE(Run({8, 1, 9, true, false}));
    EXPECT_EQ(Expected(kHead + Marked("measure 1\ns1: 2 C4 D4~*\nmeasure 2\ns1: 4 D4 E4 2 F4\n")), Music());
    ExpectOneUndoableEdit(kEditName);
    // Only measure 2: the continuation belongs to measure 1's note and is not chosen.
    Load(kHead + music, Slots(1, 1, 2, 2));
    EXPECT_TRUE(Run({0, 1, 6, false, false}));
    EXPECT_EQ(Expected(kHead + Marked("measure 1\ns1: 2 C4 D4~\nmeasure 2\ns1: 4 D4 E4* 2 F4*\n")), Music());
    ExpectOneUndoableEdit(kEditName);
}

TEST_F(PerformanceArticulations, KeepDecidesWhetherOldArticulationsGo) {
    const std::string marked = "measure 1\ns1: 4 C4* D4* E4* F4*\n";
    // Off: every staccato between the first and last candidate goes, the placement's stay. The
    // entries keep their articulation flag, as the host leaves it.
    Load(kHead + Marked(marked), Slots(1, 1, 1, 1));
    EXPECT_TRUE(Run({3, 2, 6, false, false}));
    EXPECT_EQ(Expected(kHead + Marked("measure 1\ns1: 4 C4!artic D4* E4!artic F4!artic\n")), Music());
    ExpectOneUndoableEdit(kEditName);
    // On: notes that have the kind get nothing more, so nothing changes.
    Load(kHead + Marked(marked), Slots(1, 1, 1, 1));
    EXPECT_FALSE(Run({0, 1, 6, false, true}));
    ExpectNothingChanged();
}

TEST_F(PerformanceArticulations, MusicWithoutCandidatesIsLeftAlone) {
    const struct {
        const char* what;
        const char* music;
        Options options;
    } rows[] = {
        {"only rests", "s2: 4 r r 2 r", {0, 1, 6, false, false}},
        {"an empty staff", "", {0, 1, 6, false, false}},
        {"a hidden layer", "s2: 1 r\ns2 L3: 4 C4 D4 E4 F4", {0, 1, 6, false, false}},
        {"no note on beat 5 of 4/4", "s2: 4 C4 D4 E4 F4", {3, 5, 6, false, true}},
        {"no duration of the key", "s2: 4 C4 D4 E4 F4", {8, 1, 99, false, true}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        // Only staff 2 is selected.
        Load("qzs 1\nstaff 1\nstaff 2\nmeasure 1\ns1: 4 C4 D4 E4 F4\n" + std::string(row.music) + "\n",
             Slots(2, 2, 1, 1));
        Document().SetLayerShown(2, false);
        EXPECT_FALSE(Run(row.options));
        ExpectNothingChanged();
        Document().SetLayerShown(2, true);
    }
}

TEST_F(PerformanceArticulations, EveryShownLayerOfEverySelectedStaffTakesPart) {
    const std::string head = kHead + "staff 2\nstaff 3\n";
    Load(head + "measure 1\ns1: 2 C4 D4\ns1 L2: 1 C3\ns1 L4: 2 E3 F3\ns2: 2 G4 r\ns3: 1 C4\n", Slots(1, 2, 1, 1));
    Document().SetLayerShown(3, false);
    EXPECT_TRUE(Run({0, 1, 6, false, false}));
    EXPECT_EQ(Expected(head + Marked("measure 1\ns1: 2 C4* D4*\ns1 L2: 1 C3*\ns1 L4: 2 E3 F3\ns2: 2 G4* r\n"
                                     "s3: 1 C4\n")),
              Music());
    ExpectOneUndoableEdit(kEditName);
}

TEST_F(PerformanceArticulations, AHostThatRefusesTheFrameLeavesTheDocumentAsItWas) {
    Load(kHead + "measure 1\ns1: 2 C4 D4\nmeasure 2\ns1: 2 E4 F4\n", Slots(1, 1, 1, 2));
    simhost::SetFailing("FX_SaveTGF");
    EXPECT_FALSE(Run({0, 1, 6, false, false}));
    ExpectNothingChanged();
}

TEST_F(PerformanceArticulations, SlurPlacementsFollowTheSlursOfTheLayer) {
    // A slur from the second note to the tied continuation, which is no candidate: its end counts
    // as not found, so the slur reaches to the last candidate and has no end to mark.
    const std::string slur = "s1 slur 2-4\n";
    const struct {
        const char* what;
        int placement;
        const char* marked;
    } rows[] = {
        {"slurred notes", 4, "measure 1\ns1: 4 C4 D4* E4~* E4\n"},
        {"non-slurred notes", 5, "measure 1\ns1: 4 C4* D4 E4~ E4\n"},
        {"slur start", 6, "measure 1\ns1: 4 C4 D4* E4~ E4\n"},
        {"slur end", 7, "measure 1\ns1: 4 C4 D4 E4~ E4\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Load(kHead + "measure 1\ns1: 4 C4 D4 E4~ E4\n" + slur + "measure 2\ns1: 4 F4 r G4 A4\n", Slots(1, 1, 1, 1));
        const bool changed = row.placement != 7;
        EXPECT_EQ(changed, Run({row.placement, 1, 6, false, true}));
        EXPECT_EQ(Expected(kHead + Marked(row.marked) + slur + "measure 2\ns1: 4 F4 r G4 A4\n"), Music());
        if (changed)
            ExpectOneUndoableEdit(kEditName);
        else
            ExpectNothingChanged();
    }
}
