// Merge to Chord: a beamed group becomes one chord lasting as long as the whole group. Chord
// Symbols gathers its groups the same way for the host's analysis.
#include "framework/entries/FCNoteEntry.h"
#include "framework/entries/FCNotePitches.h"
#include "framework/entries/__FCNoteEntryCollection.h"
#include "framework/markings/FCSmartShape.h"
#include "framework/markings/FCSmartShapeEntryMark.h"
#include "framework/markings/FCSmartShapeMeasureMark.h"
#include "framework/score/FCMusicRegion.h"
#include "tasks/beamedgroups/FCBeamedGroupsBlockHandler.h"

#include <memory>

namespace {

// The group's entry with this entry number, or null.
FCNoteEntry* FindInGroup(const FCNoteEntries& group, int32_t number) {
    if (number == 0) return nullptr;
    for (int i = 0; i < group.GetCount(); ++i)
        if (group.GetItemAt(i)->GetEntryNumber() == number) return group.GetItemAt(i);
    return nullptr;
}

// The slurs of the group before it becomes a chord on its first entry: a slur lying wholly on
// the group goes (unless it starts on a grace note), one that only starts or only ends inside
// it, on a later entry, is moved to that end on the first entry, so it reaches the chord.
// Whether anything changed.
bool ReattachGroupSlurs(const FCNoteEntries& group) {
    FCNoteEntry* first = group.GetItemAt(0);
    FCNoteEntry* last = group.GetItemAt(group.GetCount() - 1);
    bool changed = false, endMoved = false;
    for (int measure = first->GetMeasure(); measure <= last->GetMeasure(); ++measure) {
        FCSmartShapeMeasureMarks marks;
        marks.LoadAllForItem(uint16_t(measure));
        for (int i = marks.GetCount() - 1; i >= 0; --i) {
            std::unique_ptr<FCSmartShape> shape(marks.GetItemAt(i)->CreateSmartShape(true));
            if (!shape || !shape->IsEntryAttachedSlur()) continue;
            FCSmartShapeSegment* left = shape->GetLeftSegment();
            FCSmartShapeSegment* right = shape->GetRightSegment();
            FCNoteEntry* start = FindInGroup(group, left->GetEntryNumber());
            FCNoteEntry* end = FindInGroup(group, right->GetEntryNumber());
            FCSmartShapeSegment* moved = nullptr;
            if (start && end) {
                if (start->IsGraceNote()) continue;
                if (!shape->DeleteEverything()) continue;
                start->SetSmartShapeFlag(false);
                end->SetSmartShapeFlag(false);
                changed = true;
                continue;
            }
            if (start && start != first) moved = left;
            if (!start && end && end != first) moved = right;
            if (!moved) continue;
            // The moved end's entry goes with the merge, and its entry mark with it: the first
            // entry takes the mark.
            moved->SetEntry(first);
            if (!shape->Save()) continue;
            FCSmartShapeEntryMark mark;
            mark.ConnectToEntry(first);
            mark.SetShapeNumber(shape->GetShapeNumber());
            mark.SaveNew();
            changed = true;
            endMoved = endMoved || moved == right;
        }
    }
    if (endMoved) first->SetSmartShapeFlag(true);
    return changed;
}

}  // namespace

bool FCBeamedGroupsBlockHandler::MergeGroup(FCNoteEntry* start, const FCMusicRegion* region, MergeMode mode) {
    if (!start) return false;
    FCNoteEntries group;
    if (!start->CollectBeamGroup(region, &group) || group.GetCount() < 2) return false;

    // The later entries' pitches are added in entry order, each only when the chord lacks it;
    // AddPitches stops at twelve notes. Their ties stay behind with them.
    FCNotePitches pitches;
    if (mode == kMergeForGood) {
        ReattachGroupSlurs(group);
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
