// The dialog item ids of the task window's template (20128), shared by the window, the panel
// layout and the task handlers, and the sixteen option controls in the handlers' order.
#pragma once

namespace taskwindow {

constexpr int kTemplateID = 20128;

enum {
    kApply = 1,
    kTasksLabel = 101,
    kTree = 102,
    kStatic1 = 103,
    kPopup1 = 104,
    kStatic2 = 105,
    kEdit1 = 106,
    kCheck1 = 107,
    kCheck2 = 108,
    kCheck3 = 109,
    kPopup2 = 110,
    kEdit2 = 111,
    kStatic3 = 112,
    kPopup3 = 113,
    kStatic4 = 114,
    kEdit3 = 115,
    kStatic5 = 116,
    kDataList = 117,
    kTaskButton = 118,
    kSeparator = 121,
    kDescription = 122,
    kRespace = 123,
    kClose = 162,
    kTasksButton = 163
};

constexpr int kOptionControlCount = 16;
// Five labels, three popups, three edit fields, the push button, three check boxes, the data list.
constexpr int kOptionControlIDs[kOptionControlCount] = {kStatic1, kStatic2, kStatic3, kStatic4, kStatic5, kPopup1,
                                                        kPopup2,  kPopup3,  kEdit1,   kEdit2,   kEdit3,   kTaskButton,
                                                        kCheck1,  kCheck2,  kCheck3,  kDataList};
// The labels, repainted after each layout.
constexpr int kLabelCount = 5;
constexpr int kLabelIDs[kLabelCount] = {kStatic1, kStatic2, kStatic3, kStatic4, kStatic5};

}  // namespace taskwindow
