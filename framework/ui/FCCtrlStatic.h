// A label: text only. Belongs to its window.
#pragma once

#include "framework/ui/FCControl.h"

class FCCtrlStatic : public FCControl {
public:
    explicit FCCtrlStatic(int id) : FCControl(id) {}

    FC_CLASS_INFO(FCCtrlStatic)

    int GetControlType() const override { return kTypeStatic; }
    int GetDefaultWidth() const override { return 100; }
    int GetDefaultHeight() const override { return 150; }
};
