// Records attached to one note entry, identified by the entry number (32-bit, key words 0 and 1)
// and an incidence (word 2). The connected entry is not owned; it must outlive the detail.
#pragma once

#include "framework/host/__FCBaseData.h"

class FCNoteEntry;

class __FCEntryDetail : public __FCBaseData {
public:
    __FCEntryDetail() : entry_(nullptr) {}
    const char* ClassName() const override { return "__FCEntryDetail"; }

    // Load (entry number of the connected entry, 0); false without a connected entry.
    bool LoadFirst() override;
    // The next incidence; on failure the incidence is put back.
    bool LoadNext() override;
    // The last incidence of the connected entry, or -1.
    int CalcLastInci() override;

    // slot 24
    virtual bool Load(int32_t entnum, uint16_t inci);
    // slot 25: remembers the entry and copies its entry number into the key.
    virtual void ConnectToEntry(FCNoteEntry* entry);
    // slot 26: creates a new incidence for the connected entry and flags the entry.
    virtual bool SaveNew();
    // slot 27: sets or clears the entry-record flag for details of this kind.
    virtual void SetEntryFlag(FCNoteEntry* /*entry*/, bool /*state*/) {}

    FCNoteEntry* GetConnectedEntry() const { return entry_; }
    int32_t GetItemEntnum() const;
    int GetItemInci() const { return GetKeyWord(2); }

protected:
    void SetEntnumInKey(FXKey& key, int32_t entnum) const;

private:
    FCNoteEntry* entry_;
};

// Details that belong to one note of a chord; no task uses this branch.
class __FCEntryDetailNoteID : public __FCEntryDetail {
public:
    const char* ClassName() const override { return "__FCEntryDetailNoteID"; }
    // slots 28-31
    virtual int GetNoteID() { return 0; }
    virtual void SetNoteID(int /*noteID*/) {}
    virtual bool LoadForNote(int32_t /*entnum*/, int /*noteID*/) { return false; }
    virtual bool SaveNewForNote(int /*noteID*/) { return false; }
};
