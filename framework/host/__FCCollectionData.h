// Collections of host records: each family's collection loads every matching record into an
// owning list of record objects, and saves them back. Owns its elements.
#pragma once

#include "framework/core/__FCCollection.h"
#include "framework/host/__FCBaseData.h"

#include <cstdint>

class FCNoteEntry;
class FCCell;
class __FCInciOther;

class __FCCollectionData : public __FCCollection {
public:
    __FCCollectionData() : customTag_(0) {}
    const char* ClassName() const override { return "__FCCollectionData"; }

    // slot 9: a new empty element of the collection's element class (the caller owns it).
    virtual __FCBaseData* CreateElement() = 0;
    // slot 10: replaces the contents with every record of the element class; the new count.
    virtual int LoadAll();
    // slot 11: saves every element in order; false at the first failure.
    virtual bool SaveAll();

    // The custom tag handed to every element before loading or saving.
    void SetCustomTag(uint32_t tag) { customTag_ = tag; }
    uint32_t GetCustomTag() const { return customTag_; }

    __FCBaseData* GetItemAt(int i) const { return ItemAs<__FCBaseData>(i); }

protected:
    // Appends clones of the scratch element and of every record LoadNext reaches from it.
    void AppendCloneAndFollowing(__FCBaseData* scratch);

private:
    uint32_t customTag_;
};

class __FCCollectionNoInciOther : public __FCCollectionData {
public:
    const char* ClassName() const override { return "__FCCollectionNoInciOther"; }
};

class __FCCollectionDetail : public __FCCollectionData {
public:
    const char* ClassName() const override { return "__FCCollectionDetail"; }
};

class __FCCollectionInciOther : public __FCCollectionData {
public:
    const char* ClassName() const override { return "__FCCollectionInciOther"; }
    // slot 12: deletes every incidence of the item, from the last to the first.
    virtual bool DeleteDataForItem(uint16_t cmper);
    // slot 13: the gap-free run of incidences 0, 1, 2, ... of the item; the new count.
    virtual int LoadAllForItem(uint16_t cmper);
    // slot 14: the item's incidences become exactly the collection's elements, in order.
    virtual bool SaveAllForItem(uint16_t cmper);
};

// Details of one entry; the entry (given to the constructor) is not owned.
class __FCCollectionEntryDetail : public __FCCollectionData {
public:
    explicit __FCCollectionEntryDetail(FCNoteEntry* entry) : entry_(entry) {}
    const char* ClassName() const override { return "__FCCollectionEntryDetail"; }
    int LoadAll() override;
    // slot 12: creates every element as a new detail of the entry.
    virtual void SaveAllNew();
    FCNoteEntry* GetEntry() const { return entry_; }

private:
    FCNoteEntry* entry_;
};

class __FCCollectionCellDetail : public __FCCollectionDetail {
public:
    const char* ClassName() const override { return "__FCCollectionCellDetail"; }
    // Every record of every cell: measures in order, staves in order within each measure.
    int LoadAll() override;
    // slot 12: every record of one cell (the elements stay connected to it); the new count.
    virtual int LoadAllInCell(FCCell* cell);

private:
    void AppendCell(__FCBaseData* scratch, FCCell* cell, bool keepConnected);
};
