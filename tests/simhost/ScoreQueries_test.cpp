#include "framework/score/FCMusicRegion.h"
#include "simhost/Document.h"
#include "simhost/DocumentBuilder.h"
#include "simhost/SimHost.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using simhost::DocumentBuilder;
using simhost::Meter;

namespace {

constexpr int32_t kEnd = 0x7FFFFFFF;

struct RegionRow {
    int list, startSlot, endSlot, startMeasure, endMeasure;
    int32_t startPos, endPos;
    bool accepted;
};

std::vector<uint8_t> RegionBytes(const RegionRow& row) {
    FCMusicRegion region;
    region.SetStaffListNumber(row.list);
    region.SetStartSlot(row.startSlot);
    region.SetEndSlot(row.endSlot);
    region.SetStartMeasure(row.startMeasure);
    region.SetEndMeasure(row.endMeasure);
    region.SetStartMeasurePos(row.startPos);
    region.SetEndMeasurePos(row.endPos);
    std::vector<uint8_t> bytes(FCMusicRegion::kRegionDataSize);
    region.GetRegionData(bytes.data());
    return bytes;
}

std::vector<uint8_t> Selection() {
    const simhost::RegionData& data = simhost::CurrentDocument().View().Selection();
    return std::vector<uint8_t>(data.begin(), data.end());
}

int32_t Duration(int staff, int measure) { return hostapi::FX_GetMeasureDuration(int16_t(staff), int16_t(measure), 0); }

}  // namespace

TEST(StandInHostSelection, RegionsNamingMissingStavesOrMeasuresAreRefused) {
    DocumentBuilder doc;
    doc.AddStaves(3);
    doc.AddMeasures(4);
    doc.AddSystem(1, 5, {2, 3});  // staff list 1: two staves
    const RegionRow rows[] = {
        {0, 1, 3, 1, 4, 0, kEnd, true},   {0, 2, 2, 3, 3, 0, 1024, true},
        {1, 1, 2, 1, 1, 0, kEnd, true},    // the staff list of system 1
        {0, 0, 0, 0, 0, 0, 0, true},       // nothing selected
        {0, 1, 4, 1, 4, 0, kEnd, false},   // slot 4 does not exist
        {1, 1, 3, 1, 4, 0, kEnd, false},   // system 1 has two staves
        {2, 1, 1, 1, 1, 0, kEnd, false},   // no staff list 2
        {0, 0, 1, 1, 1, 0, kEnd, false},   // slot 0
        {0, 3, 2, 1, 1, 0, kEnd, false},   // start slot after end slot
        {0, 1, 1, 0, 1, 0, kEnd, false},   // measure 0
        {0, 1, 1, 1, 5, 0, kEnd, false},   // measure 5 does not exist
        {0, 1, 1, 3, 2, 0, kEnd, false},   // start measure after end measure
        {0, 1, 1, 2, 2, 600, 500, false},  // start position after end position
        {0, 1, 1, 2, 2, -1, 500, false},   // negative position
    };
    for (const RegionRow& row : rows) {
        ASSERT_TRUE(doc.Select(1, 1, 1, 1));
        const std::vector<uint8_t> before = Selection();
        const std::vector<uint8_t> bytes = RegionBytes(row);
        EXPECT_EQ(hostapi::FX_SetCurERegion(bytes.data(), 0) != 0, row.accepted)
            << row.list << " " << row.startSlot << "-" << row.endSlot << " " << row.startMeasure << "-"
            << row.endMeasure;
        EXPECT_EQ(Selection(), row.accepted ? bytes : before);
    }
    EXPECT_FALSE(hostapi::FX_SetCurERegion(nullptr, 0));
}

TEST(StandInHostSelection, TheWholeDocumentSpansThePartsStavesAndEveryMeasure) {
    DocumentBuilder doc;
    uint8_t first[20], second[20], third[20];
    ASSERT_TRUE(hostapi::FX_GetCurERegions(first, second, third, 0));
    FCMusicRegion whole(third);
    EXPECT_TRUE(whole.IsEmpty());  // no staves, no measures

    doc.AddStaves(4);
    doc.AddMeasures(7);
    doc.AddPart({2, 4});
    ASSERT_TRUE(doc.Select(2, 3, 2, 5, 512, kEnd));
    ASSERT_TRUE(hostapi::FX_GetCurERegions(first, second, third, 0));
    FCMusicRegion selection(second);
    EXPECT_EQ(selection.GetStartSlot(), 2);
    EXPECT_EQ(selection.GetStartMeasurePos(), 512);
    whole.SetRegionData(third);
    EXPECT_EQ(whole.GetEndSlot(), 4);
    EXPECT_EQ(whole.GetEndMeasure(), 7);
    EXPECT_TRUE(whole.IsEndMeasurePosMax());

    ASSERT_TRUE(hostapi::FX_SetCurrentPartID(1, 0));
    ASSERT_TRUE(hostapi::FX_GetCurERegions(nullptr, nullptr, third, 0));
    whole.SetRegionData(third);
    EXPECT_EQ(whole.GetEndSlot(), 2);  // the part's own staves
    EXPECT_EQ(hostapi::FX_SlotToInst(2, 0, 0), 4);
    EXPECT_EQ(hostapi::FX_InstToSlot(3, 0, 0), 0);  // not in this part
}

TEST(StandInHostSelection, SlotsFollowTheScoreOrderWhileStaffNumbersStay) {
    DocumentBuilder doc;
    doc.AddStaves(5);
    ASSERT_TRUE(doc.SetScoreOrder({5, 1, 4, 2, 3}));
    ASSERT_TRUE(doc.RemoveStaff(4));
    const int slotToStaff[] = {0, 5, 1, 2, 3, 0};  // slot 0 and slot 5 have no staff
    for (int slot = 0; slot < 6; ++slot) EXPECT_EQ(hostapi::FX_SlotToInst(int16_t(slot), 0, 0), slotToStaff[slot]);
    const int staffToSlot[] = {0, 2, 3, 4, 0, 1};  // staff 4 was removed
    for (int staff = 0; staff < 6; ++staff)
        EXPECT_EQ(hostapi::FX_InstToSlot(int16_t(staff), 0, 0), staffToSlot[staff]) << staff;
    EXPECT_EQ(hostapi::FX_SlotToInst(1, -1, 0), 0);
}

TEST(StandInHostMeasures, DurationsComeFromTheStoredMeasureAndCell) {
    for (uint32_t version : {0x11000000u, 0x1B000000u}) {  // both measure layouts
        simhost::Reset();
        hostapi::SetHostVersion(version);
        SCOPED_TRACE(version);
        DocumentBuilder doc;
        doc.AddStaves(2);
        doc.AddMeasure(Meter::Simple(4, 1024));
        doc.AddMeasure(Meter::Simple(3, 512));
        doc.AddMeasure(Meter::Composite({{3, 2}}, 512));
        doc.AddMeasure(Meter::CompositePerGroup({{2, 1}, {2}}, {512, 1024}));
        doc.AddMeasure(Meter::Simple(4, 1024));
        ASSERT_TRUE(doc.SetStaffIndependence(2, false, true));
        ASSERT_TRUE(doc.SetCellMeter(2, 5, Meter::Composite({{3, 3}}, 512)));
        ASSERT_TRUE(doc.SetCellMeter(1, 5, Meter::Simple(1, 1024)));  // staff 1 is not independent
        ASSERT_TRUE(doc.Ok());
        struct Row {
            int staff, measure;
            int32_t duration;
        } rows[] = {{1, 1, 4096}, {1, 2, 1536}, {1, 3, 2560}, {1, 4, 3584}, {1, 5, 4096}, {2, 5, 3072},
                    {2, 1, 4096}, {0, 2, 1536}, {1, 6, 0},    {1, 0, 0},    {1, -3, 0}};
        for (const Row& row : rows)
            EXPECT_EQ(Duration(row.staff, row.measure), row.duration) << row.staff << "/" << row.measure;
    }
}

TEST(StandInHostMeasures, ACompositeTopWithAMissingBottomGroupCountsNothingForIt) {
    DocumentBuilder doc;
    doc.AddStaff();
    doc.AddMeasure(Meter::CompositePerGroup({{2}, {3}}, {1024}));  // the bottom has one group only
    EXPECT_EQ(Duration(1, 1), 2048);
}

TEST(StandInHostSelection, SlotAnswersFollowTheScoreOrderThroughEditsAndUndo) {
    DocumentBuilder doc;
    doc.AddStaves(3);
    simhost::Document& document = simhost::CurrentDocument();
    const auto slots = [] {
        std::vector<int> staves;
        for (int16_t slot = 1; slot <= 3; ++slot) staves.push_back(hostapi::FX_SlotToInst(slot, 0, 0));
        return staves;
    };
    EXPECT_EQ(slots(), (std::vector<int>{1, 2, 3}));
    ASSERT_TRUE(document.StartEdit(u"Order"));
    ASSERT_TRUE(doc.SetScoreOrder({3, 1, 2}));
    EXPECT_EQ(slots(), (std::vector<int>{3, 1, 2}));
    EXPECT_EQ(hostapi::FX_InstToSlot(3, 0, 0), 1);
    ASSERT_TRUE(document.CancelEdit());
    EXPECT_EQ(slots(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(hostapi::FX_InstToSlot(3, 0, 0), 3);

    ASSERT_TRUE(document.StartEdit(u"Order"));
    ASSERT_TRUE(doc.SetScoreOrder({2, 3, 1}));
    ASSERT_TRUE(document.EndEdit());
    EXPECT_EQ(slots(), (std::vector<int>{2, 3, 1}));
    ASSERT_TRUE(document.Undo());
    EXPECT_EQ(slots(), (std::vector<int>{1, 2, 3}));
}
