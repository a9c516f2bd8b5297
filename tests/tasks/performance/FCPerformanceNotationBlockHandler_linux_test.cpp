// The option panels of the Performance Notation tasks on the simulated desktop: placement,
// labels and rows, values, storing, and the number field and duration popup that take turns in
// one place.
#include "tests/tasks/PanelTest.h"

using namespace taskwindow;
using tasktest::Placed;

namespace {

using PerformancePanel = tasktest::PanelTest;

}  // namespace

TEST_F(PerformancePanel, PanelsShowTheirControlsWhereTheLayoutPutsThem) {
    const char* durations = "32nd|Dotted 32nd|16th|Dotted 16th|8th|Dotted 8th|Quarter|Dotted Quarter|Half|Dotted Half";
    ExpectPanel(1301, {{kStatic2, 210, 29, 180, "Placement style:"},
                       {kPopup3, 210, 43, 180, "",
                        "All Notes|First __ note(s) of beat|Last __ note(s) of beat|First note of beat __|"
                        "Slurred Notes|Non-Slurred Notes|Slur Start|Slur End|Notes of duration __|"
                        "Durations shorter than __|Durations longer than __|Solitary Note"},
                       {kEdit1, 405, 43, 45, "", "", false},
                       // Centred on the number field, the row before it.
                       {kPopup2, 405, 42, 105, "", durations, false},
                       {kStatic1, 210, 82, 120, "Articulation type:"},
                       {kPopup1, 210, 96, 120, "", "Staccato Dot|Tenuto Dash|Accent|Grave Accent"},
                       {kCheck1, 210, 148, 180, "Keep existing articulations"},
                       {kCheck2, 240, 174, 180, "Merge if possible"},
                       {kCheck3, 210, 200, 180, "Use tied duration"}});
    ExpectPanel(1303, {{kStatic1, 210, 42, 180, "Slur placement style:"},
                       {kPopup1, 210, 56, 180, "",
                        "Full Phrase (Until Rest)|By beat|Group by __ measure(s)|Group by __ beat(s)|"
                        "Group by __ notes|Group first __ beat(s) in measure|Group last __ beat(s) in measure|"
                        "Consecutive durations of __|Durations shorter than __|Durations longer than __|"
                        "Grace note(s) to full"},
                       {kEdit1, 405, 56, 45, "", "", false},
                       {kPopup2, 405, 55, 105, "", durations, false},
                       {kStatic2, 210, 95, 120, "Shape:"},
                       {kPopup3, 210, 109, 120, "", "Slur|Dashed Curve"},
                       {kCheck1, 210, 161, 180, "Break at identical pitch"},
                       {kCheck2, 210, 187, 180, "Break at articulation"},
                       {kCheck3, 210, 214, 180, "Keep Existing Slurs"}});
}

TEST_F(PerformancePanel, PanelsShowTheSettingsAndStoreTheUsersChanges) {
    PatternSettings& settings = ThePatternSettings();
    settings.QZPT_PERFORMANCE_ARTIC_PLACEMENTSTYLE = 2;
    settings.QZPT_PERFORMANCE_ARTIC_STYLEDIGIT = 4;
    settings.QZPT_PERFORMANCE_ARTIC_DURATION = 9;
    settings.QZPT_PERFORMANCE_ARTIC_TYPE = 1;
    settings.QZPT_PERFORMANCE_ARTIC_KEEP = true;
    settings.QZPT_PERFORMANCE_ARTIC_MERGE = false;
    settings.QZPT_PERFORMANCE_ARTIC_TIEDDURATION = false;
    settings.QZPT_PERFORMANCE_SLUR_STYLE = 8;
    settings.QZPT_PERFORMANCE_SLUR_STYLEDIGIT = 6;
    settings.QZPT_PERFORMANCE_SLUR_DURATION = 0;
    settings.QZPT_PERFORMANCE_SLUR_SHAPE = 1;
    settings.QZPT_PERFORMANCE_SLUR_IDENTICALPITCH = false;
    settings.QZPT_PERFORMANCE_SLUR_ARTICULATION = true;
    settings.QZPT_PERFORMANCE_SLUR_KEEPEXISTING = true;

    Show(1301);
    ExpectValues({{kPopup3, "Last __ note(s) of beat"},
                  {kEdit1, "4"},
                  {kPopup2, "Dotted Half"},
                  {kPopup1, "Tenuto Dash"},
                  {kCheck1, "on"},
                  {kCheck2, "off"},
                  {kCheck3, "off"}});
    ASSERT_TRUE(Type(kEdit1, "12"));
    ASSERT_TRUE(Choose(kPopup3, 9));
    ASSERT_TRUE(Choose(kPopup2, 2));
    ASSERT_TRUE(Choose(kPopup1, 3));
    ASSERT_TRUE(Toggle(kCheck2));
    ASSERT_TRUE(Toggle(kCheck3));
    ASSERT_TRUE(Toggle(kCheck1));
    StoreBySelectingAnotherTask();
    EXPECT_EQ(9, settings.QZPT_PERFORMANCE_ARTIC_PLACEMENTSTYLE);
    EXPECT_EQ(10, settings.QZPT_PERFORMANCE_ARTIC_STYLEDIGIT);
    EXPECT_EQ(2, settings.QZPT_PERFORMANCE_ARTIC_DURATION);
    EXPECT_EQ(3, settings.QZPT_PERFORMANCE_ARTIC_TYPE);
    EXPECT_FALSE(settings.QZPT_PERFORMANCE_ARTIC_KEEP);
    EXPECT_TRUE(settings.QZPT_PERFORMANCE_ARTIC_MERGE);
    EXPECT_TRUE(settings.QZPT_PERFORMANCE_ARTIC_TIEDDURATION);

    Show(1303);
    ExpectValues({{kPopup1, "Durations shorter than __"},
                  {kEdit1, "6"},
                  {kPopup2, "32nd"},
                  {kPopup3, "Dashed Curve"},
                  {kCheck1, "off"},
                  {kCheck2, "on"},
                  {kCheck3, "on"}});
    ASSERT_TRUE(Choose(kPopup2, 7));
    ASSERT_TRUE(Choose(kPopup1, 3));
    ASSERT_TRUE(Type(kEdit1, "0"));
    ASSERT_TRUE(Choose(kPopup3, 0));
    ASSERT_TRUE(Toggle(kCheck1));
    ASSERT_TRUE(Toggle(kCheck2));
    ASSERT_TRUE(Toggle(kCheck3));
    StoreBySelectingAnotherTask();
    EXPECT_EQ(3, settings.QZPT_PERFORMANCE_SLUR_STYLE);
    EXPECT_EQ(1, settings.QZPT_PERFORMANCE_SLUR_STYLEDIGIT);
    EXPECT_EQ(7, settings.QZPT_PERFORMANCE_SLUR_DURATION);
    EXPECT_EQ(0, settings.QZPT_PERFORMANCE_SLUR_SHAPE);
    EXPECT_TRUE(settings.QZPT_PERFORMANCE_SLUR_IDENTICALPITCH);
    EXPECT_FALSE(settings.QZPT_PERFORMANCE_SLUR_ARTICULATION);
    EXPECT_FALSE(settings.QZPT_PERFORMANCE_SLUR_KEEPEXISTING);
}

TEST_F(PerformancePanel, NumberFieldAndDurationPopupTakeTurnsByTheChosenStyle) {
    struct Row {
        int task;
        int style;
        bool number;    // Edit1 shown
        bool duration;  // Popup2 shown
        bool tied;      // Check3 enabled (task 1301)
        bool breaks;    // Check1..3 enabled (task 1303)
    };
    const Row rows[] = {
        {1301, 0, false, false, false, true},  {1301, 1, true, false, false, true},
        {1301, 3, true, false, false, true},   {1301, 4, false, false, false, true},
        {1301, 7, false, false, false, true},  {1301, 8, false, true, true, true},
        {1301, 10, false, true, true, true},   {1301, 11, false, false, false, true},
        {1303, 0, false, false, true, true},   {1303, 1, false, false, true, true},
        {1303, 2, true, false, true, true},    {1303, 6, true, false, true, true},
        {1303, 7, false, true, true, true},    {1303, 9, false, true, true, true},
        {1303, 10, false, false, true, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.task) + " style " + std::to_string(row.style));
        Show(row.task);
        ASSERT_TRUE(Choose(row.task == 1301 ? kPopup3 : kPopup1, row.style));
        EXPECT_EQ(row.number, Visible(kEdit1));
        EXPECT_EQ(row.duration, Visible(kPopup2));
        if (row.task == 1301) {
            EXPECT_EQ(row.tied, Enabled(kCheck3));
        } else {
            EXPECT_EQ(row.breaks, Enabled(kCheck1));
            EXPECT_EQ(row.breaks, Enabled(kCheck2));
            EXPECT_EQ(row.breaks, Enabled(kCheck3));
        }
        // Selecting the task anew shows the same.
        StoreBySelectingAnotherTask();
        Show(row.task);
        EXPECT_EQ(row.number, Visible(kEdit1));
        EXPECT_EQ(row.duration, Visible(kPopup2));
    }
    // Articulations: "Merge if possible" only while existing ones are kept.
    Show(1301);
    EXPECT_FALSE(Enabled(kCheck2));
    ASSERT_TRUE(Toggle(kCheck1));
    EXPECT_TRUE(Enabled(kCheck2));
}
