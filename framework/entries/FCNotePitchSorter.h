// Comparison handlers for the collection sort: FCNotePitchSorter orders the FCNotePitches of a
// group by their first notes (or, made random, compares at random to shuffle them);
// FCPitchSortIteratorHandler orders single notes. Both sort lowest first.
#pragma once

#include "framework/core/FCIteratorHandler.h"

class FCNote;

class FCPitchSortIteratorHandler : public FCIteratorHandler {
public:
    FC_CLASS_INFO(FCPitchSortIteratorHandler)
    // 0 for the same pitch, -1 when a is lower, else 1 (both elements are FCNote objects).
    int Compare(__FCBase* a, __FCBase* b) override;

    // The rule shared with FCNotePitchSorter; 0 when either note is missing.
    static int ComparePitches(const FCNote* a, const FCNote* b);
};

class FCNotePitchSorter : public FCIteratorHandler {
public:
    explicit FCNotePitchSorter(bool random = false) : random_(random) {}
    FC_CLASS_INFO(FCNotePitchSorter)
    // Elements are FCNotePitches; compares their first notes, or returns rand() % 3 - 1 when
    // random. Lists without notes compare as equal.
    int Compare(__FCBase* a, __FCBase* b) override;

private:
    bool random_;
};
