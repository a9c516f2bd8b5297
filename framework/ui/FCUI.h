// The process-wide access to the host's user interface: message boxes, the warning beep, redrawing
// the music and running host commands. Keeps the host's main-window handle it was given (not
// owned); the plug-in module owns the one FCUI.
#pragma once

#include "framework/core/FCString.h"
#include "framework/host/hostapi.h"

class FCUI : public __FCBase {
public:
    // Results of AlertYesNo.
    enum { kAnswerYes = 2, kAnswerNo = 3, kAnswerOther = 4 };
    // Command numbers of ExecuteCommand.
    enum { kCommandRespace = 1 };

    explicit FCUI(FXWindow hostWindow);

    FC_CLASS_INFO(FCUI)

    // Modal message boxes with an OK button; an empty caption becomes "Error" or "Information".
    // A null text shows nothing.
    void AlertError(const FCString* text, const FCString* caption);
    void AlertInfo(const FCString* text, const FCString* caption);
    // Yes and No buttons; an empty caption becomes "Yes/No?". kAnswerYes, kAnswerNo, or
    // kAnswerOther for anything else (also for a null text, which shows nothing).
    int AlertYesNo(const FCString* text, const FCString* caption);
    // The system's warning sound, or the default beep when that cannot be played.
    void Beep();
    // Redraws the whole document (the host's third current region).
    bool RedrawMusic();
    // Runs a host command by the framework's number; true when the host ran it.
    bool ExecuteCommand(int command);

    // The host's main window, the parent of the system's dialogs.
    FXWindow GetHostWindow() const { return hostWindow_; }
    // The height of the screen's full-screen client area, in pixels.
    int GetScreenHeight() const;

    // True while one of the alerts is shown (window shade holds still meanwhile).
    static bool IsAlertShown();

private:
    int ShowAlert(const FCString* text, const FCString* caption, const char* defaultCaption, unsigned style);

    FXWindow hostWindow_;
};
