// A list of texts: an owning collection of FCString, made by FCString::Split and by the file and
// list classes. Owns its strings.
#pragma once

#include "framework/core/FCString.h"
#include "framework/core/__FCCollection.h"

class FCStrings : public __FCCollection {
public:
    FC_CLASS_INFO(FCStrings)

    FCString* GetItemAt(int i) const { return ItemAs<FCString>(i); }
    FCString* GetLastItem() const { return ItemAs<FCString>(GetCount() - 1); }

    // Appends a new string with the given content and returns it (owned by the collection).
    FCString* AddCopy(const FCString* text);
    FCString* AddCString(const char* text);
    // The index of the first string with the same units, or -1.
    int FindString(const FCString* text) const;
    // Orders the strings by their 8-bit text (strcmp); true when anything moved.
    bool SortAlphabetically();
};
