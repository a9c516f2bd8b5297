#include "framework/host/__FCVariableNoInciOther.h"

#include <algorithm>
#include <cstring>
#include <typeinfo>

__FCVariableNoInciOther::__FCVariableNoInciOther(uint32_t minimumCapacity)
    : minimumCapacity_(minimumCapacity), size_(0), capacity_(0) {}

uint8_t* __FCVariableNoInciOther::Allocate(uint32_t size) {
    size_ = size;
    capacity_ = std::max(size, minimumCapacity_);
    return static_cast<uint8_t*>(AllocateOwnedData(capacity_));
}

void* __FCVariableNoInciOther::GetDataPointer() {
    uint32_t size = 0;
    if (!hostapi::FX_LoadEData(GetTag(), &Key(), nullptr, &size, GetDataVersion()) || size == 0) return nullptr;
    return Allocate(size);
}

bool __FCVariableNoInciOther::CopyDataFrom(__FCBaseData* other) {
    if (!other || typeid(*other) != typeid(*this)) return false;
    __FCVariableNoInciOther* source = static_cast<__FCVariableNoInciOther*>(other);
    if (!source->IsLoaded() || !source->Data()) return false;
    if (source == this) return true;
    const uint32_t size = uint32_t(source->GetLoadedSize());
    uint8_t* data = Allocate(size);
    std::memcpy(data, source->Data(), std::min(size, source->capacity_));
    SetLoadedSize(int32_t(size));
    return true;
}
