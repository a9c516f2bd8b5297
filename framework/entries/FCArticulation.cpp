#include "framework/entries/FCArticulation.h"

#include "framework/entries/FCArticulationDef.h"
#include "framework/entries/FCNoteEntry.h"

#include <cstring>
#include <memory>

namespace {

constexpr int kDefinition = 0;
constexpr int kPosition1 = 2;
constexpr int kPosition2 = 6;
static_assert(kPosition2 + 2 <= int(FCArticulation::kDataSize), "articulation record, 12 bytes");

bool IsValidItem(int number) { return number > 0 && number < 0xFFFF; }

// How far the first position lies from the definition's value A, by its main symbol.
int FirstPositionOffset(int mainSymbol) {
    switch (mainSymbol) {
        case 45:
            return 2;
        case 46:
            return 7;
        case 94:
            return 4;
        default:
            return 0;
    }
}

// The combined symbol an existing articulation becomes when a kind is added to it.
struct Merge {
    int main, flipped, kind;
    int newMain, newFlipped;
};
const Merge kMerges[] = {
    {46, 46, FCArticulationDef::kTenuto, 248, 60},       {45, 45, FCArticulationDef::kStaccato, 248, 60},
    {46, 46, FCArticulationDef::kAccent, 249, 223},      {62, 62, FCArticulationDef::kStaccato, 249, 223},
    {46, 46, FCArticulationDef::kGraveAccent, 172, 232}, {94, 118, FCArticulationDef::kStaccato, 172, 232},
    {45, 45, FCArticulationDef::kAccent, 138, 137},      {62, 62, FCArticulationDef::kTenuto, 138, 137}};

const Merge* FindMerge(const FCArticulationDef* definition, int kind) {
    const int main = definition->GetMainSymbolChar(), flipped = definition->GetFlippedSymbolChar();
    for (const Merge& merge : kMerges)
        if (merge.main == main && merge.flipped == flipped && merge.kind == kind) return &merge;
    return nullptr;
}

}  // namespace

FCArticulation::FCArticulation() { UseClearedData(data_, kDataSize); }

bool FCArticulation::Reload() {
    std::memset(data_, 0, sizeof data_);
    return __FCEntryDetail::Reload();
}

void FCArticulation::SetEntryFlag(FCNoteEntry* entry, bool state) {
    if (entry) entry->SetArticulationFlag(state);
}

int FCArticulation::GetDefNumber() const { return fcdata::Read<uint16_t>(data_, kDefinition); }
void FCArticulation::SetDefNumber(int number) { fcdata::Write<uint16_t>(data_, kDefinition, uint16_t(number)); }
int FCArticulation::GetPosition1() const { return fcdata::Read<int16_t>(data_, kPosition1); }
void FCArticulation::SetPosition1(int value) { fcdata::Write<int16_t>(data_, kPosition1, int16_t(value)); }
int FCArticulation::GetPosition2() const { return fcdata::Read<int16_t>(data_, kPosition2); }
void FCArticulation::SetPosition2(int value) { fcdata::Write<int16_t>(data_, kPosition2, int16_t(value)); }

FCArticulationDef* FCArticulation::CreateDefinition() const {
    const int number = GetDefNumber();
    if (!IsValidItem(number)) return nullptr;
    std::unique_ptr<FCArticulationDef> definition(new FCArticulationDef);
    if (!definition->Load(uint16_t(number))) return nullptr;
    return definition.release();
}

bool FCArticulations::HasArticulationKind(FCNoteEntry* entry, int kind) {
    FCArticulations articulations(entry);
    articulations.LoadAll();
    for (int i = 0; i < articulations.GetCount(); ++i) {
        std::unique_ptr<FCArticulationDef> definition(articulations.GetItemAt(i)->CreateDefinition());
        if (definition && definition->CountsAsKind(kind)) return true;
    }
    return false;
}

bool FCArticulations::AddArticulation(FCNoteEntry* entry, int kind, FCArticulationDefs* definitions,
                                      const FCFontInfo* articulationFont) {
    // An entry without a number has no key to hang details on yet.
    if (!entry || entry->GetEntryNumber() == 0 || !definitions) return false;
    FCArticulationDef candidate;
    if (!candidate.ApplyTemplate(kind, articulationFont)) return false;
    std::unique_ptr<FCArticulationDef> definition(definitions->FindOrCreateDefinition(&candidate));
    return AddArticulationOfDefinition(entry, definition.get());
}

bool FCArticulations::AddArticulationOfDefinition(FCNoteEntry* entry, const FCArticulationDef* definition) {
    if (!entry || entry->GetEntryNumber() == 0) return false;
    // A definition the document does not hold must not be referred to.
    if (!definition || !IsValidItem(definition->GetItemNo())) return false;
    FCArticulation articulation;
    articulation.ConnectToEntry(entry);
    articulation.SetDefNumber(definition->GetItemNo());
    articulation.SetPosition1(definition->GetValue(FCArticulationDef::kValueA) +
                              FirstPositionOffset(definition->GetMainSymbolChar()));
    articulation.SetPosition2(definition->GetValue(FCArticulationDef::kValueC) +
                              definition->GetValue(FCArticulationDef::kValueB));
    return articulation.SaveNew();
}

bool FCArticulations::MergeArticulation(FCNoteEntry* entry, int kind, FCArticulationDefs* definitions) {
    if (!entry || !definitions) return false;
    FCArticulations articulations(entry);
    articulations.LoadAll();
    for (int i = 0; i < articulations.GetCount(); ++i) {
        FCArticulation* articulation = articulations.GetItemAt(i);
        std::unique_ptr<FCArticulationDef> definition(articulation->CreateDefinition());
        if (!definition || definition->IsMainShape()) continue;
        const Merge* merge = FindMerge(definition.get(), kind);
        if (!merge) continue;
        definition->SetFlags1Bits(FCArticulationDef::kMainUsesAlternate, false);
        definition->SetFlags1Bits(FCArticulationDef::kFlippedUsesAlternate, merge->newMain != merge->newFlipped);
        definition->SetMainSymbolChar(merge->newMain);
        definition->SetFlippedSymbolChar(merge->newFlipped);
        definition->SetFlags1Bits(FCArticulationDef::kFlag1000, true);
        definition->SetFlags2Bits(FCArticulationDef::kFlag2_0001, false);
        definition->SetFlags1Bits(FCArticulationDef::kFlag0200, merge->newMain == 248);
        std::unique_ptr<FCArticulationDef> combined(definitions->FindOrCreateDefinition(definition.get()));
        if (!combined || !IsValidItem(combined->GetItemNo())) return false;
        articulation->SetDefNumber(combined->GetItemNo());
        return articulation->Save();
    }
    return false;
}

bool FCArticulations::DeleteHandledArticulations(FCNoteEntry* first, FCNoteEntry* last) {
    bool deleted = false;
    for (FCNoteEntry* entry = first; entry; entry = entry->Next()) {
        // The host flags every entry that holds articulations: the others need not be read.
        if (!entry->HasArticulations()) {
            if (entry == last) break;
            continue;
        }
        FCArticulations articulations(entry);
        articulations.LoadAll();
        // From the last, so the lower incidences stay valid while the host renumbers.
        for (int i = articulations.GetCount() - 1; i >= 0; --i) {
            FCArticulation* articulation = articulations.GetItemAt(i);
            std::unique_ptr<FCArticulationDef> definition(articulation->CreateDefinition());
            if (definition && definition->CountsAsAnyKind() && articulation->DeleteData()) deleted = true;
        }
        if (entry == last) break;
    }
    return deleted;
}
