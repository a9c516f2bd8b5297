#include "framework/score/FCSelectionWalker.h"

#include "framework/entries/FCNoteEntry.h"
#include "framework/entries/FCNoteEntryCell.h"
#include "framework/entries/FCNoteEntryLayer.h"
#include "framework/host/hostapi.h"
#include "framework/score/FCMusicRegion.h"
#include "simhost/Document.h"
#include "simhost/EntryFrames.h"
#include "simhost/ScoreText.h"
#include "simhost/SimHost.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// Three staves (the third never selected), four measures; staff 1 has beamed eighths in measures
// 1 and 3 and music in layers 2 and 3 of measure 2 (layer 3 hidden); layer 4 is empty everywhere.
const char* const kScore = R"(qzs 1
prefs hidden-layers=3
staff 1
staff 2
staff 3
measure 1
s1: 8 [C4 D4 E4 F4 [G4 A4 B4 C5
s2: 1 C3
s3: 1 C2
measure 2
s1: 2 C4 D4
s1 L2: 1 E3
s1 L3: 1 G3
s2: 1 D3
measure 3
s1: 8 [C4 D4 E4 F4 2 G4
s2: 1 E3
measure 4
s1: 1 F4
s2: 1 F3
)";

constexpr int32_t kEnd = FCMusicRegion::kEndOfMeasure;

void LoadScore() {
    simhost::ScoreTextError error;
    ASSERT_TRUE(simhost::ReadScoreText(kScore, &error)) << error.ToString();
}

FCMusicRegion Region(int firstSlot, int lastSlot, int firstMeasure, int lastMeasure, int32_t startPos = 0,
                     int32_t endPos = kEnd) {
    FCMusicRegion region;
    region.SetFullDocument();
    region.SetStartSlot(firstSlot);
    region.SetEndSlot(lastSlot);
    region.SetStartMeasure(firstMeasure);
    region.SetEndMeasure(lastMeasure);
    region.SetStartMeasurePos(startPos);
    region.SetEndMeasurePos(endPos);
    return region;
}

enum Walk { kCells, kGroups, kLayers, kEntries };
const char* const kWalkNames[] = {"cells", "group starts", "layers", "entries"};

std::string Where(const FCNoteEntry* entry) {
    return std::to_string(entry->GetStaff()) + "/L" + std::to_string(entry->GetLayerNumber()) + "/m" +
           std::to_string(entry->GetMeasure()) + "@" + std::to_string(entry->GetMeasurePos());
}

// Walks with the kind's visitor, which calls visit with what it was given (cells and layers by
// their first entry) and appends a description of it to log.
template <typename Visit>
bool RunWalk(FCSelectionWalker* walker, Walk walk, std::string* log, Visit visit) {
    auto note = [log](const std::string& text) { *log += (log->empty() ? "" : " ") + text; };
    switch (walk) {
        case kCells:
            return walker->ForEachCell([&](FCNoteEntryCell* cell) {
                note(std::to_string(cell->GetStaff()) + "/m" + std::to_string(cell->GetMeasure()) + "x" +
                     std::to_string(cell->GetCount()));
                return visit(cell->GetItemAt(0));
            });
        case kGroups:
            return walker->ForEachGroupStart([&](FCNoteEntry* start, FCNoteEntryCell*) {
                note(Where(start));
                return visit(start);
            });
        case kLayers:
            return walker->ForEachLayer([&](FCNoteEntryLayer* layer) {
                note(std::to_string(layer->GetStaff()) + "/L" + std::to_string(layer->GetLayerIndex() + 1) + "/m" +
                     std::to_string(layer->GetItemAt(0)->GetMeasure()) + "-m" +
                     std::to_string(layer->GetLastItem()->GetMeasure()));
                return visit(layer->GetItemAt(0));
            });
        case kEntries:
            return walker->ForEachEntry([&](FCNoteEntry* entry, FCNoteEntryLayer*) {
                note(Where(entry));
                return visit(entry);
            });
    }
    return false;
}

FCSelectionWalker::Visit Unchanged(FCNoteEntry*) { return FCSelectionWalker::kUnchanged; }

// Marks the entry (entry flag 0x80000000, "!mark" in score text) and reports a change.
FCSelectionWalker::Visit Mark(FCNoteEntry* entry) {
    entry->SetMarkFlag(true);
    return FCSelectionWalker::kChanged;
}

// A host whose saves of entry frames succeed a number of times and are refused after that.
int savesAllowed = 0;

int16_t FXAPI CountedSave(void* frame, uint32_t version) {
    if (savesAllowed <= 0) return 0;
    --savesAllowed;
    return reinterpret_cast<hostapi::FX_SaveTGF_fn>(simhost::Lookup("FX_SaveTGF"))(frame, version);
}

void* CountingLookup(const char* name) {
    if (std::strcmp(name, "FX_SaveTGF") == 0) return reinterpret_cast<void*>(&CountedSave);
    return simhost::Lookup(name);
}

}  // namespace

TEST(SelectionWalker, VisitsWhatEachWalkAndOptionChooses) {
    struct Row {
        const char* what;
        Walk walk;
        FCMusicRegion region;
        bool widened, skipHidden;
        const char* visited;
    } rows[] = {
        // Cells load the shown layers only; the third staff lies outside the region.
        {"cells", kCells, Region(1, 2, 2, 3), false, true, "1/m2x3 1/m3x5 2/m2x1 2/m3x1"},
        {"cells of one measure", kCells, Region(2, 3, 1, 1), false, true, "2/m1x1 3/m1x1"},
        // Groups starting before the region's start position are passed over.
        {"group starts", kGroups, Region(1, 2, 1, 3), false, true, "1/L1/m1@0 1/L1/m1@2048 1/L1/m3@0"},
        {"group starts after a position", kGroups, Region(1, 1, 1, 3, 512), false, true, "1/L1/m1@2048 1/L1/m3@0"},
        {"layers", kLayers, Region(1, 2, 2, 3), false, true, "1/L1/m2-m3 1/L2/m2-m2 2/L1/m2-m3"},
        {"layers with the hidden one", kLayers, Region(1, 2, 2, 3), false, false,
         "1/L1/m2-m3 1/L2/m2-m2 1/L3/m2-m2 2/L1/m2-m3"},
        {"widened layers", kLayers, Region(1, 2, 2, 3), true, true, "1/L1/m1-m4 1/L2/m2-m2 2/L1/m1-m4"},
        // No measure before the first, none after the last.
        {"widened layers at the edges", kLayers, Region(2, 2, 1, 4), true, true, "2/L1/m1-m4"},
        {"entries", kEntries, Region(2, 2, 2, 3), false, true, "2/L1/m2@0 2/L1/m3@0"},
        {"entries between positions", kEntries, Region(1, 1, 2, 3, 1024, 512), false, true,
         "1/L1/m2@2048 1/L1/m3@0 1/L1/m3@512"},
        // A widened walk loads more but visits only the entries of the region.
        {"widened entries", kEntries, Region(2, 2, 2, 2), true, true, "2/L1/m2@0"},
        {"an empty region", kEntries, Region(1, 1, 2, 2, 0, 0), false, true, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        LoadScore();
        FCSelectionWalker walker(&row.region);
        walker.SetWidened(row.widened);
        walker.SetSkipHidden(row.skipHidden);
        std::string log;
        EXPECT_FALSE(RunWalk(&walker, row.walk, &log, Unchanged));
        EXPECT_EQ(row.visited, log);
        EXPECT_FALSE(walker.IsCancelled());
        EXPECT_EQ(0, simhost::LiveFrameCount());
    }
}

TEST(SelectionWalker, SavesWhatTheVisitsChangedAndNothingElse) {
    const FCMusicRegion region = Region(1, 1, 2, 3, 1024, 512);
    struct Row {
        Walk walk;
        const char* marked;
    } rows[] = {
        // A changed cell or layer is saved whole, with every change made to it; a group start or an
        // entry is the only entry each visit changes.
        {kCells,
         "measure 2\ns1: 2 C4!mark D4\ns1 L2: 1 E3\ns1 L3: 1 G3\ns2: 1 D3\n"
         "measure 3\ns1: 8 [C4!mark D4 E4 F4 2 G4\ns2: 1 E3\n"},
        {kGroups,
         "measure 2\ns1: 2 C4 D4\ns1 L2: 1 E3\ns1 L3: 1 G3\ns2: 1 D3\n"
         "measure 3\ns1: 8 [C4!mark D4 E4 F4 2 G4\ns2: 1 E3\n"},
        {kLayers,
         "measure 2\ns1: 2 C4!mark D4\ns1 L2: 1 E3!mark\ns1 L3: 1 G3\ns2: 1 D3\n"
         "measure 3\ns1: 8 [C4 D4 E4 F4 2 G4\ns2: 1 E3\n"},
        {kEntries,
         "measure 2\ns1: 2 C4 D4!mark\ns1 L2: 1 E3\ns1 L3: 1 G3\ns2: 1 D3\n"
         "measure 3\ns1: 8 [C4!mark D4!mark E4 F4 2 G4\ns2: 1 E3\n"},
    };
    const std::string head = std::string(kScore).substr(0, std::string(kScore).find("measure 2"));
    const std::string tail = "measure 4\ns1: 1 F4\ns2: 1 F3\n";
    for (const Row& row : rows) {
        SCOPED_TRACE(kWalkNames[row.walk]);
        LoadScore();
        const std::string before = simhost::WriteScoreText();
        FCSelectionWalker walker(&region);
        std::string log;
        // Marked but reported unchanged: nothing is saved.
        EXPECT_FALSE(RunWalk(&walker, row.walk, &log, [](FCNoteEntry* entry) {
            entry->SetMarkFlag(true);
            return FCSelectionWalker::kUnchanged;
        }));
        EXPECT_EQ(before, simhost::WriteScoreText());

        EXPECT_TRUE(RunWalk(&walker, row.walk, &log, Mark));
        EXPECT_FALSE(walker.IsCancelled());
        // With bookkeeping: the mark flag is part of it.
        EXPECT_EQ(simhost::CanonicalScoreText(head + row.marked + tail), simhost::WriteScoreText());
        EXPECT_EQ(0, simhost::LiveFrameCount());
    }
}

TEST(SelectionWalker, ARefusedSaveOrACancellingVisitGivesTheWholeWalkUp) {
    // Two frames change in every walk (measures 1 and 3 of staff 1, or its two layers); the host
    // refuses the first or the second save, or the second visit gives up.
    const FCMusicRegion region = Region(1, 1, 1, 3);
    struct Row {
        const char* what;
        int savesAllowed;
        bool cancelSecondVisit;
    } rows[] = {
        {"the first save refused", 0, false},
        {"the second save refused", 1, false},
        {"the second visit gives up", 99, true},
    };
    for (Walk walk : {kCells, kGroups, kLayers, kEntries}) {
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(kWalkNames[walk]) + ", " + row.what);
            LoadScore();
            simhost::Document& document = simhost::CurrentDocument();
            const simhost::DocumentState before = document.State();
            savesAllowed = row.savesAllowed;
            hostapi::SetLookup(CountingLookup);
            ASSERT_TRUE(document.StartEdit(u"walk"));
            FCSelectionWalker walker(&region);
            std::string log;
            int visits = 0;
            const bool changed = RunWalk(&walker, walk, &log, [&](FCNoteEntry* entry) {
                if (++visits == 2 && row.cancelSecondVisit) return FCSelectionWalker::kCancel;
                // Only the first and the last measure change.
                if (entry->GetMeasure() == 2) return FCSelectionWalker::kUnchanged;
                return Mark(entry);
            });
            EXPECT_FALSE(changed);
            EXPECT_TRUE(walker.IsCancelled());
            // The walk stops where it was given up.
            if (row.cancelSecondVisit) {
                EXPECT_EQ(2, visits);
            }
            EXPECT_EQ(0, simhost::LiveFrameCount());
            // The edit around the walk is cancelled, as the undo block does for a false result.
            ASSERT_TRUE(document.CancelEdit());
            EXPECT_TRUE(document.State() == before) << document.Dump();
            hostapi::SetLookup(nullptr);
        }
    }
}
