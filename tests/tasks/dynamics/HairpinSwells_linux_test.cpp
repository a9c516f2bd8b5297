// Hairpin Swells run through the task window's Apply: which notes (and tie chains) get swells
// under each scope, the focal point and padding arithmetic, the inverse direction, the hairpins
// replaced on a note's span, and the undo entry that gives the document back with every mark.
#include "tests/tasks/dynamics/DynamicsApplyTest.h"

#include <string>

using tasktest::Slots;

namespace {

constexpr int kHairpinSwells = 1203;
const std::u16string kEditName = u"Hairpin Swells";

class HairpinSwells : public tasktest::DynamicsApplyTest {
protected:
    // Runs the task with the scope row and these options (padding 0 and focal point 50 unless
    // the options say otherwise).
    bool Swell(int scope, int duration, const Options& more = nullptr) {
        return Run(kHairpinSwells, scope, [&](PatternSettings& settings) {
            settings.QZPT_DYNAMICS_SWELLS_DURATION = duration;
            settings.QZPT_DYNAMICS_SWELLS_PADDING = 0;
            settings.QZPT_DYNAMICS_SWELLS_FOCALPOINT = 50;
            if (more) more(settings);
        });
    }
};

const std::string kHead = "qzs 1\nstaff 1\n";

}  // namespace

TEST_F(HairpinSwells, LongNotesAndTieChainsOfTheDurationGetSwells) {
    const std::string m1 = "measure 1\ns1: 2 C4 4 D4~ D4\n";
    const std::string m2 = "measure 2\ns1: 2. E4 4 F4\n";
    const std::string m3 = "measure 3\ns1: 1 G4\n";
    // "Equal or longer than" a half note: the half, the tied quarters (one swell over both), the
    // dotted half and the whole note; each swell's focal point in its middle.
    Load(kHead + m1 + m2 + m3, Slots(1, 1, 1, 3));
    EXPECT_TRUE(Swell(2, 1));
    EXPECT_EQ(Expected(kHead + m1 +
                       "s1 cresc @0-@1024 y=-168\ns1 dim @1023-@2048 y=-168\n"
                       "s1 cresc @2048-@3072 y=-168\ns1 dim @3071-@4096 y=-168\n" +
                       m2 + "s1 cresc @0-@1536 y=-168\ns1 dim @1535-@3072 y=-168\n" + m3 +
                       "s1 cresc @0-@2048 y=-168\ns1 dim @2047-@4096 y=-168\n"),
              Music());
    ExpectOneUndoableEdit(kEditName);

    struct Row {
        int scope, duration;
        const char* m1;
        const char* m2;
        const char* m3;
    };
    const Row rows[] = {
        // Exactly a half note: the half note and the tied quarters.
        {0, 1,
         "s1 cresc @0-@1024 y=-168\ns1 dim @1023-@2048 y=-168\ns1 cresc @2048-@3072 y=-168\n"
         "s1 dim @3071-@4096 y=-168\n",
         "", ""},
        // Longer than a dotted quarter: everything but the quarter.
        {1, 0,
         "s1 cresc @0-@1024 y=-168\ns1 dim @1023-@2048 y=-168\ns1 cresc @2048-@3072 y=-168\n"
         "s1 dim @3071-@4096 y=-168\n",
         "s1 cresc @0-@1536 y=-168\ns1 dim @1535-@3072 y=-168\n",
         "s1 cresc @0-@2048 y=-168\ns1 dim @2047-@4096 y=-168\n"},
        // Longer than a whole note, exactly a breve: nothing.
        {1, 3, "", "", ""},
        {0, 5, "", "", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("scope " + std::to_string(row.scope) + ", duration " + std::to_string(row.duration));
        Load(kHead + m1 + m2 + m3, Slots(1, 1, 1, 3));
        const bool changed = *row.m1 || *row.m2 || *row.m3;
        EXPECT_EQ(changed, Swell(row.scope, row.duration));
        if (!changed) {
            ExpectNothingChanged();
            continue;
        }
        EXPECT_EQ(Expected(kHead + m1 + row.m1 + m2 + row.m2 + m3 + row.m3), Music());
        ExpectOneUndoableEdit(kEditName);
    }
}

TEST_F(HairpinSwells, ExactWholeNotesOnlyAndTheDirectionCanBeReversed) {
    const std::string m1 = "measure 1\ns1: 1 C4\n";
    const std::string m2 = "measure 2 6/4\ns1: 1. D4\n";
    struct Row {
        bool inverse;
        const char* swell;
    };
    const Row rows[] = {
        {false, "s1 cresc @0-@2048 y=-168\ns1 dim @2047-@4096 y=-168\n"},
        {true, "s1 dim @0-@2048 y=-168\ns1 cresc @2047-@4096 y=-168\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.inverse ? "inverse" : "crescendo first");
        Load(kHead + m1 + m2, Slots(1, 1, 1, 2));
        EXPECT_TRUE(
            Swell(0, 3, [&row](PatternSettings& settings) { settings.QZPT_DYNAMICS_SWELLS_INVERSE = row.inverse; }));
        EXPECT_EQ(Expected(kHead + m1 + row.swell + m2), Music());
        ExpectOneUndoableEdit(kEditName);
    }
}

TEST_F(HairpinSwells, PaddingAndFocalPointDivideTheNote) {
    // A whole note: W = 4097.
    struct Row {
        int padding, focalPoint, position;
        const char* swell;
    };
    const Row rows[] = {
        // pad 204, W' 3485, F 1742, G 1743.
        {5, 50, 2, "s1 cresc @204-@1946 y=-168\ns1 dim @2149-@3892 y=-168\n"},
        // pad 614, W' 2255, F 225, G 2030.
        {15, 10, 2, "s1 cresc @614-@839 y=-168\ns1 dim @1452-@3482 y=-168\n"},
        // pad 0, F 3687, G 410; above the staff.
        {0, 90, 3, "s1 cresc @0-@3687 y=72\ns1 dim @3686-@4096 y=72\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("padding " + std::to_string(row.padding) + ", focal point " + std::to_string(row.focalPoint));
        Load(kHead + "measure 1\ns1: 1 C4\n", Slots(1, 1, 1, 1));
        EXPECT_TRUE(Run(kHairpinSwells, 2, [&row](PatternSettings& settings) {
            settings.QZPT_DYNAMICS_SWELLS_PADDING = row.padding;
            settings.QZPT_DYNAMICS_SWELLS_FOCALPOINT = row.focalPoint;
            settings.QZPT_DYNAMICS_SWELLS_VERTPOS = row.position;
        }));
        EXPECT_EQ(Expected(kHead + "measure 1\ns1: 1 C4\n" + row.swell), Music());
        ExpectOneUndoableEdit(kEditName);
    }
}

TEST_F(HairpinSwells, RestsGraceAndSilentNotesNeverSwellAndOldHairpinsOnTheNoteGo) {
    // A whole rest, a grace note before a silent whole note (its hairpin stays), then a whole
    // note under an old hairpin (replaced).
    const std::string head = kHead +
                             "measure 1\ns1: 1 r\nmeasure 2\ns1: 8 gC5 1 D4!mute\ns1 cresc @0-@1024 y=24\n"
                             "measure 3\ns1: 1 E4\n";
    Load(head + "s1 dim @100-@200 y=24\nmeasure 4\ns1: 1 F4\n", Slots(1, 1, 1, 3));
    EXPECT_TRUE(Swell(2, 3));
    EXPECT_EQ(Expected(head + "s1 cresc @0-@2048 y=-168\ns1 dim @2047-@4096 y=-168\nmeasure 4\ns1: 1 F4\n"), Music());
    ExpectOneUndoableEdit(kEditName);

    Load(head + "measure 4\ns1: 1 F4\n", Slots(1, 1, 1, 2));
    EXPECT_FALSE(Swell(2, 3));
    ExpectNothingChanged();
}

TEST_F(HairpinSwells, ATieChainIsFollowedOneMeasurePastTheRegion) {
    // From the second half of measure 1, tied through measure 2 into measure 3: the region is
    // measure 1, so the chain is followed to the end of measure 2 (6144 EDUs, W = 6145).
    const std::string m1 = "measure 1\ns1: 2 r C4~\n";
    const std::string m2 = "measure 2\ns1: 2 C4~ C4~\n";
    const std::string m3 = "measure 3\ns1: 1 C4\n";
    Load(kHead + m1 + m2 + m3, Slots(1, 1, 1, 1));
    EXPECT_TRUE(Swell(2, 3));
    EXPECT_EQ(Expected(kHead + m1 + "s1 cresc @2048-2@1024 y=-168\n" + m2 + "s1 dim @1023-@4096 y=-168\n" + m3),
              Music());
    ExpectOneUndoableEdit(kEditName);
}
