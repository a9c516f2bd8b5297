// Hairpins run through the task window's Apply: single and paired hairpins with every kind of
// padding, the vertical positions, the music and shrinking options, the old hairpins removed, the
// question before a wide region, and the undo entry that gives the document back with every mark.
#include "tests/tasks/dynamics/DynamicsApplyTest.h"

#include <string>

using tasktest::Slots;

namespace {

constexpr int kHairpins = 1202;
const std::u16string kEditName = u"Hairpins";

class Hairpins : public tasktest::DynamicsApplyTest {};

const std::string kHead = "qzs 1\nstaff 1\nstaff 2\n";
const std::string kQuarters = "s1: 4 C4 D4 E4 F4\ns2: 4 C3 D3 E3 F3\n";

}  // namespace

TEST_F(Hairpins, TypesAndPaddingsSpanTheRegionLessThePadding) {
    struct Row {
        const char* what;
        int type, padding;
        bool music;
        int lastMeasure;
        const char* measure1;  // the hairpins under measure 1 (each staff) and measure 2
        const char* measure2;
    };
    const Row rows[] = {
        {"8th length", 0, 5, true, 1, "s1 cresc @512-@3584 y=-168\ns2 cresc @512-@3584 y=-168\n", ""},
        {"2 %", 1, 7, true, 1, "s1 dim @81-@4015 y=-168\ns2 dim @81-@4015 y=-168\n", ""},
        // Without padding the end is the end of the measure: on music it is the last note's end,
        // anywhere the measure's last EDU.
        {"none, music", 0, 0, true, 1, "s1 cresc @0-@4096 y=-168\ns2 cresc @0-@4096 y=-168\n", ""},
        {"none, anywhere", 0, 0, false, 1, "s1 cresc @0-@4095 y=-168\ns2 cresc @0-@4095 y=-168\n", ""},
        {"< > over two measures", 2, 0, true, 2, "s1 cresc @0-@4096 y=-168\ns2 cresc @0-@4096 y=-168\n",
         "s1 dim @0-@4096 y=-168\ns2 dim @0-@4096 y=-168\n"},
        {"> < over two measures", 3, 0, true, 2, "s1 dim @0-@4096 y=-168\ns2 dim @0-@4096 y=-168\n",
         "s1 cresc @0-@4096 y=-168\ns2 cresc @0-@4096 y=-168\n"},
        // L = (8192 - 3 x 256) / 2 = 3712: the first from 256 to 3968, the second ending 256 early.
        {"< > with 16th length", 2, 3, true, 2, "s1 cresc @256-@3968 y=-168\ns2 cresc @256-@3968 y=-168\n",
         "s1 dim @128-@3840 y=-168\ns2 dim @128-@3840 y=-168\n"},
        // Across the bar line: 6 % of 8192 is 491.
        {"6 % across the bar", 0, 9, true, 2, "s1 cresc @491-2@3605 y=-168\ns2 cresc @491-2@3605 y=-168\n", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const std::string measure2 = "measure 2\n" + kQuarters;
        Load(kHead + "measure 1\n" + kQuarters + measure2, Slots(1, 2, 1, row.lastMeasure));
        EXPECT_TRUE(Run(kHairpins, row.type, [&row](PatternSettings& settings) {
            settings.QZPT_DYNAMICS_HAIRPINS_PADDING = row.padding;
            settings.QZPT_DYNAMICS_HAIRPINS_MUSIC = row.music;
        }));
        EXPECT_EQ(Expected(kHead + "measure 1\n" + kQuarters + row.measure1 + measure2 + row.measure2), Music());
        ExpectOneUndoableEdit(kEditName);
    }
}

TEST_F(Hairpins, ARegionTooShortForThePaddingChangesNothing) {
    struct Row {
        int type, padding;
        int32_t endPos;  // the region runs from 0 of measure 1 to here
    };
    const Row rows[] = {
        {0, 5, 1535},  // 2 x 512 + 512 >= 1536
        {2, 5, 2047},  // 3 x 512 + 512 >= 2048
        {0, 0, 510},   // shorter than 512 without padding
    };
    const std::string old = "s1 dim @0-@1024 y=-120\n";
    for (const Row& row : rows) {
        SCOPED_TRACE(row.endPos);
        Load(kHead + "measure 1\n" + kQuarters + old, Slots(1, 2, 1, 1, 0, row.endPos));
        EXPECT_FALSE(Run(kHairpins, row.type,
                         [&row](PatternSettings& settings) { settings.QZPT_DYNAMICS_HAIRPINS_PADDING = row.padding; }));
        ExpectNothingChanged();
    }
}

TEST_F(Hairpins, BothEndsTakeTheVerticalPosition) {
    const int offsets[] = {-120, 24, -168, 72, -216, 120, 40};
    for (int position = 0; position < 7; ++position) {
        SCOPED_TRACE(position);
        Load(kHead + "measure 1\n" + kQuarters, Slots(1, 1, 1, 1));
        EXPECT_TRUE(Run(kHairpins, 0, [position](PatternSettings& settings) {
            settings.QZPT_DYNAMICS_HAIRPINS_VERTPOS = position;
            settings.QZPT_DYNAMICS_HAIRPINS_CUSTOMPOS = 40;
            settings.QZPT_DYNAMICS_HAIRPINS_PADDING = 3;
        }));
        EXPECT_EQ(Expected(kHead + "measure 1\n" + kQuarters +
                           "s1 cresc @256-@3840 y=" + std::to_string(offsets[position]) + "\n"),
                  Music());
        ExpectOneUndoableEdit(kEditName);
    }
}

TEST_F(Hairpins, OnlyMusicGetsHairpinsAndRestsShrinkThem) {
    // Staff 1 starts with a quarter rest; staff 2 holds only a rest. The region ends at 3072.
    const std::string music = "s1: 4 r C4 D4 E4\ns2: 1 r\n";
    struct Row {
        bool music, shrink;
        const char* hairpins;
    };
    const Row rows[] = {
        {true, true, "s1 cresc @1024-@3072 y=-168\n"},
        {true, false, "s1 cresc @0-@3072 y=-168\n"},
        {false, false, "s1 cresc @0-@3072 y=-168\ns2 cresc @0-@3072 y=-168\n"},
        // Shrinking needs the music option.
        {false, true, "s1 cresc @0-@3072 y=-168\ns2 cresc @0-@3072 y=-168\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.music ? "music" : "anywhere") + (row.shrink ? ", shrink" : ""));
        Load(kHead + "measure 1\n" + music, Slots(1, 2, 1, 1, 0, 3072));
        EXPECT_TRUE(Run(kHairpins, 0, [&row](PatternSettings& settings) {
            settings.QZPT_DYNAMICS_HAIRPINS_PADDING = 0;
            settings.QZPT_DYNAMICS_HAIRPINS_MUSIC = row.music;
            settings.QZPT_DYNAMICS_HAIRPINS_SHRINK = row.shrink;
        }));
        EXPECT_EQ(Expected(kHead + "measure 1\n" + music + row.hairpins), Music());
        ExpectOneUndoableEdit(kEditName);
    }
    // Neither end on music: nothing is made.
    Load(kHead + "measure 1\n" + music, Slots(2, 2, 1, 1));
    EXPECT_FALSE(Run(kHairpins, 0, [](PatternSettings& settings) { settings.QZPT_DYNAMICS_HAIRPINS_MUSIC = true; }));
    ExpectNothingChanged();
}

TEST_F(Hairpins, OldHairpinsWithAnEndInTheRegionAreReplaced) {
    // The region is measure 2 of staff 1. Removed: the one ending in it, the one starting in it
    // and the one inside it. Kept: the one spanning it, the ones outside it, the one on staff 2.
    const std::string m1 = "measure 1\n" + kQuarters + "s1 cresc @0-2@1024 y=-120\ns1 dim @0-3@2048 y=-120\n" +
                           "s1 cresc @0-@2048 y=-120\ns2 cresc @0-2@2048 y=-120\n";
    const std::string m2 = "measure 2\n" + kQuarters + "s1 dim @3000-3@1000 y=-120\ns1 cresc @1024-@2048 y=24\n";
    const std::string m3 = "measure 3\n" + kQuarters;
    Load(kHead + m1 + m2 + m3, Slots(1, 1, 2, 2));
    EXPECT_TRUE(Run(kHairpins, 1, [](PatternSettings& settings) { settings.QZPT_DYNAMICS_HAIRPINS_PADDING = 5; }));
    EXPECT_EQ(Expected(kHead + "measure 1\n" + kQuarters +
                       "s1 dim @0-3@2048 y=-120\ns1 cresc @0-@2048 y=-120\ns2 cresc @0-2@2048 y=-120\n" +
                       "measure 2\n" + kQuarters + "s1 dim @512-@3584 y=-168\n" + m3),
              Music());
    ExpectOneUndoableEdit(kEditName);
}

TEST_F(Hairpins, AWideRegionIsCoveredOnlyAfterYes) {
    std::string text = kHead;
    for (int m = 1; m <= 10; ++m) text += "measure " + std::to_string(m) + "\n" + kQuarters;
    Load(text, Slots(1, 1, 1, 10));
    EXPECT_FALSE(Run(kHairpins, 0, nullptr, IDNO));
    EXPECT_TRUE(Document().UndoList().empty());
    EXPECT_TRUE(Document().State() == before);
    EXPECT_EQ("Wide Selected Region", Captions());

    Load(text, Slots(1, 1, 1, 10));
    EXPECT_TRUE(Run(kHairpins, 0, nullptr, IDYES));
    // 16th padding over 40960 EDUs.
    std::string expected = kHead;
    for (int m = 1; m <= 10; ++m)
        expected +=
            "measure " + std::to_string(m) + "\n" + kQuarters + (m == 1 ? "s1 cresc @256-10@3840 y=-168\n" : "");
    EXPECT_EQ(Expected(expected), Music());
    ExpectOneUndoableEdit(kEditName);
}
