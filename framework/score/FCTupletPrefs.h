// The document's default tuplet options (tag pfTP, number 1), copied into new tuplets. The host
// keeps 8 further bytes of tuplet options in a second record (an other record at the document
// item), which is loaded and saved with the preference.
#pragma once

#include "framework/host/__FCPrefsBase.h"

class FCTuplet;

class FCTupletPrefs : public __FCPrefsBase {
public:
    static constexpr uint32_t kTag = FXTag('p', 'f', 'T', 'P');
    static constexpr uint32_t kDataSize = 30;
    static constexpr int kOptionWordCount = 15;
    // The two position values among the option words.
    static constexpr int kHorizontalOffsetWord = 4;
    static constexpr int kVerticalOffsetWord = 5;
    // The second record: its tag, key (document item, incidence 0), size and the bytes used.
    static constexpr uint32_t kExtraTag = FXTag('o', 't', 'T', 'O');
    static constexpr uint16_t kExtraItem = 0xFFFE;
    static constexpr uint32_t kExtraRecordSize = 12;
    static constexpr int kExtraSize = 8;
    static_assert(kOptionWordCount * 2 == int(kDataSize), "pfTP structure is 30 bytes");

    FCTupletPrefs();
    FC_CLASS_INFO(FCTupletPrefs)

    void* GetDataPointer() override { return data_; }
    __FCBaseData* CreateObject() override { return new FCTupletPrefs; }
    uint32_t GetTag() override { return kTag; }
    uint32_t GetDataSize() override { return kDataSize; }
    bool CopyDataFrom(__FCBaseData* other) override;
    // Loads the preference and the further options (zero when the host has no second record).
    bool Load(uint16_t prefsNumber) override;
    // Saves the preference and the further options.
    bool Save() override;

    // The display and placement options, in structure order; 0 for an index out of range.
    int GetOptionWord(int index) const;
    void SetOptionWord(int index, int value);
    int GetHorizontalOffset() const { return GetOptionWord(kHorizontalOffsetWord); }
    int GetVerticalOffset() const { return GetOptionWord(kVerticalOffsetWord); }
    // The further options from the second record (4 words).
    int GetExtraOptionWord(int index) const;
    void SetExtraOptionWord(int index, int value);

    // Copies the options a tuplet stores into it: option words 0-9 (the two positions, words 4
    // and 5, only with positions on) and the first further word. The other words are settings
    // of the document only. False without a tuplet.
    bool CopyToTuplet(FCTuplet* tuplet, bool withPositions) const;

private:
    uint8_t data_[kDataSize];
    uint8_t extra_[kExtraSize];
};
