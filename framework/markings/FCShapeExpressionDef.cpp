#include "framework/markings/FCShapeExpressionDef.h"

#include <cstring>

namespace {

constexpr int kCategory = 26;
constexpr uint16_t kCategoryMask = 0x3FFF;
static_assert(kCategory + 2 <= int(FCShapeExpressionDef::kMinimumSize), "the structure holds the category word");

}  // namespace

FCShapeExpressionDef::FCShapeExpressionDef() : size_(0), capacity_(0) {
    Allocate(kMinimumSize);
    SetLoadedSize(int32_t(kMinimumSize));
}

uint8_t* FCShapeExpressionDef::Allocate(uint32_t size) {
    // Never smaller than the fields read, whatever the host reports.
    size_ = size;
    capacity_ = size < kMinimumSize ? kMinimumSize : size;
    return static_cast<uint8_t*>(AllocateOwnedData(capacity_));
}

void* FCShapeExpressionDef::GetDataPointer() {
    uint32_t size = 0;
    if (!hostapi::FX_LoadEData(GetTag(), &Key(), nullptr, &size, GetDataVersion()) || size == 0) return nullptr;
    return Allocate(size);
}

bool FCShapeExpressionDef::CopyDataFrom(__FCBaseData* other) {
    FCShapeExpressionDef* source = dynamic_cast<FCShapeExpressionDef*>(other);
    if (!source || !source->IsLoaded() || !source->Data()) return false;
    if (source == this) return true;
    const uint32_t size = uint32_t(source->GetLoadedSize());
    uint8_t* data = Allocate(size);
    std::memcpy(data, source->Data(), size < source->capacity_ ? size : source->capacity_);
    SetLoadedSize(int32_t(size));
    return true;
}

bool FCShapeExpressionDef::Save() {
    if (IsLoaded() && GetLoadedSize() < int32_t(kMinimumSize)) SetLoadedSize(int32_t(kMinimumSize));
    return __FCNoInciOther::Save();
}

int FCShapeExpressionDef::GetCategoryNumber() const {
    if (!Data()) return 0;
    return fcdata::Read<uint16_t>(Data(), kCategory) & kCategoryMask;
}

void FCShapeExpressionDef::SetCategoryNumber(int number) {
    if (!Data()) Allocate(kMinimumSize);
    const uint16_t word = fcdata::Read<uint16_t>(Data(), kCategory);
    fcdata::Write<uint16_t>(Data(), kCategory, uint16_t((word & ~kCategoryMask) | (number & kCategoryMask)));
}
