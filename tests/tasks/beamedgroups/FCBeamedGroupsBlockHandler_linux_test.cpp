// The option panels of the Beamed Groups tasks on the simulated desktop: placement, labels and
// popup rows, the values shown for given settings, what is stored back after the user changed
// each control, and the dependencies between the controls.
#include "tests/tasks/PanelTest.h"

#include <climits>

using namespace taskwindow;
using tasktest::Placed;

namespace {

using BeamedGroupsPanel = tasktest::PanelTest;

}  // namespace

TEST_F(BeamedGroupsPanel, PanelsShowTheirControlsWhereTheLayoutPutsThem) {
    const char* reorderStyles =
        "Ascending|Descending|Staircase - Ascending|Staircase - Descending|Wave - Ascending|Wave - Descending|"
        "Base+Descending|Top+Descending|Rotate Left|Rotate Right|Randomize";
    const char* placements =
        "All Notes in Group|First __ Note(s)|Last __ Note(s)|First and Last __ Note(s)|"
        "__ Note(s), Starting on 2nd note|__ Note(s), Starting on 3rd note|Slurred Notes|Non-Slurred Notes|"
        "Slur Start|Slur End";
    const char* slurStyles =
        "Full|First __ Notes|Last __ Notes|First and Last __ Notes|Patterns of __|First __ Notes, Remaining Slurred|"
        "Last __ Notes, Remaining Slurred|__ Notes, Starting on 2nd note|__ Notes, Starting on 3rd note";
    ExpectPanel(1001, {{kStatic1, 210, 42, 150, "Style:"}, {kPopup1, 210, 56, 150, "", reorderStyles}});
    ExpectPanel(1002, {});
    ExpectPanel(1003, {{kStatic2, 210, 29, 180, "Placement style:"},
                       {kPopup2, 210, 43, 180, "", placements},
                       {kEdit1, 405, 43, 45},
                       {kStatic1, 210, 82, 120, "Articulation type:"},
                       {kPopup1, 210, 96, 120, "", "Staccato Dot|Tenuto Dash|Accent|Grave Accent"},
                       {kCheck1, 210, 148, 180, "Keep existing articulations"},
                       {kCheck2, 240, 174, 180, "Merge if possible"}});
    ExpectPanel(1004, {{kStatic1, 210, 42, 210, "Slur placement style:"},
                       {kPopup1, 210, 56, 210, "", slurStyles},
                       {kEdit1, 435, 56, 45},
                       {kStatic2, 210, 95, 120, "Shape:"},
                       {kPopup2, 210, 109, 120, "", "Slur|Dashed Curve"}});
    ExpectPanel(
        1005, {{kCheck1, 210, 42, 210, "Replace existing chords"}, {kCheck2, 210, 68, 210, "Display alternate bass"}});
    // The data list belongs to no panel.
    EXPECT_FALSE(Visible(kDataList));
}

TEST_F(BeamedGroupsPanel, PanelsShowTheSettingsAndStoreTheUsersChanges) {
    PatternSettings& settings = ThePatternSettings();
    settings.QZPT_BEAMEDGROUPS_REODER_STYLE = 10;
    settings.QZPT_BEAMEDGROUPS_ARTIC_PLACEMENT = 4;
    settings.QZPT_BEAMEDGROUPS_ARTIC_STYLEDIGIT = 7;
    settings.QZPT_BEAMEDGROUPS_ARTIC_TYPE = 3;
    settings.QZPT_BEAMEDGROUPS_ARTIC_KEEP = true;
    settings.QZPT_BEAMEDGROUPS_ARTIC_MERGE = false;
    settings.QZPT_BEAMEDGROUPS_SLUR_STYLE = 8;
    settings.QZPT_BEAMEDGROUPS_SLUR_STYLEDIGIT = 9;
    settings.QZPT_BEAMEDGROUPS_SLUR_SHAPE = 1;
    settings.QZPT_BEAMEDGROUPS_CHORDSYM_REPLACE = false;
    settings.QZPT_BEAMEDGROUPS_CHORDSYM_ALTBASS = true;

    Show(1001);
    ExpectValues({{kPopup1, "Randomize"}});
    ASSERT_TRUE(Choose(kPopup1, 8));
    StoreBySelectingAnotherTask();
    EXPECT_EQ(8, settings.QZPT_BEAMEDGROUPS_REODER_STYLE);

    Show(1003);
    ExpectValues({{kPopup2, "__ Note(s), Starting on 2nd note"},
                  {kEdit1, "7"},
                  {kPopup1, "Grave Accent"},
                  {kCheck1, "on"},
                  {kCheck2, "off"}});
    ASSERT_TRUE(Choose(kPopup2, 1));
    ASSERT_TRUE(Type(kEdit1, "3"));
    ASSERT_TRUE(Choose(kPopup1, 2));
    ASSERT_TRUE(Toggle(kCheck2));
    ASSERT_TRUE(Toggle(kCheck1));
    StoreBySelectingAnotherTask();
    EXPECT_EQ(1, settings.QZPT_BEAMEDGROUPS_ARTIC_PLACEMENT);
    EXPECT_EQ(3, settings.QZPT_BEAMEDGROUPS_ARTIC_STYLEDIGIT);
    EXPECT_EQ(2, settings.QZPT_BEAMEDGROUPS_ARTIC_TYPE);
    EXPECT_FALSE(settings.QZPT_BEAMEDGROUPS_ARTIC_KEEP);
    EXPECT_TRUE(settings.QZPT_BEAMEDGROUPS_ARTIC_MERGE);

    Show(1004);
    ExpectValues({{kPopup1, "__ Notes, Starting on 3rd note"}, {kEdit1, "9"}, {kPopup2, "Dashed Curve"}});
    ASSERT_TRUE(Choose(kPopup1, 4));
    ASSERT_TRUE(Type(kEdit1, "5"));
    ASSERT_TRUE(Choose(kPopup2, 0));
    StoreBySelectingAnotherTask();
    EXPECT_EQ(4, settings.QZPT_BEAMEDGROUPS_SLUR_STYLE);
    EXPECT_EQ(5, settings.QZPT_BEAMEDGROUPS_SLUR_STYLEDIGIT);
    EXPECT_EQ(0, settings.QZPT_BEAMEDGROUPS_SLUR_SHAPE);

    Show(1005);
    ExpectValues({{kCheck1, "off"}, {kCheck2, "on"}});
    ASSERT_TRUE(Toggle(kCheck1));
    ASSERT_TRUE(Toggle(kCheck2));
    StoreBySelectingAnotherTask();
    EXPECT_TRUE(settings.QZPT_BEAMEDGROUPS_CHORDSYM_REPLACE);
    EXPECT_FALSE(settings.QZPT_BEAMEDGROUPS_CHORDSYM_ALTBASS);
}

TEST_F(BeamedGroupsPanel, ArticulationNumberFieldAndMergeBoxFollowTheirControls) {
    Show(1003);
    struct Row {
        int placement;
        bool numberEnabled;
    };
    const Row rows[] = {{0, false}, {1, true},  {2, true},  {3, true},  {4, true},
                        {5, true},  {6, false}, {7, false}, {8, false}, {9, false}};
    for (const Row& row : rows) {
        ASSERT_TRUE(Choose(kPopup2, row.placement));
        EXPECT_EQ(row.numberEnabled, Enabled(kEdit1)) << "placement " << row.placement;
        EXPECT_TRUE(Visible(kEdit1));
    }
    // "Merge if possible" only matters while existing articulations are kept.
    EXPECT_FALSE(Checked(kCheck1));
    EXPECT_FALSE(Enabled(kCheck2));
    ASSERT_TRUE(Toggle(kCheck1));
    EXPECT_TRUE(Enabled(kCheck2));
    ASSERT_TRUE(Toggle(kCheck1));
    EXPECT_FALSE(Enabled(kCheck2));
}

TEST_F(BeamedGroupsPanel, SlurNumberFieldIsDisabledOnlyForFullSlurs) {
    Show(1004);
    EXPECT_FALSE(Enabled(kEdit1));
    for (int style = 1; style <= 8; ++style) {
        ASSERT_TRUE(Choose(kPopup1, style));
        EXPECT_TRUE(Enabled(kEdit1)) << "style " << style;
    }
    ASSERT_TRUE(Choose(kPopup1, 0));
    EXPECT_FALSE(Enabled(kEdit1));
}

TEST_F(BeamedGroupsPanel, NumberFieldsStoreTheirTextClampedToTheTasksRange) {
    struct Row {
        const char* typed;
        int articulations;  // 1..10
        int slurs;          // 2..10
    };
    const Row rows[] = {
        {"0", 1, 2},   {"50", 10, 10},          {"1", 1, 2},  {"2", 2, 2},  {"10", 10, 10}, {"-7", 1, 2}, {"", 1, 2},
        {"abc", 1, 2}, {"99999999999", 10, 10}, {"6x", 6, 6}, {" 4", 4, 4},
    };
    PatternSettings& settings = ThePatternSettings();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.typed);
        Show(1003);
        ASSERT_TRUE(Choose(kPopup2, 1));
        ASSERT_TRUE(Type(kEdit1, row.typed));
        Show(1004);
        EXPECT_EQ(row.articulations, settings.QZPT_BEAMEDGROUPS_ARTIC_STYLEDIGIT);
        ASSERT_TRUE(Choose(kPopup1, 1));
        ASSERT_TRUE(Type(kEdit1, row.typed));
        StoreBySelectingAnotherTask();
        EXPECT_EQ(row.slurs, settings.QZPT_BEAMEDGROUPS_SLUR_STYLEDIGIT);
    }
}

TEST_F(BeamedGroupsPanel, PopupSettingsThatNameNoRowShowAndStoreTheFirstRow) {
    PatternSettings& settings = ThePatternSettings();
    for (int stored : {11, -1, INT_MAX, INT_MIN}) {
        SCOPED_TRACE(stored);
        settings.QZPT_BEAMEDGROUPS_REODER_STYLE = stored;
        settings.QZPT_BEAMEDGROUPS_ARTIC_TYPE = stored;
        Show(1001);
        EXPECT_EQ("Ascending", Shown(kPopup1));
        Show(1003);
        EXPECT_EQ("Staccato Dot", Shown(kPopup1));
        StoreBySelectingAnotherTask();
        EXPECT_EQ(0, settings.QZPT_BEAMEDGROUPS_REODER_STYLE);
        EXPECT_EQ(0, settings.QZPT_BEAMEDGROUPS_ARTIC_TYPE);
    }
}
