// An owning list of FCNumber: the note counts of Two-state Pattern (one per group, in input order),
// or the steps of a numbering run, in order, each holding the step's measure (or beat position)
// with user data 1 on a step where a new run starts.
#pragma once

#include "framework/core/FCNumber.h"
#include "framework/core/__FCCollection.h"

class FCNumberCollection : public __FCCollection {
public:
    FC_CLASS_INFO(FCNumberCollection)

    FCNumber* GetItemAt(int i) const { return ItemAs<FCNumber>(i); }
    // Appends a new number and returns it (owned by the collection).
    FCNumber* AddNumber(double value);
    // Appends a step (owned by the collection) and returns it.
    FCNumber* AddStep(int value, bool startsRun);
    bool StartsRun(int i) const;
    // The index of the last step of the run that begins at index first: the step before the
    // next one (after first) that starts a run, or the last step. -1 for an index outside.
    int GetRunEnd(int first) const;
};
