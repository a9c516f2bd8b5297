// A drop-down list: its item texts and the selected index (-1 for none), kept in the object
// while the window is closed. Belongs to its window; owns its stored item texts.
#pragma once

#include "framework/core/FCStrings.h"
#include "framework/ui/FCControl.h"

class FCCtrlPopup : public FCControl {
public:
    explicit FCCtrlPopup(int id);

    FC_CLASS_INFO(FCCtrlPopup)

    int GetControlType() const override { return kTypePopup; }
    int GetDefaultWidth() const override { return 100; }
    int GetDefaultHeight() const override { return 150; }
    void ApplyStoredState() override;
    void ReadState() override;

    void Clear();
    void AddItem(const FCString* text);
    void AddItemCString(const char* text);
    int GetCount();
    // The text of item i; false (and an empty text) when there is no such item.
    bool GetItemText(int i, FCString* text);
    // The selected index, -1 when nothing is selected.
    int GetSelectedItem();
    // An index outside the list clears the selection.
    void SetSelectedItem(int index);

private:
    FCStrings items_;
    int storedSelection_;
};
