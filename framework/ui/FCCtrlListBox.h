// A list box: rows of text and the selected row (-1 for none), kept in the object while the
// window is closed. Belongs to its window; owns its stored row texts.
#pragma once

#include "framework/core/FCStrings.h"
#include "framework/ui/FCControl.h"

class FCCtrlListBox : public FCControl {
public:
    explicit FCCtrlListBox(int id);

    FC_CLASS_INFO(FCCtrlListBox)

    int GetControlType() const override { return kTypeListBox; }
    int GetDefaultWidth() const override { return 150; }
    int GetDefaultHeight() const override { return 170; }
    void ApplyStoredState() override;
    void ReadState() override;

    void Clear();
    void AddItem(const FCString* text);
    int GetCount();
    bool GetItemText(int row, FCString* text);
    int GetSelectedItem();
    // A row outside the list clears the selection.
    void SetSelectedItem(int row);
    bool DeleteItem(int row);
    // Replaces a row's text at the same position, keeping the selection.
    bool SetItemText(int row, const FCString* text);

private:
    FCStrings rows_;
    int storedSelection_;
};
