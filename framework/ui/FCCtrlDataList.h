// A list view in report layout: columns, rows of texts with check states, the selected row.
// FCCtrlDataList owns its FCDataListRow rows; a row knows the list it is attached to (not owned)
// and updates the native row when its check state is set.
#pragma once

#include "framework/core/FCStrings.h"
#include "framework/core/__FCCollection.h"
#include "framework/ui/FCControl.h"

#include <vector>

class FCCtrlDataList;

class FCDataListRow : public FCStrings {
public:
    FCDataListRow() : check_(false), list_(nullptr) {}

    FC_CLASS_INFO(FCDataListRow)

    bool GetCheck() const { return check_; }
    // Sets the check state, and the native row's when the row belongs to a list on screen.
    void SetCheck(bool checked);
    FCCtrlDataList* GetList() const { return list_; }
    void SetList(FCCtrlDataList* list) { list_ = list; }
    // Records the state without touching the native row.
    void StoreCheck(bool checked) { check_ = checked; }

private:
    bool check_;
    FCCtrlDataList* list_;
};

class FCCtrlDataList : public FCControl {
public:
    explicit FCCtrlDataList(int id);

    FC_CLASS_INFO(FCCtrlDataList)

    int GetControlType() const override { return kTypeDataList; }
    int GetDefaultWidth() const override { return 200; }
    int GetDefaultHeight() const override { return 150; }
    void ApplyStoredState() override;
    void ReadState() override;

    // slot 20: a row became selected.
    virtual void HandleRowSelected(int row);
    // slot 21: the list lost its selection.
    virtual void HandleSelectionLost();
    // slot 22: sets a row's check state (in the row and on the native row).
    virtual void SetRowCheck(int row, bool checked);
    // slot 23: a double click, on the row (or -1 beside the rows).
    virtual void HandleDoubleClick(int row);

    void AddColumn(const FCString* title, int width);
    int GetColumnCount() const { return columnTitles_.GetCount(); }
    void SetCheckboxes(bool on);
    void SetFullRowSelect(bool on);
    // Removes (and destroys) every row.
    void ClearRows();
    // A new empty row at the end, owned by the list; texts are read when the list shows them.
    FCDataListRow* AddRow();
    FCDataListRow* GetRowAt(int row) const;
    int GetRowCount() const { return rows_.GetCount(); }
    bool GetRowCheck(int row) const;
    // The row the list last reported as selected, -1 for none.
    int GetSelectedRow() const { return selectedRow_; }
    // Makes a row the selected one (-1 clears the selection).
    void SelectRow(int row);

    // Notification support for the window: the text of a row's column, and the native side of a
    // row's check state.
    bool GetCellText(int row, int column, FCString* text) const;
    void PushRowCheck(const FCDataListRow* row);
    void NoteSelectedRow(int row);

private:
    void InsertNativeRow(int row);
    void ApplyExtendedStyles();

    __FCCollection rows_;
    FCStrings columnTitles_;
    std::vector<int> columnWidths_;
    bool checkboxes_;
    bool fullRowSelect_;
    int selectedRow_;
};
