// The entries of one staff in one measure: every loaded layer's frame, in layer order, and one
// FCNoteEntry per record, linked within its own layer's frame only. The cell owns its entries
// and its frames, and frees the frames with the host when it is destroyed or loads again.
#pragma once

#include "framework/entries/__FCNoteEntryCollection.h"

#include <vector>

class FCNoteEntryCell : public __FCNoteEntryCollection {
public:
    // Layer modes besides 1-4 (only layer index mode - 1) and bit masks (0x100 layer index 0,
    // 0x200 index 1, ... for values below -3 or above 4).
    static constexpr int kShownLayers = 0;
    static constexpr int kAllLayers = -1;
    static constexpr int kHiddenLayers = -2;
    static constexpr int kNoLayers = -3;
    // The layer count when the host does not answer.
    static constexpr int kDefaultMaxLayers = 4;

    FCNoteEntryCell(int measure, int staff);
    ~FCNoteEntryCell() override;
    FC_CLASS_INFO(FCNoteEntryCell)

    int GetMeasure() const { return measure_; }
    int GetStaff() const { return staff_; }
    void SetLayerMode(int mode) { layerMode_ = mode; }
    int GetLayerMode() const { return layerMode_; }
    void SetLoadOption(int option) { loadOption_ = option; }

    // Loads the layers the layer mode chooses; a frame the host refuses releases everything and
    // fails. Any frames held before are released first.
    bool Load();
    // Saves every held frame that is not locked; true when every save succeeded (the others are
    // still saved after one fails).
    bool Save();
    // Saves the frame held for one layer index, unless it is locked; false when the cell holds
    // no frame for it or the host refuses it.
    bool SaveLayer(int layerIndex);
    // Deletes every run of entries of duration 0 from its (unlocked) frame, saves those frames
    // and rebuilds the entry objects of those frames (the others keep theirs). False, with
    // nothing deleted, when an entry's record is not found in its frame.
    bool DeleteZeroDurationEntries();

    // The number of layers the host has (4 when it does not answer).
    static int MaxLayers();
    // Whether the layer mode loads this layer index.
    bool IsLayerChosen(int layerIndex) const;
    // The frame held for a layer index, or null (owned by the cell).
    uint8_t* GetFrame(int layerIndex) const;

private:
    void ReleaseFrames();

    int32_t measure_;
    int32_t staff_;
    int layerMode_;
    int loadOption_;
    std::vector<uint8_t*> frames_;
};
