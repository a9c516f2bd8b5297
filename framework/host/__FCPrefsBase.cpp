#include "framework/host/__FCPrefsBase.h"

#include "framework/host/PrefsFieldTable.h"

#include <cstring>

namespace {

int16_t FXAPI LoadThroughBinding(uint32_t tag, FXKey* key, void* data, uint32_t* size, uint32_t version) {
    return hostapi::FX_LoadEData(tag, key, data, size, version);
}

int16_t FXAPI SaveThroughBinding(uint32_t tag, const FXKey* key, const void* data, uint32_t size, uint32_t version) {
    return hostapi::FX_SaveEData(tag, key, data, size, version);
}

}  // namespace

bool __FCPrefsBase::Load(uint16_t prefsNumber) {
    SetKeyWord(0, prefsNumber);
    SetKeyWord(1, 0);
    SetKeyWord(2, 0);
    SetKeyWord(3, 0);
    const PrefsFieldTable* table = FindPrefsEmulation(GetTag(), prefsNumber);
    if (!table) return ReloadFromHost();
    uint8_t* data = static_cast<uint8_t*>(Data() ? Data() : GetDataPointer());
    const uint32_t size = GetDataSize();
    if (!data || size < table->StructureSize()) {
        SetLoadedSize(0);
        return false;
    }
    // Fields are assembled into the structure the object keeps; the data pointer is its own.
    if (!Data()) SetFixedData(data, 0);
    std::memset(data, 0, size);
    if (!table->Load(&LoadThroughBinding, data, hostapi::GetHostVersion())) {
        SetLoadedSize(0);
        return false;
    }
    SetLoadedSize(int32_t(size));
    SetDocumentIDFromHost();
    return true;
}

bool __FCPrefsBase::ReloadFromHost() { return __FCBaseData::Reload(); }

bool __FCPrefsBase::Reload() {
    if (!IsLoaded()) return false;
    return Load(GetKeyWord(0));
}

bool __FCPrefsBase::Save() {
    const PrefsFieldTable* table = FindPrefsEmulation(GetTag(), GetKeyWord(0));
    if (!table) return __FCBaseData::Save();
    if (!IsLoaded() || !Data()) return false;
    return table->Save(&LoadThroughBinding, &SaveThroughBinding, static_cast<const uint8_t*>(Data()),
                       hostapi::GetHostVersion());
}
