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
    // Up-down, tab and tree notifications, passed on to the window's handlers.
    bool HandleNotify(int controlID, void* notification) override;

    // Shows the native window again (normal state, active) when it exists; otherwise asks the
    // host to create it as a modeless dialog. The host's result.
    int ShowModeless(FXWindow parent);
};
