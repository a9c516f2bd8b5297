// The bottom (beat durations) of a composite time signature: the element records of one item
// number (the number a measure stores in place of its beat duration) and the groups they hold.
// The collection owns its element records.
#pragma once

#include "framework/host/__FCCollectionData.h"
#include "framework/host/__FCInciOther.h"
#include "framework/score/CompositeEntries.h"

// One 12-byte bottom record: three entries of two 16-bit words (word 0 the beat duration in
// EDUs, word 1 non-zero when the entry starts a group). An entry whose word 0 is 0 is unused.
class __FCCompositeTimeSigBottomElement : public __FCInciOther {
public:
    static constexpr uint32_t kTag = FXTag('o', 't', 'T', 'L');
    static constexpr uint32_t kDataSize = 12;
    static constexpr int kEntryCount = 3;
    static constexpr int kWordsPerEntry = 2;
    static_assert(kEntryCount * kWordsPerEntry * 2 == int(kDataSize), "bottom element layout is 12 bytes");

    __FCCompositeTimeSigBottomElement();
    FC_CLASS_INFO(__FCCompositeTimeSigBottomElement)

    void* GetDataPointer() override { return data_; }
    __FCBaseData* CreateObject() override { return new __FCCompositeTimeSigBottomElement; }
    uint32_t GetTag() override { return kTag; }
    uint32_t GetDataSize() override { return kDataSize; }
    bool CopyDataFrom(__FCBaseData* other) override { return CopyDataInto(other, data_, kDataSize); }

    // Readers of a record in this layout (also used by the stand-in host).
    static bool IsEntryUsed(const void* record, int entry);
    static int EntryDuration(const void* record, int entry);
    static bool EntryStartsGroup(const void* record, int entry);

    bool IsEntryUsed(int entry) const { return IsEntryUsed(data_, entry); }
    int GetEntryDuration(int entry) const { return EntryDuration(data_, entry); }
    bool GetEntryStartsGroup(int entry) const { return EntryStartsGroup(data_, entry); }
    void SetEntry(int entry, int duration, bool startsGroup);
    void ClearEntry(int entry);

private:
    uint8_t data_[kDataSize];
};

class FCCompositeTimeSigBottom : public __FCCollectionInciOther {
public:
    FC_CLASS_INFO(FCCompositeTimeSigBottom)

    __FCBaseData* CreateElement() override { return new __FCCompositeTimeSigBottomElement; }
    // Loads the elements of the item and flattens their entries.
    int LoadAllForItem(uint16_t cmper) override;
    // Composite elements are read per item; this only empties the collection.
    int LoadAll() override;
    __FCCompositeTimeSigBottomElement* GetItemAt(int i) const { return ItemAs<__FCCompositeTimeSigBottomElement>(i); }

    int GetGroupCount() const { return entries_.GetGroupCount(); }
    int GetGroupElementCount(int group) const { return entries_.GetGroupElementCount(group); }
    // The duration of the i-th entry of the group; 0 when there is none.
    int GetGroupElementDuration(int group, int index) const { return entries_.GetGroupElementValue(group, index); }
    // The beat duration of the group: that of its first entry, 0 when the group does not exist.
    int GetGroupBeatDuration(int group) const { return entries_.GetGroupElementValue(group, 0); }

private:
    CompositeEntries entries_;
};
