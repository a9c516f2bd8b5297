#include "framework/markings/FCShapeExpressionDef.h"

#include <cstring>

namespace {

constexpr int kCategory = 26;
constexpr uint16_t kCategoryMask = 0x3FFF;
static_assert(kCategory + 2 <= int(FCShapeExpressionDef::kMinimumSize), "the structure holds the category word");

}  // namespace

FCShapeExpressionDef::FCShapeExpressionDef() : __FCVariableNoInciOther(kMinimumSize) {
    Allocate(kMinimumSize);
    SetLoadedSize(int32_t(kMinimumSize));
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
