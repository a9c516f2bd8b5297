// The top (beat counts) of a composite time signature: the element records of one item number
// (the number a measure stores in place of its beats) and the entries and groups they hold. The
// collection owns its element records.
#pragma once

#include "framework/host/__FCCollectionData.h"
#include "framework/host/__FCInciOther.h"
#include "framework/score/CompositeEntries.h"

// One 12-byte top record: two entries of three 16-bit words (word 0 the beat count, word 2
// non-zero when the entry starts a group). An entry whose first two words are 0 is unused.
class __FCCompositeTimeSigTopElement : public __FCInciOther {
public:
    static constexpr uint32_t kTag = FXTag('o', 't', 'T', 'U');
    static constexpr uint32_t kDataSize = 12;
    static constexpr int kEntryCount = 2;
    static constexpr int kWordsPerEntry = 3;
    static_assert(kEntryCount * kWordsPerEntry * 2 == int(kDataSize), "top element layout is 12 bytes");

    __FCCompositeTimeSigTopElement();
    FC_CLASS_INFO(__FCCompositeTimeSigTopElement)

    void* GetDataPointer() override { return data_; }
    __FCBaseData* CreateObject() override { return new __FCCompositeTimeSigTopElement; }
    uint32_t GetTag() override { return kTag; }
    uint32_t GetDataSize() override { return kDataSize; }
    bool CopyDataFrom(__FCBaseData* other) override { return CopyDataInto(other, data_, kDataSize); }

    // Readers of a record in this layout (also used by the stand-in host).
    static bool IsEntryUsed(const void* record, int entry);
    static int EntryBeats(const void* record, int entry);
    static bool EntryStartsGroup(const void* record, int entry);

    bool IsEntryUsed(int entry) const { return IsEntryUsed(data_, entry); }
    int GetEntryBeats(int entry) const { return EntryBeats(data_, entry); }
    bool GetEntryStartsGroup(int entry) const { return EntryStartsGroup(data_, entry); }
    void SetEntry(int entry, int beats, bool startsGroup);
    // Makes the entry unused.
    void ClearEntry(int entry);

private:
    uint8_t data_[kDataSize];
};

class FCCompositeTimeSigTop : public __FCCollectionInciOther {
public:
    FC_CLASS_INFO(FCCompositeTimeSigTop)

    __FCBaseData* CreateElement() override { return new __FCCompositeTimeSigTopElement; }
    // Loads the elements of the item and flattens their entries.
    int LoadAllForItem(uint16_t cmper) override;
    // Composite elements are read per item; this only empties the collection.
    int LoadAll() override;
    __FCCompositeTimeSigTopElement* GetItemAt(int i) const { return ItemAs<__FCCompositeTimeSigTopElement>(i); }

    int GetGroupCount() const { return entries_.GetGroupCount(); }
    int GetGroupElementCount(int group) const { return entries_.GetGroupElementCount(group); }
    // The beat count of the i-th entry of the group; 0 when there is none.
    int GetGroupElementBeats(int group, int index) const { return entries_.GetGroupElementValue(group, index); }
    // Entries of all groups together.
    int GetTotalElementCount() const;

private:
    CompositeEntries entries_;
};
