// Records attached to one cell (staff x measure), identified by staff, measure and incidence.
// The connected cell is not owned; it must outlive the detail.
#pragma once

#include "framework/host/__FCBaseData.h"

class FCCell;

class __FCCellDetail : public __FCBaseData {
public:
    __FCCellDetail() : cell_(nullptr) {}
    const char* ClassName() const override { return "__FCCellDetail"; }

    // Key (staff, measure, 0) of the connected cell, then Reload; false without a cell.
    bool LoadFirst() override;
    // Step the incidence; on failure it is put back. LoadPrevious fails at incidence 0.
    bool LoadNext() override;
    bool LoadPrevious() override;
    // The highest incidence of the connected cell that loads.
    bool LoadLast() override;

    // slot 24: hook after SaveNew succeeded.
    virtual void OnCreated() {}
    // slot 25
    virtual int GetDetailValue() { return 0; }
    // slot 26: creates a new incidence for the connected cell; false without one or when not loaded.
    virtual bool SaveNew();
    // slots 27-28: the connected cell's measure and staff, else key words 1 and 0.
    virtual int GetMeasure();
    virtual int GetStaff();

    void ConnectToCell(FCCell* cell);
    FCCell* GetConnectedCell() const { return cell_; }
    // Loads the record with this exact key.
    bool Load(int staff, int measure, uint16_t inci);
    int GetItemInci() const { return GetKeyWord(2); }

private:
    bool SetKeyFromCell();
    FCCell* cell_;
};

// Cell details of which each cell has exactly one.
class __FCNoInciCellDetail : public __FCCellDetail {
public:
    const char* ClassName() const override { return "__FCNoInciCellDetail"; }
    bool LoadNext() override { return false; }
    bool SaveNew() override { return false; }
};
