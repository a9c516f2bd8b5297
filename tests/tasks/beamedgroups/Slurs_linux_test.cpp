// Slurs (Beamed Groups) run through the task window's Apply: every style on the worked examples,
// both shapes by host version, replacing the group's old slurs, slurs that reach into the group
// from outside, running twice, and the undo entry that gives the document back with every mark.
#include "framework/host/hostapi.h"
#include "simhost/SimHost.h"
#include "tests/tasks/TaskApplyTest.h"

#include <string>

using tasktest::Slots;

namespace {

constexpr int kSlurs = 1004;
const std::u16string kEditName = u"Slurs";
const std::string kHead = "qzs 1\nstaff 1\n";

class Slurs : public tasktest::TaskApplyTest {
protected:
    bool Run(int style, int count, int shape = 0) {
        Show(kSlurs);
        EXPECT_TRUE(Choose(taskwindow::kPopup1, style));
        if (Enabled(taskwindow::kEdit1)) {
            EXPECT_TRUE(Type(taskwindow::kEdit1, std::to_string(count).c_str()));
        }
        EXPECT_TRUE(Choose(taskwindow::kPopup2, shape));
        const size_t applied = window->applied.size();
        EXPECT_TRUE(driver.Click(Item(taskwindow::kApply)));
        return window->applied.size() > applied && window->applied.back();
    }
};

}  // namespace

TEST_F(Slurs, EveryStyleSlursItsRanges) {
    // Eight eighths (one group), seven eighths in 7/8, five in 5/8; count 3.
    const std::string music =
        "measure 1\ns1: 8 [C4 D4 E4 F4 G4 A4 B4 C5\nmeasure 2 7/8\ns1: 8 [C4 D4 E4 F4 G4 A4 B4\n"
        "measure 3 5/8\ns1: 8 [C4 D4 E4 F4 G4\n";
    struct Row {
        int style;
        const char *first, *second, *third;
    } rows[] = {
        {0, "1-8", "1-7", "1-5"},
        {1, "1-3", "1-3", "1-3"},
        {2, "6-8", "5-7", "3-5"},
        // Only when the group holds both ranges apart: not on five entries.
        {3, "1-3 6-8", "1-3 5-7", ""},
        // Patterns of 3 on seven: 1-3 and 4-6, the seventh stays unslurred.
        {4, "1-3 4-6", "1-3 4-6", "1-3"},
        {5, "1-3 4-8", "1-3 4-7", "1-3 4-5"},
        // Listed in the order the slurs are made.
        {6, "6-8 1-5", "5-7 1-4", "3-5 1-2"},
        {7, "2-4", "2-4", "2-4"},
        {8, "3-5", "3-5", "3-5"},
    };
    auto lines = [](const std::string& ranges) {
        std::string text;
        for (size_t at = 0; at < ranges.size();) {
            size_t end = ranges.find(' ', at);
            if (end == std::string::npos) end = ranges.size();
            text += "s1 slur " + ranges.substr(at, end - at) + "\n";
            at = end + 1;
        }
        return text;
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.style);
        Load(kHead + music, Slots(1, 1, 1, 3));
        EXPECT_TRUE(Run(row.style, 3));
        EXPECT_EQ(Expected(kHead + "measure 1\ns1: 8 [C4 D4 E4 F4 G4 A4 B4 C5\n" + lines(row.first) +
                           "measure 2 7/8\ns1: 8 [C4 D4 E4 F4 G4 A4 B4\n" + lines(row.second) +
                           "measure 3 5/8\ns1: 8 [C4 D4 E4 F4 G4\n" + lines(row.third)),
                  Music());
        ExpectOneUndoableEdit(kEditName);
    }
}

TEST_F(Slurs, DashedCurvesTakeTheTypeOfTheHostVersion) {
    struct Row {
        int shape;
        uint32_t version;
        const char* options;
    } rows[] = {
        {0, 0x1B000000, ""},         {1, 0x1B000000, " dashed"}, {1, 0x19000000, " dashed"},
        {1, 0x18000000, " type=16"}, {0, 0x18000000, ""},
    };
    const uint32_t saved = hostapi::GetHostVersion();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.options);
        hostapi::SetHostVersion(row.version);
        Load(kHead + "measure 1\ns1: 8 [C4 D4 E4 F4 2 r\n");
        EXPECT_TRUE(Run(0, 2, row.shape));
        EXPECT_EQ(Expected(kHead + "measure 1\ns1: 8 [C4 D4 E4 F4 2 r\ns1 slur 1-4" + row.options + "\n"), Music());
        ExpectOneUndoableEdit(kEditName);
    }
    hostapi::SetHostVersion(saved);
}

TEST_F(Slurs, OldSlursOfTheGroupAreReplacedAndOutsideOnesKept) {
    // A slur from the measure before into the group stays (reattach is off); the group's own
    // slurs, whatever their type, are replaced; a slur of the next group is not touched.
    const std::string music = "measure 1\ns1: 2 r 4 r B3\ns1 slur 3-2:2\nmeasure 2\ns1: 8 [C4 D4 E4 F4 [G4 A4 B4 C5\n";
    Load(kHead + music + "s1 slur 1-2 type=0\ns1 slur 3-4 dashed\n", Slots(1, 1, 2, 2, 0, 2047));
    EXPECT_TRUE(Run(0, 2));
    EXPECT_EQ(Expected(kHead + music + "s1 slur 1-4\n"), Music());
    ExpectOneUndoableEdit(kEditName);
}

TEST_F(Slurs, RunningTwiceGivesTheDocumentOfOneRun) {
    const std::string input =
        kHead + "measure 1\ns1: 8 [C4 D4 E4 F4 G4 A4 B4 C5\nmeasure 2\ns1: 16 [C4 D4 E4 F4 2. r\n";
    for (int style = 0; style < 9; ++style) {
        SCOPED_TRACE(style);
        Load(input, Slots(1, 1, 1, 2));
        EXPECT_TRUE(Run(style, 2));
        const std::string once = Music();
        const size_t shapes = Document().Records().Count(0x4F085378);
        const size_t marks = Document().Records().Count(0x6F744D78) + Document().Records().Count(0x65644578);
        EXPECT_TRUE(Run(style, 2));
        // The same slurs (under new numbers), and no mark left of the old ones.
        EXPECT_EQ(once, Music());
        EXPECT_EQ(shapes, size_t(Document().Records().Count(0x4F085378)));
        EXPECT_EQ(marks, size_t(Document().Records().Count(0x6F744D78) + Document().Records().Count(0x65644578)));
        EXPECT_EQ(2u, Document().UndoList().size());
    }
}

TEST_F(Slurs, GroupsWithNothingToSlurChangeNothing) {
    const std::string inputs[] = {
        "s1: 4 C4 8 D4 4. E4 4 F4",  // no group
        "s1: 8 [C4 [D4 2. r",        // two single entries
    };
    for (const std::string& input : inputs) {
        SCOPED_TRACE(input);
        Load(kHead + "measure 1\n" + input + "\n");
        EXPECT_FALSE(Run(0, 2));
        ExpectNothingChanged();
    }
    // A range that does not fit the group creates nothing.
    Load(kHead + "measure 1\ns1: 8 [C4 D4 2. r\n");
    EXPECT_FALSE(Run(8, 3));
    ExpectNothingChanged();
}
