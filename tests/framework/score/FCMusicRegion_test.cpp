#include "framework/entries/FCNoteEntry.h"
#include "framework/score/FCMusicRegion.h"
#include "simhost/Document.h"
#include "simhost/DocumentBuilder.h"
#include "simhost/SimHost.h"

#include <gtest/gtest.h>

#include <cstring>

using simhost::DocumentBuilder;
using simhost::Meter;

namespace {

FCMusicRegion Region(int startMeasure, int32_t startPos, int endMeasure, int32_t endPos, int startSlot = 1,
                     int endSlot = 1) {
    FCMusicRegion region;
    region.SetStartMeasure(startMeasure);
    region.SetStartMeasurePos(startPos);
    region.SetEndMeasure(endMeasure);
    region.SetEndMeasurePos(endPos);
    region.SetStartSlot(startSlot);
    region.SetEndSlot(endSlot);
    return region;
}

constexpr int32_t kEnd = FCMusicRegion::kEndOfMeasure;

}  // namespace

TEST(MusicRegion, IsEmptyFollowsMeasuresAndPositions) {
    struct Row {
        int startMeasure;
        int32_t startPos;
        int endMeasure;
        int32_t endPos;
        bool empty;
    } rows[] = {
        {0, 0, 0, 0, true},      // freshly made
        {0, 0, 0, 500, true},    // measures 0 even with differing positions
        {1, 0, 1, kEnd, false},  // a whole measure
        {1, 512, 1, 512, true},  // start equals end
        {1, 513, 1, 512, true},  // start after end
        {2, 0, 1, kEnd, true},   // start measure after end measure
        {1, 3000, 2, 0, false},  // across a barline
    };
    EXPECT_TRUE(FCMusicRegion().IsEmpty());
    for (const Row& row : rows) {
        FCMusicRegion region = Region(row.startMeasure, row.startPos, row.endMeasure, row.endPos);
        EXPECT_EQ(region.IsEmpty(), row.empty)
            << row.startMeasure << "/" << row.startPos << " - " << row.endMeasure << "/" << row.endPos;
    }
}

TEST(MusicRegion, PositionsAreIncludedUpToBothEdges) {
    FCMusicRegion region = Region(2, 512, 4, 1024, 2, 3);
    struct Row {
        int measure;
        int32_t pos;
        bool included;
    } rows[] = {{1, 4000, false}, {2, 511, false}, {2, 512, true},   {3, 0, true}, {3, 99999, true},
                {4, 0, true},     {4, 1024, true}, {4, 1025, false}, {5, 0, false}};
    for (const Row& row : rows)
        EXPECT_EQ(region.IsMeasurePosIncluded(row.measure, row.pos), row.included) << row.measure << "/" << row.pos;
    EXPECT_FALSE(region.IsMeasureIncluded(1));
    EXPECT_TRUE(region.IsMeasureIncluded(4));
    EXPECT_FALSE(region.IsEndMeasurePosMax());

    region.SetEndMeasurePos(kEnd);
    EXPECT_TRUE(region.IsEndMeasurePosMax());
    EXPECT_TRUE(region.IsMeasurePosIncluded(4, 1000000));

    for (int slot : {0, 1, 4}) EXPECT_FALSE(region.IsSlotIncluded(slot)) << slot;
    for (int slot : {2, 3}) EXPECT_TRUE(region.IsSlotIncluded(slot)) << slot;
    EXPECT_FALSE(Region(1, 0, 1, kEnd, 0, 0).IsSlotIncluded(0));  // slot 0 is never included
}

TEST(MusicRegion, StavesAreFoundThroughTheScoreOrderAfterReorderingAndRemoval) {
    DocumentBuilder doc;
    doc.AddStaves(4);  // staves 1-4
    doc.AddMeasures(2);
    ASSERT_TRUE(doc.SetScoreOrder({3, 1, 4, 2}));
    ASSERT_TRUE(doc.RemoveStaff(4));  // score order now 3, 1, 2
    ASSERT_TRUE(doc.Ok());

    FCMusicRegion region = Region(1, 0, 2, kEnd, 1, 2);
    EXPECT_EQ(region.CalcStartStaff(), 3);
    EXPECT_EQ(region.CalcEndStaff(), 1);
    struct Row {
        int staff;
        int slot;
        bool included;
    } rows[] = {{3, 1, true}, {1, 2, true}, {2, 3, false}, {4, 0, false}, {0, 0, false}, {99, 0, false}};
    for (const Row& row : rows) {
        EXPECT_EQ(region.CalcSlotNumber(row.staff), row.slot) << row.staff;
        EXPECT_EQ(region.IsStaffIncluded(row.staff), row.included) << row.staff;
    }
    EXPECT_EQ(region.CalcStaffNumber(3), 2);
    EXPECT_EQ(region.CalcStaffNumber(4), 0);  // past the end of the list

    region.SetEndStaff(2);
    EXPECT_EQ(region.GetEndSlot(), 3);
    region.SetStartStaff(1);
    EXPECT_EQ(region.GetStartSlot(), 2);
}

TEST(MusicRegion, ReadsTheSelectionAndTheWholeDocumentAndHandsTheSelectionBack) {
    DocumentBuilder doc;
    doc.AddStaves(3);
    doc.AddMeasures(5);
    ASSERT_TRUE(doc.Select(2, 3, 2, 4, 1024, 2047));

    FCMusicRegion selection;
    ASSERT_TRUE(selection.SetCurrentSelection());
    EXPECT_EQ(selection.GetDocumentID(), 1);
    EXPECT_EQ(selection.GetStartSlot(), 2);
    EXPECT_EQ(selection.GetEndSlot(), 3);
    EXPECT_EQ(selection.GetStartMeasure(), 2);
    EXPECT_EQ(selection.GetEndMeasure(), 4);
    EXPECT_EQ(selection.GetStartMeasurePos(), 1024);
    EXPECT_EQ(selection.GetEndMeasurePos(), 2047);

    FCMusicRegion whole;
    ASSERT_TRUE(whole.SetFullDocument());
    EXPECT_EQ(whole.GetStartSlot(), 1);
    EXPECT_EQ(whole.GetEndSlot(), 3);
    EXPECT_EQ(whole.GetStartMeasure(), 1);
    EXPECT_EQ(whole.GetEndMeasure(), 5);
    EXPECT_TRUE(whole.IsEndMeasurePosMax());

    // Narrow the whole document to the selected measures and make it the selection.
    whole.SetStartMeasure(selection.GetStartMeasure());
    whole.SetEndMeasure(selection.GetEndMeasure());
    ASSERT_TRUE(whole.SetAsSelection());
    FCMusicRegion now;
    now.SetCurrentSelection();
    EXPECT_TRUE(now.IsEqual(&whole));
    EXPECT_FALSE(now.IsEqual(&selection));

    // A region of this document is never applied to another one.
    const int16_t other = simhost::NewDocument();
    ASSERT_TRUE(simhost::SwitchToDocument(other));
    EXPECT_FALSE(selection.SetAsSelection());
    ASSERT_TRUE(simhost::SwitchToDocument(1));
    EXPECT_TRUE(selection.SetAsSelection());

    // A region that names measures the document lacks is refused by the host.
    FCMusicRegion beyond = selection;
    beyond.SetEndMeasure(6);
    EXPECT_FALSE(beyond.SetAsSelection());
}

TEST(MusicRegion, AFailedSelectionReadLeavesAnEmptyRegion) {
    DocumentBuilder doc;
    doc.AddStaves(1);
    doc.AddMeasures(2);
    ASSERT_TRUE(doc.Select(1, 1, 1, 2));
    FCMusicRegion region = Region(1, 0, 2, kEnd);
    simhost::SetFailing("FX_GetCurERegions");
    EXPECT_FALSE(region.SetCurrentSelection());
    EXPECT_TRUE(region.IsEmpty());
    EXPECT_TRUE(region.SetFullDocument());  // reports success always
    EXPECT_TRUE(region.IsEmpty());
}

TEST(MusicRegion, DurationsFollowEachMeasuresLength) {
    DocumentBuilder doc;
    doc.AddStaff();
    doc.AddMeasure(Meter::Simple(4, 1024));           // 4096
    doc.AddMeasure(Meter::Simple(4, 1024));           // 4096
    doc.AddMeasure(Meter::Simple(3, 1024));           // 3072
    doc.AddMeasure(Meter::Composite({{3, 2}}, 512));  // 2560
    ASSERT_TRUE(doc.Ok());
    struct Row {
        int startMeasure;
        int32_t startPos;
        int endMeasure;
        int32_t endPos;
        int32_t duration;
    } rows[] = {
        {1, 0, 1, kEnd, 4096}, {1, 512, 2, kEnd, 7680}, {1, 0, 1, 1023, 1024},
        {2, 4000, 3, 0, 97},   {3, 0, 4, kEnd, 5632},   {4, 2559, 4, kEnd, 1},
    };
    for (const Row& row : rows)
        EXPECT_EQ(Region(row.startMeasure, row.startPos, row.endMeasure, row.endPos).CalcDuration(), row.duration)
            << row.startMeasure << "/" << row.startPos << " - " << row.endMeasure << "/" << row.endPos;
}

TEST(MusicRegion, MovingStartOrEndKeepsTheOtherEndAndFailsUnchanged) {
    DocumentBuilder doc;
    doc.AddStaff();
    doc.AddMeasure(Meter::Simple(4, 1024));
    doc.AddMeasure(Meter::Simple(3, 1024));
    ASSERT_TRUE(doc.Ok());

    FCMusicRegion region = Region(1, 0, 1, kEnd);
    ASSERT_TRUE(region.MoveStartToDuration(1024));
    EXPECT_EQ(region.GetStartMeasure(), 1);
    EXPECT_EQ(region.GetStartMeasurePos(), 3072);

    // Back across the barline: the last 3584 EDUs before the end of measure 2.
    region = Region(1, 0, 2, kEnd);
    ASSERT_TRUE(region.MoveStartToDuration(3584));
    EXPECT_EQ(region.GetStartMeasure(), 1);
    EXPECT_EQ(region.GetStartMeasurePos(), 3584);
    EXPECT_EQ(region.CalcDuration(), 3584);

    // More than the music before the end: false and nothing changes.
    region = Region(1, 512, 2, 1024);
    uint8_t before[FCMusicRegion::kRegionDataSize], after[FCMusicRegion::kRegionDataSize];
    region.GetRegionData(before);
    EXPECT_FALSE(region.MoveStartToDuration(5121 + 4096));
    region.GetRegionData(after);
    EXPECT_EQ(std::memcmp(before, after, sizeof before), 0);
    EXPECT_FALSE(region.MoveStartToDuration(0));

    region = Region(1, 3072, 2, kEnd);
    ASSERT_TRUE(region.MoveEndToDuration(2048));
    EXPECT_EQ(region.GetEndMeasure(), 2);
    EXPECT_EQ(region.GetEndMeasurePos(), 1024);
    EXPECT_EQ(region.GetStartMeasurePos(), 3072);

    region = Region(2, 1024, 2, kEnd);
    EXPECT_FALSE(region.MoveEndToDuration(2049));  // measure 3 does not exist
    EXPECT_EQ(region.GetEndMeasure(), 2);
    EXPECT_TRUE(region.IsEndMeasurePosMax());
    EXPECT_FALSE(FCMusicRegion().MoveEndToDuration(10));  // empty region
}

TEST(MusicRegion, EntriesAreIncludedByMeasurePositionAndStaff) {
    DocumentBuilder doc;
    doc.AddStaves(3);
    doc.AddMeasures(3);
    ASSERT_TRUE(doc.SetScoreOrder({2, 3, 1}));
    FCMusicRegion region = Region(1, 1024, 2, 2048, 1, 2);  // staves 2 and 3

    uint8_t record[FCNoteEntry::kRecordSize] = {0};
    FCNoteEntry entry(record);
    struct Row {
        int measure, staff;
        int32_t pos;
        bool included;
    } rows[] = {{1, 2, 1024, true},  {1, 2, 1023, false}, {2, 3, 2048, true},
                {2, 3, 2049, false}, {2, 1, 0, false},    {3, 2, 0, false}};
    for (const Row& row : rows) {
        std::memcpy(record + 136, &row.pos, 4);
        entry.SetMeasureAndStaff(row.measure, row.staff);
        EXPECT_EQ(region.IsEntryIncluded(&entry), row.included) << row.measure << "/" << row.staff << "/" << row.pos;
    }
    EXPECT_FALSE(region.IsEntryIncluded(nullptr));
}
