// The option panels of the Dynamics tasks on the simulated desktop (placement, labels, popup
// rows, values, storing, dependencies, measurement fields) and the questions asked before an
// Apply of Carbon Copy and Hairpins.
#include "tests/tasks/PanelTest.h"

#include "simhost/DialogService.h"
#include "simhost/DocumentBuilder.h"

using namespace taskwindow;
using tasktest::Placed;

namespace {

using DynamicsPanel = tasktest::PanelTest;

}  // namespace

TEST_F(DynamicsPanel, PanelsShowTheirControlsWhereTheLayoutPutsThem) {
    const char* positions =
        "Below Staff (Near)|Above Staff (Near)|Below Staff|Above Staff|Below Staff (Far)|Above Staff (Far)|"
        "Custom (from baseline)";
    ExpectPanel(1201, {{kStatic1, 210, 29, 180, "Source staff:"},
                       {kPopup1, 210, 43, 180, "",
                        "Staff with the most dynamics|Top staff in selection|Bottom staff in selection|"
                        "First selected staff with dynamics|Last selected staff with dynamics"},
                       {kCheck1, 210, 95, 180, "Only copy to music"},
                       {kCheck2, 240, 121, 180, "Shrink smart shapes at rests"},
                       {kCheck3, 210, 148, 240, "Auto-adjust expression layer assignment"}});
    ExpectPanel(1202,
                {{kStatic1, 210, 29, 105, "Shape type:"},
                 {kPopup1, 210, 43, 105, "", "<   (crescendo)|>   (diminuendo)|< >   (cresc+dim)|> <   (dim+cresc)"},
                 {kStatic2, 360, 29, 135, "Padding:"},
                 {kPopup2, 360, 43, 135, "",
                  "None|32nd length|Dotted 32nd length|16th length|Dotted 16th length|8th length|"
                  "Dotted 8th length|2 %|4 %|6 %"},
                 {kStatic3, 210, 95, 150, "Vertical Position:"},
                 {kPopup3, 210, 109, 150, "", positions},
                 // Hidden until the vertical position is the custom one.
                 {kEdit1, 375, 109, 75, "", "", false},
                 {kCheck1, 210, 161, 180, "Only copy to music"},
                 {kCheck2, 240, 187, 180, "Shrink hairpins at rests"}});
    ExpectPanel(1203, {{kCheck1, 210, 42, 180, "Inverse Hairpin Direction"},
                       {kStatic3, 210, 68, 150, "Focal Point (percent):"},
                       {kEdit1, 210, 82, 45},
                       {kStatic4, 360, 68, 150, "Padding (percent):"},
                       {kEdit2, 360, 82, 45},
                       {kStatic1, 210, 121, 135, "Scope:"},
                       {kPopup1, 210, 135, 135, "", "Exact duration of|Longer than|Equal or longer than"},
                       {kStatic2, 351, 121, 120, "Duration:"},
                       {kPopup2, 351, 135, 120, "",
                        "Dotted Quarter|Half Note|Dotted Half Note|Whole Note|Dotted Whole Note|Breve"},
                       {kStatic5, 210, 174, 150, "Vertical Position:"},
                       {kPopup3, 210, 188, 150, "", positions},
                       {kEdit3, 375, 189, 75, "", "", false}});
}

TEST_F(DynamicsPanel, PanelsShowTheSettingsAndStoreTheUsersChanges) {
    simhost::SetMeasurementUnit(simhost::MeasurementUnit::EVPUs);
    PatternSettings& settings = ThePatternSettings();
    settings.QZPT_DYNAMICS_CARBONCOPY_SOURCE = 4;
    settings.QZPT_DYNAMICS_CARBONCOPY_MUSIC = false;
    settings.QZPT_DYNAMICS_CARBONCOPY_SHRINKSMARTSHAPES = false;
    settings.QZPT_DYNAMICS_CARBONCOPY_LAYERASSIGN = false;
    settings.QZPT_DYNAMICS_HAIRPINS_TYPE = 3;
    settings.QZPT_DYNAMICS_HAIRPINS_PADDING = 9;
    settings.QZPT_DYNAMICS_HAIRPINS_VERTPOS = 6;
    settings.QZPT_DYNAMICS_HAIRPINS_CUSTOMPOS = 48;
    settings.QZPT_DYNAMICS_HAIRPINS_MUSIC = false;
    settings.QZPT_DYNAMICS_HAIRPINS_SHRINK = false;
    settings.QZPT_DYNAMICS_SWELLS_INVERSE = true;
    settings.QZPT_DYNAMICS_SWELLS_FOCALPOINT = 30;
    settings.QZPT_DYNAMICS_SWELLS_PADDING = 12;
    settings.QZPT_DYNAMICS_SWELLS_SCOPE = 0;
    settings.QZPT_DYNAMICS_SWELLS_DURATION = 5;
    settings.QZPT_DYNAMICS_SWELLS_VERTPOS = 6;
    settings.QZPT_DYNAMICS_SWELLS_CUSTOMPOS = -200;

    Show(1201);
    ExpectValues(
        {{kPopup1, "Last selected staff with dynamics"}, {kCheck1, "off"}, {kCheck2, "off"}, {kCheck3, "off"}});
    ASSERT_TRUE(Choose(kPopup1, 1));
    ASSERT_TRUE(Toggle(kCheck1));
    ASSERT_TRUE(Toggle(kCheck2));
    ASSERT_TRUE(Toggle(kCheck3));
    StoreBySelectingAnotherTask();
    EXPECT_EQ(1, settings.QZPT_DYNAMICS_CARBONCOPY_SOURCE);
    EXPECT_TRUE(settings.QZPT_DYNAMICS_CARBONCOPY_MUSIC);
    EXPECT_TRUE(settings.QZPT_DYNAMICS_CARBONCOPY_SHRINKSMARTSHAPES);
    EXPECT_TRUE(settings.QZPT_DYNAMICS_CARBONCOPY_LAYERASSIGN);

    Show(1202);
    ExpectValues({{kPopup1, "> <   (dim+cresc)"},
                  {kPopup2, "6 %"},
                  {kPopup3, "Custom (from baseline)"},
                  {kEdit1, "48"},
                  {kCheck1, "off"},
                  {kCheck2, "off"}});
    EXPECT_TRUE(Visible(kEdit1));
    ASSERT_TRUE(Choose(kPopup1, 1));
    ASSERT_TRUE(Choose(kPopup2, 4));
    ASSERT_TRUE(Type(kEdit1, "-96"));
    ASSERT_TRUE(Toggle(kCheck1));
    ASSERT_TRUE(Toggle(kCheck2));
    StoreBySelectingAnotherTask();
    EXPECT_EQ(1, settings.QZPT_DYNAMICS_HAIRPINS_TYPE);
    EXPECT_EQ(4, settings.QZPT_DYNAMICS_HAIRPINS_PADDING);
    EXPECT_EQ(6, settings.QZPT_DYNAMICS_HAIRPINS_VERTPOS);
    EXPECT_EQ(-96, settings.QZPT_DYNAMICS_HAIRPINS_CUSTOMPOS);
    EXPECT_TRUE(settings.QZPT_DYNAMICS_HAIRPINS_MUSIC);
    EXPECT_TRUE(settings.QZPT_DYNAMICS_HAIRPINS_SHRINK);

    Show(1203);
    ExpectValues({{kCheck1, "on"},
                  {kEdit1, "30"},
                  {kEdit2, "12"},
                  {kPopup1, "Exact duration of"},
                  {kPopup2, "Breve"},
                  {kPopup3, "Custom (from baseline)"},
                  {kEdit3, "-200"}});
    ASSERT_TRUE(Toggle(kCheck1));
    ASSERT_TRUE(Type(kEdit1, "75"));
    ASSERT_TRUE(Type(kEdit2, "0"));
    ASSERT_TRUE(Choose(kPopup1, 1));
    ASSERT_TRUE(Choose(kPopup2, 0));
    ASSERT_TRUE(Type(kEdit3, "250"));
    ASSERT_TRUE(Choose(kPopup3, 1));
    StoreBySelectingAnotherTask();
    EXPECT_FALSE(settings.QZPT_DYNAMICS_SWELLS_INVERSE);
    EXPECT_EQ(75, settings.QZPT_DYNAMICS_SWELLS_FOCALPOINT);
    EXPECT_EQ(0, settings.QZPT_DYNAMICS_SWELLS_PADDING);
    EXPECT_EQ(1, settings.QZPT_DYNAMICS_SWELLS_SCOPE);
    EXPECT_EQ(0, settings.QZPT_DYNAMICS_SWELLS_DURATION);
    EXPECT_EQ(1, settings.QZPT_DYNAMICS_SWELLS_VERTPOS);
    // The custom distance is kept while another position is chosen.
    EXPECT_EQ(250, settings.QZPT_DYNAMICS_SWELLS_CUSTOMPOS);
}

TEST_F(DynamicsPanel, ShrinkBoxesFollowTheirMusicBoxAndCustomFieldsTheVerticalPosition) {
    for (int task : {1201, 1202}) {
        SCOPED_TRACE(task);
        Show(task);
        EXPECT_TRUE(Checked(kCheck1));
        EXPECT_TRUE(Enabled(kCheck2));
        ASSERT_TRUE(Toggle(kCheck1));
        EXPECT_FALSE(Enabled(kCheck2));
        ASSERT_TRUE(Toggle(kCheck1));
        EXPECT_TRUE(Enabled(kCheck2));
    }
    struct Row {
        int task;
        int field;
    };
    for (const Row& row : {Row{1202, kEdit1}, Row{1203, kEdit3}}) {
        SCOPED_TRACE(row.task);
        Show(row.task);
        for (int position = 0; position < 7; ++position) {
            ASSERT_TRUE(Choose(kPopup3, position));
            EXPECT_EQ(position == 6, Visible(row.field)) << "position " << position;
        }
    }
    // The other fields of Hairpin Swells stay shown.
    EXPECT_TRUE(Visible(kEdit1));
    EXPECT_TRUE(Visible(kEdit2));
}

TEST_F(DynamicsPanel, NumberAndMeasurementFieldsClampWhatTheUserTyped) {
    struct Row {
        simhost::MeasurementUnit unit;
        const char* typed;
        int focalPoint;  // 10..90
        int padding;     // 0..15
        int custom;      // -300..300, truncated toward zero
    };
    const Row rows[] = {
        {simhost::MeasurementUnit::EVPUs, "0", 10, 0, 0},       {simhost::MeasurementUnit::EVPUs, "95", 90, 15, 95},
        {simhost::MeasurementUnit::EVPUs, "-400", 10, 0, -300}, {simhost::MeasurementUnit::EVPUs, "301", 90, 15, 300},
        {simhost::MeasurementUnit::EVPUs, "12.7", 12, 12, 12},  {simhost::MeasurementUnit::EVPUs, "-12.7", 10, 0, -12},
        {simhost::MeasurementUnit::EVPUs, "", 10, 0, 0},        {simhost::MeasurementUnit::EVPUs, "abc", 10, 0, 0},
        {simhost::MeasurementUnit::EVPUs, "1e300", 10, 1, 300}, {simhost::MeasurementUnit::Inches, "0.5", 10, 0, 144},
        {simhost::MeasurementUnit::Inches, "-2", 10, 0, -300},
    };
    PatternSettings& settings = ThePatternSettings();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.typed);
        simhost::SetMeasurementUnit(row.unit);
        Show(1203);
        ASSERT_TRUE(Choose(kPopup3, 6));
        ASSERT_TRUE(Type(kEdit1, row.typed));
        ASSERT_TRUE(Type(kEdit2, row.typed));
        ASSERT_TRUE(Type(kEdit3, row.typed));
        Show(1202);
        EXPECT_EQ(row.focalPoint, settings.QZPT_DYNAMICS_SWELLS_FOCALPOINT);
        EXPECT_EQ(row.padding, settings.QZPT_DYNAMICS_SWELLS_PADDING);
        EXPECT_EQ(row.custom, settings.QZPT_DYNAMICS_SWELLS_CUSTOMPOS);
        ASSERT_TRUE(Choose(kPopup3, 6));
        ASSERT_TRUE(Type(kEdit1, row.typed));
        StoreBySelectingAnotherTask();
        EXPECT_EQ(row.custom, settings.QZPT_DYNAMICS_HAIRPINS_CUSTOMPOS);
    }
}

TEST_F(DynamicsPanel, StoredMeasurementIsShownInTheUsersUnit) {
    simhost::SetMeasurementUnit(simhost::MeasurementUnit::Inches);
    ThePatternSettings().QZPT_DYNAMICS_HAIRPINS_VERTPOS = 6;
    ThePatternSettings().QZPT_DYNAMICS_HAIRPINS_CUSTOMPOS = -144;
    Show(1202);
    EXPECT_EQ("-0.5", Text(kEdit1));
    StoreBySelectingAnotherTask();
    EXPECT_EQ(-144, ThePatternSettings().QZPT_DYNAMICS_HAIRPINS_CUSTOMPOS);
}

TEST_F(DynamicsPanel, CarbonCopyNeedsTwoStavesAndWideHairpinsNeedTheUsersYes) {
    simhost::DocumentBuilder doc;
    doc.AddStaves(3);
    doc.AddMeasures(12);
    ASSERT_TRUE(doc.Ok());
    Open();
    auto canExecute = [this](int task) {
        bool result = false;
        window->Call(task, [&result](FCPatternTaskBlockHandler* h) { result = h->CanExecute(); });
        return result;
    };
    struct Row {
        const char* what;
        int task;
        int firstSlot, lastSlot, firstMeasure, lastMeasure;  // 0: nothing selected
        int answer;                                          // 0: no question expected
        bool expected;
        const char* caption;
    };
    const Row rows[] = {
        {"copy, nothing selected", 1201, 0, 0, 0, 0, 0, false, nullptr},
        {"copy, one staff", 1201, 2, 2, 1, 12, IDOK, false, "Too Few Selected Staves"},
        {"copy, two staves", 1201, 2, 3, 1, 1, 0, true, nullptr},
        {"hairpins, nine measures", 1202, 1, 1, 2, 10, 0, true, nullptr},
        {"hairpins, ten measures, yes", 1202, 1, 3, 2, 11, IDYES, true, "Wide Selected Region"},
        {"hairpins, ten measures, no", 1202, 1, 3, 2, 11, IDNO, false, "Wide Selected Region"},
        {"swells, any selection", 1203, 0, 0, 0, 0, 0, true, nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const bool selected = row.firstSlot ? doc.Select(row.firstSlot, row.lastSlot, row.firstMeasure, row.lastMeasure)
                                            : doc.SelectNothing();
        ASSERT_TRUE(selected);
        const size_t boxes = driver.MessageBoxes().size();
        if (row.answer) driver.AnswerNextMessageBox(row.answer);
        EXPECT_EQ(row.expected, canExecute(row.task));
        const auto shown = driver.MessageBoxes();
        ASSERT_EQ(boxes + (row.caption ? 1 : 0), shown.size());
        if (row.caption) {
            EXPECT_EQ(row.caption, shown.back().caption);
        }
    }
    const auto shown = driver.MessageBoxes();
    EXPECT_EQ(
        "The selected area contains less than 2 staves. To copy dynamics, please select multiple staves. One of the "
        "selected staves will serve as the source staff.",
        shown[0].text);
    EXPECT_EQ("The selected region is very wide. Do you really want to create hairpins that span the full region?",
              shown[1].text);
    EXPECT_EQ(unsigned(MB_YESNO), shown[1].style & 0xF);
}
