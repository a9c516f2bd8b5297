// Document-wide preference records, one per preference number. For some tags the host keeps
// the values in small other records; those are assembled from (and written back to) them
// through an emulation table.
#pragma once

#include "framework/host/__FCBaseData.h"

class PrefsFieldTable;

class __FCPrefsBase : public __FCBaseData {
public:
    const char* ClassName() const override { return "__FCPrefsBase"; }

    // slot 24: sets the key; an emulated tag is assembled from its table, any other reloaded.
    virtual bool Load(uint16_t prefsNumber);
    // Load (key word 0) of a loaded preference; false for one that is not loaded.
    bool Reload() override;
    bool LoadFirst() override { return Load(1); }
    // Writes through the emulation table when there is one.
    bool Save() override;

    int GetPrefsNumber() const { return GetKeyWord(0); }

private:
    bool ReloadFromHost();
};

// The emulation table for a preference tag and number, or null when the host keeps the
// preference as one structure.
const PrefsFieldTable* FindPrefsEmulation(uint32_t tag, uint16_t prefsNumber);
