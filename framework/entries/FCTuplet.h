// A tuplet starting on a note entry (tag E\x03TP, keyed by entry number and incidence): its ratio
// (notes of a symbolic duration in the time of a reference number of a reference duration) and
// its display and placement options. The 30-byte structure lives inside the object, which counts
// as loaded from construction, so a new tuplet can be connected to an entry, filled and created.
// FCTuplets owns the tuplets of one entry (the entry is not owned).
#pragma once

#include "framework/host/__FCCollectionData.h"
#include "framework/host/__FCEntryDetail.h"

class FCTuplet : public __FCEntryDetail {
public:
    static constexpr uint32_t kTag = FXTag('E', '\x03', 'T', 'P');
    static constexpr uint32_t kDataSize = 30;

    // The display and placement options: eleven words after the ratio, in record order. Option
    // words 0-9 hold what words 0-9 of the tuplet preferences hold, the last one what the first
    // of the preferences' further words holds (FCTupletPrefs::CopyToTuplet).
    enum Option {
        kDisplayFlags,    // how the number and the bracket are shown (bits of the host)
        kLeftHookLength,  // bracket hooks
        kRightHookLength,
        kNumberOffsetX,     // the number's offset from its place
        kHorizontalOffset,  // the two positions of the whole tuplet
        kVerticalOffset,
        kNumberOffsetY,
        kBracketStartOffset,
        kBracketEndOffset,
        kManualSlope,
        kDisplayFlags2,
        kOptionCount
    };
    static constexpr int kRatioWords = 4;
    static_assert((kRatioWords + kOptionCount) * 2 == int(kDataSize), "tuplet record, 30 bytes");

    FCTuplet();
    FC_CLASS_INFO(FCTuplet)

    void* GetDataPointer() override { return data_; }
    __FCBaseData* CreateObject() override { return new FCTuplet; }
    uint32_t GetTag() override { return kTag; }
    uint32_t GetDataSize() override { return kDataSize; }
    bool CopyDataFrom(__FCBaseData* other) override { return CopyDataInto(other, data_, kDataSize); }
    // Clears the structure first, so a short record never shows the previous record's bytes.
    bool Reload() override;
    // Sets or clears the entry's tuplet-start flag.
    void SetEntryFlag(FCNoteEntry* entry, bool state) override;

    // The ratio: GetSymbolicNumber notes of GetSymbolicDuration (EDU) in the time of
    // GetReferenceNumber times GetReferenceDuration (EDU).
    int GetSymbolicNumber() const { return Word(0); }
    void SetSymbolicNumber(int number) { SetWord(0, number); }
    int GetSymbolicDuration() const { return Word(2); }
    void SetSymbolicDuration(int duration) { SetWord(2, duration); }
    int GetReferenceNumber() const { return Word(4); }
    void SetReferenceNumber(int number) { SetWord(4, number); }
    int GetReferenceDuration() const { return Word(6); }
    void SetReferenceDuration(int duration) { SetWord(6, duration); }

    // An option word (signed; the flag words read as unsigned); 0 out of range.
    int GetOption(Option option) const;
    void SetOption(Option option, int value);
    int GetHorizontalOffset() const { return GetOption(kHorizontalOffset); }
    void SetHorizontalOffset(int value) { SetOption(kHorizontalOffset, value); }
    int GetVerticalOffset() const { return GetOption(kVerticalOffset); }
    void SetVerticalOffset(int value) { SetOption(kVerticalOffset, value); }

private:
    int Word(int offset) const { return fcdata::Read<uint16_t>(data_, offset); }
    void SetWord(int offset, int value) { fcdata::Write<uint16_t>(data_, offset, uint16_t(value)); }

    uint8_t data_[kDataSize];
};

class FCTuplets : public __FCCollectionEntryDetail {
public:
    explicit FCTuplets(FCNoteEntry* entry) : __FCCollectionEntryDetail(entry) {}
    FC_CLASS_INFO(FCTuplets)
    __FCBaseData* CreateElement() override { return new FCTuplet; }
    FCTuplet* GetItemAt(int i) const { return ItemAs<FCTuplet>(i); }
};
