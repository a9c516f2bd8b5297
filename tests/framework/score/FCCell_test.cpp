#include "framework/score/FCCell.h"
#include "framework/score/FCIndependentCellDetail.h"
#include "framework/score/FCKeySignature.h"
#include "framework/score/FCTimeSignature.h"
#include "simhost/Document.h"
#include "simhost/DocumentBuilder.h"
#include "simhost/SimHost.h"

#include <gtest/gtest.h>

using simhost::DocumentBuilder;
using simhost::Meter;

// The cell's own signatures count only when the staff has independent ones and the cell stores
// them; otherwise the measure's apply.
TEST(Cell, OwnTimeAndKeyApplyOnlyOnStavesWithIndependentSignatures) {
    DocumentBuilder doc;
    const std::vector<int> staves = doc.AddStaves(4);
    doc.AddMeasures(2, Meter::Simple(4, 1024), 2);
    ASSERT_TRUE(doc.SetStaffIndependence(1, true, true));
    ASSERT_TRUE(doc.SetCellMeter(1, 2, Meter::Simple(6, 512)));
    ASSERT_TRUE(doc.SetCellKey(1, 2, 5));
    ASSERT_TRUE(doc.SetCellMeter(2, 2, Meter::Simple(6, 512)));  // staff 2 is not independent
    ASSERT_TRUE(doc.SetStaffIndependence(3, false, true));
    ASSERT_TRUE(doc.SetCellKey(3, 2, 5));  // a key but no time in the cell
    ASSERT_TRUE(doc.SetStaffIndependence(4, true, false));
    ASSERT_TRUE(doc.SetCellMeter(4, 2, Meter::Composite({{2, 2, 3}}, 512)));
    ASSERT_TRUE(doc.SetCellKey(4, 2, 7));
    ASSERT_TRUE(doc.Ok());

    struct Row {
        int staff, measure;
        int beats, duration, key;
    } rows[] = {{1, 2, 6, 512, 5}, {1, 1, 4, 1024, 2}, {2, 2, 4, 1024, 2}, {3, 2, 4, 1024, 2}, {4, 2, 4, 1024, 7}};
    for (const Row& row : rows) {
        FCCell cell(row.measure, row.staff);
        FCTimeSignature* time = cell.GetTimeSignature();
        EXPECT_EQ(time->GetBeats(), row.beats) << row.staff << "/" << row.measure;
        EXPECT_EQ(time->GetBeatDuration(), row.duration) << row.staff << "/" << row.measure;
        EXPECT_EQ(cell.GetKeySignature()->GetKeyValue(), row.key) << row.staff << "/" << row.measure;
        EXPECT_EQ(cell.GetTimeSignature(), time);  // the cell keeps one object
    }
    // A composite cell meter carries its composite flag and its top.
    ASSERT_TRUE(doc.SetStaffIndependence(4, true, true));
    FCCell composite(2, 4);
    EXPECT_TRUE(composite.GetTimeSignature()->IsCompositeTop());
    EXPECT_EQ(composite.GetTimeSignature()->GetBeatCount(), 3);
    EXPECT_TRUE(composite.GetTimeSignature()->IsBeatStartPos(2048));
}

TEST(Cell, CellRecordsUseTheTagOfTheHostVersion) {
    for (uint32_t version : {0x11000000u, 0x1B000000u}) {
        simhost::Reset();
        hostapi::SetHostVersion(version);
        DocumentBuilder doc;
        doc.AddStaff();
        doc.AddMeasure();
        ASSERT_TRUE(doc.SetStaffIndependence(1, false, true));
        ASSERT_TRUE(doc.SetCellMeter(1, 1, Meter::Simple(5, 256)));
        const uint32_t tag = version >= 0x12000000 ? FXTag('S', 'D', 'F', 'L') : FXTag('D', '\x02', 'F', 'L');
        EXPECT_EQ(simhost::CurrentDocument().Records().Count(tag), 1) << std::hex << version;
        FCCell cell(1, 1);
        EXPECT_EQ(cell.GetTimeSignature()->GetBeats(), 5);
        EXPECT_EQ(hostapi::FX_GetMeasureDuration(1, 1, kFXInterfaceVersion), 1280);
    }
}

TEST(Cell, AMeasureThatCannotBeLoadedKeepsThePreviousValues) {
    DocumentBuilder doc;
    doc.AddStaff();
    doc.AddMeasure(Meter::Simple(3, 1024), 4);
    FCCell missing(9, 1);
    EXPECT_EQ(missing.GetTimeSignature()->GetBeats(), 0);  // never loaded: all zero
    EXPECT_EQ(missing.GetKeySignature()->GetKeyValue(), 0);
    FCCell cell(1, 1);
    EXPECT_EQ(cell.GetTimeSignature()->GetBeats(), 3);
    EXPECT_EQ(cell.GetKeySignature()->GetKeyValue(), 4);
    simhost::SetFailing("FX_LoadEData");
    EXPECT_EQ(cell.GetTimeSignature()->GetBeats(), 3);
    EXPECT_EQ(cell.GetKeySignature()->GetKeyValue(), 4);
}
