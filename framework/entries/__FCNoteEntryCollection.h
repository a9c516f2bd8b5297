// Lists of note entries. __FCNoteEntryCollection is the common base (typed access, lookup by
// entry number, and the building of entry objects from host frames for cells and layers);
// FCNoteEntries is a plain list that tasks use as a view of entries owned elsewhere: with its
// ownership switched off it never destroys its elements.
#pragma once

#include "framework/core/__FCCollection.h"
#include "framework/entries/FCNoteEntry.h"

#include <cstdint>
#include <vector>

class __FCNoteEntryCollection : public __FCCollection {
public:
    const char* ClassName() const override { return "__FCNoteEntryCollection"; }

    FCNoteEntry* GetItemAt(int i) const { return ItemAs<FCNoteEntry>(i); }
    FCNoteEntry* GetLastItem() const { return GetItemAt(GetCount() - 1); }
    // The first entry with this entry number, or null.
    FCNoteEntry* FindEntryNumber(int32_t number) const;

protected:
    // Appends one entry object per record of the frame (loaded for staff), in record order,
    // linked after previous (null starts a new chain). Returns the last entry appended, or
    // previous when none was.
    FCNoteEntry* AppendFrameEntries(uint8_t* frame, int staff, FCNoteEntry* previous);
    // Destroys the entry objects and rebuilds them from the frames (all loaded for staff): linked
    // within each frame only, or across all frames in order.
    void RebuildFromFrames(const std::vector<uint8_t*>& frames, int staff, bool linkAcrossFrames);
    // Frees every frame with the host and empties the list of frames.
    static void FreeFrames(std::vector<uint8_t*>& frames);
    // Deletes count records from index on and saves the frame; a locked frame is left alone.
    // False when a host call failed.
    static bool DeleteZeroDurationRun(uint8_t* frame, int index, int count);
};

class FCNoteEntries : public __FCNoteEntryCollection {
public:
    FCNoteEntries() : owns_(true) {}
    ~FCNoteEntries() override;
    FC_CLASS_INFO(FCNoteEntries)

    // With ownership off, the list only refers to its entries and releases them, undestroyed,
    // when it is emptied (ClearView) or destroyed.
    void SetOwnership(bool owns) { owns_ = owns; }
    bool GetOwnership() const { return owns_; }
    // Empties the list; destroys the entries only when the list owns them.
    void ClearView();

private:
    bool owns_;
};
