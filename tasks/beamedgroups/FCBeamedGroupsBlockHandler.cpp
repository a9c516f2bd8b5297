#include "tasks/beamedgroups/FCBeamedGroupsBlockHandler.h"

#include "framework/entries/EntryFrameLayout.h"
#include "framework/entries/FCNoteEntry.h"
#include "framework/entries/FCNoteEntryCell.h"
#include "framework/entries/FCNotePitchSorter.h"
#include "framework/entries/FCNotePitches.h"
#include "framework/entries/__FCNoteEntryCollection.h"
#include "framework/score/FCMusicRegion.h"
#include "framework/score/FCSelectionWalker.h"
#include "plugin/PatternSettings.h"

#include <cstdlib>
#include <ctime>

namespace {

const TaskPopupItem kReorderStyles[] = {
    {0, "Ascending"},
    {1, "Descending"},
    {2, "Staircase - Ascending"},
    {3, "Staircase - Descending"},
    {4, "Wave - Ascending"},
    {5, "Wave - Descending"},
    {6, "Base+Descending"},
    {7, "Top+Descending"},
    {8, "Rotate Left"},
    {9, "Rotate Right"},
    {10, "Randomize"},
};

const TaskPopupItem kArticulationPlacements[] = {
    {0, "All Notes in Group"},
    {1, "First __ Note(s)"},
    {2, "Last __ Note(s)"},
    {3, "First and Last __ Note(s)"},
    {4, "__ Note(s), Starting on 2nd note"},
    {5, "__ Note(s), Starting on 3rd note"},
    {6, "Slurred Notes"},
    {7, "Non-Slurred Notes"},
    {8, "Slur Start"},
    {9, "Slur End"},
};

const TaskPopupItem kSlurStyles[] = {
    {0, "Full"},
    {1, "First __ Notes"},
    {2, "Last __ Notes"},
    {3, "First and Last __ Notes"},
    {4, "Patterns of __"},
    {5, "First __ Notes, Remaining Slurred"},
    {6, "Last __ Notes, Remaining Slurred"},
    {7, "__ Notes, Starting on 2nd note"},
    {8, "__ Notes, Starting on 3rd note"},
};
static_assert(sizeof kReorderStyles / sizeof kReorderStyles[0] == FCBeamedGroupsBlockHandler::kReorderStyleCount,
              "one popup row per style");

// The placements that use the number field.
bool PlacementUsesNumber(int key) { return key >= 1 && key <= 5; }

}  // namespace

const TaskPopupItem FCBeamedGroupsBlockHandler::kArticulationTypes[4] = {
    {0, "Staccato Dot"},
    {1, "Tenuto Dash"},
    {2, "Accent"},
    {3, "Grave Accent"},
};

const TaskPopupItem FCBeamedGroupsBlockHandler::kSlurShapes[2] = {
    {0, "Slur"},
    {1, "Dashed Curve"},
};

bool FCBeamedGroupsBlockHandler::RunGroupTask(FCNoteEntry* start, const FCMusicRegion* region, FCNoteEntryCell* cell,
                                              FCNotePitchesCollection* chords) {
    switch (GetTaskID()) {
        case kReorderNotes:
            return ReorderGroup(start, region, ThePatternSettings().QZPT_BEAMEDGROUPS_REODER_STYLE, chords);
        case kMergeToChord:
            return MergeGroup(start, region, kMergeForGood);
        case kChordSymbols:
            return ChordSymbolGroup(start, region, cell);
        case kArticulations:
            return ArticulateGroup(start, region);
        case kSlurs:
            return SlurGroup(start, region);
        default:
            // The other Beamed Groups tasks bring their group work with them.
            return false;
    }
}

bool FCBeamedGroupsBlockHandler::Execute() {
    const int task = GetTaskID();
    if (task < kReorderNotes || task > kChordSymbols) return false;
    // Seeded once per run, so the groups of one run are shuffled differently from each other.
    if (ThePatternSettings().QZPT_BEAMEDGROUPS_REODER_STYLE == kReorderRandomize)
        std::srand(unsigned(std::time(nullptr)));
    if (task == kArticulations) PrepareArticulations();

    FCMusicRegion region;
    if (!region.SetCurrentSelection() || region.IsEmpty()) return false;
    // The copies of one group's chords are overwritten by the next group's.
    FCNotePitchesCollection chords;
    FCSelectionWalker walker(&region);
    // Reorder Notes keeps every entry object of a cell and saves nothing before the cell is done.
    walker.SetEntriesKept(task == kReorderNotes);
    const bool changed = walker.ForEachGroupStart([&](FCNoteEntry* start, FCNoteEntryCell* cell) {
        if (!RunGroupTask(start, &region, cell, &chords)) return FCSelectionWalker::kUnchanged;
        // The merged group's emptied entries go at once, so the walk goes on after the chord.
        if (task == kMergeToChord && !cell->DeleteZeroDurationEntries()) return FCSelectionWalker::kCancel;
        return FCSelectionWalker::kChanged;
    });
    if (changed && task == kMergeToChord && ThePatternSettings().QZPT_RESPACE_IF_NECESSARY) RespaceSelection(true);
    return changed;
}

void FCBeamedGroupsBlockHandler::AddTaskControls(FCTaskControlInfos* infos) {
    switch (GetTaskID()) {
        case kReorderNotes:
            AddRow(infos, GetStatic1(), 0, 50, 10);
            AddRow(infos, GetPopup1(), 0, 50, kBelow);
            break;
        case kArticulations:
            AddRow(infos, GetStatic2(), 0, 60, 5);
            AddRow(infos, GetPopup2(), 0, 60, kBelow);
            AddRow(infos, GetEdit1(), 65, 15, kBeside);
            AddRow(infos, GetStatic1(), 0, 40, 25);
            AddRow(infos, GetPopup1(), 0, 40, kBelow);
            AddRow(infos, GetCheck1(), 0, 60, 50);
            AddRow(infos, GetCheck2(), 10, 60, 60);
            break;
        case kSlurs:
            AddRow(infos, GetStatic1(), 0, 70, 10);
            AddRow(infos, GetPopup1(), 0, 70, kBelow);
            AddRow(infos, GetEdit1(), 75, 15, kBeside);
            AddRow(infos, GetStatic2(), 0, 40, 30);
            AddRow(infos, GetPopup2(), 0, 40, kBelow);
            break;
        case kChordSymbols:
            AddRow(infos, GetCheck1(), 0, 70, 10);
            AddRow(infos, GetCheck2(), 0, 70, 20);
            break;
        default:
            break;
    }
}

void FCBeamedGroupsBlockHandler::InitTaskControls() {
    PatternSettings& settings = ThePatternSettings();
    switch (GetTaskID()) {
        case kReorderNotes:
            SetLabel(GetStatic1(), "Style:");
            FillPopup(GetPopup1(), kReorderStyles, settings.QZPT_BEAMEDGROUPS_REODER_STYLE);
            break;
        case kArticulations:
            SetLabel(GetStatic2(), "Placement style:");
            FillPopup(GetPopup2(), kArticulationPlacements, settings.QZPT_BEAMEDGROUPS_ARTIC_PLACEMENT);
            SetInteger(GetEdit1(), settings.QZPT_BEAMEDGROUPS_ARTIC_STYLEDIGIT);
            SetLabel(GetStatic1(), "Articulation type:");
            FillPopup(GetPopup1(), kArticulationTypes, settings.QZPT_BEAMEDGROUPS_ARTIC_TYPE);
            SetLabel(GetCheck1(), "Keep existing articulations");
            SetChecked(GetCheck1(), settings.QZPT_BEAMEDGROUPS_ARTIC_KEEP);
            SetLabel(GetCheck2(), "Merge if possible");
            SetChecked(GetCheck2(), settings.QZPT_BEAMEDGROUPS_ARTIC_MERGE);
            break;
        case kSlurs:
            SetLabel(GetStatic1(), "Slur placement style:");
            FillPopup(GetPopup1(), kSlurStyles, settings.QZPT_BEAMEDGROUPS_SLUR_STYLE);
            SetInteger(GetEdit1(), settings.QZPT_BEAMEDGROUPS_SLUR_STYLEDIGIT);
            SetLabel(GetStatic2(), "Shape:");
            FillPopup(GetPopup2(), kSlurShapes, settings.QZPT_BEAMEDGROUPS_SLUR_SHAPE);
            break;
        case kChordSymbols:
            SetLabel(GetCheck1(), "Replace existing chords");
            SetChecked(GetCheck1(), settings.QZPT_BEAMEDGROUPS_CHORDSYM_REPLACE);
            SetLabel(GetCheck2(), "Display alternate bass");
            SetChecked(GetCheck2(), settings.QZPT_BEAMEDGROUPS_CHORDSYM_ALTBASS);
            break;
        default:
            break;
    }
}

void FCBeamedGroupsBlockHandler::UpdateTaskControls() {
    switch (GetTaskID()) {
        case kArticulations:
            if (!PlacementUsesNumber(GetPopupKey(GetPopup2(), kArticulationPlacements))) SetEnabled(GetEdit1(), false);
            if (!IsChecked(GetCheck1())) SetEnabled(GetCheck2(), false);
            break;
        case kSlurs:
            if (GetPopupKey(GetPopup1(), kSlurStyles) == 0) SetEnabled(GetEdit1(), false);
            break;
        default:
            break;
    }
}

void FCBeamedGroupsBlockHandler::StoreTaskSettings() {
    PatternSettings& settings = ThePatternSettings();
    switch (GetTaskID()) {
        case kReorderNotes:
            settings.QZPT_BEAMEDGROUPS_REODER_STYLE = GetPopupKey(GetPopup1(), kReorderStyles);
            break;
        case kArticulations:
            settings.QZPT_BEAMEDGROUPS_ARTIC_PLACEMENT = GetPopupKey(GetPopup2(), kArticulationPlacements);
            settings.QZPT_BEAMEDGROUPS_ARTIC_STYLEDIGIT = GetClampedInteger(GetEdit1(), 1, 10);
            settings.QZPT_BEAMEDGROUPS_ARTIC_TYPE = GetPopupKey(GetPopup1(), kArticulationTypes);
            settings.QZPT_BEAMEDGROUPS_ARTIC_KEEP = IsChecked(GetCheck1());
            settings.QZPT_BEAMEDGROUPS_ARTIC_MERGE = IsChecked(GetCheck2());
            break;
        case kSlurs:
            settings.QZPT_BEAMEDGROUPS_SLUR_STYLE = GetPopupKey(GetPopup1(), kSlurStyles);
            settings.QZPT_BEAMEDGROUPS_SLUR_STYLEDIGIT = GetClampedInteger(GetEdit1(), 2, 10);
            settings.QZPT_BEAMEDGROUPS_SLUR_SHAPE = GetPopupKey(GetPopup2(), kSlurShapes);
            break;
        case kChordSymbols:
            settings.QZPT_BEAMEDGROUPS_CHORDSYM_REPLACE = IsChecked(GetCheck1());
            settings.QZPT_BEAMEDGROUPS_CHORDSYM_ALTBASS = IsChecked(GetCheck2());
            break;
        default:
            break;
    }
}
