#include "framework/core/FCStrings.h"

#include "framework/core/__FCAlphaSorter.h"

FCString* FCStrings::AddCopy(const FCString* text) {
    FCString* copy = new FCString;
    copy->SetString(text);
    Add(copy);
    return copy;
}

FCString* FCStrings::AddCString(const char* text) {
    FCString* copy = new FCString(text);
    Add(copy);
    return copy;
}

int FCStrings::FindString(const FCString* text) const {
    if (!text) return -1;
    for (int i = 0; i < GetCount(); ++i) {
        const FCString* item = GetItemAt(i);
        if (item && item->IsEqual(text)) return i;
    }
    return -1;
}

bool FCStrings::SortAlphabetically() {
    __FCAlphaSorter sorter;
    return Sort(&sorter);
}
