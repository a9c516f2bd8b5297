#include "plugin/FCTaskControlInfo.h"

#include "framework/ui/FCControl.h"
#include "framework/ui/__FCUserWindow.h"
#include "plugin/TaskWindowIDs.h"

FCTaskControlInfo::FCTaskControlInfo(FCControl* control, int horizontalStart, int width, int verticalRule)
    : control_(control), horizontalStart_(horizontalStart), width_(width), verticalRule_(verticalRule) {}

FCTaskControlInfos::FCTaskControlInfos() : left_(0), top_(0), right_(0), bottom_(0) {}

FCTaskControlInfo* FCTaskControlInfos::AddInfo(FCControl* control, int horizontalStart, int width, int verticalRule) {
    FCTaskControlInfo* info = new FCTaskControlInfo(control, horizontalStart, width, verticalRule);
    Add(info);
    return info;
}

FCTaskControlInfo* FCTaskControlInfos::FindControl(const FCControl* control) const {
    for (int i = 0; i < GetCount(); ++i) {
        FCTaskControlInfo* info = GetItemAt(i);
        if (info && info->GetControl() == control) return info;
    }
    return nullptr;
}

void FCTaskControlInfos::SetPanelRect(int left, int top, int right, int bottom) {
    left_ = left;
    top_ = top;
    right_ = right;
    bottom_ = bottom;
}

bool FCTaskControlInfos::CalcPanelRect(__FCUserWindow* window) {
    if (!window) return false;
    FCControl* line = window->GetControl(taskwindow::kSeparator);
    FCControl* label = window->GetControl(taskwindow::kTasksLabel);
    if (!line || !label) return false;
    const int left = int(line->GetLeft());
    const int right = int(line->GetLeft() + line->GetWidth());
    const int top = int(label->GetTop());
    const int bottom = int(line->GetTop() - label->GetHeight());
    SetPanelRect(left, top, right, bottom);
    return true;
}

void FCTaskControlInfos::LayoutPanel(__FCUserWindow* window) {
    if (!window) return;
    CalcPanelRect(window);
    window->BeginDeferredLayout();
    for (int id : taskwindow::kOptionControlIDs) {
        FCControl* control = window->GetControl(id);
        if (control && !FindControl(control)) control->SetVisible(false);
    }
    const int panelWidth = right_ - left_;
    const int panelHeight = bottom_ - top_;
    FCControl* previous = nullptr;
    for (int i = 0; i < GetCount(); ++i) {
        FCTaskControlInfo* info = GetItemAt(i);
        FCControl* control = info ? info->GetControl() : nullptr;
        if (!control) continue;
        const int rule = info->GetVerticalRule();
        float top;
        if (rule == FCTaskControlInfo::kBelowPrevious && previous) {
            top = previous->GetTop() + previous->GetHeight() + 1;
        } else if (rule == FCTaskControlInfo::kCentredOnPrevious && previous) {
            const double centred =
                double(previous->GetTop()) + double(previous->GetHeight() - control->GetHeight()) / 2.0;
            top = float(int(centred));
        } else {
            // A first row always has a percentage; a relative rule without a row before it
            // falls back to the panel's top.
            const int percent = rule < 0 ? 0 : rule;
            top = float(top_ + panelHeight * percent / 100);
        }
        const int left = left_ + panelWidth * info->GetHorizontalStart() / 100;
        const int width = panelWidth * info->GetWidth() / 100;
        control->MoveTo(float(left), top);
        control->SetWidth(float(width));
        control->SetVisible(true);
        previous = control;
    }
    window->EndDeferredLayout();
    for (int id : taskwindow::kLabelIDs)
        if (FCControl* label = window->GetControl(id)) label->Repaint();
}
