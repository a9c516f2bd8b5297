// A separator line: no behaviour beyond geometry and visibility. Belongs to its window.
#pragma once

#include "framework/ui/FCControl.h"

class FCCtrlLine : public FCControl {
public:
    explicit FCCtrlLine(int id) : FCControl(id) {}

    FC_CLASS_INFO(FCCtrlLine)

    int GetControlType() const override { return kTypeLine; }
    int GetDefaultWidth() const override { return 150; }
    int GetDefaultHeight() const override { return 150; }
};
