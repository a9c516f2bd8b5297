// A check box. Belongs to its window.
#pragma once

#include "framework/ui/FCControl.h"

class FCCtrlCheckbox : public FCControl {
public:
    explicit FCCtrlCheckbox(int id);

    FC_CLASS_INFO(FCCtrlCheckbox)

    int GetControlType() const override { return kTypeCheckbox; }
    int GetDefaultWidth() const override { return 100; }
    int GetDefaultHeight() const override { return 150; }
    void ApplyStoredState() override;
    void ReadState() override;

    // slot 20: 0 unchecked, 1 checked.
    virtual void SetCheck(int state);
    // slot 21
    virtual int GetCheck();

private:
    int storedCheck_;
    bool checkSet_;
};
