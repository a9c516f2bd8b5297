// The slur helpers shared with Merge to Chord and the Performance Notation tasks: removing a
// group's slurs with and without reattaching, and the flags and marks they leave. The music is
// compared with its flags; every slur must have its entry marks on its two ends and no others.
#include "framework/entries/FCNoteEntry.h"
#include "framework/entries/FCNoteEntryCell.h"
#include "framework/markings/FCSmartShape.h"
#include "framework/markings/FCSmartShapeEntryMark.h"
#include "simhost/Document.h"
#include "simhost/SimHost.h"
#include "simhost/ScoreText.h"
#include "tasks/beamedgroups/FCBeamedGroupsBlockHandler.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Opens the helpers to the test.
class SlurHelpers : public FCBeamedGroupsBlockHandler {
public:
    using FCBeamedGroupsBlockHandler::AddSlur;
    using FCBeamedGroupsBlockHandler::RemoveGroupSlurs;
};

const std::string kHead = "qzs 1\nstaff 1\n";

// The music with the entries' flags (the ones no slur line gives), without entry numbers.
std::string Music() {
    simhost::ScoreTextOptions options;
    options.bookkeeping = false;
    return simhost::WriteScoreText(options);
}

// Every slur has one entry mark on each end, and there are no other entry marks.
void ExpectEntryMarksOnTheEnds() {
    int expected = 0;
    for (const auto& record : simhost::CurrentDocument().Records().Records(FCSmartShape::kTag)) {
        FCSmartShape shape;
        ASSERT_TRUE(shape.Load(simhost::RecordStore::KeyFromOrder(record.first).words[0]));
        for (int32_t entry : {shape.GetLeftSegment()->GetEntryNumber(), shape.GetRightSegment()->GetEntryNumber()}) {
            FCSmartShapeEntryMarks marks;
            marks.LoadAllForEntryNumber(entry);
            int found = 0;
            for (int i = 0; i < marks.GetCount(); ++i)
                found += marks.GetItemAt(i)->GetShapeNumber() == shape.GetShapeNumber();
            EXPECT_EQ(found, 1) << "shape " << shape.GetShapeNumber() << " on entry " << entry;
            ++expected;
        }
    }
    EXPECT_EQ(expected, simhost::CurrentDocument().Records().Count(FCSmartShapeEntryMark::kTag));
}

}  // namespace

TEST(SlurHelpersTest, RemovingAGroupsSlursDeletesMovesOrKeepsThem) {
    // Measure 2's first group is C4 D4 E4 F4 (entries 1-4).
    struct Case {
        const char* name;
        std::string before;
        bool reattach, graceStart, changed;
        std::string after;
    } cases[] = {
        {"reattached ends move to the group's first entry",
         "measure 1\ns1: 2 r 4 r B3\ns1 slur 3-2:3\nmeasure 2\ns1: 8 [C4 D4 E4 F4 [G4 A4 B4 C5\ns1 slur 2-6\n", true,
         false, true,
         "measure 1\ns1: 2 r 4 r B3\ns1 slur 3-2:1\nmeasure 2\ns1: 8 [C4 D4!shape E4!shape F4 [G4 A4 B4 C5\n"
         "s1 slur 1-6\n"},
        {"without reattaching, slurs reaching out of the group stay",
         "measure 1\ns1: 2 r 4 r B3\ns1 slur 3-2:3\nmeasure 2\ns1: 8 [C4 D4 E4 F4 [G4 A4 B4 C5\ns1 slur 2-6\n", false,
         false, false,
         "measure 1\ns1: 2 r 4 r B3\ns1 slur 3-2:3\nmeasure 2\ns1: 8 [C4 D4 E4 F4 [G4 A4 B4 C5\ns1 slur 2-6\n"},
        {"an entry another slur still ends on keeps its flag",
         "measure 1\ns1: 1 B3\ns1 slur 1-2:1\nmeasure 2\ns1: 8 [C4 D4 E4 F4 2 r\ns1 slur 1-2\ns1 slur 3-4 dashed\n",
         false, false, true, "measure 1\ns1: 1 B3\ns1 slur 1-2:1\nmeasure 2\ns1: 8 [C4 D4 E4 F4 2 r\n"},
        {"slurs whose start is not of the grace kind asked for stay",
         "measure 1\nmeasure 2\ns1: 8 [C4 D4 E4 F4 2 r\ns1 slur 1-4\n", false, true, false,
         "measure 1\nmeasure 2\ns1: 8 [C4 D4 E4 F4 2 r\ns1 slur 1-4\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        simhost::ScoreTextError error;
        ASSERT_TRUE(simhost::ReadScoreText(kHead + c.before, &error)) << error.ToString();
        FCNoteEntryCell cell(2, 1);
        ASSERT_TRUE(cell.Load());
        EXPECT_EQ(SlurHelpers::RemoveGroupSlurs(cell.GetItemAt(0), cell.GetItemAt(3), c.reattach, c.graceStart),
                  c.changed);
        ASSERT_TRUE(cell.Save());
        simhost::ScoreTextOptions options;
        options.bookkeeping = false;
        EXPECT_EQ(simhost::CanonicalScoreText(kHead + c.after, options), Music());
        ExpectEntryMarksOnTheEnds();
    }
}

TEST(SlurHelpersTest, AddingASlurTwiceMakesOne) {
    simhost::ScoreTextError error;
    ASSERT_TRUE(simhost::ReadScoreText(kHead + "measure 1\ns1: 8 [C4 D4 E4 F4 2 r\n", &error)) << error.ToString();
    FCNoteEntryCell cell(1, 1);
    ASSERT_TRUE(cell.Load());
    EXPECT_TRUE(SlurHelpers::AddSlur(cell.GetItemAt(0), cell.GetItemAt(2), true));
    EXPECT_FALSE(SlurHelpers::AddSlur(cell.GetItemAt(0), cell.GetItemAt(2), false));
    EXPECT_TRUE(SlurHelpers::AddSlur(cell.GetItemAt(0), cell.GetItemAt(3), false));
    ASSERT_TRUE(cell.Save());
    EXPECT_EQ(
        simhost::CanonicalScoreText(kHead + "measure 1\ns1: 8 [C4 D4 E4 F4 2 r\ns1 slur 1-3\ns1 slur 1-4 dashed\n"),
        simhost::WriteScoreText());
}
