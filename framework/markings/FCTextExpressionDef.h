// A text expression definition (tag SODT, keyed by its number): the link to its text (a text
// block and a raw text record), a description, its category and the placement it takes over
// from the category. The record is 34 bytes followed by the NUL-terminated description, 8-bit
// on hosts before 0x11000000 and UTF-16 from then on, so the object owns a block allocated on
// every load. A new definition starts loaded with an empty description, ready for SaveNew.
// FCTextExpressionDefs owns every text expression definition of a document.
#pragma once

#include "framework/core/FCString.h"
#include "framework/host/__FCCollectionData.h"
#include "framework/host/__FCVariableNoInciOther.h"

class FCCategoryDef;

class FCTextExpressionDef : public __FCVariableNoInciOther {
public:
    static constexpr uint32_t kTag = FXTag('S', 'O', 'D', 'T');
    // The fixed part before the description.
    static constexpr int kHeaderSize = 34;
    // Bits of the category word: the category number, and (hosts from 0x11000000) the use of the
    // category's placement and font.
    static constexpr uint16_t kCategoryMask = 0x3FFF;
    static constexpr uint16_t kUseCategoryPlacement = 0x4000;
    static constexpr uint16_t kUseCategoryFont = 0x8000;
    // The number of placement values, as for categories (FCCategoryDef::GetPlacementValue).
    static constexpr int kPlacementCount = 5;

    FCTextExpressionDef();
    FC_CLASS_INFO(FCTextExpressionDef)

    __FCBaseData* CreateObject() override { return new FCTextExpressionDef; }
    uint32_t GetTag() override { return kTag; }
    uint32_t GetDataVersion() override;
    // A record shorter than an empty one is saved at that length, so every field reaches the host.
    bool Save() override;
    // Deletes the text (block and raw text), then the definition.
    bool DeepDeleteData() override;
    // The next number; where numbers have a gap, the next definition the host has after it.
    bool LoadNext() override;

    int GetTextBlockNumber() const;
    void SetTextBlockNumber(int number);
    bool IsRehearsalMark() const;
    void SetRehearsalMark(bool state);
    int GetHorizontalAlignment() const;
    void SetHorizontalAlignment(int alignment);
    // The placement values in the category's order (see FCCategoryDef); 0 for an index out of range.
    int GetPlacementValue(int index) const;
    void SetPlacementValue(int index, int value);
    // Bits 0-13 of the category word.
    int GetCategoryNumber() const;
    // Changes bits 0-13 only.
    void SetCategoryNumber(int number);
    // Always false, and not changed, on hosts before 0x11000000.
    bool GetUseCategoryFont() const;
    void SetUseCategoryFont(bool state);
    bool GetUseCategoryPlacement() const;
    void SetUseCategoryPlacement(bool state);

    void GetDescription(FCString* description) const;
    // Rebuilds the record: the first 34 bytes, then the description with its terminator.
    void SetDescription(const FCString* description);

    // The text through the text block and its raw text; false (and an empty text) when either
    // cannot be loaded.
    bool GetText(FCString* text) const;
    // The same text as a new string owned by the caller (empty when it cannot be loaded).
    FCString* CreateTextString() const;
    // Creates a raw text holding the string and a text block for it, and makes the block this
    // definition's text. False when either cannot be created (a raw text whose block failed is
    // deleted again). The definition itself is not saved.
    bool SetText(const FCString* text);
    // Deletes the text block and its raw text. False when the block cannot be loaded.
    bool DeleteText();

    // Takes over the category's number, font and placement (use-font and use-placement on, the
    // alignment and placement values copied). False, with nothing changed, when the category is
    // missing, not loaded or has a number below 1.
    bool AssignToCategory(FCCategoryDef* category);

private:
    static constexpr int kMinimumSize = kHeaderSize + 2;

    uint8_t* Bytes() const { return static_cast<uint8_t*>(Data()); }
    // The data, allocated as an empty record when the object has none.
    uint8_t* WritableBytes();
    int Word(int offset) const;
    int SignedWord(int offset) const;
    void SetWord(int offset, int value);
    void SetCategoryBit(uint16_t bit, bool state);
};

class FCTextExpressionDefs : public __FCCollectionNoInciOther {
public:
    FC_CLASS_INFO(FCTextExpressionDefs)
    __FCBaseData* CreateElement() override { return new FCTextExpressionDef; }
    FCTextExpressionDef* GetItemAt(int i) const { return ItemAs<FCTextExpressionDef>(i); }
};
