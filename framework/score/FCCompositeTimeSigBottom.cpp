#include "framework/score/FCCompositeTimeSigBottom.h"

#include <cstring>

namespace {

int WordOffset(int entry, int word) { return (entry * __FCCompositeTimeSigBottomElement::kWordsPerEntry + word) * 2; }

bool ValidEntry(int entry) { return entry >= 0 && entry < __FCCompositeTimeSigBottomElement::kEntryCount; }

}  // namespace

__FCCompositeTimeSigBottomElement::__FCCompositeTimeSigBottomElement() { UseClearedData(data_, kDataSize); }

bool __FCCompositeTimeSigBottomElement::IsEntryUsed(const void* record, int entry) {
    return record && ValidEntry(entry) && fcdata::Read<uint16_t>(record, WordOffset(entry, 0)) != 0;
}

int __FCCompositeTimeSigBottomElement::EntryDuration(const void* record, int entry) {
    if (!record || !ValidEntry(entry)) return 0;
    return fcdata::Read<int16_t>(record, WordOffset(entry, 0));
}

bool __FCCompositeTimeSigBottomElement::EntryStartsGroup(const void* record, int entry) {
    if (!record || !ValidEntry(entry)) return false;
    return fcdata::Read<uint16_t>(record, WordOffset(entry, 1)) != 0;
}

void __FCCompositeTimeSigBottomElement::SetEntry(int entry, int duration, bool startsGroup) {
    if (!ValidEntry(entry)) return;
    fcdata::Write<int16_t>(data_, WordOffset(entry, 0), int16_t(duration));
    fcdata::Write<uint16_t>(data_, WordOffset(entry, 1), startsGroup ? 1 : 0);
}

void __FCCompositeTimeSigBottomElement::ClearEntry(int entry) {
    if (!ValidEntry(entry)) return;
    for (int word = 0; word < kWordsPerEntry; ++word) fcdata::Write<uint16_t>(data_, WordOffset(entry, word), 0);
}

int FCCompositeTimeSigBottom::LoadAllForItem(uint16_t cmper) {
    const int count = __FCCollectionInciOther::LoadAllForItem(cmper);
    entries_.Clear();
    for (int i = 0; i < count; ++i)
        if (GetItemAt(i)) entries_.AppendBottomElement(GetItemAt(i)->GetDataPointer());
    return count;
}

int FCCompositeTimeSigBottom::LoadAll() {
    entries_.Clear();
    return __FCCollectionInciOther::LoadAll();
}
