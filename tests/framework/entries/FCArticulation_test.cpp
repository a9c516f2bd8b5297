// Articulations on entries: the records, and the tasks' operations on the four kinds (adding,
// recognising, merging into combined symbols, deleting), compared as score text.
#include "framework/core/FCFontInfo.h"
#include "framework/entries/FCArticulation.h"
#include "framework/entries/FCArticulationDef.h"
#include "framework/entries/FCNoteEntryCell.h"
#include "framework/entries/FCNoteEntryLayer.h"
#include "framework/host/hostapi.h"
#include "simhost/Document.h"
#include "simhost/SimHost.h"
#include "tests/framework/entries/ScoreFixture.h"

#include <memory>

namespace {

void ArticulationFont(FCFontInfo* font) {
    font->SetName("Arial");
    font->SetSize(24);
    font->SetEffects(0);
}

// The definitions the template makes with that font, as the writer puts them.
const char* const kDefinitionText[] = {
    "char=46 mode=1 font=\"Arial\" size=24 alt-font=\"Arial\" alt-size=24 B=-4 C=16 E=40 F=40 flags=0x0210 "
    "flags2=0x0021",
    "char=45 mode=1 font=\"Arial\" size=24 alt-font=\"Arial\" alt-size=24 C=14 D=-16 flags=0x0210 flags2=0x0001",
    "char=62 alt=62 flipped=alt mode=1 font=\"Arial\" size=24 alt-font=\"Arial\" alt-size=24 B=-4 C=14 D=-23 "
    "G=125 H=125 flags=0x1010 flags2=0x0008",
    "char=94 alt=118 flipped=alt mode=5 font=\"Arial\" size=24 alt-font=\"Arial\" alt-size=24 B=-8 C=16 D=-32 "
    "G=140 H=140 flags=0x1010 flags2=0x0008"};

std::string Definition(int number, int kind) {
    return "articulation " + std::to_string(number) + " " + kDefinitionText[kind] + "\n";
}

// The articulations of an entry as "definition:main/flipped@first,second" items.
std::string ArticulationsOf(FCNoteEntry* entry) {
    FCArticulations articulations(entry);
    articulations.LoadAll();
    std::string text;
    for (int i = 0; i < articulations.GetCount(); ++i) {
        FCArticulation* articulation = articulations.GetItemAt(i);
        std::unique_ptr<FCArticulationDef> definition(articulation->CreateDefinition());
        text += (i ? " " : "") + std::to_string(articulation->GetDefNumber()) + ":" +
                (definition ? std::to_string(definition->GetMainSymbolChar()) + "/" +
                                  std::to_string(definition->GetFlippedSymbolChar())
                            : std::string("none")) +
                "@" + std::to_string(articulation->GetPosition1()) + "," + std::to_string(articulation->GetPosition2());
    }
    return text;
}

}  // namespace

TEST(Articulations, AddingPlacesEachKindByItsDefinition) {
    LoadScore("qzs 1\nstaff 1\nmeasure 1\ns1: 4 C4 D4 E4 F4\nmeasure 2\ns1: 1 G4\n");
    FCNoteEntryLayer layer(0, 1, 1, 2);
    ASSERT_TRUE(layer.Load());
    FCArticulationDefs definitions;
    FCFontInfo font;
    ArticulationFont(&font);
    for (int kind = 0; kind < FCArticulationDef::kKindCount; ++kind)
        EXPECT_TRUE(FCArticulations::AddArticulation(layer.GetItemAt(kind), kind, &definitions, &font));
    // A second entry needing the staccato finds the definition made for the first.
    EXPECT_TRUE(
        FCArticulations::AddArticulation(layer.GetItemAt(4), FCArticulationDef::kStaccato, &definitions, &font));
    EXPECT_EQ(definitions.GetCount(), 4);
    for (int kind = 0; kind < FCArticulationDef::kKindCount; ++kind)
        EXPECT_TRUE(layer.GetItemAt(kind)->HasArticulations()) << kind;
    ASSERT_TRUE(layer.Save());
    EXPECT_EQ(CurrentMusic(),
              Music("qzs 1\nstaff 1\n" + Definition(1, 0) + Definition(2, 1) + Definition(3, 2) + Definition(4, 3) +
                    "measure 1\n"
                    "s1: 4 C4!art1(7,12) D4!art2(2,14) E4!art3(0,10) F4!art4(4,8)\n"
                    "measure 2\n"
                    "s1: 1 G4!art1(7,12)\n"));

    // Nothing is made for an entry without a number, a kind out of range or no list.
    FCNoteEntry unsaved;
    EXPECT_FALSE(FCArticulations::AddArticulation(&unsaved, 0, &definitions, &font));
    EXPECT_FALSE(FCArticulations::AddArticulation(layer.GetItemAt(0), 4, &definitions, &font));
    EXPECT_FALSE(FCArticulations::AddArticulation(layer.GetItemAt(0), 0, nullptr, &font));
}

TEST(Articulations, AFailedCreationLeavesTheEntryAlone) {
    LoadScore("qzs 1\nstaff 1\nmeasure 1\ns1: 1 C4\n");
    FCNoteEntryCell cell(1, 1);
    ASSERT_TRUE(cell.Load());
    FCArticulationDefs definitions;
    FCFontInfo font;
    ArticulationFont(&font);
    simhost::SetFailing("FX_CreateEData");
    EXPECT_FALSE(FCArticulations::AddArticulation(cell.GetItemAt(0), 0, &definitions, &font));
    simhost::SetFailing("FX_CreateEData", false);
    EXPECT_FALSE(cell.GetItemAt(0)->HasArticulations());
    EXPECT_EQ(simhost::CurrentDocument().Records().Count(FCArticulation::kTag), 0);
    EXPECT_EQ(definitions.GetCount(), 0);
}

TEST(Articulations, OldHostsUseTheShortDefinition) {
    hostapi::SetHostVersion(0x10000000);
    LoadScore("qzs 1\nstaff 1\nmeasure 1\ns1: 1 C4\n");
    FCNoteEntryCell cell(1, 1);
    ASSERT_TRUE(cell.Load());
    FCArticulationDefs definitions;
    FCFontInfo font;
    ArticulationFont(&font);
    ASSERT_TRUE(FCArticulations::AddArticulation(cell.GetItemAt(0), FCArticulationDef::kAccent, &definitions, &font));
    ASSERT_TRUE(cell.Save());
    const FXKey key = {{1, 0, 0, 0}};
    const simhost::RecordStore::Bytes* stored = simhost::CurrentDocument().Records().Find(FCArticulationDef::kTag, key);
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->size(), 48u);
    EXPECT_EQ(ArticulationsOf(cell.GetItemAt(0)), "1:62/62@0,10");
    EXPECT_EQ(CurrentMusic(), Music("qzs 1\nstaff 1\n" + Definition(1, 2) + "measure 1\ns1: 1 C4!art1(0,10)\n"));
}

TEST(Articulations, KindsAreFoundThroughLoadableDefinitions) {
    LoadScore("qzs 1\nstaff 1\n" + Definition(1, 0) + Definition(2, 3) +
              "articulation 3 char=248\n"
              "articulation 4 shape=46\n"
              "measure 1\n"
              "s1: 4 C4!art1 D4!art3 E4!art2!art9 8 F4!art4 G4!artic\n"
              "measure 2\n");
    FCNoteEntryCell cell(1, 1);
    ASSERT_TRUE(cell.Load());
    struct Row {
        int entry;
        const char* kinds;
    } rows[] = {
        {0, "1000"},  // staccato
        {1, "1100"},  // staccato + tenuto
        {2, "0001"},  // grave accent, and a definition that does not exist
        {3, "0000"},  // a shape
        {4, "0000"},  // flagged, but without articulations
    };
    for (const Row& row : rows) {
        std::string kinds;
        for (int kind = 0; kind < FCArticulationDef::kKindCount; ++kind)
            kinds += FCArticulations::HasArticulationKind(cell.GetItemAt(row.entry), kind) ? '1' : '0';
        EXPECT_EQ(kinds, row.kinds) << row.entry;
    }
    EXPECT_FALSE(FCArticulations::HasArticulationKind(nullptr, 0));
}

TEST(Articulations, MergingMakesCombinedSymbols) {
    struct Row {
        int existing, added;
        bool merged;
        const char* after;  // the entry's articulations afterwards
        uint16_t flags1;    // of the combined definition, selectors and the flags merging sets
    } rows[] = {
        {FCArticulationDef::kStaccato, FCArticulationDef::kTenuto, true, "5:248/60@7,12", 0x4000 | 0x1000 | 0x0200},
        {FCArticulationDef::kTenuto, FCArticulationDef::kStaccato, true, "5:248/60@2,14", 0x4000 | 0x1000 | 0x0200},
        {FCArticulationDef::kStaccato, FCArticulationDef::kAccent, true, "5:249/223@7,12", 0x4000 | 0x1000},
        {FCArticulationDef::kAccent, FCArticulationDef::kStaccato, true, "5:249/223@0,10", 0x4000 | 0x1000},
        {FCArticulationDef::kStaccato, FCArticulationDef::kGraveAccent, true, "5:172/232@7,12", 0x4000 | 0x1000},
        {FCArticulationDef::kGraveAccent, FCArticulationDef::kStaccato, true, "5:172/232@4,8", 0x4000 | 0x1000},
        {FCArticulationDef::kTenuto, FCArticulationDef::kAccent, true, "5:138/137@2,14", 0x4000 | 0x1000},
        {FCArticulationDef::kAccent, FCArticulationDef::kTenuto, true, "5:138/137@0,10", 0x4000 | 0x1000},
        {FCArticulationDef::kGraveAccent, FCArticulationDef::kTenuto, false, "", 0},
        {FCArticulationDef::kTenuto, FCArticulationDef::kGraveAccent, false, "", 0},
        {FCArticulationDef::kStaccato, FCArticulationDef::kStaccato, false, "", 0},
    };
    FCFontInfo font;
    ArticulationFont(&font);
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.existing) + "+" + std::to_string(row.added));
        LoadScore("qzs 1\nstaff 1\n" + Definition(1, 0) + Definition(2, 1) + Definition(3, 2) + Definition(4, 3) +
                  "measure 1\ns1: 1 C4\n");
        FCNoteEntryCell cell(1, 1);
        ASSERT_TRUE(cell.Load());
        FCNoteEntry* entry = cell.GetItemAt(0);
        FCArticulationDefs definitions;
        ASSERT_EQ(definitions.LoadAllHandled(nullptr), 4);
        ASSERT_TRUE(FCArticulations::AddArticulation(entry, row.existing, &definitions, &font));
        const std::string before = ArticulationsOf(entry);
        EXPECT_EQ(FCArticulations::MergeArticulation(entry, row.added, &definitions), row.merged);
        if (!row.merged) {
            EXPECT_EQ(ArticulationsOf(entry), before);
            continue;
        }
        EXPECT_EQ(ArticulationsOf(entry), row.after);
        FCArticulationDef combined;
        ASSERT_TRUE(combined.Load(5));
        EXPECT_EQ(combined.GetFlags1() & 0x7200, row.flags1);
        EXPECT_EQ(combined.GetFlags2() & 0x0001, 0);
        EXPECT_EQ(definitions.GetCount(), 5);
        // A second merge finds the combined definition made by the first.
        ASSERT_TRUE(FCArticulations::AddArticulation(entry, row.existing, &definitions, &font));
        EXPECT_TRUE(FCArticulations::MergeArticulation(entry, row.added, &definitions));
        EXPECT_EQ(ArticulationsOf(entry), std::string(row.after) + " " + row.after);
        EXPECT_EQ(definitions.GetCount(), 5);
    }
}

TEST(Articulations, DeletingHandledKindsKeepsTheOthers) {
    LoadScore("qzs 1\nstaff 1\n" + Definition(1, 0) + Definition(2, 2) +
              "articulation 3 char=60\n"
              "articulation 4 shape=46\n"
              "measure 1\n"
              "s1: 4 C4!art1!art3!art2 D4!art2 E4!art9!art4 F4!art1\n"
              "measure 2\n"
              "s1: 1 G4!art1\n");
    FCNoteEntryLayer layer(0, 1, 1, 2);
    ASSERT_TRUE(layer.Load());
    EXPECT_TRUE(FCArticulations::DeleteHandledArticulations(layer.GetItemAt(0), layer.GetItemAt(2)));
    ASSERT_TRUE(layer.Save());
    EXPECT_EQ(CurrentMusic(), Music("qzs 1\nstaff 1\n" + Definition(1, 0) + Definition(2, 2) +
                                    "articulation 3 char=60\n"
                                    "articulation 4 shape=46\n"
                                    "measure 1\n"
                                    "s1: 4 C4!art3 D4!artic E4!art9!art4 F4!art1\n"
                                    "measure 2\n"
                                    "s1: 1 G4!art1\n"));
    // Nothing left to delete there; without a last entry the walk runs to the end.
    EXPECT_FALSE(FCArticulations::DeleteHandledArticulations(layer.GetItemAt(0), layer.GetItemAt(2)));
    EXPECT_TRUE(FCArticulations::DeleteHandledArticulations(layer.GetItemAt(2), nullptr));
    EXPECT_EQ(ArticulationsOf(layer.GetItemAt(3)), "");
    EXPECT_EQ(ArticulationsOf(layer.GetItemAt(4)), "");
}

TEST(Articulations, RecordsLoadAndSaveByIncidence) {
    LoadScore("qzs 1\nstaff 1\nmeasure 1\ns1: 2 C4!art3(1,-2)!art7 D4\n");
    FCNoteEntryCell cell(1, 1);
    ASSERT_TRUE(cell.Load());
    FCArticulations articulations(cell.GetItemAt(0));
    ASSERT_EQ(articulations.LoadAll(), 2);
    EXPECT_EQ(articulations.GetItemAt(0)->GetItemInci(), 0);
    EXPECT_EQ(articulations.GetItemAt(1)->GetDefNumber(), 7);
    EXPECT_EQ(articulations.GetItemAt(0)->GetConnectedEntry(), cell.GetItemAt(0));
    articulations.GetItemAt(0)->SetPosition2(-40);
    ASSERT_TRUE(articulations.SaveAll());
    // Created new on another entry, in order.
    FCArticulations copies(cell.GetItemAt(1));
    copies.MoveFrom(&articulations, false);
    copies.SaveAllNew();
    ASSERT_TRUE(cell.Save());
    EXPECT_EQ(CurrentMusic(), Music("qzs 1\nstaff 1\nmeasure 1\ns1: 2 C4!art3(1,-40)!art7 D4!art3(1,-40)!art7\n"));
    // A new articulation counts as loaded without any load; an unknown definition makes none.
    FCArticulation fresh;
    EXPECT_TRUE(fresh.IsLoaded());
    EXPECT_EQ(fresh.CreateDefinition(), nullptr);
}
