// Beamed Groups: Articulations (task 1003), and the articulation helpers the Performance
// Notation tasks reuse.
#include "framework/entries/FCArticulation.h"
#include "framework/entries/FCNoteEntry.h"
#include "framework/entries/__FCNoteEntryCollection.h"
#include "framework/markings/FCSmartShape.h"
#include "framework/markings/FCSmartShapeMeasureMark.h"
#include "plugin/PatternSettings.h"
#include "tasks/beamedgroups/FCBeamedGroupsBlockHandler.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace {

enum Placement {
    kAllNotes,
    kFirstNotes,
    kLastNotes,
    kFirstAndLastNotes,
    kFromSecondNote,
    kFromThirdNote,
    kSlurredNotes,
    kNonSlurredNotes,
    kSlurStart,
    kSlurEnd
};

// Where the list's slurs lie, for the slur-based placements: calls mark(startAt, startHeld,
// endAt) for every slur found among the entries from the list's first to its last (rests
// included). startAt is the list position where the slur starts covering the list (the start
// entry's own, or the next list entry's when the list lacks the start entry), -1 when the start
// was not found; startHeld says whether the list holds the start entry; endAt is the end entry's
// list position, -1 when the end was not found on an entry the list holds.
template <typename Mark>
void ForEachSlurOnList(FCNoteEntries* list, Mark mark) {
    const int size = list->GetCount();
    FCNoteEntry* first = list->GetItemAt(0);
    FCNoteEntry* last = list->GetItemAt(size - 1);
    FCSmartShapeMeasureMarks marks;
    marks.LoadAllForMeasures(first->GetMeasure(), last->GetMeasure());
    for (int i = 0; i < marks.GetCount(); ++i) {
        std::unique_ptr<FCSmartShape> shape(marks.GetItemAt(i)->CreateSmartShape(false));
        if (!shape || !shape->IsEntryAttachedSlur()) continue;
        const int32_t startNumber = shape->GetLeftSegment()->GetEntryNumber();
        const int32_t endNumber = shape->GetRightSegment()->GetEntryNumber();
        int startAt = -1, endAt = -1, passed = 0;
        bool startHeld = false;
        for (FCNoteEntry* entry = first; entry; entry = entry->Next()) {
            const bool held = passed < size && list->GetItemAt(passed) == entry;
            if (startAt < 0 && entry->GetEntryNumber() == startNumber) {
                startAt = passed;
                startHeld = held;
            }
            if (endAt < 0 && held && entry->GetEntryNumber() == endNumber) endAt = passed;
            if (held) ++passed;
            if (entry == last) break;
        }
        if (startAt < 0 && endAt < 0) continue;
        mark(startAt, startHeld, endAt);
    }
}

}  // namespace

void FCBeamedGroupsBlockHandler::PrepareArticulations() {
    const PatternSettings& settings = ThePatternSettings();
    articulationCount_ = settings.QZPT_BEAMEDGROUPS_ARTIC_STYLEDIGIT;
    articulationKind_ = settings.QZPT_BEAMEDGROUPS_ARTIC_TYPE;
    articulationKeep_ = settings.QZPT_BEAMEDGROUPS_ARTIC_KEEP;
    articulationMerge_ = settings.QZPT_BEAMEDGROUPS_ARTIC_MERGE;
    PrepareArticulationDefinitions();
}

void FCBeamedGroupsBlockHandler::PrepareArticulationDefinitions() {
    articulationDefs_.LoadAllHandled(&articulationFont_);
}

const FCArticulationDef* FCBeamedGroupsBlockHandler::GetKindDefinition() {
    if (kindDefinitionKind_ != articulationKind_) {
        kindDefinitionKind_ = articulationKind_;
        FCArticulationDef candidate;
        kindDefinition_.reset(candidate.ApplyTemplate(articulationKind_, &articulationFont_)
                                  ? articulationDefs_.FindOrCreateDefinition(&candidate)
                                  : nullptr);
    }
    return kindDefinition_.get();
}

bool FCBeamedGroupsBlockHandler::AddArticulationRange(FCNoteEntries* list, int start, int count) {
    if (!list) return false;
    bool changed = false;
    const int last = std::min(start + count - 1, list->GetCount() - 1);
    for (int i = std::max(start, 0); i <= last; ++i) {
        FCNoteEntry* entry = list->GetItemAt(i);
        // The host flags every entry that holds articulations: one without the flag has none to
        // hold the kind or to merge with, and its records need not be read.
        const bool holdsAny = entry->HasArticulations();
        if (holdsAny && FCArticulations::HasArticulationKind(entry, articulationKind_)) continue;
        if (holdsAny && articulationMerge_ &&
            FCArticulations::MergeArticulation(entry, articulationKind_, &articulationDefs_)) {
            changed = true;
            continue;
        }
        if (FCArticulations::AddArticulationOfDefinition(entry, GetKindDefinition())) changed = true;
    }
    return changed;
}

bool FCBeamedGroupsBlockHandler::ArticulateSlurred(FCNoteEntries* list, bool slurred) {
    if (!list || list->GetCount() == 0) return false;
    const int size = list->GetCount();
    for (int i = 0; i < size; ++i) list->GetItemAt(i)->SetUserData(0);
    ForEachSlurOnList(list, [&](int startAt, bool, int endAt) {
        const int from = startAt < 0 ? 0 : startAt;
        const int to = endAt < 0 ? size - 1 : endAt;
        for (int i = from; i <= to; ++i) list->GetItemAt(i)->SetUserData(1);
    });
    bool changed = false;
    for (int i = 0; i < size; ++i)
        if ((list->GetItemAt(i)->GetUserData() != 0) == slurred && AddArticulationRange(list, i, 1)) changed = true;
    return changed;
}

bool FCBeamedGroupsBlockHandler::ArticulateSlurEnds(FCNoteEntries* list, bool ends) {
    if (!list || list->GetCount() == 0) return false;
    const int size = list->GetCount();
    for (int i = 0; i < size; ++i) list->GetItemAt(i)->SetUserData(0);
    ForEachSlurOnList(list, [&](int startAt, bool startHeld, int endAt) {
        const int at = ends ? endAt : (startHeld ? startAt : -1);
        if (at >= 0) list->GetItemAt(at)->SetUserData(1);
    });
    bool changed = false;
    for (int i = 0; i < size; ++i)
        if (list->GetItemAt(i)->GetUserData() != 0 && AddArticulationRange(list, i, 1)) changed = true;
    return changed;
}

bool FCBeamedGroupsBlockHandler::ArticulateGroup(FCNoteEntry* start, const FCMusicRegion* region) {
    FCNoteEntries group;
    if (!start || !start->CollectBeamGroup(region, &group) || group.GetCount() < 2) return false;
    FCNoteEntries notes;
    notes.SetOwnership(false);
    for (int i = 0; i < group.GetCount(); ++i)
        if (group.GetItemAt(i)->IsNote()) notes.Add(group.GetItemAt(i));
    bool changed = false;
    if (!articulationKeep_ && notes.GetCount() > 0)
        changed = FCArticulations::DeleteHandledArticulations(start, notes.GetItemAt(notes.GetCount() - 1));
    const int m = notes.GetCount(), n = articulationCount_;
    bool added = false;
    switch (ThePatternSettings().QZPT_BEAMEDGROUPS_ARTIC_PLACEMENT) {
        case kAllNotes:
            added = AddArticulationRange(&notes, 0, m);
            break;
        case kFirstNotes:
            added = AddArticulationRange(&notes, 0, n);
            break;
        case kLastNotes:
            // From m - n - 1, not m - n: documents made with this placement rely on it.
            added = AddArticulationRange(&notes, m - n - 1, n);
            break;
        case kFirstAndLastNotes:
            added = AddArticulationRange(&notes, 0, n);
            added = AddArticulationRange(&notes, m - n - 1, n) || added;
            break;
        case kFromSecondNote:
            added = AddArticulationRange(&notes, 1, n);
            break;
        case kFromThirdNote:
            added = AddArticulationRange(&notes, 2, n);
            break;
        case kSlurredNotes:
            added = ArticulateSlurred(&notes, true);
            break;
        case kNonSlurredNotes:
            added = ArticulateSlurred(&notes, false);
            break;
        case kSlurStart:
            added = ArticulateSlurEnds(&notes, false);
            break;
        case kSlurEnd:
            added = ArticulateSlurEnds(&notes, true);
            break;
        default:
            break;
    }
    notes.ClearView();
    return changed || added;
}
