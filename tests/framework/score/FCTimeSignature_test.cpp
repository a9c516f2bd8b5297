#include "framework/score/FCCompositeTimeSigBottom.h"
#include "framework/score/FCCompositeTimeSigTop.h"
#include "framework/score/FCMeasure.h"
#include "framework/score/FCTimeSignature.h"
#include "simhost/DocumentBuilder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

using simhost::DocumentBuilder;
using simhost::Meter;

namespace {

// The time signature of measure 1 of a document holding just that meter.
struct OneMeasure {
    explicit OneMeasure(const Meter& meter) {
        DocumentBuilder doc;
        doc.AddMeasure(meter);
        ok = doc.Ok() && measure.Load(1);
    }
    FCTimeSignature* Time() { return measure.GetTimeSignature(); }
    FCMeasure measure;
    bool ok = false;
};

struct BeatRow {
    int32_t pos;
    bool start;
    int index;
    int32_t before;
};

void CheckBeats(FCTimeSignature* time, const std::vector<BeatRow>& rows) {
    for (const BeatRow& row : rows) {
        EXPECT_EQ(time->IsBeatStartPos(row.pos), row.start) << row.pos;
        EXPECT_EQ(time->GetBeatIndexAt(row.pos), row.index) << row.pos;
        EXPECT_EQ(time->GetBeatStartBefore(row.pos), row.before) << row.pos;
    }
}

}  // namespace

TEST(TimeSignature, SimpleMeterBeatsAreMultiplesOfTheBeatDuration) {
    OneMeasure m(Meter::Simple(4, 1024));
    ASSERT_TRUE(m.ok);
    EXPECT_EQ(m.Time()->GetBeatCount(), 4);
    // At an exact beat start the simple rule gives the previous beat's start.
    CheckBeats(m.Time(), {{0, true, 0, 0},
                          {1, false, -1, 0},
                          {1024, true, 1, 0},
                          {1025, false, -1, 1024},
                          {2048, true, 2, 1024},
                          {2560, false, -1, 2048},
                          {3072, true, 3, 2048}});
    std::unique_ptr<FCCompositeTimeSigTop> top(m.Time()->GetCompositeTop());
    EXPECT_EQ(top->GetCount(), 0);  // not composite: an empty collection
}

TEST(TimeSignature, CompositeBeatsWalkTheGroupsOfTheTop) {
    OneMeasure m(Meter::Composite({{3, 2}}, 512));  // 3+2 eighths
    ASSERT_TRUE(m.ok);
    EXPECT_EQ(m.Time()->GetBeatCount(), 2);
    CheckBeats(m.Time(), {{0, true, 0, 0},
                          {512, false, -1, 0},
                          {1535, false, -1, 0},
                          {1536, true, 1, 1536},  // an element start gives itself
                          {2559, false, -1, 1536},
                          {2560, false, -1, 0}});  // past the end
    std::unique_ptr<FCCompositeTimeSigTop> top(m.Time()->GetCompositeTop());
    EXPECT_EQ(top->GetGroupCount(), 1);
    EXPECT_EQ(top->GetGroupElementCount(0), 2);
    EXPECT_EQ(top->GetGroupElementBeats(0, 1), 2);
    EXPECT_EQ(top->GetGroupElementBeats(0, 2), 0);
    EXPECT_EQ(top->GetGroupElementBeats(1, 0), 0);
}

TEST(TimeSignature, CompositeBottomGivesEachGroupItsBeatDuration) {
    // (2+1 eighths) + (2 quarters) + (1 eighth): 1536 + 2048 + 512.
    OneMeasure m(Meter::CompositePerGroup({{2, 1}, {2}, {1}}, {512, 1024, 512}));
    ASSERT_TRUE(m.ok);
    EXPECT_TRUE(m.Time()->IsCompositeBottom());
    EXPECT_EQ(m.Time()->GetBeatCount(), 4);
    CheckBeats(m.Time(), {{0, true, 0, 0},
                          {1024, true, 1, 1024},
                          {1536, true, 2, 1536},
                          {3583, false, -1, 1536},
                          {3584, true, 3, 3584},
                          {4095, false, -1, 3584},
                          {4096, false, -1, 0}});
    std::unique_ptr<FCCompositeTimeSigBottom> bottom(m.Time()->GetCompositeBottom());
    EXPECT_EQ(bottom->GetGroupCount(), 3);
    EXPECT_EQ(bottom->GetGroupBeatDuration(1), 1024);
    EXPECT_EQ(bottom->GetGroupBeatDuration(3), 0);
}

// Byte-level: element records with unused entries, as the host may store them.
TEST(CompositeTimeSigLayout, UnusedEntriesAreSkippedAsTheRecordsSay) {
    typedef __FCCompositeTimeSigTopElement Top;
    typedef __FCCompositeTimeSigBottomElement Bottom;
    // Top item 5: [3 (start), unused] [unused, 4 (start)] [2 (start), 1]
    Top top;
    top.SetEntry(0, 3, true);
    ASSERT_TRUE(top.SaveNew(5));
    top.ClearEntry(0);
    top.SetEntry(1, 4, true);
    ASSERT_TRUE(top.SaveNew(5));  // unused first entry: the whole element is unused
    top.SetEntry(0, 2, true);
    top.SetEntry(1, 1, false);
    ASSERT_TRUE(top.SaveNew(5));
    FCCompositeTimeSigTop tops;
    ASSERT_EQ(tops.LoadAllForItem(5), 3);
    EXPECT_EQ(tops.GetGroupCount(), 2);
    EXPECT_EQ(tops.GetGroupElementCount(0), 1);
    EXPECT_EQ(tops.GetGroupElementBeats(0, 0), 3);
    EXPECT_EQ(tops.GetGroupElementCount(1), 2);
    EXPECT_EQ(tops.GetGroupElementBeats(1, 1), 1);

    // Bottom item 2: [512 (start), unused, 1024 (start)] [768 (start), 256 (start), unused]
    Bottom bottom;
    bottom.SetEntry(0, 512, true);
    bottom.SetEntry(2, 1024, true);  // after an unused entry: ignored
    ASSERT_TRUE(bottom.SaveNew(2));
    bottom.SetEntry(0, 768, true);
    bottom.SetEntry(1, 256, true);
    bottom.ClearEntry(2);
    ASSERT_TRUE(bottom.SaveNew(2));
    FCCompositeTimeSigBottom bottoms;
    ASSERT_EQ(bottoms.LoadAllForItem(2), 2);
    EXPECT_EQ(bottoms.GetGroupCount(), 3);
    EXPECT_EQ(bottoms.GetGroupBeatDuration(0), 512);
    EXPECT_EQ(bottoms.GetGroupBeatDuration(1), 768);
    EXPECT_EQ(bottoms.GetGroupBeatDuration(2), 256);

    // The record bytes: three words per top entry, two per bottom entry.
    uint16_t topWords[6], bottomWords[6];
    std::memcpy(topWords, tops.GetItemAt(2)->GetDataPointer(), sizeof topWords);
    EXPECT_EQ(topWords[0], 2);
    EXPECT_EQ(topWords[2], 1);
    EXPECT_EQ(topWords[3], 1);
    EXPECT_EQ(topWords[5], 0);
    std::memcpy(bottomWords, bottoms.GetItemAt(1)->GetDataPointer(), sizeof bottomWords);
    EXPECT_EQ(bottomWords[2], 256);
    EXPECT_EQ(bottomWords[3], 1);
}
