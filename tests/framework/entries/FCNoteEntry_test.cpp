#include "framework/entries/FCNoteEntry.h"
#include "framework/entries/FCNoteEntryCell.h"
#include "framework/entries/FCNoteEntryLayer.h"
#include "framework/entries/FCNotePitches.h"
#include "framework/host/hostapi.h"
#include "simhost/SimHost.h"
#include "tests/framework/entries/ScoreFixture.h"

#include <cstring>
#include <memory>
#include <string>

namespace {

// Loads the cell with every layer.
std::unique_ptr<FCNoteEntryCell> Cell(int measure, int staff) {
    std::unique_ptr<FCNoteEntryCell> cell(new FCNoteEntryCell(measure, staff));
    cell->SetLayerMode(FCNoteEntryCell::kAllLayers);
    EXPECT_TRUE(cell->Load());
    return cell;
}

}  // namespace

TEST(NoteEntry, ReadsItsRecordAndItsFrame) {
    LoadScore(R"(qzs 1
staff 4
staff 2
measure 1
measure 2
s2: 4 C4 {3:2 8 [D4 r E4!artic} 2 <C4 E4 G4>
s2 L3: 8 gB4_ 1 r
)");
    auto cell = Cell(2, 2);
    ASSERT_EQ(cell->GetCount(), 7);
    struct Row {
        int32_t number, duration, actual, position;
        int layer;
        bool note, grace, beam, tuplet, artic;
        int notes;
    } rows[] = {{1, 1024, 1024, 0, 1, true, false, false, false, false, 1},
                {2, 512, 341, 1024, 1, true, false, true, true, false, 1},
                {3, 512, 341, 1365, 1, false, false, false, false, false, 0},
                {4, 512, 342, 1706, 1, true, false, false, false, true, 1},
                {5, 2048, 2048, 2048, 1, true, false, false, false, false, 3},
                {6, 512, 0, 0, 3, true, true, false, false, false, 1},
                {7, 4096, 4096, 0, 3, false, false, false, false, false, 0}};
    for (int i = 0; i < 7; ++i) {
        const FCNoteEntry* entry = cell->GetItemAt(i);
        const Row& row = rows[i];
        EXPECT_EQ(entry->GetEntryNumber(), row.number) << i;
        EXPECT_EQ(entry->GetDuration(), row.duration) << i;
        EXPECT_EQ(entry->GetActualDuration(), row.actual) << i;
        EXPECT_EQ(entry->GetMeasurePos(), row.position) << i;
        EXPECT_EQ(entry->GetMeasure(), 2) << i;
        EXPECT_EQ(entry->GetStaff(), 2) << i;  // slot 2 holds staff 2
        EXPECT_EQ(entry->GetLayerNumber(), row.layer) << i;
        EXPECT_EQ(entry->IsNote(), row.note) << i;
        EXPECT_EQ(entry->IsRest(), !row.note) << i;
        EXPECT_EQ(entry->IsGraceNote(), row.grace) << i;
        EXPECT_EQ(entry->GetBeamStart(), row.beam) << i;
        EXPECT_EQ(entry->HasTupletStart(), row.tuplet) << i;
        EXPECT_EQ(entry->HasArticulations(), row.artic) << i;
        EXPECT_EQ(entry->GetNoteCount(), row.notes) << i;
        EXPECT_EQ(entry->GetCount(), row.notes) << i;
        EXPECT_EQ(entry->GetIndexInFrame(), i < 5 ? i : i - 5) << i;
        EXPECT_EQ(entry->IsInTuplet(), i >= 1 && i <= 3) << i;
    }
    // Cells link the entries of each layer's frame only.
    EXPECT_EQ(cell->GetItemAt(0)->Previous(), nullptr);
    EXPECT_EQ(cell->GetItemAt(4)->Next(), nullptr);
    EXPECT_EQ(cell->GetItemAt(5)->Previous(), nullptr);
    EXPECT_EQ(cell->GetItemAt(5)->Next(), cell->GetItemAt(6));
    EXPECT_EQ(cell->GetItemAt(6)->PreviousInFrame(), cell->GetItemAt(5));
    EXPECT_EQ(cell->FindEntryNumber(4), cell->GetItemAt(3));
    EXPECT_EQ(cell->FindEntryNumber(40), nullptr);

    // An entry without a record reads as empty.
    FCNoteEntry none;
    EXPECT_EQ(none.GetEntryNumber(), 0);
    EXPECT_EQ(none.GetIndexInFrame(), -1);
    EXPECT_FALSE(none.IsInTuplet());
    EXPECT_EQ(none.AddNote(), nullptr);
}

TEST(NoteEntry, DotsOfNotatedDurations) {
    struct Row {
        int32_t duration;
        int dots;
    } rows[] = {{1024, 0}, {768, 1},  {1536, 1}, {1792, 2},  {3584, 2}, {7680, 3}, {192, 1},
                {0, 0},    {1537, 1}, {1280, 0}, {28672, 1}, {85, 0},   {96, 1}};
    for (const Row& row : rows) EXPECT_EQ(FCNoteEntry::CalcDotCount(row.duration), row.dots) << row.duration;
}

TEST(NoteEntry, TiesAcrossEntriesMeasuresAndLayers) {
    LoadScore(R"(qzs 1
staff 1
measure 1
s1: 2 C4 C4~
s1 L2: 1 G4~
measure 2
s1: 2 C4 <D4~ F4> 
s1 L2: 1 G4
measure 3
measure 4
s1: 4 D4 r<C4~> 2 r
)");
    FCNoteEntryLayer layer(0, 1, 1, 4);
    ASSERT_TRUE(layer.Load());
    ASSERT_EQ(layer.GetCount(), 7);
    // C4 C4~ | C4 <D4~ F4> | | D4 r r
    const bool tieStart[] = {false, true, false, true, false, false, false};
    const bool tiedFromPrevious[] = {false, false, true, false, false, false, false};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(layer.GetItemAt(i)->HasTieStart(), tieStart[i]) << i;
        EXPECT_EQ(layer.GetItemAt(i)->IsTiedFromPrevious(), tiedFromPrevious[i]) << i;
    }
    // D4 of measure 4 follows the tie two measures later; a rest is never tied.
    EXPECT_FALSE(layer.GetItemAt(4)->IsTiedFromPrevious());
    EXPECT_EQ(layer.GetItemAt(4)->Previous(), layer.GetItemAt(3));

    // In a cell the layers are not linked, so layer 2 is not tied from layer 1.
    auto cell = Cell(2, 1);
    ASSERT_EQ(cell->GetCount(), 3);
    EXPECT_FALSE(cell->GetItemAt(2)->IsTiedFromPrevious());
}

TEST(NoteEntry, PitchesCompareByMidiKeyAcrossKeys) {
    LoadScore(R"(qzs 1
staff 1
staff 2 ownkey keyless
measure 1
s1: 1 <F#4 G4 C5>
s2: 1 <F#4 G4>
measure 2 key=G
s1: 1 <F#4 D5 G4>
s2 cell key=D
s2: 1 <F#4 G4>
)");
    auto first = Cell(1, 1), second = Cell(2, 1);
    FCNoteEntry* c = first->GetItemAt(0);
    FCNoteEntry* g = second->GetItemAt(0);
    // F#4: C major displacement 3 +1, G major displacement -1 +0.
    EXPECT_EQ(c->GetNoteAt(0)->GetDisplacement(), 3);
    EXPECT_EQ(c->GetNoteAt(0)->GetRaiseLower(), 1);
    EXPECT_EQ(g->GetNoteAt(0)->GetDisplacement(), -1);
    EXPECT_EQ(g->GetNoteAt(0)->GetRaiseLower(), 0);
    struct Row {
        FCNote* a;
        FCNote* b;
        bool same;
    } rows[] = {{c->GetNoteAt(0), g->GetNoteAt(0), true},  {c->GetNoteAt(1), g->GetNoteAt(2), true},
                {c->GetNoteAt(1), g->GetNoteAt(1), false}, {c->GetNoteAt(2), g->GetNoteAt(1), false},
                {c->GetNoteAt(0), c->GetNoteAt(0), true},  {c->GetNoteAt(0), nullptr, false}};
    for (const Row& row : rows) EXPECT_EQ(row.a->IsSamePitch(row.b), row.same);
    EXPECT_EQ(c->FindSamePitch(g->GetNoteAt(2)), c->GetNoteAt(1));
    EXPECT_EQ(c->GetNoteAt(0)->GetMidiKey(), 66);
    EXPECT_EQ(g->GetNoteAt(1)->GetMidiKey(), 74);

    // Detached pitches compare by displacement and raise/lower only: G major's F# (-1, 0) is not
    // C major's F# (3, +1).
    std::unique_ptr<FCNotePitches> pitches(g->CreatePitches());
    EXPECT_FALSE(pitches->GetItemAt(0)->IsSamePitch(c->GetNoteAt(0)));
    EXPECT_TRUE(pitches->GetItemAt(0)->IsSamePitch(g->GetNoteAt(0)));
    EXPECT_EQ(pitches->GetItemAt(0)->GetEntry(), nullptr);

    // A staff that ignores keys spells and plays every note in C, also in its own key D.
    auto keyless = Cell(2, 2);
    EXPECT_EQ(keyless->GetItemAt(0)->GetNoteAt(0)->GetDisplacement(), 3);
    EXPECT_EQ(keyless->GetItemAt(0)->GetNoteAt(0)->GetMidiKey(), 66);
    EXPECT_EQ(keyless->GetItemAt(0)->GetNoteAt(1)->GetMidiKey(), 67);
}

TEST(NoteEntry, AddedNotesTakeTheLowestFreeIDUpToTwelve) {
    LoadScore(R"(qzs 1
staff 1
measure 1
s1: 4 <C4 E4:3> r <C4 D4 E4 F4 G4 A4 B4 C5 D5 E5 F5> G4
)");
    hostapi::SetHostVersion(0x11000000);  // marks rewritten pitches
    auto cell = Cell(1, 1);
    FCNoteEntry* chord = cell->GetItemAt(0);
    FCNote* added = chord->AddNote();
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->GetNoteID(), 2);
    EXPECT_EQ(added->GetNoteFlags(), FCNote::kFlagCreated);
    EXPECT_EQ(chord->GetNoteCount(), 3);
    added->SetDisplacement(4);                          // G4
    EXPECT_EQ(cell->GetItemAt(1)->AddNote(), nullptr);  // a rest

    // Eleven notes: of three pitches only the first fits; the rest are dropped.
    FCNoteEntry* big = cell->GetItemAt(2);
    std::unique_ptr<FCNotePitches> pitches(cell->GetItemAt(0)->CreatePitches());
    EXPECT_EQ(big->AddPitches(pitches.get(), false), 1);
    EXPECT_EQ(big->GetNoteCount(), 12);
    EXPECT_EQ(big->AddNote(), nullptr);
    EXPECT_EQ(big->AddPitches(pitches.get(), false), 0);
    EXPECT_EQ(cell->GetItemAt(1)->AddPitches(pitches.get(), false), 0);

    // skipExisting skips a pitch present with another note ID and tie.
    FCNoteEntry* single = cell->GetItemAt(3);
    single->GetNoteAt(0)->SetTieStart(true);
    single->GetNoteAt(0)->SetNoteID(9);
    std::unique_ptr<FCNotePitches> mine(single->CreatePitches());
    mine->GetItemAt(0)->SetTieStart(false);
    mine->GetItemAt(0)->SetNoteID(1);
    EXPECT_EQ(single->AddPitches(mine.get(), true), 0);
    EXPECT_EQ(single->AddPitches(pitches.get(), true), 2);  // C4 and E4; G4 is there
    hostapi::SetHostVersion(simhost::HostVersion());
    ASSERT_TRUE(cell->Save());
    EXPECT_EQ(simhost::WriteScoreText(), Score(R"(qzs 1
staff 1
measure 1
s1: 4 <C4 E4:3 G4:2!new> r <C4 D4 E4 F4 G4 A4 B4 C5 D5 E5 F5 C4!new>!changed <G4:9!n=40000000 C4:1!new E4:2!new>!changed
)"));
}

TEST(NoteEntry, PitchChangedMarkOnlyOnOlderHosts) {
    LoadScore(R"(qzs 1
staff 1
measure 1
s1: 1 C4
)");
    for (uint32_t version : {0x11000000u, 0x12000000u, 0x1B000000u}) {
        hostapi::SetHostVersion(version);
        auto cell = Cell(1, 1);
        FCNoteEntry* entry = cell->GetItemAt(0);
        entry->SetPitchChangedMark(true);
        EXPECT_EQ((entry->GetSecondFlags() & FCNoteEntry::kFlag2PitchChanged) != 0, version < 0x12000000u) << version;
        entry->SetSmartShapeFlag(true);
        EXPECT_TRUE(entry->GetSecondFlags() & FCNoteEntry::kFlag2SmartShape);
        entry->SetSmartShapeFlag(false);
        entry->SetPitchChangedMark(false);
        EXPECT_EQ(entry->GetSecondFlags(), 0);
    }
}

TEST(NoteEntry, RewritingNotes) {
    LoadScore(R"(qzs 1
staff 1
measure 1
s1: 8 <C4~ E4~:5> r <D4 F4> r<C4:31> E4~ r <> G4
)");
    auto cell = Cell(1, 1);
    FCNoteEntry* e[8];
    for (int i = 0; i < 8; ++i) e[i] = cell->GetItemAt(i);
    FCNote* kept = e[0]->GetNoteAt(1);
    e[0]->SetSingleNote(kept);  // E4 alone, ID 1, tie kept
    e[1]->MakeNote();           // a rest becomes a note at displacement 0 (C4)
    e[2]->SetAllTies(true);
    e[3]->MakeRest();
    e[4]->CopyNotesFrom(e[2]);
    e[5]->SetAllTies(true);  // nothing for a rest
    e[6]->MakeNote();        // a note without notes gets one
    e[7]->ClearNotes();
    e[7]->SetMarkFlag(true);
    EXPECT_FALSE(e[5]->HasTieStart());
    EXPECT_TRUE(e[7]->IsNote());
    ASSERT_TRUE(cell->Save());
    EXPECT_EQ(simhost::WriteScoreText(), Score(R"(qzs 1
staff 1
measure 1
s1: 8 E4~ C4:0!new <D4~ F4~> r <D4~ F4~> r C4:0!new <>!mark
)"));
}

TEST(NoteEntry, CopiedPitchesOutliveTheirEntries) {
    LoadScore(R"(qzs 1
staff 1
measure 1
s1: 1 <Bb3 D4>
)");
    std::unique_ptr<FCNotePitches> pitches;
    {
        auto cell = Cell(1, 1);
        pitches.reset(cell->GetItemAt(0)->CreatePitches());
    }
    ASSERT_EQ(pitches->GetCount(), 2);
    EXPECT_EQ(pitches->GetItemAt(0)->GetDisplacement(), -1);
    EXPECT_EQ(pitches->GetItemAt(0)->GetRaiseLower(), -1);
    EXPECT_EQ(pitches->GetItemAt(1)->GetNoteID(), 2);
    EXPECT_EQ(pitches->GetItemAt(0)->GetMidiKey(), 58);  // a detached pitch plays in C
}

TEST(NoteEntry, StemDirectionComesFromTheHostsMetrics) {
    LoadScore(R"(qzs 1
staff 1
measure 1
s1: 4 C4 D4_ r E4
)");
    auto cell = Cell(1, 1);
    const bool up[] = {true, false, false, true};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(cell->GetItemAt(i)->IsStemUp(), up[i]) << i;
    // Newer hosts answer through the 2014 call, older ones through the 2009 call.
    simhost::SetFailing("FX_GetEntryMetrics2014");
    EXPECT_FALSE(cell->GetItemAt(0)->IsStemUp());
    hostapi::SetHostVersion(0x11000000);
    EXPECT_TRUE(cell->GetItemAt(0)->IsStemUp());
    simhost::SetFailing("FX_GetEntryMetrics2009a");
    EXPECT_FALSE(cell->GetItemAt(0)->IsStemUp());
}

TEST(NoteEntry, RewrittenChordsKeepEveryNoteBoundToItsEntryAndSlot) {
    LoadScore(R"(qzs 1
staff 1
measure 1
s1: 4 <C4 E4 G4> r <D4 F4> A4
)");
    auto cell = Cell(1, 1);
    FCNoteEntry* chord = cell->GetItemAt(0);
    FCNoteEntry* rest = cell->GetItemAt(1);
    FCNoteEntry* pair = cell->GetItemAt(2);
    FCNoteEntry* single = cell->GetItemAt(3);
    std::unique_ptr<FCNotePitches> pitches(chord->CreatePitches());
    chord->ClearNotes();
    pair->SetSingleNote(pair->GetNoteAt(1));
    rest->MakeNote();
    EXPECT_EQ(single->AddPitches(pitches.get(), false), 3);
    EXPECT_EQ(chord->AddPitches(pitches.get(), false), 3);
    for (FCNoteEntry* entry : {chord, rest, pair, single}) {
        ASSERT_EQ(entry->GetCount(), entry->GetNoteCount());
        for (int i = 0; i < entry->GetCount(); ++i) {
            const FCNote* note = entry->GetNoteAt(i);
            EXPECT_EQ(note->GetEntry(), entry);
            EXPECT_EQ(note->GetIndex(), i);
            EXPECT_EQ(note->GetRecord(), entry->GetRecord() + fcframe::kNotes + i * fcframe::kNoteSize);
        }
    }
    EXPECT_EQ(single->GetNoteAt(3)->GetMidiKey(), 67);  // G4
    ASSERT_TRUE(cell->Save());
    EXPECT_EQ(simhost::WriteScoreText(), Score(R"(qzs 1
staff 1
measure 1
s1: 4 <C4:1!new E4:2!new G4:3!new> C4:0!new F4 <A4 C4:2!new E4:3!new G4:4!new>
)"));
}

TEST(NoteEntry, ReplacingPitchesEqualsClearingAndAdding) {
    // Two equal measures: the first is rewritten with ClearNotes and AddPitches, the second with
    // ReplacePitches, and the records and note objects must come out the same.
    const char* music = "s1: 8 <C4~ E4~:5 G4:7> <D4 F4> A4~ r <C4 D4 E4 F4 G4 A4 B4 C5 D5 E5 F5> <E4 G4> <> B4\n";
    LoadScore(std::string("qzs 1\nstaff 1\nmeasure 1\n") + music + "measure 2\n" + music);
    hostapi::SetHostVersion(0x11000000);  // marks rewritten pitches
    auto cleared = Cell(1, 1);
    auto replaced = Cell(2, 1);
    ASSERT_EQ(cleared->GetCount(), 8);
    ASSERT_EQ(replaced->GetCount(), 8);

    std::unique_ptr<FCNotePitches> chord(cleared->GetItemAt(0)->CreatePitches());
    std::unique_ptr<FCNotePitches> single(cleared->GetItemAt(2)->CreatePitches());
    FCNotePitches none, thirteen, holed;
    for (int i = 0; i < 13; ++i) {
        FCNotePitch* pitch = new FCNotePitch;
        pitch->SetDisplacement(i - 3);
        pitch->SetRaiseLower(i % 3 - 1);
        thirteen.Add(pitch);
    }
    holed.Add(new FCNotePitch(chord->GetItemAt(2)));
    holed.Add(nullptr);
    holed.Add(new FCNotePitch(chord->GetItemAt(0)));
    // Note objects out of their slots' order: the rewritten entry's objects must still stand at
    // their own indexes.
    cleared->GetItemAt(1)->Swap(0, 1);
    replaced->GetItemAt(1)->Swap(0, 1);

    const FCNotePitches* rows[8] = {chord.get(),  chord.get(), &thirteen, chord.get(),
                                    single.get(), &holed,      &none,     nullptr};
    for (int i = 0; i < 8; ++i) {
        FCNoteEntry* a = cleared->GetItemAt(i);
        FCNoteEntry* b = replaced->GetItemAt(i);
        a->ClearNotes();
        const int added = a->AddPitches(rows[i], false);
        EXPECT_EQ(b->ReplacePitches(rows[i]), added) << i;
        EXPECT_EQ(b->GetNoteCount(), a->GetNoteCount()) << i;
        EXPECT_EQ(b->GetEntryFlags(), a->GetEntryFlags()) << i;
        EXPECT_EQ(b->GetSecondFlags(), a->GetSecondFlags()) << i;
        EXPECT_EQ(0, std::memcmp(b->GetRecord() + fcframe::kNotes, a->GetRecord() + fcframe::kNotes,
                                 size_t(fcframe::kMaxNotes) * fcframe::kNoteSize))
            << i;
        ASSERT_EQ(b->GetCount(), a->GetCount()) << i;
        for (int n = 0; n < b->GetCount(); ++n) {
            EXPECT_EQ(b->GetNoteAt(n)->GetEntry(), b) << i;
            EXPECT_EQ(b->GetNoteAt(n)->GetIndex(), n) << i;
            EXPECT_EQ(b->GetNoteAt(n)->GetRecord(), b->GetRecord() + fcframe::kNotes + n * fcframe::kNoteSize) << i;
        }
    }
    EXPECT_EQ(cleared->GetItemAt(2)->GetNoteCount(), 12);  // the thirteenth pitch does not fit
    EXPECT_EQ(cleared->GetItemAt(5)->GetNoteCount(), 1);   // the hole ends the list
}

TEST(NoteEntry, CopyingPitchesIntoUsedCopiesEqualsCreatingThem) {
    LoadScore(R"(qzs 1
staff 1
measure 1
s1: 8 <C4~ E4~:5 G4:7> Bb3:4 r <C4 D4 E4 F4 G4 A4 B4 C5 D5 E5 F5> <D4 F#4> <> A4~ <E4 G4 B4>
)");
    auto cell = Cell(1, 1);
    ASSERT_EQ(cell->GetCount(), 8);
    FCNotePitches reused;
    reused.Add(nullptr);  // a hole is filled like any other place
    for (int i = 0; i < 8; ++i) {
        const FCNoteEntry* entry = cell->GetItemAt(i);
        entry->CopyPitchesTo(&reused);
        std::unique_ptr<FCNotePitches> created(entry->CreatePitches());
        ASSERT_EQ(reused.GetCount(), created->GetCount()) << i;
        for (int n = 0; n < created->GetCount(); ++n) {
            const FCNotePitch* pitch = reused.GetItemAt(n);
            ASSERT_NE(pitch, nullptr) << i;
            EXPECT_EQ(pitch->GetIndex(), created->GetItemAt(n)->GetIndex()) << i;
            EXPECT_EQ(pitch->GetEntry(), nullptr) << i;
            EXPECT_EQ(0, std::memcmp(pitch->GetRecord(), created->GetItemAt(n)->GetRecord(), FCNote::kRecordSize)) << i;
        }
    }
}
