// Performance Notation / Slurs run through the task window's Apply: a slur over every phrase of
// each style, the shape option, old slurs replaced or kept, grace-note slurs handled only by their
// own style, music that gets no slur, and the undo entry that gives the document back.
#include "plugin/PatternSettings.h"
#include "tests/tasks/TaskApplyTest.h"

#include <string>

using tasktest::Slots;

namespace {

constexpr int kSlurs = 1303;
const std::u16string kEditName = u"Slurs";
const std::string kHead = "qzs 1\nstaff 1\n";

struct Options {
    int count;
    int durationKey;
    bool pitchBreak;
    bool articulationBreak;
    bool keep;
};
const Options kPlain = {1, 6, false, false, false};

class PerformanceSlurs : public tasktest::TaskApplyTest {
protected:
    // The options go in through the settings, as the settings file brings them; the style is
    // chosen in the panel.
    bool Run(int style, const Options& options, int shapeRow = 0) {
        if (window) window->SelectTask(1002);
        PatternSettings& settings = ThePatternSettings();
        settings.QZPT_PERFORMANCE_SLUR_STYLEDIGIT = options.count;
        settings.QZPT_PERFORMANCE_SLUR_DURATION = options.durationKey;
        settings.QZPT_PERFORMANCE_SLUR_SHAPE = shapeRow;
        settings.QZPT_PERFORMANCE_SLUR_IDENTICALPITCH = options.pitchBreak;
        settings.QZPT_PERFORMANCE_SLUR_ARTICULATION = options.articulationBreak;
        settings.QZPT_PERFORMANCE_SLUR_KEEPEXISTING = options.keep;
        return Apply(kSlurs, style);
    }
};

}  // namespace

TEST_F(PerformanceSlurs, EachStyleSlursItsPhrases) {
    const char* const eighths =
        "measure 1\ns1: 8 [C4 D4 E4 F4 r [G4 A4 B4\nmeasure 2\ns1: 8 [C5 B4 A4 G4 [F4 E4 D4 C4\n";
    struct Row {
        const char* what;
        int style;
        Options options;
        const char* music;
        const char* slurs;  // the shape lines, in the measure each starts in: "1:s1 slur 1-4"
    };
    const Row rows[] = {
        {"full phrase", 0, kPlain, eighths, "1:s1 slur 1-4|1:s1 slur 6-2:8"},
        {"by beat", 1, kPlain, eighths,
         "1:s1 slur 1-2|1:s1 slur 3-4|1:s1 slur 7-8|2:s1 slur 1-2|2:s1 slur 3-4|"
         "2:s1 slur 5-6|2:s1 slur 7-8"},
        {"two measures",
         2,
         {2, 6, false, false, false},
         "measure 1\ns1: 2 C4 D4\nmeasure 2\ns1: 2 E4 F4\nmeasure 3\ns1: 2 G4 A4\n",
         "1:s1 slur 1-2:2|3:s1 slur 1-2"},
        {"three beats across meters",
         3,
         {3, 6, false, false, false},
         "measure 1\ns1: 4 C4 D4 E4 F4\nmeasure 2 3/4\ns1: 4 G4 A4 B4\nmeasure 3 3+2/8\ns1: 8 [C5 D5 E5 [F5 G5\n",
         "1:s1 slur 1-3|1:s1 slur 4-2:2|2:s1 slur 3-3:5"},
        {"groups of three notes",
         4,
         {3, 6, false, false, false},
         eighths,
         "1:s1 slur 1-3|1:s1 slur 6-8|2:s1 slur 1-3|2:s1 slur 4-6|2:s1 slur 7-8"},
        {"first two beats", 5, {2, 6, false, false, false}, eighths, "1:s1 slur 1-4|2:s1 slur 1-4"},
        {"last beat", 6, {1, 6, false, false, false}, eighths, "1:s1 slur 7-8|2:s1 slur 7-8"},
        {"consecutive quarters",
         7,
         {1, 6, false, false, false},
         "measure 1\ns1: 4 C4 D4 8 [E4 F4 4 G4\n",
         "1:s1 slur 1-2"},
        {"shorter than a quarter",
         8,
         {1, 6, false, false, false},
         "measure 1\ns1: 4 C4 D4 8 [E4 F4 4 G4\n",
         "1:s1 slur 3-4"},
        {"longer than an eighth",
         9,
         {1, 4, false, false, false},
         "measure 1\ns1: 4 C4 D4 8 [E4 F4 4 G4\n",
         "1:s1 slur 1-2"},
        {"grace notes to their note", 10, kPlain,
         "measure 1\ns1: 16 gB3 gC4 4 D4 E4 F4 G4\nmeasure 2\ns1: 8 gA4 1 B4\n", "1:s1 slur 1-3|2:s1 slur 1-2"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        int measures = 0;
        for (size_t at = 0; (at = std::string(row.music).find("measure ", at)) != std::string::npos; ++at) ++measures;
        Load(kHead + row.music, Slots(1, 1, 1, measures));
        EXPECT_TRUE(Run(row.style, row.options));
        // The slur lines go under their measures, after the music.
        std::string expected = row.music;
        std::string slurs = row.slurs;
        for (size_t start = 0; start < slurs.size();) {
            size_t end = slurs.find('|', start);
            if (end == std::string::npos) end = slurs.size();
            const std::string item = slurs.substr(start, end - start);
            const std::string measure = "measure " + item.substr(0, item.find(':'));
            size_t at = expected.find(measure);
            // Before the next measure line (or at the end).
            at = expected.find("\nmeasure ", at + 1);
            at = at == std::string::npos ? expected.size() : at + 1;
            expected.insert(at, item.substr(item.find(':') + 1) + "\n");
            start = end + 1;
        }
        EXPECT_EQ(Expected(kHead + expected), Music());
        ExpectOneUndoableEdit(kEditName);
    }
}

TEST_F(PerformanceSlurs, ThePhraseBreaksAreThoseAskedFor) {
    const std::string articulation =
        "articulation 1 char=46 mode=1 size=24 alt-size=24 B=-4 C=16 E=40 F=40 flags=0x0210 flags2=0x0021\n";
    struct Row {
        const char* what;
        Options options;
        const char* music;
        const char* slurred;
    };
    const Row rows[] = {
        {"identical pitch", {1, 6, true, false, false}, "s1: 4 C4 C4 D4 E4", "s1: 4 C4 C4 D4 E4\ns1 slur 2-4"},
        {"identical pitch, tied", {1, 6, true, false, false}, "s1: 4 C4~ C4 D4 E4", "s1: 4 C4~ C4 D4 E4\ns1 slur 1-4"},
        {"an articulation",
         {1, 6, false, true, false},
         "s1: 4 C4 D4!art1 E4 F4",
         "s1: 4 C4 D4!art1 E4 F4\ns1 slur 3-4"},
        {"a single note between rests", kPlain, "s1: 4 r C4 r D4", "s1: 4 r C4 r D4"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Load(kHead + articulation + "measure 1\n" + row.music + "\n");
        const bool changed = std::string(row.music) != row.slurred;
        EXPECT_EQ(changed, Run(0, row.options));
        EXPECT_EQ(Expected(kHead + articulation + "measure 1\n" + row.slurred + "\n"), Music());
        if (changed)
            ExpectOneUndoableEdit(kEditName);
        else
            ExpectNothingChanged();
    }
}

TEST_F(PerformanceSlurs, DashedCurvesFollowTheHostVersion) {
    Load(kHead + "measure 1\ns1: 4 C4 D4 E4 F4\n");
    EXPECT_TRUE(Run(0, kPlain, 1));
    EXPECT_EQ(Expected(kHead + "measure 1\ns1: 4 C4 D4 E4 F4\ns1 slur 1-4 dashed\n"), Music());
    ExpectOneUndoableEdit(kEditName);
}

TEST_F(PerformanceSlurs, OldSlursAreReplacedUnlessKept) {
    // A slur inside the selection, a grace-note slur, and one that starts before the selection.
    const std::string music =
        "measure 1\ns1: 4 C4 D4 E4 F4\ns1 slur 1-2:2\nmeasure 2\ns1: 8 gF4 4 G4 A4 B4 C5\n"
        "s1 slur 2-3\ns1 slur 1-2\n";
    Load(kHead + music, Slots(1, 1, 2, 2));
    EXPECT_TRUE(Run(0, kPlain));
    EXPECT_EQ(Expected(kHead + "measure 1\ns1: 4 C4 D4 E4 F4\ns1 slur 1-2:2\nmeasure 2\ns1: 8 gF4 4 G4 A4 B4 C5\n"
                               "s1 slur 1-2\ns1 slur 2-5\n"),
              Music());
    ExpectOneUndoableEdit(kEditName);

    // Kept: the phrase's slur is added beside the old one.
    Load(kHead + music, Slots(1, 1, 2, 2));
    EXPECT_TRUE(Run(0, {1, 6, false, false, true}));
    EXPECT_EQ(Expected(kHead + "measure 1\ns1: 4 C4 D4 E4 F4\ns1 slur 1-2:2\nmeasure 2\ns1: 8 gF4 4 G4 A4 B4 C5\n"
                               "s1 slur 2-3\ns1 slur 1-2\ns1 slur 2-5\n"),
              Music());
    ExpectOneUndoableEdit(kEditName);

    // The grace-note style replaces only grace-note slurs.
    Load(kHead + music, Slots(1, 1, 2, 2));
    EXPECT_TRUE(Run(10, kPlain));
    EXPECT_EQ(Expected(kHead + music), Music());
    ExpectOneUndoableEdit(kEditName);
}

TEST_F(PerformanceSlurs, RunningTwiceGivesTheSameDocument) {
    const std::string music = "measure 1\ns1: 8 [C4 D4 E4 F4 r [G4 A4 B4\n";
    Load(kHead + music);
    EXPECT_TRUE(Run(1, kPlain));
    const std::string once = Music();
    EXPECT_TRUE(Run(1, kPlain));
    EXPECT_EQ(once, Music());
    // With the old slurs kept, the same slurs are not made twice: nothing changes.
    EXPECT_FALSE(Run(1, {1, 6, false, false, true}));
    EXPECT_EQ(once, Music());
}

TEST_F(PerformanceSlurs, MusicWithoutPhrasesIsLeftAlone) {
    const struct {
        const char* what;
        const char* music;
        int style;
    } rows[] = {
        {"only rests", "s1: 4 r r 2 r", 0},
        {"one note", "s1: 1 C4", 0},
        {"a hidden layer", "s1: 1 r\ns1 L2: 4 C4 D4 E4 F4", 0},
        {"no grace notes", "s1: 4 C4 D4 E4 F4", 10},
        {"a first beat of one note", "s1: 4 C4 D4 E4 F4", 5},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Load(kHead + "prefs hidden-layers=2\nmeasure 1\n" + row.music + "\n");
        EXPECT_FALSE(Run(row.style, {row.style == 5 ? 0 : 1, 6, false, false, false}));
        ExpectNothingChanged();
    }
}

TEST_F(PerformanceSlurs, AHostThatRefusesTheFrameLeavesTheDocumentAsItWas) {
    Load(kHead + "measure 1\ns1: 4 C4 D4 E4 F4\nmeasure 2\ns1: 4 G4 A4 B4 C5\n", Slots(1, 1, 1, 2));
    simhost::SetFailing("FX_SaveTGF");
    EXPECT_FALSE(Run(0, kPlain));
    ExpectNothingChanged();
}

TEST_F(PerformanceSlurs, CountsOutsideThePanelsRangeAreClampedAsThePanelClampsThem) {
    // 99 becomes 10: eight eighths make one group. 0 becomes 1: groups of one note get no slur.
    const std::string music = "measure 1\ns1: 8 [C4 D4 E4 F4 [G4 A4 B4 C5\n";
    Load(kHead + music);
    EXPECT_TRUE(Run(4, {99, 6, false, false, false}));
    EXPECT_EQ(Expected(kHead + music + "s1 slur 1-8\n"), Music());
    ExpectOneUndoableEdit(kEditName);
    Load(kHead + music);
    EXPECT_FALSE(Run(4, {0, 6, false, false, false}));
    ExpectNothingChanged();
}
