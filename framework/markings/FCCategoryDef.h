// A marking category (tag SOMC, keyed by its number): its name, the text font and placement its
// expressions take over, and its flags. Two layouts follow the host version: 104 bytes with an
// 8-bit name before 0x11000000, 296 bytes with a UTF-16 name from then on. The structure lives
// inside the object, which counts as loaded from construction (a zeroed category of the current
// layout) so that a new category can be saved. FCCategoryDefs owns every category of a document.
#pragma once

#include "framework/core/FCString.h"
#include "framework/host/__FCCollectionData.h"
#include "framework/host/__FCNoInciOther.h"

class FCFontInfo;

class FCCategoryDef : public __FCNoInciOther {
public:
    static constexpr uint32_t kTag = FXTag('S', 'O', 'M', 'C');

    // Where the fields lie in one layout.
    struct Layout {
        uint32_t dataVersion;
        uint32_t size;
        bool utf16Name;
        int name;
        int nameRoom;  // bytes from the name's start to the text font
        int textFont;  // font number, size and effects, 2 bytes each
        int placement[5];
        int horizontalAlignment;
        int flags;
    };
    static const Layout& LayoutForHostVersion(uint32_t hostVersion);
    static constexpr uint32_t kMaxDataSize = 296;

    // The number of placement values (GetPlacementValue).
    static constexpr int kPlacementCount = 5;
    // The category that holds the dynamics.
    static constexpr int kDynamicsCategory = 1;

    FCCategoryDef();
    FC_CLASS_INFO(FCCategoryDef)

    void* GetDataPointer() override { return data_; }
    __FCBaseData* CreateObject() override { return new FCCategoryDef; }
    uint32_t GetTag() override { return kTag; }
    uint32_t GetDataVersion() override { return CurrentLayout().dataVersion; }
    uint32_t GetDataSize() override { return CurrentLayout().size; }
    bool CopyDataFrom(__FCBaseData* other) override { return CopyDataInto(other, data_, sizeof data_); }
    // Clears the structure first, so a short record never shows the previous record's bytes.
    bool Reload() override;

    // The number stored at the start of the record: the host's kind of category (1 the
    // dynamics, ...); for the host's own categories it equals the item number.
    int GetCategoryType() const;
    void SetCategoryType(int type);
    void GetName(FCString* name) const;
    // Cut to the room the layout has.
    void SetName(const FCString* name);

    // The text font: the host's name for the font number, or "Times New Roman" when the host
    // has none; size and effects as stored. False (nothing changed) when no font is given.
    bool GetTextFontInfo(FCFontInfo* font) const;
    // Stores the font by the host's number for its name (the number held in the font when the
    // host knows no number for the name).
    void SetTextFontInfo(const FCFontInfo* font);
    int GetTextFontNumber() const;
    int GetTextFontSize() const;
    int GetTextFontEffects() const;

    int GetHorizontalAlignment() const;
    void SetHorizontalAlignment(int alignment);
    // The five placement values, in the order of the record (offsets 86, 90, 92, 94, 96 in the
    // short layout); the first and third are signed. 0 for an index out of range.
    int GetPlacementValue(int index) const;
    void SetPlacementValue(int index, int value);
    uint16_t GetFlags() const;
    void SetFlags(uint16_t flags);

    // Same item number, same type, same flag word and equal names.
    bool IsSameAs(const FCCategoryDef* other) const;

private:
    const Layout& CurrentLayout() const { return LayoutForHostVersion(hostapi::GetHostVersion()); }
    int Word(int offset) const { return fcdata::Read<uint16_t>(data_, offset); }
    int SignedWord(int offset) const { return fcdata::Read<int16_t>(data_, offset); }
    void SetWord(int offset, int value) { fcdata::Write<uint16_t>(data_, offset, uint16_t(value)); }

    uint8_t data_[kMaxDataSize];
};

class FCCategoryDefs : public __FCCollectionNoInciOther {
public:
    FC_CLASS_INFO(FCCategoryDefs)
    __FCBaseData* CreateElement() override { return new FCCategoryDef; }
    FCCategoryDef* GetItemAt(int i) const { return ItemAs<FCCategoryDef>(i); }
    // The category with this item number, or null. Owned by the collection.
    FCCategoryDef* FindItemNo(int number) const;
};
