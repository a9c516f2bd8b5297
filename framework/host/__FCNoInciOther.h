// Other records identified by item number alone (measures, staves, definitions, ...). Item
// numbers start at 1.
#pragma once

#include "framework/host/__FCOther.h"

class __FCNoInciOther : public __FCOther {
public:
    const char* ClassName() const override { return "__FCNoInciOther"; }

    // Item 1, or the lowest item there is when item 1 has been deleted (a gap at the start
    // must not hide every other record from the collections and browsers).
    bool LoadFirst() override;

    // slot 24: key (cmper, 0), then Reload.
    virtual bool Load(uint16_t cmper);
    // slot 25: key (cmper, 0), then Save.
    virtual bool SaveAs(uint16_t cmper);
    // slot 26: SaveAs and the records that belong to this one under the same number.
    virtual bool DeepSaveAs(uint16_t cmper) { return SaveAs(cmper); }
    // slot 27: creates a new item with a host-assigned number; false when not loaded.
    virtual bool SaveNew();
    // slot 28
    virtual int GetItemNo() const { return GetKeyWord(0); }
};
