// Beamed-group detection on note entries: which entries are unbeamed, break from their previous
// entry, end a group, where each group starts and what a walk from a start collects, over
// documents written as score text.
#include "framework/entries/FCNoteEntry.h"
#include "framework/entries/FCNoteEntryCell.h"
#include "framework/entries/FCNoteEntryLayer.h"
#include "framework/score/FCMusicRegion.h"
#include "simhost/SimHost.h"
#include "tests/framework/entries/ScoreFixture.h"

#include <memory>
#include <string>

namespace {

// One character per entry for each rule ('1'/'0'; for the start, the index of the group's first
// entry or '-'), and "first-last" for the walk from every entry that starts its own group.
struct Summary {
    std::string unbeamed, breaks, ends, starts, walks;
};

Summary Describe(__FCNoteEntryCollection& entries) {
    Summary summary;
    // One set of answers for every entry, as a task walking a cell keeps them.
    FCNoteEntry::BeamAnswers shared;
    for (int i = 0; i < entries.GetCount(); ++i) {
        FCNoteEntry* entry = entries.GetItemAt(i);
        summary.unbeamed += entry->IsUnbeamed() ? '1' : '0';
        summary.breaks += entry->BreaksBeamFromPrevious() ? '1' : '0';
        summary.ends += entry->IsBeamGroupEnd() ? '1' : '0';
        FCNoteEntry* start = entry->FindBeamGroupStart();
        summary.starts += start ? char('0' + entries.GetIndexOf(start)) : '-';
        EXPECT_EQ(entry->IsBeamGroupStart(), start == entry) << i;
        EXPECT_EQ(entry->IsBeamGroupStart(shared), start == entry) << i;
        if (start != entry) continue;
        FCNoteEntries group;
        EXPECT_TRUE(entry->CollectBeamGroup(nullptr, &group));
        EXPECT_FALSE(group.GetOwnership());
        if (!summary.walks.empty()) summary.walks += ' ';
        summary.walks += std::to_string(i) + "-" + std::to_string(entries.GetIndexOf(group.GetLastItem()));
    }
    return summary;
}

std::string Document(bool beamsOverRests, const std::string& measures) {
    return std::string("qzs 1\n") + (beamsOverRests ? "prefs beams-over-rests\n" : "") + "staff 1\n" + measures;
}

}  // namespace

TEST(BeamedGroups, RulesFollowBeamStartsDurationsRestsAndStems) {
    struct Row {
        const char* what;
        bool overRests;
        const char* music;  // measure 1 of staff 1 (and its other layers)
        Summary expected;
    } rows[] = {
        {"two groups by beam starts",
         false,
         "s1: 8 [C4 D4 E4 F4 [G4 A4 B4 C5",
         {"00000000", "10001000", "00010001", "00004444", "0-3 4-7"}},
        {"quarters are never beamed and break groups",
         false,
         "s1: 8 [C4 4 D4 8 [E4 F4 4 G4 8 [A4",
         {"110011", "111011", "000100", "--22--", "2-3"}},
        {"a beam start on the second of two eighths", false, "s1: 8 [C4 [D4 2. r", {"111", "110", "000", "---", ""}},
        {"a rest with a beam start ends the group before it",
         false,
         "s1: 8 [C4 D4 [r E4 2 r",
         {"00111", "10010", "01000", "00---", "0-1"}},
        {"... whatever beams over rests say",
         true,
         "s1: 8 [C4 D4 [r E4 2 r",
         {"00101", "10110", "01000", "00-3-", "0-1 3-3"}},
        {"a rest between stems up breaks the beam",
         false,
         "s1: 8 [C4 r D4 E4 2 r",
         {"11001", "10100", "00010", "--22-", "2-3"}},
        {"... also over rests", true, "s1: 8 [C4 r D4 E4 2 r", {"11001", "10100", "00010", "--22-", "2-3"}},
        {"a rest between stems down stays in the group",
         true,
         "s1: 8 [C4_ r D4_ E4_ 2 r",
         {"00001", "10100", "00010", "0000-", "0-3"}},
        {"trailing rests without beams over rests",
         false,
         "s1: 8 [C4 D4 r r 2 r",
         {"00101", "10000", "00000", "00-3-", "0-3 3-3"}},
        {"trailing rests with beams over rests",
         true,
         "s1: 8 [C4 D4 r r 2 r",
         {"00001", "10000", "00010", "0000-", "0-3"}},
        {"a change of stem direction", false, "s1: 8 [C4 D4_ E4_ F4 2 r", {"10011", "10000", "00010", "-11--", "1-3"}},
        {"grace notes beamed apart from the notes",
         false,
         "s1: 8 [gC4 gD4 [E4 F4 G4 A4 2 r",
         {"0000001", "1010000", "0100010", "002222-", "0-1 2-5"}},
        {"layers are grouped apart",
         false,
         "s1: 8 [C4 D4 E4 F4 2 r\ns1 L2: 8 [C3_ D3_ 4 E3_ 2 r",
         {"000010011", "100001010", "000100100", "0000-55--", "0-3 5-6"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        LoadScore(Document(row.overRests, std::string("measure 1\n") + row.music + "\n"));
        EXPECT_EQ(FCNoteEntry::GetBeamsOverRests(), row.overRests);
        FCNoteEntryCell cell(1, 1);
        cell.SetLayerMode(FCNoteEntryCell::kAllLayers);
        ASSERT_TRUE(cell.Load());
        const Summary summary = Describe(cell);
        EXPECT_EQ(summary.unbeamed, row.expected.unbeamed);
        EXPECT_EQ(summary.breaks, row.expected.breaks);
        EXPECT_EQ(summary.ends, row.expected.ends);
        EXPECT_EQ(summary.starts, row.expected.starts);
        EXPECT_EQ(summary.walks, row.expected.walks);
    }
}

TEST(BeamedGroups, GroupsEndAtTheBarlineOfALayer) {
    // The beam of measure 1 seems to run on (no beam start on A4), but groups never cross.
    LoadScore(Document(false, "measure 1\ns1: 2 C4 8 [D4 E4 F4 G4\nmeasure 2\ns1: 8 A4 B4 4 C5 2 r\n"));
    FCNoteEntryLayer layer(0, 1, 1, 2);
    ASSERT_TRUE(layer.Load());
    const Summary summary = Describe(layer);
    EXPECT_EQ(summary.unbeamed, "100000011");
    EXPECT_EQ(summary.breaks, "110000010");
    EXPECT_EQ(summary.ends, "000010100");
    EXPECT_EQ(summary.starts, "-111155--");
    EXPECT_EQ(summary.walks, "1-4 5-6");
}

TEST(BeamedGroups, TrailingRestsOfALaterMeasureEndTheirGroupInALayer) {
    // Loaded as a layer, measure 2 answers as it does in its own cell.
    LoadScore(Document(true, "measure 1\ns1: 1 C4\nmeasure 2\ns1: 8 [C4 D4 r r 2 r\n"));
    FCNoteEntryLayer layer(0, 1, 1, 2);
    ASSERT_TRUE(layer.Load());
    ASSERT_EQ(layer.GetCount(), 6);
    EXPECT_TRUE(layer.GetItemAt(4)->IsBeamGroupEnd());
    FCNoteEntries group;
    ASSERT_TRUE(layer.GetItemAt(1)->CollectBeamGroup(nullptr, &group));
    EXPECT_EQ(group.GetCount(), 4);
}

TEST(BeamedGroups, WalksNeverRunIntoLongerNotesTheNextBeamOrTheNextMeasure) {
    // A note after a rest is never a group end by the rules, so the walk itself stops where the
    // next entry cannot be beamed to the last one.
    struct Row {
        const char* music;
        int entries;  // collected from the first entry
    } rows[] = {
        {"s1: 8 [C4 D4 r E4 2 G4", 4},          // not the half note
        {"s1: 8 [C4 D4 r [E4 F4 G4 A4", 3},     // not the next beam
        {"s1: 8 [C4 D4 E4 r 4 F4 G4", 4},       // not the quarters
        {"s1: 8 [C4 D4 E4 F4 G4 A4 r B4", 8},   // not the next measure
        {"s1: 8 [C4 D4 r E4 F4 4 G4 8 A4", 5},  // the notes after the rest are in the beam
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.music);
        LoadScore(Document(false, std::string("measure 1\n") + row.music + "\nmeasure 2\ns1: 8 C5 D5 E5 F5 2 r\n"));
        FCNoteEntryLayer layer(0, 1, 1, 2);
        ASSERT_TRUE(layer.Load());
        FCNoteEntries group;
        ASSERT_TRUE(layer.GetItemAt(0)->CollectBeamGroup(nullptr, &group));
        EXPECT_EQ(group.GetCount(), row.entries);
    }
}

TEST(BeamedGroups, WalksAreAbandonedAtTheSelectionsEdges) {
    LoadScore(Document(false, "staff 2\nmeasure 1\ns1: 8 [C4 D4 E4 F4 [G4 A4 B4 C5\n"));
    FCNoteEntryCell cell(1, 1);
    ASSERT_TRUE(cell.Load());
    struct Row {
        int32_t start, end;
        int firstSlot;
        int firstGroup, secondGroup;  // entries collected, 0: abandoned
    } rows[] = {
        {0, FCMusicRegion::kEndOfMeasure, 1, 4, 4},
        {1024, FCMusicRegion::kEndOfMeasure, 1, 0, 4},  // the first group begins before the selection
        {0, 3000, 1, 4, 0},                             // the second group runs past its end
        {512, 3000, 1, 0, 0},
        {0, FCMusicRegion::kEndOfMeasure, 2, 0, 0},  // another staff
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.start) + ".." + std::to_string(row.end));
        FCMusicRegion region;
        region.SetStartMeasure(1);
        region.SetEndMeasure(1);
        region.SetStartMeasurePos(row.start);
        region.SetEndMeasurePos(row.end);
        region.SetStartSlot(row.firstSlot);
        region.SetEndSlot(2);
        FCNoteEntries group;
        EXPECT_EQ(cell.GetItemAt(0)->CollectBeamGroup(&region, &group), row.firstGroup > 0);
        EXPECT_EQ(group.GetCount(), row.firstGroup);
        EXPECT_EQ(cell.GetItemAt(4)->CollectBeamGroup(&region, &group), row.secondGroup > 0);
        EXPECT_EQ(group.GetCount(), row.secondGroup);
        // The start of a group is found whatever the selection.
        EXPECT_EQ(cell.GetItemAt(2)->FindBeamGroupStart(), cell.GetItemAt(0));
    }
}

TEST(BeamedGroups, BeamsOverRestsCountAsOffWithoutThePreference) {
    LoadScore(Document(true, "measure 1\ns1: 8 [C4 D4 r r 2 r\n"));
    FCNoteEntryCell cell(1, 1);
    ASSERT_TRUE(cell.Load());
    EXPECT_TRUE(FCNoteEntry::GetBeamsOverRests());
    EXPECT_TRUE(cell.GetItemAt(3)->IsBeamGroupEnd());
    simhost::SetFailing("FX_LoadEData");
    EXPECT_FALSE(FCNoteEntry::GetBeamsOverRests());
    EXPECT_FALSE(cell.GetItemAt(3)->IsBeamGroupEnd());
    simhost::SetFailing("FX_LoadEData", false);
}
