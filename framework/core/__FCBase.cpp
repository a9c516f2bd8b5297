#include "framework/core/__FCBase.h"

#include <cstring>

bool __FCBase::IsSameClass(const __FCBase* other) const {
    if (!other) return false;
    return std::strcmp(ClassName(), other->ClassName()) == 0;
}
