// Carbon Copy run through the task window's Apply: the choice of the source staff, the question
// when the source has no dynamics, which expressions count as dynamics, the music and layer
// options, and the undo entry that gives the document back.
#include "tests/tasks/dynamics/DynamicsApplyTest.h"

#include <string>

using tasktest::Slots;

namespace {

constexpr int kCarbonCopy = 1201;
const std::u16string kEditName = u"Carbon Copy";

class CarbonCopy : public tasktest::DynamicsApplyTest {};

const std::string kDefinitions =
    "category 1 \"Dynamics\"\n"
    "text-expression 1 \"^fontMus(Maestro)^size(24)^nfx(0)p\" category=1\n"
    "text-expression 2 \"^fontMus(Maestro)^size(24)^nfx(0)f\"\n"
    "text-expression 3 \"^fontTxt(Times New Roman)^size(12)^nfx(2)cresc.\"\n"
    "text-expression 4 \"^fontTxt(Times New Roman)^size(12)^nfx(2)dolce\"\n";

// Four staves of whole notes with dynamics on staves 2 (one), 3 (two) and 4 (one); staff 1 has
// only an expression that is no dynamic.
const std::string kFourStaves = "qzs 1\nstaff 1\nstaff 2\nstaff 3\nstaff 4\n" + kDefinitions + "measure 1\n";
const std::string kWholeNotes = "s1: 1 C4\ns2: 1 C4\ns3: 1 C4\ns4: 1 C4\n";
const std::string kOwnDynamics =
    "s2 expression 1\ns3 expression 2\ns3 expression 3 at=2048\ns4 expression 1 at=1024\ns1 expression 4 at=512\n";

}  // namespace

TEST_F(CarbonCopy, EachSourceChoiceCopiesItsStaffsDynamicsOverTheOthers) {
    struct Row {
        int source;
        int answer;  // to the question when the source has no dynamics
        const char* expressions;
    };
    const Row rows[] = {
        // The staff with the most dynamics: staff 3.
        {0, 0,
         "s3 expression 2\ns3 expression 3 at=2048\ns1 expression 4 at=512\ns1 expression 2\ns2 expression 2\n"
         "s4 expression 2\ns1 expression 3 at=2048\ns2 expression 3 at=2048\ns4 expression 3 at=2048\n"},
        // The top staff has none: after Yes the others lose theirs.
        {1, IDYES, "s1 expression 4 at=512\n"},
        // The bottom staff.
        {2, 0,
         "s4 expression 1 at=1024\ns1 expression 4 at=512\ns1 expression 1 at=1024\ns2 expression 1 at=1024\n"
         "s3 expression 1 at=1024\n"},
        // The first staff with dynamics: staff 2.
        {3, 0, "s2 expression 1\ns1 expression 4 at=512\ns1 expression 1\ns3 expression 1\ns4 expression 1\n"},
        // The last staff with dynamics: staff 4.
        {4, 0,
         "s4 expression 1 at=1024\ns1 expression 4 at=512\ns1 expression 1 at=1024\ns2 expression 1 at=1024\n"
         "s3 expression 1 at=1024\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("source " + std::to_string(row.source));
        Load(kFourStaves + kOwnDynamics + kWholeNotes, Slots(1, 4, 1, 1));
        EXPECT_TRUE(Run(kCarbonCopy, row.source, nullptr, row.answer));
        EXPECT_EQ(Expected(kFourStaves + row.expressions + kWholeNotes), Music());
        ExpectOneUndoableEdit(kEditName);
    }
    EXPECT_EQ("No Source Dynamics", Captions());
}

TEST_F(CarbonCopy, NoToTheQuestionOrNoSourceChangesNothing) {
    struct Row {
        const char* what;
        int source;
        const char* expressions;
        const char* captions;
    };
    const Row rows[] = {
        {"top staff without dynamics, No", 1, kOwnDynamics.c_str(), "No Source Dynamics"},
        {"no staff with dynamics", 0, "s1 expression 4 at=512\n", ""},
        {"no first staff with dynamics", 3, "s1 expression 4 at=512\n", ""},
        {"no last staff with dynamics", 4, "s1 expression 4 at=512\n", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const size_t boxes = driver.MessageBoxes().size();
        Load(kFourStaves + row.expressions + kWholeNotes, Slots(1, 4, 1, 1));
        EXPECT_FALSE(Run(kCarbonCopy, row.source, nullptr, *row.captions ? IDNO : 0));
        ExpectNothingChanged();
        const auto shown = driver.MessageBoxes();
        ASSERT_EQ(boxes + (*row.captions ? 1 : 0), shown.size());
        if (*row.captions) {
            EXPECT_EQ(row.captions, shown.back().caption);
            EXPECT_EQ(
                "The source staff doesn't have any dynamics in the selected region. Do you really want to erase the "
                "dynamics of all the destination staves?",
                shown.back().text);
        }
    }
}

TEST_F(CarbonCopy, ExpressionsAreDynamicsByCategoryGlyphOrWord) {
    // Definitions 1 (category), 2 (glyph f), 3 (cresc.), 5 (shape in the category), 7 (più cresc)
    // are dynamics; 4 (dolce), 6 (shape in another category), 8 (a glyph that is none) and 9
    // (missing) are not.
    const std::string head = "qzs 1\nstaff 1\nstaff 2\n" + kDefinitions +
                             "text-expression 7 \"più cresc\"\ntext-expression 8 \"^fontMus(Maestro)q\"\n"
                             "shape-expression 5 category=1\nshape-expression 6 category=2\nmeasure 1\n";
    const std::string notes = "s1: 1 C4\ns2: 1 C4\n";
    Load(head +
             "s2 expression 4\ns2 expression 6 shape\ns2 expression 9\ns2 expression 2\n"
             "s1 expression 1\ns1 expression 2 at=256\ns1 expression 3 at=512\ns1 expression 4 at=768\n"
             "s1 expression 5 shape at=1024\ns1 expression 6 shape at=1280\ns1 expression 7 at=1536\n"
             "s1 expression 8 at=1792\ns1 expression 9 at=2048\n" +
             notes,
         Slots(1, 2, 1, 1));
    EXPECT_TRUE(Run(kCarbonCopy, 1));
    EXPECT_EQ(Expected(head +
                       "s2 expression 4\ns2 expression 6 shape\ns2 expression 9\n"
                       "s1 expression 1\ns1 expression 2 at=256\ns1 expression 3 at=512\ns1 expression 4 at=768\n"
                       "s1 expression 5 shape at=1024\ns1 expression 6 shape at=1280\ns1 expression 7 at=1536\n"
                       "s1 expression 8 at=1792\ns1 expression 9 at=2048\n"
                       "s2 expression 1\ns2 expression 2 at=256\ns2 expression 3 at=512\n"
                       "s2 expression 5 shape at=1024\ns2 expression 7 at=1536\n" +
                       notes),
              Music());
    ExpectOneUndoableEdit(kEditName);
}

TEST_F(CarbonCopy, MusicAndLayerOptionsDecideWhereAndInWhichLayerCopiesGo) {
    // The dynamic at 1024 is assigned to layer 2; staff 2 has a layer-1 note from 1024 to 2048,
    // staff 3 only a rest.
    const std::string head = "qzs 1\nstaff 1\nstaff 2\nstaff 3\n" + kDefinitions + "measure 1\n";
    const std::string source = "s1 expression 1 at=1024 layer=2 hide-parts\n";
    const std::string notes = "s1: 1 C4\ns2: 4 r C4 2 r\ns3: 1 r\n";
    struct Row {
        bool music, layerAssign;
        const char* copies;
    };
    const Row rows[] = {
        {true, true, "s2 expression 1 at=1024 layer=1 hide-parts\n"},
        {true, false, "s2 expression 1 at=1024 layer=2 hide-parts\n"},
        // Staff 3 has no note: the copy keeps the layer the copy before it was given.
        {false, true, "s2 expression 1 at=1024 layer=1 hide-parts\ns3 expression 1 at=1024 layer=1 hide-parts\n"},
        {false, false, "s2 expression 1 at=1024 layer=2 hide-parts\ns3 expression 1 at=1024 layer=2 hide-parts\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.music ? "music" : "anywhere") + (row.layerAssign ? ", layers" : ""));
        Load(head + source + notes, Slots(1, 3, 1, 1));
        EXPECT_TRUE(Run(kCarbonCopy, 1, [&row](PatternSettings& settings) {
            settings.QZPT_DYNAMICS_CARBONCOPY_MUSIC = row.music;
            settings.QZPT_DYNAMICS_CARBONCOPY_LAYERASSIGN = row.layerAssign;
        }));
        EXPECT_EQ(Expected(head + source + row.copies + notes), Music());
        ExpectOneUndoableEdit(kEditName);
    }
}

TEST_F(CarbonCopy, OnlyDynamicsInsideTheRegionAreCopiedOrErased) {
    // The selection runs from measure 1 at 1024 to measure 2 at 2048, over staves 1 and 2 of 3.
    const std::string head = "qzs 1\nstaff 1\nstaff 2\nstaff 3\n" + kDefinitions;
    const std::string measure1 = "measure 1\n";
    const std::string notes = "s1: 1 C4\ns2: 1 C4\ns3: 1 C4\n";
    const std::string before1 =
        "s1 expression 2\ns1 expression 3 at=1024\ns2 expression 1 at=512\ns2 expression 1 at=3072\n"
        "s3 expression 1 at=2048\n";
    const std::string before2 =
        "measure 2\ns1 expression 2 at=2049\ns1 expression 3 at=2048\ns2 expression 2 at=4000\n";
    Load(head + measure1 + before1 + notes + before2 + notes, Slots(1, 2, 1, 2, 1024, 2048));
    EXPECT_TRUE(Run(kCarbonCopy, 1));
    EXPECT_EQ(Expected(head + measure1 +
                       "s1 expression 2\ns1 expression 3 at=1024\ns2 expression 1 at=512\ns3 expression 1 at=2048\n"
                       "s2 expression 3 at=1024\n" +
                       notes +
                       "measure 2\ns1 expression 2 at=2049\ns1 expression 3 at=2048\ns2 expression 2 at=4000\n"
                       "s2 expression 3 at=2048\n" +
                       notes),
              Music());
    ExpectOneUndoableEdit(kEditName);
}

TEST_F(CarbonCopy, OnEqualCountsTheUpperStaffIsTheSource) {
    const std::string head = "qzs 1\nstaff 1\nstaff 2\n" + kDefinitions + "measure 1\n";
    const std::string notes = "s1: 1 C4\ns2: 1 C4\n";
    Load(head +
             "s2 expression 2\ns2 expression 2 at=1024\ns2 expression 3 at=2048\n"
             "s1 expression 1\ns1 expression 1 at=1024\ns1 expression 3 at=3072\n" +
             notes,
         Slots(1, 2, 1, 1));
    EXPECT_TRUE(Run(kCarbonCopy, 0));
    EXPECT_EQ(Expected(head +
                       "s1 expression 1\ns1 expression 1 at=1024\ns1 expression 3 at=3072\n"
                       "s2 expression 1\ns2 expression 1 at=1024\ns2 expression 3 at=3072\n" +
                       notes),
              Music());
    ExpectOneUndoableEdit(kEditName);
}

TEST_F(CarbonCopy, HairpinsInsideTheRegionAreCopiedAndTheDestinationsOnesRemoved) {
    // The region is staves 1-3, measures 1-2; staff 3 starts with a rest. The source's third
    // hairpin ends outside the region: neither copied nor removed. Staff 2's hairpins go, even
    // the one ending outside the region.
    const std::string head = "qzs 1\nstaff 1\nstaff 2\nstaff 3\n";
    const std::string m1 = "measure 1\ns1: 4 C4 D4 E4 F4\ns2: 4 C3 D3 E3 F3\ns3: 4 r D3 E3 F3\n";
    const std::string source1 = "s1 cresc @0-@2048 y=-120\ns1 dim @2048-2@1024 y=24\n";
    const std::string m2 = "measure 2\ns1: 4 C4 D4 E4 F4\ns2: 4 C3 D3 E3 F3\ns3: 4 C3 D3 E3 F3\n";
    const std::string source2 = "s1 cresc @2048-3@1024 y=-120\n";
    const std::string m3 = "measure 3\ns1: 1 C4\ns2: 1 C3\ns3: 1 C3\n";
    struct Row {
        bool music, shrink;
        const char* staff3;  // the first hairpin's copy on staff 3
    };
    const Row rows[] = {
        {true, true, "s3 cresc @1024-@2048 y=-120\n"},
        {true, false, "s3 cresc @0-@2048 y=-120\n"},
        {false, true, "s3 cresc @0-@2048 y=-120\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.music ? "music" : "anywhere") + (row.shrink ? ", shrink" : ""));
        Load(head + m1 + source1 + "s2 dim @0-@1024 y=-120\n" + m2 + source2 + "s2 cresc @3072-3@2048 y=-120\n" + m3,
             Slots(1, 3, 1, 2));
        EXPECT_TRUE(Run(kCarbonCopy, 1, [&row](PatternSettings& settings) {
            settings.QZPT_DYNAMICS_CARBONCOPY_MUSIC = row.music;
            settings.QZPT_DYNAMICS_CARBONCOPY_SHRINKSMARTSHAPES = row.shrink;
        }));
        EXPECT_EQ(Expected(head + m1 + source1 + "s2 cresc @0-@2048 y=-120\ns2 dim @2048-2@1024 y=24\n" + row.staff3 +
                           "s3 dim @2048-2@1024 y=24\n" + m2 + source2 + m3),
                  Music());
        ExpectOneUndoableEdit(kEditName);
    }
}

TEST_F(CarbonCopy, HairpinsCountAsDynamicsWhenTheSourceIsChosen) {
    // Staff 2 has two hairpins and staff 1 one expression: staff 2 is the source.
    const std::string head = "qzs 1\nstaff 1\nstaff 2\n" + kDefinitions + "measure 1\n";
    const std::string notes = "s1: 1 C4\ns2: 1 C3\n";
    const std::string hairpins = "s2 cresc @0-@1024 y=-120\ns2 dim @2048-@3072 y=-120\n";
    Load(head + "s1 expression 1\n" + notes + hairpins, Slots(1, 2, 1, 1));
    EXPECT_TRUE(Run(kCarbonCopy, 0));
    EXPECT_EQ(Expected(head + notes + hairpins + "s1 cresc @0-@1024 y=-120\ns1 dim @2048-@3072 y=-120\n"), Music());
    ExpectOneUndoableEdit(kEditName);
}

TEST_F(CarbonCopy, MarksWithoutTheirShapeAreSkippedByEveryDynamicsTask) {
    // Measure 2 has a measure mark of shape 9, which does not exist.
    const std::string head = "qzs 1\nstaff 1\nstaff 2\n" + kDefinitions;
    const std::string music =
        "measure 1\ns1: 1 C4\ns2: 1 C3\ns1 cresc @0-@2048 y=-120\nmeasure 2\ns1: 1 C4\ns2: 1 C3\n";
    const std::string dangling = "raw otMx 2 0 0 0 = 090000000000000000000000\n";
    struct Row {
        int task, firstPopupRow;
        const char* added;  // under measure 1
    };
    const Row rows[] = {
        {kCarbonCopy, 1, "s2 cresc @0-@2048 y=-120\n"},
        {1202, 0, ""},
        {1203, 2, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.task);
        Load(head + music + dangling, Slots(1, 2, 1, 2));
        EXPECT_TRUE(Run(row.task, row.firstPopupRow, [](PatternSettings& settings) {
            settings.QZPT_DYNAMICS_HAIRPINS_PADDING = 0;
            settings.QZPT_DYNAMICS_SWELLS_PADDING = 0;
        }));
        // The mark is still there; the shapes are what each task makes.
        simhost::ScoreTextOptions complete;
        EXPECT_NE(std::string::npos, simhost::WriteScoreText(complete).find(dangling));
        if (row.task == kCarbonCopy) {
            EXPECT_EQ(Expected(head + "measure 1\ns1: 1 C4\ns2: 1 C3\ns1 cresc @0-@2048 y=-120\n" + row.added +
                               "measure 2\ns1: 1 C4\ns2: 1 C3\n"),
                      Music());
        }
        ExpectOneUndoableEdit(row.task == kCarbonCopy ? kEditName : row.task == 1202 ? u"Hairpins" : u"Hairpin Swells");
    }
}
