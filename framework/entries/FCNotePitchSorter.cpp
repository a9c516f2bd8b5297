#include "framework/entries/FCNotePitchSorter.h"

#include "framework/entries/FCNotePitches.h"

#include <cstdlib>

int FCPitchSortIteratorHandler::ComparePitches(const FCNote* a, const FCNote* b) {
    if (!a || !b || a->IsSamePitch(b)) return 0;
    return a->IsLowerThan(b) ? -1 : 1;
}

int FCPitchSortIteratorHandler::Compare(__FCBase* a, __FCBase* b) {
    return ComparePitches(static_cast<FCNote*>(a), static_cast<FCNote*>(b));
}

int FCNotePitchSorter::Compare(__FCBase* a, __FCBase* b) {
    if (random_) return std::rand() % 3 - 1;
    const FCNotePitches* first = static_cast<FCNotePitches*>(a);
    const FCNotePitches* second = static_cast<FCNotePitches*>(b);
    if (!first || !second || first->IsEmpty() || second->IsEmpty()) return 0;
    return FCPitchSortIteratorHandler::ComparePitches(first->GetItemAt(0), second->GetItemAt(0));
}
