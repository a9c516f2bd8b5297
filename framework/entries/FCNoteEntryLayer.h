// The entries of one layer of one staff over a run of measures: one host frame per measure and
// one FCNoteEntry per record, linked across the measures in order. The layer owns its entries
// and its frames, and frees the frames with the host when it is destroyed or loads again.
#pragma once

#include "framework/entries/__FCNoteEntryCollection.h"

#include <vector>

class FCNoteEntryLayer : public __FCNoteEntryCollection {
public:
    // lastMeasure -1 (or any measure beyond the document) means the document's last measure.
    FCNoteEntryLayer(int layerIndex, int staff, int firstMeasure, int lastMeasure);
    ~FCNoteEntryLayer() override;
    FC_CLASS_INFO(FCNoteEntryLayer)

    int GetLayerIndex() const { return layer_; }
    int GetStaff() const { return staff_; }
    int GetFirstMeasure() const { return first_; }
    int GetLastMeasure() const { return last_; }
    void SetLoadOption(int option) { loadOption_ = option; }
    // On (the default), a layer hidden in the host view loads no frames.
    void SetSkipHidden(bool skip) { skipHidden_ = skip; }

    // Loads one frame per measure. Fails for a staff or measure below 1, a last measure before
    // the first, a layer index the host does not have, or (with the load option set) a frame
    // the host refuses; a failed load holds nothing.
    bool Load();
    // Saves every held frame that is not locked. A frame that held entries without entry numbers
    // is loaded again afterwards and its entry objects are rebound to the new records, so they
    // learn their numbers. True when every save (and reload) succeeded.
    bool Save();
    // Saves only the frame held for one measure, as Save saves each frame. False for a measure
    // the layer does not hold or when a host call failed.
    bool SaveMeasure(int measure);
    // Inserts count blank entries after entry (or, with intoNextMeasure, at the start of the
    // following measure, entry being the last of its measure; with no entry and an empty layer,
    // at the start of the first frame). The new entries are linked in, the entries of that frame
    // rebound, and the frame's tuplet spans at or after the insertion point shifted. The first
    // new entry, or null when nothing was inserted.
    FCNoteEntry* InsertEntriesAfter(FCNoteEntry* entry, int count, bool intoNextMeasure);
    // Deletes every entry of duration 0 (with the directly following ones) from its unlocked
    // frame, saving each frame, then rebuilds the entry objects. Fails, with nothing deleted,
    // when any entry has no entry number yet.
    bool DeleteZeroDurationEntries();

    int GetFrameCount() const { return int(frames_.size()); }
    // The frame held for a measure, or null (owned by the layer).
    uint8_t* GetFrameForMeasure(int measure) const;

private:
    void ReleaseFrames();
    // Saves one held frame (locked or missing ones are left alone) and reloads it when it held
    // new entries; rebuild becomes true when the entry objects could not be rebound.
    bool SaveHeldFrame(uint8_t*& frame, bool* rebuild);
    // The list index of an entry that matches, looking outwards from the last one found; -1 when
    // none does. Tasks work through a layer in order, so what they ask for lies near.
    template <typename Match>
    int FindNearHint(Match match) const;
    // The list index of the entry, or -1.
    int IndexOfEntry(const FCNoteEntry* entry) const;
    // The entry objects bound to the frame, in frame order, found from one of them along the
    // links (a frame's entries are neighbours in the chain); empty when none is bound to it.
    std::vector<FCNoteEntry*> EntriesOfFrame(const uint8_t* frame, FCNoteEntry* member) const;
    // The first of them, or null.
    FCNoteEntry* FirstOfFrame(const uint8_t* frame, FCNoteEntry* member) const;
    // Moves the entry objects of oldFrame onto the records of newFrame; false when the records
    // cannot be matched.
    bool RebindReloaded(uint8_t* oldFrame, uint8_t* newFrame);
    void RemoveEntryAt(int listIndex);

    int layer_;
    int staff_;
    int first_;
    int last_;
    int loadOption_;
    bool skipHidden_;
    int loadedFirst_;
    std::vector<uint8_t*> frames_;
    // Where FindNearHint starts looking.
    mutable int searchHint_ = 0;
    // Working lists of InsertEntriesAfter, kept between calls: Break inserts after every chord.
    std::vector<std::pair<FCNoteEntry*, int>> bound_;
    std::vector<__FCBase*> added_;
};
