// A push button; carries the command role that tells the window what a click means (OK, close,
// cancel, or an ordinary command). Belongs to its window.
#pragma once

#include "framework/ui/FCCtrlCheckbox.h"

class FCCtrlButton : public FCCtrlCheckbox {
public:
    explicit FCCtrlButton(int id) : FCCtrlCheckbox(id) {}

    FC_CLASS_INFO(FCCtrlButton)

    int GetControlType() const override { return kTypeButton; }
    int GetDefaultWidth() const override { return 60; }
    int GetDefaultHeight() const override { return 150; }
};
