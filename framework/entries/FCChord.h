// A chord symbol (tag SDCh, keyed by staff, measure and incidence): a cell detail at a position in
// its measure, filled by the host's chord analysis. The 30-byte structure lives inside the
// object, which counts as loaded from construction, so a new chord can be analysed, connected to
// a cell and created. Only the fields the system writes are named here; the rest is the host's.
// FCChords owns the chords of one cell.
#pragma once

#include "framework/host/__FCCellDetail.h"
#include "framework/host/__FCCollectionData.h"

class FCNoteEntry;

class FCChord : public __FCCellDetail {
public:
    static constexpr uint32_t kTag = FXTag('S', 'D', 'C', 'h');
    static constexpr uint32_t kDataVersion = 0x0F000000;
    static constexpr uint32_t kDataSize = 30;
    static constexpr int kFlagsOffset = 2;
    static constexpr int kAnalysisWordOffset = 8;
    static constexpr int kPositionOffset = 20;
    static_assert(kPositionOffset + 4 <= int(kDataSize), "chord record is 30 bytes");
    // Flag bit: the symbol shows its alternate bass.
    static constexpr uint16_t kShowAltBass = 0x0040;

    FCChord();
    FC_CLASS_INFO(FCChord)

    void* GetDataPointer() override { return data_; }
    __FCBaseData* CreateObject() override { return new FCChord; }
    uint32_t GetTag() override { return kTag; }
    uint32_t GetDataVersion() override { return kDataVersion; }
    uint32_t GetDataSize() override { return kDataSize; }
    bool CopyDataFrom(__FCBaseData* other) override { return CopyDataInto(other, data_, kDataSize); }
    // Clears the structure first, so a short record never shows the previous record's bytes.
    bool Reload() override;
    // Marks the measure as having chords, saving it only when the flag was not set yet.
    void OnCreated() override;
    // The position.
    int GetDetailValue() override { return GetPosition(); }

    bool GetShowAltBass() const;
    void SetShowAltBass(bool state);
    // Horizontal position of the symbol in the measure (EDU).
    int32_t GetPosition() const;
    void SetPosition(int32_t position);

    // Lets the host analyse what sounds at the entry's position on its staff (as saved in the
    // document) and fill this chord. On success the position becomes the entry's and the
    // analysis word is cleared; false when the host names no chord (or cannot analyse).
    bool AnalyzeAt(FCNoteEntry* entry);

private:
    uint8_t data_[kDataSize];
};

class FCChords : public __FCCollectionCellDetail {
public:
    FC_CLASS_INFO(FCChords)
    __FCBaseData* CreateElement() override { return new FCChord; }
    FCChord* GetItemAt(int i) const { return ItemAs<FCChord>(i); }

    // The chords of the cell, incidence 0, 1, ... until one fails (they stay connected to the
    // cell, which must outlive them); the count.
    int LoadAllForCell(FCCell* cell) { return LoadAllInCell(cell); }
    // The first chord at this position, or null (owned by the collection).
    FCChord* FindAtPosition(int32_t position) const;
};
