#include "framework/host/__FCBaseData.h"

#include <algorithm>

#include <cstdlib>
#include <cstring>

__FCBaseData::__FCBaseData()
    : customTag_(0), documentID_(0), data_(nullptr), ownsData_(false), loadedSize_(0), key_{{0, 0, 0, 0}} {}

__FCBaseData::~__FCBaseData() {
    if (ownsData_) std::free(data_);
}

void __FCBaseData::FreeData() {
    if (ownsData_) std::free(data_);
    ownsData_ = false;
    OnFreeData();
    data_ = nullptr;
    loadedSize_ = 0;
}

void __FCBaseData::SetFixedData(void* data, int32_t size) {
    if (ownsData_) std::free(data_);
    ownsData_ = false;
    data_ = data;
    loadedSize_ = size;
}

void* __FCBaseData::AllocateOwnedData(uint32_t size) {
    if (ownsData_) std::free(data_);
    data_ = std::calloc(size ? size : 1, 1);
    ownsData_ = true;
    return data_;
}

void __FCBaseData::SetDocumentIDFromHost() { documentID_ = hostapi::FX_GetCurrentEnigmaDocument(kFXInterfaceVersion); }

bool __FCBaseData::Reload() {
    if (data_ && RenewDataOnLoad()) FreeData();
    if (!data_) data_ = GetDataPointer();
    uint32_t size = GetDataSize();
    if (!data_ || size == 0) {
        loadedSize_ = 0;
        return false;
    }
    const uint32_t room = size;
    if (hostapi::FX_LoadEData(GetTag(), &key_, data_, &size, GetDataVersion())) {
        // A stored record larger than the structure is kept only as far as the structure goes,
        // so a later Save never reads past the object's data.
        loadedSize_ = int32_t(size < room ? size : room);
        SetDocumentIDFromHost();
        return true;
    }
    loadedSize_ = 0;
    return false;
}

bool __FCBaseData::StepKeyWordAndReload(int word, int delta) {
    const int current = GetKeyWord(word);
    const int next = current + delta;
    if (word < 0 || word > 3 || next < 0 || next > 0xFFFF) return false;
    SetKeyWord(word, uint16_t(next));
    if (Reload()) return true;
    SetKeyWord(word, uint16_t(current));
    return false;
}

bool __FCBaseData::Save() {
    if (!IsLoaded() || !data_) return false;
    return hostapi::FX_SaveEData(GetTag(), &key_, data_, uint32_t(GetLoadedSize()), GetDataVersion()) != 0;
}

bool __FCBaseData::DeleteData() { return hostapi::FX_DeleteEData(GetTag(), &key_, GetDataVersion()) != 0; }

bool __FCBaseData::LoadNext() {
    FXKey next = key_;
    if (!hostapi::FX_NextEData(GetTag(), &next, nullptr, nullptr, GetDataVersion())) return false;
    key_ = next;
    return Reload();
}

bool __FCBaseData::CopyDataFrom(__FCBaseData* other) {
    if (!other || !other->IsLoaded() || !other->data_) return false;
    const int32_t size = other->GetLoadedSize();
    void* copy = std::malloc(size_t(size));
    if (!copy) return false;
    std::memcpy(copy, other->data_, size_t(size));
    FreeData();
    data_ = copy;
    ownsData_ = true;
    loadedSize_ = size;
    return true;
}

bool __FCBaseData::CopyDataInto(__FCBaseData* other, void* own, uint32_t capacity) {
    if (!other || !other->IsLoaded() || !other->data_ || !own) return false;
    // Never more than the object holds, so a later Save never reads past its structure.
    const uint32_t size = std::min(uint32_t(other->GetLoadedSize()), capacity);
    if (own != other->data_) std::memcpy(own, other->data_, size);
    SetFixedData(own, int32_t(size));
    return true;
}

bool __FCBaseData::CopyFrom(__FCBaseData* other) {
    if (!other) return false;
    key_ = other->key_;
    customTag_ = other->customTag_;
    documentID_ = other->documentID_;
    return CopyDataFrom(other);
}

__FCBaseData* __FCBaseData::Clone() {
    __FCBaseData* copy = CreateObject();
    if (copy) copy->CopyFrom(this);
    return copy;
}
