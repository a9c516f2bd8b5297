// The handler of the Beamed Groups tasks (Reorder Notes, Merge to Chord, Articulations, Slurs,
// Chord Symbols): their option panels, and the work on the beamed groups of the selection.
// Short-lived like every task handler; owns nothing.
#pragma once

#include "framework/core/FCFontInfo.h"
#include "framework/entries/FCArticulationDef.h"
#include "plugin/FCPatternTaskBlockHandler.h"

#include <memory>

class FCMusicRegion;
class FCNoteEntries;
class FCNoteEntry;
class FCNoteEntryCell;
class FCNotePitchesCollection;

class FCBeamedGroupsBlockHandler : public FCPatternTaskBlockHandler {
public:
    enum { kReorderNotes = 1001, kMergeToChord = 1002, kArticulations = 1003, kSlurs = 1004, kChordSymbols = 1005 };

    FCBeamedGroupsBlockHandler(int taskID, FCUI* ui, PatternTaskWindow* window)
        : FCPatternTaskBlockHandler(taskID, ui, window) {}
    FC_CLASS_INFO(FCBeamedGroupsBlockHandler)

    bool Execute() override;
    void AddTaskControls(FCTaskControlInfos* infos) override;
    void InitTaskControls() override;
    void UpdateTaskControls() override;
    void StoreTaskSettings() override;

    // The orders of QZPT_BEAMEDGROUPS_REODER_STYLE.
    enum ReorderStyle {
        kReorderAscending,
        kReorderDescending,
        kReorderStaircaseAscending,
        kReorderStaircaseDescending,
        kReorderWaveAscending,
        kReorderWaveDescending,
        kReorderBaseDescending,
        kReorderTopDescending,
        kReorderRotateLeft,
        kReorderRotateRight,
        kReorderRandomize,
        kReorderStyleCount
    };

    // Reorder Notes on the beamed group that starts at start: the chords of its note entries are
    // redistributed over those entries in the style's order; rests keep their places. False,
    // with nothing changed, when an entry of the group lies outside the region, the group has
    // fewer than two note entries or the style is unknown.
    static bool ReorderGroup(FCNoteEntry* start, const FCMusicRegion* region, int style);
    // Which chord of the group's list (sorted lowest first, or in entry order for the rotations)
    // goes to note entry i of n; -1 for an unknown style or a position outside the group.
    static int CalcReorderSourceIndex(int style, int i, int n);

protected:
    // Popup tables the Performance Notation tasks show as well.
    static const TaskPopupItem kArticulationTypes[4];
    static const TaskPopupItem kSlurShapes[2];

    // How MergeGroup leaves the group: merged for good (the later entries get duration 0 for the
    // cell's DeleteZeroDurationEntries), or only gathered for the host's analysis (every pitch
    // of the group on its first entry, durations untouched; the caller writes the group back).
    enum MergeMode { kMergeForGood, kMergeForAnalysis };
    // Merge to Chord on the beamed group that starts at start (tasks/beamedgroups/MergeToChord.cpp):
    // the first entry takes the group's total duration and every pitch of the later entries it
    // does not hold (up to twelve notes). False, with nothing changed, when an entry of the group
    // lies outside the region or the group has fewer than two entries.
    bool MergeGroup(FCNoteEntry* start, const FCMusicRegion* region, MergeMode mode);
    // Chord Symbols on the beamed group that starts at start, an entry of the cell being walked
    // (tasks/beamedgroups/ChordSymbols.cpp): the chord symbol the host finds in the whole group,
    // stored at the group's position. True when a chord symbol was created or deleted.
    bool ChordSymbolGroup(FCNoteEntry* start, const FCMusicRegion* region, FCNoteEntryCell* cell);
    // --- Articulations and Slurs (tasks/beamedgroups/Articulations.cpp and Slurs.cpp), and the
    // pieces the Performance Notation tasks reuse. Each helper returns whether the document
    // changed. Lists are views of entries the caller owns. ---
    // The Articulations task on the group that starts at start.
    bool ArticulateGroup(FCNoteEntry* start, const FCMusicRegion* region);
    // The Slurs task on the group that starts at start.
    bool SlurGroup(FCNoteEntry* start, const FCMusicRegion* region);
    // At the start of an Articulations run: copies its options and prepares the definitions.
    void PrepareArticulations();
    // Loads the handled articulation definitions and the articulation font, once per run.
    void PrepareArticulationDefinitions();
    // Gives the entries at list positions start .. start + count - 1 (clamped to the list) an
    // articulation of the kind, merging it into an existing one when merge is on; entries that
    // already hold the kind are skipped.
    bool AddArticulationRange(FCNoteEntries* list, int start, int count);
    // Articulates the list's entries that lie under a slur (slurred) or under none (!slurred).
    bool ArticulateSlurred(FCNoteEntries* list, bool slurred);
    // Articulates the list's entries on which a slur starts (!ends) or ends (ends).
    bool ArticulateSlurEnds(FCNoteEntries* list, bool ends);
    // A new slur from first to last (on first's staff), unless one joins them already.
    static bool AddSlur(FCNoteEntry* first, FCNoteEntry* last, bool solid);
    // AddSlur over list positions start .. start + count - 1 in the Slurs task's shape; false
    // when the range does not fit the list.
    bool AddSlurOverRange(FCNoteEntries* list, int start, int count);
    // Deletes the slurs that lie wholly on the entries from first to last and start on a grace
    // note exactly when graceStart; with reattach, slurs with one end among them are moved to
    // start or end on first.
    static bool RemoveGroupSlurs(FCNoteEntry* first, FCNoteEntry* last, bool reattach, bool graceStart);

    // The articulation definitions in use and the articulation font (PrepareArticulationDefinitions).
    FCArticulationDefs articulationDefs_;
    FCFontInfo articulationFont_;
    // The articulation options of the current run: count, merge, keep and kind.
    int articulationCount_ = 1;
    bool articulationMerge_ = true;
    bool articulationKeep_ = false;
    int articulationKind_ = 0;

private:
    // The definition of the articulation kind, found in or added to the definitions once per
    // run; null when it cannot be made.
    const FCArticulationDef* GetKindDefinition();
    std::unique_ptr<FCArticulationDef> kindDefinition_;
    int kindDefinitionKind_ = -1;

    // ReorderGroup, copying the chords into chords (an owning collection), whose copies are
    // reused: a run over many groups need not make every copy anew.
    static bool ReorderGroup(FCNoteEntry* start, const FCMusicRegion* region, int style,
                             FCNotePitchesCollection* chords);
    // The task's work on one group of the cell being walked; true when it changed the group.
    // chords: see ReorderGroup.
    bool RunGroupTask(FCNoteEntry* start, const FCMusicRegion* region, FCNoteEntryCell* cell,
                      FCNotePitchesCollection* chords);
};
