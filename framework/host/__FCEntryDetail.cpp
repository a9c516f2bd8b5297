#include "framework/host/__FCEntryDetail.h"

#include "framework/entries/FCNoteEntry.h"

#include <memory>

void __FCEntryDetail::SetEntnumInKey(FXKey& key, int32_t entnum) const {
    key.words[0] = uint16_t(uint32_t(entnum) & 0xFFFF);
    key.words[1] = uint16_t(uint32_t(entnum) >> 16);
}

int32_t __FCEntryDetail::GetItemEntnum() const {
    return int32_t(uint32_t(GetKeyWord(0)) | (uint32_t(GetKeyWord(1)) << 16));
}

bool __FCEntryDetail::Load(int32_t entnum, uint16_t inci) {
    SetEntnumInKey(Key(), entnum);
    SetKeyWord(2, inci);
    SetKeyWord(3, 0);
    return Reload();
}

void __FCEntryDetail::ConnectToEntry(FCNoteEntry* entry) {
    entry_ = entry;
    if (entry) SetEntnumInKey(Key(), entry->GetEntryNumber());
}

bool __FCEntryDetail::LoadFirst() {
    if (!entry_) return false;
    return Load(entry_->GetEntryNumber(), 0);
}

bool __FCEntryDetail::LoadNext() { return StepKeyWordAndReload(2, 1); }

int __FCEntryDetail::CalcLastInci() {
    if (!entry_) return -1;
    std::unique_ptr<__FCBaseData> base(CreateObject());
    __FCEntryDetail* probe = static_cast<__FCEntryDetail*>(base.get());
    if (!probe) return -1;
    probe->SetCustomTag(GetCustomTag());
    probe->ConnectToEntry(entry_);
    const int32_t entnum = entry_->GetEntryNumber();
    if (!probe->Load(entnum, 0)) return -1;
    int last = 0;
    while (probe->LoadNext() && probe->GetItemEntnum() == entnum) last = probe->GetItemInci();
    return last;
}

bool __FCEntryDetail::SaveNew() {
    if (!entry_) return false;
    FXKey key = GetKey();
    key.words[2] = 0xFFFF;
    key.words[3] = 0;
    const uint32_t size = uint32_t(GetLoadedSize());
    if (!hostapi::FX_CreateEData(GetTag(), &key, Data(), size, GetDataVersion())) return false;
    if (key.words[2] == 0xFFFF) {
        const int last = CalcLastInci();
        if (last < 0) return false;
        key.words[2] = uint16_t(last);
    }
    SetKeyBlock(key);
    SetLoadedSize(int32_t(size));
    SetEntryFlag(entry_, true);
    return true;
}
