#include "framework/core/FCIteratorHandler.h"
#include "framework/score/FCBrowserMeasures.h"
#include "framework/score/FCMeasure.h"
#include "simhost/Document.h"
#include "simhost/DocumentBuilder.h"
#include "simhost/SimHost.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

using simhost::DocumentBuilder;
using simhost::Meter;

namespace {

const simhost::RecordStore::Bytes& StoredMeasure(uint16_t measure) {
    static const simhost::RecordStore::Bytes none;
    const FXKey key = {{measure, 0, 0, 0}};
    const simhost::RecordStore::Bytes* bytes = simhost::CurrentDocument().Records().Find(FCMeasure::kTag, key);
    return bytes ? *bytes : none;
}

uint16_t WordAt(const simhost::RecordStore::Bytes& bytes, int offset) {
    uint16_t value = 0;
    if (bytes.size() >= size_t(offset + 2)) std::memcpy(&value, bytes.data() + offset, 2);
    return value;
}

}  // namespace

// Byte-level check of both measure layouts: the host version chooses the layout, every field
// sits at its offset, and a change through the cached time signature reaches the record.
TEST(MeasureLayout, BothLayoutsPlaceEveryFieldAtItsOffset) {
    struct Row {
        uint32_t hostVersion;
        size_t size;
        int key, beats, duration, timeFlags, barline, measureFlags;
    } rows[] = {
        {0x11FFFFFF, 26, 2, 4, 6, 8, 10, 16},
        {0x12000000, 30, 2, 8, 10, 12, 14, 20},
        {0x1B000000, 30, 2, 8, 10, 12, 14, 20},
    };
    for (const Row& row : rows) {
        simhost::Reset();
        hostapi::SetHostVersion(row.hostVersion);
        DocumentBuilder doc;
        doc.AddStaff();
        ASSERT_EQ(doc.AddMeasure(Meter::Simple(3, 1024), 0x0102), 1);
        ASSERT_TRUE(doc.SetBarline(1, 5));
        ASSERT_TRUE(doc.Ok());

        FCMeasure measure;
        ASSERT_TRUE(measure.Load(1));
        EXPECT_EQ(measure.GetDataVersion(), row.size == 30 ? 0x12000000u : 0x0A000000u);
        measure.SetHasChords(true);
        measure.SetHasSmartShapes(true);
        measure.SetHasExpressions(true);
        measure.GetTimeSignature()->SetBeats(6);
        measure.GetTimeSignature()->SetBeatDuration(512);
        ASSERT_TRUE(measure.Save());

        const simhost::RecordStore::Bytes& bytes = StoredMeasure(1);
        SCOPED_TRACE(row.hostVersion);
        ASSERT_EQ(bytes.size(), row.size);
        EXPECT_EQ(WordAt(bytes, row.key), 0x0102);
        EXPECT_EQ(WordAt(bytes, row.beats), 6);
        EXPECT_EQ(WordAt(bytes, row.duration), 512);
        EXPECT_EQ(WordAt(bytes, row.timeFlags), FCMeasure::kTimeHasSmartShapes);
        EXPECT_EQ(WordAt(bytes, row.barline), 0x0050 | FCMeasure::kBarlineHasExpressions);
        EXPECT_EQ(WordAt(bytes, row.measureFlags), FCMeasure::kMeasureHasChords);
    }
}

TEST(Measure, MeasureZeroIsRefusedAndAnUnloadedMeasureHasNoSignatures) {
    DocumentBuilder doc;
    doc.AddMeasures(2);
    FCMeasure measure;
    EXPECT_FALSE(measure.Load(0));
    EXPECT_FALSE(measure.IsLoaded());
    EXPECT_EQ(measure.GetTimeSignature(), nullptr);
    EXPECT_EQ(measure.GetKeySignature(), nullptr);
    EXPECT_FALSE(measure.Save());
    ASSERT_TRUE(measure.Load(2));
    EXPECT_FALSE(measure.Load(0));  // also after a measure was loaded
    EXPECT_FALSE(measure.IsLoaded());
    EXPECT_FALSE(measure.Load(3));
}

TEST(Measure, CachedSignaturesAreRebuiltOnEveryLoadAndReachTheHostOnlyOnSave) {
    DocumentBuilder doc;
    doc.AddMeasure(Meter::Simple(4, 1024), 3);
    doc.AddMeasure(Meter::Composite({{2, 3}}, 512), 7);
    ASSERT_TRUE(doc.Ok());

    FCMeasure measure;
    ASSERT_TRUE(measure.Load(1));
    FCTimeSignature* first = measure.GetTimeSignature();
    EXPECT_EQ(first, measure.GetTimeSignature());  // the same cached object
    first->SetBeats(2);
    EXPECT_EQ(measure.GetKeySignature()->GetKeyValue(), 3);

    ASSERT_TRUE(measure.LoadNext());  // measure 2: the caches follow the record
    EXPECT_EQ(measure.GetItemNo(), 2);
    EXPECT_TRUE(measure.GetTimeSignature()->IsCompositeTop());
    EXPECT_FALSE(measure.GetTimeSignature()->IsCompositeBottom());
    EXPECT_EQ(measure.GetTimeSignature()->GetBeatDuration(), 512);
    EXPECT_EQ(measure.GetKeySignature()->GetKeyValue(), 7);

    ASSERT_TRUE(measure.Load(1));  // the unsaved change is gone
    EXPECT_EQ(measure.GetTimeSignature()->GetBeats(), 4);
    measure.GetTimeSignature()->SetCompositeBottom(true);
    measure.GetKeySignature()->SetKeyValue(9);
    ASSERT_TRUE(measure.Save());
    FCMeasure again;
    ASSERT_TRUE(again.Load(1));
    EXPECT_TRUE(again.GetTimeSignature()->IsCompositeBottom());
    EXPECT_EQ(again.GetKeySignature()->GetKeyValue(), 9);

    std::unique_ptr<__FCBaseData> copy(again.Clone());
    EXPECT_EQ(static_cast<FCMeasure*>(copy.get())->GetKeySignature()->GetKeyValue(), 9);
}

TEST(Measure, BarlineStylesMapFromTheBarlineBits) {
    struct Row {
        int style;
        uint16_t bits;
    } rows[] = {{0, 0x00}, {1, 0x10}, {2, 0x20}, {3, 0x30}, {4, 0x40}, {5, 0x50}, {6, 0x60}, {7, 0xE0}};
    DocumentBuilder doc;
    doc.AddMeasure();
    FCMeasure measure;
    for (const Row& row : rows) {
        ASSERT_TRUE(doc.SetBarline(1, row.style));
        ASSERT_TRUE(measure.Load(1));
        EXPECT_EQ(measure.GetBarlineStyle(), row.style);
        EXPECT_EQ(WordAt(StoredMeasure(1), 14) & 0x00F0, row.bits) << row.style;
    }
    // Unknown bit patterns read as 0.
    for (uint16_t bits : {0x00F0, 0x0070, 0x00D0}) {
        simhost::RecordStore::Bytes bytes = StoredMeasure(1);
        std::memcpy(bytes.data() + 14, &bits, 2);
        FXKey key = {{1, 0, 0, 0}};
        simhost::CurrentDocument().Records().Put(FCMeasure::kTag, key, bytes.data(), uint32_t(bytes.size()));
        ASSERT_TRUE(measure.Load(1));
        EXPECT_EQ(measure.GetBarlineStyle(), 0) << bits;
    }
}

TEST(Measure, CollectionAndBrowserVisitEveryMeasureInOrder) {
    DocumentBuilder doc;
    doc.AddMeasure(Meter::Simple(4, 1024));
    doc.AddMeasure(Meter::Simple(3, 1024));
    doc.AddMeasure(Meter::Simple(6, 512));
    FCMeasures measures;
    ASSERT_EQ(measures.LoadAll(), 3);
    EXPECT_EQ(measures.GetItemAt(2)->GetTimeSignature()->GetBeats(), 6);

    struct Finder : FCIteratorHandler {
        int visits = 0;
        bool IsMatch(__FCBase* element) override {
            ++visits;
            return static_cast<FCMeasure*>(element)->GetTimeSignature()->GetBeats() == 3;
        }
    } finder;
    FCBrowserMeasures browser;
    std::unique_ptr<__FCBase> found(browser.FindFirst(&finder));
    ASSERT_TRUE(found);
    EXPECT_EQ(static_cast<FCMeasure*>(found.get())->GetItemNo(), 2);
    EXPECT_EQ(finder.visits, 2);
}
