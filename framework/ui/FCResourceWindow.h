// A window built by the host from one of the module's dialog templates. The task window and the
// profile editor derive from it. Owns its controls through __FCUserWindow.
#pragma once

#include "framework/ui/__FCUserWindow.h"

class FCResourceWindow : public __FCUserWindow {
public:
    explicit FCResourceWindow(int templateID);

    FC_CLASS_INFO(FCResourceWindow)

    // Stores title, geometry and every control's state, marks the window closed and ends the
    // native window.
    void CloseWindow() override;
    // slot 24: a notification from the control with that id; the record is the platform's
    // notification structure. False: the notification's default handling stays.
    virtual bool HandleNotify(int controlID, void* notification);

    // Shows the native window again (normal state, active) when it exists; otherwise asks the
    // host to create it as a modeless dialog. The host's result.
    int ShowModeless(FXWindow parent);
};
