#include "framework/host/__FCCollectionData.h"

#include "framework/entries/FCNoteEntry.h"
#include "framework/host/__FCCellDetail.h"
#include "framework/host/__FCEntryDetail.h"
#include "framework/host/__FCInciOther.h"
#include "framework/score/FCCell.h"
#include "framework/score/FCMeasure.h"
#include "framework/score/FCStaff.h"

#include <memory>

void __FCCollectionData::AppendCloneAndFollowing(__FCBaseData* scratch) {
    do {
        Add(scratch->Clone());
    } while (scratch->LoadNext());
}

int __FCCollectionData::LoadAll() {
    ClearAll();
    std::unique_ptr<__FCBaseData> scratch(CreateElement());
    if (!scratch) return 0;
    scratch->SetCustomTag(customTag_);
    if (scratch->LoadFirst()) AppendCloneAndFollowing(scratch.get());
    return GetCount();
}

bool __FCCollectionData::SaveAll() {
    for (int i = 0; i < GetCount(); ++i) {
        __FCBaseData* element = GetItemAt(i);
        if (!element) continue;
        element->SetCustomTag(customTag_);
        if (!element->Save()) return false;
    }
    return true;
}

int __FCCollectionInciOther::LoadAllForItem(uint16_t cmper) {
    ClearAll();
    std::unique_ptr<__FCBaseData> base(CreateElement());
    __FCInciOther* scratch = static_cast<__FCInciOther*>(base.get());
    if (!scratch) return 0;
    scratch->SetCustomTag(GetCustomTag());
    for (int inci = 0; inci < 0xFFFF; ++inci) {
        if (!scratch->Load(cmper, uint16_t(inci))) break;
        Add(scratch->Clone());
    }
    return GetCount();
}

bool __FCCollectionInciOther::DeleteDataForItem(uint16_t cmper) {
    std::unique_ptr<__FCBaseData> base(CreateElement());
    __FCInciOther* scratch = static_cast<__FCInciOther*>(base.get());
    if (!scratch) return false;
    scratch->SetCustomTag(GetCustomTag());
    int count = 0;
    while (count < 0xFFFF && scratch->Load(cmper, uint16_t(count))) ++count;
    // From the end, so the lower incidences stay valid while the host renumbers.
    for (int inci = count - 1; inci >= 0; --inci) {
        if (!scratch->Load(cmper, uint16_t(inci)) || !scratch->DeleteData()) return false;
    }
    return true;
}

bool __FCCollectionInciOther::SaveAllForItem(uint16_t cmper) {
    if (!DeleteDataForItem(cmper)) return false;
    for (int i = 0; i < GetCount(); ++i) {
        __FCInciOther* element = static_cast<__FCInciOther*>(GetItemAt(i));
        if (!element) continue;
        element->SetCustomTag(GetCustomTag());
        if (!element->SaveNew(cmper)) return false;
    }
    return true;
}

int __FCCollectionEntryDetail::LoadAll() {
    ClearAll();
    if (!entry_ || entry_->GetEntryNumber() == 0) return 0;
    std::unique_ptr<__FCBaseData> base(CreateElement());
    __FCEntryDetail* scratch = static_cast<__FCEntryDetail*>(base.get());
    if (!scratch) return 0;
    scratch->SetCustomTag(GetCustomTag());
    scratch->ConnectToEntry(entry_);
    if (scratch->LoadFirst()) {
        do {
            __FCEntryDetail* copy = static_cast<__FCEntryDetail*>(scratch->Clone());
            if (copy) copy->ConnectToEntry(entry_);
            Add(copy);
        } while (scratch->LoadNext());
    }
    return GetCount();
}

void __FCCollectionEntryDetail::SaveAllNew() {
    if (!entry_ || entry_->GetEntryNumber() == 0) return;
    for (int i = 0; i < GetCount(); ++i) {
        __FCEntryDetail* element = static_cast<__FCEntryDetail*>(GetItemAt(i));
        if (!element) continue;
        element->SetCustomTag(GetCustomTag());
        element->ConnectToEntry(entry_);
        element->SaveNew();
    }
}

void __FCCollectionCellDetail::AppendCell(__FCBaseData* base, FCCell* cell, bool keepConnected) {
    __FCCellDetail* scratch = static_cast<__FCCellDetail*>(base);
    scratch->ConnectToCell(cell);
    if (scratch->LoadFirst()) {
        do {
            __FCCellDetail* copy = static_cast<__FCCellDetail*>(scratch->Clone());
            if (copy) copy->ConnectToCell(keepConnected ? cell : nullptr);
            Add(copy);
        } while (scratch->LoadNext());
    }
    scratch->ConnectToCell(nullptr);
}

int __FCCollectionCellDetail::LoadAllInCell(FCCell* cell) {
    ClearAll();
    if (!cell) return 0;
    std::unique_ptr<__FCBaseData> scratch(CreateElement());
    if (!scratch) return 0;
    scratch->SetCustomTag(GetCustomTag());
    AppendCell(scratch.get(), cell, true);
    return GetCount();
}

int __FCCollectionCellDetail::LoadAll() {
    ClearAll();
    std::unique_ptr<__FCBaseData> scratch(CreateElement());
    if (!scratch) return 0;
    scratch->SetCustomTag(GetCustomTag());
    FCStaves staves;
    FCMeasures measures;
    staves.LoadAll();
    measures.LoadAll();
    for (int m = 0; m < measures.GetCount(); ++m) {
        for (int s = 0; s < staves.GetCount(); ++s) {
            FCCell cell(measures.GetItemAt(m)->GetItemNo(), staves.GetItemAt(s)->GetItemNo());
            AppendCell(scratch.get(), &cell, false);  // the cell is temporary
        }
    }
    return GetCount();
}
