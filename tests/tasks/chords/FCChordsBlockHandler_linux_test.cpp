// The option panel of Break on the simulated desktop.
#include "tests/tasks/PanelTest.h"

using namespace taskwindow;
using tasktest::Placed;

namespace {

using ChordsPanel = tasktest::PanelTest;

}  // namespace

TEST_F(ChordsPanel, BreakShowsItsStylesAndStoresTheChosenOne) {
    ExpectPanel(1101, {{kStatic1, 210, 42, 150, "Style:"},
                       {kPopup1, 210, 56, 150, "",
                        "Ascending|Descending|Staircase - Ascending|Staircase - Descending|Wave - Ascending|"
                        "Wave - Descending|Base+Descending|Top+Descending|Alberti Bass|Alberti Bass (6-note)"}});
    EXPECT_EQ("Ascending", Shown(kPopup1));
    ASSERT_TRUE(Choose(kPopup1, 9));
    StoreBySelectingAnotherTask();
    EXPECT_EQ(9, ThePatternSettings().QZPT_CHORDS_BREAK_STYLE);

    ThePatternSettings().QZPT_CHORDS_BREAK_STYLE = 8;
    Show(1101);
    EXPECT_EQ("Alberti Bass", Shown(kPopup1));
    StoreBySelectingAnotherTask();
    // A style of Reorder Notes that Break does not have.
    ThePatternSettings().QZPT_CHORDS_BREAK_STYLE = 10;
    Show(1101);
    EXPECT_EQ("Ascending", Shown(kPopup1));
}
