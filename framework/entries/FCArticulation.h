// An articulation on a note entry (tag edIM, keyed by entry number and incidence): which
// articulation definition it shows and where. The 12-byte structure lives inside the object,
// which counts as loaded from construction, so a new articulation can be connected to an entry,
// filled and created. FCArticulations owns the articulations of one entry (the entry is not
// owned) and offers the operations the tasks use on the four kinds of FCArticulationDef.
#pragma once

#include "framework/host/__FCCollectionData.h"
#include "framework/host/__FCEntryDetail.h"

class FCArticulationDef;
class FCArticulationDefs;
class FCFontInfo;

class FCArticulation : public __FCEntryDetail {
public:
    static constexpr uint32_t kTag = FXTag('e', 'd', 'I', 'M');
    static constexpr uint32_t kDataSize = 12;

    FCArticulation();
    FC_CLASS_INFO(FCArticulation)

    void* GetDataPointer() override { return data_; }
    __FCBaseData* CreateObject() override { return new FCArticulation; }
    uint32_t GetTag() override { return kTag; }
    uint32_t GetDataSize() override { return kDataSize; }
    bool CopyDataFrom(__FCBaseData* other) override { return CopyDataInto(other, data_, kDataSize); }
    // Clears the structure first, so a short record never shows the previous record's bytes.
    bool Reload() override;
    // Sets or clears the entry's has-articulations flag.
    void SetEntryFlag(FCNoteEntry* entry, bool state) override;

    int GetDefNumber() const;
    void SetDefNumber(int number);
    // The two position values of the symbol.
    int GetPosition1() const;
    void SetPosition1(int value);
    int GetPosition2() const;
    void SetPosition2(int value);

    // The definition as a new loaded object owned by the caller; null when it cannot be loaded.
    FCArticulationDef* CreateDefinition() const;

private:
    uint8_t data_[kDataSize];
};

class FCArticulations : public __FCCollectionEntryDetail {
public:
    explicit FCArticulations(FCNoteEntry* entry) : __FCCollectionEntryDetail(entry) {}
    FC_CLASS_INFO(FCArticulations)
    __FCBaseData* CreateElement() override { return new FCArticulation; }
    FCArticulation* GetItemAt(int i) const { return ItemAs<FCArticulation>(i); }

    // --- the tasks' operations on the kinds (FCArticulationDef::Kind) ---
    // Any of the entry's articulations has a loadable definition that counts as the kind.
    static bool HasArticulationKind(FCNoteEntry* entry, int kind);
    // Creates an articulation of the kind on the entry: a definition made from the template
    // (found in or added to definitions), placed at the definition's value A plus an offset by
    // its main symbol, and at its values C plus B. False when nothing was created.
    static bool AddArticulation(FCNoteEntry* entry, int kind, FCArticulationDefs* definitions,
                                const FCFontInfo* articulationFont);
    // The second half of AddArticulation: an articulation of this definition (one the document
    // holds), placed as AddArticulation places it. Tasks that add one kind to many entries
    // resolve the definition once.
    static bool AddArticulationOfDefinition(FCNoteEntry* entry, const FCArticulationDef* definition);
    // Turns the entry's first articulation that combines with the kind (a staccato with a tenuto,
    // accent or grave accent; a tenuto with an accent) into the combined symbol, keeping its
    // place. False when none combines.
    static bool MergeArticulation(FCNoteEntry* entry, int kind, FCArticulationDefs* definitions);
    // Deletes, on every entry from first along Next up to and including last, each articulation
    // whose definition counts as any kind. True when anything was deleted.
    static bool DeleteHandledArticulations(FCNoteEntry* first, FCNoteEntry* last);
};
