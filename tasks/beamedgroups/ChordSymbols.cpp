// Chord Symbols: the host analyses every pitch of a beamed group as one chord, and the symbol it
// names is stored at the group's position. The group is gathered on its first entry in a second
// copy of the cell and saved, so that the host sees it; the cell being walked still holds the
// group as it was and is saved over it afterwards, whatever happened in between.
#include "framework/entries/FCChord.h"
#include "framework/entries/FCNoteEntry.h"
#include "framework/entries/FCNoteEntryCell.h"
#include "framework/score/FCCell.h"
#include "framework/score/FCMeasure.h"
#include "plugin/PatternSettings.h"
#include "tasks/beamedgroups/FCBeamedGroupsBlockHandler.h"

bool FCBeamedGroupsBlockHandler::ChordSymbolGroup(FCNoteEntry* start, const FCMusicRegion* region,
                                                  FCNoteEntryCell* cell) {
    if (!start || !cell) return false;
    const PatternSettings& settings = ThePatternSettings();
    const int measure = start->GetMeasure();
    const int staff = start->GetStaff();
    const int32_t position = start->GetMeasurePos();

    // Only the group's own layer changes; the others are neither loaded nor saved again.
    FCNoteEntryCell merged(measure, staff);
    merged.SetLayerMode(start->GetLayerNumber());
    if (!merged.Load()) return false;
    FCNoteEntry* first = merged.FindEntryNumber(start->GetEntryNumber());
    // A locked layer is never saved: the host could not be shown the group.
    if (!first || fcframe::IsLocked(first->GetFrame())) return false;
    if (!MergeGroup(first, region, kMergeForAnalysis)) return false;
    // Part of a refused save may have reached the document: the walked cell puts the group back,
    // and when even that fails the run reports a change, so that Execute's own save of the cell
    // fails as well and the whole edit is cancelled.
    const int layer = start->GetLayerNumber() - 1;
    if (!merged.Save()) return !cell->SaveLayer(layer);

    bool changed = false;
    FCCell chordCell(measure, staff);
    FCChords chords;
    chords.LoadAllForCell(&chordCell);
    FCChord* existing = chords.FindAtPosition(position);
    bool analyse = true;
    if (existing) {
        // An existing symbol stays unless it is to be replaced; one that cannot be deleted stays
        // as well, and the group gets no second one.
        analyse = settings.QZPT_BEAMEDGROUPS_CHORDSYM_REPLACE && existing->DeleteData();
        changed = analyse;
    }
    if (analyse) {
        FCChord chord;
        if (chord.AnalyzeAt(first)) {
            chord.ConnectToCell(&chordCell);
            chord.SetShowAltBass(settings.QZPT_BEAMEDGROUPS_CHORDSYM_ALTBASS);
            if (chord.SaveNew()) {
                changed = true;
                FCMeasure record;
                if (record.Load(uint16_t(measure))) {
                    record.SetHasChords(true);
                    record.Save();
                }
            }
        }
    }

    // The walked cell still holds the group untouched: saving its layer takes the gathering back
    // out (no other layer was touched).
    if (!cell->SaveLayer(layer)) return true;
    return changed;
}
