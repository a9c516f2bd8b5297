// Reorder Notes: the chords of each beamed group of the selection redistributed over its note
// entries in the order of the chosen style.
#include "tasks/beamedgroups/FCBeamedGroupsBlockHandler.h"

#include "framework/entries/EntryFrameLayout.h"
#include "framework/entries/FCNoteEntry.h"
#include "framework/entries/FCNotePitchSorter.h"
#include "framework/entries/FCNotePitches.h"
#include "framework/entries/__FCNoteEntryCollection.h"
#include "framework/score/FCMusicRegion.h"
#include "tasks/PitchOrders.h"

#include <cstdlib>

int FCBeamedGroupsBlockHandler::CalcReorderSourceIndex(int style, int i, int n) {
    if (i < 0 || i >= n) return -1;
    const int c = (n + 1) / 2;
    switch (style) {
        case kReorderAscending:
        case kReorderRandomize:  // the list itself was shuffled
            return i;
        case kReorderDescending:
            return n - 1 - i;
        case kReorderStaircaseAscending:
            return pitchorders::StaircaseIndex(i, n);
        case kReorderStaircaseDescending:
            return n - 1 - pitchorders::StaircaseIndex(i, n);
        case kReorderWaveAscending:
            return i < c ? 2 * i : 2 * (n - i) - 1;
        case kReorderWaveDescending:
            return i < c ? 2 * (c - i) - 2 : 2 * (i - c) + 1;
        case kReorderBaseDescending:
            return i == 0 ? 0 : n - i;
        case kReorderTopDescending:
            return i == 0 ? n - 1 : i - 1;
        case kReorderRotateLeft:
            return i == n - 1 ? 0 : i + 1;
        case kReorderRotateRight:
            return i == 0 ? n - 1 : i - 1;
        default:
            return -1;
    }
}

bool FCBeamedGroupsBlockHandler::ReorderGroup(FCNoteEntry* start, const FCMusicRegion* region, int style) {
    FCNotePitchesCollection chords;
    return ReorderGroup(start, region, style, &chords);
}

bool FCBeamedGroupsBlockHandler::ReorderGroup(FCNoteEntry* start, const FCMusicRegion* region, int style,
                                              FCNotePitchesCollection* chords) {
    if (!start || style < 0 || style >= kReorderStyleCount) return false;
    // The host never saves a locked frame: a group rewritten there would count as a change that
    // the document never sees.
    if (start->GetFrame() && fcframe::IsLocked(start->GetFrame())) return false;
    FCNoteEntries group;
    if (!start->CollectBeamGroup(region, &group)) return false;

    // Copies of the chords, in entry order: the entries are rewritten from them. The copies of
    // the previous group are overwritten rather than made anew.
    int n = 0;
    for (int i = 0; i < group.GetCount(); ++i) {
        const FCNoteEntry* entry = group.GetItemAt(i);
        if (!entry->IsNote()) continue;
        if (n == chords->GetCount()) chords->Add(new FCNotePitches);
        entry->CopyPitchesTo(chords->GetItemAt(n++));
    }
    while (chords->GetCount() > n) chords->ClearItemAt(chords->GetCount() - 1);
    if (n < 2) return false;
    if (style != kReorderRotateLeft && style != kReorderRotateRight) {
        FCNotePitchSorter sorter(style == kReorderRandomize);
        chords->Sort(&sorter);
    }

    int target = 0;
    for (int i = 0; i < group.GetCount(); ++i) {
        FCNoteEntry* entry = group.GetItemAt(i);
        if (entry->IsRest()) continue;
        entry->ReplacePitches(chords->GetItemAt(CalcReorderSourceIndex(style, target++, n)));
        entry->SetPitchChangedMark(true);
    }
    return true;
}
