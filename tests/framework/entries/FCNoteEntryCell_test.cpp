#include "framework/entries/FCNoteEntryCell.h"
#include "simhost/Document.h"
#include "simhost/EntryFrames.h"
#include "simhost/SimHost.h"
#include "tests/framework/entries/ScoreFixture.h"

#include <set>

namespace {

// One entry per layer, its duration telling the layer: 1024 x layer number.
const char* const kFourLayers = R"(qzs 1
staff 1
measure 1
s1: 4 C4
s1 L2: 2 D4
s1 L3: 2. E4
s1 L4: 1 F4
)";

}  // namespace

TEST(NoteEntryCell, LayerModesChooseTheLayersToLoad) {
    LoadScore(kFourLayers);
    simhost::CurrentDocument().SetLayerShown(1, false);
    simhost::CurrentDocument().SetLayerShown(3, false);
    struct Row {
        int mode;
        std::set<int> layers;
    } rows[] = {{0, {1, 3}}, {-1, {1, 2, 3, 4}}, {-2, {2, 4}}, {-3, {}}, {1, {1}},           {3, {3}},
                {4, {4}},    {0x500, {1, 3}},    {0x800, {4}}, {5, {}},  {-4, {1, 2, 3, 4}}, {0x100 | 0x1000, {1}}};
    for (const Row& row : rows) {
        FCNoteEntryCell cell(1, 1);
        cell.SetLayerMode(row.mode);
        ASSERT_TRUE(cell.Load()) << row.mode;
        std::set<int> loaded;
        for (int i = 0; i < cell.GetCount(); ++i) {
            loaded.insert(cell.GetItemAt(i)->GetLayerNumber());
            EXPECT_EQ(cell.GetItemAt(i)->GetDuration(), 1024 * cell.GetItemAt(i)->GetLayerNumber());
        }
        EXPECT_EQ(loaded, row.layers) << row.mode;
        for (int layer = 0; layer < 4; ++layer)
            EXPECT_EQ(cell.GetFrame(layer) != nullptr, row.layers.count(layer + 1) != 0) << row.mode << "/" << layer;
    }
    EXPECT_EQ(simhost::LiveFrameCount(), 0);
}

TEST(NoteEntryCell, LoadsWithoutAnyLayerOrFailsAsAWhole) {
    LoadScore(kFourLayers);
    for (int layer = 0; layer < 4; ++layer) simhost::CurrentDocument().SetLayerShown(layer, false);
    FCNoteEntryCell hidden(9, 1);  // no measure 9, but no layer is loaded
    EXPECT_TRUE(hidden.Load());
    EXPECT_EQ(hidden.GetCount(), 0);

    FCNoteEntryCell nowhere(1, 7);  // no staff 7
    nowhere.SetLayerMode(FCNoteEntryCell::kAllLayers);
    EXPECT_FALSE(nowhere.Load());
    EXPECT_EQ(nowhere.GetFrame(0), nullptr);

    // A failed load drops what an earlier load held.
    FCNoteEntryCell cell(1, 1);
    cell.SetLayerMode(FCNoteEntryCell::kAllLayers);
    ASSERT_TRUE(cell.Load());
    ASSERT_TRUE(cell.Load());  // loading again releases the first frames
    EXPECT_EQ(simhost::LiveFrameCount(), 4);
    simhost::SetFailing("FX_LoadTGF");
    EXPECT_FALSE(cell.Load());
    EXPECT_EQ(cell.GetCount(), 0);
    EXPECT_EQ(simhost::LiveFrameCount(), 0);

    // A host that does not tell its layer count has four.
    simhost::SetFailing("FX_LoadTGF", false);
    simhost::SetFailing("FX_GetMaxLayers");
    EXPECT_EQ(FCNoteEntryCell::MaxLayers(), 4);
    ASSERT_TRUE(cell.Load());
    EXPECT_EQ(cell.GetCount(), 4);
}

TEST(NoteEntryCell, SaveWritesUnlockedFramesAndReportsFailures) {
    LoadScore(R"(qzs 1
staff 1
measure 1
s1: 2 C4 D4
s1 L2 locked: 2 E4 F4
)");
    FCNoteEntryCell cell(1, 1);
    cell.SetLayerMode(FCNoteEntryCell::kAllLayers);
    ASSERT_TRUE(cell.Load());
    for (int i = 0; i < cell.GetCount(); ++i) cell.GetItemAt(i)->GetNoteAt(0)->SetRaiseLower(1);
    EXPECT_TRUE(cell.Save());  // the locked layer is skipped, not a failure
    EXPECT_EQ(simhost::WriteScoreText(), Score(R"(qzs 1
staff 1
measure 1
s1: 2 C#4 D#4
s1 L2 locked: 2 E4 F4
)"));
    simhost::SetFailing("FX_SaveTGF");
    EXPECT_FALSE(cell.Save());
}

TEST(NoteEntryCell, DeletesEveryRunOfZeroDurationEntries) {
    LoadScore(R"(qzs 1
staff 1
measure 1
s1: 8 C4 D4 E4 F4 G4 A4 B4 C5
s1 L2: 2 C3 D3
s1 L3 locked: 2 E3 F3
)");
    FCNoteEntryCell cell(1, 1);
    cell.SetLayerMode(FCNoteEntryCell::kAllLayers);
    ASSERT_TRUE(cell.Load());
    ASSERT_EQ(cell.GetCount(), 12);
    // Two runs in layer 1 (D4 E4, and the last two), one run across the layer boundary (C5 of
    // layer 1 and C3 of layer 2), and a locked frame that keeps its entry.
    for (int i : {1, 2, 6, 7, 8, 10}) cell.GetItemAt(i)->SetDuration(0);
    ASSERT_TRUE(cell.DeleteZeroDurationEntries());
    EXPECT_EQ(cell.GetCount(), 7);
    EXPECT_EQ(cell.GetItemAt(0)->Next(), cell.GetItemAt(1));
    EXPECT_EQ(cell.GetItemAt(1)->GetEntryNumber(), 4);
    EXPECT_EQ(simhost::WriteScoreText(), Score(R"(qzs 1
staff 1
measure 1
s1: 8 C4 F4@4 G4 A4
s1 L2: 2 D3@10
s1 L3 locked: 2 E3 F3
)"));

    // An entry whose record is not in its frame makes the whole operation fail.
    FCNoteEntryCell stale(1, 1);
    ASSERT_TRUE(stale.Load());
    stale.GetItemAt(0)->SetDuration(0);
    uint8_t stranger[FCNoteEntry::kRecordSize] = {0};
    stale.GetItemAt(1)->SetRecord(stranger);
    EXPECT_FALSE(stale.DeleteZeroDurationEntries());
    EXPECT_EQ(stale.GetCount(), 7);
}

TEST(NoteEntries, AViewWithoutOwnershipLeavesTheEntriesToTheirCell) {
    LoadScore(kFourLayers);
    FCNoteEntryCell cell(1, 1);
    cell.SetLayerMode(FCNoteEntryCell::kAllLayers);
    ASSERT_TRUE(cell.Load());
    {
        FCNoteEntries view;
        view.SetOwnership(false);
        for (int i = cell.GetCount() - 1; i >= 0; --i) view.Add(cell.GetItemAt(i));
        EXPECT_EQ(view.GetItemAt(0)->GetLayerNumber(), 4);
        EXPECT_EQ(view.FindEntryNumber(1), cell.GetItemAt(0));
        view.ClearView();
        EXPECT_TRUE(view.IsEmpty());
        view.Add(cell.GetItemAt(1));
    }
    // The cell's entries are intact after the view is gone.
    EXPECT_EQ(cell.GetItemAt(1)->GetDuration(), 2048);
    EXPECT_EQ(cell.GetCount(), 4);
}
