// The stand-in host's record layouts against the plug-in's classes: every field is checked at its
// literal byte offset in the record the stand-in host stored, and read back (or written) through
// the framework's class. An offset wrong on either side fails here.
#include "framework/entries/FCNote.h"
#include "framework/entries/FCNoteEntry.h"
#include "framework/entries/FCNoteEntryCell.h"
#include "framework/score/FCCell.h"
#include "framework/score/FCGeneralPrefs.h"
#include "framework/score/FCIndependentCellDetail.h"
#include "framework/score/FCMeasure.h"
#include "framework/score/FCMiscDocPrefs.h"
#include "framework/score/FCMusicRegion.h"
#include "framework/score/FCStaff.h"
#include "framework/score/FCStaffSystem.h"
#include "framework/score/FCSystemStaff.h"
#include "framework/score/FCTimeSignature.h"
#include "simhost/Document.h"
#include "simhost/DocumentBuilder.h"
#include "simhost/SimHost.h"

#include <gtest/gtest.h>

#include <cstring>

using simhost::DocumentBuilder;
using simhost::Meter;

namespace {

const simhost::RecordStore::Bytes* Stored(uint32_t tag, uint16_t w0, uint16_t w1 = 0, uint16_t w2 = 0) {
    const FXKey key = {{w0, w1, w2, 0}};
    return simhost::CurrentDocument().Records().Find(tag, key);
}

template <typename T>
T At(const uint8_t* data, int offset) {
    T value;
    std::memcpy(&value, data + offset, sizeof value);
    return value;
}

template <typename T>
T At(const simhost::RecordStore::Bytes* record, int offset) {
    return record && record->size() >= offset + sizeof(T) ? At<T>(record->data(), offset) : T(0x5A5A);
}

// Both sides under one host version: the binding's and the stand-in host's.
void UseHostVersion(uint32_t version) {
    simhost::SetHostVersion(version);
    hostapi::SetHostVersion(version);
}

}  // namespace

TEST(ScoreLayouts, MeasureFieldsLieAtTheirOffsetsInBothLayouts) {
    struct Case {
        uint32_t hostVersion;
        size_t size;
        int key, beats, beatDuration, timeFlags, barline;
    } cases[] = {{0x1B000000, 30, 2, 8, 10, 12, 14}, {0x11000000, 26, 2, 4, 6, 8, 10}};
    for (const Case& c : cases) {
        simhost::Reset();
        UseHostVersion(c.hostVersion);
        DocumentBuilder doc;
        doc.AddStaves(1);
        doc.AddMeasure(Meter::Simple(3, 512), 0x0102);
        doc.AddMeasure(Meter::Composite({{2, 3}}, 1024));
        doc.SetBarline(1, 5);
        ASSERT_TRUE(doc.Ok()) << std::hex << c.hostVersion;
        const simhost::RecordStore::Bytes* record = Stored(FCMeasure::kTag, 1);
        ASSERT_TRUE(record && record->size() == c.size) << std::hex << c.hostVersion;
        EXPECT_EQ(At<uint16_t>(record, c.key), 0x0102);
        EXPECT_EQ(At<uint16_t>(record, c.beats), 3);
        EXPECT_EQ(At<uint16_t>(record, c.beatDuration), 512);
        EXPECT_EQ(At<uint16_t>(record, c.barline) & 0x00F0, 0x50);
        EXPECT_EQ(At<uint16_t>(Stored(FCMeasure::kTag, 2), c.timeFlags), 0x0080);  // composite beats

        FCMeasure measure;
        ASSERT_TRUE(measure.Load(1));
        EXPECT_EQ(measure.GetKeySignature()->GetKeyValue(), 0x0102);
        EXPECT_EQ(measure.GetTimeSignature()->GetBeats(), 3);
        EXPECT_EQ(measure.GetTimeSignature()->GetBeatDuration(), 512);
        EXPECT_EQ(measure.GetBarlineStyle(), 5);
        ASSERT_TRUE(measure.Load(2));
        EXPECT_TRUE(measure.GetTimeSignature()->IsCompositeTop());

        // The host's side reads what the framework's class writes.
        ASSERT_TRUE(measure.Load(1));
        measure.GetTimeSignature()->SetBeats(7);
        measure.GetTimeSignature()->SetBeatDuration(256);
        ASSERT_TRUE(measure.Save());
        EXPECT_EQ(hostapi::FX_GetMeasureDuration(1, 1, 0), 7 * 256);
    }
}

TEST(ScoreLayouts, StaffFlagsLieAtTheirOffsetsInEveryLayout) {
    const struct {
        uint32_t hostVersion;
        size_t size;
    } cases[] = {{0x1B000000, 136}, {0x11000000, 132}, {0x10000000, 114}};
    for (const auto& c : cases) {
        simhost::Reset();
        UseHostVersion(c.hostVersion);
        DocumentBuilder doc;
        const int staff = doc.AddStaff();
        doc.SetStaffNotationStyle(staff, 1);
        doc.SetStaffIndependence(staff, true, false);
        doc.SetStaffIgnoresKey(staff, true);
        ASSERT_TRUE(doc.Ok());
        const simhost::RecordStore::Bytes* record = Stored(FCStaff::kTag, uint16_t(staff));
        ASSERT_TRUE(record && record->size() == c.size) << std::hex << c.hostVersion;
        EXPECT_EQ(At<uint16_t>(record, 10), 0x2000);           // notation flags
        EXPECT_EQ(At<uint16_t>(record, 22), 0x8000 | 0x0001);  // own key, ignores keys

        FCStaff read;
        ASSERT_TRUE(read.Load(uint16_t(staff)));
        EXPECT_EQ(read.GetNotationStyle(), 1);
        EXPECT_TRUE(read.HasIndependentKeySig());
        EXPECT_FALSE(read.HasIndependentTimeSig());

        doc.SetStaffNotationStyle(staff, 2);
        doc.SetStaffIndependence(staff, false, true);
        EXPECT_EQ(At<uint16_t>(Stored(FCStaff::kTag, uint16_t(staff)), 10), 0x0200);
        EXPECT_EQ(At<uint16_t>(Stored(FCStaff::kTag, uint16_t(staff)), 22), 0x4000 | 0x0001);
    }
}

TEST(ScoreLayouts, IndependentCellsKeepKeyAndTimeAtTheirOffsetsUnderEitherTag) {
    const struct {
        uint32_t hostVersion;
        uint32_t tag;
    } cases[] = {{0x1B000000, FXTag('S', 'D', 'F', 'L')}, {0x11000000, FXTag('D', '\x02', 'F', 'L')}};
    for (const auto& c : cases) {
        simhost::Reset();
        UseHostVersion(c.hostVersion);
        DocumentBuilder doc;
        const int staff = doc.AddStaff();
        doc.AddMeasures(1);
        doc.SetStaffIndependence(staff, true, true);
        doc.SetCellKey(staff, 1, 0x0003);
        doc.SetCellMeter(staff, 1, Meter::Simple(5, 256));
        ASSERT_TRUE(doc.Ok());
        const simhost::RecordStore::Bytes* record = Stored(c.tag, uint16_t(staff), 1, 0);
        ASSERT_TRUE(record && record->size() == 20u) << std::hex << c.hostVersion;
        EXPECT_EQ(At<uint16_t>(record, 0), 0x0003);  // has key, has time
        EXPECT_EQ(At<uint16_t>(record, 2), 0x0003);
        EXPECT_EQ(At<uint16_t>(record, 4), 5);
        EXPECT_EQ(At<uint16_t>(record, 6), 256);
        EXPECT_EQ(At<uint16_t>(record, 8), 0);

        FCCell cell(1, staff);
        FCIndependentCellDetail detail;
        detail.ConnectToCell(&cell);
        ASSERT_TRUE(detail.LoadFirst());
        EXPECT_EQ(detail.GetKeySignatureValue(), 0x0003);
        FCTimeSignature time;
        ASSERT_TRUE(detail.CopyTimeSignatureTo(&time));
        EXPECT_EQ(time.GetBeats(), 5);
        EXPECT_EQ(time.GetBeatDuration(), 256);
        EXPECT_EQ(hostapi::FX_GetMeasureDuration(int16_t(staff), 1, 0), 5 * 256);
    }
}

TEST(ScoreLayouts, PreferenceFieldsLieAtTheirOffsets) {
    DocumentBuilder doc;
    doc.SetMeasurementUnit(4);
    doc.SetBeamFlags(0x0009);
    ASSERT_TRUE(doc.Ok());
    const simhost::RecordStore::Bytes* general = Stored(FXTag('p', 'f', 'g', 'p'), 1);
    ASSERT_TRUE(general && general->size() == 66u);
    EXPECT_EQ(At<int16_t>(general, 30), 4);
    EXPECT_EQ(At<uint16_t>(Stored(FXTag('o', 't', '4', '1'), 0xFFFE), 2), 0x0009);

    FCGeneralPrefs prefs;
    ASSERT_TRUE(prefs.Load(1));
    EXPECT_EQ(prefs.GetMeasurementUnit(), 4);
    FCMiscDocPrefs misc;
    ASSERT_TRUE(misc.Load(1));
    EXPECT_TRUE(misc.GetBeamOverRests());
    EXPECT_TRUE(misc.GetBeamFourEighthsInCommonTime());
}

TEST(ScoreLayouts, SystemsStaffListsAndStaffSizesLieAtTheirOffsets) {
    DocumentBuilder doc;
    doc.AddStaves(2);
    doc.AddMeasures(6);
    const int system = doc.AddSystem(3, 7, {2, 1}, 0, {100, 75});
    ASSERT_TRUE(doc.Ok());
    const simhost::RecordStore::Bytes* record = Stored(FCStaffSystem::kTag, uint16_t(system));
    ASSERT_TRUE(record && record->size() == 28u);
    EXPECT_EQ(At<int16_t>(record, 8), 3);
    EXPECT_EQ(At<int16_t>(record, 12), 7);
    EXPECT_EQ(At<int16_t>(Stored(FCSystemStaff::kTag, uint16_t(system), 0), 0), 2);
    EXPECT_EQ(At<int16_t>(Stored(FCSystemStaff::kTag, uint16_t(system), 1), 0), 1);
    EXPECT_EQ(Stored(FCSystemStaff::kSizeTag, uint16_t(system), 2), nullptr);  // full size: no record
    EXPECT_EQ(At<int16_t>(Stored(FCSystemStaff::kSizeTag, uint16_t(system), 1), 0), 75);

    FCStaffSystem read;
    ASSERT_TRUE(read.Load(uint16_t(system)));
    EXPECT_EQ(read.GetFirstMeasure(), 3);
    EXPECT_EQ(read.GetNextSystemMeasure(), 7);
    FCSystemStaff staff;
    ASSERT_TRUE(staff.Load(uint16_t(system), 1));
    EXPECT_EQ(staff.GetStaff(), 1);
    EXPECT_EQ(staff.GetStaffSize(), 75);
}

TEST(ScoreLayouts, TheSelectedRegionLiesAtItsOffsets) {
    DocumentBuilder doc;
    doc.AddStaves(3);
    doc.AddMeasures(4);
    ASSERT_TRUE(doc.Select(2, 3, 1, 4, 256, 768));
    const simhost::RegionData& selection = simhost::CurrentDocument().View().Selection();
    EXPECT_EQ(At<int16_t>(selection.data(), 0), 0);
    EXPECT_EQ(At<int16_t>(selection.data(), 2), 2);
    EXPECT_EQ(At<int16_t>(selection.data(), 4), 1);
    EXPECT_EQ(At<int32_t>(selection.data(), 6), 256);
    EXPECT_EQ(At<int16_t>(selection.data(), 10), 0);
    EXPECT_EQ(At<int16_t>(selection.data(), 12), 3);
    EXPECT_EQ(At<int16_t>(selection.data(), 14), 4);
    EXPECT_EQ(At<int32_t>(selection.data(), 16), 768);

    FCMusicRegion region;
    ASSERT_TRUE(region.SetCurrentSelection());
    EXPECT_EQ(region.GetStartSlot(), 2);
    EXPECT_EQ(region.GetEndSlot(), 3);
    EXPECT_EQ(region.GetEndMeasure(), 4);
    EXPECT_EQ(region.GetStartMeasurePos(), 256);
    EXPECT_EQ(region.GetEndMeasurePos(), 768);
}

TEST(ScoreLayouts, EntryAndNoteFieldsLieAtTheirOffsetsInTheFrame) {
    DocumentBuilder doc;
    const int staff = doc.AddStaff();
    doc.AddMeasures(1);
    simhost::StoredEntry chord;
    chord.duration = 512;
    chord.flags = FCNoteEntry::kFlagNote | FCNoteEntry::kFlagBeamStart;
    chord.flags2 = FCNoteEntry::kFlag2SmartShape;
    chord.notes = {simhost::StoredNote{-2, 1, 1, FCNote::kFlagTieStart}, simhost::StoredNote{3, -1, 2, 0}};
    simhost::StoredEntry grace;
    grace.duration = 256;
    grace.flags = FCNoteEntry::kFlagNote | FCNoteEntry::kFlagGrace;
    grace.notes = {simhost::StoredNote{5, 0, 1, 0}};
    std::vector<int32_t> numbers;
    ASSERT_TRUE(doc.SetLayer(staff, 1, 0, {grace, chord}, &numbers));

    FCNoteEntryCell cell(1, staff);
    ASSERT_TRUE(cell.Load());
    ASSERT_EQ(cell.GetCount(), 2);
    const uint8_t* frame = cell.GetFrame(0);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(At<int16_t>(frame, 2), 1);   // slot
    EXPECT_EQ(At<int16_t>(frame, 6), 1);   // measure
    EXPECT_EQ(At<int16_t>(frame, 18), 2);  // entry count
    FCNoteEntry* entry = cell.GetItemAt(1);
    const uint8_t* record = entry->GetRecord();
    EXPECT_EQ(At<int32_t>(record, 0), numbers[1]);
    EXPECT_EQ(At<int32_t>(record, 4), 512);
    EXPECT_EQ(At<uint32_t>(record, 8), 0x40000800u);
    EXPECT_EQ(At<uint16_t>(record, 12), 0x0020);
    EXPECT_EQ(At<int16_t>(record, 14), 2);
    EXPECT_EQ(At<int32_t>(record, 136), 0);  // the grace note takes no time
    EXPECT_EQ(At<int32_t>(record, 140), 512);
    EXPECT_EQ(entry->GetEntryNumber(), numbers[1]);
    EXPECT_TRUE(entry->GetBeamStart());
    EXPECT_TRUE(cell.GetItemAt(0)->IsGraceNote());
    EXPECT_EQ(entry->GetActualDuration(), 512);
    ASSERT_EQ(entry->GetNoteCount(), 2);
    const uint8_t* second = record + 16 + 10;
    EXPECT_EQ(At<int16_t>(second, 0), 3);
    EXPECT_EQ(At<int16_t>(second, 2), -1);
    EXPECT_EQ(At<int16_t>(second, 4), 2);
    EXPECT_EQ(entry->GetNoteAt(1)->GetDisplacement(), 3);
    EXPECT_EQ(entry->GetNoteAt(1)->GetRaiseLower(), -1);
    EXPECT_TRUE(entry->GetNoteAt(0)->IsTieStart());

    // Saved through the framework, the host reads its fields back from the same offsets.
    entry->GetNoteAt(1)->SetDisplacement(4);
    entry->SetDuration(1024);
    ASSERT_TRUE(cell.Save());
    const simhost::StoredEntry& stored = simhost::CurrentDocument().Entries().Get(simhost::FrameKey{staff, 1, 0})[1];
    EXPECT_EQ(stored.duration, 1024);
    EXPECT_EQ(stored.notes[1].displacement, 4);
    EXPECT_EQ(stored.flags, chord.flags);
}
