// The stand-in host's layout update: the systems a part states stay, the measures after them are
// laid out in systems of four measures on the part's staves, and a second update changes nothing.
// Staff styles and their spans read from score text into the host's records.
#include "framework/host/hostapi.h"
#include "framework/score/FCStaffStyleAssign.h"
#include "framework/score/FCStaffStyleDef.h"
#include "simhost/Document.h"
#include "simhost/ScoreText.h"
#include "simhost/SimHost.h"

#include <gtest/gtest.h>

using namespace simhost;

namespace {

std::string Systems() {
    std::string text;
    const std::string all = WriteScoreText();
    size_t at = 0;
    while ((at = all.find("system ", at)) != std::string::npos) {
        const size_t end = all.find('\n', at);
        text += all.substr(at, end - at) + "\n";
        at = end;
    }
    return text;
}

}  // namespace

TEST(SystemLayout, StatedSystemsStayAndTheRestIsLaidOutInFours) {
    struct Row {
        const char* what;
        const char* structure;
        int part;
        const char* systems;
    };
    const Row rows[] = {
        {"no systems", "", 0,
         "system 1 measures=1-4 staves=1,2\nsystem 2 measures=5-8 staves=1,2\nsystem 3 measures=9-10 staves=1,2\n"},
        {"a stated first system", "system 1 measures=1-3 staves=2\n", 0,
         "system 1 measures=1-3 staves=2\nsystem 2 measures=4-7 staves=1,2\nsystem 3 measures=8-10 staves=1,2\n"},
        {"a stated layout to the end", "system 1 measures=1-10 staves=1\n", 0, "system 1 measures=1-10 staves=1\n"},
        {"a part, on its own staves", "", 1,
         "system 1 part=1 measures=1-4 staves=2\nsystem 2 part=1 measures=5-8 "
         "staves=2\nsystem 3 part=1 measures=9-10 staves=2\n"},
        {"a part without staves", "", 2, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_TRUE(ReadScoreText(std::string("qzs 1\nstaff 1\nstaff 2\npart 1 staves=2\npart 2\n") + row.structure +
                                  "measure 1-10\n"));
        CurrentDocument().View().SetCurrentPart(row.part);
        ASSERT_TRUE(hostapi::FX_UpdateLayout(0, 0, 0));
        EXPECT_EQ(row.systems, Systems());
        const DocumentState once = CurrentDocument().State();
        ASSERT_TRUE(hostapi::FX_UpdateLayout(0, 0, 0));
        EXPECT_TRUE(CurrentDocument().State() == once) << "a second update changes nothing";
        CurrentDocument().View().SetCurrentPart(0);
    }
}

TEST(ScoreTextStaffStyles, DefinitionsAndSpansReadIntoTheHostsRecords) {
    ASSERT_TRUE(ReadScoreText(
        "qzs 1\nstaff 4\nstaff-style 7 kind=3 layer=2 expressions-other\nstaff-style 8 expressions-layer1\n"
        "staff-style-span 4 style=7 measures=2-3 start=512 end=1536\nstaff-style-span 4 style=8 measures=1-1\n"
        "measure 1-3\n"));
    FCStaffStyleDef style;
    ASSERT_TRUE(style.Load(7));
    EXPECT_EQ(3, style.GetAltNotationKind());
    EXPECT_EQ(1, style.GetAltNotationLayerField());
    EXPECT_FALSE(style.GetExpressionsVisibleInLayer1());
    EXPECT_TRUE(style.GetExpressionsVisibleInOtherLayers());
    ASSERT_TRUE(style.Load(8));
    EXPECT_EQ(0, style.GetAltNotationKind());
    EXPECT_TRUE(style.GetExpressionsVisibleInLayer1());
    FCStaffStyleAssigns spans;
    ASSERT_EQ(2, spans.LoadAllForItem(4));
    EXPECT_EQ(7, spans.GetItemAt(0)->GetStyleNumber());
    EXPECT_EQ(2, spans.GetItemAt(0)->GetStartMeasure());
    EXPECT_EQ(512, spans.GetItemAt(0)->GetStartMeasurePos());
    EXPECT_EQ(3, spans.GetItemAt(0)->GetEndMeasure());
    EXPECT_EQ(1536, spans.GetItemAt(0)->GetEndMeasurePos());
    EXPECT_EQ(0x7FFFFFFF, spans.GetItemAt(1)->GetEndMeasurePos());

    ScoreTextError error;
    EXPECT_FALSE(ReadScoreText("qzs 1\nstaff 1\nstaff-style-span 2 style=1 measures=1-1\n", &error));
    EXPECT_EQ("<text>:3:18: expected a declared staff", error.ToString());
    EXPECT_FALSE(ReadScoreText("qzs 1\nstaff-style 1 kind=16\n", &error));
    EXPECT_EQ("<text>:2:20: expected a notation kind 0-15", error.ToString());
    EXPECT_FALSE(ReadScoreText("qzs 1\nmeasure 1\nstaff-style 1\n", &error));
    EXPECT_EQ("<text>:3:1: expected 'staff-style' before the first measure", error.ToString());
}

TEST(ScoreTextCurrentPart, ReadingPutsTheNamedPartInView) {
    ASSERT_TRUE(ReadScoreText("qzs 1\nstaff 1\npart 1 staves=1\npart 2\ncurrent-part 2\nmeasure 1\n"));
    EXPECT_EQ(2, CurrentDocument().View().CurrentPart());
    // The part in view is not content: the text of the document does not say it.
    EXPECT_EQ(std::string::npos, WriteScoreText().find("current-part"));
    ASSERT_TRUE(ReadScoreText("qzs 1\nstaff 1\npart 1 staves=1\nmeasure 1\n"));
    EXPECT_EQ(0, CurrentDocument().View().CurrentPart()) << "a text that names no part shows the score";
    ScoreTextError error;
    EXPECT_FALSE(ReadScoreText("qzs 1\npart 1\ncurrent-part 2\n", &error));
    EXPECT_EQ("<text>:3:14: expected a declared part", error.ToString());
}
