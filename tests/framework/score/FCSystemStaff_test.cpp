#include "framework/score/FCStaffSystem.h"
#include "framework/score/FCSystemStaff.h"
#include "simhost/Document.h"
#include "simhost/DocumentBuilder.h"
#include "simhost/SimHost.h"

#include <gtest/gtest.h>

#include <cstring>

using simhost::DocumentBuilder;

namespace {

int SizeRecords() { return simhost::CurrentDocument().Records().Count(FCSystemStaff::kSizeTag); }

}  // namespace

TEST(Systems, SystemsHoldTheirMeasuresAndStavesWithSizes) {
    DocumentBuilder doc;
    doc.AddStaves(3);
    doc.AddMeasures(6);
    ASSERT_EQ(doc.AddSystem(1, 4, {1, 2, 3}, 0, {100, 75}), 1);
    ASSERT_EQ(doc.AddSystem(4, 7, {2, 3}), 2);
    EXPECT_EQ(SizeRecords(), 1);  // only the size that is not 100

    FCStaffSystems systems;
    ASSERT_EQ(systems.LoadAll(), 2);
    EXPECT_EQ(systems.GetItemAt(0)->GetFirstMeasure(), 1);
    EXPECT_EQ(systems.GetItemAt(0)->GetNextSystemMeasure(), 4);
    EXPECT_EQ(systems.GetItemAt(1)->GetFirstMeasure(), 4);

    FCSystemStaves staves;
    ASSERT_EQ(staves.LoadAllForItem(1), 3);
    EXPECT_EQ(staves.GetItemAt(0)->GetStaffSize(), 100);
    EXPECT_EQ(staves.GetItemAt(1)->GetStaffSize(), 75);  // clones keep the size
    ASSERT_TRUE(staves.FindStaff(3));
    EXPECT_EQ(staves.FindStaff(3)->GetItemInci(), 2);
    EXPECT_EQ(staves.FindStaff(4), nullptr);

    // Back to 100: the size record goes away.
    FCSystemStaff* second = staves.GetItemAt(1);
    second->SetStaffSize(100);
    ASSERT_TRUE(second->Save());
    EXPECT_EQ(SizeRecords(), 0);
}

TEST(Systems, SystemZeroIsTheStaffListAndNeverReadsASize) {
    DocumentBuilder doc;
    doc.AddStaves(2);
    // A stray size record for system 0 must not be taken.
    uint8_t size[10] = {50, 0};
    FXKey key = {{0, 1, 0, 0}};
    ASSERT_TRUE(hostapi::FX_SaveEData(FCSystemStaff::kSizeTag, &key, size, 10, 0x12050000));
    FCSystemStaff staff;
    ASSERT_TRUE(staff.Load(0, 0));
    EXPECT_EQ(staff.GetStaff(), 1);
    EXPECT_EQ(staff.GetStaffSize(), 100);
    staff.SetStaffSize(60);
    ASSERT_TRUE(staff.SaveNew(0));  // no size record is written for the staff list
    EXPECT_EQ(SizeRecords(), 1);
}

// Byte-level: system staff word 0, system measures at offsets 8 and 12, size record word 0.
TEST(SystemLayout, FieldsSitAtTheirOffsets) {
    DocumentBuilder doc;
    doc.AddStaves(2);
    doc.AddSystem(5, 9, {2}, 0, {80});
    const simhost::RecordStore& store = simhost::CurrentDocument().Records();
    const FXKey system = {{1, 0, 0, 0}}, staff = {{1, 0, 0, 0}}, size = {{1, 2, 0, 0}};
    const simhost::RecordStore::Bytes* systemBytes = store.Find(FCStaffSystem::kTag, system);
    const simhost::RecordStore::Bytes* staffBytes = store.Find(FCSystemStaff::kTag, staff);
    const simhost::RecordStore::Bytes* sizeBytes = store.Find(FCSystemStaff::kSizeTag, size);
    ASSERT_TRUE(systemBytes && staffBytes && sizeBytes);
    EXPECT_EQ(systemBytes->size(), 28u);
    EXPECT_EQ((*systemBytes)[8], 5);
    EXPECT_EQ((*systemBytes)[12], 9);
    EXPECT_EQ(staffBytes->size(), 24u);
    EXPECT_EQ((*staffBytes)[0], 2);
    EXPECT_EQ(sizeBytes->size(), 10u);
    EXPECT_EQ((*sizeBytes)[0], 80);
}
