#include "framework/entries/FCNoteEntry.h"
#include "framework/score/FCCell.h"
#include "framework/score/FCCurrentStaffSpec.h"
#include "framework/score/FCStaff.h"
#include "framework/score/FCStaffStyleAssign.h"
#include "framework/score/FCStaffStyleDef.h"
#include "simhost/Document.h"
#include "simhost/DocumentBuilder.h"
#include "simhost/SimHost.h"

#include <gtest/gtest.h>

#include <cstring>

using simhost::DocumentBuilder;

namespace {

const simhost::RecordStore::Bytes* Stored(uint32_t tag, uint16_t item) {
    const FXKey key = {{item, 0, 0, 0}};
    return simhost::CurrentDocument().Records().Find(tag, key);
}

uint16_t WordAt(const simhost::RecordStore::Bytes* bytes, int offset) {
    uint16_t value = 0;
    if (bytes && bytes->size() >= size_t(offset + 2)) std::memcpy(&value, bytes->data() + offset, 2);
    return value;
}

}  // namespace

// Byte-level: three layouts by host version, the flags at offsets 10 and 22 in all of them.
TEST(StaffLayout, ThreeLayoutsByHostVersionWithTheFlagsAtFixedOffsets) {
    struct Row {
        uint32_t hostVersion;
        uint32_t dataVersion;
        size_t staffSize, styleSize;
        bool hasNameFont, hasExtendedFlags;
    } rows[] = {
        {0x10FFFFFF, 0x0F000000, 114, 144, false, false},
        {0x11000000, 0x11000000, 132, 292, true, false},
        {0x12000000, 0x12000000, 136, 296, true, true},
        {0x1B000000, 0x12000000, 136, 296, true, true},
    };
    for (const Row& row : rows) {
        simhost::Reset();
        hostapi::SetHostVersion(row.hostVersion);
        SCOPED_TRACE(row.hostVersion);
        DocumentBuilder doc;
        ASSERT_EQ(doc.AddStaff(), 1);
        ASSERT_TRUE(doc.SetStaffNotationStyle(1, 2));
        ASSERT_TRUE(doc.SetStaffIndependence(1, true, false));
        const simhost::RecordStore::Bytes* bytes = Stored(FCStaff::kTag, 1);
        ASSERT_TRUE(bytes);
        EXPECT_EQ(bytes->size(), row.staffSize);
        EXPECT_EQ(WordAt(bytes, 10), 0x0200);
        EXPECT_EQ(WordAt(bytes, 22), 0x8000);

        FCStaff staff;
        ASSERT_TRUE(staff.Load(1));
        EXPECT_EQ(staff.GetDataVersion(), row.dataVersion);
        EXPECT_EQ(staff.GetNameFontField() != nullptr, row.hasNameFont);
        EXPECT_EQ(staff.GetExtendedFlagsField() != nullptr, row.hasExtendedFlags);
        FCStaffStyleDef style;
        EXPECT_EQ(style.GetDataSize(), row.styleSize);
        EXPECT_EQ(style.GetDataVersion(), row.dataVersion);
    }
}

TEST(Staff, NotationStyleAndIndependenceComeFromTheirFlags) {
    struct Row {
        uint16_t notationFlags;
        int style;
    } rows[] = {{0x0000, 0}, {0x2000, 1}, {0x0200, 2}, {0x2200, 1}, {0x0100, 0}};
    DocumentBuilder doc;
    doc.AddStaff();
    for (const Row& row : rows) {
        simhost::RecordStore::Bytes bytes = *Stored(FCStaff::kTag, 1);
        std::memcpy(bytes.data() + 10, &row.notationFlags, 2);
        const FXKey key = {{1, 0, 0, 0}};
        simhost::CurrentDocument().Records().Put(FCStaff::kTag, key, bytes.data(), uint32_t(bytes.size()));
        FCStaff staff;
        ASSERT_TRUE(staff.Load(1));
        EXPECT_EQ(staff.GetNotationStyle(), row.style) << row.notationFlags;
    }
}

TEST(Staff, CurrentStaffSettingsAreTheStaffRecordAndAFailedLoadReadsAsStandard) {
    DocumentBuilder doc;
    doc.AddStaves(2);
    doc.AddMeasures(2);
    ASSERT_TRUE(doc.SetStaffNotationStyle(2, 1));
    ASSERT_TRUE(doc.SetStaffIndependence(2, true, true));

    FCCurrentStaffSpec inEffect;
    FCCell cell(2, 2);
    ASSERT_TRUE(inEffect.LoadForCell(&cell));
    EXPECT_EQ(inEffect.GetNotationStyle(), 1);
    EXPECT_TRUE(inEffect.HasIndependentKeySig());
    EXPECT_TRUE(inEffect.HasIndependentTimeSig());
    EXPECT_FALSE(inEffect.Save());  // derived by the host, never written

    uint8_t record[FCNoteEntry::kRecordSize] = {0};
    const int32_t pos = 0x12345;
    std::memcpy(record + 136, &pos, 4);
    FCNoteEntry entry(record);
    entry.SetMeasureAndStaff(1, 2);
    ASSERT_TRUE(inEffect.LoadForEntry(&entry));
    EXPECT_EQ(inEffect.GetKeyWord(1), 1);
    EXPECT_EQ(inEffect.GetKeyWord(2), 0x2345);  // position, low word first
    EXPECT_EQ(inEffect.GetKeyWord(3), 0x0001);

    FCCell nowhere(1, 7);
    EXPECT_FALSE(inEffect.LoadForCell(&nowhere));
    EXPECT_FALSE(inEffect.IsLoaded());
    EXPECT_EQ(inEffect.GetNotationStyle(), 0);
    EXPECT_FALSE(inEffect.HasIndependentKeySig());
    EXPECT_FALSE(inEffect.HasIndependentTimeSig());
}

TEST(Staff, AllStavesLoadEvenWhenStaffOneWasRemoved) {
    DocumentBuilder doc;
    doc.AddStaves(3);
    ASSERT_TRUE(doc.RemoveStaff(1));
    FCStaves staves;
    ASSERT_EQ(staves.LoadAll(), 2);
    EXPECT_EQ(staves.GetItemAt(0)->GetItemNo(), 2);
    EXPECT_EQ(staves.GetItemAt(1)->GetItemNo(), 3);
    EXPECT_EQ(doc.AddStaff(), 4);  // staff numbers are never reused
}

// Byte-level: the staff style fields and the assignment layout.
TEST(StaffStyleLayout, DefinitionAndAssignmentFieldsSitAtTheirOffsets) {
    std::vector<uint8_t> zeros(FCStaffStyleDef::kStyleSize, 0);
    FXKey key = {{3, 0, 0, 0}};
    ASSERT_TRUE(
        hostapi::FX_SaveEData(FCStaffStyleDef::kTag, &key, zeros.data(), FCStaffStyleDef::kStyleSize, 0x12000000));
    FCStaffStyleDef style;
    ASSERT_TRUE(style.Load(3));
    style.SetAltNotationKind(5);
    style.SetAltNotationLayerField(2);
    style.SetExpressionsVisibleInLayer1(true);
    style.SetExpressionsVisibleInOtherLayers(true);
    ASSERT_TRUE(style.Save());
    const simhost::RecordStore::Bytes* bytes = Stored(FCStaffStyleDef::kTag, 3);
    EXPECT_EQ(WordAt(bytes, 4), 0x8025);
    EXPECT_EQ(WordAt(bytes, 72), 0x0004);
    FCStaffStyleDef again;
    ASSERT_TRUE(again.Load(3));
    EXPECT_EQ(again.GetAltNotationKind(), 5);
    EXPECT_EQ(again.GetAltNotationLayerField(), 2);

    FCStaffStyleAssign assign;
    assign.SetStyleNumber(3);
    assign.SetStartMeasure(2);
    assign.SetStartMeasurePos(512);
    assign.SetEndMeasure(4);
    assign.SetEndMeasurePos(0x12345);
    ASSERT_TRUE(assign.SaveNew(6));  // staff 6
    FCStaffStyleAssigns assigns;
    ASSERT_EQ(assigns.LoadAllForItem(6), 1);
    FCStaffStyleAssign* loaded = assigns.GetItemAt(0);
    EXPECT_EQ(loaded->GetStaff(), 6);
    EXPECT_EQ(loaded->GetMeasure(), 2);
    EXPECT_EQ(loaded->GetMeasurePos(), 512);
    EXPECT_EQ(loaded->GetEndMeasure(), 4);
    EXPECT_EQ(loaded->GetEndMeasurePos(), 0x12345);
    const FXKey assignKey = {{6, 0, 0, 0}};
    const simhost::RecordStore::Bytes* raw =
        simhost::CurrentDocument().Records().Find(FCStaffStyleAssign::kTag, assignKey);
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->size(), 24u);
    EXPECT_EQ(WordAt(raw, 0), 3);
    EXPECT_EQ(WordAt(raw, 12), 4);
    EXPECT_EQ(WordAt(raw, 14), 0x2345);
    EXPECT_EQ(WordAt(raw, 16), 0x0001);
    EXPECT_EQ(WordAt(raw, 18), 2);
    EXPECT_EQ(WordAt(raw, 20), 512);
}
