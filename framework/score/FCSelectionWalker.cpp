#include "framework/score/FCSelectionWalker.h"

#include "framework/entries/FCNoteEntry.h"
#include "framework/entries/FCNoteEntryCell.h"
#include "framework/entries/FCNoteEntryLayer.h"
#include "framework/score/FCMusicRegion.h"

FCSelectionWalker::FCSelectionWalker(const FCMusicRegion* region) : region_(region) {}

int FCSelectionWalker::GetFirstMeasure() const {
    if (!region_) return 0;
    const int first = region_->GetStartMeasure() - (widened_ ? 1 : 0);
    return first < 1 ? 1 : first;
}

int FCSelectionWalker::GetLastMeasure() const {
    if (!region_) return 0;
    // A layer stops at the document's last measure by itself.
    return region_->GetEndMeasure() + (widened_ ? 1 : 0);
}

bool FCSelectionWalker::Begin() {
    changed_ = false;
    cancelled_ = false;
    return region_ && !region_->IsEmpty();
}

bool FCSelectionWalker::Cancel() {
    cancelled_ = true;
    changed_ = false;
    return false;
}

template <typename StaffFunction>
void FCSelectionWalker::ForEachStaff(StaffFunction function) {
    for (int slot = region_->GetStartSlot(); slot <= region_->GetEndSlot(); ++slot) {
        const int staff = region_->CalcStaffNumber(slot);
        if (staff < 1) continue;
        if (!function(staff)) return;
    }
}

bool FCSelectionWalker::ForEachCell(const CellVisitor& visit) {
    if (!Begin()) return false;
    ForEachStaff([&](int staff) {
        for (int measure = region_->GetStartMeasure(); measure <= region_->GetEndMeasure(); ++measure) {
            FCNoteEntryCell cell(measure, staff);
            if (!cell.Load() || cell.GetCount() == 0) continue;
            const Visit done = visit(&cell);
            if (done == kCancel || (done == kChanged && !cell.Save())) return Cancel();
            if (done == kChanged) changed_ = true;
        }
        return true;
    });
    return changed_;
}

bool FCSelectionWalker::ForEachGroupStart(const GroupVisitor& visit) {
    if (!Begin()) return false;
    ForEachStaff([&](int staff) {
        for (int measure = region_->GetStartMeasure(); measure <= region_->GetEndMeasure(); ++measure) {
            FCNoteEntryCell cell(measure, staff);
            if (!cell.Load()) continue;
            bool cellChanged = false;
            // The host's stem directions do not change before the cell is saved.
            FCNoteEntry::BeamAnswers answers;
            // The count is read at every step: a visit may delete entries of the cell.
            for (int i = 0; i < cell.GetCount(); ++i) {
                FCNoteEntry* entry = cell.GetItemAt(i);
                // A group is handled at its first entry, and only when that lies in the region (the
                // cell's staff does: only the position needs a test).
                if (!region_->IsMeasurePosIncluded(measure, entry->GetMeasurePos())) continue;
                if (!entry->IsBeamGroupStart(answers)) continue;
                const Visit done = visit(entry, &cell);
                if (done == kCancel) return Cancel();
                if (done == kUnchanged) continue;
                cellChanged = true;
                // Entries may have come or gone: the answers start afresh.
                if (!entriesKept_) answers = FCNoteEntry::BeamAnswers();
            }
            // Saved once, after all its groups: saving after every group would write the same
            // frames again and again, and no visit reads back what a save in between would change.
            if (!cellChanged) continue;
            if (!cell.Save()) return Cancel();
            changed_ = true;
        }
        return true;
    });
    return changed_;
}

template <typename LayerFunction>
bool FCSelectionWalker::WalkLayers(LayerFunction function) {
    if (!Begin()) return false;
    const int first = GetFirstMeasure(), last = GetLastMeasure();
    const int layers = FCNoteEntryCell::MaxLayers();
    ForEachStaff([&](int staff) {
        for (int layerIndex = 0; layerIndex < layers; ++layerIndex) {
            FCNoteEntryLayer layer(layerIndex, staff, first, last);
            layer.SetSkipHidden(skipHidden_);
            if (!layer.Load() || layer.GetCount() == 0) continue;
            if (!function(&layer)) return Cancel();
        }
        return true;
    });
    return changed_;
}

bool FCSelectionWalker::ForEachLayer(const LayerVisitor& visit) {
    return WalkLayers([&](FCNoteEntryLayer* layer) {
        const Visit done = visit(layer);
        if (done == kCancel || (done == kChanged && !layer->Save())) return false;
        if (done == kChanged) changed_ = true;
        return true;
    });
}

bool FCSelectionWalker::ForEachEntry(const EntryVisitor& visit) {
    return WalkLayers([&](FCNoteEntryLayer* layer) {
        // A measure's frame is saved once, when the walk leaves it: the other frames are unchanged,
        // and saving after every visit would write the frame again and again.
        int unsaved = 0;
        for (int i = 0; i < layer->GetCount(); ++i) {
            FCNoteEntry* entry = layer->GetItemAt(i);
            if (unsaved && entry->GetMeasure() != unsaved) {
                if (!layer->SaveMeasure(unsaved)) return false;
                unsaved = 0;
                // The save binds the entry objects of that frame anew.
                entry = layer->GetItemAt(i);
            }
            // The layer's staff lies in the region: only the position needs a test.
            const int measure = entry->GetMeasure();
            if (!region_->IsMeasurePosIncluded(measure, entry->GetMeasurePos())) continue;
            const Visit done = visit(entry, layer);
            if (done == kCancel) return false;
            if (done == kUnchanged) continue;
            unsaved = measure;
            changed_ = true;
        }
        return !unsaved || layer->SaveMeasure(unsaved);
    });
}
