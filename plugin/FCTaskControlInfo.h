// The option panel of one task: FCTaskControlInfo is one placement row (a control of the task
// window, where it goes horizontally in percent of the panel and how it is placed vertically);
// FCTaskControlInfos holds a task's rows in display order, owns them, and keeps the panel
// rectangle of the last layout. The controls belong to the window; rows only point at them.
#pragma once

#include "framework/core/__FCCollection.h"

class FCControl;
class __FCUserWindow;

class FCTaskControlInfo : public __FCBase {
public:
    // Vertical rules besides 0..100, a position in percent of the panel height.
    enum { kBelowPrevious = -1, kCentredOnPrevious = -2 };

    FCTaskControlInfo(FCControl* control, int horizontalStart, int width, int verticalRule);
    FC_CLASS_INFO(FCTaskControlInfo)

    // The window's control; not owned.
    FCControl* GetControl() const { return control_; }
    // Percent of the panel width.
    int GetHorizontalStart() const { return horizontalStart_; }
    int GetWidth() const { return width_; }
    int GetVerticalRule() const { return verticalRule_; }

private:
    FCControl* control_;
    int horizontalStart_;
    int width_;
    int verticalRule_;
};

class FCTaskControlInfos : public __FCCollection {
public:
    FCTaskControlInfos();
    FC_CLASS_INFO(FCTaskControlInfos)

    FCTaskControlInfo* GetItemAt(int i) const { return ItemAs<FCTaskControlInfo>(i); }
    // Appends a row; the collection owns it.
    FCTaskControlInfo* AddInfo(FCControl* control, int horizontalStart, int width, int verticalRule);
    // The first row that places the control, or null.
    FCTaskControlInfo* FindControl(const FCControl* control) const;

    // The panel rectangle in the window's client coordinates.
    void SetPanelRect(int left, int top, int right, int bottom);
    int GetPanelLeft() const { return left_; }
    int GetPanelTop() const { return top_; }
    int GetPanelRight() const { return right_; }
    int GetPanelBottom() const { return bottom_; }

    // The panel rectangle from the window's separator line and its "&Tasks:" label, where they
    // are now. False (the rectangle unchanged) when the window lacks either.
    bool CalcPanelRect(__FCUserWindow* window);
    // Lays the panel out in the task window: the rectangle anew, every option control without a
    // row hidden, each row's control moved, sized and shown; the moves are applied together.
    void LayoutPanel(__FCUserWindow* window);

private:
    int left_;
    int top_;
    int right_;
    int bottom_;
};
