// Beamed Groups: Slurs (task 1004), and the slur helpers the Performance Notation tasks and
// Merge to Chord reuse.
#include "framework/entries/FCNoteEntry.h"
#include "framework/entries/__FCNoteEntryCollection.h"
#include "framework/markings/FCSmartShape.h"
#include "framework/markings/FCSmartShapeEntryMark.h"
#include "framework/markings/FCSmartShapeMeasureMark.h"
#include "plugin/PatternSettings.h"
#include "tasks/beamedgroups/FCBeamedGroupsBlockHandler.h"

#include <memory>
#include <set>

namespace {

enum SlurStyle {
    kFull,
    kFirstNotes,
    kLastNotes,
    kFirstAndLastNotes,
    kPatterns,
    kFirstNotesRemainingSlurred,
    kLastNotesRemainingSlurred,
    kFromSecondNote,
    kFromThirdNote
};

// The entry with this number among the entries from first along Next to last; null when none.
FCNoteEntry* FindAmong(FCNoteEntry* first, FCNoteEntry* last, int32_t number) {
    for (FCNoteEntry* entry = first; entry; entry = entry->Next()) {
        if (entry->GetEntryNumber() == number) return entry;
        if (entry == last) break;
    }
    return nullptr;
}

// Whether a shape may end on one of the entries from first along Next to last: the host flags
// every entry a shape ends on, so without a flag none does and no marks need be read.
bool AnyShapeFlag(FCNoteEntry* first, FCNoteEntry* last) {
    for (FCNoteEntry* entry = first; entry; entry = entry->Next()) {
        if (entry->GetSecondFlags() & FCNoteEntry::kFlag2SmartShape) return true;
        if (entry == last) break;
    }
    return false;
}

// Moves one end of a slur to the entry: the segment and the entry mark follow (the measure
// stays, since a group lies in one measure), and the shape record is saved.
bool MoveSlurEnd(FCSmartShape* shape, bool left, FCNoteEntry* to) {
    FCSmartShapeSegment* segment = left ? shape->GetLeftSegment() : shape->GetRightSegment();
    const int32_t from = segment->GetEntryNumber();
    const int other = (left ? shape->GetRightSegment() : shape->GetLeftSegment())->GetEntryNumber();
    segment->SetEntry(to);
    segment->SetMeasure(to->GetMeasure());
    if (!shape->Save()) return false;
    const int number = shape->GetShapeNumber();
    // The old entry keeps a mark only while the other end still lies on it.
    if (from != other) {
        FCSmartShapeEntryMarks marks;
        marks.LoadAllForEntryNumber(from);
        for (int i = marks.GetCount() - 1; i >= 0; --i)
            if (marks.GetItemAt(i)->GetShapeNumber() == number) {
                marks.GetItemAt(i)->DeleteData();
                break;
            }
    }
    FCSmartShapeEntryMark mark;
    mark.ConnectToEntry(to);
    mark.SetShapeNumber(number);
    mark.SaveNew();
    return true;
}

}  // namespace

bool FCBeamedGroupsBlockHandler::AddSlur(FCNoteEntry* first, FCNoteEntry* last, bool solid) {
    if (!first || !last) return false;
    const int32_t firstNumber = first->GetEntryNumber(), lastNumber = last->GetEntryNumber();
    FCSmartShapeMeasureMarks marks;
    if (AnyShapeFlag(first, first)) marks.LoadAllForItem(uint16_t(first->GetMeasure()));
    for (int i = 0; i < marks.GetCount(); ++i) {
        std::unique_ptr<FCSmartShape> shape(marks.GetItemAt(i)->CreateSmartShape(false));
        if (shape && shape->IsEntryAttachedSlur() && shape->GetLeftSegment()->GetEntryNumber() == firstNumber &&
            shape->GetRightSegment()->GetEntryNumber() == lastNumber)
            return false;
    }
    FCSmartShape slur;
    slur.ApplyEntryAttachedPreset();
    slur.SetCodeBits(2);
    slur.SetShapeType(FCSmartShape::CalcSlurType(solid));
    slur.SetStaff(first->GetStaff());
    slur.GetLeftSegment()->SetMeasure(first->GetMeasure());
    slur.GetRightSegment()->SetMeasure(last->GetMeasure());
    return slur.SaveNewEverything(first, last);
}

bool FCBeamedGroupsBlockHandler::AddSlurOverRange(FCNoteEntries* list, int start, int count) {
    // An empty range would name an entry past the list.
    if (!list || start < 0 || count < 1 || start + count > list->GetCount()) return false;
    return AddSlur(list->GetItemAt(start), list->GetItemAt(start + count - 1),
                   ThePatternSettings().QZPT_BEAMEDGROUPS_SLUR_SHAPE == 0);
}

bool FCBeamedGroupsBlockHandler::RemoveGroupSlurs(FCNoteEntry* first, FCNoteEntry* last, bool reattach,
                                                  bool graceStart) {
    if (!first || !last || !AnyShapeFlag(first, last)) return false;
    bool changed = false, moved = false;
    // A shape marked in several measures of the range is handled once.
    std::set<int> handled;
    FCSmartShapeMeasureMarks marks;
    for (int m = first->GetMeasure(); m <= last->GetMeasure(); ++m) {
        marks.LoadAllForItem(uint16_t(m));
        for (int i = marks.GetCount() - 1; i >= 0; --i) {
            const int number = marks.GetItemAt(i)->GetShapeNumber();
            if (!handled.insert(number).second) continue;
            // The centre shapes are loaded only for a shape that is deleted.
            std::unique_ptr<FCSmartShape> shape(marks.GetItemAt(i)->CreateSmartShape(false));
            if (!shape || !shape->IsEntryAttachedSlur()) continue;
            FCNoteEntry* start = FindAmong(first, last, shape->GetLeftSegment()->GetEntryNumber());
            FCNoteEntry* end = FindAmong(first, last, shape->GetRightSegment()->GetEntryNumber());
            if (start && end) {
                if (start->IsGraceNote() != graceStart) continue;
                shape->LoadCenterShapes();
                if (!shape->DeleteEverything()) continue;
                // An entry on which another shape still ends keeps its flag.
                FCSmartShapeEntryMarks remaining;
                if (remaining.LoadAllForEntryNumber(start->GetEntryNumber()) == 0) start->SetSmartShapeFlag(false);
                if (remaining.LoadAllForEntryNumber(end->GetEntryNumber()) == 0) end->SetSmartShapeFlag(false);
                changed = true;
            } else if (start && start != first && reattach) {
                if (MoveSlurEnd(shape.get(), true, first)) changed = moved = true;
            } else if (end && end != first && reattach) {
                if (MoveSlurEnd(shape.get(), false, first)) changed = moved = true;
            }
        }
    }
    if (moved) first->SetSmartShapeFlag(true);
    return changed;
}

bool FCBeamedGroupsBlockHandler::SlurGroup(FCNoteEntry* start, const FCMusicRegion* region) {
    FCNoteEntries list;
    if (!start || !start->CollectBeamGroup(region, &list) || list.GetCount() < 2) return false;
    const int m = list.GetCount();
    const int d = ThePatternSettings().QZPT_BEAMEDGROUPS_SLUR_STYLEDIGIT;
    bool changed = RemoveGroupSlurs(start, list.GetItemAt(m - 1), false, false);
    bool added = false;
    switch (ThePatternSettings().QZPT_BEAMEDGROUPS_SLUR_STYLE) {
        case kFull:
            added = AddSlurOverRange(&list, 0, m);
            break;
        case kFirstNotes:
            added = AddSlurOverRange(&list, 0, d);
            break;
        case kLastNotes:
            added = AddSlurOverRange(&list, m - d, d);
            break;
        case kFirstAndLastNotes:
            if (m >= 2 * d) {
                added = AddSlurOverRange(&list, 0, d);
                added = AddSlurOverRange(&list, m - d, d) || added;
            }
            break;
        case kPatterns:
            for (int i = 0; d > 0 && i + d - 1 < m; i += d) added = AddSlurOverRange(&list, i, d) || added;
            break;
        case kFirstNotesRemainingSlurred:
            added = AddSlurOverRange(&list, 0, d);
            added = AddSlurOverRange(&list, d, m - d) || added;
            break;
        case kLastNotesRemainingSlurred:
            added = AddSlurOverRange(&list, m - d, d);
            added = AddSlurOverRange(&list, 0, m - d) || added;
            break;
        case kFromSecondNote:
            added = AddSlurOverRange(&list, 1, d);
            break;
        case kFromThirdNote:
            added = AddSlurOverRange(&list, 2, d);
            break;
        default:
            break;
    }
    list.ClearView();
    return changed || added;
}
