// The sort handler that orders FCString elements by the strcmp order of their 8-bit texts; a
// missing element (or one that is not a string) sorts first. Owns nothing.
#pragma once

#include "framework/core/FCIteratorHandler.h"

class __FCAlphaSorter : public FCIteratorHandler {
public:
    FC_CLASS_INFO(__FCAlphaSorter)

    int Compare(__FCBase* a, __FCBase* b) override;
};
