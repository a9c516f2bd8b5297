// A text block (tag SOTX, keyed by its number): the link from a text expression definition to
// the raw text record that holds its string, with the kind of text. The 26-byte structure lives
// inside the object, which counts as loaded from construction so a new block can be created.
#pragma once

#include "framework/host/__FCNoInciOther.h"

class FCTextBlock : public __FCNoInciOther {
public:
    static constexpr uint32_t kTag = FXTag('S', 'O', 'T', 'X');
    static constexpr uint32_t kDataSize = 26;
    // The kind of the texts of expressions.
    static constexpr int kExpressionTextKind = 0x7870;

    FCTextBlock();
    FC_CLASS_INFO(FCTextBlock)

    void* GetDataPointer() override { return data_; }
    __FCBaseData* CreateObject() override { return new FCTextBlock; }
    uint32_t GetTag() override { return kTag; }
    uint32_t GetDataSize() override { return kDataSize; }
    bool CopyDataFrom(__FCBaseData* other) override { return CopyDataInto(other, data_, kDataSize); }
    // Clears the structure first, so a short record never shows the previous record's bytes.
    bool Reload() override;

    int GetRawTextNumber() const;
    void SetRawTextNumber(int number);
    int GetTextKind() const;
    void SetTextKind(int kind);

private:
    uint8_t data_[kDataSize];
};
