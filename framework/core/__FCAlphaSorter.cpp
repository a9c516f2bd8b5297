#include "framework/core/__FCAlphaSorter.h"

#include "framework/core/FCString.h"

#include <cstring>

int __FCAlphaSorter::Compare(__FCBase* a, __FCBase* b) {
    FCString* first = dynamic_cast<FCString*>(a);
    FCString* second = dynamic_cast<FCString*>(b);
    if (!first || !second) return (first ? 1 : 0) - (second ? 1 : 0);
    if (first == second) return 0;
    // Each string keeps its own 8-bit copy, so both stay valid during the comparison.
    return std::strcmp(first->GetCString(), second->GetCString());
}
