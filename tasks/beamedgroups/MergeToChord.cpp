// Merge to Chord: a beamed group becomes one chord lasting as long as the whole group. Chord
// Symbols gathers its groups the same way for the host's analysis.
#include "framework/entries/FCNoteEntry.h"
#include "framework/entries/FCNotePitches.h"
#include "framework/entries/__FCNoteEntryCollection.h"
#include "framework/score/FCMusicRegion.h"
#include "tasks/beamedgroups/FCBeamedGroupsBlockHandler.h"

bool FCBeamedGroupsBlockHandler::MergeGroup(FCNoteEntry* start, const FCMusicRegion* region, MergeMode mode) {
    if (!start) return false;
    FCNoteEntries group;
    if (!start->CollectBeamGroup(region, &group) || group.GetCount() < 2) return false;

    // The later entries' pitches are added in entry order, each only when the chord lacks it;
    // AddPitches stops at twelve notes. Their ties stay behind with them.
    FCNotePitches pitches;
    if (mode == kMergeForGood) {
        // Slurs lying wholly on the group go (unless they start on a grace note); one that only
        // starts or ends inside it, on a later entry, is moved there onto the chord.
        RemoveGroupSlurs(start, group.GetItemAt(group.GetCount() - 1), true, false);
        int32_t total = 0;
        for (int i = 0; i < group.GetCount(); ++i) total += group.GetItemAt(i)->GetActualDuration();
        start->SetTupletStart(false);
        start->SetDuration(total);
        // A rest cannot take pitches: a group that starts with one stays a rest, of the whole length.
        for (int i = 1; i < group.GetCount(); ++i) {
            FCNoteEntry* entry = group.GetItemAt(i);
            entry->CopyPitchesTo(&pitches);
            start->AddPitches(&pitches, true);
            entry->SetDuration(0);
        }
        return true;
    }

    // For the analysis only the pitches matter, and everything is written back afterwards.
    // The durations stay: entries of duration 0 would go from the document when the host saves
    // the frame, and their articulations, tuplets and shape marks with them. A rest at the start
    // becomes a note for the moment, so the group's pitches sound at the group's position.
    if (start->IsRest()) {
        start->ClearNotes();
        start->SetEntryFlagBits(FCNoteEntry::kFlagNote, true);
    }
    for (int i = 1; i < group.GetCount(); ++i) {
        group.GetItemAt(i)->CopyPitchesTo(&pitches);
        start->AddPitches(&pitches, true);
    }
    return true;
}
