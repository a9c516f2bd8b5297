#include "framework/score/FCCompositeTimeSigTop.h"

#include <cstring>

namespace {

int WordOffset(int entry, int word) { return (entry * __FCCompositeTimeSigTopElement::kWordsPerEntry + word) * 2; }

bool ValidEntry(int entry) { return entry >= 0 && entry < __FCCompositeTimeSigTopElement::kEntryCount; }

}  // namespace

__FCCompositeTimeSigTopElement::__FCCompositeTimeSigTopElement() { UseClearedData(data_, kDataSize); }

bool __FCCompositeTimeSigTopElement::IsEntryUsed(const void* record, int entry) {
    if (!record || !ValidEntry(entry)) return false;
    return fcdata::Read<uint16_t>(record, WordOffset(entry, 0)) != 0 ||
           fcdata::Read<uint16_t>(record, WordOffset(entry, 1)) != 0;
}

int __FCCompositeTimeSigTopElement::EntryBeats(const void* record, int entry) {
    if (!record || !ValidEntry(entry)) return 0;
    return fcdata::Read<int16_t>(record, WordOffset(entry, 0));
}

bool __FCCompositeTimeSigTopElement::EntryStartsGroup(const void* record, int entry) {
    if (!record || !ValidEntry(entry)) return false;
    return fcdata::Read<uint16_t>(record, WordOffset(entry, 2)) != 0;
}

void __FCCompositeTimeSigTopElement::SetEntry(int entry, int beats, bool startsGroup) {
    if (!ValidEntry(entry)) return;
    fcdata::Write<int16_t>(data_, WordOffset(entry, 0), int16_t(beats));
    fcdata::Write<uint16_t>(data_, WordOffset(entry, 1), 0);
    fcdata::Write<uint16_t>(data_, WordOffset(entry, 2), startsGroup ? 1 : 0);
}

void __FCCompositeTimeSigTopElement::ClearEntry(int entry) {
    if (!ValidEntry(entry)) return;
    for (int word = 0; word < kWordsPerEntry; ++word) fcdata::Write<uint16_t>(data_, WordOffset(entry, word), 0);
}

int FCCompositeTimeSigTop::LoadAllForItem(uint16_t cmper) {
    const int count = __FCCollectionInciOther::LoadAllForItem(cmper);
    entries_.Clear();
    for (int i = 0; i < count; ++i)
        if (GetItemAt(i)) entries_.AppendTopElement(GetItemAt(i)->GetDataPointer());
    return count;
}

int FCCompositeTimeSigTop::GetTotalElementCount() const {
    int total = 0;
    for (int g = 0; g < GetGroupCount(); ++g) total += GetGroupElementCount(g);
    return total;
}

int FCCompositeTimeSigTop::LoadAll() {
    entries_.Clear();
    return __FCCollectionInciOther::LoadAll();
}
