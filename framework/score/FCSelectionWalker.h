// The walk over a region that the tasks share: its staves in slot order, and on each staff either
// the cells of the region's measures or every layer across those measures. The walker loads each
// cell or layer, hands it to the task (whole, entry by entry, or beamed group by beamed group) and
// saves what the task changed. It keeps one rule for every task: a frame the host refuses to save,
// or a visit that gives up, ends the whole walk with false, so that the edit around it is cancelled
// rather than kept half done. Does not own the region; each cell or layer lives for its own visit.
#pragma once

#include "framework/core/__FCBase.h"

#include <functional>

class FCMusicRegion;
class FCNoteEntry;
class FCNoteEntryCell;
class FCNoteEntryLayer;

class FCSelectionWalker : public __FCBase {
public:
    // What a visit did: nothing, changed what it was given (the walker saves it), or gave the
    // whole walk up.
    enum Visit { kUnchanged, kChanged, kCancel };

    using CellVisitor = std::function<Visit(FCNoteEntryCell*)>;
    using GroupVisitor = std::function<Visit(FCNoteEntry* start, FCNoteEntryCell* cell)>;
    using LayerVisitor = std::function<Visit(FCNoteEntryLayer*)>;
    using EntryVisitor = std::function<Visit(FCNoteEntry*, FCNoteEntryLayer*)>;

    explicit FCSelectionWalker(const FCMusicRegion* region);
    FC_CLASS_INFO(FCSelectionWalker)

    // Layer walks: one measure more on each side of the region (none before measure 1), so that a
    // task can follow ties across the region's edges. Off by default.
    void SetWidened(bool widened) { widened_ = widened; }
    // Layer walks: layers hidden in the host view load nothing and are passed over. On by default.
    void SetSkipHidden(bool skip) { skipHidden_ = skip; }
    // Group walks: the visits neither add nor remove entries nor save anything in between, so what
    // the walk learns of a cell's beams serves the whole cell. Off by default.
    void SetEntriesKept(bool kept) { entriesKept_ = kept; }

    // The measures a layer walk loads.
    int GetFirstMeasure() const;
    int GetLastMeasure() const;

    // Each walk returns true when a visit changed the document and the walk was not given up. Cells
    // and layers that hold no entries are passed over.

    // Every cell of the region (its shown layers); a cell the visit changed is saved after it.
    bool ForEachCell(const CellVisitor& visit);
    // The first entry of every beamed group that starts in the region, cell by cell; a cell is saved
    // once, after its last group, when any visit changed it.
    bool ForEachGroupStart(const GroupVisitor& visit);
    // Every layer of every staff of the region; a layer the visit changed is saved after it.
    bool ForEachLayer(const LayerVisitor& visit);
    // Every entry that the region holds, layer by layer in order. The count is read at every step,
    // so entries a visit inserts after its own are visited too. When a visit changed something, the
    // frame of the visited entry's measure is saved as the walk leaves that measure.
    bool ForEachEntry(const EntryVisitor& visit);

    // The last walk was given up (a refused save or a cancelling visit).
    bool IsCancelled() const { return cancelled_; }

private:
    // Calls the function with each staff of the region (slots whose staff the host cannot name are
    // passed over) until it returns false.
    template <typename StaffFunction>
    void ForEachStaff(StaffFunction function);
    template <typename LayerFunction>
    bool WalkLayers(LayerFunction function);
    bool Cancel();
    bool Begin();

    const FCMusicRegion* region_;
    bool widened_ = false;
    bool skipHidden_ = true;
    bool entriesKept_ = false;
    bool changed_ = false;
    bool cancelled_ = false;
};
