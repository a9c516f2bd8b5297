#include "framework/entries/FCNoteEntry.h"
#include "framework/entries/FCNoteEntryCell.h"
#include "framework/markings/FCSmartShape.h"
#include "framework/markings/FCSmartShapeEntryMark.h"
#include "framework/markings/FCSmartShapeMeasureMark.h"
#include "framework/score/FCMeasure.h"
#include "framework/score/FCMusicRegion.h"
#include "simhost/ScoreText.h"
#include "tests/framework/markings/MarkingsRecords.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

const char* const kHead = "qzs 1\nstaff 1\nstaff 2\n";

void Read(const std::string& body) {
    simhost::ScoreTextError error;
    ASSERT_TRUE(simhost::ReadScoreText(std::string(kHead) + body, &error)) << error.ToString();
}

std::string Written() {
    const std::string text = simhost::WriteScoreText();
    return text.substr(std::string(kHead).size());
}

bool MeasureFlagged(int measure) {
    FCMeasure record;
    return record.Load(uint16_t(measure)) && record.GetHasSmartShapes();
}

struct MarkView {
    int measure, shape, center;
};

std::vector<MarkView> MarksOf(int first, int last) {
    std::vector<MarkView> marks;
    for (int m = first; m <= last; ++m) {
        FCSmartShapeMeasureMarks list;
        list.LoadAllForItem(uint16_t(m));
        for (int i = 0; i < list.GetCount(); ++i)
            marks.push_back({m, list.GetItemAt(i)->GetShapeNumber(), list.GetItemAt(i)->GetCenterShapeNumber()});
    }
    return marks;
}

// A hairpin made by the framework, as the Hairpins tasks make them.
bool MakeHairpin(int type, int staff, int m1, int p1, int m2, int p2, int y = 0) {
    FCSmartShape shape;
    shape.SetShapeType(type);
    shape.ApplyMeasureAttachedPreset();
    shape.SetStaff(staff);
    shape.GetLeftSegment()->SetMeasure(m1);
    shape.GetLeftSegment()->SetMeasurePos(p1);
    shape.GetLeftSegment()->SetEndpointOffsetY(y);
    shape.GetRightSegment()->SetMeasure(m2);
    shape.GetRightSegment()->SetMeasurePos(p2);
    shape.GetRightSegment()->SetEndpointOffsetY(y);
    return shape.SaveNewEverything(nullptr, nullptr);
}

}  // namespace

// What the framework creates is exactly what the score text says: no raw lines are needed, and
// the marks, centre shapes and measure flags lie where they should.
TEST(SmartShapeSave, MeasureAttachedShapesGetMarksInEveryMeasureAndCentresBetween) {
    struct Case {
        int m1, p1, m2, p2;
        std::vector<MarkView> marks;
        int centers;
        const char* line;
    } cases[] = {
        {3, 0, 6, 2048, {{3, 1, 0}, {4, 1, 1}, {5, 1, 2}, {6, 1, 0}}, 2, "s1 cresc @0-6@2048 y=-60\n"},
        {2, 1024, 2, 3072, {{2, 1, 0}}, 0, "s1 cresc @1024-@3072 y=-60\n"},
        {2, 0, 3, 0, {{2, 1, 0}, {3, 1, 0}}, 0, "s1 cresc @0-3@0 y=-60\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        Read("measure 1-7\n");
        ASSERT_TRUE(MakeHairpin(FCSmartShape::kTypeCrescendo, 1, c.m1, c.p1, c.m2, c.p2, -60));
        const std::vector<MarkView> marks = MarksOf(1, 7);
        ASSERT_EQ(marks.size(), c.marks.size());
        for (size_t i = 0; i < marks.size(); ++i) {
            EXPECT_EQ(marks[i].measure, c.marks[i].measure);
            EXPECT_EQ(marks[i].shape, c.marks[i].shape);
            EXPECT_EQ(marks[i].center, c.marks[i].center);
        }
        EXPECT_EQ(markingstest::Count(FCCenterSmartShape::kTag), c.centers);
        for (int m = 1; m <= 7; ++m) EXPECT_EQ(MeasureFlagged(m), m >= c.m1 && m <= c.m2) << m;
        // The text names the shape under its first measure and needs nothing raw.
        const std::string written = Written();
        EXPECT_NE(written.find("measure " + std::to_string(c.m1) + "\n" + c.line), std::string::npos) << written;
        EXPECT_EQ(written.find("raw"), std::string::npos) << written;
    }
}

TEST(SmartShapeSave, EntryAttachedShapesMarkBothEntriesAndDeleteWithEverything) {
    Read("measure 1\ns1: 8 [C4 D4 E4 F4 [G4 A4 B4 C5\nmeasure 2\ns1: 1 C5\nmeasure 3\ns1: 1 D5\n");
    FCNoteEntryCell first(1, 1), last(3, 1);
    ASSERT_TRUE(first.Load() && last.Load());
    FCSmartShape slur;
    slur.ApplyEntryAttachedPreset();
    slur.SetCodeBits(2);
    slur.SetShapeType(FCSmartShape::CalcSlurType(true));
    slur.SetStaff(1);
    slur.GetLeftSegment()->SetMeasure(1);
    slur.GetRightSegment()->SetMeasure(3);
    ASSERT_TRUE(slur.SaveNewEverything(first.GetItemAt(4), last.GetItemAt(0)));
    ASSERT_TRUE(first.Save() && last.Save());
    EXPECT_EQ(slur.GetShapeNumber(), 1);
    EXPECT_EQ(Written(),
              "measure 1\ns1: 8 [C4 D4 E4 F4 [G4 A4 B4 C5\ns1 slur 5-3:1\nmeasure 2\ns1: 1 C5\n"
              "measure 3\ns1: 1 D5\n");
    FCSmartShapeEntryMarks marks;
    EXPECT_EQ(marks.LoadAllForEntryNumber(first.GetItemAt(4)->GetEntryNumber()), 1);
    EXPECT_EQ(marks.GetItemAt(0)->GetShapeNumber(), 1);

    // Loaded through a mark, with its centre shape, and deleted with everything.
    FCSmartShapeMeasureMarks region;
    ASSERT_EQ(region.LoadAllForMeasures(1, 3), 1);
    std::unique_ptr<FCSmartShape> loaded(region.GetItemAt(0)->CreateSmartShape(true));
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(loaded->IsEntryAttachedSlur());
    EXPECT_EQ(loaded->GetCenterShapes()->GetCount(), 1);
    ASSERT_TRUE(loaded->DeleteEverything());
    EXPECT_EQ(markingstest::Count(FCSmartShape::kTag), 0);
    EXPECT_EQ(markingstest::Count(FCSmartShapeMeasureMark::kTag), 0);
    EXPECT_EQ(markingstest::Count(FCSmartShapeEntryMark::kTag), 0);
    EXPECT_EQ(markingstest::Count(FCCenterSmartShape::kTag), 0);
    // The measures' flags and the entries' flags stay as they were.
    EXPECT_TRUE(MeasureFlagged(2));
}

TEST(SmartShapeSave, CentreNumbersAreNeverZeroEvenWhenTheHostKeepsTheKey) {
    for (bool reports : {true, false}) {
        SCOPED_TRACE(reports);
        Read("measure 1-5\n");
        simhost::SetCreateReportsKey(reports);
        ASSERT_TRUE(MakeHairpin(FCSmartShape::kTypeDecrescendo, 2, 1, 0, 4, 0));
        ASSERT_TRUE(MakeHairpin(FCSmartShape::kTypeCrescendo, 2, 2, 0, 5, 0));
        simhost::SetCreateReportsKey(true);
        for (const MarkView& mark : MarksOf(1, 5)) {
            const bool inside =
                mark.shape == 1 ? (mark.measure == 2 || mark.measure == 3) : (mark.measure == 3 || mark.measure == 4);
            EXPECT_EQ(mark.center != 0, inside) << mark.measure << " " << mark.shape;
        }
        EXPECT_EQ(Written().find("raw"), std::string::npos) << Written();
    }
}

TEST(SmartShapeSave, AFailedShapeRecordLeavesNothingBehind) {
    Read("measure 1-3\n");
    simhost::SetFailing("FX_CreateEData");
    EXPECT_FALSE(MakeHairpin(FCSmartShape::kTypeCrescendo, 1, 1, 0, 3, 0));
    simhost::SetFailing("FX_CreateEData", false);
    EXPECT_EQ(markingstest::Count(FCSmartShapeMeasureMark::kTag), 0);
    EXPECT_FALSE(MeasureFlagged(1));
    // Ends in measures that do not exist write nothing either.
    EXPECT_FALSE(MakeHairpin(FCSmartShape::kTypeCrescendo, 1, 3, 0, 2, 0));
    EXPECT_EQ(markingstest::Count(FCSmartShape::kTag), 0);
}

TEST(SmartShapePresets, FlagsByPresetCodeAndHostVersion) {
    struct Case {
        uint32_t version;
        bool entry;
        int code;
        uint32_t flags;
        uint16_t segmentFlags;
    } cases[] = {
        {0x1B000000, false, -1, 0x00008600, 0x4000}, {0x12000000, false, -1, 0x00008600, 0x4000},
        {0x11000000, false, -1, 0x00008600, 0x0000}, {0x1B000000, true, 2, 0x60008201, 0x0000},
        {0x1B000000, true, 0, 0x60008221, 0x0000},   {0x1B000000, true, 1, 0x60008211, 0x0000},
        {0x1B000000, true, 7, 0x60008201, 0x0000},
    };
    const uint32_t saved = hostapi::GetHostVersion();
    for (const Case& c : cases) {
        hostapi::SetHostVersion(c.version);
        FCSmartShape shape;
        EXPECT_EQ(shape.GetFlags(), 0x00000200u);
        // Bits the presets clear, set beforehand.
        shape.SetFlags(0x10000500);
        if (c.entry) {
            shape.ApplyEntryAttachedPreset();
            shape.SetCodeBits(c.code);
        } else {
            shape.ApplyMeasureAttachedPreset();
        }
        EXPECT_EQ(shape.GetFlags(), c.flags) << std::hex << c.version << " " << c.code;
        EXPECT_EQ(shape.GetLeftSegment()->GetFlags(), c.segmentFlags);
        EXPECT_EQ(shape.GetRightSegment()->GetFlags(), c.segmentFlags);
        EXPECT_EQ(shape.IsEntryAttached(), c.entry);
    }
    hostapi::SetHostVersion(0x18000000);
    EXPECT_EQ(FCSmartShape::CalcSlurType(false), 16);
    hostapi::SetHostVersion(0x19000000);
    EXPECT_EQ(FCSmartShape::CalcSlurType(false), 42);
    EXPECT_EQ(FCSmartShape::CalcSlurType(true), 15);
    hostapi::SetHostVersion(saved);
}

TEST(SmartShapePresets, SlurFamilyAndHairpinTypes) {
    for (int type = -2; type < 50; ++type) {
        FCSmartShape shape;
        shape.SetShapeType(type);
        const bool slur = type == 0 || type == 1 || type == 8 || type == 9 || type == 15 || type == 16 || type == 40 ||
                          type == 41 || type == 42;
        EXPECT_EQ(shape.IsSlurFamily(), slur) << type;
        EXPECT_EQ(shape.IsHairpin(), type == 2 || type == 3) << type;
    }
}

// The region search: one mark per shape in the order of its first mark, then the filters; a
// mark whose shape is missing yields no shape but survives the filters.
TEST(SmartShapeSearch, RegionListsEachShapeOnceInOrderAndFilters) {
    Read(
        "measure 1\ns1: 1 C4\ns2: 1 C3\ns2 dim @0-2@0\nmeasure 2\ns1: 1 D4\ns1 cresc @0-4@0\n"
        "measure 3\ns1: 1 E4\ns1 slur 1-4:1\nmeasure 4\ns1: 1 F4\n");
    markingstest::Bytes dangling(FCSmartShapeMeasureMark::kDataSize, 0);
    markingstest::SetWord(dangling, 0, 9);
    markingstest::Put(FCSmartShapeMeasureMark::kTag, 3, 2, dangling);
    enum Filter { kNone, kHairpins, kStaff1, kStaff2 };
    struct Case {
        int first, last;
        Filter filter;
        std::vector<int> shapes;
    } cases[] = {
        {1, 4, kNone, {1, 2, 3, 9}},  {2, 4, kNone, {1, 2, 3, 9}}, {3, 4, kNone, {2, 3, 9}}, {4, 4, kNone, {2, 3}},
        {1, 4, kHairpins, {1, 2, 9}}, {1, 4, kStaff1, {2, 3, 9}},  {1, 4, kStaff2, {1, 9}},  {1, 1, kStaff1, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.first) + "-" + std::to_string(c.last) + " filter " + std::to_string(c.filter));
        FCSmartShapeMeasureMarks marks;
        marks.LoadAllForMeasures(c.first, c.last);
        if (c.filter == kHairpins) marks.KeepHairpinsOnly();
        if (c.filter == kStaff1) marks.KeepStaffOnly(1);
        if (c.filter == kStaff2) marks.KeepStaffOnly(2);
        std::vector<int> shapes;
        for (int i = 0; i < marks.GetCount(); ++i) shapes.push_back(marks.GetItemAt(i)->GetShapeNumber());
        EXPECT_EQ(shapes, c.shapes);
    }
    FCSmartShapeMeasureMarks marks;
    FCMusicRegion region;
    ASSERT_TRUE(region.SetFullDocument());
    EXPECT_EQ(marks.LoadAllForRegion(&region), 4);
    EXPECT_EQ(std::unique_ptr<FCSmartShape>(marks.GetItemAt(3)->CreateSmartShape()), nullptr);
    std::unique_ptr<FCSmartShape> hairpin(marks.GetItemAt(1)->CreateSmartShape());
    ASSERT_TRUE(hairpin);
    EXPECT_TRUE(hairpin->IsHairpin());
    EXPECT_EQ(hairpin->GetCenterShapes()->GetCount(), 1);
    EXPECT_EQ(hairpin->GetRightSegment()->GetMeasure(), 4);
}
