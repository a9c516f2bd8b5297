#include "framework/entries/FCNoteEntryLayer.h"
#include "framework/entries/FCNotePitches.h"
#include "simhost/Document.h"
#include "simhost/EntryFrames.h"
#include "simhost/SimHost.h"
#include "tests/framework/entries/ScoreFixture.h"

#include <memory>

namespace {

const char* const kThreeMeasures = R"(qzs 1
staff 1
staff 2
measure 1
s1: 2 C4 D4
measure 2
s1: 4 C4 {3:2 8 D4 E4 F4} 2 G4
measure 3
s1: 1 A4
)";

// Gives the entry a duration and a single pitch (the displacement of a C major scale step).
void Fill(FCNoteEntry* entry, int32_t duration, int displacement) {
    entry->SetDuration(duration);
    entry->MakeNote();
    entry->GetNoteAt(0)->SetDisplacement(displacement);
    entry->GetNoteAt(0)->SetNoteID(1);
    entry->GetNoteAt(0)->SetNoteFlags(0);
}

int SpanIndex(const uint8_t* frame, int span, int offset) {
    return fcdata::Read<int16_t>(fcframe::TupletAt(frame, span), offset);
}

}  // namespace

TEST(NoteEntryLayer, LoadChecksItsRangeAndLinksAcrossMeasures) {
    LoadScore(kThreeMeasures);
    struct Row {
        int layer, staff, first, last;
        bool loads;
        int entries;
    } rows[] = {{0, 1, 1, 3, true, 8},   {0, 1, 1, -1, true, 8}, {0, 1, 2, 99, true, 6}, {0, 1, 2, 2, true, 5},
                {0, 2, 1, 3, true, 0},   {0, 0, 1, 3, false, 0}, {0, 1, 0, 3, false, 0}, {0, 1, 3, 2, false, 0},
                {0, 1, 1, -2, false, 0}, {0, 7, 1, 3, false, 0}, {4, 1, 1, 3, false, 0}, {-1, 1, 1, 3, false, 0},
                {3, 1, 1, 3, true, 0}};
    for (const Row& row : rows) {
        FCNoteEntryLayer layer(row.layer, row.staff, row.first, row.last);
        EXPECT_EQ(layer.Load(), row.loads) << row.layer << "/" << row.staff << "/" << row.first << "/" << row.last;
        EXPECT_EQ(layer.GetCount(), row.entries)
            << row.layer << "/" << row.staff << "/" << row.first << "/" << row.last;
    }
    EXPECT_EQ(simhost::LiveFrameCount(), 0);

    FCNoteEntryLayer layer(0, 1, 1, -1);
    ASSERT_TRUE(layer.Load());
    EXPECT_EQ(layer.GetFrameCount(), 3);
    for (int i = 1; i < layer.GetCount(); ++i) {
        EXPECT_EQ(layer.GetItemAt(i)->Previous(), layer.GetItemAt(i - 1));
        EXPECT_EQ(layer.GetItemAt(i - 1)->Next(), layer.GetItemAt(i));
    }
    EXPECT_EQ(layer.GetItemAt(2)->GetMeasure(), 2);
    EXPECT_EQ(layer.GetItemAt(2)->PreviousInFrame(), nullptr);
    EXPECT_EQ(layer.GetItemAt(2)->Previous(), layer.GetItemAt(1));
}

TEST(NoteEntryLayer, HiddenLayersAndMissingFrames) {
    LoadScore(kThreeMeasures);
    simhost::CurrentDocument().SetLayerShown(0, false);
    FCNoteEntryLayer hidden(0, 1, 1, 3);
    ASSERT_TRUE(hidden.Load());
    EXPECT_EQ(hidden.GetCount(), 0);
    EXPECT_EQ(hidden.GetFrameCount(), 0);
    EXPECT_EQ(hidden.InsertEntriesAfter(nullptr, 1, false), nullptr);  // no frames to insert into

    FCNoteEntryLayer shown(0, 1, 1, 3);
    shown.SetSkipHidden(false);
    ASSERT_TRUE(shown.Load());
    EXPECT_EQ(shown.GetCount(), 8);

    // Without the load option a frame the host refuses is left out instead of failing.
    simhost::SetFailing("FX_LoadTGF");
    shown.SetLoadOption(0);
    EXPECT_TRUE(shown.Load());
    EXPECT_EQ(shown.GetCount(), 0);
    shown.SetLoadOption(1);
    EXPECT_FALSE(shown.Load());
}

TEST(NoteEntryLayer, InsertedEntriesAreLinkedAndLearnTheirNumbersOnSave) {
    LoadScore(kThreeMeasures);
    std::unique_ptr<FCNoteEntryLayer> layer(new FCNoteEntryLayer(0, 1, 1, 3));
    ASSERT_TRUE(layer->Load());
    FCNoteEntry* c4 = layer->GetItemAt(0);
    FCNoteEntry* d4 = layer->GetItemAt(1);
    FCNoteEntry* g4 = layer->GetItemAt(6);
    FCNoteEntry* added = layer->InsertEntriesAfter(c4, 2, false);
    ASSERT_NE(added, nullptr);
    ASSERT_EQ(layer->GetCount(), 10);
    EXPECT_EQ(layer->GetItemAt(1), added);
    EXPECT_EQ(c4->Next(), added);
    EXPECT_EQ(added->Previous(), c4);
    EXPECT_EQ(added->Next(), layer->GetItemAt(2));
    EXPECT_EQ(layer->GetItemAt(2)->Next(), d4);
    EXPECT_EQ(d4->Previous(), layer->GetItemAt(2));
    EXPECT_EQ(added->GetEntryNumber(), 0);
    EXPECT_EQ(d4->GetIndexInFrame(), 3);  // rebound to its moved record
    EXPECT_EQ(d4->GetEntryNumber(), 2);

    // Into the start of the next measure, after the last entry of measure 1.
    FCNoteEntry* start = layer->InsertEntriesAfter(d4, 1, true);
    ASSERT_NE(start, nullptr);
    EXPECT_EQ(start->GetMeasure(), 2);
    EXPECT_EQ(start->GetIndexInFrame(), 0);
    EXPECT_EQ(start->Previous(), d4);
    EXPECT_EQ(start->Next()->GetEntryNumber(), 3);

    Fill(added, 512, 1);
    Fill(layer->GetItemAt(2), 512, 2);
    d4->SetDuration(1024);
    Fill(start, 0, 0);  // measure 2 gets it but then drops it: duration 0
    ASSERT_TRUE(layer->Save());
    EXPECT_EQ(layer->GetCount(), 10);  // the dropped entry's object is gone
    EXPECT_EQ(added->GetEntryNumber(), 9);
    EXPECT_EQ(layer->GetItemAt(2)->GetEntryNumber(), 10);
    EXPECT_EQ(added->GetMeasurePos(), 2048);  // the reloaded record carries the host's position
    EXPECT_EQ(d4->GetMeasurePos(), 3072);
    EXPECT_EQ(d4->Next()->GetEntryNumber(), 3);  // old objects still valid, linked across
    EXPECT_EQ(g4->GetEntryNumber(), 7);
    EXPECT_EQ(g4->GetMeasurePos(), 2048);
    layer.reset();
    EXPECT_EQ(simhost::LiveFrameCount(), 0);
    EXPECT_EQ(simhost::WriteScoreText(), Score(R"(qzs 1
staff 1
staff 2
measure 1
s1: 2 C4 8 D4@9 E4 4 D4@2
measure 2
s1: 4 C4 {3:2 8 D4 E4 F4} 2 G4
measure 3
s1: 1 A4
)"));
}

TEST(NoteEntryLayer, InsertionsThatCannotBeMadeChangeNothing) {
    LoadScore(R"(qzs 1
staff 1
measure 1
s1: 2 C4 D4
measure 2
s1 locked: 1 E4
)");
    FCNoteEntryLayer layer(0, 1, 1, 2);
    ASSERT_TRUE(layer.Load());
    FCNoteEntryLayer other(0, 1, 1, 2);
    ASSERT_TRUE(other.Load());
    FCNoteEntry* c4 = layer.GetItemAt(0);
    FCNoteEntry* d4 = layer.GetItemAt(1);
    FCNoteEntry* e4 = layer.GetItemAt(2);
    struct Row {
        const char* what;
        FCNoteEntry* entry;
        int count;
        bool intoNext;
    } rows[] = {{"count 0", c4, 0, false},
                {"negative count", c4, -1, false},
                {"no entry in a layer with entries", nullptr, 1, false},
                {"an entry of another layer", other.GetItemAt(0), 1, false},
                {"into the next measure from inside the measure", c4, 1, true},
                {"into a measure past the end", e4, 1, true},
                {"into a locked frame", d4, 1, true},
                {"after an entry of a locked frame", e4, 1, false}};
    for (const Row& row : rows) {
        EXPECT_EQ(layer.InsertEntriesAfter(row.entry, row.count, row.intoNext), nullptr) << row.what;
        EXPECT_EQ(layer.GetCount(), 3) << row.what;
    }
    EXPECT_EQ(d4->Next(), e4);

    // An empty layer takes its first entries at the start of its first frame.
    LoadScore(R"(qzs 1
staff 1
measure 1
measure 2
)");
    FCNoteEntryLayer empty(0, 1, 1, 2);
    ASSERT_TRUE(empty.Load());
    FCNoteEntry* first = empty.InsertEntriesAfter(nullptr, 2, false);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->GetMeasure(), 1);
    EXPECT_EQ(first->Previous(), nullptr);
    Fill(first, 2048, 0);
    Fill(first->Next(), 2048, 4);
    ASSERT_TRUE(empty.Save());
    EXPECT_EQ(simhost::WriteScoreText(), Score(R"(qzs 1
staff 1
measure 1
s1: 2 C4 G4
measure 2
)"));
}

TEST(NoteEntryLayer, InsertionShiftsTheTupletSpansAtOrAfterIt) {
    LoadScore(kThreeMeasures);
    FCNoteEntryLayer layer(0, 1, 2, 2);
    ASSERT_TRUE(layer.Load());
    uint8_t* frame = layer.GetFrameForMeasure(2);
    ASSERT_EQ(fcframe::TupletCount(frame), 1);
    // Before the tuplet: the whole span moves.
    ASSERT_NE(layer.InsertEntriesAfter(layer.GetItemAt(0), 2, false), nullptr);
    EXPECT_EQ(SpanIndex(frame, 0, fcframe::kSpanFirst), 3);
    EXPECT_EQ(SpanIndex(frame, 0, fcframe::kSpanLast), 5);
    EXPECT_FALSE(layer.GetItemAt(1)->IsInTuplet());
    EXPECT_TRUE(layer.GetItemAt(3)->IsInTuplet());
    // Inside it (after E4, index 4): only the end moves, and the new entry lies inside.
    FCNoteEntry* inside = layer.InsertEntriesAfter(layer.GetItemAt(4), 1, false);
    ASSERT_NE(inside, nullptr);
    EXPECT_EQ(SpanIndex(frame, 0, fcframe::kSpanFirst), 3);
    EXPECT_EQ(SpanIndex(frame, 0, fcframe::kSpanLast), 6);
    EXPECT_TRUE(inside->IsInTuplet());
    // After it: nothing moves.
    ASSERT_NE(layer.InsertEntriesAfter(layer.GetLastItem(), 1, false), nullptr);
    EXPECT_EQ(SpanIndex(frame, 0, fcframe::kSpanLast), 6);
    EXPECT_FALSE(layer.GetLastItem()->IsInTuplet());
}

TEST(NoteEntryLayer, DeletesZeroDurationEntriesOnlyWhenAllHaveNumbers) {
    LoadScore(R"(qzs 1
staff 1
measure 1
s1: 8 C4 D4 E4 F4 G4 A4 B4 C5
measure 2
s1 locked: 1 D5
measure 3
s1: 2 E5 F5
)");
    FCNoteEntryLayer layer(0, 1, 1, 3);
    ASSERT_TRUE(layer.Load());
    ASSERT_EQ(layer.GetCount(), 11);
    for (int i : {1, 2, 5, 8, 10}) layer.GetItemAt(i)->SetDuration(0);
    FCNoteEntry* added = layer.InsertEntriesAfter(layer.GetItemAt(0), 1, false);
    ASSERT_NE(added, nullptr);
    EXPECT_FALSE(layer.DeleteZeroDurationEntries());  // the new entry has no number yet
    EXPECT_EQ(layer.GetCount(), 12);
    added->SetDuration(512);
    added->MakeNote();
    ASSERT_TRUE(layer.Save());
    // Measure 1's frame was loaded again (it held a new entry): its zero durations are gone.
    // Measure 3's was saved but not reloaded; measure 2's is locked and was not saved.
    ASSERT_EQ(layer.GetCount(), 9);
    EXPECT_EQ(layer.GetItemAt(6)->GetDuration(), 0);
    EXPECT_EQ(layer.GetItemAt(8)->GetDuration(), 0);
    ASSERT_TRUE(layer.DeleteZeroDurationEntries());
    EXPECT_EQ(layer.GetCount(), 8);
    EXPECT_EQ(simhost::WriteScoreText(), Score(R"(qzs 1
staff 1
measure 1
s1: 8 C4 C4:0!new@12 F4@4 G4 B4@7 C5
measure 2
s1 locked: 1 D5
measure 3
s1: 2 E5
)"));
}

TEST(NoteEntryLayer, ErasingRunsThroughTheFrames) {
    LoadScore(R"(qzs 1
staff 1
measure 1
s1: 8 C4 D4 E4 F4 G4 A4 B4 C5
measure 2
s1: 2 E5 F5
)");
    FCNoteEntryLayer layer(0, 1, 1, 2);
    ASSERT_TRUE(layer.Load());
    for (int i : {1, 2, 3, 6, 9}) layer.GetItemAt(i)->SetDuration(0);
    ASSERT_TRUE(layer.DeleteZeroDurationEntries());
    ASSERT_EQ(layer.GetCount(), 5);
    EXPECT_EQ(layer.GetItemAt(3)->Next(), layer.GetItemAt(4));
    EXPECT_EQ(layer.GetItemAt(4)->GetMeasure(), 2);
    EXPECT_EQ(simhost::WriteScoreText(), Score(R"(qzs 1
staff 1
measure 1
s1: 8 C4 G4@5 A4 C5@8
measure 2
s1: 2 E5
next-entry 11
)"));
}

TEST(NoteEntryLayer, SavingOneMeasureWritesOnlyItsFrame) {
    LoadScore(kThreeMeasures);
    std::unique_ptr<FCNoteEntryLayer> layer(new FCNoteEntryLayer(0, 1, 1, 3));
    ASSERT_TRUE(layer->Load());
    FCNoteEntry* c4 = layer->GetItemAt(0);
    FCNoteEntry* a4 = layer->GetItemAt(7);
    // Later in the layer first, then earlier: the list stays in the order of the links.
    FCNoteEntry* afterA4 = layer->InsertEntriesAfter(a4, 1, false);
    FCNoteEntry* afterC4 = layer->InsertEntriesAfter(c4, 2, false);
    ASSERT_NE(afterA4, nullptr);
    ASSERT_NE(afterC4, nullptr);
    ASSERT_EQ(layer->GetCount(), 11);
    FCNoteEntry* walked = layer->GetItemAt(0);
    for (int i = 0; i < layer->GetCount(); ++i, walked = walked->Next()) EXPECT_EQ(layer->GetItemAt(i), walked) << i;
    c4->SetDuration(1024);
    Fill(afterC4, 512, 1);
    Fill(afterC4->Next(), 512, 2);
    a4->SetDuration(2048);
    Fill(afterA4, 2048, 5);

    ASSERT_TRUE(layer->SaveMeasure(1));
    EXPECT_EQ(afterC4->GetEntryNumber(), 9);
    EXPECT_EQ(afterC4->Next()->GetEntryNumber(), 10);
    EXPECT_EQ(afterA4->GetEntryNumber(), 0) << "measure 3 is not saved";
    EXPECT_FALSE(layer->SaveMeasure(0));
    EXPECT_FALSE(layer->SaveMeasure(4));
    layer.reset();
    EXPECT_EQ(simhost::WriteScoreText(), Score(R"(qzs 1
staff 1
staff 2
measure 1
s1: 4 C4 8 D4@9 E4 2 D4@2
measure 2
s1: 4 C4 {3:2 8 D4 E4 F4} 2 G4
measure 3
s1: 1 A4
)"));
}
