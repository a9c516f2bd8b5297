// Host exports: the record store of the current document.
#include "simhost/Document.h"
#include "simhost/RecordView.h"
#include "simhost/SimExport.h"
#include "simhost/SimFunctions.h"

#include <cstring>

SIM_EXPORT int16_t FXAPI FX_LoadEData(uint32_t tag, FXKey* key, void* data, uint32_t* size, uint32_t) {
    SIM_ENTER(FX_LoadEData, int16_t);
    if (!key || !size) return 0;
    simhost::RecordStore::Bytes record;
    if (!simhost::RecordView::Current().Read(tag, *key, record)) return 0;
    if (data) {
        const size_t copied = *size < record.size() ? *size : record.size();
        if (copied) std::memcpy(data, record.data(), copied);
    }
    *size = uint32_t(record.size());
    return 1;
}

SIM_EXPORT int16_t FXAPI FX_SaveEData(uint32_t tag, const FXKey* key, const void* data, uint32_t size, uint32_t) {
    SIM_ENTER(FX_SaveEData, int16_t);
    if (!key || (!data && size > 0)) return 0;
    return simhost::RecordView::Current().Write(tag, *key, static_cast<const uint8_t*>(data), size) ? 1 : 0;
}

SIM_EXPORT int16_t FXAPI FX_CreateEData(uint32_t tag, FXKey* key, const void* data, uint32_t size, uint32_t) {
    SIM_ENTER(FX_CreateEData, int16_t);
    if (!key || (!data && size > 0)) return 0;
    FXKey assigned = *key;
    if (!simhost::RecordView::Current().Create(tag, assigned, static_cast<const uint8_t*>(data), size)) return 0;
    if (simhost::CreateReportsKey()) *key = assigned;
    return 1;
}

SIM_EXPORT int16_t FXAPI FX_DeleteEData(uint32_t tag, const FXKey* key, uint32_t) {
    SIM_ENTER(FX_DeleteEData, int16_t);
    if (!key) return 0;
    return simhost::RecordView::Current().Erase(tag, *key) ? 1 : 0;
}

SIM_EXPORT int16_t FXAPI FX_NextEData(uint32_t tag, FXKey* key, void*, uint32_t*, uint32_t) {
    SIM_ENTER(FX_NextEData, int16_t);
    if (!key) return 0;
    return simhost::RecordView::Current().Next(tag, *key) ? 1 : 0;
}
