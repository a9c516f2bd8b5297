// The host's dialog service in the stand-in host: the plug-in's dialogs built from the templates
// of the module that owns the dispatcher (FX_Dialog, FX_EndDialog), the host's main and document
// windows, the host's own modal dialogs, and the measurement unit the dialog item functions
// convert to and from. Written against the Win32 interface of qzwin32.h: the system's on
// Windows, the simulated desktop on Linux. Holds process-wide state; ResetDialogService() ends it.
#pragma once

#include "framework/host/hostapi.h"

#include <cstdint>
#include <string>

namespace simhost {

// The user's measurement unit for FX_GetDlgItemUser and FX_SetDlgItemUser.
enum class MeasurementUnit { EVPUs, Inches, Centimeters, Points, Picas, Spaces, Millimeters };
// Inches, the host's own default, until set.
void SetMeasurementUnit(MeasurementUnit unit);
MeasurementUnit GetMeasurementUnit();
// Internal units (EVPUs, 288 to the inch) per measurement unit.
double EVPUsPerUnit(MeasurementUnit unit);
// A value in the unit as the host writes it into a field ("1.5", "-0.25", "12"), and back; false
// when the text holds no number.
std::u16string FormatMeasurement(double value);
bool ParseMeasurement(const std::u16string& text, double* value);

// The host's main window (created on first use, enabled and visible) and its document window,
// the host's current window for FX_GetCurrentWindow.
FXWindow HostMainWindow();
FXWindow HostDocumentWindow();
// The host shows (and ends) a modal dialog of its own: its main window is disabled meanwhile.
void ShowHostModalDialog();
void EndHostModalDialog();
bool IsHostModalDialogShown();
// Whether the host sends its plug-in dialogs message 0x36D when its main window is enabled or
// disabled (on by default; off shows how a plug-in window copes without it).
void SetHostStateNotifications(bool on);

// FX_Dialog and FX_EndDialog. OpenDialog answers the modal dialog's result, or 1 for a modeless
// dialog that opened, 0 for failure.
int32_t OpenDialog(int templateID, FXDialogProc proc, FXWindow parent, bool modal, void* userData);
bool EndPluginDialog(FXWindow window, int32_t result);
// The plug-in dialogs open now, in the order they were created.
int OpenDialogCount();
FXWindow OpenDialogAt(int index);
bool IsModalDialog(FXWindow window);
// The most recent open dialog built from the template that has not been ended, or null.
FXWindow FindOpenDialog(int templateID);
// The template an open plug-in dialog was built from, or 0 for any other window.
int OpenDialogTemplate(FXWindow window);
// Why the last FX_Dialog failed (no dispatcher module, template missing, the system refused), or
// an empty text after one that opened.
std::string LastOpenDialogError();

// Ends every plug-in dialog and host window and restores the defaults above; on Linux the
// simulated desktop is emptied as well (clock, timers, scripted answers, records).
void ResetDialogService();
// Ends every plug-in dialog still open without a word to the plug-in (which may have let go of
// them, or be about to be unloaded) and frees what the host kept for them.
void ReleaseDialogs();

}  // namespace simhost
